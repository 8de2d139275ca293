#include "storage/ProgramSettings.h"
#include "support/ScriptedWriter.h"
#include "support/TempWorkDir.h"
#include "support/TestPrinting.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace {

using Marks = ProgramSettings::Marks;

class ProgramSettingsTest : public InTempDir {
protected:
    static std::string settings() { return TempWorkDir::readBytes("Einstellung.ini"); }
    static void writeSettings(const std::string& bytes) { TempWorkDir::writeBytes("Einstellung.ini", bytes); }
};

std::string describe(const Marks& m) {
    return std::string(m.overwrite ? "1" : "0") + (m.startHidden ? "1" : "0") + (m.effects ? "1" : "0");
}

// The file with these values; each key is added directly under its head, so "status=" comes
// before "methode=".
std::string describeFile(const std::string& methode, const std::string& status, const std::string& sound) {
    return "[EINSTELLUNG]\r\nstatus=" + status + "\r\nmethode=" + methode + "\r\n\r\n[SOUNDANI]\r\nstatus=" + sound;
}

} // namespace

// "Ok" in the settings form, on a missing file and then again: each box goes to its own key, and
// the second save replaces the values in place, leaving one "methode=" and two "status=" lines.
TEST_F(ProgramSettingsTest, EachMarkToItsOwnKeyAndASecondSaveInPlace) {
    for (int bits = 0; bits < 8; ++bits) {
        TempWorkDir fresh;
        const Marks first{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0};
        const std::string m = describe(first);
        ProgramSettings::WriteMarks(first);
        EXPECT_EQ(settings(), describeFile(m.substr(0, 1), m.substr(1, 1), m.substr(2, 1))) << m;
        EXPECT_EQ(describe(ProgramSettings::ReadMarks()), m);

        const Marks second{!first.overwrite, !first.startHidden, !first.effects};
        const std::string m2 = describe(second);
        ProgramSettings::WriteMarks(second);
        EXPECT_EQ(settings(), describeFile(m2.substr(0, 1), m2.substr(1, 1), m2.substr(2, 1)) + "\r\n") << m << m2;
        EXPECT_EQ(fresh.entries(), std::vector<std::string>{"Einstellung.ini"});
    }
}

// What each reader makes of a value: the settings form marks a box for any non-zero number, the
// backup run and the effects want exactly "1", start-up hides the window for any non-zero number.
// A missing file or key reads as unmarked, and no reading creates or changes the file.
TEST_F(ProgramSettingsTest, ValueReadings) {
    std::vector<std::tuple<std::optional<std::string>, bool, bool>> cases = {
        {std::nullopt, false, false}, {"", false, false}, {"[EINSTELLUNG]\r\n", false, false}};
    const std::tuple<const char*, bool, bool> values[] = {
        {"1", true, true},   {"0", false, false}, {"2", true, false},  {"", false, false},   {"-1", true, false},
        {" 1", true, false}, {"1 ", true, false}, {"01", true, false}, {"ja", false, false}, {"00", false, false}};
    for (const auto& [value, marked, exactlyOne] : values)
        cases.emplace_back(describeFile(value, value, value) + "\r\n", marked, exactlyOne);
    for (const auto& [file, marked, exactlyOne] : cases) {
        SCOPED_TRACE(testing::PrintToString(file));
        TempWorkDir fresh;
        if (file)
            writeSettings(*file);
        EXPECT_EQ(describe(ProgramSettings::ReadMarks()), marked ? "111" : "000");
        EXPECT_EQ(ProgramSettings::OverwriteCopies(), exactlyOne);
        EXPECT_EQ(ProgramSettings::EffectsOn(), exactlyOne);
        EXPECT_EQ(ProgramSettings::StartMode() != 0, marked);
        EXPECT_TRUE(ProgramSettings::Path().isEmpty());
        EXPECT_EQ(fresh.entries(), file ? std::vector<std::string>{"Einstellung.ini"} : std::vector<std::string>{});
        if (file) {
            EXPECT_EQ(settings(), *file);
        }
    }
}

// The settings form writes on the user-interface thread while backup runs read on the scheduler's.
// The writer alternates between all boxes on and all off; a reader that saw the file between two
// of the three key writes would find a mixed state. The path hand-over races with the same
// writes: a lost update would bring back an old path, lose the new one, or undo a save.
TEST_F(ProgramSettingsTest, ThreadsNeverSeeHalfASave) {
    ProgramSettings::WriteMarks({false, false, false});
    std::atomic<bool> done{false};
    std::atomic<int> mixed{0};
    std::atomic<int> lostPaths{0};
    int lostMarks = 0;
    std::thread scheduler([&] {
        for (int i = 0; !done.load(); ++i) {
            const std::string seen = describe(ProgramSettings::ReadMarks());
            if (seen != "000" && seen != "111")
                ++mixed;
            if (i % 16 == 0) { // the single-key readers share the lock
                ProgramSettings::OverwriteCopies();
                ProgramSettings::EffectsOn();
                const int mode = ProgramSettings::StartMode();
                if (mode != 0 && mode != 1)
                    ++mixed;
            }
        }
    });
    std::thread folderForm([&] {
        for (int i = 0; i < 300; ++i) {
            const WString path = WString::format("/home/anna/Ordner %d", i);
            ProgramSettings::SetPath(path);
            if (ProgramSettings::TakePath() != path)
                ++lostPaths;
        }
    });
    for (int i = 0; i < 300; ++i) {
        const bool on = i % 2 != 0;
        ProgramSettings::WriteMarks({on, on, on});
        // Nobody else writes the marks, so they must still be there.
        if (describe(ProgramSettings::ReadMarks()) != (on ? "111" : "000"))
            ++lostMarks;
    }
    folderForm.join();
    done = true;
    scheduler.join();
    EXPECT_EQ(mixed.load(), 0);
    EXPECT_EQ(lostPaths.load(), 0);
    EXPECT_EQ(lostMarks, 0);
    EXPECT_EQ(settings(), "[EINSTELLUNG]\r\npfad=\r\nstatus=1\r\nmethode=1\r\n\r\n[SOUNDANI]\r\nstatus=1\r\n");
}

// The folder hand-over: the path goes in directly under the head, is taken once, and its line
// stays with an empty value. A folder name may hold a line break; written as it is, its tail would
// become a line, or a section, of its own in "Einstellung.ini". Such a path, or one whose line
// would pass 254 characters, is refused and the file stays as it was; the longest path that fits
// is handed over whole. A failed write is reported and changes nothing either.
TEST_F(ProgramSettingsTest, PathsTheFileCannotHoldAndFailedWritesAreReported) {
    // Saved twice, the file ends with its final line end as a rewrite leaves it.
    ASSERT_TRUE(ProgramSettings::WriteMarks({true, false, true}));
    ASSERT_TRUE(ProgramSettings::WriteMarks({true, false, true}));
    const std::string marks = settings();
    const std::string longest = "/" + std::string(248, 'o'); // "pfad=" + 249 = 254
    const std::pair<std::string, bool> cases[] = {
        {"/home/anna/a\nb", false}, {"/home/anna/a\r", false}, {"/home/anna/x\r\n[SOUNDANI]\r\nstatus=0", false},
        {longest + "o", false},     {longest, true},           {"/home/anna/Neuer Ordner=\xC4", true},
    };
    for (const auto& [path, stored] : cases) {
        SCOPED_TRACE(testing::PrintToString(path));
        writeSettings(marks);
        const WString text = WString::fromBytes(path);
        EXPECT_EQ(ProgramSettings::SetPath(text), stored);
        if (!stored) {
            EXPECT_EQ(settings(), marks);
            EXPECT_TRUE(ProgramSettings::TakePath().isEmpty());
            continue;
        }
        EXPECT_EQ(settings(), "[EINSTELLUNG]\r\npfad=" + path + "\r\n" + marks.substr(15));
        EXPECT_EQ(ProgramSettings::Path(), text);
        EXPECT_EQ(ProgramSettings::TakePath(), text);
        EXPECT_EQ(settings(), "[EINSTELLUNG]\r\npfad=\r\n" + marks.substr(15));
        EXPECT_TRUE(ProgramSettings::TakePath().isEmpty());
        EXPECT_EQ(describe(ProgramSettings::ReadMarks()), "101");
    }

    writeSettings(marks);
    {
        FullDisk disk;
        EXPECT_FALSE(ProgramSettings::SetPath("/home/anna"));
        EXPECT_FALSE(ProgramSettings::WriteMarks({false, true, false}));
    }
    EXPECT_EQ(settings(), marks);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"Einstellung.ini"});
}
