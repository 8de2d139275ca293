#pragma once

#include "toolkit/gui/WResourceCatalog.h"
#include "toolkit/gui/WWindow.h"

class WForm;

// A child control of a form, created from the form's layout entry with its id.
class WControl : public WWindow {
public:
    const char* className() const override { return "WControl"; }
    int id() const { return id_; }
    const WControlTemplate& layout() const { return layout_; }

protected:
    // Applies the layout entry: name, text, tip, visibility and geometry (dialog units -> pixels).
    WControl(WForm& parent, int id, QWidget* widget);

private:
    int id_;
    WControlTemplate layout_;
};
