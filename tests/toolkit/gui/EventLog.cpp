#include "EventLog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

void EventLog::watch(WEventTable& table, std::initializer_list<WEventId> ids, bool answer, std::intptr_t userValue) {
    for (const WEventId id : ids) {
        table.connect(
            id, this,
            [this, answer](WEventData& data) {
                events_.push_back(data);
                return answer;
            },
            userValue);
    }
}

std::vector<WEventId> EventLog::ids() const {
    std::vector<WEventId> result;
    for (const WEventData& data : events_)
        result.push_back(data.id);
    return result;
}

int EventLog::count(WEventId id) const {
    return static_cast<int>(
        std::count_if(events_.begin(), events_.end(), [id](const WEventData& d) { return d.id == id; }));
}

const WEventData& EventLog::last(WEventId id) const {
    const auto it = std::find_if(events_.rbegin(), events_.rend(), [id](const WEventData& d) { return d.id == id; });
    if (it == events_.rend()) {
        ADD_FAILURE() << "event " << static_cast<int>(id) << " was not raised";
        throw std::runtime_error("missing event");
    }
    return *it;
}
