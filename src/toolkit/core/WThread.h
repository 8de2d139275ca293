#pragma once

#include "toolkit/core/WEventSemaphore.h"
#include "toolkit/core/WString.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// A worker thread running one function. Suspension is cooperative: the worker stops at its next
// WCurrentThread::pausePoint() and is never frozen inside an operation.
class WThread {
public:
    enum Priority { Lowest = 0, Idle, BelowNormal, Normal, AboveNormal, TimeCritical, Highest };

    WThread();
    ~WThread(); // joins a finished thread, detaches one still running
    WThread(const WThread&) = delete;
    WThread& operator=(const WThread&) = delete;

    template <class T> bool start(T* object, int (T::*body)()) {
        return start([object, body] { return (object->*body)(); });
    }
    // False when a thread of this object is still running.
    bool start(std::function<int()> body);

    // True for the calling thread itself, otherwise whether the thread has not yet ended.
    bool isRunning() const;
    // Index 0..6; anything else is refused (false) and nothing changes.
    bool setPriority(int index);
    int priority() const { return priority_.load(); }

    void suspend();
    void resume();
    bool isSuspended() const;

    // Gives up a thread that did not end in time: it is detached and left to finish on its own.
    void abandon();
    // Waits for the thread to end (used where the caller knows it ends).
    void join();
    int exitCode() const { return exitCode_.load(); }

    struct Shared; // state shared with the running thread (defined in the .cpp)

private:
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
    std::atomic<int> priority_{Normal};
    std::atomic<int> exitCode_{0};
};

// Operations on the calling thread.
class WCurrentThread {
public:
    // Names the thread for debuggers (pthread name, cut to 15 bytes).
    static void setName(const WString& name);
    static WString name();
    static bool setPriority(int index);
    // Blocks while the WThread running the caller is suspended; returns at once elsewhere.
    static void pausePoint();
    static bool isWorker();
};

// Sleeps for whole milliseconds on the real clock; 0 gives up the time slice.
void WSleep(int milliseconds);
