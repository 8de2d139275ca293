#include "app/editor/Form5.h"

#include "app/editor/JobEditorChecks.h"
#include "resources/MorlanzResources.h"
#include "storage/ProgramSettings.h"
#include "toolkit/gui/WCommandButton.h"
#include "toolkit/gui/WMessageBox.h"
#include "toolkit/gui/WTextBox.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace {

WString systemReason(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return "Sie haben keine Berechtigung, in diesem Ordner einen Ordner anzulegen."_w;
    case EEXIST:
        return "Dort gibt es schon eine Datei dieses Namens."_w;
    case ENOENT:
    case ENOTDIR:
        return "Der Ordner, in dem er angelegt werden soll, ist nicht vorhanden."_w;
    case EROFS:
        return "Der Datenträger ist schreibgeschützt."_w;
    case ENOSPC:
    case EDQUOT:
        return "Auf dem Datenträger ist kein Platz mehr."_w;
    case ENAMETOOLONG:
        return "Der Name ist zu lang."_w;
    default:
        return WString::fromUtf8(std::strerror(error)).value_or(WString("Unbekannter Fehler."));
    }
}

} // namespace

Form5::Form5() = default;
Form5::~Form5() = default;

bool Form5::create(WForm& owner, std::function<void(bool)> closed) {
    if (!WForm::create("ID_Form5", "8.MS Sans Serif", &owner))
        return false;
    closed_ = std::move(closed);
    // Created in the order Tab goes through them: the name, "Ok", "Abbrechen".
    textb_nach = std::make_unique<WTextBox>(*this, Form5Id::textb_nach);
    cb_ordner_erstellen = std::make_unique<WCommandButton>(*this, Form5Id::cb_ordner_erstellen);
    cb_1 = std::make_unique<WCommandButton>(*this, Form5Id::cb_1);
    for (WWindow* control : {static_cast<WWindow*>(textb_nach.get()), static_cast<WWindow*>(cb_ordner_erstellen.get()),
                             static_cast<WWindow*>(cb_1.get())})
        control->setFont("8.Arial");
    textb_nach->setAccessibleName("Name des neuen Ordners");
    cb_ordner_erstellen->setEnabled(false);

    textb_nach->connect(WEventId::ChangeEvent, this, &Form5::onChange);
    cb_ordner_erstellen->connect(WEventId::ClickEvent, this, &Form5::onOk);
    cb_1->connect(WEventId::ClickEvent, this, &Form5::onCancel);
    connect(WEventId::CloseEvent, this, &Form5::onClose);
    setDialogKeys(cb_ordner_erstellen.get(), cb_1.get());
    textb_nach->setFocus();
    return true;
}

WString Form5::SubfolderPath(const WString& parent, const WString& name) {
    return parent == "/" ? parent + name : parent + "/" + name;
}

WString Form5::FolderRefusal(const WString& parent, const WString& name) {
    if (name.isEmpty())
        return "Bitte geben Sie einen Namen ein."_w;
    if (name == "." || name == "..")
        return "Die Namen \".\" und \"..\" sind für Ordner nicht möglich."_w;
    if (name.bytes().find('/') != std::string::npos)
        return "Ein Ordnername darf keinen Schrägstrich \"/\" enthalten."_w;
    if (parent.isEmpty() || parent.at(0) != '/')
        return "Es ist kein Zielordner gewählt."_w;
    // The new folder becomes the destination, so it must be a path the job can store.
    return JobEditorChecks::DestinationRefusal(SubfolderPath(parent, name));
}

bool Form5::CreateSubfolder() {
    const WString parent = ProgramSettings::Path();
    const WString name = textb_nach->text();
    const WString path = SubfolderPath(parent, name);
    WString reason = FolderRefusal(parent, name);
    if (reason.isEmpty() && ::mkdir(path.toUtf8().c_str(), 0777) != 0) {
        struct stat st {};
        const int error = errno;
        // An existing folder of that name is simply taken.
        if (!(error == EEXIST && ::stat(path.toUtf8().c_str(), &st) == 0 && S_ISDIR(st.st_mode)))
            reason = systemReason(error);
    }
    if (reason.isEmpty() && !ProgramSettings::SetPath(path))
        reason = "Der neue Ordner ist angelegt, konnte aber nicht als Ziel übergeben werden "
                 "(die Datei \"Einstellung.ini\" ist nicht beschreibbar)."_w;
    if (!reason.isEmpty()) {
        WMessageBox::show(this, "Der Ordner \""_w + name + "\" kann nicht angelegt werden.\n\n"_w + reason,
                          "Morlanz 1.1 - Fehler", MB::OK | MB::ICONEXCLAMATION | MB::TASKMODAL);
        textb_nach->setFocus();
        return false;
    }
    report(true);
    close();
    return true;
}

void Form5::report(bool created) {
    if (closed_) {
        const auto closed = std::move(closed_);
        closed_ = nullptr;
        closed(created);
    }
}

bool Form5::onChange(WEventData&) {
    // Erasing the name greys "Ok" again.
    cb_ordner_erstellen->setEnabled(!textb_nach->text().isEmpty());
    return false;
}

bool Form5::onOk(WEventData&) {
    CreateSubfolder();
    return true;
}

bool Form5::onCancel(WEventData&) {
    report(false);
    close();
    return true;
}

bool Form5::onClose(WEventData&) {
    report(false);
    return false;
}
