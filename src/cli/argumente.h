// The command line of quintaro-cli: what the user asked for, or why the arguments make no sense.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "cli/bericht.h"
#include "engine/ersetzungstabelle.h"
#include "engine/kodierung.h"
#include "engine/optionen.h"

namespace quintaro::cli {

// The mode follows from the arguments: file arguments select the batch mode.
enum class Art { Hilfe, Version, Filter, Stapel };

struct Aufruf {
    bool hilfe = false;
    bool version = false;
    Optionsmenge optionen;      // the defaults, changed by --set in argument order
    Ersetzungstabelle tabelle;  // --replace rows in order, code page 1252
    bool tipps = false;         // --tips
    KodierungsWahl kodierung = KodierungsWahl::Automatisch;  // --encoding
    std::vector<std::string> dateien;                        // arguments that are no flag
    std::optional<std::string> einstellungen;                // --settings FILE (batch mode only)
    Berichtsart bericht = Berichtsart::Kein;                 // --report, --report=json
    bool pruefen = false;                                    // --check: nothing is written
    bool diff = false;                                       // --diff (implies --check)
    // The same --set and --replace arguments, to be applied over a settings file's state.
    std::vector<std::pair<int, bool>> gesetzt;
    std::vector<Ersetzung> ersetzungen;
    // Batch mode over a whole site: folders among the FILE arguments (-r), the patterns their
    // files must match (--filter, else the settings'), and the threads (--jobs, 0: every core).
    bool rekursiv = false;
    std::vector<std::string> filter;
    unsigned faeden = 0;

    Art art() const {
        if (hilfe) return Art::Hilfe;
        if (version) return Art::Version;
        return dateien.empty() ? Art::Filter : Art::Stapel;
    }
};

// One line for the user (without the program name and without a line end); names the argument.
struct ArgumentFehler {
    std::string meldung;
};

// `args` excludes the program name. Stops at the first error; --help and --version win over what
// follows them.
std::variant<Aufruf, ArgumentFehler> argumenteLesen(std::span<const std::string_view> args);

// --set in order over `optionen`; --replace rows after the table's rows, the first one filling
// the table when it holds only the placeholder row.
void obenauf(const Aufruf& aufruf, Optionsmenge& optionen, Ersetzungstabelle& tabelle);

// The text --help prints.
std::string aufrufText();
// The line --version prints.
std::string versionText();

}  // namespace quintaro::cli
