#include "ScriptedMessageBoxes.h"

ScriptedMessageBoxes::ScriptedMessageBoxes(int defaultAnswer) : defaultAnswer_(defaultAnswer) {
    WMessageBox::setPresenter(this);
}

ScriptedMessageBoxes::~ScriptedMessageBoxes() {
    WMessageBox::setPresenter(nullptr);
}

int ScriptedMessageBoxes::present(const WMessageRequest& request) {
    shown_.push_back(request);
    if (script_.empty())
        return defaultAnswer_;
    const int answer = script_.front();
    script_.pop_front();
    return answer;
}
