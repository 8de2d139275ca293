#include "toolkit/gui/WPictureBox.h"

#include "toolkit/gui/qt/QtImageCache.h"
#include "toolkit/gui/qt/QtPictureLabel.h"
#include "toolkit/gui/qt/QtText.h"

#include <QPainter>

#include <QSet>

#include <cstdio>

namespace {

// Crossed-out grey box: a missing picture must be seen, not silently leave an empty spot.
QPixmap placeholder(QSize size) {
    QPixmap pixmap(size.isValid() && !size.isEmpty() ? size : QSize(32, 32));
    pixmap.fill(QColor(224, 224, 224));
    QPainter painter(&pixmap);
    painter.setPen(QColor(160, 0, 0));
    const QRect r = pixmap.rect().adjusted(0, 0, -1, -1);
    painter.drawRect(r);
    painter.drawLine(r.topLeft(), r.bottomRight());
    painter.drawLine(r.bottomLeft(), r.topRight());
    return pixmap;
}

} // namespace

WPictureBox::WPictureBox(WForm& parent, int id) : WControl(parent, id, new QtPictureLabel) {}

WPictureBox::~WPictureBox() {
    // The widget may outlive this object by a moment (deleted once the current event has unwound).
    if (auto* label = static_cast<QtPictureLabel*>(widget()); label && label->isButton())
        label->setButtonRole(label->accessibleName(), {});
}

bool WPictureBox::setBitmap(int bitmapId) {
    auto* label = static_cast<QtPictureLabel*>(widget());
    if (!label)
        return false;
    bitmapId_ = bitmapId;
    const QPixmap pixmap = QtImageCache::bitmap(bitmapId);
    if (pixmap.isNull()) {
        static QSet<int> reported;
        if (!reported.contains(bitmapId)) {
            reported.insert(bitmapId);
            std::fprintf(stderr, "morlanz: picture %d is missing from the resources (control %s)\n", bitmapId,
                         qPrintable(label->objectName()));
        }
        label->setPixmap(placeholder(label->size()));
        return false;
    }
    label->setPixmap(pixmap);
    return true;
}

void WPictureBox::setButtonRole(const WString& name) {
    if (auto* label = static_cast<QtPictureLabel*>(widget())) {
        label->setButtonRole(QtText::toQString(name), [this] {
            WEventData data;
            data.id = WEventId::ClickEvent;
            data.source = this;
            raiseEvent(data);
        });
    }
}
