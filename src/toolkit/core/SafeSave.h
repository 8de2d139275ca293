#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>

struct SaveResult {
    bool ok = false;
    std::string error; // path and the system's message when ok is false
};

// The one call that writes file data; tests install a writer that fails on purpose.
class FileWriter {
public:
    virtual ~FileWriter();
    // Same contract as ::write: bytes written, or -1 with errno set.
    virtual ssize_t write(int fd, const void* data, std::size_t size) = 0;
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
class SafeSave {
public:
    static SaveResult write(const std::string& utf8Path, std::string_view bytes);
};
