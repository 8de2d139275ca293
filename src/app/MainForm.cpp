#include "app/MainForm.h"

#include "app/Form2.h"
#include "resources/MorlanzResources.h"
#include "storage/ProgramSettings.h"
#include "toolkit/core/WorkArea.h"
#include "toolkit/gui/WApplication.h"
#include "toolkit/gui/WCommandButton.h"
#include "toolkit/gui/WMenu.h"
#include "toolkit/gui/WTextBox.h"

namespace {

constexpr int kMinWorkAreaWidth = 790;
constexpr int kFullWorkAreaMaxWidth = 850;
constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 580;

} // namespace

MainForm::MainForm() = default;

MainForm::~MainForm() {
    // Normally ShutDown stopped the workers. A form dropped without a close (a failed start, a
    // test) must not leave them running on its members; no messages are handled any more here.
    bool alive = false;
    for (auto& slot : threadSlots) {
        slot.stop(kStopWaitMs, false);
        alive = alive || slot.isAlive();
    }
    if (alive) {
        CancelRuns();
        for (auto& slot : threadSlots)
            slot.finishedEvent.wait(slot.isAlive() ? kCancelWaitMs : 0);
    }
    for (auto& slot : threadSlots)
        slot.abandonIfAlive();
}

bool MainForm::onCreate() {
    connectEvents();
    return StartUp();
}

void MainForm::connectEvents() {
    connect(WEventId::ActivateEvent, this, &MainForm::onActivate);
    connect(WEventId::CloseEvent, this, &MainForm::onClose);
    connect(WEventId::LeftButtonDownEvent, this, &MainForm::onLeftButtonDown);
    connect(WEventId::LeftButtonUpEvent, this, &MainForm::onLeftButtonUp);
    connect(WEventId::MouseMoveEvent, this, &MainForm::onMouseMove);
    connect(WEventId::MaximizeEvent, this, &MainForm::onMaximize);
    cb_beenden->connect(WEventId::ClickEvent, this, &MainForm::onExitCommand);
    if (WMenuItem* item = menu()->item(MenuId::Beenden))
        item->connect(WEventId::ClickEvent, this, &MainForm::onExitCommand);
    if (WMenuItem* item = menu()->item(MenuId::Einstellung))
        item->connect(WEventId::ClickEvent, this, &MainForm::onSettingsCommand);
    cb_starten->connect(WEventId::ClickEvent, this, &MainForm::onStartCommand);
    cb_1->connect(WEventId::ClickEvent, this, &MainForm::onPauseCommand);
    cb_2->connect(WEventId::ClickEvent, this, &MainForm::onResumeCommand);
    cb_log_anzeigen->connect(WEventId::ClickEvent, this, &MainForm::onShowLogCommand);
    cb_log_loeschen->connect(WEventId::ClickEvent, this, &MainForm::onClearLogCommand);
}

bool MainForm::StartUp() {
    setIcon(kMainIconId);
    moveSoundCounter = 0;
    jobCount = 0;
    if (!PlaceWindow()) {
        startUpExitCode_ = WApplication::ExitNarrowScreen;
        return true; // the window exists; the program ends before its message loop
    }
    ApplyStartMode();
    FillJobList();
    LoadSchedule();
    for (auto& slot : threadSlots)
        slot.reset();
    StartWorkers();
    return true;
}

bool MainForm::PlaceWindow() {
    const WorkArea* area = WorkArea::installed();
    const WRect work = area ? area->workArea() : WRect{};
    if (work.width < kMinWorkAreaWidth)
        return false;
    if (work.width > kFullWorkAreaMaxWidth) {
        setRect({work.x + (work.width - kWindowWidth) / 2, work.y + (work.height - kWindowHeight) / 2, kWindowWidth,
                 kWindowHeight});
    } else {
        setRect(work);
    }
    repaint(true);
    return true;
}

void MainForm::ApplyStartMode() {
    if (ProgramSettings::StartMode() == 0)
        setState(State::Normal);
}

void MainForm::PickUpPath() {
    if (pathPickUpPending) {
        textb_nach->setText(ProgramSettings::TakePath());
        pathPickUpPending = false;
    }
}

void MainForm::ShutDown() {
    for (int slot = 0; slot < kSlotCount; ++slot)
        StopThreadSlot(slot);
    // A worker still alive is inside a copy: cancel it, so that it ends between two chunks with
    // its temporary file removed and the previous copy intact, and give it a moment to do so.
    bool alive = false;
    for (const auto& slot : threadSlots)
        alive = alive || slot.isAlive();
    if (alive) {
        CancelRuns();
        for (auto& slot : threadSlots) {
            if (slot.isAlive())
                slot.finishedEvent.waitDispatching(kCancelWaitMs);
        }
    }
    for (auto& slot : threadSlots)
        slot.abandonIfAlive();
}

void MainForm::ExitProgram() {
    close();
}

void MainForm::OpenSettings() {
    // Modeless: a second command brings the open form forward instead of opening another.
    if (settingsForm_ && !settingsForm_->isClosed()) {
        settingsForm_->activate();
        return;
    }
    settingsForm_ = std::make_unique<Form2>();
    if (!settingsForm_->create(*this)) {
        settingsForm_.reset();
        return;
    }
    settingsForm_->setState(State::Normal);
}

bool MainForm::StartThreadSlot(int slot, std::function<int()> body, int priority) {
    return threadSlots.at(static_cast<std::size_t>(slot)).start(std::move(body), priority);
}

void MainForm::PauseScheduler(int slot) {
    threadSlots.at(static_cast<std::size_t>(slot)).pause();
}

void MainForm::ResumeScheduler(int slot) {
    threadSlots.at(static_cast<std::size_t>(slot)).resume();
}

void MainForm::StopThreadSlot(int slot) {
    threadSlots.at(static_cast<std::size_t>(slot)).stop(kStopWaitMs);
}

bool MainForm::onActivate(WEventData&) {
    PickUpPath();
    return false;
}

bool MainForm::onClose(WEventData&) {
    ShutDown();
    return false;
}

bool MainForm::onLeftButtonDown(WEventData&) {
    setCapture();
    return false;
}

bool MainForm::onLeftButtonUp(WEventData&) {
    releaseCapture();
    return false;
}

bool MainForm::onMouseMove(WEventData&) {
    moveSoundCounter = 0;
    moveSoundPlayed = false;
    return false;
}

bool MainForm::onMaximize(WEventData&) {
    activate();
    return false;
}

bool MainForm::onExitCommand(WEventData&) {
    ExitProgram();
    return true;
}

bool MainForm::onSettingsCommand(WEventData&) {
    OpenSettings();
    return true;
}

bool MainForm::onStartCommand(WEventData&) {
    StartSelectedBackup();
    return true;
}

bool MainForm::onPauseCommand(WEventData&) {
    PauseScheduler(kSchedulerSlot);
    return true;
}

bool MainForm::onResumeCommand(WEventData&) {
    ResumeScheduler(kSchedulerSlot);
    return true;
}

bool MainForm::onShowLogCommand(WEventData&) {
    ShowLog();
    return true;
}

bool MainForm::onClearLogCommand(WEventData&) {
    ClearLog();
    return true;
}
