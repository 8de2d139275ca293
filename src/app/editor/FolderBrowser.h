#pragma once

#include "toolkit/core/WString.h"
#include "toolkit/gui/WTreeView.h"

#include <functional>
#include <memory>
#include <vector>

class Form1;
class Form5;
class TreeFiller;
class Views;
class WImageList;
class WorkerSlots;
struct ControllerData;
struct WEventData;

// The editor's folder tree: filled from the root folders one level ahead of what the user opens,
// turns items into paths and switches the source and destination buttons by the selection. Also
// the destination's context menu, which opens the new-folder form.
class FolderBrowser {
public:
    using RootsProvider = std::function<std::vector<WString>()>;

    // pathReady runs when the new-folder form has handed over a folder (PickUpPath).
    FolderBrowser(Form1& form, ControllerData& data, WorkerSlots& slots, Views& views, RootsProvider roots,
                  std::function<void()> pathReady);
    ~FolderBrowser();
    FolderBrowser(const FolderBrowser&) = delete;
    FolderBrowser& operator=(const FolderBrowser&) = delete;

    // Rebuilds the whole tree on the calling (user-interface) thread.
    void RefreshTree();
    // Rebuilds it on the "treeview thread"; a fill under way is outdated and the thread fills again.
    void StartTreeThread();
    bool IsTreeThreadRunning() const;
    // Empties the tree; a fill under way adds nothing more.
    void ClearTree();
    // A fill under way, and any later one, changes the tree no more: for a form that goes without
    // handling messages while its workers stop.
    void Detach();

    // Lists the item's folders one level ahead, on the tree thread.
    void ExpandTreeItem(WTreeItem item);
    WString ItemPath(WTreeItem item) const;
    // The selected item's path; holdable is false when a name on the way is shown with '?' in
    // place of characters Windows-1252 lacks, so the path is not the real one.
    WString SelectedPath(bool& holdable) const;
    void UpdatePathButtons();

    // "Ordner erstellen" only while there is a destination.
    void UpdateFolderMenu();
    // Hands the destination over and opens the new-folder form (or brings it to the front).
    void OpenNewFolderDialog();
    // The new-folder form while it is open, else null.
    Form5* newFolderDialog() const;

private:
    bool onExpand(WEventData& event);
    bool onSelect(WEventData& event);
    bool onMouseDown(WEventData& event);
    bool onMouseUp(WEventData& event);
    bool onRefreshCommand(WEventData& event);
    bool onInitFolderMenu(WEventData& event);
    bool onNewFolderCommand(WEventData& event);

    Form1& form_;
    ControllerData& data_;
    Views& views_;
    std::function<void()> pathReady_;
    std::unique_ptr<WImageList> treeImages;
    std::unique_ptr<TreeFiller> filler_;
    std::unique_ptr<Form5> form5_;
};
