// The controls that raise commands: handlers that several controls share tell them apart by it.
#pragma once

namespace quintaro::ui {

enum class Sender {
    Keiner,  // a direct call with no control behind it (FormCreate, the settings load)
    // toolbar
    ButtonOeffnen,
    ButtonErneutOeffnen,
    ButtonSpeichern,
    ButtonSpeichernunter,
    ToolButton6,
    // menu "Datei"
    ToolbarOeffnen,
    ToolbarErneutOeffnen,
    Speichern1,
    Speichernunter1,
    Schlieen1,
    Beenden,
    // menu "Bearbeiten"
    Quelltext,
    Optionen1,
    Optimieren1,
    ToolbarSchrittweiseOptimieren,
    Stapelverarbeitung1,
    OrdnerHinzufuegenMenue,  // ours: a whole site
    // menu "Anzeige"
    Optimierunganzeigen1,
    Originalanzeigen1,
    // source page
    OptimierenButton,
    SchrittweiseOptimierenButton,
    AnsichtOriginalButton,
    AnsichtOptimiertButton,
    // batch page
    BitBtn8,
    BitBtn9,
    OrdnerHinzufuegenKnopf,
    DateienOptimieren,
};

}  // namespace quintaro::ui
