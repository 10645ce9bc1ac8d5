// Document files: POSIX calls for reading and inspecting, QSaveFile for replacing a file whole.
#include "document/dokument.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <functional>
#include <optional>
#include <string_view>
#include <system_error>

#include "engine/optimierung.h"
#include "engine/umgebung.h"

namespace quintaro {

namespace {

void ignoriere(int /*result*/) {}

std::string grund(int err) {
    return std::generic_category().message(err);
}

class Deskriptor {
  public:
    explicit Deskriptor(int fd) : fd_(fd) {}
    ~Deskriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Deskriptor(const Deskriptor&) = delete;
    Deskriptor& operator=(const Deskriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

// Returns 0 or the errno of the failing call; short writes are continued.
int allesSchreiben(int fd, std::string_view daten) {
    while (!daten.empty()) {
        const ssize_t n = ::write(fd, daten.data(), daten.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        daten.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// Streams the rest of `quelle` into `ziel`; returns 0 or an errno.
int kopiereInhalt(int quelle, int ziel) {
    std::string puffer(std::size_t{1} << 16, '\0');
    for (;;) {
        const ssize_t n = ::read(quelle, puffer.data(), puffer.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return 0;
        if (const int err = allesSchreiben(ziel, {puffer.data(), static_cast<std::size_t>(n)})) {
            return err;
        }
    }
}

// A file system that cannot sync a file (some pseudo file systems) is no reason to fail.
int syncFehler(int fd) {
    if (::fsync(fd) == 0) return 0;
    return (errno == EINVAL || errno == ENOTSUP || errno == EROFS) ? 0 : errno;
}

// Opens without blocking on a pipe that has no writer, then reads normally.
int oeffneZumLesen(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0) {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    return fd;
}

struct Rechte {
    mode_t modus;
    std::optional<std::pair<uid_t, gid_t>> besitzer;
};

// Replaces `path` with what `schreiber` puts into the temporary file. QSaveFile's own write
// tracking is not used: it lets a short write through unnoticed, so the bytes go straight to its
// descriptor and every failure cancels the save. Returns the reason of a failure, or nothing.
std::optional<std::string> ersetzeDatei(const std::string& path,
                                        const std::function<int(int)>& schreiber,
                                        const std::optional<Rechte>& rechte) {
    // Qt decodes file names as UTF-8: bytes that do not survive the round trip would make
    // QSaveFile write to another name, so such a path is refused before anything is touched.
    const QString name = QFile::decodeName(QByteArray::fromStdString(path));
    if (QFile::encodeName(name).toStdString() != path) return grund(EILSEQ);
    QSaveFile datei(name);
    datei.setDirectWriteFallback(false);
    if (!datei.open(QIODevice::WriteOnly)) return datei.errorString().toStdString();
    const int fd = datei.handle();
    int err = schreiber(fd);
    if (err == 0 && rechte) {
        // Best effort, a save does not fail over them. The owner first: changing it clears
        // set-id bits that the mode then restores.
        if (rechte->besitzer) {
            ignoriere(::fchown(fd, rechte->besitzer->first, rechte->besitzer->second));
        }
        ignoriere(::fchmod(fd, rechte->modus));
    }
    if (err == 0) err = syncFehler(fd);
    if (err != 0) {
        datei.cancelWriting();
        return grund(err);
    }
    if (!datei.commit()) return datei.errorString().toStdString();
    return std::nullopt;
}

std::int32_t groesseVon(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) return 0;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(st.st_size));
}

// Length of the UTF-8 sequence starting at `i` (a stray continuation byte counts alone).
std::size_t zeichenLaenge(std::string_view s, std::size_t i) {
    std::size_t n = 1;
    while (i + n < s.size() && (static_cast<unsigned char>(s[i + n]) & 0xC0) == 0x80) ++n;
    return n;
}

// '*' any run of characters, '?' exactly one; everything else literally.
bool passt(std::string_view muster, std::string_view name) {
    std::size_t m = 0, n = 0;
    std::size_t sternM = std::string_view::npos, sternN = 0;
    while (n < name.size()) {
        if (m < muster.size() && muster[m] == '*') {
            sternM = m++;
            sternN = n;
        } else if (m < muster.size() && muster[m] == '?') {
            ++m;
            n += zeichenLaenge(name, n);
        } else if (m < muster.size() && muster[m] == name[n]) {
            ++m;
            ++n;
        } else if (sternM != std::string_view::npos) {
            m = sternM + 1;
            sternN += zeichenLaenge(name, sternN);
            n = sternN;
        } else {
            return false;
        }
    }
    while (m < muster.size() && muster[m] == '*') ++m;
    return m == muster.size();
}

std::optional<struct stat> eintrag(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 || ::lstat(path.c_str(), &st) == 0) return st;
    return std::nullopt;
}

// Copy that must not replace anything: a named temporary file that is moved into place only if
// the name is still free at that moment.
bool kopiereNeu(int quelle, mode_t modus, const std::string& ziel) {
    std::string vorlage = ordnerTeil(ziel) + ".quintaro-kopie-XXXXXX";
    const int fd = ::mkostemp(vorlage.data(), O_CLOEXEC);
    if (fd < 0) return false;
    Deskriptor tmp(fd);
    bool ok = kopiereInhalt(quelle, fd) == 0 && ::fchmod(fd, modus) == 0 && syncFehler(fd) == 0;
    if (ok) {
        if (::renameat2(AT_FDCWD, vorlage.c_str(), AT_FDCWD, ziel.c_str(), RENAME_NOREPLACE) == 0) {
            return true;
        }
        // File systems without the no-replace rename still refuse to link over a name.
        ok = (errno == EINVAL || errno == ENOSYS) && ::link(vorlage.c_str(), ziel.c_str()) == 0;
    }
    ::unlink(vorlage.c_str());
    return ok;
}

}  // namespace

Text dokumentLesen(const std::string& path, std::size_t kapazitaet) {
    auto fehler = [&](int err) {
        return DateiFehler("Datei " + path + " kann nicht geöffnet werden. " + grund(err));
    };
    const auto zuGross = [] { return DateiFehler(std::string(kMemoKapazitaetFehler)); };

    Deskriptor fd(oeffneZumLesen(path));
    if (fd.get() < 0) throw fehler(errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) throw fehler(errno);
    if (S_ISDIR(st.st_mode)) throw fehler(EISDIR);
    // Normalising never shortens a text, so an oversized file is refused unread.
    if (S_ISREG(st.st_mode) && static_cast<std::uintmax_t>(st.st_size) > kapazitaet) {
        throw zuGross();
    }

    std::string roh;
    if (S_ISREG(st.st_mode)) roh.reserve(static_cast<std::size_t>(st.st_size));
    std::string puffer(std::size_t{1} << 16, '\0');
    for (;;) {
        const ssize_t n = ::read(fd.get(), puffer.data(), puffer.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            throw fehler(errno);
        }
        if (n == 0) break;
        roh.append(puffer.data(), static_cast<std::size_t>(n));
        if (roh.size() > kapazitaet) throw zuGross();
    }
    Text text = normaliseLineBreaks(roh);
    if (text.size() > kapazitaet) throw zuGross();
    return text;
}

void dokumentSchreiben(const std::string& path, const Text& text) {
    auto fehler = [&](const std::string& reason) {
        return DateiFehler("Datei \"" + path + "\" kann nicht erstellt werden. " + reason);
    };
    if (path.empty()) throw fehler(grund(ENOENT));

    std::optional<Rechte> rechte;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) throw fehler(grund(EISDIR));
        if (!S_ISREG(st.st_mode)) throw fehler("Not a regular file");
        rechte = Rechte{static_cast<mode_t>(st.st_mode & 07777), std::pair{st.st_uid, st.st_gid}};
    }
    const auto problem = ersetzeDatei(
        path, [&](int fd) { return allesSchreiben(fd, text); }, rechte);
    if (problem) throw fehler(*problem);
}

std::int32_t Dateigroesse(const std::string& path) {
    if (path.empty()) return -1;
    if (const auto st = eintrag(path)) return groesseVon(*st);

    const std::string ordner = ordnerTeil(path);
    const std::string muster = path.substr(ordner.size());
    if (muster.find_first_of("*?") == std::string::npos) return -1;

    DIR* dir = ::opendir(ordner.empty() ? "." : ordner.c_str());
    if (dir == nullptr) return -1;
    std::int32_t ergebnis = -1;
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view name = e->d_name;
        if (name == "." || name == "..") continue;
        if (!passt(muster, name)) continue;
        if (const auto st = eintrag(ordner + std::string(name))) {
            ergebnis = groesseVon(*st);
            break;
        }
    }
    ::closedir(dir);
    return ergebnis;
}

bool dateiExistiert(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool dateiKopieren(const std::string& quelle, const std::string& ziel, bool ueberschreiben) {
    if (quelle.empty() || ziel.empty()) return false;
    Deskriptor fd(oeffneZumLesen(quelle));
    if (fd.get() < 0) return false;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    const mode_t modus = st.st_mode & 0777;

    struct stat zst {};
    if (!ueberschreiben) {
        if (::lstat(ziel.c_str(), &zst) == 0) return false;
        return kopiereNeu(fd.get(), modus, ziel);
    }
    if (::stat(ziel.c_str(), &zst) == 0 && !S_ISREG(zst.st_mode)) return false;
    const auto problem = ersetzeDatei(
        ziel, [&](int out) { return kopiereInhalt(fd.get(), out); }, Rechte{modus, std::nullopt});
    return !problem;
}

bool dateiLoeschen(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    return ::unlink(path.c_str()) == 0;
}

std::string vorschaudatei(const std::string& aktuelleDatei) {
    return ordnerTeil(aktuelleDatei) + std::string(kVorschauName);
}

}  // namespace quintaro
