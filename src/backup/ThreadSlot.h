#pragma once

#include "toolkit/core/WEventSemaphore.h"
#include "toolkit/core/WThread.h"

#include <atomic>
#include <functional>

// One worker of the main form: its thread, state and the stop and finished events.
// A worker body calls shouldStop() once per cycle; when it returns true the body calls finish()
// and returns 0.
class ThreadSlot {
public:
    enum State { Stopped = 0, Running = 1, Paused = 2 };

    // New, unsignalled events and the state Stopped.
    void reset();
    // Starts body on a new thread with the priority index; the state becomes Running.
    bool start(std::function<int()> body, int priority);
    // Running -> Paused (the worker halts at its next check); otherwise nothing.
    void pause();
    // Paused -> Running; otherwise nothing.
    void resume();
    // Resumes a paused worker, signals stop and waits up to waitMs for it to finish, by default
    // while the window keeps handling its messages; the state becomes Stopped.
    void stop(int waitMs, bool dispatch = true);
    // Gives up a worker that did not finish in time. onAbandon lets the owner cancel its work first.
    void abandonIfAlive(const std::function<void()>& onAbandon = {});

    // For the worker: halts here while paused, then tells whether stop was signalled.
    bool shouldStop();
    void finish() { finishedEvent.set(); }

    int state() const { return state_.load(); }
    bool isAlive() const { return thread.isRunning(); }

    WThread thread;
    WEventSemaphore stopEvent;
    WEventSemaphore finishedEvent;

private:
    std::atomic<int> state_{Stopped};
};
