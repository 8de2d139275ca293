#include "storage/ScheduleList.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

// The user-interface thread rebuilds the table while the scheduler scans it. Every generation is
// a table of its own length whose entries all carry its number, so a scan that saw a half-made
// table would find mixed numbers or a wrong length. Meaningful under ThreadSanitizer too.
TEST(ScheduleListTest, RebuildWhileScanning) {
    auto generation = [](int g) {
        const std::string tag = std::to_string(g);
        const ScheduleEntry e{WString::fromBytes("Tag " + tag), WString::fromBytes("Zeit " + tag), "ja",
                              WString::fromBytes("Name " + tag)};
        return std::vector<ScheduleEntry>(static_cast<std::size_t>(g % 7 + 1), e);
    };
    ScheduleList list;
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::atomic<long> scans{0};
    std::thread scheduler([&] {
        while (!done.load()) {
            const std::vector<ScheduleEntry> snapshot = list.Snapshot();
            if (!snapshot.empty()) {
                const int gen = std::stoi(snapshot.front().name.bytes().substr(5));
                if (snapshot.size() != generation(gen).size())
                    ++torn;
                for (const ScheduleEntry& e : snapshot) {
                    if (e.name != snapshot.front().name || e.day.bytes() != "Tag " + std::to_string(gen))
                        ++torn;
                }
            }
            // Outside the table (also at number 0 of an empty one) an entry is empty, never stale.
            const ScheduleEntry one = list.EntryAt(list.Count());
            if (one.name.isEmpty() ? !one.time.isEmpty() : one.time.bytes().substr(5) != one.name.bytes().substr(5))
                ++torn;
            ++scans;
        }
    });
    int g = 0;
    for (; g < 20000 || scans.load() < 2000; ++g) {
        if (g % 5 == 0)
            list.Clear(); // a scan may see the empty table, never a part of one
        list.Replace(generation(g));
    }
    done = true;
    scheduler.join();
    EXPECT_EQ(torn.load(), 0);
    EXPECT_GT(scans.load(), 0);
    EXPECT_EQ(list.Snapshot().size(), generation(g - 1).size()) << "the last rebuild stays";
}
