// Mapping between the settings file's sections and the window's state.
#include "settings/einstellungen.h"

#include <algorithm>

#include "settings/ablageort.h"

namespace quintaro {

namespace {

constexpr std::string_view kAbschnittOptionen = "Optionen";
constexpr std::string_view kErweiterungen = "Erweiterungen";
constexpr std::string_view kReplaces = "Replaces";
constexpr std::string_view kProgramm = "Programm";
constexpr std::string_view kAnzahl = "Anzahl";

// Reads through the file and notes every key whose value it holds in characters that code page
// 1252 lacks: such a value reads as missing.
class Leser {
  public:
    Leser(const IniDatei& ini, std::vector<FremderWert>& fremd) : ini_(ini), fremd_(fremd) {}
    const IniDatei& ini() const { return ini_; }
    std::string text(std::string_view abschnitt, std::string_view key, std::string_view vorgabe) {
        pruefen(abschnitt, key);
        return ini_.leseText(abschnitt, key, vorgabe);
    }
    std::int32_t zahl(std::string_view abschnitt, std::string_view key, std::int32_t vorgabe) {
        pruefen(abschnitt, key);
        return ini_.leseZahl(abschnitt, key, vorgabe);
    }
    bool wahr(std::string_view abschnitt, std::string_view key, bool vorgabe) {
        pruefen(abschnitt, key);
        return ini_.leseBool(abschnitt, key, vorgabe);
    }

  private:
    void pruefen(std::string_view abschnitt, std::string_view key) {
        // Only a UTF-8 file keeps lines that code page 1252 cannot hold.
        if (!ini_.utf8()) return;
        if (auto zeichen = ini_.fremdesZeichen(abschnitt, key)) {
            fremd_.push_back({std::string(abschnitt), std::string(key), std::move(*zeichen)});
        }
    }

    const IniDatei& ini_;
    std::vector<FremderWert>& fremd_;
};

// How many entries a list section yields: its "Anzahl", bounded as documented in the header.
// `erste` is the number of the first entry (0 or 1); a key is the entry's number, followed by
// letters for its other fields ("5", "5a").
std::size_t listenlaenge(Leser& leser, std::string_view abschnitt, std::size_t aktuell,
                         std::size_t erste) {
    const IniDatei& ini = leser.ini();
    const std::int32_t anzahl = leser.zahl(abschnitt, kAnzahl, 0);
    if (anzahl <= 0) return 0;
    const auto grenze = static_cast<std::size_t>(anzahl);
    std::size_t laenge = std::min(grenze, aktuell + ini.schluesselAnzahl(abschnitt));
    for (const std::string& key : ini.schluessel(abschnitt)) {
        std::size_t nummer = 0;
        std::size_t i = 0;
        for (; i < key.size() && key[i] >= '0' && key[i] <= '9' && nummer <= grenze; ++i) {
            nummer = nummer * 10 + static_cast<std::size_t>(key[i] - '0');
        }
        if (i == 0 || nummer < erste || nummer - erste >= std::min(grenze, kListenStellen)) {
            continue;
        }
        laenge = std::max(laenge, nummer - erste + 1);
    }
    return laenge;
}

}  // namespace

const std::array<int, kOptionCount> kOptionenReihenfolge = {
    ZU, DZU, DL, LZT, LIT, TAB, KMA, KMM, SZ,  SK, DKS,
    AE, NOA, OA, PES, PEE, FPW, OT,  HSB, CSS, JS, ATK,
};

std::string iniPfad(const std::string& programmOrdner) {
    std::string pfad = programmOrdner;
    if (!pfad.empty() && pfad.back() != '/') pfad += '/';
    return pfad + std::string(kIniName);
}

Geladen einstellungenAnwenden(const IniDatei& ini, const Einstellungen& aktuell) {
    Geladen ergebnis{aktuell, false, false, {}};
    Einstellungen& e = ergebnis.einstellungen;
    Leser leser(ini, ergebnis.fremd);

    for (const int index : kOptionenReihenfolge) {
        const OptionInfo& info = kOptionen[static_cast<std::size_t>(index)];
        e.optionen.set(index, leser.wahr(kAbschnittOptionen, info.key, info.defaultOn));
    }

    const std::size_t filter = listenlaenge(leser, kErweiterungen, e.filter.size(), 0);
    for (std::size_t i = 0; i < filter; ++i) {
        Text eintrag = leser.text(kErweiterungen, std::to_string(i), "");
        if (i < e.filter.size()) {
            e.filter[i] = std::move(eintrag);
        } else {
            e.filter.push_back(std::move(eintrag));
        }
    }

    const std::size_t zeilen =
        listenlaenge(leser, kReplaces, static_cast<std::size_t>(e.tabelle.anzahl()), 1);
    if (zeilen > 0) {
        std::vector<Ersetzung> tabelle(zeilen);
        for (std::size_t r = 1; r <= zeilen; ++r) {
            const std::string key = std::to_string(r);
            tabelle[r - 1] = {leser.text(kReplaces, key, ""), leser.text(kReplaces, key + "a", "")};
        }
        e.tabelle.setzeAlle(std::move(tabelle));
    }

    if (leser.text(kProgramm, "Gesetzt", "") == "Ja") {
        ergebnis.fensterSetzen = true;
        e.fenster.breite = leser.zahl(kProgramm, "Breite", 0);
        e.fenster.hoehe = leser.zahl(kProgramm, "Hoehe", 0);
        e.fenster.links = std::max(leser.zahl(kProgramm, "Horizontal", 0), 0);
        e.fenster.oben = std::max(leser.zahl(kProgramm, "Vertikal", 0), 0);
    }
    return ergebnis;
}

Geladen einstellungenLesen(const std::string& path, const Einstellungen& aktuell) {
    const IniDatei ini = IniDatei::laden(path);
    Geladen geladen = einstellungenAnwenden(ini, aktuell);
    geladen.zuGross = ini.zuGross();
    return geladen;
}

void einstellungenEintragen(IniDatei& ini, const Einstellungen& zustand,
                            std::string_view argument) {
    const bool alles = argument == "Alles";
    if (alles || zustand.optionen[PES]) {
        for (const int index : kOptionenReihenfolge) {
            const OptionInfo& info = kOptionen[static_cast<std::size_t>(index)];
            ini.schreibeBool(kAbschnittOptionen, info.key, zustand.optionen[index]);
        }

        ini.abschnittLeeren(kErweiterungen);
        ini.schreibeZahl(kErweiterungen, kAnzahl, static_cast<std::int32_t>(zustand.filter.size()));
        for (std::size_t i = 0; i < zustand.filter.size(); ++i) {
            ini.schreibeText(kErweiterungen, std::to_string(i), zustand.filter[i]);
        }

        ini.abschnittLeeren(kReplaces);
        ini.schreibeZahl(kReplaces, kAnzahl, zustand.tabelle.anzahl());
        for (int r = 1; r <= zustand.tabelle.anzahl(); ++r) {
            const Ersetzung& zeile = zustand.tabelle.zeile(r);
            ini.schreibeText(kReplaces, std::to_string(r), zeile.suchtext);
            ini.schreibeText(kReplaces, std::to_string(r) + "a", zeile.ersatztext);
        }
    }
    ini.schreibeText(kProgramm, "Gesetzt", alles || zustand.optionen[PEE] ? "Ja" : "Nein");
    ini.schreibeZahl(kProgramm, "Breite", zustand.fenster.breite);
    ini.schreibeZahl(kProgramm, "Hoehe", zustand.fenster.hoehe);
    ini.schreibeZahl(kProgramm, "Horizontal", zustand.fenster.links);
    ini.schreibeZahl(kProgramm, "Vertikal", zustand.fenster.oben);
}

void IniSpeichern(const std::string& path, const Einstellungen& zustand,
                  std::string_view argument) {
    IniDatei ini = IniDatei::laden(path);
    // The user was told at the start that it is not read; no close replaces it unasked.
    if (ini.zuGross() && argument != "Alles") return;
    einstellungenEintragen(ini, zustand, argument);
    // The per-user folder appears with the first save; a failure shows as the file's error.
    ordnerFuerDateiAnlegen(path);
    ini.speichern(path);
}

}  // namespace quintaro
