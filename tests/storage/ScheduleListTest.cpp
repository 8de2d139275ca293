#include "ScheduleList.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <string>
#include <thread>

namespace {

ScheduleEntry entry(const std::string& tag) {
    return {WString::fromBytes("Tag " + tag), WString::fromBytes("Zeit " + tag), WString::fromBytes("ja " + tag),
            WString::fromBytes("Name " + tag)};
}

bool isEmpty(const ScheduleEntry& e) {
    return e.day.isEmpty() && e.time.isEmpty() && e.active.isEmpty() && e.name.isEmpty();
}

} // namespace

TEST(ScheduleListTest, NumbersFromOneAndEmptyEntryOutside) {
    ScheduleList list;
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_TRUE(isEmpty(list.EntryAt(1)));
    list.RemoveLast(); // harmless on an empty list
    list.Append(entry("1"));
    list.Append(entry("2"));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.EntryAt(1).name, "Name 1");
    EXPECT_EQ(list.EntryAt(2).day, "Tag 2");
    for (int outside : {INT_MIN, -1, 0, 3, INT_MAX})
        EXPECT_TRUE(isEmpty(list.EntryAt(outside))) << outside;

    list.RemoveLast();
    EXPECT_EQ(list.Count(), 1);
    EXPECT_TRUE(isEmpty(list.EntryAt(2)));
    list.Clear();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.Count(), 0);
}

// The user-interface thread rebuilds the table while the scheduler scans it. Every generation is
// a table of its own length whose entries all carry its number, so a scan that saw a half-made
// table would find mixed numbers or a wrong length. Meaningful under ThreadSanitizer too.
TEST(ScheduleListTest, RebuildWhileScanning) {
    ScheduleList list;
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::atomic<long> scans{0};
    auto generation = [](int g) {
        std::vector<ScheduleEntry> entries(static_cast<std::size_t>(g % 7 + 1), entry(std::to_string(g)));
        return entries;
    };
    std::thread scheduler([&] {
        while (!done.load()) {
            const std::vector<ScheduleEntry> snapshot = list.Snapshot();
            if (!snapshot.empty()) {
                const int g = std::stoi(snapshot.front().name.bytes().substr(5));
                for (const ScheduleEntry& e : snapshot) {
                    if (e.name != snapshot.front().name || e.day.bytes() != "Tag " + std::to_string(g))
                        ++torn;
                }
                if (snapshot.size() != generation(g).size())
                    ++torn;
            }
            const ScheduleEntry one = list.EntryAt(list.Count());
            if (!isEmpty(one) && one.time.bytes().substr(5) != one.name.bytes().substr(5))
                ++torn;
            ++scans;
        }
    });
    for (int g = 0; g < 20000 || scans.load() < 2000; ++g) {
        if (g % 5 == 0)
            list.Clear(); // a scan may see the empty table, never a part of one
        list.Replace(generation(g));
    }
    done = true;
    scheduler.join();
    EXPECT_EQ(torn.load(), 0);
    EXPECT_GT(scans.load(), 0);
}
