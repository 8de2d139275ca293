#include "ProgramSettings.h"
#include "TempWorkDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

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

// The file the settings form leaves with these marks, written as "0"/"1" per box.
std::string describeFile(const char* methode, const char* status, const char* sound) {
    return std::string("[EINSTELLUNG]\r\nmethode=") + methode + "\r\nstatus=" + status +
           "\r\n\r\n[SOUNDANI]\r\nstatus=" + sound + "\r\n";
}

} // namespace

// The first "Ok" on a missing file: each key is added directly under its head, so "status="
// comes before "methode=", and "[SOUNDANI]" follows after an empty line without a final line end.
TEST_F(ProgramSettingsTest, FirstSaveOnAMissingFile) {
    const struct {
        Marks marks;
        const char* bytes;
    } cases[] = {
        {{false, false, false}, "[EINSTELLUNG]\r\nstatus=0\r\nmethode=0\r\n\r\n[SOUNDANI]\r\nstatus=0"},
        {{true, false, false}, "[EINSTELLUNG]\r\nstatus=0\r\nmethode=1\r\n\r\n[SOUNDANI]\r\nstatus=0"},
        {{false, true, false}, "[EINSTELLUNG]\r\nstatus=1\r\nmethode=0\r\n\r\n[SOUNDANI]\r\nstatus=0"},
        {{false, false, true}, "[EINSTELLUNG]\r\nstatus=0\r\nmethode=0\r\n\r\n[SOUNDANI]\r\nstatus=1"},
    };
    for (const auto& c : cases) {
        TempWorkDir fresh;
        ProgramSettings::WriteMarks(c.marks);
        EXPECT_EQ(settings(), c.bytes) << describe(c.marks);
        EXPECT_EQ(fresh.entries(), std::vector<std::string>{"Einstellung.ini"});
    }
}

TEST_F(ProgramSettingsTest, SecondSaveReplacesTheValuesInPlace) {
    ProgramSettings::WriteMarks({true, true, true});
    ProgramSettings::WriteMarks({false, true, false});
    EXPECT_EQ(settings(), "[EINSTELLUNG]\r\nstatus=1\r\nmethode=0\r\n\r\n[SOUNDANI]\r\nstatus=0\r\n");
}

// What each reader makes of a value: the settings form marks a box for any non-zero number, the
// backup run and the effects want exactly "1", start-up hides the window for any non-zero number.
TEST_F(ProgramSettingsTest, ValueReadings) {
    const struct {
        const char* value;
        bool marked;
        bool exactlyOne;
    } cases[] = {{"1", true, true},    {"0", false, false}, {"2", true, false},  {"", false, false},
                 {"-1", true, false},  {" 1", true, false}, {"1 ", true, false}, {"01", true, false},
                 {"ja", false, false}, {"00", false, false}};
    for (const auto& c : cases) {
        writeSettings(describeFile(c.value, c.value, c.value));
        const Marks marks = ProgramSettings::ReadMarks();
        EXPECT_EQ(describe(marks), c.marked ? "111" : "000") << "value " << c.value;
        EXPECT_EQ(ProgramSettings::OverwriteCopies(), c.exactlyOne) << "value " << c.value;
        EXPECT_EQ(ProgramSettings::EffectsOn(), c.exactlyOne) << "value " << c.value;
        EXPECT_EQ(ProgramSettings::StartMode() != 0, c.marked) << "value " << c.value;
        EXPECT_EQ(settings(), describeFile(c.value, c.value, c.value)) << "reading writes nothing";
    }
}

// Each box is read from its own key: the two "status=" keys must not be confused.
TEST_F(ProgramSettingsTest, EachMarkFromItsOwnKey) {
    for (int bits = 0; bits < 8; ++bits) {
        const Marks written{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0};
        ProgramSettings::WriteMarks(written);
        EXPECT_EQ(describe(ProgramSettings::ReadMarks()), describe(written));
        EXPECT_EQ(ProgramSettings::OverwriteCopies(), written.overwrite) << describe(written);
        EXPECT_EQ(ProgramSettings::StartMode() != 0, written.startHidden) << describe(written);
        EXPECT_EQ(ProgramSettings::EffectsOn(), written.effects) << describe(written);
    }
}

TEST_F(ProgramSettingsTest, MissingOrEmptyGivesDefaultsAndCreatesNothing) {
    for (const char* content :
         {static_cast<const char*>(nullptr), "", "[EINSTELLUNG]\r\n", "[SOUNDANI]\r\nstatus=\r\n"}) {
        TempWorkDir fresh;
        if (content)
            writeSettings(content);
        EXPECT_EQ(describe(ProgramSettings::ReadMarks()), "000");
        EXPECT_FALSE(ProgramSettings::OverwriteCopies());
        EXPECT_EQ(ProgramSettings::StartMode(), 0);
        EXPECT_FALSE(ProgramSettings::EffectsOn());
        EXPECT_TRUE(ProgramSettings::Path().isEmpty());
        if (content)
            EXPECT_EQ(settings(), content);
        else
            EXPECT_TRUE(fresh.entries().empty());
    }
}

// The folder hand-over: the path goes in directly under the head, is taken once, and its line
// stays with an empty value.
TEST_F(ProgramSettingsTest, PathIsHandedOverOnce) {
    ProgramSettings::WriteMarks({false, false, false});
    const WString path = "/home/anna/Neuer Ordner=Ä"_w;
    ProgramSettings::SetPath(path);
    EXPECT_EQ(settings(), "[EINSTELLUNG]\r\npfad=/home/anna/Neuer Ordner=\xC4\r\nstatus=0\r\nmethode=0\r\n\r\n"
                          "[SOUNDANI]\r\nstatus=0\r\n");
    EXPECT_EQ(ProgramSettings::Path(), path);
    EXPECT_EQ(ProgramSettings::TakePath(), path);
    EXPECT_EQ(settings(), "[EINSTELLUNG]\r\npfad=\r\nstatus=0\r\nmethode=0\r\n\r\n[SOUNDANI]\r\nstatus=0\r\n");
    EXPECT_TRUE(ProgramSettings::TakePath().isEmpty());

    ProgramSettings::WriteMarks({true, false, true});
    EXPECT_EQ(settings(), "[EINSTELLUNG]\r\npfad=\r\nstatus=0\r\nmethode=1\r\n\r\n[SOUNDANI]\r\nstatus=1\r\n");
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
