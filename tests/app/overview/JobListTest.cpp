// The job list as the main form shows it, and what start-up reads.
#include "AppTest.h"
#include "app/form1/Form1.h"

#include <algorithm>
#include <filesystem>

using JobListTest = AppTest;

TEST_F(JobListTest, StartUpFillsTheSortedListAndTheScheduleAndWritesNothing) {
    EXPECT_TRUE(start()->data().scheduleList->IsEmpty());
    EXPECT_TRUE(dir.entries().empty()) << "no catalogue: nothing is created";
    // Windows-1252, as the files hold it.
    TempWorkDir::writeBytes(dir.file("savename.ini"), "[SICHERUNG]\r\nname_3=backup Fotos\r\nname_2=B\xFCro\r\n"
                                                      "name_1=Arbeit\r\n\r\n[NUMMER]\r\nwert=3\r\n");
    TempWorkDir::writeBytes(dir.file("save.ini"), "[Arbeit]\r\nwann=Montag\r\nzeit=08:00\r\naktiv=ja\r\n\r\n"
                                                  "[B\xFCro]\r\nwann=t\xE4glich\r\nzeit=12:30\r\naktiv=nein\r\n");
    TempWorkDir::writeBytes(dir.file("Einstellung.ini"), "[EINSTELLUNG]\r\nstatus=0\r\n");
    const auto before = folderState();

    auto form = start();
    EXPECT_EQ(form->data().jobCount, 3);
    EXPECT_EQ(textsOf(*form->form().lb_anzeige), (std::vector<std::string>{"Arbeit", "backup Fotos", "Büro"}))
        << "sorted without regard to case";
    EXPECT_EQ(form->form().lb_anzeige->selectedIndex(), 0);

    std::vector<std::string> schedule; // one entry per job, in name-number order
    for (const ScheduleEntry& e : form->data().scheduleList->Snapshot())
        schedule.push_back((e.name + "|" + e.day + "|" + e.time + "|" + e.active).toUtf8());
    EXPECT_EQ(schedule,
              (std::vector<std::string>{"Arbeit|Montag|08:00|ja", "Büro|täglich|12:30|nein", "backup Fotos|||"}))
        << "a job without a section is scheduled with empty values";

    EXPECT_EQ(folderState(), before) << "merely starting the program writes nothing";
}

// A deletion the disk refuses changes neither file, keeps the job in the list, logs "error" and
// tells the user which file and why; the same deletion goes through once the disk takes it.
TEST_F(JobListTest, AFailedDeletionChangesNothingAndSaysWhy) {
    const std::string names = "[SICHERUNG]\r\nname_1=Fotos\r\nname_2=Musik\r\n\r\n[NUMMER]\r\nwert=2\r\n";
    const std::string jobs = "[Fotos]\r\nnach=/a\r\n\r\n[Musik]\r\nnach=/b\r\n";
    std::vector<std::string> failedFiles;
    for (int n : {1, 2}) { // the first file's copy fails, or the second one's after the first was written
        TempWorkDir::writeBytes("savename.ini", names);
        TempWorkDir::writeBytes("save.ini", jobs);
        std::filesystem::remove("save.log");
        auto form = start();
        form->data().logAction = "gelöscht"_w;
        const std::size_t shownBefore = boxes.shown().size();
        WriteResult result;
        {
            FailNthWrite disk(n);
            result = form->DeleteJob("Fotos");
        }
        EXPECT_FALSE(result.ok) << n;
        EXPECT_EQ(TempWorkDir::readBytes("savename.ini"), names) << n;
        EXPECT_EQ(TempWorkDir::readBytes("save.ini"), jobs) << n;
        EXPECT_EQ(dir.entries(), (std::vector<std::string>{"save.ini", "save.log", "savename.ini"}))
            << "no temporary file is left";
        EXPECT_EQ(form->data().jobCount, 2);
        EXPECT_EQ(textsOf(*form->form().lb_anzeige), (std::vector<std::string>{"Fotos", "Musik"}));
        EXPECT_NE(TempWorkDir::readBytes("save.log").find("Sicherung=gel\xF6scht\r\nName=Fotos\r\nVerlauf=error\r\n"),
                  std::string::npos);
        ASSERT_EQ(boxes.shown().size(), shownBefore + 1);
        const WMessageRequest& box = boxes.shown().back();
        EXPECT_EQ(box.caption, "Morlanz 1.1 - Fehler");
        const std::string text = box.text.toUtf8();
        EXPECT_NE(text.find("No space left on device"), std::string::npos) << text;
        failedFiles.push_back(result.file.toUtf8());
        EXPECT_NE(text.find("Datei: " + failedFiles.back()), std::string::npos) << text;
    }
    std::sort(failedFiles.begin(), failedFiles.end());
    EXPECT_EQ(failedFiles, (std::vector<std::string>{"save.ini", "savename.ini"})) << "each file failed once";

    auto form = start();
    EXPECT_TRUE(form->DeleteJob("Fotos").ok);
    EXPECT_EQ(textsOf(*form->form().lb_anzeige), (std::vector<std::string>{"Musik"}));
    EXPECT_EQ(TempWorkDir::readBytes("save.ini"), "[Musik]\r\nnach=/b\r\n");
}
