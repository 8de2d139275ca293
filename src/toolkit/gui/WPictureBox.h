#pragma once

#include "toolkit/gui/WControl.h"

// Shows a bitmap at its natural size in the top left corner, clipped by the box.
class WPictureBox : public WControl {
public:
    WPictureBox(WForm& parent, int id);

    // An id the catalogue lacks empties the box; returns whether a picture is shown.
    bool setBitmap(int bitmapId);
};
