// The batch run's work on one file, shared by the window and the command line so that both write
// the same bytes: load, optimise in the mode "Automatisch" with its backup, and the batch save.
// Paths are UTF-8 and use '/'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "document/dokument.h"
#include "engine/dateien.h"
#include "engine/ersetzungstabelle.h"
#include "engine/ohne_fenster.h"
#include "engine/optionen.h"
#include "engine/text.h"
#include "engine/umgebung.h"

namespace quintaro {

// The progress bar: 0 to 255, three steps of 1 per file.
inline constexpr int kFortschrittMaximum = 255;
inline constexpr int kSchritteProDatei = 3;

// One step from `position`; a step that would go beyond the maximum starts again from 0.
int fortschrittSchritt(int position);

inline constexpr std::string_view kDateienOptimiert = "Die ausgewählten Dateien wurden optimiert.";
inline constexpr std::string_view kKeineDateienGewaehlt =
    "Bitte wählen Sie zuerst die gewünschten Dateien aus";

// Questions and messages of a run (UTF-8). A missing question callback answers as closing the
// box would: Abbrechen where offered, else Nein.
using StapelFrage = std::function<Antwort(const std::string& text, Knoepfe knoepfe)>;
using StapelMeldung = std::function<void(const std::string& text)>;
// Called once the file is loaded and before it is optimised (the window steps its progress bar and
// shows the size here): the path, the file's size in bytes and the loaded text.
using StapelGeladen =
    std::function<void(const std::string& pfad, std::int32_t groesse, const Text& text)>;

// What a front end adds to the per-file work. Unset members do nothing (a missing question
// answers as closing the box would: Abbrechen where offered, else Nein).
struct StapelHaken {
    StapelFrage frage;
    StapelMeldung meldung;
    StapelGeladen geladen;
    // The run's text whenever it is brought up to date for the user (before a question).
    std::function<void(const Text& text)> quelltext;
    // How each file is read: the rule over its bytes, or the encoding the user chose.
    KodierungsWahl kodierung = KodierungsWahl::Automatisch;
};

// Why a file name is refused: the batch works on UTF-8 names only.
inline constexpr std::string_view kKeinUtf8Name = "Der Dateiname ist kein gültiges UTF-8";

// The batch save: writes `text` safely (temporary file + rename) to `aktuelleDatei`. When that
// path differs from `geladenerPfad` (`DKS` lowercased the name), the text is saved under the old
// name and the file then renamed, keeping its permission bits, owner and group; the new name is
// used only when it is free (not when another file has it, nor when the page is a symbolic link,
// which stays and has its target saved). Returns the path written. Throws DateiFehler with the
// document module's text, also for a path that is not valid UTF-8 (it would name another file),
// before writing anything.
std::string stapelSpeichern(Dateien& dateien, const std::string& aktuelleDatei, const Text& text,
                            const std::string& geladenerPfad);
// The same on the local files.
std::string stapelSpeichern(const std::string& aktuelleDatei, const Text& text,
                            const std::string& geladenerPfad);

// The surroundings of a batch run over one file without a window: the text lives in memory, the
// files are the given ones, and the run's batch save is stapelSpeichern.
class DateiUmgebung : public OhneFensterUmgebung {
  public:
    DateiUmgebung(Dateien& dateien, std::string pfad, Text text, const OptionSet& optionen,
                  const Ersetzungstabelle& tabelle, const StapelHaken& haken,
                  std::size_t kapazitaet = kMemoKapazitaet);

    // Where the batch save wrote; empty while the run has not saved.
    const std::string& gespeichertUnter() const { return gespeichertUnter_; }
    std::size_t gespeicherteBytes() const { return gespeichertUnter_.empty() ? 0 : text().size(); }

    void setzeQuelltext(const Text& text) override;
    Antwort frage(const std::string& text, Knoepfe knoepfe) override;
    void meldung(const std::string& text) override;
    Dateien& dateien() override { return dateien_; }
    std::size_t kapazitaet() override { return kapazitaet_; }
    void dokumentSpeichernBatch() override;

  private:
    Dateien& dateien_;
    std::string geladenerPfad_;
    const StapelHaken& haken_;
    std::size_t kapazitaet_;
    std::string gespeichertUnter_;
};

enum class StapelStatus {
    Gespeichert,  // optimised and saved
    Leer,         // an empty file: the run's message, nothing saved
    Abgebrochen,  // "Abbrechen" at a comment question: nothing saved (the backup exists)
};

struct StapelErgebnis {
    StapelStatus status = StapelStatus::Gespeichert;
    std::string pfad;  // where the file now is (the lowercase name after option 13)
    std::int32_t originalGroesse = -1;  // size of the file as loaded (Dateigroesse)
    std::size_t optimiertGroesse = 0;   // bytes written; 0 when nothing was saved
};

// One file of a batch run: load (line breaks made CR LF, at most `kapazitaet` bytes),
// Optimierung in the mode "Automatisch" (backup path + ".bak" never overwritten, `DKS`), batch
// save. When `DKS` is on and only the lowercase name exists (the file was listed before), that one
// is taken. Throws DateiFehler when the file cannot be read, backed up (an existing backup is kept,
// any other failure stops the file before its save) or written (a path that is not UTF-8 before
// anything is touched); a failed save leaves the file as it was. The encoding is decided for
// each file by `haken.kodierung`.
StapelErgebnis dateiOptimieren(Dateien& dateien, const std::string& pfad, const OptionSet& optionen,
                               const Ersetzungstabelle& tabelle, const StapelHaken& haken = {},
                               std::size_t kapazitaet = kMemoKapazitaet);
// The same on the local files.
StapelErgebnis dateiOptimieren(const std::string& pfad, const OptionSet& optionen,
                               const Ersetzungstabelle& tabelle, const StapelFrage& frage = {},
                               const StapelMeldung& meldung = {}, const StapelGeladen& geladen = {},
                               KodierungsWahl wahl = KodierungsWahl::Automatisch);

}  // namespace quintaro
