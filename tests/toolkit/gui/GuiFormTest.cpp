// Forms: creation from a layout, dialog units, the close sequence, window states and activation.
#include "EventLog.h"
#include "TestForm.h"
#include "WMenu.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Id = WEventId;

class GuiForm : public ::testing::Test {
protected:
    InstalledTestCatalog catalog;
};

// A form of a layout, without controls.
class PlainForm : public WForm {};

TEST_F(GuiForm, CreationTakesCaptionSizeAndStyleFromTheLayoutAndStaysHidden) {
    PlainForm form;
    EXPECT_FALSE(form.isCreated());
    ASSERT_TRUE(form.create("ID_Test", "8.MS Sans Serif"));
    EXPECT_TRUE(form.isCreated());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.text(), "Prüffenster"_w);
    QWidget* top = form.widget();
    EXPECT_EQ(top->size(), QSize(600, 487)); // 400 x 300 units: 1.5 and 1.625 pixels per unit
    EXPECT_EQ(top->minimumSize(), top->maximumSize()) << "no sizing border: fixed size";
    EXPECT_FALSE(top->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(top->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form.create("ID_Test", "8.MS Sans Serif")) << "a form is created once";

    PlainForm resizable;
    ASSERT_TRUE(resizable.create("ID_Resizable", "8.MS Sans Serif"));
    EXPECT_NE(resizable.widget()->minimumSize(), resizable.widget()->maximumSize());
    EXPECT_TRUE(resizable.widget()->windowFlags() & Qt::WindowMaximizeButtonHint);

    PlainForm missing;
    EXPECT_FALSE(missing.create("ID_Fehlt", "8.MS Sans Serif"));
    EXPECT_EQ(missing.controlLayout(TestIds::label), nullptr);
}

TEST_F(GuiForm, DialogUnitsBecomePixelsRoundingTowardZero) {
    PlainForm form;
    ASSERT_TRUE(form.create("ID_Test", "8.MS Sans Serif"));
    struct Case {
        int du, x, y;
    };
    for (const Case& c : {Case{0, 0, 0}, Case{1, 1, 1}, Case{2, 3, 3}, Case{3, 4, 4}, Case{7, 10, 11}, Case{8, 12, 13},
                          Case{655, 982, 1064}, Case{377, 565, 612}, Case{-3, -4, -4}}) {
        SCOPED_TRACE(c.du);
        EXPECT_EQ(form.duToPixelsX(c.du), c.x);
        EXPECT_EQ(form.duToPixelsY(c.du), c.y);
    }
    PlainForm larger;
    ASSERT_TRUE(larger.create("ID_Test", "16.Arial"));
    EXPECT_EQ(larger.duToPixelsX(10), 30);
    EXPECT_EQ(larger.duToPixelsY(8), 26);
}

TEST_F(GuiForm, ControlsTakeNameTextTipVisibilityAndPlaceFromTheLayout) {
    TestForm form;
    QWidget* label = form.label->widget();
    EXPECT_EQ(form.label->id(), TestIds::label);
    EXPECT_EQ(form.label->name(), "label_a");
    EXPECT_EQ(form.label->text(), "Grüße"_w);
    EXPECT_EQ(form.label->tipText(), "Tipp für äöü"_w);
    EXPECT_EQ(label->parentWidget(), form.clientWidget());
    EXPECT_FALSE(label->isHidden());
    EXPECT_TRUE(form.labelCentered->widget()->isHidden()) << "no Visible style";
    // 7, 7, 61, 11 units
    const WRect r = form.label->rect();
    EXPECT_EQ(r.x, 10);
    EXPECT_EQ(r.y, 11);
    EXPECT_EQ(r.width, 91);
    EXPECT_EQ(r.height, 17);
    EXPECT_TRUE(static_cast<QLineEdit*>(form.textReadOnly->widget())->isReadOnly());
    EXPECT_FALSE(static_cast<QLineEdit*>(form.textBox->widget())->isReadOnly());
    EXPECT_TRUE(static_cast<QLabel*>(form.labelCentered->widget())->alignment() & Qt::AlignHCenter);
}

TEST_F(GuiForm, AControlMissingFromTheLayoutIsEmptyHiddenAndOfNoSize) {
    TestForm form;
    WLabel stray(form, 4711);
    EXPECT_TRUE(stray.widget()->isHidden());
    EXPECT_EQ(stray.rect().width, 0);
    EXPECT_TRUE(stray.text().isEmpty());
}

TEST_F(GuiForm, AnOwnedFormStaysAboveItsOwner) {
    TestForm owner;
    PlainForm dialog;
    ASSERT_TRUE(dialog.create("ID_Resizable", "8.MS Sans Serif", &owner));
    EXPECT_EQ(dialog.widget()->parentWidget(), owner.widget());
    EXPECT_TRUE(dialog.widget()->isWindow());
}

// --- closing ---------------------------------------------------------------------------------------

class GuiClose : public GuiForm {
protected:
    void SetUp() override {
        form = std::make_unique<TestForm>();
        form->showAndWait();
    }
    void watch(bool handleSystem, bool handleQuery, bool handleClose) {
        log.watch(form->events(), {Id::SystemCommandEvent}, handleSystem);
        log.watch(form->events(), {Id::QueryCloseEvent}, handleQuery);
        log.watch(form->events(), {Id::CloseEvent}, handleClose);
        log.watch(form->events(), {Id::DestroyEvent});
    }

    std::unique_ptr<TestForm> form;
    EventLog log;
};

TEST_F(GuiClose, TheProgramsCloseIsPostedAndRunsQueryCloseDestroy) {
    watch(false, false, false);
    form->close();
    EXPECT_TRUE(log.all().empty()) << "posted: nothing happens before the loop runs";
    pumpEvents();
    EXPECT_EQ(log.ids(), (std::vector<Id>{Id::QueryCloseEvent, Id::CloseEvent, Id::DestroyEvent}));
    EXPECT_TRUE(form->isClosed());
    EXPECT_FALSE(form->isVisible());
    form->close();
    pumpEvents();
    EXPECT_EQ(log.all().size(), 3u) << "a closed form raises nothing more";
}

TEST_F(GuiClose, AHandledQueryCloseKeepsTheWindow) {
    watch(false, true, false);
    form->close();
    pumpEvents();
    EXPECT_EQ(log.ids(), (std::vector<Id>{Id::QueryCloseEvent}));
    EXPECT_FALSE(form->isClosed());
    EXPECT_TRUE(form->isVisible());
}

TEST_F(GuiClose, AHandledCloseEventKeepsTheWindow) {
    watch(false, false, true);
    form->close();
    pumpEvents();
    EXPECT_EQ(log.ids(), (std::vector<Id>{Id::QueryCloseEvent, Id::CloseEvent}));
    EXPECT_FALSE(form->isClosed());
    EXPECT_TRUE(form->isVisible());
}

TEST_F(GuiClose, ACloseFromTheWindowSystemRaisesTheSystemCommandFirst) {
    watch(false, false, false);
    form->widget()->close(); // what the caption button does
    EXPECT_EQ(log.ids(),
              (std::vector<Id>{Id::SystemCommandEvent, Id::QueryCloseEvent, Id::CloseEvent, Id::DestroyEvent}));
    EXPECT_EQ(log.all()[0].systemCommand, WSysCommand::Close);
    EXPECT_TRUE(form->isClosed());
}

TEST_F(GuiClose, AHandledSystemCommandKeepsTheWindow) {
    watch(true, false, false);
    EXPECT_FALSE(form->widget()->close());
    EXPECT_EQ(log.ids(), (std::vector<Id>{Id::SystemCommandEvent}));
    EXPECT_TRUE(form->isVisible());
}

TEST_F(GuiClose, AHiddenFormClosesToo) {
    // The program may run with its window hidden; the tray's "Beenden" must still end it.
    form->hide();
    watch(false, false, false);
    form->close();
    pumpEvents();
    EXPECT_EQ(log.count(Id::DestroyEvent), 1);
}

TEST_F(GuiClose, AFormMayBeDeletedByItsOwnDestroyHandler) {
    bool destroyed = false;
    form->events().connect(Id::DestroyEvent, this, [this, &destroyed](WEventData&) {
        form.reset();
        destroyed = true;
        return false;
    });
    form->close();
    pumpEvents();
    pumpEvents(); // the deferred deletion of the widget
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(form, nullptr);
}

TEST_F(GuiClose, AFormMayBeDeletedByAClickInItsMenuBarOrOnItsButtons) {
    // Qt is still inside the mouse release of the menu bar or button, a child of the form being deleted.
    ASSERT_TRUE(form->loadMenu("ID_Test_menu"));
    const auto deleteForm = [this](WEventData&) {
        form.reset();
        return false;
    };
    form->menu()->item(TestIds::einstellung)->events().connect(Id::ClickEvent, this, deleteForm);
    auto* bar = form->widget()->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    pumpEvents(); // lays the new bar out
    ASSERT_TRUE(bar->isVisible());
    QAction* action = bar->actions().at(1);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(action).center());
    pumpEvents();
    EXPECT_EQ(form, nullptr);

    SetUp();
    form->button->events().connect(Id::ClickEvent, this, deleteForm);
    QWidget* button = form->button->widget();
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    pumpEvents();
    EXPECT_EQ(form, nullptr);
}

// --- window states and activation --------------------------------------------------------------------

TEST_F(GuiForm, MinimisingRaisesMinimizeThenResizeMaximisingRaisesMaximize) {
    PlainForm form;
    ASSERT_TRUE(form.create("ID_Resizable", "8.MS Sans Serif"));
    form.show();
    EventLog log;
    log.watch(form.events(), {Id::MinimizeEvent, Id::MaximizeEvent, Id::ResizeEvent});
    form.setState(WForm::State::Minimized);
    ASSERT_GE(log.all().size(), 2u);
    EXPECT_EQ(log.ids()[0], Id::MinimizeEvent);
    EXPECT_EQ(log.ids()[1], Id::ResizeEvent);
    EXPECT_EQ(form.state(), WForm::State::Minimized);
    log.clear();
    form.setState(WForm::State::Maximized);
    ASSERT_FALSE(log.all().empty());
    EXPECT_EQ(log.ids()[0], Id::MaximizeEvent);
    EXPECT_EQ(log.count(Id::MinimizeEvent), 0);
    EXPECT_EQ(form.state(), WForm::State::Maximized);
    form.setState(WForm::State::Normal);
    EXPECT_EQ(form.state(), WForm::State::Normal);
    EXPECT_TRUE(form.isVisible());
}

TEST_F(GuiForm, ActivationAndItsLossAreReported) {
    TestForm first;
    TestForm second;
    EventLog log1, log2;
    log1.watch(first.events(), {Id::ActivateEvent, Id::DeactivateEvent});
    log2.watch(second.events(), {Id::ActivateEvent, Id::DeactivateEvent});
    first.showAndWait();
    EXPECT_GE(log1.count(Id::ActivateEvent), 1);
    second.showAndWait();
    EXPECT_EQ(log1.ids().back(), Id::DeactivateEvent);
    EXPECT_EQ(log2.ids().back(), Id::ActivateEvent);
    first.activate();
    ASSERT_TRUE(QTest::qWaitForWindowActive(first.widget()));
    EXPECT_EQ(log1.ids().back(), Id::ActivateEvent);
    EXPECT_EQ(log2.ids().back(), Id::DeactivateEvent);
}

TEST_F(GuiForm, ASetRectOnAFixedFormChangesItsFixedSize) {
    PlainForm form;
    ASSERT_TRUE(form.create("ID_Test", "8.MS Sans Serif"));
    form.setRect({112, 79, 800, 580});
    const WRect r = form.rect();
    EXPECT_EQ(r.x, 112);
    EXPECT_EQ(r.y, 79);
    EXPECT_EQ(r.width, 800);
    EXPECT_EQ(r.height, 580);
    EXPECT_EQ(form.widget()->minimumSize(), form.widget()->maximumSize());
}

TEST_F(GuiForm, TheIconComesFromTheCatalogue) {
    PlainForm form;
    ASSERT_TRUE(form.create("ID_Test", "8.MS Sans Serif"));
    form.setIcon(TestIds::icon);
    EXPECT_FALSE(form.widget()->windowIcon().isNull());
    EXPECT_EQ(form.widget()->windowIcon().pixmap(32, 32).size(), QSize(32, 32));
}

} // namespace
