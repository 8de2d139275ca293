#include "toolkit/gui/WPopupMenu.h"

#include "toolkit/gui/WResources.h"
#include "toolkit/gui/qt/QtText.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

WPopupMenu::WPopupMenu(WWindow* owner, const WString& text) : WMenuBase(owner, text) {}

std::unique_ptr<WPopupMenu> WPopupMenu::load(WWindow* owner, const char* resourceName) {
    const WResourceCatalog* catalog = WResources::catalog();
    const WMenuTemplate* tmpl = catalog && resourceName ? catalog->menu(resourceName) : nullptr;
    if (!tmpl || tmpl->items.empty())
        return nullptr;
    const WMenuItemTemplate& top = tmpl->items.front();
    const QString title = QString::fromUtf8(top.text ? top.text : "");
    std::unique_ptr<WPopupMenu> popup(new WPopupMenu(owner, QtText::fromQStringLossy(title)));
    auto* menu = new QMenu(title);
    popup->own(menu);
    popup->build(menu, top.children);
    return popup;
}

int WPopupMenu::track() {
    if (!qmenu_)
        return 0;
    const QAction* chosen = qmenu_->exec(QCursor::pos());
    return chosen ? chosen->data().toInt() : 0;
}
