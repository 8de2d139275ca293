#include "WApplication.h"
#include "WEventSemaphore.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <string>

namespace {

// An application whose start, end and signal handling the test scripts.
class ScriptedApplication : public WApplication {
public:
    explicit ScriptedApplication(std::function<bool()> start) : WApplication(argc_, argv_), start_(std::move(start)) {}
    std::string log;

protected:
    bool onStart() override {
        log += "start ";
        return start_();
    }
    void onEnd() override { log += "end"; }
    void onTerminateSignal() override {
        log += "signal ";
        quit(ExitNormal);
    }

private:
    inline static int argc_ = 1;
    inline static char arg0_[] = "morlanz-test";
    inline static char* argv_[] = {arg0_, nullptr};
    std::function<bool()> start_;
};

} // namespace

TEST(ApplicationTest, MainWindowThatCannotBeCreatedEndsWithMinusOne) {
    ScriptedApplication app([] { return false; });
    EXPECT_EQ(app.exec(), 255);
    EXPECT_EQ(app.log, "start end") << "the end event still runs";
}

TEST(ApplicationTest, QuitCodeEndsTheMessageLoopAndEndRunsLast) {
    ScriptedApplication app([] {
        WApplication::quit(7);
        return true;
    });
    EXPECT_EQ(app.exec(), 7);
    EXPECT_EQ(app.log, "start end");
}

TEST(ApplicationTest, ExitDuringStartUpSkipsTheMessageLoop) {
    ScriptedApplication app([] {
        WApplication::exitNow(WApplication::ExitNarrowScreen);
        return true;
    });
    EXPECT_EQ(app.exec(), 1);
}

TEST(ApplicationTest, WaitWithDispatchEndsFalseAtOnceAfterQuit) {
    bool waited = true;
    std::chrono::steady_clock::duration took{};
    ScriptedApplication app([&] {
        WApplication::quit(0);
        WEventSemaphore never;
        const auto start = std::chrono::steady_clock::now();
        waited = never.waitDispatching(10'000);
        took = std::chrono::steady_clock::now() - start;
        return true;
    });
    EXPECT_EQ(app.exec(), 0);
    EXPECT_FALSE(waited);
    EXPECT_LT(took, std::chrono::seconds(2));
}

TEST(ApplicationTest, TerminateSignalGoesThroughTheApplication) {
    ScriptedApplication app([] {
        std::raise(SIGTERM); // handled by the application, delivered once its loop runs
        return true;
    });
    EXPECT_EQ(app.exec(), 0);
    EXPECT_EQ(app.log, "start signal end");
}
