#pragma once

// Shared helpers of the job catalogue tests: building jobs, saving them as the editor does, and
// recording the working folder to prove that an operation wrote nothing.

#include "BackupJob.h"
#include "JobCatalogue.h"
#include "ScheduleEntry.h"
#include "TempWorkDir.h"
#include "WString.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <vector>

// Failure messages show the bytes, not the object.
inline void PrintTo(const WString& s, std::ostream* os) {
    *os << testing::PrintToString(s.bytes());
}

namespace catalogue_test {

using Texts = std::vector<std::string>;

inline BackupJob makeJob(const WString& name, const std::vector<WString>& sources, const WString& destination,
                         const WString& day, const WString& time, bool active) {
    BackupJob job;
    job.name = name;
    job.sources = sources;
    job.destination = destination;
    job.day = day;
    job.time = time;
    job.active = active;
    return job;
}

// The fields as texts, for comparisons whose failures are readable.
inline Texts fields(const ScheduleEntry& e) {
    return {e.day.bytes(), e.time.bytes(), e.active.bytes(), e.name.bytes()};
}
inline Texts fields(const BackupJob& job) {
    Texts t{job.name.bytes(), job.destination.bytes(), job.day.bytes(), job.time.bytes(), job.active ? "ja" : "nein"};
    for (const WString& source : job.sources)
        t.push_back("von " + source.bytes());
    return t;
}
inline Texts fields(const std::vector<ScheduleEntry>& entries) {
    Texts t;
    for (const ScheduleEntry& e : entries) {
        for (std::string& f : fields(e))
            t.push_back(std::move(f));
    }
    return t;
}
inline Texts texts(const std::vector<WString>& names) {
    Texts t;
    for (const WString& n : names)
        t.push_back(n.bytes());
    return t;
}

// Saves the jobs one after another as new jobs, the way the editor does; returns the job count.
inline int saveNewJobs(const std::vector<BackupJob>& jobs) {
    JobCatalogue catalogue;
    int jobCount = catalogue.ReadJobCount();
    WString editedJobName;
    for (const BackupJob& job : jobs)
        catalogue.SaveJob(job, true, jobCount, editedJobName);
    return jobCount;
}

inline std::string bytesOf(const char* file) {
    return TempWorkDir::readBytes(file);
}

// Every entry of the folder with its bytes and identity. A safe rewrite replaces the file by a
// rename, so even a rewrite with the same bytes shows as a new inode.
struct FileState {
    std::string bytes;
    ino_t inode = 0;
    long long mtimeNs = 0;
    bool operator==(const FileState&) const = default;
};
inline void PrintTo(const FileState& f, std::ostream* os) {
    *os << testing::PrintToString(f.bytes) << " inode " << f.inode << " mtime " << f.mtimeNs;
}
using FolderState = std::map<std::string, FileState>;

inline FolderState folderState(const TempWorkDir& dir) {
    FolderState state;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        struct stat st {};
        const std::string path = entry.path().string();
        ::stat(path.c_str(), &st);
        state[entry.path().filename().string()] = {TempWorkDir::readBytes(entry.path()), st.st_ino,
                                                   st.st_mtim.tv_sec * 1'000'000'000LL + st.st_mtim.tv_nsec};
    }
    return state;
}

} // namespace catalogue_test
