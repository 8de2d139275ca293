#pragma once

#include "toolkit/core/WString.h"

#include <mutex>

// The options in "Einstellung.ini", read from the file whenever they are needed. Reads and writes
// come from the user-interface thread and the scheduler, so every access holds one lock.
class ProgramSettings {
public:
    // "methode=" exactly "1": overwrite existing copies; anything else keeps them.
    static bool OverwriteCopies();
    // "status=" of "[EINSTELLUNG]" as a decimal number: 0 shows the window at start-up.
    static int StartMode();
    // "status=" of "[SOUNDANI]" exactly "1": sound and animation on.
    static bool EffectsOn();

    // The folder path handed between the main window and the new-folder form.
    static WString Path();
    // False when the path was not stored: a text "Einstellung.ini" cannot hold as one line (a
    // line break in a folder name), or a failed write.
    static bool SetPath(const WString& path);
    // Reads the handed-over path and empties it, in one step.
    static WString TakePath();

    // The settings form's marks: a box is marked when its value is a number other than 0.
    struct Marks {
        bool overwrite = false;
        bool startHidden = false;
        bool effects = false;
    };
    static Marks ReadMarks();
    // Writes "methode=", "status=" and the "[SOUNDANI]" "status=", in this order, as "1" or "0",
    // in one replacement of the file. False when it could not be written (the file stays as it was).
    static bool WriteMarks(const Marks& marks);

private:
    static std::mutex& fileLock();
};
