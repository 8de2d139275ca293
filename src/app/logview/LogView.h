#pragma once

class BusyState;
class Form1;
struct WEventData;

// The log view: the history file shown in rtb_anzeige, and clearing it after a question.
class LogView {
public:
    LogView(Form1& form, const BusyState& busy);

    // Fills rtb_anzeige with the log's lines and scrolls back to the top.
    void ShowLog();
    // Asks, and deletes the log and empties the box only on OK.
    void ClearLog();

private:
    bool onShowLogCommand(WEventData& event);
    bool onClearLogCommand(WEventData& event);

    Form1& form_;
    const BusyState& busy_;
};
