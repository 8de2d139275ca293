#pragma once

// What a folder copy found in its source before it copies anything: every folder and every file or
// link, with what is kept of each, and where each folder of the copy is built. Part of FileCopy's
// inner workings.

#include <cstdint>
#include <ctime>
#include <string>
#include <sys/stat.h>
#include <vector>

struct CopyStat {
    mode_t mode = 0;
    off_t size = 0;
    blkcnt_t blocks = 0; // fewer than the size needs: the file has holes
    struct timespec atime {};
    struct timespec mtime {};
    uid_t uid = 0;
    gid_t gid = 0;

    static CopyStat of(const struct stat& st) {
        return {st.st_mode, st.st_size, st.st_blocks, st.st_atim, st.st_mtim, st.st_uid, st.st_gid};
    }
    bool isFile() const { return S_ISREG(mode); }
    bool isLink() const { return S_ISLNK(mode); }
};

struct CopyTree {
    struct Folder {
        std::string rel; // below the copied folder; "" for the folder itself
        CopyStat stat;
        std::uint32_t parent = 0;
        std::string to{};      // where its copy is built
        bool fresh = false;    // made by this run and still hidden: what it holds is written in place
        std::string placeAt{}; // set for the top of a hidden part: the name it gets when finished
        bool placed = false;
    };
    struct Entry {
        std::uint32_t folder = 0; // index into folders
        std::string name;
        CopyStat stat;
        std::uint32_t first = 0; // for a further name of a file: its first name's index into entries
    };

    // A parent always comes before its children, so a walk backwards finishes the children first.
    std::vector<Folder> folders;
    std::vector<Entry> entries; // files and links, each file once
    std::vector<Entry> links;   // further names of files with more than one name in the tree
    std::uint64_t bytes = 0;    // of all names of files

    static std::string join(const std::string& dir, const std::string& name) {
        if (dir.empty())
            return name;
        if (name.empty())
            return dir;
        return dir == "/" ? "/" + name : dir + "/" + name;
    }
    std::string relPath(const Entry& e) const { return join(folders[e.folder].rel, e.name); }
    std::string targetOf(const Entry& e) const { return join(folders[e.folder].to, e.name); }
};
