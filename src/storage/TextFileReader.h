#pragma once

#include "toolkit/core/WString.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// How the program reads its text files ("save.ini", "savename.ini", "save.log" ...): the whole
// file at once, then line by line the way a text-mode stream with a 254-character read buffer
// hands the lines out.
class TextFileReader {
public:
    // The longest line one read takes; the rest of a longer physical line is read as the next line.
    static constexpr std::size_t kMaxLine = 254;

    enum class Status { Ok, Missing, Unreadable };
    // Appends the file's bytes to out. Missing: there is no such file. Unreadable: it exists but
    // could not be read, or it is no regular file (a FIFO under the name is never waited on).
    static Status ReadAll(const WString& fileName, std::string& out);

    // The texts of the reads that take data apart: each read stores characters up to a line end
    // (CR LF or LF, not stored) or until kMaxLine characters are stored; a CR that is not followed
    // by LF is an ordinary character. A read that stores exactly kMaxLine characters also takes a
    // line end that follows: otherwise a line of that length would read as one plus an empty one,
    // and every rewrite would add another empty line.
    // A NUL ends the text of its read (it still counts towards the read's length). Bytes after the
    // last line end give no further read.
    static std::vector<WString> SplitReads(std::string_view data);
    // The lines a file of data is loaded as (see IniFile): the reads without an empty first one,
    // and after non-empty data one empty line more, which saving turns back into the final CR LF.
    static std::vector<WString> LoadedLines(std::string_view data);
};
