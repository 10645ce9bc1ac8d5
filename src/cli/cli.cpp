// quintaro-cli's modes: the help text, the filter from standard input to standard output, and
// the batch mode over files.
#include "cli/cli.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <utility>

#include "cli/argumente.h"
#include "cli/bericht.h"
#include "cli/stapellauf.h"
#include "cli/terminal.h"
#include "document/ein_ausgabe.h"
#include "engine/aenderungen.h"
#include "engine/kapazitaet.h"
#include "engine/optimierung.h"
#include "engine/text.h"
#include "engine/tipps.h"

namespace quintaro::cli {

namespace {

// Questions of the run (KMM's) on the terminal; without one, as closing the box would answer.
class TerminalFragen : public Fragen {
  public:
    explicit TerminalFragen(Terminal* terminal) : terminal_(terminal) {}
    Antwort frage(const std::string& text, const Zwischenstand&) override {
        return terminal_ != nullptr ? terminal_->frage(text, Knoepfe::JaNeinAbbrechen)
                                    : Antwort::Abbrechen;
    }

  private:
    Terminal* terminal_;
};

int filterLaufen(const Aufruf& aufruf, const Kanaele& k) {
    // Asked for before any input is taken, so a refusal leaves standard input unread.
    std::unique_ptr<Terminal> terminal;
    if (const int fehler = kmmTerminal(aufruf.optionen, k, terminal)) return fehler;

    std::string eingabe;
    // Above the documents' limit the input is refused before all of it is in memory.
    if (const int fehler = allesLesen(k.ein, eingabe, kMemoKapazitaet)) {
        fehlerZeile(k, fehler == EFBIG
                           ? "standard input is larger than " + std::to_string(kMemoKapazitaet) +
                                 " bytes, the limit for a page: nothing written"
                           : std::string("cannot read standard input: ") + std::strerror(fehler));
        return kEinAusgabeFehler;
    }
    if (eingabe.empty()) {
        fehlerZeile(k, "standard input is empty: no page to optimise, nothing written");
        return kAufruffehler;
    }

    // The page goes through the run in the buffer it was read into.
    const std::size_t eingelesen = eingabe.size();
    umbruecheVereinheitlichenAnOrt(eingabe);
    if (eingabe.size() > kMemoKapazitaet) {
        fehlerZeile(k, std::string(kMemoKapazitaetFehler) + ": nothing written");
        return kEinAusgabeFehler;
    }
    if (eingabe.empty()) {
        allesSchreiben(k.fehler, sichtbar(meldungen::kLeererQuelltext, true) + "\n");
        return kFertig;
    }
    TerminalFragen fragen(terminal.get());
    const Kodierung kodierung = kodierungFuer(aufruf.kodierung, eingabe);
    const Laufoptionen lauf{aufruf.optionen, aufruf.tabelle, kodierung, Modus::Automatisch,
                            kMemoKapazitaet};
    // --check compares with the page as read.
    const Text original = aufruf.pruefen ? eingabe : Text();
    Laufergebnis ergebnis;
    try {
        ergebnis = laufen(eingabe, lauf, fragen);
    } catch (const DateiFehler& e) {
        // The text would outgrow the limit: nothing is written.
        fehlerZeile(k, std::string(e.what()) + ": nothing written");
        return kAbgebrochen;
    }
    if (ergebnis.abgebrochen) {
        fehlerZeile(k, "abandoned, nothing written");
        return kAbgebrochen;
    }
    if (!aufruf.pruefen) {
        if (const int fehler = allesSchreiben(k.aus, eingabe)) {
            fehlerZeile(k, std::string("cannot write standard output: ") + std::strerror(fehler));
            return kEinAusgabeFehler;
        }
    }
    if (aufruf.tipps) {
        for (const auto tipp : optimierungstipps(eingabe)) {
            allesSchreiben(k.fehler, sichtbar(tipp, true) + "\n\n");
        }
    }
    allesSchreiben(k.fehler, seitenBericht(aufruf.bericht, std::nullopt, "standard input",
                                           kodierung, ergebnis));
    if (!aufruf.pruefen) return kFertig;
    // Standard output stays empty: the verdict, and the changes, go to standard error.
    if (eingabe == original && eingelesen == original.size()) return kFertig;
    fehlerZeile(k, "standard input: " + pruefText(eingelesen, eingabe.size()));
    if (aufruf.diff) {
        allesSchreiben(k.fehler, einheitlichesDiff(original, eingabe, vergleiche(original, eingabe),
                                                   "standard input", "standard input"));
    }
    return kGeaendert;
}

}  // namespace

int hauptprogramm(std::span<const std::string_view> args, const Kanaele& kanaele) {
    try {
        auto gelesen = argumenteLesen(args);
        if (const auto* fehler = std::get_if<ArgumentFehler>(&gelesen)) {
            fehlerZeile(kanaele, fehler->meldung);
            return kAufruffehler;
        }
        const auto& aufruf = std::get<Aufruf>(gelesen);
        switch (aufruf.art()) {
            case Art::Hilfe:
                if (const int fehler = allesSchreiben(kanaele.aus, aufrufText())) {
                    fehlerZeile(kanaele, std::string("cannot write the help to standard output: ") +
                                             std::strerror(fehler));
                    return kEinAusgabeFehler;
                }
                return kFertig;
            case Art::Version:
                if (const int fehler = allesSchreiben(kanaele.aus, versionText())) {
                    fehlerZeile(kanaele, std::string("cannot write the version to standard "
                                                     "output: ") +
                                             std::strerror(fehler));
                    return kEinAusgabeFehler;
                }
                return kFertig;
            case Art::Stapel:
                return stapelLaufen(aufruf, kanaele);
            case Art::Filter:
                break;
        }
        return filterLaufen(aufruf, kanaele);
    } catch (const std::exception& e) {
        fehlerZeile(kanaele, sichtbar(e.what(), false));
        return kEinAusgabeFehler;
    }
}

}  // namespace quintaro::cli
