// POSIX calls only: O_TMPFILE where the file system has it, linkat and rename to put a file in
// place, flock to tell a live temporary file from one a killed process left.
#include "document/sicher_schreiben.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <random>
#include <set>
#include <system_error>

#include "document/ein_ausgabe.h"
#include "engine/pfade.h"
#include "engine/utf8.h"

namespace quintaro {

namespace {

constexpr std::string_view kPraefix = ".quintaro-";
// A temporary file younger than this may be one a live process has only just made.
constexpr std::time_t kVerwaistNach = 60;

std::string ordnerVon(const std::string& pfad) {
    const std::string ordner = ordnerTeil(pfad);
    return ordner.empty() ? std::string("./") : ordner;
}

// An unnamed file gets a name through its entry in /proc; without /proc it could not.
bool unbenannteMoeglich() {
    static const bool moeglich = ::access("/proc/self/fd", X_OK) == 0;
    return moeglich;
}

std::string procName(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

std::string zufallsName(const std::string& ordner) {
    thread_local std::mt19937 zufall(std::random_device{}() ^ static_cast<unsigned>(::getpid()));
    static constexpr char kZeichen[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = ordner + std::string(kPraefix);
    for (int i = 0; i < 6; ++i) name += kZeichen[zufall() % (sizeof(kZeichen) - 1)];
    return name;
}

Schreibbeobachter& beobachter() {
    static Schreibbeobachter b;
    return b;
}

void ignoriere(int /*result*/) {}

}  // namespace

// --- Neudatei ---------------------------------------------------------------------------------

Neudatei::~Neudatei() {
    verwerfen();
}

Neudatei::Neudatei(Neudatei&& andere) noexcept
    : fd_(std::exchange(andere.fd_, -1)), name_(std::move(andere.name_)) {
    andere.name_.clear();
}

Neudatei& Neudatei::operator=(Neudatei&& andere) noexcept {
    if (this != &andere) {
        verwerfen();
        fd_ = std::exchange(andere.fd_, -1);
        name_ = std::move(andere.name_);
        andere.name_.clear();
    }
    return *this;
}

void Neudatei::verwerfen() {
    if (!name_.empty()) ::unlink(name_.c_str());
    name_.clear();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

int Neudatei::anlegen(const std::string& ziel, mode_t modus) {
    verwerfen();
    const std::string ordner = ordnerVon(ziel);
    verwaisteEntfernen(ordner);
    if (unbenannteMoeglich()) {
        fd_ = ::open(ordner.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, modus);
        if (fd_ >= 0) return 0;
        // Only a file system without unnamed files leads to a named one.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return errno;
    }
    for (int versuch = 0; versuch < 100; ++versuch) {
        std::string name = zufallsName(ordner);
        fd_ = ::open(name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, modus);
        if (fd_ >= 0) {
            ignoriere(::flock(fd_, LOCK_EX));
            name_ = std::move(name);
            return 0;
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

int Neudatei::benennen(const std::string& ordner) {
    if (!name_.empty()) return 0;
    // Held from before it has a name, so that the name it has for a moment is not taken for a
    // killed process's.
    ignoriere(::flock(fd_, LOCK_EX));
    for (int versuch = 0; versuch < 100; ++versuch) {
        std::string name = zufallsName(ordner);
        const int err = weitererName(fd_, name);
        if (err == 0) {
            name_ = std::move(name);
            return 0;
        }
        if (err != EEXIST) return err;
    }
    return EEXIST;
}

int Neudatei::ersetzen(const std::string& ziel) {
    if (fd_ < 0) return EBADF;
    if (const int err = benennen(ordnerVon(ziel))) return err;
    if (::rename(name_.c_str(), ziel.c_str()) != 0) return errno;
    name_.clear();
    meldeSchritt(Schreibschritt::Benannt, ziel);
    return 0;
}

int weitererName(int fd, const std::string& ziel) {
    // linkat never replaces: a name taken meanwhile fails with EEXIST.
    if (::linkat(AT_FDCWD, procName(fd).c_str(), AT_FDCWD, ziel.c_str(), AT_SYMLINK_FOLLOW) != 0) {
        return errno;
    }
    return 0;
}

int Neudatei::anlegenAls(const std::string& ziel) {
    if (fd_ < 0) return EBADF;
    int err = 0;
    if (name_.empty()) {
        err = weitererName(fd_, ziel);
    } else {
        err = umbenennenOhneErsetzen(name_, ziel);
        if (err == 0) name_.clear();
    }
    if (err == 0) meldeSchritt(Schreibschritt::Benannt, ziel);
    return err;
}

// --- Replacing a file ---------------------------------------------------------------------------

std::pair<std::optional<Speicherziel>, std::string> speicherziel(const std::string& pfad) {
    if (pfad.empty()) return {std::nullopt, grund(ENOENT)};
    if (!pfadIstUtf8(pfad)) return {std::nullopt, std::string(kKeinUtf8Name)};
    Speicherziel ziel{pfad, std::nullopt, 0, 0};
    // A link is saved through: its target, followed to the end, is the file.
    struct stat st {};
    for (int tiefe = 0; ::lstat(ziel.pfad.c_str(), &st) == 0 && S_ISLNK(st.st_mode); ++tiefe) {
        if (tiefe == 40) return {std::nullopt, grund(ELOOP)};
        std::string verweis(static_cast<std::size_t>(st.st_size) + 256, '\0');
        const ssize_t n = ::readlink(ziel.pfad.c_str(), verweis.data(), verweis.size());
        if (n < 0) return {std::nullopt, grund(errno)};
        verweis.resize(static_cast<std::size_t>(n));
        ziel.pfad = verweis.starts_with('/') ? verweis : ordnerTeil(ziel.pfad) + verweis;
    }
    if (::stat(ziel.pfad.c_str(), &st) != 0) {
        if (errno != ENOENT) return {std::nullopt, grund(errno)};
        return {ziel, {}};
    }
    if (S_ISDIR(st.st_mode)) return {std::nullopt, grund(EISDIR)};
    if (!S_ISREG(st.st_mode)) return {std::nullopt, "Das ist keine gewöhnliche Datei"};
    if (::faccessat(AT_FDCWD, ziel.pfad.c_str(), W_OK, AT_EACCESS) != 0) {
        return {std::nullopt,
                errno == EACCES ? std::string("Die Datei ist schreibgeschützt") : grund(errno)};
    }
    ziel.rechte = Rechte{static_cast<mode_t>(st.st_mode & 07777), std::pair{st.st_uid, st.st_gid}};
    ziel.geraet = st.st_dev;
    ziel.knoten = st.st_ino;
    return {ziel, {}};
}

namespace {

// In place, for a document in a folder that takes no new file.
int direktSchreiben(const std::string& pfad, const std::function<int(int fd)>& schreiber) {
    const Deskriptor fd(::open(pfad.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (fd.get() < 0) return errno;
    if (const int err = schreiber(fd.get())) return err;
    return aufPlatte(fd.get());
}

}  // namespace

std::optional<std::string> dateiErsetzen(const std::string& pfad,
                                         const std::function<int(int fd)>& schreiber,
                                         const Ersetzungsart& art) {
    if (pfad.empty()) return grund(ENOENT);
    std::string ziel = pfad;
    Rechte rechte{art.modus, std::nullopt};
    bool vorhanden = false;
    if (art.dokument) {
        auto [gefunden, warum] = speicherziel(pfad);
        if (!gefunden) return warum;
        ziel = gefunden->pfad;
        vorhanden = gefunden->rechte.has_value();
        rechte = vorhanden ? *gefunden->rechte : Rechte{neuerModus(), std::nullopt};
    }
    Neudatei neu;
    int err = neu.anlegen(ziel, 0600);
    if (err != 0) {
        if (art.direkt && vorhanden && (err == EACCES || err == EPERM)) {
            err = direktSchreiben(ziel, schreiber);
            return err == 0 ? std::nullopt : std::optional(grund(err));
        }
        return grund(err);
    }
    err = schreiber(neu.fd());
    if (err == 0) {
        // The owner first: changing it clears set-id bits that the mode then restores. The
        // owner is best effort, a save does not fail over it.
        if (rechte.besitzer) {
            ignoriere(::fchown(neu.fd(), rechte.besitzer->first, rechte.besitzer->second));
        }
        if (::fchmod(neu.fd(), rechte.modus) != 0) err = errno;
    }
    if (err == 0) err = aufPlatte(neu.fd());
    // rename replaces the name itself: a link there is gone, its target untouched.
    if (err == 0) err = neu.ersetzen(ziel);
    return err == 0 ? std::nullopt : std::optional(grund(err));
}

std::optional<std::string> sicherSchreiben(const std::string& path, std::string_view bytes,
                                           bool direkt) {
    return dateiErsetzen(
        path, [&](int fd) { return allesSchreiben(fd, bytes); }, Ersetzungsart{true, 0, direkt});
}

std::optional<std::string> ersetzenOhneVerweis(const std::string& path,
                                               const std::function<int(int fd)>& schreiber,
                                               mode_t modus) {
    return dateiErsetzen(path, schreiber, Ersetzungsart{false, modus, false});
}

int umbenennenOhneErsetzen(const std::string& von, const std::string& nach) {
    if (::renameat2(AT_FDCWD, von.c_str(), AT_FDCWD, nach.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // File systems without the no-replace rename still refuse to link over a name. If the old
    // name cannot go, the new one goes again: nothing changed.
    if (::link(von.c_str(), nach.c_str()) != 0) return errno;
    if (::unlink(von.c_str()) != 0) {
        const int err = errno;
        ::unlink(nach.c_str());
        return err;
    }
    return 0;
}

void verwaisteEntfernen(const std::string& ordner) {
    static std::mutex sperre;
    static std::set<std::string> erledigt;
    {
        const std::lock_guard<std::mutex> halten(sperre);
        if (!erledigt.insert(ordner).second) return;
    }
    DIR* dir = ::opendir(ordner.c_str());
    if (dir == nullptr) return;
    const int dfd = ::dirfd(dir);
    const std::time_t grenze = std::time(nullptr) - kVerwaistNach;
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view name = e->d_name;
        if (!name.starts_with(kPraefix)) continue;
        const Deskriptor fd(
            ::openat(dfd, e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat st {};
        if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (st.st_mtime > grenze) continue;
        if (st.st_uid != ::geteuid() && ::geteuid() != 0) continue;
        // A live process of ours holds its lock; a killed one's lock went with it.
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) continue;
        ::unlinkat(dfd, e->d_name, 0);
    }
    ::closedir(dir);
}

mode_t neuerModus() {
    // Read where the kernel shows it: setting the mask to learn it would, for a moment, give
    // the files other threads make meanwhile the wrong mode.
    mode_t maske = 0;
    bool gelesen = false;
    if (const Deskriptor fd(::open("/proc/self/status", O_RDONLY | O_CLOEXEC)); fd.get() >= 0) {
        std::string status;
        if (allesLesen(fd.get(), status, std::size_t{1} << 16) == 0) {
            const auto stelle = status.find("\nUmask:");
            if (stelle != std::string::npos) {
                maske = static_cast<mode_t>(std::strtoul(status.c_str() + stelle + 7, nullptr, 8));
                gelesen = true;
            }
        }
    }
    if (!gelesen) {
        static std::mutex sperre;
        const std::lock_guard<std::mutex> halten(sperre);
        maske = ::umask(0);
        ::umask(maske);
    }
    return 0666 & ~maske;
}

// A descriptor that cannot be synced at all (EINVAL, ENOTSUP: a file system without fsync) is no
// reason to fail; any other failure is, EROFS included: the file may not be on disk.
int aufPlatte(int fd) {
    if (::fsync(fd) == 0) return 0;
    return (errno == EINVAL || errno == ENOTSUP) ? 0 : errno;
}

std::string grund(int err) {
    switch (err) {
        case ENOENT:
            return "Datei oder Verzeichnis nicht gefunden";
        case EACCES:
        case EPERM:
            return "Keine Berechtigung";
        case EISDIR:
            return "Ist ein Verzeichnis";
        case ENOTDIR:
            return "Ist kein Verzeichnis";
        case ENOSPC:
            return "Auf dem Gerät ist kein Speicherplatz mehr verfügbar";
        case EDQUOT:
            return "Der zugewiesene Plattenplatz ist aufgebraucht";
        case EFBIG:
            return "Datei zu groß";
        case EROFS:
            return "Das Dateisystem ist nur lesbar";
        case EEXIST:
            return "Die Datei existiert bereits";
        case ENAMETOOLONG:
            return "Der Dateiname ist zu lang";
        case EILSEQ:
            return std::string(kKeinUtf8Name);
        case EIO:
            return "Ein- oder Ausgabefehler";
        default:
            return std::generic_category().message(err);
    }
}

std::string wasImWegIst(const struct stat& st) {
    if (S_ISLNK(st.st_mode)) return "Dort steht ein symbolischer Verweis";
    if (S_ISDIR(st.st_mode)) return "Dort steht ein Ordner";
    if (S_ISFIFO(st.st_mode)) return "Dort steht eine benannte Pipe";
    if (S_ISSOCK(st.st_mode)) return "Dort steht ein Socket";
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "Dort steht eine Gerätedatei";
    return "Dort steht bereits eine Datei";
}

DateiFehler oeffnenFehler(const std::string& pfad, const std::string& grundText) {
    return DateiFehler("Datei " + pfad + " kann nicht geöffnet werden. " + grundText);
}

DateiFehler erstellFehler(const std::string& pfad, const std::string& grundText) {
    return DateiFehler("Datei \"" + pfad + "\" kann nicht erstellt werden. " + grundText);
}

bool pfadIstUtf8(std::string_view pfad) {
    return utf8::wohlgeformt(pfad);
}

void beobachteSchreiben(Schreibbeobachter b) {
    beobachter() = std::move(b);
}

void meldeSchritt(Schreibschritt schritt, const std::string& pfad) {
    if (const auto& b = beobachter()) b(schritt, pfad);
}

}  // namespace quintaro
