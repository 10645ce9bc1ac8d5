// Files on disk: POSIX calls throughout.
#include "document/lokale_dateien.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string_view>

#include "document/ein_ausgabe.h"
#include "document/schreibgruppe.h"
#include "document/sicher_schreiben.h"
#include "engine/pfade.h"

namespace quintaro {

namespace {

// Opens without blocking on a pipe that has no writer; wieBlockierend() then makes it read
// normally.
int oeffneZumLesen(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}

// A regular file never blocks, so only anything else needs the flag cleared.
void wieBlockierend(int fd, const struct stat& st) {
    if (S_ISREG(st.st_mode)) return;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
}

std::int32_t groesseVon(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) return 0;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(st.st_size));
}

std::optional<struct stat> eintrag(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 || ::lstat(path.c_str(), &st) == 0) return st;
    return std::nullopt;
}

}  // namespace

Text dokumentLesen(const std::string& path, std::size_t kapazitaet) {
    auto fehler = [&](int err) { return oeffnenFehler(path, grund(err)); };
    const auto zuGross = [] { return DateiFehler(std::string(kMemoKapazitaetFehler)); };

    Deskriptor fd(oeffneZumLesen(path));
    if (fd.get() < 0) throw fehler(errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) throw fehler(errno);
    if (S_ISDIR(st.st_mode)) throw fehler(EISDIR);
    wieBlockierend(fd.get(), st);
    // Normalising never shortens a text, so an oversized file is refused unread.
    if (S_ISREG(st.st_mode) && static_cast<std::uintmax_t>(st.st_size) > kapazitaet) {
        throw zuGross();
    }

    std::string roh;
    if (S_ISREG(st.st_mode)) roh.reserve(static_cast<std::size_t>(st.st_size));
    if (const int err = allesLesen(fd.get(), roh, kapazitaet, &st)) {
        if (err == EFBIG) throw zuGross();
        throw fehler(err);
    }
    umbruecheVereinheitlichenAnOrt(roh);
    if (roh.size() > kapazitaet) throw zuGross();
    return roh;
}

void dokumentSchreiben(const std::string& path, const Text& text, bool inPlatz) {
    if (const auto problem = sicherSchreiben(path, text, inPlatz)) {
        throw erstellFehler(path, *problem);
    }
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
        if (!musterPasst(muster, name)) continue;
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

bool dateiKopieren(const std::string& quelle, const std::string& ziel, bool ueberschreiben,
                   std::string* warum) {
    const auto fehler = [warum](int err) {
        if (warum != nullptr) *warum = grund(err);
        return false;
    };
    if (quelle.empty() || ziel.empty()) return fehler(ENOENT);
    Deskriptor fd(oeffneZumLesen(quelle));
    if (fd.get() < 0) return fehler(errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return fehler(errno);
    if (!S_ISREG(st.st_mode)) return fehler(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    const mode_t modus = st.st_mode & 0777;

    if (!ueberschreiben) {
        const auto imWeg = [&] {
            struct stat zst {};
            if (::lstat(ziel.c_str(), &zst) != 0) return false;
            if (warum != nullptr) *warum = wasImWegIst(zst);
            return true;
        };
        if (imWeg()) return false;
        Neudatei neu;
        int err = neu.anlegen(ziel, 0600);
        if (err == 0) err = allesKopieren(fd.get(), neu.fd());
        if (err == 0 && ::fchmod(neu.fd(), modus) != 0) err = errno;
        if (err == 0) err = aufPlatte(neu.fd());
        if (err == 0) err = neu.anlegenAls(ziel);
        // Taken between the look and the link: say by what.
        if (err == EEXIST && imWeg()) return false;
        return err == 0 || fehler(err);
    }
    const auto problem = ersetzenOhneVerweis(
        ziel, [&](int out) { return allesKopieren(fd.get(), out); }, modus);
    if (problem && warum != nullptr) *warum = *problem;
    return !problem;
}

bool dateiLoeschen(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    return ::unlink(path.c_str()) == 0;
}

namespace {
std::optional<std::pair<dev_t, ino_t>> dateiKennung(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
    return std::pair{st.st_dev, st.st_ino};
}
}  // namespace

LokaleDateien::LokaleDateien() : gruppe_(std::make_unique<Schreibgruppe>()) {}

LokaleDateien::~LokaleDateien() {
    // Failures here have no one left to tell; the pages concerned stay as they were.
    static_cast<void>(gruppe_->abschliessen());
}

void LokaleDateien::vorher(const std::string& pfad) {
    if (gruppe_->leer() || !gruppe_->betrifft(pfad)) return;
    auto fehler = gruppe_->abschliessen();
    offen_.insert(offen_.end(), fehler.begin(), fehler.end());
}

void LokaleDateien::vorAenderung(const std::string& pfad) {
    vorher(pfad);
    gruppe_->vergessen();
}

void LokaleDateien::sammeln(bool an) {
    sammeln_ = an;
}

std::vector<DateiFehlschlag> LokaleDateien::abschliessen() {
    auto fehler = std::move(offen_);
    offen_.clear();
    auto neue = gruppe_->abschliessen();
    fehler.insert(fehler.end(), neue.begin(), neue.end());
    return fehler;
}

bool LokaleDateien::sammlungVoll() const {
    return gruppe_->dateien() >= gruppeDateien_ || gruppe_->bytes() >= kGruppeBytes ||
           gruppe_->offen() + 2 >= Schreibgruppe::hoechstensOffen() / nebeneinander_;
}

void LokaleDateien::verwerfen() {
    gruppe_ = std::make_unique<Schreibgruppe>();
    offen_.clear();
}

Text LokaleDateien::lesen(const std::string& pfad, std::size_t kapazitaet) {
    vorher(pfad);
    return dokumentLesen(pfad, kapazitaet);
}

void LokaleDateien::schreiben(const std::string& pfad, const Text& inhalt) {
    vorAenderung(pfad);
    dokumentSchreiben(pfad, inhalt);
}

void LokaleDateien::stapelSchreiben(const std::string& pfad, const Text& inhalt) {
    vorher(pfad);
    if (sammeln_ && gruppe_->schreiben(pfad, inhalt)) return;
    // Alone (a page that is gone meanwhile): after the group, whose backups it may rely on.
    auto fehler = gruppe_->abschliessen();
    offen_.insert(offen_.end(), fehler.begin(), fehler.end());
    dokumentSchreiben(pfad, inhalt, false);
}

void LokaleDateien::vorschauSchreiben(const std::string& pfad, const Text& inhalt) {
    vorAenderung(pfad);
    const auto problem = ersetzenOhneVerweis(
        pfad, [&](int fd) { return allesSchreiben(fd, inhalt); }, neuerModus());
    if (problem) throw erstellFehler(pfad, *problem);
}

bool LokaleDateien::existiert(const std::string& pfad) {
    vorher(pfad);
    return dateiExistiert(pfad);
}

Dateiart LokaleDateien::art(const std::string& pfad) {
    vorher(pfad);
    struct stat st {};
    if (pfad.empty() || ::lstat(pfad.c_str(), &st) != 0) return Dateiart::Fehlt;
    if (S_ISREG(st.st_mode)) return Dateiart::Datei;
    if (S_ISDIR(st.st_mode)) return Dateiart::Ordner;
    if (S_ISLNK(st.st_mode)) return Dateiart::Verweis;
    return Dateiart::Anderes;
}

bool LokaleDateien::dieselbeDatei(const std::string& a, const std::string& b) {
    vorher(a);
    vorher(b);
    const auto ka = dateiKennung(a);
    return ka && ka == dateiKennung(b);
}

void LokaleDateien::kopieren(const std::string& von, const std::string& nach, bool ueberschreiben) {
    vorher(nach);
    if (sammeln_ && !ueberschreiben) return gruppe_->kopieren(von, nach);
    vorAenderung(von);
    std::string warum;
    if (!dateiKopieren(von, nach, ueberschreiben, &warum)) throw erstellFehler(nach, warum);
}

bool LokaleDateien::umbenennen(const std::string& von, const std::string& nach) {
    if (von.empty() || nach.empty()) return false;
    if (sammeln_ && gruppe_->umbenennen(von, nach)) return true;
    vorher(von);
    vorAenderung(nach);
    return umbenennenOhneErsetzen(von, nach) == 0;
}

std::int32_t LokaleDateien::groesse(const std::string& pfad) {
    vorher(pfad);
    return Dateigroesse(pfad);
}

bool LokaleDateien::loeschen(const std::string& pfad) {
    vorAenderung(pfad);
    return dateiLoeschen(pfad);
}

std::unique_ptr<Dateien> LokaleDateien::nebenleser() {
    return std::make_unique<LokaleDateien>();
}

std::unique_ptr<Dateien> LokaleDateien::nebenschreiber(std::size_t von) {
    auto neben = std::make_unique<LokaleDateien>();
    neben->gruppeDateien_ = gruppeDateien_;
    neben->nebeneinander_ = std::max<std::size_t>(von, 1);
    neben->sammeln(true);
    return neben;
}

std::string LokaleDateien::kennung(const std::string& pfad) {
    const auto k = dateiKennung(pfad);
    if (!k) return pfad;
    return std::to_string(k->first) + ":" + std::to_string(k->second);
}

}  // namespace quintaro
