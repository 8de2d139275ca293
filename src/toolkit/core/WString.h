#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// A text value holding Windows-1252 bytes, as the program's data files store them.
// There are no embedded NUL bytes: every constructor stops at the first NUL, like a C string.
// Conversion to UTF-8 (file system) goes through toUtf8/fromUtf8; fromUtf8 refuses text that
// Windows-1252 cannot hold instead of guessing.
class WString {
public:
    WString() = default;
    WString(const char* text); // NOLINT: implicit on purpose, the program passes C texts everywhere
    WString(const WString&) = default;
    WString(WString&&) noexcept = default;
    ~WString() = default;

    // Raw Windows-1252 bytes; anything after an embedded NUL is dropped.
    static WString fromBytes(std::string_view bytes);
    // UTF-8 to Windows-1252; empty optional on malformed UTF-8, a character that has no
    // Windows-1252 byte, or a NUL (which a WString cannot hold).
    static std::optional<WString> fromUtf8(std::string_view utf8);
    // printf-style formatting of any length.
    static WString format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

    WString& operator=(const char* text);
    WString& operator=(const WString&) = default;
    WString& operator=(WString&&) noexcept = default;

    WString& operator+=(const WString& other);
    WString& operator+=(const char* text);

    friend WString operator+(const WString& a, const WString& b);
    friend WString operator+(const WString& a, const char* b);
    friend WString operator+(const char* a, const WString& b);

    // Case-sensitive, byte by byte; a null C text counts as the empty text.
    bool operator==(const WString& other) const { return bytes_ == other.bytes_; }
    bool operator==(const char* text) const;
    bool operator!=(const char* text) const { return !(*this == text); }

    // <0, 0, >0. caseSensitive = false compares ASCII letters without case.
    int compare(const WString& other, bool caseSensitive) const;

    // 0 at or beyond the end.
    char operator[](std::size_t index) const { return at(index); }
    char at(std::size_t index) const { return index < bytes_.size() ? bytes_[index] : '\0'; }
    // Replaces one character; an index at or beyond the end, or a NUL, changes nothing.
    void setAt(std::size_t index, char ch);

    const char* c_str() const { return bytes_.c_str(); }
    const std::string& bytes() const { return bytes_; }
    std::size_t length() const { return bytes_.size(); }
    bool isEmpty() const { return bytes_.empty(); }

    // Position of the first ch at or after from; npos when absent.
    static constexpr std::size_t npos = std::string::npos;
    std::size_t find(char ch, std::size_t from = 0) const { return bytes_.find(ch, from); }
    WString left(std::size_t count) const { return fromBytes(std::string_view(bytes_).substr(0, count)); }
    WString mid(std::size_t from, std::size_t count = npos) const;
    bool startsWith(const WString& prefix, bool caseSensitive) const;

    // Decimal conversion like the C runtime's atoi: leading blanks, optional sign, digits;
    // empty or non-numeric text gives 0, overflow clamps to the 32-bit range.
    int toInt() const;

    std::string toUtf8() const;

private:
    std::string bytes_;
};

// "täglich"_w: a UTF-8 literal converted to Windows-1252. Throws std::logic_error when the
// literal holds a character Windows-1252 lacks (a programming error, caught by any test).
WString operator""_w(const char* utf8, std::size_t length);
