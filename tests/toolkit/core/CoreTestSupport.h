#pragma once

// Helpers for the tests of SafeSave and of the copy engine.

#include "support/ScriptedWriter.h"
#include "support/TempWorkDir.h"
#include "toolkit/core/FileCopy.h"
#include "toolkit/core/SafeSave.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <map>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <type_traits>
#include <unistd.h>
#include <vector>

namespace coretest {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// Root may write into any folder, so as root `step` runs in a child that has given up root first
// (user and group 65534, no other groups); the files it needs must be reachable for that user.
inline bool asNormalUser(const std::function<bool()>& step) {
    if (::geteuid() != 0)
        return step();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        ::_exit(step() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2) << "could not give up root";
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Throws when a test uses a path that Windows-1252 cannot hold.
inline WFilePath pathOf(const std::string& utf8) {
    return WFilePath(WString::fromUtf8(utf8).value());
}

inline CopyResult copy(const std::string& source, const std::string& destination, unsigned flags,
                       CopyObserver* observer = nullptr) {
    return FileCopy(pathOf(source), pathOf(destination), flags, observer);
}

inline std::string messageOf(const CopyResult& r) {
    return "path='" + r.path + "' message='" + r.message + "'";
}

// Success, or the failure for the test's message.
inline ::testing::AssertionResult copied(const std::string& source, const std::string& destination, unsigned flags,
                                         CopyObserver* observer = nullptr) {
    const CopyResult r = copy(source, destination, flags, observer);
    if (r.ok)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << source << " -> " << destination << ": " << messageOf(r);
}

// Distinct, incompressible-looking bytes, so a mixed or shifted copy never compares equal.
inline std::string bytesOf(std::size_t size, std::size_t seed) {
    std::string out(size, '\0');
    auto x = static_cast<std::uint32_t>(seed * 2654435761u + 1);
    for (auto& c : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x);
    }
    return out;
}

inline void writeFile(const fs::path& file, const std::string& bytes, mode_t mode = 0644) {
    fs::create_directories(file.parent_path().empty() ? fs::path(".") : file.parent_path());
    TempWorkDir::writeBytes(file, bytes);
    ::chmod(file.c_str(), mode);
}

inline void setTimes(const fs::path& path, time_t seconds, long nanoseconds) {
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

// In blocks rather than by the character, which sanitizer builds make slow for files of megabytes.
inline std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string out;
    char block[65536];
    while (in.read(block, sizeof block) || in.gcount() > 0)
        out.append(block, static_cast<std::size_t>(in.gcount()));
    return out;
}

inline mode_t modeOf(const fs::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

inline Names namesIn(const fs::path& folder) {
    return TempWorkDir::entriesOf(folder);
}

// What a tree holds: "f:" + bytes for a file, "l:" + link text, "d" for a folder, "o" for
// anything else; keyed by the path relative to the root. Links are never followed. withMeta puts
// the mode bits and the modification time of all but links in front.
using Contents = std::map<std::string, std::string>;

inline Contents contentsOf(const fs::path& root, bool withMeta = false) {
    Contents out;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        struct stat st {};
        ::lstat(it->path().c_str(), &st);
        std::string& value = out[it->path().lexically_relative(root).string()];
        if (S_ISLNK(st.st_mode))
            value = "l:" + fs::read_symlink(it->path()).string();
        else
            value = S_ISREG(st.st_mode) ? "f:" + readFile(it->path()) : S_ISDIR(st.st_mode) ? "d" : "o";
        if (withMeta && !S_ISLNK(st.st_mode))
            value = std::to_string(st.st_mode & 07777) + " @" + std::to_string(st.st_mtim.tv_sec) + "." +
                    std::to_string(st.st_mtim.tv_nsec) + " " + value;
    }
    return out;
}

// Like ==, but a difference names the entry instead of printing megabytes.
inline ::testing::AssertionResult sameTree(const Contents& actual, const Contents& expected) {
    for (const auto& [rel, value] : expected) {
        if (!actual.contains(rel) || actual.at(rel) != value)
            return ::testing::AssertionFailure() << rel << (actual.contains(rel) ? " differs" : " is missing");
    }
    for (const auto& [rel, value] : actual) {
        if (!expected.contains(rel))
            return ::testing::AssertionFailure() << rel << " should not be there";
    }
    return ::testing::AssertionSuccess();
}

class UmaskScope {
public:
    explicit UmaskScope(mode_t mask) : previous_(::umask(mask)) {}
    ~UmaskScope() { ::umask(previous_); }

private:
    mode_t previous_;
};

} // namespace coretest
