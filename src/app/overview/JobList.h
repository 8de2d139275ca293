#pragma once

#include "storage/JobCatalogue.h"
#include "storage/WriteResult.h"
#include "toolkit/core/WString.h"

class BusyState;
class Form1;
class WorkerSlots;
struct ControllerData;
struct WEventData;

// The overview's job list: lb_anzeige filled from the catalogue, the selected job's details in
// rtb_anzeige, the deletion of a job, the job buttons' looks, and the scheduler's table rebuilt
// from the catalogue.
class JobList {
public:
    JobList(Form1& form, ControllerData& data, const BusyState& busy, WorkerSlots& slots);

    // Empties lb_anzeige, reads jobCount, adds the names (the list sorts them) and selects the first.
    // A stop request ends the reading and listing of the names early (start-up only).
    void FillJobList(const JobCatalogue::StopRequested& stop = {});
    // Removes the job from both catalogue files, refills the list and logs the deletion with
    // logAction; a failed write is logged as "error" and reported. Refused during a run by hand.
    WriteResult DeleteJob(const WString& name);
    // Rebuilds the scheduler's table from the catalogue, one entry per counted job; fewer when a
    // stop request ends the reading early.
    void LoadSchedule(const JobCatalogue::StopRequested& stop = {});

    // The details of the selected entry; nothing (the box keeps its text) when none is selected.
    void ShowSelectedJob();
    // Shows the job's details and warns once about its missing sources or destination.
    void ShowJobDetails(const WString& name);
    // Asks, then deletes the selected job with the scheduler paused, and shows the first job.
    void DeleteSelectedJob();
    // The edit, delete and start buttons: inactive (and greyed) without jobs.
    void UpdateJobButtons();

private:
    bool onListDown(WEventData& event);
    bool onListUp(WEventData& event);
    bool onDetailsDown(WEventData& event);
    bool onDetailsUp(WEventData& event);
    bool onDeleteCommand(WEventData& event);

    Form1& form_;
    ControllerData& data_;
    const BusyState& busy_;
    WorkerSlots& slots_;
};
