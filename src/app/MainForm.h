#pragma once

#include "Form1.h"
#include "ScheduleList.h"
#include "ThreadSlot.h"
#include "WString.h"

#include <array>

class Form2;
struct WEventData;

// The main form's controller: start-up, the worker slots, activation and shutdown.
class MainForm : public Form1 {
public:
    static constexpr int kSlotCount = 4;
    static constexpr int kClockSlot = 0;
    static constexpr int kTreeSlot = 2;
    static constexpr int kSchedulerSlot = 3;
    static constexpr int kStopWaitMs = 500;

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

    int startUpExitCode_ = 0;
    std::unique_ptr<Form2> settingsForm_;
};
