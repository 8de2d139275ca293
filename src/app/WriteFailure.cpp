#include "app/WriteFailure.h"

#include "toolkit/gui/WMessageBox.h"

WString WriteFailureText(const WriteResult& result) {
    WString text = "Die Änderung wurde nicht gespeichert.\nDie Dateien sind unverändert."_w;
    if (!result.file.isEmpty())
        text += "\n\nDatei: " + result.file;
    if (!result.reason.isEmpty())
        text += (result.file.isEmpty() ? "\n\nGrund: " : "\nGrund: ") + result.reason;
    return text;
}

void ReportWriteFailure(WWindow* owner, const WriteResult& result) {
    if (result.ok)
        return;
    WMessageBox::show(owner, WriteFailureText(result), "Morlanz 1.1 - Fehler",
                      MB::OK | MB::ICONEXCLAMATION | MB::TASKMODAL);
}
