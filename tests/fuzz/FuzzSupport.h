#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Shared by the fuzz targets: a private working folder, whole-file helpers and the input's parts.
namespace fuzz {

// Called by LLVMFuzzerInitialize, which this library defines for every target: makes a fresh temporary folder the
// current directory (on tmpfs when there is one, so the program's fsync calls cost nothing) and removes it at a normal
// exit. libFuzzer reads its paths only after this call, so relative paths on the command line are made absolute first,
// and crash files go to the starting folder unless -artifact_prefix says otherwise.
void EnterWorkFolder(int* argc, char*** argv);

// Removes every entry of the working folder, so each input starts from an empty folder.
void ClearWorkFolder();

// The file's bytes; nullopt when there is no such file.
std::optional<std::string> ReadFile(const char* name);
void WriteFile(const char* name, std::string_view bytes);

// Tells one version of a file from another without reading it: a safe save replaces the file, so
// it gets a new inode; a write in place changes the size or the modification time.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    bool operator==(const FileIdentity&) const = default;
};
// nullopt when there is no such file.
std::optional<FileIdentity> IdentityOf(const char* name);
// The names in the working folder, sorted.
std::vector<std::string> FolderEntries();

// An input is made of parts separated by this line, so a seed reads like the files it holds.
inline constexpr std::string_view kPartSeparator = "\n--8<--\n";
// At most maxParts parts; the last one keeps any further separators.
std::vector<std::string_view> SplitParts(std::string_view data, std::size_t maxParts);

// Reports a broken property and aborts, which libFuzzer records as a crash with its input.
[[noreturn]] void Fail(const char* file, int line, const char* condition, const std::string& detail);

// Printable form of bytes for failure messages: escapes for control and non-ASCII bytes.
std::string Shown(std::string_view bytes);
std::string ShownFile(const std::optional<std::string>& bytes);

} // namespace fuzz

#define FUZZ_CHECK(condition, detail)                                                                                  \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            ::fuzz::Fail(__FILE__, __LINE__, #condition, (detail));                                                    \
    } while (false)
