// The job list as the main form shows it, and what start-up reads.
#include "AppTest.h"
#include "app/form1/Form1.h"
#include "app/overview/JobDetails.h"
#include "toolkit/gui/WPictureBox.h"
#include "toolkit/gui/WRichTextBox.h"

#include <QTest>

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

namespace {

const std::string kFotosNames = "[SICHERUNG]\r\nname_1=Fotos\r\n\r\n[NUMMER]\r\nwert=1\r\n";

std::string detailsOf(MainForm& form) {
    return form.form().rtb_anzeige->text().bytes();
}

} // namespace

TEST_F(JobListTest, TheListIsSortedWithoutCaseStopsAtAGapAndAnEmptyOneLeavesTheJobButtonsInactive) {
    TempWorkDir::writeBytes("savename.ini", "[SICHERUNG]\r\nname_1=Zeta\r\nname_2=alpha\r\nname_3=Mitte\r\n\r\n"
                                            "[NUMMER]\r\nwert=3\r\n");
    auto form = start();
    EXPECT_EQ(textsOf(*form->form().lb_anzeige), (std::vector<std::string>{"alpha", "Mitte", "Zeta"}));
    EXPECT_EQ(detailsOf(*form).rfind("Sicherungsname: alpha\n\n", 0), 0u) << "the first is selected and shown";
    EXPECT_FALSE(form->data().jobButtonsInactive);
    EXPECT_EQ(form->form().pictb_starten->bitmapId(), 124);

    TempWorkDir::writeBytes("savename.ini", "[SICHERUNG]\r\nname_1=Eins\r\nname_3=Drei\r\n\r\n[NUMMER]\r\nwert=2\r\n");
    form = start();
    EXPECT_EQ(textsOf(*form->form().lb_anzeige), (std::vector<std::string>{"Eins"})) << "a gap ends the list";

    std::filesystem::remove("savename.ini");
    form = start();
    EXPECT_EQ(form->form().lb_anzeige->count(), 0);
    EXPECT_EQ(form->form().lb_anzeige->selectedIndex(), -1);
    EXPECT_EQ(detailsOf(*form), "");
    EXPECT_TRUE(form->data().jobButtonsInactive);
    EXPECT_EQ((std::vector<int>{form->form().pictb_bearbeiten->bitmapId(), form->form().pictb_loeschen->bitmapId(),
                                form->form().pictb_starten->bitmapId()}),
              (std::vector<int>{120, 123, 126}));
    form->form().rtb_anzeige->setText("wie zuvor");
    form->ShowSelectedJob();
    EXPECT_EQ(detailsOf(*form), "wie zuvor") << "nothing selected: the box keeps its text";
}

TEST_F(JobListTest, TheDetailsShowEveryValueAsStoredInTheirFixedLines) {
    std::filesystem::create_directories("quelle/a");
    TempWorkDir::writeBytes("quelle/b.txt", "b");
    std::filesystem::create_directories("ziel");
    const std::string cwd = std::filesystem::current_path().string();
    TempWorkDir::writeBytes("savename.ini", kFotosNames);
    TempWorkDir::writeBytes("save.ini", "[Fotos]\r\nvon_0=" + cwd + "/quelle/a\r\nvon_1=" + cwd +
                                            "/quelle/b.txt\r\nnach=" + cwd +
                                            "/ziel/\r\nwann=t\xE4glich\r\n"
                                            "zeit=18:30\r\naktiv=ja\r\n");
    auto form = start();
    EXPECT_EQ(detailsOf(*form), "Sicherungsname: Fotos\n\nvon: " + cwd + "/quelle/a\nvon: " + cwd +
                                    "/quelle/b.txt\n\nnach: " + cwd +
                                    "/ziel/\n\nwann: t\xE4glich\nZeit: 18:30\naktiv: ja\n");
    EXPECT_TRUE(boxes.shown().empty()) << "everything is there";

    // No source number 0: no source line at all; a hand-edited flag shows as it stands.
    TempWorkDir::writeBytes("save.ini", "[Fotos]\r\nvon_1=" + cwd + "/quelle/a\r\nnach=" + cwd +
                                            "/ziel\r\nwann=Montag\r\nzeit=07:00\r\naktiv=JA\r\n");
    form->ShowSelectedJob();
    EXPECT_EQ(detailsOf(*form),
              "Sicherungsname: Fotos\n\n\nnach: " + cwd + "/ziel\n\nwann: Montag\nZeit: 07:00\naktiv: JA\n");
}

TEST_F(JobListTest, MissingPathsAreNamedInOneWarningAndAMissingSectionShowsEmptyValues) {
    TempWorkDir::writeBytes("savename.ini", kFotosNames);
    TempWorkDir::writeBytes("save.ini", "[Fotos]\r\nvon_0=/gibt/es/nicht\r\nvon_1=/\r\nnach=/auch/nicht\r\n");
    auto form = start();
    ASSERT_EQ(boxes.shown().size(), 1u) << "start-up shows the first job once";
    const WMessageRequest& box = boxes.shown()[0];
    EXPECT_EQ(box.caption, "Morlanz 1.1 - Fehler");
    EXPECT_EQ(box.flags, MB::OK | MB::ICONEXCLAMATION | MB::TASKMODAL);
    EXPECT_EQ(box.text.toUtf8(), "Pfad existiert nicht\noder Netzlaufwerk ist nicht verbunden !\n\n"
                                 "Sicherungsname: Fotos\n\nvon: /gibt/es/nicht\n\n\nnach: /auch/nicht");
    EXPECT_EQ(detailsOf(*form).rfind("Sicherungsname: Fotos\n\nvon: /gibt/es/nicht\nvon: /\n", 0), 0u)
        << "the details stay behind the warning";

    std::filesystem::remove("save.ini");
    form->ShowSelectedJob();
    EXPECT_EQ(detailsOf(*form), "Sicherungsname: Fotos\n\n\nnach: \n\nwann: \nZeit: \naktiv: \n");
    EXPECT_EQ(boxes.shown().back().text.toUtf8(), "Pfad existiert nicht\noder Netzlaufwerk ist nicht verbunden !\n\n"
                                                  "Sicherungsname: Fotos\n\n\n\nnach: ");
}

TEST_F(JobListTest, PathsExistAsFilesOrListableFolders) {
    std::filesystem::create_directories("leer");
    std::filesystem::create_directories("gesperrt");
    TempWorkDir::writeBytes("datei", "x");
    const std::pair<const char*, bool> cases[] = {
        {"", false},       {"leer", true},   {"leer/", true},   {"leer/.", true}, {"datei", true},
        {"datei/", false}, {"fehlt", false}, {"fehlt/", false}, {".", true},      {"/", true},
    };
    for (const auto& [path, exists] : cases)
        EXPECT_EQ(PathExists(WString(path)), exists) << "'" << path << "'";
    if (::geteuid() != 0) { // root lists any folder
        std::filesystem::permissions("gesperrt", std::filesystem::perms::none);
        EXPECT_FALSE(PathExists("gesperrt")) << "a folder that cannot be listed counts as missing";
        std::filesystem::permissions("gesperrt", std::filesystem::perms::owner_all);
    }
}

TEST_F(JobListTest, DeletingAsksAndCancelChangesNoByteAndOkDeletesTheLastJob) {
    TempWorkDir::writeBytes("savename.ini", kFotosNames);
    TempWorkDir::writeBytes("save.ini", "[Fotos]\r\nvon_0=/\r\nnach=/\r\nwann=Montag\r\nzeit=08:00\r\naktiv=ja\r\n");
    auto form = start();
    const auto before = folderState();
    const std::string shownBefore = detailsOf(*form);
    boxes.answerNext(ID::CANCEL);
    form->DeleteSelectedJob();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].caption.toUtf8(), "Morlanz 1.1 - Sicherung löschen?");
    EXPECT_EQ(boxes.shown()[0].flags, MB::OKCANCEL | MB::ICONEXCLAMATION | MB::TASKMODAL);
    EXPECT_EQ(folderState(), before) << "Cancel: no file changes, no log entry";
    EXPECT_EQ(textsOf(*form->form().lb_anzeige), (std::vector<std::string>{"Fotos"}));
    EXPECT_EQ(detailsOf(*form), shownBefore);

    form->DeleteSelectedJob(); // OK
    EXPECT_EQ(form->form().lb_anzeige->count(), 0);
    EXPECT_EQ(detailsOf(*form), "");
    form->UpdateJobButtons(); // the delete button's follow-up
    EXPECT_TRUE(form->data().jobButtonsInactive);
    EXPECT_TRUE(form->data().scheduleList->IsEmpty());
    EXPECT_EQ(TempWorkDir::readBytes("save.ini").find("Fotos"), std::string::npos);
    EXPECT_NE(TempWorkDir::readBytes("save.log").find("Sicherung=gel\xF6scht\r\nName=Fotos\r\nVerlauf=ok\r\n"),
              std::string::npos);
    EXPECT_EQ(form->threadSlots()[WorkerSlots::kScheduler].state(), ThreadSlot::Running) << "resumed";
}

TEST_F(JobListTest, AFailedDeletionKeepsListSelectionAndAPausedScheduler) {
    TempWorkDir::writeBytes("savename.ini",
                            "[SICHERUNG]\r\nname_1=Fotos\r\nname_2=Musik\r\n\r\n[NUMMER]\r\nwert=2\r\n");
    TempWorkDir::writeBytes("save.ini", "[Fotos]\r\nnach=/\r\n\r\n[Musik]\r\nnach=/\r\n");
    auto form = start();
    form->form().lb_anzeige->select(1);
    form->PauseScheduler(WorkerSlots::kScheduler); // paused by the user ("pause")
    {
        FailNthWrite disk(1);
        form->DeleteSelectedJob();
    }
    EXPECT_EQ(textsOf(*form->form().lb_anzeige), (std::vector<std::string>{"Fotos", "Musik"}));
    EXPECT_EQ(form->form().lb_anzeige->selectedIndex(), 1) << "still the job the user chose";
    EXPECT_EQ(boxes.shown().back().caption, "Morlanz 1.1 - Fehler");
    EXPECT_EQ(form->threadSlots()[WorkerSlots::kScheduler].state(), ThreadSlot::Paused)
        << "a scheduler the deletion did not pause stays paused";
    EXPECT_NE(TempWorkDir::readBytes("save.log").find("Verlauf=error"), std::string::npos);
}

TEST_F(JobListTest, ANameWithAStrayLineBreakNeverTouchesAnotherJob) {
    const std::string jobs = "[Musik]\r\nvon_0=/\r\nnach=/\r\nwann=Montag\r\nzeit=08:00\r\naktiv=ja\r\n";
    TempWorkDir::writeBytes("savename.ini",
                            "[SICHERUNG]\r\nname_1=Mu\rsik\r\nname_2=Musik\r\n\r\n[NUMMER]\r\nwert=2\r\n");
    TempWorkDir::writeBytes("save.ini", jobs);
    auto form = start();
    ASSERT_EQ(form->form().lb_anzeige->count(), 2);
    WListBox& list = *form->form().lb_anzeige;
    const int odd = list.itemText(0) == "Musik" ? 1 : 0;
    list.select(odd);
    form->ShowSelectedJob();
    const std::string shown = detailsOf(*form);
    EXPECT_EQ(shown.rfind("Sicherungsname: Mu", 0), 0u) << shown;
    EXPECT_EQ(shown.find("Montag"), std::string::npos) << "not the details of Musik: " << shown;
    form->DeleteSelectedJob();
    EXPECT_EQ(TempWorkDir::readBytes("save.ini"), jobs) << "Musik keeps its section";
    EXPECT_NE(TempWorkDir::readBytes("savename.ini").find("=Musik\r\n"), std::string::npos);
}

// Hand-edited catalogues at their limits: names a file system would refuse, a name of 254
// characters, a job of 500 sources. Shown in full, nothing written, nothing hangs.
TEST_F(JobListTest, OddAndLargeJobsAreShownWithoutWritingAnything) {
    const std::string longName(254 - 7, 'L'); // "name_1=" + name: a line of 254 characters
    std::string jobs = "[a/b:c*?\"<>|]\r\nnach=/\r\n\r\n[" + longName + "]\r\nnach=/\r\n\r\n[Viele]\r\n";
    for (int i = 0; i < 500; ++i)
        jobs += "von_" + std::to_string(i) + "=/\r\n";
    jobs += "nach=/\r\n";
    TempWorkDir::writeBytes("savename.ini",
                            "[SICHERUNG]\r\nname_1=" + longName +
                                "\r\nname_2=a/b:c*?\"<>|\r\nname_3=Viele\r\n\r\n[NUMMER]\r\nwert=3\r\n");
    TempWorkDir::writeBytes("save.ini", jobs);
    const auto before = folderState();
    auto form = start();
    WListBox& list = *form->form().lb_anzeige;
    ASSERT_EQ(list.count(), 3);
    for (int i = 0; i < 3; ++i) {
        list.select(i);
        form->ShowSelectedJob();
        const std::string shown = detailsOf(*form);
        EXPECT_EQ(shown.rfind("Sicherungsname: " + list.itemText(i).toUtf8() + "\n\n", 0), 0u) << shown.substr(0, 80);
        EXPECT_NE(shown.find("\nnach: /\n"), std::string::npos) << "its own section";
    }
    list.select(2);
    form->ShowSelectedJob();
    const std::string many = detailsOf(*form);
    EXPECT_EQ(std::count(many.begin(), many.end(), '\n'), 2 + 500 + 3 + 3) << "every source on its line";
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(folderState(), before);
}

// A click on the list shows the clicked job, also when the button is released outside the list
// (the list holds the mouse); moving the selection with the keyboard does not.
TEST_F(JobListTest, AClickOnTheListShowsTheJobAndTheKeyboardDoesNot) {
    TempWorkDir::writeBytes("savename.ini", "[SICHERUNG]\r\nname_1=Eins\r\nname_2=Zwei\r\n\r\n[NUMMER]\r\nwert=2\r\n");
    TempWorkDir::writeBytes("save.ini", "[Eins]\r\nnach=/\r\n\r\n[Zwei]\r\nnach=/\r\n");
    auto form = start();
    WListBox& list = *form->form().lb_anzeige;
    ASSERT_EQ(detailsOf(*form).rfind("Sicherungsname: Eins", 0), 0u);
    list.widget()->setFocus();
    QTest::keyClick(list.widget(), Qt::Key_Down);
    ASSERT_EQ(list.selectedIndex(), 1);
    EXPECT_EQ(detailsOf(*form).rfind("Sicherungsname: Eins", 0), 0u) << "the keyboard does not rebuild it";
    WEventData down{WEventId::LeftButtonDownEvent};
    WEventData up{WEventId::LeftButtonUpEvent};
    up.x = 900; // released far outside the list
    list.raiseEvent(down);
    list.raiseEvent(up);
    EXPECT_EQ(detailsOf(*form).rfind("Sicherungsname: Zwei", 0), 0u);
}
