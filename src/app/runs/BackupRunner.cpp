#include "app/runs/BackupRunner.h"

#include "app/BusyState.h"
#include "app/form1/Form1.h"
#include "app/runs/RunTracker.h"
#include "log/BackupLog.h"
#include "toolkit/core/WEventSemaphore.h"
#include "toolkit/gui/WApplication.h"
#include "toolkit/gui/WCommandButton.h"
#include "toolkit/gui/WListBox.h"
#include "toolkit/gui/WMessageBox.h"

#include <thread>

namespace {

bool onUiThread() {
    const MessagePump* pump = MessagePump::installed();
    return pump && pump->isPumpThread();
}

void logRun(const WString& name, bool ok) {
    BackupLog::WriteEntry(name, "gestartet", ok ? "ok" : "error");
}

} // namespace

BackupRunner::BackupRunner(Form1& form, BusyState& busy)
    : form_(form), busy_(busy), tracker_(std::make_shared<RunTracker>()) {
    form_.cb_starten->connect(WEventId::ClickEvent, this, &BackupRunner::onStartCommand);
}

void BackupRunner::RunBackup(const WString& name, bool announce) {
    const BackupPlan plan = BackupRun::ReadPlan(name);
    if (!onUiThread()) {
        logRun(name, tracker_->Copy(plan));
        return;
    }
    busy_.Begin();
    const bool ok = CopyKeepingTheWindowAlive(plan);
    // A close asked for during the run cancelled it; the program ends without a message.
    if (announce && ok && !busy_.IsClosePending()) {
        WMessageBox::show(&form_, "Ihre Sicherung '" + name + "' wurde erfolgreich durchgeführt!"_w,
                          "Morlanz 1.1 - Information", MB::OK | MB::ICONINFORMATION | MB::TASKMODAL);
    }
    logRun(name, ok);
    busy_.End();
}

bool BackupRunner::CopyKeepingTheWindowAlive(const BackupPlan& plan) {
    bool ok = false;
    WEventSemaphore done;
    std::thread copier([&] {
        ok = tracker_->Copy(plan);
        done.set();
    });
    while (!done.waitDispatching(100)) {
        if (WApplication::quitRequested()) {
            tracker_->CancelAll(); // the program ends: no half copy replaces a good one
            done.wait(60'000);
        }
    }
    copier.join(); // the helper never outlives this call: it uses the plan and `ok` on this stack
    return ok;
}

void BackupRunner::StartSelectedBackup() {
    if (busy_.RefuseWhileBusy(&form_))
        return;
    const int selected = form_.lb_anzeige->selectedIndex();
    RunBackup(selected >= 0 ? form_.lb_anzeige->itemText(selected) : WString(), true);
}

std::function<void(const WString&)> BackupRunner::ScheduledRun() const {
    return [tracker = tracker_](const WString& name) { logRun(name, tracker->Copy(BackupRun::ReadPlan(name))); };
}

void BackupRunner::CancelRuns() {
    tracker_->CancelAll();
}

bool BackupRunner::onStartCommand(WEventData&) {
    StartSelectedBackup();
    return true;
}
