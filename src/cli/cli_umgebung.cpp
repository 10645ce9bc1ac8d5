// The command line's surroundings of a run.
#include "cli/cli_umgebung.h"

#include <utility>

namespace quintaro::cli {

CliUmgebung::CliUmgebung(Text text, const OptionSet& optionen, const Ersetzungstabelle& tabelle,
                         Fragesteller frage, KodierungsWahl wahl)
    : OhneFensterUmgebung(std::move(text), optionen, tabelle, {}, wahl), frage_(std::move(frage)) {}

Antwort CliUmgebung::frage(const std::string& text, Knoepfe knoepfe) {
    if (frage_) return frage_(text, knoepfe);
    return knoepfe == Knoepfe::JaNeinAbbrechen ? Antwort::Abbrechen : Antwort::Nein;
}

Text CliUmgebung::KeineDateien::lesen(const std::string& pfad, std::size_t) {
    throw DateiFehler("cannot read " + pfad + ": this mode reads standard input only");
}

void CliUmgebung::KeineDateien::kopieren(const std::string&, const std::string& nach, bool) {
    throw DateiFehler("cannot write " + nach + ": this mode writes standard output only");
}

void CliUmgebung::KeineDateien::schreiben(const std::string& pfad, const Text&) {
    // Only an interactive run writes a file (its preview); this one never has a place for it.
    throw DateiFehler("cannot write " + pfad + ": this mode writes standard output only");
}

}  // namespace quintaro::cli
