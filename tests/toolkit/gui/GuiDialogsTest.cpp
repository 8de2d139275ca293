// Message boxes and the progress window: the windows the toolkit shows on behalf of any thread.
#include "TestForm.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/SeamScope.h"
#include "toolkit/gui/WProgressWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

class MessageBoxes : public ::testing::Test {
protected:
    InstalledTestCatalog catalog;
    TestForm form;
};

TEST_F(MessageBoxes, YesAndNoReadJaAndNein) {
    const WhenShown<QMessageBox> answer([](QMessageBox& box) {
        EXPECT_EQ(box.button(QMessageBox::Yes)->text(), "Ja");
        EXPECT_EQ(box.button(QMessageBox::No)->text(), "Nein");
        box.button(QMessageBox::No)->click();
    });
    EXPECT_EQ(WMessageBox::show(nullptr, "Weiter?"_w, "Frage"_w, MB::YESNO | MB::ICONQUESTION), ID::NO);
}

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
    // The box runs its own loop inside the one that handles the worker's call; it is answered from there.
    const WhenShown<QMessageBox> answer([this](QMessageBox& shown) {
        QMessageBox* box = &shown;
        EXPECT_EQ(QApplication::activeModalWidget(), box) << "open, in its own loop";
        EXPECT_EQ(box->thread(), QThread::currentThread());
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
        EXPECT_EQ(box->parentWidget(), form.widget());
        EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(box->text(), "Pfad <b>C:\\</b>");
        EXPECT_EQ(box->textFormat(), Qt::PlainText) << "a path is never read as markup";
        EXPECT_EQ(box->button(QMessageBox::Ok)->text(), "OK");
        EXPECT_EQ(box->button(QMessageBox::Cancel)->text(), "Abbrechen") << "German, whatever Qt's translations";
        box->button(QMessageBox::Cancel)->click();
    });
    std::atomic<int> result{0};
    UiWorker([this, &result] {
        const unsigned flags = MB::OKCANCEL | MB::ICONEXCLAMATION | MB::TASKMODAL;
        result = WMessageBox::show(&form, "Pfad <b>C:\\</b>"_w, "Fehler", flags);
    }).waitHandlingEvents();
    EXPECT_EQ(result, ID::CANCEL);
}

QProgressDialog* findDialog(const QString& title) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* d = qobject_cast<QProgressDialog*>(w); d && d->isVisible() && d->windowTitle() == title)
            return d;
    }
    return nullptr;
}

TEST(ProgressWindow, WorkersMakeFeedAndDropItWithoutWaitingForTheUserInterfaceThread) {
    const QString title = QStringLiteral("Kopie läuft");
    std::unique_ptr<WProgressWindow> window;
    std::thread([&] {
        window = std::make_unique<WProgressWindow>(WProgressTexts{"Kopie läuft"_w, "Halt"_w, "%1 of %2 files"_w});
        window->progress({.bytesDone = 100, .bytesTotal = 400, .filesDone = 1, .filesTotal = 4});
    }).join(); // returned while the user-interface thread handled nothing
    EXPECT_EQ(findDialog(title), nullptr) << "nothing is shown before the user-interface thread runs";
    QCoreApplication::sendPostedEvents(); // the worker's calls, all queued before it ended
    QProgressDialog* dialog = findDialog(title);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->thread(), QThread::currentThread());
    EXPECT_EQ(dialog->value(), 250) << "by bytes, in per mille";
    EXPECT_EQ(dialog->labelText(), QStringLiteral("1 of 4 files")) << "the caller's words";
    EXPECT_EQ(dialog->findChild<QPushButton*>()->text(), QStringLiteral("Halt"));
    window->progress({.filesDone = 3, .filesTotal = 4});
    EXPECT_EQ(dialog->value(), 250) << "queued, also from this thread";
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(dialog->value(), 750) << "by files when no bytes are known";
    EXPECT_FALSE(window->cancelled());
    dialog->findChild<QPushButton*>()->click(); // the user's button
    EXPECT_TRUE(window->cancelled());
    std::thread([&] { window.reset(); }).join();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(findDialog(title), nullptr);

    // Dropped at once: the window is made and closed in order, none is left behind.
    std::thread([] { WProgressWindow gone({"Sofort weg", "Halt", "%1/%2"}); }).join();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(findDialog("Sofort weg"), nullptr);
}

} // namespace
