#pragma once

#include "storage/IniIndex.h"
#include "storage/LineList.h"
#include "storage/WriteResult.h"
#include "toolkit/core/WString.h"

#include <initializer_list>
#include <string>
#include <string_view>

// The program's INI-style files: section head lines ("[EINSTELLUNG]") and key lines
// ("methode=1"), Windows-1252 text with CR LF line ends.
//
// Every operation reads the whole file, works on its lines, writes the whole file back if it is a
// writing operation, and forgets the lines again; nothing is cached between calls, so one object
// can serve any number of files. Sections are given with their brackets, keys with their "=".
// A missing file, section or key reads as the empty text.
//
// File names are Windows-1252 and converted to UTF-8 for the file system. Writes go through
// SafeSave, so a failed write leaves the old file as it was. A file that exists but cannot be
// read is never rewritten, since that would replace contents that were never seen.
//
// A text that its file cannot hold as one line is refused before anything is read or written: a
// line break in it, or a line of more than 254 characters, would come back from the next read as
// several lines (the tail of a source path as a section head of its own, say).
class IniFile : private LineList {
public:
    // The value of key in section; empty when the file, the section or the key is missing.
    // Never creates the file.
    WString ReadKey(const WString& fileName, const WString& section, const WString& key);
    // line is the whole key line ("pfad=/home"): it replaces the section's line of the same key
    // or becomes the section's first line; a missing section is added at the end of the file.
    // Not ok when section or line is refused, the file is unreadable or the write failed.
    WriteResult WriteKey(const WString& fileName, const WString& section, const WString& line);
    // True when nothing was removed (section or key missing), false when the key line went.
    bool DeleteKey(const WString& fileName, const WString& section, const WString& key);
    // Removes only the head line; the section's key lines stay. True when the section was missing.
    bool DeleteSectionHead(const WString& fileName, const WString& section);
    // Not ok when newHead is refused, the file is unreadable or the write failed.
    WriteResult RenameSection(const WString& fileName, const WString& section, const WString& newHead);

    // Why line cannot be stored as one line of such a file (German, for the user); empty when it can.
    static WString RefusalOf(const WString& line);

protected:
    // Fills the lines from the file (none when it is missing). False when the file exists but
    // could not be read, in which case it must not be written.
    bool Load(const WString& fileName);
    WriteResult Save(const WString& fileName) const;
    // ok, or fileName's refusal of the first of lines that RefusalOf refuses.
    static WriteResult CheckLines(const WString& fileName, std::initializer_list<WString> lines);
    static WString UnreadableText();
    // A message of the system (UTF-8) as Windows-1252 text.
    static WString SystemText(const std::string& utf8);
    // The lines from file contents, read as Load reads them; and the bytes Save writes.
    void Parse(std::string_view data);
    std::string Serialize() const;

    // An index of the lines as they are now (see IniIndex), for a run of reads.
    IniIndex IndexLines() const;

    // The operations on the lines in memory. A read given an index of the current lines looks up
    // instead of walking them, with the same result.
    WString ReadKeyHere(const WString& section, const WString& key, const IniIndex* index = nullptr) const;
    void WriteKeyHere(const WString& section, const WString& line);
    bool DeleteKeyHere(const WString& section, const WString& key);
    bool DeleteSectionHeadHere(const WString& section);
    void RenameSectionHere(const WString& section, const WString& newHead);
    bool HasSectionHere(const WString& section, const IniIndex* index = nullptr) const {
        return FindSection(section, index) != 0;
    }
    // Removes the empty line that separates the section from its neighbours: the first empty line
    // below the head when another section follows, else the empty line right above the head.
    void DeleteSeparatorHere(const WString& section);
    // True when Parse(Serialize()) would give the lines back unchanged.
    bool IsSettled() const;

private:
    // Line number of the first line equal to section, 0 when there is none.
    int FindSection(const WString& section, const IniIndex* index = nullptr) const;
    // Line number of key's line from firstLine on, stopping at the next line that starts with
    // "["; 0 when there is none.
    int FindKey(const WString& key, int firstLine) const;
    // Everything after the first "=" of line n; empty when the line has no "=".
    WString ValueAt(int n) const;
    // text up to and including its first "="; all of it when it has none.
    static std::string_view KeyPart(const WString& text);
};
