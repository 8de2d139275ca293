// The workers' lifecycle: one stop sequence for every slot. No window needed.
#include "app/WorkerSlots.h"

#include <gtest/gtest.h>

#include <memory>

// Prompt workers are stopped and never cancelled; one that ignores its stop gets its work
// cancelled, some time to end, and is given up only when that does not help.
TEST(WorkerSlotsTest, StopAllCancelsOnlyWhatDoesNotEndAndGivesUpOnlyWhatStillRuns) {
    for (const bool endsOnCancel : {true, false}) {
        WorkerSlots slots;
        WEventSemaphore cancelled;
        WEventSemaphore release;
        slots.Start(
            WorkerSlots::kClock,
            [](ThreadSlot& slot) {
                while (!slot.shouldStop())
                    slot.stopEvent.wait(60'000);
                slot.finish();
                return 0;
            },
            WThread::Lowest);
        slots.Start(
            WorkerSlots::kScheduler,
            [&](ThreadSlot& slot) {
                // Inside a copy: deaf to its stop event, ends only when its copy is cancelled.
                (endsOnCancel ? cancelled : release).wait(60'000);
                slot.finish();
                return 0;
            },
            WThread::Normal);
        int cancels = 0;
        slots.StopAll(
            [&] {
                ++cancels;
                cancelled.set();
            },
            false);
        EXPECT_EQ(cancels, 1) << endsOnCancel;
        EXPECT_TRUE(slots[WorkerSlots::kClock].finishedEvent.isSet());
        EXPECT_EQ(slots[WorkerSlots::kScheduler].finishedEvent.isSet(), endsOnCancel);
        EXPECT_FALSE(slots.AnyAlive()) << "a worker still running is given up";
        std::shared_ptr<ThreadSlot> abandoned = slots.share(WorkerSlots::kScheduler);
        release.set();
        EXPECT_TRUE(abandoned->finishedEvent.wait(60'000));
    }
}
