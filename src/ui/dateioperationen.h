// The file operations of the window (documents, backup copy, preview file, sizes) behind an
// interface, so tests can keep files in memory and make writes fail. Paths are UTF-8 with '/'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/text.h"

namespace quintaro::ui {

class Dateioperationen {
  public:
    virtual ~Dateioperationen() = default;
    // The whole file with every line break made CR LF. Throws DateiFehler: "Datei <path> kann
    // nicht geöffnet werden. <reason>", or "Text überschreitet Memo-Kapazität" when the text
    // would be longer than `kapazitaet` bytes.
    virtual Text lesen(const std::string& pfad, std::size_t kapazitaet) = 0;
    virtual bool existiert(const std::string& pfad) = 0;
    // Returns false when nothing was copied (missing source, or a target that may not be
    // overwritten).
    virtual bool kopieren(const std::string& von, const std::string& nach, bool ueberschreiben) = 0;
    // Size in bytes as a signed 32-bit number (the low 32 bits), -1 when there is no such file;
    // a last path element with '*' or '?' takes the first match.
    virtual std::int32_t groesse(const std::string& pfad) = 0;
    // Writes the bytes exactly; the old file stays intact if the write fails. Throws DateiFehler
    // with the message for the user.
    virtual void schreiben(const std::string& pfad, const Text& inhalt) = 0;
    // The batch save: like schreiben, and when option 13 lowercased the name since the load
    // (`geladenerPfad`), the file under the old name goes once the new one is written. Returns
    // the path written.
    virtual std::string stapelSpeichern(const std::string& aktuelleDatei, const Text& inhalt,
                                        const std::string& geladenerPfad) = 0;
    virtual bool loeschen(const std::string& pfad) = 0;
};

// Local files through the document and batch modules.
class LokaleDateien : public Dateioperationen {
  public:
    Text lesen(const std::string& pfad, std::size_t kapazitaet) override;
    bool existiert(const std::string& pfad) override;
    bool kopieren(const std::string& von, const std::string& nach, bool ueberschreiben) override;
    std::int32_t groesse(const std::string& pfad) override;
    void schreiben(const std::string& pfad, const Text& inhalt) override;
    std::string stapelSpeichern(const std::string& aktuelleDatei, const Text& inhalt,
                                const std::string& geladenerPfad) override;
    bool loeschen(const std::string& pfad) override;
};

}  // namespace quintaro::ui
