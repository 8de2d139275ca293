#pragma once

#include "toolkit/core/WString.h"
#include "toolkit/core/WorkArea.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

// GoogleTest shows a WString as its bytes (Windows-1252, escaped), not as raw memory.
inline void PrintTo(const WString& s, std::ostream* os) {
    *os << testing::PrintToString(s.bytes());
}

inline void PrintTo(const WRect& r, std::ostream* os) {
    *os << r.x << "," << r.y << " " << r.width << "x" << r.height;
}

// Any list of texts (list box items, folder entries) as UTF-8 for comparisons.
template <class List> std::vector<std::string> textsOf(const List& list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list.count(); ++i)
        texts.push_back(list.itemText(i).toUtf8());
    return texts;
}
