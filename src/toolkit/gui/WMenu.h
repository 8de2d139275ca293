#pragma once

#include "toolkit/gui/WMenuBase.h"

class WForm;

// The menu bar of a form, loaded from a resource name.
class WMenu : public WMenuBase {
public:
    static std::unique_ptr<WMenu> load(WForm& form, const char* resourceName);

private:
    explicit WMenu(WForm& form);
};
