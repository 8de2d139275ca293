// Where a copy lands, how further copies are named, and what a copied tree holds.
#include "CoreTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <map>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <sys/sysmacros.h>
#include <sys/un.h>

using namespace coretest;

namespace {

constexpr std::size_t MiB = 1024 * 1024;
constexpr unsigned kBothModes[] = {CopyFlags::Overwrite, CopyFlags::KeepCopies};

} // namespace

class FileCopyTargetTest : public InTempDir {};

// A file and a folder land as destination/<name>, however source and destination are spelled,
// and nothing lands beside or above the destination. A source named as a link is copied as what
// it points to, under the link's name. A destination that is no existing folder, or a source that
// is gone, fails and creates nothing. Names inside the tree are taken as the file system has them,
// also where Windows-1252 has no such characters or the bytes are no UTF-8.
TEST_F(FileCopyTargetTest, WhereACopyLands) {
    writeFile("quelle/Brief.doc", bytesOf(70000, 1));
    writeFile("quelle/Projekt/a.txt", "a");
    writeFile("quelle/Projekt/unter/b.txt", bytesOf(3000, 2));
    writeFile("quelle/Projekt/日本語.txt", "kein Windows-1252");
    writeFile("quelle/Projekt/\xe4rger.txt", "kein UTF-8");
    fs::create_directory("quelle/Projekt/leer");
    writeFile("datei", "keine Ablage");
    fs::create_directory_symlink("ziel", "verweis");
    fs::create_symlink("weg", "toter-verweis");
    fs::create_directory("links");
    fs::create_symlink("../quelle/Brief.doc", "links/Brief.doc");
    fs::create_directory_symlink("../quelle/Projekt", "links/Projekt");
    fs::create_symlink("weg", "links/tot");
    const Contents source = contentsOf("quelle");
    const Names around = {"datei", "links", "quelle", "toter-verweis", "verweis", "ziel"};

    struct Case {
        std::string source;
        std::string destination;
        const char* name; // nullptr: the copy fails
        const char* reportedPath = "";
    };
    const std::string abs = dir.path().string();
    const Case cases[] = {
        {abs + "/quelle/Brief.doc", abs + "/ziel", "Brief.doc"},
        {abs + "/quelle/Brief.doc", abs + "//ziel//", "Brief.doc"},
        {abs + "/quelle/Brief.doc", abs + "/verweis/", "Brief.doc"},
        {"quelle/Brief.doc", "ziel", "Brief.doc"},
        {"links/Brief.doc", "ziel/", "Brief.doc"},
        {abs + "/quelle/Projekt", abs + "/ziel", "Projekt"},
        {abs + "/quelle/Projekt/", abs + "/ziel/", "Projekt"},
        {"quelle//Projekt//", "verweis", "Projekt"},
        {"quelle/Projekt/.", "ziel", "Projekt"},
        {abs + "/quelle/Projekt/unter/..", abs + "/ziel/", "Projekt"},
        {"links/Projekt/", "ziel", "Projekt"},
        {"quelle/Brief.doc", "fehlt/", nullptr, "fehlt"},
        {"quelle/Projekt", "fehlt/tiefer", nullptr, "fehlt"},
        {"quelle/Brief.doc", "datei", nullptr, "datei"},
        {"quelle/Projekt", "toter-verweis", nullptr, "toter-verweis"},
        {"quelle/Weg.doc", "ziel", nullptr, "Weg.doc"},
        {"quelle/WegOrdner/", "ziel", nullptr, "WegOrdner"},
        {"links/tot", "ziel", nullptr, "links/tot"},
        {"quelle/Projekt", "", nullptr},
        {"", "ziel", nullptr},
        {"//", "ziel", nullptr},
    };
    for (const unsigned flags : kBothModes) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.source + " -> " + c.destination + ", flags " + std::to_string(flags));
            fs::remove_all("ziel");
            fs::create_directory("ziel");
            const CopyResult r = copy(c.source, c.destination, flags);
            EXPECT_EQ(namesIn("."), around);
            if (!c.name) {
                EXPECT_FALSE(r.ok);
                EXPECT_FALSE(r.message.empty());
                EXPECT_NE(r.path.find(c.reportedPath), std::string::npos) << messageOf(r);
                EXPECT_EQ(namesIn("ziel"), Names{});
                continue;
            }
            ASSERT_TRUE(r.ok) << messageOf(r);
            EXPECT_EQ(namesIn("ziel"), Names{c.name});
            EXPECT_FALSE(fs::is_symlink(fs::path("ziel") / c.name));
            if (std::string(c.name) == "Brief.doc")
                EXPECT_TRUE(readFile("ziel/Brief.doc") == bytesOf(70000, 1));
            else
                EXPECT_TRUE(sameTree(contentsOf("ziel/Projekt"), contentsOf("quelle/Projekt")));
        }
    }
    EXPECT_TRUE(sameTree(contentsOf("quelle"), source));
}

// Overwriting replaces a file, however much longer the old one was, and merges into a folder, so
// files only in the old copy stay. Copying what already lies in the destination: overwriting must
// not destroy it by reading what it writes, and keeping copies puts a copy beside it. Names as long
// as the file system allows still get temporary names, and their further copies shorter names.
TEST_F(FileCopyTargetTest, OverwriteMergesAndCopiesOfWhatIsThereAlready) {
    const std::string longest(255, 'n');
    writeFile("quelle/Brief.doc", bytesOf(3 * MiB + 11, 5));
    writeFile("quelle/" + longest, "neu");
    writeFile("quelle/Projekt/gleich.txt", bytesOf(5000, 3));
    writeFile("quelle/Projekt/unter/" + longest, "tief neu");
    writeFile("ziel/Brief.doc", bytesOf(4 * MiB, 4));
    writeFile("ziel/" + longest, "alt, und laenger als neu");
    writeFile("ziel/Projekt/gleich.txt", "alt");
    writeFile("ziel/Projekt/unter/" + longest, "tief alt, laenger");
    writeFile("ziel/Projekt/unter/nur-alt.txt", "bleibt");
    Contents expected = contentsOf("quelle");
    expected["Projekt/unter/nur-alt.txt"] = "f:bleibt";
    for (const std::string& source : Names{"quelle/Brief.doc", "quelle/Projekt", "quelle/" + longest, "ziel/Brief.doc",
                                           "ziel/Projekt", "ziel/" + longest})
        ASSERT_TRUE(copied(source, "ziel", CopyFlags::Overwrite));
    EXPECT_TRUE(sameTree(contentsOf("ziel"), expected));

    for (const std::string& source : Names{"ziel/Brief.doc", "ziel/Projekt", "ziel/" + longest})
        ASSERT_TRUE(copied(source, "ziel", CopyFlags::KeepCopies));
    Contents withCopies = expected;
    for (const auto& [rel, value] : expected) {
        withCopies[rel == "Brief.doc" ? "Brief - Kopie.doc"
                   : rel == longest   ? longest.substr(8) + " - Kopie"
                                      : "Projekt - Kopie" + rel.substr(7)] = value;
    }
    EXPECT_TRUE(sameTree(contentsOf("ziel"), withCopies));
}

// Stands in for a file system that cannot rename without replacing (some FUSE file systems).
class NoRenameNoReplace : public CopyWriter {
public:
    ssize_t write(int fd, const void* data, std::size_t size) override { return ::write(fd, data, size); }
    int rename(const char* from, const char* to, unsigned flags) override {
        if (flags != RENAME_NOREPLACE)
            return CopyWriter::rename(from, to, flags);
        ++refused;
        errno = EINVAL;
        return -1;
    }
    int refused = 0;
};

// Keeping copies: whatever is there stays as it is (a folder is never merged into), and the new
// copy gets the next free name, also where the file system cannot rename without replacing.
TEST_F(FileCopyTargetTest, KeepCopiesNamesTheNewCopy) {
    struct Case {
        std::string source; // below quelle/; a trailing "/" makes it a folder
        Names existing;     // already in the destination, of the source's kind
        std::string expected;
    };
    const std::string n251(251, 'n');
    std::string ue125; // 250 bytes
    for (int i = 0; i < 125; ++i)
        ue125 += "ü";
    const Case cases[] = {
        {"Brief.doc", {}, "Brief.doc"},
        {"Brief.doc", {"Brief.doc"}, "Brief - Kopie.doc"},
        {"Brief.doc", {"Brief.doc", "Brief - Kopie.doc", "Brief - Kopie (2).doc"}, "Brief - Kopie (3).doc"},
        {"Brief.doc", {"Brief.doc", "Brief - Kopie (2).doc"}, "Brief - Kopie.doc"},
        {"Brief.doc", {"Brief.DOC"}, "Brief.doc"}, // names differ in case: no collision on Linux
        {"Makefile", {"Makefile"}, "Makefile - Kopie"},
        {".bashrc", {".bashrc"}, ".bashrc - Kopie"},
        {"archiv.tar.gz", {"archiv.tar.gz"}, "archiv.tar - Kopie.gz"},
        {"Übersicht für März.txt", {"Übersicht für März.txt"}, "Übersicht für März - Kopie.txt"},
        {"Projekt/", {"Projekt", "Projekt - Kopie"}, "Projekt - Kopie (2)"},
        {"Fotos 2023.06/", {"Fotos 2023.06"}, "Fotos 2023.06 - Kopie"},
        // At the file system's limit of 255 bytes the stem gives way, never inside a character.
        {n251 + ".txt", {n251 + ".txt"}, n251.substr(8) + " - Kopie.txt"},
        {n251 + ".txt", {n251 + ".txt", n251.substr(8) + " - Kopie.txt"}, n251.substr(12) + " - Kopie (2).txt"},
        {ue125 + "a.txt", {ue125 + "a.txt"}, ue125.substr(8) + " - Kopie.txt"},
        {"x." + n251 + "nn", {"x." + n251 + "nn"}, "x." + n251.substr(6) + " - Kopie"},
        {n251 + "nnnn/", {n251 + "nnnn"}, n251.substr(4) + " - Kopie"},
    };
    for (const bool noReplace : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.source + " with " + std::to_string(c.existing.size()) + " existing" +
                         (noReplace ? "" : ", no rename without replacing"));
            NoRenameNoReplace writer;
            std::optional<SeamScope<CopyWriter>> scope;
            if (!noReplace)
                scope.emplace(&writer);
            fs::remove_all("quelle");
            fs::remove_all("ziel");
            fs::create_directory("ziel");
            const bool folder = c.source.ends_with("/");
            const std::string inside = folder ? "/inhalt.txt" : "";
            writeFile("quelle/" + c.source.substr(0, c.source.size() - (folder ? 1 : 0)) + inside, "neu");
            for (const std::string& e : c.existing)
                writeFile("ziel/" + e + inside, "alt " + e);
            Contents expected = contentsOf("ziel");
            ASSERT_TRUE(copied("quelle/" + c.source, "ziel", CopyFlags::KeepCopies));
            expected[c.expected + inside] = "f:neu";
            if (folder)
                expected[c.expected] = "d";
            EXPECT_EQ(contentsOf("ziel"), expected);
            EXPECT_EQ(writer.refused > 0, !noReplace);
        }
    }
}

class FileCopyTreeTest : public InTempDir {};

// A copied tree keeps everything: file data of every size (holes included), permission bits and
// modification times to the nanosecond, links with their text unchanged wherever they point, also
// after a merge into a previous copy with longer files, other bits and times and other things
// under the link names, whatever the umask; a read-only folder is still filled. Nothing outside
// the source is read or written through a link. FIFOs, sockets and devices are left out and never
// opened, so nothing blocks (should it, the FIFOs get a writer, so that the test reports it).
TEST_F(FileCopyTreeTest, EverythingATreeHoldsIsKept) {
    const std::string abs = dir.path().string();
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{4096}, std::size_t{65537}, MiB + 1})
        writeFile("quelle/Projekt/daten/" + std::to_string(size) + ".bin", bytesOf(size, size));
    writeFile("quelle/Brief.doc", bytesOf(9 * MiB + 7, 7)); // more than one kernel copy chunk
    const int fd = ::open("quelle/Projekt/loecher.bin", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, "anfang", 6, 0), 6);
    ASSERT_EQ(::pwrite(fd, "mitte", 5, 5 * MiB + 3), 5);
    ASSERT_EQ(::ftruncate(fd, 20 * MiB), 0);
    ::close(fd);
    writeFile("aussen/geheim.txt", "nicht kopieren");
    writeFile("aussen/ordner/x.txt", "auch nicht");
    const std::pair<const char*, std::string> links[] = {{"rel", "skript.sh"},
                                                         {"unter/hoch", "../skript.sh"},
                                                         {"abs-aussen", abs + "/aussen/geheim.txt"},
                                                         {"tot", "nirgends"},
                                                         {"schleife", "schleife"},
                                                         {"rel-aussen", "../../aussen/geheim.txt"},
                                                         {"ordner-aussen", abs + "/aussen/ordner"}};
    for (const auto& [rel, text] : links) {
        fs::create_directories(("quelle/Projekt" / fs::path(rel)).parent_path());
        fs::create_symlink(text, "quelle/Projekt" / fs::path(rel));
    }
    const std::string fifos[] = {"quelle/Projekt/rohr", "quelle/Projekt/unter/rohr2", "quelle/rohr"};
    for (const std::string& f : fifos)
        ASSERT_EQ(::mkfifo(f.c_str(), 0644), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::string("quelle/Projekt/sock").copy(addr.sun_path, sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::mknod("quelle/Projekt/null", S_IFCHR | 0666, makedev(1, 3)); // may be refused; then none
    // Deepest first, so that setting a folder's time comes after filling it; "/" marks a folder.
    const std::pair<const char*, mode_t> entries[] = {{"Projekt/nurlesen/drin.txt", 0644},
                                                      {"Projekt/privat.txt", 0600},
                                                      {"Projekt/skript.sh", 0755},
                                                      {"Projekt/lesen.txt", 0444},
                                                      {"Projekt/setuid", 04755},
                                                      {"Projekt/leer/", 0751},
                                                      {"Projekt/nurlesen/", 0555},
                                                      {"Projekt/gemeinsam/", 02775},
                                                      {"Projekt/", 0750},
                                                      {"Brief.doc", 0640}};
    time_t when = 1100000000;
    for (const auto& [rel, mode] : entries) {
        const fs::path p = fs::path("quelle") / rel;
        if (std::string_view(rel).ends_with('/'))
            fs::create_directories(p);
        else if (!fs::exists(p))
            writeFile(p, rel);
        ASSERT_EQ(::chmod(p.c_str(), mode), 0);
        setTimes(p, when, when % 1000 * 1000003 + 7);
        when += 86401;
    }
    Contents expected = contentsOf("quelle", true);
    std::erase_if(expected, [](const auto& e) { return e.second.ends_with(" o"); });
    const Contents outside = contentsOf("aussen", true);

    auto copyWithoutHanging = [&](const char* source, unsigned flags) {
        auto done = std::async(std::launch::async, [&] { return copied(source, "ziel", flags); });
        if (done.wait_for(std::chrono::seconds(60)) == std::future_status::timeout) {
            ADD_FAILURE() << "the copy blocks on a special file";
            for (const std::string& f : fifos)
                ::close(::open(f.c_str(), O_WRONLY | O_NONBLOCK));
        }
        return done.get();
    };
    for (const mode_t mask : {mode_t{077}, mode_t{0}}) {
        UmaskScope umask(mask);
        fs::remove_all("ziel");
        fs::create_directory("ziel");
        for (const unsigned flags : {CopyFlags::KeepCopies, CopyFlags::Overwrite}) {
            SCOPED_TRACE("umask " + std::to_string(mask) + ", flags " + std::to_string(flags));
            // The second run merges into the first one's copy, changed meanwhile.
            for (const auto& e : fs::recursive_directory_iterator("ziel")) {
                if (e.is_symlink())
                    continue;
                ::chmod(e.path().c_str(), e.is_directory() ? 0777 : 0666);
                if (e.is_regular_file())
                    TempWorkDir::writeBytes(e.path(), readFile(e.path()) + "und laenger");
                setTimes(e.path(), 2000000000, 0);
            }
            // Other kinds of entries under the source's names: a file, a link or a folder.
            const std::pair<const char*, char> others[] = {{"Projekt/rel", 'f'},       {"Projekt/tot", 'l'},
                                                           {"Projekt/skript.sh", 'd'}, {"Projekt/leer", 'f'},
                                                           {"Projekt/schleife", 'd'},  {"Brief.doc", 'd'}};
            for (const auto& [rel, kind] : others) {
                if (flags != CopyFlags::Overwrite)
                    break;
                const fs::path p = fs::path("ziel") / rel;
                fs::remove_all(p);
                if (kind == 'l')
                    fs::create_symlink("anderswo", p);
                else
                    writeFile(kind == 'f' ? p : p / "drin.txt", "anders");
            }
            for (const char* source : {"quelle/Projekt", "quelle/Brief.doc"})
                ASSERT_TRUE(copyWithoutHanging(source, flags));
            copyWithoutHanging("quelle/rohr", flags); // a FIFO named as the source
            EXPECT_TRUE(sameTree(contentsOf("ziel", true), expected));
            EXPECT_EQ(contentsOf("aussen", true), outside);
            struct stat source {};
            struct stat copy {};
            ASSERT_EQ(::stat("quelle/Projekt/loecher.bin", &source), 0);
            ASSERT_EQ(::stat("ziel/Projekt/loecher.bin", &copy), 0);
            if (source.st_blocks * 512 < 4 * static_cast<off_t>(MiB)) { // the file system keeps holes
                EXPECT_LT(copy.st_blocks * 512, 4 * static_cast<off_t>(MiB)) << "the holes were written out";
            }
        }
    }
    ::close(sock);
}

// A normal user's rerun in overwrite mode fills a folder that the old copy holds read-only, and
// the folder gets its mode back afterwards.
TEST_F(FileCopyTreeTest, RerunFillsAReadOnlyFolderOfTheOldCopy) {
    writeFile("quelle/Projekt/nurlesen/a.txt", "alt");
    fs::create_directory("ziel");
    for (const auto& e : fs::recursive_directory_iterator("."))
        ASSERT_EQ(::lchown(e.path().c_str(), 65534, 65534), 0);
    ::chmod(".", 0755);
    ::chmod("quelle/Projekt/nurlesen", 0555);
    const auto rerun = [] {
        return asNormalUser([] { return copy("quelle/Projekt", "ziel", CopyFlags::Overwrite).ok; });
    };
    ASSERT_TRUE(rerun());
    writeFile("quelle/Projekt/nurlesen/a.txt", "neu und laenger");
    ::chmod("quelle/Projekt/nurlesen", 0555);
    ASSERT_TRUE(rerun());
    EXPECT_EQ(readFile("ziel/Projekt/nurlesen/a.txt"), "neu und laenger");
    EXPECT_EQ(modeOf("ziel/Projekt/nurlesen"), 0555u);
}

// A set-user-id or set-group-id bit stays only with the owner or group it names. Root's copy keeps
// the source's owner and group, and so the bits; a normal user's copy is the user's own, so the bits
// of another's file go. The sticky bit stays on folders only. An earlier copy with the bits but
// another owner does not pass for unchanged.
TEST_F(FileCopyTreeTest, SetIdBitsStayOnlyWithTheirOwner) {
    struct Case {
        std::string rel; // below quelle/ids; a trailing "/" makes it a folder
        mode_t mode;
        uid_t uid;
        gid_t gid;
        mode_t byRoot; // root's copy has the source's owner and group
        mode_t byUser; // the copying user's
    };
    const Case cases[] = {
        {"fremd", 06755, 1234, 1234, 06755, 0755},   {"eigen", 06755, 65534, 65534, 06755, 06755},
        {"gruppe", 02755, 0, 1234, 02755, 0755},     {"klebrig", 01755, 0, 0, 0755, 0755},
        {"ordner/", 06775, 1234, 1234, 06775, 0775}, {"tmp/", 01777, 0, 0, 01777, 01777},
    };
    ASSERT_EQ(::chmod(".", 0755), 0);
    fs::create_directories("quelle/ids");
    for (const Case& c : cases) {
        const std::string p = "quelle/ids/" + c.rel;
        if (c.rel.ends_with('/'))
            fs::create_directory(p);
        else
            writeFile(p, c.rel);
        ASSERT_EQ(::chown(p.c_str(), c.uid, c.gid), 0);
        ASSERT_EQ(::chmod(p.c_str(), c.mode), 0);
        setTimes(p, 1200000000, 0);
    }
    writeFile("ziel/ids/fremd", "fremd", 06755);
    setTimes("ziel/ids/fremd", 1200000000, 0);
    ASSERT_TRUE(copied("quelle/ids", "ziel", CopyFlags::Overwrite));
    fs::create_directory("nutzer");
    ASSERT_EQ(::chown("nutzer", 65534, 65534), 0);
    ASSERT_TRUE(asNormalUser([] { return copy("quelle/ids", "nutzer", CopyFlags::KeepCopies).ok; }));
    for (const Case& c : cases) {
        for (const bool root : {true, false}) {
            SCOPED_TRACE(c.rel + (root ? " copied by root" : " copied by a normal user"));
            struct stat st {};
            ASSERT_EQ(::lstat(((root ? "ziel/ids/" : "nutzer/ids/") + c.rel).c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 07777, root ? c.byRoot : c.byUser) << std::oct << (st.st_mode & 07777);
            EXPECT_EQ(st.st_uid, root ? c.uid : 65534u);
            EXPECT_EQ(st.st_gid, root ? c.gid : 65534u);
        }
    }
}

// Names of one file inside the copied tree stay names of one file in the copy, whatever the old
// copy held there, and after the source's files change or part; a name whose file has others
// outside the tree is a file of its own.
TEST_F(FileCopyTreeTest, HardLinksStayLinked) {
    writeFile("quelle/P/a.bin", bytesOf(70000, 1));
    writeFile("aussen/e.bin", "draussen verlinkt");
    const auto link = [](const char* from, const char* to) {
        fs::remove(to);
        fs::create_directories(fs::path(to).parent_path());
        fs::create_hard_link(from, to);
    };
    link("quelle/P/a.bin", "quelle/P/unter/b.bin");
    link("quelle/P/a.bin", "quelle/P/c.bin");
    link("aussen/e.bin", "quelle/P/e.bin");
    // Every file's name and the first name (in path order) of the names of the same file.
    const auto groups = [](const fs::path& root) {
        std::map<std::string, std::string> out;
        std::map<std::pair<dev_t, ino_t>, std::string> first;
        for (const auto& [rel, value] : contentsOf(root)) {
            struct stat st {};
            if (value.starts_with("f:") && ::lstat((root / rel).c_str(), &st) == 0)
                out[rel] = first.try_emplace({st.st_dev, st.st_ino}, rel).first->second;
        }
        return out;
    };
    struct Step {
        const char* what;
        unsigned flags;
        std::function<void()> change;
    };
    const Step steps[] = {
        {"a new copy", CopyFlags::KeepCopies, [] {}},
        {"an unchanged rerun", CopyFlags::Overwrite, [] {}},
        {"the file changed", CopyFlags::Overwrite, [] { writeFile("quelle/P/a.bin", bytesOf(90000, 2)); }},
        {"a new folder in the old copy", CopyFlags::Overwrite, [] { fs::remove_all("ziel/P/unter"); }},
        {"an old copy with separate files", CopyFlags::Overwrite,
         [] {
             fs::remove("ziel/P/c.bin");
             fs::copy_file("ziel/P/a.bin", "ziel/P/c.bin");
             struct stat st {};
             ::stat("ziel/P/a.bin", &st);
             setTimes("ziel/P/c.bin", st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
         }},
        {"the names part", CopyFlags::Overwrite,
         [] {
             fs::remove("quelle/P/unter/b.bin");
             writeFile("quelle/P/unter/b.bin", "eigene Datei");
         }},
    };
    fs::create_directory("ziel");
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.change();
        ASSERT_TRUE(copied("quelle/P", "ziel", s.flags));
        EXPECT_TRUE(sameTree(contentsOf("ziel/P"), contentsOf("quelle/P")));
        EXPECT_EQ(groups("ziel/P"), groups("quelle/P"));
    }
}

// A destination inside the source folder works: the copy leaves out its own target instead of
// copying itself again and again, also when the destination is reached through a link, and no
// copy holds an earlier one. Keeping copies of a folder in itself is refused.
TEST_F(FileCopyTreeTest, DestinationInsideTheSource) {
    fs::create_directory_symlink("quelle/Projekt/backup", "verweis-nach-innen");
    // The destination, and where that is inside quelle/Projekt.
    const std::pair<std::string, std::string> cases[] = {{"quelle/Projekt", ""},
                                                         {"quelle/Projekt/backup/", "backup/"},
                                                         {"quelle/Projekt/a/b", "a/b/"},
                                                         {"verweis-nach-innen", "backup/"}};
    for (const auto& [destination, at] : cases) {
        for (const unsigned flags : kBothModes) {
            SCOPED_TRACE(destination + ", flags " + std::to_string(flags));
            fs::remove_all("quelle");
            writeFile("quelle/Projekt/eins.txt", "eins");
            writeFile("quelle/Projekt/a/zwei.txt", bytesOf(100000, 2));
            fs::create_directories("quelle/Projekt/a/b");
            fs::create_directories("quelle/Projekt/backup");
            const Contents original = contentsOf("quelle/Projekt");
            const CopyResult first = copy("quelle/Projekt", destination, flags);
            if (at.empty() && flags == CopyFlags::KeepCopies) {
                EXPECT_EQ(first.message, "Quelle und Zielordner sind derselbe Ordner");
                EXPECT_EQ(contentsOf("quelle/Projekt"), original);
                continue;
            }
            ASSERT_TRUE(first.ok) << messageOf(first);
            ASSERT_TRUE(copied("quelle/Projekt", destination, flags)); // finds the first copy in the source
            Names targets = {at + "Projekt"};
            if (flags == CopyFlags::KeepCopies)
                targets.push_back(at + "Projekt - Kopie");
            for (const std::string& target : targets) {
                const Contents inCopy = contentsOf("quelle/Projekt/" + target);
                for (const auto& [rel, value] : original) {
                    if (at.empty() || !(rel + "/").starts_with(at)) {
                        EXPECT_EQ(inCopy.contains(rel) ? inCopy.at(rel) : "missing", value) << target << ": " << rel;
                    }
                }
                for (const std::string& other : targets)
                    EXPECT_FALSE(inCopy.contains(other)) << target << " holds " << other;
            }
        }
    }
}
