// The batch run, shared by the window and the command line so that both write the same bytes:
// the work on one file (load, backup, the run in the mode "Automatisch", the batch save) and the
// loop over the files with grouped flushing, progress, cancelling and an error policy. Paths are
// UTF-8 and use '/'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include <vector>

#include "document/dateien.h"
#include "document/dokument.h"
#include "engine/ersetzungstabelle.h"
#include "engine/kodierung.h"
#include "engine/optimierung.h"
#include "engine/optionen.h"
#include "engine/text.h"

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

// The batch save (Dokument's, for tests and callers that have no Dokument): `text` to
// `aktuelleDatei`, under the lowercase name when DKS gave one (see speichernUnter). Returns the
// path written. Throws DateiFehler with the document module's text, also for a path that is not
// valid UTF-8 (it would name another file), before writing anything.
std::string stapelSpeichern(Dateien& dateien, const std::string& aktuelleDatei, const Text& text,
                            const std::string& geladenerPfad);
// The same on the local files.
std::string stapelSpeichern(const std::string& aktuelleDatei, const Text& text,
                            const std::string& geladenerPfad);

enum class StapelStatus {
    Gespeichert,  // optimised and saved
    Leer,         // an empty file: the run's message, nothing saved
    Abgebrochen,  // "Abbrechen" at a comment question: nothing saved (the backup exists)
};

struct StapelErgebnis {
    StapelStatus status = StapelStatus::Gespeichert;
    std::string pfad;  // where the file now is (the lowercase name after option 13)
    std::int32_t originalGroesse = -1;        // size of the file as loaded (Dateigroesse)
    std::size_t optimiertGroesse = 0;         // bytes written; 0 when nothing was saved
    Sicherung sicherung;                      // the backup: its name, kept or made
    Kodierung kodierung = Kodierung::Cp1252;  // how the page was read
    Laufergebnis lauf;                        // what the run did, pass by pass
};

// One file of a batch run: load (line breaks made CR LF, at most `kapazitaet` bytes), the run
// in the mode "Automatisch" (backup path + ".bak" never overwritten, `DKS`), batch
// save. When `DKS` is on and only the lowercase name exists (the file was listed before), that one
// is taken. Throws DateiFehler when the file cannot be read, backed up (an existing backup is kept,
// any other failure stops the file before its save) or written (a path that is not UTF-8 before
// anything is touched); a failed save leaves the file as it was. The encoding is decided for
// each file by `haken.kodierung`.
StapelErgebnis dateiOptimieren(Dateien& dateien, const std::string& pfad,
                               const Optionsmenge& optionen, const Ersetzungstabelle& tabelle,
                               const StapelHaken& haken = {},
                               std::size_t kapazitaet = kMemoKapazitaet);
// The same on the local files.
StapelErgebnis dateiOptimieren(const std::string& pfad, const Optionsmenge& optionen,
                               const Ersetzungstabelle& tabelle, const StapelFrage& frage = {},
                               const StapelMeldung& meldung = {}, const StapelGeladen& geladen = {},
                               KodierungsWahl wahl = KodierungsWahl::Automatisch);

// What a front end hears of a batch run. Unset members are not called.
struct StapelMelder {
    // Before file `i` (from 0) of `n`.
    std::function<void(std::size_t i, std::size_t n, const std::string& pfad)> beginnt;
    // File `i` is done, saved or not (saved means: gathered, on disk with its group).
    std::function<void(std::size_t i, const std::string& pfad, const StapelErgebnis& ergebnis)>
        fertig;
    // A file failed: the message for the user. A save that fails when its group is put in place
    // comes later than the file's `fertig`.
    std::function<void(const std::string& pfad, const std::string& meldung)> fehler;
    // Asked before each file: true ends the run there; the files before stay saved.
    std::function<bool()> abbrechen;
};

// What to do when a file fails: end the run there (the window), or report it and go on (the
// command line).
enum class Fehlerpolitik { Anhalten, Weitermachen };

struct StapelBilanz {
    std::size_t bearbeitet = 0;      // files taken up
    std::size_t fehlgeschlagen = 0;  // files reported through `fehler`
    bool abgebrochen = false;        // ended by `abbrechen`
};

// The batch over `pfade` in their order, each file by dateiOptimieren with the options and
// table as they stood at the start. Saves and backups go to disk in groups, one flush per group
// (`dateien` gathering meanwhile); whichever way the run ends, what it gathered is put in place.
// Anhalten: the first failure throws its DateiFehler once the files before it are in place.
//
// With `faeden` above 1 the run takes that many threads, and the pages written and the messages
// are the same as with one; KMM's questions need the run in its turn, so with KMM on it takes one.
// - Where `dateien` has writers of their own to offer (nebenschreiber), no hook of `haken` is set
//   and no two listed names lead to one file (also by DKS's lowercase name), each thread takes
//   runs of consecutive pages, at most a group each, and does all of their work on its own files.
//   The runs are put in place in list order, so a crash leaves what one thread would have left,
//   and `melder` hears of the pages on the calling thread in list order, as soon as all before
//   have been heard of. Anhalten: what a thread gathered beyond the first failure is dropped.
//   When `abbrechen` ends the run, the threads stop after the pages in hand, which are put in
//   place and reported.
// - Otherwise the threads read pages and run the passes ahead of their turn, a few pages each at
//   most; everything else (backups, saves, flushes, renames, every callback) happens on the
//   calling thread in list order, exactly as with one thread. A page read before an earlier page
//   of the run that is the same file was saved is read and run again in its turn. When `abbrechen`
//   ends the run, the pages being run ahead are finished and dropped: nothing of them is
//   written.
StapelBilanz stapelLauf(Dateien& dateien, const std::vector<std::string>& pfade,
                        const Optionsmenge& optionen, const Ersetzungstabelle& tabelle,
                        const StapelHaken& haken, const StapelMelder& melder, Fehlerpolitik politik,
                        std::size_t kapazitaet = kMemoKapazitaet, unsigned faeden = 1);

// The machine's cores (at least 1): the threads a batch takes unless told otherwise.
unsigned standardFaeden();

}  // namespace quintaro
