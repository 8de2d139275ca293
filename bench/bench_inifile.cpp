// Times single IniFile operations on a 10,000-line file (1,000 sections of a head and nine keys),
// each a full read, search, change and safe rewrite of the file.
#include "BenchTiming.h"
#include "storage/IniFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using bench::measure;
using bench::Stats;

namespace {

constexpr int kSections = 1000;
constexpr int kKeysPerSection = 9;

std::string buildFile() {
    std::string content;
    for (int s = 0; s < kSections; ++s) {
        content += "[Sicherung " + std::to_string(s) + "]\r\n";
        for (int k = 0; k < kKeysPerSection; ++k)
            content += "von_" + std::to_string(k) + "=/home/anna/Dokumente/Projekt " + std::to_string(s) + "\r\n";
    }
    return content;
}

void writeFile(const char* name, const std::string& content) {
    FILE* f = std::fopen(name, "wb");
    if (!f || std::fwrite(content.data(), 1, content.size(), f) != content.size() || std::fclose(f) != 0) {
        std::perror(name);
        std::exit(1);
    }
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    const std::string folder = bench::enterWorkFolder();

    const std::string content = buildFile();
    const char* name = "bench.ini";
    writeFile(name, content);
    const WString lastSection = WString::format("[Sicherung %d]", kSections - 1);
    IniFile ini;

    std::printf("IniFile on %d lines (%zu bytes) in %s, %d runs each\n\n", kSections * (1 + kKeysPerSection),
                content.size(), folder.c_str(), runs);
    std::printf("%-34s %10s %10s %10s\n", "operation", "median ms", "min ms", "max ms");

    const auto report = [](const char* what, Stats s) {
        std::printf("%-34s %10.3f %10.3f %10.3f\n", what, s.median, s.min, s.max);
    };
    const auto nothing = [] {};
    const auto restore = [&] { writeFile(name, content); };

    WString value;
    report("ReadKey (key in last section)",
           measure(runs, nothing, [&] { value = ini.ReadKey(name, lastSection, "von_8="); }));
    if (value != "/home/anna/Dokumente/Projekt 999") {
        std::fprintf(stderr, "unexpected value: %s\n", value.c_str());
        return 1;
    }
    report("WriteKey (replace value)", measure(runs, restore, [&] { ini.WriteKey(name, lastSection, "von_8=/neu"); }));
    report("WriteKey (insert new key)", measure(runs, restore, [&] { ini.WriteKey(name, lastSection, "nach=/ziel"); }));
    report("WriteKey (append new section)", measure(runs, restore, [&] { ini.WriteKey(name, "[Neu]", "zeit=12:00"); }));
    report("DeleteKey (key in last section)",
           measure(runs, restore, [&] { ini.DeleteKey(name, lastSection, "von_0="); }));

    fs::current_path(fs::temp_directory_path());
    fs::remove_all(folder);
    std::printf("\nWrites include fsync of the file and its folder, so they depend on the disk.\n");
    return 0;
}
