#pragma once

#include "toolkit/gui/WMenuBase.h"

// A popup menu loaded from a resource name: the resource's single top entry's children become the
// items. Raises InitMenuEvent before it opens.
class WPopupMenu : public WMenuBase {
public:
    static std::unique_ptr<WPopupMenu> load(WWindow* owner, const char* resourceName);
    const char* className() const { return "WPopupMenu"; }
    // Opens at the mouse cursor and blocks until closed; returns the chosen item's id or 0.
    int track();

private:
    explicit WPopupMenu(WWindow* owner, const WString& text);
};
