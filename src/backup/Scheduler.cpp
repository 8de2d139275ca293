#include "backup/Scheduler.h"

#include "log/ClockTexts.h"
#include "storage/ProgramTexts.h"
#include "toolkit/core/WThread.h"

namespace {

constexpr int kScanIntervalMs = 500;
constexpr int kRestRounds = 120; // 120 x 500 ms: the minute that made the jobs due is over
constexpr int kClockIntervalMs = 100;
constexpr int kMinutesPerDay = 1440;
constexpr int kDaily = 7;
constexpr int kNoActiveJob = 20000;
constexpr int kNoActiveJobAbove = 11000;

const WString kDailyWord = "täglich"_w;
const WString kMinutesOneLine = "Noch %d Minuten bis zur nächsten Sicherung"_w;
const WString kMinutesTwoLines = "Noch %d Minuten bis zur\n nächsten Sicherung"_w;
const WString kHoursOneLine = "Noch %d Stunden und %d Minuten bis zur nächsten Sicherung"_w;
const WString kHoursTwoLines = "Noch %d Stunden\nund %d Minuten bis zur\nnächsten Sicherung"_w;

void enterThread(const char* name) {
    WCurrentThread::setName(name);
    WCurrentThread::setPriority(WThread::Normal);
}

} // namespace

Scheduler::Scheduler(std::shared_ptr<ThreadSlot> slot, std::shared_ptr<const ScheduleList> schedule, Hooks hooks)
    : slot_(std::move(slot)), schedule_(std::move(schedule)), hooks_(std::move(hooks)) {}

int Scheduler::MinutesUntil(const ScheduleEntry& entry, const LocalTime& now) {
    const int w = ClockTexts::DayNumber(entry.day);
    if (w < 0)
        return -1;
    const int nowMinute = now.hour * 60 + now.minute;
    const int t = ClockTexts::MinuteOfDay(entry.time);
    if (w == kDaily) {
        if (nowMinute <= t)
            return t - nowMinute;
        return (kMinutesPerDay - nowMinute) + t;
    }
    const int d = ((w - now.weekday) % 7 + 7) % 7;
    if (d == 0) {
        if (nowMinute <= t)
            return t - nowMinute;
        return (kMinutesPerDay - nowMinute) + t + 6 * kMinutesPerDay;
    }
    return (kMinutesPerDay - nowMinute) + t + (d - 1) * kMinutesPerDay;
}

bool Scheduler::IsDue(const ScheduleEntry& entry, const LocalTime& now) {
    if (entry.active != "ja")
        return false;
    const bool dueDay = entry.day == kDailyWord || entry.day == ClockTexts::WeekdayText(now);
    return dueDay && entry.time == ClockTexts::ShortTimeText(now);
}

WString Scheduler::BuildStatusText() {
    const std::vector<ScheduleEntry> entries = schedule_->Snapshot();
    WString oneLine;
    WString twoLines;
    if (entries.empty()) {
        oneLine = "Es wurde keine Sicherung angelegt !";
        twoLines = "Es wurde keine\nSicherung angelegt !";
    } else {
        const LocalTime now = Clock::current().now();
        int m = kNoActiveJob;
        for (const ScheduleEntry& entry : entries) {
            if (entry.active != "ja")
                continue;
            const int minutes = MinutesUntil(entry, now);
            if (minutes >= 0 && minutes < m)
                m = minutes;
        }
        if (m > kNoActiveJobAbove) {
            oneLine = "Es ist keine Sicherung aktiv !";
            twoLines = "Es ist keine\nSicherung aktiv !";
        } else if (m == 0) {
            oneLine = "Sicherung wird ausgeführt !"_w;
            twoLines = "Sicherung wird\nausgeführt !"_w;
        } else if (m < 60) {
            oneLine = WString::format(kMinutesOneLine.c_str(), m);
            twoLines = WString::format(kMinutesTwoLines.c_str(), m);
        } else {
            // A time text past 23:59 can count beyond a week; the hours text still tells it right.
            oneLine = WString::format(kHoursOneLine.c_str(), m / 60, m % 60);
            twoLines = WString::format(kHoursTwoLines.c_str(), m / 60, m % 60);
        }
    }
    if (hooks_.setCaption)
        hooks_.setCaption(ProgramTexts::TitlePrefix + oneLine);
    return twoLines;
}

bool Scheduler::restSixtySeconds() {
    for (int round = 0; round < kRestRounds; ++round) {
        Clock::current().sleepUnless(slot_->stopEvent, kScanIntervalMs);
        if (slot_->shouldStop())
            return false;
    }
    return true;
}

int Scheduler::SchedulerLoop() {
    enterThread("sicherung thread");
    std::vector<WString> due;
    for (;;) {
        if (slot_->shouldStop())
            break;
        if (Clock::current().sleepUnless(slot_->stopEvent, kScanIntervalMs))
            break;
        const WString tip = BuildStatusText();
        if (hooks_.setTooltip)
            hooks_.setTooltip(tip);
        const LocalTime now = Clock::current().now();
        for (const ScheduleEntry& entry : schedule_->Snapshot()) {
            if (IsDue(entry, now))
                due.push_back(entry.name);
        }
        if (due.empty())
            continue;
        for (const WString& name : due) {
            WCurrentThread::pausePoint(); // a pause waits between two runs, never inside one
            if (hooks_.runBackup)
                hooks_.runBackup(name);
        }
        due.clear();
        if (!restSixtySeconds())
            break;
    }
    slot_->finish();
    return 0;
}

int ClockLoop(ThreadSlot& slot, const std::function<void(const WString&)>& setLabel) {
    enterThread("zeit thread");
    while (!slot.shouldStop()) {
        const LocalTime now = Clock::current().now();
        setLabel(ClockTexts::DateText(now) + "\n" + ClockTexts::WeekdayText(now) + "\n" + ClockTexts::TimeText(now));
        Clock::current().sleepUnless(slot.stopEvent, kClockIntervalMs);
    }
    slot.finish();
    return 0;
}
