#include "toolkit/gui/WListBox.h"

#include "toolkit/gui/qt/QtListOrder.h"
#include "toolkit/gui/qt/QtText.h"
#include "toolkit/gui/qt/ScopedFlag.h"
#include "toolkit/gui/qt/WWindowBridge.h"

#include <QListWidget>

namespace {

QListWidget* list(const WWindow& w) {
    return static_cast<QListWidget*>(w.widget());
}

} // namespace

WListBox::WListBox(WForm& parent, int id) : WControl(parent, id, new QListWidget) {
    QListWidget* l = list(*this);
    const bool extended = (layout().style & WStyle::ExtendedSel) != 0;
    l->setSelectionMode(extended ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    bridge().listen(l, &QListWidget::itemSelectionChanged, [this] {
        if (quiet_)
            return;
        WEventData data;
        data.id = WEventId::SelectEvent;
        raiseEvent(data);
    });
}

int WListBox::count() const {
    const QListWidget* l = list(*this);
    return l ? l->count() : 0;
}

int WListBox::addItem(const WString& text) {
    QListWidget* l = list(*this);
    if (!l)
        return -1;
    if (!(layout().style & WStyle::Sorted))
        return insertItem(-1, text);
    const QString q = QtText::toQString(text);
    const int at = QtListOrder::insertPosition(
        l->count(), [l](int i) { return l->item(i)->text(); }, q);
    return insertItem(at, text);
}

int WListBox::insertItem(int index, const WString& text) {
    QListWidget* l = list(*this);
    if (!l)
        return -1;
    const ScopedFlag quiet(quiet_);
    if (index < 0 || index > l->count())
        index = l->count();
    l->insertItem(index, QtText::toQString(text));
    return index;
}

WString WListBox::itemText(int index) const {
    const QListWidget* l = list(*this);
    const QListWidgetItem* item = l ? l->item(index) : nullptr;
    return item ? QtText::fromQStringLossy(item->text()) : WString();
}

bool WListBox::removeItem(int index) {
    QListWidget* l = list(*this);
    if (!l || index < 0 || index >= l->count())
        return false;
    const ScopedFlag quiet(quiet_);
    delete l->takeItem(index);
    return true;
}

void WListBox::clear() {
    if (QListWidget* l = list(*this)) {
        const ScopedFlag quiet(quiet_);
        l->clear();
    }
}

int WListBox::selectedIndex() const {
    if (const QListWidget* l = list(*this)) {
        for (int i = 0; i < l->count(); ++i) {
            if (l->item(i)->isSelected())
                return i;
        }
    }
    return -1;
}

bool WListBox::select(int index) {
    QListWidget* l = list(*this);
    if (!l)
        return false;
    const bool inRange = index >= 0 && index < l->count();
    {
        const ScopedFlag quiet(quiet_);
        if (inRange)
            l->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
        else
            l->clearSelection();
    }
    WEventData data;
    data.id = WEventId::SelectEvent;
    raiseEvent(data);
    return inRange;
}

std::vector<int> WListBox::selectedIndices() const {
    std::vector<int> marked;
    if (const QListWidget* l = list(*this)) {
        for (int i = 0; i < l->count(); ++i) {
            if (l->item(i)->isSelected())
                marked.push_back(i);
        }
    }
    return marked;
}

bool WListBox::setSelected(int index, bool selected) {
    QListWidget* l = list(*this);
    if (!l || index < 0 || index >= l->count())
        return false;
    {
        const ScopedFlag quiet(quiet_);
        l->item(index)->setSelected(selected);
    }
    WEventData data;
    data.id = WEventId::SelectEvent;
    raiseEvent(data);
    return true;
}
