#include "toolkit/gui/qt/WWindowBridge.h"

#include "toolkit/gui/WForm.h"
#include "toolkit/gui/WPopupMenu.h"
#include "toolkit/gui/qt/QtBlockingCalls.h"
#include "toolkit/gui/qt/QtHandOver.h"

#include <QAbstractScrollArea>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QThread>
#include <QWindowStateChangeEvent>

#include <optional>

namespace {

std::optional<WEventId> buttonEvent(QEvent::Type type, Qt::MouseButton button) {
    struct Row {
        Qt::MouseButton button;
        WEventId down, up, dbl;
    };
    static constexpr Row kRows[] = {
        {Qt::LeftButton, WEventId::LeftButtonDownEvent, WEventId::LeftButtonUpEvent, WEventId::LeftButtonDoubleEvent},
        {Qt::RightButton, WEventId::RightButtonDownEvent, WEventId::RightButtonUpEvent,
         WEventId::RightButtonDoubleEvent},
        {Qt::MiddleButton, WEventId::MiddleButtonDownEvent, WEventId::MiddleButtonUpEvent,
         WEventId::MiddleButtonDoubleEvent},
    };
    for (const Row& row : kRows) {
        if (row.button != button)
            continue;
        switch (type) {
        case QEvent::MouseButtonPress:
            return row.down;
        case QEvent::MouseButtonRelease:
            return row.up;
        case QEvent::MouseButtonDblClick:
            return row.dbl;
        default:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace

WWindowBridge::WWindowBridge(WWindow& owner, QWidget* widget)
    : owner_(&owner), widget_(widget), calls_(std::make_shared<QtBlockingCalls>(this)) {
    widget->installEventFilter(this);
    auto* area = qobject_cast<QAbstractScrollArea*>(widget);
    setMouseSurface(area ? area->viewport() : widget, widget);
}

WWindowBridge::~WWindowBridge() {
    detach();
}

void WWindowBridge::setMouseSurface(QWidget* surface, QWidget* origin) {
    if (surface_ && surface_ != widget_)
        surface_->removeEventFilter(this);
    surface_ = surface;
    origin_ = origin;
    if (surface != widget_.data())
        surface->installEventFilter(this);
    // Moves without a pressed button must arrive too, and an event a control leaves unhandled must not
    // reach the form underneath (the form would report a click on a control as one on the bare form).
    surface->setMouseTracking(true);
    surface->setAttribute(Qt::WA_NoMousePropagation);
    if (widget_)
        widget_->setAttribute(Qt::WA_NoMousePropagation);
}

void WWindowBridge::post(std::function<void()> fn) {
    QMetaObject::invokeMethod(this, QtHandOver::wrap([this, fn = std::move(fn)] {
                                  if (owner_)
                                      fn();
                              }),
                              Qt::QueuedConnection);
}

void WWindowBridge::callOnOwnThread(const std::function<void()>& fn) {
    if (QThread::currentThread() == thread()) {
        if (owner_)
            fn();
        return;
    }
    // A copy: the calls must outlive this wait, which the bridge need not.
    const std::shared_ptr<QtBlockingCalls> calls = calls_;
    calls->runAndWait(fn);
}

bool WWindowBridge::dispatch(WEventData& data) {
    if (!owner_)
        return false;
    if (!data.source)
        data.source = owner_;
    const auto life = owner_->events().lifetime();
    ++depth_;
    const bool handled = owner_->events().raise(data);
    --depth_;
    if (life.expired() || !owner_)
        return handled;
    if (!handled && data.id == WEventId::RightButtonUpEvent && owner_->contextMenu())
        openContextMenuLater();
    return handled;
}

void WWindowBridge::openContextMenuLater(bool atWidget) {
    post([this, atWidget] {
        if (!owner_->contextMenu())
            return;
        // The owner may set up the items (enable, grey) before the menu opens.
        const auto life = owner_->events().lifetime();
        raiseSimple(WEventId::InitMenuEvent);
        if (life.expired() || !owner_)
            return;
        if (WPopupMenu* menu = owner_->contextMenu()) {
            ++depth_;
            if (atWidget && widget_)
                menu->trackAt(widget_->mapToGlobal(QPoint(0, widget_->height())));
            else
                menu->track();
            --depth_;
        }
    });
}

bool WWindowBridge::raiseSimple(WEventId id) {
    WEventData data;
    data.id = id;
    return dispatch(data);
}

bool WWindowBridge::requestClose(bool fromSystem) {
    if (!owner_ || !widget_)
        return false;
    auto* form = dynamic_cast<WForm*>(owner_);
    if (form && form->closed_)
        return true;
    if (fromSystem) {
        WEventData data;
        data.id = WEventId::SystemCommandEvent;
        data.systemCommand = WSysCommand::Close;
        if (dispatch(data) || isDetached())
            return isDetached();
    }
    for (const WEventId id : {WEventId::QueryCloseEvent, WEventId::CloseEvent}) {
        if (raiseSimple(id) || isDetached())
            return isDetached();
    }
    widget_->hide();
    if (form)
        form->closed_ = true;
    raiseSimple(WEventId::DestroyEvent);
    return true;
}

void WWindowBridge::detach() {
    // The window is going: nothing waits for it any more, and nothing more is run for it.
    calls_->close();
    for (const auto& connection : connections_)
        QObject::disconnect(connection);
    connections_.clear();
    if (widget_)
        widget_->removeEventFilter(this);
    if (surface_)
        surface_->removeEventFilter(this);
    owner_ = nullptr;
}

bool WWindowBridge::event(QEvent* event) {
    if (event->type() != QtBlockingCalls::wakeUpType())
        return QObject::event(event);
    // A copy: should a call's handler end the window, the calls still outlive this bridge.
    const std::shared_ptr<QtBlockingCalls> calls = calls_;
    calls->runQueued();
    return true;
}

bool WWindowBridge::eventFilter(QObject* watched, QEvent* event) {
    if (!owner_)
        return false;
    const bool onSurface = watched == surface_.data();
    const bool onWindow = watched == widget_.data() && widget_->isWindow();
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return onSurface && mouseEvent(static_cast<QMouseEvent*>(event));
    case QEvent::ContextMenu:
        // The attached popup replaces the widget's own context menu; it opens on the button's release,
        // or at once below the window for the menu key or Shift+F10.
        if (!owner_->contextMenu())
            return false;
        if (static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard)
            openContextMenuLater(true);
        return true;
    case QEvent::Close:
        return onWindow && closeEvent(static_cast<QCloseEvent*>(event));
    case QEvent::WindowStateChange:
        if (onWindow)
            windowStateChanged(static_cast<QWindowStateChangeEvent*>(event));
        return false;
    case QEvent::WindowActivate:
        if (onWindow)
            raiseSimple(WEventId::ActivateEvent);
        return false;
    case QEvent::WindowDeactivate:
        if (onWindow)
            raiseSimple(WEventId::DeactivateEvent);
        return false;
    case QEvent::Resize:
        if (onWindow)
            raiseSimple(WEventId::ResizeEvent);
        return false;
    default:
        return false;
    }
}

bool WWindowBridge::mouseEvent(QMouseEvent* event) {
    WEventData data;
    if (event->type() == QEvent::MouseMove) {
        data.id = WEventId::MouseMoveEvent;
    } else if (const auto id = buttonEvent(event->type(), event->button())) {
        data.id = *id;
    } else {
        return false;
    }
    QPoint pos = event->position().toPoint();
    if (origin_ && surface_ && origin_ != surface_)
        pos = surface_->mapTo(origin_.data(), pos);
    data.x = pos.x();
    data.y = pos.y();
    return dispatch(data);
}

bool WWindowBridge::closeEvent(QCloseEvent* event) {
    // Every close that reaches the widget comes from the window system (caption button, Alt+F4, the
    // session): the program's own close request runs the sequence without a Qt close event.
    if (requestClose(true))
        event->accept();
    else
        event->ignore();
    return true;
}

void WWindowBridge::windowStateChanged(QWindowStateChangeEvent* event) {
    const Qt::WindowStates before = event->oldState();
    const Qt::WindowStates now = widget_->windowState();
    if ((now & Qt::WindowMinimized) && !(before & Qt::WindowMinimized)) {
        raiseSimple(WEventId::MinimizeEvent);
        if (!isDetached())
            raiseSimple(WEventId::ResizeEvent);
    } else if ((now & Qt::WindowMaximized) && !(before & Qt::WindowMaximized)) {
        raiseSimple(WEventId::MaximizeEvent);
    }
}
