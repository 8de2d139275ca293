#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

struct SaveResult {
    bool ok = false;
    std::string error;  // path and the system's message when ok is false
    std::string reason; // the system's message alone
};

// The calls that write file data, make it durable and put it in place; tests install a writer
// that fails on purpose.
class FileWriter {
public:
    virtual ~FileWriter();
    // Same contract as ::write: bytes written, or -1 with errno set.
    virtual ssize_t write(int fd, const void* data, std::size_t size) = 0;
    // Same contracts as ::fsync and ::rename (0, or -1 with errno set); the real calls by default.
    virtual int fsync(int fd);
    virtual int rename(const char* from, const char* to);
    // nullptr restores the real ::write. The caller keeps ownership.
    static void install(FileWriter* writer);
    static FileWriter* installed();
};

// Replaces a whole file so that readers and crashes see either the old or the new contents, never
// a mix: the bytes go to a hidden temporary file in the same folder, are flushed to disk, and the
// temporary file is renamed over the target. On failure the temporary file is removed and the old
// file is left as it was.
//
// A symbolic link is written through (its final target is replaced, the link stays). An existing
// file keeps its permission bits; a new one gets 0666 minus the umask. Targets that are not
// regular files (folders, FIFOs, devices) are refused.
//
// write() is prepare() and commit() in one. Apart, they let several files be written in full
// before any of them replaces its old contents, and commitAll() then replaces them together.
class SafeSave {
public:
    // New contents that sit complete and flushed in their temporary file, waiting to replace the
    // target. One that is never committed removes its temporary file when it goes.
    class Prepared {
    public:
        Prepared(Prepared&& other) noexcept;
        Prepared& operator=(Prepared&& other) noexcept;
        Prepared(const Prepared&) = delete;
        Prepared& operator=(const Prepared&) = delete;
        ~Prepared();

        // ok once the contents are written and flushed; otherwise the failure, and nothing is
        // left behind.
        const SaveResult& result() const { return result_; }
        // Renames the temporary file over the target. A failed preparation gives its failure.
        SaveResult commit();

    private:
        friend class SafeSave;
        Prepared() = default;
        void discard();

        std::string path_;   // as the caller named it, for messages
        std::string target_; // the file that is finally replaced (links followed)
        std::string temp_;   // empty when there is nothing (left) to commit
        SaveResult result_;
    };

    static Prepared prepare(const std::string& utf8Path, std::string_view bytes);
    static SaveResult write(const std::string& utf8Path, std::string_view bytes);
    // Commits files that must agree, in order: all change, or none. Before the first rename every
    // existing target but the last gets a second, hidden name (a hard link), so that when a rename
    // fails, the files renamed before it get their old file back and new ones go again. The
    // result is the first failure; the failed file's result() says which one it was. Where the
    // file system has no hard links, a failed rename cannot undo the renames before it.
    static SaveResult commitAll(const std::vector<Prepared*>& files);
};
