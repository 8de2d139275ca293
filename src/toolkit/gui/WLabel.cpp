#include "toolkit/gui/WLabel.h"

#include <QLabel>

WLabel::WLabel(WForm& parent, int id) : WControl(parent, id, new QLabel) {
    auto* label = static_cast<QLabel*>(widget());
    // Texts are shown as they are: a path or name must never be read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    const Qt::Alignment horizontal = (layout().style & WStyle::Centered) ? Qt::AlignHCenter : Qt::AlignLeft;
    label->setAlignment(horizontal | Qt::AlignTop);
}
