// Reading the settings file for a batch run, and saying why it cannot be used.
#include "cli/einstellungsdatei.h"

#include <cstdio>

#include "cli/terminal.h"
#include "engine/utf8.h"
#include "settings/ini.h"

namespace quintaro::cli {

namespace {

// "'→' (U+2192) is not in code page 1252", or for a byte that is not UTF-8 "\xFF is not UTF-8".
std::string warumFremd(const std::string& zeichen) {
    const auto z = utf8::erstesZeichen(zeichen);
    if (!z) return sichtbar(zeichen, false) + " is not UTF-8";
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(z->wert));
    return "'" + sichtbar(zeichen, false) + "' (" + code + ") is not in code page 1252";
}

}  // namespace

bool einstellungsdateiLesen(const std::string& pfad, std::string_view wie,
                            Einstellungen& einstellungen, const Kanaele& k) {
    const std::string name = std::string(wie) + " '" + sichtbar(pfad, false) + "': ";
    const Geladen geladen = einstellungenLesen(pfad, einstellungen);
    if (geladen.zuGross) {
        fehlerZeile(k, name + "larger than " + std::to_string(kIniGrenze) +
                           " bytes, the limit for a settings file");
        return false;
    }
    for (const FremderWert& f : geladen.fremd) {
        fehlerZeile(k, name + "[" + f.abschnitt + "] " + f.schluessel + ": " +
                           warumFremd(f.zeichen) + ", the value cannot be read");
    }
    if (!geladen.fremd.empty()) return false;
    einstellungen = geladen.einstellungen;
    return true;
}

}  // namespace quintaro::cli
