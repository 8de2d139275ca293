// The job editor's controls and the catalogue: loading, saving, and saves that cannot be written.
#include "AppTest.h"
#include "app/editor/FolderBrowser.h"
#include "toolkit/gui/WCheckBox.h"
#include "toolkit/gui/WComboBox.h"
#include "toolkit/gui/WCommandButton.h"
#include "toolkit/gui/WMaskedTextBox.h"
#include "toolkit/gui/WPictureBox.h"
#include "toolkit/gui/WTextBox.h"
#include "toolkit/gui/WTreeView.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

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

namespace {

// The editor as the user works it: the tree over a temporary folder, picture buttons pressed with the
// keyboard, fields typed.
class EditorSessionTest : public JobEditorTest {
protected:
    void SetUp() override {
        for (const char* d : {"baum/Fotos", "baum/fotos", "baum/briefe", "baum/Musik", "baum/Ziel"})
            fs::create_directories(dir.file(d));
        fs::create_directory_symlink(dir.file("baum/Fotos"), dir.file("baum/Fotos-Link"));
        form = start({root()});
    }

    WString root() const { return *WString::fromUtf8(dir.file("baum").string()); }
    WString path(const char* name) const { return root() + "/" + name; }

    void waitForTree() { ASSERT_TRUE(AppTest::waitForTree(*form)); }

    // Selects the root's entry of that name in the tree.
    void select(const char* name) {
        WTreeView& tree = *form->form().tv_dir;
        const WTreeItem top = tree.children(0).front();
        for (WTreeItem item : tree.children(top)) {
            if (tree.itemText(item).toUtf8() == name) {
                tree.selectItem(item);
                return;
            }
        }
        ADD_FAILURE() << "no " << name;
    }

    static void press(WPictureBox& button) { QTest::keyClick(button.widget(), Qt::Key_Space); }

    std::unique_ptr<MainForm> form;
};

} // namespace

// New job, two sources, a destination, name and time typed, active ticked, saved: the exact bytes,
// the log entry, and the overview again. The save button follows the fields on the way.
TEST_F(EditorSessionTest, AWholeNewJobSession) {
    Form1& f = form->form();
    f.checkbox_aktiv->setChecked(true); // a new job starts unticked all the same
    press(*f.pictb_anlegen);
    waitForTree();
    ASSERT_TRUE(f.pictb_sicherung_speichern->isShown());
    EXPECT_FALSE(f.checkbox_aktiv->isChecked());
    EXPECT_TRUE(form->data().saveButtonInactive);
    EXPECT_FALSE(f.cb_speichern->isEnabled());

    select("Musik");
    press(*f.pictb_quelle);
    select("Fotos");
    press(*f.pictb_quelle);
    press(*f.pictb_quelle); // listed already: nothing added, nothing said
    select("Ziel");
    press(*f.pictb_ziel);
    EXPECT_EQ(textsOf(*f.lb_von), (std::vector<std::string>{path("Fotos").toUtf8(), path("Musik").toUtf8()}));
    EXPECT_EQ(f.textb_nach->text(), path("Ziel"));
    EXPECT_TRUE(form->data().saveButtonInactive) << "no name yet";

    QWidget* nameBox = f.textb_name_der_sicherung->widget();
    QTest::keyClicks(nameBox, "B");
    QTest::sendKeyEvent(QTest::Click, nameBox, Qt::Key_Udiaeresis, QStringLiteral("ü"), Qt::NoModifier);
    QTest::keyClicks(nameBox, "ro [alt] = 1 ");
    EXPECT_FALSE(form->data().saveButtonInactive) << "complete while the active box is clear";
    QTest::keyClick(f.checkbox_aktiv->widget(), Qt::Key_Space);
    EXPECT_TRUE(form->data().saveButtonInactive) << "active needs a time";
    f.mtextb_uhr->setFocus();
    QTest::keyClick(f.mtextb_uhr->widget(), Qt::Key_Home);
    QTest::keyClicks(f.mtextb_uhr->widget(), "07");
    EXPECT_EQ(f.mtextb_uhr->text(), "07:--");
    EXPECT_TRUE(form->data().saveButtonInactive);
    QTest::keyClicks(f.mtextb_uhr->widget(), "30");
    EXPECT_EQ(f.mtextb_uhr->enteredText(), "0730");
    EXPECT_FALSE(form->data().saveButtonInactive);
    EXPECT_TRUE(f.cb_speichern->isEnabled());
    f.combo_tag->select(6);

    press(*f.pictb_sicherung_speichern);
    EXPECT_TRUE(boxes.shown().empty()) << boxTexts().front();
    const std::string name = "B\xfcro [alt] = 1 ";
    EXPECT_EQ(TempWorkDir::readBytes(dir.file("savename.ini")),
              "[SICHERUNG]\r\nname_1=" + name + "\r\n\r\n[NUMMER]\r\nwert=1");
    EXPECT_EQ(TempWorkDir::readBytes(dir.file("save.ini")),
              "[" + name + "]\r\nvon_0=" + path("Fotos").bytes() + "\r\nvon_1=" + path("Musik").bytes() +
                  "\r\nnach=" + path("Ziel").bytes() + "\r\nwann=Sonnabend\r\nzeit=07:30\r\naktiv=ja\r\n");
    EXPECT_EQ(logTail(), "Sicherung=neu\r\nName=" + name + "\r\nVerlauf=ok\r\n");
    EXPECT_FALSE(f.pictb_sicherung_speichern->isShown());
    EXPECT_EQ(textsOf(*f.lb_anzeige), (std::vector<std::string>{"Büro [alt] = 1 "}));
    EXPECT_EQ(f.tv_dir->count(), 0) << "the closed editor is empty";
    EXPECT_EQ(form->data().scheduleList->Count(), 1);

    // Loaded again, the name with its brackets, "=" and blanks comes back exactly.
    form->EditJob();
    EXPECT_EQ(f.textb_name_der_sicherung->text(), *WString::fromUtf8(name.substr(0, 1) + "ü" + name.substr(2)));
    EXPECT_EQ(f.mtextb_uhr->text(), "07:30");
    EXPECT_TRUE(form->data().saveButtonInactive) << "nothing changed yet";
    waitForTree();
}

// Editing keeps the stored order until a source is added; three marked sources go, whatever their
// places; removing all re-evaluates the save state.
TEST_F(EditorSessionTest, EditingSourcesKeepsOrderAndRemovesExactlyTheMarked) {
    const std::string names = "[SICHERUNG]\r\nname_1=Alt\r\n\r\n[NUMMER]\r\nwert=1\r\n";
    TempWorkDir::writeBytes("savename.ini", names);
    TempWorkDir::writeBytes("save.ini", "[Alt]\r\nvon_0=/z\r\nvon_1=/b\r\nvon_2=/y\r\nvon_3=/a\r\nvon_4=/x\r\nnach=" +
                                            path("Ziel").bytes() + "\r\nwann=Montag\r\nzeit=08:00\r\naktiv=nein\r\n");
    form->FillJobList();
    form->UpdateJobButtons();
    Form1& f = form->form();
    press(*f.pictb_bearbeiten);
    waitForTree();
    EXPECT_EQ(textsOf(*f.lb_von), (std::vector<std::string>{"/z", "/b", "/y", "/a", "/x"}));
    // Ticking the box twice is a change: the unchanged job may be saved again.
    QTest::keyClick(f.checkbox_aktiv->widget(), Qt::Key_Space);
    QTest::keyClick(f.checkbox_aktiv->widget(), Qt::Key_Space);
    EXPECT_FALSE(form->data().saveButtonInactive);

    for (int i : {0, 2, 4})
        f.lb_von->setSelected(i, true);
    press(*f.pictb_quelle_loeschen);
    EXPECT_EQ(textsOf(*f.lb_von), (std::vector<std::string>{"/b", "/a"}));
    select("briefe");
    press(*f.pictb_quelle);
    EXPECT_EQ(textsOf(*f.lb_von), (std::vector<std::string>{"/b", "/a", path("briefe").toUtf8()}))
        << "an added source takes its sorted place; the loaded ones stay where they are";

    // Two folders whose names differ in letter case are two folders.
    select("Fotos");
    press(*f.pictb_quelle);
    select("fotos");
    press(*f.pictb_quelle);
    press(*f.pictb_quelle);
    EXPECT_EQ(f.lb_von->count(), 5);

    press(*f.pictb_quelle_aloeschen);
    EXPECT_EQ(f.lb_von->count(), 0);
    EXPECT_TRUE(form->data().saveButtonInactive);
    EXPECT_FALSE(f.cb_speichern->isEnabled());
}

// Refusals leave the editor open with every field and write nothing: a destination that is a source
// (also through a link; letter case counts), a name another job has, a name that cannot be stored,
// and a catalogue that cannot be written.
TEST_F(EditorSessionTest, RefusedSavesKeepTheEditorAndTheFiles) {
    TempWorkDir::writeBytes("savename.ini", kNames);
    TempWorkDir::writeBytes("save.ini", kJobs);
    const struct {
        const char* label;
        const char* name;
        const char* destination;
        const char* expected;
        int failWrite;
    } cases[] = {
        {"same folder", "Neu", "Fotos", "Quelle und Ziel darf nicht gleich sein !", 0},
        {"same folder through a link", "Neu", "Fotos-Link", "Quelle und Ziel darf nicht gleich sein !", 0},
        {"name taken", "Alt", "Ziel", "Es gibt schon eine Sicherung mit dem Namen \"Alt\"", 0},
        {"name with a line break", "Zwei\nZeilen", "Ziel", "Zeilenumbruch", 0},
        {"disk full", "Neu", "Ziel", "No space left on device", 1},
    };
    Form1& f = form->form();
    for (const auto& c : cases) {
        std::filesystem::remove("save.log");
        form->FillJobList();
        press(*f.pictb_anlegen);
        waitForTree();
        select("Fotos");
        press(*f.pictb_quelle);
        select(c.destination);
        press(*f.pictb_ziel);
        f.textb_name_der_sicherung->setText(WString::fromBytes(c.name));
        const std::size_t before = boxes.shown().size();
        {
            std::unique_ptr<FailNthWrite> disk;
            if (c.failWrite)
                disk = std::make_unique<FailNthWrite>(c.failWrite);
            press(*f.pictb_sicherung_speichern);
        }
        ASSERT_EQ(boxes.shown().size(), before + 1) << c.label;
        EXPECT_EQ(boxes.shown().back().caption, "Morlanz 1.1 - Fehler");
        const std::string text = boxes.shown().back().text.toUtf8();
        EXPECT_NE(text.find(c.expected), std::string::npos) << c.label << ": " << text;
        EXPECT_TRUE(f.pictb_sicherung_speichern->isShown()) << c.label;
        EXPECT_EQ(f.textb_name_der_sicherung->text(), WString::fromBytes(c.name)) << c.label;
        EXPECT_EQ(f.lb_von->count(), 1) << c.label;
        EXPECT_EQ(TempWorkDir::readBytes("savename.ini"), kNames) << c.label;
        EXPECT_EQ(TempWorkDir::readBytes("save.ini"), kJobs) << c.label;
        EXPECT_EQ(form->data().jobCount, 1) << c.label;
        EXPECT_TRUE(form->threadSlots()[WorkerSlots::kScheduler].state() != ThreadSlot::Paused) << c.label;
        press(*f.pictb_sicherung_verwerfen);
    }
    // Renaming the edited job to another's name is refused too; keeping its own name is not.
    TempWorkDir::writeBytes("savename.ini", "[SICHERUNG]\r\nname_2=Zwei\r\nname_1=Alt\r\n\r\n[NUMMER]\r\nwert=2\r\n");
    TempWorkDir::writeBytes("save.ini",
                            kJobs + "\r\n[Zwei]\r\nvon_0=/z\r\nnach=/n\r\nwann=Montag\r\nzeit=\r\naktiv=nein\r\n");
    form->FillJobList();
    form->UpdateJobButtons();
    press(*f.pictb_bearbeiten); // "Alt", the first in the list
    waitForTree();
    f.textb_name_der_sicherung->setText("Zwei");
    const std::size_t before = boxes.shown().size();
    press(*f.pictb_sicherung_speichern);
    ASSERT_EQ(boxes.shown().size(), before + 1);
    f.textb_name_der_sicherung->setText("Alt");
    press(*f.pictb_sicherung_speichern);
    EXPECT_EQ(boxes.shown().size(), before + 1);
    EXPECT_FALSE(f.pictb_sicherung_speichern->isShown());
}

// The hidden command buttons run the same commands as the pictures: a whole job through them alone.
TEST_F(EditorSessionTest, TheHiddenButtonsRunTheSameCommands) {
    Form1& f = form->form();
    const auto click = [](WCommandButton& b) {
        WEventData d{WEventId::ClickEvent};
        b.raiseEvent(d);
    };
    click(*f.cb_anlegen);
    waitForTree();
    ASSERT_TRUE(f.pictb_sicherung_speichern->isShown());
    for (const char* source : {"Fotos", "Musik", "briefe"}) {
        select(source);
        click(*f.cb_lade_pfad_von);
    }
    f.lb_von->setSelected(1, true);
    click(*f.cb_loesche_pfad_von);
    EXPECT_EQ(textsOf(*f.lb_von), (std::vector<std::string>{path("briefe").toUtf8(), path("Musik").toUtf8()}));
    select("Ziel");
    click(*f.cb_lade_pfad_nach);
    f.textb_name_der_sicherung->setText("Versteckt");
    EXPECT_TRUE(f.cb_speichern->isEnabled());
    click(*f.cb_loesche_alles_von);
    EXPECT_FALSE(f.cb_speichern->isEnabled());
    select("Musik");
    click(*f.cb_lade_pfad_von);
    click(*f.cb_speichern);
    EXPECT_FALSE(f.pictb_sicherung_speichern->isShown());
    EXPECT_EQ(TempWorkDir::readBytes(dir.file("save.ini")), "[Versteckt]\r\nvon_0=" + path("Musik").bytes() +
                                                                "\r\nnach=" + path("Ziel").bytes() +
                                                                "\r\nwann=t\xe4glich\r\nzeit=--:--\r\naktiv=nein\r\n");
    form->UpdateJobButtons();
    click(*f.cb_bearbeiten);
    waitForTree();
    EXPECT_EQ(f.textb_name_der_sicherung->text(), "Versteckt");
    click(*f.cb_verwerfen);
    EXPECT_FALSE(f.pictb_sicherung_speichern->isShown());
    EXPECT_TRUE(boxes.shown().empty());
}

// Every name the name box takes is stored and read back exactly, also where it looks like file syntax.
TEST_F(JobEditorTest, NamesComeBackExactly) {
    const char* names[] = {"[", "]", "=", "[x]", "a=b", "  vorn", "hinten  ", "Ärger über Öl", "name_1=", "[NUMMER]"};
    for (const char* utf8 : names) {
        std::filesystem::remove("save.ini");
        std::filesystem::remove("savename.ini");
        const WString name = *WString::fromUtf8(utf8);
        auto form = start();
        form->data().editingNewJob = true;
        fill(*form, name, "/srv", "/backup");
        ASSERT_TRUE(form->SaveJob(name).ok) << utf8;
        form->FillJobList();
        EXPECT_EQ(textsOf(*form->form().lb_anzeige), (std::vector<std::string>{utf8}));
        auto second = start();
        second->LoadJobIntoEditor(name);
        EXPECT_EQ(second->form().textb_nach->text(), "/backup") << utf8;
        EXPECT_EQ(second->form().lb_von->itemText(0), "/srv") << utf8;
    }
}
