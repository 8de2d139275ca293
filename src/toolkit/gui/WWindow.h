#pragma once

#include "toolkit/core/WString.h"
#include "toolkit/core/WorkArea.h" // WRect

#include "toolkit/gui/WEvent.h"
#include <vector>

#include <cstdint>
#include <memory>

class QWidget;
class WPopupMenu;
class WWindowBridge;

struct WRgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const WRgb&) const = default;
};

// Base of every window and control. Owns its Qt widget unless Qt's parent chain deletes it first.
// Window objects belong to the user-interface thread. From a worker only setText (handed to the UI
// thread as a queued call) and the tree view's operations may be called.
class WWindow {
public:
    virtual ~WWindow();
    WWindow(const WWindow&) = delete;
    WWindow& operator=(const WWindow&) = delete;

    virtual void setText(const WString& text);
    virtual WString text() const;

    // On screen: shown, and so is every window it lies in.
    bool isVisible() const;
    bool isEnabled() const;
    // A disabled window ignores mouse and keyboard and is shown greyed.
    void setEnabled(bool enabled);
    // Shown or hidden by the program, whether or not its form is on screen.
    void setVisible(bool visible);
    bool isShown() const;

    // Keyboard focus; hasFocus: the focus within its form, whether or not that form is active.
    void setFocus();
    bool hasFocus() const;
    // A window that is not focusable is skipped by Tab and never takes the focus.
    void setFocusable(bool focusable);
    // Tab goes through the windows in this order (windows of one form).
    static void setTabOrder(const std::vector<WWindow*>& order);
    // The name assistive technology reads for the window (a control: its caption label's text).
    void setAccessibleName(const WString& name);

    // Pixels in the parent's client area (a form: on the screen). Moves the window at once, with
    // repaint.
    WRect rect() const;
    void setRect(const WRect& r);
    // Invalidate the whole window (erasing the background when asked) and paint it at once.
    void repaint(bool erase = true);

    void setCapture();
    void releaseCapture();

    // "8.Arial": point size, a point, face name. False for a malformed text.
    bool setFont(const WString& fontText);
    void setBackColor(WRgb color);
    void setTextColor(WRgb color);

    // Opens at the cursor on the right mouse button. Not owned.
    void setContextMenu(WPopupMenu* menu);
    WPopupMenu* contextMenu() const { return contextMenu_; }

    WEventTable& events() { return events_; }
    template <class R> void connect(WEventId id, R* receiver, bool (R::*handler)(WEventData&), std::intptr_t user = 0) {
        events_.connect(
            id, receiver, [receiver, handler](WEventData& d) { return (receiver->*handler)(d); }, user);
    }
    // Raises an event as if the platform had sent it; returns whether a handler handled it. An unhandled
    // RightButtonUpEvent opens the context menu, as the platform's default processing would.
    bool raiseEvent(WEventData& data);

    QWidget* widget() const; // for the toolkit and its tests; null once the widget is gone

protected:
    explicit WWindow(QWidget* widget);
    // The toolkit's side of the window: event filter, signal connections, mouse surface.
    WWindowBridge& bridge() const { return *bridge_; }

private:
    friend class WWindowBridge;
    std::unique_ptr<WWindowBridge> bridge_;
    WEventTable events_;
    WPopupMenu* contextMenu_ = nullptr;
};
