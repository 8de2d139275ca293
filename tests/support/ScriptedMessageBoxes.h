#pragma once

#include "support/SeamScope.h"
#include "toolkit/gui/WMessageBox.h"

#include <deque>
#include <vector>

// Answers message boxes from a script and records what was asked; installed for its lifetime.
// With the script empty every box is answered with defaultAnswer.
class ScriptedMessageBoxes : public WMessagePresenter {
public:
    explicit ScriptedMessageBoxes(int defaultAnswer = ID::OK);
    ~ScriptedMessageBoxes() override;

    void answerNext(int answer) { script_.push_back(answer); }
    int present(const WMessageRequest& request) override;
    const std::vector<WMessageRequest>& shown() const { return shown_; }

private:
    std::deque<int> script_;
    std::vector<WMessageRequest> shown_;
    int defaultAnswer_;
    SeamScope<WMessagePresenter> scope_; // last: installed once the script is ready
};
