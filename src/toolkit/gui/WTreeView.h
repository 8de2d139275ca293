#pragma once

#include "toolkit/gui/WControl.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class WImageList;

// An item of a tree view: an opaque handle, 0 for none (as a parent: the top level). A handle of a
// removed item stays invalid; it never refers to a later item.
using WTreeItem = std::intptr_t;

enum class WTreeInsert { First, Last, Sorted };

class WTreeView;

// A worker's way to a tree view that it may outlive: each run happens on the user-interface thread
// while the worker waits; once the tree has gone, or the remote was closed, a run does nothing.
class WTreeRemote {
public:
    struct State;
    explicit WTreeRemote(std::shared_ptr<State> state) : state_(std::move(state)) {}

    // From any thread: runs fn with the tree on the user-interface thread and waits for it. False when
    // fn did not run (the tree is gone, or the remote closed).
    bool run(const std::function<void(WTreeView&)>& fn);
    // From any thread: fn runs later on the user-interface thread, after every earlier run and post,
    // unless the tree has gone by then. False when the remote is closed already.
    bool post(std::function<void(WTreeView&)> fn);
    // On the user-interface thread: every later run is refused and every waiting one released.
    void close();

private:
    std::shared_ptr<State> state_;
};

// A tree of texts with images from an image list. Tree styles: WStyle::TreeButtons (expand buttons),
// WStyle::TreeLinesAtRoot (buttons and lines also for top-level items), WStyle::TreeShowSelAlways (the
// selection stays visible without focus). Every selection change raises SelectEvent; the user's opening
// of an item raises ExpandEvent. Both carry the item in WEventData::item.
// Worker threads may call every operation: it runs on the user-interface thread while the worker waits.
// A worker whose call has not run yet when the tree goes (or its widget goes with an owner window) is
// released with an empty answer (0, false, no text); it must not begin a call once the tree object is
// gone.
class WTreeView : public WControl {
public:
    WTreeView(WForm& parent, int id);
    ~WTreeView() override;

    // image and selectedImage index the image list (-1: none). Sorted inserts among the siblings in
    // alphabetical order. Returns the new item, or 0 when parent is not an item of this tree.
    WTreeItem addItem(WTreeItem parent, const WString& text, int image = -1, int selectedImage = -1,
                      WTreeInsert where = WTreeInsert::Last);
    // Many children in one call: First and Last as for addItem, in the given order (so items inserted
    // First end up in reverse order); Sorted counts as Last. Runs only while stillWanted() holds, which is
    // asked on the user-interface thread right before the items go in. Returns the new items in the
    // given order; none when parent is not an item of this tree or stillWanted() says no.
    struct NewItem {
        WString text;
        int image = -1;
        WTreeInsert where = WTreeInsert::Last;
    };
    std::vector<WTreeItem> addItems(WTreeItem parent, const std::vector<NewItem>& items,
                                    const std::function<bool()>& stillWanted = {});
    WString itemText(WTreeItem item) const;
    // The item's image index; -1 for none or an unknown item.
    int itemImage(WTreeItem item) const;
    WTreeItem parentItem(WTreeItem item) const;
    // The children in order; parent 0 gives the top-level items.
    std::vector<WTreeItem> children(WTreeItem parent) const;
    bool hasChildren(WTreeItem item) const;
    // Every item of the tree.
    int count() const;

    WTreeItem selectedItem() const;
    // Selects the item (0: no selection) and raises SelectEvent; false for an unknown item.
    bool selectItem(WTreeItem item);
    // Opens or closes the item without raising ExpandEvent.
    bool expandItem(WTreeItem item, bool expand = true);
    bool isExpanded(WTreeItem item) const;
    void removeAll();

    // A remote for a worker thread; closed when the tree goes.
    std::shared_ptr<WTreeRemote> remote();

    // The images of the items; the list is not owned and must outlive its use here.
    void setImageList(const WImageList* images);
    void setImageList(const WImageList& images) { setImageList(&images); }

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
