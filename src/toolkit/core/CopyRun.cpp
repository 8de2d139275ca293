#include "toolkit/core/CopyRun.h"

#include "toolkit/core/CopyNames.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

using copynames::nameOf;

namespace {

constexpr auto joinPath = CopyTree::join;

constexpr auto kProgressInterval = std::chrono::milliseconds(50);
constexpr unsigned kMaxHelpers = 3;

// Helpers beside the calling thread: small files are mostly system-call time and large ones
// memory bandwidth, and either goes faster on more than one core.
unsigned helpersFor(std::size_t entries) {
    if (entries < 2)
        return 0;
    const unsigned cores = std::thread::hardware_concurrency();
    const unsigned helpers = std::clamp(cores > 1 ? cores - 1 : 1u, 1u, kMaxHelpers);
    return static_cast<unsigned>(std::min<std::size_t>(helpers, entries - 1));
}

} // namespace

CopyRun::CopyRun(bool overwrite, CopyObserver* observer, CopyWriter* writer)
    : overwrite_(overwrite), root_(::geteuid() == 0), observer_(observer), writer_(writer),
      caller_(std::this_thread::get_id()) {}

CopyRun::FileId CopyRun::idOf(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return {};
    return {st.st_dev, st.st_ino, true};
}

bool CopyRun::fail(const std::string& path, const std::string& message) {
    {
        std::lock_guard lock(failureMutex_);
        if (!failed_) {
            failed_ = true;
            failedPath = shownPath(path);
            failureMessage = message;
        }
    }
    stop_.store(true);
    return false;
}

// The user is told the name the copy was to have, not the hidden one it is built under.
std::string CopyRun::shownPath(const std::string& path) const {
    for (const auto& [hidden, shown] : hidden_) {
        const std::size_t n = hidden.size();
        if (path.compare(0, n, hidden) == 0 && (path.size() == n || path[n] == '/'))
            return shown + path.substr(n);
    }
    return path;
}

// Only the calling thread asks the observer; helpers see the answer through stop_.
bool CopyRun::stopping() {
    if (stop_.load())
        return true;
    if (onCallerThread() && observer_ && observer_->cancelled())
        fail(lastPath_, "abgebrochen");
    return stop_.load();
}

void CopyRun::report(bool force) {
    if (!observer_ || !onCallerThread())
        return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - lastReport_ < kProgressInterval)
        return;
    lastReport_ = now;
    observer_->progress({bytesDone_.load(), bytesTotal_, filesDone_.load(), filesTotal_});
}

void CopyRun::countDone(std::uint64_t bytes) {
    filesDone_.fetch_add(1);
    bytesDone_.fetch_add(bytes);
}

bool CopyRun::run(const std::string& source, const std::string& destDir) {
    struct stat dst {};
    if (::stat(destDir.c_str(), &dst) != 0)
        return fail(destDir, std::strerror(errno));
    if (!S_ISDIR(dst.st_mode))
        return fail(destDir, std::strerror(ENOTDIR));
    destId_ = {dst.st_dev, dst.st_ino, true};
    CopyTempNames::removeLeftovers(destDir);

    struct stat src {};
    if (::lstat(source.c_str(), &src) != 0)
        return fail(source, std::strerror(errno));
    // A source the user named as a link is backed up as what it points to, under the link's name;
    // links inside a folder stay links.
    const std::string name = nameOf(source);
    std::string from = source;
    if (S_ISLNK(src.st_mode)) {
        char* real = ::realpath(source.c_str(), nullptr);
        if (!real || ::lstat(real, &src) != 0) {
            const int err = errno;
            std::free(real);
            return fail(source, std::strerror(err));
        }
        from = real;
        std::free(real);
    }
    // Keeping copies of a folder inside itself would copy every earlier copy again at each run.
    if (!overwrite_ && S_ISDIR(src.st_mode) && destId_.matches(src))
        return fail(source, "Quelle und Zielordner sind derselbe Ordner");

    const std::string target = joinPath(destDir, name);
    targetId_ = idOf(target);
    if (targetId_.matches(src) && overwrite_)
        return true; // the source is its own target: there is nothing to replace

    const CopyStat stat = CopyStat::of(src);
    if (S_ISDIR(src.st_mode))
        return copyTopFolder(from, stat, destDir, name);
    if (!S_ISREG(src.st_mode))
        return fail(source, "kein kopierbarer Dateityp");
    filesTotal_ = 1;
    bytesTotal_ = static_cast<std::uint64_t>(src.st_size);
    lastPath_ = source;
    const bool ok = copyFile(from, stat, target, false, !overwrite_, destDir, name);
    report(true);
    return ok;
}

bool CopyRun::copyTopFolder(const std::string& source, const CopyStat& src, const std::string& destDir,
                            const std::string& name) {
    const std::string target = joinPath(destDir, name);
    CopyTree tree;
    tree.folders.push_back({"", src});
    CopyTree::Folder& top = tree.folders[0];
    struct stat existing {};
    if (overwrite_ && ::lstat(target.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) {
        top.to = target;
        if (!openOldFolder(target, existing))
            return false;
    } else {
        // A new copy is built under a hidden name and appears in one rename when complete: a killed
        // run never leaves a part copy that looks whole, and the files inside need no rename each.
        top.to = names_.next(destDir);
        top.fresh = true;
        if (::mkdir(top.to.c_str(), 0700) != 0)
            return fail(target, std::strerror(errno));
        targetId_ = idOf(top.to);
        hidden_.emplace_back(top.to, target);
    }
    const std::string built = top.to; // the vector may grow
    const bool fresh = top.fresh;
    bool ok = copyTree(source, tree);
    if (ok && fresh)
        ok = place(built, target, !overwrite_, destDir, name, true);
    report(true);
    if (!ok && fresh)
        CopyTempNames::remove(built);
    return ok;
}

bool CopyRun::copyTree(const std::string& source, CopyTree& tree) {
    bool ok = walk(tree, source);
    if (ok) {
        filesTotal_ = tree.entries.size() + tree.links.size();
        bytesTotal_ = tree.bytes;
        report(true);
        ok = copyEntries(tree, source) && copyLinks(tree, source) && finishFolders(tree);
    }
    if (!ok)
        removeHidden(tree);
    return ok;
}

// Lists the source once, creating each folder of the copy on the way; folders are taken in the
// order they are found, so a parent is always there before its children. A file met under a
// second name is noted as a further name of the first.
bool CopyRun::walk(CopyTree& tree, const std::string& sourceRoot) {
    std::map<std::pair<dev_t, ino_t>, std::uint32_t> firstName;
    for (std::size_t i = 0; i < tree.folders.size(); ++i) {
        const std::string rel = tree.folders[i].rel;
        const std::string from = joinPath(sourceRoot, rel);
        lastPath_ = from;
        if (stopping())
            return false;
        if (i > 0 && !makeFolder(tree, i))
            return false;
        DIR* dir = ::opendir(from.c_str());
        if (!dir)
            return fail(from, std::strerror(errno));
        const int fd = ::dirfd(dir);
        const auto index = static_cast<std::uint32_t>(i);
        while (const dirent* e = ::readdir(dir)) {
            if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
                continue;
            struct stat st {};
            if (::fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue; // vanished meanwhile
            if (S_ISDIR(st.st_mode)) {
                if (!isOwnTarget(st)) // never copy the backup into itself
                    tree.folders.push_back({joinPath(rel, e->d_name), CopyStat::of(st), index});
            } else if (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)) {
                CopyTree::Entry entry{index, e->d_name, CopyStat::of(st)};
                if (S_ISREG(st.st_mode)) {
                    tree.bytes += static_cast<std::uint64_t>(st.st_size);
                    if (st.st_nlink > 1) {
                        const auto [at, isFirst] = firstName.try_emplace(
                            {st.st_dev, st.st_ino}, static_cast<std::uint32_t>(tree.entries.size()));
                        if (!isFirst) {
                            entry.first = at->second;
                            tree.links.push_back(std::move(entry));
                            continue;
                        }
                    }
                }
                tree.entries.push_back(std::move(entry));
            }
            // FIFOs, sockets and devices are not backed up and never opened.
        }
        ::closedir(dir);
    }
    return true;
}

// A folder of the copy, made private until it is finished. Inside an old copy, a folder that is
// there is merged into; a new one, or one in place of another kind of entry, is built under a
// hidden name and takes its place when finished, so that it never shows part-filled.
bool CopyRun::makeFolder(CopyTree& tree, std::size_t index) {
    CopyTree::Folder& folder = tree.folders[index];
    const CopyTree::Folder& parent = tree.folders[folder.parent];
    const std::string target = joinPath(parent.to, nameOf(folder.rel));
    folder.to = target;
    folder.fresh = parent.fresh;
    if (!parent.fresh) {
        struct stat existing {};
        if (::lstat(target.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode))
            return openOldFolder(target, existing);
        folder.to = names_.next(parent.to);
        folder.fresh = true;
        folder.placeAt = target;
        hidden_.emplace_back(folder.to, target);
    }
    if (::mkdir(folder.to.c_str(), 0700) != 0)
        return fail(target, std::strerror(errno));
    return true;
}

// A folder of an old copy that this run fills: made writable for the owner (its mode is put back
// when finished), and rid of what killed runs left in it.
bool CopyRun::openOldFolder(const std::string& target, const struct stat& st) {
    if ((st.st_mode & 0700) != 0700 && ::chmod(target.c_str(), (st.st_mode | 0700) & 07777) != 0)
        return fail(target, std::strerror(errno));
    CopyTempNames::removeLeftovers(target);
    return true;
}

bool CopyRun::copyEntries(const CopyTree& tree, const std::string& sourceRoot) {
    std::atomic<std::size_t> next{0};
    std::mutex mutex;
    std::condition_variable done;
    unsigned running = 0;
    std::vector<std::thread> helpers;
    for (unsigned h = helpersFor(tree.entries.size()); h > 0; --h) {
        {
            std::lock_guard lock(mutex);
            ++running; // before the helper can end
        }
        try {
            helpers.emplace_back([&] {
                copyEntriesFromQueue(tree, sourceRoot, next);
                std::lock_guard lock(mutex);
                --running;
                done.notify_one();
            });
        } catch (const std::system_error&) {
            std::lock_guard lock(mutex);
            --running;
            break; // no thread to be had: the calling thread copies on its own
        }
    }
    copyEntriesFromQueue(tree, sourceRoot, next);
    // The helpers finish their files; the user may still cancel and is still told the progress.
    std::unique_lock lock(mutex);
    while (running > 0 && !done.wait_for(lock, kProgressInterval, [&] { return running == 0; })) {
        lock.unlock();
        stopping();
        report(false);
        lock.lock();
    }
    lock.unlock();
    for (auto& t : helpers)
        t.join();
    return !stop_.load();
}

void CopyRun::copyEntriesFromQueue(const CopyTree& tree, const std::string& sourceRoot,
                                   std::atomic<std::size_t>& next) {
    for (;;) {
        const std::size_t i = next.fetch_add(1);
        if (i >= tree.entries.size())
            return;
        const CopyTree::Entry& e = tree.entries[i];
        const std::string rel = tree.relPath(e);
        const std::string from = joinPath(sourceRoot, rel);
        if (onCallerThread())
            lastPath_ = from;
        if (stopping())
            return;
        const std::string to = tree.targetOf(e);
        const bool fresh = tree.folders[e.folder].fresh;
        const bool ok =
            e.stat.isFile() ? copyFile(from, e.stat, to, fresh, false, "", "") : copyLink(from, e.stat, to, fresh);
        if (!ok)
            return;
        report(false);
    }
}

// Further names of files, once every file is there; on the calling thread.
bool CopyRun::copyLinks(const CopyTree& tree, const std::string& sourceRoot) {
    for (const CopyTree::Entry& e : tree.links) {
        lastPath_ = joinPath(sourceRoot, tree.relPath(e));
        if (stopping() || !linkName(tree, e, sourceRoot))
            return false;
        report(false);
    }
    return true;
}

// Writing into a folder changes its time, so folders are finished last, children first; a hidden
// part takes its place once it is finished.
bool CopyRun::finishFolders(CopyTree& tree) {
    for (std::size_t i = tree.folders.size(); i-- > 0;) {
        CopyTree::Folder& folder = tree.folders[i];
        if (!finishFolder(folder.to, folder.stat))
            return false;
        if (!folder.placeAt.empty()) {
            folder.placed = true; // placing removes it when it fails
            if (!place(folder.to, folder.placeAt, false, "", "", true))
                return false;
        }
    }
    return true;
}

bool CopyRun::finishFolder(const std::string& target, const CopyStat& src) {
    const int fd = ::open(target.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return fail(target, std::strerror(errno));
    const int err = settle(fd, src, true);
    ::close(fd);
    return err == 0 || fail(target, std::strerror(err));
}

// The hidden parts of a failed run go; a folder of the old copy never is one.
void CopyRun::removeHidden(const CopyTree& tree) {
    for (const CopyTree::Folder& folder : tree.folders) {
        if (!folder.placeAt.empty() && !folder.placed)
            CopyTempNames::remove(folder.to);
    }
}
