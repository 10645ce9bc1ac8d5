// The optimisation run: backup, the passes in their fixed order, the end-of-run steps.
#pragma once

#include <string>
#include <string_view>

#include "engine/optionen.h"
#include "engine/pfade.h"
#include "engine/umgebung.h"

namespace quintaro {

enum class Modus { Normal, Schritt, Automatisch };

// "", "Schritt" or "Automatisch": the value of Optimierungsmodus.
std::string_view modusText(Modus modus);

namespace meldungen {
inline constexpr std::string_view kLeererQuelltext =
    "Es erscheint wenig sinnvoll, einen leeren Quelltext optimieren zu wollen.\r\n\r\nBitte laden "
    "Sie zuerst eine Datei.";
inline constexpr std::string_view kSicherheitskopieUeberschreiben =
    "Es besteht bereits eine Sicherheitskopie der aktuellen Datei.\r\n\r\nSoll die bestehende "
    "Sicherheitskopie überschrieben werden?";
inline constexpr std::string_view kAnzeigen =
    "Die Quelltext-Optimierung wurde durchgeführt.\r\n\r\nSoll die optimierte Fassung angezeigt "
    "werden?";
inline constexpr std::string_view kFrageWebbots =
    "Sollen alle MS Frontpage-Webbots entfernt werden?\r\n\r\nDies empfiehlt sich nur bei reinen "
    "HTML-Dateien ohne SSI bzw. Scripte!";
inline constexpr std::string_view kFrageKommentare =
    "Sollen alle Kommentare entfernt werden?\r\n\r\nDies empfiehlt sich nur bei reinen "
    "HTML-Dateien ohne SSI bzw. Scripte!";
inline constexpr std::string_view kFrageErsetzung =
    "Soll die automatische Ersetzung durchgeführt werden?";
inline constexpr std::string_view kFrageTabs = "Sollen alle Tabulatoren entfernt werden?";
inline constexpr std::string_view kFrageDoppelteUmbrueche =
    "Sollen alle doppelten Zeilenumbrüche entfernt werden?";
inline constexpr std::string_view kFrageUmbrueche = "Sollen alle Zeilenumbrüche entfernt werden?";
inline constexpr std::string_view kFrageDoppelteLeerzeichen =
    "Sollen alle doppelten Leerzeichen entfernt werden?";
inline constexpr std::string_view kFrageZwischenTags =
    "Sollen Leerzeichen zwischen Tags entfernt werden?";
inline constexpr std::string_view kFrageInTags =
    "Sollen unnötige Leerzeichen in Tags entfernt werden?";
inline constexpr std::string_view kFrageSonderzeichen = "Sollen Sonderzeichen ersetzt werden?";
inline constexpr std::string_view kFrageTipps =
    "Sollen zusätzliche Optimierungstipps angezeigt werden?";
}  // namespace meldungen

// Runs one optimisation over the editor text. Rethrows a DateiFehler of the preview write or
// the batch save after restoring the cursor.
void Optimierung(Umgebung& u, Modus modus);

// The same passes over a text with no questions at all (what a normal run without option 7 and
// without tips does to the text).
Text optimiereText(Text text, const OptionSet& options, const Ersetzungstabelle& tabelle,
                   Kodierung kodierung = Kodierung::Cp1252);

}  // namespace quintaro
