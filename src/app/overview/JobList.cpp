#include "app/overview/JobList.h"

#include "app/BusyState.h"
#include "app/ControllerData.h"
#include "app/WriteFailure.h"
#include "app/form1/Form1.h"
#include "toolkit/gui/WListBox.h"

JobList::JobList(Form1& form, ControllerData& data, const BusyState& busy) : form_(form), data_(data), busy_(busy) {}

void JobList::FillJobList(const JobCatalogue::StopRequested& stop) {
    JobCatalogue catalogue;
    form_.lb_anzeige->clear();
    data_.jobCount = catalogue.ReadJobCount();
    for (const WString& name : catalogue.ReadJobNames(stop)) {
        if (stop && stop())
            break; // a long list takes a while to sort in too
        form_.lb_anzeige->addItem(name);
    }
    form_.lb_anzeige->select(0);
}

WriteResult JobList::DeleteJob(const WString& name) {
    if (busy_.RefuseWhileBusy(&form_))
        return {false, {}, BusyState::RefusalReason()};
    const WriteResult result = JobCatalogue().DeleteJob(name, data_.jobCount);
    FillJobList();
    data_.logStatus = result.ok ? "ok" : "error";
    data_.WriteLogEntry(name);
    ReportWriteFailure(&form_, result);
    return result;
}

void JobList::LoadSchedule(const JobCatalogue::StopRequested& stop) {
    data_.scheduleList->Replace(JobCatalogue().LoadSchedule(data_.jobCount, stop));
}
