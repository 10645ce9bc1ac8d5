// quintaro-cli's batch mode: each FILE optimised and saved over itself as the window's batch run
// does, with the settings file's options and table under the command line's.
#pragma once

#include <optional>
#include <string>

#include "cli/argumente.h"
#include "cli/kanaele.h"

namespace quintaro::cli {

// The folder of the running executable (/proc/self/exe), without a trailing '/'.
std::optional<std::string> programmOrdner();

// Returns kFertig, kStapelFehler when a file failed, or kAufruffehler before any file is touched.
int stapelLaufen(const Aufruf& aufruf, const Kanaele& kanaele);

}  // namespace quintaro::cli
