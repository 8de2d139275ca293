#include "log/BackupLog.h"
#include "storage/IniFile.h"
#include "storage/TextFileReader.h"
#include "support/LogFileParts.h"
#include "support/ScriptedWriter.h"
#include "support/TempWorkDir.h"
#include "support/VirtualClock.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <random>
#include <string>
#include <vector>

using logparts::entry;
using logparts::join;
using Names = std::vector<std::string>;

namespace {

constexpr std::size_t kMax = BackupLog::kMaxBytes;

class BackupLogTest : public InTempDir {
protected:
    static std::string log() { return TempWorkDir::readBytes("save.log"); }
    static void putLog(const std::string& bytes) { TempWorkDir::writeBytes("save.log", bytes); }

    VirtualClock clock{2026, 12, 5, 10, 0, 3};
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

// The first entry makes the file and nothing else; words are stored in Windows-1252, an empty
// name as an empty value.
TEST_F(BackupLogTest, EntriesByteForByte) {
    BackupLog::WriteEntry("Projekte", "gestartet", "ok");
    EXPECT_EQ(dir.entries(), Names{"save.log"});
    clock.set(2026, 12, 5, 10, 2, 41);
    BackupLog::WriteEntry("", "gelöscht"_w, "error");
    EXPECT_EQ(log(), "[05.12.2026 10:00:03]\r\nSicherung=gestartet\r\nName=Projekte\r\nVerlauf=ok\r\n\r\n"
                     "[05.12.2026 10:02:41]\r\nSicherung=gel\xF6scht\r\nName=\r\nVerlauf=error\r\n");
}

// Two entries under one head would merge and the second would overwrite the first: an entry takes
// the next free second, and a head the user left in the file by hand counts as taken too.
TEST_F(BackupLogTest, SameSecondEntriesAreBothKept) {
    const std::string old = "Notiz\r\n[05.12.2026 10:00:04]\r\n";
    putLog(old);
    BackupLog::WriteEntry("Erste", "gestartet", "ok");
    BackupLog::WriteEntry("Zweite", "gestartet", "error");
    clock.set(2026, 12, 5, 10, 0, 5);
    BackupLog::WriteEntry("Dritte", "neu", "ok");
    EXPECT_EQ(log(), old + "\r\n" +
                         join({entry("[05.12.2026 10:00:03]", "gestartet", "Erste", "ok"),
                               entry("[05.12.2026 10:00:05]", "gestartet", "Zweite", "error"),
                               entry("[05.12.2026 10:00:06]", "neu", "Dritte", "ok")}));
}

// The next free second after 23:59:59 carries into days, months (leap years included) and years.
TEST_F(BackupLogTest, NextFreeSecondCarries) {
    const std::pair<std::array<int, 3>, const char*> cases[] = {{{2026, 4, 30}, "[01.05.2026 00:00:00]"},
                                                                {{2028, 2, 28}, "[29.02.2028 00:00:00]"},
                                                                {{2100, 2, 28}, "[01.03.2100 00:00:00]"},
                                                                {{2026, 12, 31}, "[01.01.2027 00:00:00]"}};
    for (const auto& [date, next] : cases) {
        BackupLog::Delete();
        clock.set(date[0], date[1], date[2], 23, 59, 59);
        BackupLog::WriteEntry("A", "neu", "ok");
        BackupLog::WriteEntry("B", "neu", "ok");
        EXPECT_TRUE(log().ends_with(entry(next, "neu", "B", "ok"))) << next;
    }
}

// The size after writing decides: up to 4200 bytes everything stays; above, the oldest entries go
// with the empty line below them until the file is back within the limit. Trim alone does the same.
TEST_F(BackupLogTest, SizeLimit) {
    const std::string newEntry = entry("[05.12.2026 10:00:03]", "neu", "Neu", "ok");
    const std::size_t oldestBlock = oldEntries(kMax).front().size() + 2;
    const std::pair<std::size_t, std::ptrdiff_t> cases[] = {
        {4199, 0}, {4200, 0}, {4201, 1}, {4200 + oldestBlock, 1}, {4201 + oldestBlock, 2},
    };
    for (const auto& [sizeAfterWrite, dropped] : cases) {
        std::vector<std::string> entries = oldEntries(sizeAfterWrite - 2 - newEntry.size());
        putLog(join(entries));
        BackupLog::WriteEntry("Neu", "neu", "ok");
        entries.erase(entries.begin(), entries.begin() + dropped);
        entries.push_back(newEntry);
        EXPECT_EQ(log(), join(entries)) << sizeAfterWrite;
    }

    std::vector<std::string> entries = oldEntries(4300);
    putLog(join(entries));
    BackupLog::Trim();
    while (join(entries).size() > kMax)
        entries.erase(entries.begin());
    EXPECT_EQ(log(), join(entries));
}

// Hand-edited logs over the limit, trimmed alone and after a new entry: trimming ends within the
// limit, the entries that stay are whole, and a new entry is kept whole as the last one.
TEST_F(BackupLogTest, HandEditedLogsEndTrimming) {
    const std::string entries = join(oldEntries(4300));
    // Over the limit with LF alone; the first rewrite makes it grow.
    std::string lfOnly = join(oldEntries(4700));
    std::erase(lfOnly, '\r');
    const std::pair<const char*, std::string> cases[] = {
        {"a note as first line", "Notizen zur Sicherung\r\n" + entries},
        {"an empty first line", "\r\n" + entries},
        {"an over-long first line", std::string(600, 'x') + "\r\n" + entries},
        {"LF line ends only", lfOnly},
        {"one line without a line end", std::string(5000, 'x')},
    };
    const std::string newEntry = entry("[05.12.2026 10:00:03]", "neu", "Neu", "ok");
    for (const auto& [what, bytes] : cases) {
        for (const bool withEntry : {false, true}) {
            putLog(bytes);
            if (withEntry)
                BackupLog::WriteEntry("Neu", "neu", "ok");
            else
                BackupLog::Trim();
            const std::string after = log();
            EXPECT_LE(after.size(), kMax) << what;
            for (const logparts::Section& s : logparts::sections(after))
                EXPECT_EQ(s.lines.size(), 3u) << what << ": " << s.head;
            EXPECT_EQ(after.ends_with(newEntry), withEntry) << what;
        }
    }
}

// The trimming rule as the program once ran it, one IniFile rewrite after another: the reference
// for the bytes that trimming must leave, hand-edited logs included.
std::string trimStepByStep(const WString& file) {
    // Hundreds of rewrites. The reference needs neither durability nor a replacement in one step,
    // and without them (a file system flushes a file that replaces another) they are quick.
    struct Quick : FileWriter {
        ssize_t write(int fd, const void* data, std::size_t size) override { return ::write(fd, data, size); }
        int fsync(int) override { return 0; }
        int rename(const char* from, const char* to) override {
            ::unlink(to);
            return FileWriter::rename(from, to);
        }
    } writer;
    SeamScope<FileWriter> scope(&writer);
    std::string before = TempWorkDir::readBytes(file.toUtf8());
    while (before.size() > kMax) {
        const std::vector<WString> lines = TextFileReader::SplitReads(before);
        const WString head = lines.empty() ? WString() : lines.front();
        IniFile ini;
        for (const char* key : {"Sicherung=", "Name=", "Verlauf=", ""})
            ini.DeleteKey(file, head, key);
        ini.DeleteSectionHead(file, head);
        std::string after = TempWorkDir::readBytes(file.toUtf8());
        if (after == before)
            break;
        before = std::move(after);
    }
    return before;
}

// A log of random entries of about `size` bytes, with the odd hand edit: a first line that is no
// head or is empty, no head at all, LF or lone CR line ends, lines over 254 characters, heads
// without keys or twice in the file, keys missing, repeated or foreign, no or several empty lines
// between entries, a last entry larger than the limit, no final line end.
std::string randomLog(std::mt19937& rng, std::size_t size) {
    const auto chance = [&rng](unsigned percent) { return rng() % 100 < percent; };
    const auto text = [&](std::size_t maxLength) {
        static const std::string chars = "abcXYZ 0=[]\xE4\r";
        std::string t(rng() % maxLength, ' ');
        for (char& c : t)
            c = chars[rng() % chars.size()];
        if (chance(5))
            t += std::string(250 + rng() % 300, 'L');
        return t;
    };
    std::string log;
    if (chance(15))
        log += chance(50) ? "\r\n" : text(30) + "\r\n";
    if (chance(5)) { // no entry at all
        while (log.size() < size)
            log += text(80) + "\r\n";
    }
    for (int i = 0; log.size() < size; ++i) {
        const int second = chance(5) ? 0 : i;
        log += WString::format("[05.12.2026 10:%02d:%02d]\r\n", second / 60 % 60, second % 60).bytes();
        for (const char* key : {"Sicherung=", "Name=", "Verlauf="}) {
            if (!chance(4))
                log += key + text(20) + "\r\n";
        }
        if (chance(4))
            log += (chance(50) ? "Name=" : "Notiz=") + text(20) + "\r\n";
        for (unsigned blank = chance(10) ? rng() % 3 : 1; blank > 0; --blank)
            log += "\r\n";
    }
    if (chance(5)) // a last entry over the limit on its own
        log += "[05.12.2026 11:00:00]\r\nName=" + std::string(kMax, 'N') + "\r\n";
    if (chance(20))
        std::erase(log, '\r');
    if (chance(20))
        log.resize(log.size() - 2);
    return log;
}

// Trimming in one rewrite leaves exactly what the step-by-step rule leaves, on random logs just
// above the limit and well above it.
TEST_F(BackupLogTest, TrimLeavesWhatTrimmingStepByStepLeaves) {
    std::mt19937 rng(4200);
    for (int round = 0; round < 48; ++round) {
        const std::size_t size = round % 3 ? kMax - 100 + rng() % 400 : 2 * kMax + rng() % (kMax * 3 / 2);
        const std::string bytes = randomLog(rng, size);
        SCOPED_TRACE(testing::PrintToString(bytes));
        putLog(bytes);
        TempWorkDir::writeBytes("reference.log", bytes);
        const std::string expected = trimStepByStep("reference.log");
        FailingCall disk;
        BackupLog::Trim();
        ASSERT_EQ(log(), expected) << "round " << round;
        EXPECT_LE(disk.renames, 1) << "one rewrite at most";
    }
}

// A log that cannot be rewritten (full disk) makes every round of trimming change nothing.
TEST_F(BackupLogTest, UnwritableLogEndsTrimming) {
    const std::string old = join(oldEntries(5000));
    putLog(old);
    {
        FullDisk disk;
        BackupLog::WriteEntry("Neu", "gestartet", "ok");
        BackupLog::Trim();
    }
    EXPECT_EQ(log(), old);
    EXPECT_EQ(dir.entries(), Names{"save.log"});
}

// The view's lines: at most 254 characters per read, CR LF or LF ends a line, a lone CR does not.
TEST_F(BackupLogTest, LinesForTheView) {
    const std::string full(254, 'a');
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"[h]\nName=x", {"[h]", "Name=x"}},
        {"a\rb\r\n", {"a\rb"}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {full + "\r\nb\r\n", {full, "b"}},
        {std::string(600, 'a') + "\r\n", {full, full, std::string(92, 'a')}},
        {"", {}},
    };
    for (const auto& [bytes, expected] : cases) {
        putLog(bytes);
        std::vector<std::string> lines;
        for (const WString& line : BackupLog::ReadLines())
            lines.push_back(line.bytes());
        EXPECT_EQ(lines, expected) << testing::PrintToString(bytes);
    }
}

} // namespace
