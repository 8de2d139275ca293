#pragma once

#include "WorkArea.h"

// A desktop work area of a fixed size, installed for its lifetime.
class FixedWorkArea : public WorkArea {
public:
    FixedWorkArea(int width, int height) : area_{0, 0, width, height} {
        previous_ = WorkArea::current();
        WorkArea::install(this);
    }
    ~FixedWorkArea() override { WorkArea::install(previous_); }
    WRect workArea() const override { return area_; }

private:
    WRect area_;
    WorkArea* previous_ = nullptr;
};
