#pragma once

#include "toolkit/core/FileCopy.h"
#include "toolkit/core/WString.h"

#include <atomic>
#include <memory>

class WProgressDialogHolder;

// What the progress window says; the program's own words, handed in by the program.
struct WProgressTexts {
    WString title;
    WString cancelButton;
    WString fileCount; // "%1" stands for the files done, "%2" for the files in all
};

// The progress window of a copy: a title, a bar, a file count and a cancel button (cancel counts as a failed
// copy). It may be made, fed and dropped on any thread: the window itself lives on the
// user-interface thread and every change reaches it as a queued call, so a worker never waits for
// the window and the window never waits for a worker.
class WProgressWindow : public CopyObserver {
public:
    explicit WProgressWindow(const WProgressTexts& texts);
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
    WString fileCount_;
};
