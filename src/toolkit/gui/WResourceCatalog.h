#pragma once

#include <vector>

// The program's resources as plain data (no Qt, no library): form layouts, menus, key tables, bitmaps
// and icons. Texts are UTF-8 literals and become Windows-1252 when loaded. The application installs
// its catalogue once at start-up (WResources.h); the toolkit loads resources by name or id from it.

enum class WControlKind {
    Label,
    TextBox,
    MaskedTextBox,
    RichTextBox,
    ListBox,
    ComboBox,
    CheckBox,
    CommandButton,
    PictureBox,
    TreeView,
    Animation,
};

namespace WStyle {
constexpr unsigned Visible = 1u << 0;
constexpr unsigned Sorted = 1u << 1;      // list box keeps its items sorted
constexpr unsigned ExtendedSel = 1u << 2; // list box: several items can be marked
constexpr unsigned ReadOnly = 1u << 3;
constexpr unsigned MultiLine = 1u << 4;
constexpr unsigned ScrollBars = 1u << 5;
constexpr unsigned DropDownList = 1u << 6; // combo box without an edit field
constexpr unsigned SunkenEdge = 1u << 7;
constexpr unsigned Centered = 1u << 8; // label text centred
constexpr unsigned TreeButtons = 1u << 9;
constexpr unsigned TreeLines = 1u << 10;
constexpr unsigned TreeLinesAtRoot = 1u << 11;
constexpr unsigned TreeShowSelAlways = 1u << 12;
} // namespace WStyle

namespace WFormStyle {
constexpr unsigned Border = 1u << 0;
constexpr unsigned SystemMenu = 1u << 1;
constexpr unsigned MinimizeBox = 1u << 2;
constexpr unsigned MaximizeBox = 1u << 3;
constexpr unsigned Resizable = 1u << 4;
} // namespace WFormStyle

struct WControlTemplate {
    int id;
    const char* name;
    WControlKind kind;
    unsigned style;
    const char* text;
    const char* tip;
    int x, y, width, height; // dialog units of the form font
};

struct WFormTemplate {
    const char* name;
    const char* caption;
    int width, height; // dialog units
    unsigned style;    // WFormStyle flags
    std::vector<WControlTemplate> controls;
};

struct WMenuItemTemplate {
    const char* text;                        // nullptr for a separator
    int id;                                  // command id; 0 for a separator or a submenu
    std::vector<WMenuItemTemplate> children; // non-empty: a submenu
};

struct WMenuTemplate {
    const char* name;
    std::vector<WMenuItemTemplate> items;
};

namespace WKeyMod {
constexpr unsigned Ctrl = 1u << 0;
constexpr unsigned Shift = 1u << 1;
constexpr unsigned Alt = 1u << 2;
} // namespace WKeyMod

struct WAcceleratorTemplate {
    struct Entry {
        char key; // upper-case letter or digit
        unsigned modifiers;
        int command;
    };
    const char* name;
    std::vector<Entry> entries; // the first matching entry wins
};

// Folder and File are the small pictures of the folder tree, drawn like the desktop's own.
enum class WBitmapLook { Normal, Pressed, Inactive, Logo, Folder, File };

struct WBitmapTemplate {
    int id;
    int width, height;
    const char* caption;
    WBitmapLook look;
};

class WResourceCatalog {
public:
    virtual ~WResourceCatalog() = default;
    virtual const WFormTemplate* form(const char* name) const = 0;
    virtual const WMenuTemplate* menu(const char* name) const = 0;
    virtual const WAcceleratorTemplate* accelerators(const char* name) const = 0;
    virtual const WBitmapTemplate* bitmap(int id) const = 0;
    // Icons are drawn from the same kind of description.
    virtual const WBitmapTemplate* icon(int id) const = 0;
};
