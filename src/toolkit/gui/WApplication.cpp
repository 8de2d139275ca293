#include "toolkit/gui/WApplication.h"

#include "toolkit/gui/qt/QtMessagePump.h"
#include "toolkit/gui/qt/QtWorkArea.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSocketNotifier>
#include <QTranslator>

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

std::atomic<bool> g_quitRequested{false};
std::atomic<int> g_quitCode{0};
std::atomic<bool> g_terminateRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set in a signal handler");
std::optional<int> g_exitNow;
bool g_headless = false;
int g_signalFds[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    // Only async-signal-safe work here: the loop reads the byte and does the rest.
    g_terminateRequested = true;
    [[maybe_unused]] const auto written = ::write(g_signalFds[0], &byte, 1);
}

QtMessageHandler g_defaultHandler = nullptr;

// Headless, standard error carries our one line about running without a window and real errors,
// not the offscreen platform's notes about what it cannot do.
void headlessMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg)
        return;
    if (g_defaultHandler)
        g_defaultHandler(type, context, message);
}

bool envEmpty(const char* name) {
    const char* value = std::getenv(name);
    return !value || !*value;
}

// With no X11 or Wayland server the scheduler still runs, on Qt's offscreen platform; a display
// that is named but cannot be reached falls back to it too instead of ending the program.
bool chooseHeadless() {
    if (envEmpty("QT_QPA_PLATFORM")) {
        if (envEmpty("DISPLAY") && envEmpty("WAYLAND_DISPLAY"))
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        else if (envEmpty("WAYLAND_DISPLAY"))
            setenv("QT_QPA_PLATFORM", "xcb;offscreen", 1);
    }
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    return platform && (std::strcmp(platform, "offscreen") == 0 || std::strcmp(platform, "minimal") == 0);
}

} // namespace

struct WApplication::Impl {
    std::unique_ptr<QApplication> app;
    QTranslator translator;
    QtMessagePump pump;
    QtWorkArea workArea;
    std::unique_ptr<QSocketNotifier> signalNotifier;
    WorkArea* previousWorkArea = nullptr;
};

WApplication::WApplication(int& argc, char** argv, std::string headlessNotice) : impl_(std::make_unique<Impl>()) {
    g_quitRequested = false;
    g_quitCode = 0;
    g_terminateRequested = false;
    g_exitNow.reset();
    g_headless = chooseHeadless();
    if (g_headless)
        g_defaultHandler = qInstallMessageHandler(headlessMessages);
    impl_->app = std::make_unique<QApplication>(argc, argv);
    // Qt's own texts (a text box's context menu, standard buttons) in German, where Debian's
    // translations are installed; without them those few texts stay English.
    if (impl_->translator.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                               QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&impl_->translator);
    const QString platform = QGuiApplication::platformName();
    g_headless = platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
    // The program ends when its main form closes, even when that form was never shown.
    impl_->app->setQuitOnLastWindowClosed(false);
    MessagePump::install(&impl_->pump);
    impl_->previousWorkArea = WorkArea::installed();
    if (!impl_->previousWorkArea)
        WorkArea::install(&impl_->workArea);

    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalFds) == 0) {
        impl_->signalNotifier = std::make_unique<QSocketNotifier>(g_signalFds[1], QSocketNotifier::Read);
        QObject::connect(impl_->signalNotifier.get(), &QSocketNotifier::activated, [this] {
            char byte = 0;
            [[maybe_unused]] const auto got = ::read(g_signalFds[1], &byte, 1);
            onTerminateSignal();
        });
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGINT, &action, nullptr);
        sigaction(SIGTERM, &action, nullptr);
    }
    if (g_headless) {
        headlessNotice += '\n';
        std::fputs(headlessNotice.c_str(), stderr);
    }
}

WApplication::~WApplication() {
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    impl_->signalNotifier.reset();
    for (int& fd : g_signalFds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    MessagePump::install(nullptr);
    if (WorkArea::installed() == &impl_->workArea)
        WorkArea::install(impl_->previousWorkArea);
    impl_->app.reset();
    if (g_headless)
        qInstallMessageHandler(g_defaultHandler);
}

int WApplication::exec() {
    if (!onStart()) {
        onEnd();
        return ExitNoWindow;
    }
    int code = 0;
    if (g_exitNow) {
        code = *g_exitNow;
    } else if (g_quitRequested) {
        code = g_quitCode;
    } else {
        code = QApplication::exec();
        if (g_quitRequested)
            code = g_quitCode;
    }
    onEnd();
    return code;
}

void WApplication::quit(int exitCode) {
    g_quitCode = exitCode;
    g_quitRequested = true;
    QCoreApplication::exit(exitCode);
}

bool WApplication::quitRequested() {
    return g_quitRequested;
}

bool WApplication::isHeadless() {
    return g_headless;
}

bool WApplication::terminateRequested() {
    return g_terminateRequested;
}

void WApplication::exitNow(int exitCode) {
    g_exitNow = exitCode;
    quit(exitCode);
}
