#pragma once

#include <cstddef>
#include <string_view>
#include <unordered_map>
#include <vector>

// Where the section heads of a file's lines are, and the key lines under each, found in one pass:
// a run of reads then looks each one up instead of walking the lines again. It answers as a walk
// from the top would: the first head of a name wins, and a key belongs to the nearest line above
// it that starts with "[".
// It holds views of the lines, so it stands for them only while they do not change.
class IniIndex {
public:
    // lines[0] is line number 1.
    explicit IniIndex(const std::vector<std::string_view>& lines);

    // The first line that starts with "[" and equals section; 0 when there is none.
    int Section(std::string_view section) const;
    // The first line below head (a line that starts with "[") whose text up to and including its
    // first "=" equals keyPart, before the next line that starts with "["; 0 when there is none.
    int Key(int head, std::string_view keyPart) const;

private:
    struct KeyLine {
        int head;
        std::string_view keyPart;
        bool operator==(const KeyLine&) const = default;
    };
    struct KeyLineHash {
        std::size_t operator()(const KeyLine& k) const {
            return std::hash<std::string_view>()(k.keyPart) ^ static_cast<std::size_t>(k.head);
        }
    };

    std::vector<std::string_view> keyParts_; // per line, from index 1
    std::vector<int> sectionEnd_;            // per head line: the next line that starts with "[", or past the end
    std::unordered_map<std::string_view, int> heads_;
    // The keys of long sections only (the name list); a short one is quicker to walk.
    std::unordered_map<KeyLine, int, KeyLineHash> keys_;
};
