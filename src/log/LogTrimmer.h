#pragma once

#include "toolkit/core/WString.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What trimming leaves of "save.log", worked out in memory so the file is rewritten once.
//
// The bytes are exactly those of the trimming rule applied one rewrite after another: while the
// file is larger than the limit, take its first line as the oldest entry's head, delete that
// section's keys "Sicherung=", "Name=", "Verlauf=" and "" (its empty line), then the head, each
// step an IniFile operation that reloads and rewrites the file. Hand-edited logs (a first line
// that is no head, an empty first line, LF or lone CR line ends, over-long lines) go through the
// same steps, reloads included. Each step costs about constant time here: removed lines are only
// marked, and the next line of each kind a step looks for is found by skipping marked ones.
class LogTrimmer {
public:
    static std::string Trimmed(std::string_view bytes, std::size_t maxBytes);

private:
    // What a step looks for, besides any line: a line that starts with "[" (it ends a section),
    // and the key lines the steps delete.
    enum Kind { Any, Head, Sicherung, Name, Verlauf, Empty, kKinds };
    static constexpr int kNone = -1;

    explicit LogTrimmer(std::string_view bytes);
    void add(WString text);
    void remove(int line);
    // The first line at or after `from` of the kind that is still there; lines_.size() if none.
    int next(Kind kind, int from);
    int first() { return next(Any, 0); }
    int last();
    std::size_t fileSize() const;
    std::string serialize();
    // Whether a round left the lines it began with (a file the steps cannot change any more).
    bool roundChangedNothing(std::size_t sizeBefore, int countBefore);

    // What the reload before each step makes of the lines the last step wrote.
    void reload();
    int findSection(const WString& head);
    void deleteKey(const WString& head, Kind key);
    void deleteSectionHead(const WString& head);

    std::vector<WString> lines_;
    std::vector<Kind> kinds_;
    std::vector<bool> gone_;
    // Per kind: a line that is gone or of another kind points on towards the next one that may
    // be there (compressed as it is followed); the end points at itself.
    std::vector<int> skip_[kKinds];
    // The same backwards, for the last line: entry i + 1 stands for line i, entry 0 for none.
    std::vector<int> skipBack_;
    // The lines a round added and removed, to tell whether it changed anything.
    std::vector<int> added_;
    std::vector<int> removed_;
    int count_ = 0;
    std::size_t textBytes_ = 0;
    bool loaded_ = true; // the lines are the file just loaded, not yet written by a step
};
