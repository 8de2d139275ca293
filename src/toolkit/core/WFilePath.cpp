#include "toolkit/core/WFilePath.h"

WFilePath WFilePath::normalized() const {
    std::string out;
    const std::string& in = path_.bytes();
    for (char c : in) {
        if (c == '/' && !out.empty() && out.back() == '/')
            continue;
        out += c;
    }
    if (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return WFilePath(WString::fromBytes(out));
}

WString WFilePath::fileName() const {
    const WFilePath n = normalized(); // kept alive: bytes() refers into it
    const std::string& p = n.path_.bytes();
    if (p == "/")
        return {};
    const std::size_t slash = p.rfind('/');
    return WString::fromBytes(slash == std::string::npos ? p : p.substr(slash + 1));
}

WFilePath WFilePath::join(const WString& name) const {
    const WFilePath base = normalized();
    if (base.path_.isEmpty())
        return WFilePath(name);
    if (base.path_ == "/")
        return WFilePath("/" + name);
    return WFilePath(base.path_ + "/" + name);
}
