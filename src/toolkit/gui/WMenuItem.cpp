#include "toolkit/gui/WMenuItem.h"

#include "toolkit/gui/WMenuBase.h"
#include "toolkit/gui/qt/QtText.h"

#include <QAction>

WMenuItem::WMenuItem(WMenuBase& owner, QAction* action, int id) : owner_(owner), action_(action), id_(id) {}

WString WMenuItem::text() const {
    return QtText::fromQStringLossy(action_->text());
}

void WMenuItem::setEnabled(bool enabled) {
    action_->setEnabled(enabled);
}

bool WMenuItem::isEnabled() const {
    return action_->isEnabled();
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
