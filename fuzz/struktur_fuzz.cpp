// Option HSB over arbitrary bytes: the quick tree reading and the parser's must not crash, and
// where the quick reading takes a page it must give the parser's facts about which tags the
// parser used; the passes must keep every byte that is no whitespace or comment, and what one
// pass hands on to the next must be what the next would read itself.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/html_baum.h"
#include "engine/html_tokenizer.h"
#include "engine/struktur.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    using namespace quintaro;
    if (groesse < 1) return 0;
    const unsigned passes = daten[0] & 63u;
    const std::string seite(reinterpret_cast<const char*>(daten) + 1, groesse - 1);
    html::Tokenfolge tokens = html::zerlege(seite);
    if (html::baueSchnell(seite, tokens)) {
        const std::vector<std::uint16_t> schnell = tokens.fakten();
        // Only what a page that the quick reading takes cannot differ in by gumbo's own faults
        // (see the engine tests): whether a tag was used.
        html::baueMitParser(seite, tokens);
        const std::vector<std::uint16_t> parser = tokens.fakten();
        html::vorsichtig(tokens);
        // gumbo 0.10.1 reads NUL bytes in markup otherwise than a browser. Server code stands
        // for what the server puts in its place, while gumbo reads its bytes ("<%<!--%>" starts
        // a comment to it): the two readings of such a page are of different pages.
        if (parser != tokens.fakten() && seite.find("<!--->") == std::string::npos &&
            seite.find("--!>") == std::string::npos && seite.find('\0') == std::string::npos &&
            seite.find("<%") == std::string::npos && seite.find("<?") == std::string::npos) {
            for (std::size_t k = 0; k < tokens.size(); ++k) {
                if (tokens[k].art != html::Art::StartTag) continue;
                if ((schnell[k] ^ parser[k]) & html::fakt::kWirkt) __builtin_trap();
            }
        }
    }
    html::Zerlegung zerlegt;
    const Text ohne = strukturKommentareEntfernen(seite, false, {}, &zerlegt).text;
    html::Tokenfolge danach;
    const Text nachher =
        strukturLeerraum(ohne, passes, std::nullopt, &zerlegt, kMemoKapazitaet, &danach);
    // With the tokens and facts the comment pass handed on, the same as with its own reading;
    // and the tokens it hands on in turn are those of its result.
    if (nachher != strukturLeerraum(ohne, passes)) __builtin_trap();
    danach.faktenLoeschen();
    if (!(danach == html::zerlege(nachher))) __builtin_trap();
    // Whitespace only goes or changes: what is left in order, without whitespace, is the same.
    std::string a;
    std::string b;
    for (char c : ohne) {
        if (!html::istLeerraum(c)) a.push_back(c);
    }
    for (char c : nachher) {
        if (!html::istLeerraum(c)) b.push_back(c);
    }
    if (a != b) __builtin_trap();
    return 0;
}
