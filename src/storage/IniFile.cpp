#include "storage/IniFile.h"

#include "storage/TextFileReader.h"
#include "toolkit/core/SafeSave.h"

#include <string>

namespace {

constexpr std::size_t kMaxLine = TextFileReader::kMaxLine;
static_assert(kMaxLine == 254, "the refusal text names the limit");

WriteResult failed(const WString& fileName, const WString& reason) {
    return {false, fileName, reason, true};
}

} // namespace

bool IniFile::Load(const WString& fileName) {
    Clear();
    std::string data;
    const TextFileReader::Status status = TextFileReader::ReadAll(fileName, data);
    if (status != TextFileReader::Status::Ok)
        return status == TextFileReader::Status::Missing;
    Parse(data);
    return true;
}

void IniFile::Parse(std::string_view data) {
    Clear();
    for (WString& line : TextFileReader::LoadedLines(data))
        Append(std::move(line));
}

std::string IniFile::Serialize() const {
    std::string bytes;
    for (int n = 1; n <= Count(); ++n) {
        bytes += LineRef(n).bytes();
        if (n < Count())
            bytes += "\r\n";
    }
    return bytes;
}

WriteResult IniFile::Save(const WString& fileName) const {
    const SaveResult saved = SafeSave::write(fileName.toUtf8(), Serialize());
    return saved.ok ? WriteResult{} : failed(fileName, SystemText(saved.reason));
}

WString IniFile::SystemText(const std::string& utf8) {
    return WString::fromUtf8(utf8).value_or(WString::fromBytes(utf8));
}

WString IniFile::RefusalOf(const WString& line) {
    // A line break would split the line on the next read, and its tail would become a line (or a
    // section head) of its own. A NUL, which would cut the line short, never gets into a WString.
    if (line.bytes().find_first_of("\r\n") != std::string::npos)
        return "Der Text enthält einen Zeilenumbruch oder ein Steuerzeichen."_w;
    // A longer line would come back from the next read as two.
    if (line.length() > kMaxLine)
        return "Die Zeile wäre länger als 254 Zeichen."_w;
    return {};
}

WriteResult IniFile::CheckLines(const WString& fileName, std::initializer_list<WString> lines) {
    for (const WString& line : lines) {
        if (WString reason = RefusalOf(line); !reason.isEmpty())
            return failed(fileName, reason);
    }
    return {};
}

WString IniFile::UnreadableText() {
    return "Die Datei ist vorhanden, kann aber nicht gelesen werden."_w;
}

IniIndex IniFile::IndexLines() const {
    std::vector<std::string_view> lines;
    lines.reserve(static_cast<std::size_t>(Count()));
    for (int n = 1; n <= Count(); ++n)
        lines.emplace_back(LineRef(n).bytes());
    return IniIndex(lines);
}

int IniFile::FindSection(const WString& section, const IniIndex* index) const {
    // The index knows the lines that start with "[", which every section head the program names does.
    if (index && section.at(0) == '[')
        return index->Section(section.bytes());
    for (int n = 1; n <= Count(); ++n) {
        if (LineRef(n) == section)
            return n;
    }
    return 0;
}

std::string_view IniFile::KeyPart(const WString& text) {
    const std::string_view bytes(text.bytes());
    const std::size_t eq = bytes.find('=');
    return eq == std::string_view::npos ? bytes : bytes.substr(0, eq + 1);
}

int IniFile::FindKey(const WString& key, int firstLine) const {
    const std::string_view wanted = KeyPart(key);
    for (int n = firstLine < 1 ? 1 : firstLine; n <= Count(); ++n) {
        const WString& line = LineRef(n);
        if (line.at(0) == '[')
            return 0;
        if (KeyPart(line) == wanted)
            return n;
    }
    return 0;
}

WString IniFile::ValueAt(int n) const {
    const WString& line = LineRef(n);
    const std::size_t eq = line.find('=');
    return eq == WString::npos ? WString() : line.mid(eq + 1);
}

WString IniFile::ReadKeyHere(const WString& section, const WString& key, const IniIndex* index) const {
    if (const int s = FindSection(section, index)) {
        const bool indexed = index && LineRef(s).at(0) == '[';
        if (const int k = indexed ? index->Key(s, KeyPart(key)) : FindKey(key, s + 1))
            return ValueAt(k);
    }
    return {};
}

void IniFile::WriteKeyHere(const WString& section, const WString& line) {
    if (const int s = FindSection(section)) {
        if (const int k = FindKey(line, s + 1))
            SetLine(k, line);
        else
            InsertAfter(s, line); // new keys go first, directly under the head
    } else {
        Append(section);
        Append(line);
    }
}

bool IniFile::DeleteKeyHere(const WString& section, const WString& key) {
    if (const int s = FindSection(section)) {
        if (const int k = FindKey(key, s + 1)) {
            RemoveLine(k);
            return false;
        }
    }
    return true;
}

bool IniFile::DeleteSectionHeadHere(const WString& section) {
    if (const int s = FindSection(section)) {
        RemoveLine(s);
        return false;
    }
    return true;
}

void IniFile::RenameSectionHere(const WString& section, const WString& newHead) {
    SetLine(FindSection(section), newHead);
}

void IniFile::DeleteSeparatorHere(const WString& section) {
    const int s = FindSection(section);
    if (s == 0)
        return;
    for (int n = s + 1; n <= Count(); ++n) {
        if (LineRef(n).at(0) == '[') {
            // Another section follows: the separator is the section's first empty line.
            if (const int k = FindKey("", s + 1))
                RemoveLine(k);
            return;
        }
    }
    // The file's last section: the empty line below it is the file's final line end, which every
    // reload brings back, so the blank line that separates it is the one above its head.
    if (s > 1 && LineRef(s - 1).isEmpty())
        RemoveLine(s - 1);
}

bool IniFile::IsSettled() const {
    if (IsEmpty())
        return true;
    if (LineRef(1).isEmpty() || !LineRef(Count()).isEmpty())
        return false;
    for (int n = 1; n <= Count(); ++n) {
        const std::string& bytes = LineRef(n).bytes();
        if (bytes.size() > kMaxLine || bytes.find('\n') != std::string::npos)
            return false;
    }
    return true;
}

WString IniFile::ReadKey(const WString& fileName, const WString& section, const WString& key) {
    Load(fileName);
    WString value = ReadKeyHere(section, key);
    Clear();
    return value;
}

WriteResult IniFile::WriteKey(const WString& fileName, const WString& section, const WString& line) {
    WriteResult result = CheckLines(fileName, {section, line});
    if (result) {
        if (Load(fileName)) {
            WriteKeyHere(section, line);
            result = Save(fileName);
        } else {
            result = failed(fileName, UnreadableText());
        }
    }
    Clear();
    return result;
}

bool IniFile::DeleteKey(const WString& fileName, const WString& section, const WString& key) {
    bool nothingRemoved = true;
    if (Load(fileName)) {
        nothingRemoved = DeleteKeyHere(section, key);
        Save(fileName);
    }
    Clear();
    return nothingRemoved;
}

bool IniFile::DeleteSectionHead(const WString& fileName, const WString& section) {
    bool notFound = true;
    if (Load(fileName)) {
        notFound = DeleteSectionHeadHere(section);
        Save(fileName);
    }
    Clear();
    return notFound;
}

WriteResult IniFile::RenameSection(const WString& fileName, const WString& section, const WString& newHead) {
    WriteResult result = CheckLines(fileName, {newHead});
    if (result) {
        if (Load(fileName)) {
            RenameSectionHere(section, newHead);
            result = Save(fileName);
        } else {
            result = failed(fileName, UnreadableText());
        }
    }
    Clear();
    return result;
}
