// The folder tree: items and their handles, selection and opening, pictures, and a worker that fills it
// through blocking calls while the user-interface thread clears or destroys it.
#include "TestForm.h"
#include "support/TestPrinting.h"
#include "toolkit/gui/WImageList.h"
#include "toolkit/gui/WTreeView.h"
#include "toolkit/gui/qt/QtBlockingCalls.h"
#include "toolkit/gui/qt/QtHandOver.h"
#include "toolkit/gui/qt/QtImageCache.h"
#include "toolkit/gui/qt/WWindowBridge.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTest>
#include <QThread>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <tuple>
#include <utility>

namespace {

using namespace std::string_literals;
using Id = WEventId;
using namespace TestIds;

// A tree view whose calls from other threads the test can catch before they run: a wake-up event
// reaches the window's bridge for them.
class ProbedTreeView : public WTreeView {
public:
    using WTreeView::WTreeView;
    QObject& callTarget() { return bridge(); }
};

// The test form with a folder tree, made and dropped as one, as the program's forms are.
struct TreeForm : TestForm {
    std::unique_ptr<ProbedTreeView> tree = std::make_unique<ProbedTreeView>(*this, TestIds::tree);
};

std::vector<std::string> childTexts(const WTreeView& tree, WTreeItem parent) {
    std::vector<std::string> texts;
    for (const WTreeItem child : tree.children(parent))
        texts.push_back(tree.itemText(child).toUtf8());
    return texts;
}

bool onUiThread() {
    return QThread::currentThread() == qApp->thread();
}

// Runs an action when the first call from another thread reaches a window, before the call runs.
class CallCatcher : public QObject {
public:
    // action returns true when it destroyed the target: Qt must then not deliver the call to it.
    CallCatcher(QObject& target, std::function<bool()> action) : action_(std::move(action)) {
        target.installEventFilter(this);
    }
    bool fired() const { return !action_; }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QtBlockingCalls::wakeUpType() || !action_)
            return false;
        return std::exchange(action_, {})();
    }

private:
    std::function<bool()> action_;
};

class TreeView : public ::testing::Test {
protected:
    void SetUp() override { form.showAndWait(); }
    QTreeWidget& widget() { return *static_cast<QTreeWidget*>(form.tree->widget()); }

    InstalledTestCatalog catalog;
    TreeForm form;
    WTreeView& tree = *form.tree;
    EventLog log;
};

// Items go first, last or sorted among their siblings under their parent. After removeAll every
// old handle is invalid, and new items get new handles.
TEST_F(TreeView, ItemsAndTheirHandles) {
    const std::tuple<const char*, WTreeInsert, std::vector<std::string>, std::vector<std::string>> cases[] = {
        {"last", WTreeInsert::Last, {"b", "a", "c"}, {"b", "a", "c"}},
        {"first", WTreeInsert::First, {"b", "a", "c"}, {"c", "a", "b"}},
        // Letter case ignored, umlauts beside their base letters.
        {"sorted",
         WTreeInsert::Sorted,
         {"Zeta", "alpha", "Äpfel", "beta", "Mitte", "mittag"},
         {"alpha", "Äpfel", "beta", "mittag", "Mitte", "Zeta"}},
    };
    log.watch(tree.events(), {Id::SelectEvent, Id::ExpandEvent});
    std::vector<WTreeItem> parents;
    std::set<WTreeItem> handles{0};
    for (const auto& [name, where, added, shown] : cases) {
        const WTreeItem parent = tree.addItem(0, name);
        parents.push_back(parent);
        handles.insert(parent);
        for (const std::string& text : added) {
            const WTreeItem child = tree.addItem(parent, *WString::fromUtf8(text), -1, -1, where);
            EXPECT_EQ(tree.parentItem(child), parent) << text;
            EXPECT_FALSE(tree.hasChildren(child)) << text;
            handles.insert(child);
        }
        EXPECT_EQ(childTexts(tree, parent), shown) << name;
        EXPECT_TRUE(tree.hasChildren(parent)) << name;
    }
    EXPECT_EQ(tree.children(0), parents) << "parent 0 is the top level";
    EXPECT_EQ(handles.size(), 16u) << "every item has a handle of its own, and none is 0";
    EXPECT_EQ(tree.count(), 15);

    const WTreeItem unknown = *handles.rbegin() + 1;
    EXPECT_EQ(tree.addItem(unknown, "verloren"), 0) << "a parent that is no item of the tree";
    EXPECT_EQ(tree.count(), 15);
    EXPECT_TRUE(tree.itemText(unknown).isEmpty() && tree.itemText(0).isEmpty() && tree.children(unknown).empty());
    EXPECT_TRUE(log.all.empty()) << "adding raises nothing";

    tree.expandItem(parents[2]);
    tree.selectItem(tree.children(parents[2]).back());
    log.all.clear();
    tree.removeAll();
    EXPECT_EQ(tree.count(), 0);
    EXPECT_EQ(tree.selectedItem(), 0);
    EXPECT_TRUE(log.all.empty()) << "the program's clearing raises nothing";
    // Whether an old handle still answers to any question or use.
    const auto answers = [this](WTreeItem h) {
        return !tree.itemText(h).isEmpty() || tree.parentItem(h) != 0 || !tree.children(h).empty() ||
               tree.hasChildren(h) || tree.isExpanded(h) || tree.selectItem(h) || tree.expandItem(h) ||
               tree.addItem(h, "neu") != 0;
    };
    for (const WTreeItem h : handles)
        EXPECT_TRUE(h == 0 || !answers(h)) << h;
    EXPECT_EQ(tree.count(), 0);
    for (int i = 0; i < 8; ++i)
        EXPECT_FALSE(handles.contains(tree.addItem(0, "neu"))) << "a handle of a removed item never comes back";
}

// Every selection change raises SelectEvent with the item, the program's too; only the user's
// opening raises ExpandEvent. Unknown items are refused.
TEST_F(TreeView, SelectingAndOpening) {
    const WTreeItem a = tree.addItem(0, "a"), b = tree.addItem(0, "b"), c = tree.addItem(a, "c");
    log.watch(tree.events(), {Id::SelectEvent, Id::ExpandEvent});
    const auto key = [this](Qt::Key k) {
        widget().setFocus();
        QTest::keyClick(&widget(), k);
        return true;
    };
    const auto clickC = [this] {
        const QRect shown = widget().visualItemRect(widget().topLevelItem(0)->child(0));
        QTest::mouseClick(widget().viewport(), Qt::LeftButton, {}, shown.center());
        return true;
    };
    using Raised = std::vector<std::pair<Id, WTreeItem>>;
    const Id sel = Id::SelectEvent, exp = Id::ExpandEvent;
    const std::tuple<const char*, std::function<bool()>, bool, WTreeItem, bool, Raised> steps[] = {
        {"program opens a", [&] { return tree.expandItem(a); }, true, 0, true, {}},
        {"program closes a", [&] { return tree.expandItem(a, false); }, true, 0, false, {}},
        {"program opens an unknown item", [&] { return tree.expandItem(c + 1); }, false, 0, false, {}},
        {"program selects b", [&] { return tree.selectItem(b); }, true, b, false, {{sel, b}}},
        {"program selects an unknown item", [&] { return tree.selectItem(c + 1); }, false, b, false, {}},
        {"program selects a", [&] { return tree.selectItem(a); }, true, a, false, {{sel, a}}},
        {"user opens a", [&] { return key(Qt::Key_Right); }, true, a, true, {{exp, a}}},
        {"user clicks c", clickC, true, c, true, {{sel, c}}},
        {"program selects a again", [&] { return tree.selectItem(a); }, true, a, true, {{sel, a}}},
        {"user closes a", [&] { return key(Qt::Key_Left); }, true, a, false, {}},
        {"program selects no item", [&] { return tree.selectItem(0); }, true, 0, false, {{sel, 0}}},
    };
    for (const auto& [name, act, accepted, selected, open, raised] : steps) {
        SCOPED_TRACE(name);
        log.all.clear();
        EXPECT_EQ(act(), accepted);
        EXPECT_EQ(tree.selectedItem(), selected);
        EXPECT_EQ(tree.isExpanded(a), open);
        Raised seen;
        for (const WEventData& data : log.all) {
            seen.emplace_back(data.id, data.item);
            EXPECT_EQ(data.source, &tree);
        }
        EXPECT_EQ(seen, raised);
    }
}

TEST_F(TreeView, ItemsShowThePicturesOfTheirImageIndicesAtTheListsSize) {
    WImageList small, large(24, 24);
    for (WImageList* list : {&small, &large}) {
        EXPECT_EQ(list->add(folderBitmap), 0);
        EXPECT_EQ(list->add(fileBitmap), 1);
    }
    EXPECT_EQ(std::tuple(small.count(), small.bitmapId(1), small.bitmapId(2), small.bitmapId(-1)),
              std::tuple(2, fileBitmap, 0, 0));

    // Added before and after the list is set: both show their pictures.
    const WTreeItem folder = tree.addItem(0, "Ordner", 0, 1);
    const WTreeItem file = tree.addItem(0, "Datei", 1);
    const WTreeItem plain = tree.addItem(0, "ohne Bild");
    tree.setImageList(small);
    const WTreeItem beyond = tree.addItem(0, "Index zu groß"_w, 5);
    const std::vector<WTreeItem> order{folder, file, plain, beyond};
    ASSERT_EQ(tree.children(0), order);

    const auto iconAt = [this](int row) { return widget().topLevelItem(row)->icon(0); };
    const auto picture = [](int bitmapId, int size) {
        return QtImageCache::bitmap(bitmapId, QSize(size, size)).toImage();
    };
    for (const WImageList* list : {&small, &large}) {
        const int size = list->width();
        SCOPED_TRACE(size);
        tree.setImageList(list);
        EXPECT_EQ(widget().iconSize(), QSize(size, size));
        const QSize box(size, size);
        EXPECT_EQ(iconAt(0).pixmap(box).toImage(), picture(folderBitmap, size));
        EXPECT_EQ(iconAt(0).pixmap(box, QIcon::Selected).toImage(), picture(fileBitmap, size)) << "the selected image";
        EXPECT_EQ(iconAt(1).pixmap(box).toImage(), picture(fileBitmap, size));
        EXPECT_TRUE(iconAt(2).isNull()) << "image -1";
        EXPECT_TRUE(iconAt(3).isNull()) << "an index beyond the list";
    }
    EXPECT_NE(picture(folderBitmap, 16), picture(fileBitmap, 16));
    tree.setImageList(nullptr);
    EXPECT_TRUE(iconAt(0).isNull()) << "no list, no pictures";
}

// The folder browser's worker fills the tree while the user refreshes it: the user-interface thread
// clears it now and then from its own loop and from a handler of the worker's own call. Every item
// in the tree keeps a handle of its own, a cleared item's handle never answers again, and the
// worker's calls with such a handle are refused.
TEST_F(TreeView, AWorkerFillsTheTreeWhileTheUserInterfaceThreadClearsIt) {
    constexpr int kFolders = 300;
    std::mutex mutex;
    std::map<WTreeItem, std::pair<WTreeItem, std::string>> added; // the worker's items: parent and text
    std::set<WTreeItem> gone;                                     // the items the user-interface thread cleared
    int refused = 0;
    std::atomic<bool> clearBetweenCalls = false; // the worker waits for a clearing between two calls

    // The items of the tree, checked to agree with their handles: folders at the top, a file in each.
    const auto walk = [&] {
        std::set<WTreeItem> seen;
        for (const WTreeItem folder : tree.children(0)) {
            EXPECT_TRUE(tree.itemText(folder).bytes().starts_with("Ordner ")) << folder;
            seen.insert(folder);
            for (const WTreeItem h : tree.children(folder)) {
                EXPECT_EQ(std::tuple(tree.itemText(h).bytes(), tree.parentItem(h), tree.hasChildren(h)),
                          std::tuple("Datei"s, folder, false));
                EXPECT_TRUE(seen.insert(h).second) << "every item has a handle of its own: " << h;
            }
        }
        EXPECT_EQ(tree.count(), static_cast<int>(seen.size()));
        return seen;
    };
    const auto clearNoting = [&] {
        gone.merge(walk());
        tree.removeAll();
    };
    tree.events().connect(Id::SelectEvent, this, [&](WEventData&) {
        EXPECT_TRUE(onUiThread());
        clearNoting();
        return true;
    });

    int rounds = 0;
    UiWorker worker([&] {
        for (int i = 0; i < kFolders; ++i) {
            const WString name = WString::format("Ordner %03d", kFolders - i);
            const WTreeItem folder = tree.addItem(0, name, 0, 0, WTreeInsert::Sorted);
            EXPECT_NE(folder, 0) << "the top level takes every item";
            if (i % 25 == 12) {
                // Not left to chance: the loop's next round clears the tree before the file is added.
                clearBetweenCalls = true;
                QMetaObject::invokeMethod(QCoreApplication::instance(), QtHandOver::wrap([] {}), Qt::QueuedConnection);
                while (clearBetweenCalls)
                    std::this_thread::yield();
            }
            const WTreeItem file = tree.addItem(folder, "Datei", 1, 1);
            {
                std::lock_guard lock(mutex);
                added[folder] = {0, name.toUtf8()};
                if (file)
                    added[file] = {folder, "Datei"};
                else
                    ++refused; // the folder was cleared in between
            }
            if (file) {
                const WTreeItem parent = tree.parentItem(file);
                EXPECT_TRUE(parent == folder || parent == 0) << "its own folder, or none once cleared";
            }
            if (i % 25 == 0)
                tree.selectItem(folder); // the handler clears the tree inside this call
        }
    });
    worker.waitHandlingEvents([&] {
        // Between two of the worker's calls: no cleared item comes back.
        for (const WTreeItem h : walk())
            EXPECT_FALSE(gone.contains(h)) << "a cleared item came back: " << h;
        // Five rounds against three or four calls a folder: the clearing meets every step of the worker.
        const bool asked = clearBetweenCalls;
        if (++rounds % 5 == 0 || asked)
            clearNoting();
        if (asked)
            clearBetweenCalls = false;
    });

    ASSERT_FALSE(gone.empty());
    std::lock_guard lock(mutex);
    EXPECT_GE(added.size(), static_cast<std::size_t>(kFolders)) << "no handle given twice";
    for (const auto& [h, item] : added) {
        const bool cleared = gone.contains(h);
        EXPECT_EQ(tree.itemText(h).toUtf8(), cleared ? "" : item.second) << h << (cleared ? " cleared" : " lost");
        EXPECT_EQ(tree.parentItem(h), cleared ? 0 : item.first) << h << (cleared ? " cleared" : " lost");
    }
    EXPECT_GT(refused, 0) << "the interleaving this test is about did not happen";
}

// Many items in one call keep the order of single inserts (First ones reversed, Last ones kept) and
// go in only while still wanted. A worker's remote runs and posts in the order made; after close it
// runs nothing, and a worker waiting in a run is released.
TEST_F(TreeView, BatchesAndARemoteForWorkers) {
    const WTreeItem parent = tree.addItem(0, "Ordner");
    tree.addItem(parent, "mitte");
    using N = WTreeView::NewItem;
    const std::vector<N> batch = {N{"A", 0, WTreeInsert::First}, N{"x.txt", 2, WTreeInsert::Last},
                                  N{"B", 0, WTreeInsert::First}, N{"y.txt", 2, WTreeInsert::Sorted}};
    EXPECT_TRUE(tree.addItems(parent, batch, [] { return false; }).empty());
    EXPECT_EQ(tree.addItems(parent, batch).size(), 4u);
    EXPECT_EQ(childTexts(tree, parent), (std::vector<std::string>{"B", "A", "mitte", "x.txt", "y.txt"}));
    EXPECT_EQ(tree.itemImage(tree.children(parent).back()), 2);
    EXPECT_TRUE(tree.addItems(12345, batch).empty()) << "no such parent";

    std::shared_ptr<WTreeRemote> remote = tree.remote();
    std::vector<std::string> order;
    UiWorker([&] {
        for (int i = 0; i < 3; ++i) {
            remote->post([&order, i](WTreeView& t) {
                EXPECT_TRUE(onUiThread());
                t.addItem(0, WString::fromBytes("post " + std::to_string(i)));
                order.push_back("post " + std::to_string(i));
            });
        }
        EXPECT_TRUE(remote->run([&order](WTreeView&) { order.push_back("run"); }));
    }).waitHandlingEvents();
    EXPECT_EQ(order, (std::vector<std::string>{"post 0", "post 1", "post 2", "run"}));

    // A worker waits in a run when the remote closes (no events handled meanwhile): it is released
    // and nothing runs; later calls are refused.
    std::atomic<bool> ran{true};
    std::atomic<bool> calling{false};
    std::thread worker([&] {
        calling = true;
        ran = remote->run([](WTreeView& t) { t.removeAll(); });
    });
    while (!calling)
        std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    remote->close();
    worker.join();
    EXPECT_FALSE(ran);
    EXPECT_FALSE(remote->post([](WTreeView& t) { t.removeAll(); }));
    pumpEvents();
    EXPECT_EQ(tree.count(), 1 + 5 + 3) << "nothing ran after the close";
}

// The folder browser's dialog: a form owned by the main form, with the folder tree and a button.
struct TreeDialog : WForm {
    explicit TreeDialog(WForm& owner) {
        create("ID_Test", "8.MS Sans Serif", &owner);
        tree = std::make_unique<ProbedTreeView>(*this, TestIds::tree);
        button = std::make_unique<WCommandButton>(*this, TestIds::button);
    }
    std::unique_ptr<ProbedTreeView> tree;
    std::unique_ptr<WCommandButton> button;
};

// At shutdown the tree, its dialog, or the form that owns the dialog may go while the worker waits for
// one of its calls: from a handler that the call itself raised, from the user-interface thread's loop
// before the call ran, or from a button's handler before it ran. The worker is released with its
// answer (none when the call could not run), ends, and nothing touches what went. A tree view whose
// widget went with the owner's answers nothing from then on.
TEST(TreeViewShutdown, AWorkerWaitingForAGoneTreeIsReleasedAndTouchesNothing) {
    enum class What { TreeView, Dialog, Owner };
    enum class When { InItsOwnHandler, BeforeItRuns, BeforeItRunsFromAButton };
    std::vector<std::pair<What, When>> cases;
    for (const When when : {When::InItsOwnHandler, When::BeforeItRuns, When::BeforeItRunsFromAButton}) {
        for (const What what : {What::TreeView, What::Dialog, What::Owner})
            cases.emplace_back(what, when);
    }
    cases.pop_back(); // not the owner from its dialog's button
    const InstalledTestCatalog catalog;
    for (const auto& [what, when] : cases) {
        SCOPED_TRACE(testing::Message() << "what " << static_cast<int>(what) << ", when " << static_cast<int>(when));
        // Only a call that ran has an answer.
        const bool answers = when == When::InItsOwnHandler;
        auto owner = std::make_unique<TestForm>();
        auto dialog = std::make_unique<TreeDialog>(*owner);
        ProbedTreeView* tree = dialog->tree.get();
        const WTreeItem item = tree->addItem(0, "Ordner");
        const QPointer<QWidget> treeWidget = tree->widget();
        // Whether the window that receives the worker's calls goes with what is dropped.
        const bool targetGoes = what != What::Owner;
        const auto drop = [&] {
            EXPECT_TRUE(onUiThread());
            if (what == What::TreeView)
                dialog->tree.reset();
            else if (what == What::Dialog)
                dialog.reset();
            else
                owner.reset();
        };
        int raised = 0;
        if (when == When::InItsOwnHandler)
            tree->events().connect(Id::SelectEvent, nullptr, [&](WEventData&) { return ++raised, drop(), true; });
        dialog->button->events().connect(Id::ClickEvent, nullptr, [&](WEventData&) { return drop(), true; });
        CallCatcher catcher(tree->callTarget(), [&] {
            if (when == When::BeforeItRuns)
                return drop(), targetGoes;
            if (when == When::BeforeItRunsFromAButton)
                dialog->button->click(); // from a handler: the tree goes once the handler has unwound
            return false;
        });

        std::atomic<bool> answer{!answers};
        UiWorker([&] { answer = tree->selectItem(item); }).waitHandlingEvents();
        EXPECT_TRUE(catcher.fired());
        EXPECT_EQ(answer, answers);
        EXPECT_EQ(raised, when == When::InItsOwnHandler ? 1 : 0);
        pumpEvents();
        pumpEvents(); // the deferred deletions
        EXPECT_TRUE(treeWidget.isNull());
        if (dialog && dialog->tree) {
            EXPECT_EQ(std::tuple(tree->itemText(item).bytes(), tree->count(), tree->children(0).size(),
                                 tree->selectItem(item), tree->addItem(0, "neu")),
                      std::tuple(std::string(), 0, 0u, false, WTreeItem{0}));
        }
    }
}

} // namespace
