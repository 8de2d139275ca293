#include "app/overview/JobList.h"

#include "app/BusyState.h"
#include "app/ControllerData.h"
#include "app/WorkerSlots.h"
#include "app/WriteFailure.h"
#include "app/form1/Form1.h"
#include "app/overview/JobDetails.h"
#include "toolkit/gui/WCommandButton.h"
#include "toolkit/gui/WListBox.h"
#include "toolkit/gui/WMessageBox.h"
#include "toolkit/gui/WPictureBox.h"
#include "toolkit/gui/WRichTextBox.h"

JobList::JobList(Form1& form, ControllerData& data, const BusyState& busy, WorkerSlots& slots)
    : form_(form), data_(data), busy_(busy), slots_(slots) {
    form_.lb_anzeige->connect(WEventId::LeftButtonDownEvent, this, &JobList::onListDown);
    form_.lb_anzeige->connect(WEventId::LeftButtonUpEvent, this, &JobList::onListUp);
    form_.rtb_anzeige->connect(WEventId::LeftButtonDownEvent, this, &JobList::onDetailsDown);
    form_.rtb_anzeige->connect(WEventId::LeftButtonUpEvent, this, &JobList::onDetailsUp);
    form_.cb_loeschen->connect(WEventId::ClickEvent, this, &JobList::onDeleteCommand);
}

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

void JobList::ShowSelectedJob() {
    WListBox& list = *form_.lb_anzeige;
    const WString name = list.itemText(list.selectedIndex());
    if (!name.isEmpty())
        ShowJobDetails(name);
}

void JobList::ShowJobDetails(const WString& name) {
    const JobDetails details = JobDetails::Build(name);
    WRichTextBox& box = *form_.rtb_anzeige;
    box.setText("");
    box.setText(details.header);
    box.appendText(details.details, true);
    if (!details.missing.isEmpty())
        WMessageBox::show(&form_, details.MissingPathsMessage(name), "Morlanz 1.1 - Fehler",
                          MB::OK | MB::ICONEXCLAMATION | MB::TASKMODAL);
}

void JobList::DeleteSelectedJob() {
    WListBox& list = *form_.lb_anzeige;
    const WString name = list.itemText(list.selectedIndex());
    if (name.isEmpty())
        return; // no job selected: nothing to ask about
    const int answer =
        WMessageBox::show(&form_, "Möchten Sie die Sicherung \nmit dem Namen\n\n"_w + name + "\n\nwirklich löschen?"_w,
                          "Morlanz 1.1 - Sicherung löschen?"_w, MB::OKCANCEL | MB::ICONEXCLAMATION | MB::TASKMODAL);
    if (answer != ID::OK)
        return;
    if (busy_.RefuseWhileBusy(&form_))
        return;
    // Only a scheduler that runs is paused here, and only one paused here is resumed.
    const bool pausedHere = slots_[WorkerSlots::kScheduler].state() == ThreadSlot::Running;
    if (pausedHere)
        slots_.Pause(WorkerSlots::kScheduler);
    data_.logAction = "gelöscht"_w;
    const WriteResult result = DeleteJob(name);
    if (result.ok) {
        LoadSchedule();
        form_.rtb_anzeige->setText("");
    }
    // A deletion that was not written changed nothing: the list was refilled from the unchanged
    // files, and the selection goes back to the job the user chose.
    int index = 0;
    if (!result.ok) {
        for (int i = 0; i < list.count(); ++i) {
            if (list.itemText(i) == name) {
                index = i;
                break;
            }
        }
    }
    list.select(index);
    list.setFocus();
    if (result.ok)
        ShowSelectedJob();
    if (pausedHere)
        slots_.Resume(WorkerSlots::kScheduler);
}

void JobList::UpdateJobButtons() {
    const bool inactive = data_.jobCount < 1;
    data_.jobButtonsInactive = inactive;
    form_.pictb_bearbeiten->setBitmap(inactive ? 120 : 118);
    form_.pictb_loeschen->setBitmap(inactive ? 123 : 121);
    form_.pictb_starten->setBitmap(inactive ? 126 : 124);
}

bool JobList::onListDown(WEventData&) {
    form_.lb_anzeige->setCapture();
    return false;
}

bool JobList::onListUp(WEventData&) {
    form_.lb_anzeige->releaseCapture();
    ShowSelectedJob();
    return false;
}

bool JobList::onDetailsDown(WEventData&) {
    form_.rtb_anzeige->setCapture();
    return false;
}

bool JobList::onDetailsUp(WEventData&) {
    form_.rtb_anzeige->releaseCapture();
    return false;
}

bool JobList::onDeleteCommand(WEventData&) {
    DeleteSelectedJob();
    return true;
}
