#pragma once

#include "WResourceCatalog.h"

// A small resource catalogue for the toolkit's tests, shaped like the program's own: a form with one
// control of every kind, a menu bar with a bar-level item and a key table that binds Ctrl+T twice, a
// popup menu, button bitmaps in their three looks, a logo and an icon.
namespace TestIds {
constexpr int label = 10, labelCentered = 11, textBox = 20, textReadOnly = 21, masked = 22, listSorted = 30,
              listMulti = 31, listPlain = 32, richText = 40, combo = 50, checkBox = 60, button = 70, picture = 80,
              tree = 90, animation = 95;
constexpr int einleitung = 1001, beenden = 1003, einstellung = 1004, tutorial = 1006, hilfe = 1007, impressum = 1009;
constexpr int anzeigen = 10000, trayEinstellung = 10001, trayBeenden = 10004, mehr = 10010;
constexpr int normalBitmap = 100, pressedBitmap = 101, inactiveBitmap = 136, treeImage = 102, logo = 142;
constexpr int icon = 100;
} // namespace TestIds

class TestCatalog : public WResourceCatalog {
public:
    const WFormTemplate* form(const char* name) const override;
    const WMenuTemplate* menu(const char* name) const override;
    const WAcceleratorTemplate* accelerators(const char* name) const override;
    const WBitmapTemplate* bitmap(int id) const override;
    const WBitmapTemplate* icon(int id) const override;
};

// Installs a TestCatalog for its lifetime.
class InstalledTestCatalog {
public:
    InstalledTestCatalog() { WResources::install(&catalog_); }
    ~InstalledTestCatalog() { WResources::install(nullptr); }
    InstalledTestCatalog(const InstalledTestCatalog&) = delete;
    InstalledTestCatalog& operator=(const InstalledTestCatalog&) = delete;

private:
    TestCatalog catalog_;
};
