// INI parsing, lookup, editing and the safe rewrite of the whole file.
#include "settings/ini.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "document/ein_ausgabe.h"
#include "document/sicher_schreiben.h"
#include "engine/dateifehler.h"
#include "engine/text.h"

namespace quintaro {

namespace {

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

// The name of a section line, or nothing for any other line.
std::optional<std::string_view> abschnittsname(std::string_view zeile) {
    zeile = ohneRand(zeile);
    if (zeile.empty() || zeile.front() != '[') return std::nullopt;
    zeile.remove_prefix(1);
    return ohneRand(zeile.substr(0, zeile.find(']')));
}

// The key of a key line, or nothing for a line without '='.
std::optional<std::string_view> schluesselVon(std::string_view zeile) {
    const auto gleich = zeile.find('=');
    if (gleich == std::string_view::npos) return std::nullopt;
    return ohneRand(zeile.substr(0, gleich));
}

std::string einzeilig(std::string_view s) {
    std::string ergebnis(s);
    for (char& c : ergebnis) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return ergebnis;
}

// The file's text in code page 1252: UTF-8 with a byte-order mark, or well-formed UTF-8 holding
// multi-byte sequences, is converted; anything else is taken as it is.
std::string alsCp1252(std::string inhalt) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    const bool bom = std::string_view(inhalt).substr(0, kBom.size()) == kBom;
    const std::string_view text = std::string_view(inhalt).substr(bom ? kBom.size() : 0);
    const bool mehrbyte =
        std::any_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; });
    if (!bom && !mehrbyte) return inhalt;
    if (auto cp1252 = utf8ToCp1252(text)) return std::move(*cp1252);
    // Not UTF-8 after all (or characters code page 1252 lacks): the bytes as they are.
    return bom ? std::string(text) : inhalt;
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

IniDatei::IniDatei(std::string_view inhalt) {
    std::vector<std::string>* ziel = &vorspann_;
    auto zeileAufnehmen = [&](std::string_view zeile) {
        if (const auto name = abschnittsname(zeile)) {
            abschnitte_.push_back(Abschnitt{std::string(zeile), {}, {}});
            ziel = &abschnitte_.back().zeilen;
        } else {
            ziel->emplace_back(zeile);
        }
    };
    std::size_t anfang = 0;
    for (std::size_t i = 0; i < inhalt.size(); ++i) {
        if (inhalt[i] != '\r' && inhalt[i] != '\n') continue;
        zeileAufnehmen(inhalt.substr(anfang, i - anfang));
        if (inhalt[i] == '\r' && i + 1 < inhalt.size() && inhalt[i + 1] == '\n') ++i;
        anfang = i + 1;
    }
    if (anfang < inhalt.size()) zeileAufnehmen(inhalt.substr(anfang));
    indexNeu();
}

void IniDatei::indexNeu() {
    namen_.clear();
    for (std::size_t a = 0; a < abschnitte_.size(); ++a) {
        Abschnitt& abschnitt = abschnitte_[a];
        namen_.try_emplace(gefaltet(*abschnittsname(abschnitt.kopf)), a);
        abschnitt.schluessel.clear();
        for (std::size_t z = 0; z < abschnitt.zeilen.size(); ++z) {
            if (const auto key = schluesselVon(abschnitt.zeilen[z])) {
                abschnitt.schluessel.try_emplace(gefaltet(*key), z);
            }
        }
    }
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
    const bool ok =
        ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) && allesLesen(fd.get(), inhalt) == 0;
    if (!ok) {
        IniDatei leer;
        leer.unlesbar_ = true;
        return leer;
    }
    return IniDatei(alsCp1252(std::move(inhalt)));
}

const IniDatei::Abschnitt* IniDatei::finde(std::string_view abschnitt) const {
    const auto it = namen_.find(gefaltet(ohneRand(abschnitt)));
    return it == namen_.end() ? nullptr : &abschnitte_[it->second];
}

std::optional<std::string> IniDatei::wert(std::string_view abschnitt,
                                          std::string_view schluessel) const {
    const Abschnitt* a = finde(abschnitt);
    if (a == nullptr) return std::nullopt;
    const auto it = a->schluessel.find(gefaltet(ohneRand(schluessel)));
    if (it == a->schluessel.end()) return std::nullopt;
    const std::string& zeile = a->zeilen[it->second];
    std::string_view v = ohneRand(std::string_view(zeile).substr(zeile.find('=') + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v = v.substr(1, v.size() - 2);
    }
    return std::string(v.substr(0, kIniWertLaenge));
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
    const std::string zeile = key + "=" + einzeilig(wert);

    const std::string gefaltetName = gefaltet(name);
    auto it = namen_.find(gefaltetName);
    if (it == namen_.end()) {
        // A blank line before a new section, unless the file is empty or ends with one.
        std::vector<std::string>& letzte =
            abschnitte_.empty() ? vorspann_ : abschnitte_.back().zeilen;
        const bool dateiLeer = abschnitte_.empty() && vorspann_.empty();
        const bool endetLeer = !letzte.empty() && ohneRand(letzte.back()).empty();
        if (!dateiLeer && !endetLeer) letzte.emplace_back();
        abschnitte_.push_back(Abschnitt{"[" + name + "]", {}, {}});
        it = namen_.emplace(gefaltetName, abschnitte_.size() - 1).first;
    }
    Abschnitt& a = abschnitte_[it->second];
    const std::string gefaltetKey = gefaltet(key);
    if (const auto k = a.schluessel.find(gefaltetKey); k != a.schluessel.end()) {
        std::string& alt = a.zeilen[k->second];
        alt = std::string(*schluesselVon(alt)) + "=" + einzeilig(wert);
        return;
    }
    // After the last non-blank line; only blank lines follow it, so no index moves.
    std::size_t pos = a.zeilen.size();
    while (pos > 0 && ohneRand(a.zeilen[pos - 1]).empty()) --pos;
    a.zeilen.insert(a.zeilen.begin() + static_cast<std::ptrdiff_t>(pos), zeile);
    a.schluessel.emplace(gefaltetKey, pos);
}

void IniDatei::schreibeZahl(std::string_view abschnitt, std::string_view schluessel,
                            std::int32_t wert) {
    schreibeText(abschnitt, schluessel, std::to_string(wert));
}

void IniDatei::schreibeBool(std::string_view abschnitt, std::string_view schluessel, bool wert) {
    schreibeText(abschnitt, schluessel, wert ? "1" : "0");
}

void IniDatei::abschnittLoeschen(std::string_view abschnitt) {
    const std::string name = gefaltet(ohneRand(abschnitt));
    std::erase_if(abschnitte_,
                  [&](const Abschnitt& a) { return gefaltet(*abschnittsname(a.kopf)) == name; });
    indexNeu();
}

void IniDatei::abschnittLeeren(std::string_view abschnitt) {
    const std::string name = gefaltet(ohneRand(abschnitt));
    bool erster = true;
    std::erase_if(abschnitte_, [&](Abschnitt& a) {
        if (gefaltet(*abschnittsname(a.kopf)) != name) return false;
        if (!erster) return true;
        erster = false;
        std::size_t leer = a.zeilen.size();
        while (leer > 0 && ohneRand(a.zeilen[leer - 1]).empty()) --leer;
        a.zeilen.erase(a.zeilen.begin(), a.zeilen.begin() + static_cast<std::ptrdiff_t>(leer));
        return false;
    });
    indexNeu();
}

std::vector<std::string> IniDatei::schluessel(std::string_view abschnitt) const {
    std::vector<std::string> namen;
    if (const Abschnitt* a = finde(abschnitt)) {
        for (const auto& [name, zeile] : a->schluessel) namen.push_back(name);
    }
    return namen;
}

std::size_t IniDatei::schluesselAnzahl(std::string_view abschnitt) const {
    const Abschnitt* a = finde(abschnitt);
    return a == nullptr ? 0 : a->schluessel.size();
}

std::string IniDatei::inhalt() const {
    std::string ergebnis;
    auto anhaengen = [&](const std::string& zeile) {
        ergebnis += zeile;
        ergebnis += "\r\n";
    };
    for (const auto& zeile : vorspann_) anhaengen(zeile);
    for (const auto& a : abschnitte_) {
        anhaengen(a.kopf);
        for (const auto& zeile : a.zeilen) anhaengen(zeile);
    }
    return ergebnis;
}

void IniDatei::speichern(const std::string& path) const {
    if (unlesbar_ || sicherSchreiben(path, inhalt())) throw DateiFehler(schreibFehler(path));
}

}  // namespace quintaro
