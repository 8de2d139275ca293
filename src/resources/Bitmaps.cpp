#include "resources/MorlanzResources.h"

namespace {
constexpr auto N = WBitmapLook::Normal;
constexpr auto P = WBitmapLook::Pressed;
constexpr auto I = WBitmapLook::Inactive;
} // namespace

// Picture-button bitmaps: the command is painted into each picture; pressed and inactive looks
// are the same picture drawn pressed or greyed.
const std::vector<WBitmapTemplate>& bitmapTable() {
    static const std::vector<WBitmapTemplate> table = {
        {100, 76, 34, "Quelle >>", N},
        {101, 76, 34, "Quelle >>", P},
        {136, 76, 34, "Quelle >>", I},
        {102, 76, 34, "löschen", N},
        {103, 76, 34, "löschen", P},
        {104, 76, 34, "alles löschen", N},
        {105, 76, 34, "alles löschen", P},
        {106, 76, 34, "Ziel >>", N},
        {107, 76, 34, "Ziel >>", P},
        {135, 76, 34, "Ziel >>", I},
        {108, 120, 34, "Sicherung speichern", N},
        {109, 120, 34, "Sicherung speichern", P},
        {110, 120, 34, "Sicherung speichern", I},
        {112, 120, 34, "Sicherung verwerfen", N},
        {111, 120, 34, "Sicherung verwerfen", P},
        {114, 120, 34, "Aktualisieren", N},
        {115, 120, 34, "Aktualisieren", P},
        {116, 120, 34, "Sicherung anlegen", N},
        {117, 120, 34, "Sicherung anlegen", P},
        {118, 120, 34, "Sicherung bearbeiten", N},
        {119, 120, 34, "Sicherung bearbeiten", P},
        {120, 120, 34, "Sicherung bearbeiten", I},
        {121, 120, 34, "Sicherung löschen", N},
        {122, 120, 34, "Sicherung löschen", P},
        {123, 120, 34, "Sicherung löschen", I},
        {124, 120, 34, "Sicherung starten", N},
        {125, 120, 34, "Sicherung starten", P},
        {126, 120, 34, "Sicherung starten", I},
        {127, 120, 34, "Logdatei anzeigen", N},
        {128, 120, 34, "Logdatei anzeigen", P},
        {129, 120, 34, "Programm beenden", N},
        {130, 120, 34, "Programm beenden", P},
        {131, 120, 34, "Logdatei löschen", N},
        {132, 120, 34, "Logdatei löschen", P},
        {133, 120, 34, "Logdatei schließen", N},
        {134, 120, 34, "Logdatei schließen", P},
        {142, 173, 84, "Morlanz", WBitmapLook::Logo},
        {143, 173, 84, "Morlanz", WBitmapLook::Logo},
        {144, 120, 58, "Morlanz", WBitmapLook::Logo},
        // The folder tree's 16 x 16 pictures, numbered apart from the picture buttons' bitmaps.
        {kTreeBitmapBase + 101, 16, 16, "", WBitmapLook::File},
        {kTreeBitmapBase + 102, 16, 16, "", WBitmapLook::Folder},
        {kTreeBitmapBase + 103, 16, 16, "", WBitmapLook::Folder},
    };
    return table;
}

const std::vector<WBitmapTemplate>& iconTable() {
    static const std::vector<WBitmapTemplate> table = {
        {kMainIconId, 32, 32, "M", WBitmapLook::Logo},
    };
    return table;
}
