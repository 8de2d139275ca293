// The scheduler on a virtual clock: no test waits for real minutes.
#include "backup/Scheduler.h"
#include "support/VirtualClock.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

ScheduleEntry entry(const WString& day, const char* time, const char* active = "ja", const char* name = "J") {
    return {day, time, active, name};
}

// 2026-12-07 is a Monday.
constexpr int kYear = 2026, kMonth = 12, kMonday = 7;

// Runs the scheduler loop on this thread until the virtual clock reaches `hour`:`minute`; records
// each run as "name@hh:mm:ss".
struct LoopHarness {
    LoopHarness(VirtualClock& virtualClock, std::vector<ScheduleEntry> entries) : clock(virtualClock) {
        schedule->Replace(std::move(entries));
        slot->reset();
    }

    void runUntil(int hour, int minute, const std::function<void(const WString&)>& onRun = {}) {
        const auto onCaption = [&](const WString&) {
            const LocalTime t = clock.now();
            if (t.hour * 60 + t.minute >= hour * 60 + minute)
                slot->stopEvent.set();
            if (afterScan)
                afterScan();
        };
        const auto onBackup = [&](const WString& name) {
            const LocalTime t = clock.now();
            runs.push_back(name.toUtf8() + WString::format("@%02d:%02d:%02d", t.hour, t.minute, t.second).bytes());
            if (onRun)
                onRun(name);
        };
        Scheduler scheduler(slot, schedule, {onCaption, {}, onBackup});
        EXPECT_EQ(scheduler.SchedulerLoop(), 0);
        EXPECT_TRUE(slot->finishedEvent.isSet());
    }

    VirtualClock& clock;
    std::shared_ptr<ThreadSlot> slot = std::make_shared<ThreadSlot>();
    std::shared_ptr<ScheduleList> schedule = std::make_shared<ScheduleList>();
    std::vector<std::string> runs;
    std::function<void()> afterScan;
};

} // namespace

TEST(SchedulerTest, MinutesUntilTheNextRun) {
    struct Case {
        WString day;
        const char* time;
        int hour, minute;
        int expected;
    };
    // Tomorrow; passed today, so next week; now; six days ahead; daily, also across midnight; and
    // day words that are none of the eight, which never run and so never count.
    const Case cases[] = {
        {"Dienstag", "08:00", 10, 0, 1320}, {"Montag", "09:00", 10, 0, 10020},  {"Montag", "10:00", 10, 0, 0},
        {"Sonntag", "10:00", 10, 0, 8640},  {"täglich"_w, "10:30", 10, 0, 30},  {"täglich"_w, "00:00", 23, 59, 1},
        {"täglich"_w, "00:00", 0, 0, 0},    {"täglich"_w, "00:00", 0, 1, 1439}, {"Samstag", "10:30", 10, 0, -1},
        {"montag", "10:30", 10, 0, -1},     {"", "10:30", 10, 0, -1},
    };
    for (const auto& c : cases) {
        const LocalTime now{kYear, kMonth, kMonday, c.hour, c.minute, 0, 1, 340};
        EXPECT_EQ(Scheduler::MinutesUntil(entry(c.day, c.time), now), c.expected)
            << c.day.toUtf8() << " " << c.time << " at " << c.hour << ":" << c.minute;
    }
}

TEST(SchedulerTest, CaptionTexts) {
    VirtualClock clock(kYear, kMonth, kMonday, 10, 0);
    const std::pair<std::vector<ScheduleEntry>, const char*> cases[] = {
        {{}, "Es wurde keine Sicherung angelegt !"},
        // Only exactly "ja" is active; a day word that is none of the eight never counts.
        {{entry("Montag", "11:00", "Ja"), entry("Montag", "11:00", "nein"), entry("Samstag", "10:30")},
         "Es ist keine Sicherung aktiv !"},
        {{entry("Montag", "10:00")}, "Sicherung wird ausgeführt !"},
        {{entry("Dienstag", "08:00"), entry("täglich"_w, "10:30")}, "Noch 30 Minuten bis zur nächsten Sicherung"},
        {{entry("Dienstag", "08:00"), entry("täglich"_w, "10:30", "nein")},
         "Noch 22 Stunden und 0 Minuten bis zur nächsten Sicherung"},
    };
    for (const auto& [entries, caption] : cases) {
        auto list = std::make_shared<ScheduleList>();
        list->Replace(entries);
        std::string shown;
        Scheduler(std::make_shared<ThreadSlot>(), list, {[&](const WString& t) { shown = t.toUtf8(); }, {}, {}})
            .BuildStatusText();
        EXPECT_EQ(shown, std::string("Morlanz 1.1 - ") + caption);
    }
}

// Due jobs run in catalogue order, once in their minute; inactive jobs, other days and a
// hand-edited time that is not "hh:mm" never run.
TEST(SchedulerTest, JobsDueInOnePassRunInCatalogueOrderOnceInTheirMinute) {
    VirtualClock clock(kYear, kMonth, kMonday, 9, 59);
    LoopHarness loop(clock, {entry("Montag", "10:00", "ja", "B"), entry("Dienstag", "10:00", "ja", "X"),
                             entry("täglich"_w, "10:00", "ja", "A"), entry("Montag", "10:00", "nein", "Aus"),
                             entry("Montag", "9:59", "ja", "Kurz")});
    loop.runUntil(10, 5);
    EXPECT_EQ(loop.runs, (std::vector<std::string>{"B@10:00:00", "A@10:00:00"}));
}

TEST(SchedulerTest, ALongRunMakesTheNextMinutesJobMissAndTheOneAfterRun) {
    VirtualClock clock(kYear, kMonth, kMonday, 9, 59, 30);
    LoopHarness loop(clock, {entry("täglich"_w, "10:00", "ja", "Lang"), entry("täglich"_w, "10:01", "ja", "Verpasst"),
                             entry("täglich"_w, "10:02", "ja", "Danach")});
    loop.runUntil(10, 6, [&](const WString& name) {
        if (name == "Lang")
            clock.advanceMs(90'000);
    });
    EXPECT_EQ(loop.runs, (std::vector<std::string>{"Lang@10:00:00", "Danach@10:02:30"}));
}

TEST(SchedulerTest, AClockSetBackRunsAJobAgainWhenItsMinuteComesRound) {
    VirtualClock clock(kYear, kMonth, kMonday, 9, 59, 50);
    LoopHarness loop(clock, {entry("Montag", "10:00", "ja", "J")});
    bool setBack = false;
    loop.afterScan = [&] {
        if (!setBack && !loop.runs.empty() && clock.now().minute == 1) {
            setBack = true;
            clock.set(kYear, kMonth, kMonday, 9, 58);
        }
    };
    loop.runUntil(10, 4);
    EXPECT_EQ(loop.runs.size(), 2u);
}

// Shutdown waits only 500 ms for the scheduler, so its 60 s rest must see the stop event at once.
TEST(SchedulerTest, StopIsSeenDuringTheRestAfterARun) {
    VirtualClock clock(kYear, kMonth, kMonday, 10, 0);
    LoopHarness loop(clock, {entry("Montag", "10:00", "ja", "J")});
    const std::int64_t start = clock.monotonicMs();
    loop.runUntil(0, 0, [&](const WString&) { loop.slot->stopEvent.set(); });
    EXPECT_EQ(loop.runs.size(), 1u);
    EXPECT_LE(clock.monotonicMs() - start, 1500);
}
