#pragma once

#include "toolkit/core/WString.h"

#include <optional>

// A font given by the toolkit's font text: point size, a point, face name ("8.Arial", "8.MS Sans Serif").
class WFont {
public:
    // Empty optional for a malformed text: no point, a size that is not a plain number from 1 to 999,
    // or no face name.
    static std::optional<WFont> fromText(const WString& text);

    int pointSize() const { return pointSize_; }
    const WString& face() const { return face_; }

private:
    WFont(int pointSize, WString face) : pointSize_(pointSize), face_(std::move(face)) {}
    int pointSize_;
    WString face_;
};
