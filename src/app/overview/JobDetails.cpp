#include "app/overview/JobDetails.h"

#include "storage/IniDocument.h"
#include "storage/ProgramTexts.h"

#include <dirent.h>
#include <sys/stat.h>

namespace {

// Opens the folder as a listing and reads one entry.
bool listsAnEntry(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return false;
    const bool found = ::readdir(dir) != nullptr;
    ::closedir(dir);
    return found;
}

} // namespace

JobDetails JobDetails::Build(const WString& name) {
    IniDocument catalogue(ProgramTexts::CatalogueFile);
    const WString section = "[" + name + "]";
    JobDetails d;
    d.header = "Sicherungsname: " + name + "\n\n";
    for (int i = 0;; ++i) {
        const WString source = catalogue.ReadKey(section, WString::format("von_%d=", i));
        if (source.isEmpty())
            break;
        d.details += "von: " + source + "\n";
        if (!PathExists(source))
            d.missing += "von: " + source + "\n";
    }
    const WString target = catalogue.ReadKey(section, "nach=");
    d.details += "\nnach: " + target + "\n\n";
    if (!PathExists(target))
        d.missing += "\n\nnach: " + target;
    d.details += "wann: " + catalogue.ReadKey(section, "wann=") + "\n";
    d.details += "Zeit: " + catalogue.ReadKey(section, "zeit=") + "\n";
    d.details += "aktiv: " + catalogue.ReadKey(section, "aktiv=") + "\n";
    return d;
}

WString JobDetails::MissingPathsMessage(const WString& name) const {
    return "Pfad existiert nicht\noder Netzlaufwerk ist nicht verbunden !\n\nSicherungsname: " + name + "\n\n" +
           missing;
}

bool PathExists(const WString& path) {
    if (path.isEmpty())
        return false;
    const std::string p = path.toUtf8();
    const char last = p.back();
    if (last == '/' || last == '\\' || last == '.')
        return listsAnEntry(p);
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0)
        return false;
    return !S_ISDIR(st.st_mode) || listsAnEntry(p);
}
