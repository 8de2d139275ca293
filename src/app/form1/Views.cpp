#include "app/form1/Views.h"

#include "app/ControllerData.h"
#include "app/effects/Effects.h"
#include "app/form1/Form1.h"
#include "toolkit/gui/WCheckBox.h"
#include "toolkit/gui/WComboBox.h"
#include "toolkit/gui/WLabel.h"
#include "toolkit/gui/WListBox.h"
#include "toolkit/gui/WMaskedTextBox.h"
#include "toolkit/gui/WPictureBox.h"
#include "toolkit/gui/WRichTextBox.h"
#include "toolkit/gui/WTextBox.h"
#include "toolkit/gui/WTreeView.h"

#include <initializer_list>
#include <vector>

namespace {

struct Size {
    int width, height;
};
constexpr Size kLabel{150, 13};
constexpr Size kSmallPicture{77, 35};
constexpr Size kLargePicture{119, 35};

// Parking places of hidden controls.
constexpr int kParkX = 20, kParkY = 10;
constexpr int kPictureParkX = 663, kPictureParkY = 30;

using Controls = std::initializer_list<WWindow*>;

void show(Controls controls, bool visible = true) {
    for (WWindow* c : controls)
        c->setVisible(visible);
}

// The controls ShowEditor makes visible (mtextb_uhr comes later) and HideEditor hides again.
std::vector<WWindow*> editorControls(Form1& f) {
    return {f.label_pfad_waehlen.get(),
            f.tv_dir.get(),
            f.pictb_tv_aktuell.get(),
            f.pictb_quelle.get(),
            f.pictb_quelle_loeschen.get(),
            f.pictb_quelle_aloeschen.get(),
            f.pictb_ziel.get(),
            f.label_name_der_sicherung.get(),
            f.textb_name_der_sicherung.get(),
            f.label_von.get(),
            f.lb_von.get(),
            f.label_nach.get(),
            f.textb_nach.get(),
            f.label_wann.get(),
            f.combo_tag.get(),
            f.label_zeit.get(),
            f.label_aktiv.get(),
            f.checkbox_aktiv.get(),
            f.pictb_sicherung_speichern.get(),
            f.pictb_sicherung_verwerfen.get()};
}

} // namespace

Views::Views(Form1& form, Effects& effects, ControllerData& data, std::function<void()> overviewShown)
    : form_(form), effects_(effects), data_(data), overviewShown_(std::move(overviewShown)) {}

void Views::ShowOverview() {
    Form1& f = form_;
    show({f.label_sicherung.get(), f.lb_anzeige.get(), f.label_inhalt.get(), f.rtb_anzeige.get(), f.pictb_anlegen.get(),
          f.pictb_bearbeiten.get(), f.pictb_loeschen.get(), f.pictb_starten.get(), f.pictb_log_anzeigen.get(),
          f.pictb_beenden.get(), f.pictb_logo.get()});
    f.pictb_logo->setBitmap(144);
    CollapseAll();
    effects_.Place(*f.pictb_logo, 15, 30);
    effects_.Place(*f.label_sicherung, 150, 10);
    effects_.Place(*f.lb_anzeige, 150, 30);
    effects_.Place(*f.label_inhalt, 150, 210);
    effects_.Place(*f.rtb_anzeige, 150, 230);
    effects_.Place(*f.pictb_anlegen, 663, 30);
    effects_.Place(*f.pictb_bearbeiten, 663, 80);
    effects_.Place(*f.pictb_loeschen, 663, 130);
    effects_.Place(*f.pictb_starten, 663, 180);
    effects_.Place(*f.pictb_log_anzeigen, 663, 370);
    effects_.Place(*f.pictb_beenden, 663, 420);
    effects_.PlayEffectSound("MENUE_AUF");
    effects_.Resize(*f.label_sicherung, kLabel.width, kLabel.height);
    effects_.Resize(*f.label_inhalt, kLabel.width, kLabel.height);
    effects_.Resize(*f.lb_anzeige, 500, 170);
    effects_.Resize(*f.rtb_anzeige, 500, 285);
    for (WPictureBox* p : {f.pictb_anlegen.get(), f.pictb_bearbeiten.get(), f.pictb_loeschen.get(),
                           f.pictb_starten.get(), f.pictb_log_anzeigen.get(), f.pictb_beenden.get()})
        effects_.Resize(*p, kLargePicture.width, kLargePicture.height);
    if (overviewShown_)
        overviewShown_();
    f.repaint(true);
}

void Views::HideOverview() {
    Form1& f = form_;
    effects_.PlayEffectSound("MENUE_ZU");
    const Controls pictures = {f.pictb_beenden.get(),  f.pictb_log_anzeigen.get(), f.pictb_starten.get(),
                               f.pictb_loeschen.get(), f.pictb_bearbeiten.get(),   f.pictb_anlegen.get()};
    const Controls others = {f.rtb_anzeige.get(), f.label_inhalt.get(), f.lb_anzeige.get(), f.label_sicherung.get()};
    for (WWindow* c : pictures)
        effects_.Resize(*c, 0, 0);
    for (WWindow* c : others)
        effects_.Resize(*c, 0, 0);
    for (WWindow* c : pictures)
        effects_.Place(*c, kPictureParkX, kPictureParkY);
    for (WWindow* c : Controls{f.label_sicherung.get(), f.lb_anzeige.get(), f.label_inhalt.get(), f.rtb_anzeige.get()})
        effects_.Place(*c, kParkX, kParkY);
    f.repaint(true);
    for (WWindow* c : others)
        c->setVisible(false);
    for (WWindow* c : pictures)
        c->setVisible(false);
}

void Views::ShowEditor() {
    Form1& f = form_;
    for (WWindow* c : editorControls(f))
        c->setVisible(true);
    f.pictb_logo->setVisible(false);
    CollapseAll();
    effects_.Place(*f.pictb_tv_aktuell, 17, 485);
    effects_.Place(*f.tv_dir, 17, 30);
    effects_.Place(*f.label_pfad_waehlen, 17, 10);
    effects_.Place(*f.pictb_ziel, 276, 435);
    effects_.Place(*f.pictb_quelle_aloeschen, 276, 180);
    effects_.Place(*f.pictb_quelle_loeschen, 276, 130);
    effects_.Place(*f.pictb_quelle, 276, 80);
    effects_.Place(*f.combo_tag, 360, 495);
    effects_.Place(*f.textb_name_der_sicherung, 360, 30);
    effects_.Place(*f.label_name_der_sicherung, 360, 10);
    effects_.Place(*f.label_wann, 360, 475);
    effects_.Place(*f.label_zeit, 540, 475);
    effects_.Place(*f.checkbox_aktiv, 620, 495);
    effects_.Place(*f.label_aktiv, 620, 475);
    effects_.Place(*f.textb_nach, 360, 445);
    effects_.Place(*f.label_nach, 360, 425);
    effects_.Place(*f.lb_von, 360, 80);
    effects_.Place(*f.label_von, 360, 60);
    effects_.Place(*f.mtextb_uhr, 540, 495);
    effects_.Place(*f.pictb_sicherung_speichern, 663, 30);
    effects_.Place(*f.pictb_sicherung_verwerfen, 663, 80);
    effects_.PlayEffectSound("MENUE_AUF");
    f.textb_dummy->setVisible(false);
    show({f.combo_tag.get(), f.mtextb_uhr.get()});
    effects_.Resize(*f.label_pfad_waehlen, kLabel.width, kLabel.height);
    effects_.Resize(*f.tv_dir, 250, 445);
    effects_.Resize(*f.pictb_tv_aktuell, kLargePicture.width, kLargePicture.height);
    for (WPictureBox* p :
         {f.pictb_quelle.get(), f.pictb_quelle_loeschen.get(), f.pictb_quelle_aloeschen.get(), f.pictb_ziel.get()})
        effects_.Resize(*p, kSmallPicture.width, kSmallPicture.height);
    effects_.Resize(*f.label_name_der_sicherung, kLabel.width, kLabel.height);
    effects_.Resize(*f.textb_name_der_sicherung, 290, 20);
    effects_.Resize(*f.label_von, kLabel.width, kLabel.height);
    effects_.Resize(*f.lb_von, 290, 335);
    effects_.Resize(*f.label_nach, kLabel.width, kLabel.height);
    effects_.Resize(*f.textb_nach, 290, 20);
    effects_.Resize(*f.label_wann, kLabel.width, kLabel.height);
    effects_.Resize(*f.label_zeit, 50, 13);
    effects_.Resize(*f.label_aktiv, 50, 13);
    effects_.Resize(*f.checkbox_aktiv, 50, 20);
    effects_.Resize(*f.combo_tag, 150, 20);
    effects_.Resize(*f.mtextb_uhr, 50, 20);
    effects_.Resize(*f.pictb_sicherung_speichern, kLargePicture.width, kLargePicture.height);
    effects_.Resize(*f.pictb_sicherung_verwerfen, kLargePicture.width, kLargePicture.height);
    EnableSaveButton(false);
    f.repaint(true);
}

void Views::HideEditor() {
    Form1& f = form_;
    effects_.PlayEffectSound("MENUE_ZU");
    for (WWindow* c :
         Controls{f.pictb_sicherung_verwerfen.get(), f.pictb_sicherung_speichern.get(), f.pictb_tv_aktuell.get(),
                  f.label_pfad_waehlen.get(), f.checkbox_aktiv.get(), f.label_aktiv.get(), f.textb_dummy.get(),
                  f.label_zeit.get(), f.combo_tag.get(), f.label_wann.get(), f.textb_nach.get(), f.label_nach.get(),
                  f.lb_von.get(), f.label_von.get()})
        effects_.Resize(*c, 0, 0);
    show({f.textb_dummy.get(), f.mtextb_uhr.get(), f.combo_tag.get()}, false);
    // mtextb_uhr keeps its size; it is hidden.
    for (WWindow* c : Controls{f.pictb_quelle.get(), f.pictb_quelle_loeschen.get(), f.pictb_quelle_aloeschen.get(),
                               f.pictb_ziel.get(), f.textb_name_der_sicherung.get(), f.label_name_der_sicherung.get(),
                               f.tv_dir.get()})
        effects_.Resize(*c, 0, 0);
    for (WWindow* c :
         Controls{f.label_pfad_waehlen.get(), f.tv_dir.get(), f.pictb_tv_aktuell.get(), f.pictb_quelle.get(),
                  f.pictb_quelle_loeschen.get(), f.pictb_quelle_aloeschen.get(), f.pictb_ziel.get(),
                  f.label_name_der_sicherung.get(), f.textb_name_der_sicherung.get(), f.label_von.get(), f.lb_von.get(),
                  f.label_nach.get(), f.textb_nach.get(), f.label_wann.get(), f.combo_tag.get(), f.label_zeit.get(),
                  f.textb_dummy.get(), f.label_aktiv.get(), f.checkbox_aktiv.get()})
        effects_.Place(*c, kParkX, kParkY);
    effects_.Place(*f.pictb_sicherung_speichern, kPictureParkX, kPictureParkY);
    effects_.Place(*f.pictb_sicherung_verwerfen, kPictureParkX, kPictureParkY);
    f.repaint(true);
    for (WWindow* c : editorControls(f))
        c->setVisible(false);
    f.mtextb_uhr->setVisible(false);
    f.pictb_logo->setVisible(true);
}

void Views::ShowLogPanel() {
    Form1& f = form_;
    show({f.label_log.get(), f.rtb_anzeige.get(), f.pictb_log_loeschen.get(), f.pictb_log_schliessen.get()});
    effects_.Place(*f.rtb_anzeige, 150, 30);
    effects_.Place(*f.label_log, 150, 10);
    effects_.Place(*f.pictb_log_schliessen, 663, 80);
    effects_.Place(*f.pictb_log_loeschen, 663, 30);
    effects_.PlayEffectSound("MENUE_AUF");
    effects_.Resize(*f.label_log, kLabel.width, kLabel.height);
    effects_.Resize(*f.rtb_anzeige, 500, 484);
    effects_.Resize(*f.pictb_log_loeschen, kLargePicture.width, kLargePicture.height);
    effects_.Resize(*f.pictb_log_schliessen, kLargePicture.width, kLargePicture.height);
    f.repaint(true);
}

void Views::HideLogPanel() {
    Form1& f = form_;
    effects_.PlayEffectSound("MENUE_ZU");
    effects_.Resize(*f.pictb_log_schliessen, 0, 0);
    effects_.Resize(*f.pictb_log_loeschen, 0, 0);
    effects_.Resize(*f.rtb_anzeige, 0, 0);
    effects_.Resize(*f.label_log, 0, 0);
    effects_.Place(*f.label_log, kParkX, kParkY);
    effects_.Place(*f.rtb_anzeige, kParkX, kParkY);
    effects_.Place(*f.pictb_log_loeschen, kPictureParkX, kPictureParkY);
    effects_.Place(*f.pictb_log_schliessen, kPictureParkX, kPictureParkY);
    f.repaint(true);
    show({f.label_log.get(), f.rtb_anzeige.get(), f.pictb_log_loeschen.get(), f.pictb_log_schliessen.get()}, false);
}

void Views::CollapseAll() {
    Form1& f = form_;
    // Immediate (the move delay), except pictb_ziel, which shrinks with the size delay.
    auto collapse = [this](WWindow& c) { SizeControl(c, 0, 0, effects_.moveDelay()); };
    for (WWindow* c : Controls{f.pictb_beenden.get(),
                               f.pictb_log_anzeigen.get(),
                               f.pictb_starten.get(),
                               f.pictb_loeschen.get(),
                               f.pictb_bearbeiten.get(),
                               f.pictb_anlegen.get(),
                               f.rtb_anzeige.get(),
                               f.label_inhalt.get(),
                               f.lb_anzeige.get(),
                               f.label_sicherung.get(),
                               f.pictb_sicherung_verwerfen.get(),
                               f.pictb_sicherung_speichern.get(),
                               f.pictb_tv_aktuell.get(),
                               f.label_pfad_waehlen.get(),
                               f.checkbox_aktiv.get(),
                               f.label_aktiv.get(),
                               f.textb_dummy.get(),
                               f.label_zeit.get(),
                               f.combo_tag.get(),
                               f.label_wann.get(),
                               f.textb_nach.get(),
                               f.label_nach.get(),
                               f.lb_von.get(),
                               f.label_von.get(),
                               f.pictb_quelle.get(),
                               f.pictb_quelle_loeschen.get(),
                               f.pictb_quelle_aloeschen.get()})
        collapse(*c);
    effects_.Resize(*f.pictb_ziel, 0, 0);
    collapse(*f.textb_name_der_sicherung);
    collapse(*f.label_name_der_sicherung);
    collapse(*f.tv_dir);
    collapse(*f.rtb_anzeige);
    collapse(*f.label_log);
    MoveControl(*f.label_log, kParkX, kParkY, effects_.moveDelay());
    MoveControl(*f.rtb_anzeige, kParkX, kParkY, effects_.moveDelay());
    collapse(*f.pictb_log_schliessen);
    collapse(*f.pictb_log_loeschen);
}

void Views::CollapseLogo() {
    effects_.Resize(*form_.pictb_logo, 0, 0);
}

void Views::EnableSourceButton(bool active) {
    data_.sourceButtonInactive = !active;
    form_.pictb_quelle->setBitmap(active ? 100 : 136);
}

void Views::EnableTargetButton(bool active) {
    data_.targetButtonInactive = !active;
    form_.pictb_ziel->setBitmap(active ? 106 : 135);
}

void Views::EnableSaveButton(bool active) {
    data_.saveButtonInactive = !active;
    form_.pictb_sicherung_speichern->setBitmap(active ? 108 : 110);
}
