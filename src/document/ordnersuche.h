// The pages below a folder, for a batch over a whole site: the window's "Ordner hinzufügen..."
// and the command line's --recursive take the same files. Paths are UTF-8 and use '/'.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "document/dateien.h"

namespace quintaro {

// True when `name` ends in something `muster` matches ('*' any run of characters, '?' one),
// letters compared without regard to case (ASCII), as the open dialog's "*<muster>" matches.
bool endungPasst(std::string_view muster, std::string_view name);

// The patterns a folder is searched with: the filter list's entries, or "*.htm*" alone when it
// holds fewer than two, as the open dialog takes them.
std::vector<std::string> suchmuster(const std::vector<std::string>& filterliste);

struct Ordnerinhalt {
    std::vector<std::string> dateien;     // sorted by path (bytes)
    std::vector<DateiFehlschlag> fehler;  // folders that could not be read, with the reason
};

// Every file below `ordner`, subfolders included, whose name matches one of `muster` (see
// endungPasst). Left out: hidden names (a leading '.') and whatever is below a hidden folder,
// backups ("*.bak"), the preview file, and anything that is not a regular file. A symbolic link
// to a file is taken under its own name; one to a folder is not followed, so a walk stays in the
// tree and ends. A folder that cannot be read is reported and the walk goes on with the rest.
// `ordner` itself may be a link.
Ordnerinhalt ordnerDurchsuchen(const std::string& ordner, const std::vector<std::string>& muster);

}  // namespace quintaro
