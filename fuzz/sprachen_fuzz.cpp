// Fuzzes the minifiers of options CSS and JS and the tag shortening of ATK on any bytes: none may
// crash, grow the text, or change its own result when run again. The three over a whole page:
// no crash, never longer, and what each saved adds up.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/attribute.h"
#include "engine/css.h"
#include "engine/javascript.h"
#include "engine/kuerzen.h"
#include "pruefe.h"

using quintaro::fuzz::pruefe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    using namespace quintaro;
    if (groesse == 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(daten) + 1, groesse - 1);
    if ((daten[0] & 0x40) != 0) {
        const Kuerzung was{(daten[0] & 1) != 0, (daten[0] & 2) != 0, (daten[0] & 4) != 0};
        const Gekuerzt g = seiteKuerzen(Text(text), was, Kodierung::Cp1252);
        pruefe(g.text.size() + g.css + g.js + g.atk == text.size());
        return 0;
    }
    std::string einmal;
    std::string zweimal;
    switch (daten[0] % 6) {
        case 0:
            einmal = css::stilVerkleinern(text);
            zweimal = css::stilVerkleinern(einmal);
            break;
        case 1:
            einmal = css::deklarationenVerkleinern(text);
            zweimal = css::deklarationenVerkleinern(einmal);
            break;
        case 2:
        case 3:
        case 4: {
            const Kodierung k = daten[0] % 6 == 2   ? Kodierung::Cp1252
                                : daten[0] % 6 == 3 ? Kodierung::Utf8
                                                    : Kodierung::Andere;
            const bool modul = (daten[0] & 0x80) != 0;
            einmal = js::skriptVerkleinern(text, k, modul);
            zweimal = js::skriptVerkleinern(einmal, k, modul);
            break;
        }
        default:
            einmal = tagKuerzen(text);
            zweimal = tagKuerzen(einmal);
    }
    pruefe(einmal.size() <= text.size());
    pruefe(zweimal == einmal);
    return 0;
}
