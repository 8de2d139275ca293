#pragma once

#include "toolkit/gui/WControl.h"

// Shows a bitmap at its natural size in the top left corner, clipped by the box.
class WPictureBox : public WControl {
public:
    WPictureBox(WForm& parent, int id);
    ~WPictureBox() override;

    // Shows the bitmap. An id the catalogue lacks is a programming error: the box shows a visible
    // placeholder, one line per missing id goes to standard error, and the result is false.
    bool setBitmap(int bitmapId);
    // The bitmap shown last (the placeholder's id when it was missing).
    int bitmapId() const { return bitmapId_; }

    // Makes the picture a push button for the keyboard and for assistive technology, named name
    // (the caption painted in it) and described by its tool tip: Tab reaches it while it is shown,
    // and Space, Enter or an assistive tool's press action raise ClickEvent on it (x and y 0).
    void setButtonRole(const WString& name);

private:
    int bitmapId_ = 0;
};
