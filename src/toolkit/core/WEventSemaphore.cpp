#include "toolkit/core/WEventSemaphore.h"

#include <atomic>
#include <chrono>

namespace {
std::atomic<MessagePump*> g_pump{nullptr};
// Slice between two rounds of message handling while waiting with dispatch.
constexpr int kDispatchSliceMs = 10;
} // namespace

void MessagePump::install(MessagePump* pump) {
    g_pump.store(pump);
}
MessagePump* MessagePump::installed() {
    return g_pump.load();
}

void WEventSemaphore::set() {
    // Notified under the lock: a waiter may destroy the event as soon as its wait returns (a
    // finished event of a worker), which it cannot do before this call has let go of the mutex.
    std::lock_guard lock(mutex_);
    set_ = true;
    changed_.notify_all();
}

void WEventSemaphore::reset() {
    std::lock_guard lock(mutex_);
    set_ = false;
}

bool WEventSemaphore::isSet() const {
    std::lock_guard lock(mutex_);
    return set_;
}

bool WEventSemaphore::wait(int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs), [this] { return set_; });
}

bool WEventSemaphore::waitDispatching(int timeoutMs) const {
    MessagePump* pump = MessagePump::installed();
    if (!pump || !pump->isPumpThread())
        return wait(timeoutMs);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        if (isSet())
            return true;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            return false;
        const int slice = static_cast<int>(left < kDispatchSliceMs ? left : kDispatchSliceMs);
        // Handle what is pending, then sleep on the event for one slice: window messages wait at
        // most a slice, and a set event ends the wait at once.
        if (!pump->pump(0))
            return false;
        if (wait(slice))
            return true;
    }
}
