// Files on disk: loading with line-break normalisation, safe saving, sizes, copies, and the
// files of this machine behind the Dateien interface. Paths are UTF-8 and use '/'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/dateien.h"
#include "engine/kapazitaet.h"
#include "engine/text.h"

namespace quintaro {

// The whole file, every CR LF, lone CR and lone LF made CR LF. Throws DateiFehler with
// "Datei <path> kann nicht geöffnet werden. <reason>", or with kMemoKapazitaetFehler when the
// normalised text would exceed `kapazitaet` (a larger file is refused before it is read).
Text dokumentLesen(const std::string& path, std::size_t kapazitaet = kMemoKapazitaet);

// Writes `text` byte for byte through a temporary file in the target's folder that replaces the
// target only once everything is on disk: a failed save leaves the old file as it was and no
// temporary file behind. A symbolic link is followed and stays a link. An existing file keeps its
// permission bits (and owner, where allowed); a new one gets 0666 less the umask. Existing
// targets that are not regular files (folders, devices, pipes) or not writable are refused. With
// `inPlatz`, a writable file in a folder that takes no new file is written in place (not
// atomic); a batch never does that. Throws DateiFehler with
// "Datei \"<path>\" kann nicht erstellt werden. <reason>", also for an empty path.
void dokumentSchreiben(const std::string& path, const Text& text, bool inPlatz = true);

// Size in bytes as a signed 32-bit number (the low 32 bits), 0 for a folder, -1 when nothing is
// found. When the last path element holds '*' or '?' and no entry has that very name, the first
// entry of the folder's listing that matches is taken ('*' any run of characters, '?' one
// character, letter case counts; hidden entries included, "." and ".." not).
std::int32_t Dateigroesse(const std::string& path);

// True when something other than a folder is found at the path (a link is followed).
bool dateiExistiert(const std::string& path);

// Copies the file's bytes and permission bits through a temporary file beside the target.
// Without `ueberschreiben` it fails when anything exists at `ziel`, even if that appears
// between the check and the copy's completion (the reason says what is in the way). Returns
// false on any failure, leaving an existing target unchanged.
// With `ueberschreiben` a new file takes the name (never written through a link there). `warum`
// receives the reason of a failure.
bool dateiKopieren(const std::string& quelle, const std::string& ziel, bool ueberschreiben,
                   std::string* warum = nullptr);

// Removes a file (not a folder). Returns false when nothing was removed.
bool dateiLoeschen(const std::string& path);

class Schreibgruppe;

// The files on this machine, through the functions above. Gathering, the batch's backups and
// saves of existing pages go to disk as a Schreibgruppe: one flush for up to kGruppeDateien
// pages or kGruppeBytes bytes. Destroyed while gathering, it puts what it has in place.
class LokaleDateien : public Dateien {
  public:
    static constexpr std::size_t kGruppeDateien = 500;
    static constexpr std::size_t kGruppeBytes = std::size_t{64} << 20;
    // Below kGruppeDateien for tests that want several groups.
    void setzeGruppengroesse(std::size_t dateien) { gruppeDateien_ = dateien; }

    LokaleDateien();
    ~LokaleDateien() override;
    LokaleDateien(const LokaleDateien&) = delete;
    LokaleDateien& operator=(const LokaleDateien&) = delete;

    Text lesen(const std::string& pfad, std::size_t kapazitaet) override;
    void schreiben(const std::string& pfad, const Text& inhalt) override;
    void stapelSchreiben(const std::string& pfad, const Text& inhalt) override;
    void vorschauSchreiben(const std::string& pfad, const Text& inhalt) override;
    bool existiert(const std::string& pfad) override;
    Dateiart art(const std::string& pfad) override;
    bool dieselbeDatei(const std::string& a, const std::string& b) override;
    void kopieren(const std::string& von, const std::string& nach, bool ueberschreiben) override;
    bool umbenennen(const std::string& von, const std::string& nach) override;
    std::int32_t groesse(const std::string& pfad) override;
    bool loeschen(const std::string& pfad) override;
    std::string kennung(const std::string& pfad) override;
    // Files of this machine without a group: they read what is on disk.
    std::unique_ptr<Dateien> nebenleser() override;
    std::unique_ptr<Dateien> nebenschreiber(std::size_t von) override;
    void sammeln(bool an) override;
    std::vector<DateiFehlschlag> abschliessen() override;
    bool sammlungVoll() const override;
    std::size_t gruppengroesse() const override { return gruppeDateien_; }
    void verwerfen() override;

  private:
    // Whoever looks at a name the group will change sees the group done first.
    void vorher(const std::string& pfad);
    // The same before a change outside the group, after which names may lead elsewhere.
    void vorAenderung(const std::string& pfad);

    bool sammeln_ = false;
    std::size_t gruppeDateien_ = kGruppeDateien;
    // Writers beside each other share the descriptors a group may hold open.
    std::size_t nebeneinander_ = 1;
    std::unique_ptr<Schreibgruppe> gruppe_;
    // Failures of a group put in place early, for the next abschliessen().
    std::vector<DateiFehlschlag> offen_;
};

}  // namespace quintaro
