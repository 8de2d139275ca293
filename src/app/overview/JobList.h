#pragma once

#include "storage/JobCatalogue.h"
#include "storage/WriteResult.h"
#include "toolkit/core/WString.h"

class BusyState;
class Form1;
struct ControllerData;

// The overview's job list: lb_anzeige filled from the catalogue, the deletion of a job, and the
// scheduler's table rebuilt from the catalogue.
class JobList {
public:
    JobList(Form1& form, ControllerData& data, const BusyState& busy);

    // Empties lb_anzeige, reads jobCount, adds the names (the list sorts them) and selects the first.
    // A stop request ends the reading and listing of the names early (start-up only).
    void FillJobList(const JobCatalogue::StopRequested& stop = {});
    // Removes the job from both catalogue files, refills the list and logs the deletion with
    // logAction; a failed write is logged as "error" and reported. Refused during a run by hand.
    WriteResult DeleteJob(const WString& name);
    // Rebuilds the scheduler's table from the catalogue, one entry per counted job; fewer when a
    // stop request ends the reading early.
    void LoadSchedule(const JobCatalogue::StopRequested& stop = {});

private:
    Form1& form_;
    ControllerData& data_;
    const BusyState& busy_;
};
