#include "toolkit/gui/WRichTextBox.h"

#include "toolkit/gui/qt/QtText.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>

// A plain-text view: it lays out only what is shown, so a log of some megabytes opens at once.
WRichTextBox::WRichTextBox(WForm& parent, int id) : WControl(parent, id, new QPlainTextEdit) {
    auto* edit = static_cast<QPlainTextEdit*>(widget());
    edit->setReadOnly((layout().style & WStyle::ReadOnly) != 0);
    if (layout().style & WStyle::ScrollBars)
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
}

void WRichTextBox::appendText(const WString& text, bool scrollToEnd) {
    auto* edit = static_cast<QPlainTextEdit*>(widget());
    if (!edit)
        return;
    QScrollBar* vertical = edit->verticalScrollBar();
    QScrollBar* horizontal = edit->horizontalScrollBar();
    const int top = vertical->value();
    const int left = horizontal->value();
    // A cursor of its own: the widget's cursor (caret and selection) is not moved by the insertion.
    QTextCursor end(edit->document());
    end.movePosition(QTextCursor::End);
    end.insertText(QtText::toQString(text));
    if (scrollToEnd) {
        edit->setTextCursor(end);
        edit->ensureCursorVisible();
    } else {
        vertical->setValue(top);
        horizontal->setValue(left);
    }
}

void WRichTextBox::scrollLines(int lines) {
    // The scroll bar of a plain-text view counts lines.
    if (auto* edit = static_cast<QPlainTextEdit*>(widget()))
        edit->verticalScrollBar()->setValue(std::max(0, firstVisibleLine() + lines));
}

int WRichTextBox::firstVisibleLine() const {
    const auto* edit = static_cast<const QPlainTextEdit*>(widget());
    if (!edit)
        return 0;
    const int line = edit->verticalScrollBar()->value();
    return std::clamp(line, 0, std::max(0, edit->document()->blockCount() - 1));
}
