#include "support/ScriptedMessageBoxes.h"

ScriptedMessageBoxes::ScriptedMessageBoxes(int defaultAnswer) : defaultAnswer_(defaultAnswer), scope_(this) {}

ScriptedMessageBoxes::~ScriptedMessageBoxes() = default;

int ScriptedMessageBoxes::present(const WMessageRequest& request) {
    shown_.push_back(request);
    if (script_.empty())
        return defaultAnswer_;
    const int answer = script_.front();
    script_.pop_front();
    return answer;
}
