#include "storage/ScheduleList.h"

void ScheduleList::Append(const ScheduleEntry& entry) {
    std::lock_guard lock(mutex_);
    entries_.push_back(entry);
}

int ScheduleList::Count() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(entries_.size());
}

ScheduleEntry ScheduleList::EntryAt(int n) const {
    std::lock_guard lock(mutex_);
    if (n < 1 || n > static_cast<int>(entries_.size()))
        return {};
    return entries_[static_cast<std::size_t>(n - 1)];
}

bool ScheduleList::IsEmpty() const {
    std::lock_guard lock(mutex_);
    return entries_.empty();
}

void ScheduleList::RemoveLast() {
    std::lock_guard lock(mutex_);
    if (!entries_.empty())
        entries_.pop_back();
}

void ScheduleList::Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
}

std::vector<ScheduleEntry> ScheduleList::Snapshot() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

void ScheduleList::Replace(std::vector<ScheduleEntry> entries) {
    std::lock_guard lock(mutex_);
    entries_.swap(entries);
}
