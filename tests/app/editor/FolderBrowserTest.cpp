// The editor's folder tree on real temporary folders: order, one level ahead, paths, the source and
// destination buttons, and the tree thread's fills, restarts and stops.
#include "app/editor/FolderBrowser.h"
#include "AppTest.h"
#include "app/editor/JobEditor.h"
#include "toolkit/gui/WCommandButton.h"
#include "toolkit/gui/WPictureBox.h"
#include "toolkit/gui/WTextBox.h"
#include "toolkit/gui/WTreeView.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

class FolderBrowserTest : public AppTest {
protected:
    WString root() const { return *WString::fromUtf8(dir.file("baum").string()); }

    void SetUp() override {
        fs::create_directories(dir.file("baum/Daten/Alpha/innen"));
        for (const char* d : {"Beta", "Gamma"})
            fs::create_directory(dir.file("baum/Daten") / d);
        for (const char* f : {"a.txt", "b.txt"})
            std::ofstream(dir.file("baum/Daten") / f) << f;
        std::ofstream(dir.file("baum/Daten/Alpha/innen/tief.txt")) << "x";
    }

    static std::vector<std::string> texts(const WTreeView& tree, WTreeItem parent) {
        std::vector<std::string> out;
        for (WTreeItem item : tree.children(parent))
            out.push_back(tree.itemText(item).toUtf8());
        return out;
    }

    static WTreeItem child(const WTreeView& tree, WTreeItem parent, const std::string& text) {
        for (WTreeItem item : tree.children(parent)) {
            if (tree.itemText(item).toUtf8() == text)
                return item;
        }
        return 0;
    }

    // A folder of n empty files.
    WString manyFiles(int n) const {
        const fs::path many = dir.file("viele");
        fs::create_directory(many);
        for (int i = 0; i < n; ++i)
            std::ofstream(many / ("f" + std::to_string(i)));
        return *WString::fromUtf8(many.string());
    }
};

} // namespace

// Alpha, Beta and Gamma listed in this order show as Gamma, Beta, Alpha, then the files; a root's
// first level is there at once, each further level when its parent opens.
TEST_F(FolderBrowserTest, FoldersFirstInReverseThenFilesOneLevelAhead) {
    auto form = start({root()});
    FolderBrowser& browser = form->folderBrowser();
    const WTreeView& tree = *form->form().tv_dir;
    WEventData refresh{WEventId::ClickEvent}; // "Aktualisieren": the whole tree again, at once
    form->form().cb_tv_aktuell->raiseEvent(refresh);
    ASSERT_EQ(texts(tree, 0), (std::vector<std::string>{root().toUtf8()}));
    const WTreeItem top = tree.children(0).front();
    const WTreeItem daten = child(tree, top, "Daten");
    ASSERT_NE(daten, 0);
    EXPECT_FALSE(tree.hasChildren(daten)) << "one level only";

    browser.ExpandTreeItem(top); // listed on the tree thread
    ASSERT_TRUE(waitForTree(*form));
    EXPECT_EQ(texts(tree, daten), (std::vector<std::string>{"Gamma", "Beta", "Alpha", "a.txt", "b.txt"}));
    const WTreeItem alpha = child(tree, daten, "Alpha");
    EXPECT_FALSE(tree.hasChildren(alpha));
    browser.ExpandTreeItem(daten);
    ASSERT_TRUE(waitForTree(*form));
    EXPECT_EQ(texts(tree, alpha), (std::vector<std::string>{"innen"}));
    browser.ExpandTreeItem(daten); // listed once: opening again adds nothing
    ASSERT_TRUE(waitForTree(*form));
    EXPECT_EQ(texts(tree, alpha), (std::vector<std::string>{"innen"}));
    EXPECT_EQ(tree.count(), 1 + 1 + 5 + 1);

    EXPECT_EQ(browser.ItemPath(top), root());
    EXPECT_EQ(browser.ItemPath(daten), root() + "/Daten");
    EXPECT_EQ(browser.ItemPath(child(tree, alpha, "innen")), root() + "/Daten/Alpha/innen");
    EXPECT_EQ(browser.ItemPath(0), "");
}

// A file makes the destination button inactive and the source button active; a folder or a root
// makes both active. The "/" root's path stays "/".
TEST_F(FolderBrowserTest, SelectionSwitchesTheSourceAndDestinationButtons) {
    auto form = start({root(), "/"});
    Form1& f = form->form();
    form->NewJob();
    ASSERT_TRUE(waitForTree(*form));
    WTreeView& tree = *f.tv_dir;
    EXPECT_TRUE(tree.hasFocus()) << "the filled tree takes the keys";
    ASSERT_EQ(texts(tree, 0).front(), "/");
    const WTreeItem top = child(tree, 0, root().toUtf8());
    form->folderBrowser().ExpandTreeItem(top);
    ASSERT_TRUE(waitForTree(*form));
    const WTreeItem daten = child(tree, top, "Daten");
    const struct {
        WTreeItem item;
        bool target;
    } cases[] = {{child(tree, daten, "a.txt"), false}, {daten, true}, {top, true}, {tree.children(0).front(), true}};
    for (const auto& c : cases) {
        tree.selectItem(c.item);
        EXPECT_FALSE(form->data().sourceButtonInactive);
        EXPECT_EQ(form->data().targetButtonInactive, !c.target) << tree.itemText(c.item).toUtf8();
        EXPECT_EQ(f.pictb_ziel->bitmapId(), c.target ? 106 : 135);
    }
    EXPECT_EQ(form->folderBrowser().ItemPath(tree.children(0).front()), "/");

    // "Aktualisieren" is ignored while the tree thread runs, and rebuilds the tree once it has ended.
    const WTreeItem first = tree.children(0).front();
    form->folderBrowser().ExpandTreeItem(top);
    ASSERT_TRUE(form->folderBrowser().IsTreeThreadRunning());
    QTest::keyClick(f.pictb_tv_aktuell->widget(), Qt::Key_Space);
    ASSERT_TRUE(waitForTree(*form));
    EXPECT_EQ(tree.itemText(first), "/") << "not rebuilt";
    QTest::keyClick(f.pictb_tv_aktuell->widget(), Qt::Key_Space);
    ASSERT_TRUE(waitForTree(*form));
    EXPECT_EQ(tree.itemText(first), "") << "rebuilt: the old items are gone";
    EXPECT_EQ(texts(tree, 0).size(), 2u);
}

// A fill restarted while it runs ends with one complete tree; a clearing while it runs leaves no
// item of the old fill behind; the refresh button is ignored while the thread runs.
TEST_F(FolderBrowserTest, RestartsAndClearingsDuringAFillLeaveNoStaleItems) {
    // One folder of 1,500 files shown under ten roots: a fill of many steps from few files.
    const std::vector<WString> roots(10, manyFiles(1500));
    auto form = start(roots);
    FolderBrowser& browser = form->folderBrowser();
    const WTreeView& tree = *form->form().tv_dir;

    browser.StartTreeThread();
    browser.StartTreeThread();
    EXPECT_TRUE(browser.IsTreeThreadRunning());
    ASSERT_TRUE(waitForTree(*form));
    ASSERT_EQ(tree.children(0).size(), 10u);
    EXPECT_EQ(tree.count(), 10 + 10 * 1500);

    for (int round = 0; round < 3; ++round) {
        browser.StartTreeThread();
        // Let part of the fill in, then clear.
        QElapsedTimer timer;
        timer.start();
        while (tree.count() < 100 && timer.elapsed() < 10'000)
            handleMessages();
        browser.ClearTree();
        EXPECT_EQ(tree.count(), 0);
        ASSERT_TRUE(waitForTree(*form));
        EXPECT_EQ(tree.count(), 0) << "round " << round;
    }
}

// Closing the window while the thread fills ends promptly, without waiting for the fill.
TEST_F(FolderBrowserTest, ShutdownDuringAFillEndsWithinTwoSeconds) {
    const std::vector<WString> roots(40, manyFiles(1500));
    for (bool dropWithoutClose : {false, true}) {
        auto form = start(roots);
        form->folderBrowser().StartTreeThread();
        while (form->form().tv_dir->count() < 100)
            handleMessages();
        QElapsedTimer timer;
        timer.start();
        if (dropWithoutClose) {
            form.reset();
        } else {
            form->ShutDown();
            EXPECT_FALSE(form->threadSlots()[WorkerSlots::kTree].isAlive());
            EXPECT_LT(form->form().tv_dir->count(), 10 + 40 * 1500) << "the fill did not run to its end";
        }
        EXPECT_LT(timer.elapsed(), 2000) << (dropWithoutClose ? "dropped" : "closed");
    }
}

// Entries whose names cannot be stored are shown, but refused as a source or destination with a
// message; a name with a line break too.
TEST_F(FolderBrowserTest, UnstorableNamesAreShownButRefused) {
    fs::create_directory(dir.file("baum/roh\xff"));
    fs::create_directory(dir.file("baum/zwei\nzeilen"));
    fs::create_directory(dir.file("baum/\xd0\x96urnal"));
    auto form = start({root()});
    Form1& f = form->form();
    form->NewJob();
    ASSERT_TRUE(waitForTree(*form));
    WTreeView& tree = *f.tv_dir;
    const WTreeItem top = tree.children(0).front();
    EXPECT_EQ(texts(tree, top), (std::vector<std::string>{"?urnal", "zwei\nzeilen", "roh?", "Daten"}));
    for (const char* name : {"?urnal", "zwei\nzeilen", "roh?"}) {
        tree.selectItem(child(tree, top, name));
        for (bool destination : {false, true}) {
            const std::size_t before = boxes.shown().size();
            if (destination)
                form->editor().SetDestination();
            else
                form->editor().AddSource();
            ASSERT_EQ(boxes.shown().size(), before + 1) << name;
            EXPECT_EQ(boxes.shown().back().caption, "Morlanz 1.1 - Fehler");
            const std::string text = boxes.shown().back().text.toUtf8();
            EXPECT_TRUE(text.find("nicht speichern") != std::string::npos ||
                        text.find("Steuerzeichen") != std::string::npos)
                << text;
        }
    }
    EXPECT_EQ(f.lb_von->count(), 0);
    EXPECT_EQ(f.textb_nach->text(), "");
}
