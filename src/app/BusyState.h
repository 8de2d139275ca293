#pragma once

#include "toolkit/core/WString.h"

#include <functional>

class WWindow;

// Whether a run by hand is copying. The window keeps handling its messages meanwhile, so every
// handler can run in the middle of that run; this is the one place that says what may happen then:
//  - refused, with a message: changes of the catalogue (save, rename, delete), view changes (the
//    log view and clearing the log), the settings (opening the form, its "Ok") and another run;
//  - queued: closing the program. The copy is cancelled at once (no half file replaces a good
//    one) and the window closes once the run has returned;
//  - allowed: pausing and resuming the scheduler, and everything that only shows or selects.
class BusyState {
public:
    bool IsBusy() const { return runs_ > 0; }
    // Shows why the command cannot run now and returns true while busy; false (and no message)
    // otherwise.
    bool RefuseWhileBusy(WWindow* owner) const;
    // What a refused change of the catalogue reports as its reason.
    static WString RefusalReason();

    // Marks the span of a run by hand; a close asked for meanwhile runs when the last span ends.
    void Begin() { ++runs_; }
    void End();
    // A close during the run: cancelWork stops the copy; the close happens once End() is reached.
    void QueueClose(const std::function<void()>& cancelWork, std::function<void()> close);
    bool IsClosePending() const { return static_cast<bool>(pendingClose_); }

private:
    int runs_ = 0;
    std::function<void()> pendingClose_;
};
