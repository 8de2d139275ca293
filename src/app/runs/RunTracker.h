#pragma once

#include "backup/BackupRun.h"

#include <mutex>
#include <set>

class WProgressWindow;

// Every copy in progress, by hand or scheduled, so that shutdown can cancel them all. Shared with
// the scheduler thread, which may still be copying after the window is gone.
class RunTracker {
public:
    // Copies the plan with a progress window ("Abbrechen" counts as a failure). Started after
    // CancelAll, it is cancelled at once. True when every source was copied.
    bool Copy(const BackupPlan& plan);
    // Cancels every copy in progress and every later one: the program ends, and a copy cut off
    // between two chunks leaves the previous copy intact.
    void CancelAll();

private:
    std::mutex mutex_;
    std::set<WProgressWindow*> runs_;
    bool shuttingDown_ = false;
};
