// The event mechanism: the connection table, and Qt's mouse events mapped to W events on real widgets.
#include "EventLog.h"
#include "TestForm.h"
#include "WPopupMenu.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <thread>

namespace {

using Id = WEventId;

// --- the connection table -------------------------------------------------------------------------

TEST(EventTable, CallsHandlersInOrderUntilOneHandlesEachWithItsOwnUserValue) {
    WEventTable table;
    std::vector<std::pair<char, std::intptr_t>> calls;
    const auto handler = [&](char name, bool answer) {
        return [&calls, name, answer](WEventData& d) {
            calls.emplace_back(name, d.userValue);
            return answer;
        };
    };
    int a = 0, b = 0, c = 0;
    table.connect(Id::ClickEvent, &a, handler('a', false), 0xDEADBABE);
    table.connect(Id::ChangeEvent, &a, handler('x', true));
    table.connect(Id::ClickEvent, &b, handler('b', true), 0xDEADBABF);
    table.connect(Id::ClickEvent, &c, handler('c', true));

    WEventData data;
    data.id = Id::ClickEvent;
    EXPECT_TRUE(table.raise(data));
    const std::vector<std::pair<char, std::intptr_t>> expected = {{'a', 0xDEADBABE}, {'b', 0xDEADBABF}};
    EXPECT_EQ(calls, expected);

    table.disconnect(Id::ClickEvent, &b);
    calls.clear();
    EXPECT_TRUE(table.raise(data));
    EXPECT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls.back().first, 'c');

    data.id = Id::DestroyEvent;
    EXPECT_FALSE(table.raise(data)) << "no handler means not handled";
    EXPECT_FALSE(table.hasConnection(Id::DestroyEvent));
    EXPECT_TRUE(table.hasConnection(Id::ChangeEvent));
}

TEST(EventTable, HandlersMayChangeTheTableWhileItIsRaised) {
    WEventTable table;
    int first = 0, second = 0, third = 0;
    std::vector<int> calls;
    table.connect(Id::ClickEvent, &first, [&](WEventData&) {
        calls.push_back(1);
        table.disconnect(Id::ClickEvent, &third); // a later handler goes
        table.connect(Id::ClickEvent, &first, [&](WEventData&) {
            calls.push_back(4); // made during the raise: only the next raise sees it
            return false;
        });
        return false;
    });
    table.connect(Id::ClickEvent, &second, [&](WEventData&) {
        calls.push_back(2);
        table.disconnect(Id::ClickEvent, &second); // a handler removes itself
        return false;
    });
    table.connect(Id::ClickEvent, &third, [&](WEventData&) {
        calls.push_back(3);
        return false;
    });
    WEventData data;
    data.id = Id::ClickEvent;
    EXPECT_FALSE(table.raise(data));
    EXPECT_EQ(calls, (std::vector<int>{1, 2}));
}

TEST(EventTable, AHandlerMayDestroyTheTable) {
    auto table = std::make_unique<WEventTable>();
    bool laterCalled = false;
    int a = 0, b = 0;
    table->connect(Id::CloseEvent, &a, [&](WEventData&) {
        table.reset();
        return false;
    });
    table->connect(Id::CloseEvent, &b, [&](WEventData&) {
        laterCalled = true;
        return false;
    });
    WEventData data;
    data.id = Id::CloseEvent;
    const auto life = table->lifetime();
    EXPECT_FALSE(table->raise(data));
    EXPECT_TRUE(life.expired());
    EXPECT_FALSE(laterCalled);
}

// --- mouse events on widgets ----------------------------------------------------------------------

class GuiEvents : public ::testing::Test {
protected:
    void SetUp() override { form.showAndWait(); }

    InstalledTestCatalog catalog;
    TestForm form;
    EventLog log;
};

struct MouseCase {
    const char* name;
    Qt::MouseButton button;
    Id down, up, dbl;
};

class GuiMouseButtons : public GuiEvents, public ::testing::WithParamInterface<MouseCase> {};

TEST_P(GuiMouseButtons, PressReleaseAndDoubleClickArriveWithPositionsRelativeToTheControl) {
    const MouseCase& c = GetParam();
    QWidget* w = form.label->widget();
    log.watch(form.label->events(), {c.down, c.up, c.dbl});
    const QPoint at(5, 7);
    QTest::mousePress(w, c.button, {}, at);
    QTest::mouseRelease(w, c.button, {}, at + QPoint(3, 1));
    QTest::mouseDClick(w, c.button, {}, at);
    ASSERT_EQ(log.ids(), (std::vector<Id>{c.down, c.up, c.dbl}));
    EXPECT_EQ(log.all()[0].x, 5);
    EXPECT_EQ(log.all()[0].y, 7);
    EXPECT_EQ(log.all()[1].x, 8);
    EXPECT_EQ(log.all()[1].y, 8);
    EXPECT_EQ(log.all()[0].source, form.label.get());
}

INSTANTIATE_TEST_SUITE_P(Buttons, GuiMouseButtons,
                         ::testing::Values(MouseCase{"left", Qt::LeftButton, Id::LeftButtonDownEvent,
                                                     Id::LeftButtonUpEvent, Id::LeftButtonDoubleEvent},
                                           MouseCase{"right", Qt::RightButton, Id::RightButtonDownEvent,
                                                     Id::RightButtonUpEvent, Id::RightButtonDoubleEvent},
                                           MouseCase{"middle", Qt::MiddleButton, Id::MiddleButtonDownEvent,
                                                     Id::MiddleButtonUpEvent, Id::MiddleButtonDoubleEvent}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST_F(GuiEvents, MovesWithoutAButtonArrive) {
    log.watch(form.picture->events(), {Id::MouseMoveEvent});
    QTest::mouseMove(form.picture->widget(), QPoint(4, 9));
    ASSERT_EQ(log.count(Id::MouseMoveEvent), 1);
    EXPECT_EQ(log.all()[0].x, 4);
    EXPECT_EQ(log.all()[0].y, 9);
}

TEST_F(GuiEvents, AClickInAListIsReportedRelativeToTheListNotItsViewport) {
    auto* list = static_cast<QListWidget*>(form.listSorted->widget());
    log.watch(form.listSorted->events(), {Id::LeftButtonDownEvent});
    const QPoint inViewport(6, 4);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, inViewport);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, inViewport);
    ASSERT_EQ(log.count(Id::LeftButtonDownEvent), 1);
    const QPoint expected = list->viewport()->mapTo(list, inViewport);
    EXPECT_NE(expected, inViewport) << "the list's frame offsets its viewport";
    EXPECT_EQ(log.all()[0].x, expected.x());
    EXPECT_EQ(log.all()[0].y, expected.y());
}

TEST_F(GuiEvents, TheBareFormReportsClientPositionsAndControlsKeepTheirClicksToThemselves) {
    EventLog formLog;
    formLog.watch(form.events(), {Id::LeftButtonDownEvent});
    log.watch(form.label->events(), {Id::LeftButtonDownEvent});

    QTest::mouseClick(form.label->widget(), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(log.count(Id::LeftButtonDownEvent), 1);
    EXPECT_EQ(formLog.count(Id::LeftButtonDownEvent), 0) << "a label leaves the press unhandled";

    const QPoint bare(form.duToPixelsX(395), form.duToPixelsY(2));
    QTest::mouseClick(form.clientWidget(), Qt::LeftButton, {}, bare);
    ASSERT_EQ(formLog.count(Id::LeftButtonDownEvent), 1);
    EXPECT_EQ(formLog.all()[0].x, bare.x());
    EXPECT_EQ(formLog.all()[0].y, bare.y());
    EXPECT_EQ(formLog.all()[0].source, &form);
}

TEST_F(GuiEvents, AHandledPressIsConsumedAnUnhandledOneReachesTheControl) {
    for (const bool handled : {true, false}) {
        SCOPED_TRACE(handled ? "handled" : "not handled");
        EventLog clicks;
        EventLog presses;
        clicks.watch(form.button->events(), {Id::ClickEvent});
        presses.watch(form.button->events(), {Id::LeftButtonDownEvent}, handled);
        QTest::mouseClick(form.button->widget(), Qt::LeftButton, {}, centreOf(form.button->widget()));
        EXPECT_EQ(presses.count(Id::LeftButtonDownEvent), 1);
        EXPECT_EQ(clicks.count(Id::ClickEvent), handled ? 0 : 1);
        form.button->events().disconnect(Id::ClickEvent, &clicks);
        form.button->events().disconnect(Id::LeftButtonDownEvent, &presses);
    }
}

TEST_F(GuiEvents, AControlMayBeDestroyedByItsOwnClickHandler) {
    auto button = std::make_unique<WCommandButton>(form, TestIds::button);
    button->show();
    bool clicked = false;
    button->events().connect(Id::ClickEvent, this, [&](WEventData&) {
        button.reset(); // Qt is still inside the button's mouse release
        clicked = true;
        return false;
    });
    QWidget* w = button->widget();
    QTest::mouseClick(w, Qt::LeftButton, {}, centreOf(w));
    pumpEvents();
    EXPECT_TRUE(clicked);
    EXPECT_EQ(button, nullptr);
}

// --- context menu ---------------------------------------------------------------------------------

class GuiContextMenu : public GuiEvents {
protected:
    void SetUp() override {
        GuiEvents::SetUp();
        popup = WPopupMenu::load(form.label.get(), "ID_Test_popup");
        ASSERT_TRUE(popup);
        form.label->setContextMenu(popup.get());
        popup->events().connect(Id::InitMenuEvent, this, [this](WEventData& d) {
            initMenu.push_back(d);
            popupOpenAtInit = QApplication::activePopupWidget() != nullptr;
            return false;
        });
    }

    // Closes the popup once it is open and notes what it showed.
    void closePopupWhenOpen() {
        whenPopupOpens([this](QMenu& menu) {
            for (const QAction* action : menu.actions())
                shownTexts.push_back(action->text());
            menu.close();
        });
    }

    std::unique_ptr<WPopupMenu> popup;
    std::vector<WEventData> initMenu;
    bool popupOpenAtInit = true;
    QStringList shownTexts;
};

TEST_F(GuiContextMenu, TheRightButtonOpensTheAttachedPopupAfterItsInitMenuEvent) {
    log.watch(form.label->events(), {Id::RightButtonDownEvent, Id::RightButtonUpEvent});
    closePopupWhenOpen();
    QTest::mouseClick(form.label->widget(), Qt::RightButton, {}, QPoint(3, 3));
    EXPECT_EQ(log.ids(), (std::vector<Id>{Id::RightButtonDownEvent, Id::RightButtonUpEvent}));
    EXPECT_TRUE(initMenu.empty()) << "the popup opens after the button's event has been handled";
    pumpEvents();
    ASSERT_EQ(initMenu.size(), 1u);
    EXPECT_EQ(initMenu[0].source, form.label.get());
    EXPECT_FALSE(popupOpenAtInit) << "InitMenuEvent comes before the popup is shown";
    EXPECT_EQ(shownTexts.mid(0, 2), (QStringList{"Anzeigen", "Einstellung"}));
}

TEST_F(GuiContextMenu, AHandledRightButtonUpOpensNothing) {
    log.watch(form.label->events(), {Id::RightButtonUpEvent}, true);
    QTest::mouseClick(form.label->widget(), Qt::RightButton, {}, QPoint(3, 3));
    pumpEvents();
    EXPECT_EQ(log.count(Id::RightButtonUpEvent), 1);
    EXPECT_TRUE(initMenu.empty());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(GuiContextMenu, ARaisedRightButtonUpGetsTheSameDefaultProcessing) {
    // The tray raises mouse events itself; an unhandled right button must open its menu just the same.
    closePopupWhenOpen();
    WEventData data;
    data.id = Id::RightButtonUpEvent;
    EXPECT_FALSE(form.label->raiseEvent(data));
    pumpEvents();
    EXPECT_EQ(initMenu.size(), 1u);
    EXPECT_FALSE(shownTexts.isEmpty());
}

TEST_F(GuiContextMenu, TheAttachedPopupReplacesTheFieldsOwnMenu) {
    form.textBox->setContextMenu(popup.get());
    closePopupWhenOpen();
    QTest::mouseClick(form.textBox->widget(), Qt::RightButton, {}, QPoint(3, 3));
    pumpEvents();
    EXPECT_EQ(initMenu.size(), 1u);
    EXPECT_TRUE(shownTexts.contains("Anzeigen")) << shownTexts.join(',').toStdString();
    EXPECT_FALSE(shownTexts.join(',').contains("Copy")) << "Qt's edit menu must not open";
}

// --- capture ---------------------------------------------------------------------------------------

TEST_F(GuiEvents, CaptureGoesToVisibleWindowsOnlyAndReleaseEndsAnyCapture) {
    form.picture->setCapture();
    EXPECT_TRUE(form.picture->hasCapture());
    EXPECT_EQ(QWidget::mouseGrabber(), form.picture->widget());

    form.listSorted->setCapture(); // takes the capture over, on the list's viewport
    EXPECT_FALSE(form.picture->hasCapture());
    EXPECT_TRUE(form.listSorted->hasCapture());

    form.picture->releaseCapture(); // releases whoever holds it
    EXPECT_FALSE(form.listSorted->hasCapture());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);

    form.labelCentered->setCapture(); // created hidden
    EXPECT_FALSE(form.labelCentered->hasCapture());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(GuiEvents, ACapturedControlGetsTheReleaseOutsideWithPositionsBeyondItsSize) {
    log.watch(form.picture->events(), {Id::LeftButtonUpEvent});
    form.picture->events().connect(Id::LeftButtonDownEvent, this, [this](WEventData&) {
        form.picture->setCapture();
        return false;
    });
    // Through the window, so that Qt routes the release as it would a real one.
    QWidget* pic = form.picture->widget();
    QWindow* window = form.widget()->windowHandle();
    QTest::mousePress(window, Qt::LeftButton, {}, pic->mapTo(form.widget(), QPoint(2, 2)));
    EXPECT_TRUE(form.picture->hasCapture());
    QTest::mouseRelease(window, Qt::LeftButton, {}, pic->mapTo(form.widget(), QPoint(pic->width() + 20, 60)));
    ASSERT_EQ(log.count(Id::LeftButtonUpEvent), 1);
    EXPECT_EQ(log.all()[0].x, pic->width() + 20);
    EXPECT_EQ(log.all()[0].y, 60);
    form.picture->releaseCapture();
}

// --- text from a worker thread ----------------------------------------------------------------------

TEST_F(GuiEvents, AWorkersTextArrivesThroughTheEventLoop) {
    std::thread worker([this] {
        form.label->setText("Mo 12:00");
        form.setText("Morlanz 1.1 - noch 5 Minuten");
    });
    worker.join();
    EXPECT_EQ(form.label->text(), "Grüße"_w) << "nothing changes before the UI thread handles the call";
    pumpEvents();
    EXPECT_EQ(form.label->text(), "Mo 12:00");
    EXPECT_EQ(form.text(), "Morlanz 1.1 - noch 5 Minuten");
}

TEST_F(GuiEvents, AWorkersTextForAWindowDestroyedMeanwhileIsDropped) {
    auto label = std::make_unique<WLabel>(form, TestIds::label);
    std::thread worker([&label] { label->setText("zu spät"_w); });
    worker.join();
    label.reset();
    pumpEvents(); // must neither crash nor touch another window
    EXPECT_EQ(form.label->text(), "Grüße"_w);
}

} // namespace
