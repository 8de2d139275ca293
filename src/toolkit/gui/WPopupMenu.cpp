#include "toolkit/gui/WPopupMenu.h"

#include "toolkit/gui/WResources.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

WPopupMenu::WPopupMenu(WWindow* owner, QMenu* menu) : WMenuBase(owner), menu_(menu) {
    own(menu);
}

std::unique_ptr<WPopupMenu> WPopupMenu::load(WWindow* owner, const char* resourceName) {
    const WResourceCatalog* catalog = WResources::catalog();
    const WMenuTemplate* tmpl = catalog && resourceName ? catalog->menu(resourceName) : nullptr;
    if (!tmpl || tmpl->items.empty())
        return nullptr;
    const WMenuItemTemplate& top = tmpl->items.front();
    std::unique_ptr<WPopupMenu> popup(new WPopupMenu(owner, new QMenu(QString::fromUtf8(top.text ? top.text : ""))));
    popup->buildInto(popup->menu_, top.children);
    return popup;
}

int WPopupMenu::track() {
    return trackAt(QCursor::pos());
}

int WPopupMenu::trackAt(const QPoint& globalPosition) {
    const QAction* chosen = menu_->exec(globalPosition);
    return chosen ? chosen->data().toInt() : 0;
}
