// The event mechanism: the connection table, and Qt's mouse events mapped to W events on real widgets.
#include "TestForm.h"
#include "toolkit/gui/WPopupMenu.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace {

using Id = WEventId;

// Calls fn with the first popup menu that opens. A popup runs its own nested loop, so this polls; it
// fails the test after two seconds.
void whenPopupOpens(std::function<void(QMenu&)> fn) {
    auto* timer = new QTimer(QCoreApplication::instance());
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, clock, fn = std::move(fn)] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu && clock->elapsed() < 2000)
            return;
        timer->stop();
        timer->deleteLater();
        if (menu)
            fn(*menu);
        else
            ADD_FAILURE() << "no popup menu opened";
    });
    timer->start(5);
}

TEST(EventTable, HandlersRunInOrderUntilOneReturnsTrueEachWithItsUserValue) {
    WEventTable table;
    std::vector<std::pair<char, std::intptr_t>> calls;
    const auto handler = [&calls](char name, bool handled) {
        return [&calls, name, handled](WEventData& d) {
            calls.emplace_back(name, d.userValue);
            return handled;
        };
    };
    int a = 0, b = 0, c = 0;
    table.connect(Id::ClickEvent, &a, handler('a', false), 11);
    table.connect(Id::ChangeEvent, &a, handler('x', true));
    table.connect(Id::ClickEvent, &b, handler('b', true), 12);
    table.connect(Id::ClickEvent, &c, handler('c', true));
    WEventData data{.id = Id::ClickEvent};
    EXPECT_TRUE(table.raise(data));
    EXPECT_EQ(calls, (decltype(calls){{'a', 11}, {'b', 12}}));
    table.disconnect(Id::ClickEvent, &b);
    EXPECT_TRUE(table.raise(data));
    EXPECT_EQ(calls.back(), std::pair('c', std::intptr_t{0}));
    data.id = Id::DestroyEvent;
    EXPECT_FALSE(table.raise(data)) << "no handler: the default processing goes on";
}

TEST(EventTable, HandlersMayChangeOrDestroyTheTableWhileItIsRaised) {
    auto table = std::make_unique<WEventTable>();
    int first = 0, second = 0, third = 0;
    std::vector<int> calls;
    const auto call = [&calls](int n) { return [&calls, n](WEventData&) { return calls.push_back(n), false; }; };
    table->connect(Id::ClickEvent, &first, [&](WEventData&) {
        table->disconnect(Id::ClickEvent, &third);
        table->connect(Id::ClickEvent, &first, call(4)); // only the next raise sees it
        return false;
    });
    table->connect(Id::ClickEvent, &second, [&](WEventData&) {
        table->disconnect(Id::ClickEvent, &second);
        return calls.push_back(2), false;
    });
    table->connect(Id::ClickEvent, &third, call(3));
    WEventData data{.id = Id::ClickEvent};
    EXPECT_FALSE(table->raise(data));
    EXPECT_EQ(calls, (std::vector<int>{2}));

    data.id = Id::CloseEvent;
    table->connect(Id::CloseEvent, &first, [&](WEventData&) { return table.reset(), false; });
    table->connect(Id::CloseEvent, &second, call(5));
    const auto life = table->lifetime();
    EXPECT_FALSE(table->raise(data));
    EXPECT_TRUE(life.expired());
    EXPECT_EQ(calls, (std::vector<int>{2})) << "nothing runs after the table is gone";
}

class GuiEvents : public ::testing::Test {
protected:
    void SetUp() override { form.showAndWait(); }

    InstalledTestCatalog catalog;
    TestForm form;
    EventLog log;
};

TEST_F(GuiEvents, ButtonsAndMovesArriveWithPositionsRelativeToTheControl) {
    QWidget* w = form.label->widget();
    for (const auto& [button, down, up, dbl] :
         {std::tuple{Qt::LeftButton, Id::LeftButtonDownEvent, Id::LeftButtonUpEvent, Id::LeftButtonDoubleEvent},
          {Qt::RightButton, Id::RightButtonDownEvent, Id::RightButtonUpEvent, Id::RightButtonDoubleEvent},
          {Qt::MiddleButton, Id::MiddleButtonDownEvent, Id::MiddleButtonUpEvent, Id::MiddleButtonDoubleEvent}}) {
        log.all.clear();
        log.watch(form.label->events(), {down, up, dbl});
        QTest::mousePress(w, button, {}, QPoint(5, 7));
        QTest::mouseRelease(w, button, {}, QPoint(8, 9));
        QTest::mouseDClick(w, button, {}, QPoint(5, 7));
        ASSERT_EQ(log.ids(), (std::vector<Id>{down, up, dbl}));
        EXPECT_EQ(QPoint(log.all[1].x, log.all[1].y), QPoint(8, 9));
        EXPECT_EQ(log.all[0].source, form.label.get());
    }
    log.all.clear();
    log.watch(form.label->events(), {Id::MouseMoveEvent});
    QTest::mouseMove(w, QPoint(4, 9));
    ASSERT_EQ(log.ids(), std::vector<Id>{Id::MouseMoveEvent});
    EXPECT_EQ(QPoint(log.all[0].x, log.all[0].y), QPoint(4, 9));
}

TEST_F(GuiEvents, TheBareFormCapturesTheMouseAndGetsTheReleaseOutsideInClientPositions) {
    log.watch(form.events(), {Id::LeftButtonDownEvent, Id::LeftButtonUpEvent});
    QTest::mouseClick(form.label->widget(), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_TRUE(log.all.empty()) << "an unhandled press on a label stays there";

    form.events().connect(Id::LeftButtonDownEvent, this, [this](WEventData&) { return form.setCapture(), false; });
    // Through the window, so that Qt routes the release as it would a real one.
    const QPoint bare(form.duToPixelsX(395), form.duToPixelsY(2)), outside = bare + QPoint(300, 40);
    const auto inWindow = [this](QPoint p) { return form.clientWidget()->mapTo(form.widget(), p); };
    QTest::mousePress(form.widget()->windowHandle(), Qt::LeftButton, {}, inWindow(bare));
    EXPECT_TRUE(form.hasCapture());
    QTest::mouseRelease(form.widget()->windowHandle(), Qt::LeftButton, {}, inWindow(outside));
    ASSERT_EQ(log.ids(), (std::vector<Id>{Id::LeftButtonDownEvent, Id::LeftButtonUpEvent}));
    EXPECT_EQ(QPoint(log.all[0].x, log.all[0].y), bare);
    EXPECT_EQ(QPoint(log.all[1].x, log.all[1].y), outside);
    EXPECT_EQ(log.all[1].source, &form);
    form.releaseCapture();
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(GuiEvents, AHandledPressIsConsumedAnUnhandledOneReachesTheControl) {
    for (const bool handled : {true, false}) {
        EventLog clicks, presses;
        clicks.watch(form.button->events(), {Id::ClickEvent});
        presses.watch(form.button->events(), {Id::LeftButtonDownEvent}, handled);
        QTest::mouseClick(form.button->widget(), Qt::LeftButton, {}, form.button->widget()->rect().center());
        EXPECT_EQ(presses.all.size(), 1u);
        EXPECT_EQ(clicks.all.size(), handled ? 0u : 1u) << handled;
        form.button->events().disconnect(Id::ClickEvent, &clicks);
        form.button->events().disconnect(Id::LeftButtonDownEvent, &presses);
    }
}

TEST_F(GuiEvents, AnUnhandledRightButtonUpOpensTheAttachedPopupInPlaceOfTheFieldsOwnMenu) {
    EXPECT_EQ(WPopupMenu::load(&form, "ID_Fehlt"), nullptr);
    const auto popup = WPopupMenu::load(&form, "ID_Test_popup");
    ASSERT_TRUE(popup);
    form.textBox->setContextMenu(popup.get());
    bool openAtInit = true;
    popup->events().connect(Id::InitMenuEvent, this, [&openAtInit](WEventData&) {
        openAtInit = QApplication::activePopupWidget() != nullptr;
        return false;
    });
    log.watch(popup->events(), {Id::InitMenuEvent});
    QStringList shown;
    whenPopupOpens([&shown](QMenu& menu) {
        for (const QAction* action : menu.actions())
            shown.push_back(action->text());
        menu.close();
    });
    QTest::mouseClick(form.textBox->widget(), Qt::RightButton, {}, QPoint(3, 3));
    EXPECT_TRUE(log.all.empty()) << "the popup opens after the button's event has been handled";
    pumpEvents();
    EXPECT_EQ(log.all.size(), 1u);
    EXPECT_FALSE(openAtInit) << "InitMenuEvent comes before the popup is shown";
    EXPECT_EQ(shown, (QStringList{"Anzeigen", "Beenden"})) << "not Qt's edit menu";
}

TEST_F(GuiEvents, AWorkersTextArrivesThroughTheEventLoopAndIsDroppedForAGoneWindow) {
    auto gone = std::make_unique<WLabel>(form, TestIds::label);
    std::thread([&] {
        form.label->setText("Mo 12:00");
        form.setText("Morlanz 1.1 - noch 5 Minuten");
        gone->setText("zu spät"_w);
    }).join();
    gone.reset();
    EXPECT_EQ(form.label->text(), "Grüße"_w) << "nothing changes before the user-interface thread runs";
    pumpEvents(); // the text for the gone label must neither crash nor reach another window
    EXPECT_EQ(form.label->text(), "Mo 12:00");
    EXPECT_EQ(form.text(), "Morlanz 1.1 - noch 5 Minuten");
}

} // namespace
