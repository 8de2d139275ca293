#pragma once

#include "support/SeamScope.h"
#include "toolkit/core/Clock.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>

// A clock for tests: time stands still until a sleep or advance moves it, so scheduler loops run
// without real waiting. Installed as the current clock for its lifetime.
// RunInRealTime() lets it flow with the real clock from then on, sleeps waiting for real: for
// tests of the whole program's threads at a chosen moment (a job due in a second).
class VirtualClock : public Clock {
public:
    VirtualClock(int year, int month, int day, int hour, int minute, int second = 0);
    ~VirtualClock() override;

    LocalTime now() const override;
    std::int64_t monotonicMs() const override;
    void sleep(int milliseconds) override; // advances the clock, does not wait
    bool sleepUnless(const WEventSemaphore& event, int milliseconds) override;
    void RunInRealTime();

    void advanceMs(std::int64_t ms);
    void advanceMinutes(int minutes) { advanceMs(std::int64_t{minutes} * 60'000); }
    // Sets the wall clock (may go back); monotonic time is not affected.
    void set(int year, int month, int day, int hour, int minute, int second = 0);

private:
    mutable std::mutex mutex_;
    std::int64_t wallMs_ = 0; // milliseconds since 1970-01-01 00:00 local (no time zones here)
    std::int64_t monoMs_ = 0;
    bool realTime_ = false;
    std::chrono::steady_clock::time_point realSince_;
    std::int64_t elapsedMs() const;         // real time since RunInRealTime, under the lock
    std::optional<SeamScope<Clock>> scope_; // installed once the time is set
};
