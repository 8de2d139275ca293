#include "storage/JobCatalogue.h"

#include "storage/IniDocument.h"
#include "storage/ProgramTexts.h"

namespace {

using ProgramTexts::CatalogueFile;
using ProgramTexts::NameFile;

const char* const kNames = "[SICHERUNG]";
// A hand-edited "wert=" can claim any number; entries past the real names are empty anyway, so
// the schedule stops here rather than filling memory with them.
constexpr int kMaxScheduleEntries = 100'000;
const char* const kCount = "[NUMMER]";

WString sectionOf(const WString& name) {
    return "[" + name + "]";
}
WString nameKey(int i) {
    return WString::format("name_%d=", i);
}
WString sourceKey(int i) {
    return WString::format("von_%d=", i);
}

// Number of the name entry that equals name, searching up to the first empty entry; 0 if none.
int findName(IniDocument& names, const WString& name) {
    for (int i = 1;; ++i) {
        const WString entry = names.ReadKey(kNames, nameKey(i));
        if (entry.isEmpty())
            return 0;
        if (entry == name)
            return i;
    }
}

// How many name entries there are before the first empty one.
int namedCount(IniDocument& names) {
    int i = 0;
    while (!names.ReadKey(kNames, nameKey(i + 1)).isEmpty())
        ++i;
    return i;
}

// Deletes "von_0=", "von_1=" ... until one is not there.
void deleteSources(IniDocument& catalogue, const WString& section) {
    for (int i = 0; !catalogue.DeleteKey(section, sourceKey(i)); ++i) {
    }
}

// The first refusal among the steps of one operation; once there is one, the operation writes
// nothing.
class Steps {
public:
    void operator+=(WriteResult step) {
        if (first_.ok && !step.ok)
            first_ = std::move(step);
    }
    const WriteResult& result() const { return first_; }

private:
    WriteResult first_;
};

// Renames the section and, when editedJobName is in the name list, its name entry; false when it
// is not there.
bool renameIn(IniDocument& catalogue, IniDocument& names, const WString& newName, WString& editedJobName,
              Steps& steps) {
    steps += catalogue.RenameSection(sectionOf(editedJobName), sectionOf(newName));
    const int i = findName(names, editedJobName);
    if (i == 0)
        return false;
    steps += names.WriteKey(kNames, nameKey(i) + newName);
    editedJobName = newName;
    return true;
}

// Writes both files together once every step was accepted; the caller's state follows only then.
WriteResult commitBoth(IniDocument& first, IniDocument& second, const Steps& steps, bool nameFound) {
    WriteResult result = steps.result().ok ? IniDocument::CommitTogether({&first, &second}) : steps.result();
    result.nameFound = nameFound;
    return result;
}

} // namespace

int JobCatalogue::ReadJobCount() const {
    return IniDocument(NameFile).ReadKey(kCount, "wert=").toInt();
}

std::vector<WString> JobCatalogue::ReadJobNames(const StopRequested& stop) const {
    IniDocument names(NameFile);
    std::vector<WString> result;
    for (int i = 1; !(stop && stop()); ++i) {
        WString name = names.ReadKey(kNames, nameKey(i));
        if (name.isEmpty())
            return result;
        result.push_back(std::move(name));
    }
    return result;
}

bool JobCatalogue::IsNameTaken(const WString& name) const {
    IniDocument names(NameFile);
    // A section left without a name entry counts too: a new job of that name would take over
    // its keys.
    return findName(names, name) != 0 || IniDocument(CatalogueFile).HasSection(sectionOf(name));
}

BackupJob JobCatalogue::LoadJob(const WString& name) const {
    IniDocument catalogue(CatalogueFile);
    const WString section = sectionOf(name);
    BackupJob job;
    job.name = name;
    for (int i = 0;; ++i) {
        WString source = catalogue.ReadKey(section, sourceKey(i));
        if (source.isEmpty())
            break;
        job.sources.push_back(std::move(source));
    }
    job.destination = catalogue.ReadKey(section, "nach=");
    job.day = catalogue.ReadKey(section, "wann=");
    job.time = catalogue.ReadKey(section, "zeit=");
    job.active = catalogue.ReadKey(section, "aktiv=") == "ja";
    return job;
}

WriteResult JobCatalogue::SaveJob(const BackupJob& job, bool isNew, int& jobCount, WString& editedJobName) {
    IniDocument names(NameFile);
    IniDocument catalogue(CatalogueFile);
    const WString section = sectionOf(job.name);
    int count = jobCount;
    WString edited = editedJobName;
    Steps steps;
    if (isNew) {
        // A hand-edited count below the names there are would overwrite a name entry.
        const int named = namedCount(names);
        if (count < named)
            count = named;
        ++count;
        steps += names.WriteKey(kNames, nameKey(count) + job.name);
        steps += names.WriteKey(kCount, WString::format("wert=%d", count));
    } else {
        renameIn(catalogue, names, job.name, edited, steps);
        deleteSources(catalogue, section);
    }
    // New keys go directly under the head, so writing in reverse leaves the file's usual order:
    // von_0 .. von_n, nach, wann, zeit, aktiv.
    steps += catalogue.WriteKey(section, WString("aktiv=") + (job.active ? "ja" : "nein"));
    steps += catalogue.WriteKey(section, "zeit=" + job.time);
    steps += catalogue.WriteKey(section, "wann=" + job.day);
    steps += catalogue.WriteKey(section, "nach=" + job.destination);
    for (int i = static_cast<int>(job.sources.size()) - 1; i >= 0; --i)
        steps += catalogue.WriteKey(section, sourceKey(i) + job.sources[static_cast<std::size_t>(i)]);
    WriteResult result = commitBoth(names, catalogue, steps, true);
    if (result) {
        jobCount = count;
        editedJobName = edited;
    }
    return result;
}

WriteResult JobCatalogue::RenameJob(const WString& newName, WString& editedJobName) {
    IniDocument catalogue(CatalogueFile);
    IniDocument names(NameFile);
    WString edited = editedJobName;
    Steps steps;
    const bool nameFound = renameIn(catalogue, names, newName, edited, steps);
    WriteResult result = commitBoth(catalogue, names, steps, nameFound);
    if (result)
        editedJobName = edited;
    return result;
}

WriteResult JobCatalogue::DeleteJob(const WString& name, int jobCount) {
    IniDocument catalogue(CatalogueFile);
    IniDocument names(NameFile);
    const WString section = sectionOf(name);
    Steps steps;
    deleteSources(catalogue, section);
    for (const char* key : {"nach=", "zeit=", "wann=", "aktiv="})
        catalogue.DeleteKey(section, key);
    // The blank line that separated the section goes with it. (For the file's last section that is
    // the line above its head: removing the final empty line instead would leave one more blank
    // line at the end of the file each time.)
    catalogue.DeleteSeparator(section);
    catalogue.DeleteSectionHead(section);

    // Searched before the count is written: a name that is not there must not shrink the count,
    // or the last job would drop out of the schedule.
    const int j = findName(names, name);
    if (j != 0) {
        steps += names.WriteKey(kCount, WString::format("wert=%d", jobCount - 1));
        names.DeleteKey(kNames, nameKey(j));
        for (int k = j + 1;; ++k) {
            const WString next = names.ReadKey(kNames, nameKey(k));
            if (next.isEmpty()) {
                names.DeleteKey(kNames, nameKey(k - 1));
                break;
            }
            steps += names.WriteKey(kNames, nameKey(k - 1) + next);
        }
    }
    return commitBoth(catalogue, names, steps, j != 0);
}

std::vector<ScheduleEntry> JobCatalogue::LoadSchedule(int jobCount, const StopRequested& stop) const {
    IniDocument names(NameFile);
    IniDocument catalogue(CatalogueFile);
    std::vector<ScheduleEntry> entries;
    const int count = jobCount < kMaxScheduleEntries ? jobCount : kMaxScheduleEntries;
    entries.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
    for (int i = 1; i <= count && !(stop && stop()); ++i) {
        ScheduleEntry entry;
        entry.name = names.ReadKey(kNames, nameKey(i));
        if (!entry.name.isEmpty()) {
            const WString section = sectionOf(entry.name);
            entry.day = catalogue.ReadKey(section, "wann=");
            entry.time = catalogue.ReadKey(section, "zeit=");
            entry.active = catalogue.ReadKey(section, "aktiv=");
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}
