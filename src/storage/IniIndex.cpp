#include "storage/IniIndex.h"

namespace {

// Sections up to this many lines are walked; longer ones have their keys looked up.
constexpr int kWalkedLines = 32;

std::string_view keyPartOf(std::string_view line) {
    const std::size_t eq = line.find('=');
    return eq == std::string_view::npos ? line : line.substr(0, eq + 1);
}

} // namespace

IniIndex::IniIndex(const std::vector<std::string_view>& lines) {
    const int count = static_cast<int>(lines.size());
    keyParts_.reserve(lines.size() + 1);
    keyParts_.emplace_back();
    sectionEnd_.assign(lines.size() + 1, 0);
    int head = 0;
    const auto closeSection = [&](int end) {
        if (head == 0)
            return;
        sectionEnd_[static_cast<std::size_t>(head)] = end;
        if (end - head > kWalkedLines) {
            for (int n = head + 1; n < end; ++n)
                keys_.try_emplace(KeyLine{head, keyParts_[static_cast<std::size_t>(n)]}, n);
        }
    };
    for (int n = 1; n <= count; ++n) {
        const std::string_view line = lines[static_cast<std::size_t>(n - 1)];
        if (line.starts_with('[')) {
            closeSection(n);
            heads_.try_emplace(line, n);
            head = n;
            keyParts_.emplace_back();
        } else {
            keyParts_.push_back(keyPartOf(line));
        }
    }
    closeSection(count + 1);
}

int IniIndex::Section(std::string_view section) const {
    const auto it = heads_.find(section);
    return it == heads_.end() ? 0 : it->second;
}

int IniIndex::Key(int head, std::string_view keyPart) const {
    const int end = sectionEnd_[static_cast<std::size_t>(head)];
    if (end - head > kWalkedLines) {
        const auto it = keys_.find(KeyLine{head, keyPart});
        return it == keys_.end() ? 0 : it->second;
    }
    for (int n = head + 1; n < end; ++n) {
        if (keyParts_[static_cast<std::size_t>(n)] == keyPart)
            return n;
    }
    return 0;
}
