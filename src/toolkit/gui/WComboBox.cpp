#include "toolkit/gui/WComboBox.h"

#include "toolkit/gui/qt/QtText.h"
#include "toolkit/gui/qt/WWindowBridge.h"

#include <QComboBox>

#include <functional>

namespace {

// Qt announces no opening of the list; the platform's combo box does.
class DropDownComboBox : public QComboBox {
public:
    std::function<void()> aboutToDropDown;

    void showPopup() override {
        if (aboutToDropDown)
            aboutToDropDown();
        QComboBox::showPopup();
    }
};

QComboBox* combo(const WWindow& w) {
    return static_cast<QComboBox*>(w.widget());
}

} // namespace

WComboBox::WComboBox(WForm& parent, int id) : WControl(parent, id, new DropDownComboBox) {
    auto* box = static_cast<DropDownComboBox*>(widget());
    box->setEditable(!(layout().style & WStyle::DropDownList));
    box->setCurrentIndex(-1);
    box->aboutToDropDown = [this] {
        WEventData data;
        data.id = WEventId::DropDownEvent;
        raiseEvent(data);
    };
    bridge().listen(box, &QComboBox::activated, [this] {
        WEventData data;
        data.id = WEventId::SelectEvent;
        raiseEvent(data);
    });
}

int WComboBox::addItem(const WString& text) {
    QComboBox* box = combo(*this);
    if (!box)
        return -1;
    const int selected = box->currentIndex();
    box->addItem(QtText::toQString(text));
    // Qt selects the first item added to an empty box; the platform's combo box does not.
    box->setCurrentIndex(selected);
    return box->count() - 1;
}

WString WComboBox::itemText(int index) const {
    const QComboBox* box = combo(*this);
    if (!box || index < 0 || index >= box->count())
        return {};
    return QtText::fromQStringLossy(box->itemText(index));
}

int WComboBox::selectedIndex() const {
    const QComboBox* box = combo(*this);
    return box ? box->currentIndex() : -1;
}

bool WComboBox::select(int index) {
    QComboBox* box = combo(*this);
    if (!box)
        return false;
    const bool inRange = index >= 0 && index < box->count();
    box->setCurrentIndex(inRange ? index : -1);
    return inRange;
}

int WComboBox::selectByPrefix(const WString& prefix) {
    QComboBox* box = combo(*this);
    if (!box)
        return -1;
    const QString q = QtText::toQString(prefix);
    for (int i = 0; i < box->count(); ++i) {
        if (box->itemText(i).startsWith(q, Qt::CaseInsensitive)) {
            box->setCurrentIndex(i);
            return i;
        }
    }
    box->setCurrentIndex(-1);
    return -1;
}
