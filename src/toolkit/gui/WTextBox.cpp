#include "toolkit/gui/WTextBox.h"

#include "toolkit/gui/qt/QtCp1252Validator.h"
#include "toolkit/gui/qt/WWindowBridge.h"

#include <QLineEdit>

WTextBox::WTextBox(WForm& parent, int id) : WControl(parent, id, new QLineEdit) {
    setUp();
}

WTextBox::WTextBox(WForm& parent, int id, QWidget* lineEdit) : WControl(parent, id, lineEdit) {
    setUp();
}

void WTextBox::setUp() {
    auto* edit = static_cast<QLineEdit*>(widget());
    edit->setValidator(new QtCp1252Validator(edit));
    edit->setReadOnly((layout().style & WStyle::ReadOnly) != 0);
    bridge().listen(edit, &QLineEdit::textChanged, [this] {
        WEventData data;
        data.id = WEventId::ChangeEvent;
        raiseEvent(data);
    });
}
