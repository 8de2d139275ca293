#include "toolkit/gui/WTreeView.h"

#include "toolkit/gui/WImageList.h"
#include "toolkit/gui/qt/QtBlockingCalls.h"
#include "toolkit/gui/qt/QtImageCache.h"
#include "toolkit/gui/qt/QtListOrder.h"
#include "toolkit/gui/qt/QtText.h"
#include "toolkit/gui/qt/ScopedFlag.h"
#include "toolkit/gui/qt/WWindowBridge.h"

#include <QEvent>
#include <QPointer>
#include <QThread>
#include <QTreeWidget>

#include <unordered_map>

namespace {

constexpr int kHandleRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kSelectedImageRole = Qt::UserRole + 2;

// Runs a remote's calls when woken on the user-interface thread.
class RemoteReceiver : public QObject {
public:
    std::shared_ptr<QtBlockingCalls> calls;

protected:
    bool event(QEvent* event) override {
        if (event->type() != QtBlockingCalls::wakeUpType())
            return QObject::event(event);
        const std::shared_ptr<QtBlockingCalls> keep = calls;
        keep->runQueued();
        return true;
    }
};

} // namespace

// Touched on the user-interface thread only, except calls, which is made for other threads.
struct WTreeRemote::State {
    WTreeView* tree = nullptr;
    QThread* thread = nullptr;
    std::shared_ptr<QtBlockingCalls> calls;
};

bool WTreeRemote::run(const std::function<void(WTreeView&)>& fn) {
    State& s = *state_;
    bool ran = false;
    const auto call = [&s, &fn, &ran] {
        if (s.tree) {
            fn(*s.tree);
            ran = true;
        }
    };
    if (QThread::currentThread() == s.thread)
        call();
    else
        s.calls->runAndWait(call);
    return ran;
}

bool WTreeRemote::post(std::function<void(WTreeView&)> fn) {
    // The state goes along: the call may run after this remote has been let go.
    return state_->calls->post([state = state_, fn = std::move(fn)] {
        if (state->tree)
            fn(*state->tree);
    });
}

void WTreeRemote::close() {
    state_->tree = nullptr;
    state_->calls->close();
}

struct WTreeView::Impl {
    // Null once the widget is gone, which Qt may take along with an owner window before this object goes.
    QPointer<QTreeWidget> tree;
    std::unordered_map<WTreeItem, QTreeWidgetItem*> items; // they die with the widget
    WTreeItem nextHandle = 1;
    const WImageList* images = nullptr;
    bool quiet = false; // the program's own changes raise no events
    std::unique_ptr<RemoteReceiver> receiver;
    std::shared_ptr<WTreeRemote> remote;

    explicit Impl(QTreeWidget* widget) : tree(widget) {}

    QTreeWidgetItem* find(WTreeItem handle) {
        if (!tree)
            items.clear();
        const auto it = items.find(handle);
        return it == items.end() ? nullptr : it->second;
    }

    static WTreeItem handleOf(const QTreeWidgetItem* item) {
        return item ? static_cast<WTreeItem>(item->data(0, kHandleRole).toLongLong()) : 0;
    }

    // Icons by (image, selected image), so that thousands of items share a few.
    mutable std::unordered_map<long long, QIcon> icons;

    QIcon icon(int image, int selectedImage) const {
        if (!images || image < 0)
            return {};
        const long long key = (static_cast<long long>(image) << 32) | static_cast<unsigned>(selectedImage);
        if (const auto it = icons.find(key); it != icons.end())
            return it->second;
        const QSize size(images->width(), images->height());
        QIcon icon(QtImageCache::bitmap(images->bitmapId(image), size));
        if (selectedImage >= 0)
            icon.addPixmap(QtImageCache::bitmap(images->bitmapId(selectedImage), size), QIcon::Selected);
        icons.emplace(key, icon);
        return icon;
    }

    QTreeWidgetItem* newItem(const WString& text, int image, int selectedImage) {
        auto* item = new QTreeWidgetItem(QStringList{QtText::toQString(text)});
        const WTreeItem handle = nextHandle++;
        item->setData(0, kHandleRole, QVariant::fromValue<qlonglong>(handle));
        item->setData(0, kImageRole, image);
        item->setData(0, kSelectedImageRole, selectedImage);
        applyIcon(item);
        items.emplace(handle, item);
        return item;
    }

    void applyIcon(QTreeWidgetItem* item) const {
        item->setIcon(0, icon(item->data(0, kImageRole).toInt(), item->data(0, kSelectedImageRole).toInt()));
    }
};

WTreeView::WTreeView(WForm& parent, int id)
    : WControl(parent, id, new QTreeWidget), impl_(std::make_unique<Impl>(static_cast<QTreeWidget*>(widget()))) {
    QTreeWidget* tree = impl_->tree;
    const unsigned style = layout().style;
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setRootIsDecorated((style & WStyle::TreeLinesAtRoot) != 0);
    tree->setItemsExpandable((style & WStyle::TreeButtons) != 0 || (style & WStyle::TreeLinesAtRoot) != 0);
    if (style & WStyle::TreeShowSelAlways) {
        QPalette palette = tree->palette();
        for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
            palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
        tree->setPalette(palette);
    }
    bridge().listen(tree, &QTreeWidget::itemSelectionChanged, [this] {
        if (impl_->quiet)
            return;
        WEventData data;
        data.id = WEventId::SelectEvent;
        data.item = selectedItem();
        raiseEvent(data);
    });
    bridge().listen(tree, &QTreeWidget::itemExpanded, [this](QTreeWidgetItem* item) {
        if (impl_->quiet)
            return;
        WEventData data;
        data.id = WEventId::ExpandEvent;
        data.item = Impl::handleOf(item);
        raiseEvent(data);
    });
}

WTreeView::~WTreeView() {
    if (impl_->remote)
        impl_->remote->close();
}

std::shared_ptr<WTreeRemote> WTreeView::remote() {
    if (!impl_->remote) {
        impl_->receiver = std::make_unique<RemoteReceiver>();
        auto state = std::make_shared<WTreeRemote::State>();
        state->tree = this;
        state->thread = impl_->receiver->thread();
        state->calls = std::make_shared<QtBlockingCalls>(impl_->receiver.get());
        impl_->receiver->calls = state->calls;
        impl_->remote = std::make_shared<WTreeRemote>(state);
    }
    return impl_->remote;
}

// Every operation runs on the user-interface thread: the folder tree is filled by a worker, which waits
// for each operation as it would for a message sent to the tree's window.

WTreeItem WTreeView::addItem(WTreeItem parent, const WString& text, int image, int selectedImage, WTreeInsert where) {
    return bridge().call([&]() -> WTreeItem {
        QTreeWidget* tree = impl_->tree;
        QTreeWidgetItem* parentItem = parent ? impl_->find(parent) : nullptr;
        if (!tree || (parent && !parentItem))
            return 0;
        const QString q = QtText::toQString(text);
        const auto siblingAt = [tree, parentItem](int i) {
            return parentItem ? parentItem->child(i) : tree->topLevelItem(i);
        };
        const int siblings = parentItem ? parentItem->childCount() : tree->topLevelItemCount();
        int position = siblings;
        if (where == WTreeInsert::First)
            position = 0;
        else if (where == WTreeInsert::Sorted)
            position = QtListOrder::insertPosition(
                siblings, [&](int i) { return siblingAt(i)->text(0); }, q);

        QTreeWidgetItem* item = impl_->newItem(text, image, selectedImage);
        const ScopedFlag quiet(impl_->quiet);
        if (parentItem)
            parentItem->insertChild(position, item);
        else
            tree->insertTopLevelItem(position, item);
        return Impl::handleOf(item);
    });
}

std::vector<WTreeItem> WTreeView::addItems(WTreeItem parent, const std::vector<NewItem>& items,
                                           const std::function<bool()>& stillWanted) {
    return bridge().call([&] {
        std::vector<WTreeItem> handles;
        QTreeWidget* tree = impl_->tree;
        QTreeWidgetItem* parentItem = parent ? impl_->find(parent) : nullptr;
        if (!tree || (parent && !parentItem) || (stillWanted && !stillWanted()))
            return handles;
        // One insertion at the front and one at the end, rather than one per item.
        QList<QTreeWidgetItem*> front, back;
        handles.reserve(items.size());
        for (const NewItem& n : items) {
            QTreeWidgetItem* item = impl_->newItem(n.text, n.image, -1);
            handles.push_back(Impl::handleOf(item));
            if (n.where == WTreeInsert::First)
                front.prepend(item);
            else
                back.append(item);
        }
        const ScopedFlag quiet(impl_->quiet);
        if (parentItem) {
            parentItem->insertChildren(0, front);
            parentItem->addChildren(back);
        } else {
            tree->insertTopLevelItems(0, front);
            tree->addTopLevelItems(back);
        }
        return handles;
    });
}

WString WTreeView::itemText(WTreeItem item) const {
    return bridge().call([&] {
        const QTreeWidgetItem* found = impl_->find(item);
        return found ? QtText::fromQStringLossy(found->text(0)) : WString();
    });
}

int WTreeView::itemImage(WTreeItem item) const {
    return bridge().call([&] {
        const QTreeWidgetItem* found = impl_->find(item);
        return found ? found->data(0, kImageRole).toInt() : -1;
    });
}

WTreeItem WTreeView::parentItem(WTreeItem item) const {
    return bridge().call([&] {
        const QTreeWidgetItem* found = impl_->find(item);
        return found ? Impl::handleOf(found->parent()) : WTreeItem{0};
    });
}

std::vector<WTreeItem> WTreeView::children(WTreeItem parent) const {
    return bridge().call([&] {
        std::vector<WTreeItem> result;
        const QTreeWidget* tree = impl_->tree;
        const QTreeWidgetItem* parentItem = parent ? impl_->find(parent) : nullptr;
        if (!tree || (parent && !parentItem))
            return result;
        const int n = parentItem ? parentItem->childCount() : tree->topLevelItemCount();
        for (int i = 0; i < n; ++i)
            result.push_back(Impl::handleOf(parentItem ? parentItem->child(i) : tree->topLevelItem(i)));
        return result;
    });
}

bool WTreeView::hasChildren(WTreeItem item) const {
    return bridge().call([&] {
        const QTreeWidgetItem* found = impl_->find(item);
        return found && found->childCount() > 0;
    });
}

int WTreeView::count() const {
    return bridge().call([&] { return impl_->tree ? static_cast<int>(impl_->items.size()) : 0; });
}

WTreeItem WTreeView::selectedItem() const {
    return bridge().call([&] {
        const QTreeWidget* tree = impl_->tree;
        const QList<QTreeWidgetItem*> selected = tree ? tree->selectedItems() : QList<QTreeWidgetItem*>();
        return selected.isEmpty() ? WTreeItem{0} : Impl::handleOf(selected.front());
    });
}

bool WTreeView::selectItem(WTreeItem item) {
    return bridge().call([&] {
        QTreeWidget* tree = impl_->tree;
        QTreeWidgetItem* found = item ? impl_->find(item) : nullptr;
        if (!tree || (item && !found))
            return false;
        {
            const ScopedFlag quiet(impl_->quiet);
            if (found) {
                tree->setCurrentItem(found);
                tree->scrollToItem(found);
            } else {
                tree->clearSelection();
            }
        }
        WEventData data;
        data.id = WEventId::SelectEvent;
        data.item = item;
        raiseEvent(data);
        return true;
    });
}

bool WTreeView::expandItem(WTreeItem item, bool expand) {
    return bridge().call([&] {
        QTreeWidgetItem* found = impl_->find(item);
        if (!found)
            return false;
        const ScopedFlag quiet(impl_->quiet);
        found->setExpanded(expand);
        return true;
    });
}

bool WTreeView::isExpanded(WTreeItem item) const {
    return bridge().call([&] {
        const QTreeWidgetItem* found = impl_->find(item);
        return found && found->isExpanded();
    });
}

void WTreeView::removeAll() {
    bridge().call([&] {
        const ScopedFlag quiet(impl_->quiet);
        impl_->items.clear();
        if (impl_->tree)
            impl_->tree->clear();
    });
}

void WTreeView::setImageList(const WImageList* images) {
    bridge().call([&] {
        impl_->images = images;
        impl_->icons.clear();
        QTreeWidget* tree = impl_->tree;
        if (!tree)
            return;
        if (images)
            tree->setIconSize(QSize(images->width(), images->height()));
        for (const auto& [handle, item] : impl_->items)
            impl_->applyIcon(item);
    });
}
