#pragma once

#include "toolkit/core/WFilePath.h"

#include <cstdint>
#include <string>
#include <sys/types.h>

namespace CopyFlags {
constexpr unsigned RenameOnCollision = 0x8;
constexpr unsigned Overwrite = 336;  // existing copies are replaced
constexpr unsigned KeepCopies = 344; // a colliding target stays; the new copy gets a new name
} // namespace CopyFlags

struct CopyProgress {
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
    std::uint64_t filesDone = 0;
    std::uint64_t filesTotal = 0;
};

// Told about progress, and asked between files and chunks whether to give up; always on the thread
// that called FileCopy, though helper threads may copy meanwhile.
class CopyObserver {
public:
    virtual ~CopyObserver() = default;
    virtual void progress(const CopyProgress&) {}
    virtual bool cancelled() { return false; }
};

struct CopyResult {
    bool ok = true;
    std::string path;    // the path that failed
    std::string message; // the system's message, or why
};

// The calls that write file data and place copies; tests install one that fails on purpose.
// Every call is made by one thread at a time, though not always the same one.
class CopyWriter {
public:
    virtual ~CopyWriter();
    // Same contract as ::write.
    virtual ssize_t write(int fd, const void* data, std::size_t size) = 0;
    // Same contract as renameat2(AT_FDCWD, from, AT_FDCWD, to, flags), flags being 0,
    // RENAME_NOREPLACE or RENAME_EXCHANGE: every rename that puts a copy in place or an old entry
    // aside. The real call unless a test stands in for a failing disk or a file system without the
    // flags.
    virtual int rename(const char* from, const char* to, unsigned flags);
    // nullptr restores the real copying (copy_file_range, then ::write). The caller keeps ownership.
    static void install(CopyWriter* writer);
    static CopyWriter* installed();
};

// Copies a file or a whole folder tree into the existing folder destination, as
// destination/<last component of source>.
//  - Overwrite: an existing target file is replaced, an existing target folder is merged into; an
//    entry of another kind (a folder where the source now has a file, say) is replaced as a whole.
//  - KeepCopies: an existing target stays; the copy is named "Name - Kopie.ext", then
//    "Name - Kopie (2).ext", "Name - Kopie (3).ext" ..., the stem shortened where the name would
//    not fit.
// A source named as a link is copied as what it points to. Keeping copies of a folder into the
// folder itself is refused (every run would copy the earlier copies again).
// Safe with the user's files: a missing destination folder fails and nothing is created; every
// file is written under a temporary name and renamed into place only when complete, so a failed,
// cancelled or killed copy leaves the previous copy intact; links are copied as links; FIFOs,
// sockets and devices are skipped; the copy never descends into its own target; permission bits
// and modification times are kept, and a file is never readable by others while it is written
// unless its source is. Owner and group are kept where the user may set them (root); otherwise
// the copy is the user's, without set-user-id and set-group-id bits. Names of one file inside the
// tree stay names of one file. What killed runs left under hidden names in the folders a run
// copies into, that run removes.
CopyResult FileCopy(const WFilePath& source, const WFilePath& destination, unsigned flags,
                    CopyObserver* observer = nullptr);
