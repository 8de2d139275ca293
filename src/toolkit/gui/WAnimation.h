#pragma once

#include "toolkit/gui/WControl.h"

// An animation control. The program gives it no clip, so it only takes its place on the form.
class WAnimation : public WControl {
public:
    WAnimation(WForm& parent, int id);
};
