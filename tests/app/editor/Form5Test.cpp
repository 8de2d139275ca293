// The new-folder form: the folder is created below the destination and taken over after "Ok", and
// only then; what cannot be created is explained and changes nothing.
#include "app/editor/Form5.h"
#include "AppTest.h"
#include "app/editor/FolderBrowser.h"
#include "toolkit/gui/WCommandButton.h"
#include "toolkit/gui/WMenuItem.h"
#include "toolkit/gui/WPopupMenu.h"
#include "toolkit/gui/WTextBox.h"

#include <QTest>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class Form5Test : public AppTest {
protected:
    void SetUp() override {
        fs::create_directory(dir.file("Daten"));
        form = start();
        form->form().textb_nach->setText(daten());
    }

    WString daten() const { return *WString::fromUtf8(dir.file("Daten").string()); }

    Form5& open() {
        form->folderBrowser().OpenNewFolderDialog();
        Form5* dialog = form->folderBrowser().newFolderDialog();
        EXPECT_NE(dialog, nullptr);
        return *dialog;
    }

    void activateMain() {
        WEventData activate{WEventId::ActivateEvent};
        form->form().raiseEvent(activate);
    }

    std::string settings() const { return TempWorkDir::readBytes(dir.file("Einstellung.ini")); }

    std::unique_ptr<MainForm> form;
};

} // namespace

// "Ok" follows the name (greyed again when it is erased); activating the main window meanwhile takes
// nothing; "Ok" creates the folder, which becomes the destination, and empties the hand-over.
TEST_F(Form5Test, TheNewFolderIsTakenOverAfterOkOnly) {
    Form5& dialog = open();
    EXPECT_EQ(dialog.text(), "Morlanz 1.0 - Ordner erstellen");
    EXPECT_TRUE(form->data().pathPickUpPending);
    EXPECT_EQ(settings(), "[EINSTELLUNG]\r\npfad=" + dir.file("Daten").string());
    EXPECT_FALSE(dialog.cb_ordner_erstellen->isEnabled());
    QTest::keyClicks(dialog.textb_nach->widget(), "N");
    EXPECT_TRUE(dialog.cb_ordner_erstellen->isEnabled());
    QTest::keyClick(dialog.textb_nach->widget(), Qt::Key_Backspace);
    EXPECT_FALSE(dialog.cb_ordner_erstellen->isEnabled());
    QTest::keyClicks(dialog.textb_nach->widget(), "Neu 2024");

    activateMain();
    EXPECT_EQ(form->form().textb_nach->text(), daten());
    EXPECT_TRUE(form->data().pathPickUpPending);

    QTest::keyClick(dialog.textb_nach->widget(), Qt::Key_Return);
    EXPECT_TRUE(fs::is_directory(dir.file("Daten/Neu 2024")));
    EXPECT_EQ(form->form().textb_nach->text(), daten() + "/Neu 2024");
    EXPECT_FALSE(form->data().pathPickUpPending);
    EXPECT_EQ(settings(), "[EINSTELLUNG]\r\npfad=\r\n");
    EXPECT_EQ(form->folderBrowser().newFolderDialog(), nullptr);
    EXPECT_TRUE(boxes.shown().empty());
}

// A folder that cannot be created gives a message with the reason; the form stays open and the
// destination as it was. An existing folder of that name is simply taken.
TEST_F(Form5Test, WhatCannotBeCreatedIsExplained) {
    std::ofstream(dir.file("Daten/datei")) << "x";
    fs::create_directory(dir.file("Daten/schon da"));
    const std::pair<const char*, const char*> refused[] = {
        {"a/b", "Schrägstrich"},
        {".", "\".\""},
        {"..", "\"..\""},
        {"datei", "Datei dieses Namens"},
    };
    for (const auto& [name, reason] : refused) {
        Form5& dialog = open();
        dialog.textb_nach->setText(*WString::fromUtf8(name));
        EXPECT_FALSE(dialog.CreateSubfolder()) << name;
        ASSERT_FALSE(boxes.shown().empty());
        const std::string text = boxes.shown().back().text.toUtf8();
        EXPECT_NE(text.find(reason), std::string::npos) << text;
        EXPECT_EQ(boxes.shown().back().caption, "Morlanz 1.1 - Fehler");
        EXPECT_EQ(form->folderBrowser().newFolderDialog(), &dialog) << "stays open to correct the name";
        QTest::keyClick(dialog.cb_1->widget(), Qt::Key_Space);
        EXPECT_EQ(form->folderBrowser().newFolderDialog(), nullptr);
        activateMain();
        EXPECT_EQ(form->form().textb_nach->text(), daten()) << name;
        EXPECT_FALSE(form->data().pathPickUpPending);
    }
    EXPECT_EQ(TempWorkDir::entriesOf(dir.file("Daten")), (std::vector<std::string>{"datei", "schon da"}));

    const std::size_t boxesBefore = boxes.shown().size();
    Form5& dialog = open();
    dialog.textb_nach->setText("schon da");
    EXPECT_TRUE(dialog.CreateSubfolder());
    EXPECT_EQ(form->form().textb_nach->text(), daten() + "/schon da");
    EXPECT_EQ(boxes.shown().size(), boxesBefore);
}

// The parent folder gone meanwhile: nothing is created anywhere.
TEST_F(Form5Test, AMissingParentCreatesNothing) {
    Form5& dialog = open();
    fs::remove(dir.file("Daten"));
    dialog.textb_nach->setText("Neu");
    EXPECT_FALSE(dialog.CreateSubfolder());
    EXPECT_NE(boxes.shown().back().text.toUtf8().find("nicht vorhanden"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.file("Daten")));
}

// "Ordner erstellen" is greyed while there is no destination, and then opens nothing.
TEST_F(Form5Test, TheMenuItemNeedsADestination) {
    WMenuItem* item = form->form().popupOrdner->item(MenuId::OrdnerErstellen);
    ASSERT_NE(item, nullptr);
    WEventData init{WEventId::InitMenuEvent};
    form->form().textb_nach->raiseEvent(init);
    EXPECT_TRUE(item->isEnabled());
    form->form().textb_nach->setText({});
    form->form().textb_nach->raiseEvent(init);
    EXPECT_FALSE(item->isEnabled());
    EXPECT_FALSE(item->choose());
    EXPECT_EQ(form->folderBrowser().newFolderDialog(), nullptr);
    form->form().textb_nach->setText(daten());
    form->form().textb_nach->raiseEvent(init);
    EXPECT_TRUE(item->choose());
    EXPECT_NE(form->folderBrowser().newFolderDialog(), nullptr);
}
