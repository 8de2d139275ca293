#include "toolkit/core/CopyTempNames.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kPrefix = ".morlanz-";

// The runs of this process that are under way.
std::mutex& runsMutex() {
    static std::mutex mutex;
    return mutex;
}

std::set<std::uint64_t>& runs() {
    static std::set<std::uint64_t> active;
    return active;
}

// Another machine sharing the destination (a network drive), or another process-id namespace (a
// container), has process ids of its own: their names are never judged here.
std::uint32_t machine() {
    static const std::uint32_t tag = [] {
        char host[256] = {};
        ::gethostname(host, sizeof host - 1);
        char space[64] = {};
        if (::readlink("/proc/self/ns/pid", space, sizeof space - 1) < 0)
            space[0] = '\0';
        std::uint32_t h = 2166136261u; // FNV-1a
        for (const char* text : {static_cast<const char*>(host), static_cast<const char*>(space)}) {
            for (; *text; ++text) {
                h ^= static_cast<unsigned char>(*text);
                h *= 16777619u;
            }
        }
        return h;
    }();
    return tag;
}

std::uint64_t randomRun() {
    std::uint64_t value = 0;
    if (::getrandom(&value, sizeof value, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof value)) {
        value = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                (static_cast<std::uint64_t>(::getpid()) << 40) ^ reinterpret_cast<std::uintptr_t>(&value);
    }
    return value;
}

// Takes the number of `digits` characters (hex or decimal) at the front of text, exactly so many
// for hex, 1 to `digits` without a leading zero for decimal.
bool take(std::string_view& text, bool hex, std::size_t digits, std::uint64_t& value) {
    std::size_t n = 0;
    value = 0;
    while (n < text.size() && n < digits) {
        const char c = text[n];
        const int d = c >= '0' && c <= '9' ? c - '0' : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (d < 0)
            break;
        value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(d);
        ++n;
    }
    if (n == 0 || (hex && n != digits) || (!hex && text[0] == '0' && n > 1))
        return false;
    text.remove_prefix(n);
    return true;
}

bool takeDash(std::string_view& text) {
    if (text.empty() || text[0] != '-')
        return false;
    text.remove_prefix(1);
    return true;
}

// A name of this machine's runs whose run is over: its process is gone, or it is this process and
// none of its copies under way made it.
bool isLeftover(std::string_view name) {
    if (!name.starts_with(kPrefix))
        return false;
    name.remove_prefix(kPrefix.size());
    std::uint64_t tag = 0;
    std::uint64_t pid = 0;
    std::uint64_t run = 0;
    std::uint64_t n = 0;
    if (!take(name, true, 8, tag) || !takeDash(name) || !take(name, false, 10, pid) || !takeDash(name) ||
        !take(name, true, 16, run) || !takeDash(name) || !take(name, false, 20, n) || !name.empty())
        return false;
    if (tag != machine() || pid == 0 || pid > INT_MAX)
        return false;
    if (static_cast<pid_t>(pid) == ::getpid()) {
        std::lock_guard lock(runsMutex());
        return !runs().contains(run);
    }
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

void removeAt(int parent, const char* name) {
    struct stat st {};
    if (::fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return;
    if (!S_ISDIR(st.st_mode)) {
        ::unlinkat(parent, name, 0);
        return;
    }
    int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && errno == EACCES && ::fchmodat(parent, name, 0700, 0) == 0) // a finished read-only folder
        fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    if ((st.st_mode & 0700) != 0700)
        ::fchmod(fd, 0700);
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            names.emplace_back(e->d_name);
    }
    for (const std::string& n : names)
        removeAt(::dirfd(dir), n.c_str());
    ::closedir(dir);
    ::unlinkat(parent, name, AT_REMOVEDIR);
}

} // namespace

CopyTempNames::CopyTempNames() {
    {
        std::lock_guard lock(runsMutex());
        do
            run_ = randomRun();
        while (!runs().insert(run_).second);
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.*s%08x-%d-%016llx-", static_cast<int>(kPrefix.size()), kPrefix.data(),
                  static_cast<unsigned>(machine()), static_cast<int>(::getpid()),
                  static_cast<unsigned long long>(run_));
    prefix_ = text;
}

CopyTempNames::~CopyTempNames() {
    std::lock_guard lock(runsMutex());
    runs().erase(run_);
}

std::string CopyTempNames::next(const std::string& dir) {
    return (dir == "/" ? "" : dir) + "/" + prefix_ + std::to_string(count_.fetch_add(1));
}

std::string CopyTempNames::aside(const std::string& dir) {
    return (dir == "/" ? "" : dir) + "/" + prefix_ + "alt" + std::to_string(count_.fetch_add(1));
}

void CopyTempNames::removeLeftovers(const std::string& dir) {
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return;
    std::vector<std::string> found;
    while (const dirent* e = ::readdir(d)) {
        if (e->d_name[0] == '.' && isLeftover(e->d_name))
            found.emplace_back(e->d_name);
    }
    for (const std::string& name : found)
        removeAt(::dirfd(d), name.c_str());
    ::closedir(d);
}

void CopyTempNames::remove(const std::string& path) {
    removeAt(AT_FDCWD, path.c_str());
}
