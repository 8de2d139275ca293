#pragma once

#include "toolkit/gui/WControl.h"

// A check box that toggles on click and raises ClickEvent; setting the mark raises nothing.
class WCheckBox : public WControl {
public:
    WCheckBox(WForm& parent, int id);
    bool isChecked() const;
    void setChecked(bool checked);
};
