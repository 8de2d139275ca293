#include "log/BackupLog.h"

#include "log/ClockTexts.h"
#include "log/LogTrimmer.h"
#include "storage/IniFile.h"
#include "storage/ProgramTexts.h"
#include "storage/TextFileReader.h"
#include "toolkit/core/Clock.h"
#include "toolkit/core/SafeSave.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

std::mutex g_logMutex;

const WString& logFile() {
    static const WString name = ProgramTexts::LogFile;
    return name;
}

// The whole file, or nothing when it is missing, unreadable or not a regular file.
std::optional<std::string> readLogBytes() {
    std::string data;
    if (TextFileReader::ReadAll(logFile(), data) != TextFileReader::Status::Ok)
        return std::nullopt;
    return data;
}

int daysInMonth(int year, int month) {
    static constexpr std::array<int, 12> days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[static_cast<std::size_t>(month - 1)];
}

LocalTime nextSecond(LocalTime t) {
    if (++t.second < 60)
        return t;
    t.second = 0;
    if (++t.minute < 60)
        return t;
    t.minute = 0;
    if (++t.hour < 24)
        return t;
    t.hour = 0;
    t.weekday = (t.weekday + 1) % 7;
    ++t.yearDay;
    if (++t.day <= daysInMonth(t.year, t.month))
        return t;
    t.day = 1;
    if (++t.month <= 12)
        return t;
    t.month = 1;
    t.yearDay = 0;
    ++t.year;
    return t;
}

WString headOf(const LocalTime& t) {
    return "[" + ClockTexts::DateText(t) + " " + ClockTexts::TimeText(t) + "]";
}

} // namespace

void BackupLog::WriteEntry(const WString& name, const WString& action, const WString& outcome) {
    const std::lock_guard lock(g_logMutex);
    // An existing head would take this entry's keys and lose that entry's values.
    const std::vector<WString> lines = TextFileReader::SplitReads(readLogBytes().value_or(std::string()));
    LocalTime when = Clock::current().now();
    WString head = headOf(when);
    while (std::find(lines.begin(), lines.end(), head) != lines.end()) {
        when = nextSecond(when);
        head = headOf(when);
    }
    // New keys go directly under the head, so this order gives Sicherung, Name, Verlauf.
    IniFile ini;
    ini.WriteKey(logFile(), head, "Verlauf=" + outcome);
    ini.WriteKey(logFile(), head, "Name=" + name);
    ini.WriteKey(logFile(), head, "Sicherung=" + action);
    TrimLocked();
}

void BackupLog::Trim() {
    const std::lock_guard lock(g_logMutex);
    TrimLocked();
}

void BackupLog::TrimLocked() {
    // One read and one safe rewrite, whatever the size: a file that cannot be read is left alone,
    // one that cannot be written stays as it was.
    const std::optional<std::string> before = readLogBytes();
    if (!before || before->size() <= static_cast<std::size_t>(kMaxBytes))
        return;
    const std::string after = LogTrimmer::Trimmed(*before, kMaxBytes);
    if (after != *before)
        SafeSave::write(logFile().toUtf8(), after);
}

bool BackupLog::Delete() {
    const std::lock_guard lock(g_logMutex);
    return ::unlink(logFile().toUtf8().c_str()) == 0;
}

std::vector<WString> BackupLog::ReadLines() {
    // Under the lock, so the view never shows an entry that is only half written.
    const std::lock_guard lock(g_logMutex);
    return TextFileReader::SplitReads(readLogBytes().value_or(std::string()));
}
