#pragma once

#include "toolkit/core/WString.h"

#include <string>

// A path as the program stores it (Windows-1252 bytes, "/" separators). The file system gets
// toUtf8().
class WFilePath {
public:
    WFilePath() = default;
    explicit WFilePath(const WString& path) : path_(path) {}

    const WString& text() const { return path_; }
    std::string toUtf8() const { return path_.toUtf8(); }
    bool isEmpty() const { return path_.isEmpty(); }
    bool endsWithSeparator() const { return !path_.isEmpty() && path_.at(path_.length() - 1) == '/'; }

    // Runs of "/" collapsed and a trailing "/" dropped; the leading "/" of an absolute path stays.
    WFilePath normalized() const;
    // The last component ("Brief.doc" of "/home/a/Brief.doc", "Projekt" of "/home/a/Projekt/").
    WString fileName() const;
    WFilePath join(const WString& name) const;

private:
    WString path_;
};
