#include "app/runs/RunTracker.h"

#include "toolkit/gui/WProgressWindow.h"

namespace {

const WProgressTexts kProgressTexts{"Morlanz führt die automatische Datensicherung durch!"_w, "Abbrechen"_w,
                                    "%1 von %2 Dateien"_w};

} // namespace

bool RunTracker::Copy(const BackupPlan& plan) {
    WProgressWindow progress(kProgressTexts);
    {
        std::lock_guard lock(mutex_);
        if (shuttingDown_)
            progress.cancel();
        runs_.insert(&progress);
    }
    const bool ok = BackupRun::CopyAll(plan, &progress);
    std::lock_guard lock(mutex_);
    runs_.erase(&progress);
    return ok;
}

void RunTracker::CancelAll() {
    std::lock_guard lock(mutex_);
    shuttingDown_ = true;
    for (WProgressWindow* run : runs_)
        run->cancel();
}
