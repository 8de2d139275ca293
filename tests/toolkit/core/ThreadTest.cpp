#include "support/SeamScope.h"
#include "toolkit/core/WEventSemaphore.h"
#include "toolkit/core/WThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <latch>
#include <limits>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

// Waits as long as it takes: a wait that never ends is caught by the test's overall time limit.
constexpr int kForever = std::numeric_limits<int>::max();

// Counts its rounds; sets an event, or answers "quit", once a given round is reached.
class ScriptedPump : public MessagePump {
public:
    bool pump(int) override {
        ++calls;
        if (calls == setAt && event)
            event->set();
        return calls != quitAt;
    }
    bool isPumpThread() const override { return true; }
    int calls = 0;
    int setAt = 0;
    int quitAt = 0;
    WEventSemaphore* event = nullptr;
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
    std::latch release(1);
    std::atomic<bool> sawItself{false};
    std::atomic<bool> isWorker{false};
    std::string name;
    ASSERT_TRUE(thread.start([&] {
        sawItself = thread.isRunning();
        isWorker = WCurrentThread::isWorker();
        WCurrentThread::setName("sicherung thread with a long tail");
        name = WCurrentThread::name().bytes();
        release.wait();
        return 7;
    }));
    EXPECT_TRUE(thread.isRunning());
    EXPECT_FALSE(thread.start([] { return 0; }));
    EXPECT_TRUE(thread.setPriority(6));
    release.count_down();
    thread.join();
    EXPECT_FALSE(thread.isRunning());
    EXPECT_TRUE(sawItself);
    EXPECT_TRUE(isWorker);
    EXPECT_EQ(name, "sicherung threa");
    EXPECT_EQ(thread.exitCode(), 7);
    EXPECT_EQ(thread.priority(), 6);
}

// The worker runs cycles that each begin at a pause point and end only when the test allows it. A
// suspension lets the cycle under way end, then holds the worker at its next pause point until
// resume: every cycle begins with resume() already called.
TEST(WThreadTest, SuspendHaltsTheWorkerAtItsNextCheckOnlyAndResumeLetsItGoOn) {
    std::mutex mutex;
    std::condition_variable changed;
    int ended = 0, allowed = 0;
    bool resumed = true, stop = false;
    std::vector<bool> resumedWhenBegun; // per cycle
    const auto waitFor = [&](auto cond) {
        std::unique_lock lock(mutex);
        changed.wait(lock, cond);
    };
    const auto change = [&](auto step) {
        std::lock_guard lock(mutex);
        step();
        changed.notify_all();
    };
    WThread thread;
    ASSERT_TRUE(thread.start([&] {
        for (;;) {
            WCurrentThread::pausePoint();
            std::unique_lock lock(mutex);
            if (stop)
                return 0;
            resumedWhenBegun.push_back(resumed);
            changed.notify_all();
            changed.wait(lock, [&] { return ended < allowed || stop; });
            ++ended;
            changed.notify_all();
        }
    }));
    constexpr std::size_t kRounds = 10;
    for (std::size_t round = 1; round <= kRounds; ++round) {
        waitFor([&] { return resumedWhenBegun.size() == round; }); // the worker is inside a cycle
        thread.suspend();
        change([&] {
            resumed = false;
            ++allowed;
        });
        waitFor([&] { return ended == allowed; }); // the cycle under way ends while suspended
        EXPECT_TRUE(thread.isSuspended());
        change([&] { resumed = true; });
        thread.resume();
        EXPECT_FALSE(thread.isSuspended());
    }
    waitFor([&] { return resumedWhenBegun.size() == kRounds + 1; });
    change([&] { stop = true; });
    thread.join();
    EXPECT_EQ(resumedWhenBegun, std::vector<bool>(kRounds + 1, true));
}

// A manual-reset event releases every waiter and stays set until reset; a wait that times out takes
// its time. Waiting with dispatch handles messages meanwhile and ends once the event is set, and at
// once, with false, when the quit message arrives.
TEST(WEventSemaphoreTest, ManualResetAndDispatchingWait) {
    WEventSemaphore event;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(event.wait(50));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 45ms);
    std::atomic<int> released{0};
    std::thread a([&] { released += event.wait(kForever); });
    std::thread b([&] { released += event.wait(kForever); });
    event.set();
    a.join();
    b.join();
    EXPECT_EQ(released, 2);
    EXPECT_TRUE(event.wait(0)) << "still set";
    event.reset();
    EXPECT_FALSE(event.isSet());

    struct Case {
        const char* name;
        int setAt, quitAt;
        bool result;
        int rounds;
    };
    for (const Case& c :
         {Case{"set during the third round", 3, 0, true, 3}, Case{"quit in the second round", 0, 2, false, 2}}) {
        ScriptedPump pump;
        pump.setAt = c.setAt;
        pump.quitAt = c.quitAt;
        pump.event = &event;
        const SeamScope<MessagePump> installed(&pump);
        EXPECT_EQ(event.waitDispatching(kForever), c.result) << c.name;
        EXPECT_EQ(pump.calls, c.rounds) << c.name << ": not a round more";
        event.reset();
    }
}
