#include "toolkit/gui/qt/QtImageCache.h"

#include "toolkit/gui/WResources.h"
#include "toolkit/gui/qt/QtBitmapPainter.h"

#include <QCoreApplication>
#include <QHash>

namespace {

struct Cache {
    QHash<int, QPixmap> bitmaps;
    QHash<quint64, QPixmap> scaled; // key: id, width, height
    QHash<int, QIcon> icons;
};

// Pixmaps must go before the application object does; a post routine empties the cache in time.
Cache& cache() {
    static Cache* instance = [] {
        auto* c = new Cache;
        qAddPostRoutine([] { QtImageCache::clear(); });
        return c;
    }();
    return *instance;
}

} // namespace

QPixmap QtImageCache::bitmap(int id) {
    Cache& c = cache();
    if (const auto it = c.bitmaps.constFind(id); it != c.bitmaps.constEnd())
        return *it;
    const WResourceCatalog* catalog = WResources::catalog();
    const WBitmapTemplate* tmpl = catalog ? catalog->bitmap(id) : nullptr;
    if (!tmpl)
        return {};
    const QPixmap pixmap = QtBitmapPainter::paint(*tmpl);
    c.bitmaps.insert(id, pixmap);
    return pixmap;
}

QPixmap QtImageCache::bitmap(int id, QSize size) {
    Cache& c = cache();
    const quint64 key = (static_cast<quint64>(static_cast<quint32>(id)) << 32) |
                        (static_cast<quint64>(size.width() & 0xFFFF) << 16) |
                        static_cast<quint64>(size.height() & 0xFFFF);
    if (const auto it = c.scaled.constFind(key); it != c.scaled.constEnd())
        return *it;
    QPixmap pixmap = bitmap(id);
    if (pixmap.isNull())
        return {};
    if (pixmap.size() != size)
        pixmap = pixmap.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    c.scaled.insert(key, pixmap);
    return pixmap;
}

QIcon QtImageCache::icon(int id) {
    Cache& c = cache();
    if (const auto it = c.icons.constFind(id); it != c.icons.constEnd())
        return *it;
    const WResourceCatalog* catalog = WResources::catalog();
    const WBitmapTemplate* tmpl = catalog ? catalog->icon(id) : nullptr;
    if (!tmpl)
        return {};
    const QIcon icon(QtBitmapPainter::paint(*tmpl));
    c.icons.insert(id, icon);
    return icon;
}

void QtImageCache::clear() {
    Cache& c = cache();
    c.bitmaps.clear();
    c.scaled.clear();
    c.icons.clear();
}
