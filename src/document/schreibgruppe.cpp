// One syncfs per file system for the group's bytes instead of one fsync per file, then the
// renames, each kind followed by one fsync per folder.
#include "document/schreibgruppe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>
#include <set>

#include "document/ein_ausgabe.h"
#include "document/sicher_schreiben.h"
#include "engine/pfade.h"
#include "engine/utf8.h"

namespace quintaro {

namespace {

DateiFehler erstellFehler(const std::string& pfad, const std::string& grundText) {
    return DateiFehler("Datei \"" + pfad + "\" kann nicht erstellt werden. " + grundText);
}

std::string ordnerVon(const std::string& pfad) {
    const std::string ordner = ordnerTeil(pfad);
    return ordner.empty() ? std::string(".") : ordner;
}

std::optional<std::pair<dev_t, ino_t>> kennung(const std::string& pfad) {
    struct stat st {};
    if (pfad.empty() || ::stat(pfad.c_str(), &st) != 0) return std::nullopt;
    return std::pair{st.st_dev, st.st_ino};
}

int ohneErsetzen(const std::string& von, const std::string& nach) {
    if (::renameat2(AT_FDCWD, von.c_str(), AT_FDCWD, nach.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // File systems without the no-replace rename still refuse to link over a name.
    if (::link(von.c_str(), nach.c_str()) != 0) return errno;
    ::unlink(von.c_str());
    return 0;
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
    for (const auto& e : eintraege_) {
        if (!e.temp.empty()) ::unlink(e.temp.c_str());
    }
    eintraege_.clear();
    namen_.clear();
    schluessel_.clear();
    seitenDateien_.clear();
    ordner_.clear();
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

void Schreibgruppe::kopieren(const std::string& von, const std::string& nach) {
    const auto fehler = [&](int err) { return erstellFehler(nach, grund(err)); };
    if (von.empty() || nach.empty()) throw fehler(ENOENT);
    const Deskriptor quelle(::open(von.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (quelle.get() < 0) throw fehler(errno);
    struct stat st {};
    if (::fstat(quelle.get(), &st) != 0) throw fehler(errno);
    if (!S_ISREG(st.st_mode)) throw fehler(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    struct stat zst {};
    if (::lstat(nach.c_str(), &zst) == 0) throw fehler(EEXIST);
    const int flags = ::fcntl(quelle.get(), F_GETFL);
    if (flags >= 0) ::fcntl(quelle.get(), F_SETFL, flags & ~O_NONBLOCK);

    std::string vorlage = ordnerTeil(nach) + ".quintaro-kopie-XXXXXX";
    const Deskriptor tmp(::mkostemp(vorlage.data(), O_CLOEXEC));
    if (tmp.get() < 0) throw fehler(errno);
    int err = allesKopieren(quelle.get(), tmp.get());
    if (err == 0 && ::fchmod(tmp.get(), st.st_mode & 0777) != 0) err = errno;
    if (err != 0) {
        ::unlink(vorlage.c_str());
        throw fehler(err);
    }
    merken(
        {Art::Sicherung, vorlage, nach, von, {}, {st.st_dev, st.st_ino}, false, schluessel(nach)});
    bytes_ += static_cast<std::size_t>(st.st_size);
}

bool Schreibgruppe::schreiben(const std::string& pfad, const Text& inhalt) {
    // Names Qt's safe save would refuse or treat specially go the single way.
    if (pfad.empty() || !utf8::wohlgeformt(pfad)) return false;
    std::string ziel = pfad;
    struct stat lst {};
    if (::lstat(pfad.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
        // The link stays; its target is replaced.
        char* echt = ::realpath(pfad.c_str(), nullptr);
        if (echt == nullptr) return false;
        ziel = echt;
        std::free(echt);
    }
    std::optional<Rechte> rechte;
    std::pair<dev_t, ino_t> datei{};
    struct stat st {};
    if (::stat(ziel.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) throw erstellFehler(pfad, grund(EISDIR));
        if (!S_ISREG(st.st_mode)) throw erstellFehler(pfad, "Not a regular file");
        rechte = Rechte{static_cast<mode_t>(st.st_mode & 07777), std::pair{st.st_uid, st.st_gid}};
        datei = {st.st_dev, st.st_ino};
    } else {
        return false;  // a new file: not a batch's case
    }

    std::string vorlage = ordnerTeil(ziel) + ".quintaro-XXXXXX";
    const Deskriptor tmp(::mkostemp(vorlage.data(), O_CLOEXEC));
    if (tmp.get() < 0) return false;  // e.g. a read-only folder: written in place alone
    int err = allesSchreiben(tmp.get(), inhalt);
    if (err == 0) {
        // Best effort, as the single save: the owner first, it clears set-id bits.
        if (rechte->besitzer) {
            // A cast to void does not quiet glibc's warn_unused_result under _FORTIFY_SOURCE.
            [[maybe_unused]] const int ergebnis =
                ::fchown(tmp.get(), rechte->besitzer->first, rechte->besitzer->second);
        }
        static_cast<void>(::fchmod(tmp.get(), rechte->modus));
    }
    if (err != 0) {
        ::unlink(vorlage.c_str());
        throw erstellFehler(pfad, grund(err));
    }
    merken({Art::Seite, vorlage, ziel, pfad, {}, datei, false, schluessel(ziel)});
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
    merken({Art::Umbenennung, {}, nach, seite->pfad, von, seite->datei, false, schluessel(nach)});
    return true;
}

bool Schreibgruppe::betrifft(const std::string& pfad) const {
    if (eintraege_.empty() || pfad.empty()) return false;
    if (namen_.count(pfad) != 0) return true;
    const auto s = schluessel(pfad);
    if (s && schluessel_.count(*s) != 0) return true;
    const auto k = kennung(pfad);
    return k && seitenDateien_.count(*k) != 0;
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
        if (e.art != Art::Sicherung) continue;
        if (const int r = ohneErsetzen(e.temp, e.ziel)) {
            ::unlink(e.temp.c_str());
            e.fehlgeschlagen = true;
            ohneSicherung.insert(e.datei);
            for (auto& s : eintraege_) {
                if (s.art == Art::Seite && s.datei == e.datei && !s.fehlgeschlagen) {
                    seiteFehlt(s, erstellFehler(e.ziel, grund(r)).what());
                }
            }
        } else {
            sicherungen.insert(e.ziel);
        }
        e.temp.clear();
    }
    if (const int r = ordner.namen(sicherungen)) {
        alleSeitenFehlen(erstellFehler(*sicherungen.begin(), grund(r)).what());
    }

    std::set<std::string> seiten;
    for (auto& e : eintraege_) {
        if (e.art == Art::Seite) {
            if (e.fehlgeschlagen) continue;
            if (::rename(e.temp.c_str(), e.ziel.c_str()) != 0) {
                seiteFehlt(e, erstellFehler(e.pfad, grund(errno)).what());
                continue;
            }
            e.temp.clear();
            seiten.insert(e.ziel);
        } else if (e.art == Art::Umbenennung) {
            bool gespeichert = false;
            for (const auto& s : eintraege_) {
                if (s.art == Art::Seite && s.pfad == e.von && !s.fehlgeschlagen) gespeichert = true;
            }
            // As the single save: a name taken meanwhile leaves the page under its old one.
            if (gespeichert && ohneErsetzen(e.von, e.ziel) == 0) seiten.insert(e.ziel);
        }
    }
    if (const int r = ordner.namen(seiten)) {
        for (auto& e : eintraege_) {
            if (e.art == Art::Seite && !e.fehlgeschlagen) {
                seiteFehlt(e, erstellFehler(e.pfad, grund(r)).what());
            }
        }
    }
    verwerfen();
    return fehler;
}

}  // namespace quintaro
