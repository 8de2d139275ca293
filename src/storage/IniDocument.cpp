#include "storage/IniDocument.h"

#include "toolkit/core/SafeSave.h"

IniDocument::IniDocument(const WString& fileName) : fileName_(fileName) {
    readable_ = Load(fileName);
}

void IniDocument::beforeStep() {
    // IniFile rereads the file before every operation: after a write, the lines become what
    // reading back its bytes gives (over-long lines split, an empty first line dropped ...).
    if (!unsettled_)
        return;
    unsettled_ = false;
    if (IsSettled())
        return; // the common case: a reload would give the same lines
    lastWrite_ = Serialize();
    Parse(*lastWrite_);
}

void IniDocument::wrote() {
    lastWrite_.reset();
    written_ = true;
    unsettled_ = true;
}

WString IniDocument::ReadKey(const WString& section, const WString& key) {
    beforeStep();
    return ReadKeyHere(section, key);
}

void IniDocument::WriteKey(const WString& section, const WString& line) {
    beforeStep();
    WriteKeyHere(section, line);
    wrote();
}

bool IniDocument::DeleteKey(const WString& section, const WString& key) {
    beforeStep();
    const bool nothingRemoved = DeleteKeyHere(section, key);
    wrote();
    return nothingRemoved;
}

bool IniDocument::DeleteSectionHead(const WString& section) {
    beforeStep();
    const bool notFound = DeleteSectionHeadHere(section);
    wrote();
    return notFound;
}

void IniDocument::RenameSection(const WString& section, const WString& newHead) {
    beforeStep();
    RenameSectionHere(section, newHead);
    wrote();
}

bool IniDocument::HasSection(const WString& section) {
    beforeStep();
    return HasSectionHere(section);
}

void IniDocument::DeleteSeparator(const WString& section) {
    beforeStep();
    DeleteSeparatorHere(section);
    wrote();
}

bool IniDocument::Commit() {
    // A file that exists but could not be read is never replaced by what little was seen of it.
    if (!readable_ || !written_)
        return readable_;
    const std::string bytes = lastWrite_ ? *lastWrite_ : Serialize();
    written_ = false;
    return SafeSave::write(fileName_.toUtf8(), bytes).ok;
}
