// The settings form: opened from the main window, its marks read from and written to the file.
#include "app/settings/Form2.h"
#include "AppTest.h"
#include "storage/ProgramSettings.h"
#include "toolkit/gui/WCheckBox.h"
#include "toolkit/gui/WCommandButton.h"

#include <QTest>

namespace {

const char* const kSettings = "Einstellung.ini";

class Form2Test : public AppTest {
protected:
    Form2Test() { EXPECT_TRUE(main.create()); }

    Form2& open() {
        main.OpenSettings();
        EXPECT_NE(main.settingsForm(), nullptr);
        return *main.settingsForm();
    }

    std::string file() const { return TempWorkDir::readBytes(dir.file(kSettings)); }

    MainForm main;
};

} // namespace

// The first "Ok" creates the file; "status=" stands in both sections, and a second "Ok" must
// replace each line, not add another.
TEST_F(Form2Test, OkCreatesTheFileAndKeepsOneLinePerKey) {
    Form2& form = open();
    EXPECT_FALSE(form.checkbox_kopie->isChecked());
    EXPECT_FALSE(form.checkbox_status->isChecked());
    EXPECT_FALSE(form.checkbox_sound_ani->isChecked());
    EXPECT_TRUE(dir.entries().empty()) << "opening writes nothing";
    form.cb_speichern->click();
    EXPECT_EQ(file(), "[EINSTELLUNG]\r\nstatus=0\r\nmethode=0\r\n\r\n[SOUNDANI]\r\nstatus=0");
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.isClosed(); }, 2000));

    Form2& again = open();
    again.checkbox_kopie->setChecked(true);
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
    EXPECT_FALSE(ProgramSettings::OverwriteCopies());
    EXPECT_FALSE(ProgramSettings::EffectsOn());
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

namespace {

// Where the form's keys go: its own focus widget, whether or not the window is the active one.
QWidget* focused(Form2& form) {
    return form.widget()->focusWidget();
}

} // namespace

// Tried as a new user would: the focus starts on the first option, Tab then Space toggles that
// option (not "Abbrechen"), Return saves and Escape cancels.
TEST_F(Form2Test, TheKeyboardWorksAsInAnyDialog) {
    Form2& form = open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.widget()));
    EXPECT_TRUE(form.checkbox_kopie->hasFocus());
    QTest::keyClick(focused(form), Qt::Key_Tab);
    EXPECT_TRUE(form.checkbox_status->hasFocus()) << "the options first, then the buttons";
    QTest::keyClick(focused(form), Qt::Key_Space);
    EXPECT_TRUE(form.checkbox_status->isChecked());
    QTest::keyClick(focused(form), Qt::Key_Return);
    EXPECT_EQ(file(), "[EINSTELLUNG]\r\nstatus=1\r\nmethode=0\r\n\r\n[SOUNDANI]\r\nstatus=0");
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.isClosed(); }, 2000)) << "Return: Ok";

    Form2& again = open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(again.widget()));
    again.checkbox_sound_ani->setChecked(true);
    QTest::keyClick(focused(again), Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return again.isClosed(); }, 2000)) << "Escape: Abbrechen";
    EXPECT_EQ(file(), "[EINSTELLUNG]\r\nstatus=1\r\nmethode=0\r\n\r\n[SOUNDANI]\r\nstatus=0") << "nothing written";
}
