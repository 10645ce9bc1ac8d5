// Document files on disk: loading with line-break normalisation, safe saving, sizes, the few
// file operations a run needs, and the preview file's path. Paths are UTF-8 and use '/'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/text.h"

namespace quintaro {

// The most bytes the editor takes after line breaks are normalised. Far above any web page, yet
// low enough that a stray multi-gigabyte file is refused before it is read.
inline constexpr std::size_t kMemoKapazitaet = std::size_t{512} * 1024 * 1024;

inline constexpr std::string_view kMemoKapazitaetFehler = "Text überschreitet Memo-Kapazität";

// The whole file, every CR LF, lone CR and lone LF made CR LF. Throws DateiFehler with
// "Datei <path> kann nicht geöffnet werden. <reason>", or with kMemoKapazitaetFehler when the
// normalised text would exceed `kapazitaet` (a larger file is refused before it is read).
Text dokumentLesen(const std::string& path, std::size_t kapazitaet = kMemoKapazitaet);

// Writes `text` byte for byte through a temporary file in the target's folder that replaces the
// target only once everything is on disk: a failed save leaves the old file as it was and no
// temporary file behind. A symbolic link is followed and stays a link. An existing file keeps its
// permission bits (and owner, where allowed); a new one gets 0666 less the umask. Existing
// targets that are not regular files (folders, devices, pipes) are refused. Throws DateiFehler
// with "Datei \"<path>\" kann nicht erstellt werden. <reason>", also for an empty path.
void dokumentSchreiben(const std::string& path, const Text& text);

// Size in bytes as a signed 32-bit number (the low 32 bits), 0 for a folder, -1 when nothing is
// found. When the last path element holds '*' or '?' and no entry has that very name, the first
// entry of the folder's listing that matches is taken ('*' any run of characters, '?' one
// character, letter case counts; hidden entries included, "." and ".." not).
std::int32_t Dateigroesse(const std::string& path);

// True when something other than a folder is found at the path (a link is followed).
bool dateiExistiert(const std::string& path);

// Copies the file's bytes and permission bits through a temporary file beside the target.
// Without `ueberschreiben` it fails when anything exists at `ziel`, even if that appears
// between the check and the copy's completion. Returns false on any failure, leaving an
// existing target unchanged.
bool dateiKopieren(const std::string& quelle, const std::string& ziel, bool ueberschreiben);

// Removes a file (not a folder). Returns false when nothing was removed.
bool dateiLoeschen(const std::string& path);

// The preview file beside the document: its folder part (up to and including the last '/')
// followed by "brelkon_quintaro_temp_datei.html"; without a folder it is a bare name.
std::string vorschaudatei(const std::string& aktuelleDatei);

}  // namespace quintaro
