#include "toolkit/core/WEventSemaphore.h"
#include "toolkit/gui/WApplication.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>

namespace {

// An application whose start the test scripts; it logs start, end and signal handling.
class ScriptedApplication : public WApplication {
public:
    explicit ScriptedApplication(std::function<bool()> start)
        : WApplication(argc_, argv_, "headless"), start_(std::move(start)) {}
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

TEST(ApplicationTest, StartRunAndEndGiveTheExitCode) {
    bool waited = true;
    // An event that is never set and no time limit: only the quit message can end this wait.
    const auto waitAfterQuit = [&waited] {
        WApplication::quit(0);
        waited = WEventSemaphore().waitDispatching(std::numeric_limits<int>::max());
        return true;
    };
    const std::tuple<const char*, std::function<bool()>, int, const char*> cases[] = {
        {"no main window", [] { return false; }, 255, "start end"},
        {"quit", [] { return WApplication::quit(7), true; }, 7, "start end"},
        {"exit during start-up", [] { return WApplication::exitNow(WApplication::ExitNarrowScreen), true; }, 1,
         "start end"},
        // Handled by the application, delivered once its loop runs; start-up can ask for it at once.
        {"terminate signal",
         [] {
             return !WApplication::terminateRequested() && std::raise(SIGTERM) == 0 &&
                    WApplication::terminateRequested();
         },
         0, "start signal end"},
        // A wait with dispatch ends at once, and false, once the program is to quit.
        {"wait after quit", waitAfterQuit, 0, "start end"},
    };
    for (const auto& [name, start, code, log] : cases) {
        ScriptedApplication app(start);
        EXPECT_EQ(app.exec(), code) << name;
        EXPECT_EQ(app.log, log) << name << ": the end runs last, whatever the start did";
    }
    EXPECT_FALSE(waited);
}

TEST(ApplicationTest, WithoutADisplayItRunsHeadlessOnTheOffscreenPlatform) {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        unsetenv(name);
    ScriptedApplication app([] { return true; });
    EXPECT_EQ(QGuiApplication::platformName(), "offscreen");
}

} // namespace
