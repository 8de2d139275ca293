#pragma once

#include "toolkit/core/WString.h"

#include <vector>

// The history file "save.log": one section per entry, headed by the date and time it was written,
// oldest first, kept at no more than 4200 bytes by dropping the oldest entries.
//
// All calls that change the file are serialised by one lock, so the user-interface thread and
// the scheduler can write entries at the same time without losing one.
class BackupLog {
public:
    // The size above which Trim drops the oldest entries.
    static constexpr long kMaxBytes = 4200;

    // Appends "[dd.mm.yyyy hh:mm:ss]" with "Sicherung=" action, "Name=" name and "Verlauf="
    // outcome, then trims. When the head of this second is already in the file, the entry goes
    // under the next second that is free, so it never overwrites an earlier entry.
    static void WriteEntry(const WString& name, const WString& action, const WString& outcome);
    // Drops the oldest entry while the file is larger than kMaxBytes (see LogTrimmer), rewriting
    // the file once.
    static void Trim();
    // Deletes the file; true when a file was deleted.
    static bool Delete();
    // The file's lines for display: each read takes at most 254 characters up to the next LF, so a
    // longer line comes back as several lines; CR LF ends a line like LF. Empty when the file is
    // missing or unreadable.
    static std::vector<WString> ReadLines();

private:
    static void TrimLocked();
};
