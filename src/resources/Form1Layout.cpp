#include "resources/MorlanzResources.h"

namespace {

using K = WControlKind;
using namespace WStyle;
using namespace Form1Id;

constexpr unsigned V = Visible;
constexpr const char* kUhrTip = "Bitte Uhrzeit im Format hh::mm eintragen wenn 'aktiv' gewählt ist. Somit wird Ihre "
                                "Sicherung automatisch zur gewählten Uhrzeit ausgeführt";

} // namespace

// The main form in dialog units of its 8-point font. The view controls start hidden at their
// starting places: every view transition sets visibility, position and size itself.
const WFormTemplate& form1Layout() {
    static const WFormTemplate layout = {
        "ID_Form1",
        "Morlanz 1.0",
        655,
        377,
        WFormStyle::Border | WFormStyle::SystemMenu | WFormStyle::MinimizeBox,
        {
            {tv_dir, "tv_dir", K::TreeView, TreeButtons | TreeLines | TreeLinesAtRoot | TreeShowSelAlways | SunkenEdge,
             "", "Dateien oder Ordner wählen", 11, 18, 166, 273},
            {lb_von, "lb_von", K::ListBox, Sorted | ExtendedSel | SunkenEdge, "", "diese Dateien sichern", 240, 49, 193,
             206},
            {combo_tag, "combo_tag", K::ComboBox, DropDownList, "", "Tag wählen", 240, 304, 100, 12},
            {mtextb_uhr, "mtextb_uhr", K::MaskedTextBox, 0, "", kUhrTip, 360, 304, 33, 12},
            {label_wann, "label_wann", K::Label, 0, "wann :", "", 240, 292, 100, 8},
            {label_nach, "label_nach", K::Label, 0, "nach :", "", 240, 261, 100, 8},
            {label_von, "label_von", K::Label, 0, "von :", "", 240, 36, 100, 8},
            {label_name_der_sicherung, "label_name_der_sicherung", K::Label, 0, "Name der Sicherung :", "", 240, 6, 100,
             8},
            {label_pfad_waehlen, "label_pfad_waehlen", K::Label, 0, "Pfad wählen :", "", 11, 6, 100, 8},
            {textb_name_der_sicherung, "textb_name_der_sicherung", K::TextBox, 0, "", "Name der Sicherung eintragen",
             240, 18, 193, 12},
            {textb_nach, "textb_nach", K::TextBox, ReadOnly, "",
             "In diesem Ordner/ Laufwerk werden Ihre Daten gesichert.Mit Recktsklick können Sie ein neues "
             "Unterverzeichnis im gewählten Ordner/ Laufwerk anlegen",
             240, 273, 193, 12},
            {rtb_anzeige, "rtb_anzeige", K::RichTextBox, MultiLine | ReadOnly | ScrollBars, "", "", 100, 141, 333, 175},
            {lb_anzeige, "lb_anzeige", K::ListBox, Sorted, "", "Sicherung auswählen", 100, 18, 333, 104},
            {label_inhalt, "label_inhalt", K::Label, 0, "Inhalt der Sicherung :", "", 100, 129, 100, 8},
            {label_sicherung, "label_sicherung", K::Label, 0, "Sicherung :", "", 100, 6, 100, 8},
            {label_zeit, "label_zeit", K::Label, 0, "Zeit :", kUhrTip, 360, 292, 33, 8},
            {label_log, "label_log", K::Label, 0, "Log Datei :", "", 100, 6, 100, 8},
            {textb_dummy, "textb_dummy", K::TextBox, V, "", "", 13, 6, 10, 12},
            {checkbox_aktiv, "checkbox_aktiv", K::CheckBox, 0, "",
             "Ist diese Checkbox aktiviert wird Ihre Sicherung automatisch zur gewählten Uhrzeit ausgeführt. ", 413,
             304, 33, 12},
            {label_aktiv, "label_aktiv", K::Label, 0, "aktiv :",
             "automatische, zeitgesteuerte Sicherung aktivieren [V] oder deaktivieren [  ]", 413, 292, 33, 8},
            {label_datum_zeit, "label_datum_zeit", K::Label, V | Centered, "", "", 441, 292, 80, 24},
            {anim_1, "anim_1", K::Animation, V, "", "", 295, 375, 20, 2},
            {pictb_anlegen, "pictb_anlegen", K::PictureBox, 0, "", "Neue Sicherung anlegen", 442, 18, 79, 21},
            {pictb_bearbeiten, "pictb_bearbeiten", K::PictureBox, 0, "", "ausgewählte Sicherung bearbeiten", 442, 49,
             79, 21},
            {pictb_loeschen, "pictb_loeschen", K::PictureBox, 0, "", "ausgewählte Sicherung löschen", 442, 80, 79, 21},
            {pictb_starten, "pictb_starten", K::PictureBox, 0, "", "ausgewählte Sicherung sofort manuell starten", 442,
             110, 79, 21},
            {pictb_log_anzeigen, "pictb_log_anzeigen", K::PictureBox, 0, "", "Logdatei anzeigen", 442, 227, 79, 21},
            {pictb_beenden, "pictb_beenden", K::PictureBox, 0, "",
             "Morlanz 1.0 beenden (es können so keine Zeitgesteuerten Sicherungen ausgeführt werden)", 442, 258, 79,
             21},
            {pictb_quelle, "pictb_quelle", K::PictureBox, 0, "", "Datei zur Sicherung hinzufügen", 184, 49, 51, 21},
            {pictb_quelle_loeschen, "pictb_quelle_loeschen", K::PictureBox, 0, "",
             "markierte Dateien aus Sicherung entfernen", 184, 80, 51, 21},
            {pictb_quelle_aloeschen, "pictb_quelle_aloeschen", K::PictureBox, 0, "",
             "alle Dateien aus Sicherung entfernen", 184, 110, 51, 21},
            {pictb_ziel, "pictb_ziel", K::PictureBox, 0, "",
             "Zielordner links auswählen und mit Klick hinzufügen - in diesen Ordner werden Ihre Daten gesichert ", 184,
             267, 51, 21},
            {pictb_tv_aktuell, "pictb_tv_aktuell", K::PictureBox, 0, "", "Anzeige komplett aktualisieren", 11, 298, 79,
             21},
            {pictb_sicherung_speichern, "pictb_sicherung_speichern", K::PictureBox, 0, "",
             "fertig eingerichtete Sicherung speichern", 442, 18, 79, 21},
            {pictb_sicherung_verwerfen, "pictb_sicherung_verwerfen", K::PictureBox, 0, "",
             "Sicherung nicht speichern - zurück zum Hauptmenue", 442, 49, 79, 21},
            {pictb_log_loeschen, "pictb_log_loeschen", K::PictureBox, 0, "", "komplette Logdatei löschen", 442, 18, 79,
             21},
            {pictb_log_schliessen, "pictb_log_schliessen", K::PictureBox, 0, "",
             "Logdatei schliessen - zurück zum Hauptmenue", 442, 49, 79, 21},
            {pictb_logo, "pictb_logo", K::PictureBox, 0, "", "", 10, 18, 115, 52},
            // Command buttons: created hidden, never shown by a view; each fires the same command.
            {cb_anlegen, "cb_anlegen", K::CommandButton, 0, "Sicherung anlegen", "", 0, 0, 60, 14},
            {cb_bearbeiten, "cb_bearbeiten", K::CommandButton, 0, "Sicherung bearbeiten", "", 0, 0, 60, 14},
            {cb_loeschen, "cb_loeschen", K::CommandButton, 0, "Sicherung löschen", "", 0, 0, 60, 14},
            {cb_starten, "cb_starten", K::CommandButton, 0, "Sicherung manuell starten", "", 0, 0, 60, 14},
            {cb_log_anzeigen, "cb_log_anzeigen", K::CommandButton, 0, "Log - Datei anzeigen", "", 0, 0, 60, 14},
            {cb_beenden, "cb_beenden", K::CommandButton, 0, "Programm beenden", "", 0, 0, 60, 14},
            {cb_speichern, "cb_speichern", K::CommandButton, 0, "Sicherung speichern und zurück", "", 0, 0, 60, 14},
            {cb_verwerfen, "cb_verwerfen", K::CommandButton, 0, "Sicherung verwerfen und zurück", "", 0, 0, 60, 14},
            {cb_lade_pfad_von, "cb_lade_pfad_von", K::CommandButton, 0, ">>", "", 0, 0, 20, 14},
            {cb_loesche_pfad_von, "cb_loesche_pfad_von", K::CommandButton, 0, "X", "", 0, 0, 20, 14},
            {cb_loesche_alles_von, "cb_loesche_alles_von", K::CommandButton, 0, "XX", "", 0, 0, 20, 14},
            {cb_lade_pfad_nach, "cb_lade_pfad_nach", K::CommandButton, 0, ">>", "Ordner hinzufügen", 0, 0, 20, 14},
            {cb_log_loeschen, "cb_log_loeschen", K::CommandButton, 0, "Log - Datei löschen", "", 0, 0, 60, 14},
            {cb_log_schliessen, "cb_log_schliessen", K::CommandButton, 0, "Log - Datei schliessen", "", 0, 0, 60, 14},
            {cb_tv_aktuell, "cb_tv_aktuell", K::CommandButton, 0, "Aktualisieren", "", 0, 0, 60, 14},
            {cb_1, "cb_1", K::CommandButton, 0, "pause", "", 0, 0, 30, 14},
            {cb_2, "cb_2", K::CommandButton, 0, "weiter", "", 0, 0, 30, 14},
            {label_1, "label_1", K::Label, 0, "", "", 0, 0, 30, 8},
        },
    };
    return layout;
}
