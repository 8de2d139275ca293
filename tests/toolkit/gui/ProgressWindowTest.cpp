#include "WProgressWindow.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <thread>

namespace {

QProgressDialog* findDialog(const QString& title) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* d = qobject_cast<QProgressDialog*>(w); d && d->isVisible() && d->windowTitle() == title)
            return d;
    }
    return nullptr;
}

} // namespace

TEST(ProgressWindowTest, ShowsTheTitleFollowsProgressAndCancelCountsAsCancelled) {
    const QString title = QString::fromUtf8("Morlanz führt die automatische Datensicherung durch!");
    auto window = std::make_unique<WProgressWindow>(WString::fromUtf8(title.toStdString()).value());
    QProgressDialog* dialog = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (dialog = findDialog(title)) != nullptr; }, 2000));
    EXPECT_FALSE(window->cancelled());

    CopyProgress p;
    p.bytesTotal = 400;
    p.bytesDone = 100;
    p.filesTotal = 4;
    p.filesDone = 1;
    window->progress(p);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->value() == 250; }, 2000));

    QPushButton* cancel = dialog->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), "Abbrechen");
    cancel->click(); // the user's button
    EXPECT_TRUE(window->cancelled());
    window.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return findDialog(title) == nullptr; }, 2000));
}

TEST(ProgressWindowTest, AWorkerMayMakeFeedAndDropItWithoutWaitingForTheWindow) {
    std::thread worker([] {
        WProgressWindow window("Von einem Arbeitsthread");
        CopyProgress p;
        p.filesTotal = 2;
        p.filesDone = 2;
        window.progress(p);
    });
    worker.join(); // returned while the user-interface thread handled nothing
    QTest::qWait(50);
    EXPECT_EQ(findDialog("Von einem Arbeitsthread"), nullptr) << "made and closed on the user-interface thread";
}
