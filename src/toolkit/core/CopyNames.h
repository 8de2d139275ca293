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

// "Brief.doc" -> "Brief - Kopie.doc", "Brief - Kopie (2).doc" ...; folders and names without a
// dot after their first character keep the suffix at the end.
inline std::string copyName(const std::string& name, bool isFolder, int number) {
    const std::size_t dot = isFolder ? std::string::npos : name.rfind('.');
    const bool hasExt = dot != std::string::npos && dot > 0;
    const std::string stem = hasExt ? name.substr(0, dot) : name;
    const std::string ext = hasExt ? name.substr(dot) : "";
    const std::string suffix = number == 1 ? " - Kopie" : " - Kopie (" + std::to_string(number) + ")";
    return stem + suffix + ext;
}

} // namespace copynames
