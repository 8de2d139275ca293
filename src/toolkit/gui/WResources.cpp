#include "toolkit/gui/WResources.h"

#include "toolkit/gui/qt/QtImageCache.h"

namespace {
const WResourceCatalog* g_catalog = nullptr;
} // namespace

namespace WResources {

void install(const WResourceCatalog* catalog) {
    g_catalog = catalog;
    // Pictures drawn from the previous catalogue must not be handed out for the new one's ids.
    QtImageCache::clear();
}

const WResourceCatalog* catalog() {
    return g_catalog;
}

} // namespace WResources
