#include "IniFile.h"
#include "SafeSave.h"
#include "TempWorkDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// Readable failure messages: the bytes, not the object.
static void PrintTo(const WString& s, std::ostream* os) {
    *os << testing::PrintToString(s.bytes());
}

namespace {

class IniFileTest : public InTempDir {
protected:
    static std::string bytes(const char* name) { return TempWorkDir::readBytes(name); }
    static void put(const char* name, const std::string& content) { TempWorkDir::writeBytes(name, content); }
    IniFile ini;
};

constexpr uid_t kNobody = 65534;

class BrokenDisk : public FileWriter {
public:
    ssize_t write(int, const void*, std::size_t) override {
        errno = ENOSPC;
        return -1;
    }
};

} // namespace

TEST_F(IniFileTest, ReadKeyOnMissingFileCreatesNothing) {
    EXPECT_TRUE(ini.ReadKey("Einstellung.ini", "[EINSTELLUNG]", "methode=").isEmpty());
    EXPECT_TRUE(dir.entries().empty());
}

TEST_F(IniFileTest, FirstKeyOfANewFileAndItsReplacement) {
    ini.WriteKey("Einstellung.ini", "[EINSTELLUNG]", "pfad=");
    EXPECT_EQ(bytes("Einstellung.ini"), "[EINSTELLUNG]\r\npfad=");
    ini.WriteKey("Einstellung.ini", "[EINSTELLUNG]", "pfad=/home/anna");
    EXPECT_EQ(bytes("Einstellung.ini"), "[EINSTELLUNG]\r\npfad=/home/anna\r\n");
    EXPECT_EQ(ini.ReadKey("Einstellung.ini", "[EINSTELLUNG]", "pfad="), "/home/anna");
    EXPECT_EQ(dir.entries(), Names{"Einstellung.ini"});
}

TEST_F(IniFileTest, NewSectionFollowsAnEmptyLine) {
    ini.WriteKey("Einstellung.ini", "[EINSTELLUNG]", "pfad=");
    ini.WriteKey("Einstellung.ini", "[EINSTELLUNG]", "pfad=/x");
    ini.WriteKey("Einstellung.ini", "[SOUNDANI]", "wert=1");
    EXPECT_EQ(bytes("Einstellung.ini"), "[EINSTELLUNG]\r\npfad=/x\r\n\r\n[SOUNDANI]\r\nwert=1");
}

TEST_F(IniFileTest, NewKeysGoDirectlyUnderTheHead) {
    put("Einstellung.ini", "[EINSTELLUNG]\r\n\r\n[SOUNDANI]\r\nwert=0\r\n");
    ini.WriteKey("Einstellung.ini", "[EINSTELLUNG]", "methode=1");
    ini.WriteKey("Einstellung.ini", "[EINSTELLUNG]", "status=0");
    EXPECT_EQ(bytes("Einstellung.ini"), "[EINSTELLUNG]\r\nstatus=0\r\nmethode=1\r\n\r\n[SOUNDANI]\r\nwert=0\r\n");
}

// How a key is found: exact bytes up to and including the first "=", within the section only.
TEST_F(IniFileTest, KeyMatchingTable) {
    struct Case {
        const char* name;
        std::string file;
        const char* section;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"capital P", "[E]\r\nPfad=a\r\n", "[E]", "pfad=", ""},
        {"blank before =", "[E]\r\npfad =a\r\n", "[E]", "pfad=", ""},
        {"longer name", "[E]\r\npfadx=a\r\n", "[E]", "pfad=", ""},
        {"first of several", "[E]\r\nPfad=a\r\npfad=b\r\npfad=c\r\n", "[E]", "pfad=", "b"},
        {"= in the value", "[E]\r\nvon_1=a=b==c\r\n", "[E]", "von_1=", "a=b==c"},
        {"key text after = ignored", "[E]\r\nwert=1\r\n", "[E]", "wert=egal", "1"},
        {"empty value", "[E]\r\nname_1=\r\n", "[E]", "name_1=", ""},
        {"below the next head", "[A]\r\n[B]\r\nx=1\r\n", "[A]", "x=", ""},
        {"in its own section", "[A]\r\n[B]\r\nx=1\r\n", "[B]", "x=", "1"},
        {"later section of the same name", "[A]\r\ny=0\r\n[A]\r\nx=2\r\n", "[A]", "x=", ""},
        {"line starting with [ ends it", "[A]\r\n[kein Kopf=1\r\nx=3\r\n", "[A]", "x=", ""},
        {"keys above the head", "x=1\r\n[A]\r\n", "[A]", "x=", ""},
        {"section case", "[einstellung]\r\nx=1\r\n", "[EINSTELLUNG]", "x=", ""},
        {"section with blank", "[A] \r\nx=1\r\n", "[A]", "x=", ""},
        {"umlauts", "[Sicherung \xC4]\r\nzeit=12:00\r\n", "[Sicherung \xC4]", "zeit=", "12:00"},
        {"blank lines in section", "[A]\r\n\r\n\r\nx=4\r\n", "[A]", "x=", "4"},
        {"key without =", "[A]\r\nabc\r\n", "[A]", "abc", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        put("t.ini", c.file);
        EXPECT_EQ(ini.ReadKey("t.ini", c.section, c.key), c.value);
        EXPECT_EQ(bytes("t.ini"), c.file); // reading never writes
    }
}

TEST_F(IniFileTest, WriteKeyReplacesOnlyTheFirstMatchInItsSection) {
    put("t.ini", "[A]\r\nx=1\r\nx=2\r\n[B]\r\nx=3\r\n");
    ini.WriteKey("t.ini", "[B]", "x=30");
    ini.WriteKey("t.ini", "[A]", "x=10");
    EXPECT_EQ(bytes("t.ini"), "[A]\r\nx=10\r\nx=2\r\n[B]\r\nx=30\r\n");
}

TEST_F(IniFileTest, DeleteKey) {
    put("save.ini", "[Job]\r\nvon_1=/a\r\nvon_2=/b\r\nnach=/z\r\n");
    EXPECT_FALSE(ini.DeleteKey("save.ini", "[Job]", "von_2="));
    EXPECT_EQ(bytes("save.ini"), "[Job]\r\nvon_1=/a\r\nnach=/z\r\n");
    EXPECT_TRUE(ini.DeleteKey("save.ini", "[Job]", "von_2="));
    EXPECT_TRUE(ini.DeleteKey("save.ini", "[Anderer]", "nach="));
    EXPECT_EQ(bytes("save.ini"), "[Job]\r\nvon_1=/a\r\nnach=/z\r\n");
}

TEST_F(IniFileTest, DeleteKeyOnMissingFileLeavesAnEmptyFile) {
    EXPECT_TRUE(ini.DeleteKey("savename.ini", "[NUMMER]", "wert="));
    EXPECT_EQ(dir.entries(), Names{"savename.ini"});
    EXPECT_EQ(bytes("savename.ini"), "");
}

TEST_F(IniFileTest, DeleteSectionHeadLeavesTheKeysToTheSectionAbove) {
    put("save.ini", "[A]\r\na=1\r\n[B]\r\nb=2\r\n");
    EXPECT_FALSE(ini.DeleteSectionHead("save.ini", "[B]"));
    EXPECT_EQ(bytes("save.ini"), "[A]\r\na=1\r\nb=2\r\n");
    EXPECT_EQ(ini.ReadKey("save.ini", "[A]", "b="), "2");
    EXPECT_TRUE(ini.DeleteSectionHead("save.ini", "[B]"));
    EXPECT_EQ(bytes("save.ini"), "[A]\r\na=1\r\nb=2\r\n");
}

TEST_F(IniFileTest, RenameSection) {
    put("save.ini", "[Alt]\r\nzeit=10:00\r\n[Alt]\r\n");
    ini.RenameSection("save.ini", "[Alt]", "[Neu]");
    EXPECT_EQ(bytes("save.ini"), "[Neu]\r\nzeit=10:00\r\n[Alt]\r\n");
    EXPECT_EQ(ini.ReadKey("save.ini", "[Neu]", "zeit="), "10:00");
    ini.RenameSection("save.ini", "[Fehlt]", "[X]");
    EXPECT_EQ(bytes("save.ini"), "[Neu]\r\nzeit=10:00\r\n[Alt]\r\n");
}

TEST_F(IniFileTest, EmptyFirstLineGoesAtTheNextWrite) {
    put("t.ini", "\r\n[A]\r\nx=1\r\n");
    EXPECT_EQ(ini.ReadKey("t.ini", "[A]", "x="), "1");
    EXPECT_EQ(bytes("t.ini"), "\r\n[A]\r\nx=1\r\n");
    ini.WriteKey("t.ini", "[A]", "x=2");
    EXPECT_EQ(bytes("t.ini"), "[A]\r\nx=2\r\n");
}

// The log's trimming sequence: the empty key removes the empty line below an entry.
TEST_F(IniFileTest, RemovingALogEntryWithItsEmptyLine) {
    const std::string second = "[05.12.2026 10:02:41]\r\nSicherung=gel\xF6scht\r\nName=Alt\r\nVerlauf=ok\r\n";
    put("save.log", "[05.12.2026 10:00:03]\r\nSicherung=gestartet\r\nName=Projekte\r\nVerlauf=ok\r\n\r\n" + second);
    const WString head = "[05.12.2026 10:00:03]";
    for (const char* key : {"Sicherung=", "Name=", "Verlauf=", ""})
        EXPECT_FALSE(ini.DeleteKey("save.log", head, key)) << key;
    EXPECT_FALSE(ini.DeleteSectionHead("save.log", head));
    EXPECT_EQ(bytes("save.log"), second);
}

TEST_F(IniFileTest, EverySectionOnItsOwnAfterLogStyleWrites) {
    for (const char* head : {"[05.12.2026 10:00:03]", "[05.12.2026 10:02:41]"}) {
        ini.WriteKey("save.log", head, "Verlauf=ok");
        ini.WriteKey("save.log", head, "Name=");
        ini.WriteKey("save.log", head, "Sicherung=neu");
    }
    EXPECT_EQ(bytes("save.log"), "[05.12.2026 10:00:03]\r\nSicherung=neu\r\nName=\r\nVerlauf=ok\r\n\r\n"
                                 "[05.12.2026 10:02:41]\r\nSicherung=neu\r\nName=\r\nVerlauf=ok\r\n");
}

TEST_F(IniFileTest, NothingIsCachedBetweenCalls) {
    ini.WriteKey("a.ini", "[A]", "x=1");
    EXPECT_TRUE(ini.ReadKey("b.ini", "[A]", "x=").isEmpty());
    put("a.ini", "[A]\r\nx=2\r\n");
    EXPECT_EQ(ini.ReadKey("a.ini", "[A]", "x="), "2");
    ini.WriteKey("b.ini", "[B]", "y=1");
    EXPECT_EQ(bytes("b.ini"), "[B]\r\ny=1");
    EXPECT_EQ(dir.entries(), (Names{"a.ini", "b.ini"}));
}

TEST_F(IniFileTest, FileNameIsConvertedToUtf8) {
    ini.WriteKey("Sicherung_\xE4\xDF.ini", "[A]", "x=1");
    EXPECT_EQ(dir.entries(), Names{"Sicherung_äß.ini"});
    EXPECT_EQ(ini.ReadKey("Sicherung_\xE4\xDF.ini", "[A]", "x="), "1");
}

TEST_F(IniFileTest, FailedSaveKeepsTheOldFile) {
    const std::string old = "[EINSTELLUNG]\r\nmethode=1\r\n";
    put("Einstellung.ini", old);
    BrokenDisk disk;
    SafeSave::setWriter(&disk);
    ini.WriteKey("Einstellung.ini", "[EINSTELLUNG]", "methode=2");
    EXPECT_FALSE(ini.DeleteKey("Einstellung.ini", "[EINSTELLUNG]", "methode="));
    ini.WriteKey("neu.ini", "[A]", "x=1");
    SafeSave::setWriter(nullptr);
    EXPECT_EQ(bytes("Einstellung.ini"), old);
    EXPECT_EQ(dir.entries(), Names{"Einstellung.ini"});
    // The object holds no leftovers of the failed calls.
    EXPECT_EQ(ini.ReadKey("Einstellung.ini", "[EINSTELLUNG]", "methode="), "1");
}

// A name that is no regular file is neither read (a FIFO would block) nor replaced.
TEST_F(IniFileTest, NonRegularFilesAreLeftAlone) {
    ASSERT_EQ(::mkfifo("save.log", 0644), 0);
    fs::create_directory("save.ini");
    for (const char* name : {"save.log", "save.ini"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(ini.ReadKey(name, "[A]", "x=").isEmpty());
        ini.WriteKey(name, "[A]", "x=1");
        EXPECT_TRUE(ini.DeleteKey(name, "[A]", "x="));
        EXPECT_TRUE(ini.DeleteSectionHead(name, "[A]"));
        ini.RenameSection(name, "[A]", "[B]");
    }
    EXPECT_TRUE(fs::is_fifo("save.log"));
    EXPECT_TRUE(fs::is_directory("save.ini"));
    EXPECT_EQ(dir.entries(), (Names{"save.ini", "save.log"}));
}

// A file that exists but cannot be read must not be replaced by the few lines an operation knows.
TEST_F(IniFileTest, UnreadableFileIsNotOverwritten) {
    const std::string old = "[EINSTELLUNG]\r\nmethode=1\r\nstatus=1\r\n";
    put("Einstellung.ini", old);
    ::chmod("Einstellung.ini", 0200);
    // Root reads everything: act as an unprivileged user for the duration (single-threaded here).
    const bool root = ::geteuid() == 0;
    if (root) {
        // Where uid 65534 is not mapped (some containers) the privileges cannot be dropped.
        if (::chown("Einstellung.ini", kNobody, kNobody) != 0 || ::chmod(".", 0777) != 0 || ::seteuid(kNobody) != 0)
            GTEST_SKIP() << "cannot act as an unprivileged user";
    }
    const WString value = ini.ReadKey("Einstellung.ini", "[EINSTELLUNG]", "methode=");
    ini.WriteKey("Einstellung.ini", "[EINSTELLUNG]", "pfad=/home");
    const bool nothingRemoved = ini.DeleteKey("Einstellung.ini", "[EINSTELLUNG]", "status=");
    if (root) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    EXPECT_TRUE(value.isEmpty());
    EXPECT_TRUE(nothingRemoved);
    EXPECT_EQ(bytes("Einstellung.ini"), old);
    EXPECT_EQ(dir.entries(), Names{"Einstellung.ini"});
}

TEST_F(IniFileTest, SymbolicLinkStaysALink) {
    fs::create_directory("daten");
    put("daten/save.ini", "[A]\r\nx=1\r\n");
    fs::create_symlink("daten/save.ini", "save.ini");
    ini.WriteKey("save.ini", "[A]", "x=2");
    EXPECT_TRUE(fs::is_symlink("save.ini"));
    EXPECT_EQ(bytes("daten/save.ini"), "[A]\r\nx=2\r\n");
}

// Speed is measured in bench/; this checks that a large file loses nothing besides what was asked.
TEST_F(IniFileTest, LargeFileChangesOnlyWhatWasAsked) {
    std::string content;
    for (int s = 0; s < 2000; ++s) {
        content += "[S" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < 9; ++k)
            content += "key_" + std::to_string(k) + "=value " + std::to_string(s * 10 + k) + "\r\n";
    }
    put("gross.ini", content);
    EXPECT_EQ(ini.ReadKey("gross.ini", "[S1999]", "key_8="), "value 19998");
    ini.WriteKey("gross.ini", "[S1999]", "key_8=neu");
    ini.WriteKey("gross.ini", "[S1999]", "key_9=neu");
    EXPECT_FALSE(ini.DeleteKey("gross.ini", "[S1998]", "key_0="));
    EXPECT_EQ(ini.ReadKey("gross.ini", "[S1999]", "key_9="), "neu");
    // "value 19998" became "neu", "key_9=neu" came, "key_0=value 19980" went (CR LF each).
    EXPECT_EQ(TempWorkDir::readBytes("gross.ini").size(), content.size() - 8 + 11 - 19);
}
