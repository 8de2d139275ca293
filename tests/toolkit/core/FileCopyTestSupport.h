#pragma once

#include "FileCopy.h"
#include "TempWorkDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace copytest {

namespace fs = std::filesystem;

inline WFilePath pathOf(const std::string& utf8) {
    const auto text = WString::fromUtf8(utf8);
    if (!text)
        throw std::logic_error("path not in Windows-1252: " + utf8);
    return WFilePath(*text);
}

inline CopyResult copy(const std::string& source, const std::string& destination, unsigned flags,
                       CopyObserver* observer = nullptr) {
    return FileCopy(pathOf(source), pathOf(destination), flags, observer);
}

// Distinct, incompressible-looking bytes, so a mixed or shifted copy never compares equal.
inline std::string bytesOf(std::size_t size, std::uint32_t seed) {
    std::string out(size, '\0');
    std::uint32_t x = seed * 2654435761u + 1;
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

inline std::string readFile(const fs::path& file) {
    return TempWorkDir::readBytes(file);
}

inline mode_t modeOf(const fs::path& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

inline timespec mtimeOf(const fs::path& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mtim;
}

inline void setMtime(const fs::path& path, time_t seconds, long nanoseconds) {
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

// What a tree holds: "f:" + bytes for a file, "l:" + link text, "d" for a folder, "o" for
// anything else; keyed by the path relative to the root. Links are never followed.
using Contents = std::map<std::string, std::string>;

inline Contents contentsOf(const fs::path& root) {
    Contents out;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const std::string rel = it->path().lexically_relative(root).string();
        const auto status = it->symlink_status(ec);
        if (fs::is_symlink(status))
            out[rel] = "l:" + fs::read_symlink(it->path()).string();
        else if (fs::is_regular_file(status))
            out[rel] = "f:" + readFile(it->path());
        else if (fs::is_directory(status))
            out[rel] = "d";
        else
            out[rel] = "o";
    }
    return out;
}

// Temporary leftovers: every entry below root whose name starts with ".".
inline std::vector<std::string> hiddenBelow(const fs::path& root) {
    std::vector<std::string> out;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (it->path().filename().string().starts_with("."))
            out.push_back(it->path().lexically_relative(root).string());
    }
    return out;
}

// Every entry of `now` is as it was `before` or as the new `source` has it: a file that is
// neither (truncated, mixed) or an entry from nowhere is reported.
inline ::testing::AssertionResult eachEntryOldOrNew(const Contents& now, const Contents& before,
                                                    const Contents& source) {
    for (const auto& [rel, value] : now) {
        const auto old = before.find(rel);
        const auto neu = source.find(rel);
        const bool isOld = old != before.end() && old->second == value;
        const bool isNew = neu != source.end() && neu->second == value;
        if (!isOld && !isNew)
            return ::testing::AssertionFailure() << rel << " is neither the previous nor the new version ("
                                                 << value.size() << " bytes of description)";
    }
    for (const auto& [rel, value] : before) {
        if (!now.contains(rel))
            return ::testing::AssertionFailure() << rel << " of the previous copy is gone";
    }
    return ::testing::AssertionSuccess();
}

inline std::string messageOf(const CopyResult& r) {
    return "path='" + r.path + "' message='" + r.message + "'";
}

// Installs a writer for its lifetime.
class WriterScope {
public:
    explicit WriterScope(CopyWriter* writer) { CopyWriter::install(writer); }
    ~WriterScope() { CopyWriter::install(nullptr); }
    WriterScope(const WriterScope&) = delete;
    WriterScope& operator=(const WriterScope&) = delete;
};

class UmaskScope {
public:
    explicit UmaskScope(mode_t mask) : previous_(::umask(mask)) {}
    ~UmaskScope() { ::umask(previous_); }
    UmaskScope(const UmaskScope&) = delete;
    UmaskScope& operator=(const UmaskScope&) = delete;

private:
    mode_t previous_;
};

} // namespace copytest
