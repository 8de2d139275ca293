#include "toolkit/gui/WEvent.h"

#include <algorithm>

namespace {
thread_local int t_raising = 0;

class RaisingScope {
public:
    RaisingScope() { ++t_raising; }
    ~RaisingScope() { --t_raising; }
    RaisingScope(const RaisingScope&) = delete;
    RaisingScope& operator=(const RaisingScope&) = delete;
};
} // namespace

bool WEventTable::anyRaising() {
    return t_raising > 0;
}

void WEventTable::connect(WEventId id, const void* receiver, WEventHandler handler, std::intptr_t userValue) {
    connections_.push_back({id, receiver, std::move(handler), userValue, nextSerial_++});
}

void WEventTable::disconnect(WEventId id, const void* receiver) {
    std::erase_if(connections_, [&](const Connection& c) { return c.id == id && c.receiver == receiver; });
}

bool WEventTable::hasConnection(WEventId id) const {
    return std::any_of(connections_.begin(), connections_.end(), [id](const Connection& c) { return c.id == id; });
}

bool WEventTable::raise(WEventData& data) const {
    // Handlers may change the table while it is raised: work from the serials present at the start and
    // skip any connection that has been removed meanwhile.
    std::vector<std::uint64_t> serials;
    for (const Connection& c : connections_) {
        if (c.id == data.id)
            serials.push_back(c.serial);
    }
    const std::weak_ptr<const void> alive = lifetime_;
    for (const std::uint64_t serial : serials) {
        if (alive.expired())
            return false;
        const auto it = std::find_if(connections_.begin(), connections_.end(),
                                     [serial](const Connection& c) { return c.serial == serial; });
        if (it == connections_.end())
            continue;
        // A copy, so that the handler may disconnect itself (or destroy the table) while it runs.
        const WEventHandler handler = it->handler;
        data.userValue = it->userValue;
        const RaisingScope raising;
        if (handler(data))
            return true;
    }
    return false;
}
