// The copy never harms the previous copy or other files, and never shows a private file to others.
#include "CoreTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <tuple>

using namespace coretest;

namespace {

constexpr std::size_t MiB = 1024 * 1024;
constexpr unsigned kOverwrite = CopyFlags::Overwrite;
constexpr unsigned kKeep = CopyFlags::KeepCopies;
using Writer = ScriptedWriter<CopyWriter>;

// Records every report, calls `look` on every report and question, and answers "cancel" from the
// `cancelAtAsk`-th question on (0: never). Both must come on the thread that called FileCopy.
class Recorder : public CopyObserver {
public:
    void progress(const CopyProgress& p) override {
        otherThread |= std::this_thread::get_id() != caller;
        reports.push_back(p);
        look();
    }
    bool cancelled() override {
        otherThread |= std::this_thread::get_id() != caller;
        look();
        return cancelAtAsk > 0 && ++asks >= cancelAtAsk;
    }
    std::function<void()> look = [] {};
    int cancelAtAsk = 0;
    int asks = 0;
    std::vector<CopyProgress> reports;
    const std::thread::id caller = std::this_thread::get_id();
    bool otherThread = false;
};

} // namespace

class FileCopySafetyTest : public InTempDir {};

// Private sources (a file of several kernel copy chunks, a folder tree, an empty folder) are copied
// over an older, public previous copy, with the umask at 0. Whatever happens:
//  - nothing new in the destination is ever readable by others, not even while it is written;
//  - the user is asked and told only on the calling thread, and progress only grows up to the
//    source's totals, which a complete copy reaches;
//  - a write that fails part-way (full disk, I/O error, quota, no progress) or cancelling, at any
//    point and on any thread, fails with the system's message or "abgebrochen", names the real path,
//    not a hidden one, and leaves each entry of the previous copy as it was or complete and new;
//  - short and interrupted writes are continued, and no temporary file is left;
//  - a link planted where the copy goes is replaced (or, keeping copies, left alone), and what it
//    points to is never written.
TEST_F(FileCopySafetyTest, FailingCancelledAndCompleteCopies) {
    struct Case {
        const char* source;
        unsigned flags;
        std::size_t budget = SIZE_MAX; // bytes the writer takes before it fails with err
        int err = 0;
        int cancelAtAsk = 0;
        std::size_t perCall = SIZE_MAX; // less: short and interrupted writes
        bool viaWriter = true;          // false: the kernel copies
        int pauseMs = 0;                // per write: helpers outlast the progress throttle
        const char* plant = nullptr;    // a link in the previous copy, to pointsTo
        std::string pointsTo = "";
    };
    const std::string abs = dir.path().string();
    const Case cases[] = {
        {.source = "Brief.doc", .flags = kOverwrite, .budget = 0, .err = ENOSPC},
        {.source = "Brief.doc", .flags = kOverwrite, .budget = 1, .err = ENOSPC},
        {.source = "Brief.doc", .flags = kOverwrite, .budget = MiB + 1, .err = EIO},
        {.source = "Brief.doc", .flags = kOverwrite, .budget = 24 * MiB + 2, .err = EDQUOT}, // at the last byte
        {.source = "Brief.doc", .flags = kOverwrite, .budget = 100, .err = 0},
        {.source = "Brief.doc", .flags = kKeep, .budget = 2 * MiB, .err = ENOSPC},
        {.source = "Projekt", .flags = kOverwrite, .budget = 0, .err = ENOSPC},
        {.source = "Projekt", .flags = kOverwrite, .budget = MiB + MiB / 2, .err = ENOSPC},
        {.source = "Projekt", .flags = kOverwrite, .budget = 4 * MiB + 65536 + 300000 + 16, .err = ENOSPC},
        {.source = "Projekt", .flags = kOverwrite, .budget = 2 * MiB, .err = 0},
        {.source = "Projekt", .flags = kKeep, .budget = 3 * MiB, .err = EIO},
        {.source = "Brief.doc", .flags = kOverwrite, .cancelAtAsk = 1, .viaWriter = false},
        {.source = "Brief.doc", .flags = kOverwrite, .cancelAtAsk = 3, .viaWriter = false},
        {.source = "Brief.doc", .flags = kKeep, .cancelAtAsk = 3, .viaWriter = false},
        {.source = "Projekt", .flags = kOverwrite, .cancelAtAsk = 1, .viaWriter = false},
        {.source = "Projekt", .flags = kOverwrite, .cancelAtAsk = 4, .viaWriter = false},
        {.source = "Projekt", .flags = kKeep, .cancelAtAsk = 4},
        {.source = "Brief.doc", .flags = kOverwrite, .viaWriter = false},
        {.source = "Brief.doc", .flags = kKeep, .perCall = 4093},
        {.source = "Projekt", .flags = kOverwrite, .perCall = 4093},
        {.source = "Projekt", .flags = kKeep, .pauseMs = 30},
        {.source = "Projekt", .flags = kKeep, .viaWriter = false},
        {.source = "Leer", .flags = kKeep, .viaWriter = false},
        {.source = "Brief.doc", .flags = kOverwrite, .plant = "Brief.doc", .pointsTo = "../opfer/datei"},
        {.source = "Brief.doc", .flags = kKeep, .plant = "Brief.doc", .pointsTo = abs + "/opfer/datei"},
        {.source = "Projekt", .flags = kOverwrite, .plant = "Projekt", .pointsTo = "../opfer/ordner"},
        {.source = "Projekt", .flags = kKeep, .plant = "Projekt", .pointsTo = "../opfer/ordner"},
        {.source = "Projekt", .flags = kOverwrite, .plant = "Projekt/a.bin", .pointsTo = "../../opfer/datei"},
        {.source = "Projekt", .flags = kOverwrite, .plant = "Projekt/unter", .pointsTo = abs + "/opfer/ordner"},
    };
    UmaskScope umask(0);
    int looksAtTemporaryFiles = 0;
    for (const Case& c : cases) {
        const std::string reason = c.cancelAtAsk > 0      ? "abgebrochen"
                                   : c.budget == SIZE_MAX ? ""
                                                          : std::strerror(c.err ? c.err : EIO);
        SCOPED_TRACE(std::string(c.source) + ", flags " + std::to_string(c.flags) + ", after " +
                     std::to_string(c.budget) + " bytes or at question " + std::to_string(c.cancelAtAsk) + ": " +
                     (reason.empty() ? "succeeds" : reason) + (c.plant ? ", link planted at " : "") +
                     (c.plant ? c.plant : ""));
        // Each file's size, mode and size in the previous copy (0: not there).
        const std::tuple<const char*, std::size_t, mode_t, std::size_t> layout[] = {
            {"Brief.doc", 24 * MiB + 3, 0600, 3 * MiB},  {"Projekt/a.bin", MiB, 0600, MiB},
            {"Projekt/b.bin", 2 * MiB, 0600, 3 * MiB},   {"Projekt/c.bin", MiB + 17, 0400, 5},
            {"Projekt/unter/d.bin", 65536, 0600, 65536}, {"Projekt/unter/neu.bin", 300000, 0600, 0},
            {"Projekt/unter/leer.txt", 0, 0600, 0},      {"Leer/leer.txt", 0, 0600, 0}};
        fs::remove_all("quelle");
        fs::remove_all("ziel");
        for (const auto& [rel, size, mode, previous] : layout) {
            writeFile(std::string("quelle/") + rel, bytesOf(size, size), mode);
            if (previous > 0) { // older, so that no file passes for unchanged
                writeFile(std::string("ziel/") + rel, bytesOf(previous, previous + 1));
                setTimes(std::string("ziel/") + rel, 1000000000, 0);
            }
        }
        writeFile("ziel/Projekt/nur-alt.txt", "bleibt");
        for (const char* folder : {"quelle/Projekt/unter", "quelle/Projekt", "quelle/Leer"})
            ::chmod(folder, 0700);
        fs::remove_all("opfer");
        for (const char* victim : {"opfer/datei", "opfer/ordner/a.bin", "opfer/ordner/unter/d.bin"})
            writeFile(victim, "darf sich nicht aendern");
        if (c.plant) {
            fs::remove_all(fs::path("ziel") / c.plant);
            fs::create_symlink(c.pointsTo, fs::path("ziel") / c.plant);
        }
        const Contents victims = contentsOf("opfer");
        const Contents before = contentsOf("ziel");
        const std::string from = std::string("quelle/") + c.source;
        const Contents source = fs::is_directory(from) ? contentsOf(from) : Contents{{"", "f:" + readFile(from)}};
        std::uint64_t files = 0;
        std::uint64_t bytes = 0;
        for (const auto& [rel, value] : source) {
            files += value.starts_with("f:") ? 1 : 0;
            bytes += value.starts_with("f:") ? value.size() - 2 : 0;
        }
        // A complete copy: the previous one with the source merged in, or beside it under a new name.
        std::string name = c.source;
        if (c.flags == kKeep && before.contains(name))
            name = name == "Brief.doc" ? "Brief - Kopie.doc" : name + " - Kopie";
        Contents complete = before;
        complete[name] = "d";
        for (const auto& [rel, value] : source)
            complete[rel.empty() ? name : name + "/" + rel] = value;

        std::set<ino_t> previousEntries; // may stay public
        for (const auto& e : fs::recursive_directory_iterator("ziel")) {
            struct stat st {};
            ::lstat(e.path().c_str(), &st);
            previousEntries.insert(st.st_ino);
        }
        Names exposed;
        Recorder observer;
        observer.cancelAtAsk = c.cancelAtAsk;
        observer.look = [&] {
            bool sawTemporary = false;
            std::error_code ec;
            for (auto it = fs::recursive_directory_iterator("ziel", ec);
                 !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
                struct stat st {};
                if (::lstat(it->path().c_str(), &st) != 0 || previousEntries.contains(st.st_ino))
                    continue;
                sawTemporary |= it->path().filename().string().starts_with(".");
                if ((st.st_mode & 077) != 0)
                    exposed.push_back(it->path().string());
            }
            looksAtTemporaryFiles += sawTemporary ? 1 : 0;
        };
        Writer writer(c.budget, c.err, c.perCall, c.perCall != SIZE_MAX);
        writer.look = [&] { std::this_thread::sleep_for(std::chrono::milliseconds(c.pauseMs)); };
        std::optional<SeamScope<CopyWriter>> scope;
        if (c.viaWriter)
            scope.emplace(&writer);
        const CopyResult r = copy(from, "ziel", c.flags, &observer);
        scope.reset();

        EXPECT_EQ(contentsOf("opfer"), victims);
        EXPECT_EQ(exposed, Names{});
        EXPECT_EQ(writer.widest & 077, 0u) << std::oct << writer.widest;
        EXPECT_FALSE(writer.overlapped);
        EXPECT_FALSE(observer.otherThread);
        EXPECT_GE(observer.asks, c.cancelAtAsk);
        CopyProgress last;
        for (const CopyProgress& p : observer.reports) {
            if (p.bytesDone > 0 || p.filesDone > 0) {
                EXPECT_EQ(p.filesTotal, files);
                EXPECT_EQ(p.bytesTotal, bytes);
            }
            EXPECT_GE(p.bytesDone, last.bytesDone);
            EXPECT_GE(p.filesDone, last.filesDone);
            EXPECT_LE(p.bytesDone, p.bytesTotal);
            EXPECT_LE(p.filesDone, p.filesTotal);
            last = p;
        }
        const Contents now = contentsOf("ziel");
        if (reason.empty()) {
            EXPECT_TRUE(r.ok) << messageOf(r);
            EXPECT_TRUE(sameTree(now, complete));
            EXPECT_EQ(modeOf("ziel/" + name), modeOf(from));
            EXPECT_TRUE(last.filesDone == files && last.filesTotal == files && last.bytesDone == bytes &&
                        last.bytesTotal == bytes);
            continue;
        }
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.message.find(reason), std::string::npos) << messageOf(r);
        EXPECT_TRUE(c.cancelAtAsk > 0 || !r.path.empty()) << messageOf(r);
        EXPECT_EQ(r.path.find(".morlanz-"), std::string::npos) << "names the hidden file: " << messageOf(r);
        for (const auto& [rel, value] : now) {
            const bool isOld = before.contains(rel) && before.at(rel) == value;
            const bool isNew = complete.contains(rel) && complete.at(rel) == value;
            EXPECT_TRUE(isOld || isNew) << rel << " is neither the previous nor the new version";
        }
        for (const auto& [rel, value] : before)
            EXPECT_TRUE(now.contains(rel)) << rel << " of the previous copy is gone";
        EXPECT_FALSE(now == complete) << "the copy completed anyway";
    }
    EXPECT_GT(looksAtTemporaryFiles, 0) << "never asked or told anything while a file was written";
}

namespace {

// Fails the n-th write or the n-th rename with EIO and lets every other call through; may stand
// in for a file system that cannot swap two entries.
class FailNth : public CopyWriter {
public:
    ssize_t write(int fd, const void* data, std::size_t size) override {
        if (++writes == failWrite) {
            errno = EIO;
            return -1;
        }
        return ::write(fd, data, size);
    }
    int rename(const char* from, const char* to, unsigned flags) override {
        if (++renames == failRename || (noExchange && flags == RENAME_EXCHANGE)) {
            errno = renames == failRename ? EIO : EINVAL;
            return -1;
        }
        return CopyWriter::rename(from, to, flags);
    }
    int failWrite = 0;
    int failRename = 0;
    bool noExchange = false;
    int writes = 0;
    int renames = 0;
};

} // namespace

// The n-th write or rename fails, for every n until a run gets through: each entry is then as the
// previous copy had it or as the complete copy has it (absent counts as a state; keeping copies,
// the previous copy is untouched), and the next run completes and leaves nothing hidden. The
// source changes kinds of entries, holds further names of a file, new, changed and unchanged ones.
TEST_F(FileCopySafetyTest, EveryFailingWriteOrRename) {
    struct Case {
        unsigned flags;
        bool rename; // else a write fails
        bool noExchange;
    };
    const Case cases[] = {{kOverwrite, false, false},
                          {kOverwrite, true, false},
                          {kOverwrite, true, true},
                          {kKeep, false, false},
                          {kKeep, true, false}};
    for (const char* rel : {"P/a.txt", "P/b/c.txt", "P/d", "P/h1", "P/neu/n.txt", "P/u.txt"})
        writeFile(fs::path("quelle") / rel, std::string("neu ") + rel);
    fs::create_symlink("a.txt", "quelle/P/e");
    fs::create_directory("quelle/P/sub");
    fs::create_hard_link("quelle/P/h1", "quelle/P/sub/h2");
    setTimes("quelle/P/u.txt", 1300000000, 0);
    const Contents source = contentsOf("quelle");
    const auto previous = [] {
        fs::remove_all("ziel");
        for (const char* rel : {"P/a.txt", "P/b", "P/d/x.txt", "P/e/y.txt", "P/h1", "P/sub/h2", "P/nur-alt.txt"})
            writeFile(fs::path("ziel") / rel, std::string("alt ") + rel);
        writeFile("ziel/P/u.txt", "neu P/u.txt");
        setTimes("ziel/P/u.txt", 1300000000, 0);
    };
    previous();
    const Contents before = contentsOf("ziel");
    for (const Case& c : cases) {
        const std::string copyName = c.flags == kKeep ? "P - Kopie" : "P";
        Contents complete = before;
        for (const auto& [rel, value] : source) {
            const std::string at = copyName + rel.substr(1);
            if (complete.contains(at) && (complete[at] == "d") != (value == "d"))
                std::erase_if(complete, [&](const auto& e) { return e.first.starts_with(at + "/"); });
            complete[at] = value;
        }
        for (int n = 1;; ++n) {
            SCOPED_TRACE("flags " + std::to_string(c.flags) + (c.rename ? ", rename " : ", write ") +
                         std::to_string(n) + (c.noExchange ? ", no swapping" : ""));
            previous();
            FailNth writer;
            (c.rename ? writer.failRename : writer.failWrite) = n;
            writer.noExchange = c.noExchange;
            SeamScope<CopyWriter> scope(&writer);
            const CopyResult r = copy("quelle/P", "ziel", c.flags);
            if (r.ok) {
                EXPECT_GT(n, 1);
                EXPECT_TRUE(sameTree(contentsOf("ziel"), complete));
                break;
            }
            EXPECT_EQ(r.message, std::strerror(EIO));
            Contents now = contentsOf("ziel");
            Contents all = now;
            all.insert(before.begin(), before.end());
            all.insert(complete.begin(), complete.end());
            for (const auto& [rel, value] : all) {
                const auto state = [&](const Contents& of) { return of.contains(rel) ? of.at(rel) : "absent"; };
                EXPECT_TRUE(state(now) == state(before) || state(now) == state(complete))
                    << rel << " is " << state(now).substr(0, 20);
            }
            writer.failWrite = writer.failRename = 0;
            ASSERT_TRUE(copied("quelle/P", "ziel", c.flags));
            EXPECT_TRUE(sameTree(contentsOf("ziel"), complete));
        }
    }
}
