#pragma once

#include "toolkit/core/WString.h"
#include "toolkit/gui/WTreeView.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class WorkerSlots;

// Fills the folder tree from the root folders, on the "treeview thread" (slot 2) or on the calling
// user-interface thread. Every change reaches the tree on the user-interface thread, in steps small
// enough to keep the window responsive, and only while its fill is still wanted: a new fill or a
// clearing outdates every earlier one, so nothing of an old fill ever appears.
class TreeFiller {
public:
    using RootsProvider = std::function<std::vector<WString>()>;
    // A folder to list one level ahead: its item and its path.
    using Folder = std::pair<WTreeItem, WString>;
    // At most this many items go into the tree in one step on the user-interface thread.
    static constexpr std::size_t kItemsPerStep = 1000;
    static constexpr int kFolderImage = 0;
    static constexpr int kFileImage = 2;

    // mayTakeFocus says whether a finished fill may give the tree the keyboard focus.
    TreeFiller(WTreeView& tree, WorkerSlots& slots, RootsProvider roots, std::function<bool()> mayTakeFocus);
    ~TreeFiller();
    TreeFiller(const TreeFiller&) = delete;
    TreeFiller& operator=(const TreeFiller&) = delete;

    // Empties the tree and adds the roots with their first level, now.
    void RefreshTree();
    // The same on the tree thread. A fill under way is outdated and the running thread fills again.
    void StartTreeThread();
    // Lists each folder into its item on the tree thread, unless the item has children already.
    void ListAhead(std::vector<Folder> folders);
    // Whether the tree thread runs (it lingers a moment after its last work).
    bool IsTreeThreadRunning() const;
    // Empties the tree; a fill under way adds nothing more.
    void ClearTree();
    // A fill under way, and any later one, changes the tree no more.
    void Detach();
    // Whether the item's text shows '?' for characters Windows-1252 lacks, so it is not the real name.
    bool IsUnholdable(WTreeItem item) const;

    struct Shared; // what the fills share with the user-interface thread (in the .cpp)

private:
    void EnsureThread();

    WorkerSlots& slots_;
    RootsProvider roots_;
    std::shared_ptr<WTreeRemote> remote_;
    std::shared_ptr<Shared> shared_;
};
