// One file of a batch run, and the loop over the files with its grouped flushing.
#include "batch/stapel.h"

#include <exception>
#include <utility>

#include "document/sicher_schreiben.h"
#include "engine/pfade.h"

namespace quintaro {

namespace {

// A batch run's questions go to the front end's callbacks, with the text brought up to date
// first. Without a callback a question is answered as closing the box would: Abbrechen.
class HakenFragen : public Fragen {
  public:
    explicit HakenFragen(const StapelHaken& haken) : haken_(haken) {}
    Antwort frage(const std::string& text, const Zwischenstand& stand) override {
        if (haken_.quelltext && stand.geaendert()) haken_.quelltext(stand.text());
        if (!haken_.frage) return Antwort::Abbrechen;
        return haken_.frage(text, Knoepfe::JaNeinAbbrechen);
    }

  private:
    const StapelHaken& haken_;
};

// While it lives, `dateien` gathers; at its end, whatever it gathered is put in place.
class Sammlung {
  public:
    explicit Sammlung(Dateien& dateien) : dateien_(dateien) { dateien_.sammeln(true); }
    ~Sammlung() {
        // Failures here have no one left to tell (the run ends with another error); the pages
        // concerned stay as they were.
        static_cast<void>(dateien_.abschliessen());
        dateien_.sammeln(false);
    }
    Sammlung(const Sammlung&) = delete;
    Sammlung& operator=(const Sammlung&) = delete;
    std::vector<DateiFehlschlag> abschliessen() { return dateien_.abschliessen(); }

  private:
    Dateien& dateien_;
};

}  // namespace

int fortschrittSchritt(int position) {
    return position >= kFortschrittMaximum ? 0 : position + 1;
}

std::string stapelSpeichern(Dateien& dateien, const std::string& aktuelleDatei, const Text& text,
                            const std::string& geladenerPfad) {
    return speichernUnter(dateien, aktuelleDatei, text, geladenerPfad, true);
}

std::string stapelSpeichern(const std::string& aktuelleDatei, const Text& text,
                            const std::string& geladenerPfad) {
    LokaleDateien dateien;
    return stapelSpeichern(dateien, aktuelleDatei, text, geladenerPfad);
}

StapelErgebnis dateiOptimieren(Dateien& dateien, const std::string& gelistet,
                               const OptionSet& optionen, const Ersetzungstabelle& tabelle,
                               const StapelHaken& haken, std::size_t kapazitaet) {
    // Any other bytes would name another file when it is saved: refused before anything is
    // touched.
    if (!pfadIstUtf8(gelistet)) throw erstellFehler(gelistet, std::string(kKeinUtf8Name));
    // Listed twice, the file may already carry its lowercase name from the first entry's run.
    std::string pfad = gelistet;
    if (optionen[DKS] && dateien.art(pfad) == Dateiart::Fehlt) {
        const std::string klein = dateinameKlein(pfad);
        if (dateien.art(klein) == Dateiart::Datei) pfad = klein;
    }
    Dokument dokument(dateien, kapazitaet);
    Text text = dokument.laden(pfad);
    StapelErgebnis ergebnis;
    ergebnis.pfad = pfad;
    ergebnis.originalGroesse = dokument.originalGroesse();
    if (haken.geladen) haken.geladen(pfad, ergebnis.originalGroesse, text);
    if (text.empty()) {
        if (haken.meldung) haken.meldung(std::string(meldungen::kLeererQuelltext));
        ergebnis.status = StapelStatus::Leer;
        ergebnis.lauf.leer = true;
        return ergebnis;
    }

    ergebnis.sicherung = dokument.sichern(Modus::Automatisch, optionen[SK]);
    HakenFragen fragen(haken);
    const Laufoptionen lauf{optionen, tabelle, kodierungFuer(haken.kodierung, text),
                            Modus::Automatisch, kapazitaet};
    ergebnis.lauf = laufen(text, lauf, fragen);
    if (ergebnis.lauf.abgebrochen) {
        if (haken.quelltext && ergebnis.lauf.neuerStand) haken.quelltext(text);
        ergebnis.status = StapelStatus::Abgebrochen;
        return ergebnis;
    }
    if (optionen[DKS]) dokument.dateinameKlein();
    ergebnis.pfad = dokument.stapelSpeichern(text);
    ergebnis.status = StapelStatus::Gespeichert;
    ergebnis.optimiertGroesse = text.size();
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

StapelBilanz stapelLauf(Dateien& dateien, const std::vector<std::string>& pfade,
                        const OptionSet& optionen, const Ersetzungstabelle& tabelle,
                        const StapelHaken& haken, const StapelMelder& melder, Fehlerpolitik politik,
                        std::size_t kapazitaet) {
    StapelBilanz bilanz;
    const auto melden = [&](const std::string& pfad, const std::string& meldung) {
        ++bilanz.fehlgeschlagen;
        if (melder.fehler) melder.fehler(pfad, meldung);
    };
    Sammlung sammlung(dateien);
    // A page found unsaved when its group is put in place is reported then.
    const auto abschliessen = [&] {
        const auto fehler = sammlung.abschliessen();
        for (const auto& f : fehler) melden(f.pfad, f.meldung);
        if (!fehler.empty() && politik == Fehlerpolitik::Anhalten) {
            throw DateiFehler(fehler.front().meldung);
        }
    };
    for (std::size_t i = 0; i < pfade.size(); ++i) {
        if (melder.abbrechen && melder.abbrechen()) {
            bilanz.abgebrochen = true;
            break;
        }
        const std::string& pfad = pfade[i];
        if (melder.beginnt) melder.beginnt(i, pfade.size(), pfad);
        ++bilanz.bearbeitet;
        try {
            const StapelErgebnis ergebnis =
                dateiOptimieren(dateien, pfad, optionen, tabelle, haken, kapazitaet);
            if (melder.fertig) melder.fertig(i, pfad, ergebnis);
        } catch (const std::exception& e) {
            if (politik == Fehlerpolitik::Anhalten) throw;
            melden(pfad, e.what());
        }
        if (dateien.sammlungVoll()) abschliessen();
    }
    abschliessen();
    return bilanz;
}

}  // namespace quintaro
