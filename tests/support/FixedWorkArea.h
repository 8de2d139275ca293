#pragma once

#include "support/SeamScope.h"
#include "toolkit/core/WorkArea.h"

// A desktop work area of a fixed size, installed for its lifetime.
class FixedWorkArea : public WorkArea {
public:
    FixedWorkArea(int width, int height) : area_{0, 0, width, height} {}
    WRect workArea() const override { return area_; }

private:
    WRect area_;
    SeamScope<WorkArea> scope_{this};
};
