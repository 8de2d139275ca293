#include "toolkit/gui/WPictureBox.h"

#include "toolkit/gui/qt/QtImageCache.h"

#include <QLabel>

WPictureBox::WPictureBox(WForm& parent, int id) : WControl(parent, id, new QLabel) {
    auto* label = static_cast<QLabel*>(widget());
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setScaledContents(false);
}

bool WPictureBox::setBitmap(int bitmapId) {
    auto* label = static_cast<QLabel*>(widget());
    if (!label)
        return false;
    const QPixmap pixmap = QtImageCache::bitmap(bitmapId);
    if (pixmap.isNull()) {
        label->clear();
        return false;
    }
    label->setPixmap(pixmap);
    return true;
}
