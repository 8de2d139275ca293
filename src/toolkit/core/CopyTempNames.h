#pragma once

// The hidden names a copy is built under, and the removal of what killed runs left under them. Part
// of FileCopy's inner workings.
//
// A name is ".morlanz-<machine>-<process id>-<run>-<n>": the machine (a hash of the host name and
// the process-id namespace) and the process id tell whether the run that made it can still be
// running; the run, random, tells the runs of one process apart.

#include <atomic>
#include <cstdint>
#include <string>

class CopyTempNames {
public:
    // While this lasts, the names it gives are never taken for leftovers.
    CopyTempNames();
    ~CopyTempNames();
    CopyTempNames(const CopyTempNames&) = delete;
    CopyTempNames& operator=(const CopyTempNames&) = delete;

    // A new name in the folder dir.
    std::string next(const std::string& dir);
    // A name for an old entry moved aside while the new one takes its place. It is never removed as
    // a leftover: after a kill it may hold the only copy of that entry.
    std::string aside(const std::string& dir);

    // Removes from the folder dir, and from nowhere else, the entries that runs which are over left
    // under their hidden names.
    static void removeLeftovers(const std::string& dir);
    // Removes an entry the copy made: a file, a link (never followed) or a folder with all it holds.
    static void remove(const std::string& path);

private:
    std::uint64_t run_ = 0;
    std::string prefix_; // ".morlanz-<machine>-<process id>-<run>-"
    std::atomic<std::uint64_t> count_{0};
};
