// The copy never harms the previous copy or other files, and never shows a private file to others.
#include "FileCopyTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using namespace copytest;

namespace {

constexpr std::size_t MiB = 1024 * 1024;

// Passes every byte through, recording how the file being written is visible to others.
class WatchingWriter : public CopyWriter {
public:
    ssize_t write(int fd, const void* data, std::size_t size) override {
        struct stat st {};
        ::fstat(fd, &st);
        widest |= st.st_mode & 077;
        ++calls;
        return ::write(fd, data, size);
    }
    mode_t widest = 0;
    int calls = 0;
};

// Writes through until `budget` bytes are used up, then fails with `err`, like a disk that fills.
class FailingWriter : public CopyWriter {
public:
    FailingWriter(std::size_t budget, int err) : budget_(budget), err_(err) {}
    ssize_t write(int fd, const void* data, std::size_t size) override {
        if (budget_ == 0) {
            errno = err_;
            return -1;
        }
        const std::size_t n = std::min(size, budget_);
        budget_ -= n;
        return ::write(fd, data, n);
    }

private:
    std::size_t budget_;
    int err_;
};

// Takes at most 7 bytes per call and is interrupted by a signal every other call.
class ChoppyWriter : public CopyWriter {
public:
    ssize_t write(int fd, const void* data, std::size_t size) override {
        if (++calls_ % 2 == 0) {
            errno = EINTR;
            return -1;
        }
        return ::write(fd, data, std::min<std::size_t>(size, 7));
    }

private:
    int calls_ = 0;
};

class StalledWriter : public CopyWriter {
public:
    ssize_t write(int, const void*, std::size_t) override { return 0; }
};

// Records every report, looks around on every report and question, and answers "cancel" from
// the `cancelAtAsk`-th question on (0: never). Reports may be sparse; questions come per chunk.
class Recorder : public CopyObserver {
public:
    void progress(const CopyProgress& p) override {
        reports.push_back(p);
        look();
    }
    bool cancelled() override {
        look();
        ++asks;
        return cancelAtAsk > 0 && asks >= cancelAtAsk;
    }
    std::function<void()> look = [] {};
    int cancelAtAsk = 0;
    int asks = 0;
    std::vector<CopyProgress> reports;
};

// The outcome a complete copy would give: the previous copy merged with the source.
Contents completed(const Contents& before, const Contents& source, const std::string& targetName) {
    Contents out = before;
    out[targetName] = "d";
    for (const auto& [rel, value] : source)
        out[targetName + "/" + rel] = value;
    return out;
}

} // namespace

class FileCopySafetyTest : public InTempDir {
protected:
    // A single file and a folder tree, each with a previous copy of other contents in ziel/.
    void makeSourcesAndPreviousCopy() {
        fs::remove_all("quelle");
        fs::remove_all("ziel");
        writeFile("quelle/Brief.doc", bytesOf(4 * MiB + 3, 1));
        writeFile("quelle/Projekt/a.bin", bytesOf(1 * MiB, 2));
        writeFile("quelle/Projekt/b.bin", bytesOf(2 * MiB, 3));
        writeFile("quelle/Projekt/c.bin", bytesOf(1 * MiB + 17, 4));
        writeFile("quelle/Projekt/unter/d.bin", bytesOf(65536, 5));
        writeFile("quelle/Projekt/unter/neu.bin", bytesOf(300000, 6));
        writeFile("ziel/Brief.doc", bytesOf(3 * MiB, 11));
        writeFile("ziel/Projekt/a.bin", bytesOf(1 * MiB, 12));
        writeFile("ziel/Projekt/b.bin", bytesOf(3 * MiB, 13));
        writeFile("ziel/Projekt/c.bin", "c alt");
        writeFile("ziel/Projekt/unter/d.bin", bytesOf(65536, 15));
        writeFile("ziel/Projekt/nur-alt.txt", "bleibt");
    }
};

// A private file or folder is never readable by group or others in the destination, not even
// while it is being written, whatever the umask and whether the kernel or the writer copies.
TEST_F(FileCopySafetyTest, PrivateSourceStaysPrivateWhileWritten) {
    for (const mode_t mask : {mode_t{022}, mode_t{0}, mode_t{077}}) {
        for (const bool viaWriter : {false, true}) {
            for (const unsigned flags : {CopyFlags::Overwrite, CopyFlags::KeepCopies}) {
                SCOPED_TRACE("umask " + std::to_string(mask) + (viaWriter ? ", writer" : ", kernel copy") + ", flags " +
                             std::to_string(flags));
                fs::remove_all("quelle");
                fs::remove_all("ziel");
                writeFile("quelle/privat.key", bytesOf(12 * MiB, 1), 0600);
                writeFile("quelle/Geheim/a.bin", bytesOf(6 * MiB, 2), 0600);
                writeFile("quelle/Geheim/tief/b.bin", bytesOf(6 * MiB, 3), 0400);
                ::chmod("quelle/Geheim/tief", 0700);
                ::chmod("quelle/Geheim", 0700);
                writeFile("ziel/privat.key", "frueher offen", 0644); // made private since
                fs::permissions("ziel", fs::perms(0755));

                UmaskScope umask(mask);
                WatchingWriter writer;
                std::optional<WriterScope> scope;
                if (viaWriter)
                    scope.emplace(&writer);
                Recorder watcher;
                std::vector<std::string> exposed;
                int looksAtTemporaryFiles = 0;
                watcher.look = [&] {
                    std::error_code ec;
                    bool sawTemporary = false;
                    for (auto it = fs::recursive_directory_iterator("ziel", ec);
                         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
                        struct stat st {};
                        if (::lstat(it->path().c_str(), &st) != 0 || S_ISLNK(st.st_mode))
                            continue;
                        sawTemporary |= it->path().filename().string().starts_with(".");
                        const bool older = it->path() == fs::path("ziel/privat.key") && st.st_size == 13;
                        if ((st.st_mode & 077) != 0 && !older)
                            exposed.push_back(it->path().string());
                    }
                    looksAtTemporaryFiles += sawTemporary ? 1 : 0;
                };
                for (const char* source : {"quelle/privat.key", "quelle/Geheim"}) {
                    const CopyResult r = copy(source, "ziel", flags, &watcher);
                    ASSERT_TRUE(r.ok) << messageOf(r);
                }
                EXPECT_TRUE(exposed.empty()) << exposed.size() << " times, first " << exposed.front();
                EXPECT_GT(looksAtTemporaryFiles, 0) << "never asked or told anything while a file was written";
                if (viaWriter) {
                    EXPECT_GT(writer.calls, 0);
                    EXPECT_EQ(writer.widest, 0u) << std::oct << writer.widest;
                }
                const char* copied = flags == CopyFlags::Overwrite ? "ziel/privat.key" : "ziel/privat - Kopie.key";
                EXPECT_EQ(modeOf(copied), 0600u);
                EXPECT_EQ(modeOf("ziel/Geheim"), 0700u);
            }
        }
    }
}

// A link planted where the copy goes is replaced (or, keeping copies, left alone); the file or
// folder it points to is never written.
TEST_F(FileCopySafetyTest, PlantedLinkAtTheTargetIsNotFollowed) {
    const std::string abs = dir.path().string();
    struct Case {
        const char* what;
        const char* link;
        std::string pointsTo;
        unsigned flags;
    };
    const Case cases[] = {
        {"file target, relative link", "ziel/Brief.doc", "../opfer/datei.txt", CopyFlags::Overwrite},
        {"file target, absolute link", "ziel/Brief.doc", abs + "/opfer/datei.txt", CopyFlags::Overwrite},
        {"folder target", "ziel/Projekt", "../opfer/ordner", CopyFlags::Overwrite},
        {"file inside a merged folder", "ziel/Projekt/a.txt", "../../opfer/datei.txt", CopyFlags::Overwrite},
        {"folder inside a merged folder", "ziel/Projekt/unter", abs + "/opfer/ordner", CopyFlags::Overwrite},
        {"file target, keeping copies", "ziel/Brief.doc", "../opfer/datei.txt", CopyFlags::KeepCopies},
        {"folder target, keeping copies", "ziel/Projekt", "../opfer/ordner", CopyFlags::KeepCopies},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all("quelle");
        fs::remove_all("ziel");
        fs::remove_all("opfer");
        writeFile("quelle/Brief.doc", "neuer Brief");
        writeFile("quelle/Projekt/a.txt", "neues a");
        writeFile("quelle/Projekt/unter/b.txt", "neues b");
        writeFile("opfer/datei.txt", "darf sich nicht aendern");
        writeFile("opfer/ordner/a.txt", "darf sich nicht aendern");
        writeFile("opfer/ordner/unter/b.txt", "darf sich nicht aendern");
        fs::create_directories(fs::path(c.link).parent_path());
        fs::create_symlink(c.pointsTo, c.link);
        const Contents victim = contentsOf("opfer");

        for (const char* source : {"quelle/Brief.doc", "quelle/Projekt"}) {
            const CopyResult r = copy(source, "ziel", c.flags);
            ASSERT_TRUE(r.ok) << messageOf(r);
        }
        EXPECT_EQ(contentsOf("opfer"), victim);
        if (c.flags == CopyFlags::Overwrite) {
            EXPECT_EQ(readFile("ziel/Brief.doc"), "neuer Brief");
            EXPECT_FALSE(fs::is_symlink(c.link));
            EXPECT_EQ(contentsOf("ziel/Projekt"), contentsOf("quelle/Projekt"));
        } else {
            EXPECT_TRUE(fs::is_symlink(c.link));
            EXPECT_EQ(fs::read_symlink(c.link), c.pointsTo);
        }
    }
}

// A write that fails part-way (full disk, I/O error, quota) fails the copy with the system's
// message and leaves every file of the previous copy as it was, or complete and new, and no
// temporary file.
TEST_F(FileCopySafetyTest, FailedWriteLeavesThePreviousCopy) {
    struct Case {
        const char* source;
        unsigned flags;
        std::size_t budget;
        int err;
    };
    const Case cases[] = {
        {"Brief.doc", CopyFlags::Overwrite, 0, ENOSPC},
        {"Brief.doc", CopyFlags::Overwrite, 1, ENOSPC},
        {"Brief.doc", CopyFlags::Overwrite, MiB + 1, EIO},
        {"Brief.doc", CopyFlags::Overwrite, 4 * MiB + 2, EDQUOT},
        {"Brief.doc", CopyFlags::KeepCopies, 2 * MiB, ENOSPC},
        {"Projekt", CopyFlags::Overwrite, 0, ENOSPC},
        {"Projekt", CopyFlags::Overwrite, MiB + MiB / 2, ENOSPC},
        {"Projekt", CopyFlags::Overwrite, 4 * MiB + 5, EIO},
        {"Projekt", CopyFlags::Overwrite, 4 * MiB + 65536 + 300000 + 16, ENOSPC},
        {"Projekt", CopyFlags::KeepCopies, 3 * MiB, ENOSPC},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.source) + ", flags " + std::to_string(c.flags) + ", fails after " +
                     std::to_string(c.budget) + " bytes with " + std::strerror(c.err));
        makeSourcesAndPreviousCopy();
        const Contents before = contentsOf("ziel");
        const std::string source = std::string("quelle/") + c.source;
        CopyResult r;
        {
            FailingWriter writer(c.budget, c.err);
            WriterScope scope(&writer);
            r = copy(source, "ziel", c.flags);
        }
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.message.find(std::strerror(c.err)), std::string::npos) << messageOf(r);
        EXPECT_FALSE(r.path.empty()) << messageOf(r);
        EXPECT_EQ(r.path.find(".morlanz-"), std::string::npos) << "names the hidden file: " << messageOf(r);
        EXPECT_EQ(hiddenBelow("ziel"), std::vector<std::string>{});

        const Contents now = contentsOf("ziel");
        if (fs::is_regular_file(source)) {
            EXPECT_EQ(now, before); // the one file failed: nothing changed at all
        } else {
            const std::string name = c.flags == CopyFlags::Overwrite ? "Projekt" : "Projekt - Kopie";
            const Contents complete = completed(before, contentsOf(source), name);
            EXPECT_TRUE(eachEntryOldOrNew(now, before, complete));
            EXPECT_NE(now, complete);
        }
    }
}

// Short writes and interrupted writes are continued; a writer that makes no progress fails the
// copy instead of looping.
TEST_F(FileCopySafetyTest, ShortInterruptedAndStalledWrites) {
    makeSourcesAndPreviousCopy();
    writeFile("quelle/klein.txt", bytesOf(70001, 7));
    {
        ChoppyWriter choppy;
        WriterScope scope(&choppy);
        const CopyResult r = copy("quelle/klein.txt", "ziel", CopyFlags::Overwrite);
        ASSERT_TRUE(r.ok) << messageOf(r);
    }
    EXPECT_EQ(readFile("ziel/klein.txt"), readFile("quelle/klein.txt"));

    const Contents before = contentsOf("ziel");
    StalledWriter stalled;
    WriterScope scope(&stalled);
    for (const char* source : {"quelle/Brief.doc", "quelle/Projekt"}) {
        SCOPED_TRACE(source);
        EXPECT_FALSE(copy(source, "ziel", CopyFlags::Overwrite).ok);
        EXPECT_EQ(contentsOf("ziel"), before);
    }
}

// Cancelling, at whatever point, fails the copy with "abgebrochen" and leaves the previous copy
// (each file old or complete and new) and no temporary file. The question comes between chunks,
// so a long file can be cancelled part-way.
TEST_F(FileCopySafetyTest, CancelledCopyLeavesThePreviousCopy) {
    struct Case {
        const char* what;
        const char* source;
        unsigned flags;
        int cancelAtAsk;
    };
    const Case cases[] = {
        {"file at once", "Brief.doc", CopyFlags::Overwrite, 1},
        {"file part-way", "Brief.doc", CopyFlags::Overwrite, 3},
        {"file part-way, keeping copies", "Brief.doc", CopyFlags::KeepCopies, 3},
        {"folder at once", "Projekt", CopyFlags::Overwrite, 1},
        {"folder part-way", "Projekt", CopyFlags::Overwrite, 4},
        {"folder part-way, keeping copies", "Projekt", CopyFlags::KeepCopies, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        makeSourcesAndPreviousCopy();
        writeFile("quelle/Brief.doc", bytesOf(48 * MiB, 21)); // many chunks, whatever their size
        const Contents before = contentsOf("ziel");
        const std::string source = std::string("quelle/") + c.source;
        Recorder observer;
        observer.cancelAtAsk = c.cancelAtAsk;
        const CopyResult r = copy(source, "ziel", c.flags, &observer);
        ASSERT_GE(observer.asks, c.cancelAtAsk) << "asked only " << observer.asks << " times";
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, "abgebrochen");
        EXPECT_EQ(hiddenBelow("ziel"), std::vector<std::string>{});
        const Contents now = contentsOf("ziel");
        if (fs::is_regular_file(source)) {
            EXPECT_EQ(now, before);
        } else {
            const std::string name = c.flags == CopyFlags::Overwrite ? "Projekt" : "Projekt - Kopie";
            const Contents complete = completed(before, contentsOf(source), name);
            EXPECT_TRUE(eachEntryOldOrNew(now, before, complete));
            EXPECT_NE(now, complete);
        }
    }
}

// Totals are known from the first report that counts anything, the counts only grow, and the
// last report says everything is done.
TEST_F(FileCopySafetyTest, ProgressCountsFilesAndBytes) {
    struct Case {
        const char* source;
        unsigned flags;
        const char* destination;
    };
    const Case cases[] = {
        {"Brief.doc", CopyFlags::Overwrite, "ziel"},
        {"Brief.doc", CopyFlags::KeepCopies, "ziel"},
        {"Projekt", CopyFlags::Overwrite, "ziel"},
        {"Projekt", CopyFlags::KeepCopies, "ziel"},
        {"Leer", CopyFlags::KeepCopies, "ziel"},
        {"Projekt", CopyFlags::Overwrite, "quelle/Projekt"},
        {"Projekt", CopyFlags::Overwrite, "quelle/Projekt/unter"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.source) + " -> " + c.destination + ", flags " + std::to_string(c.flags));
        makeSourcesAndPreviousCopy();
        writeFile("quelle/Projekt/leer.txt", "");
        writeFile("quelle/Leer/leer.txt", "");
        fs::create_directories("quelle/Projekt/leerer/Ordner");
        const std::string source = std::string("quelle/") + c.source;
        std::uint64_t files = 0;
        std::uint64_t bytes = 0;
        if (fs::is_regular_file(source)) {
            files = 1;
            bytes = fs::file_size(source);
        } else {
            for (auto it = fs::recursive_directory_iterator(source); it != fs::recursive_directory_iterator(); ++it) {
                if (fs::equivalent(it->path(), c.destination))
                    it.disable_recursion_pending(); // the destination is left out unless it is the source
                else if (it->is_regular_file()) {
                    ++files;
                    bytes += it->file_size();
                }
            }
        }

        Recorder observer;
        const CopyResult r = copy(source, c.destination, c.flags, &observer);
        ASSERT_TRUE(r.ok) << messageOf(r);
        ASSERT_FALSE(observer.reports.empty());
        CopyProgress previous;
        for (const CopyProgress& p : observer.reports) {
            if (p.bytesDone > 0 || p.filesDone > 0) {
                EXPECT_EQ(p.filesTotal, files);
                EXPECT_EQ(p.bytesTotal, bytes);
            }
            EXPECT_GE(p.bytesDone, previous.bytesDone);
            EXPECT_GE(p.filesDone, previous.filesDone);
            EXPECT_LE(p.bytesDone, p.bytesTotal);
            EXPECT_LE(p.filesDone, p.filesTotal);
            previous = p;
        }
        const CopyProgress& last = observer.reports.back();
        EXPECT_EQ(last.filesDone, files);
        EXPECT_EQ(last.filesTotal, files);
        EXPECT_EQ(last.bytesDone, bytes);
        EXPECT_EQ(last.bytesTotal, bytes);
    }
}
