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
    queue_.push_back({&call, {}});
    // Posted under the lock: close() cannot pass, so the target is still there.
    QCoreApplication::postEvent(target_, new QEvent(wakeUpType()));
    changed_.wait(lock, [&call] { return call.done; });
    return call.started;
}

bool QtBlockingCalls::post(std::function<void()> fn) {
    std::lock_guard lock(mutex_);
    if (closed_)
        return false;
    // A queue that is not empty has a wake-up on the way already.
    const bool wake = queue_.empty();
    queue_.push_back({nullptr, std::move(fn)});
    if (wake)
        QCoreApplication::postEvent(target_, new QEvent(wakeUpType()));
    return true;
}

void QtBlockingCalls::runQueued() {
    for (;;) {
        Entry entry;
        {
            std::lock_guard lock(mutex_);
            if (closed_ || queue_.empty())
                return;
            entry = std::move(queue_.front());
            queue_.pop_front();
            if (entry.call)
                entry.call->started = true;
        }
        // Unlocked: the call may raise handlers that make calls of their own or close this.
        if (!entry.call) {
            entry.posted();
            continue;
        }
        (*entry.call->fn)();
        // Notified under the lock: the caller, once released, takes the call's data with it.
        std::lock_guard lock(mutex_);
        entry.call->done = true;
        changed_.notify_all();
    }
}

void QtBlockingCalls::close() {
    std::deque<Entry> dropped;
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        for (Entry& entry : queue_) {
            if (entry.call)
                entry.call->done = true;
        }
        dropped.swap(queue_);
        changed_.notify_all();
    }
    // Posted functions go outside the lock: what they hold may lead back here.
}
