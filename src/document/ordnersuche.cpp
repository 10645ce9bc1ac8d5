// Walking a folder tree with openat, so that a folder renamed meanwhile cannot lead the walk
// elsewhere, and without following links to folders.
#include "document/ordnersuche.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "document/ein_ausgabe.h"
#include "document/sicher_schreiben.h"
#include "engine/pfade.h"

namespace quintaro {

namespace {

struct Suche {
    const std::vector<std::string>& muster;
    Ordnerinhalt inhalt;

    bool gesucht(std::string_view name) const {
        if (name.starts_with('.') || name.ends_with(".bak") || name == kVorschauName) return false;
        return std::any_of(muster.begin(), muster.end(),
                           [&](const std::string& m) { return endungPasst(m, name); });
    }

    // `fd` is the open folder `pfad` (ending in '/'); it is closed here.
    void durchgehen(int fd, const std::string& pfad) {
        DIR* dir = ::fdopendir(fd);
        if (dir == nullptr) {
            const int err = errno;
            ::close(fd);
            inhalt.fehler.push_back({pfad, grund(err)});
            return;
        }
        std::vector<std::string> ordner;
        for (;;) {
            errno = 0;
            const dirent* e = ::readdir(dir);
            if (e == nullptr) {
                if (errno != 0) inhalt.fehler.push_back({pfad, grund(errno)});
                break;
            }
            const std::string_view name = e->d_name;
            if (name.starts_with('.')) continue;  // ".", ".." and hidden ones
            unsigned char art = e->d_type;
            if (art == DT_UNKNOWN || art == DT_LNK) {
                struct stat st {};
                if (::fstatat(::dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
                if (S_ISLNK(st.st_mode)) {
                    // A link counts as what it leads to, but only a file is taken.
                    if (::fstatat(::dirfd(dir), e->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode)) {
                        continue;
                    }
                }
                art = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
            }
            if (art == DT_DIR) {
                ordner.emplace_back(name);
            } else if (art == DT_REG && gesucht(name)) {
                inhalt.dateien.push_back(pfad + std::string(name));
            }
        }
        for (const std::string& name : ordner) {
            const int unter = ::openat(::dirfd(dir), name.c_str(),
                                       O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (unter < 0) {
                // Replaced by a link since it was listed: not followed, as any link to a folder.
                if (errno != ELOOP && errno != ENOTDIR) {
                    inhalt.fehler.push_back({pfad + name + "/", grund(errno)});
                }
                continue;
            }
            durchgehen(unter, pfad + name + "/");
        }
        ::closedir(dir);
    }
};

}  // namespace

bool endungPasst(std::string_view muster, std::string_view name) {
    // "*<muster>" over the whole name.
    std::string ganz = "*";
    ganz += muster;
    return musterPasst(ganz, name, true);
}

std::vector<std::string> suchmuster(const std::vector<std::string>& filterliste) {
    if (filterliste.size() < 2) return {".htm*"};
    return filterliste;
}

Ordnerinhalt ordnerDurchsuchen(const std::string& ordner, const std::vector<std::string>& muster) {
    Suche suche{muster, {}};
    std::string pfad = ordner.empty() ? std::string("./") : ordner;
    if (!pfad.ends_with('/')) pfad += '/';
    const int fd = ::open(pfad.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        suche.inhalt.fehler.push_back({ordner, grund(errno)});
        return std::move(suche.inhalt);
    }
    suche.durchgehen(fd, pfad);
    std::sort(suche.inhalt.dateien.begin(), suche.inhalt.dateien.end());
    return std::move(suche.inhalt);
}

}  // namespace quintaro
