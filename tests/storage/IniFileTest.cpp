#include "storage/IniFile.h"
#include "storage/IniDocument.h"
#include "support/ScriptedWriter.h"
#include "support/TempWorkDir.h"
#include "support/TestPrinting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace std::string_literals;
using Names = std::vector<std::string>;

namespace {

class IniFileTest : public InTempDir {
protected:
    static std::string bytes(const char* name) { return TempWorkDir::readBytes(name); }
    static void put(const char* name, const std::string& content) { TempWorkDir::writeBytes(name, content); }

    // Loads the bytes and writes them straight back: a delete of a missing section changes
    // nothing but still rewrites the whole file.
    std::string rewrite(const std::string& content) {
        put("t.ini", content);
        EXPECT_TRUE(ini.DeleteSectionHead("t.ini", "[fehlt]"));
        EXPECT_EQ(dir.entries(), Names{"t.ini"});
        return bytes("t.ini");
    }
    IniFile ini;
};

// A line of n characters with a repeating pattern, so that a cut at the wrong place shows.
std::string pattern(std::size_t n) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i)
        s += static_cast<char>('a' + i % 26);
    return s;
}

// Random texts built from the pieces that matter: heads, "=", empty lines, long values, CR.
std::string randomText(std::mt19937& rng, std::size_t maxLen) {
    static const std::vector<std::string> pieces = {"[A]", "[B]", "[", "]", "=", "k", "x=", "v", "", "\r", " ", "ä"};
    std::string s;
    for (std::size_t parts = rng() % 6; parts > 0; --parts)
        s += pieces[rng() % pieces.size()];
    if (rng() % 8 == 0)
        s += std::string(200 + rng() % 120, 'L'); // passes the read limit now and then
    return s.substr(0, maxLen);
}

} // namespace

// How a key is found: exact bytes up to and including the first "=", within the section only.
TEST_F(IniFileTest, KeyMatchingTable) {
    const struct {
        const char* name;
        std::string file;
        const char* section;
        const char* key;
        std::string value;
    } cases[] = {
        {"blank before =", "[E]\r\npfad =a\r\n", "[E]", "pfad=", ""},
        {"longer name", "[E]\r\npfadx=a\r\n", "[E]", "pfad=", ""},
        {"first of several, case counts", "[E]\r\nPfad=a\r\npfad=b\r\npfad=c\r\n", "[E]", "pfad=", "b"},
        {"= in the value", "[E]\r\nvon_1=a=b==c\r\n", "[E]", "von_1=", "a=b==c"},
        {"key text after = ignored", "[E]\r\nwert=1\r\n", "[E]", "wert=egal", "1"},
        {"later section of the same name", "[A]\r\ny=0\r\n[A]\r\nx=2\r\n", "[A]", "x=", ""},
        {"line starting with [ ends it", "[A]\r\n[kein Kopf=1\r\nx=3\r\n", "[A]", "x=", ""},
        {"keys above the head", "x=1\r\n[A]\r\n", "[A]", "x=", ""},
        {"section case", "[einstellung]\r\nx=1\r\n", "[EINSTELLUNG]", "x=", ""},
        {"blank lines in section", "[A]\r\n\r\n\r\nx=4\r\n", "[A]", "x=", "4"},
        {"key without =", "[A]\r\nabc\r\n", "[A]", "abc", ""},
        {"value cut at the read limit", "[A]\r\nk=" + pattern(5000) + "\r\n", "[A]", "k=", pattern(252)},
        {"key behind a cut line", "[A]\r\nk=" + pattern(5000) + "\r\nnach=/z\r\n", "[A]", "nach=", "/z"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        put("t.ini", c.file);
        EXPECT_EQ(ini.ReadKey("t.ini", c.section, c.key).bytes(), c.value);
        EXPECT_EQ(bytes("t.ini"), c.file); // reading never writes
    }
}

// The writing operations, step by step on one file, with its whole bytes after each case. One
// object serves every case: nothing may carry over from one call to the next.
TEST_F(IniFileTest, OperationsTable) {
    enum Op { Read, Write, DeleteKey, DeleteHead, Rename, Bytes };
    struct Step {
        Op op;
        const char* section;
        std::string text;
        std::string want = ""; // the value read, "1"/"0" for a delete's result, the bytes for Bytes
    };
    const struct {
        const char* name;
        std::optional<std::string> before; // nullopt: no file
        std::vector<Step> steps;
        std::string after;
    } cases[] = {
        {"first key, its replacement, a new section after an empty line",
         std::nullopt,
         {{Write, "[E]", "pfad="},
          {Bytes, "", "", "[E]\r\npfad="},
          {Write, "[E]", "pfad=/home/anna"},
          {Bytes, "", "", "[E]\r\npfad=/home/anna\r\n"},
          {Write, "[SOUNDANI]", "wert=1"}},
         "[E]\r\npfad=/home/anna\r\n\r\n[SOUNDANI]\r\nwert=1"},
        {"new keys go directly under the head",
         "[E]\r\n\r\n[S]\r\nwert=0\r\n",
         {{Write, "[E]", "methode=1"}, {Write, "[E]", "status=0"}},
         "[E]\r\nstatus=0\r\nmethode=1\r\n\r\n[S]\r\nwert=0\r\n"},
        {"only the first match in its section is replaced",
         "[A]\r\nx=1\r\nx=2\r\n[B]\r\nx=3\r\n",
         {{Write, "[B]", "x=30"}, {Write, "[A]", "x=10"}},
         "[A]\r\nx=10\r\nx=2\r\n[B]\r\nx=30\r\n"},
        {"a file without sections",
         "a=1\r\nb=2\r\n",
         {{Read, "[X]", "a=", ""}, {Write, "[X]", "a=5"}, {Read, "[X]", "a=", "5"}},
         "a=1\r\nb=2\r\n\r\n[X]\r\na=5"},
        {"DeleteKey",
         "[Job]\r\nvon_1=/a\r\nvon_2=/b\r\nnach=/z\r\n",
         {{DeleteKey, "[Job]", "von_2=", "0"}, {DeleteKey, "[Job]", "von_2=", "1"}, {DeleteKey, "[X]", "nach=", "1"}},
         "[Job]\r\nvon_1=/a\r\nnach=/z\r\n"},
        {"DeleteKey on a missing file leaves an empty file", std::nullopt, {{DeleteKey, "[N]", "wert=", "1"}}, ""},
        {"DeleteSectionHead leaves the keys to the section above",
         "[A]\r\na=1\r\n[B]\r\nb=2\r\n",
         {{DeleteHead, "[B]", "", "0"}, {Read, "[A]", "b=", "2"}, {DeleteHead, "[B]", "", "1"}},
         "[A]\r\na=1\r\nb=2\r\n"},
        {"RenameSection renames the first and ignores a missing one",
         "[Alt]\r\nzeit=10:00\r\n[Alt]\r\n",
         {{Rename, "[Alt]", "[Neu]"}, {Read, "[Neu]", "zeit=", "10:00"}, {Rename, "[Fehlt]", "[X]"}},
         "[Neu]\r\nzeit=10:00\r\n[Alt]\r\n"},
        {"an empty first line goes at the next write",
         "\r\n[A]\r\nx=1\r\n",
         {{Read, "[A]", "x=", "1"}, {Bytes, "", "", "\r\n[A]\r\nx=1\r\n"}, {Write, "[A]", "x=2"}},
         "[A]\r\nx=2\r\n"},
        // The log's trimming sequence: the empty key removes the empty line below an entry.
        {"removing a log entry with its empty line",
         "[1]\r\nName=P\r\n\r\n[2]\r\nName=Q\r\n",
         {{DeleteKey, "[1]", "Name=", "0"}, {DeleteKey, "[1]", "", "0"}, {DeleteHead, "[1]", "", "0"}},
         "[2]\r\nName=Q\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempWorkDir fresh;
        if (c.before)
            put("t.ini", *c.before);
        for (const Step& s : c.steps) {
            switch (s.op) {
            case Read:
                EXPECT_EQ(ini.ReadKey("t.ini", s.section, WString::fromBytes(s.text)).bytes(), s.want);
                break;
            case Write:
                ini.WriteKey("t.ini", s.section, WString::fromBytes(s.text));
                break;
            case DeleteKey:
                EXPECT_EQ(ini.DeleteKey("t.ini", s.section, WString::fromBytes(s.text)) ? "1" : "0", s.want) << s.text;
                break;
            case DeleteHead:
                EXPECT_EQ(ini.DeleteSectionHead("t.ini", s.section) ? "1" : "0", s.want) << s.section;
                break;
            case Rename:
                ini.RenameSection("t.ini", s.section, WString::fromBytes(s.text));
                break;
            case Bytes:
                EXPECT_EQ(bytes("t.ini"), s.want);
                break;
            }
        }
        EXPECT_EQ(bytes("t.ini"), c.after);
        EXPECT_EQ(fresh.entries(), Names{"t.ini"});
    }
}

// What a load and save cycle makes of line ends, NUL bytes and long lines. One read takes at most
// 254 characters; the CR of a CR LF does not count. A line of exactly 254 characters keeps its line
// end, so rewrites never add empty lines; a longer line is split without losing a character.
TEST_F(IniFileTest, LineEndsNulBytesAndLineLength) {
    const std::string p = pattern(600);
    const std::string p254 = p.substr(0, 254);
    struct Case {
        std::string name;
        std::string before;
        std::string after;
    };
    std::vector<Case> cases = {
        {"empty file", "", ""},
        {"no final line end", "[A]\r\nx=1", "[A]\r\nx=1\r\n"},
        {"LF only", "[A]\nx=1\n", "[A]\r\nx=1\r\n"},
        {"blank lines kept", "[A]\r\n\r\nx=1\r\n\r\n", "[A]\r\n\r\nx=1\r\n\r\n"},
        {"empty first line dropped", "\r\n[A]\r\n", "[A]\r\n"},
        {"only a line end", "\r\n", ""},
        {"lone CR kept", "a\rb\r\n", "a\rb\r\n"},
        {"CR before CR LF kept", "a\r\r\n", "a\r\r\n"},
        {"CR at the very end kept", "a\r", "a\r\r\n"},
        {"LF CR", "a\n\rb", "a\r\n\rb\r\n"},
        {"Windows-1252 bytes untouched", "[\xC4\xD6\xDC]\r\n\x80=\x9F\xFF\r\n", "[\xC4\xD6\xDC]\r\n\x80=\x9F\xFF\r\n"},
        // A NUL ends the text of its line; the rest of that line is skipped, not moved on.
        {"NUL in a line", "[A]\r\nx=1\0abc\r\ny=2\r\n"s, "[A]\r\nx=1\r\ny=2\r\n"},
        {"first line reads as empty and goes", "\0[A]\r\nx=1\r\n"s, "x=1\r\n"},
        {"a NUL counts towards its read's 254", "x\0"s + p.substr(0, 300) + "\r\n",
         "x\r\n" + p.substr(252, 48) + "\r\n"},
        {"254 at the end of the file", p254, p254 + "\r\n"},
        {"a lone CR counts", p.substr(0, 253) + "\r\r\nz", p.substr(0, 253) + "\r\r\nz\r\n"},
    };
    for (const std::string end : {"\r\n", "\n"}) {
        const std::string tail = end == "\n" ? " LF" : " CR LF";
        cases.push_back({"253" + tail, p.substr(0, 253) + end + "z", p.substr(0, 253) + "\r\nz\r\n"});
        cases.push_back({"254" + tail, p254 + end + "z", p254 + "\r\nz\r\n"});
        cases.push_back({"255" + tail, p.substr(0, 255) + end + "z", p254 + "\r\n" + p[254] + "\r\nz\r\n"});
        cases.push_back({"509" + tail, p.substr(0, 509) + end + "z",
                         p254 + "\r\n" + p.substr(254, 254) + "\r\n" + p[508] + "\r\nz\r\n"});
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(rewrite(c.before), c.after);
        EXPECT_EQ(rewrite(c.after), c.after); // stable under further cycles
    }
    // Only the first line is dropped when empty; each rewrite takes one more.
    EXPECT_EQ(rewrite("\n\n[A]\n"), "\r\n[A]\r\n");
    EXPECT_EQ(rewrite("\r\n[A]\r\n"), "[A]\r\n");
}

// What cannot be read is never replaced by the few lines an operation knows: a FIFO (which a read
// must not block on), a folder, a file without read permission. A full disk replaces nothing
// either. The object keeps no leftovers of the failed calls.
TEST_F(IniFileTest, FilesThatCannotBeReadOrWrittenStayAsTheyWere) {
    const std::string old = "[A]\r\nx=1\r\n";
    ASSERT_EQ(::mkfifo("fifo.ini", 0644), 0);
    fs::create_directory("ordner.ini");
    put("voll.ini", old);
    put("gesperrt.ini", old);
    ::chmod("gesperrt.ini", 0200);
    // Root reads everything: the locked file is tried as an unprivileged user (single-threaded
    // here), unless uid 65534 is not mapped (some containers).
    constexpr uid_t kNobody = 65534;
    const bool root = ::geteuid() == 0;
    const bool canDrop = !root || (::chown("gesperrt.ini", kNobody, kNobody) == 0 && ::chmod(".", 0777) == 0);
    const Names entries = dir.entries();
    const struct {
        const char* name;
        bool fullDisk;
        std::string value; // of "x=" in "[A]"
    } cases[] = {
        {"fifo.ini", false, ""}, {"ordner.ini", false, ""}, {"gesperrt.ini", false, ""}, {"voll.ini", true, "1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const bool asNobody = root && c.name == "gesperrt.ini"s;
        if (asNobody && (!canDrop || ::seteuid(kNobody) != 0))
            continue;
        std::optional<FullDisk> disk;
        if (c.fullDisk)
            disk.emplace();
        const bool found = !c.value.empty();
        EXPECT_EQ(ini.ReadKey(c.name, "[A]", "x=").bytes(), c.value);
        EXPECT_FALSE(ini.WriteKey(c.name, "[A]", "x=2").ok);
        EXPECT_EQ(ini.DeleteKey(c.name, "[A]", "x="), !found);
        EXPECT_EQ(ini.DeleteSectionHead(c.name, "[A]"), !found);
        EXPECT_FALSE(ini.RenameSection(c.name, "[A]", "[B]").ok);
        IniDocument doc(c.name);
        doc.WriteKey("[A]", "x=3");
        EXPECT_FALSE(doc.Commit().ok);
        disk.reset();
        EXPECT_EQ(ini.ReadKey(c.name, "[A]", "x=").bytes(), c.value);
        if (asNobody) {
            ASSERT_EQ(::seteuid(0), 0);
        }
    }
    EXPECT_EQ(dir.entries(), entries);
    EXPECT_TRUE(fs::is_fifo("fifo.ini"));
    EXPECT_TRUE(fs::is_empty("ordner.ini"));
    ::chmod("gesperrt.ini", 0600);
    for (const char* name : {"voll.ini", "gesperrt.ini"})
        EXPECT_EQ(bytes(name), old) << name;
}

// The whole point of IniDocument: the same operations give the same bytes as IniFile, one
// file write instead of one per operation, and its reads the same values.
TEST_F(IniFileTest, IniDocumentGivesTheBytesOfTheOperationsDoneOneByOne) {
    std::mt19937 rng(20261206);
    const WString sections[] = {"[A]", "[B]", "[C]", "[]"};
    for (int round = 0; round < 400; ++round) {
        std::string start;
        for (int lines = static_cast<int>(rng() % 8); lines > 0; --lines)
            start += randomText(rng, 400) + (rng() % 4 ? "\r\n" : "\n");
        if (rng() % 5 == 0) { // a section long enough for its keys to be looked up, not walked
            start += "[A]\r\n";
            for (int lines = 40 + static_cast<int>(rng() % 40); lines > 0; --lines) {
                const std::string line = randomText(rng, 40);
                start += (line.starts_with('[') ? "k" + line : line) + "\r\n";
            }
        }
        if (rng() % 3 == 0)
            start += randomText(rng, 50); // no line end at the end
        // Now and then there is no file yet: reading alone must not create it.
        const bool missing = rng() % 6 == 0;
        for (const char* name : {"single.ini", "batch.ini"}) {
            fs::remove(name);
            if (!missing)
                put(name, start);
        }
        IniDocument batch("batch.ini");
        std::string trace;
        for (int steps = 1 + static_cast<int>(rng() % 10); steps > 0; --steps) {
            const WString& section = sections[rng() % 4];
            const WString text = WString::fromBytes(randomText(rng, 300));
            const int op = std::max(0, static_cast<int>(rng() % 8) - 3); // reads often come in runs
            trace += std::to_string(op) + " ";
            switch (op) {
            case 0:
                ASSERT_EQ(batch.ReadKey(section, text), ini.ReadKey("single.ini", section, text)) << trace;
                break;
            case 1:
                batch.WriteKey(section, text);
                ini.WriteKey("single.ini", section, text);
                break;
            case 2:
                ASSERT_EQ(batch.DeleteKey(section, text), ini.DeleteKey("single.ini", section, text)) << trace;
                break;
            case 3:
                ASSERT_EQ(batch.DeleteSectionHead(section), ini.DeleteSectionHead("single.ini", section)) << trace;
                break;
            default:
                batch.RenameSection(section, text);
                ini.RenameSection("single.ini", section, text);
                break;
            }
        }
        EXPECT_EQ(fs::exists("batch.ini"), !missing) << "nothing is written before Commit";
        EXPECT_EQ(bytes("batch.ini"), missing ? "" : start) << "nothing is written before Commit";
        ASSERT_TRUE(batch.Commit());
        ASSERT_EQ(fs::exists("batch.ini"), fs::exists("single.ini")) << trace;
        ASSERT_EQ(bytes("batch.ini"), bytes("single.ini"))
            << "round " << round << ", steps " << trace << ", start " << testing::PrintToString(start);
    }
}

TEST_F(IniFileTest, IniDocumentOnlyReadingCreatesNothing) {
    IniDocument doc("fehlt.ini");
    EXPECT_EQ(doc.ReadKey("[A]", "x="), "");
    EXPECT_FALSE(doc.HasSection("[A]"));
    EXPECT_TRUE(doc.Commit());
    EXPECT_TRUE(dir.entries().empty());
}

// A text the file cannot hold as one line is refused, through IniFile and IniDocument alike, and
// the file is not even rewritten: "/a\n[B]" (a legal Linux file name) would turn the keys below it
// into a section "[B]", a CR would come back as a line end, and a line over 254 characters would
// come back as two. The longest line that fits is written and survives rereading whole.
TEST_F(IniFileTest, TextsThatCannotBeOneLineAreRefused) {
    const std::string lineBreak = "Der Text enthält einen Zeilenumbruch oder ein Steuerzeichen."_w.bytes();
    const std::string tooLong = "Die Zeile wäre länger als 254 Zeichen."_w.bytes();
    const std::string old = "[Job]\r\nvon_0=/alt\r\nnach=/z\r\n";
    const std::string value248 = pattern(248); // "von_0=" + 248 = 254
    const std::string head254 = "[" + pattern(252) + "]";
    const std::string head255 = "[" + pattern(253) + "]";
    enum Op { Write, Rename };
    const struct {
        const char* what;
        Op op;
        std::string section;
        std::string text;
        std::string refusal; // empty: written
        std::string after = "";
    } cases[] = {
        {"line break in a value", Write, "[Job]", "von_0=/a\n[B]", lineBreak},
        {"CR in a value", Write, "[Job]", "von_0=/a\r", lineBreak},
        {"line break in the head of a new section", Write, "[Neu\n]", "x=1", lineBreak},
        {"line break in a new head", Rename, "[Job]", "[Neu]\n[B]", lineBreak},
        {"255-character key line", Write, "[Job]", "von_0=" + value248 + "x", tooLong},
        {"255-character head of a new section", Write, head255, "x=1", tooLong},
        {"255-character new head", Rename, "[Job]", head255, tooLong},
        {"254-character key line", Write, "[Job]", "von_0=" + value248, "",
         "[Job]\r\nvon_0=" + value248 + "\r\nnach=/z\r\n"},
        {"254-character head of a new section", Write, head254, "x=1", "", old + "\r\n" + head254 + "\r\nx=1"},
        {"254-character new head", Rename, "[Job]", head254, "", head254 + "\r\nvon_0=/alt\r\nnach=/z\r\n"},
    };
    for (const auto& c : cases) {
        for (const bool batch : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (batch ? " (IniDocument)" : " (IniFile)"));
            TempWorkDir fresh;
            put("t.ini", old);
            struct stat before {};
            ::stat("t.ini", &before);
            const WString section = WString::fromBytes(c.section);
            const WString text = WString::fromBytes(c.text);
            WriteResult r;
            if (batch) {
                IniDocument doc("t.ini");
                r = c.op == Write ? doc.WriteKey(section, text) : doc.RenameSection(section, text);
                EXPECT_EQ(bytes("t.ini"), old);
                const WriteResult committed = doc.Commit();
                EXPECT_TRUE(committed.ok) << committed.reason.bytes();
            } else {
                r = c.op == Write ? ini.WriteKey("t.ini", section, text) : ini.RenameSection("t.ini", section, text);
            }
            EXPECT_EQ(r.ok ? "ok" : r.file.bytes() + ": " + r.reason.bytes(),
                      c.refusal.empty() ? "ok" : "t.ini: " + c.refusal);
            EXPECT_EQ(bytes("t.ini"), c.refusal.empty() ? c.after : old);
            EXPECT_EQ(fresh.entries(), Names{"t.ini"});
            if (!c.refusal.empty()) {
                struct stat after {};
                ::stat("t.ini", &after);
                EXPECT_EQ(after.st_ino, before.st_ino) << "a refused text must not even rewrite the file";
                continue;
            }
            // Read back and written again, the long line stays one line.
            EXPECT_TRUE(ini.DeleteSectionHead("t.ini", "[fehlt]"));
            EXPECT_EQ(bytes("t.ini"), c.after.ends_with("\r\n") ? c.after : c.after + "\r\n");
        }
    }

    // A refused step leaves the steps around it.
    put("t.ini", old);
    IniDocument doc("t.ini");
    EXPECT_TRUE(doc.WriteKey("[Job]", "nach=/neu").ok);
    EXPECT_FALSE(doc.WriteKey("[Job]", "von_0=/a\n[B]").ok);
    EXPECT_FALSE(doc.RenameSection("[Job]", WString::fromBytes(head255)).ok);
    EXPECT_TRUE(doc.WriteKey("[Job]", "zeit=10:00").ok);
    EXPECT_TRUE(doc.Commit().ok);
    EXPECT_EQ(bytes("t.ini"), "[Job]\r\nzeit=10:00\r\nvon_0=/alt\r\nnach=/neu\r\n");
}
