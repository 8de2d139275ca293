#include "toolkit/core/WString.h"
#include "support/TestPrinting.h"
#include "toolkit/core/Cp1252.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <stdexcept>
#include <string>

using namespace std::string_literals;

// A WString is a C text: every way in stops at the first NUL, and nothing may put one inside.
TEST(WString, NulEndsTheTextAndNullCountsAsEmpty) {
    const char* none = nullptr;
    EXPECT_EQ(WString("ab\0cd").bytes(), "ab");
    EXPECT_EQ(WString::fromBytes("ab\0cd"s).bytes(), "ab");
    EXPECT_EQ(WString::format("a%cb", 0), "a");
    EXPECT_FALSE(WString::fromUtf8("ab\0cd"s).has_value()) << "would be cut silently";
    EXPECT_TRUE(WString(none) == none);
    EXPECT_TRUE(WString("x") != none);

    WString s("abc");
    s.setAt(1, 'X');
    s.setAt(3, 'Y');  // beyond the end: nothing
    s.setAt(0, '\0'); // would hide the rest: refused
    EXPECT_EQ(s, "aXc");
    EXPECT_EQ(s[1000], '\0');
    s = none;
    EXPECT_TRUE(s.isEmpty());
}

TEST(WString, ConcatenationAndParts) {
    const WString name("von_");
    EXPECT_EQ(name + "1=", "von_1=");
    EXPECT_EQ("[" + WString("Projekte") + "]", "[Projekte]");
    EXPECT_EQ(name + WString("2="), "von_2=");
    EXPECT_EQ(name + static_cast<const char*>(nullptr), "von_");
    WString s("a");
    s += WString("b");
    s += static_cast<const char*>(nullptr);
    s += s; // appending itself must not read freed memory
    EXPECT_EQ(s, "abab");

    const WString line("pfad=/a=b");
    EXPECT_EQ(line.left(100), line);
    EXPECT_EQ(line.mid(5, 2), "/a");
    EXPECT_TRUE(line.mid(50).isEmpty());
    EXPECT_TRUE(line.startsWith("PFAD", false));
    EXPECT_FALSE(line.startsWith("PFAD", true));
    EXPECT_FALSE(WString("pf").startsWith("pfad", false));
}

// Equality and case-sensitive comparison are byte-exact; the case-insensitive one folds ASCII only.
TEST(WString, ComparisonTable) {
    struct Case {
        const char* a;
        const char* b;
        int sensitive;   // sign of a.compare(b, true); 0 means equal
        int insensitive; // sign of a.compare(b, false)
    };
    const Case cases[] = {
        {"Einstellung", "Einstellung", 0, 0},
        {"[EINSTELLUNG]", "[einstellung]", -1, 0},
        {"\xC4rger", "\xE4rger", -1, -1}, // Ä / ä: not folded
        {"a", "ab", -1, -1},
        {"b", "ab", 1, 1},
        {"z", "\xE4", -1, -1}, // bytes above 0x7F order after ASCII (unsigned)
        {"", "", 0, 0},
        // '_' lies between the upper- and lower-case letters: folding to lower case moves "A" above
        // it, as in the C runtime's case-insensitive compare.
        {"_", "A", 1, -1},
    };
    auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        const WString a(c.a);
        const WString b(c.b);
        EXPECT_EQ(a == b, c.sensitive == 0);
        EXPECT_EQ(a == c.b, c.sensitive == 0);
        EXPECT_EQ(sign(a.compare(b, true)), c.sensitive);
        EXPECT_EQ(sign(b.compare(a, true)), -c.sensitive);
        EXPECT_EQ(sign(a.compare(b, false)), c.insensitive);
        EXPECT_EQ(sign(b.compare(a, false)), -c.insensitive);
    }
}

TEST(WString, FormatsLikePrintfAtAnyLength) {
    EXPECT_EQ(WString::format("0%d", 7), "07");
    EXPECT_EQ(WString::format("von_%d=%s", -3, "/home"), "von_-3=/home");
    EXPECT_TRUE(WString::format("%s", "").isEmpty());

    const std::string longText(20000, 'x');
    const WString s = WString::format("[%s]%05d", longText.c_str(), 42);
    EXPECT_EQ(s.bytes(), "[" + longText + "]00042");
}

// Leading blanks (a no-break space is none), a sign, digits; overflow clamps to the 32-bit range.
TEST(WString, ToIntBehavesLikeAtoi) {
    const std::pair<const char*, int> cases[] = {{"", 0},
                                                 {"abc", 0},
                                                 {" \t\n\v\f\r42", 42},
                                                 {"-7x", -7},
                                                 {"+3", 3},
                                                 {"+-3", 0},
                                                 {"- 3", 0},
                                                 {"0012:30", 12},
                                                 {"\xA0\x35", 0},
                                                 {"2147483647", INT_MAX},
                                                 {"-2147483648", INT_MIN},
                                                 {"2147483648", INT_MAX},
                                                 {"-2147483649", INT_MIN},
                                                 {"99999999999999999999999", INT_MAX},
                                                 {"-99999999999999999999999", INT_MIN}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(WString(text).toInt(), value) << text;
}

// Reference bytes of Windows-1252, umlauts and the 0x80..0x9F block above all, both ways.
TEST(Cp1252, GermanAndSpecialCharacters) {
    struct Case {
        const char* utf8;
        unsigned char byte;
    };
    const Case cases[] = {
        {"ä", 0xE4}, {"ö", 0xF6}, {"ü", 0xFC}, {"Ä", 0xC4}, {"Ö", 0xD6}, {"Ü", 0xDC}, {"ß", 0xDF},
        {"€", 0x80}, {"‚", 0x82}, {"„", 0x84}, {"Š", 0x8A}, {"–", 0x96}, {"™", 0x99}, {"Ÿ", 0x9F},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        const std::string byte(1, static_cast<char>(c.byte));
        EXPECT_EQ(cp1252::fromUtf8(c.utf8), byte);
        EXPECT_EQ(cp1252::toUtf8(byte), c.utf8);
    }
    const auto s = WString::fromUtf8("Sicherung gelöscht: Größe über 5 €");
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->bytes(), "Sicherung gel\xF6scht: Gr\xF6\xDF"
                          "e \xFC"
                          "ber 5 \x80");
    EXPECT_EQ(s->toUtf8(), "Sicherung gelöscht: Größe über 5 €");
    EXPECT_EQ("täglich"_w, WString("t\xE4glich"));
}

// Every byte survives the way to UTF-8 and back, no two bytes share a character, and the five
// bytes Windows leaves undefined map to the C1 control codes of the same value.
TEST(Cp1252, EveryByteRoundTrips) {
    std::set<char32_t> seen;
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(cp1252::fromUtf8(cp1252::toUtf8(one)), one);
        EXPECT_TRUE(seen.insert(cp1252::toUnicode(static_cast<unsigned char>(b))).second);
    }
    for (unsigned char b : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(cp1252::toUnicode(b), char32_t{b});
    // The other C1 control codes have no byte: their slots hold printable characters.
    for (char32_t cp : {0x80, 0x8A, 0x9F})
        EXPECT_FALSE(cp1252::fromUnicode(cp).has_value()) << static_cast<unsigned>(cp);
}

// Characters Windows-1252 lacks and malformed UTF-8 (a lone continuation byte, cut sequences, a bad
// continuation, overlong forms, a surrogate, beyond U+10FFFF, a five-byte form) are refused.
TEST(Cp1252, RefusesWhatItCannotHold) {
    const std::string cases[] = {"Ω",
                                 "中",
                                 "Datei 😀",
                                 "Preis: 5 € – Ω",
                                 "\x80"s,
                                 "a\xC3"s,
                                 "\xE2\x82"s,
                                 "\xC3("s,
                                 "\xC0\xAF"s,
                                 "\xE0\x80\xAF"s,
                                 "\xED\xA0\x80"s,
                                 "\xF4\x90\x80\x80"s,
                                 "\xF8\x88\x80\x80\x80"s,
                                 "\xFF"s};
    for (const auto& text : cases) {
        EXPECT_FALSE(cp1252::fromUtf8(text).has_value()) << testing::PrintToString(text);
        EXPECT_FALSE(WString::fromUtf8(text).has_value()) << testing::PrintToString(text);
    }
    EXPECT_THROW("Ω"_w, std::logic_error);
}
