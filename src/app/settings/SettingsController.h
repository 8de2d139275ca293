#pragma once

#include <memory>

class BusyState;
class Form1;
class Form2;
struct WEventData;

// Opens the settings form from the menu item "Einstellung" (and Ctrl+E): modeless, one at a time.
class SettingsController {
public:
    SettingsController(Form1& form, const BusyState& busy);
    ~SettingsController();

    // A second command brings the open form forward instead of opening another. Refused while a
    // run by hand is under way.
    void OpenSettings();
    // The open form, or null.
    Form2* settingsForm() const { return form2_.get(); }

private:
    bool onSettingsCommand(WEventData& event);

    Form1& form_;
    const BusyState& busy_;
    std::unique_ptr<Form2> form2_;
};
