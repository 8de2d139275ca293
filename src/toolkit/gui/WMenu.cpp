#include "toolkit/gui/WMenu.h"

#include "toolkit/gui/WForm.h"
#include "toolkit/gui/WResources.h"

#include <QLayout>
#include <QMenuBar>

WMenu::WMenu(WForm& form) : WMenuBase(&form) {}

std::unique_ptr<WMenu> WMenu::load(WForm& form, const char* resourceName) {
    const WResourceCatalog* catalog = WResources::catalog();
    const WMenuTemplate* tmpl = catalog && resourceName ? catalog->menu(resourceName) : nullptr;
    QWidget* top = form.widget();
    if (!tmpl || !top || !top->layout())
        return nullptr;
    std::unique_ptr<WMenu> menu(new WMenu(form));
    auto* bar = new QMenuBar(top);
    // The bar belongs to the window, also where the desktop offers a global menu: the client area and
    // with it every control position are measured below it.
    bar->setNativeMenuBar(false);
    top->layout()->setMenuBar(bar);
    menu->own(bar);
    menu->buildInto(bar, tmpl->items);
    return menu;
}
