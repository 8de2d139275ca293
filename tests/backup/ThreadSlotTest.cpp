#include "ThreadSlot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace {

// A worker that follows the slot contract: check once per cycle, finish, return 0.
int politeBody(ThreadSlot& slot, std::atomic<int>& cycles) {
    while (!slot.shouldStop()) {
        ++cycles;
        std::this_thread::sleep_for(2ms);
    }
    slot.finish();
    return 0;
}

} // namespace

TEST(ThreadSlotTest, PauseAndResumeOnlyActFromTheMatchingState) {
    ThreadSlot slot;
    slot.reset();
    slot.pause();
    EXPECT_EQ(slot.state(), ThreadSlot::Stopped);
    slot.resume();
    EXPECT_EQ(slot.state(), ThreadSlot::Stopped);

    std::atomic<int> cycles{0};
    ASSERT_TRUE(slot.start([&] { return politeBody(slot, cycles); }, 3));
    EXPECT_EQ(slot.state(), ThreadSlot::Running);
    slot.resume();
    EXPECT_EQ(slot.state(), ThreadSlot::Running);
    slot.pause();
    EXPECT_EQ(slot.state(), ThreadSlot::Paused);
    slot.pause();
    EXPECT_EQ(slot.state(), ThreadSlot::Paused);
    slot.resume();
    EXPECT_EQ(slot.state(), ThreadSlot::Running);
    slot.stop(2000);
    EXPECT_EQ(slot.state(), ThreadSlot::Stopped);
}

TEST(ThreadSlotTest, StoppingAPausedWorkerResumesItAndWaitsForItToFinish) {
    ThreadSlot slot;
    slot.reset();
    std::atomic<int> cycles{0};
    slot.start([&] { return politeBody(slot, cycles); }, 3);
    while (cycles < 2)
        std::this_thread::sleep_for(1ms);
    slot.pause();
    std::this_thread::sleep_for(20ms);

    const auto start = std::chrono::steady_clock::now();
    slot.stop(500);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms) << "the worker should finish promptly";
    EXPECT_TRUE(slot.finishedEvent.isSet());
    EXPECT_EQ(slot.state(), ThreadSlot::Stopped);
    EXPECT_FALSE(slot.thread.isSuspended());
    for (int i = 0; i < 200 && slot.isAlive(); ++i)
        std::this_thread::sleep_for(1ms);
    EXPECT_FALSE(slot.isAlive());
}

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
