// morlanz_copy <source> <destination folder> [--overwrite|--keep]: one FileCopy call, for
// comparing the copy engine with other tools. Exit status 0 when the copy succeeded.
#include "toolkit/core/FileCopy.h"

#include <cstdio>
#include <cstring>
#include <optional>

namespace {

// Takes the reports as the program's progress window does, so the engine does the same work.
class Progress : public CopyObserver {
public:
    void progress(const CopyProgress& p) override { last = p; }
    CopyProgress last;
};

} // namespace

int main(int argc, char** argv) {
    unsigned flags = CopyFlags::KeepCopies; // the program's default: never replaces a copy
    if (argc == 4 && std::strcmp(argv[3], "--overwrite") == 0)
        flags = CopyFlags::Overwrite;
    else if (argc != 3 && !(argc == 4 && std::strcmp(argv[3], "--keep") == 0)) {
        std::fprintf(stderr, "usage: morlanz_copy <source> <destination folder> [--overwrite|--keep]\n");
        return 2;
    }
    const std::optional<WString> source = WString::fromUtf8(argv[1]);
    const std::optional<WString> destination = WString::fromUtf8(argv[2]);
    if (!source || !destination) {
        std::fprintf(stderr, "morlanz_copy: a path holds characters outside Windows-1252\n");
        return 2;
    }
    Progress progress;
    const CopyResult r = FileCopy(WFilePath(*source), WFilePath(*destination), flags, &progress);
    if (!r.ok) {
        std::fprintf(stderr, "morlanz_copy: %s: %s\n", r.path.c_str(), r.message.c_str());
        return 1;
    }
    return 0;
}
