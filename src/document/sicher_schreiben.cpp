// QSaveFile for the rename into place; the bytes go straight to its descriptor.
#include "document/sicher_schreiben.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "document/ein_ausgabe.h"

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
                                          const std::optional<Rechte>& rechte) {
    if (path.empty()) return grund(ENOENT);
    // Qt decodes file names as UTF-8: bytes that do not survive the round trip would make
    // QSaveFile write to another name, so such a path is refused before anything is touched.
    const QString name = QFile::decodeName(QByteArray::fromStdString(path));
    if (QFile::encodeName(name).toStdString() != path) return grund(EILSEQ);
    QSaveFile datei(name);
    datei.setDirectWriteFallback(false);
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

std::optional<std::string> sicherSchreiben(const std::string& path, std::string_view bytes) {
    if (path.empty()) return grund(ENOENT);
    std::optional<Rechte> rechte;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return grund(EISDIR);
        if (!S_ISREG(st.st_mode)) return std::string("Not a regular file");
        rechte = Rechte{static_cast<mode_t>(st.st_mode & 07777), std::pair{st.st_uid, st.st_gid}};
    }
    return sicherErsetzen(
        path, [&](int fd) { return allesSchreiben(fd, bytes); }, rechte);
}

}  // namespace quintaro
