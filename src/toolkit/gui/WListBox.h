#pragma once

#include "toolkit/gui/WControl.h"

#include <vector>

// A list of texts. WStyle::Sorted keeps added items in alphabetical order (letter case ignored);
// WStyle::ExtendedSel lets the user mark several items (Shift, Ctrl). A selection change by the user
// or by select() raises SelectEvent; the other operations raise nothing.
class WListBox : public WControl {
public:
    WListBox(WForm& parent, int id);

    int count() const;
    // Adds at the end, or in sorted position for a sorted list; returns the item's index.
    int addItem(const WString& text);
    // Inserts at index (also in a sorted list); -1 or an index beyond the end appends. Returns the index.
    int insertItem(int index, const WString& text);
    // Empty for an index out of range.
    WString itemText(int index) const;
    // False for an index out of range.
    bool removeItem(int index);
    void clear();

    // The selected item, -1 when none (a multi-selection list: the first marked item).
    int selectedIndex() const;
    // Selects one item (any other mark goes) and raises SelectEvent; an index out of range, -1 included,
    // clears the selection. Returns whether an item is selected.
    bool select(int index);
    // The marked items in ascending order.
    std::vector<int> selectedIndices() const;
    // Marks or unmarks one item, leaving the others' marks (a multi-selection list); raises SelectEvent.
    bool setSelected(int index, bool selected);

private:
    bool quiet_ = false; // the program's own changes raise no SelectEvent
};
