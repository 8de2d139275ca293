#pragma once

class BusyState;
class Form1;
class Views;
struct WEventData;

// The log view: the history file shown in rtb_anzeige, clearing it after a question, and the way
// into the view and back to the overview.
class LogView {
public:
    LogView(Form1& form, const BusyState& busy, Views& views);

    // Fills rtb_anzeige with the log's lines and scrolls back to the top.
    void ShowLog();
    // Asks, and deletes the log and empties the box only on OK.
    void ClearLog();
    // From the overview: the overview goes, the log is loaded, the log view comes. Refused during a
    // run by hand.
    void OpenLogView();
    // Back to the overview, which shows the selected job's details once.
    void CloseLogView();

private:
    bool onShowLogCommand(WEventData& event);
    bool onClearLogCommand(WEventData& event);
    bool onCloseCommand(WEventData& event);

    Form1& form_;
    const BusyState& busy_;
    Views& views_;
};
