#pragma once

#include "toolkit/gui/WControl.h"

// A static text; WStyle::Centered centres it.
class WLabel : public WControl {
public:
    WLabel(WForm& parent, int id);
};
