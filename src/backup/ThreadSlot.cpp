#include "backup/ThreadSlot.h"

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

void ThreadSlot::stop(int waitMs, bool dispatch) {
    // A paused worker could never see its stop event. The event is set first, so that the worker
    // sees it at the very check where it resumes.
    if (thread.isRunning())
        stopEvent.set();
    resume();
    if (thread.isRunning()) {
        if (dispatch)
            finishedEvent.waitDispatching(waitMs);
        else
            finishedEvent.wait(waitMs);
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
