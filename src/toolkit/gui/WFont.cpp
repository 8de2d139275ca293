#include "toolkit/gui/WFont.h"

std::optional<WFont> WFont::fromText(const WString& text) {
    const std::size_t dot = text.find('.');
    if (dot == WString::npos || dot == 0 || dot > 3)
        return std::nullopt;
    int size = 0;
    for (std::size_t i = 0; i < dot; ++i) {
        const char ch = text[i];
        if (ch < '0' || ch > '9')
            return std::nullopt;
        size = size * 10 + (ch - '0');
    }
    WString face = text.mid(dot + 1);
    const bool blankFace = face.bytes().find_first_not_of(' ') == std::string::npos;
    if (size < 1 || blankFace)
        return std::nullopt;
    return WFont(size, std::move(face));
}
