#pragma once

#include "storage/WriteResult.h"
#include "toolkit/core/WString.h"

#include <functional>

class BusyState;
class FolderBrowser;
class Form1;
class Views;
class WListBox;
class WorkerSlots;
struct ControllerData;
struct WEventData;

// The job editor: opens for a new or the selected job, takes sources and the destination from the
// folder tree, decides when the job may be saved and hands it to the catalogue.
class JobEditor {
public:
    // refreshJobs refills the job list and the schedule after a save.
    JobEditor(Form1& form, ControllerData& data, const BusyState& busy, Views& views, WorkerSlots& slots,
              FolderBrowser& folders, std::function<void()> refreshJobs);

    // Commands.
    void NewJob();
    void EditSelectedJob();
    void SaveEditedJob();
    void DiscardJob();
    void AddSource();
    void RemoveSelectedSources();
    void RemoveAllSources();
    void SetDestination();

    void ClearEditor();
    bool IsJobComplete() const;
    void UpdateSaveState();
    // True when no entry of list is exactly path.
    static bool IsPathUnlisted(const WListBox& list, const WString& path);

    // Fills name, sources (at their stored positions), destination, day, time and active flag.
    void LoadJobIntoEditor(const WString& name);
    // Stores the editor's job under name (a new one when editingNewJob) and logs it with
    // logAction; a refused or failed write is logged as "error" and reported, and changes nothing.
    // Refused during a run by hand.
    WriteResult SaveJob(const WString& name);
    // Gives the edited job the new name in both files.
    WriteResult RenameJob(const WString& newName);

private:
    void connectEvents();
    // Why the job cannot be saved as it stands (name, sources, destination); empty when it can.
    WString SaveRefusal(const WString& name, const WString& destination) const;
    void ShowError(const WString& text);
    // The selected tree item's path for a source or the destination; empty (after a message where
    // the user must act) when it cannot be taken.
    WString TakeTreePath(bool forDestination);
    bool onFieldChanged(WEventData& event);
    bool onMouseDown(WEventData& event);
    bool onMouseUp(WEventData& event);
    bool onCommand(WEventData& event);

    Form1& form_;
    ControllerData& data_;
    const BusyState& busy_;
    Views& views_;
    WorkerSlots& slots_;
    FolderBrowser& folders_;
    std::function<void()> refreshJobs_;
};
