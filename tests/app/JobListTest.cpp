// The catalogue as the main form shows it: the job list, the editor's controls, and start-up.
#include "FixedWorkArea.h"
#include "MainForm.h"
#include "MorlanzResources.h"
#include "ScriptedMessageBoxes.h"
#include "TempWorkDir.h"
#include "WCheckBox.h"
#include "WComboBox.h"
#include "WListBox.h"
#include "WMaskedTextBox.h"
#include "WTextBox.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <map>

namespace {

const std::string kNames = "[SICHERUNG]\r\n"
                           "name_3=backup Fotos\r\n"
                           "name_2=B\xFCro\r\n" // Windows-1252, as the files hold it
                           "name_1=Arbeit\r\n"
                           "\r\n"
                           "[NUMMER]\r\n"
                           "wert=3\r\n";

class JobListTest : public InTempDir {
protected:
    JobListTest() { WResources::install(&MorlanzResources::instance()); }

    std::unique_ptr<MainForm> start() {
        auto form = std::make_unique<MainForm>();
        EXPECT_TRUE(form->create());
        return form;
    }

    static std::vector<std::string> items(const WListBox& list) {
        std::vector<std::string> texts;
        for (int i = 0; i < list.count(); ++i)
            texts.push_back(list.itemText(i).toUtf8());
        return texts;
    }

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

    FixedWorkArea area{1024, 738};
    ScriptedMessageBoxes boxes;
};

} // namespace

TEST_F(JobListTest, StartUpFillsTheSortedListAndTheScheduleAndWritesNothing) {
    TempWorkDir::writeBytes(dir.file("savename.ini"), kNames);
    TempWorkDir::writeBytes(dir.file("save.ini"), "[Arbeit]\r\nwann=Montag\r\nzeit=08:00\r\naktiv=ja\r\n\r\n"
                                                  "[B\xFCro]\r\nwann=t\xE4glich\r\nzeit=12:30\r\naktiv=nein\r\n");
    TempWorkDir::writeBytes(dir.file("Einstellung.ini"), "[EINSTELLUNG]\r\nstatus=0\r\n");
    const auto before = folderState();

    auto form = start();
    EXPECT_EQ(form->jobCount, 3);
    EXPECT_EQ(items(*form->lb_anzeige), (std::vector<std::string>{"Arbeit", "backup Fotos", "Büro"}))
        << "sorted without regard to case";
    EXPECT_EQ(form->lb_anzeige->selectedIndex(), 0);

    const auto schedule = form->scheduleList.Snapshot();
    ASSERT_EQ(schedule.size(), 3u) << "one entry per job, in name-number order";
    EXPECT_EQ(schedule[0].name, "Arbeit");
    EXPECT_EQ(schedule[0].day, "Montag");
    EXPECT_EQ(schedule[0].time, "08:00");
    EXPECT_EQ(schedule[0].active, "ja");
    EXPECT_EQ(schedule[1].day, "täglich"_w);
    EXPECT_EQ(schedule[2].name, "backup Fotos");
    EXPECT_TRUE(schedule[2].day.isEmpty()) << "a job without a section is scheduled with empty values";

    EXPECT_EQ(folderState(), before) << "merely starting the program writes nothing";
}

TEST_F(JobListTest, NoCatalogueGivesAnEmptyListAndSchedule) {
    auto form = start();
    EXPECT_EQ(form->jobCount, 0);
    EXPECT_EQ(form->lb_anzeige->count(), 0);
    EXPECT_EQ(form->lb_anzeige->selectedIndex(), -1);
    EXPECT_TRUE(form->scheduleList.IsEmpty());
    EXPECT_TRUE(dir.entries().empty());
}

TEST_F(JobListTest, LoadingAJobFillsTheEditorControls) {
    TempWorkDir::writeBytes(dir.file("save.ini"), "[Fotos]\r\n"
                                                  "von_0=/home/anna/Zeta\r\n"
                                                  "von_1=/home/anna/alpha\r\n"
                                                  "von_2=/home/anna/Mitte\r\n"
                                                  "nach=/media/usb\r\n"
                                                  "wann=sonn\r\n"
                                                  "zeit=21:15\r\n"
                                                  "aktiv=ja\r\n");
    auto form = start();
    form->LoadJobIntoEditor("Fotos");
    EXPECT_EQ(form->editedJobName, "Fotos");
    EXPECT_EQ(form->textb_name_der_sicherung->text(), "Fotos");
    EXPECT_EQ(items(*form->lb_von),
              (std::vector<std::string>{"/home/anna/Zeta", "/home/anna/alpha", "/home/anna/Mitte"}))
        << "inserted at their stored positions, not sorted";
    EXPECT_EQ(form->textb_nach->text(), "/media/usb");
    EXPECT_EQ(form->combo_tag->itemText(form->combo_tag->selectedIndex()), "Sonnabend")
        << "the first item the stored day begins, without regard to case";
    EXPECT_EQ(form->mtextb_uhr->enteredText(), "2115");
    EXPECT_TRUE(form->checkbox_aktiv->isChecked());
}

TEST_F(JobListTest, DayAndActiveFlagReadings) {
    struct Case {
        const char* day;
        const char* active;
        int comboIndex;
        bool checked;
    };
    const Case cases[] = {
        {"montag", "ja", 1, true},  {"Freitag", "Ja", 5, false}, {"Sonntag", "nein", 7, false},
        {"Samstag", "", -1, false}, {"xyz", "ja ", -1, false},
    };
    for (const auto& c : cases) {
        TempWorkDir::writeBytes(dir.file("save.ini"),
                                std::string("[J]\r\nwann=") + c.day + "\r\naktiv=" + c.active + "\r\n");
        auto form = start();
        form->LoadJobIntoEditor("J");
        EXPECT_EQ(form->combo_tag->selectedIndex(), c.comboIndex) << c.day;
        EXPECT_EQ(form->checkbox_aktiv->isChecked(), c.checked) << "'" << c.active << "'";
    }
}

TEST_F(JobListTest, SavingTakesTheEditorControlsAndRefillsTheList) {
    auto form = start();
    form->editingNewJob = true;
    form->textb_name_der_sicherung->setText("Neu");
    form->lb_von->insertItem(0, "/b");
    form->lb_von->insertItem(1, "/a");
    form->textb_nach->setText("/ziel");
    form->combo_tag->select(2);
    form->mtextb_uhr->setText("07:45");
    form->checkbox_aktiv->setChecked(true);
    form->SaveJob(form->textb_name_der_sicherung->text());
    EXPECT_EQ(form->logStatus, "ok");
    EXPECT_EQ(form->jobCount, 1);
    EXPECT_EQ(TempWorkDir::readBytes(dir.file("save.ini")), "[Neu]\r\n"
                                                            "von_0=/b\r\n"
                                                            "von_1=/a\r\n"
                                                            "nach=/ziel\r\n"
                                                            "wann=Dienstag\r\n"
                                                            "zeit=07:45\r\n"
                                                            "aktiv=ja\r\n");
    form->FillJobList();
    form->LoadSchedule();
    EXPECT_EQ(items(*form->lb_anzeige), (std::vector<std::string>{"Neu"}));
    EXPECT_EQ(form->scheduleList.EntryAt(1).time, "07:45");

    form->DeleteJob("Neu");
    EXPECT_EQ(form->jobCount, 0);
    EXPECT_EQ(form->lb_anzeige->count(), 0);
}
