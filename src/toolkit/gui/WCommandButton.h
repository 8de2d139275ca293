#pragma once

#include "toolkit/gui/WControl.h"

// A push button; a click raises ClickEvent.
class WCommandButton : public WControl {
public:
    WCommandButton(WForm& parent, int id);
    // Clicks the button as the user would (nothing happens while it is disabled).
    void click();
};
