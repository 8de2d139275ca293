#pragma once

#include "toolkit/core/WorkArea.h"

// The primary screen's available geometry.
class QtWorkArea : public WorkArea {
public:
    WRect workArea() const override;
};
