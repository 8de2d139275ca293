#include "toolkit/gui/WMenuItem.h"

#include "toolkit/gui/WMenuBase.h"

WMenuItem::WMenuItem(WMenuBase& owner, int id) : owner_(owner), id_(id) {}

bool WMenuItem::choose() {
    WEventData data;
    data.id = WEventId::ClickEvent;
    data.source = owner_.ownerWindow();
    data.commandId = id_;
    return events_.raise(data);
}
