#include "WEventSemaphore.h"
#include "WThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace {

// Spins until cond holds or two seconds pass.
template <class F> bool eventually(F cond) {
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (!cond()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

class QuitPump : public MessagePump {
public:
    bool pump(int) override {
        ++calls;
        return !quit;
    }
    bool isPumpThread() const override { return true; }
    bool quit = false;
    int calls = 0;
};

} // namespace

TEST(WThreadTest, PriorityOutsideZeroToSixIsRefusedAndChangesNothing) {
    WThread thread;
    EXPECT_TRUE(thread.setPriority(WThread::Lowest));
    for (int bad : {7, 8, -1, 100}) {
        EXPECT_FALSE(thread.setPriority(bad)) << bad;
        EXPECT_EQ(thread.priority(), WThread::Lowest) << bad;
    }
    EXPECT_TRUE(thread.setPriority(6));
    EXPECT_EQ(thread.priority(), 6);
}

TEST(WThreadTest, IsRunningForItselfWhileAliveAndNotAfterItEnds) {
    WThread thread;
    EXPECT_FALSE(thread.isRunning());
    WEventSemaphore release;
    std::atomic<bool> sawItself{false};
    ASSERT_TRUE(thread.start([&] {
        sawItself = thread.isRunning();
        release.wait(5000);
        return 7;
    }));
    EXPECT_TRUE(thread.isRunning());
    EXPECT_FALSE(thread.start([] { return 0; })) << "a running thread must not be started twice";
    release.set();
    ASSERT_TRUE(eventually([&] { return !thread.isRunning(); }));
    thread.join();
    EXPECT_TRUE(sawItself);
    EXPECT_EQ(thread.exitCode(), 7);
}

TEST(WThreadTest, SuspendHaltsTheWorkerAtItsNextCheckOnlyAndResumeLetsItGoOn) {
    WThread thread;
    std::atomic<int> cycles{0};
    std::atomic<bool> stop{false};
    thread.start([&] {
        while (!stop) {
            WCurrentThread::pausePoint();
            ++cycles;
            std::this_thread::sleep_for(1ms);
        }
        return 0;
    });
    ASSERT_TRUE(eventually([&] { return cycles > 3; }));
    thread.suspend();
    std::this_thread::sleep_for(20ms); // let a cycle in progress end at its check
    const int frozen = cycles;
    std::this_thread::sleep_for(50ms);
    EXPECT_LE(cycles - frozen, 1);
    thread.resume();
    EXPECT_TRUE(eventually([&] { return cycles > frozen + 3; }));
    stop = true;
    thread.join();
}

TEST(WThreadTest, ThreadNameIsCutToFifteenBytes) {
    WThread thread;
    std::string seen;
    thread.start([&] {
        WCurrentThread::setName("sicherung thread with a long tail");
        seen = WCurrentThread::name().bytes();
        return 0;
    });
    thread.join();
    EXPECT_EQ(seen, "sicherung threa");
}

TEST(WThreadTest, PausePointOutsideAWorkerReturnsAtOnce) {
    EXPECT_FALSE(WCurrentThread::isWorker());
    WCurrentThread::pausePoint();
    SUCCEED();
}

TEST(WEventSemaphoreTest, ManualResetReleasesEveryWaiterAndStaysSetUntilReset) {
    WEventSemaphore event;
    EXPECT_FALSE(event.wait(0));
    std::atomic<int> released{0};
    std::thread a([&] { released += event.wait(5000); });
    std::thread b([&] { released += event.wait(5000); });
    event.set();
    a.join();
    b.join();
    EXPECT_EQ(released, 2);
    EXPECT_TRUE(event.wait(0)) << "still set";
    event.reset();
    EXPECT_FALSE(event.isSet());
}

TEST(WEventSemaphoreTest, WaitTimesOutAfterRoughlyItsTimeout) {
    WEventSemaphore event;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(event.wait(50));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, 45ms);
    EXPECT_LT(waited, 2s);
}

TEST(WEventSemaphoreTest, DispatchingWaitEndsFalseAtOnceOnQuit) {
    QuitPump pump;
    MessagePump::install(&pump);
    WEventSemaphore event;
    pump.quit = true;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(event.waitDispatching(10'000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);

    pump.quit = false;
    std::thread setter([&] {
        std::this_thread::sleep_for(30ms);
        event.set();
    });
    EXPECT_TRUE(event.waitDispatching(5000));
    setter.join();
    EXPECT_GT(pump.calls, 1) << "messages must be handled while waiting";
    MessagePump::install(nullptr);
}
