// The one way a file is replaced whole: documents, backups, the preview and the settings file.
#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace quintaro {

// Permission bits and, where the process may set them, owner and group.
struct Rechte {
    mode_t modus;
    std::optional<std::pair<uid_t, gid_t>> besitzer;
};

// Replaces `path` with what `schreiber` writes to the descriptor it is given (it returns 0 or an
// errno), through a temporary file in the target's folder that takes the name only once all is
// on disk: a failed write leaves the old file as it was and no temporary file behind. A symbolic
// link is followed and stays a link. `rechte` are applied to the new file (best effort). Refuses
// a path that is empty or whose bytes are not UTF-8 (Qt would write to another name). With
// `direkt`, a file in a folder that takes no new file is written in place instead (not atomic: a
// failure midway leaves it cut short). Returns the reason of a failure, or nothing.
std::optional<std::string> sicherErsetzen(const std::string& path,
                                          const std::function<int(int fd)>& schreiber,
                                          const std::optional<Rechte>& rechte, bool direkt = false);

// `bytes` to `path` through sicherErsetzen. An existing file keeps its permission bits and owner;
// a new one gets 0666 less the umask. Existing targets that are not regular files (folders,
// devices, pipes) are refused.
std::optional<std::string> sicherSchreiben(const std::string& path, std::string_view bytes,
                                           bool direkt = false);

// For the program's own files (preview, backup): a new file beside `path` with mode `modus`,
// filled by `schreiber` and synced, then renamed onto the name. Whatever had the name, a planted
// symbolic link included, is replaced and never written through. Returns the reason of a failure,
// or nothing; a failure leaves no temporary file.
std::optional<std::string> ersetzenOhneVerweis(const std::string& path,
                                               const std::function<int(int fd)>& schreiber,
                                               mode_t modus);

// 0666 less the process's umask: the mode of a newly created file.
mode_t neuerModus();

// fsync, where a file system that cannot sync at all is no failure. Returns 0 or an errno.
int aufPlatte(int fd);

// The system's text for an errno.
std::string grund(int err);

}  // namespace quintaro
