#include "ClockTexts.h"
#include "VirtualClock.h"

#include <gtest/gtest.h>

#include <string>

// Readable failure messages: the bytes, not the object.
static void PrintTo(const WString& s, std::ostream* os) {
    *os << testing::PrintToString(s.bytes());
}

namespace {

struct Moment {
    int year, month, day, hour, minute, second;
};

// Two-digit fields switch from "0%d" to "%d" at 10; the date reads day, month from 1, year.
TEST(ClockTextsTest, TextsOfTheClock) {
    struct Case {
        Moment at;
        const char* date;
        const char* time;
        const char* shortTime;
        const char* weekday;
    };
    const Case cases[] = {
        {{2027, 3, 1, 7, 5, 9}, "01.03.2027", "07:05:09", "07:05", "Montag"},
        {{2026, 12, 5, 10, 0, 3}, "05.12.2026", "10:00:03", "10:00", "Sonnabend"},
        {{2026, 12, 6, 0, 0, 0}, "06.12.2026", "00:00:00", "00:00", "Sonntag"},
        {{2026, 12, 31, 23, 59, 59}, "31.12.2026", "23:59:59", "23:59", "Donnerstag"},
        {{2026, 10, 9, 9, 10, 10}, "09.10.2026", "09:10:10", "09:10", "Freitag"},
        {{2028, 2, 29, 19, 9, 50}, "29.02.2028", "19:09:50", "19:09", "Dienstag"},
        {{2026, 11, 11, 11, 11, 11}, "11.11.2026", "11:11:11", "11:11", "Mittwoch"},
    };
    for (const Case& c : cases) {
        VirtualClock clock(c.at.year, c.at.month, c.at.day, c.at.hour, c.at.minute, c.at.second);
        const LocalTime reading = Clock::current().now();
        SCOPED_TRACE(c.date + std::string(" ") + c.time);
        EXPECT_EQ(ClockTexts::DateText(), c.date);
        EXPECT_EQ(ClockTexts::TimeText(), c.time);
        EXPECT_EQ(ClockTexts::ShortTimeText(), c.shortTime);
        EXPECT_EQ(ClockTexts::WeekdayText(), c.weekday);
        EXPECT_EQ(ClockTexts::DateText(reading), c.date);
        EXPECT_EQ(ClockTexts::TimeText(reading), c.time);
        EXPECT_EQ(ClockTexts::ShortTimeText(reading), c.shortTime);
        EXPECT_EQ(ClockTexts::WeekdayText(reading), c.weekday);
    }
}

// Nothing is cached: every call without a reading sees the clock as it is now.
TEST(ClockTextsTest, EachCallReadsTheClockAfresh) {
    VirtualClock clock(2026, 12, 5, 23, 59, 59);
    const WString date = ClockTexts::DateText();
    const WString time = ClockTexts::TimeText();
    const WString shortTime = ClockTexts::ShortTimeText();
    const WString weekday = ClockTexts::WeekdayText();
    clock.advanceMs(1000);
    EXPECT_NE(ClockTexts::DateText(), date);
    EXPECT_NE(ClockTexts::TimeText(), time);
    EXPECT_NE(ClockTexts::ShortTimeText(), shortTime);
    EXPECT_NE(ClockTexts::WeekdayText(), weekday);
    EXPECT_EQ(ClockTexts::DateText(), "06.12.2026");
    EXPECT_EQ(ClockTexts::TimeText(), "00:00:00");
}

// A whole week: every weekday gives a word, and that word gives the weekday number back.
TEST(ClockTextsTest, WeekdayWordsRoundTrip) {
    VirtualClock clock(2026, 12, 6, 12, 0);
    for (int day = 0; day < 7; ++day) {
        const int weekday = Clock::current().now().weekday;
        const WString word = ClockTexts::WeekdayText();
        EXPECT_FALSE(word.isEmpty()) << weekday;
        EXPECT_EQ(ClockTexts::DayNumber(word), weekday) << testing::PrintToString(word.bytes());
        clock.advanceMinutes(24 * 60);
    }
}

TEST(ClockTextsTest, WeekdayOutsideTheWeekHasNoWord) {
    for (const int weekday : {-1, 7, 8}) {
        LocalTime reading;
        reading.weekday = weekday;
        EXPECT_TRUE(ClockTexts::WeekdayText(reading).isEmpty()) << weekday;
    }
}

TEST(ClockTextsTest, DayNumbers) {
    struct Case {
        WString word;
        int number;
    };
    const Case cases[] = {
        {"Sonntag", 0},
        {"Montag", 1},
        {"Dienstag", 2},
        {"Mittwoch", 3},
        {"Donnerstag", 4},
        {"Freitag", 5},
        {"Sonnabend", 6},
        {WString::fromBytes("t\xE4glich"), 7},
        // Not day words: another name, other case, other spelling or encoding, blanks.
        {"Samstag", -1},
        {"montag", -1},
        {"MONTAG", -1},
        {"taeglich", -1},
        {WString::fromBytes("t\xC3\xA4glich"), -1},
        {WString::fromBytes("T\xE4glich"), -1},
        {"Montag ", -1},
        {" Montag", -1},
        {"Mon", -1},
        {"", -1},
        {"7", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClockTexts::DayNumber(c.word), c.number) << testing::PrintToString(c.word.bytes());
}

TEST(ClockTextsTest, MinutesOfDay) {
    struct Case {
        const char* text;
        int minutes;
    };
    const Case cases[] = {
        {"23:59", 23 * 60 + 59},
        {"00:00", 0},
        {"09:30", 9 * 60 + 30},
        {"09-30", 9 * 60 + 30}, // the third character is not looked at
        {"09 30", 9 * 60 + 30},
        {"24:00", 24 * 60},
        {"10:01:59", 10 * 60 + 1},
        // Pieces are characters 1-2 and 4-5, read up to the first non-digit.
        {"9:30", 9 * 60 + 0},
        {"12:3", 12 * 60 + 3},
        {"12", 12 * 60},
        {"1a:5b", 1 * 60 + 5},
        {"-5:30", 30},
        {" 9:30", 0 * 60 + 30},
        {"ab:cd", 0},
        {"", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClockTexts::MinuteOfDay(c.text), c.minutes) << '"' << c.text << '"';
}

} // namespace
