#include "toolkit/gui/WCheckBox.h"

#include "toolkit/gui/qt/WWindowBridge.h"

#include <QCheckBox>

WCheckBox::WCheckBox(WForm& parent, int id) : WControl(parent, id, new QCheckBox) {
    bridge().listen(static_cast<QCheckBox*>(widget()), &QCheckBox::clicked, [this] {
        WEventData data;
        data.id = WEventId::ClickEvent;
        raiseEvent(data);
    });
}

bool WCheckBox::isChecked() const {
    const auto* box = static_cast<const QCheckBox*>(widget());
    return box && box->isChecked();
}

void WCheckBox::setChecked(bool checked) {
    if (auto* box = static_cast<QCheckBox*>(widget()))
        box->setChecked(checked);
}
