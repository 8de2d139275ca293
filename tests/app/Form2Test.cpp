// The settings form: opened from the main window, its marks read from and written to the file.
#include "Form2.h"
#include "FixedWorkArea.h"
#include "MainForm.h"
#include "MorlanzResources.h"
#include "ScriptedMessageBoxes.h"
#include "TempWorkDir.h"
#include "WCheckBox.h"
#include "WCommandButton.h"
#include "WLabel.h"
#include "WMenu.h"

#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

const char* const kSettings = "Einstellung.ini";

class Form2Test : public InTempDir {
protected:
    Form2Test() {
        WResources::install(&MorlanzResources::instance());
        EXPECT_TRUE(main.create());
    }

    Form2& open() {
        main.OpenSettings();
        EXPECT_NE(main.settingsForm(), nullptr);
        return *main.settingsForm();
    }

    std::string file() const { return TempWorkDir::readBytes(dir.file(kSettings)); }

    FixedWorkArea area{1024, 738};
    ScriptedMessageBoxes boxes;
    MainForm main;
};

} // namespace

TEST_F(Form2Test, OpensFromTheMenuAndFromCtrlEAsAModelessDialogOfTheMainWindow) {
    ASSERT_TRUE(main.menu()->item(MenuId::Einstellung)->choose());
    Form2* form = main.settingsForm();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->text().toUtf8(), "Morlanz 1.0 - Einstellungen");
    EXPECT_EQ(form->widget()->parentWidget(), main.widget()) << "owned by the main window";
    EXPECT_FALSE(form->widget()->isModal());
    EXPECT_TRUE(main.isEnabled()) << "the main window stays usable";

    // A second command brings the open form forward instead of opening another one.
    main.OpenSettings();
    EXPECT_EQ(main.settingsForm(), form);

    form->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->isClosed(); }, 2000));
    QTest::keyClick(main.widget(), Qt::Key_E, Qt::ControlModifier);
    ASSERT_NE(main.settingsForm(), nullptr);
    EXPECT_NE(main.settingsForm(), form) << "Ctrl+E opens it anew";
    EXPECT_TRUE(main.settingsForm()->isVisible());
}

TEST_F(Form2Test, ControlsTextsAndPlaces) {
    Form2& form = open();
    EXPECT_EQ(form.cb_1->text(), "Abbrechen");
    EXPECT_EQ(form.cb_speichern->text(), "Ok");
    EXPECT_EQ(form.checkbox_kopie->text().toUtf8(), "Bei jedem Sicherungsvorgang gesicherte Daten überschreiben ?");
    EXPECT_EQ(form.checkbox_status->text().toUtf8(), "Programm immer minimiert als Icon starten ?");
    EXPECT_EQ(form.checkbox_sound_ani->text().toUtf8(), "Sound und Animation an/aus");
    EXPECT_EQ(form.label_kopie->text().toUtf8().substr(0, 69),
              "Ist diese Option deaktiviert, wird für jeden Sicherungsvorgang eine\n");
    EXPECT_EQ(form.checkbox_kopie->fontText(), "8.Arial");
    // Dialog units of the 8-point font: 1.5 pixels across, 1.625 down, rounded toward zero.
    const WRect ok = form.cb_speichern->rect();
    EXPECT_EQ(ok.x, 202);
    EXPECT_EQ(ok.y, 203);
    EXPECT_EQ(ok.width, 76);
    EXPECT_EQ(ok.height, 29);
    const WRect label = form.label_kopie->rect();
    EXPECT_EQ(label.x, 33);
    EXPECT_EQ(label.y, 40);
}

TEST_F(Form2Test, MissingFileShowsNoMarksAndOkCreatesItWithZeros) {
    Form2& form = open();
    EXPECT_FALSE(form.checkbox_kopie->isChecked());
    EXPECT_FALSE(form.checkbox_status->isChecked());
    EXPECT_FALSE(form.checkbox_sound_ani->isChecked());
    EXPECT_TRUE(dir.entries().empty()) << "opening writes nothing";
    form.cb_speichern->click();
    EXPECT_EQ(file(), "[EINSTELLUNG]\r\nstatus=0\r\nmethode=0\r\n\r\n[SOUNDANI]\r\nstatus=0");
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.isClosed(); }, 2000));
}

TEST_F(Form2Test, OkTwiceKeepsOneLinePerKey) {
    open().checkbox_kopie->setChecked(true);
    main.settingsForm()->cb_speichern->click();
    Form2& again = open();
    EXPECT_TRUE(again.checkbox_kopie->isChecked());
    again.checkbox_sound_ani->setChecked(true);
    again.cb_speichern->click();
    EXPECT_EQ(file(), "[EINSTELLUNG]\r\nstatus=0\r\nmethode=1\r\n\r\n[SOUNDANI]\r\nstatus=1\r\n");
}

TEST_F(Form2Test, CancelAndTheCloseBoxWriteNothing) {
    const std::string before = "[EINSTELLUNG]\r\nmethode=2\r\nstatus=0\r\n\r\n[SOUNDANI]\r\nstatus=2\r\n";
    TempWorkDir::writeBytes(dir.file(kSettings), before);
    Form2& form = open();
    // A hand-written "2" marks the box here, while runs and sound test for exactly "1".
    EXPECT_TRUE(form.checkbox_kopie->isChecked());
    EXPECT_TRUE(form.checkbox_sound_ani->isChecked());
    form.checkbox_kopie->setChecked(false);
    form.checkbox_status->setChecked(true);
    form.checkbox_sound_ani->setChecked(false);
    form.cb_1->click();
    EXPECT_EQ(file(), before);

    Form2& second = open();
    second.checkbox_status->setChecked(true);
    second.close(); // the window's close box
    EXPECT_TRUE(QTest::qWaitFor([&] { return second.isClosed(); }, 2000));
    EXPECT_EQ(file(), before);
}
