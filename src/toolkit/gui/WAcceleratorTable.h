#pragma once

#include "toolkit/gui/WResourceCatalog.h"

#include <memory>
#include <vector>

class WForm;
class WMenu;
class WAcceleratorFilter;

// Key table of a form: a key press that matches an entry (the first in table order wins) chooses
// the menu item with the entry's command id.
class WAcceleratorTable {
public:
    WAcceleratorTable(WForm& form, WMenu* menu, const WAcceleratorTemplate& table);
    ~WAcceleratorTable();
    // The command id for a key, or 0.
    int commandFor(char key, unsigned modifiers) const;

private:
    std::vector<WAcceleratorTemplate::Entry> entries_;
    std::unique_ptr<WAcceleratorFilter> filter_;
};
