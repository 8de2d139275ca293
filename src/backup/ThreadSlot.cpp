#include "ThreadSlot.h"

void ThreadSlot::reset() {
    state_ = Stopped;
    stopEvent.reset();
    finishedEvent.reset();
}

bool ThreadSlot::start(std::function<int()> body, int priority) {
    if (!thread.start(std::move(body)))
        return false;
    thread.setPriority(priority);
    state_ = Running;
    return true;
}

void ThreadSlot::pause() {
    if (state_ != Running)
        return;
    thread.suspend();
    state_ = Paused;
}

void ThreadSlot::resume() {
    if (state_ != Paused)
        return;
    thread.resume();
    state_ = Running;
}

void ThreadSlot::stop(int waitMs) {
    // A paused worker could never see its stop event.
    resume();
    if (thread.isRunning()) {
        stopEvent.set();
        finishedEvent.waitDispatching(waitMs);
    }
    state_ = Stopped;
}

void ThreadSlot::abandonIfAlive(const std::function<void()>& onAbandon) {
    if (!thread.isRunning())
        return;
    if (onAbandon)
        onAbandon();
    thread.abandon();
}

bool ThreadSlot::shouldStop() {
    WCurrentThread::pausePoint();
    return stopEvent.isSet();
}
