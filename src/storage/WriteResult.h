#pragma once

#include "toolkit/core/WString.h"

// What a write of the program's data files came to.
struct WriteResult {
    bool ok = true;
    WString file;          // the data file that was not written (e.g. "save.ini"); empty when ok
    WString reason;        // German: why a text was refused; or the system's message of the failed write
    bool nameFound = true; // RenameJob/DeleteJob: whether the name was in the name list
    explicit operator bool() const { return ok; }
};
