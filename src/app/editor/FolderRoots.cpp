#include "app/editor/FolderRoots.h"

#include "toolkit/core/Cp1252.h"
#include "toolkit/core/WFilePath.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

// The length of the UTF-8 sequence at s[i], or 0 when it is malformed.
std::size_t sequenceLength(std::string_view s, std::size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t n = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
            return 0;
    }
    return n;
}

// /proc/self/mounts writes blanks, tabs, line breaks and backslashes as octal escapes.
std::string unescapeMountPoint(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && std::isdigit(static_cast<unsigned char>(field[i + 1])) &&
            std::isdigit(static_cast<unsigned char>(field[i + 2])) &&
            std::isdigit(static_cast<unsigned char>(field[i + 3]))) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

bool isVolumeMountPoint(std::string_view point) {
    for (std::string_view base : {"/media/", "/run/media/", "/mnt/"}) {
        if (point.size() > base.size() && point.substr(0, base.size()) == base)
            return true;
    }
    return point == "/mnt";
}

std::string sortKey(std::string_view name) {
    std::string key(name);
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return key;
}

WString homeFolder() {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* pw = ::getpwuid(::getuid());
        home = pw ? pw->pw_dir : nullptr;
    }
    if (!home || !*home)
        return {};
    bool holdable = true;
    const WString text = FolderRoots::NameText(home, holdable);
    return holdable ? FolderRoots::NormalizePath(text) : WString();
}

} // namespace

WString FolderRoots::NameText(std::string_view utf8, bool& holdable) {
    holdable = true;
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n = sequenceLength(utf8, i);
        if (n == 0) {
            holdable = false;
            out += '?';
            ++i;
            continue;
        }
        if (n == 1) {
            out += utf8[i];
        } else if (const auto bytes = cp1252::fromUtf8(utf8.substr(i, n))) {
            out += *bytes;
        } else {
            holdable = false;
            out += '?';
        }
        i += n;
    }
    return WString::fromBytes(out);
}

std::vector<WString> FolderRoots::RootsFrom(std::string_view mountTable, const WString& home,
                                            const std::function<bool(const WString&)>& listable) {
    std::vector<WString> roots{"/"};
    if (!home.isEmpty())
        roots.push_back(home);
    std::istringstream lines{std::string(mountTable)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, point;
        if (!(fields >> device >> point))
            continue;
        const std::string path = unescapeMountPoint(point);
        if (!isVolumeMountPoint(path))
            continue;
        bool holdable = true;
        const WString text = NormalizePath(NameText(path, holdable));
        if (holdable && (!listable || listable(text)))
            roots.push_back(text);
    }
    std::sort(roots.begin(), roots.end(),
              [](const WString& a, const WString& b) { return sortKey(a.bytes()) < sortKey(b.bytes()); });
    roots.erase(std::unique(roots.begin(), roots.end()), roots.end());
    return roots;
}

std::vector<WString> FolderRoots::Roots() {
    std::ifstream in("/proc/self/mounts");
    std::stringstream table;
    table << in.rdbuf();
    return RootsFrom(table.str(), homeFolder(), &ListsAnything);
}

std::vector<FolderRoots::Entry> FolderRoots::List(const WString& folder) {
    std::vector<Entry> entries;
    const std::string path = folder.isEmpty() ? std::string() : folder.toUtf8();
    DirHandle dir(path.empty() ? nullptr : ::opendir(path.c_str()));
    if (!dir)
        return entries;
    struct Raw {
        std::string key, name;
        bool folder;
    };
    std::vector<Raw> raw;
    const int fd = ::dirfd(dir.get());
    while (const dirent* e = ::readdir(dir.get())) {
        const std::string_view name(e->d_name);
        if (name == "." || name == "..")
            continue;
        bool isFolder = e->d_type == DT_DIR;
        // Links and file systems that give no type need a look at the entry itself.
        if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
            struct stat st {};
            isFolder = ::fstatat(fd, e->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        raw.push_back({sortKey(name), std::string(name), isFolder});
    }
    std::sort(raw.begin(), raw.end(),
              [](const Raw& a, const Raw& b) { return a.key != b.key ? a.key < b.key : a.name < b.name; });
    entries.reserve(raw.size());
    for (const Raw& r : raw) {
        Entry entry;
        entry.name = NameText(r.name, entry.holdable);
        entry.folder = r.folder;
        entries.push_back(std::move(entry));
    }
    return entries;
}

WString FolderRoots::NormalizePath(const WString& path) {
    return WFilePath(path).normalized().text();
}

bool FolderRoots::IsFolder(const WString& path) {
    struct stat st {};
    return !path.isEmpty() && ::stat(path.toUtf8().c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FolderRoots::ListsAnything(const WString& path) {
    DirHandle dir(path.isEmpty() ? nullptr : ::opendir(path.toUtf8().c_str()));
    if (!dir)
        return false;
    while (const dirent* e = ::readdir(dir.get())) {
        const std::string_view name(e->d_name);
        if (name != "." && name != "..")
            return true;
    }
    return false;
}
