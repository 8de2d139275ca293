#include "toolkit/core/WEventSemaphore.h"
#include "toolkit/core/WThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

using namespace std::chrono_literals;

namespace {

// Spins until cond holds or two seconds pass.
template <class F> bool eventually(F cond) {
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (!cond() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    return cond();
}

class QuitPump : public MessagePump {
public:
    bool pump(int) override {
        ++calls;
        return !quit;
    }
    bool isPumpThread() const override { return true; }
    std::atomic<bool> quit{false};
    std::atomic<int> calls{0};
};

} // namespace

// Priorities outside 0..6 are refused and change nothing. The worker counts as running for itself,
// even before start() returns; a running thread is not started twice; the name is cut to the
// kernel's 15 bytes; a pause point outside a worker returns at once.
TEST(WThreadTest, PriorityAndLifecycle) {
    WThread thread;
    EXPECT_TRUE(thread.setPriority(WThread::Lowest));
    for (int bad : {7, -1, 100}) {
        EXPECT_FALSE(thread.setPriority(bad)) << bad;
        EXPECT_FALSE(WCurrentThread::setPriority(bad)) << bad;
        EXPECT_EQ(thread.priority(), WThread::Lowest) << bad;
    }
    EXPECT_FALSE(thread.isRunning());
    EXPECT_FALSE(WCurrentThread::isWorker());
    WCurrentThread::pausePoint();
    WEventSemaphore release;
    std::atomic<bool> sawItself{false};
    std::atomic<bool> isWorker{false};
    std::string name;
    ASSERT_TRUE(thread.start([&] {
        sawItself = thread.isRunning();
        isWorker = WCurrentThread::isWorker();
        WCurrentThread::setName("sicherung thread with a long tail");
        name = WCurrentThread::name().bytes();
        release.wait(5000);
        return 7;
    }));
    EXPECT_TRUE(thread.isRunning());
    EXPECT_FALSE(thread.start([] { return 0; }));
    EXPECT_TRUE(thread.setPriority(6));
    release.set();
    ASSERT_TRUE(eventually([&] { return !thread.isRunning(); }));
    thread.join();
    EXPECT_TRUE(sawItself);
    EXPECT_TRUE(isWorker);
    EXPECT_EQ(name, "sicherung threa");
    EXPECT_EQ(thread.exitCode(), 7);
    EXPECT_EQ(thread.priority(), 6);
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

// A manual-reset event releases every waiter and stays set until reset. Waiting with dispatch
// handles messages meanwhile, and the quit message ends it at once, with false.
TEST(WEventSemaphoreTest, ManualResetAndDispatchingWait) {
    WEventSemaphore event;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(event.wait(50));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 45ms);
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

    QuitPump pump;
    MessagePump::install(&pump);
    std::thread setter([&] {
        std::this_thread::sleep_for(30ms);
        event.set();
    });
    EXPECT_TRUE(event.waitDispatching(5000));
    setter.join();
    EXPECT_GT(pump.calls, 1);
    event.reset();
    std::thread quitter([&] {
        std::this_thread::sleep_for(30ms);
        pump.quit = true;
    });
    const auto quitStart = std::chrono::steady_clock::now();
    EXPECT_FALSE(event.waitDispatching(10'000));
    EXPECT_LT(std::chrono::steady_clock::now() - quitStart, 1s);
    quitter.join();
    MessagePump::install(nullptr);
}
