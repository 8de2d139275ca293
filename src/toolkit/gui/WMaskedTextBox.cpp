#include "toolkit/gui/WMaskedTextBox.h"

#include "toolkit/gui/qt/QtText.h"

#include <QLineEdit>

#include <cstring>

namespace {

// Qt's mask characters that stand for input, and its meta characters: a literal among them must be
// escaped to be shown as it stands.
constexpr char kQtSpecial[] = "AaNnXx90Dd#HhBb><![]{}\\;";

// The Qt code for one of the platform's input characters, or null for a literal.
const char* qtInputCode(char ch) {
    switch (ch) {
    case '#': // a digit
        return "9";
    case '9': // a digit or nothing
        return "0";
    case '?': // a letter
        return "A";
    case 'A': // a letter or digit
        return "N";
    case '&': // any character
        return "X";
    default:
        return nullptr;
    }
}

QString oneCharacter(char ch) {
    return QtText::toQString(WString::fromBytes(std::string_view(&ch, 1)));
}

} // namespace

WMaskedTextBox::WMaskedTextBox(WForm& parent, int id) : WTextBox(parent, id, new QLineEdit) {}

void WMaskedTextBox::setMask(const WString& mask, char placeholder) {
    auto* edit = static_cast<QLineEdit*>(widget());
    if (!edit)
        return;
    mask_ = mask;
    placeholder_ = placeholder;
    literal_.clear();
    QString qtMask;
    for (std::size_t i = 0; i < mask.length(); ++i) {
        const char ch = mask[i];
        const char* input = qtInputCode(ch);
        literal_.push_back(input == nullptr);
        if (input) {
            qtMask += QLatin1String(input);
            continue;
        }
        if (std::strchr(kQtSpecial, ch))
            qtMask += QLatin1Char('\\');
        qtMask += oneCharacter(ch);
    }
    if (!qtMask.isEmpty())
        qtMask += QLatin1Char(';') + oneCharacter(placeholder);
    edit->setInputMask(qtMask);
}

WString WMaskedTextBox::text() const {
    const auto* edit = static_cast<const QLineEdit*>(widget());
    if (!edit)
        return {};
    return QtText::fromQStringLossy(mask_.isEmpty() ? edit->text() : edit->displayText());
}

WString WMaskedTextBox::enteredText() const {
    const WString shown = text();
    if (mask_.isEmpty())
        return shown;
    std::string typed;
    for (std::size_t i = 0; i < shown.length() && i < literal_.size(); ++i) {
        if (!literal_[i] && shown[i] != placeholder_)
            typed.push_back(shown[i]);
    }
    return WString::fromBytes(typed);
}
