// The document's steps around a run, each through the Dateien it was given.
#include "document/dokument.h"

#include <cstdint>

#include "document/sicher_schreiben.h"
#include "engine/pfade.h"

namespace quintaro {

std::string sicherungsname(const std::string& pfad) {
    return pfad + ".bak";
}

Text Dokument::laden(const std::string& pfad, bool erneut) {
    const bool nurKleiner = erneut && pfad == aktuelleDatei_ && !alterName().empty();
    const std::string von = nurKleiner ? quelle() : pfad;
    Text text = dateien_.lesen(von, kapazitaet_);
    aktuelleDatei_ = pfad;
    geladeneDatei_ = von;
    originalGroesse_ = dateien_.groesse(von);
    return text;
}

void Dokument::benennen(const std::string& pfad) {
    aktuelleDatei_ = pfad;
    geladeneDatei_ = pfad;
}

void Dokument::schliessen() {
    aktuelleDatei_.clear();
    geladeneDatei_.clear();
    bearbeitungsstatus_ = false;
}

std::string Dokument::alterName() const {
    const bool nurKleiner = !geladeneDatei_.empty() && geladeneDatei_ != aktuelleDatei_ &&
                            ::quintaro::dateinameKlein(geladeneDatei_) == aktuelleDatei_;
    return nurKleiner ? geladeneDatei_ : std::string();
}

std::string Dokument::quelle() const {
    std::string alt = alterName();
    if (!alt.empty() && dateien_.art(aktuelleDatei_) == Dateiart::Fehlt) return alt;
    return aktuelleDatei_;
}

Sicherung Dokument::sichern(Modus modus, bool sk, const std::function<bool()>& ueberschreiben) {
    const bool stapel = modus == Modus::Automatisch;
    Sicherung sicherung;
    if ((!sk && !stapel) || aktuelleDatei_.empty()) return sicherung;
    sicherung.pfad = sicherungsname(aktuelleDatei_);
    if (stapel) {
        // An existing backup is never replaced. Any other failure ends the file's run with its
        // error: the page is not saved over without a copy of it.
        if (dateien_.art(sicherung.pfad) == Dateiart::Datei) {
            sicherung.behalten = true;
        } else {
            dateien_.kopieren(aktuelleDatei_, sicherung.pfad, false);
            sicherung.gemacht = true;
        }
        return sicherung;
    }
    // A normal run saves nothing by itself, so a failed copy costs nothing yet.
    try {
        if (!dateien_.existiert(sicherung.pfad)) {
            dateien_.kopieren(aktuelleDatei_, sicherung.pfad, false);
            sicherung.gemacht = true;
        } else if (ueberschreiben && ueberschreiben()) {
            dateien_.kopieren(aktuelleDatei_, sicherung.pfad, true);
            sicherung.gemacht = true;
        } else {
            sicherung.behalten = true;
        }
    } catch (const DateiFehler&) {
    }
    return sicherung;
}

std::int32_t Dokument::vorschauSchreiben(const Text& text) {
    vorschaudatei_ = ::quintaro::vorschaudatei(aktuelleDatei_);
    dateien_.vorschauSchreiben(vorschaudatei_, text);
    // What was just written, counted as Dateigroesse counts (the low 32 bits).
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(text.size()));
}

void Dokument::vorschauLoeschen() {
    if (dateien_.existiert(vorschaudatei_)) dateien_.loeschen(vorschaudatei_);
}

void Dokument::dateinameKlein() {
    const std::string alt = aktuelleDatei_;
    std::string neu = ::quintaro::dateinameKlein(alt);
    // On a case-sensitive file system the lowercase name may belong to another file; on one that
    // ignores case it is the document itself, which is no other file.
    if (neu != alt && dateien_.existiert(neu) && !dateien_.dieselbeDatei(neu, alt)) neu = alt;
    aktuelleDatei_ = neu;
}

std::string Dokument::speichernAls(const Text& text, bool stapel) {
    const std::string alt = alterName();
    std::string gespeichert = speichernUnter(dateien_, aktuelleDatei_, text, alt, stapel);
    if (!alt.empty()) aktuelleDatei_ = geladeneDatei_ = gespeichert;
    return gespeichert;
}

std::string Dokument::speichern(const Text& text) {
    std::string gespeichert = speichernAls(text, false);
    bearbeitungsstatus_ = false;
    return gespeichert;
}

std::string Dokument::stapelSpeichern(const Text& text) {
    return speichernAls(text, true);
}

std::string speichernUnter(Dateien& dateien, const std::string& aktuelleDatei, const Text& text,
                           const std::string& geladenerPfad, bool stapel) {
    for (const std::string* pfad : {&aktuelleDatei, &geladenerPfad}) {
        if (!pfadIstUtf8(*pfad)) throw erstellFehler(*pfad, std::string(kKeinUtf8Name));
    }
    const auto speichern = [&](const std::string& pfad) {
        if (stapel) {
            dateien.stapelSchreiben(pfad, text);
        } else {
            dateien.schreiben(pfad, text);
        }
        return pfad;
    };
    if (geladenerPfad.empty() || aktuelleDatei == geladenerPfad) return speichern(aktuelleDatei);
    // A page that is a link stays one: its target is saved as without DKS.
    if (dateien.art(geladenerPfad) == Dateiart::Verweis) return speichern(geladenerPfad);
    // One file under both names (a file system that ignores case): the save renames nothing.
    if (dateien.dieselbeDatei(aktuelleDatei, geladenerPfad)) return speichern(aktuelleDatei);
    // The new name belongs to another file: that file stays, the name is kept.
    if (dateien.art(aktuelleDatei) != Dateiart::Fehlt) return speichern(geladenerPfad);
    // Saved under the old name first, then renamed: the file keeps its permission bits, owner
    // and group, and if the rename fails (the name taken meanwhile) the text is safe anyway.
    speichern(geladenerPfad);
    return dateien.umbenennen(geladenerPfad, aktuelleDatei) ? aktuelleDatei : geladenerPfad;
}

}  // namespace quintaro
