#include "app/editor/JobEditor.h"

#include "app/BusyState.h"
#include "app/ControllerData.h"
#include "app/WriteFailure.h"
#include "app/form1/Form1.h"
#include "storage/JobCatalogue.h"
#include "toolkit/gui/WCheckBox.h"
#include "toolkit/gui/WComboBox.h"
#include "toolkit/gui/WListBox.h"
#include "toolkit/gui/WMaskedTextBox.h"
#include "toolkit/gui/WTextBox.h"

JobEditor::JobEditor(Form1& form, ControllerData& data, const BusyState& busy)
    : form_(form), data_(data), busy_(busy) {}

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
