#pragma once

#include "toolkit/core/WString.h"
#include "toolkit/gui/WEvent.h"

class QAction;
class WMenuBase;

// One menu item. Choosing it raises ClickEvent (commandId = the item's id) on its own table.
class WMenuItem {
public:
    WMenuItem(WMenuBase& owner, QAction* action, int id);
    const char* className() const { return "WMenuItem"; }
    int id() const { return id_; }
    WString text() const;
    void setEnabled(bool enabled);
    bool isEnabled() const;
    // Chooses the item as the platform would (only when enabled); returns whether a handler handled it.
    bool choose();
    WEventTable& events() { return events_; }
    template <class R> void connect(WEventId id, R* receiver, bool (R::*handler)(WEventData&), std::intptr_t user = 0) {
        events_.connect(
            id, receiver, [receiver, handler](WEventData& d) { return (receiver->*handler)(d); }, user);
    }
    QAction* action() const { return action_; }

private:
    WMenuBase& owner_;
    QAction* action_;
    int id_;
    WEventTable events_;
};
