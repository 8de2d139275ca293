#pragma once

#include "toolkit/gui/WControl.h"

// A single-line text field (WStyle::ReadOnly: not editable). Every change of its text, typed or set,
// raises ChangeEvent. Characters that Windows-1252 lacks cannot be entered.
class WTextBox : public WControl {
public:
    WTextBox(WForm& parent, int id);

protected:
    // For the masked text box, which is the same field with an input mask.
    WTextBox(WForm& parent, int id, QWidget* lineEdit);

private:
    void setUp();
};
