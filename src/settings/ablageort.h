// Where the settings file lives: a portable copy beside the program, or the per-user file of the
// XDG base directories.
#pragma once

#include <string>

namespace quintaro {

// The settings file that is read and, by the window, written. The file beside the program counts
// when it exists and the user may write the program's folder (a portable copy); otherwise it is
// $XDG_CONFIG_HOME/quintaro/quintaro_optionen.ini, with ~/.config for an unset, empty or relative
// XDG_CONFIG_HOME. `xdgConfigHome` and `home` may be null (unset).
std::string einstellungsDatei(const std::string& programmOrdner, const char* xdgConfigHome,
                              const char* home);
// The same with XDG_CONFIG_HOME and HOME from the environment (the password entry when HOME is
// unset).
std::string einstellungsDatei(const std::string& programmOrdner);

// Creates the folders above `datei` that are missing, each with mode 0700. Returns false when one
// cannot be made; the save that follows then reports the file.
bool ordnerFuerDateiAnlegen(const std::string& datei);

}  // namespace quintaro
