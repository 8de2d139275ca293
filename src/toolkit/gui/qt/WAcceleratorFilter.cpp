#include "toolkit/gui/qt/WAcceleratorFilter.h"

#include "toolkit/gui/WAcceleratorTable.h"
#include "toolkit/gui/WMenu.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace {

// The table's key for a Qt key: an upper-case letter or a digit, else 0.
char tableKey(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<char>('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<char>('0' + (key - Qt::Key_0));
    return 0;
}

// The table's modifiers. The table cannot name Meta: with it held no entry matches.
unsigned tableModifiers(Qt::KeyboardModifiers modifiers) {
    unsigned result = 0;
    if (modifiers & Qt::ControlModifier)
        result |= WKeyMod::Ctrl;
    if (modifiers & Qt::ShiftModifier)
        result |= WKeyMod::Shift;
    if (modifiers & Qt::AltModifier)
        result |= WKeyMod::Alt;
    if (modifiers & Qt::MetaModifier)
        result |= 0x8000u;
    return result;
}

} // namespace

WAcceleratorFilter::WAcceleratorFilter(const WAcceleratorTable& table, QWidget* formWindow, WMenu* menu)
    : table_(table), window_(formWindow), menu_(menu) {
    QCoreApplication::instance()->installEventFilter(this);
}

WAcceleratorFilter::~WAcceleratorFilter() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool WAcceleratorFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !window_)
        return false;
    auto* target = qobject_cast<QWidget*>(watched);
    if (!target || target->window() != window_.data())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const char ch = tableKey(key->key());
    const int command = ch ? table_.commandFor(ch, tableModifiers(key->modifiers())) : 0;
    if (command == 0)
        return false;
    // The key belongs to the table: the focused control never sees it, even without an item to choose.
    if (WMenuItem* item = menu_ ? menu_->item(command) : nullptr)
        item->choose();
    return true;
}
