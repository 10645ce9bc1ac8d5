// The optimisation run: text in, text out, the passes in their fixed order.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/antwort.h"
#include "engine/dateifehler.h"
#include "engine/ersetzungstabelle.h"
#include "engine/kapazitaet.h"
#include "engine/kodierung.h"
#include "engine/optionen.h"
#include "engine/text.h"

namespace quintaro {

enum class Modus { Normal, Schritt, Automatisch };

// "", "Schritt" or "Automatisch": the value of Optimierungsmodus.
std::string_view modusText(Modus modus);

namespace meldungen {
inline constexpr std::string_view kLeererQuelltext =
    "Es erscheint wenig sinnvoll, einen leeren Quelltext optimieren zu wollen.\r\n\r\nBitte laden "
    "Sie zuerst eine Datei.";
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
inline constexpr std::string_view kFrageCss = "Soll CSS verkleinert werden?";
inline constexpr std::string_view kFrageJs = "Soll JavaScript verkleinert werden?";
inline constexpr std::string_view kFrageAtk = "Sollen Attribute und Tags gekürzt werden?";
inline constexpr std::string_view kFrageTipps =
    "Sollen zusätzliche Optimierungstipps angezeigt werden?";
}  // namespace meldungen

// The options a run in the mode Automatisch has no use for: SK (a batch always backs up), the
// tips, the display after a run, and what is saved at the program's end.
constexpr bool ohneWirkungImStapel(int option) {
    return option == SK || option == OT || option == NOA || option == OA || option == PES ||
           option == PEE;
}

// How a run is to go: the options as they stood when it started, the replacement table, the
// page's encoding, the mode and the most bytes the text may take.
struct Laufoptionen {
    Optionsmenge optionen;
    const Ersetzungstabelle& tabelle;
    Kodierung kodierung = Kodierung::Cp1252;
    Modus modus = Modus::Normal;
    std::size_t kapazitaet = kMemoKapazitaet;
};

enum class Passausgang {
    Gelaufen,       // carried out
    Uebersprungen,  // "Nein" to its question
    Abgebrochen,    // "Abbrechen" to its question, or to a comment question while it ran
    NichtErreicht,  // the run was abandoned before it
};

// One pass of a run, or several that ran as one sweep.
struct Passbericht {
    // The option's settings key ("KMA", "AE", "TAB"); keys joined by '+' for passes done in one
    // sweep ("TAB+ZU+DL").
    std::string schluessel;
    std::size_t vorher = 0;  // bytes of the text before it
    std::size_t nachher = 0;
    Passausgang ausgang = Passausgang::Gelaufen;
    bool operator==(const Passbericht&) const = default;
};

// What a question sees of the run: the text as the passes so far left it.
class Zwischenstand {
  public:
    // True when the text changed since the run last asked anything (or since it started).
    virtual bool geaendert() const = 0;
    // The text, built on demand.
    virtual Text text() const = 0;
    // The passes so far, as Laufergebnis::passes will list them.
    virtual const std::vector<Passbericht>& bisher() const = 0;

  protected:
    ~Zwischenstand() = default;
};

// The one way a run talks to the user: a step's question (only in the mode Schritt) and KMM's
// question about each comment (in every mode), both with "Ja", "Nein" and "Abbrechen". Texts are
// UTF-8.
class Fragen {
  public:
    virtual ~Fragen() = default;
    virtual Antwort frage(const std::string& text, const Zwischenstand& stand) = 0;
};

// Answers every question as closing its box would: Abbrechen. For runs nobody can be asked in.
class KeineFragen : public Fragen {
  public:
    Antwort frage(const std::string&, const Zwischenstand&) override { return Antwort::Abbrechen; }
};

struct Laufergebnis {
    bool leer = false;         // an empty text: nothing ran at all
    bool abgebrochen = false;  // "Abbrechen" ended the run
    // Every pass whose option is on, in the run's order: each starts where the one before ended,
    // so their savings add up to vorher - nachher.
    std::vector<Passbericht> passes;
    std::size_t vorher = 0;
    std::size_t nachher = 0;
    // OT's messages (UTF-8), to be shown in this order; never in the mode Automatisch.
    std::vector<std::string_view> tipps;
    // The text changed since the last question saw it: whoever shows it must show it anew.
    bool neuerStand = false;
};

// One run over `text`, in place: the passes in their fixed order, each only when its option is on
// (and, for the webbots and comments, when the text holds one), the questions through `fragen`,
// and in every mode but Automatisch the tips. No file is touched and nothing is shown, so runs
// on different texts may go on in several threads at once. Throws DateiFehler with
// kMemoKapazitaetFehler when a pass would grow the text past `kapazitaet`; what `text` then holds
// is of no use.
Laufergebnis laufen(Text& text, const Laufoptionen& optionen, Fragen& fragen);

// The same passes over a text with no questions at all (what a normal run without option 7 and
// without tips does to the text).
Text optimiereText(Text text, const Optionsmenge& options, const Ersetzungstabelle& tabelle,
                   Kodierung kodierung = Kodierung::Cp1252);

// What a pass is called for the user (UTF-8): its option's caption, or for passes done in one
// sweep a short name for what they have in common ("Leerraum", "Leerraum und Sonderzeichen").
std::string passName(std::string_view schluessel);
// The captions of the options behind a pass, in the run's order.
std::vector<std::string_view> passOptionen(std::string_view schluessel);

}  // namespace quintaro
