// One file of a batch run, and the batch save that never loses the file it replaces.
#include "batch/stapel.h"

#include <cerrno>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

#include "engine/optimierung.h"
#include "engine/utf8.h"

namespace quintaro {

namespace {

// The safe save goes through Qt, which takes file names as UTF-8: any other bytes would name a
// different file, so such a path is refused before anything is touched.
void nurUtf8(const std::string& path) {
    if (!utf8::wohlgeformt(path)) {
        throw DateiFehler("Datei \"" + path + "\" kann nicht erstellt werden. " +
                          std::string(kKeinUtf8Name));
    }
}

}  // namespace

int fortschrittSchritt(int position) {
    return position >= kFortschrittMaximum ? 0 : position + 1;
}

std::string stapelSpeichern(Dateien& dateien, const std::string& aktuelleDatei, const Text& text,
                            const std::string& geladenerPfad) {
    nurUtf8(aktuelleDatei);
    nurUtf8(geladenerPfad);
    const auto speichern = [&](const std::string& pfad) {
        dateien.schreiben(pfad, text);
        return pfad;
    };
    if (geladenerPfad.empty() || aktuelleDatei == geladenerPfad) return speichern(aktuelleDatei);
    // A page that is a link stays one: its target is saved as without DKS.
    if (dateien.art(geladenerPfad) == Dateiart::Verweis) return speichern(geladenerPfad);
    // One file under both names (a file system that ignores case): the save renames nothing.
    if (dateien.dieselbeDatei(aktuelleDatei, geladenerPfad)) return speichern(aktuelleDatei);
    // The new name belongs to another file: that file stays, the name is kept.
    if (dateien.art(aktuelleDatei) != Dateiart::Fehlt) return speichern(geladenerPfad);
    // Saved under the old name first, then renamed: the file keeps its permission bits, owner
    // and group, and if the rename fails (the name taken meanwhile) the text is safe anyway.
    speichern(geladenerPfad);
    return dateien.umbenennen(geladenerPfad, aktuelleDatei) ? aktuelleDatei : geladenerPfad;
}

std::string stapelSpeichern(const std::string& aktuelleDatei, const Text& text,
                            const std::string& geladenerPfad) {
    LokaleDateien dateien;
    return stapelSpeichern(dateien, aktuelleDatei, text, geladenerPfad);
}

DateiUmgebung::DateiUmgebung(Dateien& dateien, std::string pfad, Text text,
                             const OptionSet& optionen, const Ersetzungstabelle& tabelle,
                             const StapelHaken& haken, std::size_t kapazitaet)
    : OhneFensterUmgebung(std::move(text), optionen, tabelle, pfad, haken.kodierung),
      dateien_(dateien),
      geladenerPfad_(std::move(pfad)),
      haken_(haken),
      kapazitaet_(kapazitaet) {}

void DateiUmgebung::setzeQuelltext(const Text& text) {
    OhneFensterUmgebung::setzeQuelltext(text);
    if (haken_.quelltext) haken_.quelltext(text);
}

Antwort DateiUmgebung::frage(const std::string& text, Knoepfe knoepfe) {
    if (haken_.frage) return haken_.frage(text, knoepfe);
    return knoepfe == Knoepfe::JaNeinAbbrechen ? Antwort::Abbrechen : Antwort::Nein;
}

void DateiUmgebung::meldung(const std::string& text) {
    if (haken_.meldung) haken_.meldung(text);
}

void DateiUmgebung::dokumentSpeichernBatch() {
    gespeichertUnter_ = stapelSpeichern(dateien_, datei(), text(), geladenerPfad_);
}

StapelErgebnis dateiOptimieren(Dateien& dateien, const std::string& pfad_,
                               const OptionSet& optionen, const Ersetzungstabelle& tabelle,
                               const StapelHaken& haken, std::size_t kapazitaet) {
    nurUtf8(pfad_);
    // Listed twice, the file may already carry its lowercase name from the first entry's run.
    std::string pfad = pfad_;
    if (optionen[DKS] && dateien.art(pfad) == Dateiart::Fehlt) {
        const std::string klein = dateinameKlein(pfad);
        if (dateien.art(klein) == Dateiart::Datei) pfad = klein;
    }
    Text text = dateien.lesen(pfad, kapazitaet);
    StapelErgebnis ergebnis;
    ergebnis.pfad = pfad;
    ergebnis.originalGroesse = dateien.groesse(pfad);
    if (haken.geladen) haken.geladen(pfad, ergebnis.originalGroesse, text);

    const bool leer = text.empty();
    DateiUmgebung umgebung(dateien, pfad, std::move(text), optionen, tabelle, haken, kapazitaet);
    Optimierung(umgebung, Modus::Automatisch);

    if (umgebung.gespeichertUnter().empty()) {
        ergebnis.status = leer ? StapelStatus::Leer : StapelStatus::Abgebrochen;
        return ergebnis;
    }
    ergebnis.status = StapelStatus::Gespeichert;
    ergebnis.pfad = umgebung.gespeichertUnter();
    ergebnis.optimiertGroesse = umgebung.gespeicherteBytes();
    return ergebnis;
}

StapelErgebnis dateiOptimieren(const std::string& pfad, const OptionSet& optionen,
                               const Ersetzungstabelle& tabelle, const StapelFrage& frage,
                               const StapelMeldung& meldung, const StapelGeladen& geladen,
                               KodierungsWahl wahl) {
    LokaleDateien dateien;
    return dateiOptimieren(dateien, pfad, optionen, tabelle,
                           StapelHaken{frage, meldung, geladen, {}, wahl});
}

}  // namespace quintaro
