#pragma once

#include "toolkit/core/WString.h"

// The scheduler's view of one job: the texts of "wann=", "zeit=", "aktiv=" and the name.
struct ScheduleEntry {
    WString day;
    WString time;
    WString active;
    WString name;
};
