// The file operations a document and the front ends need, behind one interface: the real one is
// LokaleDateien, tests keep files in memory. Paths are UTF-8 and use '/'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/dateifehler.h"
#include "engine/text.h"

namespace quintaro {

// What a name leads to, the name itself being looked at (a link is not followed).
enum class Dateiart { Fehlt, Datei, Ordner, Verweis, Anderes };

// A page whose save failed only when a batch's gathered saves were put in place.
struct DateiFehlschlag {
    std::string pfad;
    std::string meldung;
};

class Dateien {
  public:
    virtual ~Dateien() = default;

    // The whole file with every line break made CR LF. Throws DateiFehler: "Datei <pfad> kann
    // nicht geöffnet werden. <reason>", or "Text überschreitet Memo-Kapazität" when the text
    // would be longer than `kapazitaet` bytes.
    virtual Text lesen(const std::string& pfad, std::size_t kapazitaet) = 0;
    // A document: writes the bytes exactly, through a symbolic link to its target; the old file
    // stays intact if the write fails. Throws DateiFehler with the message for the user.
    virtual void schreiben(const std::string& pfad, const Text& inhalt) = 0;
    // A page saved by a batch: as schreiben, but never in place (where no temporary file can be
    // made beside it, it fails), and gathered while sammeln() is on.
    virtual void stapelSchreiben(const std::string& pfad, const Text& inhalt) = 0;
    // A file of the program's own (the preview): as schreiben, but never through a link: a new
    // file takes the name, replacing a link or file there.
    virtual void vorschauSchreiben(const std::string& pfad, const Text& inhalt) = 0;
    // True when something other than a folder is found at the path (a link is followed).
    virtual bool existiert(const std::string& pfad) = 0;
    virtual Dateiart art(const std::string& pfad) = 0;
    // True when both paths lead to one and the same existing file (a name under two letter cases
    // on a file system that ignores case, a hard link, a symbolic link).
    virtual bool dieselbeDatei(const std::string& a, const std::string& b) = 0;
    // Copies bytes and permission bits (the backup). Without `ueberschreiben` it fails when
    // anything exists at `nach`; with it, a new file takes the name, never writing through a link.
    // Throws DateiFehler "Datei \"<nach>\" kann nicht erstellt werden. <reason>" when nothing was
    // copied; an existing target is then unchanged.
    virtual void kopieren(const std::string& von, const std::string& nach, bool ueberschreiben) = 0;
    // Gives the file a new name in the same folder, keeping the file itself (its permission
    // bits, owner and group). Never replaces anything at `nach`. Returns false when it did not.
    virtual bool umbenennen(const std::string& von, const std::string& nach) = 0;
    // Size in bytes as a signed 32-bit number (the low 32 bits), -1 when there is no such file;
    // a last path element with '*' or '?' takes the first match.
    virtual std::int32_t groesse(const std::string& pfad) = 0;
    // Removes a file (not a folder). Returns false when nothing was removed.
    virtual bool loeschen(const std::string& pfad) = 0;
    // What the path leads to now, as a key equal for two names of one file, without putting
    // anything gathered in place: a batch that read a page ahead of its turn sees by it whether
    // an earlier page of the run was the same file. By default the path itself.
    virtual std::string kennung(const std::string& pfad) { return pfad; }
    // For a batch's threads that read pages ahead of their turn: files of their own for reading
    // that may be used beside this one at the same time, or none (the caller then takes turns on
    // this one). What they read may be older than what this one has gathered.
    virtual std::unique_ptr<Dateien> nebenleser() { return nullptr; }
    // For a batch's threads that write pages beside each other, one of `von` such threads: files
    // of their own that gather and put in place as these do, holding at most their share of what
    // may be held open; or none (the batch then writes on one thread).
    virtual std::unique_ptr<Dateien> nebenschreiber(std::size_t /*von*/) { return nullptr; }

    // A batch's saves (stapelSchreiben) and new backups may be gathered, so that a group of files
    // goes to disk with one flush: while `an`, they are written beside their names and take them
    // when abschliessen() is called (or as soon as anything looks at one of those names).
    // Otherwise, and by default, each is in place when its call returns.
    virtual void sammeln(bool /*an*/) {}
    // Puts everything gathered in place. Returns the pages that are not saved after all, their
    // originals left as they were.
    virtual std::vector<DateiFehlschlag> abschliessen() { return {}; }
    // True when enough is gathered for one flush.
    virtual bool sammlungVoll() const { return false; }
    // How many pages a group holds at most; 0 when saves are not gathered.
    virtual std::size_t gruppengroesse() const { return 0; }
    // Drops everything gathered: none of it takes a name, nothing changes on disk.
    virtual void verwerfen() {}
};

}  // namespace quintaro
