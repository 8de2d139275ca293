#include "toolkit/gui/qt/QtText.h"

#include "toolkit/core/Cp1252.h"

#include <QList>

namespace QtText {

QString toQString(const WString& text) {
    const std::string utf8 = cp1252::toUtf8(text.bytes());
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// By code points: Qt's own UTF-8 encoder would turn a lone surrogate into a '?' that passes for a real
// question mark; here it is U+FFFD, which Windows-1252 lacks.
WString fromQStringLossy(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const uint codePoint : text.toUcs4()) {
        const auto byte = cp1252::fromUnicode(codePoint);
        bytes.push_back(byte ? static_cast<char>(*byte) : '?');
    }
    return WString::fromBytes(bytes);
}

bool fitsCp1252(const QString& text) {
    // Lone surrogates and characters beyond the BMP have no Windows-1252 byte either.
    for (const uint codePoint : text.toUcs4()) {
        if (!cp1252::fromUnicode(codePoint))
            return false;
    }
    return true;
}

} // namespace QtText
