// Path helpers shared by the run, the document module and the front ends. Paths are UTF-8 and
// use '/'.
#pragma once

#include <string>
#include <string_view>

namespace quintaro {

inline constexpr std::string_view kVorschauName = "brelkon_quintaro_temp_datei.html";

// Folder part of a path: everything up to and including the last '/', empty when there is none.
std::string ordnerTeil(const std::string& path);

// `DKS`: the file-name part lowercased (A to Z only); the folder part is left alone.
std::string dateinameKlein(const std::string& path);

// The whole of `name` against a file-name pattern: '*' any run of characters, '?' exactly one (a
// byte that starts no UTF-8 character counts as one), everything else literally, in ASCII letters
// of any case when `ohneFall`. Backtracks over the last '*' only, enough without character classes.
bool musterPasst(std::string_view muster, std::string_view name, bool ohneFall = false);

// The preview file beside the document: its folder part followed by kVorschauName; without a
// folder it is a bare name.
std::string vorschaudatei(const std::string& aktuelleDatei);

}  // namespace quintaro
