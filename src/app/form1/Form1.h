#pragma once

#include "toolkit/gui/WForm.h"

#include <memory>

class WAnimation;
class WCheckBox;
class WComboBox;
class WCommandButton;
class WLabel;
class WListBox;
class WMaskedTextBox;
class WPictureBox;
class WPopupMenu;
class WRichTextBox;
class WTextBox;
class WTreeView;

// The main window built from its layout "ID_Form1": every control of the three views, the hidden
// command buttons, the menu bar with its key table and the two popup menus. No behaviour: the
// controllers (MainForm and one per feature) connect their handlers to it.
class Form1 : public WForm {
public:
    Form1();
    ~Form1() override;

    // Creates the window and its controls. False when the window cannot be created.
    bool create();
    // Once the picture boxes take the focus as buttons: Tab through the editor in reading order.
    void setEditorTabOrder();

    // Editor view
    std::unique_ptr<WTreeView> tv_dir;
    std::unique_ptr<WListBox> lb_von;
    std::unique_ptr<WComboBox> combo_tag;
    std::unique_ptr<WMaskedTextBox> mtextb_uhr;
    std::unique_ptr<WLabel> label_wann, label_nach, label_von, label_name_der_sicherung, label_pfad_waehlen;
    std::unique_ptr<WTextBox> textb_name_der_sicherung, textb_nach;
    std::unique_ptr<WLabel> label_zeit, label_aktiv;
    std::unique_ptr<WCheckBox> checkbox_aktiv;
    // Overview and log view
    std::unique_ptr<WRichTextBox> rtb_anzeige;
    std::unique_ptr<WListBox> lb_anzeige;
    std::unique_ptr<WLabel> label_inhalt, label_sicherung, label_log;
    // Outside the views
    std::unique_ptr<WTextBox> textb_dummy;
    std::unique_ptr<WLabel> label_datum_zeit, label_1;
    std::unique_ptr<WAnimation> anim_1;
    // Picture buttons and the logo
    std::unique_ptr<WPictureBox> pictb_anlegen, pictb_bearbeiten, pictb_loeschen, pictb_starten, pictb_log_anzeigen,
        pictb_beenden, pictb_quelle, pictb_quelle_loeschen, pictb_quelle_aloeschen, pictb_ziel, pictb_tv_aktuell,
        pictb_sicherung_speichern, pictb_sicherung_verwerfen, pictb_log_loeschen, pictb_log_schliessen, pictb_logo;
    // Hidden command buttons
    std::unique_ptr<WCommandButton> cb_anlegen, cb_bearbeiten, cb_loeschen, cb_starten, cb_log_anzeigen, cb_beenden,
        cb_speichern, cb_verwerfen, cb_lade_pfad_von, cb_loesche_pfad_von, cb_loesche_alles_von, cb_lade_pfad_nach,
        cb_log_loeschen, cb_log_schliessen, cb_tv_aktuell, cb_1, cb_2;
    // "ID_Form1_popup" (tray menu) and "ID_Form1_popup_ordner" (context menu of textb_nach)
    std::unique_ptr<WPopupMenu> popup, popupOrdner;

private:
    void createControls();
    void applyAppearance();
};
