#pragma once

#include "FileCopy.h"
#include "WString.h"

#include <atomic>
#include <memory>

class WProgressDialogHolder;

// The progress window of a copy: a title, a bar and a cancel button (cancel counts as a failed
// copy). It may be made, fed and dropped on any thread: the window itself lives on the
// user-interface thread and every change reaches it as a queued call, so a worker never waits for
// the window and the window never waits for a worker.
class WProgressWindow : public CopyObserver {
public:
    explicit WProgressWindow(const WString& title);
    ~WProgressWindow() override;
    WProgressWindow(const WProgressWindow&) = delete;
    WProgressWindow& operator=(const WProgressWindow&) = delete;

    void progress(const CopyProgress& progress) override;
    bool cancelled() override { return cancelled_->load(); }
    // Cancels from the program's side (shutdown), as the button does.
    void cancel() { cancelled_->store(true); }

private:
    std::shared_ptr<std::atomic<bool>> cancelled_;
    std::shared_ptr<WProgressDialogHolder> holder_;
};
