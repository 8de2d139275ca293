#pragma once

#include "WEvent.h"

#include <initializer_list>
#include <vector>

// Records the events raised on event tables, in order, with their data; answers each with a fixed
// result (false: the default processing goes on).
class EventLog {
public:
    void watch(WEventTable& table, std::initializer_list<WEventId> ids, bool answer = false,
               std::intptr_t userValue = 0);
    const std::vector<WEventData>& all() const { return events_; }
    std::vector<WEventId> ids() const;
    int count(WEventId id) const;
    // The last event with this id; fails the test when there is none.
    const WEventData& last(WEventId id) const;
    void clear() { events_.clear(); }

private:
    std::vector<WEventData> events_;
};
