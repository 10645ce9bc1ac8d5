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

void CliUmgebung::schreibeDatei(const std::string& path, const Text&) {
    // Only an interactive run writes a file (its preview); this one never has a place for it.
    throw DateiFehler("cannot write " + path + ": this mode writes standard output only");
}

}  // namespace quintaro::cli
