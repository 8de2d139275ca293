// The catalogue as the main form shows it: the job list, the editor's controls, and start-up.
#include "AppTest.h"
#include "toolkit/gui/WCheckBox.h"
#include "toolkit/gui/WComboBox.h"
#include "toolkit/gui/WMaskedTextBox.h"
#include "toolkit/gui/WTextBox.h"

#include <sys/stat.h>

#include <map>

namespace {

class JobListTest : public AppTest {
protected:
    // Bytes, inode and modification time of every file: a safe rewrite changes the inode even
    // when the bytes stay the same.
    std::map<std::string, std::string> folderState() const {
        std::map<std::string, std::string> state;
        for (const auto& name : dir.entries()) {
            struct stat st {};
            ::stat(dir.file(name).c_str(), &st);
            state[name] = TempWorkDir::readBytes(dir.file(name)) + "|" + std::to_string(st.st_ino) + "|" +
                          std::to_string(st.st_mtim.tv_nsec);
        }
        return state;
    }
};

} // namespace

TEST_F(JobListTest, StartUpFillsTheSortedListAndTheScheduleAndWritesNothing) {
    EXPECT_TRUE(start()->scheduleList.IsEmpty());
    EXPECT_TRUE(dir.entries().empty()) << "no catalogue: nothing is created";
    // Windows-1252, as the files hold it.
    TempWorkDir::writeBytes(dir.file("savename.ini"), "[SICHERUNG]\r\nname_3=backup Fotos\r\nname_2=B\xFCro\r\n"
                                                      "name_1=Arbeit\r\n\r\n[NUMMER]\r\nwert=3\r\n");
    TempWorkDir::writeBytes(dir.file("save.ini"), "[Arbeit]\r\nwann=Montag\r\nzeit=08:00\r\naktiv=ja\r\n\r\n"
                                                  "[B\xFCro]\r\nwann=t\xE4glich\r\nzeit=12:30\r\naktiv=nein\r\n");
    TempWorkDir::writeBytes(dir.file("Einstellung.ini"), "[EINSTELLUNG]\r\nstatus=0\r\n");
    const auto before = folderState();

    auto form = start();
    EXPECT_EQ(form->jobCount, 3);
    EXPECT_EQ(textsOf(*form->lb_anzeige), (std::vector<std::string>{"Arbeit", "backup Fotos", "Büro"}))
        << "sorted without regard to case";
    EXPECT_EQ(form->lb_anzeige->selectedIndex(), 0);

    std::vector<std::string> schedule; // one entry per job, in name-number order
    for (const ScheduleEntry& e : form->scheduleList.Snapshot())
        schedule.push_back((e.name + "|" + e.day + "|" + e.time + "|" + e.active).toUtf8());
    EXPECT_EQ(schedule,
              (std::vector<std::string>{"Arbeit|Montag|08:00|ja", "Büro|täglich|12:30|nein", "backup Fotos|||"}))
        << "a job without a section is scheduled with empty values";

    EXPECT_EQ(folderState(), before) << "merely starting the program writes nothing";
}

// The day selects the first item it begins, without regard to case; only exactly "ja" marks active.
TEST_F(JobListTest, DayAndActiveFlagReadings) {
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
        const int index = form->combo_tag->selectedIndex();
        EXPECT_EQ(index < 0 ? "(none)" : form->combo_tag->itemText(index).toUtf8(), c.item ? c.item : "(none)")
            << c.day;
        EXPECT_EQ(form->checkbox_aktiv->isChecked(), c.checked) << "'" << c.active << "'";
    }
}

// What the editor saves, byte for byte, comes back into the editor of a new window unchanged.
TEST_F(JobListTest, ASavedJobLoadsBackIntoTheEditor) {
    auto form = start();
    form->editingNewJob = true;
    form->textb_name_der_sicherung->setText("Neu");
    form->lb_von->insertItem(0, "/Zeta");
    form->lb_von->insertItem(1, "/alpha");
    form->textb_nach->setText("/ziel");
    form->combo_tag->select(2);
    form->mtextb_uhr->setText("07:45");
    form->checkbox_aktiv->setChecked(true);
    form->SaveJob(form->textb_name_der_sicherung->text());
    EXPECT_EQ(form->jobCount, 1);
    EXPECT_EQ(TempWorkDir::readBytes(dir.file("save.ini")),
              "[Neu]\r\nvon_0=/Zeta\r\nvon_1=/alpha\r\nnach=/ziel\r\nwann=Dienstag\r\nzeit=07:45\r\naktiv=ja\r\n");
    form->FillJobList();
    EXPECT_EQ(textsOf(*form->lb_anzeige), (std::vector<std::string>{"Neu"}));

    auto second = start();
    second->LoadJobIntoEditor("Neu");
    EXPECT_EQ(second->textb_name_der_sicherung->text(), "Neu");
    EXPECT_EQ(textsOf(*second->lb_von), (std::vector<std::string>{"/Zeta", "/alpha"})) << "stored order, not sorted";
    EXPECT_EQ(second->textb_nach->text(), "/ziel");
    EXPECT_EQ(second->combo_tag->selectedIndex(), 2);
    EXPECT_EQ(second->mtextb_uhr->enteredText(), "0745");
    EXPECT_TRUE(second->checkbox_aktiv->isChecked());

    second->DeleteJob("Neu");
    EXPECT_EQ(second->jobCount, 0);
    EXPECT_EQ(second->lb_anzeige->count(), 0);
}
