// Menus, popup menus and the key table.
#include "EventLog.h"
#include "TestForm.h"
#include "WAcceleratorTable.h"
#include "WMenu.h"
#include "WPopupMenu.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Id = WEventId;
using namespace TestIds;

class GuiMenus : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(form.loadMenu("ID_Test_menu"));
        form.showAndWait();
        for (const int id : {einleitung, beenden, einstellung, tutorial, hilfe, impressum})
            log.watch(form.menu()->item(id)->events(), {Id::ClickEvent});
    }

    QMenuBar* bar() const { return form.widget()->findChild<QMenuBar*>(); }
    std::vector<int> clickedIds() const {
        std::vector<int> ids;
        for (const WEventData& d : log.all())
            ids.push_back(d.commandId);
        return ids;
    }

    InstalledTestCatalog catalog;
    TestForm form;
    EventLog log;
};

TEST_F(GuiMenus, TheBarHoldsSubmenusAndItsOwnItemsFoundByIdAtAnyDepth) {
    WMenu* menu = form.menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->submenu(0)->text(), "Programm");
    EXPECT_EQ(menu->submenu(1), nullptr) << "Einstellung is an item of the bar";
    EXPECT_EQ(menu->submenu(2)->text(), "Info");
    EXPECT_EQ(menu->submenu(3), nullptr);
    EXPECT_EQ(menu->submenu(-1), nullptr);
    EXPECT_EQ(menu->submenu(0)->submenu(1), nullptr) << "a separator counts as a position";
    EXPECT_EQ(menu->item(impressum)->text(), "Impressum");
    EXPECT_EQ(menu->item(einstellung)->text(), "Einstellung");
    EXPECT_EQ(menu->submenu(2)->item(einleitung), nullptr) << "only below the menu asked";
    EXPECT_EQ(menu->item(0), nullptr);
    EXPECT_EQ(menu->item(4711), nullptr);
    const QStringList titles = [this] {
        QStringList t;
        for (const QAction* a : bar()->actions())
            t << a->text();
        return t;
    }();
    EXPECT_EQ(titles, (QStringList{"Programm", "Einstellung", "Info"}));
}

TEST_F(GuiMenus, TheBarsOwnItemIsChosenByAClickOnTheBar) {
    QAction* action = nullptr;
    for (QAction* a : bar()->actions()) {
        if (a->text() == "Einstellung")
            action = a;
    }
    ASSERT_NE(action, nullptr);
    QTest::mouseClick(bar(), Qt::LeftButton, {}, bar()->actionGeometry(action).center());
    EXPECT_EQ(clickedIds(), (std::vector<int>{einstellung}));
    EXPECT_EQ(log.all()[0].source, &form);
}

TEST_F(GuiMenus, MenuTextsShowNoKeyNamesAndActionsCarryNoShortcuts) {
    for (const QAction* a : bar()->findChildren<QAction*>()) {
        EXPECT_TRUE(a->shortcut().isEmpty()) << a->text().toStdString();
        EXPECT_FALSE(a->text().contains('\t')) << a->text().toStdString();
    }
}

TEST_F(GuiMenus, DisabledItemsCannotBeChosen) {
    WMenuItem* item = form.menu()->item(hilfe);
    item->setEnabled(false);
    EXPECT_FALSE(item->isEnabled());
    EXPECT_FALSE(item->choose());
    item->action()->trigger();
    EXPECT_TRUE(log.all().empty());
    item->setEnabled(true);
    item->choose();
    EXPECT_EQ(clickedIds(), (std::vector<int>{hilfe}));
}

TEST_F(GuiMenus, ASubmenuRaisesInitMenuBeforeItOpens) {
    EventLog init;
    WMenuBase* programm = form.menu()->submenu(0);
    init.watch(programm->events(), {Id::InitMenuEvent});
    QMenu* qmenu = nullptr;
    for (QMenu* m : bar()->findChildren<QMenu*>()) {
        if (m->title() == "Programm")
            qmenu = m;
    }
    ASSERT_NE(qmenu, nullptr);
    qmenu->popup(QPoint(10, 10));
    EXPECT_EQ(init.count(Id::InitMenuEvent), 1);
    EXPECT_EQ(init.all()[0].source, &form);
    qmenu->close();
}

// --- the key table ---------------------------------------------------------------------------------

struct KeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    std::vector<int> chosen;
};

class GuiKeys : public GuiMenus, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(GuiKeys, AKeyChoosesTheItemOfTheFirstMatchingEntry) {
    const KeyCase& c = GetParam();
    form.textBox->setFocus();
    QTest::keyClick(form.textBox->widget(), c.key, c.modifiers);
    EXPECT_EQ(clickedIds(), c.chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, GuiKeys,
    ::testing::Values(KeyCase{"CtrlT_first_of_two_entries", Qt::Key_T, Qt::ControlModifier, {einleitung}},
                      KeyCase{"CtrlZ_even_in_a_text_field", Qt::Key_Z, Qt::ControlModifier, {beenden}},
                      KeyCase{"CtrlE_bar_item", Qt::Key_E, Qt::ControlModifier, {einstellung}},
                      KeyCase{"CtrlShift7", Qt::Key_7, Qt::ControlModifier | Qt::ShiftModifier, {impressum}},
                      KeyCase{"CtrlShiftT_no_entry", Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier, {}},
                      KeyCase{"AltT_no_entry", Qt::Key_T, Qt::AltModifier, {}},
                      KeyCase{"T_alone", Qt::Key_T, Qt::NoModifier, {}},
                      KeyCase{"Ctrl7_without_shift", Qt::Key_7, Qt::ControlModifier, {}}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST_F(GuiMenus, TheKeyOfADisabledItemDoesNothingNotEvenTheLaterEntry) {
    form.menu()->item(einleitung)->setEnabled(false);
    form.textBox->setFocus();
    QTest::keyClick(form.textBox->widget(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(log.all().empty());
    EXPECT_TRUE(form.textBox->text().isEmpty()) << "the key belongs to the table, not to the field";
}

TEST_F(GuiMenus, KeysPressedInAnotherWindowAreNotTheFormsKeys) {
    TestForm other;
    other.showAndWait();
    other.textBox->setFocus();
    QTest::keyClick(other.textBox->widget(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(log.all().empty());
}

TEST_F(GuiMenus, TheTableAnswersCommandsForKeys) {
    const WAcceleratorTable* keys = form.accelerators();
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(keys->entries().size(), 6u);
    EXPECT_EQ(keys->commandFor('T', WKeyMod::Ctrl), einleitung);
    EXPECT_EQ(keys->commandFor('t', WKeyMod::Ctrl), einleitung);
    EXPECT_EQ(keys->commandFor('H', WKeyMod::Ctrl), hilfe);
    EXPECT_EQ(keys->commandFor('H', WKeyMod::Ctrl | WKeyMod::Alt), 0);
    EXPECT_EQ(keys->commandFor('Q', WKeyMod::Ctrl), 0);
}

TEST_F(GuiMenus, AMenuWithoutKeyTableAndAMissingMenu) {
    TestForm other;
    EXPECT_FALSE(other.loadMenu("ID_Fehlt"));
    EXPECT_EQ(other.menu(), nullptr);
    EXPECT_TRUE(other.loadMenu("ID_Test_popup")); // a menu resource without a key table of its name
    EXPECT_EQ(other.accelerators(), nullptr);
}

// --- popup menus -----------------------------------------------------------------------------------

class GuiPopup : public GuiMenus {
protected:
    void SetUp() override {
        GuiMenus::SetUp();
        popup = WPopupMenu::load(&form, "ID_Test_popup");
        ASSERT_TRUE(popup);
    }
    std::unique_ptr<WPopupMenu> popup;
};

TEST_F(GuiPopup, LoadsTheChildrenOfItsTopEntry) {
    EXPECT_EQ(popup->text(), "Popup");
    EXPECT_EQ(popup->item(anzeigen)->text(), "Anzeigen");
    EXPECT_EQ(popup->item(mehr)->text(), "Mehr");
    EXPECT_EQ(popup->submenu(4)->text(), "Weiteres");
    EXPECT_EQ(popup->ownerWindow(), &form);
    EXPECT_EQ(WPopupMenu::load(&form, "ID_Fehlt"), nullptr);
}

TEST_F(GuiPopup, TheDefaultItemIsOneOfItsOwnItems) {
    EXPECT_EQ(popup->defaultItem(), -1);
    popup->setDefaultItem(trayEinstellung);
    EXPECT_EQ(popup->defaultItem(), trayEinstellung);
    popup->setDefaultItem(mehr); // in a submenu, not this menu's own
    EXPECT_EQ(popup->defaultItem(), -1);
    popup->setDefaultItem(anzeigen);
    popup->setDefaultItem(-1);
    EXPECT_EQ(popup->defaultItem(), -1);
}

TEST_F(GuiPopup, TrackRaisesInitMenuThenReturnsAndRaisesTheChosenItem) {
    EventLog events;
    events.watch(popup->events(), {Id::InitMenuEvent});
    events.watch(popup->item(trayEinstellung)->events(), {Id::ClickEvent});
    whenPopupOpens([](QMenu& open) {
        QTest::keyClick(&open, Qt::Key_Down);
        QTest::keyClick(&open, Qt::Key_Down);
        QTest::keyClick(&open, Qt::Key_Return);
    });
    EXPECT_EQ(popup->track(), trayEinstellung);
    EXPECT_EQ(events.ids(), (std::vector<Id>{Id::InitMenuEvent, Id::ClickEvent}));
    EXPECT_EQ(events.all()[1].commandId, trayEinstellung);
    EXPECT_EQ(events.all()[1].source, &form);
}

TEST_F(GuiPopup, AClosedPopupReturnsNothing) {
    whenPopupOpens([](QMenu& open) { QTest::keyClick(&open, Qt::Key_Escape); });
    EXPECT_EQ(popup->track(), 0);
}

} // namespace
