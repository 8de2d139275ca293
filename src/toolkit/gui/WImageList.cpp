#include "toolkit/gui/WImageList.h"

int WImageList::add(int bitmapId) {
    bitmaps_.push_back(bitmapId);
    return count() - 1;
}

int WImageList::bitmapId(int index) const {
    return index >= 0 && index < count() ? bitmaps_[static_cast<std::size_t>(index)] : 0;
}
