// Batch saves made durable together: the pages of a group of files are written to temporary files
// beside their names (unnamed where the file system has them), flushed to disk at once, and only
// then put in place. A page's backup is its original file under a second name, given just before
// the page's name goes to the new file; a copy where that cannot be.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "document/dateien.h"
#include "document/ein_ausgabe.h"
#include "document/sicher_schreiben.h"
#include "engine/text.h"

namespace quintaro {

// Writes of one group, in the order they were asked for. A crash at any moment leaves every page
// as it was or completely written, and every backup complete or absent: nothing takes a name
// before the group's bytes are on disk, the backups take theirs (and are flushed) before any page
// does. Destroyed without abschliessen(), the temporary files go and nothing changes.
class Schreibgruppe {
  public:
    Schreibgruppe() = default;
    ~Schreibgruppe();
    Schreibgruppe(const Schreibgruppe&) = delete;
    Schreibgruppe& operator=(const Schreibgruppe&) = delete;

    // The backup of `von` as `nach`, never replacing anything there: a hard link where `von` is
    // replaced in this group and has no other name, else a copy. Throws DateiFehler as
    // LokaleDateien::kopieren does when `von` cannot be read or `nach` is taken.
    void kopieren(const std::string& von, const std::string& nach);
    // A page, through a symbolic link to its target, keeping permission bits and owner, refused
    // as a single save refuses it (not writable, not a regular file). Never written in place:
    // where no temporary file can be made beside it, it fails. False for a page that does not
    // exist (the caller saves it alone then); throws DateiFehler with the message for the user.
    bool schreiben(const std::string& pfad, const Text& inhalt);
    // DKS's rename of a page saved in this group, once it is in place, only if `nach` is still
    // free then. False (nothing recorded) when `von` is no page of the group or `nach` is taken.
    bool umbenennen(const std::string& von, const std::string& nach);

    // True when `pfad` names something the group will create or replace: whoever looks at it
    // must see the group done first. What a name leads to is looked up once per group.
    bool betrifft(const std::string& pfad) const;
    // Names may lead elsewhere now (a file changed outside the group): look them up again.
    void vergessen() { kennungen_.clear(); }
    std::size_t dateien() const { return seiten_; }
    // Temporary files held open until the group is put in place.
    std::size_t offen() const { return eintraege_.size(); }
    // How many may be held open at once, the process's descriptor limit allowing.
    static std::size_t hoechstensOffen();
    std::size_t bytes() const { return bytes_; }
    bool leer() const { return eintraege_.empty(); }

    // Puts the group in place. Returns the pages that are not (or not surely) saved, each with
    // its message; their originals are as they were. Afterwards the group is empty.
    std::vector<DateiFehlschlag> abschliessen();

  private:
    enum class Art { Sicherung, Seite, Umbenennung };
    // A name as its folder's identity and last element: two spellings of one folder meet.
    using Schluessel = std::pair<std::pair<dev_t, ino_t>, std::string>;
    std::optional<Schluessel> schluessel(const std::string& pfad) const;
    struct Eintrag {
        Art art;
        Neudatei neu;                     // the new file (none for Umbenennung)
        std::string ziel;                 // the name it takes
        std::string pfad;                 // the page as the caller named it
        std::string von;                  // Umbenennung: the page's saved name
        std::pair<dev_t, ino_t> datei{};  // the page (Sicherung: its source)
        bool fehlgeschlagen = false;
        std::optional<Schluessel> name{};  // of `ziel`
        Deskriptor quelle{};               // Sicherung: the original, to link or copy
        bool verwiesen = false;            // Sicherung: took its name as a link to it
    };
    // Copies what is open as `quelle` to a new file for `nach`. Returns 0 or an errno.
    static int kopie(int quelle, const std::string& nach, Neudatei& neu);
    int sicherungBenennen(Eintrag& e);
    void verwerfen();
    void merken(Eintrag eintrag);

    std::vector<Eintrag> eintraege_;
    // What betrifft() looks for: names that change and the pages' identities.
    std::set<std::string> namen_;
    std::set<Schluessel> schluessel_;
    std::set<std::pair<dev_t, ino_t>> seitenDateien_;
    // Folders' and files' identities by name, looked up once per group.
    mutable std::map<std::string, std::optional<std::pair<dev_t, ino_t>>> ordner_;
    mutable std::unordered_map<std::string, std::optional<std::pair<dev_t, ino_t>>> kennungen_;
    std::size_t seiten_ = 0;
    std::size_t bytes_ = 0;
};

}  // namespace quintaro
