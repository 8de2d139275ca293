// The event mechanism: the connection table, and Qt's mouse events mapped to W events on real widgets.
#include "TestForm.h"
#include "toolkit/gui/WMenuItem.h"
#include "toolkit/gui/WPopupMenu.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace {

using Id = WEventId;

TEST(EventTable, HandlersRunInOrderUntilOneReturnsTrueEachWithItsUserValue) {
    WEventTable table;
    std::vector<std::pair<char, std::intptr_t>> calls;
    const auto handler = [&calls](char name, bool handled) {
        return [&calls, name, handled](WEventData& d) {
            calls.emplace_back(name, d.userValue);
            return handled;
        };
    };
    table.connect(Id::ClickEvent, this, handler('a', false), 11);
    table.connect(Id::ChangeEvent, this, handler('x', true));
    table.connect(Id::ClickEvent, this, handler('b', true), 12);
    table.connect(Id::ClickEvent, this, handler('c', true));
    WEventData data{.id = Id::ClickEvent};
    EXPECT_TRUE(table.raise(data));
    EXPECT_EQ(calls, (decltype(calls){{'a', 11}, {'b', 12}}));
    data.id = Id::ChangeEvent;
    EXPECT_TRUE(table.raise(data));
    EXPECT_EQ(calls.back(), std::pair('x', std::intptr_t{0})) << "a user value belongs to its own connection";
    data.id = Id::DestroyEvent;
    EXPECT_FALSE(table.raise(data)) << "no handler: the default processing goes on";
}

TEST(EventTable, HandlersMayConnectOrDestroyTheTableWhileItIsRaised) {
    auto table = std::make_unique<WEventTable>();
    std::vector<int> calls;
    const auto call = [&calls](int n) { return [&calls, n](WEventData&) { return calls.push_back(n), false; }; };
    // Enough new connections to move the table's storage while the first handler runs.
    table->connect(Id::ClickEvent, nullptr, [&](WEventData&) {
        for (int i = 0; i < 64; ++i)
            table->connect(Id::ClickEvent, nullptr, call(100 + i));
        return calls.push_back(1), false;
    });
    table->connect(Id::ClickEvent, nullptr, call(2));
    WEventData data{.id = Id::ClickEvent};
    EXPECT_FALSE(table->raise(data));
    EXPECT_EQ(calls, (std::vector<int>{1, 2})) << "connections made while raised wait for the next raise";
    calls.clear();
    table->raise(data);
    EXPECT_EQ(calls.size(), 2u + 64) << "the connections of the first raise, not those made by this one";

    calls.clear();
    data.id = Id::CloseEvent;
    table->connect(Id::CloseEvent, nullptr, [&](WEventData&) { return table.reset(), false; });
    table->connect(Id::CloseEvent, nullptr, call(5));
    const auto life = table->lifetime();
    EXPECT_FALSE(table->raise(data));
    EXPECT_TRUE(life.expired());
    EXPECT_TRUE(calls.empty()) << "nothing runs after the table is gone";
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
    EXPECT_EQ(QWidget::mouseGrabber(), form.clientWidget()) << "the form's mouse surface holds the capture";
    QTest::mouseRelease(form.widget()->windowHandle(), Qt::LeftButton, {}, inWindow(outside));
    ASSERT_EQ(log.ids(), (std::vector<Id>{Id::LeftButtonDownEvent, Id::LeftButtonUpEvent}));
    EXPECT_EQ(QPoint(log.all[0].x, log.all[0].y), bare);
    EXPECT_EQ(QPoint(log.all[1].x, log.all[1].y), outside);
    EXPECT_EQ(log.all[1].source, &form);
    form.releaseCapture();
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(GuiEvents, AnUnhandledRightButtonUpOpensTheAttachedPopupInPlaceOfTheFieldsOwnMenu) {
    EXPECT_EQ(WPopupMenu::load(&form, "ID_Fehlt"), nullptr);
    const auto popup = WPopupMenu::load(&form, "ID_Test_popup");
    ASSERT_TRUE(popup);
    form.textBox->setContextMenu(popup.get());
    QStringList shown;
    const WhenShown<QMenu> watch([&shown](QMenu& menu) {
        for (const QAction* action : menu.actions())
            shown.push_back(action->text());
        menu.close();
    });
    QTest::mouseClick(form.textBox->widget(), Qt::RightButton, {}, QPoint(3, 3));
    EXPECT_TRUE(shown.isEmpty()) << "the popup opens after the button's event has been handled";
    pumpEvents();
    EXPECT_EQ(shown, (QStringList{"Anzeigen", "Beenden"})) << "not Qt's edit menu";
}

// Before the popup opens its window hears InitMenuEvent and may grey items; a greyed item cannot be
// chosen. The menu key (a keyboard context request) opens it too.
TEST_F(GuiEvents, ThePopupsWindowSetsUpItsItemsBeforeItOpensAlsoFromTheKeyboard) {
    const auto popup = WPopupMenu::load(&form, "ID_Test_popup");
    ASSERT_TRUE(popup);
    form.textBox->setContextMenu(popup.get());
    WMenuItem* item = popup->item(2); // "Beenden"
    ASSERT_NE(item, nullptr);
    int inits = 0;
    form.textBox->events().connect(Id::InitMenuEvent, nullptr, [&](WEventData&) {
        ++inits;
        item->setEnabled(false);
        return false;
    });
    std::vector<bool> enabled;
    const WhenShown<QMenu> watch([&](QMenu& menu) {
        for (const QAction* action : menu.actions())
            enabled.push_back(action->isEnabled());
        menu.close();
    });
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(2, 2), form.textBox->widget()->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(form.textBox->widget(), &key);
    pumpEvents();
    EXPECT_EQ(inits, 1);
    EXPECT_EQ(enabled, (std::vector<bool>{true, false}));
    EXPECT_FALSE(item->isEnabled());
    EXPECT_FALSE(item->choose()) << "a greyed item does nothing";
    item->setEnabled(true);
    struct Receiver {
        bool chosen = false;
        bool onClick(WEventData&) { return chosen = true; }
    } receiver;
    item->connect(Id::ClickEvent, &receiver, &Receiver::onClick);
    EXPECT_TRUE(item->choose());
    EXPECT_TRUE(receiver.chosen);
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
