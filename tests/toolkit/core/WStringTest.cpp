#include "WString.h"

#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <string>

using namespace std::string_literals;

// Readable failure messages: the bytes, not the object.
static void PrintTo(const WString& s, std::ostream* os) {
    *os << testing::PrintToString(s.bytes());
}

TEST(WString, ConstructionStopsAtTheFirstNul) {
    EXPECT_EQ(WString("ab\0cd").bytes(), "ab");
    EXPECT_EQ(WString::fromBytes("ab\0cd"s).bytes(), "ab");
    EXPECT_EQ(WString::fromBytes("\xE4\xF6\xFC"s).length(), 3u);
    EXPECT_TRUE(WString(static_cast<const char*>(nullptr)).isEmpty());
    WString s("x");
    s = static_cast<const char*>(nullptr);
    EXPECT_TRUE(s.isEmpty());
}

TEST(WString, CopiesAreIndependent) {
    WString original("Sicherung");
    WString copy(original);
    WString assigned;
    assigned = original;
    original.setAt(0, 's');
    original += "_1";
    EXPECT_EQ(copy, "Sicherung");
    EXPECT_EQ(assigned, "Sicherung");
    EXPECT_EQ(original, "sicherung_1");
}

TEST(WString, Concatenation) {
    const WString name("von_");
    EXPECT_EQ(name + "1=", "von_1=");
    EXPECT_EQ("[" + WString("Projekte") + "]", "[Projekte]");
    EXPECT_EQ(name + WString("2="), "von_2=");
    EXPECT_EQ(name + static_cast<const char*>(nullptr), "von_");

    WString s;
    s += "a";
    s += WString("b");
    s += static_cast<const char*>(nullptr);
    s += s; // appending itself must not read freed memory
    EXPECT_EQ(s, "abab");
}

// Equality and case-sensitive comparison are byte-exact; the case-insensitive one folds ASCII only.
TEST(WString, ComparisonTable) {
    struct Case {
        const char* a;
        const char* b;
        bool equal;
        int sensitive;   // sign of compare(b, true)
        int insensitive; // sign of compare(b, false)
    };
    const Case cases[] = {
        {"Einstellung", "Einstellung", true, 0, 0},
        {"[EINSTELLUNG]", "[einstellung]", false, -1, 0},
        {"pfad=", "Pfad=", false, 1, 0},
        {"\xC4rger", "\xE4rger", false, -1, -1}, // Ä / ä: not folded
        {"a", "ab", false, -1, -1},
        {"b", "ab", false, 1, 1},
        {"z", "\xE4", false, -1, -1}, // bytes above 0x7F order after ASCII (unsigned)
        {"", "", true, 0, 0},
    };
    auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        const WString a(c.a);
        const WString b(c.b);
        EXPECT_EQ(a == b, c.equal);
        EXPECT_EQ(a == c.b, c.equal);
        EXPECT_EQ(a != c.b, !c.equal);
        EXPECT_EQ(sign(a.compare(b, true)), c.sensitive);
        EXPECT_EQ(sign(b.compare(a, true)), -c.sensitive);
        EXPECT_EQ(sign(a.compare(b, false)), c.insensitive);
        EXPECT_EQ(sign(b.compare(a, false)), -c.insensitive);
    }
    // '_' (0x5F) lies between the upper- and lower-case letters: folding to lower case moves "A"
    // above it, as in the C runtime's case-insensitive compare.
    EXPECT_GT(WString("_").compare(WString("A"), true), 0);
    EXPECT_LT(WString("_").compare(WString("A"), false), 0);
}

TEST(WString, NullTextCountsAsEmpty) {
    const char* none = nullptr;
    EXPECT_TRUE(WString() == none);
    EXPECT_FALSE(WString("x") == none);
    EXPECT_TRUE(WString("x") != none);
}

TEST(WString, CharacterAccess) {
    WString s("abc");
    EXPECT_EQ(s.at(0), 'a');
    EXPECT_EQ(s[2], 'c');
    EXPECT_EQ(s.at(3), '\0');
    EXPECT_EQ(s[1000], '\0');
    EXPECT_EQ(WString().at(0), '\0');

    s.setAt(1, 'X');
    s.setAt(3, 'Y');  // beyond the end: nothing
    s.setAt(0, '\0'); // would hide the rest of the text: refused
    EXPECT_EQ(s, "aXc");
    EXPECT_EQ(s.length(), 3u);
}

TEST(WString, Parts) {
    const WString s("pfad=/a=b");
    EXPECT_EQ(s.find('='), 4u);
    EXPECT_EQ(s.find('=', 5), 7u);
    EXPECT_EQ(s.find('#'), WString::npos);
    EXPECT_EQ(s.left(5), "pfad=");
    EXPECT_EQ(s.left(100), s);
    EXPECT_EQ(s.mid(5), "/a=b");
    EXPECT_EQ(s.mid(5, 2), "/a");
    EXPECT_TRUE(s.mid(9).isEmpty());
    EXPECT_TRUE(s.mid(50).isEmpty());
    EXPECT_TRUE(s.startsWith("PFAD", false));
    EXPECT_FALSE(s.startsWith("PFAD", true));
    EXPECT_FALSE(WString("pf").startsWith("pfad", false));
}

TEST(WString, FormatsLikePrintf) {
    EXPECT_EQ(WString::format("%d", -12), "-12");
    EXPECT_EQ(WString::format("0%d", 7), "07");
    EXPECT_EQ(WString::format("name_%d=", 10), "name_10=");
    EXPECT_EQ(WString::format("von_%d=%s", 3, "/home"), "von_3=/home");
    EXPECT_TRUE(WString::format("%s", "").isEmpty());
    EXPECT_EQ(WString::format("a%cb", 0), "a"); // a formatted NUL ends the text
}

TEST(WString, FormatsOutputOfAnyLength) {
    const std::string longText(20000, 'x');
    const WString s = WString::format("[%s]%05d", longText.c_str(), 42);
    ASSERT_EQ(s.length(), longText.size() + 7);
    EXPECT_EQ(s.at(0), '[');
    EXPECT_EQ(s.mid(1, longText.size()).bytes(), longText);
    EXPECT_EQ(s.mid(longText.size() + 1), "]00042");
}

TEST(WString, ToIntBehavesLikeAtoi) {
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {
        {"", 0},
        {"abc", 0},
        {"42", 42},
        {" 42", 42},
        {"\t\n\v\f\r 8", 8},
        {"-7x", -7},
        {"+3", 3},
        {"+-3", 0},
        {"- 3", 0},
        {"0012", 12},
        {"12:30", 12},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"2147483648", INT_MAX},
        {"-2147483649", INT_MIN},
        {"99999999999999999999999", INT_MAX},
        {"-99999999999999999999999", INT_MIN},
        {"\xA0"
         "5",
         0}, // a no-break space is no blank
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(WString(c.text).toInt(), c.value);
    }
}

TEST(WString, Utf8RoundTripOfGermanText) {
    const auto s = WString::fromUtf8("Sicherung gelöscht: Größe über 5 €");
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->bytes(), "Sicherung gel\xF6scht: Gr\xF6\xDF"
                          "e \xFC"
                          "ber 5 \x80");
    EXPECT_EQ(s->toUtf8(), "Sicherung gelöscht: Größe über 5 €");
}

TEST(WString, FromUtf8RefusesWhatItCannotHold) {
    EXPECT_FALSE(WString::fromUtf8("Ω").has_value());
    EXPECT_FALSE(WString::fromUtf8("Datei 😀").has_value());
    EXPECT_FALSE(WString::fromUtf8("\xC3").has_value());    // cut sequence
    EXPECT_FALSE(WString::fromUtf8("ab\0cd"s).has_value()); // would be cut silently
    EXPECT_TRUE(WString::fromUtf8("").has_value());
}

TEST(WString, Utf8Literal) {
    const WString day = "täglich"_w;
    EXPECT_EQ(day.length(), 7u);
    EXPECT_EQ(day.at(1), '\xE4');
    EXPECT_EQ("Möchten Sie"_w, WString("M\xF6"
                                       "chten Sie"));
    EXPECT_THROW("Ω"_w, std::logic_error);
}
