#include "app/settings/SettingsController.h"

#include "app/BusyState.h"
#include "app/form1/Form1.h"
#include "app/settings/Form2.h"
#include "resources/MorlanzResources.h"
#include "toolkit/gui/WMenu.h"
#include "toolkit/gui/WMenuItem.h"

SettingsController::SettingsController(Form1& form, const BusyState& busy) : form_(form), busy_(busy) {
    if (WMenuItem* item = form_.menu()->item(MenuId::Einstellung))
        item->connect(WEventId::ClickEvent, this, &SettingsController::onSettingsCommand);
}

SettingsController::~SettingsController() = default;

void SettingsController::OpenSettings() {
    if (form2_ && !form2_->isClosed()) {
        form2_->activate();
        return;
    }
    if (busy_.RefuseWhileBusy(&form_))
        return;
    form2_ = std::make_unique<Form2>();
    if (!form2_->create(form_, busy_)) {
        form2_.reset();
        return;
    }
    form2_->setState(WForm::State::Normal);
}

bool SettingsController::onSettingsCommand(WEventData&) {
    OpenSettings();
    return true;
}
