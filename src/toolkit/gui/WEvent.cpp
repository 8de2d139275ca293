#include "toolkit/gui/WEvent.h"

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

void WEventTable::connect(WEventId id, const void*, WEventHandler handler, std::intptr_t userValue) {
    connections_.push_back({id, std::move(handler), userValue});
}

bool WEventTable::raise(WEventData& data) const {
    // Connections are only ever appended: those made by a handler lie beyond the count taken here.
    const std::size_t present = connections_.size();
    const std::weak_ptr<const void> alive = lifetime_;
    for (std::size_t i = 0; i < present; ++i) {
        if (alive.expired())
            return false;
        const Connection& c = connections_[i];
        if (c.id != data.id)
            continue;
        // A copy: the handler may connect (moving the table's storage) or destroy the table while it runs.
        const WEventHandler handler = c.handler;
        data.userValue = c.userValue;
        const RaisingScope raising;
        if (handler(data))
            return true;
    }
    return false;
}
