#include "toolkit/core/FileCopy.h"

#include "toolkit/core/CopyNames.h"
#include "toolkit/core/CopyRun.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdio.h>

using copynames::nameOf;

namespace {

std::atomic<CopyWriter*> g_writer{nullptr};

} // namespace

CopyWriter::~CopyWriter() = default;

int CopyWriter::rename(const char* from, const char* to, unsigned flags) {
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, flags);
}

void CopyWriter::install(CopyWriter* writer) {
    g_writer.store(writer);
}

CopyWriter* CopyWriter::installed() {
    return g_writer.load();
}

CopyResult FileCopy(const WFilePath& source, const WFilePath& destination, unsigned flags, CopyObserver* observer) {
    CopyResult result;
    if (destination.isEmpty()) {
        result = {false, "", "kein Zielordner angegeben"};
        return result;
    }
    if (source.isEmpty()) {
        result = {false, "", "keine Quelle angegeben"};
        return result;
    }
    std::string src = source.normalized().toUtf8();
    const std::string dst = destination.normalized().toUtf8();
    // "Projekt/." or "Projekt/unter/..": the copy takes the folder's own name; "." or ".." as the
    // name would put it into the destination itself or above it.
    if (const std::string last = nameOf(src); last == "." || last == "..") {
        char* real = ::realpath(src.c_str(), nullptr);
        if (!real)
            return {false, src, std::strerror(errno)};
        src = real;
        std::free(real);
    }
    if (nameOf(src).empty() || src == "/") {
        result = {false, src, "keine Quelle angegeben"};
        return result;
    }
    CopyRun run((flags & CopyFlags::RenameOnCollision) == 0, observer, g_writer.load());
    if (!run.run(src, dst)) {
        result.ok = false;
        result.path = run.failedPath;
        result.message = run.failureMessage;
    }
    return result;
}
