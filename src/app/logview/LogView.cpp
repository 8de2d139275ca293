#include "app/logview/LogView.h"

#include "app/BusyState.h"
#include "app/form1/Form1.h"
#include "app/form1/Views.h"
#include "log/BackupLog.h"
#include "toolkit/gui/WCommandButton.h"
#include "toolkit/gui/WListBox.h"
#include "toolkit/gui/WMessageBox.h"
#include "toolkit/gui/WRichTextBox.h"

LogView::LogView(Form1& form, const BusyState& busy, Views& views) : form_(form), busy_(busy), views_(views) {
    form_.cb_log_anzeigen->connect(WEventId::ClickEvent, this, &LogView::onShowLogCommand);
    form_.cb_log_loeschen->connect(WEventId::ClickEvent, this, &LogView::onClearLogCommand);
    form_.cb_log_schliessen->connect(WEventId::ClickEvent, this, &LogView::onCloseCommand);
}

void LogView::ShowLog() {
    // The whole file at once: appended line by line, a log of some megabytes would take minutes.
    WString text;
    for (const WString& line : BackupLog::ReadLines())
        text += line + "\n";
    form_.rtb_anzeige->setText(text);
    form_.rtb_anzeige->appendText("", true); // the caret behind the last line, as after appending it
    form_.rtb_anzeige->scrollLines(-500);
}

void LogView::ClearLog() {
    const int answer =
        WMessageBox::show(&form_, "Möchten Sie die Log Datei\nwirklich löschen?"_w,
                          "Morlanz 1.1 - Log Datei löschen?"_w, MB::OKCANCEL | MB::ICONEXCLAMATION | MB::TASKMODAL);
    if (answer != ID::OK)
        return;
    BackupLog::Delete();
    form_.rtb_anzeige->setText("");
}

void LogView::OpenLogView() {
    if (busy_.RefuseWhileBusy(&form_))
        return;
    views_.HideOverview();
    ShowLog();
    views_.ShowLogPanel();
}

void LogView::CloseLogView() {
    form_.rtb_anzeige->setText("");
    views_.HideLogPanel();
    form_.lb_anzeige->setFocus();
    views_.ShowOverview();
}

bool LogView::onShowLogCommand(WEventData&) {
    OpenLogView();
    return true;
}

bool LogView::onClearLogCommand(WEventData&) {
    if (!busy_.RefuseWhileBusy(&form_))
        ClearLog();
    return true;
}

bool LogView::onCloseCommand(WEventData&) {
    CloseLogView();
    return true;
}
