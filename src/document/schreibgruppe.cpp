// One syncfs per file system for the group's bytes instead of one fsync per file, then the
// names, each kind followed by one fsync per folder.
#include "document/schreibgruppe.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <set>

#include "document/ein_ausgabe.h"
#include "document/sicher_schreiben.h"
#include "engine/pfade.h"

namespace quintaro {

namespace {

std::string ordnerVon(const std::string& pfad) {
    const std::string ordner = ordnerTeil(pfad);
    return ordner.empty() ? std::string(".") : ordner;
}

std::optional<std::pair<dev_t, ino_t>> kennung(const std::string& pfad) {
    struct stat st {};
    if (pfad.empty() || ::stat(pfad.c_str(), &st) != 0) return std::nullopt;
    return std::pair{st.st_dev, st.st_ino};
}

// The folders' descriptors, one per folder, for syncfs and the folders' fsync.
class Ordner {
  public:
    ~Ordner() {
        for (const auto& [name, fd] : fds_) ::close(fd);
    }
    // Returns 0 or an errno.
    int oeffnen(const std::string& pfad) {
        const std::string ordner = ordnerVon(pfad);
        if (fds_.count(ordner) != 0) return 0;
        const int fd = ::open(ordner.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return errno;
        fds_[ordner] = fd;
        return 0;
    }
    // The bytes of every file system the folders are on: one flush for all the group's files
    // (fdatasync of each would cost a disk cache flush each).
    int alleDaten() {
        std::set<dev_t> erledigt;
        for (const auto& [name, fd] : fds_) {
            struct stat st {};
            if (::fstat(fd, &st) != 0) return errno;
            if (!erledigt.insert(st.st_dev).second) continue;
            if (::syncfs(fd) != 0) return errno;
            meldeSchritt(Schreibschritt::Platte, name);
        }
        return 0;
    }
    int namen(const std::set<std::string>& pfade) {
        std::set<std::string> ordner;
        for (const auto& p : pfade) ordner.insert(ordnerVon(p));
        for (const auto& o : ordner) {
            const auto it = fds_.find(o);
            if (it == fds_.end()) continue;
            if (const int err = aufPlatte(it->second)) return err;
            meldeSchritt(Schreibschritt::OrdnerAufPlatte, o);
        }
        return 0;
    }

  private:
    std::map<std::string, int> fds_;
};

}  // namespace

std::optional<Schreibgruppe::Schluessel> Schreibgruppe::schluessel(const std::string& pfad) const {
    if (pfad.empty()) return std::nullopt;
    const std::string ordner = ordnerVon(pfad);
    auto it = ordner_.find(ordner);
    if (it == ordner_.end()) {
        struct stat st {};
        std::optional<std::pair<dev_t, ino_t>> k;
        if (::stat(ordner.c_str(), &st) == 0) k = std::pair{st.st_dev, st.st_ino};
        it = ordner_.emplace(ordner, k).first;
    }
    if (!it->second) return std::nullopt;
    return Schluessel{*it->second, pfad.substr(ordnerTeil(pfad).size())};
}

Schreibgruppe::~Schreibgruppe() {
    verwerfen();
}

void Schreibgruppe::verwerfen() {
    eintraege_.clear();  // the new files not in place go with them
    namen_.clear();
    schluessel_.clear();
    seitenDateien_.clear();
    ordner_.clear();
    kennungen_.clear();
    seiten_ = 0;
    bytes_ = 0;
}

void Schreibgruppe::merken(Eintrag e) {
    // A backup's source is only read: looking at it needs no wait.
    namen_.insert(e.ziel);
    if (e.name) schluessel_.insert(*e.name);
    if (e.art != Art::Sicherung) {
        namen_.insert(e.pfad);
        if (!e.von.empty()) namen_.insert(e.von);
        seitenDateien_.insert(e.datei);
    }
    eintraege_.push_back(std::move(e));
}

std::size_t Schreibgruppe::hoechstensOffen() {
    // Each held file is a descriptor: the soft limit goes up to the hard one, and a margin
    // stays for everything else the process opens.
    static const std::size_t grenze = [] {
        rlimit r{};
        if (::getrlimit(RLIMIT_NOFILE, &r) != 0) return std::size_t{64};
        if (r.rlim_cur < r.rlim_max) {
            rlimit hoeher = r;
            hoeher.rlim_cur = r.rlim_max == RLIM_INFINITY ? rlim_t{65536} : r.rlim_max;
            if (::setrlimit(RLIMIT_NOFILE, &hoeher) == 0) r = hoeher;
        }
        const rlim_t frei = r.rlim_cur > 256 ? r.rlim_cur - 128 : r.rlim_cur / 2;
        return static_cast<std::size_t>(std::max<rlim_t>(frei, 16));
    }();
    return grenze;
}

void Schreibgruppe::kopieren(const std::string& von, const std::string& nach) {
    const auto fehler = [&](int err) { return erstellFehler(nach, grund(err)); };
    if (von.empty() || nach.empty()) throw fehler(ENOENT);
    Deskriptor quelle(::open(von.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (quelle.get() < 0) throw fehler(errno);
    struct stat st {};
    if (::fstat(quelle.get(), &st) != 0) throw fehler(errno);
    if (!S_ISREG(st.st_mode)) throw fehler(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    struct stat zst {};
    if (::lstat(nach.c_str(), &zst) == 0) throw erstellFehler(nach, wasImWegIst(zst));

    Eintrag e{Art::Sicherung, Neudatei(),      nach, von, {}, {st.st_dev, st.st_ino},
              false,          schluessel(nach)};
    if (st.st_nlink == 1) {
        // Maybe a further name of the original, decided when the group is put in place.
        e.quelle = std::move(quelle);
    } else {
        // A file with other names: a backup sharing it would follow their changes.
        if (const int err = kopie(quelle.get(), nach, e.neu)) throw fehler(err);
        meldeSchritt(Schreibschritt::Geschrieben, nach);
        bytes_ += static_cast<std::size_t>(st.st_size);
    }
    merken(std::move(e));
}

int Schreibgruppe::kopie(int quelle, const std::string& nach, Neudatei& neu) {
    struct stat st {};
    if (::fstat(quelle, &st) != 0) return errno;
    int err = neu.anlegen(nach, 0600);
    if (err == 0) err = allesKopieren(quelle, neu.fd());
    if (err == 0 && ::fchmod(neu.fd(), st.st_mode & 0777) != 0) err = errno;
    if (err != 0) neu = Neudatei();
    return err;
}

bool Schreibgruppe::schreiben(const std::string& pfad, const Text& inhalt) {
    auto [ziel, warum] = speicherziel(pfad);
    if (!ziel) throw erstellFehler(pfad, warum);
    if (!ziel->rechte) return false;  // a new file: not a batch's case
    const Rechte& rechte = *ziel->rechte;

    Neudatei neu;
    int err = neu.anlegen(ziel->pfad, 0600);
    if (err == 0) err = allesSchreiben(neu.fd(), inhalt);
    if (err == 0) {
        // Best effort, as the single save: the owner first, it clears set-id bits.
        if (rechte.besitzer) {
            // A cast to void does not quiet glibc's warn_unused_result under _FORTIFY_SOURCE.
            [[maybe_unused]] const int ergebnis =
                ::fchown(neu.fd(), rechte.besitzer->first, rechte.besitzer->second);
        }
        if (::fchmod(neu.fd(), rechte.modus) != 0) err = errno;
    }
    if (err != 0) throw erstellFehler(pfad, grund(err));
    meldeSchritt(Schreibschritt::Geschrieben, ziel->pfad);
    const std::pair<dev_t, ino_t> datei{ziel->geraet, ziel->knoten};
    merken(
        {Art::Seite, std::move(neu), ziel->pfad, pfad, {}, datei, false, schluessel(ziel->pfad)});
    ++seiten_;
    bytes_ += inhalt.size();
    return true;
}

bool Schreibgruppe::umbenennen(const std::string& von, const std::string& nach) {
    const Eintrag* seite = nullptr;
    for (const auto& e : eintraege_) {
        if (e.art == Art::Seite && e.pfad == von && e.ziel == von) seite = &e;
    }
    struct stat st {};
    if (seite == nullptr || nach.empty() || ::lstat(nach.c_str(), &st) == 0 || betrifft(nach)) {
        return false;
    }
    merken({Art::Umbenennung, Neudatei(), nach, seite->pfad, von, seite->datei, false,
            schluessel(nach)});
    return true;
}

bool Schreibgruppe::betrifft(const std::string& pfad) const {
    if (eintraege_.empty() || pfad.empty()) return false;
    if (namen_.count(pfad) != 0) return true;
    const auto s = schluessel(pfad);
    if (s && schluessel_.count(*s) != 0) return true;
    auto it = kennungen_.find(pfad);
    if (it == kennungen_.end()) it = kennungen_.emplace(pfad, kennung(pfad)).first;
    return it->second && seitenDateien_.count(*it->second) != 0;
}

int Schreibgruppe::sicherungBenennen(Eintrag& e) {
    if (e.quelle.get() >= 0) {
        const int err = weitererName(e.quelle.get(), e.ziel);
        if (err == 0) {
            e.verwiesen = true;
            meldeSchritt(Schreibschritt::Benannt, e.ziel);
            return 0;
        }
        // A file system without hard links, or one the process may not link (another user's
        // file under protected_hardlinks): a copy, flushed alone since the group's flush is past.
        if (err == EEXIST) return err;
        if (const int r = kopie(e.quelle.get(), e.ziel, e.neu)) return r;
        if (const int r = aufPlatte(e.neu.fd())) return r;
    }
    return e.neu.anlegenAls(e.ziel);
}

std::vector<DateiFehlschlag> Schreibgruppe::abschliessen() {
    std::vector<DateiFehlschlag> fehler;
    if (eintraege_.empty()) return fehler;
    const auto seiteFehlt = [&](Eintrag& seite, const std::string& meldung) {
        seite.fehlgeschlagen = true;
        fehler.push_back({seite.pfad, meldung});
    };
    // Every page that depends on a failed step: not saved, its temporary file gone.
    const auto alleSeitenFehlen = [&](const std::string& meldung) {
        for (auto& e : eintraege_) {
            if (e.art == Art::Seite && !e.fehlgeschlagen) seiteFehlt(e, meldung);
        }
    };

    // A backup becomes a further name of its original only where the page is replaced in this
    // group: the page's name then leads to a new file and the backup keeps the old one alone.
    // Any other backup (its page left unsaved, or failed already) is copied now, before the
    // flush; one that cannot be is no loss, the page being as it was.
    for (auto& e : eintraege_) {
        if (e.art != Art::Sicherung || e.quelle.get() < 0 || seitenDateien_.count(e.datei) != 0) {
            continue;
        }
        if (kopie(e.quelle.get(), e.ziel, e.neu) == 0) {
            meldeSchritt(Schreibschritt::Geschrieben, e.ziel);
        } else {
            e.fehlgeschlagen = true;
        }
        e.quelle = Deskriptor();
    }

    Ordner ordner;
    int err = 0;
    for (const auto& e : eintraege_) {
        if (err == 0) err = ordner.oeffnen(e.ziel);
    }
    if (err == 0) err = ordner.alleDaten();
    if (err != 0) {
        for (auto& e : eintraege_) {
            if (e.art == Art::Seite) seiteFehlt(e, erstellFehler(e.pfad, grund(err)).what());
        }
        verwerfen();
        return fehler;
    }

    // The backups first, made durable before any page is replaced.
    std::set<std::string> sicherungen;
    std::set<std::pair<dev_t, ino_t>> ohneSicherung;
    for (auto& e : eintraege_) {
        if (e.art != Art::Sicherung || (e.fehlgeschlagen && !e.neu.offen())) continue;
        if (const int r = sicherungBenennen(e)) {
            e.neu = Neudatei();
            e.fehlgeschlagen = true;
            struct stat st {};
            const std::string warum =
                r == EEXIST && ::lstat(e.ziel.c_str(), &st) == 0 ? wasImWegIst(st) : grund(r);
            ohneSicherung.insert(e.datei);
            for (auto& s : eintraege_) {
                if (s.art == Art::Seite && s.datei == e.datei && !s.fehlgeschlagen) {
                    seiteFehlt(s, erstellFehler(e.ziel, warum).what());
                }
            }
        } else {
            sicherungen.insert(e.ziel);
        }
        e.neu = Neudatei();
    }
    if (const int r = ordner.namen(sicherungen)) {
        alleSeitenFehlen(erstellFehler(*sicherungen.begin(), grund(r)).what());
    }

    std::set<std::string> seiten;
    for (auto& e : eintraege_) {
        if (e.art == Art::Seite) {
            if (e.fehlgeschlagen) continue;
            if (const int r = e.neu.ersetzen(e.ziel)) {
                seiteFehlt(e, erstellFehler(e.pfad, grund(r)).what());
                continue;
            }
            e.neu = Neudatei();
            seiten.insert(e.ziel);
        } else if (e.art == Art::Umbenennung) {
            bool gespeichert = false;
            for (const auto& s : eintraege_) {
                if (s.art == Art::Seite && s.pfad == e.von && !s.fehlgeschlagen) gespeichert = true;
            }
            // As the single save: a name taken meanwhile leaves the page under its old one.
            if (gespeichert && umbenennenOhneErsetzen(e.von, e.ziel) == 0) {
                meldeSchritt(Schreibschritt::Benannt, e.ziel);
                seiten.insert(e.ziel);
            }
        }
    }
    if (const int r = ordner.namen(seiten)) {
        for (auto& e : eintraege_) {
            if (e.art == Art::Seite && !e.fehlgeschlagen) {
                seiteFehlt(e, erstellFehler(e.pfad, grund(r)).what());
            }
        }
    }
    // A page that kept its file after all: a backup sharing it would follow its next change in
    // place. The page is as it was, so that name goes. A page whose name went to its new file
    // left the backup the file's only name, whatever failed later.
    const bool seiteFehlgeschlagen =
        std::any_of(eintraege_.begin(), eintraege_.end(),
                    [](const auto& e) { return e.art == Art::Seite && e.fehlgeschlagen; });
    for (const auto& e : eintraege_) {
        if (!seiteFehlgeschlagen || e.art != Art::Sicherung || !e.verwiesen) continue;
        struct stat st {};
        if (::lstat(e.ziel.c_str(), &st) == 0 && std::pair{st.st_dev, st.st_ino} == e.datei &&
            st.st_nlink > 1) {
            ::unlink(e.ziel.c_str());
        }
    }
    verwerfen();
    return fehler;
}

}  // namespace quintaro
