#pragma once

#include "toolkit/gui/WControl.h"

// A multi-line plain-text box (WStyle::ReadOnly: not editable; WStyle::ScrollBars: no line wrapping,
// scroll bars as needed).
class WRichTextBox : public WControl {
public:
    WRichTextBox(WForm& parent, int id);

    // Appends at the end of the text. scrollToEnd puts the caret behind the new text and scrolls it into
    // view; otherwise the selection and the scroll position stay as they are.
    void appendText(const WString& text, bool scrollToEnd);
    // Scrolls by whole lines (negative: up).
    void scrollLines(int lines);
    // The first line shown at the top (0-based).
    int firstVisibleLine() const;
};
