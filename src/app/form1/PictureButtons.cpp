#include "app/form1/PictureButtons.h"

#include "app/ControllerData.h"
#include "app/form1/Form1.h"
#include "app/form1/Views.h"
#include "toolkit/gui/WPictureBox.h"

PictureButtons::PictureButtons(Form1& f, Effects& effects, ControllerData& d, Views& views, const Commands& c) {
    using P = PictureButton;
    struct Row {
        WPictureBox* box;
        const char* caption;
        P::Pictures pictures;
        P::Behaviour behaviour;
        std::function<void()> command;
        std::function<void()> afterRelease;
    };
    const auto noSourceNoTarget = [&views] {
        views.EnableSourceButton(false);
        views.EnableTargetButton(false);
    };
    const auto noSaveSourceTarget = [&views] {
        views.EnableSaveButton(false);
        views.EnableSourceButton(false);
        views.EnableTargetButton(false);
    };
    const Row rows[] = {
        {f.pictb_anlegen.get(), "Sicherung anlegen", {116, 117}, {}, c.newJob, noSourceNoTarget},
        {f.pictb_bearbeiten.get(),
         "Sicherung bearbeiten",
         {118, 119},
         {&d.jobButtonsInactive},
         c.editJob,
         noSaveSourceTarget},
        {f.pictb_loeschen.get(),
         "Sicherung löschen",
         {121, 122},
         {&d.jobButtonsInactive, false, true},
         c.deleteJob,
         c.updateJobButtons},
        {f.pictb_starten.get(), "Sicherung starten", {124, 125}, {&d.jobButtonsInactive}, c.startJob, {}},
        {f.pictb_log_anzeigen.get(), "Logdatei anzeigen", {127, 128}, {}, c.openLog, {}},
        {f.pictb_beenden.get(), "Programm beenden", {129, 130}, {}, c.exit, {}},
        {f.pictb_quelle.get(), "Quelle >>", {100, 101}, {&d.sourceButtonInactive}, c.addSource, {}},
        {f.pictb_quelle_loeschen.get(), "löschen", {102, 103}, {}, c.removeSources, {}},
        {f.pictb_quelle_aloeschen.get(), "alles löschen", {104, 105}, {}, c.removeAllSources, {}},
        {f.pictb_ziel.get(), "Ziel >>", {106, 107}, {&d.targetButtonInactive}, c.setDestination, {}},
        {f.pictb_tv_aktuell.get(), "Aktualisieren", {114, 115}, {}, c.refreshTree, {}},
        {f.pictb_sicherung_speichern.get(),
         "Sicherung speichern",
         {108, 109},
         {&d.saveButtonInactive, true},
         c.saveJob,
         {}},
        {f.pictb_sicherung_verwerfen.get(), "Sicherung verwerfen", {112, 111}, {}, c.discardJob, {}},
        {f.pictb_log_loeschen.get(), "Logdatei löschen", {131, 132}, {}, c.clearLog, {}},
        {f.pictb_log_schliessen.get(), "Logdatei schließen", {133, 134}, {}, c.closeLog, {}},
    };
    for (const Row& row : rows)
        buttons_.push_back(std::make_unique<PictureButton>(*row.box, row.caption, effects, row.pictures, row.behaviour,
                                                           row.command, row.afterRelease));
}
