#include "app/editor/FolderBrowser.h"

#include "app/ControllerData.h"
#include "app/WorkerSlots.h"
#include "app/editor/FolderRoots.h"
#include "app/editor/Form5.h"
#include "app/form1/Form1.h"
#include "app/form1/Views.h"
#include "resources/MorlanzResources.h"
#include "storage/ProgramSettings.h"
#include "toolkit/core/WThread.h"
#include "toolkit/gui/WCommandButton.h"
#include "toolkit/gui/WImageList.h"
#include "toolkit/gui/WMaskedTextBox.h"
#include "toolkit/gui/WMenuItem.h"
#include "toolkit/gui/WPopupMenu.h"
#include "toolkit/gui/WTextBox.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <unordered_set>

namespace {

constexpr int kFolderImage = 0;
constexpr int kFileImage = 2;
// The thread counts as running this long after a fill, so that a second refresh request is ignored.
constexpr int kAfterFillPauseMs = 500;

} // namespace

struct FolderBrowser::Shared {
    // User-interface thread only: the fill that may still add items, and the items whose names are
    // shown with '?'.
    std::uint64_t generation = 0;
    std::unordered_set<WTreeItem> unholdable;
    WTreeView* focusTarget = nullptr;  // null once the browser is gone
    std::function<bool()> mayTakeFocus; // false while the user types into another field

    // Between the user-interface thread and the tree thread.
    std::mutex mutex;
    bool threadBusy = false;          // the thread takes every request until it clears this
    std::atomic<std::uint64_t> wanted{0}; // the fill the thread is to make
};

namespace {

using Shared = FolderBrowser::Shared;

// One fill of the tree, on any thread: every change happens on the user-interface thread and only
// while the fill is still the wanted one.
struct Fill {
    WTreeRemote& remote;
    Shared& shared;
    std::uint64_t generation;
    std::function<bool()> stopped;

    bool current() const { return shared.generation == generation; }

    // Adds the entries as children of item: folders first (each as first child), files last.
    // False when the fill was stopped or outdated.
    bool addEntries(WTreeItem item, const std::vector<FolderRoots::Entry>& entries) {
        for (std::size_t from = 0; from < entries.size(); from += FolderBrowser::kItemsPerStep) {
            if (stopped && stopped())
                return false;
            const std::size_t to = std::min(entries.size(), from + FolderBrowser::kItemsPerStep);
            std::vector<WTreeView::NewItem> batch;
            batch.reserve(to - from);
            for (std::size_t i = from; i < to; ++i) {
                const FolderRoots::Entry& e = entries[i];
                batch.push_back({e.name, e.folder ? kFolderImage : kFileImage,
                                 e.folder ? WTreeInsert::First : WTreeInsert::Last});
            }
            bool added = false;
            remote.run([&](WTreeView& tree) {
                if (!current())
                    return;
                const std::vector<WTreeItem> handles = tree.addItems(item, batch);
                added = handles.size() == batch.size();
                for (std::size_t i = 0; added && i < handles.size(); ++i) {
                    if (!entries[from + i].holdable)
                        shared.unholdable.insert(handles[i]);
                }
            });
            if (!added)
                return false;
        }
        return true;
    }

    // ListFolderInto: the entries of path into item, unless item has children already.
    bool ListFolderInto(const WString& path, WTreeItem item) {
        bool empty = false;
        remote.run([&](WTreeView& tree) { empty = current() && !tree.hasChildren(item); });
        if (!empty)
            return current();
        return addEntries(item, FolderRoots::List(path));
    }

    // FillDriveTree: each root in sorted place, with its first level.
    bool FillDriveTree(const std::vector<WString>& roots) {
        for (const WString& root : roots) {
            if (stopped && stopped())
                return false;
            WTreeItem item = 0;
            remote.run([&](WTreeView& tree) {
                if (current())
                    item = tree.addItem(0, root, kFolderImage, -1, WTreeInsert::Sorted);
            });
            if (!item || !ListFolderInto(root, item))
                return false;
        }
        return true;
    }

    // RefreshTree: empty the tree, add the roots, give the tree the focus.
    void RefreshTree(const std::vector<WString>& roots) {
        remote.run([&](WTreeView& tree) {
            if (!current())
                return;
            shared.unholdable.clear();
            tree.removeAll();
        });
        if (!FillDriveTree(roots))
            return;
        remote.run([&](WTreeView& tree) {
            if (current() && shared.focusTarget == &tree && (!shared.mayTakeFocus || shared.mayTakeFocus()))
                tree.setFocus();
        });
    }
};

} // namespace

FolderBrowser::FolderBrowser(Form1& form, ControllerData& data, WorkerSlots& slots, Views& views, RootsProvider roots,
                             std::function<void()> pathReady)
    : form_(form), data_(data), slots_(slots), views_(views), roots_(std::move(roots)),
      pathReady_(std::move(pathReady)), treeImages(std::make_unique<WImageList>()), remote_(form.tv_dir->remote()),
      shared_(std::make_shared<Shared>()) {
    shared_->focusTarget = form_.tv_dir.get();
    // A fill ending in the background must not take the keys the user is typing.
    shared_->mayTakeFocus = [&form] {
        return !form.textb_name_der_sicherung->hasFocus() && !form.mtextb_uhr->hasFocus();
    };
    // Image 0 a folder (or root), image 1 an open one, image 2 a file.
    for (int bitmap : {102, 103, 101})
        treeImages->add(kTreeBitmapBase + bitmap);
    WTreeView& tree = *form_.tv_dir;
    tree.setImageList(*treeImages);
    tree.connect(WEventId::ExpandEvent, this, &FolderBrowser::onExpand);
    tree.connect(WEventId::SelectEvent, this, &FolderBrowser::onSelect);
    tree.connect(WEventId::LeftButtonDownEvent, this, &FolderBrowser::onMouseDown);
    tree.connect(WEventId::LeftButtonUpEvent, this, &FolderBrowser::onMouseUp);
    form_.cb_tv_aktuell->connect(WEventId::ClickEvent, this, &FolderBrowser::onRefreshCommand);
    form_.textb_nach->connect(WEventId::InitMenuEvent, this, &FolderBrowser::onInitFolderMenu);
    if (form_.popupOrdner) {
        if (WMenuItem* item = form_.popupOrdner->item(MenuId::OrdnerErstellen))
            item->connect(WEventId::ClickEvent, this, &FolderBrowser::onNewFolderCommand);
    }
}

FolderBrowser::~FolderBrowser() {
    // A fill still under way finds nothing to change any more and ends.
    shared_->focusTarget = nullptr;
    shared_->mayTakeFocus = nullptr;
    ++shared_->generation;
    remote_->close();
    form_.tv_dir->setImageList(nullptr);
}

void FolderBrowser::RefreshTree() {
    const std::uint64_t generation = ++shared_->generation;
    Fill{*remote_, *shared_, generation, {}}.RefreshTree(roots_());
}

void FolderBrowser::StartTreeThread() {
    const std::uint64_t generation = ++shared_->generation;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->wanted = generation;
        if (shared_->threadBusy)
            return; // the running thread takes the new request before it ends
        shared_->threadBusy = true;
    }
    ThreadSlot& slot = slots_[WorkerSlots::kTree];
    if (slot.isAlive())
        slot.thread.join(); // past its last request: it is ending
    slot.stopEvent.reset();
    slot.finishedEvent.reset();
    std::shared_ptr<WTreeRemote> remote = remote_;
    std::shared_ptr<Shared> shared = shared_;
    RootsProvider roots = roots_;
    slots_.Start(
        WorkerSlots::kTree,
        [remote, shared, roots](ThreadSlot& s) {
            WCurrentThread::setName("treeview thread");
            const auto stopped = [&s] { return s.stopEvent.isSet(); };
            std::uint64_t done = 0;
            for (;;) {
                const std::uint64_t wanted = shared->wanted.load();
                if (wanted != done) {
                    Fill{*remote, *shared, wanted, stopped}.RefreshTree(roots());
                    done = wanted;
                    continue;
                }
                if (!stopped())
                    s.stopEvent.wait(kAfterFillPauseMs);
                std::lock_guard lock(shared->mutex);
                if (shared->wanted.load() != done && !stopped())
                    continue;
                shared->threadBusy = false;
                break;
            }
            s.finish();
            return 0;
        },
        WThread::Normal);
}

bool FolderBrowser::IsTreeThreadRunning() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->threadBusy;
}

void FolderBrowser::ClearTree() {
    ++shared_->generation;
    shared_->unholdable.clear();
    form_.tv_dir->removeAll();
}

void FolderBrowser::Detach() {
    ++shared_->generation;
    remote_->close();
}

void FolderBrowser::ExpandTreeItem(WTreeItem item) {
    const WString path = ItemPath(item);
    Fill fill{*remote_, *shared_, shared_->generation, {}};
    for (WTreeItem child : form_.tv_dir->children(item)) {
        if (shared_->unholdable.count(child))
            continue; // its shown name is not its real one
        fill.ListFolderInto(FolderRoots::NormalizePath(path + "/" + form_.tv_dir->itemText(child) + "/"), child);
    }
}

WString FolderBrowser::ItemPath(WTreeItem item) const {
    if (!item)
        return {};
    const WTreeView& tree = *form_.tv_dir;
    WString path = "/" + tree.itemText(item);
    for (WTreeItem up = tree.parentItem(item); up; up = tree.parentItem(up))
        path = "/" + tree.itemText(up) + path;
    return FolderRoots::NormalizePath(path);
}

WString FolderBrowser::SelectedPath(bool& holdable) const {
    const WTreeView& tree = *form_.tv_dir;
    const WTreeItem item = tree.selectedItem();
    holdable = true;
    for (WTreeItem up = item; up; up = tree.parentItem(up)) {
        if (shared_->unholdable.count(up))
            holdable = false;
    }
    return ItemPath(item);
}

void FolderBrowser::UpdatePathButtons() {
    const WString path = ItemPath(form_.tv_dir->selectedItem());
    views_.EnableTargetButton(FolderRoots::IsFolder(path));
    views_.EnableSourceButton(true);
}

bool FolderBrowser::onExpand(WEventData& event) {
    ExpandTreeItem(event.item);
    return false;
}

bool FolderBrowser::onSelect(WEventData&) {
    UpdatePathButtons();
    return false;
}

bool FolderBrowser::onMouseDown(WEventData&) {
    form_.tv_dir->setCapture();
    return false;
}

bool FolderBrowser::onMouseUp(WEventData&) {
    form_.tv_dir->releaseCapture();
    return false;
}

bool FolderBrowser::onRefreshCommand(WEventData&) {
    RefreshTree();
    return true;
}

void FolderBrowser::UpdateFolderMenu() {
    if (WMenuItem* item = form_.popupOrdner ? form_.popupOrdner->item(MenuId::OrdnerErstellen) : nullptr)
        item->setEnabled(!form_.textb_nach->text().isEmpty());
}

Form5* FolderBrowser::newFolderDialog() const {
    return form5_ && form5_->isOpen() ? form5_.get() : nullptr;
}

void FolderBrowser::OpenNewFolderDialog() {
    if (Form5* open = newFolderDialog()) {
        open->activate();
        return;
    }
    if (form_.textb_nach->text().isEmpty())
        return;
    ProgramSettings::SetPath(form_.textb_nach->text());
    form5_ = std::make_unique<Form5>();
    // The path is taken over once the folder is there; a form closed without it leaves the
    // destination as it is.
    const bool created = form5_->create(form_, [this](bool ok) {
        if (ok) {
            pathReady_();
            return;
        }
        data_.pathPickUpPending = false;
        ProgramSettings::TakePath();
    });
    if (!created) {
        form5_.reset();
        return;
    }
    data_.pathPickUpPending = true;
    form5_->setState(WForm::State::Normal);
}

bool FolderBrowser::onInitFolderMenu(WEventData&) {
    UpdateFolderMenu();
    return false;
}

bool FolderBrowser::onNewFolderCommand(WEventData&) {
    OpenNewFolderDialog();
    return true;
}
