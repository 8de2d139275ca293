#pragma once

#include "toolkit/core/WString.h"

#include <functional>
#include <memory>

class BusyState;
struct BackupPlan;
class Form1;
class RunTracker;
struct WEventData;

// Runs of a job: by hand from the job list, and for the scheduler. Each reads its job and the
// copy method when it starts, copies every source in order, and writes one log entry; a run by
// hand also announces its success.
class BackupRunner {
public:
    BackupRunner(Form1& form, BusyState& busy);

    // On the user-interface thread the copies run on a helper thread while the window keeps
    // handling its messages (the busy state says what may happen meanwhile); the call returns once
    // the copies, the message and the log entry are done. On any other thread it copies directly.
    void RunBackup(const WString& name, bool announce);
    // The start command: the selected job, announced. Refused while a run by hand is under way.
    void StartSelectedBackup();
    // What the scheduler thread calls for a due job. It holds only shared state, never the window.
    std::function<void(const WString&)> ScheduledRun() const;
    // Shutdown: cancels every copy in progress and every later one.
    void CancelRuns();

private:
    bool CopyKeepingTheWindowAlive(const BackupPlan& plan);
    bool onStartCommand(WEventData& event);

    Form1& form_;
    BusyState& busy_;
    std::shared_ptr<RunTracker> tracker_;
};
