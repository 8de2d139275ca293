// Message boxes: the owner rule, the result mapping and the Qt box built from the platform's flags.
#include "ScriptedMessageBoxes.h"
#include "TestForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

namespace {

class MessageBoxes : public ::testing::Test {
protected:
    InstalledTestCatalog catalog;
    TestForm form;
};

TEST_F(MessageBoxes, TheOwnerIsUsedOnlyWhenVisibleAndEnabled) {
    ScriptedMessageBoxes boxes;
    struct Case {
        const char* name;
        bool visible, enabled, owned;
    };
    for (const Case& c : {Case{"hidden", false, true, false}, Case{"disabled", true, false, false},
                          Case{"hidden and disabled", false, false, false}, Case{"visible", true, true, true}}) {
        SCOPED_TRACE(c.name);
        if (c.visible)
            form.showAndWait();
        else
            form.hide();
        form.setEnabled(c.enabled);
        WMessageBox::show(&form, "Text", "Titel", MB::OK);
        EXPECT_EQ(boxes.shown().back().owner, c.owned ? &form : nullptr);
    }
    WMessageBox::show(nullptr, "Text", "Titel", MB::OK);
    EXPECT_EQ(boxes.shown().back().owner, nullptr);
}

TEST_F(MessageBoxes, TextCaptionAndFlagsReachThePresenterUnchanged) {
    ScriptedMessageBoxes boxes;
    const WString text = "Möchten Sie die Sicherung \nmit dem Namen\n\nÄrger\n\nwirklich löschen?"_w;
    const WString caption = "Morlanz 1.1 - Sicherung löschen?"_w;
    const unsigned flags = MB::OKCANCEL | MB::ICONEXCLAMATION | MB::TASKMODAL;
    boxes.answerNext(ID::CANCEL);
    EXPECT_EQ(WMessageBox::show(&form, text, caption, flags), ID::CANCEL);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, text);
    EXPECT_EQ(boxes.shown()[0].caption, caption);
    EXPECT_EQ(boxes.shown()[0].flags, 0x2031u);
}

TEST_F(MessageBoxes, ResultsOneToNinePassAnythingElseIsTen) {
    ScriptedMessageBoxes boxes;
    const std::pair<int, int> cases[] = {{1, 1}, {2, 2}, {6, 6}, {7, 7}, {9, 9}, {0, 10}, {10, 10}, {-1, 10}, {42, 10}};
    for (const auto& [answer, expected] : cases) {
        boxes.answerNext(answer);
        EXPECT_EQ(WMessageBox::show(nullptr, "x", "y", MB::OK), expected) << answer;
    }
}

// --- the real Qt box, answered by a timer ------------------------------------------------------------

class QtMessageBoxes : public MessageBoxes {
protected:
    // Shows a real box (no presenter installed) and lets inspect look at it and press a button.
    int showAndAnswer(unsigned flags, const std::function<void(QMessageBox&)>& inspect) {
        WMessageBox::setPresenter(nullptr);
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                ADD_FAILURE() << "no message box is open";
                return;
            }
            inspect(*box);
        });
        return WMessageBox::show(&form, "Pfad <b>C:\\</b>"_w, "Morlanz 1.1 - Fehler", flags);
    }
};

TEST_F(QtMessageBoxes, ButtonsIconAndModalityFollowTheFlags) {
    form.showAndWait();
    const int result = showAndAnswer(MB::OKCANCEL | MB::ICONEXCLAMATION | MB::TASKMODAL, [this](QMessageBox& box) {
        EXPECT_EQ(box.icon(), QMessageBox::Warning);
        EXPECT_EQ(box.standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
        EXPECT_EQ(box.windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(box.windowTitle(), "Morlanz 1.1 - Fehler");
        EXPECT_EQ(box.text(), "Pfad <b>C:\\</b>");
        EXPECT_EQ(box.textFormat(), Qt::PlainText) << "a path is never read as markup";
        EXPECT_EQ(box.parentWidget(), form.widget());
        box.button(QMessageBox::Cancel)->click();
    });
    EXPECT_EQ(result, ID::CANCEL);
}

TEST_F(QtMessageBoxes, YesNoQuestionAnswersYes) {
    const int result = showAndAnswer(MB::YESNO | MB::ICONQUESTION, [](QMessageBox& box) {
        EXPECT_EQ(box.icon(), QMessageBox::Question);
        EXPECT_EQ(box.standardButtons(), QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(box.parentWidget(), nullptr) << "the form is hidden";
        box.button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(result, ID::YES);
}

TEST_F(QtMessageBoxes, AnInformationBoxHasOneOkButton) {
    const int result = showAndAnswer(MB::OK | MB::ICONINFORMATION | MB::TASKMODAL, [](QMessageBox& box) {
        EXPECT_EQ(box.icon(), QMessageBox::Information);
        EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
        box.button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(result, ID::OK);
}

TEST_F(QtMessageBoxes, AWorkersBoxIsShownByTheUserInterfaceThread) {
    WMessageBox::setPresenter(nullptr);
    std::atomic<int> result{0};
    std::thread worker(
        [&result] { result = WMessageBox::show(nullptr, "Sicherung fertig", "Morlanz 1.1 - Information", MB::OK); });
    // The box runs its own loop inside the one below; a polling timer answers it from within.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            EXPECT_EQ(box->thread(), QThread::currentThread());
            box->button(QMessageBox::Ok)->click();
        }
    });
    answer.start(5);
    QElapsedTimer clock;
    clock.start();
    while (result == 0 && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    worker.join();
    EXPECT_EQ(result, ID::OK);
}

} // namespace
