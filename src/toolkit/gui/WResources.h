#pragma once

#include "toolkit/gui/WResourceCatalog.h"

// The catalogue the toolkit loads forms, menus, key tables, bitmaps and icons from.
namespace WResources {
void install(const WResourceCatalog* catalog);
const WResourceCatalog* catalog();
} // namespace WResources
