#pragma once

#include "toolkit/gui/WCheckBox.h"
#include "toolkit/gui/WComboBox.h"
#include "toolkit/gui/WCommandButton.h"
#include "toolkit/gui/WForm.h"
#include "toolkit/gui/WLabel.h"
#include "toolkit/gui/WListBox.h"
#include "toolkit/gui/WMaskedTextBox.h"
#include "toolkit/gui/WPictureBox.h"
#include "toolkit/gui/WRichTextBox.h"
#include "toolkit/gui/WTextBox.h"

#include <QCoreApplication>
#include <QObject>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <initializer_list>
#include <memory>
#include <thread>
#include <vector>

// A small resource catalogue shaped like the program's own: the form "ID_Test" with the controls below
// (the folder tree is made by the tests that need it), "ID_Resizable", the menu "ID_Test_menu" (with an
// item on the bar itself, and a key table that binds Ctrl+T twice), the popup "ID_Test_popup", button
// bitmaps in their three looks, and the tree's folder and file pictures.
namespace TestIds {
constexpr int label = 10, hiddenLabel = 11, textBox = 20, masked = 22, listSorted = 30, richText = 40, combo = 50,
              checkBox = 60, button = 70, picture = 80, tree = 90;
constexpr int einleitung = 1001, beenden = 1003, einstellung = 1004, tutorial = 1006, impressum = 1009;
constexpr int normalBitmap = 100, pressedBitmap = 101, inactiveBitmap = 136, folderBitmap = 150, fileBitmap = 151;
} // namespace TestIds

// Installs the test catalogue for its lifetime.
struct InstalledTestCatalog {
    InstalledTestCatalog();
    ~InstalledTestCatalog();
};

// "ID_Test" with its controls, created hidden.
class TestForm : public WForm {
public:
    TestForm();
    // Shows and activates the form and waits until the (offscreen) window is exposed and active; no
    // wait has a time limit of its own (the test's overall limit catches one that never ends).
    void showAndWait();

    std::unique_ptr<WLabel> label, hiddenLabel;
    std::unique_ptr<WTextBox> textBox;
    std::unique_ptr<WMaskedTextBox> masked;
    std::unique_ptr<WListBox> listSorted;
    std::unique_ptr<WRichTextBox> richText;
    std::unique_ptr<WComboBox> combo;
    std::unique_ptr<WCheckBox> checkBox;
    std::unique_ptr<WCommandButton> button;
    std::unique_ptr<WPictureBox> picture;
};

// Records raised events in order, answering each with a fixed result (false: the default goes on).
struct EventLog {
    std::vector<WEventData> all;
    void watch(WEventTable& table, std::initializer_list<WEventId> ids, bool answer = false);
    std::vector<WEventId> ids() const;
};

// Delivers posted events, queued calls and deferred deletions.
void pumpEvents();

// Calls fn with the first widget of type W shown while the watch lives, from within the loop that
// shows it (a popup's or a modal box's own loop), once it is up.
template <class W> class WhenShown : public QObject {
public:
    explicit WhenShown(std::function<void(W&)> fn) : fn_(std::move(fn)) { qApp->installEventFilter(this); }
    ~WhenShown() override { EXPECT_TRUE(seen_) << "no such window was shown"; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* shown = qobject_cast<W*>(watched);
        if (seen_ || !shown || event->type() != QEvent::Show)
            return false;
        seen_ = true;
        QMetaObject::invokeMethod(
            shown, [this, shown] { fn_(*shown); }, Qt::QueuedConnection);
        return false;
    }

private:
    std::function<void(W&)> fn_;
    bool seen_ = false;
};

// A worker thread whose end the user-interface thread waits for while handling events: the calls the
// worker waits on, among them.
class UiWorker {
public:
    explicit UiWorker(std::function<void()> body);
    ~UiWorker();
    // Runs step (if any) between rounds of events until the worker has ended, then joins it.
    void waitHandlingEvents(const std::function<void()>& step = {});

private:
    std::atomic<bool> finished_{false};
    std::thread thread_;
};
