#include "toolkit/gui/WWindow.h"

#include "toolkit/gui/WFont.h"
#include "toolkit/gui/qt/QtHandOver.h"
#include "toolkit/gui/qt/QtText.h"
#include "toolkit/gui/qt/WWindowBridge.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QThread>

#include <algorithm>

namespace {

void applyText(QWidget* w, const QString& text) {
    if (w->isWindow())
        w->setWindowTitle(text);
    else if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(text);
    else if (auto* textEdit = qobject_cast<QPlainTextEdit*>(w))
        textEdit->setPlainText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->isEditable())
        combo->setEditText(text); // a drop-down list has no text of its own
}

QString readText(const QWidget* w) {
    if (w->isWindow())
        return w->windowTitle();
    if (auto* label = qobject_cast<const QLabel*>(w))
        return label->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(w))
        return edit->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->text();
    if (auto* textEdit = qobject_cast<const QPlainTextEdit*>(w))
        return textEdit->toPlainText();
    if (auto* combo = qobject_cast<const QComboBox*>(w))
        return combo->currentText();
    return {};
}

QColor toQColor(WRgb c) {
    return QColor(c.r, c.g, c.b);
}

// Moves and sizes a widget. A top-level window's rectangle is its own area without the window
// manager's decoration: that is known before the window is first shown, and it is what the
// desktop's tools report. A child repaints the parent area it uncovered at once, so a step-wise
// animation that does not return to the event loop leaves no trail.
void applyGeometry(QWidget* w, const WRect& r) {
    const int width = std::max(0, r.width);
    const int height = std::max(0, r.height);
    if (w->isWindow()) {
        if (w->minimumSize() == w->maximumSize())
            w->setFixedSize(width, height); // a form without a sizing border keeps its fixed size
        w->setGeometry(r.x, r.y, width, height);
        return;
    }
    const QRect before = w->geometry();
    const QRect after(r.x, r.y, width, height);
    w->setGeometry(after);
    QWidget* parent = w->parentWidget();
    if (parent && w->isVisible()) {
        const QRegion uncovered = QRegion(before).subtracted(QRegion(after));
        if (!uncovered.isEmpty())
            parent->repaint(uncovered);
    }
}

} // namespace

WWindow::WWindow(QWidget* widget) : bridge_(std::make_unique<WWindowBridge>(*this, widget)) {}

WWindow::~WWindow() {
    const QPointer<QWidget> w = bridge_->widget();
    // Destroyed from a handler: Qt may still be inside an event of this widget or of one of its
    // children (a button's click, a menu's choice), so the widget goes once that event has unwound.
    const bool deferred = WEventTable::anyRaising() || bridge_->isDispatching();
    bridge_->detach();
    if (w) {
        // Nothing that dies with the widget may call back into a window object that is going.
        w->blockSignals(true);
        for (QObject* child : w->findChildren<QObject*>())
            child->blockSignals(true);
    }
    if (deferred) {
        if (w) {
            w->hide();
            w->deleteLater();
        }
        bridge_.release()->deleteLater();
    } else {
        delete w.data();
    }
}

QWidget* WWindow::widget() const {
    return bridge_ ? bridge_->widget() : nullptr;
}

bool WWindow::raiseEvent(WEventData& data) {
    return bridge_->dispatch(data);
}

void WWindow::setText(const WString& text) {
    QWidget* w = widget();
    if (!w)
        return;
    const QString q = QtText::toQString(text);
    if (QThread::currentThread() != w->thread()) {
        // A worker's text reaches the window as a queued call; a window destroyed meanwhile drops it.
        const QPointer<QWidget> target = w;
        QMetaObject::invokeMethod(w, QtHandOver::wrap([target, q] {
                                      if (target)
                                          applyText(target, q);
                                  }),
                                  Qt::QueuedConnection);
        return;
    }
    applyText(w, q);
}

WString WWindow::text() const {
    const QWidget* w = widget();
    return w ? QtText::fromQStringLossy(readText(w)) : WString();
}

bool WWindow::isVisible() const {
    const QWidget* w = widget();
    return w && w->isVisible();
}

bool WWindow::isEnabled() const {
    const QWidget* w = widget();
    return w && w->isEnabled();
}

void WWindow::setEnabled(bool enabled) {
    if (QWidget* w = widget())
        w->setEnabled(enabled);
}

void WWindow::setVisible(bool visible) {
    if (QWidget* w = widget())
        w->setVisible(visible);
}

bool WWindow::isShown() const {
    const QWidget* w = widget();
    return w && !w->isHidden();
}

void WWindow::setFocus() {
    if (QWidget* w = widget())
        w->setFocus(Qt::OtherFocusReason);
}

bool WWindow::hasFocus() const {
    // The focus within its own window, whether or not that window is the active one.
    const QWidget* w = widget();
    return w && w->window()->focusWidget() == w;
}

void WWindow::setFocusable(bool focusable) {
    if (QWidget* w = widget())
        w->setFocusPolicy(focusable ? Qt::StrongFocus : Qt::NoFocus);
}

void WWindow::setTabOrder(const std::vector<WWindow*>& order) {
    for (std::size_t i = 1; i < order.size(); ++i) {
        if (order[i - 1]->widget() && order[i]->widget())
            QWidget::setTabOrder(order[i - 1]->widget(), order[i]->widget());
    }
}

void WWindow::setAccessibleName(const WString& name) {
    if (QWidget* w = widget())
        w->setAccessibleName(QtText::toQString(name));
}

WRect WWindow::rect() const {
    const QWidget* w = widget();
    if (!w)
        return {};
    const QRect r = w->geometry();
    return {r.x(), r.y(), r.width(), r.height()};
}

void WWindow::setRect(const WRect& r) {
    if (QWidget* w = widget())
        applyGeometry(w, r);
}

void WWindow::repaint(bool /*erase*/) {
    // Qt always paints the background of a widget that fills it, so erasing needs no extra step.
    if (QWidget* w = widget())
        w->repaint();
}

void WWindow::setCapture() {
    QWidget* surface = bridge_->mouseSurface();
    if (surface && surface->isVisible())
        surface->grabMouse();
}

void WWindow::releaseCapture() {
    // Like the platform's release: whichever window holds the capture lets it go.
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
}

bool WWindow::setFont(const WString& fontText) {
    const auto font = WFont::fromText(fontText);
    QWidget* w = widget();
    if (!font || !w)
        return false;
    QFont qfont(QtText::toQString(font->face()), font->pointSize());
    // The faces the layouts name ("MS Sans Serif", "Arial") are rarely installed here; fall back to a
    // sans-serif face rather than whatever the font system picks first.
    qfont.setStyleHint(QFont::SansSerif);
    w->setFont(qfont);
    return true;
}

void WWindow::setBackColor(WRgb color) {
    QWidget* w = widget();
    if (!w)
        return;
    QPalette palette = w->palette();
    palette.setColor(QPalette::Window, toQColor(color));
    // Edit fields and lists paint their face with Base. A form's colour must not reach them through
    // palette inheritance, so it sets the window role only.
    if (!w->isWindow())
        palette.setColor(QPalette::Base, toQColor(color));
    w->setPalette(palette);
    w->setAutoFillBackground(true);
}

void WWindow::setTextColor(WRgb color) {
    QWidget* w = widget();
    if (!w)
        return;
    QPalette palette = w->palette();
    // Disabled text keeps the style's grey.
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            palette.setColor(group, role, toQColor(color));
    }
    w->setPalette(palette);
}

void WWindow::setContextMenu(WPopupMenu* menu) {
    contextMenu_ = menu;
}
