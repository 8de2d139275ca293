#pragma once

#include "toolkit/gui/WResourceCatalog.h"
#include "toolkit/gui/WWindow.h"

class WForm;

// A child control of a form, created from the form's layout entry with its id.
class WControl : public WWindow {
protected:
    // Applies the layout entry: name, text, tip, visibility and geometry (dialog units -> pixels).
    WControl(WForm& parent, int id, QWidget* widget);
    // The control's styles and texts as the layout gives them.
    const WControlTemplate& layout() const { return layout_; }

private:
    WControlTemplate layout_;
};
