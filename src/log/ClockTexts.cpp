#include "log/ClockTexts.h"

#include <array>

namespace {

// Indexed by the weekday number; "täglich" (7) follows the weekdays.
const std::array<WString, 8>& dayWords() {
    static const std::array<WString, 8> words = {
        "Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Sonnabend", "täglich"_w,
    };
    return words;
}

WString twoDigits(int value) {
    return value < 10 ? WString::format("0%d", value) : WString::format("%d", value);
}

int leadingDigits(const WString& piece) {
    int value = 0;
    for (std::size_t i = 0; i < piece.length() && piece[i] >= '0' && piece[i] <= '9'; ++i)
        value = value * 10 + (piece[i] - '0');
    return value;
}

} // namespace

WString ClockTexts::DateText() {
    return DateText(Clock::current().now());
}

WString ClockTexts::DateText(const LocalTime& time) {
    return twoDigits(time.day) + "." + twoDigits(time.month) + "." + WString::format("%d", time.year);
}

WString ClockTexts::TimeText() {
    return TimeText(Clock::current().now());
}

WString ClockTexts::TimeText(const LocalTime& time) {
    return twoDigits(time.hour) + ":" + twoDigits(time.minute) + ":" + twoDigits(time.second);
}

WString ClockTexts::ShortTimeText() {
    return ShortTimeText(Clock::current().now());
}

WString ClockTexts::ShortTimeText(const LocalTime& time) {
    return twoDigits(time.hour) + ":" + twoDigits(time.minute);
}

WString ClockTexts::WeekdayText() {
    return WeekdayText(Clock::current().now());
}

WString ClockTexts::WeekdayText(const LocalTime& time) {
    return time.weekday >= 0 && time.weekday <= 6 ? dayWords()[static_cast<std::size_t>(time.weekday)] : WString();
}

int ClockTexts::DayNumber(const WString& dayWord) {
    for (std::size_t n = 0; n < dayWords().size(); ++n) {
        if (dayWords()[n] == dayWord)
            return static_cast<int>(n);
    }
    return -1;
}

int ClockTexts::MinuteOfDay(const WString& time) {
    return leadingDigits(time.mid(0, 2)) * 60 + leadingDigits(time.mid(3, 2));
}
