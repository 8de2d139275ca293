// Times trimming "save.log" of about 1 MB (some 13,000 entries) down to its 4200 bytes: one read,
// the trimming, one safe rewrite.
#include "BenchTiming.h"
#include "log/BackupLog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using bench::readFile;
using bench::writeFile;

namespace {

constexpr double kTargetMs = 100;

// Entries as the program writes them, one a second, oldest first.
std::vector<std::string> buildEntries(std::size_t bytes) {
    std::vector<std::string> entries;
    std::size_t size = 0;
    for (int i = 0; size < bytes; ++i) {
        char head[32];
        std::snprintf(head, sizeof head, "[05.12.2026 %02d:%02d:%02d]", i / 3600 % 24, i / 60 % 60, i % 60);
        entries.push_back(std::string(head) + "\r\nSicherung=gestartet\r\nName=Sicherung " + std::to_string(i % 97) +
                          "\r\nVerlauf=" + (i % 5 ? "ok" : "error") + "\r\n");
        size += entries.back().size() + 2;
    }
    return entries;
}

std::string join(std::vector<std::string>::const_iterator from, std::vector<std::string>::const_iterator to) {
    std::string bytes;
    for (auto it = from; it != to; ++it)
        bytes += (bytes.empty() ? "" : "\r\n") + *it;
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const std::size_t kilobytes = argc > 2 ? static_cast<std::size_t>(std::max(5, std::atoi(argv[2]))) : 1024;
    const std::string folder = bench::enterWorkFolder();

    const std::vector<std::string> entries = buildEntries(kilobytes * 1024);
    const std::string pristine = join(entries.begin(), entries.end());
    // The newest entries that fit: the oldest go one by one (with the empty line below) while the
    // file is over the limit.
    auto first = entries.begin();
    for (std::size_t size = pristine.size(); size > static_cast<std::size_t>(BackupLog::kMaxBytes); ++first)
        size -= first->size() + 2;
    const std::string expected = join(first, entries.end());

    std::printf("save.log of %zu entries (%zu bytes) in %s, %d runs\n\n", entries.size(), pristine.size(),
                folder.c_str(), runs);
    const bench::Stats s = bench::measure(
        runs, [&] { writeFile("save.log", pristine); }, [] { BackupLog::Trim(); });
    if (readFile("save.log") != expected) {
        std::fprintf(stderr, "bench_log: the trimmed log is not its newest %zu entries\n",
                     static_cast<std::size_t>(entries.end() - first));
        return 1;
    }
    const bool within = s.median < kTargetMs;
    std::printf("%-28s %10s %10s %10s %10s\n", "operation", "median ms", "min ms", "max ms", "target ms");
    std::printf("%-28s %10.2f %10.2f %10.2f %10.0f%s\n", "trim to 4200 bytes", s.median, s.min, s.max, kTargetMs,
                within ? "" : "  OVER");

    fs::current_path(fs::temp_directory_path());
    fs::remove_all(folder);
    std::printf("\nThe rewrite includes fsync of the file and its folder, so it depends on the disk.\n");
    return within ? 0 : 2;
}
