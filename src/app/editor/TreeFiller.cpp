#include "app/editor/TreeFiller.h"

#include "app/WorkerSlots.h"
#include "app/editor/FolderRoots.h"
#include "toolkit/core/WThread.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <unordered_set>

namespace {

// The thread counts as running this long after its last work, so that a second refresh request is
// ignored; new work wakes it at once.
constexpr int kLingerMs = 500;
constexpr int kPollMs = 20;

} // namespace

struct TreeFiller::Shared {
    // User-interface thread only: the fill whose changes may still go in, the items whose names are
    // shown with '?', and where a finished fill puts the focus (null once the filler is gone).
    std::uint64_t generation = 0;
    std::unordered_set<WTreeItem> unholdable;
    WTreeView* focusTarget = nullptr;
    std::function<bool()> mayTakeFocus;

    // Between the user-interface thread and the tree thread.
    struct Expansion {
        std::uint64_t generation;
        std::vector<Folder> folders;
    };
    std::mutex mutex;
    std::condition_variable wake;
    bool threadBusy = false;              // the thread takes every request until it clears this
    std::optional<std::uint64_t> refresh; // a refresh the thread is to make, with its generation
    std::deque<Expansion> expansions;
};

namespace {

using Shared = TreeFiller::Shared;

// One fill, on any thread.
struct Fill {
    WTreeRemote& remote;
    std::shared_ptr<Shared> owner; // kept by steps that run after the fill
    Shared& shared;
    std::uint64_t generation;
    std::function<bool()> stopped;

    bool current() const { return shared.generation == generation; }
    bool stop() const { return stopped && stopped(); }

    static std::vector<WTreeView::NewItem> newItems(const std::vector<FolderRoots::Entry>& entries, std::size_t from,
                                                    std::size_t to) {
        std::vector<WTreeView::NewItem> items;
        items.reserve(to - from);
        for (std::size_t i = from; i < to; ++i) {
            const FolderRoots::Entry& e = entries[i];
            // Folders each as first child (so in reverse), files each as last child.
            items.push_back({e.name, e.folder ? TreeFiller::kFolderImage : TreeFiller::kFileImage,
                             e.folder ? WTreeInsert::First : WTreeInsert::Last});
        }
        return items;
    }

    // On the user-interface thread: entries[from, to) into item.
    static bool insert(Shared& shared, WTreeView& tree, WTreeItem item, const std::vector<FolderRoots::Entry>& entries,
                       std::size_t from, std::size_t to) {
        const std::vector<WTreeItem> handles = tree.addItems(item, newItems(entries, from, to));
        if (handles.size() != to - from)
            return false;
        for (std::size_t i = 0; i < handles.size(); ++i) {
            if (!entries[from + i].holdable)
                shared.unholdable.insert(handles[i]);
        }
        return true;
    }

    // All entries into item, in steps.
    bool addEntries(WTreeItem item, const std::vector<FolderRoots::Entry>& entries) {
        for (std::size_t from = 0; from < entries.size(); from += TreeFiller::kItemsPerStep) {
            if (stop())
                return false;
            const std::size_t to = std::min(entries.size(), from + TreeFiller::kItemsPerStep);
            bool added = false;
            remote.run([&](WTreeView& tree) { added = current() && insert(shared, tree, item, entries, from, to); });
            if (!added)
                return false;
        }
        return true;
    }

    // The folder's entries into item, unless it has children already.
    bool ListFolderInto(const WString& path, WTreeItem item) {
        bool empty = false;
        remote.run([&](WTreeView& tree) { empty = current() && !tree.hasChildren(item); });
        if (!empty)
            return current();
        return addEntries(item, FolderRoots::List(path));
    }

    // Each root in sorted place, with its first level.
    bool FillDriveTree(const std::vector<WString>& roots) {
        for (const WString& root : roots) {
            if (stop())
                return false;
            WTreeItem item = 0;
            remote.run([&](WTreeView& tree) {
                if (current())
                    item = tree.addItem(0, root, TreeFiller::kFolderImage, -1, WTreeInsert::Sorted);
            });
            if (!item || !ListFolderInto(root, item))
                return false;
        }
        return true;
    }

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

    // Many small folders: listed here while the user-interface thread adds what was listed before,
    // a step's worth at a time, each folder only if it is still empty.
    bool ListAhead(const std::vector<TreeFiller::Folder>& folders) {
        std::vector<char> empty(folders.size(), 0);
        remote.run([&](WTreeView& tree) {
            for (std::size_t i = 0; current() && i < folders.size(); ++i)
                empty[i] = !tree.hasChildren(folders[i].first);
        });
        using Listed = std::vector<std::pair<WTreeItem, std::vector<FolderRoots::Entry>>>;
        Listed pending;
        std::size_t pendingItems = 0;
        const auto flush = [&] {
            if (pending.empty())
                return;
            remote.post([owner = owner, generation = generation, listed = std::move(pending)](WTreeView& tree) {
                if (owner->generation != generation)
                    return;
                for (const auto& [item, entries] : listed) {
                    if (!tree.hasChildren(item))
                        insert(*owner, tree, item, entries, 0, entries.size());
                }
            });
            pending = Listed();
            pendingItems = 0;
        };
        for (std::size_t i = 0; i < folders.size(); ++i) {
            if (!empty[i])
                continue;
            if (stop())
                return false;
            std::vector<FolderRoots::Entry> entries = FolderRoots::List(folders[i].second);
            if (entries.empty())
                continue;
            if (entries.size() >= TreeFiller::kItemsPerStep) {
                flush();
                if (!addEntries(folders[i].first, entries))
                    return false;
                continue;
            }
            pendingItems += entries.size();
            pending.emplace_back(folders[i].first, std::move(entries));
            if (pendingItems >= TreeFiller::kItemsPerStep)
                flush();
        }
        flush();
        // Returns once everything posted is in.
        bool ok = false;
        remote.run([&](WTreeView&) { ok = current(); });
        return ok;
    }
};

} // namespace

TreeFiller::TreeFiller(WTreeView& tree, WorkerSlots& slots, RootsProvider roots, std::function<bool()> mayTakeFocus)
    : slots_(slots), roots_(std::move(roots)), remote_(tree.remote()), shared_(std::make_shared<Shared>()) {
    shared_->focusTarget = &tree;
    shared_->mayTakeFocus = std::move(mayTakeFocus);
}

TreeFiller::~TreeFiller() {
    Detach();
}

void TreeFiller::Detach() {
    shared_->focusTarget = nullptr;
    shared_->mayTakeFocus = nullptr;
    ++shared_->generation;
    remote_->close();
}

void TreeFiller::RefreshTree() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->expansions.clear();
    }
    const std::uint64_t generation = ++shared_->generation;
    Fill{*remote_, shared_, *shared_, generation, {}}.RefreshTree(roots_());
}

void TreeFiller::StartTreeThread() {
    const std::uint64_t generation = ++shared_->generation;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->refresh = generation;
        shared_->expansions.clear();
    }
    EnsureThread();
}

void TreeFiller::ListAhead(std::vector<Folder> folders) {
    if (folders.empty())
        return;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->expansions.push_back({shared_->generation, std::move(folders)});
    }
    EnsureThread();
}

void TreeFiller::EnsureThread() {
    {
        std::lock_guard lock(shared_->mutex);
        if (shared_->threadBusy) {
            shared_->wake.notify_all(); // the running thread takes the new work before it ends
            return;
        }
        shared_->threadBusy = true;
    }
    ThreadSlot& slot = slots_[WorkerSlots::kTree];
    if (slot.isAlive())
        slot.thread.join(); // past its last look at the work: it is ending
    slot.stopEvent.reset();
    slot.finishedEvent.reset();
    std::shared_ptr<WTreeRemote> remote = remote_;
    std::shared_ptr<Shared> shared = shared_;
    RootsProvider roots = roots_;
    const bool started = slots_.Start(
        WorkerSlots::kTree,
        [remote, shared, roots](ThreadSlot& s) {
            WCurrentThread::setName("treeview thread");
            const auto stopped = [&s] { return s.stopEvent.isSet(); };
            for (;;) {
                std::optional<std::uint64_t> refresh;
                Shared::Expansion expansion{0, {}};
                {
                    std::unique_lock lock(shared->mutex);
                    const auto hasWork = [&] { return shared->refresh || !shared->expansions.empty(); };
                    for (int waited = 0; waited < kLingerMs && !stopped() && !hasWork(); waited += kPollMs)
                        shared->wake.wait_for(lock, std::chrono::milliseconds(kPollMs));
                    if (stopped() || !hasWork()) {
                        shared->threadBusy = false;
                        break;
                    }
                    refresh.swap(shared->refresh);
                    if (!refresh) {
                        expansion = std::move(shared->expansions.front());
                        shared->expansions.pop_front();
                    }
                }
                if (refresh)
                    Fill{*remote, shared, *shared, *refresh, stopped}.RefreshTree(roots());
                else
                    Fill{*remote, shared, *shared, expansion.generation, stopped}.ListAhead(expansion.folders);
            }
            s.finish();
            return 0;
        },
        WThread::Normal);
    if (!started) {
        std::lock_guard lock(shared_->mutex);
        shared_->threadBusy = false;
    }
}

bool TreeFiller::IsTreeThreadRunning() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->threadBusy;
}

void TreeFiller::ClearTree() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->expansions.clear();
    }
    ++shared_->generation;
    shared_->unholdable.clear();
    if (shared_->focusTarget)
        shared_->focusTarget->removeAll();
}

bool TreeFiller::IsUnholdable(WTreeItem item) const {
    return shared_->unholdable.count(item) != 0;
}
