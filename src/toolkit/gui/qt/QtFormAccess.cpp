#include "toolkit/gui/qt/QtFormAccess.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QVariant>

namespace {

const char* const kRoleProperty = "morlanzWindowRole";

QAccessibleInterface* formFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget || !widget->isWindow())
        return nullptr;
    const QVariant role = widget->property(kRoleProperty);
    if (!role.isValid())
        return nullptr;
    return new QAccessibleWidget(widget, static_cast<QAccessible::Role>(role.toInt()));
}

class DialogKeys : public QObject {
public:
    DialogKeys(QWidget* top, QWidget* ok, QWidget* cancel) : QObject(top), ok_(ok), cancel_(cancel) {
        top->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & ~Qt::KeypadModifier)
            return false;
        QWidget* target = nullptr;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
            target = focused ? focused : ok_.data();
        } else if (key->key() == Qt::Key_Escape) {
            target = cancel_.data();
        }
        auto* button = qobject_cast<QAbstractButton*>(target);
        if (!button || !button->isEnabled())
            return false;
        button->click();
        return true;
    }

private:
    QPointer<QWidget> ok_, cancel_;
};

} // namespace

void QtFormAccess::markWindow(QWidget* top, bool dialog) {
    static const bool installed = [] {
        QAccessible::installFactory(formFactory);
        return true;
    }();
    (void)installed;
    top->setProperty(kRoleProperty, static_cast<int>(dialog ? QAccessible::Dialog : QAccessible::Window));
}

void QtFormAccess::setDialogKeys(QWidget* top, QWidget* ok, QWidget* cancel) {
    // A key the focused control leaves unhandled travels up to the window, where the filter sees it.
    new DialogKeys(top, ok, cancel);
}
