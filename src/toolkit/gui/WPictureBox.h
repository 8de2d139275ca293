#pragma once

#include "toolkit/gui/WBitmap.h"
#include "toolkit/gui/WControl.h"

// Shows a bitmap at its natural size in the top left corner, clipped by the box.
class WPictureBox : public WControl {
public:
    WPictureBox(WForm& parent, int id);
    const char* className() const override { return "WPictureBox"; }

    // An id the catalogue lacks empties the box; returns whether a picture is shown.
    bool setBitmap(int bitmapId);
    bool setBitmap(const WBitmap& bitmap) { return setBitmap(bitmap.id()); }
    // The id of the picture shown, 0 when none.
    int bitmapId() const { return bitmapId_; }

private:
    int bitmapId_ = 0;
};
