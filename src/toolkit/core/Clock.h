#pragma once

#include <cstdint>

class WEventSemaphore;

// Broken-down local time, as the C runtime's localtime gives it.
struct LocalTime {
    int year = 1970; // e.g. 2026
    int month = 1;   // 1..12
    int day = 1;     // 1..31
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59
    int second = 0;  // 0..60
    int weekday = 4; // 0 = Sunday .. 6 = Saturday
    int yearDay = 0; // 0..365
};

// The program's one source of time. Workers sleep through it, so a virtual clock in tests can
// run scheduler loops without waiting.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
    // Milliseconds since an arbitrary start; never goes back.
    virtual std::int64_t monotonicMs() const = 0;
    virtual void sleep(int milliseconds) = 0;
    // Sleeps like sleep(), but a real clock wakes early when the event is set; true when it is set.
    // Lets a worker's rest end at once when it is told to stop.
    virtual bool sleepUnless(const WEventSemaphore& event, int milliseconds);

    // The clock in use; the system clock unless one was installed.
    static Clock& current();
    // Installs a clock (nullptr restores the system clock). The caller keeps ownership.
    static void install(Clock* clock);
    static Clock* installed();
};

class SystemClock : public Clock {
public:
    LocalTime now() const override;
    std::int64_t monotonicMs() const override;
    void sleep(int milliseconds) override;
    bool sleepUnless(const WEventSemaphore& event, int milliseconds) override;
};
