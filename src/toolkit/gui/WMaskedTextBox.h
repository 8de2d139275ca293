#pragma once

#include "toolkit/gui/WTextBox.h"

#include <vector>

// A text field with an input mask in the platform's notation: '#' a digit, '9' an optional digit,
// '?' a letter, 'A' a letter or digit, '&' any character; everything else is shown as it stands.
// Positions not yet typed show the placeholder.
class WMaskedTextBox : public WTextBox {
public:
    WMaskedTextBox(WForm& parent, int id);

    void setMask(const WString& mask, char placeholder = '-');
    // The whole shown text: literals, typed characters and placeholders ("12:30", "1-:--").
    WString text() const override;
    // Only the typed characters, without literals and placeholders ("1230", "1").
    WString enteredText() const;

private:
    WString mask_;
    char placeholder_ = '-';
    std::vector<bool> literal_; // per shown position
};
