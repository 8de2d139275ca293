// Fuzz target for loading hand-edited data files: everything start-up and the overview read.
//
// Input: the bytes of "savename.ini", "save.ini", "Einstellung.ini" and "save.log" in this order,
// separated by "\n--8<--\n"; files past the input's last part are missing.
//
// Properties: no crash, leak, undefined behaviour or hang; loading writes nothing (every file
// keeps its bytes and is not even rewritten, a missing one stays missing, no other file appears);
// the first listed names and the first section heads of "save.ini" are taken and load as jobs of
// that name; the schedule has one entry per counted job and agrees with the name list and the
// loaded jobs; the settings readers agree with each other; every log line fits one read.

#include "fuzz/FuzzSupport.h"
#include "log/BackupLog.h"
#include "storage/JobCatalogue.h"
#include "storage/ProgramSettings.h"
#include "storage/ProgramTexts.h"
#include "storage/TextFileReader.h"
#include "toolkit/core/WString.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::array<const char*, 4> kFiles = {ProgramTexts::NameFile, ProgramTexts::CatalogueFile,
                                               ProgramTexts::SettingsFile, ProgramTexts::LogFile};
// Bounds per input, so that a file with thousands of names or an absurd count stays fast.
constexpr int kMaxScheduleCount = 300;
constexpr std::size_t kMaxJobsLoaded = 2;

std::string shown(const WString& text) {
    return fuzz::Shown(text.bytes());
}

BackupJob checkJob(const JobCatalogue& catalogue, const WString& name, const char* whence) {
    FUZZ_CHECK(catalogue.IsNameTaken(name), std::string(whence) + " is taken: " + shown(name));
    BackupJob job = catalogue.LoadJob(name);
    FUZZ_CHECK(job.name == name, "a loaded job keeps its name: " + shown(name));
    for (const WString& source : job.sources)
        FUZZ_CHECK(!source.isEmpty(), "sources end at the first empty one: " + shown(name));
    return job;
}

void checkCatalogue(std::string_view catalogueBytes) {
    const JobCatalogue catalogue;
    const int count = catalogue.ReadJobCount();
    const std::vector<WString> names = catalogue.ReadJobNames();
    for (const WString& name : names)
        FUZZ_CHECK(!name.isEmpty(), "the name list ends at the first empty name");

    std::vector<BackupJob> jobs;
    for (std::size_t i = 0; i < names.size() && i < kMaxJobsLoaded; ++i)
        jobs.push_back(checkJob(catalogue, names[i], "a listed name"));
    // A section head without a name entry is taken too, or a new job would take over its keys.
    std::size_t heads = 0;
    for (const WString& line : TextFileReader::SplitReads(catalogueBytes)) {
        if (heads == kMaxJobsLoaded)
            break;
        if (line.length() >= 2 && line.at(0) == '[' && line.at(line.length() - 1) == ']') {
            checkJob(catalogue, line.mid(1, line.length() - 2), "a section head's name");
            ++heads;
        }
    }

    const int asked = std::clamp(count, -2, kMaxScheduleCount);
    const std::vector<ScheduleEntry> schedule = catalogue.LoadSchedule(asked);
    FUZZ_CHECK(schedule.size() == static_cast<std::size_t>(std::max(asked, 0)),
               "one schedule entry per counted job; count " + std::to_string(asked) + ", entries " +
                   std::to_string(schedule.size()));
    for (std::size_t i = 0; i < schedule.size() && i < jobs.size(); ++i) {
        const ScheduleEntry& entry = schedule[i];
        const BackupJob& job = jobs[i];
        FUZZ_CHECK(entry.name == job.name, "schedule entry " + std::to_string(i + 1) + " is name " +
                                               std::to_string(i + 1) + ": " + shown(entry.name) + " vs " +
                                               shown(job.name));
        FUZZ_CHECK(entry.day == job.day && entry.time == job.time && (entry.active == "ja") == job.active,
                   "the schedule and the loaded job agree: " + shown(job.name));
    }
}

void checkSettings() {
    const bool overwrite = ProgramSettings::OverwriteCopies();
    const int startMode = ProgramSettings::StartMode();
    const bool effects = ProgramSettings::EffectsOn();
    const WString path = ProgramSettings::Path();
    const ProgramSettings::Marks marks = ProgramSettings::ReadMarks();
    // "1" is a number other than 0; any other "status=" reads the same in both.
    FUZZ_CHECK(!overwrite || marks.overwrite, "overwriting copies shows as a mark");
    FUZZ_CHECK((startMode != 0) == marks.startHidden, "the start mode and its mark agree");
    FUZZ_CHECK(!effects || marks.effects, "effects on shows as a mark");
    FUZZ_CHECK(path.length() <= TextFileReader::kMaxLine, "a path comes from one read");
}

void checkLog() {
    for (const WString& line : BackupLog::ReadLines()) {
        FUZZ_CHECK(line.length() <= TextFileReader::kMaxLine && line.find('\n') == WString::npos,
                   "a log line is one read: " + shown(line));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> parts =
        fuzz::SplitParts(std::string_view(reinterpret_cast<const char*>(data), size), kFiles.size());
    fuzz::ClearWorkFolder();
    std::vector<std::string> present;
    std::array<std::optional<fuzz::FileIdentity>, kFiles.size()> identities;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        fuzz::WriteFile(kFiles[i], parts[i]);
        present.emplace_back(kFiles[i]);
        identities[i] = fuzz::IdentityOf(kFiles[i]);
    }
    std::sort(present.begin(), present.end());

    checkCatalogue(parts.size() > 1 ? parts[1] : std::string_view());
    checkSettings();
    checkLog();

    // Loading writes nothing: the user's hand edits stay byte for byte, and no file is even
    // rewritten with the same bytes (a safe save gives it a new inode).
    for (std::size_t i = 0; i < kFiles.size(); ++i) {
        FUZZ_CHECK(fuzz::IdentityOf(kFiles[i]) == identities[i], std::string(kFiles[i]) + " is not rewritten");
        const std::optional<std::string> now = fuzz::ReadFile(kFiles[i]);
        const std::optional<std::string> before =
            i < parts.size() ? std::optional<std::string>(std::string(parts[i])) : std::nullopt;
        FUZZ_CHECK(now == before, std::string(kFiles[i]) + " keeps its bytes: " + fuzz::ShownFile(before) + " became " +
                                      fuzz::ShownFile(now));
    }
    FUZZ_CHECK(fuzz::FolderEntries() == present, "loading creates no file");
    return 0;
}
