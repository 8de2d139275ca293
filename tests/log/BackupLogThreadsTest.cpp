#include "log/BackupLog.h"
#include "support/LogFileParts.h"
#include "support/TempWorkDir.h"
#include "support/VirtualClock.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kThreads = 2;

// Two threads write `count` entries each, named "<letter><number>", moving the clock on a little
// after each so that entries often fall into one second. Returns, per thread, the numbers of its
// entries in file order; every entry must be whole, under its own head, with its thread's outcome.
std::vector<std::vector<int>> writeConcurrently(int count) {
    VirtualClock clock{2026, 12, 5, 10, 0, 0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&clock, t, count] {
            for (int i = 0; i < count; ++i) {
                BackupLog::WriteEntry(WString::format("%c%03d", 'A' + t, i), "neu", t == 0 ? "ok" : "error");
                clock.advanceMs(300);
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    const std::string bytes = TempWorkDir::readBytes("save.log");
    EXPECT_LE(bytes.size(), static_cast<std::size_t>(BackupLog::kMaxBytes));
    std::vector<std::vector<int>> numbers(kThreads);
    std::set<std::string> heads;
    for (const logparts::Section& s : logparts::sections(bytes)) {
        EXPECT_TRUE(heads.insert(s.head).second) << s.head;
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

// Below the size limit (60 small entries) nothing is trimmed, so every entry of both threads must
// be there; with trimming, what stays of each thread is its newest entries without a gap.
TEST(BackupLogThreadsTest, NoEntryIsLost) {
    for (const int count : {30, 60}) {
        TempWorkDir dir;
        for (const std::vector<int>& numbers : writeConcurrently(count)) {
            ASSERT_FALSE(numbers.empty());
            if (count == 30) {
                EXPECT_EQ(numbers.front(), 0);
            }
            EXPECT_EQ(numbers.back(), count - 1);
            for (std::size_t i = 1; i < numbers.size(); ++i)
                EXPECT_EQ(numbers[i], numbers[i - 1] + 1);
        }
    }
}

} // namespace
