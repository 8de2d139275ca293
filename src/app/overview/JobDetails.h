#pragma once

#include "toolkit/core/WString.h"

// What the overview shows of one job, built from "save.ini" without any widget.
struct JobDetails {
    // "Sicherungsname: " + name + "\n\n": rtb_anzeige's text before the details are appended.
    WString header;
    // Sources, destination, day, time and active flag, each value as stored.
    WString details;
    // The sources and the destination that cannot be found; empty when all are there.
    WString missing;

    static JobDetails Build(const WString& name);
    // The warning about the missing paths.
    WString MissingPathsMessage(const WString& name) const;
};

// Whether the path names a file or a folder that can be listed. Empty: never. A path ending in "/",
// "\" or "." exists when the folder it names lists at least one entry; otherwise a file exists
// as it is, and a folder when it can be listed (an ordinary folder always lists "."), so a folder
// that cannot be read, such as an unreachable mount point, counts as missing.
bool PathExists(const WString& path);
