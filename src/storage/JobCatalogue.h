#pragma once

#include "storage/BackupJob.h"
#include "storage/ScheduleList.h"
#include "storage/WriteResult.h"
#include "toolkit/core/WString.h"

#include <functional>
#include <vector>

// The backup jobs in "savename.ini" (count and numbered names) and "save.ini" (one section per
// job). Every operation reads or writes the files at the moment it runs; nothing is cached.
// Each writing operation changes each file in one safe step, with the bytes the step-by-step
// writes would give, and both files together: a text that a file cannot hold (see IniFile), a
// file that cannot be read or a failed write leaves both files as they were, and the in/out
// arguments as they came in, so the caller's state still matches the files.
class JobCatalogue {
public:
    // Asked between the entries of a long read; true ends the read early with what it has (a
    // shutdown request during start-up).
    using StopRequested = std::function<bool()>;

    // "wert=" of "[NUMMER]" as a decimal number (0 when empty).
    int ReadJobCount() const;
    // "name_1=", "name_2=" ... of "[SICHERUNG]" up to the first empty one.
    std::vector<WString> ReadJobNames(const StopRequested& stop = {}) const;
    // Whether a job of this name is in the name list or has a section (exact, case-sensitive).
    bool IsNameTaken(const WString& name) const;

    // The job's keys; a job without a section has empty fields.
    BackupJob LoadJob(const WString& name) const;

    // Stores job under job.name. A new job becomes name number jobCount + 1 (jobCount counts up,
    // from no fewer than the names there are);
    // an existing one is first renamed from editedJobName (which then holds job.name) and loses
    // all its old sources before the new ones are written.
    WriteResult SaveJob(const BackupJob& job, bool isNew, int& jobCount, WString& editedJobName);
    // Gives the job editedJobName the name newName in both files. nameFound is false when
    // editedJobName is not in the name list; its section head is renamed all the same, the name
    // entries and editedJobName stay as they are.
    WriteResult RenameJob(const WString& newName, WString& editedJobName);
    // Removes the job's section and its name, moving later names down by one; "wert=" becomes
    // jobCount - 1. A name not in the list (nameFound false) changes no name entry and leaves the count.
    WriteResult DeleteJob(const WString& name, int jobCount);

    // One entry per counted job (name number i is entry i); a missing name gives an empty entry.
    std::vector<ScheduleEntry> LoadSchedule(int jobCount, const StopRequested& stop = {}) const;
};
