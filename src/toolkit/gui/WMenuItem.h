#pragma once

#include "toolkit/gui/WEvent.h"

class QAction;
class WMenuBase;

// One menu item. Choosing it raises ClickEvent (commandId = the item's id) on its own table.
class WMenuItem {
public:
    WMenuItem(WMenuBase& owner, int id, QAction* action = nullptr);
    int id() const { return id_; }
    // A disabled item is greyed and cannot be chosen.
    void setEnabled(bool enabled);
    bool isEnabled() const;
    // Chooses the item as the platform would; returns whether a handler handled it.
    bool choose();
    template <class R> void connect(WEventId id, R* receiver, bool (R::*handler)(WEventData&), std::intptr_t user = 0) {
        events_.connect(
            id, receiver, [receiver, handler](WEventData& d) { return (receiver->*handler)(d); }, user);
    }

private:
    WMenuBase& owner_;
    int id_;
    QAction* action_; // owned by the menu, which outlives this item
    WEventTable events_;
};
