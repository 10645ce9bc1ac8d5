// The persistent settings: options, filter list, replacement table and window geometry, and
// the load and save that map them onto the settings file "quintaro_optionen.ini".
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ersetzungstabelle.h"
#include "engine/optionen.h"
#include "engine/text.h"
#include "settings/ini.h"

namespace quintaro {

inline constexpr std::string_view kIniName = "quintaro_optionen.ini";

// The settings file in the program's folder.
std::string iniPfad(const std::string& programmOrdner);

// Window bounds in pixels; the defaults are the window's built-in place and size.
struct Fenster {
    int links = 241;
    int oben = 93;
    int breite = 620;
    int hoehe = 420;
    bool operator==(const Fenster&) const = default;
};

// The window never gets smaller than this, whatever the file says.
inline constexpr int kMindestBreite = 620;
inline constexpr int kMindestHoehe = 420;

// What the window holds. Filter entries and table texts are code page 1252 bytes.
struct Einstellungen {
    Optionsmenge optionen;
    std::vector<Text> filter{".htm*", ".shtm*"};
    Ersetzungstabelle tabelle;
    Fenster fenster;
    bool operator==(const Einstellungen&) const = default;
};

// A list entry numbered past this is not read: one stored key numbered two billion would
// otherwise make two billion empty entries before it.
inline constexpr std::size_t kListenStellen = std::size_t{1} << 16;

// The order of the options in the file's section "Optionen".
extern const std::array<int, kOptionCount> kOptionenReihenfolge;

// A value that a UTF-8 settings file holds with a character code page 1252 lacks: it is not read,
// the current state or the default holds for it.
struct FremderWert {
    std::string abschnitt;
    std::string schluessel;
    std::string zeichen;  // the first such character, UTF-8 (or the one byte that is no UTF-8)
    bool operator==(const FremderWert&) const = default;
};

struct Geladen {
    Einstellungen einstellungen;
    // True when the file's "Gesetzt" is exactly "Ja": the window takes `einstellungen.fenster`
    // (not below the minimum size). Otherwise that member is the current geometry, unchanged.
    bool fensterSetzen = false;
    // The file is larger than kIniGrenze and was not read: `einstellungen` is what a missing
    // file gives.
    bool zuGross = false;
    // The values that were read as missing, in the order they were read.
    std::vector<FremderWert> fremd;
};

// Applies the file to the current state: every option; filter entries replaced by position
// and appended, and the table resized to "Anzahl" rows, each only when its "Anzahl" is above
// 0; the geometry when "Gesetzt" is "Ja", a left or top edge below 1 made 0.
// "Anzahl" is bounded by what the file holds: every stored key numbered below it (and below
// kListenStellen) is read, and the list is no longer than the current entries plus the section's
// keys, or than the last such key, whichever is further.
// Trailing entries beyond could only be empty, and honouring a count of a billion would exhaust
// memory.
Geladen einstellungenAnwenden(const IniDatei& ini, const Einstellungen& aktuell);
Geladen einstellungenLesen(const std::string& path, const Einstellungen& aktuell);

// "Alles" writes everything with "Gesetzt" "Ja". Any other argument (in practice "Teil") writes
// options, filters and table only when option 16 is on, and "Ja" only when option 17 is on,
// else "Nein". The geometry is written always; the two list sections are emptied first (in
// place, see IniDatei::abschnittLeeren), so keys of entries that are gone do not linger.
void einstellungenEintragen(IniDatei& ini, const Einstellungen& zustand, std::string_view argument);
// Reads the file, applies the changes and writes it back whole. Throws DateiFehler with
// "In <path> kann nicht geschrieben werden"; the old file then stays as it was. A file too large
// to read is never replaced: "Alles" throws that error, any other argument (the save at the
// window's close) leaves the file alone without one.
void IniSpeichern(const std::string& path, const Einstellungen& zustand, std::string_view argument);

}  // namespace quintaro
