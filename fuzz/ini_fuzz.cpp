// Fuzzes the INI reader and the settings loader with arbitrary file contents, checking that
// parsing is stable, that "Anzahl" stays bounded and that what is saved loads back.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "pruefe.h"

using quintaro::fuzz::pruefe;
#include "settings/einstellungen.h"
#include "settings/ini.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quintaro;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // Numbers: whatever is accepted prints back to the same number.
    if (const auto zahl = iniZahl(bytes.substr(0, 24))) {
        pruefe(iniZahl(std::to_string(*zahl)) == zahl);
    }

    // Writing back what was read is a fixed point.
    const IniDatei ini(bytes);
    const std::string text = ini.inhalt();
    pruefe(IniDatei(text).inhalt() == text);

    // The loader never grows a list past the current entries plus the section's keys, or past
    // the highest entry number it reads.
    const Einstellungen vorher;
    const Geladen geladen = einstellungenAnwenden(ini, vorher);
    const Einstellungen& e = geladen.einstellungen;
    pruefe(e.filter.size() <=
           std::max(vorher.filter.size() + ini.schluesselAnzahl("Erweiterungen"), kListenStellen));
    pruefe(static_cast<std::size_t>(e.tabelle.anzahl()) <=
           std::max(
               static_cast<std::size_t>(vorher.tabelle.anzahl()) + ini.schluesselAnzahl("Replaces"),
               kListenStellen));
    for (const auto& eintrag : e.filter) pruefe(eintrag.size() <= kIniWertLaenge);
    pruefe(e.fenster.links >= 0 && e.fenster.oben >= 0);

    // Saved over the same file and loaded again: options, counts and geometry come back.
    IniDatei gespeichert(bytes);
    einstellungenEintragen(gespeichert, e, "Alles");
    const Geladen wieder = einstellungenAnwenden(IniDatei(gespeichert.inhalt()), Einstellungen{});
    pruefe(wieder.fensterSetzen);
    pruefe(wieder.einstellungen.optionen == e.optionen);
    pruefe(wieder.einstellungen.fenster == e.fenster);
    pruefe(wieder.einstellungen.filter.size() == e.filter.size());
    pruefe(wieder.einstellungen.tabelle.anzahl() == e.tabelle.anzahl());
    return 0;
}
