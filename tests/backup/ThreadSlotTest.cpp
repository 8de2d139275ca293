#include "backup/ThreadSlot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;

// Shutdown gives each worker a limited time; one that does not finish is given up, after its owner
// had the chance to cancel its work.
TEST(ThreadSlotTest, AWorkerThatIgnoresStopIsWaitedForThenAbandoned) {
    ThreadSlot slot;
    slot.reset();
    std::atomic<bool> release{false};
    slot.start(
        [&] {
            while (!release)
                std::this_thread::sleep_for(1ms);
            return 0;
        },
        3);
    const auto start = std::chrono::steady_clock::now();
    slot.stop(100);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, 90ms);
    EXPECT_LT(waited, 2s);
    EXPECT_TRUE(slot.isAlive());
    bool cancelled = false;
    slot.abandonIfAlive([&] { cancelled = true; });
    EXPECT_TRUE(cancelled) << "the owner gets to cancel the worker's work first";
    EXPECT_FALSE(slot.isAlive());
    release = true;
    std::this_thread::sleep_for(10ms); // let the abandoned thread end before the test does
}
