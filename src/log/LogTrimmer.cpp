#include "log/LogTrimmer.h"

#include "storage/TextFileReader.h"

#include <algorithm>
#include <utility>

namespace {

// Follows the skip chain from i to the line it ends at, and points every step on the way there.
int follow(std::vector<int>& skip, int i) {
    int end = i;
    while (skip[static_cast<std::size_t>(end)] != end)
        end = skip[static_cast<std::size_t>(end)];
    while (i != end) {
        const int on = skip[static_cast<std::size_t>(i)];
        skip[static_cast<std::size_t>(i)] = end;
        i = on;
    }
    return end;
}

} // namespace

LogTrimmer::LogTrimmer(std::string_view bytes) {
    std::vector<WString> lines = TextFileReader::LoadedLines(bytes);
    const std::size_t room = lines.size() + 1;
    lines_.reserve(room);
    kinds_.reserve(room);
    for (std::vector<int>& skip : skip_) {
        skip.reserve(room + 1);
        skip.push_back(0);
    }
    skipBack_.reserve(room + 1);
    skipBack_.push_back(0);
    for (WString& line : lines)
        add(std::move(line));
}

void LogTrimmer::add(WString text) {
    Kind kind = Any;
    if (text.isEmpty())
        kind = Empty;
    else if (text.at(0) == '[')
        kind = Head;
    else if (text.bytes().starts_with("Sicherung="))
        kind = Sicherung;
    else if (text.bytes().starts_with("Name="))
        kind = Name;
    else if (text.bytes().starts_with("Verlauf="))
        kind = Verlauf;
    const int line = static_cast<int>(lines_.size());
    added_.push_back(line);
    textBytes_ += text.length();
    ++count_;
    lines_.push_back(std::move(text));
    kinds_.push_back(kind);
    gone_.push_back(false);
    // The old end becomes this line; a new end follows it.
    for (int k = Any; k < kKinds; ++k) {
        std::vector<int>& skip = skip_[k];
        skip[static_cast<std::size_t>(line)] = k == Any || k == kind ? line : line + 1;
        skip.push_back(line + 1);
    }
    skipBack_.push_back(line + 1);
}

void LogTrimmer::remove(int line) {
    const auto at = static_cast<std::size_t>(line);
    gone_[at] = true;
    removed_.push_back(line);
    --count_;
    textBytes_ -= lines_[at].length();
    skip_[Any][at] = line + 1;
    skip_[kinds_[at]][at] = line + 1;
    skipBack_[at + 1] = line;
}

int LogTrimmer::next(Kind kind, int from) {
    return follow(skip_[kind], from);
}

int LogTrimmer::last() {
    return follow(skipBack_, static_cast<int>(lines_.size())) - 1;
}

std::size_t LogTrimmer::fileSize() const {
    // Lines are joined by CR LF; the last one has none after it.
    return count_ == 0 ? 0 : textBytes_ + 2 * static_cast<std::size_t>(count_ - 1);
}

std::string LogTrimmer::serialize() {
    std::string bytes;
    bytes.reserve(fileSize());
    const int end = static_cast<int>(lines_.size());
    for (int n = first(); n < end; n = next(Any, n + 1)) {
        bytes += lines_[static_cast<std::size_t>(n)].bytes();
        bytes += "\r\n";
    }
    if (!bytes.empty())
        bytes.resize(bytes.size() - 2);
    return bytes;
}

bool LogTrimmer::roundChangedNothing(std::size_t sizeBefore, int countBefore) {
    // Lines only go, and empty ones are added at the end, so the same size and number of lines is
    // rare; only then are the lines compared with those the round began with.
    if (fileSize() != sizeBefore || count_ != countBefore)
        return false;
    std::vector<bool> added(lines_.size(), false);
    std::vector<bool> removed(lines_.size(), false);
    for (const int n : added_)
        added[static_cast<std::size_t>(n)] = true;
    for (const int n : removed_)
        removed[static_cast<std::size_t>(n)] = true;
    std::vector<int> before;
    std::vector<int> after;
    for (std::size_t n = 0; n < lines_.size(); ++n) {
        if (!added[n] && (!gone_[n] || removed[n]))
            before.push_back(static_cast<int>(n));
        if (!gone_[n])
            after.push_back(static_cast<int>(n));
    }
    return std::equal(before.begin(), before.end(), after.begin(), after.end(), [this](int a, int b) {
        return lines_[static_cast<std::size_t>(a)] == lines_[static_cast<std::size_t>(b)];
    });
}

void LogTrimmer::reload() {
    // Reading back what a step wrote gives the same lines, except at the ends: an empty first line
    // is dropped, and a file that does not end in a line end gets its empty last line back.
    // Lines longer than a read or holding a line end no longer occur once the file was loaded.
    if (std::exchange(loaded_, false) || count_ == 0)
        return;
    const int front = first();
    if (count_ == 1 && lines_[static_cast<std::size_t>(front)].isEmpty()) {
        remove(front); // the empty file
        return;
    }
    const bool endsEmpty = lines_[static_cast<std::size_t>(last())].isEmpty();
    if (lines_[static_cast<std::size_t>(front)].isEmpty())
        remove(front);
    if (!endsEmpty)
        add(WString());
}

int LogTrimmer::findSection(const WString& head) {
    const int end = static_cast<int>(lines_.size());
    const int front = first();
    if (front == end)
        return kNone;
    if (lines_[static_cast<std::size_t>(front)] == head)
        return front;
    // Otherwise the head is the empty text (the file began with a line end, and the reload
    // dropped that first line): the first empty line stands for it.
    if (head.isEmpty()) {
        const int n = next(Empty, front);
        return n == end ? kNone : n;
    }
    for (int n = next(Any, front + 1); n < end; n = next(Any, n + 1)) {
        if (lines_[static_cast<std::size_t>(n)] == head)
            return n;
    }
    return kNone;
}

void LogTrimmer::deleteKey(const WString& head, Kind key) {
    reload();
    const int section = findSection(head);
    if (section == kNone)
        return;
    // A key belongs to its section up to the next line that starts with "[".
    const int line = next(key, section + 1);
    if (line < next(Head, section + 1))
        remove(line);
}

void LogTrimmer::deleteSectionHead(const WString& head) {
    reload();
    const int section = findSection(head);
    if (section != kNone)
        remove(section);
}

std::string LogTrimmer::Trimmed(std::string_view bytes, std::size_t maxBytes) {
    if (bytes.size() <= maxBytes)
        return std::string(bytes);
    LogTrimmer log(bytes);
    // The first round's head is the first read of the file as it was, which loading drops when
    // empty. A read takes at most kMaxLine characters and a line end, so the file's start will do.
    const std::vector<WString> reads = TextFileReader::SplitReads(bytes.substr(0, TextFileReader::kMaxLine + 2));
    WString head = reads.empty() ? WString() : reads.front();
    bool firstRound = true;
    for (;;) {
        const std::size_t sizeBefore = firstRound ? bytes.size() : log.fileSize();
        const int countBefore = log.count_;
        log.added_.clear();
        log.removed_.clear();
        for (const Kind key : {Sicherung, Name, Verlauf, Empty})
            log.deleteKey(head, key);
        log.deleteSectionHead(head);
        if (log.fileSize() <= maxBytes)
            break;
        // A round that leaves the file as it was would do so again for ever.
        if (firstRound ? log.fileSize() == bytes.size() && log.serialize() == bytes
                       : log.roundChangedNothing(sizeBefore, countBefore))
            break;
        firstRound = false;
        head = log.count_ == 0 ? WString() : log.lines_[static_cast<std::size_t>(log.first())];
    }
    return log.serialize();
}
