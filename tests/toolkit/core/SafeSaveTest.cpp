#include "toolkit/core/SafeSave.h"
#include "CoreTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>
#include <string>

using namespace coretest;

namespace {

using Writer = ScriptedWriter<FileWriter>;

} // namespace

class SafeSaveTest : public InTempDir {};

// A new file gets 0666 minus the umask; a replaced one keeps its bits, also when it shrinks to
// nothing and when its name is as long as the file system allows.
TEST_F(SafeSaveTest, WritesContentsAndKeepsModeBits) {
    for (mode_t mask : {mode_t{022}, mode_t{077}}) {
        UmaskScope umask(mask);
        const std::string name = "neu" + std::to_string(mask) + ".ini";
        const SaveResult r = SafeSave::write(name, "[A]\r\nx=1");
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(readFile(name), "[A]\r\nx=1");
        EXPECT_EQ(modeOf(name), 0666 & ~mask);
        fs::remove(name);
    }
    const std::string longest(255, 'l');
    for (mode_t mode : {mode_t{0600}, mode_t{0755}, mode_t{0444}}) {
        SCOPED_TRACE(mode);
        writeFile(longest, std::string(10000, 'o'), mode);
        ASSERT_TRUE(SafeSave::write(longest, "kurz").ok);
        EXPECT_EQ(readFile(longest), "kurz");
        EXPECT_EQ(modeOf(longest), mode);
        ASSERT_TRUE(SafeSave::write(longest, "").ok);
        EXPECT_EQ(readFile(longest), "");
    }
    EXPECT_EQ(dir.entries(), Names{longest});
}

// Whatever fails, and at whatever point, the old file stays byte for byte (or none appears) and no
// temporary file is left; the error names the path and the system's reason. Short and interrupted
// writes are continued. Meanwhile the data sits in a private, hidden file beside the target.
TEST_F(SafeSaveTest, FailuresLeaveTheOldBytesAndShortWritesAreContinued) {
    const std::string old = "[EINSTELLUNG]\r\nmethode=1\r\n";
    const std::string next = bytesOf(5000, 7);
    struct Case {
        const char* path;
        bool existed;
        std::size_t budget;
        int err;
        const char* reason; // nullptr: the save succeeds
        std::size_t perCall = SIZE_MAX;
    };
    const Case cases[] = {
        {"Einstellung.ini", true, 0, ENOSPC, "No space left on device"},
        {"Einstellung.ini", true, 1, ENOSPC, "No space left on device"},
        {"Einstellung.ini", true, 4096, ENOSPC, "No space left on device"},
        {"Einstellung.ini", true, next.size() - 1, ENOSPC, "No space left on device"},
        {"save.log", false, 10, EIO, "Input/output error"},
        {"Einstellung.ini", true, 10, 0, "Input/output error"}, // no progress
        {"fehlt/save.ini", false, SIZE_MAX, 0, "No such file or directory"},
        {"", false, SIZE_MAX, 0, "No such file or directory"},
        {"Einstellung.ini", true, SIZE_MAX, 0, nullptr, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " failing after " + std::to_string(c.budget) + " bytes");
        for (const auto& name : dir.entries())
            fs::remove_all(name);
        if (c.existed)
            writeFile(c.path, old);
        Writer writer(c.budget, c.err, c.perCall, c.perCall != SIZE_MAX);
        Names seen;
        writer.look = [&] {
            for (const auto& name : dir.entries())
                seen.push_back(name);
        };
        SeamScope<FileWriter> scope(&writer);
        const SaveResult r = SafeSave::write(c.path, next);
        EXPECT_EQ(writer.widest & ~0600u, 0u) << std::oct << writer.widest;
        for (const auto& name : seen)
            EXPECT_TRUE(name == c.path || name.starts_with("." + std::string(c.path) + ".")) << name;
        EXPECT_EQ(dir.entries(), c.existed || !c.reason ? Names{c.path} : Names{});
        if (!c.reason) {
            EXPECT_TRUE(r.ok) << r.error;
            EXPECT_GE(writer.calls, 2 * 5000 / 3);
            EXPECT_EQ(readFile(c.path), next);
            continue;
        }
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find(c.reason), std::string::npos) << r.error;
        EXPECT_NE(r.error.find(c.path), std::string::npos) << r.error;
        EXPECT_EQ(readFile(c.path), c.existed ? old : "");
    }

    // A folder that takes no new file.
    writeFile("nurlesen/save.ini", old, 0666);
    ::chmod("nurlesen", 0555);
    ::chmod(".", 0755);
    EXPECT_FALSE(asNormalUser([&] { return SafeSave::write("nurlesen/save.ini", next).ok; }));
    EXPECT_EQ(readFile("nurlesen/save.ini"), old);
    EXPECT_EQ(namesIn("nurlesen"), Names{"save.ini"});
}

// Folders and FIFOs are refused, and the FIFO is neither opened (which would block) nor replaced.
// A chain of links (relative ones count from the link's own folder) is written through: the links
// stay, the final file gets the bytes and keeps its mode, and the temporary file goes beside it. A
// dangling link creates its target; a loop fails and changes nothing.
TEST_F(SafeSaveTest, SpecialTargetsAndSymbolicLinks) {
    fs::create_directory("ordner");
    ASSERT_EQ(::mkfifo("fifo", 0644), 0);
    writeFile("daten/echt.ini", "alt", 0640);
    fs::create_symlink("echt.ini", "daten/verweis.ini");
    fs::create_symlink("daten/verweis.ini", "save.ini");
    fs::create_symlink(dir.file("save.ini"), "kette.ini");
    fs::create_symlink("daten/neu.ini", "haengt.ini");
    fs::create_symlink("b.ini", "a.ini");
    fs::create_symlink("a.ini", "b.ini");

    for (const char* refused : {"ordner", "ordner/", "fifo", "a.ini"}) {
        const SaveResult r = SafeSave::write(refused, "x");
        EXPECT_FALSE(r.ok) << refused;
        EXPECT_TRUE(r.error.starts_with(std::string(refused) + ": ")) << r.error;
    }
    ASSERT_TRUE(SafeSave::write("kette.ini", "neu").ok);
    ASSERT_TRUE(SafeSave::write("haengt.ini", "x=1").ok);

    EXPECT_TRUE(fs::is_empty("ordner"));
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status("fifo")));
    for (const char* link : {"save.ini", "kette.ini", "daten/verweis.ini", "haengt.ini", "a.ini", "b.ini"})
        EXPECT_TRUE(fs::is_symlink(link)) << link;
    EXPECT_EQ(readFile("daten/echt.ini"), "neu");
    EXPECT_EQ(modeOf("daten/echt.ini"), 0640u);
    EXPECT_EQ(readFile("daten/neu.ini"), "x=1");
    EXPECT_EQ(namesIn("."),
              (Names{"a.ini", "b.ini", "daten", "fifo", "haengt.ini", "kette.ini", "ordner", "save.ini"}));
    EXPECT_EQ(namesIn("daten"), (Names{"echt.ini", "neu.ini", "verweis.ini"}));
}

// The two steps apart: once prepared, the new bytes sit complete in a hidden file beside the
// target, with the mode the target will have, and the target is untouched; only commit replaces it (keeping its mode),
// and a preparation that is dropped, failed or whose rename fails leaves the target and no other file.
TEST_F(SafeSaveTest, PreparedContentsReplaceTheTargetOnlyWhenCommitted) {
    UmaskScope umask(022);
    const std::string old = "[NUMMER]\r\nwert=1\r\n";
    const std::string next = "[NUMMER]\r\nwert=2\r\n";
    enum End { Dropped, Committed, MovedThenCommitted, TargetBecameAFolder };
    const struct {
        const char* what;
        bool existed;
        std::size_t budget; // SIZE_MAX: the preparation succeeds
        End end;
    } cases[] = {
        {"dropped", true, SIZE_MAX, Dropped},
        {"dropped, no file before", false, SIZE_MAX, Dropped},
        {"committed", true, SIZE_MAX, Committed},
        {"committed, no file before", false, SIZE_MAX, Committed},
        {"moved, then committed", true, SIZE_MAX, MovedThenCommitted},
        {"failed preparation committed", true, 4, Committed},
        {"failed preparation, no file before", false, 0, Committed},
        {"rename fails", true, SIZE_MAX, TargetBecameAFolder},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& name : dir.entries())
            fs::remove_all(name);
        if (c.existed)
            writeFile("savename.ini", old, 0640);
        const bool prepares = c.budget == SIZE_MAX;
        Writer writer(c.budget, ENOSPC);
        std::optional<SeamScope<FileWriter>> scope(std::in_place, &writer);
        std::optional<SafeSave::Prepared> prepared(SafeSave::prepare("savename.ini", next));
        scope.reset();
        EXPECT_EQ(prepared->result().ok, prepares) << prepared->result().error;

        // Before the commit: the target as it was, and the new bytes beside it (if they could be written).
        Names waiting = dir.entries();
        std::erase(waiting, "savename.ini");
        EXPECT_EQ(readFile("savename.ini"), c.existed ? old : "");
        ASSERT_EQ(waiting.size(), prepares ? 1u : 0u);
        if (prepares) {
            EXPECT_TRUE(waiting.front().starts_with(".savename.ini.")) << waiting.front();
            EXPECT_EQ(readFile(waiting.front()), next);
            EXPECT_EQ(modeOf(waiting.front()), c.existed ? 0640u : 0644u) << "the mode is set before the rename";
        }

        SaveResult r;
        if (c.end == MovedThenCommitted) {
            SafeSave::Prepared taken(std::move(*prepared));
            prepared.reset(); // the moved-from object must not take the file with it
            r = taken.commit();
        } else if (c.end == TargetBecameAFolder) {
            fs::remove("savename.ini");
            fs::create_directory("savename.ini");
            r = prepared->commit();
        } else if (c.end == Committed) {
            r = prepared->commit();
        }
        prepared.reset();

        const bool replaced = prepares && (c.end == Committed || c.end == MovedThenCommitted);
        const bool present = c.existed || replaced;
        EXPECT_EQ(dir.entries(), present ? Names{"savename.ini"} : Names{});
        if (c.end == Dropped)
            continue;
        EXPECT_EQ(r.ok, replaced) << r.error;
        if (replaced) {
            EXPECT_EQ(readFile("savename.ini"), next);
            EXPECT_EQ(modeOf("savename.ini"), c.existed ? 0640u : 0644u);
            continue;
        }
        EXPECT_TRUE(r.error.starts_with("savename.ini: ")) << r.error;
        EXPECT_EQ(r.reason, prepares ? "Is a directory" : "No space left on device");
        if (c.end != TargetBecameAFolder) {
            EXPECT_EQ(readFile("savename.ini"), c.existed ? old : "");
        }
    }
}
