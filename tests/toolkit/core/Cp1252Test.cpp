#include "Cp1252.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace std::string_literals;

TEST(Cp1252, GermanAndSpecialCharacters) {
    struct Case {
        const char* utf8;
        unsigned char byte;
    };
    const Case cases[] = {
        {"ä", 0xE4}, {"ö", 0xF6}, {"ü", 0xFC}, {"Ä", 0xC4},      {"Ö", 0xD6}, {"Ü", 0xDC}, {"ß", 0xDF},
        {"€", 0x80}, {"‚", 0x82}, {"„", 0x84}, {"…", 0x85},      {"Š", 0x8A}, {"‘", 0x91}, {"–", 0x96},
        {"—", 0x97}, {"™", 0x99}, {"Ÿ", 0x9F}, {"\u00A0", 0xA0}, {"ÿ", 0xFF}, {"~", 0x7E},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        const auto bytes = cp1252::fromUtf8(c.utf8);
        ASSERT_TRUE(bytes.has_value());
        EXPECT_EQ(*bytes, std::string(1, static_cast<char>(c.byte)));
        EXPECT_EQ(cp1252::toUtf8(*bytes), c.utf8);
    }
}

// Every byte, the 0x80..0x9F block and the five bytes Windows leaves undefined included, survives
// the way to UTF-8 and back, and no two bytes share a character.
TEST(Cp1252, EveryByteRoundTrips) {
    std::set<char32_t> seen;
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        const std::string one(1, static_cast<char>(b));
        const std::string utf8 = cp1252::toUtf8(one);
        EXPECT_EQ(cp1252::fromUtf8(utf8), one);
        EXPECT_TRUE(seen.insert(cp1252::toUnicode(static_cast<unsigned char>(b))).second);
    }
}

TEST(Cp1252, UndefinedBytesMapToTheirControlCodes) {
    for (unsigned char b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        SCOPED_TRACE(b);
        EXPECT_EQ(cp1252::toUnicode(b), char32_t{b});
        EXPECT_EQ(cp1252::fromUnicode(b), b);
    }
    // The other C1 control codes have no byte: their slots hold printable characters.
    for (char32_t cp : {0x80, 0x82, 0x8A, 0x9F})
        EXPECT_FALSE(cp1252::fromUnicode(cp).has_value()) << std::hex << static_cast<unsigned>(cp);
}

TEST(Cp1252, RefusesCharactersItCannotHold) {
    for (const char* text : {"Ω", "Ā", "中", "😀", "Preis: 5 € – Ω"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(cp1252::fromUtf8(text).has_value());
    }
}

TEST(Cp1252, RefusesMalformedUtf8) {
    const std::string cases[] = {
        "\x80"s,                 // continuation without a lead byte
        "a\xC3"s,                // sequence cut at the end
        "\xE2\x82"s,             // three-byte sequence cut at the end
        "\xC3("s,                // bad continuation
        "\xC0\xAF"s,             // overlong "/"
        "\xE0\x80\xAF"s,         // overlong "/" in three bytes
        "\xED\xA0\x80"s,         // UTF-16 surrogate
        "\xF4\x90\x80\x80"s,     // beyond U+10FFFF
        "\xF8\x88\x80\x80\x80"s, // five-byte form
        "\xFF"s,
    };
    for (const auto& bytes : cases) {
        SCOPED_TRACE(testing::PrintToString(bytes));
        EXPECT_FALSE(cp1252::fromUtf8(bytes).has_value());
    }
}
