#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class WWindow;

enum class WEventId {
    MouseMoveEvent,
    LeftButtonDownEvent,
    LeftButtonUpEvent,
    LeftButtonDoubleEvent,
    RightButtonDownEvent,
    RightButtonUpEvent,
    RightButtonDoubleEvent,
    MiddleButtonDownEvent,
    MiddleButtonUpEvent,
    MiddleButtonDoubleEvent,
    MinimizeEvent,
    MaximizeEvent,
    ResizeEvent,
    ActivateEvent,
    DeactivateEvent,
    QueryCloseEvent,
    CloseEvent,
    DestroyEvent,
    SystemCommandEvent,
    ClickEvent,
    ChangeEvent,
    SelectEvent,
    ExpandEvent,
    DropDownEvent,
    InitMenuEvent, // a window's context menu is about to open
};

// System command codes carried by SystemCommandEvent.
namespace WSysCommand {
constexpr int Minimize = 0xF020;
constexpr int Maximize = 0xF030;
constexpr int Close = 0xF060;
constexpr int Restore = 0xF120;
} // namespace WSysCommand

struct WEventData {
    WEventId id = WEventId::ClickEvent;
    WWindow* source = nullptr; // the window (or menu owner) that raised the event
    int x = 0;                 // mouse position relative to the source
    int y = 0;
    std::intptr_t userValue = 0; // the connection's user value
    int systemCommand = 0;
    int commandId = 0;      // menu item id for ClickEvent from menus
    std::intptr_t item = 0; // tree item handle for SelectEvent / ExpandEvent of a tree view
};

// A handler returns true when it handled the event; false lets the default processing go on.
using WEventHandler = std::function<bool(WEventData&)>;

// The connections of one window: (event, receiver, handler, user value), raised in the order made.
class WEventTable {
public:
    WEventTable() = default;
    WEventTable(const WEventTable&) = delete;
    WEventTable& operator=(const WEventTable&) = delete;

    // The receiver only names whose handler it is; the table does not keep it.
    void connect(WEventId id, const void* receiver, WEventHandler handler, std::intptr_t userValue = 0);
    // Calls the handlers of id in order until one returns true; the result says whether one did.
    // Handlers may connect (seen from the next raise on) or even destroy the table's owner while it runs.
    bool raise(WEventData& data) const;
    // Expires when the table is destroyed; lets a caller notice that a handler destroyed the owner.
    std::weak_ptr<const void> lifetime() const { return lifetime_; }
    // Whether a handler of any table is running on the calling thread.
    static bool anyRaising();

private:
    struct Connection {
        WEventId id;
        WEventHandler handler;
        std::intptr_t userValue;
    };
    std::vector<Connection> connections_;
    std::shared_ptr<const void> lifetime_ = std::make_shared<int>(0);
};
