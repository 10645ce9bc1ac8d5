// The settings file's place on disk.
#include "settings/ablageort.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "settings/einstellungen.h"

namespace quintaro {

namespace {

bool istDatei(const std::string& pfad) {
    struct stat st {};
    return ::stat(pfad.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool beschreibbarerOrdner(const std::string& ordner) {
    return ::access(ordner.empty() ? "." : ordner.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

std::string einstellungsDatei(const std::string& programmOrdner, const char* xdgConfigHome,
                              const char* home) {
    std::string neben = iniPfad(programmOrdner);
    if (istDatei(neben) && beschreibbarerOrdner(programmOrdner)) return neben;

    // Relative values are invalid by the base directory rules and are ignored.
    std::string basis;
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
        basis = xdgConfigHome;
    } else {
        basis = std::string(home != nullptr ? home : "") + "/.config";
    }
    if (basis.back() != '/') basis += '/';
    return basis + "quintaro/" + std::string(kIniName);
}

std::string einstellungsDatei(const std::string& programmOrdner) {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        const passwd* eintrag = ::getpwuid(::geteuid());
        home = eintrag != nullptr ? eintrag->pw_dir : nullptr;
    }
    return einstellungsDatei(programmOrdner, std::getenv("XDG_CONFIG_HOME"), home);
}

bool ordnerFuerDateiAnlegen(const std::string& datei) {
    const auto ende = datei.rfind('/');
    if (ende == std::string::npos || ende == 0) return true;
    // Each folder from the top down; one that exists already is left as it is.
    for (auto pos = datei.find('/', 1); pos != std::string::npos && pos <= ende;
         pos = datei.find('/', pos + 1)) {
        const std::string ordner = datei.substr(0, pos);
        if (::mkdir(ordner.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return true;
}

}  // namespace quintaro
