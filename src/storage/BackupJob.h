#pragma once

#include "toolkit/core/WString.h"

#include <vector>

// One backup job as the catalogue stores it: the keys of its section in "save.ini".
struct BackupJob {
    WString name;
    std::vector<WString> sources; // "von_0=", "von_1=" ... in list order
    WString destination;          // "nach="
    WString day;                  // "wann=": "täglich" or a weekday word
    WString time;                 // "zeit=": "hh:mm"
    bool active = false;          // "aktiv=": "ja" or "nein"
};
