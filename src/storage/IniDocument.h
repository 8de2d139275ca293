#pragma once

#include "storage/IniFile.h"

#include <initializer_list>
#include <optional>

// One file read once, changed by any number of IniFile operations, and written back once.
// The bytes written are exactly those of the same operations done one by one with IniFile
// (each step sees the lines as a reload would give them), but the file is replaced in a single
// step: a sequence such as deleting a job and renumbering the names after it is never left half
// done on disk, and it costs one write instead of hundreds.
// Only for sequences that no other thread interleaves with writes to the same file.
// Texts are refused as IniFile refuses them; a refused step changes nothing.
// A run of reads between two changes looks its sections and keys up in an index of the lines, so
// reading every job of a large catalogue costs one pass over each file, not one per read.
class IniDocument : private IniFile {
public:
    explicit IniDocument(const WString& fileName);

    WString ReadKey(const WString& section, const WString& key);
    WriteResult WriteKey(const WString& section, const WString& line);
    bool DeleteKey(const WString& section, const WString& key);
    bool DeleteSectionHead(const WString& section);
    WriteResult RenameSection(const WString& section, const WString& newHead);
    bool HasSection(const WString& section);
    void DeleteSeparator(const WString& section);

    // Writes the file when an operation changed it (as IniFile would have, even when the
    // operation found nothing to change). Not ok when the write failed or the file could not be
    // read (it is then never written).
    WriteResult Commit();
    // Commits files that must agree: every changed one is first written in full beside its old
    // contents, and only when all are does any replace its file, in the order given; a replacement
    // that fails puts back the ones before it (see SafeSave::commitAll). Otherwise no file changes
    // and the result names the first that failed.
    static WriteResult CommitTogether(std::initializer_list<IniDocument*> documents);

private:
    void beforeStep();
    void wrote();
    // The index for a read: built at the second read since the last change (a single read between
    // two writes walks the lines, which costs less than indexing them).
    const IniIndex* indexForRead();

    WString fileName_;
    // The bytes of the last write, kept when settling changed the lines in memory.
    std::optional<std::string> lastWrite_;
    std::optional<IniIndex> index_;
    int readsSinceChange_ = 0;
    bool readable_ = true;
    bool written_ = false;
    bool unsettled_ = false;
};
