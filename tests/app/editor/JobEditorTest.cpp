// The job editor's controls and the catalogue: loading, saving, and saves that cannot be written.
#include "AppTest.h"
#include "toolkit/gui/WCheckBox.h"
#include "toolkit/gui/WComboBox.h"
#include "toolkit/gui/WMaskedTextBox.h"
#include "toolkit/gui/WTextBox.h"

#include <filesystem>

namespace {

class JobEditorTest : public AppTest {
protected:
    // An editor holding a job of that name with one source, as the save command finds it.
    static void fill(MainForm& form, const WString& name, const WString& source, const WString& destination) {
        Form1& f = form.form();
        f.textb_name_der_sicherung->setText(name);
        f.lb_von->clear();
        f.lb_von->insertItem(0, source);
        f.textb_nach->setText(destination);
        f.combo_tag->select(0);
        f.mtextb_uhr->setText("20:00");
        f.checkbox_aktiv->setChecked(true);
    }

    std::string logTail() const {
        const std::string log = TempWorkDir::readBytes(dir.file("save.log"));
        return log.substr(log.find("]\r\n") + 3);
    }
};

const std::string kNames = "[SICHERUNG]\r\nname_1=Alt\r\n\r\n[NUMMER]\r\nwert=1\r\n";
const std::string kJobs = "[Alt]\r\nvon_0=/home\r\nnach=/mnt\r\nwann=Montag\r\nzeit=08:00\r\naktiv=ja\r\n";

} // namespace

// The day selects the first item it begins, without regard to case; only exactly "ja" marks active.
TEST_F(JobEditorTest, DayAndActiveFlagReadings) {
    struct Case {
        const char* day;
        const char* active;
        const char* item; // nullptr: nothing selected
        bool checked;
    };
    const Case cases[] = {
        {"montag", "ja", "Montag", true}, {"sonn", "Ja", "Sonnabend", false}, {"Sonntag", "nein", "Sonntag", false},
        {"Samstag", "", nullptr, false},  {"xyz", "ja ", nullptr, false},
    };
    for (const auto& c : cases) {
        TempWorkDir::writeBytes(dir.file("save.ini"),
                                std::string("[J]\r\nwann=") + c.day + "\r\naktiv=" + c.active + "\r\n");
        auto form = start();
        form->LoadJobIntoEditor("J");
        const int index = form->form().combo_tag->selectedIndex();
        EXPECT_EQ(index < 0 ? "(none)" : form->form().combo_tag->itemText(index).toUtf8(), c.item ? c.item : "(none)")
            << c.day;
        EXPECT_EQ(form->form().checkbox_aktiv->isChecked(), c.checked) << "'" << c.active << "'";
    }
}

// What the editor saves, byte for byte, comes back into the editor of a new window unchanged.
TEST_F(JobEditorTest, ASavedJobLoadsBackIntoTheEditor) {
    auto form = start();
    form->data().editingNewJob = true;
    form->form().textb_name_der_sicherung->setText("Neu");
    form->form().lb_von->insertItem(0, "/Zeta");
    form->form().lb_von->insertItem(1, "/alpha");
    form->form().textb_nach->setText("/ziel");
    form->form().combo_tag->select(2);
    form->form().mtextb_uhr->setText("07:45");
    form->form().checkbox_aktiv->setChecked(true);
    EXPECT_TRUE(form->SaveJob(form->form().textb_name_der_sicherung->text()).ok);
    EXPECT_EQ(form->data().jobCount, 1);
    EXPECT_EQ(TempWorkDir::readBytes(dir.file("save.ini")),
              "[Neu]\r\nvon_0=/Zeta\r\nvon_1=/alpha\r\nnach=/ziel\r\nwann=Dienstag\r\nzeit=07:45\r\naktiv=ja\r\n");
    form->FillJobList();
    EXPECT_EQ(textsOf(*form->form().lb_anzeige), (std::vector<std::string>{"Neu"}));

    auto second = start();
    second->LoadJobIntoEditor("Neu");
    EXPECT_EQ(second->form().textb_name_der_sicherung->text(), "Neu");
    EXPECT_EQ(textsOf(*second->form().lb_von), (std::vector<std::string>{"/Zeta", "/alpha"}))
        << "stored order, not sorted";
    EXPECT_EQ(second->form().textb_nach->text(), "/ziel");
    EXPECT_EQ(second->form().combo_tag->selectedIndex(), 2);
    EXPECT_EQ(second->form().mtextb_uhr->enteredText(), "0745");
    EXPECT_TRUE(second->form().checkbox_aktiv->isChecked());

    second->DeleteJob("Neu");
    EXPECT_EQ(second->data().jobCount, 0);
    EXPECT_EQ(second->form().lb_anzeige->count(), 0);
}

// A save the disk refuses, of a new job or of a renamed one, changes neither file nor the editor's
// state, logs "error" and names the file and the reason; no temporary file is left.
TEST_F(JobEditorTest, AFailedSaveChangesNothingAndSaysWhy) {
    for (bool isNew : {true, false}) {
        for (int n : {1, 2}) {
            TempWorkDir::writeBytes("savename.ini", kNames);
            TempWorkDir::writeBytes("save.ini", kJobs);
            std::filesystem::remove("save.log");
            auto form = start();
            form->data().editingNewJob = isNew;
            if (!isNew)
                form->LoadJobIntoEditor("Alt");
            form->data().logAction = isNew ? "neu" : "bearbeitet";
            fill(*form, "Neu", "/srv", "/backup");
            WriteResult result;
            {
                FailNthWrite disk(n);
                result = form->SaveJob("Neu");
            }
            const std::string label = std::string(isNew ? "new" : "renamed") + ", write " + std::to_string(n);
            EXPECT_FALSE(result.ok) << label;
            EXPECT_EQ(TempWorkDir::readBytes("savename.ini"), kNames) << label;
            EXPECT_EQ(TempWorkDir::readBytes("save.ini"), kJobs) << label;
            EXPECT_EQ(dir.entries(), (std::vector<std::string>{"save.ini", "save.log", "savename.ini"})) << label;
            EXPECT_EQ(form->data().jobCount, 1) << label;
            EXPECT_EQ(form->data().editedJobName, isNew ? "" : "Alt") << label;
            EXPECT_EQ(logTail(),
                      std::string("Sicherung=") + (isNew ? "neu" : "bearbeitet") + "\r\nName=Neu\r\nVerlauf=error\r\n")
                << label;
            ASSERT_FALSE(boxes.shown().empty());
            const std::string text = boxes.shown().back().text.toUtf8();
            EXPECT_NE(text.find("Datei: " + result.file.toUtf8()), std::string::npos) << text;
            EXPECT_NE(text.find("No space left on device"), std::string::npos) << text;
        }
    }
}

// A source named "/a\n[B]" (a legal file name) or a destination whose line would pass 254
// characters is refused as a whole: nothing is written, the user is told why, the log says "error".
TEST_F(JobEditorTest, TextsTheFilesCannotHoldAreRefused) {
    const std::string longPath = "/" + std::string(254 - std::string("nach=/").size(), 'x');
    const struct {
        const char* label;
        WString source;
        WString destination;
        bool ok;
    } cases[] = {
        {"line break in a source", WString::fromBytes("/a\n[B]"), "/backup", false},
        {"carriage return", WString::fromBytes("/a\rb"), "/backup", false},
        {"destination line of 254 characters", "/srv", WString::fromBytes(longPath), true},
        {"destination line of 255 characters", "/srv", WString::fromBytes(longPath + "x"), false},
    };
    for (const auto& c : cases) {
        TempWorkDir::writeBytes("savename.ini", kNames);
        TempWorkDir::writeBytes("save.ini", kJobs);
        std::filesystem::remove("save.log");
        auto form = start();
        form->data().editingNewJob = true;
        form->data().logAction = "neu";
        fill(*form, "Neu", c.source, c.destination);
        const std::size_t shownBefore = boxes.shown().size();
        EXPECT_EQ(form->SaveJob("Neu").ok, c.ok) << c.label;
        if (c.ok) {
            EXPECT_EQ(form->data().jobCount, 2) << c.label;
            continue;
        }
        EXPECT_EQ(TempWorkDir::readBytes("savename.ini"), kNames) << c.label;
        EXPECT_EQ(TempWorkDir::readBytes("save.ini"), kJobs) << c.label;
        EXPECT_EQ(form->data().jobCount, 1) << c.label;
        EXPECT_EQ(logTail(), "Sicherung=neu\r\nName=Neu\r\nVerlauf=error\r\n") << c.label;
        ASSERT_EQ(boxes.shown().size(), shownBefore + 1) << c.label;
        EXPECT_EQ(boxes.shown().back().caption, "Morlanz 1.1 - Fehler");
    }
}
