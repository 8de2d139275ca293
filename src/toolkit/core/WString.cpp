#include "toolkit/core/WString.h"

#include "toolkit/core/Cp1252.h"

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace {

int asciiLower(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

std::string_view untilNul(std::string_view bytes) {
    return bytes.substr(0, bytes.find('\0'));
}

bool isCSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace

WString::WString(const char* text) : bytes_(text ? text : "") {}

WString WString::fromBytes(std::string_view bytes) {
    WString s;
    s.bytes_.assign(untilNul(bytes));
    return s;
}

std::optional<WString> WString::fromUtf8(std::string_view utf8) {
    // A NUL would silently cut the text; refuse it like any other character WString cannot hold.
    auto converted = cp1252::fromUtf8(utf8);
    if (!converted || converted->find('\0') != std::string::npos)
        return std::nullopt;
    return fromBytes(*converted);
}

WString WString::format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    WString result;
    if (needed > 0) {
        std::vector<char> buffer(static_cast<std::size_t>(needed) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), fmt, args);
        result = fromBytes(std::string_view(buffer.data(), static_cast<std::size_t>(needed)));
    }
    va_end(args);
    return result;
}

WString& WString::operator=(const char* text) {
    bytes_.assign(text ? text : "");
    return *this;
}

WString& WString::operator+=(const WString& other) {
    bytes_ += other.bytes_;
    return *this;
}

WString& WString::operator+=(const char* text) {
    if (text)
        bytes_ += text;
    return *this;
}

WString operator+(const WString& a, const WString& b) {
    WString r(a);
    r += b;
    return r;
}

WString operator+(const WString& a, const char* b) {
    WString r(a);
    r += b;
    return r;
}

WString operator+(const char* a, const WString& b) {
    WString r(a);
    r += b;
    return r;
}

bool WString::operator==(const char* text) const {
    return bytes_ == (text ? text : "");
}

int WString::compare(const WString& other, bool caseSensitive) const {
    const std::size_t n = std::min(bytes_.size(), other.bytes_.size());
    for (std::size_t i = 0; i < n; ++i) {
        int a = static_cast<unsigned char>(bytes_[i]);
        int b = static_cast<unsigned char>(other.bytes_[i]);
        if (!caseSensitive) {
            a = asciiLower(static_cast<unsigned char>(a));
            b = asciiLower(static_cast<unsigned char>(b));
        }
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (bytes_.size() == other.bytes_.size())
        return 0;
    return bytes_.size() < other.bytes_.size() ? -1 : 1;
}

void WString::setAt(std::size_t index, char ch) {
    if (index < bytes_.size() && ch != '\0')
        bytes_[index] = ch;
}

WString WString::mid(std::size_t from, std::size_t count) const {
    if (from >= bytes_.size())
        return {};
    return fromBytes(std::string_view(bytes_).substr(from, count));
}

bool WString::startsWith(const WString& prefix, bool caseSensitive) const {
    if (prefix.length() > length())
        return false;
    return left(prefix.length()).compare(prefix, caseSensitive) == 0;
}

// Parsed by hand rather than with strtol: the result must not depend on the C locale that the GUI
// library installs, must not touch errno, and must not overflow.
int WString::toInt() const {
    std::size_t i = 0;
    while (i < bytes_.size() && isCSpace(bytes_[i]))
        ++i;
    const bool negative = at(i) == '-';
    if (at(i) == '-' || at(i) == '+')
        ++i;
    constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
    long long value = 0;
    for (; at(i) >= '0' && at(i) <= '9'; ++i)
        value = std::min(kLimit, value * 10 + (at(i) - '0'));
    if (negative)
        return static_cast<int>(-value);
    return static_cast<int>(std::min(value, static_cast<long long>(INT_MAX)));
}

std::string WString::toUtf8() const {
    return cp1252::toUtf8(bytes_);
}

WString operator""_w(const char* utf8, std::size_t length) {
    auto converted = WString::fromUtf8(std::string_view(utf8, length));
    if (!converted)
        throw std::logic_error("text literal not representable in Windows-1252");
    return *converted;
}
