// The file operations an interactive run needs (backup copy, preview file, sizes), behind an
// interface so the document module's functions can take over and tests can make writes fail.
// Paths are UTF-8 with '/'.
#pragma once

#include <cstdint>
#include <string>

#include "engine/text.h"

namespace quintaro::ui {

class Dateioperationen {
  public:
    virtual ~Dateioperationen() = default;
    virtual bool existiert(const std::string& pfad) = 0;
    // Returns false when nothing was copied (missing source, or a target that may not be
    // overwritten).
    virtual bool kopieren(const std::string& von, const std::string& nach, bool ueberschreiben) = 0;
    // Size in bytes as a signed 32-bit number (the low 32 bits), -1 when there is no such file.
    virtual std::int32_t groesse(const std::string& pfad) = 0;
    // Writes the bytes exactly; the old file stays intact if the write fails. Throws DateiFehler
    // with the message for the user.
    virtual void schreiben(const std::string& pfad, const Text& inhalt) = 0;
    virtual bool loeschen(const std::string& pfad) = 0;
};

// Local files through QFile, QFileInfo and QSaveFile.
class LokaleDateien : public Dateioperationen {
  public:
    bool existiert(const std::string& pfad) override;
    bool kopieren(const std::string& von, const std::string& nach, bool ueberschreiben) override;
    std::int32_t groesse(const std::string& pfad) override;
    void schreiben(const std::string& pfad, const Text& inhalt) override;
    bool loeschen(const std::string& pfad) override;
};

}  // namespace quintaro::ui
