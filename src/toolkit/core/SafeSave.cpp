#include "toolkit/core/SafeSave.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;

FileWriter::~FileWriter() = default;

int FileWriter::fsync(int fd) {
    return ::fsync(fd);
}

int FileWriter::rename(const char* from, const char* to) {
    return ::rename(from, to);
}

namespace {

class SystemWriter : public FileWriter {
public:
    ssize_t write(int fd, const void* data, std::size_t size) override { return ::write(fd, data, size); }
};

SystemWriter systemWriter;
std::atomic<FileWriter*> currentWriter{&systemWriter};

SaveResult failure(const std::string& path, const std::string& message) {
    return {false, path + ": " + message, message};
}

SaveResult failure(const std::string& path, int err) {
    return failure(path, std::system_category().message(err));
}

// The file a path finally names once its symbolic links are followed; relative link texts count
// from the link's own folder. The result need not exist yet (a dangling link names a new file).
bool resolveLinks(const std::string& path, std::string& resolved) {
    fs::path current(path);
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            resolved = current.string();
            return true;
        }
        std::error_code ec;
        const fs::path target = fs::read_symlink(current, ec);
        if (ec) {
            errno = ec.value();
            return false;
        }
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    errno = ELOOP;
    return false;
}

// umask() can only be read by changing it, which races with other threads creating files.
mode_t currentUmask() {
    if (FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        while (std::fgets(line, sizeof line, status)) {
            if (std::string_view(line).starts_with("Umask:")) {
                std::fclose(status);
                return static_cast<mode_t>(std::strtoul(line + 6, nullptr, 8) & 0777);
            }
        }
        std::fclose(status);
    }
    return 022;
}

// ".save.ini.XXXXXX" beside the target, kept within the file system's name limit.
std::string tempTemplate(const fs::path& target) {
    constexpr std::size_t kSuffix = 7; // ".XXXXXX"
    std::string base = target.filename().string().substr(0, NAME_MAX - 1 - kSuffix);
    const fs::path name = "." + base + ".XXXXXX";
    return target.has_parent_path() ? (target.parent_path() / name).string() : name.string();
}

bool writeAll(int fd, std::string_view bytes, int& err) {
    FileWriter* writer = currentWriter.load();
    while (!bytes.empty()) {
        const ssize_t n = writer->write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || static_cast<std::size_t>(n) > bytes.size()) {
            // A write that makes no progress would loop for ever; count it as an I/O error.
            err = n < 0 ? errno : EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Gives the temporary file the permissions the target had (or a new file's default ones).
bool applyMode(int fd, bool exists, const struct stat& old) {
    if (!exists)
        return ::fchmod(fd, 0666 & ~currentUmask()) == 0;
    mode_t keep = old.st_mode & 07777;
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
        // Only root may give the file back to its owner; without that, set-id bits must not
        // move over to a file that now belongs to us.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0)
            keep &= 0777;
    }
    return ::fchmod(fd, keep) == 0;
}

// Makes the data durable before the rename publishes it. close() can report a delayed write
// error (NFS); on Linux the descriptor is gone after close() even when it fails.
bool flushAndClose(int fd, int& err) {
    FileWriter* writer = currentWriter.load();
    int rc = 0;
    do {
        rc = writer->fsync(fd);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        err = errno;
        ::close(fd);
        return false;
    }
    if (::close(fd) != 0 && errno != EINTR) {
        err = errno;
        return false;
    }
    return true;
}

// Gives the file target a second, hidden name beside it, for putting it back. 0, or the errno.
int linkAside(const std::string& target, std::string& name) {
    for (int tries = 0; tries < 100; ++tries) {
        // A fresh name; another file may take it before the link does, then the next one is tried.
        name = tempTemplate(fs::path(target));
        const int fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0)
            break;
        ::close(fd);
        ::unlink(name.c_str());
        if (::link(target.c_str(), name.c_str()) == 0)
            return 0;
        if (errno != EEXIST)
            break;
    }
    const int err = errno;
    name.clear();
    return err;
}

void syncFolder(const fs::path& target) {
    const std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        currentWriter.load()->fsync(dirFd); // best effort: some file systems cannot sync folders
        ::close(dirFd);
    }
}

} // namespace

void FileWriter::install(FileWriter* writer) {
    currentWriter.store(writer ? writer : &systemWriter);
}

FileWriter* FileWriter::installed() {
    FileWriter* writer = currentWriter.load();
    return writer == &systemWriter ? nullptr : writer;
}

SafeSave::Prepared::Prepared(Prepared&& other) noexcept
    : path_(std::move(other.path_)), target_(std::move(other.target_)), temp_(std::exchange(other.temp_, {})),
      result_(std::move(other.result_)) {}

SafeSave::Prepared& SafeSave::Prepared::operator=(Prepared&& other) noexcept {
    if (this != &other) {
        discard();
        path_ = std::move(other.path_);
        target_ = std::move(other.target_);
        temp_ = std::exchange(other.temp_, {});
        result_ = std::move(other.result_);
    }
    return *this;
}

SafeSave::Prepared::~Prepared() {
    discard();
}

void SafeSave::Prepared::discard() {
    if (!temp_.empty())
        ::unlink(temp_.c_str());
    temp_.clear();
}

SaveResult SafeSave::Prepared::commit() {
    if (temp_.empty())
        return result_;
    if (currentWriter.load()->rename(temp_.c_str(), target_.c_str()) != 0) {
        result_ = failure(path_, errno);
        discard();
        return result_;
    }
    temp_.clear();
    syncFolder(target_);
    return result_;
}

SafeSave::Prepared SafeSave::prepare(const std::string& utf8Path, std::string_view bytes) {
    Prepared p;
    p.path_ = utf8Path;
    if (utf8Path.empty()) {
        p.result_ = failure("(no file name)", ENOENT);
        return p;
    }
    if (!resolveLinks(utf8Path, p.target_)) {
        p.result_ = failure(utf8Path, errno);
        return p;
    }
    const fs::path target(p.target_);
    struct stat old {};
    const bool exists = ::stat(p.target_.c_str(), &old) == 0;
    if (!target.has_filename() || (exists && S_ISDIR(old.st_mode))) {
        p.result_ = failure(utf8Path, EISDIR);
        return p;
    }
    if (exists && !S_ISREG(old.st_mode)) {
        p.result_ = failure(utf8Path, "not a regular file");
        return p;
    }

    std::string tempPath = tempTemplate(target);
    const int fd = ::mkostemp(tempPath.data(), O_CLOEXEC);
    if (fd < 0) {
        p.result_ = failure(utf8Path, errno);
        return p;
    }
    p.temp_ = std::move(tempPath); // from here on removed again unless committed

    int err = 0;
    bool ok = writeAll(fd, bytes, err);
    if (ok && !applyMode(fd, exists, old)) {
        ok = false;
        err = errno;
    }
    if (ok)
        ok = flushAndClose(fd, err);
    else
        ::close(fd);
    if (!ok) {
        p.discard();
        p.result_ = failure(utf8Path, err);
        return p;
    }
    p.result_ = {true, {}, {}};
    return p;
}

SaveResult SafeSave::write(const std::string& utf8Path, std::string_view bytes) {
    return prepare(utf8Path, bytes).commit();
}

SaveResult SafeSave::commitAll(const std::vector<Prepared*>& files) {
    for (const Prepared* file : files) {
        if (!file->result_.ok)
            return file->result_;
    }
    // The old files under their second names; empty where there was none, or no link could be made.
    std::vector<std::string> kept(files.size());
    std::vector<bool> existed(files.size(), false);
    const auto dropKept = [&] {
        for (const std::string& name : kept) {
            if (!name.empty())
                ::unlink(name.c_str());
        }
    };
    for (std::size_t i = 0; i + 1 < files.size(); ++i) {
        Prepared& file = *files[i];
        struct stat st {};
        existed[i] = ::lstat(file.target_.c_str(), &st) == 0;
        if (file.temp_.empty() || !existed[i])
            continue;
        const int err = linkAside(file.target_, kept[i]);
        // EPERM, EOPNOTSUPP: a file system without hard links (FAT); the files still change.
        if (err != 0 && err != EPERM && err != EOPNOTSUPP) {
            dropKept();
            file.discard();
            file.result_ = failure(file.path_, err);
            return file.result_;
        }
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        const SaveResult saved = files[i]->commit();
        if (saved.ok)
            continue;
        FileWriter* writer = currentWriter.load();
        for (std::size_t j = 0; j < i; ++j) {
            const std::string& target = files[j]->target_;
            if (!kept[j].empty() && writer->rename(kept[j].c_str(), target.c_str()) == 0)
                kept[j].clear();
            else if (!existed[j])
                ::unlink(target.c_str());
            syncFolder(target);
        }
        dropKept();
        return saved;
    }
    dropKept();
    return {true, {}, {}};
}
