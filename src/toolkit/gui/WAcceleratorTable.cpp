#include "toolkit/gui/WAcceleratorTable.h"

#include "toolkit/gui/WForm.h"
#include "toolkit/gui/qt/WAcceleratorFilter.h"

#include <cctype>

WAcceleratorTable::WAcceleratorTable(WForm& form, WMenu* menu, const WAcceleratorTemplate& table)
    : entries_(table.entries), filter_(std::make_unique<WAcceleratorFilter>(*this, form.widget(), menu)) {}

WAcceleratorTable::~WAcceleratorTable() = default;

int WAcceleratorTable::commandFor(char key, unsigned modifiers) const {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
    for (const auto& entry : entries_) {
        if (entry.key == upper && entry.modifiers == modifiers)
            return entry.command;
    }
    return 0;
}
