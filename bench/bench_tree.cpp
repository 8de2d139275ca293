// The editor's folder tree against Qt's QFileSystemModel in a QTreeView (what a file dialog shows),
// on a real display (run it through bench/tree.sh): (a) a folder of 20,000 files filled by the tree
// thread, (b) opening a folder of 1,000 subfolders, which our tree lists one level ahead. Meanwhile a
// 10 ms timer on the user-interface thread measures the longest time the thread did not answer.
#include "BenchTiming.h"
#include "app/MainForm.h"
#include "app/editor/FolderBrowser.h"
#include "app/form1/Form1.h"
#include "app/form1/Views.h"
#include "resources/MorlanzResources.h"
#include "toolkit/gui/WApplication.h"
#include "toolkit/gui/WResources.h"
#include "toolkit/gui/WTreeView.h"

#include <QApplication>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QPersistentModelIndex>
#include <QSet>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <QWindow>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int gFiles = 20000; // the files of a; the second argument sets it
int gDigits = 5;
constexpr int kSubfolders = 1000;
constexpr int gFilesEach = 5;
constexpr int kFoldersEach = 5;
constexpr double kLimitMs = 60000; // a measurement that takes longer is given up
constexpr double kGapTargetMs = 100;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The user-interface thread's heartbeat: a 10 ms timer; the longest gap between its ticks since the
// last reset. It also wakes the waiting loops below, which sleep until an event arrives.
class Heartbeat {
public:
    Heartbeat() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start();
    }
    void reset() {
        last_ = Clock::now();
        longest_ = 0;
    }
    // Counts the gap still open, too: a call that blocks until the end leaves no tick behind it.
    double longest() {
        tick();
        return longest_;
    }

private:
    void tick() {
        const Clock::time_point now = Clock::now();
        longest_ = std::max(longest_, std::chrono::duration<double, std::milli>(now - last_).count());
        last_ = now;
    }
    QTimer timer_;
    Clock::time_point last_ = Clock::now();
    double longest_ = 0;
};

// Handles events, sleeping in between, until done() holds; false when it did not within the limit.
bool waitFor(const std::function<bool()>& done, Clock::time_point start = Clock::now()) {
    while (!done()) {
        if (msSince(start) > kLimitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// What the last change left pending: a delayed layout (a zero timer), then the paint it asks for.
void drain() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

void settle(int ms) {
    const Clock::time_point start = Clock::now();
    waitFor([&] { return msSince(start) >= ms; });
}

void makeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) != 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
}

void makeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
    ::close(fd);
}

std::string numbered(const char* prefix, int n, int width, const char* suffix = "") {
    char text[64];
    std::snprintf(text, sizeof text, "%s%0*d%s", prefix, width, n, suffix);
    return text;
}

struct Round {
    bool ok = false;
    double ms = 0;
    double gap = 0; // longest gap between heartbeat ticks, ms
};

struct Series {
    std::vector<double> ms;
    double longestGap = 0;
    int failed = 0;

    void add(const Round& r) {
        longestGap = std::max(longestGap, r.gap);
        if (r.ok)
            ms.push_back(r.ms);
        else
            ++failed;
    }
    bench::Stats stats() const {
        std::vector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        const std::size_t n = sorted.size();
        if (n == 0)
            return {0, 0, 0};
        return {n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2, sorted.front(), sorted.back()};
    }
};

// A main form in the editor view, its tree rooted at one folder.
class OurTree {
public:
    explicit OurTree(const std::string& root)
        : root_(*WString::fromUtf8(root)),
          form_([] { return false; }, [root = root_] { return std::vector<WString>{root}; }) {}

    bool create() {
        if (!form_.create())
            return false;
        form_.views().HideOverview();
        form_.views().ShowEditor();
        widget_ = qobject_cast<QTreeWidget*>(tree().widget());
        settle(300);
        return widget_ != nullptr;
    }
    FolderBrowser& browser() { return form_.folderBrowser(); }
    WTreeView& tree() { return *form_.form().tv_dir; }
    QTreeWidgetItem* rootItem() { return widget_->topLevelItemCount() == 1 ? widget_->topLevelItem(0) : nullptr; }

private:
    WString root_;
    MainForm form_;
    QTreeWidget* widget_ = nullptr;
};

// A QFileSystemModel in a shown QTreeView, made afresh for each round.
class ModelTree {
public:
    ModelTree() {
        QObject::connect(&model_, &QFileSystemModel::directoryLoaded, [this](const QString& path) { loaded_ << path; });
        view_.setModel(&model_);
        view_.setGeometry(770, 30, 250, 445); // beside the tree of the main window
        view_.show();
        waitFor([this] { return view_.windowHandle() && view_.windowHandle()->isExposed(); });
        drain();
    }
    // Opens the folder as a file dialog does; true once its rows are all there (or false after the limit).
    bool open(const QString& folder, int rows, Clock::time_point start) {
        model_.setRootPath(folder);
        root_ = model_.index(folder);
        view_.setRootIndex(root_);
        return waitFor([&] { return loaded_.contains(folder) && model_.rowCount(root_) == rows; }, start);
    }
    QFileSystemModel& model() { return model_; }
    QTreeView& view() { return view_; }
    QSet<QString>& loaded() { return loaded_; }

private:
    // Declared first: the view goes before its model.
    QFileSystemModel model_;
    QTreeView view_;
    QSet<QString> loaded_;
    QPersistentModelIndex root_;
};

// (a), ours: what a new job does (the tree emptied, the tree thread started) until the root holds
// every file and is shown open.
Round oursFill(OurTree& ours, Heartbeat& beat) {
    Round r;
    // A fill's thread lingers a while before it ends; a new one starts only after.
    if (!waitFor([&] { return !ours.browser().IsTreeThreadRunning(); }))
        return r;
    ours.browser().ClearTree();
    drain();
    beat.reset();
    const Clock::time_point start = Clock::now();
    ours.browser().StartTreeThread();
    r.ok = waitFor(
        [&] {
            const QTreeWidgetItem* root = ours.rootItem();
            return root && root->childCount() == gFiles;
        },
        start);
    if (r.ok) {
        ours.tree().expandItem(ours.tree().children(0).front());
        drain();
    }
    r.ms = msSince(start);
    r.gap = beat.longest();
    return r;
}

// (a), QFileSystemModel: from setRootPath until every file is a row and the directory is loaded.
Round modelFill(const QString& folder, Heartbeat& beat) {
    ModelTree peer;
    Round r;
    beat.reset();
    const Clock::time_point start = Clock::now();
    r.ok = peer.open(folder, gFiles, start);
    drain();
    r.ms = msSince(start);
    r.gap = beat.longest();
    return r;
}

// (b), ours: the tree refreshed and the parent opened (F's 1,000 children listed), untimed; then
// opening F, which lists each of its children, and the open F shown.
Round oursExpand(OurTree& ours, Heartbeat& beat, bool check) {
    Round r;
    ours.browser().RefreshTree();
    WTreeView& tree = ours.tree();
    const std::vector<WTreeItem> top = tree.children(0);
    if (top.size() != 1)
        return r;
    const WTreeItem parent = top.front();
    ours.browser().ExpandTreeItem(parent);
    tree.expandItem(parent);
    // The parent's folder is listed on the tree thread.
    waitFor([&] {
        const std::vector<WTreeItem> b = tree.children(parent);
        return b.size() == 1 && tree.children(b.front()).size() == static_cast<std::size_t>(kSubfolders);
    });
    drain();
    const std::vector<WTreeItem> below = tree.children(parent);
    if (below.size() != 1 || tree.children(below.front()).size() != static_cast<std::size_t>(kSubfolders)) {
        std::printf("b: the parent shows %zu folders, its folder %zu children\n", below.size(),
                    below.empty() ? 0 : tree.children(below.front()).size());
        return r;
    }
    const WTreeItem folder = below.front();
    beat.reset();
    const Clock::time_point start = Clock::now();
    ours.browser().ExpandTreeItem(folder);
    tree.expandItem(folder);
    // F's rows are there already; the time runs until each of them is listed one level ahead (on the
    // tree thread), so that every row shows whether it can be opened.
    const QTreeWidgetItem* f = ours.rootItem()->child(0);
    r.ok = waitFor(
        [&] {
            for (int i = f->childCount() - 1; i >= 0; --i) {
                if (f->child(i)->childCount() != gFilesEach + kFoldersEach)
                    return false;
            }
            return true;
        },
        start);
    drain();
    r.ms = msSince(start);
    r.gap = beat.longest();
    if (check) {
        // Every subfolder listed one level ahead: its own entries are in the tree.
        for (int i = 0; i < f->childCount(); ++i) {
            if (f->child(i)->childCount() != gFilesEach + kFoldersEach) {
                std::printf("b: %s shows %d entries\n", qPrintable(f->child(i)->text(0)), f->child(i)->childCount());
                r.ok = false;
                break;
            }
        }
    }
    return r;
}

// (b), QFileSystemModel: the parent loaded, untimed; then expanding F until its 1,000 rows are there.
Round modelExpand(const QString& parent, const QString& folder, Heartbeat& beat) {
    ModelTree peer;
    Round r;
    if (!peer.open(parent, 1, Clock::now())) {
        std::printf("b: QFileSystemModel did not load the parent folder\n");
        return r;
    }
    drain();
    QFileSystemModel& model = peer.model();
    const QPersistentModelIndex f = model.index(folder);
    if (model.rowCount(f) != 0) {
        std::printf("b: QFileSystemModel had listed the folder before it was opened\n");
        return r;
    }
    beat.reset();
    const Clock::time_point start = Clock::now();
    peer.view().expand(f);
    if (model.canFetchMore(f))
        model.fetchMore(f);
    r.ok = waitFor([&] { return peer.loaded().contains(folder) && model.rowCount(f) == kSubfolders; }, start);
    drain();
    r.ms = msSince(start);
    r.gap = beat.longest();
    return r;
}

std::string timeText(const Round& r) {
    char text[64];
    if (r.ok)
        std::snprintf(text, sizeof text, "%.1f ms", r.ms);
    else
        std::snprintf(text, sizeof text, "FAIL after %.1f ms (given up, or a wrong tree)", r.ms);
    return text;
}

void printRound(const char* part, int round, const Round& ours, const Round& model) {
    std::printf("%s round %d: ours %s, UI gap %.1f ms; QFileSystemModel %s, UI gap %.1f ms\n", part, round,
                timeText(ours).c_str(), ours.gap, timeText(model).c_str(), model.gap);
    std::fflush(stdout);
}

struct Summary {
    double ratio = 0;
    double gap = 0;
    bool complete = false;
};

Summary summarize(const char* what, const Series& ours, const Series& model) {
    const bench::Stats o = ours.stats(), m = model.stats();
    Summary s;
    s.complete = ours.failed == 0 && model.failed == 0 && !ours.ms.empty() && !model.ms.empty();
    s.ratio = m.median > 0 ? o.median / m.median : 0;
    s.gap = ours.longestGap;
    std::printf("%s: ours median %.1f ms (%.1f, %.1f), QFileSystemModel median %.1f ms (%.1f, %.1f), ratio %.2f, "
                "longest UI gap %.1f ms (QFileSystemModel %.1f ms)%s\n",
                what, o.median, o.min, o.max, m.median, m.min, m.max, s.ratio, ours.longestGap, model.longestGap,
                s.complete ? "" : " [rounds failed]");
    return s;
}

int runBench(int rounds) {
    const std::string work = std::filesystem::canonical(bench::enterWorkFolder()).string();
    Heartbeat beat;

    const std::string filesFolder = work + "/files";
    makeFolder(filesFolder);
    for (int i = 0; i < gFiles; ++i)
        makeFile(numbered((filesFolder + "/datei-").c_str(), i, gDigits, ".txt"));
    const std::string parent = work + "/parent";
    const std::string folder = parent + "/folders";
    makeFolder(parent);
    makeFolder(folder);
    for (int i = 0; i < kSubfolders; ++i) {
        const std::string sub = numbered((folder + "/ordner-").c_str(), i, 4);
        makeFolder(sub);
        for (int k = 0; k < gFilesEach; ++k)
            makeFile(numbered((sub + "/datei-").c_str(), k, 1, ".txt"));
        for (int k = 0; k < kFoldersEach; ++k)
            makeFolder(numbered((sub + "/unter-").c_str(), k, 1));
    }
    std::printf("Qt %s on %s; %d rounds after one untimed warm-up round each; data under %s\n", qVersion(),
                qPrintable(QGuiApplication::platformName()), rounds, work.c_str());
    std::fflush(stdout);

    bool wrong = false;
    Summary a, b;
    {
        OurTree ours(filesFolder);
        if (!ours.create()) {
            std::fprintf(stderr, "no window\n");
            return 1;
        }
        const QString q = QString::fromStdString(filesFolder);
        Round warm = oursFill(ours, beat);
        // The tree must hold exactly the folder's files, in name order (all are files, so Last).
        if (warm.ok) {
            const QTreeWidgetItem* root = ours.rootItem();
            for (int i = 0; i < gFiles && warm.ok; ++i)
                warm.ok = root->child(i)->text(0).toStdString() == numbered("datei-", i, gDigits, ".txt");
        }
        const Round warmModel = modelFill(q, beat);
        printRound("a warm-up", 0, warm, warmModel);
        wrong = !warm.ok || !warmModel.ok;
        Series o, m;
        for (int r = 1; r <= rounds; ++r) {
            Round ro, rm;
            // Alternating which goes first, so neither always finds the other's aftermath.
            if (r % 2) {
                ro = oursFill(ours, beat);
                rm = modelFill(q, beat);
            } else {
                rm = modelFill(q, beat);
                ro = oursFill(ours, beat);
            }
            printRound("a", r, ro, rm);
            o.add(ro);
            m.add(rm);
        }
        const std::string label = "a " + std::to_string(gFiles) + " files";
        a = summarize(label.c_str(), o, m);
    }
    {
        OurTree ours(parent);
        if (!ours.create()) {
            std::fprintf(stderr, "no window\n");
            return 1;
        }
        const QString qParent = QString::fromStdString(parent), qFolder = QString::fromStdString(folder);
        const Round warm = oursExpand(ours, beat, true);
        const Round warmModel = modelExpand(qParent, qFolder, beat);
        printRound("b warm-up", 0, warm, warmModel);
        wrong = wrong || !warm.ok || !warmModel.ok;
        Series o, m;
        for (int r = 1; r <= rounds; ++r) {
            Round ro, rm;
            if (r % 2) {
                ro = oursExpand(ours, beat, false);
                rm = modelExpand(qParent, qFolder, beat);
            } else {
                rm = modelExpand(qParent, qFolder, beat);
                ro = oursExpand(ours, beat, false);
            }
            printRound("b", r, ro, rm);
            o.add(ro);
            m.add(rm);
        }
        b = summarize("b 1000 subfolders", o, m);
    }

    const bool passA = a.complete && a.ratio <= 1.0;
    const bool passB = b.complete && b.ratio <= 1.0;
    const double gap = std::max(a.gap, b.gap);
    const bool passGap = a.complete && b.complete && gap <= kGapTargetMs;
    std::printf("target a: ours at most 1.0x QFileSystemModel: ratio %.2f %s\n", a.ratio, passA ? "PASS" : "FAIL");
    std::printf("target b: ours at most 1.0x QFileSystemModel: ratio %.2f %s\n", b.ratio, passB ? "PASS" : "FAIL");
    std::printf("target UI gap at most %.0f ms: longest %.1f ms (a %.1f, b %.1f) %s\n", kGapTargetMs, gap, a.gap, b.gap,
                passGap ? "PASS" : "FAIL");

    std::filesystem::current_path("/");
    std::filesystem::remove_all(work);
    if (wrong) {
        std::printf("a tree did not show the folder as it is (see above)\n");
        return 1;
    }
    return passA && passB && passGap ? 0 : 2;
}

class BenchApplication : public WApplication {
public:
    BenchApplication(int& argc, char** argv)
        : WApplication(argc, argv, "bench_tree needs a display: run it through bench/tree.sh"),
          rounds_(argc > 1 ? std::max(1, std::atoi(argv[1])) : 7) {
        if (argc > 2) {
            gFiles = std::max(1, std::atoi(argv[2]));
            gDigits = static_cast<int>(std::to_string(gFiles - 1).size());
        }
        WResources::install(&MorlanzResources::instance());
    }

protected:
    bool onStart() override {
        quit(runBench(rounds_));
        return true;
    }
    void onEnd() override {}
    void onTerminateSignal() override { quit(1); }

private:
    int rounds_;
};

} // namespace

int main(int argc, char** argv) {
    BenchApplication app(argc, argv);
    return app.exec();
}
