#include "toolkit/gui/qt/QtText.h"

#include <gtest/gtest.h>

namespace {

TEST(QtText, ConvertsWindows1252BothWaysWithoutLoss) {
    const std::pair<std::string, QString> cases[] = {
        {"", QString()},
        {"t\xE4glich \xC4\xD6\xDC\xF6\xFC\xDF", QStringLiteral("täglich ÄÖÜöüß")},
        {"\x80 \x96 \x97 \x84\x93", QStringLiteral("€ – — „“")},
        {"a\x81z", QString::fromUcs4(U"a\u0081z")}, // left undefined by Windows: the C1 code point and back
        {"a\r\nb", QStringLiteral("a\r\nb")},
    };
    for (const auto& [cp1252, unicode] : cases) {
        SCOPED_TRACE(unicode.toStdString());
        EXPECT_EQ(QtText::toQString(WString::fromBytes(cp1252)), unicode);
        EXPECT_EQ(QtText::fromQStringLossy(unicode).bytes(), cp1252);
        EXPECT_TRUE(QtText::fitsCp1252(unicode));
    }
}

TEST(QtText, RefusesCharactersWindows1252LacksOrMarksEachOnceWhenLossy) {
    for (const QString& text : {QStringLiteral("Ω"), QStringLiteral("Datei ✓"), QString::fromUcs4(U"😀"),
                                QStringLiteral("日本"), QString(QChar(0xD800))}) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_FALSE(QtText::fitsCp1252(text));
    }
    EXPECT_EQ(QtText::fromQStringLossy(QStringLiteral("aΩb")), "a?b");
    // A character beyond the BMP is one character, not two halves.
    EXPECT_EQ(QtText::fromQStringLossy(QString::fromUcs4(U"x😀ü")).bytes(), "x?\xFC");
}

} // namespace
