#include "log/ClockTexts.h"
#include "support/VirtualClock.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// One moment per weekday: date, time, short time and weekday word, read from the clock and from a
// reading; each word gives its weekday number back. Two-digit fields switch from "0%d" at 10.
TEST(ClockTextsTest, ClockTextsAndDayWords) {
    struct Case {
        int year, month, day, hour, minute, second;
        const char* texts;
    };
    const Case cases[] = {
        {2026, 12, 6, 0, 0, 0, "06.12.2026 00:00:00 00:00 Sonntag"},
        {2027, 3, 1, 7, 5, 9, "01.03.2027 07:05:09 07:05 Montag"},
        {2028, 2, 29, 19, 9, 50, "29.02.2028 19:09:50 19:09 Dienstag"},
        {2026, 11, 11, 11, 11, 11, "11.11.2026 11:11:11 11:11 Mittwoch"},
        {2026, 12, 31, 23, 59, 59, "31.12.2026 23:59:59 23:59 Donnerstag"},
        {2026, 10, 9, 9, 10, 10, "09.10.2026 09:10:10 09:10 Freitag"},
        {2026, 12, 5, 10, 0, 3, "05.12.2026 10:00:03 10:00 Sonnabend"},
    };
    const auto texts = [](const auto&... reading) {
        return (ClockTexts::DateText(reading...) + " " + ClockTexts::TimeText(reading...) + " " +
                ClockTexts::ShortTimeText(reading...) + " " + ClockTexts::WeekdayText(reading...))
            .bytes();
    };
    for (const Case& c : cases) {
        VirtualClock clock(c.year, c.month, c.day, c.hour, c.minute, c.second);
        const LocalTime reading = Clock::current().now();
        EXPECT_EQ(texts(), c.texts);
        EXPECT_EQ(texts(reading), c.texts);
        EXPECT_EQ(ClockTexts::DayNumber(ClockTexts::WeekdayText()), reading.weekday) << c.texts;
    }
    LocalTime outside;
    outside.weekday = 7;
    EXPECT_TRUE(ClockTexts::WeekdayText(outside).isEmpty());

    // "täglich" is the eighth word; anything else, in whatever case, spelling or encoding, is none.
    EXPECT_EQ(ClockTexts::DayNumber(WString::fromBytes("t\xE4glich")), 7);
    for (const char* word : {"Samstag", "montag", "MONTAG", "T\xE4glich", "t\xC3\xA4glich", "taeglich", "Montag ",
                             " Montag", "Mon", "", "7"})
        EXPECT_EQ(ClockTexts::DayNumber(WString::fromBytes(word)), -1) << testing::PrintToString(word);
}

// Hand-edited times: the hours are characters 1-2, the minutes 4-5, each read up to its first
// non-digit; what stands between them is not looked at.
TEST(ClockTextsTest, MinuteOfDay) {
    const std::pair<const char*, int> cases[] = {
        {"00:00", 0},  {"23:59", 1439}, {"09-30", 570}, {"24:00", 1440}, {"10:01:59", 601}, {"9:30", 540},
        {"12:3", 723}, {"12", 720},     {"1a:5b", 65},  {" 9:30", 30},   {"ab:cd", 0},      {"", 0},
    };
    for (const auto& [text, minutes] : cases)
        EXPECT_EQ(ClockTexts::MinuteOfDay(text), minutes) << '"' << text << '"';
}

} // namespace
