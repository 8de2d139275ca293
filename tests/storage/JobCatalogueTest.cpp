// The bytes the catalogue leaves in "save.ini" and "savename.ini", and what its reads make of
// missing, odd and hand-edited files without writing anything.
#include "storage/JobCatalogue.h"
#include "storage/IniFile.h"
#include "support/ScriptedWriter.h"
#include "support/SeamScope.h"
#include "support/TempWorkDir.h"
#include "support/TestPrinting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <vector>

using namespace std::string_literals;
using Texts = std::vector<std::string>;

namespace {

class JobCatalogueTest : public InTempDir {
protected:
    JobCatalogue catalogue;
};

BackupJob makeJob(const WString& name, const std::vector<WString>& sources, const WString& destination = "/ziel",
                  const WString& day = "Montag", const WString& time = "10:00", bool active = true) {
    return BackupJob{name, sources, destination, day, time, active};
}

// The fields as texts, for comparisons whose failures are readable.
Texts fields(const BackupJob& job) {
    Texts t{job.name.bytes(), job.destination.bytes(), job.day.bytes(), job.time.bytes(), job.active ? "ja" : "nein"};
    for (const WString& source : job.sources)
        t.push_back("von " + source.bytes());
    return t;
}
Texts fields(const std::vector<ScheduleEntry>& entries) {
    Texts t;
    for (const ScheduleEntry& e : entries)
        t.insert(t.end(), {e.day.bytes(), e.time.bytes(), e.active.bytes(), e.name.bytes()});
    return t;
}
Texts texts(const std::vector<WString>& names) {
    Texts t;
    for (const WString& n : names)
        t.push_back(n.bytes());
    return t;
}

// "ok", "ok, name not in the list", or the file and the reason of a failure.
std::string outcome(const WriteResult& r) {
    if (!r.ok)
        return r.file.bytes() + ": " + r.reason.bytes();
    return r.nameFound ? "ok" : "ok, name not in the list";
}

// Saves the jobs one after another as new jobs, the way the editor does; returns the job count.
int saveNewJobs(const std::vector<BackupJob>& jobs) {
    JobCatalogue catalogue;
    int jobCount = catalogue.ReadJobCount();
    WString editedJobName;
    for (const BackupJob& job : jobs)
        EXPECT_EQ(outcome(catalogue.SaveJob(job, true, jobCount, editedJobName)), "ok") << job.name.bytes();
    return jobCount;
}

std::string bytesOf(const char* file) {
    return TempWorkDir::readBytes(file);
}
void put(const char* file, const std::string& bytes) {
    TempWorkDir::writeBytes(file, bytes);
}

// Every entry of the folder with its bytes and inode: a safe rewrite replaces the file by a
// rename, so even a rewrite with the same bytes shows.
std::map<std::string, std::pair<std::string, ino_t>> folderState(const TempWorkDir& dir) {
    std::map<std::string, std::pair<std::string, ino_t>> state;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        const std::string bytes = entry.is_directory() ? "(folder)" : TempWorkDir::readBytes(entry.path());
        struct stat st {};
        ::stat(entry.path().c_str(), &st);
        state[entry.path().filename().string()] = {bytes, st.st_ino};
    }
    return state;
}

BackupJob fotos() {
    return makeJob("Fotos", {"/home/anna/Bilder"}, "/media/usb/Sicherung", "täglich"_w, "18:30", true);
}
BackupJob buero() {
    return makeJob("Büro"_w, {"/home/anna/Dokumente", "/home/anna/Briefe"}, "/media/usb/Büro"_w, "Freitag", "07:05",
                   false);
}

// "save.ini" after fotos() alone; later sections follow after one empty line.
const std::string kFotosSection =
    "[Fotos]\r\nvon_0=/home/anna/Bilder\r\nnach=/media/usb/Sicherung\r\nwann=t\xE4glich\r\nzeit=18:30\r\naktiv=ja\r\n";
const std::string kBueroSection = "[B\xFCro]\r\nvon_0=/home/anna/Dokumente\r\nvon_1=/home/anna/Briefe\r\n"
                                  "nach=/media/usb/B\xFCro\r\nwann=Freitag\r\nzeit=07:05\r\naktiv=nein\r\n";

// "savename.ini" with the given name lines (in file order) and count.
std::string nameFile(const std::string& nameLines, const std::string& count) {
    return "[SICHERUNG]\r\n" + nameLines + "\r\n[NUMMER]\r\nwert=" + count + "\r\n";
}

// A small job per letter, for the renumbering cases.
BackupJob letter(const char* name) {
    return makeJob(name, {WString("/quelle/") + name});
}
std::string letterSection(const std::string& name) {
    return "[" + name + "]\r\nvon_0=/quelle/" + name + "\r\nnach=/ziel\r\nwann=Montag\r\nzeit=10:00\r\naktiv=ja\r\n";
}

} // namespace

TEST_F(JobCatalogueTest, FirstAndSecondJobLineByLine) {
    EXPECT_EQ(saveNewJobs({fotos()}), 1);
    EXPECT_EQ(bytesOf("savename.ini"), "[SICHERUNG]\r\nname_1=Fotos\r\n\r\n[NUMMER]\r\nwert=1");
    EXPECT_EQ(bytesOf("save.ini"), kFotosSection);
    EXPECT_EQ(dir.entries(), (Texts{"save.ini", "savename.ini"})) << "no temporary file stays behind";

    EXPECT_EQ(saveNewJobs({buero()}), 2);
    EXPECT_EQ(bytesOf("savename.ini"), nameFile("name_2=B\xFCro\r\nname_1=Fotos\r\n", "2"));
    EXPECT_EQ(bytesOf("save.ini"), kFotosSection + "\r\n" + kBueroSection);
    EXPECT_EQ(fields(catalogue.LoadJob("Büro"_w)), fields(buero()));
}

// Whatever the old and new number of sources, exactly the new ones are left, numbered from 0, in
// the section's place; the other job and the name entries stay as they were.
TEST_F(JobCatalogueTest, SavingAnExistingJobReplacesItsSources) {
    int jobCount = saveNewJobs({fotos(), buero()});
    WString edited = "Büro"_w;
    catalogue.SaveJob(makeJob("Büro"_w, {"/home/anna/Steuer"}, "/media/nas", "Montag", "20:00", true), false, jobCount,
                      edited);
    EXPECT_EQ(bytesOf("save.ini"), kFotosSection + "\r\n[B\xFCro]\r\nvon_0=/home/anna/Steuer\r\nnach=/media/nas\r\n"
                                                   "wann=Montag\r\nzeit=20:00\r\naktiv=ja\r\n");
    EXPECT_EQ(bytesOf("savename.ini"), nameFile("name_2=B\xFCro\r\nname_1=Fotos\r\n", "2"));
    EXPECT_EQ(jobCount, 2);
    EXPECT_EQ(edited, "Büro"_w);

    const std::vector<WString> pool = {"/a", "/b", "/c", "/d"};
    for (const auto& [before, after] : {std::pair{3, 1}, {1, 3}, {2, 0}, {0, 2}, {4, 4}}) {
        TempWorkDir fresh;
        const std::vector<WString> newSources(pool.rbegin(), pool.rbegin() + after);
        int count = saveNewJobs({makeJob("Job", {pool.begin(), pool.begin() + before}), fotos()});
        WString name = "Job";
        catalogue.SaveJob(makeJob("Job", newSources), false, count, name);
        EXPECT_EQ(texts(catalogue.LoadJob("Job").sources), texts(newSources)) << before << " -> " << after;
        for (int i = after; i <= before; ++i)
            EXPECT_TRUE(IniFile().ReadKey("save.ini", "[Job]", WString::format("von_%d=", i)).isEmpty())
                << "stale von_" << i << " after " << before << " -> " << after;
        EXPECT_EQ(fields(catalogue.LoadJob("Fotos")), fields(fotos()));
    }
}

TEST_F(JobCatalogueTest, RenamingKeepsTheNumberAndTheLines) {
    int jobCount = saveNewJobs({fotos(), buero()});

    // From the editor: the same job saved under a new name.
    WString edited = "Fotos";
    BackupJob urlaub = fotos();
    urlaub.name = "Urlaub";
    catalogue.SaveJob(urlaub, false, jobCount, edited);
    EXPECT_EQ(edited, "Urlaub");
    std::string expectedSave = "[Urlaub]" + kFotosSection.substr(kFotosSection.find("\r\n")) + "\r\n" + kBueroSection;
    EXPECT_EQ(bytesOf("save.ini"), expectedSave);
    EXPECT_EQ(bytesOf("savename.ini"), nameFile("name_2=B\xFCro\r\nname_1=Urlaub\r\n", "2"));

    // Directly, for the second job: its head in the middle of the file is replaced in place.
    edited = "Büro"_w;
    EXPECT_EQ(outcome(catalogue.RenameJob("Arbeit", edited)), "ok");
    EXPECT_EQ(edited, "Arbeit");
    expectedSave.replace(expectedSave.find("[B\xFCro]"), 6, "[Arbeit]");
    EXPECT_EQ(bytesOf("save.ini"), expectedSave);
    EXPECT_EQ(bytesOf("savename.ini"), nameFile("name_2=Arbeit\r\nname_1=Urlaub\r\n", "2"));
    EXPECT_EQ(jobCount, 2);
}

// Deleting a job moves the names behind it down by one. Deleting the last job leaves no blank line
// where its section was and no name entry: the files read as if it had never been saved, so adding
// and deleting never makes them grow, down to no job at all.
TEST_F(JobCatalogueTest, DeletingJobs) {
    int jobCount = saveNewJobs({letter("A"), letter("B"), letter("C"), letter("D")});
    EXPECT_EQ(outcome(catalogue.DeleteJob("B", jobCount--)), "ok");
    EXPECT_EQ(bytesOf("save.ini"), letterSection("A") + "\r\n" + letterSection("C") + "\r\n" + letterSection("D"));
    EXPECT_EQ(bytesOf("savename.ini"), nameFile("name_2=C\r\nname_3=D\r\nname_1=A\r\n", "3"));

    EXPECT_EQ(outcome(catalogue.DeleteJob("D", jobCount--)), "ok");
    const std::string withoutD = letterSection("A") + "\r\n" + letterSection("C");
    EXPECT_EQ(bytesOf("save.ini"), withoutD);
    EXPECT_EQ(bytesOf("savename.ini"), nameFile("name_2=C\r\nname_1=A\r\n", "2"));
    for (int round = 0; round < 3; ++round) {
        WString edited;
        catalogue.SaveJob(makeJob("E", {"/quelle/E"}), true, jobCount, edited);
        EXPECT_EQ(outcome(catalogue.DeleteJob("E", jobCount--)), "ok");
        EXPECT_EQ(bytesOf("save.ini"), withoutD) << "round " << round;
    }

    for (const char* name : {"C", "A"})
        EXPECT_EQ(outcome(catalogue.DeleteJob(name, jobCount--)), "ok") << name;
    EXPECT_EQ(bytesOf("save.ini"), "");
    EXPECT_EQ(bytesOf("savename.ini"), nameFile("", "0"));
    EXPECT_EQ(saveNewJobs({buero()}), 1);
    EXPECT_EQ(bytesOf("save.ini"), kBueroSection);
    EXPECT_EQ(bytesOf("savename.ini"), nameFile("name_1=B\xFCro\r\n", "1"));
}

// A hand-edited list with a gap: the names up to the gap move, the ones behind it stay.
TEST_F(JobCatalogueTest, DeletingInFrontOfAGap) {
    put("savename.ini", nameFile("name_1=A\r\nname_2=B\r\nname_4=D\r\n", "4"));
    put("save.ini", letterSection("A") + "\r\n" + letterSection("B") + "\r\n" + letterSection("D"));
    EXPECT_EQ(outcome(catalogue.DeleteJob("A", 4)), "ok");
    EXPECT_EQ(bytesOf("savename.ini"), nameFile("name_1=B\r\nname_4=D\r\n", "3"));
    EXPECT_EQ(bytesOf("save.ini"), letterSection("B") + "\r\n" + letterSection("D"));
}

// The name is not among the entries up to the first empty one: both operations end, and no name
// entry and no count changes, so the scheduled jobs stay as they were.
TEST_F(JobCatalogueTest, NameNotInTheList) {
    const std::string names = nameFile("name_1=Fotos\r\nname_2=B\xFCro\r\nname_3=\r\nname_4=Steuer\r\n", "4");
    for (const WString& name : {WString("Musik"), WString("fotos"), WString("Steuer")}) {
        SCOPED_TRACE(name.bytes());
        TempWorkDir fresh;
        put("savename.ini", names);
        put("save.ini", kFotosSection + "\r\n" + kBueroSection);

        EXPECT_EQ(outcome(catalogue.DeleteJob(name, 4)), "ok, name not in the list");
        EXPECT_EQ(bytesOf("savename.ini"), names);
        EXPECT_EQ(catalogue.LoadSchedule(catalogue.ReadJobCount()).size(), 4u);

        WString edited = name;
        EXPECT_EQ(outcome(catalogue.RenameJob("Neu", edited)), "ok, name not in the list");
        EXPECT_EQ(edited, name);
        EXPECT_EQ(bytesOf("savename.ini"), names);
        EXPECT_EQ(fields(catalogue.LoadJob("Fotos")), fields(fotos()));
    }
}

// A hand-edited count below the names there are must not let a new job overwrite a name entry.
TEST_F(JobCatalogueTest, NewJobAfterATooLowCountTakesTheNextFreeNumber) {
    for (const char* count : {"-2", "0", "1", "abc"}) {
        SCOPED_TRACE(count);
        TempWorkDir fresh;
        put("savename.ini", nameFile("name_2=B\r\nname_1=A\r\n", count));
        int jobCount = catalogue.ReadJobCount();
        WString edited;
        catalogue.SaveJob(makeJob("C", {"/q"}), true, jobCount, edited);
        EXPECT_EQ(jobCount, 3);
        EXPECT_EQ(texts(catalogue.ReadJobNames()), (Texts{"A", "B", "C"}));
        EXPECT_EQ(catalogue.ReadJobCount(), 3);
    }
}

// Missing files read as an empty catalogue and stay missing. Values come back byte for byte: a day
// in lower case, an "=" inside a value, blanks; "aktiv=" counts only as exactly "ja", while the
// schedule keeps the stored text.
TEST_F(JobCatalogueTest, ValuesAsStored) {
    EXPECT_EQ(catalogue.ReadJobCount(), 0);
    EXPECT_TRUE(catalogue.ReadJobNames().empty());
    EXPECT_FALSE(catalogue.IsNameTaken("Fotos"));
    EXPECT_EQ(fields(catalogue.LoadSchedule(2)), Texts(8, "")) << "one empty entry per counted job";
    EXPECT_EQ(fields(catalogue.LoadJob("Fotos")), (Texts{"Fotos", "", "", "", "nein"}));
    EXPECT_TRUE(dir.entries().empty());

    put("savename.ini", nameFile("name_1=Fotos\r\n", "1"));
    for (const std::string flag : {"ja", "Ja", "ja ", ""}) {
        put("save.ini", "[Fotos]\r\nvon_0=/a=b\r\nvon_1= /M\xFCll \r\nnach=/z=1\r\nwann=montag\r\nzeit=7:5\r\naktiv=" +
                            flag + "\r\n");
        EXPECT_EQ(fields(catalogue.LoadJob("Fotos")),
                  (Texts{"Fotos", "/z=1", "montag", "7:5", flag == "ja" ? "ja" : "nein", "von /a=b", "von  /M\xFCll "}))
            << "aktiv=" << flag;
        EXPECT_EQ(fields(catalogue.LoadSchedule(1)), (Texts{"montag", "7:5", flag, "Fotos"}));
    }
}

TEST_F(JobCatalogueTest, NamesAreTakenExactly) {
    saveNewJobs({makeJob("Büro"_w, {}), makeJob("Fotos", {})});
    EXPECT_TRUE(catalogue.IsNameTaken("Büro"_w));
    EXPECT_TRUE(catalogue.IsNameTaken("Fotos"));
    for (const WString& other : {WString("fotos"), WString("Fotos "), WString("Foto"), WString("BÜRO"_w), WString()})
        EXPECT_FALSE(catalogue.IsNameTaken(other)) << other.bytes();

    // A section without a name entry is taken as well: a new job of that name would mix its keys
    // into the old section.
    put("savename.ini", "[SICHERUNG]\r\nname_1=A\r\nname_3=Hinten\r\n");
    put("save.ini", "[Waise]\r\nnach=/z\r\n");
    EXPECT_TRUE(catalogue.IsNameTaken("Waise"));
    EXPECT_FALSE(catalogue.IsNameTaken("Hinten")) << "the name list ends at its first gap";
}

// Hand-edited or damaged files: every read ends, shows what can be shown, and writes nothing.
// An empty name entry ends the name list, but the schedule still runs by the count and
// keeps the jobs behind it at their numbers.
TEST_F(JobCatalogueTest, HandEditedFilesAreReadWithoutWriting) {
    const std::string ab = letterSection("A") + "\r\n[B]\r\nwann=Sonntag\r\nzeit=12:00\r\naktiv=nein\r\n";
    const Texts scheduleAB = {"Montag", "10:00", "ja", "A", "Sonntag", "12:00", "nein", "B"};
    const Texts scheduleAGapB = {"Montag", "10:00", "ja", "A", "", "", "", "", "Sonntag", "12:00", "nein", "B"};
    const Texts none = {};
    // A count far beyond the names (hand-edited, or clamped from an overflow) gives empty entries
    // behind the real ones, but never more than the schedule's limit.
    Texts capped(4 * 100'000, "");
    std::copy_n(scheduleAB.begin(), 4, capped.begin());
    const struct {
        const char* what;
        std::string names;
        std::string jobs;
        Texts expectedNames;
        Texts expectedSchedule;
    } cases[] = {
        {"empty name entry", nameFile("name_1=A\r\nname_2=\r\nname_3=B\r\n", "3"), ab, {"A"}, scheduleAGapB},
        {"count not a number", nameFile("name_1=A\r\nname_2=B\r\n", "zwei"), ab, {"A", "B"}, none},
        {"absurd count", nameFile("name_1=A\r\n", "99999999999"), ab, {"A"}, capped},
        {"count with blanks and words", nameFile("name_1=A\r\nname_2=B\r\n", "  2 Jobs"), ab, {"A", "B"}, scheduleAB},
        {"name without a section",
         nameFile("name_1=A\r\nname_2=Geist\r\n", "2"),
         ab,
         {"A", "Geist"},
         {"Montag", "10:00", "ja", "A", "", "", "", "Geist"}},
        {"duplicate sections: the first wins",
         nameFile("name_1=A\r\n", "1"),
         letterSection("A") + "\r\n[A]\r\nwann=Sonntag\r\n",
         {"A"},
         {"Montag", "10:00", "ja", "A"}},
        {"names under the wrong head", "[NUMMER]\r\nwert=2\r\nname_1=A\r\nname_2=B\r\n", ab, {}, Texts(8, "")},
        {"binary bytes: a NUL ends a text, a lone CR stays",
         nameFile("name_1=A\0xyz\r\nname_2=\x01\xFF\x7F\r\nname_3=a\rb\r\n"s, "3"),
         ab + "\0\0\xFF[\r=\r\n\x1A"s,
         {"A", "\x01\xFF\x7F", "a\rb"},
         {"Montag", "10:00", "ja", "A", "", "", "", "\x01\xFF\x7F", "", "", "", "a\rb"}},
        {"300-character lines are cut after 254 characters",
         nameFile("name_1=" + std::string(293, 'x') + "\r\nname_2=B\r\n", "2"),
         "[B]\r\nvon_0=" + std::string(294, 'v') + "\r\nnach=/z\r\nwann=Montag\r\nzeit=10:00\r\naktiv=ja\r\n",
         {std::string(247, 'x'), "B"},
         {"", "", "", std::string(247, 'x'), "Montag", "10:00", "ja", "B"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempWorkDir fresh;
        put("savename.ini", c.names);
        put("save.ini", c.jobs);
        const auto before = folderState(fresh);
        const std::vector<WString> names = catalogue.ReadJobNames();
        EXPECT_EQ(texts(names), c.expectedNames);
        EXPECT_EQ(fields(catalogue.LoadSchedule(catalogue.ReadJobCount())), c.expectedSchedule);
        for (const WString& name : {WString("A"), WString("B"), WString("["), WString()}) {
            catalogue.LoadJob(name);
            catalogue.IsNameTaken(name);
        }
        EXPECT_EQ(folderState(fresh), before);
    }
}

namespace {

const std::string kLineBreak = "Der Text enthält einen Zeilenumbruch oder ein Steuerzeichen."_w.bytes();
const std::string kTooLong = "Die Zeile wäre länger als 254 Zeichen."_w.bytes();
const std::string kUnreadable = "Die Datei ist vorhanden, kann aber nicht gelesen werden."_w.bytes();

// A writing operation with the caller's jobCount and editedJobName.
using Operation = std::function<WriteResult(JobCatalogue&, int&, WString&)>;

Operation saving(const BackupJob& job, bool isNew) {
    return [job, isNew](JobCatalogue& c, int& n, WString& e) { return c.SaveJob(job, isNew, n, e); };
}
Operation renaming(const WString& newName) {
    return [newName](JobCatalogue& c, int&, WString& e) { return c.RenameJob(newName, e); };
}

// Runs the operation on a fresh catalogue of fotos() and buero() (after prepare, with writer in
// place) and expects it to fail with `expected` while both files keep their bytes and inodes, no
// other file appears, and the caller's jobCount and editedJobName stay as they came in.
void expectNothingChanged(
    const Operation& run, const WString& edited, const std::string& expected, FileWriter* writer = nullptr,
    const std::function<void()>& prepare = [] {}) {
    TempWorkDir fresh;
    int jobCount = saveNewJobs({fotos(), buero()});
    prepare();
    WString editedJobName = edited;
    const auto before = folderState(fresh);
    JobCatalogue catalogue;
    {
        SeamScope<FileWriter> scope(writer);
        EXPECT_EQ(outcome(run(catalogue, jobCount, editedJobName)), expected);
    }
    EXPECT_EQ(folderState(fresh), before);
    EXPECT_EQ(jobCount, 2);
    EXPECT_EQ(editedJobName, edited);
}

} // namespace

// A write that fails in the first file's temporary copy or in the second's (from its first byte or
// midway) changes neither file, and the result names the file and the system's reason. So does a
// file that cannot be read.
TEST_F(JobCatalogueTest, FailedWritesChangeNeitherFile) {
    BackupJob urlaub = fotos();
    urlaub.name = "Urlaub";
    const struct {
        const char* what;
        std::string firstFile; // the file whose new contents are written first
        WString edited;
        Operation run;
    } operations[] = {
        {"new job", "savename.ini", "", saving(letter("C"), true)},
        {"existing job under a new name", "savename.ini", "Fotos", saving(urlaub, false)},
        {"rename", "save.ini", "Büro"_w, renaming("Arbeit")},
        {"delete", "save.ini", "Fotos", [](JobCatalogue& c, int& n, WString&) { return c.DeleteJob("Fotos", n); }},
    };
    for (const auto& op : operations) {
        SCOPED_TRACE(op.what);
        std::size_t firstSize = 0; // the first file's new bytes: a failure behind them is in the second file
        {
            TempWorkDir reference;
            int jobCount = saveNewJobs({fotos(), buero()});
            WString edited = op.edited;
            ASSERT_EQ(outcome(op.run(catalogue, jobCount, edited)), "ok");
            firstSize = bytesOf(op.firstFile.c_str()).size();
        }
        const std::string secondFile = op.firstFile == "save.ini" ? "savename.ini" : "save.ini";
        const struct {
            std::size_t budget;
            int err;
            std::string expected;
        } failures[] = {
            {0, ENOSPC, op.firstFile + ": No space left on device"},
            {firstSize, EIO, secondFile + ": Input/output error"},
            {firstSize + 5, EDQUOT, secondFile + ": Disk quota exceeded"},
        };
        for (const auto& f : failures) {
            ScriptedWriter<FileWriter> writer(f.budget, f.err);
            expectNothingChanged(op.run, op.edited, f.expected, &writer);
        }
        // A file that is there but cannot be read (here a folder) is never replaced, so neither is the other.
        for (const std::string unreadable : {"save.ini", "savename.ini"}) {
            expectNothingChanged(op.run, op.edited, unreadable + ": " + kUnreadable, nullptr, [&] {
                std::filesystem::remove(unreadable);
                std::filesystem::create_directory(unreadable);
            });
        }
    }
}

// Every text a save would write is checked first: a line break (a legal character in a Linux file
// name) would turn the rest of the line into lines of its own, "[B]" into a section; a line over
// 254 characters would be read back in two. A refused job writes nothing to either file and leaves
// the caller's state; the longest line that fits is stored and read back whole.
TEST_F(JobCatalogueTest, TextsTheFilesCannotHoldAreRefusedBeforeAnythingIsWritten) {
    WString BackupJob::*const source = nullptr; // one more source
    const auto name = &BackupJob::name, destination = &BackupJob::destination;
    const struct {
        WString BackupJob::*field;
        std::string text;
        const char* fileNew;      // nullptr: stored
        const char* fileExisting; // saved under this name, or renamed to it
        const std::string& reason;
    } cases[] = {
        {source, "/a\n[B]", "save.ini", "save.ini", kLineBreak},
        {destination, "/media/usb\r", "save.ini", "save.ini", kLineBreak},
        {&BackupJob::day, "Montag\n", "save.ini", "save.ini", kLineBreak},
        {&BackupJob::time, "10:00\n[X]", "save.ini", "save.ini", kLineBreak},
        {name, "Neu\n[B]", "savename.ini", "save.ini", kLineBreak},
        {source, "/" + std::string(247, 'q'), nullptr, nullptr, kTooLong}, // "von_1=" + 248 = 254
        {source, "/" + std::string(248, 'q'), "save.ini", "save.ini", kTooLong},
        {destination, "/" + std::string(248, 'z'), nullptr, nullptr, kTooLong}, // "nach=" + 249 = 254
        {destination, "/" + std::string(249, 'z'), "save.ini", "save.ini", kTooLong},
        {name, std::string(247, 'n'), nullptr, nullptr, kTooLong}, // "name_1=" + 247 = 254
        {name, std::string(248, 'n'), "savename.ini", "savename.ini", kTooLong},
        {name, std::string(253, 'n'), "savename.ini", "save.ini", kTooLong}, // "[" + 253 + "]" = 255
    };
    for (const auto& c : cases) {
        const WString text = WString::fromBytes(c.text);
        BackupJob asNew = fotos(), asExisting = fotos();
        asNew.name = "Neu";
        for (BackupJob* job : {&asNew, &asExisting}) {
            if (c.field)
                job->*c.field = text;
            else
                job->sources.push_back(text);
        }
        std::vector<std::tuple<const char*, bool, Operation>> ways = {
            {"new job", true, saving(asNew, true)}, {"existing job", false, saving(asExisting, false)}};
        if (c.field == name)
            ways.emplace_back("rename", false, renaming(text));
        for (const auto& [what, isNew, run] : ways) {
            SCOPED_TRACE(what + (": " + testing::PrintToString(c.text)));
            const WString edited = isNew ? "" : "Fotos";
            if (const char* file = isNew ? c.fileNew : c.fileExisting) {
                expectNothingChanged(run, edited, file + ": "s + c.reason);
                continue;
            }
            TempWorkDir fresh;
            int jobCount = saveNewJobs({fotos(), buero()});
            WString editedJobName = edited;
            ASSERT_EQ(outcome(run(catalogue, jobCount, editedJobName)), "ok");
            const BackupJob& stored = isNew ? asNew : asExisting;
            EXPECT_EQ(fields(catalogue.LoadJob(stored.name)), fields(stored));
            const Texts names =
                isNew ? Texts{"Fotos", "B\xFCro", stored.name.bytes()} : Texts{stored.name.bytes(), "B\xFCro"};
            EXPECT_EQ(texts(catalogue.ReadJobNames()), names);
        }
    }
}

// A save fails at its n-th write, fsync or rename, for every n until one runs through: each
// failure is reported and leaves the old files as they were (bytes and inodes) with no temporary
// file beside them, for a key written into one file and for a job saved into both.
TEST_F(JobCatalogueTest, AFailureAtAnyCallOfASaveLeavesTheOldFiles) {
    BackupJob urlaub = fotos();
    urlaub.name = "Urlaub";
    const std::pair<const char*, std::function<bool()>> saves[] = {
        {"a key in save.ini", [] { return IniFile().WriteKey("save.ini", "[Fotos]", "nach=/neu").ok; }},
        {"a job saved under a new name",
         [&] {
             int jobCount = 2;
             WString edited = "Fotos";
             return JobCatalogue().SaveJob(urlaub, false, jobCount, edited).ok;
         }},
    };
    for (const auto& [what, save] : saves) {
        TempWorkDir fresh;
        saveNewJobs({fotos(), buero()});
        const auto before = folderState(fresh);
        for (int n = 1;; ++n) {
            SCOPED_TRACE(what + (": call " + std::to_string(n)));
            FailingCall disk(n);
            const bool ok = save();
            if (disk.calls < n) {
                EXPECT_TRUE(ok) << "nothing failed";
                EXPECT_NE(folderState(fresh), before);
                break;
            }
            EXPECT_FALSE(ok);
            ASSERT_EQ(folderState(fresh), before);
        }
    }
}
