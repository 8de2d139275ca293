#include "QtText.h"

#include <gtest/gtest.h>

#include <cctype>

namespace {

struct RoundTrip {
    const char* name;
    std::string cp1252;
    QString unicode;
};

class QtTextRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(QtTextRoundTrip, ConvertsBothWaysWithoutLoss) {
    const RoundTrip& c = GetParam();
    const WString bytes = WString::fromBytes(c.cp1252);
    EXPECT_EQ(QtText::toQString(bytes), c.unicode);
    const auto back = QtText::fromQString(c.unicode);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->bytes(), c.cp1252);
    EXPECT_EQ(QtText::fromQStringLossy(c.unicode).bytes(), c.cp1252);
    EXPECT_TRUE(QtText::fitsCp1252(c.unicode));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, QtTextRoundTrip,
    ::testing::Values(RoundTrip{"empty", "", QString()},
                      RoundTrip{"ascii", "Sicherung 1", QStringLiteral("Sicherung 1")},
                      RoundTrip{"umlauts", "t\xE4glich \xC4\xD6\xDC\xF6\xFC\xDF", QStringLiteral("täglich ÄÖÜöüß")},
                      RoundTrip{"euro and dashes", "\x80 \x96 \x97 \x84\x93", QStringLiteral("€ – — „“")},
                      // Windows leaves 0x81 undefined; it maps to the C1 code point and back.
                      RoundTrip{"undefined byte", "a\x81z", QString::fromUcs4(U"a\u0081z")},
                      RoundTrip{"line ends", "a\r\nb", QStringLiteral("a\r\nb")}),
    [](const auto& testInfo) {
        std::string n = testInfo.param.name;
        for (char& ch : n)
            ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        return n;
    });

TEST(QtText, RefusesCharactersWindows1252Lacks) {
    for (const QString& text : {QStringLiteral("Ω"), QStringLiteral("Datei ✓"), QString::fromUcs4(U"😀"),
                                QStringLiteral("日本"), QString(QChar(0xD800))}) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_FALSE(QtText::fromQString(text).has_value());
        EXPECT_FALSE(QtText::fitsCp1252(text));
    }
}

TEST(QtText, LossyConversionMarksEachMissingCharacterOnce) {
    EXPECT_EQ(QtText::fromQStringLossy(QStringLiteral("aΩb")), "a?b");
    // A character beyond the BMP is one character, not two halves.
    EXPECT_EQ(QtText::fromQStringLossy(QString::fromUcs4(U"x😀ü")).bytes(), "x?\xFC");
}

} // namespace
