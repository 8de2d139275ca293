#pragma once

#include <memory>
#include <string>

class QApplication;

// The process: start (create the main form), run (message loop) and end (destroy it).
class WApplication {
public:
    static constexpr int ExitNormal = 0;
    static constexpr int ExitNarrowScreen = 1;
    static constexpr int ExitNoWindow = 255; // the platform's -1

    // Chooses Qt's offscreen platform when no display is reachable, and then writes headlessNotice
    // (the program's own words, one line) to standard error.
    WApplication(int& argc, char** argv, std::string headlessNotice);
    virtual ~WApplication();

    // start -> run -> end; returns the process exit code.
    int exec();
    // Posts the quit message: the message loop ends with this code.
    static void quit(int exitCode);
    static bool quitRequested();
    // Ends start-up at once with this code (the message loop is not entered).
    static void exitNow(int exitCode);
    // True from the moment SIGINT or SIGTERM arrives. The loop handles the signal only once it
    // runs, so start-up's long steps ask this to end early.
    static bool terminateRequested();
    // Running without a display, on Qt's offscreen platform: nobody sees a window or a message box.
    static bool isHeadless();

protected:
    // Creates the main form; false ends the program with ExitNoWindow.
    virtual bool onStart() = 0;
    virtual void onEnd() = 0;
    // SIGINT/SIGTERM: the application closes its main form through the ordinary close path.
    virtual void onTerminateSignal() = 0;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
