// Forms: creation from a layout, dialog units, the close sequence, window states and activation, the
// menu bar and its key table.
#include "TestForm.h"
#include "toolkit/gui/WMenu.h"

#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

using Id = WEventId;
using namespace TestIds;

class GuiForm : public ::testing::Test {
protected:
    InstalledTestCatalog catalog;
};

// A form of a layout, without controls.
class PlainForm : public WForm {};

// Takes a menu item's ClickEvent through a member handler, as the program's controllers do.
struct MenuReceiver {
    std::function<bool(WEventData&)> onClick;
    bool handle(WEventData& d) { return onClick(d); }
};

TEST_F(GuiForm, TheLayoutSizesFormAndControlsInDialogUnits) {
    TestForm form;
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.text(), "Prüffenster"_w);
    EXPECT_EQ(form.widget()->size(), QSize(600, 487)); // 400 x 300 units: 1.5 and 1.625 pixels per unit
    const WRect r = form.label->rect();                // 7, 7, 61, 11 units
    EXPECT_EQ(std::tuple(r.x, r.y, r.width, r.height), std::tuple(10, 11, 91, 17));
    EXPECT_TRUE(form.hiddenLabel->widget()->isHidden()) << "no Visible style";
    EXPECT_EQ(WLabel(form, 4711).rect().width, 0) << "a control missing from the layout";
    for (const auto& [du, x, y] :
         {std::tuple{1, 1, 1}, {2, 3, 3}, {3, 4, 4}, {8, 12, 13}, {655, 982, 1064}, {-3, -4, -4}}) {
        EXPECT_EQ(form.duToPixelsX(du), x) << du;
        EXPECT_EQ(form.duToPixelsY(du), y) << du;
    }
    // Without a sizing border the size stays fixed, also when the program sets it.
    EXPECT_EQ(form.widget()->minimumSize(), form.widget()->maximumSize());
    form.setRect({112, 79, 800, 580});
    EXPECT_EQ(form.widget()->minimumSize(), QSize(800, 580));
    EXPECT_EQ(form.widget()->maximumSize(), QSize(800, 580));

    PlainForm larger, resizable;
    ASSERT_TRUE(larger.create("ID_Test", "16.Arial"));
    EXPECT_EQ(std::pair(larger.duToPixelsX(10), larger.duToPixelsY(8)), std::pair(30, 26));
    EXPECT_FALSE(larger.create("ID_Test", "8.MS Sans Serif")) << "a form is created once";
    EXPECT_FALSE(PlainForm().create("ID_Fehlt", "8.MS Sans Serif"));
    ASSERT_TRUE(resizable.create("ID_Resizable", "8.MS Sans Serif", &form));
    EXPECT_NE(resizable.widget()->minimumSize(), resizable.widget()->maximumSize());
    EXPECT_EQ(resizable.widget()->parentWidget(), form.widget()) << "an owned form stays above its owner";
}

TEST_F(GuiForm, TheCloseSequenceStopsAtTheFirstHandledEvent) {
    struct Case {
        const char* name;
        bool byWindowSystem, hidden;
        std::optional<Id> handled;
        std::vector<Id> raised;
    };
    const Id sys = Id::SystemCommandEvent, query = Id::QueryCloseEvent, close = Id::CloseEvent,
             destroy = Id::DestroyEvent;
    for (const Case& c : {Case{"program", false, false, {}, {query, close, destroy}},
                          Case{"program, query handled", false, false, query, {query}},
                          Case{"program, close handled", false, false, close, {query, close}},
                          // The program may run hidden; the tray's "Beenden" must still end it.
                          Case{"program, hidden form", false, true, {}, {query, close, destroy}},
                          Case{"caption button", true, false, {}, {sys, query, close, destroy}},
                          Case{"caption button, handled", true, false, sys, {sys}}}) {
        SCOPED_TRACE(c.name);
        TestForm form;
        form.showAndWait();
        if (c.hidden)
            form.widget()->hide();
        EventLog log;
        for (const Id id : {sys, query, close, destroy})
            log.watch(form.events(), {id}, c.handled == id);
        if (c.byWindowSystem) {
            form.widget()->close();
        } else {
            form.close();
            EXPECT_TRUE(log.all.empty()) << "posted: nothing happens before the loop runs";
        }
        pumpEvents();
        EXPECT_EQ(log.ids(), c.raised);
        const bool closes = c.raised.back() == destroy;
        EXPECT_EQ(form.isClosed(), closes);
        EXPECT_EQ(form.isVisible(), !closes && !c.hidden);
        EXPECT_EQ(log.all[0].systemCommand, c.byWindowSystem ? WSysCommand::Close : 0);
        form.close();
        pumpEvents();
        EXPECT_TRUE(!closes || log.all.size() == c.raised.size()) << "a closed form raises nothing more";
    }
}

TEST_F(GuiForm, AFormMayBeDeletedByItsOwnHandlers) {
    // Qt is still inside the close, or inside the mouse release of the menu bar or button being deleted.
    for (const std::string how : {"destroy", "menu bar", "button"}) {
        SCOPED_TRACE(how);
        auto form = std::make_unique<TestForm>();
        ASSERT_TRUE(form->loadMenu("ID_Test_menu"));
        form->showAndWait();
        int chosen = 0;
        const auto deleteForm = [&form, &chosen](WEventData& d) {
            chosen = d.commandId;
            form.reset();
            return false;
        };
        MenuReceiver receiver{deleteForm};
        if (how == "destroy") {
            form->events().connect(Id::DestroyEvent, this, deleteForm);
            form->close();
        } else if (how == "menu bar") {
            form->menu()->item(einstellung)->connect(Id::ClickEvent, &receiver, &MenuReceiver::handle);
            auto* bar = form->widget()->findChild<QMenuBar*>();
            pumpEvents(); // lays the new bar out
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions().at(1)).center());
            EXPECT_EQ(chosen, einstellung) << "the bar's own item";
        } else {
            form->button->events().connect(Id::ClickEvent, this, deleteForm);
            QTest::mouseClick(form->button->widget(), Qt::LeftButton, {}, form->button->widget()->rect().center());
        }
        pumpEvents();
        pumpEvents(); // the deferred deletion of the widget
        EXPECT_EQ(form, nullptr);
    }
}

TEST_F(GuiForm, WindowStatesAndActivationAreReported) {
    TestForm first, second;
    EventLog log1, log2;
    log1.watch(first.events(), {Id::ActivateEvent, Id::DeactivateEvent, Id::MaximizeEvent, Id::MinimizeEvent});
    log2.watch(second.events(), {Id::ActivateEvent, Id::DeactivateEvent});
    first.showAndWait();
    second.showAndWait();
    EXPECT_EQ(log1.ids(), (std::vector<Id>{Id::ActivateEvent, Id::DeactivateEvent}));
    first.setState(WForm::State::Maximized);
    first.showAndWait(); // activates it again
    EXPECT_EQ(log1.ids(),
              (std::vector<Id>{Id::ActivateEvent, Id::DeactivateEvent, Id::MaximizeEvent, Id::ActivateEvent}));
    EXPECT_EQ(log2.ids(), (std::vector<Id>{Id::ActivateEvent, Id::DeactivateEvent}));
    first.setState(WForm::State::Minimized);
    EXPECT_EQ(log1.all.back().id, Id::MinimizeEvent);
    first.setState(WForm::State::Normal);
    EXPECT_FALSE(first.widget()->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
}

TEST_F(GuiForm, AKeyChoosesTheItemOfTheFirstMatchingEntryOfItsFormsTable) {
    TestForm form;
    ASSERT_TRUE(form.loadMenu("ID_Test_menu"));
    form.showAndWait();
    std::vector<int> chosen;
    MenuReceiver receiver{[&chosen](WEventData& d) { return chosen.push_back(d.commandId), false; }};
    for (const int id : {einleitung, beenden, einstellung, tutorial, impressum})
        form.menu()->item(id)->connect(Id::ClickEvent, &receiver, &MenuReceiver::handle);
    using V = std::vector<int>;
    const auto ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
    // Ctrl+T has two entries; Ctrl+Z is not the text field's undo. 0: nothing is chosen.
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, int> cases[] = {{Qt::Key_T, ctrl, einleitung},
                                                                     {Qt::Key_Z, ctrl, beenden},
                                                                     {Qt::Key_E, ctrl, einstellung},
                                                                     {Qt::Key_7, ctrl | shift, impressum},
                                                                     {Qt::Key_T, ctrl | shift, 0},
                                                                     {Qt::Key_T, Qt::AltModifier, 0},
                                                                     {Qt::Key_7, ctrl, 0}};
    for (const auto& [key, modifiers, expected] : cases) {
        chosen.clear();
        QTest::keyClick(form.textBox->widget(), key, modifiers);
        EXPECT_EQ(chosen, expected ? V{expected} : V{}) << QKeySequence(key | modifiers).toString().toStdString();
    }
    form.textBox->setText("");
    QTest::keyClick(form.textBox->widget(), Qt::Key_T, ctrl);
    EXPECT_TRUE(form.textBox->text().isEmpty()) << "the key belongs to the table, not to the field";
    chosen.clear();

    // Keys pressed in another window are not this form's; a menu without a key table of its name.
    TestForm other;
    EXPECT_FALSE(other.loadMenu("ID_Fehlt"));
    ASSERT_TRUE(other.loadMenu("ID_Test_popup"));
    other.showAndWait();
    QTest::keyClick(other.textBox->widget(), Qt::Key_E, ctrl);
    EXPECT_TRUE(chosen.empty());
}

} // namespace
