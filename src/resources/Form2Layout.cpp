#include "resources/MorlanzResources.h"

// The settings form. Its check box and label texts are set by the form when it is created.
const WFormTemplate& form2Layout() {
    using K = WControlKind;
    constexpr unsigned V = WStyle::Visible;
    static const WFormTemplate layout = {
        "ID_FORM2",
        "Morlanz 1.0 - Einstellungen",
        252,
        152,
        WFormStyle::Border | WFormStyle::SystemMenu,
        {
            {Form2Id::cb_1, "cb_1", K::CommandButton, V, "Abbrechen", "", 195, 125, 50, 18},
            {Form2Id::cb_speichern, "cb_speichern", K::CommandButton, V, "Ok", "", 135, 125, 51, 18},
            {Form2Id::checkbox_kopie, "checkbox_kopie", K::CheckBox, V, "", "", 10, 10, 235, 10},
            {Form2Id::label_kopie, "label_kopie", K::Label, V, "", "", 22, 25, 222, 40},
            {Form2Id::checkbox_status, "checkbox_status", K::CheckBox, V, "", "", 10, 70, 235, 11},
            {Form2Id::checkbox_sound_ani, "checkbox_sound_ani", K::CheckBox, V, "", "", 10, 93, 235, 11},
        },
    };
    return layout;
}
