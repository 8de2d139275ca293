#include "toolkit/gui/WCommandButton.h"

#include "toolkit/gui/qt/WWindowBridge.h"

#include <QPushButton>

WCommandButton::WCommandButton(WForm& parent, int id) : WControl(parent, id, new QPushButton) {
    auto* button = static_cast<QPushButton*>(widget());
    // Enter in a text field must not click some button of the form.
    button->setAutoDefault(false);
    bridge().listen(button, &QPushButton::clicked, [this] {
        WEventData data;
        data.id = WEventId::ClickEvent;
        raiseEvent(data);
    });
}

void WCommandButton::click() {
    if (auto* button = static_cast<QPushButton*>(widget()))
        button->click();
}
