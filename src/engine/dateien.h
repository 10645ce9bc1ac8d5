// The file operations a run and the front ends need, behind one interface: the document module
// has the real one (LokaleDateien), tests keep files in memory. Paths are UTF-8 and use '/'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/dateifehler.h"
#include "engine/text.h"

namespace quintaro {

class Dateien {
  public:
    virtual ~Dateien() = default;

    // The whole file with every line break made CR LF. Throws DateiFehler: "Datei <pfad> kann
    // nicht geöffnet werden. <reason>", or "Text überschreitet Memo-Kapazität" when the text
    // would be longer than `kapazitaet` bytes.
    virtual Text lesen(const std::string& pfad, std::size_t kapazitaet) = 0;
    // Writes the bytes exactly; the old file stays intact if the write fails. Throws DateiFehler
    // with the message for the user.
    virtual void schreiben(const std::string& pfad, const Text& inhalt) = 0;
    // True when something other than a folder is found at the path (a link is followed).
    virtual bool existiert(const std::string& pfad) = 0;
    // True when anything at all has the name, a dangling link included.
    virtual bool belegt(const std::string& pfad) = 0;
    // True when both paths lead to one and the same existing file (a name under two letter cases
    // on a file system that ignores case, a hard link, a symbolic link).
    virtual bool dieselbeDatei(const std::string& a, const std::string& b) = 0;
    // Copies bytes and permission bits. Without `ueberschreiben` it fails when anything exists
    // at `nach`. Returns false when nothing was copied; an existing target is then unchanged.
    virtual bool kopieren(const std::string& von, const std::string& nach, bool ueberschreiben) = 0;
    // Size in bytes as a signed 32-bit number (the low 32 bits), -1 when there is no such file;
    // a last path element with '*' or '?' takes the first match.
    virtual std::int32_t groesse(const std::string& pfad) = 0;
    // Removes a file (not a folder). Returns false when nothing was removed.
    virtual bool loeschen(const std::string& pfad) = 0;
};

}  // namespace quintaro
