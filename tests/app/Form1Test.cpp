#include "FixedWorkArea.h"
#include "MainForm.h"
#include "MorlanzResources.h"
#include "ScriptedMessageBoxes.h"
#include "TempWorkDir.h"
#include "WAcceleratorTable.h"
#include "WCheckBox.h"
#include "WComboBox.h"
#include "WCommandButton.h"
#include "WLabel.h"
#include "WListBox.h"
#include "WMaskedTextBox.h"
#include "WMenu.h"
#include "WPictureBox.h"
#include "WPopupMenu.h"
#include "WRichTextBox.h"
#include "WTextBox.h"
#include "WTreeView.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace {

constexpr WRgb kPaleYellow{255, 255, 204};
constexpr WRgb kDarkRed{128, 0, 0};
constexpr WRgb kWhite{255, 255, 255};

class Form1Test : public InTempDir {
protected:
    Form1Test() {
        WResources::install(&MorlanzResources::instance());
        EXPECT_TRUE(form.create());
    }
    FixedWorkArea area{1024, 738};
    ScriptedMessageBoxes boxes;
    MainForm form;
};

std::string utf8(const WString& s) {
    return s.toUtf8();
}

} // namespace

TEST_F(Form1Test, TheWindowItself) {
    EXPECT_EQ(utf8(form.text()), "Morlanz 1.0");
    EXPECT_EQ(form.backColor(), kPaleYellow);
    const QWidget* w = form.widget();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->minimumSize(), w->maximumSize()) << "not resizable";
    EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowMinimizeButtonHint);
}

TEST_F(Form1Test, ControlsCarryTheirIdsClassesAndTexts) {
    struct Expect {
        const WControl* control;
        int id;
        const char* className;
        const char* text;
        const char* tip;
    };
    const Expect table[] = {
        {form.tv_dir.get(), 104, "WTreeView", "", "Dateien oder Ordner wählen"},
        {form.lb_von.get(), 105, "WListBox", "", "diese Dateien sichern"},
        {form.combo_tag.get(), 107, "WComboBox", "täglich", "Tag wählen"},
        {form.label_pfad_waehlen.get(), 113, "WLabel", "Pfad wählen :", ""},
        {form.label_name_der_sicherung.get(), 112, "WLabel", "Name der Sicherung :", ""},
        {form.textb_nach.get(), 123, "WTextBox", "", nullptr},
        {form.rtb_anzeige.get(), 125, "WRichTextBox", "", ""},
        {form.lb_anzeige.get(), 126, "WListBox", "", "Sicherung auswählen"},
        {form.label_inhalt.get(), 127, "WLabel", "Inhalt der Sicherung :", ""},
        {form.label_log.get(), 136, "WLabel", "Log Datei :", ""},
        {form.checkbox_aktiv.get(), 138, "WCheckBox", "", nullptr},
        {form.label_aktiv.get(), 139, "WLabel",
         "aktiv :", "automatische, zeitgesteuerte Sicherung aktivieren [V] oder deaktivieren [  ]"},
        {form.label_datum_zeit.get(), 141, "WLabel", "", ""},
        {form.pictb_anlegen.get(), 146, "WPictureBox", "", "Neue Sicherung anlegen"},
        {form.pictb_loeschen.get(), 148, "WPictureBox", "", "ausgewählte Sicherung löschen"},
        {form.pictb_log_schliessen.get(), 160, "WPictureBox", "", "Logdatei schliessen - zurück zum Hauptmenue"},
        {form.pictb_logo.get(), 164, "WPictureBox", "", ""},
        {form.cb_loeschen.get(), Form1Id::cb_loeschen, "WCommandButton", "Sicherung löschen", ""},
        {form.cb_speichern.get(), Form1Id::cb_speichern, "WCommandButton", "Sicherung speichern und zurück", ""},
        {form.cb_1.get(), Form1Id::cb_1, "WCommandButton", "pause", ""},
        {form.cb_2.get(), Form1Id::cb_2, "WCommandButton", "weiter", ""},
    };
    for (const auto& e : table) {
        ASSERT_NE(e.control, nullptr) << e.id;
        EXPECT_EQ(e.control->id(), e.id);
        EXPECT_STREQ(e.control->className(), e.className) << e.id;
        if (e.control != form.combo_tag.get()) {
            EXPECT_EQ(utf8(e.control->text()), e.text) << e.id;
        }
        if (e.tip) {
            EXPECT_EQ(utf8(e.control->tipText()), e.tip) << e.id;
        }
    }
    EXPECT_EQ(utf8(form.textb_nach->tipText()).substr(0, 56),
              "In diesem Ordner/ Laufwerk werden Ihre Daten gesichert.M");
}

TEST_F(Form1Test, AppearanceFontsAndColours) {
    const WWindow* const arial[] = {form.tv_dir.get(),     form.lb_anzeige.get(),     form.label_log.get(),
                                    form.mtextb_uhr.get(), form.checkbox_aktiv.get(), form.label_datum_zeit.get()};
    for (const WWindow* w : arial)
        EXPECT_EQ(w->fontText(), "8.Arial") << w->className();
    const WLabel* const labels[] = {form.label_wann.get(),         form.label_nach.get(),
                                    form.label_von.get(),          form.label_name_der_sicherung.get(),
                                    form.label_pfad_waehlen.get(), form.label_inhalt.get(),
                                    form.label_sicherung.get(),    form.label_zeit.get(),
                                    form.label_log.get(),          form.label_aktiv.get(),
                                    form.label_datum_zeit.get()};
    for (const WLabel* label : labels)
        EXPECT_EQ(label->textColor(), kDarkRed) << label->layout().name;
    EXPECT_NE(form.label_1->textColor(), kDarkRed);
    EXPECT_EQ(form.textb_nach->backColor(), kWhite);
    EXPECT_EQ(form.rtb_anzeige->backColor(), kWhite);
    EXPECT_EQ(form.label_datum_zeit->backColor(), kPaleYellow);
}

TEST_F(Form1Test, StartingContentOfTheControls) {
    std::vector<std::string> days;
    for (int i = 0; i < form.combo_tag->count(); ++i)
        days.push_back(utf8(form.combo_tag->itemText(i)));
    EXPECT_EQ(days, (std::vector<std::string>{"täglich", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag",
                                              "Sonnabend", "Sonntag"}));
    EXPECT_EQ(form.mtextb_uhr->mask(), "##:##");
    EXPECT_EQ(form.pictb_anlegen->bitmapId(), 116);
    EXPECT_EQ(form.pictb_quelle->bitmapId(), 100);
    EXPECT_EQ(form.pictb_sicherung_speichern->bitmapId(), 110) << "the save button starts inactive";
    EXPECT_EQ(form.pictb_sicherung_verwerfen->bitmapId(), 112);

    // The command buttons and label_1 are hidden; only the clock label, anim_1 and textb_dummy show
    // outside the views.
    for (const WCommandButton* b : {form.cb_anlegen.get(), form.cb_beenden.get(), form.cb_1.get(), form.cb_2.get()})
        EXPECT_FALSE(b->isVisible()) << b->layout().name;
    EXPECT_FALSE(form.label_1->isVisible());
    EXPECT_TRUE(form.label_datum_zeit->isVisible());
    EXPECT_TRUE(form.textb_dummy->isVisible());
}

TEST_F(Form1Test, MenusAndKeyTable) {
    WMenu* bar = form.menu();
    ASSERT_NE(bar, nullptr);
    const std::pair<int, const char*> items[] = {{1001, "Einleitung"}, {1003, "Beenden"}, {1004, "Einstellung"},
                                                 {1006, "Tutorial"},   {1007, "Hilfe"},   {1009, "Impressum"}};
    for (const auto& [id, text] : items) {
        ASSERT_NE(bar->item(id), nullptr) << id;
        EXPECT_EQ(utf8(bar->item(id)->text()), text);
    }
    EXPECT_EQ(utf8(bar->submenu(0)->text()), "Programm");
    EXPECT_EQ(utf8(bar->submenu(2)->text()), "Info");

    ASSERT_NE(form.popup, nullptr);
    for (int id : {10000, 10001, 10002, 10004})
        EXPECT_NE(form.popup->item(id), nullptr) << id;
    EXPECT_EQ(utf8(form.popup->item(10004)->text()), "Beenden");
    ASSERT_NE(form.popupOrdner, nullptr);
    EXPECT_EQ(utf8(form.popupOrdner->item(10000)->text()), "Ordner erstellen");
    EXPECT_EQ(form.textb_nach->contextMenu(), form.popupOrdner.get());

    const WAcceleratorTable* keys = form.accelerators();
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(keys->commandFor('T', WKeyMod::Ctrl), 1001) << "Ctrl+T is bound twice; the first entry wins";
    EXPECT_EQ(keys->commandFor('Z', WKeyMod::Ctrl), 1003);
    EXPECT_EQ(keys->commandFor('E', WKeyMod::Ctrl), 1004);
    EXPECT_EQ(keys->commandFor('H', WKeyMod::Ctrl), 1007);
    EXPECT_EQ(keys->commandFor('I', WKeyMod::Ctrl), 1009);
    EXPECT_EQ(keys->commandFor('T', 0), 0);
    EXPECT_EQ(keys->entries().size(), 6u);
}
