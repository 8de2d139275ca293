#pragma once

#include "app/BusyState.h"
#include "app/ControllerData.h"
#include "app/WorkerSlots.h"
#include "storage/WriteResult.h"
#include "toolkit/core/WString.h"
#include "toolkit/gui/WApplication.h"

#include <functional>
#include <memory>
#include <vector>

class BackupRunner;
class Effects;
class Form1;
class FolderBrowser;
class Form2;
class JobEditor;
class JobList;
class LogView;
class PictureButtons;
class Scheduler;
class SettingsController;
class Views;
class WindowLink;
struct WEventData;

// The main form's controller: start-up, activation and shutdown, the worker slots, and the
// program's entry points, which it hands on to one controller per feature. A step that crosses
// features is one method here.
class MainForm {
public:
    // stopRequested is asked during start-up's long reads: true (a SIGINT or SIGTERM arrived) ends
    // start-up early, before any worker starts; the message loop then handles the signal.
    // folderRoots gives the folder tree's root folders.
    explicit MainForm(std::function<bool()> stopRequested = &WApplication::terminateRequested,
                      std::function<std::vector<WString>()> folderRoots = {});
    ~MainForm();
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    // Creates the window from its layout, connects every controller and runs StartUp. False when
    // the window cannot be created.
    bool create();
    // The exit code start-up asked for (a work area too narrow), or 0.
    int startUpExitCode() const { return startUpExitCode_; }

    Form1& form() { return *form_; }
    ControllerData& data() { return data_; }
    WorkerSlots& threadSlots() { return slots_; }
    Effects& effects() { return *effects_; }
    Views& views() { return *views_; }
    JobEditor& editor() { return *editor_; }
    FolderBrowser& folderBrowser() { return *folders_; }
    const BusyState& busy() const { return busy_; }

    // Start-up, activation and shutdown.
    bool StartUp();
    bool PlaceWindow();
    void ApplyStartMode();
    void PickUpPath();
    void ShutDown();
    void ExitProgram();

    // The overview's commands that lead into the editor, and back without saving.
    void NewJob();
    void EditJob();
    void DiscardJob();
    // After a change of the catalogue: the job list and the schedule read again.
    void RefreshJobs();

    // The job catalogue as the form shows it.
    void FillJobList();
    void LoadJobIntoEditor(const WString& name);
    WriteResult SaveJob(const WString& name);
    WriteResult RenameJob(const WString& newName);
    WriteResult DeleteJob(const WString& name);
    void LoadSchedule();
    void ShowSelectedJob();
    void DeleteSelectedJob();
    void UpdateJobButtons();

    // Backup runs, the scheduler's status text, the log view and the settings form.
    void RunBackup(const WString& name, bool announce);
    void StartSelectedBackup();
    WString BuildStatusText();
    void ShowLog();
    void ClearLog();
    void OpenLogView();
    void CloseLogView();
    void OpenSettings();
    Form2* settingsForm() const;

    // Worker-slot operations on slot numbers.
    void PauseScheduler(int slot) { slots_.Pause(slot); }
    void ResumeScheduler(int slot) { slots_.Resume(slot); }
    void StopThreadSlot(int slot) { slots_.Stop(slot); }

private:
    void connectEvents();
    void connectPictureButtons();
    void StartWorkers();
    bool onActivate(WEventData& event);
    bool onClose(WEventData& event);
    bool onLeftButtonDown(WEventData& event);
    bool onLeftButtonUp(WEventData& event);
    bool onMouseMove(WEventData& event);
    bool onMaximize(WEventData& event);
    bool onExitCommand(WEventData& event);
    bool onPauseCommand(WEventData& event);
    bool onResumeCommand(WEventData& event);

    // Declared in the order they are needed: the window first, so it outlives every controller.
    std::unique_ptr<Form1> form_;
    ControllerData data_;
    WorkerSlots slots_;
    BusyState busy_;
    std::shared_ptr<WindowLink> link_;
    std::unique_ptr<Effects> effects_;
    std::unique_ptr<JobList> jobList_;
    std::unique_ptr<Views> views_;
    std::unique_ptr<FolderBrowser> folders_;
    std::unique_ptr<JobEditor> editor_;
    std::unique_ptr<LogView> logView_;
    std::unique_ptr<BackupRunner> runner_;
    std::unique_ptr<SettingsController> settings_;
    std::unique_ptr<PictureButtons> pictureButtons_;
    std::shared_ptr<Scheduler> scheduler_;
    std::function<bool()> stopRequested_;
    std::function<std::vector<WString>()> folderRoots_;
    int startUpExitCode_ = 0;
};
