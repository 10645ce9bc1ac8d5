// The batch mode of quintaro-cli: settings, the per-file run shared with the window, the reports
// on standard error and the progress line on a terminal.
#include "cli/stapellauf.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <exception>
#include <memory>
#include <string_view>

#include "batch/stapel.h"
#include "cli/bericht.h"
#include "cli/einstellungsdatei.h"
#include "cli/terminal.h"
#include "cli/trockene_dateien.h"
#include "document/ein_ausgabe.h"
#include "document/lokale_dateien.h"
#include "document/ordnersuche.h"
#include "document/sicher_schreiben.h"
#include "engine/aenderungen.h"
#include "engine/utf8.h"
#include "settings/ablageort.h"
#include "settings/einstellungen.h"

namespace quintaro::cli {

namespace {

// Back to the start of the line and erase it.
constexpr std::string_view kZeileLoeschen = "\r\x1b[K";

// Standard error gone: nothing left to tell anyone.
void melden(int fd, std::string_view bytes) {
    static_cast<void>(allesSchreiben(fd, bytes));
}

// The progress line on a terminal: files done of total and the current file, rewritten in place.
// Everything else written to standard error goes through melde(), which moves the line out of
// the way and puts it back.
class Fortschrittszeile {
  public:
    Fortschrittszeile(int fd, bool aktiv) : fd_(fd), aktiv_(aktiv) {}
    ~Fortschrittszeile() { verbergen(); }
    Fortschrittszeile(const Fortschrittszeile&) = delete;
    Fortschrittszeile& operator=(const Fortschrittszeile&) = delete;

    void zeige(std::size_t fertig, std::size_t gesamt, const std::string& pfad) {
        if (!aktiv_) return;
        zeile_ =
            kuerzen(zeilenAnfang() + std::to_string(fertig) + "/" + std::to_string(gesamt) + " ",
                    sichtbar(pfad, false));
        melden(fd_, std::string(kZeileLoeschen) + zeile_);
        sichtbar_ = true;
    }

    void melde(const std::string& text) {
        const bool war = sichtbar_;
        verbergen();
        melden(fd_, text);
        if (war) zeigen();
    }

    void verbergen() {
        if (!sichtbar_) return;
        melden(fd_, kZeileLoeschen);
        sichtbar_ = false;
    }

    void zeigen() {
        if (!aktiv_ || zeile_.empty() || sichtbar_) return;
        melden(fd_, std::string(kZeileLoeschen) + zeile_);
        sichtbar_ = true;
    }

  private:
    // A line longer than the terminal would wrap, and \r would then return to its last part
    // only: the path gives way from the front.
    std::string kuerzen(const std::string& kopf, const std::string& pfad) const {
        winsize ws{};
        const std::size_t breite =
            ::ioctl(fd_, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0 ? ws.ws_col : 80;
        const std::size_t platz = breite - 1;
        const std::size_t kopfLaenge = utf8::zeichenAnzahl(kopf);
        const std::size_t pfadLaenge = utf8::zeichenAnzahl(pfad);
        if (kopfLaenge + pfadLaenge <= platz) return kopf + pfad;
        if (kopfLaenge + 3 >= platz) return kopf.substr(0, platz);
        // The path's last characters that fit.
        std::size_t weglassen = pfadLaenge - (platz - kopfLaenge - 3);
        std::size_t anfang = 0;
        for (; weglassen > 0; --weglassen) anfang += utf8::zeichenlaenge(pfad.substr(anfang));
        return kopf + "..." + pfad.substr(anfang);
    }

    int fd_;
    bool aktiv_;
    bool sichtbar_ = false;
    std::string zeile_;
};

// Why an explicitly named settings file cannot be used, or nothing when it can.
std::optional<std::string> unbrauchbar(const std::string& pfad) {
    const int fd = ::open(pfad.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::strerror(errno);
    struct stat st {};
    const bool ok = ::fstat(fd, &st) == 0;
    const int err = errno;
    ::close(fd);
    if (!ok) return std::strerror(err);
    // Anything else reads as empty settings; /dev/null stands for the defaults.
    if (S_ISDIR(st.st_mode)) return std::strerror(EISDIR);
    return std::nullopt;
}

// Ctrl+C during a batch: the run stops before its next file and puts what it has in place.
std::atomic<bool> unterbrochen{false};

extern "C" void unterbrechen(int) {
    unterbrochen.store(true);
}

// While it lives, the first SIGINT only asks the run to stop; a second one ends the process as
// usual (nothing is half-written even then, only the gathered group is lost).
class Unterbrechung {
  public:
    Unterbrechung() {
        unterbrochen.store(false);
        struct sigaction neu {};
        neu.sa_handler = unterbrechen;
        neu.sa_flags = static_cast<int>(SA_RESTART | SA_RESETHAND);
        sigemptyset(&neu.sa_mask);
        aktiv_ = ::sigaction(SIGINT, &neu, &vorher_) == 0;
    }
    ~Unterbrechung() {
        if (aktiv_) ::sigaction(SIGINT, &vorher_, nullptr);
    }
    Unterbrechung(const Unterbrechung&) = delete;
    Unterbrechung& operator=(const Unterbrechung&) = delete;

  private:
    struct sigaction vorher_ {};
    bool aktiv_ = false;
};

}  // namespace

std::optional<std::string> programmOrdner() {
    std::string pfad(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", pfad.data(), pfad.size());
        if (n < 0) return std::nullopt;
        if (static_cast<std::size_t>(n) < pfad.size()) {
            pfad.resize(static_cast<std::size_t>(n));
            break;
        }
        pfad.resize(pfad.size() * 2);
    }
    const auto schraegstrich = pfad.rfind('/');
    if (schraegstrich == std::string::npos) return std::nullopt;
    return schraegstrich == 0 ? std::string("/") : pfad.substr(0, schraegstrich);
}

int stapelLaufen(const Aufruf& aufruf, const Kanaele& k) {
    auto zeile = [&k](const std::string& text) { fehlerZeile(k, text); };

    // The settings file first, then the command line over it.
    Einstellungen einstellungen;
    if (aufruf.einstellungen) {
        if (const auto grund = unbrauchbar(*aufruf.einstellungen)) {
            zeile("--settings '" + sichtbar(*aufruf.einstellungen, false) + "': " + *grund);
            return kAufruffehler;
        }
        if (!einstellungsdateiLesen(*aufruf.einstellungen, "--settings", einstellungen, k)) {
            return kAufruffehler;
        }
    } else if (const auto ordner = programmOrdner()) {
        const std::string datei = einstellungsDatei(*ordner);
        if (dateiExistiert(datei) &&
            !einstellungsdateiLesen(datei, "settings file", einstellungen, k)) {
            return kAufruffehler;
        }
    }
    Optionsmenge optionen = einstellungen.optionen;
    Ersetzungstabelle tabelle = einstellungen.tabelle;
    obenauf(aufruf, optionen, tabelle);

    // Asked for before any file is touched.
    std::unique_ptr<Terminal> terminal;
    if (const int fehler = kmmTerminal(optionen, k, terminal)) return fehler;

    Fortschrittszeile fortschritt(k.fehler, ::isatty(k.fehler) == 1);
    auto melde = [&](const std::string& pfad, const std::string& text) {
        fortschritt.melde(zeilenAnfang() + sichtbar(pfad, false) + ": " + text + "\n");
    };
    StapelFrage frage;
    if (terminal) {
        frage = [&](const std::string& text, Knoepfe knoepfe) {
            fortschritt.verbergen();
            const Antwort a = terminal->frage(text, knoepfe);
            fortschritt.zeigen();
            return a;
        };
    }

    // Without hooks the pages may be written on several threads (see stapelLauf).
    StapelHaken haken{frage, {}, {}, {}, aufruf.kodierung};
    // --check compares each page with what it would become.
    Text geladen;
    if (aufruf.pruefen) {
        haken.geladen = [&](const std::string&, std::int32_t, const Text& text) { geladen = text; };
    }
    Einsparung summe;
    // With --check every file goes through the same run, but nothing is written.
    auto dateien =
        aufruf.pruefen ? std::make_unique<TrockeneDateien>() : std::make_unique<LokaleDateien>();
    auto* trocken = dynamic_cast<TrockeneDateien*>(dateien.get());
    bool geaendert = false;
    bool ausgabeFehler = false;
    auto ausgeben = [&](const std::string& text) {
        if (ausgabeFehler) return;
        fortschritt.verbergen();
        if (const int fehler = allesSchreiben(k.aus, text)) {
            ausgabeFehler = true;
            zeile(std::string("cannot write standard output: ") + std::strerror(fehler));
        }
        fortschritt.zeigen();
    };
    StapelMelder melder;
    melder.beginnt = [&](std::size_t i, std::size_t n, const std::string& pfad) {
        if (trocken != nullptr) trocken->nehmen();
        fortschritt.zeige(i, n, pfad);
    };
    melder.fertig = [&](std::size_t, const std::string& pfad, const StapelErgebnis& ergebnis) {
        if (ergebnis.status == StapelStatus::Leer) {
            melde(pfad, sichtbar(std::string(meldungen::kLeererQuelltext), true));
        }
        if (ergebnis.status == StapelStatus::Abgebrochen) {
            melde(pfad, "abandoned at a question, not saved");
        }
        if (ergebnis.sicherung.behalten && trocken == nullptr) {
            melde(pfad, "kept the existing backup " + sichtbar(ergebnis.sicherung.pfad, false));
        }
        if (ergebnis.status != StapelStatus::Gespeichert) return;
        if (aufruf.bericht != Berichtsart::Kein) {
            fortschritt.melde(seitenBericht(aufruf.bericht, pfad, sichtbar(pfad, false),
                                            ergebnis.kodierung, ergebnis.lauf));
            summe.hinzu(ergebnis.lauf);
        }
        if (trocken == nullptr) return;
        const auto neu = trocken->nehmen();
        if (!neu) return;
        // The file's own bytes change too when its line breaks become CR LF.
        const auto groesse = static_cast<std::size_t>(ergebnis.originalGroesse);
        const bool umbenannt = ergebnis.pfad != pfad;
        if (!umbenannt && groesse == geladen.size() && *neu == geladen) return;
        geaendert = true;
        std::string text = sichtbar(pfad, false) + ": " + pruefText(groesse, neu->size());
        if (umbenannt) text += ", saved as " + sichtbar(ergebnis.pfad, false);
        ausgeben(text + "\n");
        if (aufruf.diff) {
            ausgeben(einheitlichesDiff(geladen, *neu, vergleiche(geladen, *neu),
                                       sichtbar(pfad, false), sichtbar(ergebnis.pfad, false)));
        }
    };
    melder.fehler = [&](const std::string& pfad, const std::string& meldung) {
        melde(pfad, pfadIstUtf8(pfad) ? sichtbar(meldung, false)
                                      : "the file name is not valid UTF-8, the file is left alone");
    };
    // Folders become the files below them, in place of the argument.
    std::vector<std::string> muster = aufruf.filter;
    if (muster.empty()) {
        std::vector<std::string> liste;
        for (const Text& f : einstellungen.filter) liste.push_back(cp1252NachUtf8(f));
        muster = suchmuster(liste);
    }
    std::vector<std::string> pfade;
    std::size_t ordnerFehler = 0;
    for (const std::string& arg : aufruf.dateien) {
        struct stat st {};
        if (!aufruf.rekursiv || ::stat(arg.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            pfade.push_back(arg);
            continue;
        }
        auto inhalt = ordnerDurchsuchen(arg, muster);
        for (const auto& f : inhalt.fehler) {
            melde(f.pfad, "cannot read the folder, its files are left alone: " + f.meldung);
        }
        ordnerFehler += inhalt.fehler.size();
        pfade.insert(pfade.end(), std::make_move_iterator(inhalt.dateien.begin()),
                     std::make_move_iterator(inhalt.dateien.end()));
    }

    melder.abbrechen = [] { return unterbrochen.load(); };
    Unterbrechung unterbrechung;
    const auto bilanz =
        stapelLauf(*dateien, pfade, optionen, tabelle, haken, melder, Fehlerpolitik::Weitermachen,
                   kMemoKapazitaet, aufruf.faeden > 0 ? aufruf.faeden : standardFaeden());
    const bool fehlgeschlagen = bilanz.fehlgeschlagen > 0 || ordnerFehler > 0;
    if (aufruf.bericht == Berichtsart::Tabelle && summe.seiten > 1) {
        fortschritt.melde("all " + std::to_string(summe.seiten) + " pages:\n" +
                          berichtTabelle(summe));
    }
    fortschritt.verbergen();
    if (bilanz.abgebrochen) {
        zeile("interrupted: " + std::to_string(bilanz.bearbeitet) + " of " +
              std::to_string(pfade.size()) +
              " files taken up and put in place, the others left as they were");
        return kUnterbrochen;
    }
    if (aufruf.pruefen) {
        if (fehlgeschlagen || ausgabeFehler) return kEinAusgabeFehler;
        return geaendert ? kGeaendert : kFertig;
    }
    return fehlgeschlagen ? kStapelFehler : kFertig;
}

}  // namespace quintaro::cli
