// Fuzz target for the INI layer: one file's bytes and a short script of operations on it.
//
// Input: <file bytes> "\n--8<--\n" <script>. The script is a list of steps, each an operation
// letter followed by its texts, every text ended by a NUL byte (or the end of the input):
//   r section key    ReadKey              w section line   WriteKey
//   d section key    DeleteKey            h section        DeleteSectionHead
//   n section head   RenameSection        s section        HasSection
//   p section        DeleteSeparator      c                Commit (IniDocument; nothing for IniFile)
// Any other byte stands for the operation at its value modulo 8 in this order. A script that
// starts with "-" runs on a missing file. Inside a text, 0x01 k inserts read k (modulo their count)
// of the file as the program reads it, 0x02 n inserts n times "x" (to reach the 254-character
// limit), 0x03 b inserts the byte b as it is.
//
// The script runs twice: with IniFile step by step, then with one IniDocument and its commits.
// Properties: no crash, leak or undefined behaviour; reading never touches the file (not even a
// rewrite with the same bytes); a refused text (a CR or LF, or more than 254 characters) leaves
// the file's bytes as they were, and every other text is accepted; an accepted key line reads
// back; a renamed section is found under its new head; no temporary file stays behind; the
// IniDocument answers every step as IniFile did, touches the file only when it commits, and each
// commit leaves exactly IniFile's bytes after the same steps.

#include "fuzz/FuzzSupport.h"
#include "storage/IniDocument.h"
#include "storage/IniFile.h"
#include "storage/TextFileReader.h"
#include "toolkit/core/WString.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

const char* const kFile = "save.ini";
// Enough for the sequences the catalogue runs, few enough that one input stays fast.
constexpr std::size_t kMaxSteps = 16;
constexpr std::size_t kMaxText = 600;

enum class Op { Read, Write, DeleteKey, DeleteHead, Rename, HasSection, DeleteSeparator, Commit };
constexpr std::array<Op, 8> kOps = {Op::Read,   Op::Write,      Op::DeleteKey,       Op::DeleteHead,
                                    Op::Rename, Op::HasSection, Op::DeleteSeparator, Op::Commit};

Op opOf(unsigned char byte) {
    switch (byte) {
    case 'r':
        return Op::Read;
    case 'w':
        return Op::Write;
    case 'd':
        return Op::DeleteKey;
    case 'h':
        return Op::DeleteHead;
    case 'n':
        return Op::Rename;
    case 's':
        return Op::HasSection;
    case 'p':
        return Op::DeleteSeparator;
    case 'c':
        return Op::Commit;
    default:
        return kOps[byte % kOps.size()];
    }
}

int textCount(Op op) {
    switch (op) {
    case Op::Read:
    case Op::Write:
    case Op::DeleteKey:
    case Op::Rename:
        return 2;
    case Op::DeleteHead:
    case Op::HasSection:
    case Op::DeleteSeparator:
        return 1;
    case Op::Commit:
        return 0;
    }
    return 0;
}

const char* nameOf(Op op) {
    static constexpr std::array<const char*, 8> names = {"ReadKey",           "WriteKey",      "DeleteKey",
                                                         "DeleteSectionHead", "RenameSection", "HasSection",
                                                         "DeleteSeparator",   "Commit"};
    return names[static_cast<std::size_t>(op)];
}

struct Step {
    Op op;
    WString a;
    WString b;
};

struct Script {
    bool fileMissing = false;
    std::vector<Step> steps;
};

// One text of the script, up to its NUL; see the escapes above.
WString takeText(std::string_view& script, const std::vector<WString>& reads) {
    std::string text;
    std::size_t i = 0;
    for (; i < script.size() && script[i] != '\0'; ++i) {
        const auto byte = static_cast<unsigned char>(script[i]);
        if (byte >= 1 && byte <= 3 && i + 1 < script.size()) {
            const auto arg = static_cast<unsigned char>(script[++i]);
            if (byte == 1 && !reads.empty())
                text += reads[arg % reads.size()].bytes();
            else if (byte == 2)
                text.append(arg, 'x');
            else if (byte == 3)
                text += static_cast<char>(arg);
        } else {
            text += script[i];
        }
    }
    script.remove_prefix(i < script.size() ? i + 1 : i);
    if (text.size() > kMaxText)
        text.resize(kMaxText);
    return WString::fromBytes(text); // an escaped NUL ends the text, as it would any WString
}

Script parseScript(std::string_view script, std::string_view file) {
    Script result;
    if (script.starts_with('-')) {
        result.fileMissing = true;
        script.remove_prefix(1);
    }
    const std::vector<WString> reads = TextFileReader::SplitReads(file);
    while (!script.empty() && result.steps.size() < kMaxSteps) {
        Step step{opOf(static_cast<unsigned char>(script.front())), {}, {}};
        script.remove_prefix(1);
        const int texts = textCount(step.op);
        if (texts >= 1)
            step.a = takeText(script, reads);
        if (texts >= 2)
            step.b = takeText(script, reads);
        result.steps.push_back(std::move(step));
    }
    return result;
}

// What a step answered, for comparing the two runs.
struct Outcome {
    WString text;
    bool flag = false;
    bool ok = true;
    WString file;
    WString reason;
    bool operator==(const Outcome&) const = default;
};

Outcome outcomeOf(const WriteResult& result) {
    return {{}, false, result.ok, result.file, result.reason};
}

std::string describe(const Outcome& o) {
    return "text=" + fuzz::Shown(o.text.bytes()) + " flag=" + std::to_string(o.flag) + " ok=" + std::to_string(o.ok) +
           " file=" + fuzz::Shown(o.file.bytes()) + " reason=" + fuzz::Shown(o.reason.bytes());
}

std::string describe(std::size_t index, const Step& step) {
    return "step " + std::to_string(index) + ": " + nameOf(step.op) + "(" + fuzz::Shown(step.a.bytes()) + ", " +
           fuzz::Shown(step.b.bytes()) + ")";
}

// The texts the file cannot hold as one line, decided here without the code under test.
bool mustBeRefused(const WString& text) {
    return text.length() > TextFileReader::kMaxLine || text.bytes().find_first_of("\r\n") != std::string::npos;
}

// Everything after the first "=", as a key line's value reads.
WString valueOf(const WString& line) {
    const std::size_t eq = line.find('=');
    return eq == WString::npos ? WString() : line.mid(eq + 1);
}

// IniFile with the two steps that only IniDocument offers, each done on its own: the file read,
// the one step, and (for the change) the whole file written back, as IniFile does every step.
class SteppedIniFile : public IniFile {
public:
    bool HasSection(const WString& fileName, const WString& section) {
        return IniDocument(fileName).HasSection(section);
    }
    void DeleteSeparator(const WString& fileName, const WString& section) {
        IniDocument doc(fileName);
        doc.DeleteSeparator(section);
        FUZZ_CHECK(doc.Commit().ok, "a single step commits in a writable folder");
    }
};

using FileState = std::optional<std::string>;

template <typename Where> void checkFolder(const FileState& state, const Where& where) {
    const std::vector<std::string> expected = state ? std::vector<std::string>{kFile} : std::vector<std::string>{};
    FUZZ_CHECK(fuzz::FolderEntries() == expected, "no temporary file may stay behind; " + where());
}

struct Reference {
    std::vector<Outcome> outcomes;
    std::vector<FileState> atCommit; // per step: the file when the step is a commit
    FileState final;
};

bool onlyReads(Op op) {
    return op == Op::Read || op == Op::HasSection || op == Op::Commit;
}

Reference runStepByStep(const Script& script, const FileState& initial) {
    Reference ref;
    SteppedIniFile ini;
    // Reads are checked by the file's identity, which also catches a rewrite with the same bytes.
    std::optional<fuzz::FileIdentity> identity = fuzz::IdentityOf(kFile);
    for (std::size_t i = 0; i < script.steps.size(); ++i) {
        const Step& step = script.steps[i];
        // Built only when a check fails: a description costs more than the step itself.
        const auto where = [&] { return describe(i, step); };
        const bool refused = (step.op == Op::Write && (mustBeRefused(step.a) || mustBeRefused(step.b))) ||
                             (step.op == Op::Rename && mustBeRefused(step.b));
        const FileState before = refused ? fuzz::ReadFile(kFile) : FileState();
        Outcome outcome;
        switch (step.op) {
        case Op::Read:
            outcome.text = ini.ReadKey(kFile, step.a, step.b);
            break;
        case Op::HasSection:
            outcome.flag = ini.HasSection(kFile, step.a);
            break;
        case Op::Write: {
            const WriteResult result = ini.WriteKey(kFile, step.a, step.b);
            outcome = outcomeOf(result);
            if (refused) {
                const WString& text = mustBeRefused(step.a) ? step.a : step.b;
                FUZZ_CHECK(!result.ok && result.file == kFile && result.reason == IniFile::RefusalOf(text),
                           "a text the file cannot hold is refused with its reason; " + where());
            } else {
                FUZZ_CHECK(result.ok, "a text the file can hold is written; " + where() + " " + describe(outcome));
                // A key line under a head reads back (a line that is itself a head ends the section).
                if (step.a.at(0) == '[' && step.b.at(0) != '[')
                    FUZZ_CHECK(ini.ReadKey(kFile, step.a, step.b) == valueOf(step.b),
                               "a written key reads back; " + where() +
                                   "; file after: " + fuzz::ShownFile(fuzz::ReadFile(kFile)));
            }
            break;
        }
        case Op::DeleteKey:
            outcome.flag = ini.DeleteKey(kFile, step.a, step.b);
            break;
        case Op::DeleteHead: {
            const bool had = ini.HasSection(kFile, step.a);
            outcome.flag = ini.DeleteSectionHead(kFile, step.a);
            FUZZ_CHECK(outcome.flag == !had, "DeleteSectionHead answers whether the head was missing; " + where());
            break;
        }
        case Op::Rename: {
            const bool had = ini.HasSection(kFile, step.a);
            const WriteResult result = ini.RenameSection(kFile, step.a, step.b);
            outcome = outcomeOf(result);
            if (refused) {
                FUZZ_CHECK(!result.ok && result.file == kFile && result.reason == IniFile::RefusalOf(step.b),
                           "a head the file cannot hold is refused with its reason; " + where());
            } else {
                FUZZ_CHECK(result.ok, "a head the file can hold is written; " + where() + " " + describe(outcome));
                if (had && !step.b.isEmpty())
                    FUZZ_CHECK(ini.HasSection(kFile, step.b),
                               "a renamed section is found under its new head; " + where() +
                                   "; file after: " + fuzz::ShownFile(fuzz::ReadFile(kFile)));
            }
            break;
        }
        case Op::DeleteSeparator:
            ini.DeleteSeparator(kFile, step.a);
            break;
        case Op::Commit:
            break;
        }
        const std::optional<fuzz::FileIdentity> after = fuzz::IdentityOf(kFile);
        if (onlyReads(step.op) || refused)
            FUZZ_CHECK(after == identity, "reading or a refused step does not touch the file; " + where());
        if (refused) {
            const FileState now = fuzz::ReadFile(kFile);
            FUZZ_CHECK(now == before, "a refused step leaves the file's bytes; " + where() + "\n  before: " +
                                          fuzz::ShownFile(before) + "\n  after:  " + fuzz::ShownFile(now));
        }
        identity = after;
        ref.outcomes.push_back(outcome);
        ref.atCommit.push_back(step.op == Op::Commit ? fuzz::ReadFile(kFile) : FileState());
    }
    ref.final = script.steps.empty() ? initial : fuzz::ReadFile(kFile);
    // Nothing removes a temporary file that a step left, so one look at the end finds it.
    checkFolder(ref.final, [] { return std::string("after the steps with IniFile"); });
    return ref;
}

void runAsDocument(const Script& script, const Reference& ref) {
    IniDocument doc(kFile);
    // The file as the document last committed it (or found it); it must not change in between.
    std::optional<fuzz::FileIdentity> committed = fuzz::IdentityOf(kFile);
    for (std::size_t i = 0; i < script.steps.size(); ++i) {
        const Step& step = script.steps[i];
        const auto where = [&] { return describe(i, step); };
        Outcome outcome;
        switch (step.op) {
        case Op::Read:
            outcome.text = doc.ReadKey(step.a, step.b);
            break;
        case Op::HasSection:
            outcome.flag = doc.HasSection(step.a);
            break;
        case Op::Write:
            outcome = outcomeOf(doc.WriteKey(step.a, step.b));
            break;
        case Op::DeleteKey:
            outcome.flag = doc.DeleteKey(step.a, step.b);
            break;
        case Op::DeleteHead:
            outcome.flag = doc.DeleteSectionHead(step.a);
            break;
        case Op::Rename:
            outcome = outcomeOf(doc.RenameSection(step.a, step.b));
            break;
        case Op::DeleteSeparator:
            doc.DeleteSeparator(step.a);
            break;
        case Op::Commit: {
            FUZZ_CHECK(doc.Commit().ok, "a commit in a writable folder succeeds; " + where());
            const FileState now = fuzz::ReadFile(kFile);
            FUZZ_CHECK(now == ref.atCommit[i], "each commit leaves IniFile's bytes after the same steps; " + where() +
                                                   "\n  IniFile:     " + fuzz::ShownFile(ref.atCommit[i]) +
                                                   "\n  IniDocument: " + fuzz::ShownFile(now));
            committed = fuzz::IdentityOf(kFile);
            break;
        }
        }
        FUZZ_CHECK(outcome == ref.outcomes[i], "IniDocument answers as IniFile did; " + where() + "\n  IniFile:     " +
                                                   describe(ref.outcomes[i]) + "\n  IniDocument: " + describe(outcome));
        FUZZ_CHECK(fuzz::IdentityOf(kFile) == committed,
                   "IniDocument touches the file only when it commits; " + where());
    }
    FUZZ_CHECK(doc.Commit().ok, "the final commit succeeds");
    const FileState now = fuzz::ReadFile(kFile);
    FUZZ_CHECK(now == ref.final, "after the final commit IniDocument's bytes equal IniFile's\n  IniFile:     " +
                                     fuzz::ShownFile(ref.final) + "\n  IniDocument: " + fuzz::ShownFile(now));
    checkFolder(now, [] { return std::string("after the steps with IniDocument"); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> parts =
        fuzz::SplitParts(std::string_view(reinterpret_cast<const char*>(data), size), 2);
    const std::string_view file = parts[0];
    const Script script = parseScript(parts.size() > 1 ? parts[1] : std::string_view(), file);
    const FileState initial = script.fileMissing ? FileState() : FileState(std::string(file));

    fuzz::ClearWorkFolder();
    if (initial)
        fuzz::WriteFile(kFile, *initial);
    const Reference ref = runStepByStep(script, initial);

    fuzz::ClearWorkFolder();
    if (initial)
        fuzz::WriteFile(kFile, *initial);
    runAsDocument(script, ref);
    return 0;
}
