#pragma once

#include <QEvent>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

class QObject;

// Calls that other threads hand to a window's (user-interface) thread and wait for, as with the
// platform's messages sent to a window of another thread (toolkit internal). The calls and their
// results pass through this object's own lock, which thread checkers can follow; Qt only carries a
// bare wake-up event to the window's thread. Closing releases every caller whose call has not
// started; a call under way always ends first, since it works on its caller's data. Callers share the
// object, so that it outlives their wait even when the window goes meanwhile.
class QtBlockingCalls {
public:
    // The wake-up event's type: its receiver answers it with runQueued().
    static QEvent::Type wakeUpType();

    // wakeTarget lives on the window's thread and stays alive until close().
    explicit QtBlockingCalls(QObject* wakeTarget) : target_(wakeTarget) {}
    QtBlockingCalls(const QtBlockingCalls&) = delete;
    QtBlockingCalls& operator=(const QtBlockingCalls&) = delete;

    // From another thread: queues fn, wakes the target and waits until fn has run on the window's
    // thread. False when the calls were closed before fn could run.
    bool runAndWait(const std::function<void()>& fn);
    // From another thread: queues fn behind every earlier call and returns at once. False when the
    // calls were closed; a queued fn that has not run when they close is dropped.
    bool post(std::function<void()> fn);
    // On the window's thread, for the wake-up event: runs the queued calls in order.
    void runQueued();
    // On the window's thread: refuses every later call and releases the waiting ones.
    void close();

private:
    struct Call {
        const std::function<void()>* fn;
        bool started = false;
        bool done = false;
    };
    std::mutex mutex_;
    std::condition_variable changed_;
    // A waiting caller's call, or a posted function.
    struct Entry {
        Call* call = nullptr;
        std::function<void()> posted;
    };
    std::deque<Entry> queue_;
    QObject* target_;
    bool closed_ = false;
};
