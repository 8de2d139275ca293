#include "toolkit/core/CopyRun.h"

#include "toolkit/core/CopyNames.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

// The steps for one file or link of a copy; they may run on any of the copying threads.

using copynames::copyName;
using copynames::parentOf;

namespace {

constexpr std::size_t kChunk = 8u << 20;      // per copy_file_range call; cancellation is checked between
constexpr std::size_t kBufferSize = 1u << 20; // read/write fallback

mode_t keptMode(const CopyStat& src, uid_t uid, gid_t gid, bool folder) {
    mode_t mode = src.mode & (folder ? 07777 : 06777);
    if (uid != src.uid)
        mode &= ~static_cast<mode_t>(S_ISUID);
    if (gid != src.gid)
        mode &= ~static_cast<mode_t>(S_ISGID);
    return mode;
}

} // namespace

// Places a finished temporary file, link or folder, or removes it when that fails. Keeping copies,
// the name is chosen anew until one is free, and an existing copy is never replaced.
bool CopyRun::place(const std::string& temp, const std::string& target, bool keep, const std::string& destDir,
                    const std::string& name, bool isFolder) {
    if (!keep) {
        if (renameEntry(temp, target, 0) == 0)
            return true;
        const int err = errno;
        // Another kind of entry is in the way: a folder where the source now has a file, say.
        const bool ok = err == EISDIR || err == ENOTDIR ? swapIn(temp, target) : fail(target, std::strerror(err));
        if (!ok)
            CopyTempNames::remove(temp);
        return ok;
    }
    bool noReplace = true; // the file system can rename without replacing
    std::size_t nameMax = 255;
    for (int n = 0;; ++n) {
        if (n == 1) {
            const long most = ::pathconf(destDir.c_str(), _PC_NAME_MAX);
            nameMax = most > 0 ? static_cast<std::size_t>(most) : nameMax;
        }
        const std::string candidate = n == 0 ? target : CopyTree::join(destDir, copyName(name, isFolder, n, nameMax));
        bool placed = noReplace ? renameEntry(temp, candidate, RENAME_NOREPLACE) == 0
                                : placeByClaiming(temp, candidate, isFolder);
        if (!placed && noReplace && errno == EINVAL) { // FUSE file systems (NTFS drives, sshfs) may not offer it
            noReplace = false;
            placed = placeByClaiming(temp, candidate, isFolder);
        }
        if (placed)
            return true;
        if (errno != EEXIST) {
            const int err = errno;
            CopyTempNames::remove(temp);
            return fail(candidate, std::strerror(err));
        }
    }
}

// The new entry and the old one of another kind swap places in one step; the old one, now under
// the hidden name, goes. Where the file system cannot swap, the old entry is moved aside first, under
// a name no run removes, so a kill in between never loses it.
bool CopyRun::swapIn(const std::string& temp, const std::string& target) {
    if (renameEntry(temp, target, RENAME_EXCHANGE) == 0) {
        CopyTempNames::remove(temp);
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return fail(target, std::strerror(errno));
    const std::string aside = names_.aside(parentOf(target));
    if (renameEntry(target, aside, RENAME_NOREPLACE) != 0 && (errno != EINVAL || renameEntry(target, aside, 0) != 0))
        return fail(target, std::strerror(errno));
    if (renameEntry(temp, target, 0) != 0) {
        const int err = errno;
        renameEntry(aside, target, 0);
        return fail(target, std::strerror(err));
    }
    CopyTempNames::remove(aside);
    return true;
}

int CopyRun::renameEntry(const std::string& from, const std::string& to, unsigned flags) {
    if (!writer_)
        return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), flags);
    std::lock_guard lock(writerMutex_);
    return writer_->rename(from.c_str(), to.c_str(), flags);
}

// Without a renaming that refuses to replace, the name is claimed first by a call that fails when
// it is taken: a hard link for a file or link, an empty folder (which a rename may replace) for a
// folder. Fails with errno EEXIST when the name is taken.
bool CopyRun::placeByClaiming(const std::string& temp, const std::string& candidate, bool isFolder) {
    if (isFolder) {
        if (::mkdir(candidate.c_str(), 0700) != 0)
            return false;
        if (renameEntry(temp, candidate, 0) == 0)
            return true;
        const int err = errno;
        ::rmdir(candidate.c_str());
        errno = err == ENOTEMPTY ? EEXIST : err; // filled meanwhile by someone else: the next name
        return false;
    }
    if (::link(temp.c_str(), candidate.c_str()) != 0)
        return false;
    ::unlink(temp.c_str());
    return true;
}

bool CopyRun::copyFile(const std::string& source, const CopyStat& src, const std::string& target, bool fresh, bool keep,
                       const std::string& destDir, const std::string& name) {
    if (!keep && !fresh && unchanged(src, target)) {
        countDone(static_cast<std::uint64_t>(src.size));
        return true;
    }
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (in < 0)
        return fail(source, std::strerror(errno));
    // Inside a hidden part the file is written in place, elsewhere under a hidden name beside it.
    // 0600: a private file is never readable by others while it is written.
    std::string temp = target;
    int out = -1;
    do {
        if (!fresh)
            temp = names_.next(parentOf(target));
        out = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    } while (out < 0 && errno == EEXIST && !fresh);
    if (out < 0) {
        const int err = errno;
        ::close(in);
        return fail(target, std::strerror(err));
    }
    bool ok = copyData(in, out, src, source, target);
    ::close(in);
    if (const int err = ok ? settle(out, src, false) : 0)
        ok = fail(target, std::strerror(err));
    if (::close(out) != 0 && ok)
        ok = fail(target, std::strerror(errno));
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    if (!fresh && !place(temp, target, keep, destDir, name, false))
        return false;
    filesDone_.fetch_add(1);
    return true;
}

// The old copy's file is unchanged since the last copy when size and time are the same (the copy
// keeps the time); where only its owner or mode differ, they are put right on it, as its data stay,
// unless it has other names, which may belong to another copy.
bool CopyRun::unchanged(const CopyStat& src, const std::string& target) {
    struct stat old {};
    if (::lstat(target.c_str(), &old) != 0 || !S_ISREG(old.st_mode) || old.st_size != src.size ||
        old.st_mtim.tv_sec != src.mtime.tv_sec || old.st_mtim.tv_nsec != src.mtime.tv_nsec)
        return false;
    if ((old.st_mode & 07777) == keptMode(src, old.st_uid, old.st_gid, false) &&
        (!root_ || (old.st_uid == src.uid && old.st_gid == src.gid)))
        return true;
    if (old.st_nlink > 1)
        return false;
    const int fd = ::open(target.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat now {};
    const bool same = ::fstat(fd, &now) == 0 && now.st_dev == old.st_dev && now.st_ino == old.st_ino;
    const bool ok = same && settle(fd, src, false) == 0;
    ::close(fd);
    return ok;
}

// The source's owner and group where the user may give them (root; a group the user is in), and
// set-user-id and set-group-id bits only where the copy has the owner or group they name: a copy
// the copying user owns must never run as that user. The sticky bit means something on folders
// only. Then the mode and the times. Returns 0 or the error.
int CopyRun::settle(int fd, const CopyStat& src, bool folder) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return errno;
    const bool owner = root_ && st.st_uid != src.uid;
    if ((owner || st.st_gid != src.gid) && ::fchown(fd, owner ? src.uid : static_cast<uid_t>(-1), src.gid) == 0) {
        st.st_uid = owner ? src.uid : st.st_uid;
        st.st_gid = src.gid;
    }
    const struct timespec times[2] = {src.atime, src.mtime};
    if (::fchmod(fd, keptMode(src, st.st_uid, st.st_gid, folder)) != 0 || ::futimens(fd, times) != 0)
        return errno;
    return 0;
}

// A file with holes (a disk image, say) keeps them: only its data is copied and the holes are
// left unwritten, as long as the file system can tell where they are.
bool CopyRun::copyData(int in, int out, const CopyStat& src, const std::string& source, const std::string& target) {
    if (src.blocks * 512 >= src.size)
        return copyRange(in, out, -1, source, target);
    std::uint64_t copied = 0;
    for (off_t pos = 0;;) {
        const off_t data = ::lseek(in, pos, SEEK_DATA);
        if (data < 0 && errno == ENXIO)
            break; // only a hole is left
        const off_t hole = data < 0 ? -1 : ::lseek(in, data, SEEK_HOLE);
        if (hole < 0 || ::lseek(in, data, SEEK_SET) < 0 || ::lseek(out, data, SEEK_SET) < 0) {
            // No hole map here: copy everything from the start.
            if (::lseek(in, 0, SEEK_SET) < 0 || ::lseek(out, 0, SEEK_SET) < 0 || ::ftruncate(out, 0) != 0)
                return fail(target, std::strerror(errno));
            bytesDone_.fetch_sub(copied);
            return copyRange(in, out, -1, source, target);
        }
        if (!copyRange(in, out, hole - data, source, target))
            return false;
        copied += static_cast<std::uint64_t>(hole - data);
        pos = hole;
    }
    struct stat now {};
    if (::fstat(in, &now) != 0 || ::ftruncate(out, now.st_size) != 0)
        return fail(target, std::strerror(errno));
    if (static_cast<std::uint64_t>(now.st_size) > copied)
        bytesDone_.fetch_add(static_cast<std::uint64_t>(now.st_size) - copied); // the holes count as done
    return true;
}

// Copies from the current offsets up to limit bytes, or to the end when limit < 0.
bool CopyRun::copyRange(int in, int out, off_t limit, const std::string& source, const std::string& target) {
    bool kernelCopy = writer_ == nullptr;
    std::vector<char> buffer;
    for (;;) {
        if (stopping())
            return false;
        if (limit == 0)
            return true;
        const std::size_t most = limit < 0 ? kChunk : std::min<std::size_t>(kChunk, static_cast<std::size_t>(limit));
        ssize_t n = 0;
        if (kernelCopy) {
            n = ::copy_file_range(in, nullptr, out, nullptr, most, 0);
            if (n < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
                          errno == EPERM || errno == ETXTBSY)) {
                kernelCopy = false; // not here: copy through user space
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return fail(target, std::strerror(errno));
        } else {
            if (buffer.empty())
                buffer.resize(kBufferSize);
            n = ::read(in, buffer.data(), std::min(buffer.size(), most));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return fail(source, std::strerror(errno));
            if (n > 0 && !writeAll(out, buffer.data(), static_cast<std::size_t>(n), target))
                return false;
        }
        if (n == 0)
            return true; // the end, even if the file shrank meanwhile
        if (limit > 0)
            limit -= n;
        bytesDone_.fetch_add(static_cast<std::uint64_t>(n));
        report(false);
    }
}

bool CopyRun::writeAll(int out, const char* data, std::size_t size, const std::string& target) {
    while (size > 0) {
        ssize_t w = 0;
        if (writer_) {
            std::lock_guard lock(writerMutex_);
            w = writer_->write(out, data, size);
        } else {
            w = ::write(out, data, size);
        }
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return fail(target, std::strerror(w < 0 ? errno : EIO));
        data += w;
        size -= static_cast<std::size_t>(w);
    }
    return true;
}

bool CopyRun::copyLink(const std::string& source, const CopyStat& src, const std::string& target, bool fresh) {
    std::vector<char> buf(static_cast<std::size_t>(src.size > 0 ? src.size : 255) + 1);
    const ssize_t len = ::readlink(source.c_str(), buf.data(), buf.size());
    if (len < 0)
        return fail(source, std::strerror(errno));
    const std::string linkTarget(buf.data(), static_cast<std::size_t>(len));
    std::string temp = target;
    for (;;) {
        if (!fresh)
            temp = names_.next(parentOf(target));
        if (::symlink(linkTarget.c_str(), temp.c_str()) == 0)
            break;
        if (errno != EEXIST || fresh)
            return fail(target, std::strerror(errno));
    }
    const struct timespec times[2] = {src.atime, src.mtime};
    ::utimensat(AT_FDCWD, temp.c_str(), times, AT_SYMLINK_NOFOLLOW);
    if (root_)
        ::fchownat(AT_FDCWD, temp.c_str(), src.uid, src.gid, AT_SYMLINK_NOFOLLOW);
    if (!fresh && !place(temp, target, false, "", "", false))
        return false;
    filesDone_.fetch_add(1);
    return true;
}

// A further name of a file: a hard link to the copy under its first name, unless the old copy has
// that already. Where the file system has no hard links, or no more for this file, a file of its own.
bool CopyRun::linkName(const CopyTree& tree, const CopyTree::Entry& e, const std::string& sourceRoot) {
    const std::string first = tree.targetOf(tree.entries[e.first]);
    const std::string target = tree.targetOf(e);
    const bool fresh = tree.folders[e.folder].fresh;
    struct stat a {};
    struct stat b {};
    if (!fresh && ::lstat(first.c_str(), &a) == 0 && ::lstat(target.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
        a.st_ino == b.st_ino) {
        countDone(static_cast<std::uint64_t>(e.stat.size));
        return true;
    }
    const std::string temp = fresh ? target : names_.next(parentOf(target));
    if (::link(first.c_str(), temp.c_str()) != 0) {
        if (errno == EMLINK || errno == EPERM || errno == EOPNOTSUPP || errno == ENOSYS)
            return copyFile(CopyTree::join(sourceRoot, tree.relPath(e)), e.stat, target, fresh, false, "", "");
        return fail(target, std::strerror(errno));
    }
    if (!fresh && !place(temp, target, false, "", "", false))
        return false;
    countDone(static_cast<std::uint64_t>(e.stat.size));
    return true;
}
