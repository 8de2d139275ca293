#pragma once

#include <string>
#include <vector>

// "save.log" contents as the tests build and take them apart.
namespace logparts {

// One entry's lines with their CR LF: head, "Sicherung=", "Name=", "Verlauf=".
inline std::string entry(const std::string& head, const std::string& action, const std::string& name,
                         const std::string& outcome) {
    return head + "\r\nSicherung=" + action + "\r\nName=" + name + "\r\nVerlauf=" + outcome + "\r\n";
}

// Entries one after another, separated by one empty line.
inline std::string join(const std::vector<std::string>& entries) {
    std::string bytes;
    for (const std::string& e : entries)
        bytes += (bytes.empty() ? "" : "\r\n") + e;
    return bytes;
}

struct Section {
    std::string head;
    std::vector<std::string> lines; // the lines below the head, up to the next head
};

// The file cut at CR LF into sections; lines before the first head and empty lines are left out.
inline std::vector<Section> sections(const std::string& bytes) {
    std::vector<Section> result;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find("\r\n", pos);
        if (end == std::string::npos)
            end = bytes.size();
        const std::string line = bytes.substr(pos, end - pos);
        pos = end + 2;
        if (line.starts_with("["))
            result.push_back({line, {}});
        else if (!line.empty() && !result.empty())
            result.back().lines.push_back(line);
    }
    return result;
}

} // namespace logparts
