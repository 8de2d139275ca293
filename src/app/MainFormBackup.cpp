// MainForm: backup runs, the scheduler and clock threads, and the log view.
#include "app/MainForm.h"

#include "backup/BackupRun.h"
#include "log/BackupLog.h"
#include "toolkit/gui/WApplication.h"
#include "toolkit/gui/WLabel.h"
#include "toolkit/gui/WListBox.h"
#include "toolkit/gui/WMessageBox.h"
#include "toolkit/gui/WProgressWindow.h"
#include "toolkit/gui/WRichTextBox.h"

#include <thread>

namespace {

const WProgressTexts kProgressTexts{"Morlanz führt die automatische Datensicherung durch!"_w, "Abbrechen"_w,
                                    "%1 von %2 Dateien"_w};

bool onUiThread() {
    const MessagePump* pump = MessagePump::installed();
    return pump && pump->isPumpThread();
}

} // namespace

void MainForm::RunBackup(const WString& name, bool announce) {
    const BackupPlan plan = BackupRun::ReadPlan(name);
    WProgressWindow progress(kProgressTexts);
    {
        std::lock_guard lock(runsMutex_);
        if (shuttingDown_)
            progress.cancel();
        runs_.insert(&progress);
    }
    bool ok = false;
    if (onUiThread()) {
        // A run by hand copies on a helper thread while the window keeps handling its messages;
        // the command returns only when the copies are done.
        WEventSemaphore done;
        std::thread copier([&] {
            ok = BackupRun::CopyAll(plan, &progress);
            done.set();
        });
        while (!done.waitDispatching(100)) {
            if (WApplication::quitRequested()) {
                progress.cancel(); // the program ends: no half copy replaces a good one
                done.wait(60'000);
            }
        }
        copier.join();
    } else {
        ok = BackupRun::CopyAll(plan, &progress);
    }
    {
        std::lock_guard lock(runsMutex_);
        runs_.erase(&progress);
    }
    if (announce && ok) {
        WMessageBox::show(this, "Ihre Sicherung '" + name + "' wurde erfolgreich durchgeführt!"_w,
                          "Morlanz 1.1 - Information", MB::OK | MB::ICONINFORMATION | MB::TASKMODAL);
    }
    BackupLog::WriteEntry(name, "gestartet", ok ? "ok" : "error");
}

void MainForm::StartSelectedBackup() {
    if (runningByHand_)
        return; // the window stays live during a run; a second click must not start another
    runningByHand_ = true;
    const int selected = lb_anzeige->selectedIndex();
    RunBackup(selected >= 0 ? lb_anzeige->itemText(selected) : WString(), true);
    runningByHand_ = false;
}

void MainForm::CancelRuns() {
    std::lock_guard lock(runsMutex_);
    shuttingDown_ = true;
    for (WProgressWindow* run : runs_)
        run->cancel();
}

void MainForm::StartWorkers() {
    auto& clockSlot = threadSlots[kClockSlot];
    StartThreadSlot(
        kClockSlot,
        [this, &clockSlot] { return ClockLoop(clockSlot, [this](const WString& t) { label_datum_zeit->setText(t); }); },
        WThread::Lowest);
    scheduler_ = std::make_unique<Scheduler>(threadSlots[kSchedulerSlot], scheduleList,
                                             Scheduler::Hooks{[this](const WString& caption) { setText(caption); },
                                                              {},
                                                              [this](const WString& name) { RunBackup(name, false); }});
    StartThreadSlot(
        kSchedulerSlot, [this] { return scheduler_->SchedulerLoop(); }, WThread::Normal);
}

WString MainForm::BuildStatusText() {
    return scheduler_ ? scheduler_->BuildStatusText() : WString();
}

void MainForm::WriteLogEntry(const WString& name) {
    BackupLog::WriteEntry(name, logAction, logStatus);
}

void MainForm::ShowLog() {
    rtb_anzeige->setText("");
    for (const WString& line : BackupLog::ReadLines())
        rtb_anzeige->appendText(line + "\n", true);
    rtb_anzeige->scrollLines(-500);
}

void MainForm::ClearLog() {
    const int answer =
        WMessageBox::show(this, "Möchten Sie die Log Datei\nwirklich löschen?"_w, "Morlanz 1.1 - Log Datei löschen?"_w,
                          MB::OKCANCEL | MB::ICONEXCLAMATION | MB::TASKMODAL);
    if (answer != ID::OK)
        return;
    BackupLog::Delete();
    rtb_anzeige->setText("");
}
