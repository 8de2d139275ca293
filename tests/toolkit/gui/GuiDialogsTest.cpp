// Message boxes and the progress window: the windows the toolkit shows on behalf of any thread.
#include "TestForm.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/SeamScope.h"
#include "toolkit/gui/WProgressWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

class MessageBoxes : public ::testing::Test {
protected:
    InstalledTestCatalog catalog;
    TestForm form;
};

TEST_F(MessageBoxes, TheOwnerIsUsedOnlyWhenVisibleAndEnabledAndResultsBeyondNineAreTen) {
    ScriptedMessageBoxes boxes;
    for (const auto& [visible, enabled] : {std::pair{false, true}, {true, false}, {false, false}, {true, true}}) {
        if (visible)
            form.showAndWait();
        else
            form.widget()->hide();
        form.widget()->setEnabled(enabled);
        WMessageBox::show(&form, "Text", "Titel", MB::OK);
        EXPECT_EQ(boxes.shown().back().owner, visible && enabled ? &form : nullptr) << visible << enabled;
    }
    const WString text = "Möchten Sie die Sicherung\n\nÄrger\n\nwirklich löschen?"_w;
    WMessageBox::show(nullptr, text, "Morlanz 1.1 - Sicherung löschen?"_w, MB::OKCANCEL | MB::ICONEXCLAMATION);
    EXPECT_EQ(boxes.shown().back().owner, nullptr);
    EXPECT_EQ(boxes.shown().back().text, text);
    EXPECT_EQ(boxes.shown().back().flags, 0x31u);
    // The presenter's answer passes when it is a button's result, 1 to 9; anything else is reported as 10.
    for (const auto& [answer, expected] : {std::pair{1, 1}, {9, 9}, {0, 10}, {10, 10}, {-1, 10}}) {
        boxes.answerNext(answer);
        EXPECT_EQ(WMessageBox::show(nullptr, "x", "y", MB::OK), expected) << answer;
    }
}

TEST_F(MessageBoxes, AWorkersBoxIsShownByTheUserInterfaceThreadAsTheFlagsSay) {
    SeamScope<WMessagePresenter> realBoxes(nullptr);
    form.showAndWait();
    std::atomic<int> result{0};
    std::thread worker([this, &result] {
        const unsigned flags = MB::OKCANCEL | MB::ICONEXCLAMATION | MB::TASKMODAL;
        result = WMessageBox::show(&form, "Pfad <b>C:\\</b>"_w, "Fehler", flags);
    });
    // The box runs its own loop inside the one below; a polling timer answers it from within.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        EXPECT_EQ(box->thread(), QThread::currentThread());
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
        EXPECT_EQ(box->parentWidget(), form.widget());
        EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(box->text(), "Pfad <b>C:\\</b>");
        EXPECT_EQ(box->textFormat(), Qt::PlainText) << "a path is never read as markup";
        box->button(QMessageBox::Cancel)->click();
    });
    answer.start(5);
    QElapsedTimer clock;
    clock.start();
    while (result == 0 && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    worker.join();
    EXPECT_EQ(result, ID::CANCEL);
}

QProgressDialog* findDialog(const QString& title) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* d = qobject_cast<QProgressDialog*>(w); d && d->isVisible() && d->windowTitle() == title)
            return d;
    }
    return nullptr;
}

// Every queued call posted to the application before this one has run.
void drainQueuedCalls() {
    bool reached = false;
    QMetaObject::invokeMethod(
        qApp, [&] { reached = true; }, Qt::QueuedConnection);
    EXPECT_TRUE(QTest::qWaitFor([&] { return reached; }, 2000));
}

TEST(ProgressWindow, WorkersMakeFeedAndDropItWithoutWaitingForTheUserInterfaceThread) {
    const QString title = QStringLiteral("Kopie läuft");
    std::unique_ptr<WProgressWindow> window;
    std::thread([&] {
        window = std::make_unique<WProgressWindow>(WProgressTexts{"Kopie läuft"_w, "Halt"_w, "%1 of %2 files"_w});
        window->progress({.bytesDone = 100, .bytesTotal = 400, .filesDone = 1, .filesTotal = 4});
    }).join(); // returned while the user-interface thread handled nothing
    QProgressDialog* dialog = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (dialog = findDialog(title)) != nullptr; }, 2000));
    EXPECT_EQ(dialog->thread(), QThread::currentThread());
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->value() == 250; }, 2000)) << "by bytes, in per mille";
    EXPECT_EQ(dialog->labelText(), QStringLiteral("1 of 4 files")) << "the caller's words";
    EXPECT_EQ(dialog->findChild<QPushButton*>()->text(), QStringLiteral("Halt"));
    window->progress({.filesDone = 3, .filesTotal = 4});
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->value() == 750; }, 2000)) << "by files when no bytes are known";
    EXPECT_FALSE(window->cancelled());
    dialog->findChild<QPushButton*>()->click(); // the user's button
    EXPECT_TRUE(window->cancelled());
    std::thread([&] { window.reset(); }).join();
    EXPECT_TRUE(QTest::qWaitFor([&] { return findDialog(title) == nullptr; }, 2000));

    // Dropped at once: the window is made and closed in order, none is left behind.
    std::thread([] { WProgressWindow gone({"Sofort weg", "Halt", "%1/%2"}); }).join();
    drainQueuedCalls();
    EXPECT_EQ(findDialog("Sofort weg"), nullptr);
}

} // namespace
