#include "storage/TextFileReader.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TextFileReader::Status TextFileReader::ReadAll(const WString& fileName, std::string& out) {
    // O_NONBLOCK: a FIFO under the file's name must not hang the caller.
    const int fd = ::open(fileName.toUtf8().c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? Status::Missing : Status::Unreadable;
    struct stat st {};
    Status status = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? Status::Ok : Status::Unreadable;
    std::array<char, 65536> buffer;
    while (status == Status::Ok) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n > 0)
            out.append(buffer.data(), static_cast<std::size_t>(n));
        else if (n == 0)
            break;
        else if (errno != EINTR)
            status = Status::Unreadable;
    }
    ::close(fd);
    return status;
}

std::vector<WString> TextFileReader::SplitReads(std::string_view data) {
    std::vector<WString> reads;
    const auto lineEndAt = [&](std::size_t p) {
        return p < data.size() && (data[p] == '\n' || (data[p] == '\r' && p + 1 < data.size() && data[p + 1] == '\n'));
    };
    std::size_t pos = 0;
    while (pos < data.size()) {
        const std::size_t start = pos;
        while (pos < data.size() && pos - start < kMaxLine && !lineEndAt(pos))
            ++pos;
        reads.push_back(WString::fromBytes(data.substr(start, pos - start)));
        if (lineEndAt(pos))
            pos += data[pos] == '\r' ? 2 : 1;
    }
    return reads;
}

std::vector<WString> TextFileReader::LoadedLines(std::string_view data) {
    std::vector<WString> lines = SplitReads(data);
    if (!lines.empty() && lines.front().isEmpty())
        lines.erase(lines.begin());
    if (!data.empty())
        lines.emplace_back();
    return lines;
}
