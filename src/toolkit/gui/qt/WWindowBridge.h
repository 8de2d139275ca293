#pragma once

#include "toolkit/gui/WEvent.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

class QCloseEvent;
class QMouseEvent;
class QWindowStateChangeEvent;
class QtBlockingCalls;
class WWindow;

// Connects one WWindow to its Qt widget: an event filter that turns Qt events into W events, the Qt
// signal connections of the controls, and the mouse surface (the widget itself, the viewport of a
// scroll area, or the client area of a form). Toolkit internal.
//
// The owner may be destroyed by one of its own handlers. The bridge then outlives it until the event
// being dispatched has unwound, and every path checks isDetached() after raising an event.
class WWindowBridge : public QObject {
public:
    WWindowBridge(WWindow& owner, QWidget* widget);
    ~WWindowBridge() override;

    QWidget* widget() const { return widget_.data(); }
    // Where mouse events arrive and where capture goes. Positions are reported relative to origin.
    QWidget* mouseSurface() const { return surface_.data(); }
    void setMouseSurface(QWidget* surface, QWidget* origin);

    // Connects a Qt signal for as long as the owner lives.
    template <class Sender, class Signal, class Fn> void listen(Sender* sender, Signal signal, Fn fn) {
        connections_.push_back(QObject::connect(sender, signal, this, std::move(fn)));
    }
    // Runs fn later on the widget's thread, unless the owner is gone by then.
    void post(std::function<void()> fn);
    // Runs fn on the window's own (user-interface) thread and returns its result: at once when called
    // there, otherwise the calling thread waits until the user-interface thread has run it, as with the
    // platform's messages sent from another thread. A window that goes before fn ran releases the
    // caller with a default result.
    template <class Fn> auto call(Fn fn) -> decltype(fn()) {
        if constexpr (std::is_void_v<decltype(fn())>) {
            callOnOwnThread(fn);
        } else {
            decltype(fn()) result{};
            callOnOwnThread([&] { result = fn(); });
            return result;
        }
    }

    // Raises the event on the owner's table. Returns whether a handler handled it.
    bool dispatch(WEventData& data);
    // An unhandled RightButtonUpEvent opens the context menu once the current event has been handled,
    // after InitMenuEvent; at the cursor, or below the window for a keyboard request.
    void openContextMenuLater(bool atWidget = false);
    // The close sequence: SystemCommandEvent (for a close from the window system), QueryCloseEvent,
    // CloseEvent; when none is handled the window goes (hidden, then DestroyEvent). Returns whether it
    // went.
    bool requestClose(bool fromSystem);

    // Cuts every tie to the owner; called by the owner's destructor.
    void detach();
    bool isDetached() const { return owner_ == nullptr; }
    bool isDispatching() const { return depth_ > 0; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void callOnOwnThread(const std::function<void()>& fn);
    bool mouseEvent(QMouseEvent* event);
    bool closeEvent(QCloseEvent* event);
    void windowStateChanged(QWindowStateChangeEvent* event);
    bool raiseSimple(WEventId id);

    WWindow* owner_;
    QPointer<QWidget> widget_;
    QPointer<QWidget> surface_;
    QPointer<QWidget> origin_;
    std::vector<QMetaObject::Connection> connections_;
    std::shared_ptr<QtBlockingCalls> calls_; // from other threads
    int depth_ = 0;
};
