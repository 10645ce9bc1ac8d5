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

// How many entries a list section yields: its "Anzahl", bounded as documented in the header.
// `erste` is the number of the first entry (0 or 1); a key is the entry's number, followed by
// letters for its other fields ("5", "5a").
std::size_t listenlaenge(const IniDatei& ini, std::string_view abschnitt, std::size_t aktuell,
                         std::size_t erste) {
    const std::int32_t anzahl = ini.leseZahl(abschnitt, kAnzahl, 0);
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
    ZU, DZU, DL, LZT, LIT, TAB, KMA, KMM, SZ, SK, DKS, AE, NOA, OA, PES, PEE, FPW, OT, HSB,
};

std::string iniPfad(const std::string& programmOrdner) {
    std::string pfad = programmOrdner;
    if (!pfad.empty() && pfad.back() != '/') pfad += '/';
    return pfad + std::string(kIniName);
}

Geladen einstellungenAnwenden(const IniDatei& ini, const Einstellungen& aktuell) {
    Geladen ergebnis{aktuell, false};
    Einstellungen& e = ergebnis.einstellungen;

    for (const int index : kOptionenReihenfolge) {
        const OptionInfo& info = kOptionen[static_cast<std::size_t>(index)];
        e.optionen.set(index, ini.leseBool(kAbschnittOptionen, info.key, info.defaultOn));
    }

    const std::size_t filter = listenlaenge(ini, kErweiterungen, e.filter.size(), 0);
    for (std::size_t i = 0; i < filter; ++i) {
        Text eintrag = ini.leseText(kErweiterungen, std::to_string(i), "");
        if (i < e.filter.size()) {
            e.filter[i] = std::move(eintrag);
        } else {
            e.filter.push_back(std::move(eintrag));
        }
    }

    const std::size_t zeilen =
        listenlaenge(ini, kReplaces, static_cast<std::size_t>(e.tabelle.anzahl()), 1);
    if (zeilen > 0) {
        std::vector<Ersetzung> tabelle(zeilen);
        for (std::size_t r = 1; r <= zeilen; ++r) {
            const std::string key = std::to_string(r);
            tabelle[r - 1] = {ini.leseText(kReplaces, key, ""),
                              ini.leseText(kReplaces, key + "a", "")};
        }
        e.tabelle.setzeAlle(std::move(tabelle));
    }

    if (ini.leseText(kProgramm, "Gesetzt", "") == "Ja") {
        ergebnis.fensterSetzen = true;
        e.fenster.breite = ini.leseZahl(kProgramm, "Breite", 0);
        e.fenster.hoehe = ini.leseZahl(kProgramm, "Hoehe", 0);
        e.fenster.links = std::max(ini.leseZahl(kProgramm, "Horizontal", 0), 0);
        e.fenster.oben = std::max(ini.leseZahl(kProgramm, "Vertikal", 0), 0);
    }
    return ergebnis;
}

Geladen einstellungenLesen(const std::string& path, const Einstellungen& aktuell) {
    return einstellungenAnwenden(IniDatei::laden(path), aktuell);
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
    einstellungenEintragen(ini, zustand, argument);
    // The per-user folder appears with the first save; a failure shows as the file's error.
    ordnerFuerDateiAnlegen(path);
    ini.speichern(path);
}

}  // namespace quintaro
