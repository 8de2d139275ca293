#include "toolkit/gui/qt/QtMessagePump.h"

#include "toolkit/gui/WApplication.h"

#include <QCoreApplication>
#include <QThread>

bool QtMessagePump::pump(int maxTimeMs) {
    if (WApplication::quitRequested())
        return false;
    if (maxTimeMs > 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, maxTimeMs);
    else
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    return !WApplication::quitRequested();
}

bool QtMessagePump::isPumpThread() const {
    auto* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}
