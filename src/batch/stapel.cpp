// One file of a batch run, and the loop over the files with its grouped flushing.
#include "batch/stapel.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <system_error>
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
    std::string kennung;  // the file as it was read
    Kodierung kodierung = Kodierung::Cp1252;
    std::optional<Laufergebnis> lauf;  // run ahead
    std::exception_ptr laufFehler;     // the run ahead failed: thrown in the page's turn
};

// `mitKennung`: the file's identity is wanted (a page may be listed twice).
Seite seiteLaden(Dateien& dateien, const std::string& gelistet, const Optionsmenge& optionen,
                 KodierungsWahl wahl, std::size_t kapazitaet, bool mitKennung = true) {
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
    if (mitKennung) seite.kennung = dateien.kennung(seite.pfad);
    seite.kodierung = kodierungFuer(wahl, seite.text);
    return seite;
}

// Without KMM a run in the mode Automatisch asks nothing; were it to ask, closing the box is the
// answer, as without a front end.
class KeineFragen : public Fragen {
  public:
    Antwort frage(const std::string&, const Zwischenstand&) override { return Antwort::Abbrechen; }
};

void seiteRechnen(Seite& seite, const Optionsmenge& optionen, const Ersetzungstabelle& tabelle,
                  std::size_t kapazitaet) {
    if (seite.text.empty()) return;
    try {
        KeineFragen fragen;
        const Laufoptionen lauf{optionen, tabelle, seite.kodierung, Modus::Automatisch, kapazitaet};
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
    ergebnis.kodierung = seite.kodierung;
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
        const Laufoptionen lauf{optionen, tabelle, seite.kodierung, Modus::Automatisch, kapazitaet};
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

// What a batch's threads work through, as stapelLauf was given it.
struct Auftrag {
    const std::vector<std::string>& pfade;
    const Optionsmenge& optionen;
    const Ersetzungstabelle& tabelle;
    KodierungsWahl wahl;
    std::size_t kapazitaet;
    Fehlerpolitik politik;
};

// Threads that load and run the pages ahead of the caller's turn, at most `fenster` pages
// beyond the first one not yet taken back. Every use of the shared Dateien goes through
// `sperre`.
class Vorlauf {
  public:
    Vorlauf(Dateien& dateien, std::mutex& sperre, const Auftrag& auftrag, unsigned faeden)
        : dateien_(dateien), sperre_(sperre), a_(auftrag), plaetze_(std::size_t{faeden} * 3) {
        for (unsigned f = 0; f < faeden; ++f) {
            std::shared_ptr<Dateien> eigene = dateien.nebenleser();
            try {
                faeden_.emplace_back([this, eigene] { arbeiten(eigene.get()); });
            } catch (const std::system_error&) {
                // The process may start no more threads: fewer do, or none (the caller runs
                // the pages itself then).
                if (faeden_.empty()) throw;
                break;
            }
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
                    return ende_ || naechste_ >= a_.pfade.size() ||
                           naechste_ < genommen_ + plaetze_.size();
                });
                if (ende_ || naechste_ >= a_.pfade.size()) return;
                i = naechste_++;
            }
            Platz platz;
            try {
                if (eigene != nullptr) {
                    platz.seite =
                        seiteLaden(*eigene, a_.pfade[i], a_.optionen, a_.wahl, a_.kapazitaet);
                } else {
                    const std::lock_guard lock(sperre_);
                    platz.seite =
                        seiteLaden(dateien_, a_.pfade[i], a_.optionen, a_.wahl, a_.kapazitaet);
                }
                seiteRechnen(*platz.seite, a_.optionen, a_.tabelle, a_.kapazitaet);
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
    const Auftrag a_;

    std::mutex m_;
    std::condition_variable cv_;
    std::vector<Platz> plaetze_;
    std::size_t naechste_ = 0;  // the next page to take up
    std::size_t genommen_ = 0;  // pages taken back by the caller
    bool ende_ = false;
    std::vector<std::thread> faeden_;
};

// What the calling thread hears of the writing threads, in list order: a page done or failed,
// or a group put in place with the pages it could not save.
struct Nachricht {
    std::size_t i = 0;
    std::optional<StapelErgebnis> ergebnis;
    std::exception_ptr fehler;
    std::optional<std::vector<DateiFehlschlag>> gruppe;
};

// Runs of consecutive pages, each written by one thread on files of its own. A run's groups go
// in place only after every run before it is in place; a thread that finishes a run hands its
// last group to the thread that puts groups in place, and goes on with the next run.
class Schreibfaeden {
  public:
    // Null where the pages cannot be shared out so (see stapelLauf).
    static std::unique_ptr<Schreibfaeden> starten(Dateien& dateien, const Auftrag& auftrag,
                                                  const StapelHaken& haken, unsigned faeden) {
        if (haken.frage || haken.meldung || haken.geladen || haken.quelltext) return nullptr;
        if (!dateien.nebenschreiber(1)) return nullptr;
        // Two names of one file would be written by two threads, or out of order.
        std::set<std::string> kennungen;
        for (const auto& pfad : auftrag.pfade) {
            if (!kennungen.insert(dateien.kennung(pfad)).second) return nullptr;
            if (!auftrag.optionen[DKS]) continue;
            const std::string klein = dateinameKlein(pfad);
            if (klein != pfad && !kennungen.insert(dateien.kennung(klein)).second) return nullptr;
        }
        // Several runs a thread, so that the first are in place early (what a stop keeps).
        const std::size_t n = auftrag.pfade.size();
        const std::size_t teile = std::size_t{8} * faeden;
        std::size_t laenge = std::max<std::size_t>((n + teile - 1) / teile, 1);
        if (const std::size_t gruppe = dateien.gruppengroesse(); gruppe > 0) {
            laenge = std::min(laenge, gruppe);
        }
        try {
            return std::unique_ptr<Schreibfaeden>(
                new Schreibfaeden(dateien, auftrag, faeden, laenge));
        } catch (const std::system_error&) {
            return nullptr;
        }
    }

    // The threads finish the pages in hand and put them in place, in list order.
    ~Schreibfaeden() {
        anhalten();
        for (auto& t : faeden_) t.join();
        einsetzer_.join();
    }
    Schreibfaeden(const Schreibfaeden&) = delete;
    Schreibfaeden& operator=(const Schreibfaeden&) = delete;

    // No page more is taken up.
    void anhalten() { begrenzen(auftrag_.pfade.size()); }
    // Nothing from page `bis` on is put in place, and no page more is taken up.
    void begrenzen(std::size_t bis) {
        {
            const std::lock_guard lock(m_);
            grenze_ = std::min(grenze_, bis);
            ende_ = true;
        }
        cv_.notify_all();
    }

    // The next message, or none once everything is heard. While it waits, `zwischendurch` is
    // called now and then (without the lock: it may call anhalten()).
    std::optional<Nachricht> naechste(const std::function<void()>& zwischendurch) {
        std::unique_lock lock(m_);
        for (;;) {
            if (gehoert_ >= (ende_ ? genommen_ : laeufe_)) return std::nullopt;
            Lauf& lauf = platz(gehoert_);
            if (lauf.gelesen < lauf.nachrichten.size()) {
                return std::move(lauf.nachrichten[lauf.gelesen++]);
            }
            if (lauf.fertig) {
                lauf = Lauf{};
                ++gehoert_;
                cv_.notify_all();
                continue;
            }
            // Woken when a run is done; its pages' messages are looked for now and then, which
            // spares the writing threads a wake-up for each page.
            hoerer_.wait_for(lock, std::chrono::milliseconds(20));
            lock.unlock();
            zwischendurch();
            lock.lock();
        }
    }

  private:
    struct Lauf {
        std::vector<Nachricht> nachrichten;
        std::size_t gelesen = 0;
        std::unique_ptr<Dateien> dateien;  // the last group, handed over
        std::size_t gruppeAb = 0;          // its first page
        std::size_t ende = 0;              // where the run stopped
        bool fertig = false;               // all of it in place, everything heard
    };

    Schreibfaeden(Dateien& dateien, const Auftrag& auftrag, unsigned faeden, std::size_t laenge)
        : dateien_(dateien),
          auftrag_(auftrag),
          laenge_(laenge),
          laeufe_((auftrag.pfade.size() + laenge - 1) / laenge),
          grenze_(auftrag.pfade.size()),
          plaetze_(2 * std::size_t{faeden}) {
        einsetzer_ = std::thread([this] { einsetzen(); });
        for (unsigned f = 0; f < faeden; ++f) {
            try {
                faeden_.emplace_back([this] { arbeiten(); });
            } catch (const std::system_error&) {
                // The process may start no more threads: fewer write, or none (the run then
                // goes the other way).
                if (!faeden_.empty()) break;
                anhalten();
                einsetzer_.join();
                throw;
            }
        }
    }

    Lauf& platz(std::size_t k) { return plaetze_[k % plaetze_.size()]; }

    void arbeiten() {
        for (;;) {
            std::size_t k = 0;
            {
                std::unique_lock lock(m_);
                cv_.wait(lock, [&] {
                    return ende_ || genommen_ >= laeufe_ || genommen_ < gehoert_ + plaetze_.size();
                });
                if (ende_ || genommen_ >= laeufe_) return;
                k = genommen_++;
            }
            laufSchreiben(k);
        }
    }

    void melden(std::size_t k, Nachricht nachricht) {
        const std::lock_guard lock(m_);
        platz(k).nachrichten.push_back(std::move(nachricht));
    }

    void laufSchreiben(std::size_t k) {
        // Every run in flight may hold its share of the open files.
        std::unique_ptr<Dateien> eigene = dateien_.nebenschreiber(plaetze_.size());
        const std::size_t ende = std::min((k + 1) * laenge_, auftrag_.pfade.size());
        std::size_t gruppeAb = k * laenge_;
        std::size_t i = gruppeAb;
        for (; i < ende; ++i) {
            {
                const std::lock_guard lock(m_);
                if (ende_ || i >= grenze_) break;
            }
            Nachricht nachricht;
            nachricht.i = i;
            try {
                Seite seite = seiteLaden(*eigene, auftrag_.pfade[i], auftrag_.optionen,
                                         auftrag_.wahl, auftrag_.kapazitaet, false);
                nachricht.ergebnis = seiteAbschliessen(*eigene, seite, auftrag_.optionen,
                                                       auftrag_.tabelle, {}, auftrag_.kapazitaet);
            } catch (...) {
                nachricht.fehler = std::current_exception();
                if (auftrag_.politik == Fehlerpolitik::Anhalten) {
                    const std::lock_guard lock(m_);
                    grenze_ = std::min(grenze_, i);
                }
            }
            melden(k, std::move(nachricht));
            if (eigene->sammlungVoll() && i + 1 < ende) {
                std::unique_lock lock(m_);
                cv_.wait(lock, [&] { return zug_ == k && !schliesst_; });
                schliesst_ = true;
                inPlatz(lock, k, *eigene, gruppeAb, i + 1);
                schliesst_ = false;
                lock.unlock();
                cv_.notify_all();
                gruppeAb = i + 1;
            }
        }
        {
            const std::lock_guard lock(m_);
            Lauf& lauf = platz(k);
            lauf.dateien = std::move(eigene);
            lauf.gruppeAb = gruppeAb;
            lauf.ende = i;
        }
        cv_.notify_all();
    }

    // The runs' last groups, each in its turn, on a thread of their own: the flush waits for the
    // disk, and the writing threads go on meanwhile.
    void einsetzen() {
        std::unique_lock lock(m_);
        for (;;) {
            cv_.wait(lock, [&] {
                return zug_ >= (ende_ ? genommen_ : laeufe_) ||
                       (platz(zug_).dateien && !schliesst_);
            });
            if (zug_ >= (ende_ ? genommen_ : laeufe_)) return;
            schliesst_ = true;
            Lauf& naechster = platz(zug_);
            const std::unique_ptr<Dateien> fertige = std::move(naechster.dateien);
            inPlatz(lock, zug_, *fertige, naechster.gruppeAb, naechster.ende);
            naechster.fertig = true;
            ++zug_;
            schliesst_ = false;
            cv_.notify_all();
            hoerer_.notify_all();
        }
    }

    // The group of run `k` from page `ab` to `bis`, in its turn (`lock` held, released while it
    // is written): in place, or dropped when it lies beyond the limit.
    void inPlatz(std::unique_lock<std::mutex>& lock, std::size_t k, Dateien& eigene, std::size_t ab,
                 std::size_t bis) {
        const bool weg = ab >= grenze_;
        lock.unlock();
        std::vector<DateiFehlschlag> fehler;
        if (weg) {
            eigene.verwerfen();
        } else {
            fehler = eigene.abschliessen();
        }
        lock.lock();
        if (fehler.empty()) return;
        if (auftrag_.politik == Fehlerpolitik::Anhalten) grenze_ = std::min(grenze_, bis);
        Nachricht nachricht;
        nachricht.gruppe = std::move(fehler);
        platz(k).nachrichten.push_back(std::move(nachricht));
    }

    Dateien& dateien_;
    const Auftrag auftrag_;
    const std::size_t laenge_;  // pages of a run
    const std::size_t laeufe_;

    std::mutex m_;
    std::condition_variable cv_;      // the writing threads and the one that puts runs in place
    std::condition_variable hoerer_;  // the calling thread
    bool ende_ = false;
    bool schliesst_ = false;    // a thread is putting a group in place
    std::size_t grenze_;        // pages from here on are not put in place
    std::size_t genommen_ = 0;  // runs taken up
    std::size_t gehoert_ = 0;   // runs the caller heard of completely
    std::size_t zug_ = 0;       // the run whose groups go in place now
    std::vector<Lauf> plaetze_;
    std::vector<std::thread> faeden_;
    std::thread einsetzer_;
};

}  // namespace

StapelErgebnis dateiOptimieren(Dateien& dateien, const std::string& gelistet,
                               const Optionsmenge& optionen, const Ersetzungstabelle& tabelle,
                               const StapelHaken& haken, std::size_t kapazitaet) {
    Seite seite = seiteLaden(dateien, gelistet, optionen, haken.kodierung, kapazitaet);
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
    if (optionen[KMM] || pfade.size() < 2) faeden = 1;
    const Auftrag auftrag{pfade, optionen, tabelle, haken.kodierung, kapazitaet, politik};
    if (faeden > 1) {
        if (auto schreiber = Schreibfaeden::starten(dateien, auftrag, haken, faeden)) {
            const auto abbruch = [&] {
                if (bilanz.abgebrochen || !melder.abbrechen || !melder.abbrechen()) return;
                bilanz.abgebrochen = true;
                schreiber->anhalten();
            };
            std::size_t gehoert = 0;  // pages before this one were heard of
            try {
                while (auto nachricht = schreiber->naechste(abbruch)) {
                    if (nachricht->gruppe) {
                        for (const auto& f : *nachricht->gruppe) melden(f.pfad, f.meldung);
                        if (!nachricht->gruppe->empty() && politik == Fehlerpolitik::Anhalten) {
                            throw DateiFehler(nachricht->gruppe->front().meldung);
                        }
                        continue;
                    }
                    abbruch();
                    const std::size_t i = nachricht->i;
                    gehoert = i + 1;
                    if (melder.beginnt) melder.beginnt(i, pfade.size(), pfade[i]);
                    ++bilanz.bearbeitet;
                    try {
                        if (nachricht->fehler) std::rethrow_exception(nachricht->fehler);
                        if (melder.fertig) melder.fertig(i, pfade[i], *nachricht->ergebnis);
                    } catch (const std::exception& e) {
                        if (politik == Fehlerpolitik::Anhalten) throw;
                        melden(pfade[i], e.what());
                    }
                }
            } catch (...) {
                schreiber->begrenzen(gehoert);
                throw;
            }
            return bilanz;
        }
    }
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
    // Declared after the gathering: its threads are done before the group is put in place.
    std::optional<Vorlauf> vorlauf;
    if (faeden > 1) {
        try {
            vorlauf.emplace(dateien, sperre, auftrag, faeden);
        } catch (const std::system_error&) {
            // No thread could be started: the pages are read and run in their turn.
        }
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
            if (!seite) seite = seiteLaden(dateien, pfad, optionen, haken.kodierung, kapazitaet);
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
