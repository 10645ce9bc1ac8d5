// QSaveFile for the rename into place; the bytes go straight to its descriptor.
#include "document/sicher_schreiben.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "document/ein_ausgabe.h"
#include "engine/pfade.h"

namespace quintaro {

namespace {

void ignoriere(int /*result*/) {}

}  // namespace

// A descriptor that cannot be synced at all (EINVAL, ENOTSUP: a file system without fsync) is no
// reason to fail; any other failure is, EROFS included: the file may not be on disk.
int aufPlatte(int fd) {
    if (::fsync(fd) == 0) return 0;
    return (errno == EINVAL || errno == ENOTSUP) ? 0 : errno;
}

std::string grund(int err) {
    return std::generic_category().message(err);
}

std::optional<std::string> sicherErsetzen(const std::string& path,
                                          const std::function<int(int fd)>& schreiber,
                                          const std::optional<Rechte>& rechte, bool direkt) {
    if (path.empty()) return grund(ENOENT);
    // Qt decodes file names as UTF-8: bytes that do not survive the round trip would make
    // QSaveFile write to another name, so such a path is refused before anything is touched.
    const QString name = QFile::decodeName(QByteArray::fromStdString(path));
    if (QFile::encodeName(name).toStdString() != path) return grund(EILSEQ);
    QSaveFile datei(name);
    datei.setDirectWriteFallback(direkt);
    if (!datei.open(QIODevice::WriteOnly)) return datei.errorString().toStdString();
    // QSaveFile's own write tracking is not used: it lets a short write through unnoticed.
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
    if (err == 0) err = aufPlatte(fd);
    if (err != 0) {
        datei.cancelWriting();
        return grund(err);
    }
    if (!datei.commit()) return datei.errorString().toStdString();
    return std::nullopt;
}

std::optional<std::string> sicherSchreiben(const std::string& path, std::string_view bytes,
                                           bool direkt) {
    if (path.empty()) return grund(ENOENT);
    std::optional<Rechte> rechte;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return grund(EISDIR);
        if (!S_ISREG(st.st_mode)) return std::string("Not a regular file");
        rechte = Rechte{static_cast<mode_t>(st.st_mode & 07777), std::pair{st.st_uid, st.st_gid}};
    }
    return sicherErsetzen(
        path, [&](int fd) { return allesSchreiben(fd, bytes); }, rechte, direkt);
}

std::optional<std::string> ersetzenOhneVerweis(const std::string& path,
                                               const std::function<int(int fd)>& schreiber,
                                               mode_t modus) {
    if (path.empty()) return grund(ENOENT);
    std::string vorlage = ordnerTeil(path) + ".quintaro-XXXXXX";
    const Deskriptor fd(::mkostemp(vorlage.data(), O_CLOEXEC));
    if (fd.get() < 0) return grund(errno);
    int err = schreiber(fd.get());
    if (err == 0 && ::fchmod(fd.get(), modus) != 0) err = errno;
    if (err == 0) err = aufPlatte(fd.get());
    // rename replaces the name itself: a link there is gone, its target untouched.
    if (err == 0 && ::rename(vorlage.c_str(), path.c_str()) != 0) err = errno;
    if (err == 0) return std::nullopt;
    ::unlink(vorlage.c_str());
    return grund(err);
}

mode_t neuerModus() {
    const mode_t maske = ::umask(0);
    ::umask(maske);
    return 0666 & ~maske;
}

}  // namespace quintaro
