#pragma once

#include "toolkit/core/Clock.h"
#include "toolkit/core/WString.h"

// The local clock as the program shows and compares it, and the job's day words and times as
// numbers. The forms without an argument read the current clock afresh on every call; the forms
// taking a LocalTime let a caller build several texts from one reading.
class ClockTexts {
public:
    // "05.12.2026"
    static WString DateText();
    static WString DateText(const LocalTime& time);
    // "09:05:00"
    static WString TimeText();
    static WString TimeText(const LocalTime& time);
    // "09:05"
    static WString ShortTimeText();
    static WString ShortTimeText(const LocalTime& time);
    // The day word of the weekday ("Sonntag" .. "Sonnabend"); empty for a weekday outside 0..6.
    static WString WeekdayText();
    static WString WeekdayText(const LocalTime& time);

    // 0 = "Sonntag" .. 6 = "Sonnabend", 7 = "täglich", -1 for any other text (exact, case-sensitive).
    static int DayNumber(const WString& dayWord);
    // An "hh:mm" text as minutes since midnight: characters 1-2 and 4-5 read as decimal digits up
    // to the first non-digit (none or missing count 0); the separator is not looked at.
    static int MinuteOfDay(const WString& time);
};
