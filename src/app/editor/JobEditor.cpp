#include "app/editor/JobEditor.h"

#include "app/BusyState.h"
#include "app/ControllerData.h"
#include "app/WorkerSlots.h"
#include "app/WriteFailure.h"
#include "app/editor/FolderBrowser.h"
#include "app/editor/FolderRoots.h"
#include "app/editor/JobEditorChecks.h"
#include "app/form1/Form1.h"
#include "app/form1/Views.h"
#include "storage/JobCatalogue.h"
#include "toolkit/gui/WCheckBox.h"
#include "toolkit/gui/WComboBox.h"
#include "toolkit/gui/WCommandButton.h"
#include "toolkit/gui/WListBox.h"
#include "toolkit/gui/WMaskedTextBox.h"
#include "toolkit/gui/WMessageBox.h"
#include "toolkit/gui/WTextBox.h"

namespace {

// The hidden command buttons' commands, by the user value of their connection.
enum Command : std::intptr_t { New, Edit, Save, Discard, AddSourceCmd, RemoveSources, RemoveAll, Destination };

// Resumes the scheduler however the save ends.
class SchedulerPause {
public:
    explicit SchedulerPause(WorkerSlots& slots) : slots_(slots) { slots_.Pause(WorkerSlots::kScheduler); }
    ~SchedulerPause() { slots_.Resume(WorkerSlots::kScheduler); }
    SchedulerPause(const SchedulerPause&) = delete;
    SchedulerPause& operator=(const SchedulerPause&) = delete;

private:
    WorkerSlots& slots_;
};

} // namespace

JobEditor::JobEditor(Form1& form, ControllerData& data, const BusyState& busy, Views& views, WorkerSlots& slots,
                     FolderBrowser& folders, std::function<void()> refreshJobs)
    : form_(form), data_(data), busy_(busy), views_(views), slots_(slots), folders_(folders),
      refreshJobs_(std::move(refreshJobs)) {
    connectEvents();
}

void JobEditor::connectEvents() {
    Form1& f = form_;
    for (WWindow* field : {static_cast<WWindow*>(f.textb_name_der_sicherung.get()),
                           static_cast<WWindow*>(f.textb_nach.get()), static_cast<WWindow*>(f.mtextb_uhr.get())})
        field->connect(WEventId::ChangeEvent, this, &JobEditor::onFieldChanged);
    // Choosing a day changes nothing that counts; opening the list re-evaluates all the same.
    f.combo_tag->connect(WEventId::DropDownEvent, this, &JobEditor::onFieldChanged);
    f.checkbox_aktiv->connect(WEventId::ClickEvent, this, &JobEditor::onFieldChanged);
    for (WWindow* field :
         {static_cast<WWindow*>(f.lb_von.get()), static_cast<WWindow*>(f.textb_name_der_sicherung.get()),
          static_cast<WWindow*>(f.textb_nach.get()), static_cast<WWindow*>(f.mtextb_uhr.get())}) {
        field->connect(WEventId::LeftButtonDownEvent, this, &JobEditor::onMouseDown);
        field->connect(WEventId::LeftButtonUpEvent, this, &JobEditor::onMouseUp);
    }
    const std::pair<WCommandButton*, Command> buttons[] = {
        {f.cb_anlegen.get(), New},
        {f.cb_bearbeiten.get(), Edit},
        {f.cb_speichern.get(), Save},
        {f.cb_verwerfen.get(), Discard},
        {f.cb_lade_pfad_von.get(), AddSourceCmd},
        {f.cb_loesche_pfad_von.get(), RemoveSources},
        {f.cb_loesche_alles_von.get(), RemoveAll},
        {f.cb_lade_pfad_nach.get(), Destination},
    };
    for (const auto& [button, command] : buttons)
        button->connect(WEventId::ClickEvent, this, &JobEditor::onCommand, command);
}

void JobEditor::NewJob() {
    if (busy_.RefuseWhileBusy(&form_))
        return;
    data_.editingNewJob = true;
    data_.logAction = "neu";
    // Emptied before the tree thread starts, so that the clearing cannot remove what it adds.
    ClearEditor();
    form_.checkbox_aktiv->setChecked(false);
    folders_.StartTreeThread();
    views_.HideOverview();
    views_.ShowEditor();
    form_.cb_speichern->setEnabled(false);
}

void JobEditor::EditSelectedJob() {
    if (busy_.RefuseWhileBusy(&form_))
        return;
    const WString name = form_.lb_anzeige->itemText(form_.lb_anzeige->selectedIndex());
    if (name.isEmpty())
        return;
    data_.editingNewJob = false;
    data_.logAction = "bearbeitet";
    folders_.StartTreeThread();
    views_.HideOverview();
    views_.ShowEditor();
    LoadJobIntoEditor(name);
    // Loading is no change: the job is saved again only after the user changed something.
    views_.EnableSaveButton(false);
    form_.cb_speichern->setEnabled(false);
}

void JobEditor::ClearEditor() {
    folders_.ClearTree();
    form_.textb_name_der_sicherung->setText({});
    form_.lb_von->clear();
    form_.textb_nach->setText({});
    form_.combo_tag->select(0);
    form_.mtextb_uhr->setText({});
}

bool JobEditor::IsJobComplete() const {
    JobEditorChecks::Fields fields;
    fields.sourceCount = form_.lb_von->count();
    fields.name = form_.textb_name_der_sicherung->text();
    fields.destination = form_.textb_nach->text();
    fields.active = form_.checkbox_aktiv->isChecked();
    fields.timeDigits = form_.mtextb_uhr->enteredText();
    return JobEditorChecks::IsJobComplete(fields);
}

void JobEditor::UpdateSaveState() {
    const bool complete = IsJobComplete();
    form_.cb_speichern->setEnabled(complete);
    views_.EnableSaveButton(complete);
}

bool JobEditor::IsPathUnlisted(const WListBox& list, const WString& path) {
    // Exact: on Linux two names that differ in letter case are two files.
    for (int i = 0; i < list.count(); ++i) {
        if (list.itemText(i) == path)
            return false;
    }
    return true;
}

void JobEditor::ShowError(const WString& text) {
    WMessageBox::show(&form_, text, "Morlanz 1.1 - Fehler", MB::OK | MB::ICONEXCLAMATION | MB::TASKMODAL);
}

WString JobEditor::TakeTreePath(bool forDestination) {
    bool holdable = true;
    const WString path = folders_.SelectedPath(holdable);
    if (path.isEmpty())
        return {};
    WString reason;
    if (!holdable)
        reason = JobEditorChecks::UnholdableText();
    else if (forDestination)
        reason = JobEditorChecks::DestinationRefusal(path);
    else
        reason = JobEditorChecks::SourceRefusal(path, form_.lb_von->count());
    if (reason.isEmpty() && forDestination && !FolderRoots::IsFolder(path))
        reason = "Das Ziel muss ein Ordner sein."_w;
    if (reason.isEmpty())
        return path;
    const WString what = forDestination ? "Dieses Ziel"_w : "Diese Quelle"_w;
    ShowError(what + " kann nicht übernommen werden:\n"_w + path + "\n\n" + reason);
    return {};
}

void JobEditor::AddSource() {
    const WString path = TakeTreePath(false);
    if (!path.isEmpty() && IsPathUnlisted(*form_.lb_von, path)) {
        form_.lb_von->addItem(path);
        form_.lb_von->setFocus();
    }
    UpdateSaveState();
}

void JobEditor::RemoveSelectedSources() {
    for (;;) {
        const std::vector<int> marked = form_.lb_von->selectedIndices();
        if (marked.empty())
            break;
        form_.lb_von->removeItem(marked.front());
    }
    UpdateSaveState();
    form_.lb_von->setFocus();
}

void JobEditor::RemoveAllSources() {
    form_.lb_von->clear();
    form_.lb_von->setFocus();
    // Like the other source commands: an empty list cannot be saved.
    UpdateSaveState();
}

void JobEditor::SetDestination() {
    const WString path = TakeTreePath(true);
    if (!path.isEmpty())
        form_.textb_nach->setText(path);
}

WString JobEditor::SaveRefusal(const WString& name, const WString& destination) const {
    const int number = data_.editingNewJob ? data_.jobCount + 1 : std::max(1, data_.jobCount);
    if (WString reason = JobEditorChecks::NameRefusal(name, number); !reason.isEmpty())
        return reason;
    const bool renamed = !data_.editingNewJob && name != data_.editedJobName;
    if ((data_.editingNewJob || renamed) && JobCatalogue().IsNameTaken(name))
        return "Es gibt schon eine Sicherung mit dem Namen \""_w + name +
               "\".\nBitte wählen Sie einen anderen Namen."_w;
    if (WString reason = JobEditorChecks::DestinationRefusal(destination); !reason.isEmpty())
        return reason;
    for (int i = 0; i < form_.lb_von->count(); ++i) {
        if (WString reason = JobEditorChecks::SourceRefusal(form_.lb_von->itemText(i), i); !reason.isEmpty())
            return reason;
    }
    return {};
}

void JobEditor::SaveEditedJob() {
    if (busy_.RefuseWhileBusy(&form_) || !IsJobComplete())
        return;
    const WString name = form_.textb_name_der_sicherung->text();
    const WString destination = form_.textb_nach->text();
    for (int i = 0; i < form_.lb_von->count(); ++i) {
        // The same folder under another spelling counts too (a link, a volume that ignores case).
        if (JobEditorChecks::IsSameFolder(form_.lb_von->itemText(i), destination)) {
            ShowError("Quelle und Ziel darf nicht gleich sein !");
            return;
        }
    }
    if (const WString reason = SaveRefusal(name, destination); !reason.isEmpty()) {
        ShowError("Die Sicherung kann so nicht gespeichert werden.\n\n"_w + reason);
        return;
    }
    const SchedulerPause pause(slots_);
    if (!SaveJob(name))
        return; // reported; the editor stays open with every field as it was
    refreshJobs_();
    ClearEditor();
    views_.HideEditor();
    form_.lb_anzeige->setFocus();
    views_.ShowOverview();
}

void JobEditor::DiscardJob() {
    views_.HideEditor();
    ClearEditor();
    form_.lb_anzeige->setFocus();
    views_.ShowOverview();
}

void JobEditor::LoadJobIntoEditor(const WString& name) {
    const BackupJob job = JobCatalogue().LoadJob(name);
    data_.editedJobName = name;
    form_.textb_name_der_sicherung->setText(name);
    // Inserting at the stored positions keeps the file's order in the sorted list.
    for (std::size_t i = 0; i < job.sources.size(); ++i)
        form_.lb_von->insertItem(static_cast<int>(i), job.sources[i]);
    form_.textb_nach->setText(job.destination);
    form_.combo_tag->selectByPrefix(job.day);
    form_.mtextb_uhr->setText(job.time);
    form_.checkbox_aktiv->setChecked(job.active);
}

WriteResult JobEditor::SaveJob(const WString& name) {
    if (busy_.RefuseWhileBusy(&form_))
        return {false, {}, BusyState::RefusalReason()};
    BackupJob job;
    job.name = name;
    for (int i = 0; i < form_.lb_von->count(); ++i)
        job.sources.push_back(form_.lb_von->itemText(i));
    job.destination = form_.textb_nach->text();
    job.day = form_.combo_tag->itemText(form_.combo_tag->selectedIndex());
    job.time = form_.mtextb_uhr->text();
    job.active = form_.checkbox_aktiv->isChecked();
    const WriteResult result = JobCatalogue().SaveJob(job, data_.editingNewJob, data_.jobCount, data_.editedJobName);
    data_.logStatus = result.ok ? "ok" : "error";
    data_.WriteLogEntry(name);
    ReportWriteFailure(&form_, result);
    return result;
}

WriteResult JobEditor::RenameJob(const WString& newName) {
    if (busy_.RefuseWhileBusy(&form_))
        return {false, {}, BusyState::RefusalReason()};
    const WriteResult result = JobCatalogue().RenameJob(newName, data_.editedJobName);
    ReportWriteFailure(&form_, result);
    return result;
}

bool JobEditor::onFieldChanged(WEventData&) {
    UpdateSaveState();
    return false;
}

bool JobEditor::onMouseDown(WEventData& event) {
    if (event.source)
        event.source->setCapture();
    return false;
}

bool JobEditor::onMouseUp(WEventData& event) {
    if (event.source)
        event.source->releaseCapture();
    return false;
}

bool JobEditor::onCommand(WEventData& event) {
    switch (static_cast<Command>(event.userValue)) {
    case New:
        NewJob();
        break;
    case Edit:
        EditSelectedJob();
        break;
    case Save:
        SaveEditedJob();
        break;
    case Discard:
        DiscardJob();
        break;
    case AddSourceCmd:
        AddSource();
        break;
    case RemoveSources:
        RemoveSelectedSources();
        break;
    case RemoveAll:
        RemoveAllSources();
        break;
    case Destination:
        SetDestination();
        break;
    }
    return true;
}
