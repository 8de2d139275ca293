#pragma once

#include "toolkit/gui/WControl.h"

#include <cstdint>
#include <memory>
#include <vector>

class WImageList;

// An item of a tree view: an opaque handle, 0 for none (as a parent: the top level). A handle of a
// removed item stays invalid; it never refers to a later item.
using WTreeItem = std::intptr_t;

enum class WTreeInsert { First, Last, Sorted };

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
    WString itemText(WTreeItem item) const;
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

    // The images of the items; the list is not owned and must outlive its use here.
    void setImageList(const WImageList* images);
    void setImageList(const WImageList& images) { setImageList(&images); }

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
