#include "resources/MorlanzResources.h"

const std::vector<WMenuTemplate>& menuTables() {
    using namespace MenuId;
    static const std::vector<WMenuTemplate> tables = {
        {"ID_Form1_menu_1",
         {
             {"&Programm", 0, {{"Einleitung", Einleitung, {}}, {nullptr, 0, {}}, {"Beenden", Beenden, {}}}},
             {"&Einstellung", Einstellung, {}},
             {"&Info",
              0,
              {{"Tutorial", Tutorial, {}}, {"Hilfe", Hilfe, {}}, {nullptr, 0, {}}, {"Impressum", Impressum, {}}}},
         }},
        {"ID_Form1_popup",
         {{"Popup",
           0,
           {{"Anzeigen", TrayAnzeigen, {}},
            {"Einstellung", TrayEinstellung, {}},
            {"Minimieren", TrayMinimieren, {}},
            {nullptr, 0, {}},
            {"Beenden", TrayBeenden, {}}}}}},
        {"ID_Form1_popup_ordner", {{"Popup", 0, {{"Ordner erstellen", OrdnerErstellen, {}}}}}},
    };
    return tables;
}

const std::vector<WAcceleratorTemplate>& acceleratorTables() {
    using namespace MenuId;
    // Ctrl+T is bound twice; the first entry wins, and both lead to the same command.
    static const std::vector<WAcceleratorTemplate> tables = {
        {"ID_Form1_menu_1",
         {{'T', WKeyMod::Ctrl, Einleitung},
          {'Z', WKeyMod::Ctrl, Beenden},
          {'E', WKeyMod::Ctrl, Einstellung},
          {'T', WKeyMod::Ctrl, Tutorial},
          {'H', WKeyMod::Ctrl, Hilfe},
          {'I', WKeyMod::Ctrl, Impressum}}},
    };
    return tables;
}
