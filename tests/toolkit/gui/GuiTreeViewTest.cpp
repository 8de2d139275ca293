// The tree view: items as handles, insertion order, selection and expansion events, images, and its
// use from a worker thread.
#include "EventLog.h"
#include "TestForm.h"
#include "WImageList.h"

#include <QCoreApplication>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using Id = WEventId;

class GuiTreeView : public ::testing::Test {
protected:
    void SetUp() override { form.showAndWait(); }

    InstalledTestCatalog catalog;
    TestForm form;
    EventLog log;
};

TEST_F(GuiTreeView, TreeItemsGoFirstLastOrSortedAndHandlesOfRemovedItemsStayInvalid) {
    WTreeView& tree = *form.tree;
    const WTreeItem c = tree.addItem(0, "C:\\", 0, 0, WTreeInsert::Sorted);
    const WTreeItem a = tree.addItem(0, "A:\\", 0, 0, WTreeInsert::Sorted);
    const WTreeItem d = tree.addItem(0, "d:\\", 0, 0, WTreeInsert::Sorted);
    EXPECT_EQ(tree.children(0), (std::vector<WTreeItem>{a, c, d}));
    const WTreeItem folder1 = tree.addItem(c, "Daten", 0, 0, WTreeInsert::First);
    const WTreeItem file = tree.addItem(c, "liesmich.txt", 2, 2, WTreeInsert::Last);
    const WTreeItem folder2 = tree.addItem(c, "Bilder", 0, 0, WTreeInsert::First);
    EXPECT_EQ(tree.children(c), (std::vector<WTreeItem>{folder2, folder1, file}));
    EXPECT_EQ(tree.parentItem(folder1), c);
    EXPECT_EQ(tree.parentItem(c), 0);
    EXPECT_EQ(tree.itemText(file), "liesmich.txt");
    EXPECT_TRUE(tree.hasChildren(c));
    EXPECT_FALSE(tree.hasChildren(file));
    EXPECT_EQ(tree.count(), 6);
    EXPECT_EQ(tree.addItem(4711, "x"), 0) << "unknown parent";

    tree.removeAll();
    EXPECT_EQ(tree.count(), 0);
    EXPECT_TRUE(tree.itemText(c).isEmpty());
    EXPECT_TRUE(tree.children(c).empty());
    const WTreeItem fresh = tree.addItem(0, "neu");
    EXPECT_NE(fresh, a);
    EXPECT_NE(fresh, c);
    EXPECT_FALSE(tree.selectItem(c));
}

TEST_F(GuiTreeView, TreeSelectionRaisesSelectEventWithTheItem) {
    WTreeView& tree = *form.tree;
    const WTreeItem root = tree.addItem(0, "/");
    const WTreeItem home = tree.addItem(0, "/home");
    log.watch(tree.events(), {Id::SelectEvent});
    EXPECT_TRUE(tree.selectItem(home));
    EXPECT_EQ(tree.selectedItem(), home);
    ASSERT_EQ(log.count(Id::SelectEvent), 1);
    EXPECT_EQ(log.last(Id::SelectEvent).item, home);

    auto* widget = static_cast<QTreeWidget*>(tree.widget());
    const QRect first = widget->visualItemRect(widget->topLevelItem(0));
    QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(tree.selectedItem(), root);
    EXPECT_EQ(log.last(Id::SelectEvent).item, root);

    EXPECT_TRUE(tree.selectItem(0));
    EXPECT_EQ(tree.selectedItem(), 0);
}

TEST_F(GuiTreeView, OnlyTheUsersOpeningOfAnItemRaisesExpandEvent) {
    WTreeView& tree = *form.tree;
    const WTreeItem first = tree.addItem(0, "/");
    tree.addItem(first, "etc");
    const WTreeItem second = tree.addItem(0, "/home");
    tree.addItem(second, "benutzer");
    log.watch(tree.events(), {Id::ExpandEvent});
    EXPECT_TRUE(tree.expandItem(first));
    EXPECT_TRUE(tree.isExpanded(first));
    EXPECT_EQ(log.count(Id::ExpandEvent), 0);

    tree.selectItem(second);
    tree.setFocus();
    QTest::keyClick(tree.widget(), Qt::Key_Right);
    EXPECT_TRUE(tree.isExpanded(second));
    ASSERT_EQ(log.count(Id::ExpandEvent), 1);
    EXPECT_EQ(log.last(Id::ExpandEvent).item, second);
}

TEST_F(GuiTreeView, TreeItemsShowTheirImagesFromTheImageList) {
    WImageList images;
    EXPECT_EQ(images.add(TestIds::treeImage), 0);
    EXPECT_EQ(images.add(TestIds::normalBitmap), 1);
    EXPECT_EQ(images.bitmapId(1), TestIds::normalBitmap);
    EXPECT_EQ(images.bitmapId(2), 0);
    const WTreeItem before = form.tree->addItem(0, "vorher", 1, 1);
    form.tree->setImageList(images);
    const WTreeItem after = form.tree->addItem(0, "nachher", 0, 0);
    const WTreeItem none = form.tree->addItem(0, "ohne");
    auto* widget = static_cast<QTreeWidget*>(form.tree->widget());
    const auto iconOf = [widget](int row) { return widget->topLevelItem(row)->icon(0); };
    ASSERT_EQ(form.tree->children(0), (std::vector<WTreeItem>{before, after, none}));
    EXPECT_FALSE(iconOf(0).isNull()) << "items made before the list get their images too";
    EXPECT_EQ(iconOf(1).pixmap(16, 16).size(), QSize(16, 16));
    EXPECT_TRUE(iconOf(2).isNull());
    EXPECT_EQ(widget->iconSize(), QSize(16, 16));
}

TEST_F(GuiTreeView, AWorkerFillsTheTreeThroughTheUserInterfaceThread) {
    WTreeView& tree = *form.tree;
    tree.addItem(0, "alt");
    std::thread::id handlerThread;
    tree.events().connect(Id::SelectEvent, this, [&handlerThread](WEventData&) {
        handlerThread = std::this_thread::get_id();
        return false;
    });
    std::atomic<bool> done{false};
    std::vector<WTreeItem> children;
    WTreeItem root = 0;
    std::thread worker([&] {
        tree.setRedraw(false);
        tree.removeAll();
        root = tree.addItem(0, "/", 0, 0, WTreeInsert::Sorted);
        tree.addItem(root, "home", 0, 0, WTreeInsert::First);
        tree.addItem(root, "etc", 0, 0, WTreeInsert::First);
        children = tree.children(root);
        tree.selectItem(root);
        tree.setFocus();
        tree.setRedraw(true);
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    worker.join();
    EXPECT_EQ(tree.count(), 3);
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(tree.itemText(children[0]), "etc");
    EXPECT_EQ(tree.selectedItem(), root);
    EXPECT_EQ(handlerThread, std::this_thread::get_id()) << "events are raised on the user-interface thread";
    EXPECT_TRUE(tree.hasFocus());
    EXPECT_TRUE(tree.widget()->updatesEnabled());
}

} // namespace
