// One file of a batch run, and the loop over the files with its grouped flushing.
#include "batch/stapel.h"

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
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

namespace {

// A page loaded, and perhaps already run, before its turn.
struct Seite {
    std::string pfad;  // what was loaded (the lowercase name DKS gave on an earlier entry)
    std::int32_t originalGroesse = -1;
    Text text;
    std::string kennung;               // the file as it was read
    std::optional<Laufergebnis> lauf;  // run ahead
    std::exception_ptr laufFehler;     // the run ahead failed: thrown in the page's turn
};

Seite seiteLaden(Dateien& dateien, const std::string& gelistet, const Optionsmenge& optionen,
                 std::size_t kapazitaet) {
    // Any other bytes would name another file when it is saved: refused before anything is
    // touched.
    if (!pfadIstUtf8(gelistet)) throw erstellFehler(gelistet, std::string(kKeinUtf8Name));
    Seite seite;
    // Listed twice, the file may already carry its lowercase name from the first entry's run.
    seite.pfad = gelistet;
    if (optionen[DKS] && dateien.art(seite.pfad) == Dateiart::Fehlt) {
        const std::string klein = dateinameKlein(seite.pfad);
        if (dateien.art(klein) == Dateiart::Datei) seite.pfad = klein;
    }
    Dokument dokument(dateien, kapazitaet);
    seite.text = dokument.laden(seite.pfad);
    seite.originalGroesse = dokument.originalGroesse();
    seite.kennung = dateien.kennung(seite.pfad);
    return seite;
}

// Without KMM a run in the mode Automatisch asks nothing; were it to ask, closing the box is the
// answer, as without a front end.
class KeineFragen : public Fragen {
  public:
    Antwort frage(const std::string&, const Zwischenstand&) override { return Antwort::Abbrechen; }
};

void seiteRechnen(Seite& seite, const Optionsmenge& optionen, const Ersetzungstabelle& tabelle,
                  KodierungsWahl wahl, std::size_t kapazitaet) {
    if (seite.text.empty()) return;
    try {
        KeineFragen fragen;
        const Laufoptionen lauf{optionen, tabelle, kodierungFuer(wahl, seite.text),
                                Modus::Automatisch, kapazitaet};
        seite.lauf = laufen(seite.text, lauf, fragen);
    } catch (...) {
        seite.laufFehler = std::current_exception();
    }
}

// The rest of a file's work, in its turn: the hooks, the backup, the run unless it ran ahead,
// DKS and the save.
StapelErgebnis seiteAbschliessen(Dateien& dateien, Seite& seite, const Optionsmenge& optionen,
                                 const Ersetzungstabelle& tabelle, const StapelHaken& haken,
                                 std::size_t kapazitaet) {
    // The document as its load left it, on the files that gather (it may have been read on
    // others).
    Dokument dokument(dateien, kapazitaet);
    dokument.benennen(seite.pfad);
    Text& text = seite.text;
    StapelErgebnis ergebnis;
    ergebnis.pfad = seite.pfad;
    ergebnis.originalGroesse = seite.originalGroesse;
    if (haken.geladen) haken.geladen(seite.pfad, ergebnis.originalGroesse, text);
    if (text.empty()) {
        if (haken.meldung) haken.meldung(std::string(meldungen::kLeererQuelltext));
        ergebnis.status = StapelStatus::Leer;
        ergebnis.lauf.leer = true;
        return ergebnis;
    }

    ergebnis.sicherung = dokument.sichern(Modus::Automatisch, optionen[SK]);
    if (seite.laufFehler) std::rethrow_exception(seite.laufFehler);
    if (seite.lauf) {
        ergebnis.lauf = std::move(*seite.lauf);
    } else {
        HakenFragen fragen(haken);
        const Laufoptionen lauf{optionen, tabelle, kodierungFuer(haken.kodierung, text),
                                Modus::Automatisch, kapazitaet};
        ergebnis.lauf = laufen(text, lauf, fragen);
    }
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

// Threads that load and run the pages ahead of the caller's turn, at most `fenster` pages
// beyond the first one not yet taken back. Every use of the shared Dateien goes through
// `sperre`.
class Vorlauf {
  public:
    Vorlauf(Dateien& dateien, std::mutex& sperre, const std::vector<std::string>& pfade,
            const Optionsmenge& optionen, const Ersetzungstabelle& tabelle, KodierungsWahl wahl,
            std::size_t kapazitaet, unsigned faeden)
        : dateien_(dateien),
          sperre_(sperre),
          pfade_(pfade),
          optionen_(optionen),
          tabelle_(tabelle),
          wahl_(wahl),
          kapazitaet_(kapazitaet),
          plaetze_(std::size_t{faeden} * 3) {
        for (unsigned f = 0; f < faeden; ++f) {
            std::shared_ptr<Dateien> eigene = dateien.nebenleser();
            faeden_.emplace_back([this, eigene] { arbeiten(eigene.get()); });
        }
    }
    ~Vorlauf() {
        {
            const std::lock_guard lock(m_);
            ende_ = true;
        }
        cv_.notify_all();
        for (auto& t : faeden_) t.join();
    }
    Vorlauf(const Vorlauf&) = delete;
    Vorlauf& operator=(const Vorlauf&) = delete;

    // Page `i`, once it is loaded and run; throws what its load threw. The next call is for
    // `i + 1`.
    Seite nehmen(std::size_t i) {
        Platz& platz = plaetze_[i % plaetze_.size()];
        std::unique_lock lock(m_);
        cv_.wait(lock, [&] { return platz.fertig; });
        Platz genommen = std::move(platz);
        platz = Platz{};
        genommen_ = i + 1;
        lock.unlock();
        cv_.notify_all();
        if (genommen.fehler) std::rethrow_exception(genommen.fehler);
        return std::move(*genommen.seite);
    }

  private:
    struct Platz {
        std::optional<Seite> seite;
        std::exception_ptr fehler;
        bool fertig = false;
    };

    // `eigene`: files of this thread's own, read without waiting for the shared ones.
    void arbeiten(Dateien* eigene) {
        for (;;) {
            std::size_t i = 0;
            {
                std::unique_lock lock(m_);
                cv_.wait(lock, [&] {
                    return ende_ || naechste_ >= pfade_.size() ||
                           naechste_ < genommen_ + plaetze_.size();
                });
                if (ende_ || naechste_ >= pfade_.size()) return;
                i = naechste_++;
            }
            Platz platz;
            try {
                if (eigene != nullptr) {
                    platz.seite = seiteLaden(*eigene, pfade_[i], optionen_, kapazitaet_);
                } else {
                    const std::lock_guard lock(sperre_);
                    platz.seite = seiteLaden(dateien_, pfade_[i], optionen_, kapazitaet_);
                }
                seiteRechnen(*platz.seite, optionen_, tabelle_, wahl_, kapazitaet_);
            } catch (...) {
                platz.fehler = std::current_exception();
            }
            platz.fertig = true;
            {
                const std::lock_guard lock(m_);
                plaetze_[i % plaetze_.size()] = std::move(platz);
            }
            cv_.notify_all();
        }
    }

    Dateien& dateien_;
    std::mutex& sperre_;
    const std::vector<std::string>& pfade_;
    const Optionsmenge& optionen_;
    const Ersetzungstabelle& tabelle_;
    KodierungsWahl wahl_;
    std::size_t kapazitaet_;

    std::mutex m_;
    std::condition_variable cv_;
    std::vector<Platz> plaetze_;
    std::size_t naechste_ = 0;  // the next page to take up
    std::size_t genommen_ = 0;  // pages taken back by the caller
    bool ende_ = false;
    std::vector<std::thread> faeden_;
};

}  // namespace

StapelErgebnis dateiOptimieren(Dateien& dateien, const std::string& gelistet,
                               const Optionsmenge& optionen, const Ersetzungstabelle& tabelle,
                               const StapelHaken& haken, std::size_t kapazitaet) {
    Seite seite = seiteLaden(dateien, gelistet, optionen, kapazitaet);
    return seiteAbschliessen(dateien, seite, optionen, tabelle, haken, kapazitaet);
}

StapelErgebnis dateiOptimieren(const std::string& pfad, const Optionsmenge& optionen,
                               const Ersetzungstabelle& tabelle, const StapelFrage& frage,
                               const StapelMeldung& meldung, const StapelGeladen& geladen,
                               KodierungsWahl wahl) {
    LokaleDateien dateien;
    return dateiOptimieren(dateien, pfad, optionen, tabelle,
                           StapelHaken{frage, meldung, geladen, {}, wahl});
}

unsigned standardFaeden() {
    const unsigned kerne = std::thread::hardware_concurrency();
    return kerne > 0 ? kerne : 1;
}

StapelBilanz stapelLauf(Dateien& dateien, const std::vector<std::string>& pfade,
                        const Optionsmenge& optionen, const Ersetzungstabelle& tabelle,
                        const StapelHaken& haken, const StapelMelder& melder, Fehlerpolitik politik,
                        std::size_t kapazitaet, unsigned faeden) {
    StapelBilanz bilanz;
    const auto melden = [&](const std::string& pfad, const std::string& meldung) {
        ++bilanz.fehlgeschlagen;
        if (melder.fehler) melder.fehler(pfad, meldung);
    };
    std::mutex sperre;
    std::unique_lock dateienFrei(sperre);
    Sammlung sammlung(dateien);
    // A page found unsaved when its group is put in place is reported then.
    const auto abschliessen = [&] {
        const auto fehler = sammlung.abschliessen();
        for (const auto& f : fehler) melden(f.pfad, f.meldung);
        if (!fehler.empty() && politik == Fehlerpolitik::Anhalten) {
            throw DateiFehler(fehler.front().meldung);
        }
    };
    if (optionen[KMM] || pfade.size() < 2) faeden = 1;
    // Declared after the gathering: its threads are done before the group is put in place.
    std::optional<Vorlauf> vorlauf;
    if (faeden > 1) {
        vorlauf.emplace(dateien, sperre, pfade, optionen, tabelle, haken.kodierung, kapazitaet,
                        faeden);
    }
    // However the loop ends, the threads stop before the group is put in place, and they may
    // still wait for the files to finish a load.
    struct FaedenEnde {
        std::unique_lock<std::mutex>& frei;
        std::optional<Vorlauf>& vorlauf;
        ~FaedenEnde() {
            if (!vorlauf) return;
            if (frei.owns_lock()) frei.unlock();
            vorlauf.reset();
        }
    } faedenEnde{dateienFrei, vorlauf};
    // The files this run saved, as they were read: a page read ahead as one of them is stale.
    std::set<std::string> gespeichert;
    for (std::size_t i = 0; i < pfade.size(); ++i) {
        if (melder.abbrechen && melder.abbrechen()) {
            bilanz.abgebrochen = true;
            break;
        }
        const std::string& pfad = pfade[i];
        if (melder.beginnt) melder.beginnt(i, pfade.size(), pfad);
        ++bilanz.bearbeitet;
        try {
            std::optional<Seite> seite;
            if (vorlauf) {
                dateienFrei.unlock();
                try {
                    seite = vorlauf->nehmen(i);
                } catch (...) {
                    dateienFrei.lock();
                    throw;
                }
                dateienFrei.lock();
                if (gespeichert.contains(seite->kennung)) seite.reset();
            }
            if (!seite) seite = seiteLaden(dateien, pfad, optionen, kapazitaet);
            if (vorlauf) gespeichert.insert(seite->kennung);
            const StapelErgebnis ergebnis =
                seiteAbschliessen(dateien, *seite, optionen, tabelle, haken, kapazitaet);
            if (melder.fertig) melder.fertig(i, pfad, ergebnis);
        } catch (const std::exception& e) {
            if (politik == Fehlerpolitik::Anhalten) throw;
            melden(pfad, e.what());
        }
        if (dateien.sammlungVoll()) abschliessen();
    }
    if (vorlauf) {
        dateienFrei.unlock();
        vorlauf.reset();
        dateienFrei.lock();
    }
    abschliessen();
    return bilanz;
}

}  // namespace quintaro
