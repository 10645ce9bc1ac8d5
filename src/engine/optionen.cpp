// Option table and the interlocks of the two alternative pairs (6/7 and 14/15).
#include "engine/optionen.h"

namespace quintaro {

const std::array<OptionInfo, kOptionCount> kOptionen = {{
    {ZU, "Zeilenumbrüche entfernen", "ZU", true},
    {DZU, "Doppelte Zeilenumbrüche entfernen", "DZU", true},
    {DL, "Doppelte Leerzeichen entfernen", "DL", true},
    {LZT, "Leerzeichen zwischen Tags entfernen", "LZT", true},
    {LIT, "Unnötige Leerzeichen in Tags entfernen", "LIT", true},
    {TAB, "Tabulatoren entfernen", "TAB", true},
    {KMA, "Kommentare automatisch entfernen", "KMA", false},
    {KMM, "Kommentare nach Bestätigung entfernen", "KMM", false},
    {SZ, "Sonderzeichen ersetzen", "SZ", true},
    {AE, "Automatische Ersetzung durchführen", "AE", true},
    {SK, "Sicherheitskopien anlegen", "SK", true},
    {FPW, "Microsoft-Frontpage Webbots entfernen", "FPW", false},
    {OT, "Optimierungstipps anzeigen", "OT", false},
    {DKS, "Dateinamen klein schreiben", "DKS", true},
    {NOA, "Anzeige: Nach Optimierung anbieten", "NOA", true},
    {OA, "Anzeige: Automatisch nach Optimierung", "OA", false},
    {PES, "Bei Programmende Optionen speichern", "PES", false},
    {PEE, "Bei Programmende Einstellungen speichern", "PEE", false},
    {HSB, "HTML-Struktur beachten", "HSB", true},
    {CSS, "CSS verkleinern", "CSS", true},
    {JS, "JavaScript verkleinern", "JS", true},
    {ATK, "Attribute und Tags kürzen", "ATK", true},
}};

std::optional<int> optionZumSchluessel(std::string_view key) {
    for (const auto& o : kOptionen) {
        if (o.key == key) return o.index;
    }
    return std::nullopt;
}

Optionsmenge::Optionsmenge() {
    for (const auto& o : kOptionen) states_[static_cast<std::size_t>(o.index)] = o.defaultOn;
}

bool verriegelungenAnwenden(Optionsmenge& states, int selectedRow) {
    if (selectedRow == NOA) states.set(OA, false);
    if (selectedRow == OA) states.set(NOA, false);
    if (selectedRow == KMA) states.set(KMM, false);
    if (selectedRow == KMM) states.set(KMA, false);
    return selectedRow == KMA && states[KMA];
}

}  // namespace quintaro
