#include "toolkit/gui/WMenuBase.h"

#include "toolkit/gui/qt/QtText.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

WMenuBase::WMenuBase(WWindow* owner, const WString& text) : owner_(owner), text_(text) {}

WMenuBase::~WMenuBase() {
    // The Qt menu takes its actions and submenus with it; the W objects for them go afterwards.
    delete owned_;
}

void WMenuBase::own(QWidget* widget) {
    owned_ = widget;
    QObject::connect(widget, &QObject::destroyed, [this] { owned_ = nullptr; });
}

void WMenuBase::build(QMenu* target, const std::vector<WMenuItemTemplate>& items) {
    qmenu_ = target;
    QObject::connect(target, &QMenu::aboutToShow, target, [this] {
        WEventData data;
        data.id = WEventId::InitMenuEvent;
        data.source = owner_;
        events_.raise(data);
    });
    buildInto(target, items);
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
            const QString title = QString::fromUtf8(tmpl.text);
            auto* sub = new QMenu(title, target);
            if (menu)
                menu->addMenu(sub);
            else if (bar)
                bar->addMenu(sub);
            entry.submenu.reset(new WMenuBase(owner_, QtText::fromQStringLossy(title)));
            entry.submenu->build(sub, tmpl.children);
        } else {
            // No shortcut on the action: the form's key table handles keys, and menu texts show no key
            // names.
            auto* action = new QAction(QString::fromUtf8(tmpl.text), target);
            action->setData(tmpl.id);
            target->addAction(action);
            entry.item = std::make_unique<WMenuItem>(*this, action, tmpl.id);
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

WMenuBase* WMenuBase::submenu(int position) const {
    if (position < 0 || position >= static_cast<int>(entries_.size()))
        return nullptr;
    return entries_[static_cast<std::size_t>(position)].submenu.get();
}

void WMenuBase::setDefaultItem(int id) {
    // The default item is one of this menu's own items; -1 (or an id not among them) clears it.
    QAction* action = nullptr;
    defaultItem_ = -1;
    for (const Entry& entry : entries_) {
        if (entry.item && entry.item->id() == id) {
            action = entry.item->action();
            defaultItem_ = id;
            break;
        }
    }
    if (qmenu_)
        qmenu_->setDefaultAction(action);
}

int WMenuBase::defaultItem() const {
    return defaultItem_;
}
