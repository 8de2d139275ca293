#pragma once

#include "toolkit/core/WString.h"

#include <functional>
#include <string_view>
#include <vector>

// The folder tree's view of the file system, without widgets: its root folders, the entries of one
// folder in the order the tree takes them, and the path texts it builds from item texts.
class FolderRoots {
public:
    struct Entry {
        // As the tree shows it: a character Windows-1252 lacks (or a byte that is no UTF-8) is '?'.
        WString name;
        bool folder = false;
        // False when name is not the entry's real name, so no path can be built from it.
        bool holdable = true;
    };

    // "/", the home folder and every mounted volume under /media, /run/media and /mnt that lists at
    // least one entry; sorted, each once.
    static std::vector<WString> Roots();
    // The same from a mount table in the format of /proc/self/mounts; listable says whether a mount
    // point lists at least one entry.
    static std::vector<WString> RootsFrom(std::string_view mountTable, const WString& home,
                                          const std::function<bool(const WString&)>& listable);

    // The entries of folder sorted by name (ASCII letter case ignored), without "." and "..". A
    // symbolic link to a folder is a folder, a dangling one a file. Empty when folder cannot be
    // listed.
    static std::vector<Entry> List(const WString& folder);

    // Runs of "/" become one; the leading "/" stays, a trailing one goes (except the root's own).
    static WString NormalizePath(const WString& path);
    // Whether path is a folder (following symbolic links).
    static bool IsFolder(const WString& path);
    // Whether path names a folder that lists at least one entry.
    static bool ListsAnything(const WString& path);
    // The Windows-1252 text of a file name given in UTF-8 bytes; false in holdable when a character
    // had to be replaced by '?'.
    static WString NameText(std::string_view utf8, bool& holdable);
};
