#include "storage/LineList.h"

void LineList::Append(WString text) {
    lines_.push_back(std::move(text));
}

WString LineList::LineAt(int n) const {
    return HasLine(n) ? LineRef(n) : WString();
}

void LineList::SetLine(int n, const WString& text) {
    if (HasLine(n))
        lines_[static_cast<std::size_t>(n - 1)] = text;
}

void LineList::InsertAfter(int n, const WString& text) {
    if (n >= Count()) {
        Append(text);
        return;
    }
    const auto at = n <= 0 ? 0 : n;
    lines_.insert(lines_.begin() + at, text);
}

void LineList::RemoveLine(int n) {
    if (HasLine(n))
        lines_.erase(lines_.begin() + (n - 1));
}

void LineList::RemoveLast() {
    if (!lines_.empty())
        lines_.pop_back();
}
