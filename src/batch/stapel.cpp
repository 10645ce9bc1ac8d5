// One file of a batch run, and the batch save that never loses the file it replaces.
#include "batch/stapel.h"

#include <sys/stat.h>

#include <cerrno>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

#include "document/dokument.h"
#include "engine/optimierung.h"
#include "engine/utf8.h"

namespace quintaro {

namespace {

struct Kennung {
    dev_t geraet;
    ino_t knoten;
    bool operator==(const Kennung&) const = default;
};

std::optional<Kennung> kennung(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
    return Kennung{st.st_dev, st.st_ino};
}

// True when both paths lead to one and the same file (one name under two letter cases on a file
// system that ignores case, a hard link, a symbolic link).
bool gleicheDatei(const std::string& a, const std::string& b) {
    const auto ka = kennung(a);
    return ka && ka == kennung(b);
}

bool etwasDa(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// The safe save goes through Qt, which takes file names as UTF-8: any other bytes would name a
// different file, so such a path is refused before anything is touched.
void nurUtf8(const std::string& path) {
    if (!utf8::wohlgeformt(path)) {
        throw DateiFehler("Datei \"" + path + "\" kann nicht erstellt werden. " +
                          std::generic_category().message(EILSEQ));
    }
}

}  // namespace

int fortschrittSchritt(int position) {
    return position >= kFortschrittMaximum ? 0 : position + 1;
}

std::string stapelSpeichern(const std::string& aktuelleDatei, const Text& text,
                            const std::string& geladenerPfad) {
    nurUtf8(aktuelleDatei);
    nurUtf8(geladenerPfad);
    if (geladenerPfad.empty() || aktuelleDatei == geladenerPfad) {
        dokumentSchreiben(aktuelleDatei, text);
        return aktuelleDatei;
    }
    const bool dieselbe = gleicheDatei(aktuelleDatei, geladenerPfad);
    if (!dieselbe && etwasDa(aktuelleDatei)) {
        // The new name belongs to another file by now: that file stays, the name is kept.
        dokumentSchreiben(geladenerPfad, text);
        return geladenerPfad;
    }
    dokumentSchreiben(aktuelleDatei, text);
    // Only now is the text safe under the new name. A failed removal leaves both names, the
    // optimised text under the new one: nothing is lost.
    if (!dieselbe && !gleicheDatei(aktuelleDatei, geladenerPfad)) dateiLoeschen(geladenerPfad);
    return aktuelleDatei;
}

DateiUmgebung::DateiUmgebung(std::string pfad, Text text, const OptionSet& optionen,
                             const Ersetzungstabelle& tabelle, StapelFrage frage,
                             StapelMeldung meldung, KodierungsWahl wahl)
    : OhneFensterUmgebung(std::move(text), optionen, tabelle, pfad, wahl),
      geladenerPfad_(std::move(pfad)),
      frage_(std::move(frage)),
      meldung_(std::move(meldung)) {}

Antwort DateiUmgebung::frage(const std::string& text, Knoepfe knoepfe) {
    if (frage_) return frage_(text, knoepfe);
    return knoepfe == Knoepfe::JaNeinAbbrechen ? Antwort::Abbrechen : Antwort::Nein;
}

void DateiUmgebung::meldung(const std::string& text) {
    if (meldung_) meldung_(text);
}

bool DateiUmgebung::dateiExistiert(const std::string& path) {
    return quintaro::dateiExistiert(path) &&
           (path == geladenerPfad_ || !gleicheDatei(path, geladenerPfad_));
}

bool DateiUmgebung::kopiereDatei(const std::string& from, const std::string& to, bool overwrite) {
    return dateiKopieren(from, to, overwrite);
}

std::int32_t DateiUmgebung::dateigroesse(const std::string& path) {
    return Dateigroesse(path);
}

void DateiUmgebung::schreibeDatei(const std::string& path, const Text& text) {
    dokumentSchreiben(path, text);
}

void DateiUmgebung::dokumentSpeichernBatch() {
    gespeichertUnter_ = stapelSpeichern(datei(), text(), geladenerPfad_);
}

StapelErgebnis dateiOptimieren(const std::string& pfad, const OptionSet& optionen,
                               const Ersetzungstabelle& tabelle, const StapelFrage& frage,
                               const StapelMeldung& meldung, const StapelGeladen& geladen,
                               KodierungsWahl wahl) {
    nurUtf8(pfad);
    Text text = dokumentLesen(pfad);
    StapelErgebnis ergebnis;
    ergebnis.pfad = pfad;
    ergebnis.originalGroesse = Dateigroesse(pfad);
    if (geladen) geladen(pfad, ergebnis.originalGroesse);

    const bool leer = text.empty();
    DateiUmgebung umgebung(pfad, std::move(text), optionen, tabelle, frage, meldung, wahl);
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

}  // namespace quintaro
