#include "TestCatalog.h"

#include <cstring>

namespace {

using namespace WStyle;
using namespace TestIds;

const std::vector<WFormTemplate>& forms() {
    static const std::vector<WFormTemplate> all = {
        {"ID_Test",
         "Prüffenster",
         400,
         300,
         WFormStyle::Border | WFormStyle::SystemMenu | WFormStyle::MinimizeBox,
         {
             {label, "label_a", WControlKind::Label, Visible, "Grüße", "Tipp für äöü", 7, 7, 61, 11},
             {labelCentered, "label_mitte", WControlKind::Label, Centered, "Mitte", "", 80, 7, 60, 11},
             {textBox, "textb_a", WControlKind::TextBox, Visible | SunkenEdge, "", "Name eintragen", 7, 25, 100, 14},
             {textReadOnly, "textb_ro", WControlKind::TextBox, Visible | ReadOnly, "fest", "", 110, 25, 80, 14},
             {masked, "mtextb_uhr", WControlKind::MaskedTextBox, Visible, "", "", 200, 25, 40, 14},
             {listSorted, "lb_sorted", WControlKind::ListBox, Visible | Sorted, "", "", 7, 45, 90, 60},
             {listMulti, "lb_multi", WControlKind::ListBox, Visible | Sorted | ExtendedSel, "", "", 100, 45, 90, 60},
             {listPlain, "lb_plain", WControlKind::ListBox, Visible, "", "", 193, 45, 90, 60},
             {richText, "rtb_a", WControlKind::RichTextBox, Visible | ReadOnly | MultiLine | ScrollBars, "", "", 7, 110,
              200, 60},
             {combo, "combo_tag", WControlKind::ComboBox, Visible | DropDownList, "", "Tag wählen", 210, 110, 80, 14},
             {checkBox, "checkbox_aktiv", WControlKind::CheckBox, Visible, "aktiv", "", 210, 130, 60, 14},
             {button, "cb_ok", WControlKind::CommandButton, Visible, "Ok", "", 210, 150, 50, 14},
             {picture, "pictb_a", WControlKind::PictureBox, Visible, "", "Quelle", 7, 180, 60, 30},
             {tree, "tv_dir", WControlKind::TreeView,
              Visible | SunkenEdge | TreeButtons | TreeLines | TreeLinesAtRoot | TreeShowSelAlways, "", "", 100, 180,
              120, 100},
             {animation, "anim_1", WControlKind::Animation, Visible, "", "", 300, 290, 10, 10},
         }},
        {"ID_Resizable",
         "Veränderbar",
         100,
         80,
         WFormStyle::Border | WFormStyle::SystemMenu | WFormStyle::MinimizeBox | WFormStyle::MaximizeBox |
             WFormStyle::Resizable,
         {}},
    };
    return all;
}

const std::vector<WMenuTemplate>& menus() {
    static const std::vector<WMenuTemplate> all = {
        {"ID_Test_menu",
         {
             {"Programm", 0, {{"Einleitung", einleitung, {}}, {nullptr, 0, {}}, {"Beenden", beenden, {}}}},
             {"Einstellung", einstellung, {}},
             {"Info",
              0,
              {{"Tutorial", tutorial, {}}, {"Hilfe", hilfe, {}}, {nullptr, 0, {}}, {"Impressum", impressum, {}}}},
         }},
        {"ID_Test_popup",
         {{"Popup",
           0,
           {{"Anzeigen", anzeigen, {}},
            {"Einstellung", trayEinstellung, {}},
            {nullptr, 0, {}},
            {"Beenden", trayBeenden, {}},
            {"Weiteres", 0, {{"Mehr", mehr, {}}}}}}}},
    };
    return all;
}

const std::vector<WAcceleratorTemplate>& keyTables() {
    static const std::vector<WAcceleratorTemplate> all = {
        {"ID_Test_menu",
         {{'T', WKeyMod::Ctrl, einleitung},
          {'Z', WKeyMod::Ctrl, beenden},
          {'E', WKeyMod::Ctrl, einstellung},
          {'T', WKeyMod::Ctrl, tutorial},
          {'H', WKeyMod::Ctrl, hilfe},
          {'7', WKeyMod::Ctrl | WKeyMod::Shift, impressum}}},
    };
    return all;
}

const std::vector<WBitmapTemplate>& bitmaps() {
    static const std::vector<WBitmapTemplate> all = {
        {normalBitmap, 76, 34, "Quelle >>", WBitmapLook::Normal},
        {pressedBitmap, 76, 34, "Quelle >>", WBitmapLook::Pressed},
        {inactiveBitmap, 76, 34, "Quelle >>", WBitmapLook::Inactive},
        {treeImage, 16, 16, "", WBitmapLook::Normal},
        {logo, 173, 84, "Morlanz", WBitmapLook::Logo},
    };
    return all;
}

const std::vector<WBitmapTemplate>& icons() {
    static const std::vector<WBitmapTemplate> all = {{icon, 32, 32, "M", WBitmapLook::Logo}};
    return all;
}

template <class T> const T* byName(const std::vector<T>& all, const char* name) {
    for (const T& entry : all) {
        if (std::strcmp(entry.name, name) == 0)
            return &entry;
    }
    return nullptr;
}

const WBitmapTemplate* byId(const std::vector<WBitmapTemplate>& all, int id) {
    for (const WBitmapTemplate& entry : all) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}

} // namespace

const WFormTemplate* TestCatalog::form(const char* name) const {
    return byName(forms(), name);
}
const WMenuTemplate* TestCatalog::menu(const char* name) const {
    return byName(menus(), name);
}
const WAcceleratorTemplate* TestCatalog::accelerators(const char* name) const {
    return byName(keyTables(), name);
}
const WBitmapTemplate* TestCatalog::bitmap(int id) const {
    return byId(bitmaps(), id);
}
const WBitmapTemplate* TestCatalog::icon(int id) const {
    return byId(icons(), id);
}
