// The workers' lifecycle: one stop sequence, and workers that outlive the form.
#include "AppTest.h"
#include "support/LogFileParts.h"
#include "support/VirtualClock.h"

#include <filesystem>

namespace {

using Strings = std::vector<std::string>;

} // namespace

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

// A scheduled copy that stays stuck in a write through the whole shutdown is given up; the form is
// destroyed; when the write returns, the worker finds its copy cancelled, its slot, schedule and
// log still there and the window gone. Built with AddressSanitizer this shows any touch of freed
// memory.
TEST_F(AppTest, AWorkerGivenUpAtShutdownWakesSafelyAfterTheFormIsGone) {
    std::filesystem::create_directories("quelle");
    std::filesystem::create_directories("ziel");
    TempWorkDir::writeBytes("quelle/daten.bin", std::string(20u << 20, 'd'));
    TempWorkDir::writeBytes("ziel/daten.bin", "vorige Sicherung");
    TempWorkDir::writeBytes("savename.ini", "[SICHERUNG]\r\nname_1=J\r\n\r\n[NUMMER]\r\nwert=1\r\n");
    TempWorkDir::writeBytes("save.ini",
                            "[J]\r\nvon_0=quelle/daten.bin\r\nnach=ziel\r\nwann=Montag\r\nzeit=10:00\r\naktiv=ja\r\n");
    TempWorkDir::writeBytes("Einstellung.ini", "[EINSTELLUNG]\r\nmethode=1\r\n");
    VirtualClock clock(2026, 12, 7, 9, 59, 59); // a Monday, a second before the job is due
    clock.RunInRealTime();
    GateWriter gate;
    auto form = start();
    ASSERT_TRUE(gate.entered.wait(30'000)) << "the scheduler started the run";
    std::shared_ptr<ThreadSlot> scheduler = form->threadSlots().share(WorkerSlots::kScheduler);

    WEventData close{WEventId::CloseEvent};
    form->form().raiseEvent(close);
    EXPECT_FALSE(scheduler->isAlive()) << "given up";
    EXPECT_FALSE(scheduler->finishedEvent.isSet()) << "still inside its write";
    form.reset();

    gate.released.set();
    ASSERT_TRUE(scheduler->finishedEvent.wait(60'000)) << "the worker ended on its own";
    EXPECT_EQ(TempWorkDir::readBytes("ziel/daten.bin"), "vorige Sicherung");
    EXPECT_EQ(TempWorkDir::entriesOf("ziel"), Strings{"daten.bin"});
    const auto entries = logparts::sections(TempWorkDir::readBytes("save.log"));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].lines, (Strings{"Sicherung=gestartet", "Name=J", "Verlauf=error"}));
}
