#pragma once

#include "toolkit/gui/WForm.h"

#include <memory>

class BusyState;
class WCheckBox;
class WCommandButton;
class WLabel;

// The settings form: three options as check boxes, written back by "Ok".
class Form2 : public WForm {
public:
    Form2();
    ~Form2() override;

    // Builds the form as a modeless dialog owned by owner, sets its texts and marks the boxes from
    // the settings file. The form is left hidden; show() opens it. While busy says a run by hand is
    // under way, "Ok" is refused and the form stays open with its marks.
    bool create(WForm& owner, const BusyState& busy);

    std::unique_ptr<WCommandButton> cb_1, cb_speichern;
    std::unique_ptr<WCheckBox> checkbox_kopie, checkbox_status, checkbox_sound_ani;
    std::unique_ptr<WLabel> label_kopie;

private:
    bool onOk(WEventData& event);
    const BusyState* busy_ = nullptr;
    bool onCancel(WEventData& event);
};
