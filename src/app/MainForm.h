#pragma once

#include "app/Form1.h"
#include "backup/Scheduler.h"
#include "backup/ThreadSlot.h"
#include "storage/ScheduleList.h"
#include "toolkit/core/WString.h"

#include <array>
#include <mutex>
#include <set>

class Form2;
class WProgressWindow;
struct WEventData;

// The main form's controller: start-up, the worker slots, activation and shutdown.
class MainForm : public Form1 {
public:
    static constexpr int kSlotCount = 4;
    static constexpr int kClockSlot = 0;
    static constexpr int kTreeSlot = 2;
    static constexpr int kSchedulerSlot = 3;
    static constexpr int kStopWaitMs = 500;
    static constexpr int kCancelWaitMs = 2000;

    MainForm();
    ~MainForm() override;

    // The exit code start-up asked for (ExitNarrowScreen), or 0.
    int startUpExitCode() const { return startUpExitCode_; }

    // Start-up steps and the handlers of the form's events.
    bool StartUp();
    bool PlaceWindow();
    void ApplyStartMode();
    void PickUpPath();
    void ShutDown();
    void ExitProgram();

    // The job catalogue as the form shows it.
    void FillJobList();
    void LoadJobIntoEditor(const WString& name);
    void SaveJob(const WString& name);
    bool RenameJob(const WString& newName);
    void DeleteJob(const WString& name);
    void LoadSchedule();

    // Backup runs: by hand (announced, on this thread, window kept alive) or by the scheduler.
    void RunBackup(const WString& name, bool announce);
    void StartSelectedBackup();
    // Sets the caption from the schedule and returns the two-line text for the tray.
    WString BuildStatusText();
    // Writes the log entry of a catalogue change with logAction and logStatus.
    void WriteLogEntry(const WString& name);
    void ShowLog();
    void ClearLog();

    // The settings form, opened by the menu item "Einstellung" (and Ctrl+E); null until opened.
    void OpenSettings();
    Form2* settingsForm() const { return settingsForm_.get(); }

    // Worker-slot operations.
    bool StartThreadSlot(int slot, std::function<int()> body, int priority);
    void PauseScheduler(int slot);
    void ResumeScheduler(int slot);
    void StopThreadSlot(int slot);

    // Controller data, in the order the form keeps it.
    bool pathPickUpPending = false;
    bool editingNewJob = false;
    int jobCount = 0;
    int moveSoundCounter = 0;
    WString editedJobName;
    WString logAction;
    WString logStatus;
    // Picture-button flags: while one is set, the buttons it covers ignore the mouse.
    bool jobButtonsInactive = false;
    bool sourceButtonInactive = false;
    bool targetButtonInactive = false;
    bool saveButtonInactive = false;
    bool moveSoundPlayed = false;
    // Effects: step delays of moving and sizing controls, and whether sound and animation are on.
    int moveDelay = 0;
    int sizeDelay = 0;
    bool effectsOn = false;
    std::array<ThreadSlot, kSlotCount> threadSlots;
    ScheduleList scheduleList;

protected:
    bool onCreate() override;

private:
    void connectEvents();
    bool onActivate(WEventData& event);
    bool onClose(WEventData& event);
    bool onLeftButtonDown(WEventData& event);
    bool onLeftButtonUp(WEventData& event);
    bool onMouseMove(WEventData& event);
    bool onMaximize(WEventData& event);
    bool onExitCommand(WEventData& event);
    bool onSettingsCommand(WEventData& event);
    bool onStartCommand(WEventData& event);
    bool onPauseCommand(WEventData& event);
    bool onResumeCommand(WEventData& event);
    bool onShowLogCommand(WEventData& event);
    bool onClearLogCommand(WEventData& event);
    void StartWorkers();
    // Cancels every copy under way; later runs start cancelled. For shutdown.
    void CancelRuns();

    int startUpExitCode_ = 0;
    std::unique_ptr<Form2> settingsForm_;
    std::unique_ptr<Scheduler> scheduler_;
    std::mutex runsMutex_;
    std::set<WProgressWindow*> runs_;
    bool shuttingDown_ = false;
    bool runningByHand_ = false;
};
