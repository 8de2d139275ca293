// The bytes the catalogue's writing operations leave in "save.ini" and "savename.ini".
#include "CatalogueTestSupport.h"
#include "IniFile.h"

#include <gtest/gtest.h>

using namespace catalogue_test;

namespace {

class JobCatalogueLayoutTest : public InTempDir {
protected:
    JobCatalogue catalogue;
};

BackupJob fotos() {
    return makeJob("Fotos", {"/home/anna/Bilder"}, "/media/usb/Sicherung", "täglich"_w, "18:30", true);
}
BackupJob buero() {
    return makeJob("Büro"_w, {"/home/anna/Dokumente", "/home/anna/Briefe"}, "/media/usb/Büro"_w, "Freitag", "07:05",
                   false);
}

// "save.ini" after fotos() alone; later sections follow after one empty line.
const std::string kFotosSection = "[Fotos]\r\n"
                                  "von_0=/home/anna/Bilder\r\n"
                                  "nach=/media/usb/Sicherung\r\n"
                                  "wann=t\xE4glich\r\n"
                                  "zeit=18:30\r\n"
                                  "aktiv=ja\r\n";
const std::string kBueroSection = "[B\xFCro]\r\n"
                                  "von_0=/home/anna/Dokumente\r\n"
                                  "von_1=/home/anna/Briefe\r\n"
                                  "nach=/media/usb/B\xFCro\r\n"
                                  "wann=Freitag\r\n"
                                  "zeit=07:05\r\n"
                                  "aktiv=nein\r\n";
const std::string kTwoJobNames = "[SICHERUNG]\r\n"
                                 "name_2=B\xFCro\r\n"
                                 "name_1=Fotos\r\n"
                                 "\r\n"
                                 "[NUMMER]\r\n"
                                 "wert=2\r\n";

// A small job per letter, for the renumbering cases.
BackupJob letter(const char* name) {
    return makeJob(name, {WString("/quelle/") + name}, "/ziel", "Montag", "10:00", true);
}
std::string letterSection(const std::string& name) {
    return "[" + name + "]\r\nvon_0=/quelle/" + name + "\r\nnach=/ziel\r\nwann=Montag\r\nzeit=10:00\r\naktiv=ja\r\n";
}
int saveFourLetters() {
    return saveNewJobs({letter("A"), letter("B"), letter("C"), letter("D")});
}

} // namespace

TEST_F(JobCatalogueLayoutTest, FirstJobIntoEmptyFiles) {
    EXPECT_EQ(saveNewJobs({fotos()}), 1);
    EXPECT_EQ(bytesOf("savename.ini"), "[SICHERUNG]\r\n"
                                       "name_1=Fotos\r\n"
                                       "\r\n"
                                       "[NUMMER]\r\n"
                                       "wert=1");
    EXPECT_EQ(bytesOf("save.ini"), kFotosSection);
    EXPECT_EQ(dir.entries(), (Texts{"save.ini", "savename.ini"})) << "no temporary file stays behind";
}

TEST_F(JobCatalogueLayoutTest, TwoJobsLineByLine) {
    EXPECT_EQ(saveNewJobs({fotos(), buero()}), 2);
    EXPECT_EQ(bytesOf("savename.ini"), kTwoJobNames);
    EXPECT_EQ(bytesOf("save.ini"), kFotosSection + "\r\n" + kBueroSection);
    EXPECT_EQ(fields(catalogue.LoadJob("Büro"_w)), fields(buero()));
}

TEST_F(JobCatalogueLayoutTest, SavingAnExistingJobWithFewerSources) {
    int jobCount = saveNewJobs({fotos(), buero()});
    WString edited = "Büro"_w;
    const BackupJob changed = makeJob("Büro"_w, {"/home/anna/Steuer"}, "/media/nas", "Montag", "20:00", true);
    catalogue.SaveJob(changed, false, jobCount, edited);

    EXPECT_EQ(bytesOf("save.ini"), kFotosSection + "\r\n"
                                                   "[B\xFCro]\r\n"
                                                   "von_0=/home/anna/Steuer\r\n"
                                                   "nach=/media/nas\r\n"
                                                   "wann=Montag\r\n"
                                                   "zeit=20:00\r\n"
                                                   "aktiv=ja\r\n");
    EXPECT_EQ(bytesOf("savename.ini"), kTwoJobNames);
    EXPECT_EQ(jobCount, 2);
    EXPECT_EQ(edited, "Büro"_w);
}

// Whatever the old and new number of sources, exactly the new ones are left, numbered from 0.
TEST_F(JobCatalogueLayoutTest, ResavedSourcesReplaceTheOldOnes) {
    const std::vector<WString> pool = {"/a", "/b", "/c", "/d"};
    const std::pair<int, int> counts[] = {{3, 1}, {1, 3}, {2, 0}, {0, 2}, {4, 4}};
    for (const auto& [before, after] : counts) {
        TempWorkDir fresh;
        const std::vector<WString> oldSources(pool.begin(), pool.begin() + before);
        const std::vector<WString> newSources(pool.rbegin(), pool.rbegin() + after);
        int jobCount = saveNewJobs({makeJob("Job", oldSources, "/z", "Montag", "01:00", false), fotos()});
        WString edited = "Job";
        catalogue.SaveJob(makeJob("Job", newSources, "/z", "Montag", "01:00", false), false, jobCount, edited);

        const BackupJob loaded = catalogue.LoadJob("Job");
        EXPECT_EQ(texts(loaded.sources), texts(newSources)) << before << " -> " << after;
        IniFile ini;
        for (int i = after; i <= before; ++i)
            EXPECT_TRUE(ini.ReadKey("save.ini", "[Job]", WString::format("von_%d=", i)).isEmpty())
                << "stale von_" << i << " after " << before << " -> " << after;
        EXPECT_EQ(fields(catalogue.LoadJob("Fotos")), fields(fotos())) << "the other job is untouched";
    }
}

TEST_F(JobCatalogueLayoutTest, RenamingKeepsTheNumberAndTheLines) {
    int jobCount = saveNewJobs({fotos(), buero()});

    // From the editor: the same job saved under a new name.
    WString edited = "Fotos";
    BackupJob urlaub = fotos();
    urlaub.name = "Urlaub";
    catalogue.SaveJob(urlaub, false, jobCount, edited);
    EXPECT_EQ(edited, "Urlaub");
    std::string expectedSave = "[Urlaub]" + kFotosSection.substr(kFotosSection.find("\r\n")) + "\r\n" + kBueroSection;
    EXPECT_EQ(bytesOf("save.ini"), expectedSave);
    EXPECT_EQ(bytesOf("savename.ini"), "[SICHERUNG]\r\n"
                                       "name_2=B\xFCro\r\n"
                                       "name_1=Urlaub\r\n"
                                       "\r\n"
                                       "[NUMMER]\r\n"
                                       "wert=2\r\n");

    // Directly, for the second job: its head in the middle of the file is replaced in place.
    edited = "Büro"_w;
    EXPECT_TRUE(catalogue.RenameJob("Arbeit", edited));
    EXPECT_EQ(edited, "Arbeit");
    expectedSave.replace(expectedSave.find("[B\xFCro]"), 6, "[Arbeit]");
    EXPECT_EQ(bytesOf("save.ini"), expectedSave);
    EXPECT_EQ(bytesOf("savename.ini"), "[SICHERUNG]\r\n"
                                       "name_2=Arbeit\r\n"
                                       "name_1=Urlaub\r\n"
                                       "\r\n"
                                       "[NUMMER]\r\n"
                                       "wert=2\r\n");
    EXPECT_EQ(jobCount, 2);
}

TEST_F(JobCatalogueLayoutTest, DeletingNumberTwoOfFour) {
    EXPECT_TRUE(catalogue.DeleteJob("B", saveFourLetters()));
    EXPECT_EQ(bytesOf("save.ini"), letterSection("A") + "\r\n" + letterSection("C") + "\r\n" + letterSection("D"));
    EXPECT_EQ(bytesOf("savename.ini"), "[SICHERUNG]\r\n"
                                       "name_2=C\r\n"
                                       "name_3=D\r\n"
                                       "name_1=A\r\n"
                                       "\r\n"
                                       "[NUMMER]\r\n"
                                       "wert=3\r\n");
    EXPECT_EQ(texts(catalogue.ReadJobNames()), (Texts{"A", "C", "D"}));
}

TEST_F(JobCatalogueLayoutTest, DeletingTheLastJob) {
    int jobCount = saveFourLetters();
    EXPECT_TRUE(catalogue.DeleteJob("D", jobCount--));
    // No blank line stays where D's section was: the file ends as if D had never been saved.
    const std::string withoutD = letterSection("A") + "\r\n" + letterSection("B") + "\r\n" + letterSection("C");
    EXPECT_EQ(bytesOf("save.ini"), withoutD);
    EXPECT_EQ(bytesOf("savename.ini"), "[SICHERUNG]\r\n"
                                       "name_3=C\r\n"
                                       "name_2=B\r\n"
                                       "name_1=A\r\n"
                                       "\r\n"
                                       "[NUMMER]\r\n"
                                       "wert=3\r\n");

    // Adding and deleting a last job again and again never makes the file grow.
    for (int round = 0; round < 3; ++round) {
        BackupJob e;
        e.name = "E";
        e.sources = {"/quelle/E"};
        WString edited;
        catalogue.SaveJob(e, true, jobCount, edited);
        EXPECT_TRUE(catalogue.DeleteJob("E", jobCount--));
        EXPECT_EQ(bytesOf("save.ini"), withoutD) << "round " << round;
    }
}

TEST_F(JobCatalogueLayoutTest, DeletingTheOnlyJobAndStartingAgain) {
    EXPECT_TRUE(catalogue.DeleteJob("Fotos", saveNewJobs({fotos()})));
    EXPECT_EQ(bytesOf("save.ini"), "");
    EXPECT_EQ(bytesOf("savename.ini"), "[SICHERUNG]\r\n"
                                       "\r\n"
                                       "[NUMMER]\r\n"
                                       "wert=0\r\n");
    EXPECT_EQ(catalogue.ReadJobCount(), 0);
    EXPECT_TRUE(catalogue.ReadJobNames().empty());

    EXPECT_EQ(saveNewJobs({buero()}), 1);
    EXPECT_EQ(bytesOf("save.ini"), kBueroSection);
    EXPECT_EQ(bytesOf("savename.ini"), "[SICHERUNG]\r\n"
                                       "name_1=B\xFCro\r\n"
                                       "\r\n"
                                       "[NUMMER]\r\n"
                                       "wert=1\r\n");
}

// A hand-edited list with a gap: the names up to the gap move, the ones behind it stay.
TEST_F(JobCatalogueLayoutTest, DeletingInFrontOfAGap) {
    TempWorkDir::writeBytes("savename.ini",
                            "[SICHERUNG]\r\nname_1=A\r\nname_2=B\r\nname_4=D\r\n\r\n[NUMMER]\r\nwert=4\r\n");
    TempWorkDir::writeBytes("save.ini", letterSection("A") + "\r\n" + letterSection("B") + "\r\n" + letterSection("D"));
    EXPECT_TRUE(catalogue.DeleteJob("A", 4));
    EXPECT_EQ(bytesOf("savename.ini"), "[SICHERUNG]\r\nname_1=B\r\nname_4=D\r\n\r\n[NUMMER]\r\nwert=3\r\n");
    EXPECT_EQ(bytesOf("save.ini"), letterSection("B") + "\r\n" + letterSection("D"));
}

// The name is not among the entries up to the first empty one: both operations end, and no name
// entry and no count changes, so the scheduled jobs stay as they were.
TEST_F(JobCatalogueLayoutTest, NameNotInTheList) {
    const struct {
        const char* what;
        WString name;
    } cases[] = {{"unknown", "Musik"}, {"other case", "fotos"}, {"behind an empty entry", "Steuer"}};
    const std::string names = "[SICHERUNG]\r\nname_1=Fotos\r\nname_2=B\xFCro\r\nname_3=\r\nname_4=Steuer\r\n"
                              "\r\n[NUMMER]\r\nwert=4\r\n";
    for (const auto& c : cases) {
        TempWorkDir fresh;
        TempWorkDir::writeBytes("savename.ini", names);
        TempWorkDir::writeBytes("save.ini", kFotosSection + "\r\n" + kBueroSection);

        EXPECT_FALSE(catalogue.DeleteJob(c.name, 4)) << c.what;
        EXPECT_EQ(bytesOf("savename.ini"), names) << c.what;
        EXPECT_EQ(catalogue.LoadSchedule(catalogue.ReadJobCount()).size(), 4u) << c.what;

        WString edited = c.name;
        EXPECT_FALSE(catalogue.RenameJob("Neu", edited)) << c.what;
        EXPECT_EQ(edited, c.name) << c.what;
        EXPECT_EQ(bytesOf("savename.ini"), names) << c.what;
        EXPECT_EQ(texts(catalogue.ReadJobNames()), (Texts{"Fotos", "B\xFCro"})) << c.what;
        EXPECT_EQ(fields(catalogue.LoadJob("Fotos")), fields(fotos())) << c.what;
    }
}

// A hand-edited count below the names there are must not let a new job overwrite a name entry.
TEST_F(JobCatalogueLayoutTest, NewJobAfterATooLowCountTakesTheNextFreeNumber) {
    for (const char* count : {"wert=-2", "wert=0", "wert=1", "wert=abc"}) {
        SCOPED_TRACE(count);
        TempWorkDir::writeBytes("savename.ini", std::string("[SICHERUNG]\r\nname_2=B\r\nname_1=A\r\n\r\n[NUMMER]\r\n") +
                                                    count + "\r\n");
        int jobCount = catalogue.ReadJobCount();
        WString edited;
        catalogue.SaveJob(makeJob("C", {"/q"}, "/z", "Montag", "10:00", true), true, jobCount, edited);
        EXPECT_EQ(jobCount, 3);
        EXPECT_EQ(texts(catalogue.ReadJobNames()), (Texts{"A", "B", "C"}));
        EXPECT_EQ(catalogue.ReadJobCount(), 3);
        std::filesystem::remove("save.ini");
    }
}
