// Fuzzes the token diff: two texts from one input (split at its first byte's share), compared
// with a large and a tiny allowance; the changes must turn the one into the other, stay in order
// and within their tokens, and the unified diff must be written without fault.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/aenderungen.h"
#include "pruefe.h"

using quintaro::fuzz::pruefe;

namespace {

using namespace quintaro;

void pruefeVergleich(std::string_view alt, std::string_view neu, std::uint64_t schritte) {
    const Vergleich v = vergleiche(alt, neu, schritte);
    const std::vector<std::uint32_t> ta = aenderungsTokens(alt);
    const std::vector<std::uint32_t> tb = aenderungsTokens(neu);
    const auto byte = [](const std::vector<std::uint32_t>& t, std::size_t i) -> std::size_t {
        return i == 0 ? 0 : t[i - 1];
    };
    std::string aus;
    std::size_t a = 0;
    std::size_t b = 0;
    for (const Aenderung& x : v.aenderungen) {
        pruefe(x.altToken >= a && x.neuToken >= b);
        pruefe(x.altToken - a == x.neuToken - b);
        pruefe(x.altToken <= x.altTokenEnde && x.altTokenEnde <= ta.size());
        pruefe(x.neuToken <= x.neuTokenEnde && x.neuTokenEnde <= tb.size());
        pruefe(byte(ta, x.altToken) <= x.alt && x.alt <= x.altEnde &&
               x.altEnde <= byte(ta, x.altTokenEnde));
        pruefe(byte(tb, x.neuToken) <= x.neu && x.neu <= x.neuEnde &&
               x.neuEnde <= byte(tb, x.neuTokenEnde));
        pruefe(x.alt < x.altEnde || x.neu < x.neuEnde);
        aus.append(alt.substr(byte(ta, a), x.alt - byte(ta, a)));
        aus.append(neu.substr(x.neu, x.neuEnde - x.neu));
        aus.append(alt.substr(x.altEnde, byte(ta, x.altTokenEnde) - x.altEnde));
        a = x.altTokenEnde;
        b = x.neuTokenEnde;
    }
    pruefe(ta.size() - a == tb.size() - b);
    aus.append(alt.substr(byte(ta, a)));
    pruefe(aus == neu);
    const std::string diff = einheitlichesDiff(alt, neu, v, "a", "b", 2);
    pruefe(diff.empty() == v.aenderungen.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    if (groesse == 0) return 0;
    const std::string_view rest(reinterpret_cast<const char*>(daten) + 1, groesse - 1);
    const std::size_t teilung = rest.size() * daten[0] / 255;
    const std::string_view alt = rest.substr(0, teilung);
    const std::string_view neu = rest.substr(teilung);
    pruefeVergleich(alt, neu, kVergleichsSchritte);
    pruefeVergleich(alt, neu, 50);
    return 0;
}
