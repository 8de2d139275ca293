#pragma once

#include "toolkit/gui/WMenuBase.h"

class QMenu;
class QPoint;

// A popup menu loaded from a resource name: the resource's single top entry's children become the
// items.
class WPopupMenu : public WMenuBase {
public:
    static std::unique_ptr<WPopupMenu> load(WWindow* owner, const char* resourceName);
    // Opens at the mouse cursor and blocks until closed; returns the chosen item's id or 0.
    int track();
    // The same at a point of the screen.
    int trackAt(const QPoint& globalPosition);

private:
    WPopupMenu(WWindow* owner, QMenu* menu);
    QMenu* menu_; // owned through WMenuBase::own
};
