// Fuzzes quintaro-cli's argument parser: NUL-separated arguments never crash it, an error is one
// line, and what it accepts applies over any settings without fault.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/argumente.h"
#include "pruefe.h"

using quintaro::fuzz::pruefe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quintaro;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> args;
    std::size_t anfang = 0;
    for (std::size_t i = 0; i <= bytes.size(); ++i) {
        if (i == bytes.size() || bytes[i] == '\0') {
            args.push_back(bytes.substr(anfang, i - anfang));
            anfang = i + 1;
        }
    }
    const auto gelesen = cli::argumenteLesen(args);
    if (const auto* fehler = std::get_if<cli::ArgumentFehler>(&gelesen)) {
        pruefe(!fehler->meldung.empty());
        pruefe(fehler->meldung.find('\n') == std::string::npos);
        return 0;
    }
    const auto& aufruf = std::get<cli::Aufruf>(gelesen);
    Optionsmenge optionen;
    Ersetzungstabelle tabelle;
    cli::obenauf(aufruf, optionen, tabelle);
    pruefe(tabelle.anzahl() >= 1);
    return 0;
}
