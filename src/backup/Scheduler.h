#pragma once

#include "backup/ThreadSlot.h"
#include "storage/ScheduleList.h"
#include "toolkit/core/Clock.h"
#include "toolkit/core/WString.h"

#include <functional>
#include <memory>

// The "sicherung thread": twice a second it counts down to the next run and runs every active job
// whose day and minute have come, then rests 60 s so that no job runs twice in its minute.
// It reads only the in-memory schedule and the clock; the window is reached through hooks.
// The scheduler shares the ownership of its slot and schedule: a worker that is given up at
// shutdown may wake after the window and its controller are gone, and must still find both.
class Scheduler {
public:
    struct Hooks {
        std::function<void(const WString&)> setCaption; // the title prefix plus the one-line text
        std::function<void(const WString&)> setTooltip; // the two-line text; may be empty
        std::function<void(const WString&)> runBackup;  // a scheduled run of the named job
    };

    Scheduler(std::shared_ptr<ThreadSlot> slot, std::shared_ptr<const ScheduleList> schedule, Hooks hooks);

    // The thread's body; returns 0 once the slot's stop event is seen.
    int SchedulerLoop();
    // Sets the caption and returns the two-line text for the tray.
    WString BuildStatusText();

    // Minutes from now until the entry's next run; -1 for a day word that is none of the eight,
    // which can never run and so does not count.
    static int MinutesUntil(const ScheduleEntry& entry, const LocalTime& now);
    static bool IsDue(const ScheduleEntry& entry, const LocalTime& now);

private:
    // Sleeps in the scheduler's 500 ms steps; false when the stop event came meanwhile.
    bool restSixtySeconds();

    std::shared_ptr<ThreadSlot> slot_;
    std::shared_ptr<const ScheduleList> schedule_;
    Hooks hooks_;
};

// The "zeit thread": writes date, weekday and time into the clock label ten times a second.
int ClockLoop(ThreadSlot& slot, const std::function<void(const WString&)>& setLabel);
