// What the keyboard and assistive technology get: picture buttons as push buttons, windows as
// frames and dialogs, and the keys every dialog answers.
#include "TestForm.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Id = WEventId;

class Accessibility : public ::testing::Test {
protected:
    Accessibility() {
        form.showAndWait();
        form.picture->widget()->setToolTip(QStringLiteral("Neue Sicherung anlegen"));
        form.picture->setButtonRole("Sicherung anlegen"_w);
        log.watch(form.picture->events(), {Id::ClickEvent});
    }
    InstalledTestCatalog catalog;
    TestForm form;
    EventLog log;
};

TEST_F(Accessibility, APictureButtonIsAPushButtonNamedByItsCaptionThatItsPressActionFires) {
    QWidget* w = form.picture->widget();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Button);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Sicherung anlegen"));
    EXPECT_EQ(iface->text(QAccessible::Description), QStringLiteral("Neue Sicherung anlegen"));
    QAccessibleActionInterface* actions = iface->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));

    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(log.all.empty()) << "fired after the tool's call has returned, not within it";
    pumpEvents();
    ASSERT_EQ(log.ids(), (std::vector<Id>{Id::ClickEvent}));
    EXPECT_EQ(log.all[0].source, form.picture.get());

    form.picture->setVisible(false);
    actions->doAction(QAccessibleActionInterface::pressAction());
    pumpEvents();
    EXPECT_EQ(log.all.size(), 1u) << "a hidden button does nothing";
}

TEST_F(Accessibility, TabReachesAPictureButtonAndSpaceOrEnterFiresIt) {
    QWidget* w = form.picture->widget();
    EXPECT_EQ(w->focusPolicy(), Qt::TabFocus) << "a click leaves the focus where it is";
    w->setFocus();
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(w, key);
    QTest::keyClick(w, Qt::Key_Space, Qt::ControlModifier);
    QTest::keyClick(w, Qt::Key_A);
    EXPECT_EQ(log.all.size(), 3u) << "Space, Return and Enter; nothing else";
    // A picture box that is no button stays out of the keyboard's way.
    EXPECT_EQ(form.label->widget()->focusPolicy(), Qt::NoFocus);
}

TEST_F(Accessibility, FormsAreFramesOrDialogsNamedByTheirCaption) {
    QAccessibleInterface* main = QAccessible::queryAccessibleInterface(form.widget());
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->role(), QAccessible::Window);
    form.setText("Morlanz Test"_w);
    EXPECT_EQ(main->text(QAccessible::Name), QStringLiteral("Morlanz Test"));

    WForm dialog;
    ASSERT_TRUE(dialog.create("ID_Test", "8.MS Sans Serif"_w, &form));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(dialog.widget())->role(), QAccessible::Dialog);
}

TEST_F(Accessibility, ReturnAndEscapeClickTheDialogsButtons) {
    EventLog buttons;
    buttons.watch(form.button->events(), {Id::ClickEvent});
    buttons.watch(form.checkBox->events(), {Id::ClickEvent});
    form.setDialogKeys(form.button.get(), form.checkBox.get());
    form.textBox->widget()->setFocus();
    QTest::keyClick(form.textBox->widget(), Qt::Key_Return);
    ASSERT_EQ(buttons.all.size(), 1u);
    EXPECT_EQ(buttons.all[0].source, form.button.get()) << "Return: ok";
    QTest::keyClick(form.textBox->widget(), Qt::Key_Escape);
    ASSERT_EQ(buttons.all.size(), 2u);
    EXPECT_EQ(buttons.all[1].source, form.checkBox.get()) << "Escape: cancel";
    QTest::keyClick(form.textBox->widget(), Qt::Key_Return, Qt::AltModifier);
    EXPECT_EQ(buttons.all.size(), 2u) << "with a modifier the key is not the dialog's";
}

} // namespace
