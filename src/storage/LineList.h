#pragma once

#include "toolkit/core/WString.h"

#include <vector>

// A numbered list of text lines; line numbers start at 1. A number that names no line is
// harmless: reading gives the empty text, replacing and removing do nothing.
class LineList {
public:
    // Adds a line after the last one.
    void Append(WString text);
    int Count() const { return static_cast<int>(lines_.size()); }
    // A copy of line n; empty when there is no line n.
    WString LineAt(int n) const;
    void SetLine(int n, const WString& text);
    // The text becomes line n+1 and the lines from n+1 on move down; n at or beyond the last
    // line appends, n of 0 or less puts the text first.
    void InsertAfter(int n, const WString& text);
    // Line n goes and the lines after it move up.
    void RemoveLine(int n);
    void RemoveLast();
    bool IsEmpty() const { return lines_.empty(); }
    void Clear() { lines_.clear(); }

protected:
    bool HasLine(int n) const { return n >= 1 && n <= Count(); }
    // Line n without a copy; n must name a line.
    const WString& LineRef(int n) const { return lines_[static_cast<std::size_t>(n - 1)]; }

private:
    // A vector rather than the classic linked chain: every operation on a line number is then
    // constant time or a single move of the tail, so a whole-file operation stays linear.
    std::vector<WString> lines_;
};
