#pragma once

#include "toolkit/gui/WEvent.h"
#include "toolkit/gui/WMenuItem.h"
#include "toolkit/gui/WResourceCatalog.h"

#include <memory>
#include <vector>

class QMenu;
class QWidget;
class WWindow;

// Items and submenus built from a menu resource; shared by the menu bar and popup menus.
class WMenuBase {
public:
    virtual ~WMenuBase();
    // The item with this command id anywhere below this menu, or null.
    WMenuItem* item(int id) const;
    // Submenu by position among this menu's entries (separators count), or null.
    WMenuBase* submenu(int position) const;
    WString text() const { return text_; }
    void setDefaultItem(int id);
    // The default item's id, or -1.
    int defaultItem() const;
    WEventTable& events() { return events_; } // InitMenuEvent before the menu opens
    WWindow* ownerWindow() const { return owner_; }
    // The Qt popup of this menu (null for a menu bar), for the toolkit, e.g. a tray icon's menu.
    QMenu* qmenu() const { return qmenu_; }

protected:
    WMenuBase(WWindow* owner, const WString& text);
    // Builds the items into a popup, which raises InitMenuEvent on this menu before it opens.
    void build(QMenu* target, const std::vector<WMenuItemTemplate>& items);
    void buildInto(QWidget* target, const std::vector<WMenuItemTemplate>& items); // QMenu or QMenuBar
    // The popup or menu bar that this menu deletes when it goes (submenus belong to their parent).
    void own(QWidget* widget);
    QMenu* qmenu_ = nullptr;

private:
    struct Entry {
        std::unique_ptr<WMenuItem> item;    // a plain item
        std::unique_ptr<WMenuBase> submenu; // a submenu; neither for a separator
    };
    WWindow* owner_;
    WString text_;
    std::vector<Entry> entries_; // by position, separators included
    int defaultItem_ = -1;
    QWidget* owned_ = nullptr;
    WEventTable events_;
    friend class WMenuItem;
};
