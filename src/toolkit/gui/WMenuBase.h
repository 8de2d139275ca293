#pragma once

#include "WEvent.h"
#include "WMenuItem.h"
#include "WResourceCatalog.h"

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

protected:
    WMenuBase(WWindow* owner, const WString& text);
    void build(QMenu* target, const std::vector<WMenuItemTemplate>& items);
    void buildInto(QWidget* target, const std::vector<WMenuItemTemplate>& items); // QMenu or QMenuBar
    QMenu* qmenu_ = nullptr;

private:
    WWindow* owner_;
    WString text_;
    std::vector<std::unique_ptr<WMenuItem>> items_;
    std::vector<std::unique_ptr<WMenuBase>> submenus_; // by position; null for plain items
    WEventTable events_;
    friend class WMenuItem;
};
