#include "app/settings/Form2.h"

#include "app/BusyState.h"
#include "resources/MorlanzResources.h"
#include "storage/ProgramSettings.h"
#include "toolkit/gui/WCheckBox.h"
#include "toolkit/gui/WCommandButton.h"
#include "toolkit/gui/WLabel.h"

Form2::Form2() = default;
Form2::~Form2() = default;

bool Form2::create(WForm& owner, const BusyState& busy) {
    if (!WForm::create("ID_FORM2", "8.MS Sans Serif", &owner))
        return false;
    busy_ = &busy;
    // Created in the order Tab goes through them: the options first, then "Ok" and "Abbrechen".
    checkbox_kopie = std::make_unique<WCheckBox>(*this, Form2Id::checkbox_kopie);
    label_kopie = std::make_unique<WLabel>(*this, Form2Id::label_kopie);
    checkbox_status = std::make_unique<WCheckBox>(*this, Form2Id::checkbox_status);
    checkbox_sound_ani = std::make_unique<WCheckBox>(*this, Form2Id::checkbox_sound_ani);
    cb_speichern = std::make_unique<WCommandButton>(*this, Form2Id::cb_speichern);
    cb_1 = std::make_unique<WCommandButton>(*this, Form2Id::cb_1);
    WWindow* const controls[] = {cb_1.get(),        cb_speichern.get(),    checkbox_kopie.get(),
                                 label_kopie.get(), checkbox_status.get(), checkbox_sound_ani.get()};
    for (WWindow* control : controls)
        control->setFont("8.Arial");

    checkbox_kopie->setText("Bei jedem Sicherungsvorgang gesicherte Daten überschreiben ?"_w);
    label_kopie->setText("Ist diese Option deaktiviert, wird für jeden Sicherungsvorgang eine\n"
                         "Kopie angelegt. (Dadurch kann der Datenträger an die\n"
                         "Kapazitätsgrenze geraten. Es wird deshalb empfohlen, alte nicht\n"
                         "mehr benötigte, Sicherungsdaten regelmässig zu löschen.)"_w);
    checkbox_status->setText("Programm immer minimiert als Icon starten ?"_w);
    checkbox_sound_ani->setText("Sound und Animation an/aus"_w);

    const ProgramSettings::Marks marks = ProgramSettings::ReadMarks();
    checkbox_kopie->setChecked(marks.overwrite);
    checkbox_status->setChecked(marks.startHidden);
    checkbox_sound_ani->setChecked(marks.effects);

    cb_speichern->connect(WEventId::ClickEvent, this, &Form2::onOk);
    cb_1->connect(WEventId::ClickEvent, this, &Form2::onCancel);
    setDialogKeys(cb_speichern.get(), cb_1.get());
    checkbox_kopie->setFocus();
    return true;
}

bool Form2::onOk(WEventData&) {
    if (busy_->RefuseWhileBusy(this))
        return true;
    ProgramSettings::WriteMarks(
        {checkbox_kopie->isChecked(), checkbox_status->isChecked(), checkbox_sound_ani->isChecked()});
    close();
    return true;
}

bool Form2::onCancel(WEventData&) {
    close();
    return true;
}
