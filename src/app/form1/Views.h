#pragma once

#include <functional>

class Effects;
class Form1;
struct ControllerData;

// The three views of the main window (overview, editor, log) and the six transitions between them:
// each shows, places and grows its controls, or shrinks, parks and hides them, in a fixed order,
// with the view's sound, and ends with a repaint of the whole form. Also the three editor buttons'
// active and inactive looks.
class Views {
public:
    // overviewShown runs at the end of ShowOverview, before the repaint (the job buttons' looks and
    // the selected job's details).
    Views(Form1& form, Effects& effects, ControllerData& data, std::function<void()> overviewShown);

    void ShowOverview();
    void HideOverview();
    void ShowEditor();
    void HideEditor();
    // Always follows HideOverview, so it does not collapse.
    void ShowLogPanel();
    void HideLogPanel();
    // Every view control to 0 x 0; neither hides nor repaints.
    void CollapseAll();
    // Start-up: the logo takes no room until a view grows it (none does).
    void CollapseLogo();

    // Sets the button's inactive flag to !active and shows its active or inactive picture.
    void EnableSourceButton(bool active);
    void EnableTargetButton(bool active);
    void EnableSaveButton(bool active);

private:
    Form1& form_;
    Effects& effects_;
    ControllerData& data_;
    std::function<void()> overviewShown_;
};
