#pragma once

#include "storage/ScheduleEntry.h"

#include <mutex>
#include <vector>

// The scheduler's in-memory table, one entry per job in catalogue order (numbers from 1).
// The user-interface thread rebuilds it while the scheduler reads it, so every access holds the
// list's lock; a scan takes a Snapshot and a rebuild replaces the whole table in one step.
class ScheduleList {
public:
    void Append(const ScheduleEntry& entry);
    int Count() const;
    // A copy of entry n; four empty texts when there is no entry n.
    ScheduleEntry EntryAt(int n) const;
    bool IsEmpty() const;
    void RemoveLast();
    void Clear();

    std::vector<ScheduleEntry> Snapshot() const;
    void Replace(std::vector<ScheduleEntry> entries);

private:
    mutable std::mutex mutex_;
    std::vector<ScheduleEntry> entries_;
};
