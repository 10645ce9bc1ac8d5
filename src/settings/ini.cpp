// INI parsing, lookup, editing and the safe rewrite of the whole file.
#include "settings/ini.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>

#include "document/ein_ausgabe.h"
#include "document/sicher_schreiben.h"
#include "engine/dateifehler.h"
#include "engine/text.h"
#include "engine/utf8.h"

namespace quintaro {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool istLeerzeichen(char c) {
    return c == ' ' || c == '\t';
}

std::string_view ohneRand(std::string_view s) {
    while (!s.empty() && istLeerzeichen(s.front())) s.remove_prefix(1);
    while (!s.empty() && istLeerzeichen(s.back())) s.remove_suffix(1);
    return s;
}

// Lower case of the ASCII letters and of the code page 1252 letters that have one.
unsigned char klein(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    if (c == 0x8A || c == 0x8C || c == 0x8E) return c + 0x10;  // Š Œ Ž
    if (c == 0x9F) return 0xFF;                                // Ÿ
    return c;
}

std::string gefaltet(std::string_view s) {
    std::string ergebnis(s);
    for (char& c : ergebnis) c = static_cast<char>(klein(static_cast<unsigned char>(c)));
    return ergebnis;
}

// `name` as written equals the already folded `faltung`.
bool gleichGefaltet(std::string_view name, std::string_view faltung) {
    if (name.size() != faltung.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (klein(static_cast<unsigned char>(name[i])) != static_cast<unsigned char>(faltung[i])) {
            return false;
        }
    }
    return true;
}

// FNV-1a over the folded name; folding twice changes nothing, so a name as written and its
// folding hash alike.
std::uint64_t streuwert(std::string_view name, std::uint64_t start) {
    std::uint64_t h = 14695981039346656037ULL ^ start;
    for (const char c : name) {
        h ^= klein(static_cast<unsigned char>(c));
        h *= 1099511628211ULL;
    }
    // FNV's upper bits barely depend on the last bytes: mixed so that the upper half, which picks
    // the place, depends on all of them.
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDULL;
    h ^= h >> 33;
    return h;
}

std::uint64_t schluesselStreuwert(std::string_view key, std::uint32_t abschnitt) {
    return streuwert(key, (std::uint64_t{abschnitt} + 1) * 0x9E3779B97F4A7C15ULL);
}

// Open addressing with linear probing over numbers whose names live elsewhere. A place holds
// the number + 1 (0: free) and, above it, the upper half of its hash: a probe compares names only
// when those agree, and growing needs no name, as that half also picks the first place to try.
std::uint64_t platzWert(std::uint64_t hash, std::uint32_t nummer) {
    return (hash & 0xFFFFFFFF00000000ULL) | (std::uint64_t{nummer} + 1);
}

template <class Gleich>
std::optional<std::uint32_t> platzSuchen(const std::vector<std::uint64_t>& plaetze,
                                         std::uint64_t hash, Gleich&& gleich) {
    if (plaetze.empty()) return std::nullopt;
    const std::size_t maske = plaetze.size() - 1;
    for (std::size_t i = (hash >> 32) & maske;; i = (i + 1) & maske) {
        const std::uint64_t v = plaetze[i];
        if (v == 0) return std::nullopt;
        const auto nummer = static_cast<std::uint32_t>((v & 0xFFFFFFFFU) - 1);
        if ((v >> 32) == (hash >> 32) && gleich(nummer)) return nummer;
    }
}

void platzBelegen(std::vector<std::uint64_t>& plaetze, std::uint64_t hash, std::uint32_t nummer) {
    const std::size_t maske = plaetze.size() - 1;
    std::size_t i = (hash >> 32) & maske;
    while (plaetze[i] != 0) i = (i + 1) & maske;
    plaetze[i] = platzWert(hash, nummer);
}

// Room for one more while at most half of the places are taken; growing places every number anew.
void platzSichern(std::vector<std::uint64_t>& plaetze, std::size_t belegt) {
    if ((belegt + 1) * 2 <= plaetze.size()) return;
    std::vector<std::uint64_t> neu(std::max<std::size_t>(16, plaetze.size() * 2));
    const std::size_t maske = neu.size() - 1;
    for (const std::uint64_t v : plaetze) {
        if (v == 0) continue;
        std::size_t i = (v >> 32) & maske;
        while (neu[i] != 0) i = (i + 1) & maske;
        neu[i] = v;
    }
    plaetze = std::move(neu);
}

// The name of a section line, or nothing for any other line.
std::optional<std::string_view> abschnittsname(std::string_view zeile) {
    zeile = ohneRand(zeile);
    if (zeile.empty() || zeile.front() != '[') return std::nullopt;
    zeile.remove_prefix(1);
    return ohneRand(zeile.substr(0, zeile.find(']')));
}

std::string einzeilig(std::string_view s) {
    std::string ergebnis(s);
    for (char& c : ergebnis) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return ergebnis;
}

// Where the last of the whole lines in `text` (each ended by '\n') starts.
std::size_t letzteZeile(std::string_view text) {
    const std::size_t vorher = text.size() >= 2 ? text.rfind('\n', text.size() - 2) : text.npos;
    return vorher == std::string_view::npos ? 0 : vorher + 1;
}

bool letzteZeileLeer(std::string_view text) {
    const std::size_t anfang = letzteZeile(text);
    return !text.empty() && ohneRand(text.substr(anfang, text.size() - 1 - anfang)).empty();
}

// Bytes of the blank lines that end `text`. Looks at no line before the last one that is not
// blank.
std::size_t leereZeilenAmEnde(std::string_view text) {
    std::size_t ende = text.size();
    while (letzteZeileLeer(text.substr(0, ende))) ende = letzteZeile(text.substr(0, ende));
    return text.size() - ende;
}

std::string schreibFehler(const std::string& path) {
    return "In " + path + " kann nicht geschrieben werden";
}

}  // namespace

std::optional<std::int32_t> iniZahl(std::string_view wert) {
    bool negativ = false;
    if (!wert.empty() && (wert.front() == '+' || wert.front() == '-')) {
        negativ = wert.front() == '-';
        wert.remove_prefix(1);
    }
    unsigned basis = 10;
    if (!wert.empty() && wert.front() == '$') {
        basis = 16;
        wert.remove_prefix(1);
    } else if (wert.size() > 2 && wert[0] == '0' && (wert[1] == 'x' || wert[1] == 'X')) {
        basis = 16;
        wert.remove_prefix(2);
    }
    if (wert.empty()) return std::nullopt;
    // Decimal must fit the signed range; hexadecimal may use all 32 bits.
    const std::uint64_t grenze = basis == 16 ? 0xFFFFFFFFu : (negativ ? 0x80000000u : 0x7FFFFFFFu);
    std::uint64_t zahl = 0;
    for (const char c : wert) {
        unsigned ziffer;
        if (c >= '0' && c <= '9') {
            ziffer = static_cast<unsigned>(c - '0');
        } else if (basis == 16 && c >= 'a' && c <= 'f') {
            ziffer = static_cast<unsigned>(c - 'a' + 10);
        } else if (basis == 16 && c >= 'A' && c <= 'F') {
            ziffer = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        zahl = zahl * basis + ziffer;
        if (zahl > grenze) return std::nullopt;
    }
    std::uint32_t bits = static_cast<std::uint32_t>(zahl);
    if (negativ) bits = ~bits + 1u;
    return static_cast<std::int32_t>(bits);
}

IniDatei::IniDatei(std::string_view bytes) {
    bom_ = bytes.substr(0, kBom.size()) == kBom;
    const std::string_view text = bytes.substr(bom_ ? kBom.size() : 0);
    utf8_ =
        bom_ || (std::any_of(text.begin(), text.end(),
                             [](char c) { return (static_cast<unsigned char>(c) & 0x80) != 0; }) &&
                 utf8::wohlgeformt(text));
    puffer_.reserve(text.size() + 1);

    // Section and key lines of a UTF-8 file in code page 1252 where they can be; all other lines
    // stay as they are.
    std::string umgewandelt;
    auto lesbar = [&](std::string_view zeile, bool& roh) -> std::string_view {
        roh = false;
        if (!utf8_) return zeile;
        if (auto cp1252 = utf8NachCp1252Verlustfrei(zeile)) {
            umgewandelt = std::move(*cp1252);
            return umgewandelt;
        }
        roh = true;
        return zeile;
    };
    bool liest = false;  // the current section is the first of its name: its keys count
    auto ziel = [&]() -> std::vector<Stueck>& {
        return abschnitte_.empty() ? vorspann_ : abschnitte_.back().stuecke;
    };
    auto zeileAufnehmen = [&](std::string_view zeile) {
        bool roh = false;
        if (abschnittsname(zeile)) {
            Abschnitt a;
            const std::string_view kopf = lesbar(zeile, roh);
            a.kopf = anhaengen(kopf);
            a.kopf.roh = roh;
            abschnittAufnehmen(std::move(a));
            liest = abschnitte_.back().erster;
            return;
        }
        const auto gleich = zeile.find('=');
        if (liest && gleich != std::string_view::npos) {
            const std::string_view z = lesbar(zeile, roh);
            const std::string_view key = ohneRand(z.substr(0, z.find('=')));
            const auto nr = static_cast<std::uint32_t>(abschnitte_.size() - 1);
            const std::string faltung = gefaltet(key);
            const bool neu = !platzSuchen(
                schluesselPlaetze_, schluesselStreuwert(faltung, nr), [&](std::uint32_t e) {
                    const Eintrag& ein = eintraege_[e];
                    return ein.abschnitt == nr &&
                           gleichGefaltet(schluesselVon(abschnitte_[nr].stuecke[ein.stueck]),
                                          faltung);
                });
            if (neu) {
                Stueck s = anhaengen(z);
                s.schluessel = true;
                s.roh = roh;
                auto& stuecke = abschnitte_.back().stuecke;
                stuecke.push_back(s);
                schluesselAufnehmen(nr, static_cast<std::uint32_t>(stuecke.size() - 1));
                ++abschnitte_.back().schluesselAnzahl;
                return;
            }
        }
        // Never read: kept byte for byte.
        const std::size_t anfang = puffer_.size();
        puffer_.append(zeile);
        puffer_ += '\n';
        fuellAnhaengen(ziel(), anfang, zeile.size() + 1, utf8_, ohneRand(zeile).empty());
    };
    std::size_t anfang = 0;
    while (anfang < text.size()) {
        const auto ende = text.find_first_of("\r\n", anfang);
        if (ende == std::string_view::npos) {
            zeileAufnehmen(text.substr(anfang));
            break;
        }
        zeileAufnehmen(text.substr(anfang, ende - anfang));
        anfang = ende + 1;
        if (text[ende] == '\r' && anfang < text.size() && text[anfang] == '\n') ++anfang;
    }
}

std::string_view IniDatei::zeile(const Stueck& s) const {
    return std::string_view(puffer_).substr(s.anfang, s.laenge - 1);
}

std::string_view IniDatei::name(const Abschnitt& a) const {
    return *abschnittsname(zeile(a.kopf));
}

std::string_view IniDatei::schluesselVon(const Stueck& s) const {
    const std::string_view z = zeile(s);
    return ohneRand(z.substr(0, z.find('=')));
}

IniDatei::Stueck IniDatei::anhaengen(std::string_view zeile) {
    Stueck s;
    s.anfang = puffer_.size();
    s.laenge = static_cast<std::uint32_t>(zeile.size() + 1);
    puffer_.append(zeile);
    puffer_ += '\n';
    return s;
}

void IniDatei::fuellAnhaengen(std::vector<Stueck>& stuecke, std::size_t anfang, std::size_t laenge,
                              bool roh, bool leer) {
    // A run of such lines is one piece, so a million blank lines cost no more than their bytes.
    if (!stuecke.empty()) {
        Stueck& letztes = stuecke.back();
        if (!letztes.schluessel && letztes.roh == roh &&
            letztes.anfang + letztes.laenge == anfang &&
            letztes.laenge + laenge <= std::numeric_limits<std::uint32_t>::max()) {
            letztes.laenge += static_cast<std::uint32_t>(laenge);
            letztes.leer = letztes.leer && leer;
            return;
        }
    }
    Stueck s;
    s.anfang = anfang;
    s.laenge = static_cast<std::uint32_t>(laenge);
    s.roh = roh;
    s.leer = leer;
    stuecke.push_back(s);
}

std::size_t IniDatei::nachLetzterZeile(std::vector<Stueck>& stuecke) {
    std::size_t pos = stuecke.size();
    while (pos > 0 && stuecke[pos - 1].leer) --pos;
    if (pos == 0 || stuecke[pos - 1].schluessel) return pos;
    Stueck& s = stuecke[pos - 1];
    const std::size_t leer =
        leereZeilenAmEnde(std::string_view(puffer_).substr(s.anfang, s.laenge));
    if (leer > 0) {
        // Only blank lines follow the split, so no key's place moves.
        Stueck rest = s;
        rest.anfang += s.laenge - leer;
        rest.laenge = static_cast<std::uint32_t>(leer);
        rest.leer = true;
        s.laenge -= static_cast<std::uint32_t>(leer);
        stuecke.insert(stuecke.begin() + static_cast<std::ptrdiff_t>(pos), rest);
    }
    return pos;
}

std::optional<std::uint32_t> IniDatei::findeAbschnitt(std::string_view faltung) const {
    return platzSuchen(abschnittPlaetze_, streuwert(faltung, 0), [&](std::uint32_t n) {
        return gleichGefaltet(name(abschnitte_[n]), faltung);
    });
}

const IniDatei::Stueck* IniDatei::findeSchluessel(std::string_view abschnitt,
                                                  std::string_view schluessel) const {
    const auto nr = findeAbschnitt(gefaltet(ohneRand(abschnitt)));
    if (!nr) return nullptr;
    const std::string faltung = gefaltet(ohneRand(schluessel));
    const auto e =
        platzSuchen(schluesselPlaetze_, schluesselStreuwert(faltung, *nr), [&](std::uint32_t n) {
            const Eintrag& ein = eintraege_[n];
            return ein.abschnitt == *nr &&
                   gleichGefaltet(schluesselVon(abschnitte_[*nr].stuecke[ein.stueck]), faltung);
        });
    if (!e) return nullptr;
    return &abschnitte_[*nr].stuecke[eintraege_[*e].stueck];
}

void IniDatei::abschnittAufnehmen(Abschnitt abschnitt) {
    const auto nr = static_cast<std::uint32_t>(abschnitte_.size());
    const std::string faltung = gefaltet(name(abschnitt));
    abschnitt.erster = !findeAbschnitt(faltung);
    abschnitt.schluesselAnzahl = 0;
    abschnitte_.push_back(std::move(abschnitt));
    Abschnitt& a = abschnitte_.back();
    if (!a.erster) return;
    platzSichern(abschnittPlaetze_, ersteAbschnitte_);
    platzBelegen(abschnittPlaetze_, streuwert(faltung, 0), nr);
    ++ersteAbschnitte_;
    for (std::size_t i = 0; i < a.stuecke.size(); ++i) {
        if (!a.stuecke[i].schluessel) continue;
        schluesselAufnehmen(nr, static_cast<std::uint32_t>(i));
        ++a.schluesselAnzahl;
    }
}

void IniDatei::schluesselAufnehmen(std::uint32_t abschnitt, std::uint32_t stueck) {
    platzSichern(schluesselPlaetze_, eintraege_.size());
    const auto nummer = static_cast<std::uint32_t>(eintraege_.size());
    eintraege_.push_back({abschnitt, stueck});
    platzBelegen(
        schluesselPlaetze_,
        schluesselStreuwert(schluesselVon(abschnitte_[abschnitt].stuecke[stueck]), abschnitt),
        nummer);
}

void IniDatei::indexNeu() {
    std::vector<Abschnitt> alle = std::move(abschnitte_);
    abschnitte_.clear();
    abschnittPlaetze_.clear();
    schluesselPlaetze_.clear();
    eintraege_.clear();
    ersteAbschnitte_ = 0;
    for (Abschnitt& a : alle) abschnittAufnehmen(std::move(a));
}

IniDatei IniDatei::laden(const std::string& path) {
    const Deskriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    if (fd.get() < 0) {
        IniDatei leer;
        // Missing: the first save creates it. Present but closed to us: keep it safe.
        leer.unlesbar_ = errno != ENOENT && errno != ENOTDIR && ::stat(path.c_str(), &st) == 0;
        return leer;
    }
    std::string inhalt;
    // Anything but a regular file (a folder, a pipe) reads as empty and is not replaced.
    const bool datei = ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode);
    // Refused before it is read; one that grows meanwhile stops at the limit.
    bool zuGross = datei && static_cast<std::uint64_t>(st.st_size) > kIniGrenze;
    int fehler = 0;
    if (datei && !zuGross) {
        fehler = allesLesen(fd.get(), inhalt, kIniGrenze);
        zuGross = fehler == EFBIG;
    }
    if (!datei || zuGross || fehler != 0) {
        IniDatei leer;
        leer.unlesbar_ = true;
        leer.zuGross_ = zuGross;
        return leer;
    }
    return IniDatei(inhalt);
}

std::optional<std::string> IniDatei::wert(std::string_view abschnitt,
                                          std::string_view schluessel) const {
    const Stueck* s = findeSchluessel(abschnitt, schluessel);
    if (s == nullptr || s->roh) return std::nullopt;
    const std::string_view z = zeile(*s);
    std::string_view v = ohneRand(z.substr(z.find('=') + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v = v.substr(1, v.size() - 2);
    }
    return std::string(v.substr(0, kIniWertLaenge));
}

std::optional<std::string> IniDatei::fremdesZeichen(std::string_view abschnitt,
                                                    std::string_view schluessel) const {
    const Stueck* s = findeSchluessel(abschnitt, schluessel);
    if (s == nullptr || !s->roh) return std::nullopt;
    const std::string_view z = zeile(*s);
    for (std::size_t i = 0; i < z.size();) {
        const auto zeichen = utf8::erstesZeichen(z.substr(i));
        if (!zeichen) return std::string(1, z[i]);
        const std::string_view folge = z.substr(i, zeichen->laenge);
        if (!utf8NachCp1252Verlustfrei(folge)) return std::string(folge);
        i += zeichen->laenge;
    }
    return std::nullopt;
}

std::string IniDatei::leseText(std::string_view abschnitt, std::string_view schluessel,
                               std::string_view vorgabe) const {
    auto v = wert(abschnitt, schluessel);
    return v ? std::move(*v) : std::string(vorgabe);
}

std::int32_t IniDatei::leseZahl(std::string_view abschnitt, std::string_view schluessel,
                                std::int32_t vorgabe) const {
    const auto v = wert(abschnitt, schluessel);
    if (!v) return vorgabe;
    return iniZahl(*v).value_or(vorgabe);
}

bool IniDatei::leseBool(std::string_view abschnitt, std::string_view schluessel,
                        bool vorgabe) const {
    return leseZahl(abschnitt, schluessel, vorgabe ? 1 : 0) != 0;
}

void IniDatei::schreibeText(std::string_view abschnitt, std::string_view schluessel,
                            std::string_view wert) {
    const std::string name = einzeilig(ohneRand(abschnitt));
    const std::string key = einzeilig(ohneRand(schluessel));
    auto nr = findeAbschnitt(gefaltet(name));
    if (!nr) {
        // A blank line before a new section, unless the file is empty or ends with one.
        std::vector<Stueck>& letzte = abschnitte_.empty() ? vorspann_ : abschnitte_.back().stuecke;
        const bool dateiLeer = abschnitte_.empty() && vorspann_.empty();
        bool endetLeer = false;
        if (!letzte.empty() && !letzte.back().schluessel) {
            const Stueck& s = letzte.back();
            endetLeer =
                s.leer || letzteZeileLeer(std::string_view(puffer_).substr(s.anfang, s.laenge));
        }
        if (!dateiLeer && !endetLeer) {
            const Stueck leer = anhaengen("");
            fuellAnhaengen(letzte, leer.anfang, leer.laenge, false, true);
        }
        Abschnitt a;
        a.kopf = anhaengen("[" + name + "]");
        abschnittAufnehmen(std::move(a));
        nr = static_cast<std::uint32_t>(abschnitte_.size() - 1);
    }
    Abschnitt& a = abschnitte_[*nr];
    if (const Stueck* alt = findeSchluessel(name, key)) {
        // The key keeps its spelling; one read as it was (not code page 1252) takes the new one.
        const std::string neu =
            std::string(alt->roh ? std::string_view(key) : schluesselVon(*alt)) + "=" +
            einzeilig(wert);
        Stueck& s = a.stuecke[static_cast<std::size_t>(alt - a.stuecke.data())];
        s = anhaengen(neu);
        s.schluessel = true;
        return;
    }
    const std::size_t pos = nachLetzterZeile(a.stuecke);
    Stueck s = anhaengen(key + "=" + einzeilig(wert));
    s.schluessel = true;
    a.stuecke.insert(a.stuecke.begin() + static_cast<std::ptrdiff_t>(pos), s);
    schluesselAufnehmen(*nr, static_cast<std::uint32_t>(pos));
    ++a.schluesselAnzahl;
}

void IniDatei::schreibeZahl(std::string_view abschnitt, std::string_view schluessel,
                            std::int32_t wert) {
    schreibeText(abschnitt, schluessel, std::to_string(wert));
}

void IniDatei::schreibeBool(std::string_view abschnitt, std::string_view schluessel, bool wert) {
    schreibeText(abschnitt, schluessel, wert ? "1" : "0");
}

void IniDatei::abschnittLoeschen(std::string_view abschnitt) {
    const std::string faltung = gefaltet(ohneRand(abschnitt));
    std::erase_if(abschnitte_,
                  [&](const Abschnitt& a) { return gleichGefaltet(name(a), faltung); });
    indexNeu();
}

void IniDatei::abschnittLeeren(std::string_view abschnitt) {
    const std::string faltung = gefaltet(ohneRand(abschnitt));
    bool erster = true;
    std::erase_if(abschnitte_, [&](Abschnitt& a) {
        if (!gleichGefaltet(name(a), faltung)) return false;
        if (!erster) return true;
        erster = false;
        const std::size_t pos = nachLetzterZeile(a.stuecke);
        a.stuecke.erase(a.stuecke.begin(), a.stuecke.begin() + static_cast<std::ptrdiff_t>(pos));
        return false;
    });
    indexNeu();
}

std::vector<std::string> IniDatei::schluessel(std::string_view abschnitt) const {
    std::vector<std::string> namen;
    if (const auto nr = findeAbschnitt(gefaltet(ohneRand(abschnitt)))) {
        for (const Stueck& s : abschnitte_[*nr].stuecke) {
            if (s.schluessel) namen.push_back(gefaltet(schluesselVon(s)));
        }
    }
    return namen;
}

std::size_t IniDatei::schluesselAnzahl(std::string_view abschnitt) const {
    const auto nr = findeAbschnitt(gefaltet(ohneRand(abschnitt)));
    return nr ? abschnitte_[*nr].schluesselAnzahl : 0;
}

std::string IniDatei::inhalt() const {
    std::string ergebnis;
    ergebnis.reserve(puffer_.size() + puffer_.size() / 8 + kBom.size());
    if (utf8_ && bom_) ergebnis += kBom;
    std::string umgewandelt;
    auto anhaengenMitCrLf = [&](const Stueck& s) {
        std::string_view text = std::string_view(puffer_).substr(s.anfang, s.laenge);
        if (utf8_ && !s.roh) {
            umgewandelt = cp1252NachUtf8(text);
            text = umgewandelt;
        }
        for (std::size_t a = 0; a < text.size();) {
            const std::size_t e = text.find('\n', a);
            ergebnis.append(text.substr(a, e - a));
            ergebnis += "\r\n";
            a = e + 1;
        }
    };
    for (const Stueck& s : vorspann_) anhaengenMitCrLf(s);
    for (const Abschnitt& a : abschnitte_) {
        anhaengenMitCrLf(a.kopf);
        for (const Stueck& s : a.stuecke) anhaengenMitCrLf(s);
    }
    return ergebnis;
}

void IniDatei::speichern(const std::string& path) const {
    if (unlesbar_ || sicherSchreiben(path, inhalt())) throw DateiFehler(schreibFehler(path));
}

}  // namespace quintaro
