#include "support/VirtualClock.h"

#include "toolkit/core/WEventSemaphore.h"

#include <thread>

namespace {

// Days since 1970-01-01 for a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * static_cast<unsigned>(m + (m > 2 ? -3 : 9)) + 2) / 5 + static_cast<unsigned>(d) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

} // namespace

VirtualClock::VirtualClock(int year, int month, int day, int hour, int minute, int second) {
    set(year, month, day, hour, minute, second);
    scope_.emplace(this);
}

VirtualClock::~VirtualClock() = default;

void VirtualClock::set(int year, int month, int day, int hour, int minute, int second) {
    std::lock_guard lock(mutex_);
    realSince_ = std::chrono::steady_clock::now();
    wallMs_ = ((daysFromCivil(year, month, day) * 24 + hour) * 60 + minute) * 60'000 + std::int64_t{second} * 1000;
}

std::int64_t VirtualClock::elapsedMs() const {
    if (!realTime_)
        return 0;
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - realSince_).count();
}

void VirtualClock::RunInRealTime() {
    std::lock_guard lock(mutex_);
    realTime_ = true;
    realSince_ = std::chrono::steady_clock::now();
}

LocalTime VirtualClock::now() const {
    std::lock_guard lock(mutex_);
    const std::int64_t totalSeconds = (wallMs_ + elapsedMs()) / 1000;
    const std::int64_t days = totalSeconds / 86400;
    const std::int64_t secOfDay = totalSeconds % 86400;
    LocalTime t;
    civilFromDays(days, t.year, t.month, t.day);
    t.hour = static_cast<int>(secOfDay / 3600);
    t.minute = static_cast<int>(secOfDay / 60 % 60);
    t.second = static_cast<int>(secOfDay % 60);
    t.weekday = static_cast<int>((days + 4) % 7); // 1970-01-01 was a Thursday
    t.yearDay = static_cast<int>(days - daysFromCivil(t.year, 1, 1));
    return t;
}

std::int64_t VirtualClock::monotonicMs() const {
    std::lock_guard lock(mutex_);
    return monoMs_ + elapsedMs();
}

void VirtualClock::sleep(int milliseconds) {
    bool real = false;
    {
        std::lock_guard lock(mutex_);
        real = realTime_;
    }
    if (real)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    else
        advanceMs(milliseconds > 0 ? milliseconds : 0);
}

bool VirtualClock::sleepUnless(const WEventSemaphore& event, int milliseconds) {
    {
        std::lock_guard lock(mutex_);
        if (realTime_)
            return event.wait(milliseconds);
    }
    return Clock::sleepUnless(event, milliseconds);
}

void VirtualClock::advanceMs(std::int64_t ms) {
    std::lock_guard lock(mutex_);
    wallMs_ += ms;
    monoMs_ += ms;
}
