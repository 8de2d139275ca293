#include "app/MainForm.h"

#include "app/WindowLink.h"
#include "app/editor/FolderBrowser.h"
#include "app/editor/FolderRoots.h"
#include "app/editor/JobEditor.h"
#include "app/effects/Effects.h"
#include "app/form1/Form1.h"
#include "app/form1/PictureButtons.h"
#include "app/form1/Views.h"
#include "app/logview/LogView.h"
#include "app/overview/JobList.h"
#include "app/runs/BackupRunner.h"
#include "app/settings/SettingsController.h"
#include "backup/Scheduler.h"
#include "resources/MorlanzResources.h"
#include "storage/ProgramSettings.h"
#include "toolkit/core/WorkArea.h"
#include "toolkit/gui/WApplication.h"
#include "toolkit/gui/WCommandButton.h"
#include "toolkit/gui/WListBox.h"
#include "toolkit/gui/WMenu.h"
#include "toolkit/gui/WMenuItem.h"
#include "toolkit/gui/WTextBox.h"

#include <algorithm>

namespace {

constexpr int kMinWorkAreaWidth = 790;
constexpr int kFullWorkAreaMaxWidth = 850;
constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 580;

} // namespace

MainForm::MainForm(std::function<bool()> stopRequested, std::function<std::vector<WString>()> folderRoots)
    : form_(std::make_unique<Form1>()), link_(std::make_shared<WindowLink>(*form_)),
      stopRequested_(std::move(stopRequested)),
      folderRoots_(folderRoots ? std::move(folderRoots) : std::function<std::vector<WString>()>(&FolderRoots::Roots)) {}

MainForm::~MainForm() {
    // Normally ShutDown stopped the workers. A form dropped without a close (a failed start, a
    // test) stops them here without handling messages; one that is given up wakes to a detached
    // window link and shared state only.
    link_->Detach();
    if (folders_)
        folders_->Detach();
    slots_.StopAll(
        [this] {
            if (runner_)
                runner_->CancelRuns();
        },
        false);
}

bool MainForm::create() {
    if (!form_->create())
        return false;
    effects_ = std::make_unique<Effects>(data_);
    jobList_ = std::make_unique<JobList>(*form_, data_, busy_, slots_);
    views_ = std::make_unique<Views>(*form_, *effects_, data_, [this] {
        jobList_->UpdateJobButtons();
        jobList_->ShowSelectedJob();
    });
    folders_ = std::make_unique<FolderBrowser>(*form_, data_, slots_, *views_, folderRoots_, [this] { PickUpPath(); });
    editor_ = std::make_unique<JobEditor>(*form_, data_, busy_, *views_, slots_, *folders_, [this] { RefreshJobs(); });
    logView_ = std::make_unique<LogView>(*form_, busy_, *views_);
    runner_ = std::make_unique<BackupRunner>(*form_, busy_);
    settings_ = std::make_unique<SettingsController>(*form_, busy_);
    connectEvents();
    connectPictureButtons();
    return StartUp();
}

void MainForm::connectEvents() {
    Form1& f = *form_;
    f.connect(WEventId::ActivateEvent, this, &MainForm::onActivate);
    f.connect(WEventId::CloseEvent, this, &MainForm::onClose);
    f.connect(WEventId::LeftButtonDownEvent, this, &MainForm::onLeftButtonDown);
    f.connect(WEventId::LeftButtonUpEvent, this, &MainForm::onLeftButtonUp);
    f.connect(WEventId::MouseMoveEvent, this, &MainForm::onMouseMove);
    f.connect(WEventId::MaximizeEvent, this, &MainForm::onMaximize);
    f.cb_beenden->connect(WEventId::ClickEvent, this, &MainForm::onExitCommand);
    if (WMenuItem* item = f.menu()->item(MenuId::Beenden))
        item->connect(WEventId::ClickEvent, this, &MainForm::onExitCommand);
    f.cb_1->connect(WEventId::ClickEvent, this, &MainForm::onPauseCommand);
    f.cb_2->connect(WEventId::ClickEvent, this, &MainForm::onResumeCommand);
}

void MainForm::connectPictureButtons() {
    PictureButtons::Commands c;
    c.newJob = [this] { NewJob(); };
    c.editJob = [this] { EditJob(); };
    c.deleteJob = [this] { DeleteSelectedJob(); };
    c.startJob = [this] { StartSelectedBackup(); };
    c.openLog = [this] { OpenLogView(); };
    c.exit = [this] { ExitProgram(); };
    c.discardJob = [this] { DiscardJob(); };
    c.saveJob = [this] { editor_->SaveEditedJob(); };
    c.addSource = [this] { editor_->AddSource(); };
    c.removeSources = [this] { editor_->RemoveSelectedSources(); };
    c.removeAllSources = [this] { editor_->RemoveAllSources(); };
    c.setDestination = [this] { editor_->SetDestination(); };
    c.refreshTree = [this] {
        if (!folders_->IsTreeThreadRunning())
            folders_->StartTreeThread();
    };
    c.clearLog = [this] {
        if (!busy_.RefuseWhileBusy(form_.get()))
            ClearLog();
    };
    c.closeLog = [this] { CloseLogView(); };
    c.updateJobButtons = [this] { UpdateJobButtons(); };
    pictureButtons_ = std::make_unique<PictureButtons>(*form_, *effects_, data_, *views_, c);
    form_->setEditorTabOrder();
}

bool MainForm::StartUp() {
    form_->setIcon(kMainIconId);
    data_.moveSoundPlayed = 0;
    effects_->LoadEffectSetting();
    views_->CollapseAll();
    views_->CollapseLogo();
    data_.jobCount = 0;
    if (!PlaceWindow()) {
        startUpExitCode_ = WApplication::ExitNarrowScreen;
        return true; // the window exists; the program ends before its message loop
    }
    ApplyStartMode();
    // A large catalogue takes a while to read; a shutdown request meanwhile need not wait for it.
    if (!stopRequested_())
        jobList_->FillJobList(stopRequested_);
    if (!stopRequested_())
        jobList_->LoadSchedule(stopRequested_);
    if (stopRequested_())
        return true;
    slots_.Reset();
    StartWorkers();
    views_->ShowOverview();
    form_->lb_anzeige->setFocus();
    return true;
}

void MainForm::StartWorkers() {
    std::shared_ptr<WindowLink> link = link_;
    slots_.Start(
        WorkerSlots::kClock,
        [link](ThreadSlot& slot) { return ClockLoop(slot, [link](const WString& t) { link->SetClockText(t); }); },
        WThread::Lowest);
    scheduler_ = std::make_shared<Scheduler>(
        slots_.share(WorkerSlots::kScheduler), data_.scheduleList,
        Scheduler::Hooks{[link](const WString& caption) { link->SetCaption(caption); }, {}, runner_->ScheduledRun()});
    // The thread holds the scheduler (and through it its slot and schedule) for as long as it runs.
    slots_.Start(
        WorkerSlots::kScheduler, [scheduler = scheduler_](ThreadSlot&) { return scheduler->SchedulerLoop(); },
        WThread::Normal);
}

bool MainForm::PlaceWindow() {
    const WorkArea* area = WorkArea::installed();
    const WRect work = area ? area->workArea() : WRect{};
    if (work.width < kMinWorkAreaWidth)
        return false;
    if (work.width > kFullWorkAreaMaxWidth) {
        // Centred; but never above or left of the work area, where a screen scaled for high DPI
        // (1920 x 1080 at factor 2 is 960 x 540) would put the menu bar out of reach.
        form_->setRect({work.x + std::max(0, (work.width - kWindowWidth) / 2),
                        work.y + std::max(0, (work.height - kWindowHeight) / 2), kWindowWidth, kWindowHeight});
    } else {
        form_->setRect(work);
    }
    form_->repaint(true);
    return true;
}

void MainForm::ApplyStartMode() {
    if (ProgramSettings::StartMode() == 0)
        form_->setState(WForm::State::Normal);
}

void MainForm::PickUpPath() {
    // The new-folder form hands its folder over when it closes with "Ok", not before.
    if (data_.pathPickUpPending && !folders_->newFolderDialog()) {
        form_->textb_nach->setText(ProgramSettings::TakePath());
        data_.pathPickUpPending = false;
    }
    // The settings form may have switched the effects.
    effects_->LoadEffectSetting();
}

void MainForm::ShutDown() {
    slots_.StopAll([this] { runner_->CancelRuns(); }, true);
}

void MainForm::ExitProgram() {
    form_->close();
}

void MainForm::NewJob() {
    editor_->NewJob();
}

void MainForm::EditJob() {
    editor_->EditSelectedJob();
}

void MainForm::DiscardJob() {
    editor_->DiscardJob();
}

void MainForm::RefreshJobs() {
    jobList_->FillJobList();
    jobList_->LoadSchedule();
}

void MainForm::FillJobList() {
    jobList_->FillJobList();
}

void MainForm::LoadJobIntoEditor(const WString& name) {
    editor_->LoadJobIntoEditor(name);
}

WriteResult MainForm::SaveJob(const WString& name) {
    return editor_->SaveJob(name);
}

WriteResult MainForm::RenameJob(const WString& newName) {
    return editor_->RenameJob(newName);
}

WriteResult MainForm::DeleteJob(const WString& name) {
    return jobList_->DeleteJob(name);
}

void MainForm::LoadSchedule() {
    jobList_->LoadSchedule();
}

void MainForm::ShowSelectedJob() {
    jobList_->ShowSelectedJob();
}

void MainForm::DeleteSelectedJob() {
    jobList_->DeleteSelectedJob();
}

void MainForm::UpdateJobButtons() {
    jobList_->UpdateJobButtons();
}

void MainForm::RunBackup(const WString& name, bool announce) {
    runner_->RunBackup(name, announce);
}

void MainForm::StartSelectedBackup() {
    runner_->StartSelectedBackup();
}

WString MainForm::BuildStatusText() {
    return scheduler_ ? scheduler_->BuildStatusText() : WString();
}

void MainForm::ShowLog() {
    logView_->ShowLog();
}

void MainForm::ClearLog() {
    logView_->ClearLog();
}

void MainForm::OpenLogView() {
    logView_->OpenLogView();
}

void MainForm::CloseLogView() {
    logView_->CloseLogView();
}

void MainForm::OpenSettings() {
    settings_->OpenSettings();
}

Form2* MainForm::settingsForm() const {
    return settings_ ? settings_->settingsForm() : nullptr;
}

bool MainForm::onActivate(WEventData&) {
    PickUpPath();
    return false;
}

bool MainForm::onClose(WEventData&) {
    if (busy_.IsBusy()) {
        // The run by hand is still on the stack below: cancel its copy and close once it returns.
        busy_.QueueClose([this] { runner_->CancelRuns(); }, [this] { ExitProgram(); });
        return true;
    }
    ShutDown();
    return false;
}

bool MainForm::onLeftButtonDown(WEventData&) {
    form_->setCapture();
    return false;
}

bool MainForm::onLeftButtonUp(WEventData&) {
    form_->releaseCapture();
    return false;
}

bool MainForm::onMouseMove(WEventData&) {
    data_.moveSoundPlayed = 0;
    return false;
}

bool MainForm::onMaximize(WEventData&) {
    form_->activate();
    return false;
}

bool MainForm::onExitCommand(WEventData&) {
    ExitProgram();
    return true;
}

bool MainForm::onPauseCommand(WEventData&) {
    PauseScheduler(WorkerSlots::kScheduler);
    return true;
}

bool MainForm::onResumeCommand(WEventData&) {
    ResumeScheduler(WorkerSlots::kScheduler);
    return true;
}
