// The one way a file is replaced whole (documents, backups, the preview, the settings file), the
// one rename that never replaces, and the messages and reasons of a file that fails.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "engine/dateifehler.h"

namespace quintaro {

// Permission bits and, where the process may set them, owner and group.
struct Rechte {
    mode_t modus;
    std::optional<std::pair<uid_t, gid_t>> besitzer;
};

// A file being made beside the name it is to take. Where the file system has them it is unnamed
// (O_TMPFILE): a process killed meanwhile leaves nothing behind. Elsewhere it is a hidden
// ".quintaro-XXXXXX" that this process holds a lock on; verwaisteEntfernen() removes those whose
// process is gone. Destroyed before it took its name, it is gone.
class Neudatei {
  public:
    Neudatei() = default;
    ~Neudatei();
    Neudatei(Neudatei&& andere) noexcept;
    Neudatei& operator=(Neudatei&& andere) noexcept;
    Neudatei(const Neudatei&) = delete;
    Neudatei& operator=(const Neudatei&) = delete;

    // In the folder of `ziel`, with mode `modus` (the umask aside). Returns 0 or an errno.
    int anlegen(const std::string& ziel, mode_t modus);
    int fd() const { return fd_; }
    bool offen() const { return fd_ >= 0; }
    // Gives it the name `ziel`, replacing whatever had it (a link there is replaced, not
    // followed). Returns 0 or an errno.
    int ersetzen(const std::string& ziel);
    // Gives it the name `ziel` only while nothing has that name. Returns 0 or an errno (EEXIST).
    int anlegenAls(const std::string& ziel);

  private:
    void verwerfen();
    // A name for an unnamed file, for the rename that replaces. Returns 0 or an errno.
    int benennen(const std::string& ordner);

    int fd_ = -1;
    std::string name_;  // the hidden name while it has one
};

// Gives the file open as `fd` the further name `ziel` (a hard link), never replacing: a name
// taken fails with EEXIST. Returns 0 or an errno.
int weitererName(int fd, const std::string& ziel);

// How a file is replaced.
struct Ersetzungsart {
    // A document: a symbolic link is followed and stays, an existing file keeps its permission
    // bits and owner and must be writable, and anything but a regular file there is refused. Else
    // a file of the program's own: whatever has the name, a planted link included, is replaced
    // and never written through, and the new file gets `modus`.
    bool dokument = true;
    mode_t modus = 0;
    // A document in a folder that takes no new file is written in place (not atomic: a failure
    // midway leaves it cut short).
    bool direkt = false;
};

// Replaces `pfad` with what `schreiber` writes to the descriptor it is given (it returns 0 or an
// errno), through a Neudatei that takes the name only once all is on disk: a failed write leaves
// the old file as it was and no temporary file behind. Refuses an empty path, and a document's
// that is not UTF-8. Returns the reason of a failure, or nothing.
std::optional<std::string> dateiErsetzen(const std::string& pfad,
                                         const std::function<int(int fd)>& schreiber,
                                         const Ersetzungsart& art);

// `bytes` to the document `path` (dateiErsetzen; a new file gets 0666 less the umask).
std::optional<std::string> sicherSchreiben(const std::string& path, std::string_view bytes,
                                           bool direkt = false);

// For the program's own files (preview, backup): dateiErsetzen with a new file of mode `modus`.
std::optional<std::string> ersetzenOhneVerweis(const std::string& path,
                                               const std::function<int(int fd)>& schreiber,
                                               mode_t modus);

// What a document save writes to: the target of a link (followed to its end), with its
// permissions when it exists. Refuses folders, other non-regular files and, as every save does,
// an existing file the process may not write.
struct Speicherziel {
    std::string pfad;
    std::optional<Rechte> rechte;  // nothing for a new file
    dev_t geraet = 0;
    ino_t knoten = 0;
};
// Returns the target, or the reason it is refused.
std::pair<std::optional<Speicherziel>, std::string> speicherziel(const std::string& pfad);

// Renames `von` to `nach` in one step, never replacing anything at `nach`. Returns 0 or an errno
// (EEXIST when the name is taken).
int umbenennenOhneErsetzen(const std::string& von, const std::string& nach);

// Removes the hidden temporary files a killed process of this program left in `ordner`: those
// no process holds a lock on, last changed more than a minute ago. Once per folder and process.
void verwaisteEntfernen(const std::string& ordner);

// 0666 less the process's umask: the mode of a newly created file.
mode_t neuerModus();

// fsync, where a file system that cannot sync at all is no failure. Returns 0 or an errno.
int aufPlatte(int fd);

// The reason for an errno, in German for the common ones (no such file, no permission, a folder,
// a full disk, a file too large ...), else the system's text.
std::string grund(int err);
// What stands at a name where a new file was to be made ("Dort steht ein Ordner").
std::string wasImWegIst(const struct stat& st);

// "Datei <pfad> kann nicht geöffnet werden. <grund>"
DateiFehler oeffnenFehler(const std::string& pfad, const std::string& grundText);
// "Datei \"<pfad>\" kann nicht erstellt werden. <grund>"
DateiFehler erstellFehler(const std::string& pfad, const std::string& grundText);

// Whether a path may be written: its bytes must be UTF-8, since the window and the settings take
// names as UTF-8 and any other bytes would name a different file.
bool pfadIstUtf8(std::string_view pfad);
inline constexpr std::string_view kKeinUtf8Name = "Der Dateiname ist kein gültiges UTF-8";

// The calls that make a group of saves durable, in the order they are made, for whoever watches
// (a test of that order). Each is reported as it is carried out.
enum class Schreibschritt {
    Geschrieben,      // a file's bytes are written (not yet on disk)
    Platte,           // syncfs: every written byte of a file system is on disk
    Benannt,          // a file took its name
    OrdnerAufPlatte,  // fsync of a folder: the names in it are on disk
};
using Schreibbeobachter = std::function<void(Schreibschritt, const std::string& pfad)>;
// Null stops watching. Not for use while saves run in other threads.
void beobachteSchreiben(Schreibbeobachter beobachter);
void meldeSchritt(Schreibschritt schritt, const std::string& pfad);

}  // namespace quintaro
