#include "app/form1/Form1.h"

#include "resources/MorlanzResources.h"
#include "toolkit/gui/WAnimation.h"
#include "toolkit/gui/WCheckBox.h"
#include "toolkit/gui/WComboBox.h"
#include "toolkit/gui/WCommandButton.h"
#include "toolkit/gui/WLabel.h"
#include "toolkit/gui/WListBox.h"
#include "toolkit/gui/WMaskedTextBox.h"
#include "toolkit/gui/WPictureBox.h"
#include "toolkit/gui/WPopupMenu.h"
#include "toolkit/gui/WRichTextBox.h"
#include "toolkit/gui/WTextBox.h"
#include "toolkit/gui/WTreeView.h"

namespace {

constexpr WRgb kFormBack{255, 255, 204};
constexpr WRgb kLabelText{128, 0, 0};
constexpr WRgb kWhite{255, 255, 255};

template <class T> std::unique_ptr<T> make(WForm& form, int id) {
    return std::make_unique<T>(form, id);
}

} // namespace

Form1::Form1() = default;
Form1::~Form1() = default;

bool Form1::create() {
    if (!WForm::create("ID_Form1", "8.MS Sans Serif"))
        return false;
    setBackColor(kFormBack);
    createControls();
    applyAppearance();
    if (!loadMenu("ID_Form1_menu_1"))
        return false;
    popup = WPopupMenu::load(this, "ID_Form1_popup");
    popupOrdner = WPopupMenu::load(this, "ID_Form1_popup_ordner");
    textb_nach->setContextMenu(popupOrdner.get());
    return true;
}

void Form1::createControls() {
    using namespace Form1Id;
    tv_dir = make<WTreeView>(*this, Form1Id::tv_dir);
    lb_von = make<WListBox>(*this, Form1Id::lb_von);
    combo_tag = make<WComboBox>(*this, Form1Id::combo_tag);
    for (const char* day :
         {"täglich", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Sonnabend", "Sonntag"})
        combo_tag->addItem(*WString::fromUtf8(day));
    mtextb_uhr = make<WMaskedTextBox>(*this, Form1Id::mtextb_uhr);
    mtextb_uhr->setMask("##:##");
    label_wann = make<WLabel>(*this, Form1Id::label_wann);
    label_nach = make<WLabel>(*this, Form1Id::label_nach);
    label_von = make<WLabel>(*this, Form1Id::label_von);
    label_name_der_sicherung = make<WLabel>(*this, Form1Id::label_name_der_sicherung);
    label_pfad_waehlen = make<WLabel>(*this, Form1Id::label_pfad_waehlen);
    textb_name_der_sicherung = make<WTextBox>(*this, Form1Id::textb_name_der_sicherung);
    textb_nach = make<WTextBox>(*this, Form1Id::textb_nach);
    rtb_anzeige = make<WRichTextBox>(*this, Form1Id::rtb_anzeige);
    lb_anzeige = make<WListBox>(*this, Form1Id::lb_anzeige);
    label_inhalt = make<WLabel>(*this, Form1Id::label_inhalt);
    label_sicherung = make<WLabel>(*this, Form1Id::label_sicherung);
    label_zeit = make<WLabel>(*this, Form1Id::label_zeit);
    label_log = make<WLabel>(*this, Form1Id::label_log);
    textb_dummy = make<WTextBox>(*this, Form1Id::textb_dummy);
    checkbox_aktiv = make<WCheckBox>(*this, Form1Id::checkbox_aktiv);
    label_aktiv = make<WLabel>(*this, Form1Id::label_aktiv);
    label_datum_zeit = make<WLabel>(*this, Form1Id::label_datum_zeit);
    anim_1 = make<WAnimation>(*this, Form1Id::anim_1);

    // Picture buttons start with their normal bitmap; the save button starts inactive.
    const std::pair<std::unique_ptr<WPictureBox>*, std::pair<int, int>> pictures[] = {
        {&pictb_anlegen, {Form1Id::pictb_anlegen, 116}},
        {&pictb_bearbeiten, {Form1Id::pictb_bearbeiten, 118}},
        {&pictb_loeschen, {Form1Id::pictb_loeschen, 121}},
        {&pictb_starten, {Form1Id::pictb_starten, 124}},
        {&pictb_log_anzeigen, {Form1Id::pictb_log_anzeigen, 127}},
        {&pictb_beenden, {Form1Id::pictb_beenden, 129}},
        {&pictb_quelle, {Form1Id::pictb_quelle, 100}},
        {&pictb_quelle_loeschen, {Form1Id::pictb_quelle_loeschen, 102}},
        {&pictb_quelle_aloeschen, {Form1Id::pictb_quelle_aloeschen, 104}},
        {&pictb_ziel, {Form1Id::pictb_ziel, 106}},
        {&pictb_tv_aktuell, {Form1Id::pictb_tv_aktuell, 114}},
        {&pictb_sicherung_speichern, {Form1Id::pictb_sicherung_speichern, 110}},
        {&pictb_sicherung_verwerfen, {Form1Id::pictb_sicherung_verwerfen, 112}},
        {&pictb_log_loeschen, {Form1Id::pictb_log_loeschen, 131}},
        {&pictb_log_schliessen, {Form1Id::pictb_log_schliessen, 133}},
        {&pictb_logo, {Form1Id::pictb_logo, 142}},
    };
    for (const auto& [member, ids] : pictures) {
        *member = make<WPictureBox>(*this, ids.first);
        (*member)->setBitmap(ids.second);
    }

    const std::pair<std::unique_ptr<WCommandButton>*, int> buttons[] = {
        {&cb_anlegen, Form1Id::cb_anlegen},
        {&cb_bearbeiten, Form1Id::cb_bearbeiten},
        {&cb_loeschen, Form1Id::cb_loeschen},
        {&cb_starten, Form1Id::cb_starten},
        {&cb_log_anzeigen, Form1Id::cb_log_anzeigen},
        {&cb_beenden, Form1Id::cb_beenden},
        {&cb_speichern, Form1Id::cb_speichern},
        {&cb_verwerfen, Form1Id::cb_verwerfen},
        {&cb_lade_pfad_von, Form1Id::cb_lade_pfad_von},
        {&cb_loesche_pfad_von, Form1Id::cb_loesche_pfad_von},
        {&cb_loesche_alles_von, Form1Id::cb_loesche_alles_von},
        {&cb_lade_pfad_nach, Form1Id::cb_lade_pfad_nach},
        {&cb_log_loeschen, Form1Id::cb_log_loeschen},
        {&cb_log_schliessen, Form1Id::cb_log_schliessen},
        {&cb_tv_aktuell, Form1Id::cb_tv_aktuell},
        {&cb_1, Form1Id::cb_1},
        {&cb_2, Form1Id::cb_2},
    };
    for (const auto& [member, id] : buttons)
        *member = make<WCommandButton>(*this, id);
    label_1 = make<WLabel>(*this, Form1Id::label_1);
}

void Form1::setEditorTabOrder() {
    // The editor in the order it reads: the tree and its buttons, then the fields, then save.
    WWindow::setTabOrder({tv_dir.get(), pictb_tv_aktuell.get(), pictb_quelle.get(), pictb_quelle_loeschen.get(),
                          pictb_quelle_aloeschen.get(), pictb_ziel.get(), textb_name_der_sicherung.get(), lb_von.get(),
                          textb_nach.get(), combo_tag.get(), mtextb_uhr.get(), checkbox_aktiv.get(),
                          pictb_sicherung_speichern.get(), pictb_sicherung_verwerfen.get()});
}

void Form1::applyAppearance() {
    // Every control but the picture boxes and the hidden buttons uses the font "8.Arial".
    WWindow* const arialControls[] = {
        tv_dir.get(),
        lb_von.get(),
        combo_tag.get(),
        mtextb_uhr.get(),
        label_wann.get(),
        label_nach.get(),
        label_von.get(),
        label_name_der_sicherung.get(),
        label_pfad_waehlen.get(),
        textb_name_der_sicherung.get(),
        textb_nach.get(),
        rtb_anzeige.get(),
        lb_anzeige.get(),
        label_inhalt.get(),
        label_sicherung.get(),
        label_zeit.get(),
        label_log.get(),
        textb_dummy.get(),
        checkbox_aktiv.get(),
        label_aktiv.get(),
        label_datum_zeit.get(),
        anim_1.get(),
    };
    for (WWindow* control : arialControls)
        control->setFont("8.Arial");

    WLabel* const darkRedLabels[] = {
        label_wann.get(),         label_nach.get(),   label_von.get(),       label_name_der_sicherung.get(),
        label_pfad_waehlen.get(), label_inhalt.get(), label_sicherung.get(), label_zeit.get(),
        label_log.get(),          label_aktiv.get(),  label_datum_zeit.get()};
    for (WLabel* label : darkRedLabels)
        label->setTextColor(kLabelText);
    // Screen readers name each field by its caption label; the stray text box is never a stop.
    const std::pair<WWindow*, const char*> captions[] = {
        {tv_dir.get(), "Pfad wählen"},
        {lb_von.get(), "von"},
        {combo_tag.get(), "wann"},
        {mtextb_uhr.get(), "Zeit"},
        {textb_name_der_sicherung.get(), "Name der Sicherung"},
        {textb_nach.get(), "nach"},
        {checkbox_aktiv.get(), "aktiv"},
        {lb_anzeige.get(), "Sicherung"},
        {rtb_anzeige.get(), "Inhalt der Sicherung"},
    };
    for (const auto& [control, caption] : captions)
        control->setAccessibleName(*WString::fromUtf8(caption));
    textb_dummy->setFocusable(false);
    textb_nach->setBackColor(kWhite);
    rtb_anzeige->setBackColor(kWhite);
    label_datum_zeit->setBackColor(kFormBack);
}
