#include "toolkit/gui/WMenuBase.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

WMenuBase::WMenuBase(WWindow* owner) : owner_(owner) {}

WMenuBase::~WMenuBase() {
    // The Qt menu takes its actions and submenus with it; the W objects for them go afterwards.
    delete owned_;
}

void WMenuBase::own(QWidget* widget) {
    owned_ = widget;
    QObject::connect(widget, &QObject::destroyed, [this] { owned_ = nullptr; });
}

void WMenuBase::buildInto(QWidget* target, const std::vector<WMenuItemTemplate>& items) {
    auto* menu = qobject_cast<QMenu*>(target);
    auto* bar = qobject_cast<QMenuBar*>(target);
    for (const WMenuItemTemplate& tmpl : items) {
        Entry entry;
        if (!tmpl.text) {
            if (menu)
                menu->addSeparator();
            else if (bar)
                bar->addSeparator();
        } else if (!tmpl.children.empty()) {
            auto* sub = new QMenu(QString::fromUtf8(tmpl.text), target);
            if (menu)
                menu->addMenu(sub);
            else if (bar)
                bar->addMenu(sub);
            entry.submenu.reset(new WMenuBase(owner_));
            entry.submenu->buildInto(sub, tmpl.children);
        } else {
            // No shortcut on the action: the form's key table handles keys, and menu texts show no key
            // names.
            auto* action = new QAction(QString::fromUtf8(tmpl.text), target);
            action->setData(tmpl.id);
            target->addAction(action);
            entry.item = std::make_unique<WMenuItem>(*this, tmpl.id, action);
            WMenuItem* item = entry.item.get();
            QObject::connect(action, &QAction::triggered, action, [item] { item->choose(); });
        }
        entries_.push_back(std::move(entry));
    }
}

WMenuItem* WMenuBase::item(int id) const {
    for (const Entry& entry : entries_) {
        if (entry.item && entry.item->id() == id)
            return entry.item.get();
        if (entry.submenu) {
            if (WMenuItem* found = entry.submenu->item(id))
                return found;
        }
    }
    return nullptr;
}
