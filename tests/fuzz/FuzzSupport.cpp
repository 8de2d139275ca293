#include "fuzz/FuzzSupport.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace fuzz {

namespace {

fs::path g_workFolder;
// The rewritten command line must outlive libFuzzer's use of it.
std::vector<std::string> g_args;
std::vector<char*> g_argv;

std::string absoluteFrom(const fs::path& base, std::string_view path) {
    if (path.empty() || fs::path(path).is_absolute())
        return std::string(path);
    return (base / path).string();
}

// libFuzzer's flags that name files or folders.
constexpr std::array<std::string_view, 7> kPathFlags = {
    "-artifact_prefix=", "-exact_artifact_path=", "-dict=",           "-merge_control_file=",
    "-features_dir=",    "-mutation_graph_file=", "-data_flow_trace="};

std::string absoluteArgument(const fs::path& base, const std::string& arg) {
    if (!arg.starts_with('-'))
        return absoluteFrom(base, arg); // a corpus folder or an input file
    for (std::string_view flag : kPathFlags) {
        if (arg.starts_with(flag))
            return std::string(flag) + absoluteFrom(base, std::string_view(arg).substr(flag.size()));
    }
    constexpr std::string_view seeds = "-seed_inputs=";
    if (arg.starts_with(seeds)) {
        std::string list = arg.substr(seeds.size());
        if (list.starts_with('@'))
            return std::string(seeds) + "@" + absoluteFrom(base, std::string_view(list).substr(1));
        std::string result(seeds);
        for (std::size_t start = 0; start <= list.size();) {
            const std::size_t comma = std::min(list.find(',', start), list.size());
            result += absoluteFrom(base, std::string_view(list).substr(start, comma - start));
            if (comma < list.size())
                result += ',';
            start = comma + 1;
        }
        return result;
    }
    return arg;
}

fs::path temporaryBase() {
    // The program syncs every file it saves; on tmpfs that is free, on a disk it would dominate.
    const fs::path shm = "/dev/shm";
    std::error_code ec;
    if (fs::is_directory(shm, ec) && ::access(shm.c_str(), W_OK | X_OK) == 0)
        return shm;
    return fs::temp_directory_path();
}

void removeWorkFolder() {
    std::error_code ec;
    if (!g_workFolder.empty())
        fs::remove_all(g_workFolder, ec);
}

} // namespace

void EnterWorkFolder(int* argc, char*** argv) {
    const fs::path start = fs::current_path();
    bool hasArtifactPrefix = false;
    g_args.emplace_back((*argv)[0]); // libFuzzer insists that argv[0] stays as it was
    for (int i = 1; i < *argc; ++i) {
        const std::string arg = (*argv)[i];
        hasArtifactPrefix = hasArtifactPrefix || arg.starts_with("-artifact_prefix=");
        g_args.push_back(absoluteArgument(start, arg));
    }
    if (!hasArtifactPrefix)
        g_args.push_back("-artifact_prefix=" + (start / "").string());
    for (std::string& arg : g_args)
        g_argv.push_back(arg.data());
    g_argv.push_back(nullptr);
    *argc = static_cast<int>(g_args.size());
    *argv = g_argv.data();

    std::string pattern = (temporaryBase() / "morlanz-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed for " + pattern);
    g_workFolder = pattern;
    fs::current_path(g_workFolder);
    std::atexit(removeWorkFolder);
}

void ClearWorkFolder() {
    for (const auto& entry : fs::directory_iterator(g_workFolder))
        fs::remove_all(entry.path());
}

std::optional<std::string> ReadFile(const char* name) {
    const int fd = ::open(name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        throw std::runtime_error(std::string("cannot open ") + name);
    }
    std::string bytes;
    std::array<char, 8192> buffer;
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n > 0) {
            bytes.append(buffer.data(), static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(fd);
    return bytes;
}

void WriteFile(const char* name, std::string_view bytes) {
    const int fd = ::open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::runtime_error(std::string("cannot create ") + name);
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw std::runtime_error(std::string("cannot write ") + name);
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    ::close(fd);
}

std::optional<FileIdentity> IdentityOf(const char* name) {
    struct stat st {};
    if (::stat(name, &st) != 0) {
        if (errno == ENOENT)
            return std::nullopt;
        throw std::runtime_error(std::string("cannot stat ") + name);
    }
    return FileIdentity{st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

std::vector<std::string> FolderEntries() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(g_workFolder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string_view> SplitParts(std::string_view data, std::size_t maxParts) {
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < maxParts) {
        const std::size_t at = data.find(kPartSeparator);
        if (at == std::string_view::npos)
            break;
        parts.push_back(data.substr(0, at));
        data.remove_prefix(at + kPartSeparator.size());
    }
    parts.push_back(data);
    return parts;
}

std::string Shown(std::string_view bytes) {
    std::string text = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            text += "\\r";
        } else if (c == '\n') {
            text += "\\n";
        } else if (c == '"' || c == '\\') {
            text += '\\';
            text += c;
        } else if (byte < 0x20 || byte >= 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            text += hex;
        } else {
            text += c;
        }
    }
    return text + "\"";
}

std::string ShownFile(const std::optional<std::string>& bytes) {
    return bytes ? Shown(*bytes) : std::string("(no file)");
}

void Fail(const char* file, int line, const char* condition, const std::string& detail) {
    std::fprintf(stderr, "\n%s:%d: property broken: %s\n%s\n", file, line, condition, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

} // namespace fuzz

// Every target starts in its own private folder.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::EnterWorkFolder(argc, argv);
    return 0;
}
