// The controls but the tree view: their operations, the events their widgets raise, geometry, fonts and
// colours.
#include "EventLog.h"
#include "TestForm.h"
#include "WFont.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

using Id = WEventId;

class GuiControls : public ::testing::Test {
protected:
    void SetUp() override { form.showAndWait(); }

    std::vector<std::string> items(const WListBox& list) const {
        std::vector<std::string> result;
        for (int i = 0; i < list.count(); ++i)
            result.push_back(list.itemText(i).toUtf8());
        return result;
    }

    InstalledTestCatalog catalog;
    TestForm form;
    EventLog log;
};

// --- list box ----------------------------------------------------------------------------------------

TEST_F(GuiControls, ASortedListOrdersAlphabeticallyIgnoringCaseWithUmlautsBesideTheirLetters) {
    WListBox& list = *form.listSorted;
    for (const char* name : {"Zeta", "alpha", "Mitte", "beta", "Äpfel", "Alpha", "mittag", "zebra"})
        list.addItem(*WString::fromUtf8(name));
    EXPECT_EQ(items(list),
              (std::vector<std::string>{"alpha", "Alpha", "Äpfel", "beta", "mittag", "Mitte", "zebra", "Zeta"}));
    EXPECT_EQ(list.addItem("Beta2"), 4) << "addItem returns the sorted position";
}

TEST_F(GuiControls, AnUnsortedListAppendsAndInsertsWhereTold) {
    WListBox& list = *form.listPlain;
    EXPECT_EQ(list.addItem("b"), 0);
    EXPECT_EQ(list.addItem("a"), 1);
    EXPECT_EQ(list.insertItem(1, "c"), 1);
    EXPECT_EQ(list.insertItem(-1, "z"), 3);
    EXPECT_EQ(list.insertItem(99, "y"), 4);
    EXPECT_EQ(items(list), (std::vector<std::string>{"b", "c", "a", "z", "y"}));
}

TEST_F(GuiControls, InsertingIntoASortedListKeepsTheGivenOrderUntilItemsAreAdded) {
    WListBox& list = *form.listMulti;
    for (const char* path : {"/z/letzte", "/a/erste", "/m/mitte"})
        list.insertItem(list.count(), path);
    EXPECT_EQ(items(list), (std::vector<std::string>{"/z/letzte", "/a/erste", "/m/mitte"}));
    list.addItem("/zz");
    EXPECT_EQ(list.itemText(3), "/zz") << "sorted after every item that does not sort after it";
}

TEST_F(GuiControls, SelectionQueriesOfAListAnswerForEmptyAndOutOfRange) {
    WListBox& list = *form.listSorted;
    EXPECT_EQ(list.selectedIndex(), -1);
    EXPECT_TRUE(list.itemText(0).isEmpty());
    list.addItem("eins");
    list.addItem("zwei");
    EXPECT_EQ(list.selectedIndex(), -1) << "adding selects nothing";
    for (const int index : {-5, -1, 2, 100})
        EXPECT_TRUE(list.itemText(index).isEmpty()) << index;
    EXPECT_TRUE(list.select(1));
    EXPECT_EQ(list.selectedIndex(), 1);
    EXPECT_FALSE(list.select(7));
    EXPECT_EQ(list.selectedIndex(), -1) << "an index out of range clears the selection";
    EXPECT_FALSE(list.removeItem(2));
    EXPECT_TRUE(list.removeItem(0));
    EXPECT_EQ(items(list), (std::vector<std::string>{"zwei"}));
    list.clear();
    EXPECT_EQ(list.count(), 0);
}

TEST_F(GuiControls, SelectRaisesSelectEventOtherChangesOfTheProgramRaiseNothing) {
    WListBox& list = *form.listSorted;
    log.watch(list.events(), {Id::SelectEvent});
    list.addItem("b");
    list.addItem("a");
    list.select(0);
    EXPECT_EQ(log.count(Id::SelectEvent), 1);
    list.removeItem(0); // removes the selected item
    list.clear();
    list.select(-1);
    EXPECT_EQ(log.count(Id::SelectEvent), 2) << "only select() raised";
}

TEST_F(GuiControls, AClickOnAListItemSelectsItAndRaisesSelectEvent) {
    WListBox& list = *form.listSorted;
    for (const char* name : {"eins", "zwei", "drei"})
        list.addItem(name);
    log.watch(list.events(), {Id::SelectEvent});
    auto* widget = static_cast<QListWidget*>(list.widget());
    const QRect second = widget->visualItemRect(widget->item(1));
    QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(list.selectedIndex(), 1);
    EXPECT_EQ(list.itemText(1), "eins");
    EXPECT_EQ(log.count(Id::SelectEvent), 1);
}

TEST_F(GuiControls, AMultiSelectionListMarksSingleItemsAndReportsThemInOrder) {
    WListBox& list = *form.listMulti;
    for (const char* name : {"a", "b", "c", "d"})
        list.addItem(name);
    EXPECT_TRUE(list.setSelected(3, true));
    EXPECT_TRUE(list.setSelected(1, true));
    EXPECT_FALSE(list.setSelected(4, true));
    EXPECT_EQ(list.selectedIndices(), (std::vector<int>{1, 3}));
    EXPECT_TRUE(list.isSelected(3));
    EXPECT_FALSE(list.isSelected(0));
    EXPECT_EQ(list.selectedIndex(), 1);
    // Removing the first marked item until none is left removes exactly the marked ones.
    for (auto marked = list.selectedIndices(); !marked.empty(); marked = list.selectedIndices())
        list.removeItem(marked.front());
    EXPECT_EQ(items(list), (std::vector<std::string>{"a", "c"}));
    list.setSelected(-1, true);
    EXPECT_EQ(list.selectedIndices(), (std::vector<int>{0, 1}));
    list.setSelected(-1, false);
    EXPECT_TRUE(list.selectedIndices().empty());
}

// --- combo box -------------------------------------------------------------------------------------

TEST_F(GuiControls, ADropDownListStartsWithoutSelectionAndFindsItemsByPrefix) {
    WComboBox& combo = *form.combo;
    for (const char* day : {"täglich", "Montag", "Dienstag", "Mittwoch", "Sonnabend", "Sonntag"})
        combo.addItem(*WString::fromUtf8(day));
    EXPECT_FALSE(static_cast<QComboBox*>(combo.widget())->isEditable());
    EXPECT_EQ(combo.count(), 6);
    EXPECT_EQ(combo.selectedIndex(), -1) << "adding selects nothing";
    EXPECT_EQ(combo.itemText(0), "täglich"_w);
    EXPECT_TRUE(combo.itemText(6).isEmpty());
    struct Case {
        const char* prefix;
        int index;
    };
    for (const Case& c : {Case{"Montag", 1}, Case{"mi", 3}, Case{"SONN", 4}, Case{"TÄG", 0}, Case{"Freitag", -1},
                          Case{"", 0}, Case{"Sonntag ", -1}}) {
        SCOPED_TRACE(c.prefix);
        combo.select(2);
        EXPECT_EQ(combo.selectByPrefix(*WString::fromUtf8(c.prefix)), c.index);
        EXPECT_EQ(combo.selectedIndex(), c.index) << "no match leaves no item selected";
    }
    EXPECT_TRUE(combo.select(5));
    EXPECT_EQ(combo.text(), "Sonntag");
    EXPECT_FALSE(combo.select(9));
    EXPECT_EQ(combo.selectedIndex(), -1);
}

TEST_F(GuiControls, OpeningTheListRaisesDropDownChoosingRaisesSelect) {
    WComboBox& combo = *form.combo;
    for (const char* day : {"Montag", "Dienstag"})
        combo.addItem(day);
    log.watch(combo.events(), {Id::DropDownEvent, Id::SelectEvent});
    combo.select(0);
    EXPECT_TRUE(log.all().empty()) << "the program's own selection raises nothing";
    auto* box = static_cast<QComboBox*>(combo.widget());
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(combo.selectedIndex(), 1);
    EXPECT_EQ(log.count(Id::SelectEvent), 1);
    box->showPopup();
    EXPECT_EQ(log.count(Id::DropDownEvent), 1);
    box->hidePopup();
}

// --- text fields -----------------------------------------------------------------------------------

TEST_F(GuiControls, TextChangesRaiseChangeEventWhetherTypedOrSet) {
    log.watch(form.textBox->events(), {Id::ChangeEvent});
    form.textBox->setText("neu");
    EXPECT_EQ(log.count(Id::ChangeEvent), 1);
    typeText(form.textBox->widget(), "ä");
    EXPECT_EQ(log.count(Id::ChangeEvent), 2);
    EXPECT_EQ(form.textBox->text(), "neuä"_w);
}

TEST_F(GuiControls, CharactersWindows1252LacksCannotBeEntered) {
    auto* edit = static_cast<QLineEdit*>(form.textBox->widget());
    typeText(edit, QStringLiteral("aΩb€"));
    EXPECT_EQ(form.textBox->text(), "ab€"_w);
    edit->selectAll();
    edit->insert(QStringLiteral("Datei ✓")); // a paste of the whole text is refused
    EXPECT_EQ(form.textBox->text(), "ab€"_w);
}

TEST_F(GuiControls, AMaskedBoxShowsPlaceholdersAndTellsTypedCharactersApart) {
    WMaskedTextBox& box = *form.masked;
    box.setMask("##:##");
    EXPECT_EQ(box.mask(), "##:##");
    struct Case {
        const char* set;
        const char* shown;
        const char* entered;
    };
    for (const Case& c : {Case{"", "--:--", ""}, Case{"12:30", "12:30", "1230"}, Case{"1230", "12:30", "1230"},
                          Case{"1", "1-:--", "1"}, Case{"--:--", "--:--", ""}, Case{"ab:cd", "--:--", ""}}) {
        SCOPED_TRACE(c.set);
        box.setText(c.set);
        EXPECT_EQ(box.text(), c.shown);
        EXPECT_EQ(box.enteredText(), c.entered);
    }
    box.setText("");
    box.setFocus();
    static_cast<QLineEdit*>(box.widget())->setCursorPosition(0);
    QTest::keyClicks(box.widget(), "7x45");
    EXPECT_EQ(box.text(), "74:5-");
    EXPECT_EQ(box.enteredText(), "745");
}

TEST_F(GuiControls, AMaskShowsCharactersQtWouldReadAsMaskCodesAsTheyStand) {
    form.masked->setMask("Nr. ##-A");
    form.masked->setText("Nr. 42-x");
    EXPECT_EQ(form.masked->text(), "Nr. 42-x");
    EXPECT_EQ(form.masked->enteredText(), "42x");
}

// --- rich text box ---------------------------------------------------------------------------------

class GuiRichText : public GuiControls {
protected:
    void SetUp() override {
        GuiControls::SetUp();
        edit = static_cast<QTextEdit*>(form.richText->widget());
        WString text;
        for (int i = 0; i < 100; ++i)
            text += WString::format("Zeile %d\n", i);
        form.richText->setText(text);
    }
    QTextEdit* edit = nullptr;
};

TEST_F(GuiRichText, AppendingKeepsSelectionAndScrollPositionUnlessAskedToScroll) {
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(6);
    cursor.setPosition(12, QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
    form.richText->scrollLines(10);
    const int top = edit->verticalScrollBar()->value();
    ASSERT_GT(top, 0);

    form.richText->appendText("Anhang ä\n"_w, false);
    EXPECT_EQ(edit->textCursor().selectionStart(), 6);
    EXPECT_EQ(edit->textCursor().selectionEnd(), 12);
    EXPECT_EQ(edit->verticalScrollBar()->value(), top);
    EXPECT_TRUE(form.richText->text().bytes().ends_with("Zeile 99\nAnhang \xE4\n"));

    form.richText->appendText("Ende", true);
    EXPECT_FALSE(edit->textCursor().hasSelection());
    EXPECT_EQ(edit->textCursor().position(), edit->document()->characterCount() - 1);
    EXPECT_TRUE(edit->viewport()->rect().contains(edit->cursorRect())) << "the caret is in view";
    EXPECT_GT(form.richText->firstVisibleLine(), 50);
}

TEST_F(GuiRichText, ScrollingGoesByWholeLinesBothWays) {
    EXPECT_EQ(form.richText->firstVisibleLine(), 0);
    form.richText->scrollLines(10);
    EXPECT_EQ(form.richText->firstVisibleLine(), 10);
    form.richText->scrollLines(-3);
    EXPECT_EQ(form.richText->firstVisibleLine(), 7);
    form.richText->scrollLines(-50);
    EXPECT_EQ(form.richText->firstVisibleLine(), 0);
    form.richText->scrollLines(1000);
    EXPECT_EQ(edit->verticalScrollBar()->value(), edit->verticalScrollBar()->maximum());
    EXPECT_TRUE(edit->isReadOnly());
}

// --- check box, command button ----------------------------------------------------------------------

TEST_F(GuiControls, CheckBoxAndButtonRaiseClickEventOnlyWhenClicked) {
    log.watch(form.checkBox->events(), {Id::ClickEvent});
    form.checkBox->setChecked(true);
    EXPECT_TRUE(form.checkBox->isChecked());
    EXPECT_EQ(log.count(Id::ClickEvent), 0);
    QTest::mouseClick(form.checkBox->widget(), Qt::LeftButton, {}, QPoint(6, 6));
    EXPECT_FALSE(form.checkBox->isChecked());
    EXPECT_EQ(log.count(Id::ClickEvent), 1);

    EventLog buttonLog;
    buttonLog.watch(form.button->events(), {Id::ClickEvent});
    form.button->click();
    form.button->hide(); // the program's command buttons are hidden; click() works all the same
    form.button->click();
    EXPECT_EQ(buttonLog.count(Id::ClickEvent), 2);
    form.button->setEnabled(false);
    form.button->click();
    EXPECT_EQ(buttonLog.count(Id::ClickEvent), 2);
}

// --- geometry, fonts, colours --------------------------------------------------------------------

TEST_F(GuiControls, EachGeometrySetterKeepsTheOtherValues) {
    WWindow& w = *form.listPlain;
    w.setRect({20, 30, 150, 100});
    struct Step {
        void (WWindow::*set)(int);
        int value;
        WRect expected;
    };
    for (const Step& s : {Step{&WWindow::setX, 5, {5, 30, 150, 100}}, Step{&WWindow::setY, 8, {5, 8, 150, 100}},
                          Step{&WWindow::setWidth, 0, {5, 8, 0, 100}}, Step{&WWindow::setHeight, 1, {5, 8, 0, 1}},
                          Step{&WWindow::setWidth, -4, {5, 8, 0, 1}}}) {
        (w.*s.set)(s.value);
        const WRect r = w.rect();
        EXPECT_EQ(r.x, s.expected.x);
        EXPECT_EQ(r.y, s.expected.y);
        EXPECT_EQ(r.width, s.expected.width);
        EXPECT_EQ(r.height, s.expected.height);
    }
}

TEST(WFontText, ParsesSizeAndFaceAndRefusesMalformedTexts) {
    struct Case {
        const char* text;
        int size;
        const char* face;
    };
    for (const Case& c : {Case{"8.Arial", 8, "Arial"}, Case{"8.MS Sans Serif", 8, "MS Sans Serif"},
                          Case{"12.Courier New", 12, "Courier New"}, Case{"08.Arial", 8, "Arial"},
                          Case{"999.A", 999, "A"}, Case{"8.Font 1.0", 8, "Font 1.0"}}) {
        SCOPED_TRACE(c.text);
        const auto font = WFont::fromText(c.text);
        ASSERT_TRUE(font.has_value());
        EXPECT_EQ(font->pointSize(), c.size);
        EXPECT_EQ(font->face(), c.face);
    }
    for (const char* bad : {"", "Arial", "8", "8.", "8.  ", ".Arial", "x.Arial", " 8.Arial", "0.Arial", "1000.Arial",
                            "-8.Arial", "8,Arial"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(WFont::fromText(bad).has_value());
    }
    EXPECT_EQ(WFont::fromText("08.Arial")->text(), "8.Arial");
}

TEST_F(GuiControls, FontTextsReachTheWidgetAndMalformedOnesChangeNothing) {
    ASSERT_TRUE(form.label->setFont("8.Arial"));
    EXPECT_EQ(form.label->fontText(), "8.Arial");
    EXPECT_EQ(form.label->widget()->font().pointSize(), 8);
    EXPECT_EQ(form.label->widget()->font().family(), "Arial");
    EXPECT_FALSE(form.label->setFont("Arial"));
    EXPECT_EQ(form.label->fontText(), "8.Arial");
    EXPECT_TRUE(form.textBox->setFont("14.Courier"));
    EXPECT_EQ(form.textBox->widget()->font().pointSize(), 14);
}

TEST_F(GuiControls, ColoursAreKeptAndTheFormsColourStaysOutOfTextFields) {
    const WRgb paleYellow{255, 255, 204}, darkRed{128, 0, 0}, white{255, 255, 255};
    const WRgb fieldBefore = form.textBox->backColor();
    form.setBackColor(paleYellow);
    EXPECT_EQ(form.backColor(), paleYellow);
    EXPECT_EQ(form.textBox->backColor(), fieldBefore) << "an edit field keeps its own face";
    form.label->setTextColor(darkRed);
    EXPECT_EQ(form.label->textColor(), darkRed);
    form.richText->setBackColor(white);
    EXPECT_EQ(form.richText->backColor(), white);
    form.label->setBackColor(paleYellow);
    EXPECT_EQ(form.label->backColor(), paleYellow);
    EXPECT_TRUE(form.label->widget()->autoFillBackground());
}

TEST_F(GuiControls, TextsWithUmlautsGoInAndOutUnchanged) {
    const WString text = "Prüfung: Größe ändern – 5 €"_w;
    for (WWindow* w : std::initializer_list<WWindow*>{form.label.get(), form.textBox.get(), form.richText.get(),
                                                      form.button.get(), form.checkBox.get(), &form}) {
        SCOPED_TRACE(w->className());
        w->setText(text);
        EXPECT_EQ(w->text(), text);
    }
    form.label->setTipText("Tipp äöü"_w);
    EXPECT_EQ(form.label->tipText(), "Tipp äöü"_w);
    form.label->setName("label_ä"_w);
    EXPECT_EQ(form.label->name(), "label_ä"_w);
}

TEST_F(GuiControls, CursorResource100IsThePointingHand) {
    form.label->setCursor(100);
    EXPECT_EQ(form.label->widget()->cursor().shape(), Qt::PointingHandCursor);
    form.label->setCursor(0);
    EXPECT_EQ(form.label->widget()->cursor().shape(), Qt::ArrowCursor);
    form.listPlain->setCursor(100); // on the list's viewport, where the mouse is
    EXPECT_EQ(static_cast<QListWidget*>(form.listPlain->widget())->viewport()->cursor().shape(),
              Qt::PointingHandCursor);
}

TEST_F(GuiControls, LabelsShowMarkupAsPlainText) {
    form.label->setText("<b>C:\\Daten</b>");
    EXPECT_EQ(static_cast<QLabel*>(form.label->widget())->textFormat(), Qt::PlainText);
    EXPECT_EQ(form.label->text(), "<b>C:\\Daten</b>");
}

} // namespace
