#pragma once

// One FileCopy call: finds what to copy, copies it, and keeps the first failure. Part of
// FileCopy's inner workings; FileCopy.h describes what it guarantees.

#include "toolkit/core/CopyTempNames.h"
#include "toolkit/core/CopyTree.h"
#include "toolkit/core/FileCopy.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class CopyRun {
public:
    CopyRun(bool overwrite, CopyObserver* observer, CopyWriter* writer);

    // Copies source (a normalized path) into the existing folder destDir.
    bool run(const std::string& source, const std::string& destDir);

    std::string failedPath;
    std::string failureMessage;

private:
    struct FileId {
        dev_t dev = 0;
        ino_t ino = 0;
        bool valid = false;
        bool matches(const struct stat& st) const { return valid && st.st_dev == dev && st.st_ino == ino; }
    };
    static FileId idOf(const std::string& path);

    // Stopping: the first failure is kept and every thread stops at its next check.
    bool fail(const std::string& path, const std::string& message);
    std::string shownPath(const std::string& path) const;
    bool onCallerThread() const { return std::this_thread::get_id() == caller_; }
    bool stopping();
    void report(bool force);

    bool copyTopFolder(const std::string& source, const CopyStat& src, const std::string& destDir,
                       const std::string& name);
    bool copyTree(const std::string& source, CopyTree& tree);
    bool walk(CopyTree& tree, const std::string& sourceRoot);
    bool makeFolder(CopyTree& tree, std::size_t index);
    bool openOldFolder(const std::string& target, const struct stat& st);
    bool copyEntries(const CopyTree& tree, const std::string& sourceRoot);
    void copyEntriesFromQueue(const CopyTree& tree, const std::string& sourceRoot, std::atomic<std::size_t>& next);
    bool copyLinks(const CopyTree& tree, const std::string& sourceRoot);
    bool finishFolders(CopyTree& tree);
    bool finishFolder(const std::string& target, const CopyStat& src);
    void removeHidden(const CopyTree& tree);
    bool isOwnTarget(const struct stat& st) const { return destId_.matches(st) || targetId_.matches(st); }

    // fresh: target lies in a hidden part made by this run and is written in place. keep: a
    // colliding target stays and the copy is named anew in destDir from name.
    bool copyFile(const std::string& source, const CopyStat& src, const std::string& target, bool fresh, bool keep,
                  const std::string& destDir, const std::string& name);
    bool unchanged(const CopyStat& src, const std::string& target);
    bool copyData(int in, int out, const CopyStat& src, const std::string& source, const std::string& target);
    bool copyRange(int in, int out, off_t limit, const std::string& source, const std::string& target);
    bool writeAll(int out, const char* data, std::size_t size, const std::string& target);
    int settle(int fd, const CopyStat& src, bool folder);
    bool copyLink(const std::string& source, const CopyStat& src, const std::string& target, bool fresh);
    bool linkName(const CopyTree& tree, const CopyTree::Entry& e, const std::string& sourceRoot);
    bool place(const std::string& temp, const std::string& target, bool keep, const std::string& destDir,
               const std::string& name, bool isFolder);
    bool swapIn(const std::string& temp, const std::string& target);
    int renameEntry(const std::string& from, const std::string& to, unsigned flags);
    bool placeByClaiming(const std::string& temp, const std::string& candidate, bool isFolder);
    void countDone(std::uint64_t bytes);

    const bool overwrite_;
    const bool root_; // may give every file its source's owner
    CopyObserver* const observer_;
    CopyWriter* const writer_;
    std::mutex writerMutex_; // a test's writer is called by one thread at a time
    const std::thread::id caller_;

    CopyTempNames names_;
    // Each hidden part's name and the name it gets; set before helpers start.
    std::vector<std::pair<std::string, std::string>> hidden_;
    FileId destId_;
    FileId targetId_;

    std::mutex failureMutex_;
    bool failed_ = false;
    std::atomic<bool> stop_{false};

    std::uint64_t filesTotal_ = 0;
    std::uint64_t bytesTotal_ = 0;
    std::atomic<std::uint64_t> filesDone_{0};
    std::atomic<std::uint64_t> bytesDone_{0};
    std::string lastPath_; // the caller's current path, named when the user cancels
    std::chrono::steady_clock::time_point lastReport_{};
};
