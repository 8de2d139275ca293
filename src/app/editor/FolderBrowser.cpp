#include "app/editor/FolderBrowser.h"

#include "app/ControllerData.h"
#include "app/editor/FolderRoots.h"
#include "app/editor/Form5.h"
#include "app/editor/TreeFiller.h"
#include "app/form1/Form1.h"
#include "app/form1/Views.h"
#include "resources/MorlanzResources.h"
#include "storage/ProgramSettings.h"
#include "toolkit/gui/WCommandButton.h"
#include "toolkit/gui/WImageList.h"
#include "toolkit/gui/WMaskedTextBox.h"
#include "toolkit/gui/WMenuItem.h"
#include "toolkit/gui/WPopupMenu.h"
#include "toolkit/gui/WTextBox.h"

namespace {

// Image 0 a folder (or root), image 1 an open one, image 2 a file.
constexpr int kTreeBitmaps[] = {102, 103, 101};

} // namespace

FolderBrowser::FolderBrowser(Form1& form, ControllerData& data, WorkerSlots& slots, Views& views, RootsProvider roots,
                             std::function<void()> pathReady)
    : form_(form), data_(data), views_(views), pathReady_(std::move(pathReady)),
      treeImages(std::make_unique<WImageList>()) {
    for (int bitmap : kTreeBitmaps)
        treeImages->add(kTreeBitmapBase + bitmap);
    WTreeView& tree = *form_.tv_dir;
    tree.setImageList(*treeImages);
    // A fill ending in the background must not take the keys the user is typing.
    filler_ = std::make_unique<TreeFiller>(tree, slots, std::move(roots), [&form] {
        return !form.textb_name_der_sicherung->hasFocus() && !form.mtextb_uhr->hasFocus();
    });
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
    filler_.reset();
    form_.tv_dir->setImageList(nullptr);
}

void FolderBrowser::RefreshTree() {
    filler_->RefreshTree();
}

void FolderBrowser::StartTreeThread() {
    filler_->StartTreeThread();
}

bool FolderBrowser::IsTreeThreadRunning() const {
    return filler_->IsTreeThreadRunning();
}

void FolderBrowser::ClearTree() {
    filler_->ClearTree();
}

void FolderBrowser::Detach() {
    filler_->Detach();
}

void FolderBrowser::ExpandTreeItem(WTreeItem item) {
    const WTreeView& tree = *form_.tv_dir;
    const WString path = ItemPath(item);
    std::vector<TreeFiller::Folder> folders;
    for (WTreeItem child : tree.children(item)) {
        // A file has nothing to list, and a name shown with '?' leads nowhere.
        if (tree.itemImage(child) == TreeFiller::kFileImage || filler_->IsUnholdable(child))
            continue;
        folders.emplace_back(child, FolderRoots::NormalizePath(path + "/" + tree.itemText(child) + "/"));
    }
    filler_->ListAhead(std::move(folders));
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
        if (filler_->IsUnholdable(up))
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
