#pragma once

#include "toolkit/core/FileCopy.h"
#include "toolkit/core/WString.h"

#include <vector>

// What one run of a job copies, read from the files when the run starts: a job saved a second
// ago is run as saved.
struct BackupPlan {
    unsigned flags = CopyFlags::KeepCopies; // overwrite only for a "methode=" of exactly "1"
    WString destination;
    std::vector<WString> sources; // "von_0=" on, up to the first empty one
};

// Copies a job's sources into its destination, in order, stopping at the first failure.
// Announcing and logging the run are the caller's.
class BackupRun {
public:
    static BackupPlan ReadPlan(const WString& jobName);
    // True when every source was copied; failure describes the first copy that failed.
    static bool CopyAll(const BackupPlan& plan, CopyObserver* observer, CopyResult* failure = nullptr);
};
