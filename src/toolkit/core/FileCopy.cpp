#include "FileCopy.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::atomic<CopyWriter*> g_writer{nullptr};

constexpr std::size_t kChunk = 8u << 20;      // per copy_file_range call; cancellation is checked between
constexpr std::size_t kBufferSize = 1u << 20; // read/write fallback
constexpr auto kProgressInterval = std::chrono::milliseconds(50);

struct Failure {
    std::string path;
    std::string message;
};

struct FileId {
    dev_t dev = 0;
    ino_t ino = 0;
    bool valid = false;
    bool matches(const struct stat& st) const { return valid && st.st_dev == dev && st.st_ino == ino; }
};

FileId idOf(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return {};
    return {st.st_dev, st.st_ino, true};
}

std::string joinPath(const std::string& dir, const std::string& name) {
    return dir == "/" ? "/" + name : dir + "/" + name;
}

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "Brief.doc" -> "Brief - Kopie.doc", "Brief - Kopie (2).doc" ...; folders and names without a
// dot after their first character keep the suffix at the end.
std::string copyName(const std::string& name, bool isFolder, int number) {
    const std::size_t dot = isFolder ? std::string::npos : name.rfind('.');
    const bool hasExt = dot != std::string::npos && dot > 0;
    const std::string stem = hasExt ? name.substr(0, dot) : name;
    const std::string ext = hasExt ? name.substr(dot) : "";
    const std::string suffix = number == 1 ? " - Kopie" : " - Kopie (" + std::to_string(number) + ")";
    return stem + suffix + ext;
}

void removeTree(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return;
    if (S_ISDIR(st.st_mode)) {
        if (DIR* dir = ::opendir(path.c_str())) {
            std::vector<std::string> names;
            while (const dirent* e = ::readdir(dir)) {
                if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                    names.emplace_back(e->d_name);
            }
            ::closedir(dir);
            for (const auto& n : names)
                removeTree(joinPath(path, n));
        }
        ::rmdir(path.c_str());
    } else {
        ::unlink(path.c_str());
    }
}

class CopyRun {
public:
    CopyRun(bool overwrite, CopyObserver* observer) : overwrite_(overwrite), observer_(observer) {}

    bool run(const std::string& source, const std::string& destDir) {
        struct stat dst {};
        if (::stat(destDir.c_str(), &dst) != 0)
            return fail(destDir, std::strerror(errno));
        if (!S_ISDIR(dst.st_mode))
            return fail(destDir, std::strerror(ENOTDIR));
        destId_ = {dst.st_dev, dst.st_ino, true};

        struct stat src {};
        if (::lstat(source.c_str(), &src) != 0)
            return fail(source, std::strerror(errno));
        const std::string name = nameOf(source);
        std::string target = joinPath(destDir, name);
        targetId_ = idOf(target);
        if (targetId_.matches(src) && overwrite_)
            return true; // the source is its own target: there is nothing to replace

        count(source, src, true);
        if (S_ISDIR(src.st_mode))
            return copyTopFolder(source, src, destDir, name);
        if (S_ISREG(src.st_mode) || S_ISLNK(src.st_mode)) {
            const bool ok = S_ISREG(src.st_mode) ? copyFile(source, src, target, !overwrite_, destDir, name)
                                                 : copyLink(source, src, target, !overwrite_, destDir, name);
            report(true);
            return ok;
        }
        return fail(source, "kein kopierbarer Dateityp");
    }

    Failure failure;

private:
    bool fail(const std::string& path, const std::string& message) {
        failure = {path, message};
        return false;
    }

    bool cancelled() {
        if (!observer_ || !observer_->cancelled())
            return false;
        fail(lastPath_, "abgebrochen");
        return true;
    }

    void report(bool force) {
        if (!observer_)
            return;
        const auto now = std::chrono::steady_clock::now();
        if (!force && now - lastReport_ < kProgressInterval)
            return;
        lastReport_ = now;
        observer_->progress(progress_);
    }

    // Totals for the progress; skips the destination folder and the target like the copy does.
    // The source itself is counted even when it is the destination folder.
    void count(const std::string& path, const struct stat& st, bool top = false) {
        if (S_ISREG(st.st_mode)) {
            ++progress_.filesTotal;
            progress_.bytesTotal += static_cast<std::uint64_t>(st.st_size);
        } else if (S_ISLNK(st.st_mode)) {
            ++progress_.filesTotal;
        } else if (S_ISDIR(st.st_mode) && (top || !isOwnTarget(st))) {
            forEachEntry(path, [&](const std::string& child, const struct stat& cst) {
                count(child, cst);
                return true;
            });
        }
    }

    bool isOwnTarget(const struct stat& st) const { return destId_.matches(st) || targetId_.matches(st); }

    template <class F> bool forEachEntry(const std::string& dirPath, F&& fn) {
        DIR* dir = ::opendir(dirPath.c_str());
        if (!dir)
            return fail(dirPath, std::strerror(errno));
        std::vector<std::string> names;
        while (const dirent* e = ::readdir(dir)) {
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                names.emplace_back(e->d_name);
        }
        ::closedir(dir);
        for (const auto& n : names) {
            const std::string child = joinPath(dirPath, n);
            struct stat st {};
            if (::lstat(child.c_str(), &st) != 0)
                continue; // vanished meanwhile
            if (!fn(child, st))
                return false;
        }
        return true;
    }

    bool copyTopFolder(const std::string& source, const struct stat& src, const std::string& destDir,
                       const std::string& name) {
        const std::string target = joinPath(destDir, name);
        struct stat existing {};
        const bool exists = ::lstat(target.c_str(), &existing) == 0;
        if (overwrite_ && exists && S_ISDIR(existing.st_mode)) {
            targetId_ = idOf(target);
            const bool ok = copyFolderContents(source, target) && finishFolder(target, src);
            report(true);
            return ok;
        }
        // A new copy is built under a hidden name and appears in one rename when complete: a killed
        // run never leaves a part copy that looks whole, and the files inside need no rename each.
        std::string temp = tempName(target);
        if (!::mkdtemp(temp.data()))
            return fail(target, std::strerror(errno));
        targetId_ = idOf(temp);
        fresh_ = true;
        bool ok = copyFolderContents(source, temp) && finishFolder(temp, src);
        fresh_ = false;
        if (ok && overwrite_ && exists && ::unlink(target.c_str()) != 0) // a file or a planted link
            ok = fail(target, std::strerror(errno));
        if (ok)
            ok = place(temp, target, !overwrite_, destDir, name, true);
        report(true);
        if (!ok)
            removeTree(temp);
        return ok;
    }

    bool copyFolderContents(const std::string& source, const std::string& target) {
        return forEachEntry(source, [&](const std::string& child, const struct stat& st) {
            lastPath_ = child;
            if (cancelled())
                return false;
            const std::string to = joinPath(target, nameOf(child));
            if (S_ISDIR(st.st_mode)) {
                if (isOwnTarget(st))
                    return true; // never copy the backup into itself
                return copySubFolder(child, st, to);
            }
            if (S_ISREG(st.st_mode))
                return copyFile(child, st, to, false, "", "");
            if (S_ISLNK(st.st_mode))
                return copyLink(child, st, to, false, "", "");
            return true; // FIFOs, sockets and devices are not backed up and never opened
        });
    }

    bool copySubFolder(const std::string& source, const struct stat& src, const std::string& target) {
        struct stat existing {};
        if (::lstat(target.c_str(), &existing) == 0 && !S_ISDIR(existing.st_mode)) {
            if (::unlink(target.c_str()) != 0) // never descend through a link planted in the old copy
                return fail(target, std::strerror(errno));
        }
        if (::mkdir(target.c_str(), 0700) != 0 && errno != EEXIST)
            return fail(target, std::strerror(errno));
        return copyFolderContents(source, target) && finishFolder(target, src);
    }

    bool finishFolder(const std::string& target, const struct stat& src) {
        const struct timespec times[2] = {src.st_atim, src.st_mtim};
        if (::chmod(target.c_str(), src.st_mode & 07777) != 0 || ::utimensat(AT_FDCWD, target.c_str(), times, 0) != 0)
            return fail(target, std::strerror(errno));
        return true;
    }

    // Places a finished temporary file. Without overwriting, the name is chosen anew until one is
    // free, and an existing copy is never replaced.
    bool place(const std::string& temp, const std::string& target, bool keep, const std::string& destDir,
               const std::string& name, bool isFolder) {
        if (!keep) {
            if (::rename(temp.c_str(), target.c_str()) == 0)
                return true;
            const int err = errno;
            ::unlink(temp.c_str());
            return fail(target, std::strerror(err));
        }
        for (int n = 0;; ++n) {
            const std::string candidate = n == 0 ? target : joinPath(destDir, copyName(name, isFolder, n));
            if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, candidate.c_str(), RENAME_NOREPLACE) == 0)
                return true;
            if (errno != EEXIST) {
                const int err = errno;
                ::unlink(temp.c_str());
                return fail(candidate, std::strerror(err));
            }
        }
    }

    std::string tempName(const std::string& target) const {
        return joinPath(parentOf(target), "." + nameOf(target).substr(0, 200) + ".morlanz-XXXXXX");
    }

    bool copyFile(const std::string& source, const struct stat& src, const std::string& target, bool keep,
                  const std::string& destDir, const std::string& name) {
        lastPath_ = source;
        if (!keep && !fresh_) {
            struct stat old {};
            // Unchanged since the last copy (same size and time, which the copy keeps): nothing to do.
            if (::lstat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode) && old.st_size == src.st_size &&
                old.st_mtim.tv_sec == src.st_mtim.tv_sec && old.st_mtim.tv_nsec == src.st_mtim.tv_nsec &&
                (old.st_mode & 07777) == (src.st_mode & 07777)) {
                advance(src);
                return true;
            }
        }
        const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (in < 0)
            return fail(source, std::strerror(errno));
        // Inside a new copy that is still hidden the file is written in place.
        std::string temp = fresh_ ? target : tempName(target);
        // 0600: a private file is never readable by others while it is written.
        const int out = fresh_ ? ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)
                               : ::mkostemp(temp.data(), O_CLOEXEC);
        if (out < 0) {
            const int err = errno;
            ::close(in);
            return fail(target, std::strerror(err));
        }
        bool ok = copyData(in, out, source, temp);
        ::close(in);
        if (ok) {
            const struct timespec times[2] = {src.st_atim, src.st_mtim};
            if (::fchmod(out, src.st_mode & 07777) != 0 || ::futimens(out, times) != 0)
                ok = fail(target, std::strerror(errno));
        }
        if (::close(out) != 0 && ok)
            ok = fail(target, std::strerror(errno));
        if (!ok) {
            ::unlink(temp.c_str());
            return false;
        }
        if (!fresh_ && !place(temp, target, keep, destDir, name, false))
            return false;
        ++progress_.filesDone;
        report(false);
        return true;
    }

    void advance(const struct stat& src) {
        ++progress_.filesDone;
        progress_.bytesDone += static_cast<std::uint64_t>(src.st_size);
        report(false);
    }

    bool copyData(int in, int out, const std::string& source, const std::string& temp) {
        CopyWriter* writer = g_writer.load();
        bool kernelCopy = writer == nullptr;
        std::vector<char> buffer;
        for (;;) {
            if (cancelled())
                return false;
            ssize_t n = 0;
            if (kernelCopy) {
                n = ::copy_file_range(in, nullptr, out, nullptr, kChunk, 0);
                if (n < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
                              errno == EPERM || errno == ETXTBSY)) {
                    kernelCopy = false; // not here: copy through user space
                    continue;
                }
                if (n < 0 && errno == EINTR)
                    continue;
                if (n < 0)
                    return fail(temp, std::strerror(errno));
            } else {
                if (buffer.empty())
                    buffer.resize(kBufferSize);
                n = ::read(in, buffer.data(), buffer.size());
                if (n < 0 && errno == EINTR)
                    continue;
                if (n < 0)
                    return fail(source, std::strerror(errno));
                if (n > 0 && !writeAll(writer, out, buffer.data(), static_cast<std::size_t>(n), temp))
                    return false;
            }
            if (n == 0)
                return true;
            progress_.bytesDone += static_cast<std::uint64_t>(n);
            report(false);
        }
    }

    bool writeAll(CopyWriter* writer, int out, const char* data, std::size_t size, const std::string& temp) {
        while (size > 0) {
            const ssize_t w = writer ? writer->write(out, data, size) : ::write(out, data, size);
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                return fail(temp, std::strerror(w < 0 ? errno : EIO));
            data += w;
            size -= static_cast<std::size_t>(w);
        }
        return true;
    }

    bool copyLink(const std::string& source, const struct stat& src, const std::string& target, bool keep,
                  const std::string& destDir, const std::string& name) {
        std::vector<char> buf(static_cast<std::size_t>(src.st_size > 0 ? src.st_size : 255) + 1);
        const ssize_t len = ::readlink(source.c_str(), buf.data(), buf.size());
        if (len < 0)
            return fail(source, std::strerror(errno));
        const std::string linkTarget(buf.data(), static_cast<std::size_t>(len));
        for (int attempt = 0;; ++attempt) {
            std::string temp = tempName(target);
            temp.replace(temp.size() - 6, 6, std::to_string(::getpid()) + "-" + std::to_string(attempt));
            if (::symlink(linkTarget.c_str(), temp.c_str()) != 0) {
                if (errno == EEXIST && attempt < 100)
                    continue;
                return fail(target, std::strerror(errno));
            }
            const struct timespec times[2] = {src.st_atim, src.st_mtim};
            ::utimensat(AT_FDCWD, temp.c_str(), times, AT_SYMLINK_NOFOLLOW);
            if (!place(temp, target, keep, destDir, name, false))
                return false;
            ++progress_.filesDone;
            report(false);
            return true;
        }
    }

    bool overwrite_;
    bool fresh_ = false; // writing below a new copy that is still hidden
    CopyObserver* observer_;
    CopyProgress progress_;
    FileId destId_;
    FileId targetId_;
    std::string lastPath_;
    std::chrono::steady_clock::time_point lastReport_{};
};

} // namespace

CopyWriter::~CopyWriter() = default;

void CopyWriter::install(CopyWriter* writer) {
    g_writer.store(writer);
}

CopyResult FileCopy(const WFilePath& source, const WFilePath& destination, unsigned flags, CopyObserver* observer) {
    CopyResult result;
    if (destination.isEmpty()) {
        result = {false, "", "kein Zielordner angegeben"};
        return result;
    }
    if (source.isEmpty()) {
        result = {false, "", "keine Quelle angegeben"};
        return result;
    }
    std::string src = source.normalized().toUtf8();
    const std::string dst = destination.normalized().toUtf8();
    // "Projekt/." or "Projekt/unter/..": the copy takes the folder's own name; "." or ".." as the
    // name would put it into the destination itself or above it.
    if (const std::string last = nameOf(src); last == "." || last == "..") {
        char* real = ::realpath(src.c_str(), nullptr);
        if (!real)
            return {false, src, std::strerror(errno)};
        src = real;
        std::free(real);
    }
    if (nameOf(src).empty() || src == "/") {
        result = {false, src, "keine Quelle angegeben"};
        return result;
    }
    CopyRun run((flags & CopyFlags::RenameOnCollision) == 0, observer);
    if (!run.run(src, dst)) {
        result.ok = false;
        result.path = run.failure.path;
        result.message = run.failure.message;
    }
    return result;
}
