#include "resources/MorlanzResources.h"

// The new-folder form: the name of the folder to create below the destination.
const WFormTemplate& form5Layout() {
    using K = WControlKind;
    constexpr unsigned V = WStyle::Visible;
    static const WFormTemplate layout = {
        "ID_Form5",
        "Morlanz 1.0 - Ordner erstellen",
        180,
        50,
        WFormStyle::Border | WFormStyle::SystemMenu,
        {
            {Form5Id::textb_nach, "textb_nach", K::TextBox, V | WStyle::SunkenEdge, "",
             "In diesem Ordner/ Laufwerk werden Ihre Daten gesichert. Mit Recktsklick können Sie ein neues "
             "Unterverzeichnis im gewählten Ordner/ Laufwerk anlegen",
             5, 5, 170, 14},
            {Form5Id::cb_ordner_erstellen, "cb_ordner_erstellen", K::CommandButton, V, "Ok", "", 65, 25, 50, 18},
            {Form5Id::cb_1, "cb_1", K::CommandButton, V, "Abbrechen", "", 125, 25, 50, 18},
        },
    };
    return layout;
}
