#pragma once

// What the C++ benchmarks share: timing an operation many times, a fresh work folder, whole files.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace bench {

struct Stats {
    double median, min, max;
};

// Runs op `runs` times; prepare (untimed) restores the files before each run. Milliseconds.
inline Stats measure(int runs, const std::function<void()>& prepare, const std::function<void()>& op) {
    using Clock = std::chrono::steady_clock;
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        prepare();
        const auto start = Clock::now();
        op();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    const double median = ms.size() % 2 ? ms[ms.size() / 2] : (ms[ms.size() / 2 - 1] + ms[ms.size() / 2]) / 2;
    return {median, ms.front(), ms.back()};
}

// Makes a fresh folder under $TMPDIR (or /tmp) the current directory and returns its path.
inline std::string enterWorkFolder() {
    std::string folder = (std::filesystem::temp_directory_path() / "morlanz-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data())) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    std::filesystem::current_path(folder);
    return folder;
}

inline std::string readFile(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Ends the benchmark when the file cannot be written: timings on missing data would mislead.
inline void writeFile(const char* name, const std::string& content) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out.flush()) {
        std::perror(name);
        std::exit(1);
    }
}

} // namespace bench
