#include "BackupLog.h"
#include "LogFileParts.h"
#include "SafeSave.h"
#include "TempWorkDir.h"
#include "VirtualClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using logparts::entry;
using logparts::join;
using Names = std::vector<std::string>;

namespace {

class BackupLogTest : public InTempDir {
protected:
    static std::string log() { return TempWorkDir::readBytes("save.log"); }
    static void putLog(const std::string& bytes) { TempWorkDir::writeBytes("save.log", bytes); }
    static std::vector<std::string> heads() {
        std::vector<std::string> result;
        for (const logparts::Section& s : logparts::sections(log()))
            result.push_back(s.head);
        return result;
    }

    VirtualClock clock{2026, 12, 5, 10, 0, 3};
};

// A clock that gives one reading after another, so a second reading shows in the result.
class ScriptedClock : public Clock {
public:
    explicit ScriptedClock(std::vector<LocalTime> readings) : readings_(std::move(readings)) {}
    LocalTime now() const override { return readings_[std::min(next_++, readings_.size() - 1)]; }
    std::int64_t monotonicMs() const override { return 0; }
    void sleep(int) override {}

private:
    std::vector<LocalTime> readings_;
    mutable std::size_t next_ = 0;
};

class BrokenDisk : public FileWriter {
public:
    ssize_t write(int, const void*, std::size_t) override {
        errno = ENOSPC;
        return -1;
    }
};

// Entries of the same size, oldest first, followed by one that pads the file to `bytes`.
std::vector<std::string> oldEntries(std::size_t bytes) {
    std::vector<std::string> entries;
    for (int minute = 0; bytes - join(entries).size() > 200; ++minute) {
        const std::string head = WString::format("[05.12.2026 08:%02d:00]", minute).bytes();
        entries.push_back(entry(head, "gestartet", WString::format("Job %02d", minute).bytes(), "ok"));
    }
    const std::string lastHead = "[05.12.2026 09:00:00]";
    const std::size_t used = join(entries).size() + 2 + entry(lastHead, "neu", "", "ok").size();
    entries.push_back(entry(lastHead, "neu", std::string(bytes - used, 'p'), "ok"));
    return entries;
}

TEST_F(BackupLogTest, TwoEntriesByteForByte) {
    BackupLog::WriteEntry("Projekte", "gestartet", "ok");
    clock.set(2026, 12, 5, 10, 2, 41);
    BackupLog::WriteEntry("Alt", "gelöscht"_w, "ok");
    EXPECT_EQ(log(), "[05.12.2026 10:00:03]\r\n"
                     "Sicherung=gestartet\r\n"
                     "Name=Projekte\r\n"
                     "Verlauf=ok\r\n"
                     "\r\n"
                     "[05.12.2026 10:02:41]\r\n"
                     "Sicherung=gel\xF6scht\r\n"
                     "Name=Alt\r\n"
                     "Verlauf=ok\r\n");
}

// The first entry makes the file; names and words are stored as given, an empty name included.
TEST_F(BackupLogTest, OneEntryOnAMissingFile) {
    struct Case {
        WString name, action, outcome;
    };
    const Case cases[] = {
        {"Projekte", "gestartet", "error"}, {"", "neu", "ok"},          {"Büro & Privat"_w, "bearbeitet", "ok"},
        {"a=b", "gelöscht"_w, "ok"},        {"[Klammer]", "neu", "ok"},
    };
    for (const Case& c : cases) {
        BackupLog::Delete();
        BackupLog::WriteEntry(c.name, c.action, c.outcome);
        EXPECT_EQ(log(), entry("[05.12.2026 10:00:03]", c.action.bytes(), c.name.bytes(), c.outcome.bytes()))
            << c.name.bytes();
        EXPECT_EQ(dir.entries(), Names{"save.log"});
    }
}

// Two entries in one second would share a head and the second would overwrite the first.
TEST_F(BackupLogTest, SameSecondEntriesAreBothKept) {
    BackupLog::WriteEntry("Erste", "gestartet", "ok");
    BackupLog::WriteEntry("Zweite", "gestartet", "error");
    clock.set(2026, 12, 5, 10, 0, 4); // the clock reaches a second that is already taken
    BackupLog::WriteEntry("Dritte", "neu", "ok");
    EXPECT_EQ(log(), join({
                         entry("[05.12.2026 10:00:03]", "gestartet", "Erste", "ok"),
                         entry("[05.12.2026 10:00:04]", "gestartet", "Zweite", "error"),
                         entry("[05.12.2026 10:00:05]", "neu", "Dritte", "ok"),
                     }));
}

// The next free second carries into minutes, hours, days, months and years.
TEST_F(BackupLogTest, NextFreeSecondCarries) {
    struct Case {
        int year, month, day, hour, minute, second;
        const char* taken;
        const char* next;
    };
    const Case cases[] = {
        {2026, 12, 5, 10, 0, 59, "[05.12.2026 10:00:59]", "[05.12.2026 10:01:00]"},
        {2026, 12, 5, 10, 59, 59, "[05.12.2026 10:59:59]", "[05.12.2026 11:00:00]"},
        {2026, 12, 5, 23, 59, 59, "[05.12.2026 23:59:59]", "[06.12.2026 00:00:00]"},
        {2026, 4, 30, 23, 59, 59, "[30.04.2026 23:59:59]", "[01.05.2026 00:00:00]"},
        {2027, 2, 28, 23, 59, 59, "[28.02.2027 23:59:59]", "[01.03.2027 00:00:00]"},
        {2028, 2, 28, 23, 59, 59, "[28.02.2028 23:59:59]", "[29.02.2028 00:00:00]"},
        {2028, 2, 29, 23, 59, 59, "[29.02.2028 23:59:59]", "[01.03.2028 00:00:00]"},
        {2100, 2, 28, 23, 59, 59, "[28.02.2100 23:59:59]", "[01.03.2100 00:00:00]"},
        {2000, 2, 28, 23, 59, 59, "[28.02.2000 23:59:59]", "[29.02.2000 00:00:00]"},
        {2026, 12, 31, 23, 59, 59, "[31.12.2026 23:59:59]", "[01.01.2027 00:00:00]"},
    };
    for (const Case& c : cases) {
        BackupLog::Delete();
        clock.set(c.year, c.month, c.day, c.hour, c.minute, c.second);
        BackupLog::WriteEntry("A", "neu", "ok");
        BackupLog::WriteEntry("B", "neu", "ok");
        EXPECT_EQ(log(), join({entry(c.taken, "neu", "A", "ok"), entry(c.next, "neu", "B", "ok")})) << c.taken;
    }
}

// A head the user left in the file by hand counts as taken too, wherever it stands.
TEST_F(BackupLogTest, HandWrittenHeadIsSkipped) {
    const std::string old = "Notiz\r\n[05.12.2026 10:00:03]\r\n";
    putLog(old);
    BackupLog::WriteEntry("Neu", "neu", "ok");
    EXPECT_EQ(log(), old + "\r\n" + entry("[05.12.2026 10:00:04]", "neu", "Neu", "ok"));
}

// Date and time of a head come from one reading, so an entry at midnight never gets the old
// date with the new time.
TEST_F(BackupLogTest, HeadFromOneClockReading) {
    const LocalTime lastSecond{2026, 12, 31, 23, 59, 59, 4, 364};
    const LocalTime newYear{2027, 1, 1, 0, 0, 0, 5, 0};
    ScriptedClock scripted({lastSecond, newYear});
    Clock::install(&scripted);
    BackupLog::WriteEntry("Jahreswechsel", "gestartet", "ok");
    Clock::install(&clock);
    EXPECT_EQ(log(), entry("[31.12.2026 23:59:59]", "gestartet", "Jahreswechsel", "ok"));
}

// The size after writing decides: up to 4200 bytes everything stays; above, the oldest entries go
// with the empty line below them until the file is back within the limit.
TEST_F(BackupLogTest, SizeLimit) {
    const std::string newEntry = entry("[05.12.2026 10:00:03]", "neu", "Neu", "ok");
    const std::size_t oldestBlock = oldEntries(4200).front().size() + 2;
    struct Case {
        std::size_t sizeAfterWrite;
        std::size_t dropped;
    };
    const Case cases[] = {
        {4199, 0}, {4200, 0}, {4201, 1}, {4200 + oldestBlock, 1}, {4201 + oldestBlock, 2},
    };
    for (const Case& c : cases) {
        std::vector<std::string> entries = oldEntries(c.sizeAfterWrite - 2 - newEntry.size());
        putLog(join(entries));
        ASSERT_EQ(join(entries).size() + 2 + newEntry.size(), c.sizeAfterWrite);
        BackupLog::WriteEntry("Neu", "neu", "ok");
        entries.erase(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(c.dropped));
        entries.push_back(newEntry);
        EXPECT_EQ(log(), join(entries)) << c.sizeAfterWrite;
        EXPECT_LE(log().size(), static_cast<std::size_t>(BackupLog::kMaxBytes));
    }
}

TEST_F(BackupLogTest, TrimAloneTrimsToTheLimit) {
    std::vector<std::string> entries = oldEntries(4300);
    putLog(join(entries));
    BackupLog::Trim();
    while (join(entries).size() > static_cast<std::size_t>(BackupLog::kMaxBytes))
        entries.erase(entries.begin());
    EXPECT_EQ(log(), join(entries));
}

TEST_F(BackupLogTest, AfterDeleteTheNextEntryStartsANewFile) {
    BackupLog::WriteEntry("Eins", "gestartet", "ok");
    BackupLog::WriteEntry("Zwei", "gestartet", "ok");
    EXPECT_TRUE(BackupLog::Delete());
    EXPECT_TRUE(dir.entries().empty());
    EXPECT_FALSE(BackupLog::Delete());
    clock.set(2026, 12, 5, 11, 0, 0);
    BackupLog::WriteEntry("Drei", "neu", "ok");
    EXPECT_EQ(log(), entry("[05.12.2026 11:00:00]", "neu", "Drei", "ok"));
}

TEST_F(BackupLogTest, MissingLogStaysMissing) {
    BackupLog::Trim();
    EXPECT_TRUE(BackupLog::ReadLines().empty());
    EXPECT_FALSE(BackupLog::Delete());
    EXPECT_TRUE(dir.entries().empty());
}

TEST_F(BackupLogTest, DeleteLeavesAFolderOfTheSameNameAlone) {
    fs::create_directory("save.log");
    EXPECT_FALSE(BackupLog::Delete());
    EXPECT_TRUE(fs::is_directory("save.log"));
}

// Hand-edited logs over the limit, trimmed alone and after a new entry: trimming ends within the
// limit, the entries that stay are whole, and a new entry is kept whole as the last one.
TEST_F(BackupLogTest, HandEditedLogsEndTrimming) {
    const std::string entries = join(oldEntries(4300));
    // Over the limit with LF alone; the first rewrite makes it grow.
    std::string lfOnly = join(oldEntries(4700));
    for (std::size_t pos = 0; (pos = lfOnly.find("\r\n", pos)) != std::string::npos;)
        lfOnly.erase(pos, 1);
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"a note as first line", "Notizen zur Sicherung\r\n" + entries},
        {"a key line as first line", "Name=Projekte\r\n" + entries},
        {"an empty first line", "\r\n" + entries},
        {"an over-long first line", std::string(600, 'x') + "\r\n" + entries},
        {"a NUL byte in the first line", std::string("Alt\0Notiz\r\n", 11) + entries},
        {"LF line ends only", lfOnly},
        {"one line without a line end", std::string(5000, 'x')},
    };
    const std::string newEntry = entry("[05.12.2026 10:00:03]", "neu", "Neu", "ok");
    const auto expectWholeWithinLimit = [](const std::string& bytes, const char* what) {
        EXPECT_LE(bytes.size(), static_cast<std::size_t>(BackupLog::kMaxBytes)) << what;
        for (const logparts::Section& s : logparts::sections(bytes))
            EXPECT_EQ(s.lines.size(), 3u) << what << ": " << s.head;
    };
    for (const Case& c : cases) {
        ASSERT_GT(c.bytes.size(), static_cast<std::size_t>(BackupLog::kMaxBytes)) << c.what;
        putLog(c.bytes);
        BackupLog::Trim();
        expectWholeWithinLimit(log(), c.what);

        putLog(c.bytes);
        BackupLog::WriteEntry("Neu", "neu", "ok");
        expectWholeWithinLimit(log(), c.what);
        EXPECT_TRUE(log().ends_with(newEntry)) << c.what;
    }
}

// A log that cannot be rewritten (full disk) makes every round of trimming change nothing.
TEST_F(BackupLogTest, UnwritableLogEndsTrimming) {
    const std::string old = join(oldEntries(5000));
    putLog(old);
    BrokenDisk disk;
    SafeSave::setWriter(&disk);
    BackupLog::WriteEntry("Neu", "gestartet", "ok");
    BackupLog::Trim();
    SafeSave::setWriter(nullptr);
    EXPECT_EQ(log(), old);
    EXPECT_EQ(dir.entries(), Names{"save.log"});
}

// The view's lines: at most 254 characters per read, CR LF or LF ends a line.
TEST_F(BackupLogTest, LinesForTheView) {
    const std::string full(254, 'a');
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"CR LF", "[h]\r\nName=x\r\n", {"[h]", "Name=x"}},
        {"no final line end", "[h]\r\nName=x", {"[h]", "Name=x"}},
        {"LF only", "a\nb\n", {"a", "b"}},
        {"lone CR stays", "a\rb\r\n", {"a\rb"}},
        {"empty lines", "a\r\n\r\n\r\nb\r\n", {"a", "", "", "b"}},
        {"254 characters", full + "\r\nb\r\n", {full, "b"}},
        {"255 characters", full + "c\r\nb\r\n", {full, "c", "b"}},
        {"600 characters", std::string(600, 'a') + "\r\n", {full, full, std::string(92, 'a')}},
        {"empty file", "", {}},
    };
    for (const Case& c : cases) {
        putLog(c.bytes);
        std::vector<std::string> lines;
        for (const WString& line : BackupLog::ReadLines())
            lines.push_back(line.bytes());
        EXPECT_EQ(lines, c.lines) << c.what;
    }
}

TEST_F(BackupLogTest, VeryLongNameShowsAsSeveralLines) {
    const std::string name(300, 'n');
    BackupLog::WriteEntry(WString(name.c_str()), "neu", "ok");
    std::vector<std::string> lines;
    for (const WString& line : BackupLog::ReadLines())
        lines.push_back(line.bytes());
    const std::string nameLine = "Name=" + name;
    EXPECT_EQ(lines, (std::vector<std::string>{"[05.12.2026 10:00:03]", "Sicherung=neu", nameLine.substr(0, 254),
                                               nameLine.substr(254), "Verlauf=ok"}));
}

} // namespace
