#include "storage/IniDocument.h"

#include "toolkit/core/SafeSave.h"

#include <vector>

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
    index_.reset();
    readsSinceChange_ = 0;
    lastWrite_.reset();
    written_ = true;
    unsettled_ = true;
}

const IniIndex* IniDocument::indexForRead() {
    if (!index_ && ++readsSinceChange_ >= 2)
        index_ = IndexLines();
    return index_ ? &*index_ : nullptr;
}

WString IniDocument::ReadKey(const WString& section, const WString& key) {
    beforeStep();
    return ReadKeyHere(section, key, indexForRead());
}

WriteResult IniDocument::WriteKey(const WString& section, const WString& line) {
    WriteResult result = CheckLines(fileName_, {section, line});
    if (result) {
        beforeStep();
        WriteKeyHere(section, line);
        wrote();
    }
    return result;
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

WriteResult IniDocument::RenameSection(const WString& section, const WString& newHead) {
    WriteResult result = CheckLines(fileName_, {newHead});
    if (result) {
        beforeStep();
        RenameSectionHere(section, newHead);
        wrote();
    }
    return result;
}

bool IniDocument::HasSection(const WString& section) {
    beforeStep();
    return HasSectionHere(section, indexForRead());
}

void IniDocument::DeleteSeparator(const WString& section) {
    beforeStep();
    DeleteSeparatorHere(section);
    wrote();
}

WriteResult IniDocument::Commit() {
    return CommitTogether({this});
}

WriteResult IniDocument::CommitTogether(std::initializer_list<IniDocument*> documents) {
    // A file that exists but could not be read is never replaced by what little was seen of it.
    for (const IniDocument* doc : documents) {
        if (!doc->readable_)
            return {false, doc->fileName_, UnreadableText(), true};
    }
    // Until committed, every prepared file waits beside its old one; leaving early drops them all.
    std::vector<std::pair<IniDocument*, SafeSave::Prepared>> prepared;
    for (IniDocument* doc : documents) {
        if (!doc->written_)
            continue;
        SafeSave::Prepared file =
            SafeSave::prepare(doc->fileName_.toUtf8(), doc->lastWrite_ ? *doc->lastWrite_ : doc->Serialize());
        if (!file.result().ok)
            return {false, doc->fileName_, SystemText(file.result().reason), true};
        prepared.emplace_back(doc, std::move(file));
    }
    std::vector<SafeSave::Prepared*> files;
    for (auto& [doc, file] : prepared)
        files.push_back(&file);
    if (!SafeSave::commitAll(files).ok) {
        for (const auto& [doc, file] : prepared) {
            if (!file.result().ok)
                return {false, doc->fileName_, SystemText(file.result().reason), true};
        }
    }
    for (auto& [doc, file] : prepared)
        doc->written_ = false;
    return {};
}
