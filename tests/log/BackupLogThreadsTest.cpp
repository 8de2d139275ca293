#include "BackupLog.h"
#include "LogFileParts.h"
#include "TempWorkDir.h"
#include "VirtualClock.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

class BackupLogThreadsTest : public InTempDir {
protected:
    static constexpr int kThreads = 2;
    VirtualClock clock{2026, 12, 5, 10, 0, 0};

    // Each thread writes `count` entries named "<letter><number>" and moves the clock on a little
    // after each, so entries often fall into one second.
    void writeConcurrently(int count) {
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([this, t, count] {
                for (int i = 0; i < count; ++i) {
                    BackupLog::WriteEntry(WString::format("%c%03d", 'A' + t, i), "neu", t == 0 ? "ok" : "error");
                    clock.advanceMs(300);
                }
            });
        }
        for (std::thread& thread : threads)
            thread.join();
    }

    // Per thread, the numbers of its entries in file order; each entry must be whole and carry its
    // own thread's outcome.
    static std::vector<std::vector<int>> numbersPerThread(const std::vector<logparts::Section>& sections) {
        std::vector<std::vector<int>> numbers(kThreads);
        for (const logparts::Section& s : sections) {
            EXPECT_EQ(s.lines.size(), 3u) << s.head;
            if (s.lines.size() != 3)
                continue;
            const std::string name = s.lines[1].substr(5);
            const int t = name[0] - 'A';
            EXPECT_EQ(s.lines[0], "Sicherung=neu");
            EXPECT_EQ(s.lines[2], t == 0 ? "Verlauf=ok" : "Verlauf=error") << name;
            numbers[static_cast<std::size_t>(t)].push_back(std::stoi(name.substr(1)));
        }
        return numbers;
    }
};

// Below the size limit nothing is trimmed, so every entry of both threads must be there, each
// under its own head.
TEST_F(BackupLogThreadsTest, NoEntryIsLost) {
    constexpr int kCount = 30; // 60 small entries stay under 4200 bytes
    writeConcurrently(kCount);
    const auto sections = logparts::sections(TempWorkDir::readBytes("save.log"));
    ASSERT_LE(TempWorkDir::readBytes("save.log").size(), static_cast<std::size_t>(BackupLog::kMaxBytes));
    std::set<std::string> heads;
    for (const logparts::Section& s : sections)
        heads.insert(s.head);
    EXPECT_EQ(heads.size(), sections.size());
    std::vector<int> all(kCount);
    for (int i = 0; i < kCount; ++i)
        all[static_cast<std::size_t>(i)] = i;
    for (const std::vector<int>& numbers : numbersPerThread(sections))
        EXPECT_EQ(numbers, all);
}

// With trimming, what stays of each thread is its newest entries without a gap, and the log is
// within its limit.
TEST_F(BackupLogThreadsTest, TrimmingKeepsTheNewestEntriesWhole) {
    constexpr int kCount = 60;
    writeConcurrently(kCount);
    const std::string bytes = TempWorkDir::readBytes("save.log");
    EXPECT_LE(bytes.size(), static_cast<std::size_t>(BackupLog::kMaxBytes));
    for (const std::vector<int>& numbers : numbersPerThread(logparts::sections(bytes))) {
        ASSERT_FALSE(numbers.empty());
        EXPECT_EQ(numbers.back(), kCount - 1);
        for (std::size_t i = 1; i < numbers.size(); ++i)
            EXPECT_EQ(numbers[i], numbers[i - 1] + 1);
    }
}

} // namespace
