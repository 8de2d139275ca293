// Times the job catalogue on 1,000 jobs with 5 sources each: start-up's reads, saving one
// existing job, and deleting the first job (every later name moves down one number); and
// start-up's reads once more on 20,000 jobs.
#include "BenchTiming.h"
#include "storage/JobCatalogue.h"

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
using bench::readFile;
using bench::Stats;
using bench::writeFile;

namespace {

constexpr int kJobs = 1000;
constexpr int kLargeJobs = 20'000;
constexpr int kSources = 5;

WString jobName(int n) {
    return WString::format("Sicherung %04d", n);
}

BackupJob makeJob(int n, const char* variant) {
    BackupJob job;
    job.name = jobName(n);
    for (int i = 0; i < kSources; ++i)
        job.sources.push_back(WString::format("/home/anna/Dokumente/Projekt %d/Teil %d%s", n, i, variant));
    job.destination = WString::format("/media/anna/Sicherung/Projekt %d", n);
    job.day = "Freitag";
    job.time = "18:30";
    job.active = n % 2 == 0;
    return job;
}

std::string sectionOf(const BackupJob& job) {
    std::string s = "[" + job.name.bytes() + "]\r\n";
    for (std::size_t i = 0; i < job.sources.size(); ++i)
        s += "von_" + std::to_string(i) + "=" + job.sources[i].bytes() + "\r\n";
    return s + "nach=" + job.destination.bytes() + "\r\nwann=" + job.day.bytes() + "\r\nzeit=" + job.time.bytes() +
           "\r\naktiv=" + (job.active ? "ja" : "nein") + "\r\n";
}

struct Files {
    std::string names;
    std::string jobs;
};

// The bytes that saving jobs 1..count one after another leaves (checked against SaveJob below).
Files buildFiles(int count) {
    Files f{"[SICHERUNG]\r\n", ""};
    for (int n = count; n >= 1; --n)
        f.names += "name_" + std::to_string(n) + "=" + jobName(n).bytes() + "\r\n";
    f.names += "\r\n[NUMMER]\r\nwert=" + std::to_string(count) + "\r\n";
    for (int n = 1; n <= count; ++n)
        f.jobs += (n > 1 ? "\r\n" : "") + sectionOf(makeJob(n, ""));
    return f;
}

void fail(const char* what) {
    std::fprintf(stderr, "bench_catalogue: %s\n", what);
    std::exit(1);
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const std::string folder = bench::enterWorkFolder();
    JobCatalogue catalogue;

    // Written directly for speed; first proven to be what SaveJob itself writes.
    {
        constexpr int kSample = 12;
        int count = 0;
        WString edited;
        for (int n = 1; n <= kSample; ++n)
            catalogue.SaveJob(makeJob(n, ""), true, count, edited);
        const Files sample = buildFiles(kSample);
        if (readFile("savename.ini") != sample.names || readFile("save.ini") != sample.jobs)
            fail("the prepared files differ from what SaveJob writes");
    }
    const Files pristine = buildFiles(kJobs);
    const auto restore = [&] {
        writeFile("savename.ini", pristine.names);
        writeFile("save.ini", pristine.jobs);
    };
    restore();

    std::printf("Job catalogue of %d jobs with %d sources each (savename.ini %zu bytes, save.ini %zu bytes)\n", kJobs,
                kSources, pristine.names.size(), pristine.jobs.size());
    std::printf("in %s, %d runs each\n\n", folder.c_str(), runs);
    std::printf("%-44s %10s %10s %10s %10s\n", "operation", "median ms", "min ms", "max ms", "target ms");
    bool allWithin = true;
    const auto report = [&](const char* what, Stats s, double target) {
        const bool within = s.median < target;
        allWithin = allWithin && within;
        std::printf("%-44s %10.2f %10.2f %10.2f %10.0f%s\n", what, s.median, s.min, s.max, target,
                    within ? "" : "  OVER");
    };
    const auto nothing = [] {};

    std::size_t shown = 0;
    std::size_t scheduled = 0;
    const auto startUp = [&] {
        const int count = catalogue.ReadJobCount();
        shown = catalogue.ReadJobNames().size();
        scheduled = catalogue.LoadSchedule(count).size();
    };
    report("start-up: count, names, schedule", measure(runs, nothing, startUp), 1000);
    if (shown != kJobs || scheduled != kJobs)
        fail("start-up did not read every job");

    // The last-numbered job: its name search reads every entry, its section ends the file.
    const BackupJob changed = makeJob(kJobs, " neu");
    report("save existing job no. 1000 (5 sources)",
           measure(runs, restore,
                   [&] {
                       int count = kJobs;
                       WString edited = changed.name;
                       catalogue.SaveJob(changed, false, count, edited);
                   }),
           200);
    if (catalogue.LoadJob(changed.name).sources != changed.sources)
        fail("the saved job did not come back");

    report("delete job no. 1 (999 names move)", measure(runs, restore, [&] { catalogue.DeleteJob(jobName(1), kJobs); }),
           200);
    if (catalogue.ReadJobCount() != kJobs - 1 || catalogue.ReadJobNames().front() != jobName(2))
        fail("the delete did not renumber the names");

    const Files large = buildFiles(kLargeJobs);
    writeFile("savename.ini", large.names);
    writeFile("save.ini", large.jobs);
    report("start-up: count, names, schedule (20k jobs)", measure(runs, nothing, startUp), 200);
    if (shown != kLargeJobs || scheduled != kLargeJobs)
        fail("start-up did not read every one of the 20,000 jobs");

    fs::current_path(fs::temp_directory_path());
    fs::remove_all(folder);
    std::printf("\nThe 20,000-job files: savename.ini %zu bytes, save.ini %zu bytes.\n", large.names.size(),
                large.jobs.size());
    std::printf("Writes include fsync of each file and its folder, so they depend on the disk.\n");
    return allWithin ? 0 : 2;
}
