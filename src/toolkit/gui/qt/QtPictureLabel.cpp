#include "toolkit/gui/qt/QtPictureLabel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionFocusRect>
#include <QTimer>

namespace {

// A picture button as assistive technology sees it: a push button named by its caption, described
// by its tool tip, whose press action does what a click inside the picture does.
class PictureButtonAccessible : public QAccessibleWidget {
public:
    explicit PictureButtonAccessible(QtPictureLabel* label) : QAccessibleWidget(label, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Description)
            return widget()->toolTip();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& action) override {
        if (action == pressAction())
            static_cast<QtPictureLabel*>(widget())->activateLater();
        else
            QAccessibleWidget::doAction(action);
    }
    QStringList keyBindingsForAction(const QString& action) const override {
        if (action == pressAction())
            return {QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(action);
    }
};

QAccessibleInterface* pictureButtonFactory(const QString&, QObject* object) {
    auto* label = dynamic_cast<QtPictureLabel*>(object);
    if (label && label->isButton())
        return new PictureButtonAccessible(label);
    return nullptr;
}

} // namespace

QtPictureLabel::QtPictureLabel() {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(pictureButtonFactory);
        return true;
    }();
    (void)factoryInstalled;
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setScaledContents(false);
}

void QtPictureLabel::setButtonRole(const QString& name, std::function<void()> activate) {
    activate_ = std::move(activate);
    setAccessibleName(name);
    setFocusPolicy(Qt::TabFocus);
    // An interface made before the picture became a button (focus changes make one) describes a
    // picture: it goes, and the next query makes the button's.
    if (QAccessibleInterface* known = QAccessible::queryAccessibleInterface(this);
        known && known->role() != QAccessible::Button && activate_)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(known));
}

void QtPictureLabel::activateLater() {
    QTimer::singleShot(0, this, [self = QPointer<QtPictureLabel>(this)] {
        if (self && self->activate_ && self->isVisible())
            self->activate_();
    });
}

void QtPictureLabel::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (activate_ && !event->isAutoRepeat() && event->modifiers() == Qt::NoModifier &&
        (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        event->accept();
        activate_();
        return;
    }
    QLabel::keyPressEvent(event);
}

void QtPictureLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus() || width() < 6 || height() < 6)
        return;
    QPainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect().adjusted(3, 3, -3, -3);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}
