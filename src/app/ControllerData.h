#pragma once

#include "storage/ScheduleList.h"
#include "toolkit/core/WString.h"

#include <memory>

// The main controller's data that the feature controllers share, with its start values. The
// schedule is shared with the scheduler thread, which may outlive the controller.
struct ControllerData {
    // A folder path waits in the settings file to be taken over on the next activation.
    bool pathPickUpPending = false;
    // The editor holds a new job.
    bool editingNewJob = false;
    // Number of jobs; 0 until the job list has read it.
    int jobCount = 0;
    // Latch of the hover sound: 0 lets the next hover sound; reset when the mouse moves over the bare form.
    int moveSoundPlayed = 0;
    // Picture buttons that ignore the mouse while set (the job buttons: edit, delete, start).
    bool jobButtonsInactive = false;
    bool sourceButtonInactive = false;
    bool targetButtonInactive = false;
    bool saveButtonInactive = false;
    // The job loaded into the editor.
    WString editedJobName;
    // Action and status words of the next log entry of a catalogue change.
    WString logAction;
    WString logStatus;
    std::shared_ptr<ScheduleList> scheduleList = std::make_shared<ScheduleList>();

    // Writes the log entry of a catalogue change with logAction and logStatus.
    void WriteLogEntry(const WString& name) const;
};
