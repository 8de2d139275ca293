#include "toolkit/gui/qt/QtBlockingCalls.h"

#include <QCoreApplication>
#include <QObject>

QEvent::Type QtBlockingCalls::wakeUpType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

bool QtBlockingCalls::runAndWait(const std::function<void()>& fn) {
    Call call{&fn};
    std::unique_lock lock(mutex_);
    if (closed_)
        return false;
    queue_.push_back(&call);
    // Posted under the lock: close() cannot pass, so the target is still there.
    QCoreApplication::postEvent(target_, new QEvent(wakeUpType()));
    changed_.wait(lock, [&call] { return call.done; });
    return call.started;
}

void QtBlockingCalls::runQueued() {
    for (;;) {
        Call* call = nullptr;
        {
            std::lock_guard lock(mutex_);
            if (closed_ || queue_.empty())
                return;
            call = queue_.front();
            queue_.pop_front();
            call->started = true;
        }
        // Unlocked: the call may raise handlers that make calls of their own or close this.
        (*call->fn)();
        // Notified under the lock: the caller, once released, takes the call's data with it.
        std::lock_guard lock(mutex_);
        call->done = true;
        changed_.notify_all();
    }
}

void QtBlockingCalls::close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    for (Call* call : queue_)
        call->done = true;
    queue_.clear();
    changed_.notify_all();
}
