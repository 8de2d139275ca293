#pragma once

#include "toolkit/gui/WControl.h"

// A combo box (WStyle::DropDownList: a list without an edit field). The user's choice raises
// SelectEvent, opening the list raises DropDownEvent; the program's own selection raises nothing.
class WComboBox : public WControl {
public:
    WComboBox(WForm& parent, int id);

    // Adds at the end; returns the item's index.
    int addItem(const WString& text);
    // Empty for an index out of range.
    WString itemText(int index) const;
    // -1 when no item is selected.
    int selectedIndex() const;
    // An index out of range, -1 included, leaves no item selected. Returns whether one is.
    bool select(int index);
    // Selects the first item, from the top, whose text begins with prefix (letter case ignored); with
    // no such item none is selected. Returns the index or -1.
    int selectByPrefix(const WString& prefix);
};
