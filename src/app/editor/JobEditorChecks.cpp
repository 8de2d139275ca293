#include "app/editor/JobEditorChecks.h"

#include <sys/stat.h>

#include <algorithm>

namespace {

// The data files keep each key line within 254 characters.
constexpr std::size_t kMaxLine = 254;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Line breaks and other control characters, and the bytes Windows-1252 leaves undefined.
bool hasControlCharacter(const WString& text) {
    return std::any_of(text.bytes().begin(), text.bytes().end(), [](char ch) {
        const auto b = static_cast<unsigned char>(ch);
        return b < 0x20 || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
    });
}

WString refusalOfLine(const WString& value, std::size_t keyLength, const WString& what) {
    if (hasControlCharacter(value))
        return what + " enthält einen Zeilenumbruch oder ein anderes Steuerzeichen."_w;
    if (keyLength + value.length() > kMaxLine)
        return what + " ist zu lang: höchstens "_w + WString::format("%zu", kMaxLine - std::min(keyLength, kMaxLine)) +
               " Zeichen sind möglich."_w;
    return {};
}

} // namespace

bool JobEditorChecks::IsValidTime(const WString& digits) {
    if (digits.length() != 4 || !std::all_of(digits.bytes().begin(), digits.bytes().end(), isDigit))
        return false;
    return digits.mid(0, 2).toInt() <= 23 && digits.mid(2, 2).toInt() <= 59;
}

bool JobEditorChecks::IsJobComplete(const Fields& f) {
    return f.sourceCount > 0 && !f.name.isEmpty() && !f.destination.isEmpty() &&
           (!f.active || IsValidTime(f.timeDigits));
}

WString JobEditorChecks::SourceRefusal(const WString& path, int index) {
    return refusalOfLine(path, WString::format("von_%d=", index).length(), "Der Pfad");
}

WString JobEditorChecks::DestinationRefusal(const WString& path) {
    return refusalOfLine(path, WString("nach=").length(), "Der Pfad");
}

WString JobEditorChecks::NameRefusal(const WString& name, int number) {
    // The name is stored as "[name]" in one file and as "name_N=name" in the other.
    const std::size_t key = std::max<std::size_t>(2, WString::format("name_%d=", number).length());
    return refusalOfLine(name, key, "Der Name");
}

WString JobEditorChecks::UnholdableText() {
    return "Der Pfad enthält Zeichen, die Morlanz nicht speichern kann."_w;
}

bool JobEditorChecks::IsSameFolder(const WString& a, const WString& b) {
    if (a == b)
        return true;
    struct stat sa {
    }, sb{};
    return !a.isEmpty() && !b.isEmpty() && ::stat(a.toUtf8().c_str(), &sa) == 0 &&
           ::stat(b.toUtf8().c_str(), &sb) == 0 && S_ISDIR(sa.st_mode) && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}
