#include "app/logview/LogView.h"

#include "app/BusyState.h"
#include "app/form1/Form1.h"
#include "log/BackupLog.h"
#include "toolkit/gui/WCommandButton.h"
#include "toolkit/gui/WMessageBox.h"
#include "toolkit/gui/WRichTextBox.h"

LogView::LogView(Form1& form, const BusyState& busy) : form_(form), busy_(busy) {
    form_.cb_log_anzeigen->connect(WEventId::ClickEvent, this, &LogView::onShowLogCommand);
    form_.cb_log_loeschen->connect(WEventId::ClickEvent, this, &LogView::onClearLogCommand);
}

void LogView::ShowLog() {
    form_.rtb_anzeige->setText("");
    for (const WString& line : BackupLog::ReadLines())
        form_.rtb_anzeige->appendText(line + "\n", true);
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

bool LogView::onShowLogCommand(WEventData&) {
    if (!busy_.RefuseWhileBusy(&form_))
        ShowLog();
    return true;
}

bool LogView::onClearLogCommand(WEventData&) {
    if (!busy_.RefuseWhileBusy(&form_))
        ClearLog();
    return true;
}
