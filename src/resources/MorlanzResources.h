#pragma once

#include "toolkit/gui/WResourceCatalog.h"

// Control ids of the main form's layout "ID_Form1".
namespace Form1Id {
constexpr int tv_dir = 104, lb_von = 105, combo_tag = 107, mtextb_uhr = 108, label_wann = 109, label_nach = 110,
              label_von = 111, label_name_der_sicherung = 112, label_pfad_waehlen = 113, textb_name_der_sicherung = 118,
              textb_nach = 123, rtb_anzeige = 125, lb_anzeige = 126, label_inhalt = 127, label_sicherung = 128,
              label_zeit = 131, label_log = 136, textb_dummy = 137, checkbox_aktiv = 138, label_aktiv = 139,
              label_datum_zeit = 141, anim_1 = 142;
constexpr int pictb_anlegen = 146, pictb_bearbeiten = 147, pictb_loeschen = 148, pictb_starten = 149,
              pictb_log_anzeigen = 150, pictb_beenden = 151, pictb_quelle = 152, pictb_quelle_loeschen = 153,
              pictb_quelle_aloeschen = 154, pictb_ziel = 155, pictb_tv_aktuell = 156, pictb_sicherung_speichern = 157,
              pictb_sicherung_verwerfen = 158, pictb_log_loeschen = 159, pictb_log_schliessen = 160, pictb_logo = 164;
constexpr int cb_anlegen = 170, cb_bearbeiten = 171, cb_loeschen = 172, cb_starten = 173, cb_log_anzeigen = 174,
              cb_beenden = 175, cb_speichern = 176, cb_verwerfen = 177, cb_lade_pfad_von = 178,
              cb_loesche_pfad_von = 179, cb_loesche_alles_von = 180, cb_lade_pfad_nach = 181, cb_log_loeschen = 182,
              cb_log_schliessen = 183, cb_tv_aktuell = 184, cb_1 = 185, cb_2 = 186, label_1 = 187;
} // namespace Form1Id

// Control ids of the settings form "ID_FORM2".
namespace Form2Id {
constexpr int cb_1 = 101, cb_speichern = 102, checkbox_kopie = 103, label_kopie = 104, checkbox_status = 105,
              checkbox_sound_ani = 106;
} // namespace Form2Id

// Control ids of the new-folder form "ID_Form5".
namespace Form5Id {
constexpr int textb_nach = 101, cb_1 = 102, cb_ordner_erstellen = 103;
} // namespace Form5Id

// Command ids of the menus and the key table.
namespace MenuId {
constexpr int Einleitung = 1001, Beenden = 1003, Einstellung = 1004, Tutorial = 1006, Hilfe = 1007, Impressum = 1009;
constexpr int TrayAnzeigen = 10000, TrayEinstellung = 10001, TrayMinimieren = 10002, TrayBeenden = 10004;
constexpr int OrdnerErstellen = 10000;
} // namespace MenuId

constexpr int kMainIconId = 100;
// The folder tree's bitmaps 101 to 103 are kTreeBitmapBase + 101 ...: the picture buttons use those numbers.
constexpr int kTreeBitmapBase = 1000;

// The program's resource catalogue; install it with WResources::install(&MorlanzResources::instance()).
class MorlanzResources : public WResourceCatalog {
public:
    static const MorlanzResources& instance();

    const WFormTemplate* form(const char* name) const override;
    const WMenuTemplate* menu(const char* name) const override;
    const WAcceleratorTemplate* accelerators(const char* name) const override;
    const WBitmapTemplate* bitmap(int id) const override;
    const WBitmapTemplate* icon(int id) const override;
};

// The tables, one file each.
const WFormTemplate& form1Layout();
const WFormTemplate& form2Layout();
const WFormTemplate& form5Layout();
const std::vector<WMenuTemplate>& menuTables();
const std::vector<WAcceleratorTemplate>& acceleratorTables();
const std::vector<WBitmapTemplate>& bitmapTable();
const std::vector<WBitmapTemplate>& iconTable();
