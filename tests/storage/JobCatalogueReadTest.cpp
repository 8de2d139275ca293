// What the catalogue's reading operations make of missing, odd and hand-edited files, and that
// reading never writes.
#include "CatalogueTestSupport.h"
#include "IniFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

using namespace catalogue_test;
using namespace std::string_literals;

namespace {

class JobCatalogueReadTest : public InTempDir {
protected:
    JobCatalogue catalogue;
};

// Everything start-up and the editor read, for every name the files mention.
struct Reading {
    int jobCount = 0;
    Texts names;
    std::vector<ScheduleEntry> schedule;
};

Reading readAll(const JobCatalogue& catalogue, const std::vector<WString>& alsoLoad) {
    Reading r;
    r.jobCount = catalogue.ReadJobCount();
    const std::vector<WString> names = catalogue.ReadJobNames();
    r.names = texts(names);
    r.schedule = catalogue.LoadSchedule(r.jobCount);
    for (const WString& name : names) {
        catalogue.LoadJob(name);
        catalogue.IsNameTaken(name);
    }
    for (const WString& name : alsoLoad)
        catalogue.LoadJob(name);
    return r;
}

std::string section(const std::string& name, const std::string& day) {
    return "[" + name + "]\r\nvon_0=/q/" + name + "\r\nnach=/z\r\nwann=" + day + "\r\nzeit=12:00\r\naktiv=ja\r\n";
}

} // namespace

TEST_F(JobCatalogueReadTest, MissingFilesReadAsAnEmptyCatalogue) {
    EXPECT_EQ(catalogue.ReadJobCount(), 0);
    EXPECT_TRUE(catalogue.ReadJobNames().empty());
    EXPECT_FALSE(catalogue.IsNameTaken("Fotos"));
    EXPECT_TRUE(catalogue.LoadSchedule(0).empty());
    EXPECT_EQ(fields(catalogue.LoadSchedule(2)), Texts(8, "")) << "one empty entry per counted job";
    EXPECT_EQ(fields(catalogue.LoadJob("Fotos")), (Texts{"Fotos", "", "", "", "nein"}));
    EXPECT_TRUE(dir.entries().empty());
}

// An empty name entry, or a missing one, ends the name list; the schedule still runs by the count
// and keeps the jobs behind it at their numbers.
TEST_F(JobCatalogueReadTest, EmptyOrMissingNameEntry) {
    const char* const lists[] = {"[SICHERUNG]\r\nname_1=Fotos\r\nname_2=\r\nname_3=Musik\r\n\r\n[NUMMER]\r\nwert=3\r\n",
                                 "[SICHERUNG]\r\nname_1=Fotos\r\nname_3=Musik\r\n\r\n[NUMMER]\r\nwert=3\r\n"};
    for (const char* list : lists) {
        TempWorkDir fresh;
        TempWorkDir::writeBytes("savename.ini", list);
        TempWorkDir::writeBytes("save.ini", section("Fotos", "Montag") + "\r\n" + section("Musik", "Sonntag"));
        EXPECT_EQ(texts(catalogue.ReadJobNames()), Texts{"Fotos"}) << list;
        EXPECT_EQ(fields(catalogue.LoadSchedule(catalogue.ReadJobCount())),
                  (Texts{"Montag", "12:00", "ja", "Fotos", "", "", "", "", "Sonntag", "12:00", "ja", "Musik"}))
            << list;
    }
}

// Values come back byte for byte: a day in lower case (the editor's day box finds its item by
// prefix), an "=" inside a value, umlauts, blanks. "aktiv=" counts only as exactly "ja".
TEST_F(JobCatalogueReadTest, ValuesAsStored) {
    TempWorkDir::writeBytes("savename.ini", "[SICHERUNG]\r\nname_1=Fotos\r\n\r\n[NUMMER]\r\nwert=1\r\n");
    const std::string head = "[Fotos]\r\nvon_0=/home/anna/a=b\r\nvon_1= /M\xFCll \r\nnach=/z=1\r\nwann=montag\r\n"
                             "zeit=7:5\r\naktiv=";
    const struct {
        const char* stored;
        bool active;
    } flags[] = {{"ja", true}, {"Ja", false}, {"ja ", false}, {"nein", false}, {"", false}, {"jaja", false}};
    for (const auto& f : flags) {
        TempWorkDir::writeBytes("save.ini", head + f.stored + "\r\n");
        const BackupJob job = catalogue.LoadJob("Fotos");
        EXPECT_EQ(fields(job), (Texts{"Fotos", "/z=1", "montag", "7:5", f.active ? "ja" : "nein", "von /home/anna/a=b",
                                      "von  /M\xFCll "}))
            << "aktiv=" << f.stored;
        EXPECT_EQ(fields(catalogue.LoadSchedule(1)), (Texts{"montag", "7:5", f.stored, "Fotos"}));
    }
}

TEST_F(JobCatalogueReadTest, NamesAreTakenExactly) {
    saveNewJobs(
        {makeJob("Büro"_w, {}, "/z", "Montag", "08:00", true), makeJob("Fotos", {}, "/z", "Montag", "08:00", true)});
    EXPECT_TRUE(catalogue.IsNameTaken("Büro"_w));
    EXPECT_TRUE(catalogue.IsNameTaken("Fotos"));
    for (const WString& other : {WString("fotos"), WString("Fotos "), WString("Foto"), WString("BÜRO"_w), WString()})
        EXPECT_FALSE(catalogue.IsNameTaken(other)) << other.bytes();

    // A name behind a gap, or a section without a name entry, is taken as well: a new job of
    // that name would mix its keys into the old section.
    TempWorkDir::writeBytes("savename.ini", "[SICHERUNG]\r\nname_1=A\r\nname_3=Hinten\r\n");
    TempWorkDir::writeBytes("save.ini", "[Waise]\r\nnach=/z\r\n");
    EXPECT_TRUE(catalogue.IsNameTaken("Waise"));
    EXPECT_FALSE(catalogue.IsNameTaken("Hinten")) << "the name list ends at its first gap";
    TempWorkDir::writeBytes("save.ini", "[Hinten]\r\nnach=/z\r\n");
    EXPECT_TRUE(catalogue.IsNameTaken("Hinten"));
}

// Hand-edited files: every read ends, shows what can be shown, and leaves the folder untouched.
TEST_F(JobCatalogueReadTest, HandEditedFiles) {
    const std::string ab = section("A", "Montag") + "\r\n" + section("B", "Dienstag");
    const Texts scheduleAB = {"Montag", "12:00", "ja", "A", "Dienstag", "12:00", "ja", "B"};
    const struct {
        const char* what;
        std::string names;
        std::string jobs;
        Texts expectedNames;
        Texts expectedSchedule;
    } cases[] = {
        {"count not a number",
         "[SICHERUNG]\r\nname_1=A\r\nname_2=B\r\n\r\n[NUMMER]\r\nwert=zwei\r\n",
         ab,
         {"A", "B"},
         {}},
        {"negative count", "[SICHERUNG]\r\nname_1=A\r\nname_2=B\r\n\r\n[NUMMER]\r\nwert=-2\r\n", ab, {"A", "B"}, {}},
        {"count with blanks and words",
         "[SICHERUNG]\r\nname_1=A\r\nname_2=B\r\n\r\n[NUMMER]\r\nwert=  2 Jobs\r\n",
         ab,
         {"A", "B"},
         scheduleAB},
        {"no count section", "[SICHERUNG]\r\nname_1=A\r\nname_2=B\r\n", ab, {"A", "B"}, {}},
        {"name without a section",
         "[SICHERUNG]\r\nname_1=A\r\nname_2=Geist\r\n\r\n[NUMMER]\r\nwert=2\r\n",
         ab,
         {"A", "Geist"},
         {"Montag", "12:00", "ja", "A", "", "", "", "Geist"}},
        {"section without a name",
         "[SICHERUNG]\r\nname_1=B\r\n\r\n[NUMMER]\r\nwert=1\r\n",
         ab,
         {"B"},
         {"Dienstag", "12:00", "ja", "B"}},
        {"duplicate sections: the first wins",
         "[SICHERUNG]\r\nname_1=A\r\n\r\n[NUMMER]\r\nwert=1\r\n",
         section("A", "Montag") + "\r\n" + section("A", "Sonntag"),
         {"A"},
         {"Montag", "12:00", "ja", "A"}},
        {"names under the wrong head", "[NUMMER]\r\nwert=2\r\nname_1=A\r\nname_2=B\r\n", ab, {}, Texts(8, "")},
        {"binary bytes: a NUL ends a text, a lone CR stays",
         "[SICHERUNG]\r\nname_1=A\0xyz\r\nname_2=\x01\xFF\x7F\r\nname_3=a\rb\r\n\r\n[NUMMER]\r\nwert=3\r\n"s,
         ab + "\0\0\xFF[\r=\r\n\x1A"s,
         {"A", "\x01\xFF\x7F", "a\rb"},
         {"Montag", "12:00", "ja", "A", "", "", "", "\x01\xFF\x7F", "", "", "", "a\rb"}},
        {"300-character lines are cut after 254 characters",
         "[SICHERUNG]\r\nname_1=" + std::string(293, 'x') + "\r\nname_2=B\r\n\r\n[NUMMER]\r\nwert=2\r\n",
         "[B]\r\nvon_0=" + std::string(294, 'v') + "\r\nnach=/z\r\nwann=Montag\r\nzeit=12:00\r\naktiv=ja\r\n",
         {std::string(247, 'x'), "B"},
         {"", "", "", std::string(247, 'x'), "Montag", "12:00", "ja", "B"}},
    };
    for (const auto& c : cases) {
        TempWorkDir fresh;
        TempWorkDir::writeBytes("savename.ini", c.names);
        TempWorkDir::writeBytes("save.ini", c.jobs);
        const FolderState before = folderState(fresh);
        const Reading r = readAll(catalogue, {"A", "B", "Geist", "[", ""});
        EXPECT_EQ(r.names, c.expectedNames) << c.what;
        EXPECT_EQ(fields(r.schedule), c.expectedSchedule) << c.what;
        EXPECT_EQ(folderState(fresh), before) << c.what;
    }
}

TEST_F(JobCatalogueReadTest, CutLinesKeepWhatFits) {
    TempWorkDir::writeBytes("save.ini", "[B]\r\nvon_0=" + std::string(294, 'v') + "\r\nvon_1=/zwei\r\nnach=/z\r\n");
    const BackupJob job = catalogue.LoadJob("B");
    EXPECT_EQ(fields(job), (Texts{"B", "/z", "", "", "nein", "von " + std::string(248, 'v'), "von /zwei"}));
}

// A count far beyond the names (hand-edited, or clamped from an overflow) gives empty entries
// behind the real ones, but never more than the schedule's limit.
TEST_F(JobCatalogueReadTest, AbsurdCountIsCapped) {
    TempWorkDir::writeBytes("savename.ini", "[SICHERUNG]\r\nname_1=A\r\n\r\n[NUMMER]\r\nwert=99999999999\r\n");
    TempWorkDir::writeBytes("save.ini", section("A", "Montag"));
    const FolderState before = folderState(dir);
    EXPECT_EQ(catalogue.ReadJobCount(), INT_MAX);
    const std::vector<ScheduleEntry> schedule = catalogue.LoadSchedule(catalogue.ReadJobCount());
    ASSERT_EQ(schedule.size(), 100'000u);
    EXPECT_EQ(fields(schedule.front()), (Texts{"Montag", "12:00", "ja", "A"}));
    EXPECT_EQ(fields(schedule[1]), Texts(4, ""));
    EXPECT_EQ(fields(schedule.back()), Texts(4, ""));
    EXPECT_EQ(folderState(dir), before);
}

TEST_F(JobCatalogueReadTest, RandomBytesNeitherCrashNorWrite) {
    std::mt19937 rng(4711);
    for (int round = 0; round < 50; ++round) {
        TempWorkDir fresh;
        std::string names = "[SICHERUNG]\r\nname_1=";
        std::string jobs = "[";
        for (int i = 0; i < 3000; ++i) {
            names += static_cast<char>(rng() % 4 == 0 ? "\r\n[]=\0"[rng() % 6] : rng());
            jobs += static_cast<char>(rng() % 4 == 0 ? "\r\n[]=\0"[rng() % 6] : rng());
        }
        TempWorkDir::writeBytes("savename.ini", names);
        TempWorkDir::writeBytes("save.ini", jobs);
        const FolderState before = folderState(fresh);
        const Reading r = readAll(catalogue, {"", "[", "]"});
        EXPECT_LE(r.schedule.size(), 100'000u);
        EXPECT_EQ(folderState(fresh), before) << "round " << round;
    }
}

// Lines up to the limit keep their text and their line end through any number of rewrites;
// a longer source line is cut, and only the part that fits stays the source.
TEST_F(JobCatalogueReadTest, LineLengthLimit) {
    const struct {
        std::size_t lineLength;
        std::size_t keptSource;
    } cases[] = {{253, 247}, {254, 248}, {255, 248}};
    for (const auto& c : cases) {
        TempWorkDir fresh;
        const std::string source = "/" + std::string(c.lineLength - 7, 's'); // "von_0=" is 6 characters
        saveNewJobs({makeJob("A", {WString::fromBytes(source)}, "/z", "Montag", "12:00", true),
                     makeJob("B", {"/b"}, "/z", "Montag", "12:00", true)});
        EXPECT_EQ(catalogue.LoadJob("A").sources.front().bytes(), source.substr(0, c.keptSource)) << c.lineLength;
        if (c.lineLength <= 254) {
            EXPECT_EQ(bytesOf("save.ini"),
                      "[A]\r\nvon_0=" + source +
                          "\r\nnach=/z\r\nwann=Montag\r\nzeit=12:00\r\naktiv=ja\r\n"
                          "\r\n[B]\r\nvon_0=/b\r\nnach=/z\r\nwann=Montag\r\nzeit=12:00\r\naktiv=ja\r\n")
                << c.lineLength;
        }
    }
}
