#include "toolkit/gui/WIcon.h"

#include "toolkit/gui/WResources.h"

WIcon::WIcon(int id) : id_(id) {
    const WResourceCatalog* catalog = WResources::catalog();
    valid_ = catalog && catalog->icon(id) != nullptr;
}
