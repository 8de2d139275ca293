#pragma once

#include <QIcon>
#include <QPixmap>

// The pictures of the installed resource catalogue, drawn once per id (toolkit internal).
class QtImageCache {
public:
    // A null pixmap when the catalogue has no such bitmap.
    static QPixmap bitmap(int id);
    // The bitmap scaled to a size (image lists), cached per id and size.
    static QPixmap bitmap(int id, QSize size);
    // A null icon when the catalogue has no such icon.
    static QIcon icon(int id);
    static void clear();
};
