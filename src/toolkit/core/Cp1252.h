#pragma once

#include <optional>
#include <string>
#include <string_view>

// Windows-1252 <-> Unicode. The five bytes Windows leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// map to the C1 control code points of the same value, so every byte sequence survives a round trip.
namespace cp1252 {

char32_t toUnicode(unsigned char byte);
// The byte for a code point, or an empty optional when Windows-1252 has none.
std::optional<unsigned char> fromUnicode(char32_t codePoint);

std::string toUtf8(std::string_view cp1252Bytes);
// Empty optional on malformed UTF-8 or a character Windows-1252 cannot hold.
std::optional<std::string> fromUtf8(std::string_view utf8);

} // namespace cp1252
