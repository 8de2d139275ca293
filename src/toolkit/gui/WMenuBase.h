#pragma once

#include "toolkit/gui/WMenuItem.h"
#include "toolkit/gui/WResourceCatalog.h"

#include <memory>
#include <vector>

class QWidget;
class WWindow;

// Items and submenus built from a menu resource; shared by the menu bar and popup menus.
class WMenuBase {
public:
    virtual ~WMenuBase();
    // The item with this command id anywhere below this menu, or null.
    WMenuItem* item(int id) const;
    // The window whose menu this is: the source of its items' events.
    WWindow* ownerWindow() const { return owner_; }

protected:
    explicit WMenuBase(WWindow* owner);
    void buildInto(QWidget* target, const std::vector<WMenuItemTemplate>& items); // QMenu or QMenuBar
    // The popup or menu bar that this menu deletes when it goes (submenus belong to their parent).
    void own(QWidget* widget);

private:
    struct Entry {
        std::unique_ptr<WMenuItem> item;    // a plain item
        std::unique_ptr<WMenuBase> submenu; // a submenu; neither for a separator
    };
    WWindow* owner_;
    std::vector<Entry> entries_; // by position, separators included
    QWidget* owned_ = nullptr;
};
