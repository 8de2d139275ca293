#pragma once

#include "toolkit/core/WString.h"

class WWindow;

// The tool tip that shows a window's tip text while the mouse rests on it. The text itself belongs to
// the window (WWindow::setTipText); this shows and hides it on request.
class WToolTip {
public:
    static void setText(WWindow& window, const WString& text);
    static WString text(const WWindow& window);
    // Shows the window's tip now, below its top left corner; false when it has none or is hidden.
    static bool show(const WWindow& window);
    static void hide();
    static bool isShown();
};
