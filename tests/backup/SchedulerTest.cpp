// The scheduler on a virtual clock: no test waits for real minutes.
#include "Scheduler.h"
#include "VirtualClock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

ScheduleEntry entry(const WString& day, const char* time, const char* active = "ja", const char* name = "J") {
    return {day, time, active, name};
}

// 2026-12-07 is a Monday.
constexpr int kYear = 2026, kMonth = 12, kMonday = 7;

struct Recorder {
    std::vector<std::string> captions;
    std::vector<std::string> tooltips;
    std::vector<std::string> runs; // "name@hh:mm:ss"
};

std::string clockText() {
    const LocalTime t = Clock::current().now();
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return buf;
}

// Runs the scheduler loop on this thread until the virtual clock passes `until` (h, m).
class LoopHarness {
public:
    LoopHarness(VirtualClock& clock, std::vector<ScheduleEntry> entries) : clock_(clock) {
        schedule.Replace(std::move(entries));
        slot.reset();
    }

    void runUntil(int hour, int minute, const std::function<void(const WString&)>& onRun = {}) {
        Scheduler scheduler(slot, schedule,
                            {[&](const WString& caption) {
                                 rec.captions.push_back(caption.toUtf8());
                                 const LocalTime t = clock_.now();
                                 if (t.hour * 60 + t.minute >= hour * 60 + minute)
                                     slot.stopEvent.set();
                                 if (afterScan)
                                     afterScan();
                             },
                             [&](const WString& tip) { rec.tooltips.push_back(tip.toUtf8()); },
                             [&](const WString& name) {
                                 rec.runs.push_back(name.toUtf8() + "@" + clockText());
                                 if (onRun)
                                     onRun(name);
                             }});
        EXPECT_EQ(scheduler.SchedulerLoop(), 0);
        EXPECT_TRUE(slot.finishedEvent.isSet());
    }

    ThreadSlot slot;
    ScheduleList schedule;
    Recorder rec;
    std::function<void()> afterScan;

private:
    VirtualClock& clock_;
};

} // namespace

TEST(SchedulerTest, MinutesUntilTheNextRun) {
    struct Case {
        WString day;
        const char* time;
        int hour, minute;
        int expected;
    };
    const Case cases[] = {
        {"Dienstag", "08:00", 10, 0, 1320}, // tomorrow
        {"Montag", "09:00", 10, 0, 10020},  // passed today: next week
        {"Montag", "09:59", 10, 0, 10079},  // one minute past: one less than a week
        {"Montag", "10:00", 10, 0, 0},      // now
        {"Montag", "10:05", 10, 0, 5},      // later today
        {"Sonntag", "10:00", 10, 0, 8640},  // six days ahead
        {"täglich"_w, "10:30", 10, 0, 30},  {"täglich"_w, "00:00", 23, 59, 1}, {"täglich"_w, "00:00", 0, 0, 0},
        {"täglich"_w, "00:00", 0, 1, 1439}, {"Samstag", "10:30", 10, 0, -1}, // none of the eight words: never runs,
                                                                             // never counts
        {"montag", "10:30", 10, 0, -1},     {"", "10:30", 10, 0, -1},
    };
    for (const auto& c : cases) {
        LocalTime now;
        now.year = kYear;
        now.month = kMonth;
        now.day = kMonday;
        now.weekday = 1;
        now.hour = c.hour;
        now.minute = c.minute;
        EXPECT_EQ(Scheduler::MinutesUntil(entry(c.day, c.time), now), c.expected)
            << c.day.toUtf8() << " " << c.time << " at " << c.hour << ":" << c.minute;
    }
}

TEST(SchedulerTest, CaptionAndTooltipTexts) {
    VirtualClock clock(kYear, kMonth, kMonday, 10, 0);
    struct Case {
        std::vector<ScheduleEntry> entries;
        const char* caption;
        const char* tooltip;
    };
    const Case cases[] = {
        {{}, "Morlanz 1.1 - Es wurde keine Sicherung angelegt !", "Es wurde keine\nSicherung angelegt !"},
        {{entry("Montag", "11:00", "Ja"), entry("Montag", "11:00", "1"), entry("Montag", "11:00", "nein")},
         "Morlanz 1.1 - Es ist keine Sicherung aktiv !",
         "Es ist keine\nSicherung aktiv !"},
        {{entry("Samstag", "10:30")},
         "Morlanz 1.1 - Es ist keine Sicherung aktiv !",
         "Es ist keine\nSicherung aktiv !"},
        {{entry("Montag", "10:00")}, "Morlanz 1.1 - Sicherung wird ausgeführt !", "Sicherung wird\nausgeführt !"},
        {{entry("Dienstag", "08:00"), entry("täglich"_w, "10:30")},
         "Morlanz 1.1 - Noch 30 Minuten bis zur nächsten Sicherung",
         "Noch 30 Minuten bis zur\n nächsten Sicherung"},
        {{entry("Dienstag", "08:00"), entry("täglich"_w, "10:30", "nein")},
         "Morlanz 1.1 - Noch 22 Stunden und 0 Minuten bis zur nächsten Sicherung",
         "Noch 22 Stunden\nund 0 Minuten bis zur\nnächsten Sicherung"},
        {{entry("täglich"_w, "11:01")},
         "Morlanz 1.1 - Noch 1 Stunden und 1 Minuten bis zur nächsten Sicherung",
         "Noch 1 Stunden\nund 1 Minuten bis zur\nnächsten Sicherung"},
    };
    for (const auto& c : cases) {
        ThreadSlot slot;
        ScheduleList list;
        list.Replace(c.entries);
        std::string caption;
        Scheduler scheduler(slot, list, {[&](const WString& t) { caption = t.toUtf8(); }, {}, {}});
        EXPECT_EQ(scheduler.BuildStatusText().toUtf8(), c.tooltip);
        EXPECT_EQ(caption, c.caption);
    }
}

TEST(SchedulerTest, JobsDueInOnePassRunInCatalogueOrderOnceInTheirMinute) {
    VirtualClock clock(kYear, kMonth, kMonday, 9, 59);
    LoopHarness loop(clock, {entry("Montag", "10:00", "ja", "B"), entry("Dienstag", "10:00", "ja", "X"),
                             entry("täglich"_w, "10:00", "ja", "A"), entry("Montag", "10:00", "nein", "Aus"),
                             entry("Montag", "9:59", "ja", "Kurz")});
    loop.runUntil(10, 5);
    EXPECT_EQ(loop.rec.runs, (std::vector<std::string>{"B@10:00:00", "A@10:00:00"}));
    EXPECT_FALSE(loop.rec.tooltips.empty());
}

TEST(SchedulerTest, ALongRunMakesTheNextMinutesJobMissAndTheOneAfterRun) {
    VirtualClock clock(kYear, kMonth, kMonday, 9, 59, 30);
    LoopHarness loop(clock, {entry("täglich"_w, "10:00", "ja", "Lang"), entry("täglich"_w, "10:01", "ja", "Verpasst"),
                             entry("täglich"_w, "10:02", "ja", "Danach")});
    loop.runUntil(10, 6, [&](const WString& name) {
        if (name == "Lang")
            clock.advanceMs(90'000);
    });
    EXPECT_EQ(loop.rec.runs, (std::vector<std::string>{"Lang@10:00:00", "Danach@10:02:30"}));
}

TEST(SchedulerTest, AClockSetBackRunsAJobAgainWhenItsMinuteComesRound) {
    VirtualClock clock(kYear, kMonth, kMonday, 9, 59, 50);
    LoopHarness loop(clock, {entry("Montag", "10:00", "ja", "J")});
    bool setBack = false;
    loop.afterScan = [&] {
        const LocalTime t = clock.now();
        if (!setBack && !loop.rec.runs.empty() && t.minute == 1) {
            setBack = true;
            clock.set(kYear, kMonth, kMonday, 9, 58);
        }
    };
    loop.runUntil(10, 4);
    ASSERT_EQ(loop.rec.runs.size(), 2u);
}

TEST(SchedulerTest, StopIsSeenDuringTheRestAfterARun) {
    VirtualClock clock(kYear, kMonth, kMonday, 10, 0);
    LoopHarness loop(clock, {entry("Montag", "10:00", "ja", "J")});
    const std::int64_t start = clock.monotonicMs();
    loop.runUntil(0, 0, [&](const WString&) { loop.slot.stopEvent.set(); });
    EXPECT_EQ(loop.rec.runs.size(), 1u);
    EXPECT_LE(clock.monotonicMs() - start, 1500) << "the 60 s rest ends at the first check after stop";
}

TEST(SchedulerTest, ClockLabelShowsDateWeekdayAndTimeTenTimesASecond) {
    VirtualClock clock(kYear, kMonth, 12, 7, 5, 9); // a Saturday
    ThreadSlot slot;
    slot.reset();
    std::vector<std::string> labels;
    ClockLoop(slot, [&](const WString& text) {
        labels.push_back(text.toUtf8());
        if (labels.size() == 11)
            slot.stopEvent.set();
    });
    ASSERT_EQ(labels.size(), 11u);
    EXPECT_EQ(labels.front(), "12.12.2026\nSonnabend\n07:05:09");
    EXPECT_EQ(labels.back(), "12.12.2026\nSonnabend\n07:05:10") << "ten labels a second";
    EXPECT_TRUE(slot.finishedEvent.isSet());
}
