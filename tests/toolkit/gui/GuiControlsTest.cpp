// The controls: their operations and the events their widgets raise, fonts and pictures.
#include "TestForm.h"
#include "support/TestPrinting.h"
#include "toolkit/gui/WFont.h"
#include "toolkit/gui/qt/QtImageCache.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Id = WEventId;
using namespace TestIds;

class GuiControls : public ::testing::Test {
protected:
    void SetUp() override { form.showAndWait(); }

    InstalledTestCatalog catalog;
    TestForm form;
    EventLog log;
};

TEST_F(GuiControls, ListItemsGoWhereTheListsOrderOrTheCallerSays) {
    WListBox& sorted = *form.listSorted;
    for (const char* name : {"Zeta", "alpha", "Mitte", "beta", "Äpfel", "Alpha", "mittag", "zebra"})
        sorted.addItem(*WString::fromUtf8(name));
    EXPECT_EQ(textsOf(sorted),
              (std::vector<std::string>{"alpha", "Alpha", "Äpfel", "beta", "mittag", "Mitte", "zebra", "Zeta"}));
    EXPECT_EQ(sorted.addItem("Beta2"), 4) << "addItem returns the sorted position";
    // Inserting keeps the given order even in a sorted list: a saved order is restored this way.
    sorted.clear();
    for (const auto& [index, path] : {std::pair{-1, "/z"}, {-1, "/a"}, {1, "/m"}, {99, "/b"}})
        sorted.insertItem(index, path);
    EXPECT_EQ(sorted.addItem("/zz"), 4);
    EXPECT_EQ(textsOf(sorted), (std::vector<std::string>{"/z", "/m", "/a", "/b", "/zz"}))
        << "-1 or beyond the end appends";
}

TEST_F(GuiControls, OnlySelectAndTheUserRaiseSelectEventAndOutOfRangeIndicesAreRefused) {
    WListBox& list = *form.listSorted;
    log.watch(list.events(), {Id::SelectEvent});
    for (const char* name : {"eins", "zwei", "drei"})
        list.addItem(name);
    EXPECT_EQ(list.selectedIndex(), -1) << "adding selects nothing";
    EXPECT_TRUE(list.itemText(-1).isEmpty() && list.itemText(3).isEmpty());
    EXPECT_TRUE(list.select(1));
    EXPECT_FALSE(list.select(7));
    EXPECT_EQ(list.selectedIndex(), -1) << "an index out of range clears the selection";
    auto* widget = static_cast<QListWidget*>(list.widget());
    QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, widget->visualItemRect(widget->item(2)).center());
    EXPECT_EQ(list.selectedIndex(), 2);
    list.clear(); // with the selected item
    EXPECT_EQ(list.selectedIndex(), -1);
    EXPECT_EQ(log.all.size(), 3u) << "two select() calls and the click; the program's other changes raise nothing";
}

// Marks of a multi-selection list: set one by one, read in order, and items removed by index.
TEST_F(GuiControls, MarkedItemsAreReadInOrderAndRemovedByIndex) {
    WListBox& list = *form.listSorted;
    for (const char* name : {"a", "b", "c", "d", "e"})
        list.addItem(name);
    log.watch(list.events(), {Id::SelectEvent});
    EXPECT_TRUE(list.setSelected(3, true));
    EXPECT_TRUE(list.setSelected(1, true));
    EXPECT_FALSE(list.setSelected(5, true));
    EXPECT_EQ(list.selectedIndices(), (std::vector<int>{1, 3}));
    EXPECT_TRUE(list.setSelected(3, false));
    EXPECT_EQ(list.selectedIndices(), (std::vector<int>{1}));
    EXPECT_TRUE(list.removeItem(1));
    EXPECT_FALSE(list.removeItem(4));
    EXPECT_EQ(textsOf(list), (std::vector<std::string>{"a", "c", "d", "e"}));
    EXPECT_TRUE(list.selectedIndices().empty());
    EXPECT_EQ(log.all.size(), 3u) << "each change of a mark; removing raises nothing";
}

TEST_F(GuiControls, ADropDownListFindsItemsByPrefixIgnoringCase) {
    WComboBox& combo = *form.combo;
    for (const char* day : {"täglich", "Montag", "Dienstag", "Mittwoch", "Sonnabend", "Sonntag"})
        combo.addItem(*WString::fromUtf8(day));
    EXPECT_EQ(combo.selectedIndex(), -1) << "adding selects nothing";
    for (const auto& [prefix, index] :
         {std::pair{"Montag", 1}, {"mi", 3}, {"SONN", 4}, {"TÄG", 0}, {"Freitag", -1}, {"", 0}, {"Sonntag ", -1}}) {
        combo.select(2);
        EXPECT_EQ(combo.selectByPrefix(*WString::fromUtf8(prefix)), index) << prefix;
        EXPECT_EQ(combo.selectedIndex(), index) << "no match leaves no item selected";
    }
    EXPECT_FALSE(combo.select(9));
    EXPECT_EQ(combo.selectedIndex(), -1);
}

TEST_F(GuiControls, TextFieldsRaiseChangeEventAndRefuseCharactersWindows1252Lacks) {
    log.watch(form.textBox->events(), {Id::ChangeEvent});
    form.textBox->setText("neu");
    for (const QChar ch : QStringLiteral("äΩ€")) // typed key by key: QTest types only ASCII
        QTest::sendKeyEvent(QTest::Click, form.textBox->widget(), Qt::Key_unknown, ch, Qt::NoModifier);
    EXPECT_EQ(form.textBox->text(), "neuä€"_w);
    EXPECT_EQ(log.all.size(), 3u) << "set and typed alike, the refused key not";
    auto* edit = static_cast<QLineEdit*>(form.textBox->widget());
    edit->selectAll();
    edit->insert(QStringLiteral("Datei ✓")); // a paste of the whole text is refused
    EXPECT_EQ(form.textBox->text(), "neuä€"_w);
    // A label shows a path with angle brackets as it is, not as markup.
    form.label->setText("<b>C:\\Daten</b>");
    EXPECT_EQ(static_cast<QLabel*>(form.label->widget())->textFormat(), Qt::PlainText);
}

TEST_F(GuiControls, AMaskedBoxShowsPlaceholdersAndTellsTypedCharactersApart) {
    WMaskedTextBox& box = *form.masked;
    box.setMask("##:##");
    for (const auto& [set, shown, entered] : {std::tuple{"", "--:--", ""},
                                              {"12:30", "12:30", "1230"},
                                              {"1230", "12:30", "1230"},
                                              {"1", "1-:--", "1"},
                                              {"--:--", "--:--", ""},
                                              {"ab:cd", "--:--", ""}}) {
        box.setText(set);
        EXPECT_EQ(box.text(), shown) << set;
        EXPECT_EQ(box.enteredText(), entered) << set;
    }
    box.setText("");
    box.widget()->setFocus();
    static_cast<QLineEdit*>(box.widget())->setCursorPosition(0);
    QTest::keyClicks(box.widget(), "7x45");
    EXPECT_EQ(box.text(), "74:5-");
    EXPECT_EQ(box.enteredText(), "745");
    // Characters Qt would read as mask codes stand as they are.
    box.setMask("Nr. ##-A");
    box.setText("Nr. 42-x");
    EXPECT_EQ(box.text(), "Nr. 42-x");
    EXPECT_EQ(box.enteredText(), "42x");
}

TEST_F(GuiControls, AppendingKeepsTheReadersPlaceUnlessAskedToScroll) {
    auto* edit = static_cast<QPlainTextEdit*>(form.richText->widget());
    WString text;
    for (int i = 0; i < 100; ++i)
        text += WString::format("Zeile %d\n", i);
    form.richText->setText(text);
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(6);
    cursor.setPosition(12, QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
    form.richText->scrollLines(10);
    form.richText->scrollLines(-3);
    EXPECT_EQ(form.richText->firstVisibleLine(), 7);
    form.richText->appendText("Anhang ä\n"_w, false);
    EXPECT_EQ(std::pair(edit->textCursor().selectionStart(), edit->textCursor().selectionEnd()), std::pair(6, 12));
    EXPECT_EQ(form.richText->firstVisibleLine(), 7);
    EXPECT_TRUE(form.richText->text().bytes().ends_with("Zeile 99\nAnhang \xE4\n"));

    form.richText->appendText("Ende", true);
    EXPECT_FALSE(edit->textCursor().hasSelection());
    EXPECT_EQ(edit->textCursor().position(), edit->document()->characterCount() - 1);
    EXPECT_TRUE(edit->viewport()->rect().contains(edit->cursorRect())) << "the caret is in view";
}

// ClickEvent comes from the user's click or from click(), also on a hidden button, never from the
// program's setChecked() or a disabled button; a handled press consumes the click.
TEST_F(GuiControls, CheckBoxAndButtonRaiseClickEventOnlyWhenClicked) {
    log.watch(form.checkBox->events(), {Id::ClickEvent});
    log.watch(form.button->events(), {Id::ClickEvent, Id::LeftButtonDownEvent});
    form.checkBox->setChecked(true);
    EXPECT_TRUE(log.all.empty());
    QTest::mouseClick(form.checkBox->widget(), Qt::LeftButton, {}, QPoint(6, 6));
    EXPECT_FALSE(form.checkBox->isChecked());
    const auto clickButton = [this] {
        QTest::mouseClick(form.button->widget(), Qt::LeftButton, {}, form.button->widget()->rect().center());
    };
    clickButton();
    form.button->events().connect(Id::LeftButtonDownEvent, this, [](WEventData&) { return true; });
    clickButton();
    form.button->widget()->hide(); // the program's command buttons are hidden; click() works all the same
    form.button->click();
    form.button->widget()->setEnabled(false);
    form.button->click();
    EXPECT_EQ(log.ids(), (std::vector<Id>{Id::ClickEvent, Id::LeftButtonDownEvent, Id::ClickEvent,
                                          Id::LeftButtonDownEvent, Id::ClickEvent}));
    EXPECT_EQ(log.all.back().source, form.button.get());
}

TEST(WFontText, ParsesSizeAndFaceAndRefusesMalformedTexts) {
    for (const auto& [text, size, face] :
         {std::tuple{"08.MS Sans Serif", 8, "MS Sans Serif"}, {"999.Font 1.0", 999, "Font 1.0"}}) {
        const auto font = WFont::fromText(text);
        ASSERT_TRUE(font.has_value()) << text;
        EXPECT_EQ(font->pointSize(), size) << text;
        EXPECT_EQ(font->face(), face) << text;
    }
    for (const char* bad : {"", "Arial", "8", "8.", "8.  ", ".Arial", "x.Arial", " 8.Arial", "0.Arial", "1000.Arial",
                            "-8.Arial", "8,Arial"})
        EXPECT_FALSE(WFont::fromText(bad).has_value()) << bad;
}

TEST_F(GuiControls, PicturesAreDrawnInTheirLooksOnceAndForgottenWithTheirCatalogue) {
    const QImage normal = QtImageCache::bitmap(normalBitmap).toImage();
    EXPECT_NE(QtImageCache::bitmap(pressedBitmap).toImage(), normal);
    EXPECT_NE(QtImageCache::bitmap(inactiveBitmap).toImage(), normal);
    EXPECT_EQ(QtImageCache::bitmap(normalBitmap).cacheKey(), QtImageCache::bitmap(normalBitmap).cacheKey());
    auto* label = static_cast<QLabel*>(form.picture->widget());
    EXPECT_TRUE(form.picture->setBitmap(pressedBitmap));
    EXPECT_EQ(label->pixmap().size(), QSize(76, 34)) << "unscaled";
    // A missing picture is a programming error: it must show, and say so once, not crash.
    testing::internal::CaptureStderr();
    EXPECT_FALSE(form.picture->setBitmap(4711));
    EXPECT_FALSE(form.picture->setBitmap(4711));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("4711"), std::string::npos) << said;
    EXPECT_FALSE(label->pixmap().isNull()) << "a visible placeholder";
    EXPECT_TRUE(form.picture->setBitmap(normalBitmap));

    { const InstalledTestCatalog again; } // installed anew, then none
    EXPECT_TRUE(QtImageCache::bitmap(normalBitmap).isNull()) << "no catalogue, no pictures";
}

} // namespace
