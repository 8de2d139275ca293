#include "toolkit/gui/WBitmap.h"

#include "toolkit/gui/WResources.h"

WBitmap::WBitmap(int id) : id_(id) {
    const WResourceCatalog* catalog = WResources::catalog();
    if (const WBitmapTemplate* bitmap = catalog ? catalog->bitmap(id) : nullptr) {
        width_ = bitmap->width;
        height_ = bitmap->height;
    }
}
