#include "toolkit/core/Clock.h"

#include "toolkit/core/WEventSemaphore.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

namespace {
SystemClock g_systemClock;
std::atomic<Clock*> g_clock{nullptr};
} // namespace

Clock& Clock::current() {
    Clock* clock = g_clock.load();
    return clock ? *clock : g_systemClock;
}

void Clock::install(Clock* clock) {
    g_clock.store(clock);
}

Clock* Clock::installed() {
    return g_clock.load();
}

LocalTime SystemClock::now() const {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    LocalTime lt;
    lt.year = tm.tm_year + 1900;
    lt.month = tm.tm_mon + 1;
    lt.day = tm.tm_mday;
    lt.hour = tm.tm_hour;
    lt.minute = tm.tm_min;
    lt.second = tm.tm_sec;
    lt.weekday = tm.tm_wday;
    lt.yearDay = tm.tm_yday;
    return lt;
}

std::int64_t SystemClock::monotonicMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SystemClock::sleep(int milliseconds) {
    if (milliseconds <= 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool Clock::sleepUnless(const WEventSemaphore& event, int milliseconds) {
    sleep(milliseconds);
    return event.isSet();
}

bool SystemClock::sleepUnless(const WEventSemaphore& event, int milliseconds) {
    return event.wait(milliseconds);
}
