#include "backup/ThreadSlot.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace std::chrono_literals;

// Shutdown gives each worker a limited time; one that does not finish is given up, after its owner
// had the chance to cancel its work.
TEST(ThreadSlotTest, AWorkerThatIgnoresStopIsWaitedForThenAbandoned) {
    ThreadSlot slot;
    slot.reset();
    WEventSemaphore release;
    WEventSemaphore ended;
    slot.start(
        [&] {
            release.wait(60'000);
            ended.set();
            return 0;
        },
        3);
    const auto start = std::chrono::steady_clock::now();
    slot.stop(100);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms) << "the stop waited its full time";
    EXPECT_EQ(slot.state(), ThreadSlot::Stopped);
    EXPECT_TRUE(slot.isAlive());
    bool cancelled = false;
    slot.abandonIfAlive([&] { cancelled = true; });
    EXPECT_TRUE(cancelled) << "the owner gets to cancel the worker's work first";
    EXPECT_FALSE(slot.isAlive());
    release.set();
    EXPECT_TRUE(ended.wait(60'000)) << "the abandoned thread ends on its own";
}
