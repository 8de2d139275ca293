#include "toolkit/gui/WRichTextBox.h"

#include "toolkit/gui/qt/QtText.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextLayout>

#include <algorithm>

WRichTextBox::WRichTextBox(WForm& parent, int id) : WControl(parent, id, new QTextEdit) {
    auto* edit = static_cast<QTextEdit*>(widget());
    edit->setAcceptRichText(false);
    edit->setReadOnly((layout().style & WStyle::ReadOnly) != 0);
    if (layout().style & WStyle::ScrollBars)
        edit->setLineWrapMode(QTextEdit::NoWrap);
}

void WRichTextBox::appendText(const WString& text, bool scrollToEnd) {
    auto* edit = static_cast<QTextEdit*>(widget());
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
    auto* edit = static_cast<QTextEdit*>(widget());
    if (!edit)
        return;
    QScrollBar* vertical = edit->verticalScrollBar();
    const int target = std::max(0, firstVisibleLine() + lines);
    const QTextBlock block = edit->document()->findBlockByLineNumber(target);
    if (target == 0 || !block.isValid()) {
        vertical->setValue(target == 0 ? 0 : vertical->maximum());
        return;
    }
    // The top of the target line becomes the top of the view (the scroll bar clamps near the end).
    qreal y = edit->document()->documentLayout()->blockBoundingRect(block).top();
    const int lineInBlock = target - block.firstLineNumber();
    if (const QTextLayout* layout = block.layout(); layout && lineInBlock < layout->lineCount())
        y += layout->lineAt(lineInBlock).y();
    vertical->setValue(static_cast<int>(y));
}

int WRichTextBox::firstVisibleLine() const {
    const auto* edit = static_cast<const QTextEdit*>(widget());
    if (!edit)
        return 0;
    // The first line whose bottom lies below the top of the view.
    const qreal top = edit->verticalScrollBar()->value();
    const QTextDocument* document = edit->document();
    for (QTextBlock block = document->firstBlock(); block.isValid(); block = block.next()) {
        const QRectF box = document->documentLayout()->blockBoundingRect(block);
        if (box.bottom() <= top)
            continue;
        const QTextLayout* layout = block.layout();
        for (int i = 0; layout && i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            if (box.top() + line.y() + line.height() > top)
                return block.firstLineNumber() + i;
        }
        return block.firstLineNumber();
    }
    return std::max(0, document->lineCount() - 1);
}
