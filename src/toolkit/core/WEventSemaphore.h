#pragma once

#include <condition_variable>
#include <mutex>

// Pumps the calling thread's window messages while a waiter waits (installed by the GUI toolkit).
class MessagePump {
public:
    virtual ~MessagePump() = default;
    // Handles the pending messages, spending at most maxTimeMs on them (0: whatever is pending).
    // False once the quit message came.
    virtual bool pump(int maxTimeMs) = 0;
    // True when called on the thread whose messages this pump handles.
    virtual bool isPumpThread() const = 0;

    static void install(MessagePump* pump);
    static MessagePump* installed();
};

// Manual-reset event: stays set until reset, releases every waiter.
class WEventSemaphore {
public:
    void set();
    void reset();
    bool isSet() const;
    // True when the event was set within timeoutMs.
    bool wait(int timeoutMs) const;
    // Like wait, but keeps handling the calling thread's window messages; false at once when the
    // quit message arrives. Without a pump for the calling thread it is a plain wait.
    bool waitDispatching(int timeoutMs) const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool set_ = false;
};
