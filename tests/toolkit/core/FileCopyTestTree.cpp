// What a copied tree holds: data, permission bits, times, links, special files, its own target.
#include "FileCopyTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <string>
#include <sys/socket.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <vector>

using namespace copytest;

namespace {

struct Meta {
    mode_t mode;
    time_t seconds;
    long nanoseconds;
    bool operator==(const Meta&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Meta& m) {
    return os << std::oct << m.mode << std::dec << " @" << m.seconds << "." << m.nanoseconds;
}

// Mode and modification time of the root and everything below it, links left out.
std::map<std::string, Meta> metaOf(const fs::path& root) {
    std::map<std::string, Meta> out;
    auto add = [&](const fs::path& p, const std::string& rel) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) == 0 && !S_ISLNK(st.st_mode))
            out[rel] = {st.st_mode & 07777, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
    };
    add(root, ".");
    if (fs::is_directory(fs::symlink_status(root))) {
        for (const auto& e : fs::recursive_directory_iterator(root))
            add(e.path(), e.path().lexically_relative(root).string());
    }
    return out;
}

// Runs a copy that must not hang on a special file; if it does, the FIFOs get a writer so the
// test can report the fault instead of hanging itself.
CopyResult copyWithoutHanging(const std::string& source, const std::string& destination, unsigned flags,
                              const std::vector<std::string>& fifos) {
    auto done = std::async(std::launch::async, [&] { return copy(source, destination, flags); });
    if (done.wait_for(std::chrono::seconds(60)) == std::future_status::timeout) {
        ADD_FAILURE() << "the copy blocks on a special file";
        for (const std::string& f : fifos)
            ::close(::open(f.c_str(), O_WRONLY | O_NONBLOCK));
    }
    return done.get();
}

} // namespace

class FileCopyTreeTest : public InTempDir {};

// File data arrives byte for byte whatever its size, including over a longer previous copy.
TEST_F(FileCopyTreeTest, FileDataOfEverySize) {
    const std::size_t MiB = 1024 * 1024;
    const std::size_t sizes[] = {0, 1, 4095, 4096, 65537, MiB + 1, 9 * MiB + 7};
    for (const unsigned flags : {CopyFlags::Overwrite, CopyFlags::KeepCopies}) {
        for (const std::size_t size : sizes) {
            SCOPED_TRACE(std::to_string(size) + " bytes, flags " + std::to_string(flags));
            fs::remove_all("ziel");
            writeFile("ziel/daten.bin", bytesOf(size + 5000, 9));
            writeFile("quelle/daten.bin", bytesOf(size, static_cast<std::uint32_t>(size)));
            const CopyResult r = copy("quelle/daten.bin", "ziel", flags);
            ASSERT_TRUE(r.ok) << messageOf(r);
            const char* copyName = flags == CopyFlags::Overwrite ? "ziel/daten.bin" : "ziel/daten - Kopie.bin";
            EXPECT_EQ(readFile(copyName), readFile("quelle/daten.bin"));
        }
    }

    // A file with holes reads back the same, zeros included.
    {
        const int fd = ::open("quelle/loecher.bin", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, "anfang", 6, 0), 6);
        ASSERT_EQ(::pwrite(fd, "mitte", 5, 5 * MiB + 3), 5);
        ASSERT_EQ(::ftruncate(fd, 20 * MiB), 0);
        ::close(fd);
    }
    ASSERT_TRUE(copy("quelle/loecher.bin", "ziel", CopyFlags::Overwrite).ok);
    EXPECT_EQ(readFile("ziel/loecher.bin"), readFile("quelle/loecher.bin"));
}

// Permission bits and modification times (to the nanosecond) of files and folders survive a copy
// and a merge, whatever the umask; a read-only folder is still filled.
TEST_F(FileCopyTreeTest, ModeBitsAndTimesAreKept) {
    struct Entry {
        const char* rel;
        bool folder;
        mode_t mode;
    };
    // Deepest first, so that setting a folder's time comes after filling it.
    const Entry entries[] = {
        {"Projekt/nurlesen/drin.txt", false, 0644},
        {"Projekt/offen.txt", false, 0644},
        {"Projekt/privat.txt", false, 0600},
        {"Projekt/skript.sh", false, 0755},
        {"Projekt/alle.txt", false, 0777},
        {"Projekt/lesen.txt", false, 0444},
        {"Projekt/gruppe.txt", false, 0640},
        {"Projekt/setuid", false, 04755},
        {"Projekt/privat/geheim.txt", false, 0400},
        {"Projekt/leer", true, 0751},
        {"Projekt/nurlesen", true, 0555},
        {"Projekt/privat", true, 0700},
        {"Projekt/gemeinsam", true, 02775},
        {"Projekt", true, 0750},
        {"Brief.doc", false, 0640},
    };
    for (const auto& e : entries) {
        if (e.folder)
            fs::create_directories(fs::path("quelle") / e.rel);
        else
            writeFile(fs::path("quelle") / e.rel, e.rel, 0600);
    }
    time_t when = 1100000000;
    for (const auto& e : entries) {
        const fs::path p = fs::path("quelle") / e.rel;
        ASSERT_EQ(::chmod(p.c_str(), e.mode), 0);
        setMtime(p, when, (when % 1000) * 1000003 + 7);
        when += 86400 + 1;
    }

    for (const mode_t mask : {mode_t{022}, mode_t{077}, mode_t{0}}) {
        for (const unsigned flags : {CopyFlags::KeepCopies, CopyFlags::Overwrite}) {
            SCOPED_TRACE("umask " + std::to_string(mask) + ", flags " + std::to_string(flags));
            UmaskScope umask(mask);
            if (flags == CopyFlags::KeepCopies) {
                fs::remove_all("ziel");
                fs::create_directory("ziel");
            } // else: merge into the copy of the keep run, now with other modes and times
            else {
                for (const auto& e : fs::recursive_directory_iterator("ziel")) {
                    ::chmod(e.path().c_str(), e.is_directory() ? 0777 : 0666);
                    setMtime(e.path(), 2000000000, 0);
                }
            }
            for (const char* source : {"quelle/Projekt", "quelle/Brief.doc"}) {
                const CopyResult r = copy(source, "ziel", flags);
                ASSERT_TRUE(r.ok) << messageOf(r);
            }
            EXPECT_EQ(metaOf("ziel/Projekt"), metaOf("quelle/Projekt"));
            EXPECT_EQ(metaOf("ziel/Brief.doc"), metaOf("quelle/Brief.doc"));
            EXPECT_EQ(contentsOf("ziel/Projekt"), contentsOf("quelle/Projekt"));
        }
    }
}

// Links are copied as links with their text unchanged, wherever they point; nothing outside the
// source is read or written through them. A merge replaces the old copy's entry with the link.
TEST_F(FileCopyTreeTest, LinksAreCopiedAsLinks) {
    const std::string abs = dir.path().string();
    writeFile("aussen/geheim.txt", "nicht kopieren");
    writeFile("aussen/ordner/x.txt", "auch nicht");
    writeFile("quelle/Projekt/daten.txt", "daten");
    struct Link {
        std::string rel;
        std::string text;
    };
    const Link links[] = {
        {"rel", "daten.txt"},
        {"unter/hoch", "../daten.txt"},
        {"abs-aussen", abs + "/aussen/geheim.txt"},
        {"rel-aussen", "../../aussen/geheim.txt"},
        {"ordner-aussen", abs + "/aussen/ordner"},
        {"tot", "nirgends"},
        {"schleife", "schleife"},
    };
    fs::create_directories("quelle/Projekt/unter");
    for (const Link& l : links)
        fs::create_symlink(l.text, fs::path("quelle/Projekt") / l.rel);
    const Contents outside = contentsOf("aussen");
    const Contents source = contentsOf("quelle/Projekt");

    // The previous copy has other things under the link names.
    writeFile("ziel/Projekt/rel", "war eine Datei");
    fs::create_symlink("anderswo", "ziel/Projekt/tot");
    fs::create_symlink("../../aussen/geheim.txt", "ziel/Projekt/abs-aussen");

    for (const unsigned flags : {CopyFlags::Overwrite, CopyFlags::KeepCopies}) {
        SCOPED_TRACE(flags);
        const CopyResult r = copy("quelle/Projekt", "ziel", flags);
        ASSERT_TRUE(r.ok) << messageOf(r);
        EXPECT_EQ(contentsOf(flags == CopyFlags::Overwrite ? "ziel/Projekt" : "ziel/Projekt - Kopie"), source);
        EXPECT_EQ(contentsOf("aussen"), outside);
    }
}

// FIFOs, sockets and devices are left out without blocking; everything else is copied.
TEST_F(FileCopyTreeTest, SpecialFilesAreSkippedWithoutBlocking) {
    writeFile("quelle/Projekt/a.txt", "a");
    writeFile("quelle/Projekt/unter/z.txt", "z");
    std::vector<std::string> fifos = {"quelle/Projekt/rohr", "quelle/Projekt/unter/rohr2", "quelle/rohr"};
    for (const std::string& f : fifos)
        ASSERT_EQ(::mkfifo(f.c_str(), 0644), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string sockPath = "quelle/Projekt/sock";
    sockPath.copy(addr.sun_path, sockPath.size());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::listen(sock, 1);
    const bool haveDevice = ::mknod("quelle/Projekt/null", S_IFCHR | 0666, makedev(1, 3)) == 0;

    Contents expected = contentsOf("quelle/Projekt");
    std::erase_if(expected, [](const auto& e) { return e.second == "o"; });
    ASSERT_EQ(expected.size(), 3u); // a.txt, unter, unter/z.txt
    SCOPED_TRACE(haveDevice ? "with a device node" : "without a device node (mknod refused)");

    for (const unsigned flags : {CopyFlags::Overwrite, CopyFlags::KeepCopies}) {
        SCOPED_TRACE(flags);
        fs::remove_all("ziel");
        fs::create_directory("ziel");
        const CopyResult r = copyWithoutHanging("quelle/Projekt", "ziel", flags, fifos);
        EXPECT_TRUE(r.ok) << messageOf(r);
        EXPECT_EQ(contentsOf("ziel/Projekt"), expected);

        // A FIFO given as the source itself must not block either, nor become a file.
        copyWithoutHanging("quelle/rohr", "ziel", flags, fifos);
        EXPECT_FALSE(fs::is_regular_file(fs::symlink_status("ziel/rohr")));
    }
    ::close(sock);
}

// A destination inside the source folder works: the copy leaves out its own target instead of
// copying itself again and again, also when the destination is reached through a link; and no copy
// holds an earlier one, which would double the size with every run.
TEST_F(FileCopyTreeTest, DestinationInsideTheSource) {
    struct Case {
        std::string destination; // relative to the work folder
        std::string inside;      // where that is inside quelle/Projekt ("" = the source itself)
    };
    const Case cases[] = {
        {"quelle/Projekt", ""},
        {"quelle/Projekt/backup", "backup"},
        {"quelle/Projekt/backup/", "backup"},
        {"quelle/Projekt/a/b", "a/b"},
        {"verweis-nach-innen", "backup"},
        {dir.path().string() + "/quelle/Projekt/./backup", "backup"},
    };
    fs::create_directory_symlink("quelle/Projekt/backup", "verweis-nach-innen");
    for (const Case& c : cases) {
        for (const unsigned flags : {CopyFlags::Overwrite, CopyFlags::KeepCopies}) {
            SCOPED_TRACE(c.destination + ", flags " + std::to_string(flags));
            fs::remove_all("quelle");
            writeFile("quelle/Projekt/eins.txt", "eins");
            writeFile("quelle/Projekt/a/zwei.txt", bytesOf(100000, 2));
            fs::create_directories("quelle/Projekt/a/b");
            fs::create_directories("quelle/Projekt/backup");
            const Contents original = contentsOf("quelle/Projekt");
            if (c.inside.empty() && flags == CopyFlags::KeepCopies) {
                // Each run would copy all earlier copies again: refused, nothing written.
                const CopyResult r = copy("quelle/Projekt", c.destination, flags);
                EXPECT_FALSE(r.ok);
                EXPECT_EQ(r.message, "Quelle und Zielordner sind derselbe Ordner");
                EXPECT_EQ(contentsOf("quelle/Projekt"), original);
                continue;
            }

            // Two runs: the second finds the first copy inside the source.
            for (int run = 1; run <= 2; ++run) {
                const CopyResult r = copy("quelle/Projekt", c.destination, flags);
                ASSERT_TRUE(r.ok) << "run " << run << ": " << messageOf(r);
            }
            const std::string at = c.inside.empty() ? "" : c.inside + "/";
            std::vector<std::string> targets = {at + "Projekt"};
            if (flags == CopyFlags::KeepCopies)
                targets.push_back(at + "Projekt - Kopie");
            for (const std::string& target : targets) {
                SCOPED_TRACE(target);
                const Contents copied = contentsOf("quelle/Projekt/" + target);
                for (const auto& [rel, value] : original) {
                    const bool inDestination = !c.inside.empty() && (rel + "/").starts_with(at);
                    if (!inDestination) {
                        EXPECT_EQ(copied.contains(rel) ? copied.at(rel) : "missing", value) << rel;
                    }
                }
                EXPECT_FALSE(copied.contains(target)) << "the copy holds a copy of itself";
                for (const std::string& other : targets) {
                    if (!c.inside.empty()) {
                        EXPECT_FALSE(copied.contains(other)) << "the copy holds " << other;
                    }
                }
            }
        }
    }
}

// Names up to the file system's limit: the temporary name must not overflow it, and a further
// copy whose name cannot fit fails cleanly rather than damaging anything.
TEST_F(FileCopyTreeTest, LongestNames) {
    const std::string name(255, 'n');
    const std::string folder(255, 'o');
    writeFile("quelle/" + name, "neu");
    writeFile("quelle/" + folder + "/" + name, "neu innen");
    writeFile("ziel/" + name, "alt");
    writeFile("ziel/" + folder + "/" + name, "alt innen");

    for (const std::string& source : {name, folder}) {
        const CopyResult r = copy("quelle/" + source, "ziel", CopyFlags::Overwrite);
        ASSERT_TRUE(r.ok) << messageOf(r);
    }
    EXPECT_EQ(readFile("ziel/" + name), "neu");
    EXPECT_EQ(readFile("ziel/" + folder + "/" + name), "neu innen");
    EXPECT_TRUE(hiddenBelow("ziel").empty());

    const Contents before = contentsOf("ziel");
    const CopyResult r = copy("quelle/" + name, "ziel", CopyFlags::KeepCopies);
    const Contents after = contentsOf("ziel");
    for (const auto& [rel, value] : before)
        EXPECT_EQ(after.at(rel), value) << rel;
    EXPECT_EQ(after.size(), before.size() + (r.ok ? 1 : 0)) << messageOf(r);
    EXPECT_TRUE(hiddenBelow("ziel").empty());
}
