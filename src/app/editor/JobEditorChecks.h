#pragma once

#include "toolkit/core/WString.h"

// The job editor's rules, without widgets: when a job is complete, and which names and paths the
// catalogue can store exactly.
class JobEditorChecks {
public:
    struct Fields {
        int sourceCount = 0;
        WString name;
        WString destination;
        bool active = false;
        WString timeDigits; // the typed digits of the time box, without colon and placeholders
    };

    // Exactly four digits, hours 00 to 23, minutes 00 to 59.
    static bool IsValidTime(const WString& digits);
    // Sources, a name and a destination; and a valid time when the job runs by itself.
    static bool IsJobComplete(const Fields& fields);

    // Why path cannot be stored as source number index, or as the destination; empty when it can.
    // (German, for the user.)
    static WString SourceRefusal(const WString& path, int index);
    static WString DestinationRefusal(const WString& path);
    // Why name cannot be stored as the name of job number number; empty when it can.
    static WString NameRefusal(const WString& name, int number);
    // The reason given for a tree entry whose name Windows-1252 cannot hold.
    static WString UnholdableText();

    // Whether the two paths name the same folder: the same text, or the same folder on disk under
    // another spelling (a symbolic link, a volume that ignores letter case).
    static bool IsSameFolder(const WString& a, const WString& b);
};
