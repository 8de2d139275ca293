#include "TestForm.h"
#include "toolkit/gui/WResources.h"
#include "toolkit/gui/qt/QtHandOver.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <type_traits>

namespace {

using namespace TestIds;
using namespace WStyle;
using K = WControlKind;

template <class T, class Key> const T* lookUp(const std::vector<T>& all, Key key) {
    const auto it = std::find_if(all.begin(), all.end(), [key](const T& e) {
        if constexpr (std::is_same_v<Key, int>)
            return e.id == key;
        else
            return std::strcmp(e.name, key) == 0;
    });
    return it == all.end() ? nullptr : &*it;
}

class TestCatalog : public WResourceCatalog {
public:
    const WFormTemplate* form(const char* name) const override { return lookUp(forms_, name); }
    const WMenuTemplate* menu(const char* name) const override { return lookUp(menus_, name); }
    const WAcceleratorTemplate* accelerators(const char* name) const override { return lookUp(keys_, name); }
    const WBitmapTemplate* bitmap(int id) const override { return lookUp(bitmaps_, id); }
    const WBitmapTemplate* icon(int) const override { return nullptr; }

private:
    const unsigned fixed = WFormStyle::Border | WFormStyle::SystemMenu | WFormStyle::MinimizeBox;
    // clang-format off
    std::vector<WFormTemplate> forms_ = {
        {"ID_Test", "Prüffenster", 400, 300, fixed,
         {{label, "label_a", K::Label, Visible, "Grüße", "", 7, 7, 61, 11},
          {hiddenLabel, "label_b", K::Label, 0, "", "", 80, 7, 60, 11},
          {textBox, "textb_a", K::TextBox, Visible, "", "", 7, 25, 100, 14},
          {masked, "mtextb_uhr", K::MaskedTextBox, Visible, "", "", 200, 25, 40, 14},
          {listSorted, "lb_sorted", K::ListBox, Visible | Sorted | ExtendedSel, "", "", 7, 45, 90, 60},
          {richText, "rtb_a", K::RichTextBox, Visible | ReadOnly | MultiLine | ScrollBars, "", "", 7, 110, 200, 60},
          {combo, "combo_tag", K::ComboBox, Visible | DropDownList, "", "", 210, 110, 80, 14},
          {checkBox, "checkbox_aktiv", K::CheckBox, Visible, "aktiv", "", 210, 130, 60, 14},
          {button, "cb_ok", K::CommandButton, Visible, "Ok", "", 210, 150, 50, 14},
          {picture, "pictb_a", K::PictureBox, Visible, "", "", 7, 180, 60, 30},
          {tree, "tv_dir", K::TreeView, Visible | TreeButtons | TreeLines | TreeLinesAtRoot | TreeShowSelAlways, "", "",
           300, 45, 90, 120}}},
        {"ID_Resizable", "Veränderbar", 100, 80, fixed | WFormStyle::MaximizeBox | WFormStyle::Resizable, {}}};
    std::vector<WMenuTemplate> menus_ = {
        {"ID_Test_menu",
         {{"Programm", 0, {{"Einleitung", einleitung, {}}, {nullptr, 0, {}}, {"Beenden", beenden, {}}}},
          {"Einstellung", einstellung, {}},
          {"Info", 0, {{"Tutorial", tutorial, {}}, {"Impressum", impressum, {}}}}}},
        {"ID_Test_popup", {{"Popup", 0, {{"Anzeigen", 1, {}}, {"Beenden", 2, {}}}}}}};
    std::vector<WAcceleratorTemplate> keys_ = {
        {"ID_Test_menu", {{'T', WKeyMod::Ctrl, einleitung}, {'Z', WKeyMod::Ctrl, beenden},
                          {'E', WKeyMod::Ctrl, einstellung}, {'T', WKeyMod::Ctrl, tutorial},
                          {'7', WKeyMod::Ctrl | WKeyMod::Shift, impressum}}}};
    std::vector<WBitmapTemplate> bitmaps_ = {
        {normalBitmap, 76, 34, "Quelle >>", WBitmapLook::Normal},
        {pressedBitmap, 76, 34, "Quelle >>", WBitmapLook::Pressed},
        {inactiveBitmap, 76, 34, "Quelle >>", WBitmapLook::Inactive},
        {folderBitmap, 32, 32, "", WBitmapLook::Folder}, {fileBitmap, 32, 32, "", WBitmapLook::File}};
    // clang-format on
};

} // namespace

InstalledTestCatalog::InstalledTestCatalog() {
    static const TestCatalog catalog;
    WResources::install(&catalog);
}

InstalledTestCatalog::~InstalledTestCatalog() {
    WResources::install(nullptr);
}

TestForm::TestForm() {
    if (!create("ID_Test", "8.MS Sans Serif"))
        throw std::runtime_error("the test layout is missing");
    label = std::make_unique<WLabel>(*this, TestIds::label);
    hiddenLabel = std::make_unique<WLabel>(*this, TestIds::hiddenLabel);
    textBox = std::make_unique<WTextBox>(*this, TestIds::textBox);
    masked = std::make_unique<WMaskedTextBox>(*this, TestIds::masked);
    listSorted = std::make_unique<WListBox>(*this, TestIds::listSorted);
    richText = std::make_unique<WRichTextBox>(*this, TestIds::richText);
    combo = std::make_unique<WComboBox>(*this, TestIds::combo);
    checkBox = std::make_unique<WCheckBox>(*this, TestIds::checkBox);
    button = std::make_unique<WCommandButton>(*this, TestIds::button);
    picture = std::make_unique<WPictureBox>(*this, TestIds::picture);
}

void TestForm::showAndWait() {
    widget()->show();
    activate();
    // The platform's window, as the window system sees it: a disabled form is active all the same.
    const auto ready = [this] {
        const QWindow* handle = widget()->windowHandle();
        return handle && handle->isExposed() && handle->isActive();
    };
    while (!ready())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void EventLog::watch(WEventTable& table, std::initializer_list<WEventId> ids, bool answer) {
    for (const WEventId id : ids) {
        table.connect(id, this, [this, answer](WEventData& data) {
            all.push_back(data);
            return answer;
        });
    }
}

std::vector<WEventId> EventLog::ids() const {
    std::vector<WEventId> result;
    for (const WEventData& data : all)
        result.push_back(data.id);
    return result;
}

void pumpEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    // Windows destroyed by their own handlers leave their widgets for deferred deletion.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

UiWorker::UiWorker(std::function<void()> body)
    : thread_([this, body = std::move(body)] {
          body();
          finished_ = true;
          // Wakes the user-interface thread should it be waiting for events.
          QMetaObject::invokeMethod(qApp, QtHandOver::wrap([] {}), Qt::QueuedConnection);
      }) {}

UiWorker::~UiWorker() {
    waitHandlingEvents();
}

void UiWorker::waitHandlingEvents(const std::function<void()>& step) {
    while (!finished_) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (step && !finished_)
            step();
    }
    if (thread_.joinable())
        thread_.join();
}
