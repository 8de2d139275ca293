#include "toolkit/gui/WMenuItem.h"

#include "toolkit/gui/WMenuBase.h"

#include <QAction>

WMenuItem::WMenuItem(WMenuBase& owner, int id, QAction* action) : owner_(owner), id_(id), action_(action) {}

void WMenuItem::setEnabled(bool enabled) {
    if (action_)
        action_->setEnabled(enabled);
}

bool WMenuItem::isEnabled() const {
    return !action_ || action_->isEnabled();
}

bool WMenuItem::choose() {
    if (!isEnabled())
        return false;
    WEventData data;
    data.id = WEventId::ClickEvent;
    data.source = owner_.ownerWindow();
    data.commandId = id_;
    return events_.raise(data);
}
