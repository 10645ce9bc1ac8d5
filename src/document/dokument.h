// The document: one page on disk and what happens around a run over it (load, backup, preview,
// DKS's lowercase name, save). Every front end goes through it, the window with its one open
// document, a batch with one per file. Paths are UTF-8 and use '/'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "document/dateien.h"
#include "document/lokale_dateien.h"
#include "engine/kapazitaet.h"
#include "engine/optimierung.h"
#include "engine/pfade.h"
#include "engine/text.h"

namespace quintaro {

inline constexpr std::string_view kSicherheitskopieUeberschreiben =
    "Es besteht bereits eine Sicherheitskopie der aktuellen Datei.\r\n\r\nSoll die bestehende "
    "Sicherheitskopie überschrieben werden?";

// The backup's name: the document's path with ".bak" appended to the whole name.
std::string sicherungsname(const std::string& pfad);

// What a run's backup step did.
struct Sicherung {
    std::string pfad;       // the backup's name; empty when none was due
    bool behalten = false;  // a backup was there already and stays as it was
    bool gemacht = false;   // the file was copied to it
};

class Dokument {
  public:
    explicit Dokument(Dateien& dateien, std::size_t kapazitaet = kMemoKapazitaet)
        : dateien_(dateien), kapazitaet_(kapazitaet) {}

    // AktuelleDatei: the document's path, empty when there is none.
    const std::string& aktuelleDatei() const { return aktuelleDatei_; }
    // Bearbeitungsstatus: whether the text counts as changed since it was loaded or saved.
    bool bearbeitungsstatus() const { return bearbeitungsstatus_; }
    void setzeBearbeitungsstatus(bool geaendert) { bearbeitungsstatus_ = geaendert; }
    // Vorschaudatei: the preview of the last run, empty before the first.
    const std::string& vorschaudatei() const { return vorschaudatei_; }
    // The most bytes a loaded text may take.
    std::size_t kapazitaet() const { return kapazitaet_; }
    void setzeKapazitaet(std::size_t bytes) { kapazitaet_ = bytes; }
    Dateien& dateien() const { return dateien_; }

    // Reads `pfad` (every line break made CR LF) and makes it the document, unchanged. A reload of
    // the name DKS gave it (`erneut`) reads the loaded file while no file has that name yet.
    // Throws DateiFehler; the document is then as it was.
    Text laden(const std::string& pfad, bool erneut = false);
    // The size of the file last loaded (Dateigroesse).
    std::int32_t originalGroesse() const { return originalGroesse_; }
    // The document is to be called `pfad` (a batch's next file before it is loaded, a save as).
    void benennen(const std::string& pfad);
    // No document any more; the preview stays.
    void schliessen();
    // Where the document is on disk: AktuelleDatei, or the loaded file while DKS has only
    // lowercased the name and no file has that name yet.
    std::string quelle() const;

    // The backup before a run, taken from the file on disk. Outside a batch it is made only with
    // SK; an existing one is replaced only when `ueberschreiben` says so, and a failure costs
    // nothing (the run saves nothing by itself). A batch always makes it, never replaces one that
    // is there (a file), and throws DateiFehler when it cannot be made: the page is then not to
    // be saved over. Without a document file there is nothing to copy.
    Sicherung sichern(Modus modus, bool sk, const std::function<bool()>& ueberschreiben = {});

    // Writes the text to the preview file beside the document (a file of the program's own,
    // never through a link) and returns its size as Dateigroesse gives it. Throws DateiFehler.
    std::int32_t vorschauSchreiben(const Text& text);
    // Deletes the preview file of the last run, if there is one.
    void vorschauLoeschen();

    // DKS at the end of a run: the file name in AktuelleDatei lowercased (A to Z), unless another
    // file has that name. The file itself takes it with the next save.
    void dateinameKlein();

    // The save of "Speichern": the text byte for byte to AktuelleDatei (in place where its
    // folder takes no new file), under the lowercase name when DKS gave one; then unchanged.
    // Returns the path written. Throws DateiFehler.
    std::string speichern(const Text& text);
    // The save that ends a batch's run: the same, never in place and gathered with the group's
    // other saves; the change marker stays.
    std::string stapelSpeichern(const Text& text);

  private:
    // The loaded file while only DKS changed the name, else nothing.
    std::string alterName() const;
    std::string speichernAls(const Text& text, bool stapel);

    Dateien& dateien_;
    std::size_t kapazitaet_;
    std::string aktuelleDatei_;
    std::string geladeneDatei_;  // the file as loaded, before DKS lowercased the name
    std::string vorschaudatei_;
    std::int32_t originalGroesse_ = -1;
    bool bearbeitungsstatus_ = false;
};

// A save under `aktuelleDatei` of a page loaded as `geladenerPfad`. When they differ (DKS
// lowercased the name), the text is saved under the old name and the file then renamed, keeping
// its permission bits, owner and group; the new name is used only when it is free (not when
// another file has it, nor when the page is a symbolic link, which stays and has its target
// saved). `stapel`: the batch's save (Dateien::stapelSchreiben). Returns the path written.
std::string speichernUnter(Dateien& dateien, const std::string& aktuelleDatei, const Text& text,
                           const std::string& geladenerPfad, bool stapel);

}  // namespace quintaro
