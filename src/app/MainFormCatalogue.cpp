// MainForm: the form-facing steps of the job catalogue. They move values between the controls
// and JobCatalogue, which knows nothing of windows.
#include "app/MainForm.h"

#include "storage/JobCatalogue.h"
#include "toolkit/gui/WCheckBox.h"
#include "toolkit/gui/WComboBox.h"
#include "toolkit/gui/WListBox.h"
#include "toolkit/gui/WMaskedTextBox.h"
#include "toolkit/gui/WTextBox.h"

void MainForm::FillJobList() {
    JobCatalogue catalogue;
    lb_anzeige->clear();
    jobCount = catalogue.ReadJobCount();
    for (const WString& name : catalogue.ReadJobNames())
        lb_anzeige->addItem(name);
    lb_anzeige->select(0);
}

void MainForm::LoadJobIntoEditor(const WString& name) {
    const BackupJob job = JobCatalogue().LoadJob(name);
    editedJobName = name;
    textb_name_der_sicherung->setText(name);
    // Inserting at the stored positions keeps the file's order in the sorted list.
    for (std::size_t i = 0; i < job.sources.size(); ++i)
        lb_von->insertItem(static_cast<int>(i), job.sources[i]);
    textb_nach->setText(job.destination);
    combo_tag->selectByPrefix(job.day);
    mtextb_uhr->setText(job.time);
    checkbox_aktiv->setChecked(job.active);
}

void MainForm::SaveJob(const WString& name) {
    BackupJob job;
    job.name = name;
    for (int i = 0; i < lb_von->count(); ++i)
        job.sources.push_back(lb_von->itemText(i));
    job.destination = textb_nach->text();
    job.day = combo_tag->itemText(combo_tag->selectedIndex());
    job.time = mtextb_uhr->text();
    job.active = checkbox_aktiv->isChecked();
    JobCatalogue().SaveJob(job, editingNewJob, jobCount, editedJobName);
    logStatus = "ok";
    WriteLogEntry(name);
}

bool MainForm::RenameJob(const WString& newName) {
    return JobCatalogue().RenameJob(newName, editedJobName);
}

void MainForm::DeleteJob(const WString& name) {
    JobCatalogue().DeleteJob(name, jobCount);
    FillJobList();
    logStatus = "ok";
    WriteLogEntry(name);
}

void MainForm::LoadSchedule() {
    scheduleList.Replace(JobCatalogue().LoadSchedule(jobCount));
}
