#pragma once

#include "storage/WriteResult.h"
#include "toolkit/core/WString.h"

class BusyState;
class Form1;
struct ControllerData;

// The job editor's link to the catalogue: a job into the editor's controls, and the controls back
// into the catalogue.
class JobEditor {
public:
    JobEditor(Form1& form, ControllerData& data, const BusyState& busy);

    // Fills name, sources (at their stored positions), destination, day, time and active flag.
    void LoadJobIntoEditor(const WString& name);
    // Stores the editor's job under name (a new one when editingNewJob) and logs it with
    // logAction; a refused or failed write is logged as "error" and reported, and changes nothing.
    // Refused during a run by hand.
    WriteResult SaveJob(const WString& name);
    // Gives the edited job the new name in both files.
    WriteResult RenameJob(const WString& newName);

private:
    Form1& form_;
    ControllerData& data_;
    const BusyState& busy_;
};
