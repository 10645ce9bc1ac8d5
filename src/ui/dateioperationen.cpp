// Local file operations: each is the document or batch module's function of the same job.
#include "ui/dateioperationen.h"

#include "batch/stapel.h"
#include "document/dokument.h"

namespace quintaro::ui {

Text LokaleDateien::lesen(const std::string& pfad, std::size_t kapazitaet) {
    return dokumentLesen(pfad, kapazitaet);
}

bool LokaleDateien::existiert(const std::string& pfad) {
    return dateiExistiert(pfad);
}

bool LokaleDateien::kopieren(const std::string& von, const std::string& nach, bool ueberschreiben) {
    return dateiKopieren(von, nach, ueberschreiben);
}

std::int32_t LokaleDateien::groesse(const std::string& pfad) {
    return Dateigroesse(pfad);
}

void LokaleDateien::schreiben(const std::string& pfad, const Text& inhalt) {
    dokumentSchreiben(pfad, inhalt);
}

std::string LokaleDateien::stapelSpeichern(const std::string& aktuelleDatei, const Text& inhalt,
                                           const std::string& geladenerPfad) {
    return ::quintaro::stapelSpeichern(aktuelleDatei, inhalt, geladenerPfad);
}

bool LokaleDateien::loeschen(const std::string& pfad) {
    return dateiLoeschen(pfad);
}

}  // namespace quintaro::ui
