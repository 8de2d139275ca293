#pragma once

// Names used by FileCopy's inner workings: paths split, and the names of further copies.

#include <string>

namespace copynames {

inline std::string parentOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

inline std::string nameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The first `size` bytes at most, never cut inside a UTF-8 character.
inline std::string cutUtf8(const std::string& text, std::size_t size) {
    if (text.size() <= size)
        return text;
    while (size > 0 && (static_cast<unsigned char>(text[size]) & 0xC0) == 0x80)
        --size;
    return text.substr(0, size);
}

// "Brief.doc" -> "Brief - Kopie.doc", "Brief - Kopie (2).doc" ...; folders and names without a
// dot after their first character keep the suffix at the end. The stem gives way where the name
// would pass the file system's limit of nameMax bytes; an extension too long to leave room for it
// counts as part of the stem.
inline std::string copyName(const std::string& name, bool isFolder, int number, std::size_t nameMax = 255) {
    const std::string suffix = number == 1 ? " - Kopie" : " - Kopie (" + std::to_string(number) + ")";
    std::size_t dot = isFolder ? std::string::npos : name.rfind('.');
    if (dot == 0 || (dot != std::string::npos && name.size() - dot + suffix.size() >= nameMax))
        dot = std::string::npos;
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string ext = dot == std::string::npos ? "" : name.substr(dot);
    const std::size_t room = nameMax > suffix.size() + ext.size() ? nameMax - suffix.size() - ext.size() : 0;
    return cutUtf8(stem, room) + suffix + ext;
}

} // namespace copynames
