// The ten tip checks.
#include "engine/tipps.h"

#include <array>

namespace quintaro {

namespace {
// Counts in an already lowercased text.
int vorkommenKlein(std::string_view lowered, std::string_view pattern) {
    const Text p = kleinAsciiText(pattern);
    if (p.empty() || p.size() > lowered.size()) return 0;
    int count = 0;
    for (std::size_t pos = lowered.find(p); pos != std::string_view::npos;
         pos = lowered.find(p, pos + 1)) {
        ++count;
    }
    return count;
}

struct Check {
    Tipp tipp;
    std::string_view first;
    std::string_view second;  // empty for single-pattern checks
    enum Kind { FewerThanImages, Absent, Present } kind;
    std::string_view message;
};

constexpr std::array<Check, 10> kChecks = {{
    {Tipp::Alternativtexte, "img src=", " alt=", Check::FewerThanImages,
     "Die Anzahl der Grafikeinbindungen stimmt nicht mit der der Alternativtexte "
     "überein.\r\n\r\nFormat: <img src=\"...\" alt=\"...\""},
    {Tipp::Grafiktitel, "img src=", " title=", Check::FewerThanImages,
     "Die Anzahl der Grafikeinbindungen stimmt nicht mit der der Grafiktitel "
     "überein.\r\n\r\nFormat: <img src=\"...\" title=\"...\""},
    {Tipp::Breitenangaben, "img src=", " width=", Check::FewerThanImages,
     "Die Anzahl der Grafikeinbindungen stimmt nicht mit der der Breitenangaben "
     "überein.\r\n\r\nFormat: <img src=\"...\" width=\"...\""},
    {Tipp::Hoehenangaben, "img src=", " height=", Check::FewerThanImages,
     "Die Anzahl der Grafikeinbindungen stimmt nicht mit der der Höhenangaben "
     "überein.\r\n\r\nFormat: <img src=\"...\" height=\"...\""},
    {Tipp::Dokumententyp, "<!DOCTYPE", "", Check::Absent,
     "Der Dokumententyp wurde nicht definiert\r\n\r\nFormat: <!DOCTYPE=..."},
    {Tipp::Seitentitel, "<title", "", Check::Absent,
     "Es wurde kein Seitentitel vergeben\r\n\r\nFormat: <title>...</title>"},
    {Tipp::Generator, "<meta name=\"GENERATOR", "<meta name=GENERATOR", Check::Present,
     "Die Metadaten enthalten Informationen zum Generator. Diese Angaben sind "
     "redundant.\r\n\r\nFormat: <meta name=\"GENERATOR\" ..."},
    {Tipp::ProgId, "<meta name=\"ProgID", "<meta name=ProgID", Check::Present,
     "Die Metadaten enthalten Informationen zur ProgID. Diese Angaben sind "
     "redundant.\r\n\r\nFormat: <meta name=\"ProgID\" ..."},
    {Tipp::Originator, "<meta name=\"Originator", "<meta name=Originator", Check::Present,
     "Die Metadaten enthalten Informationen zum Originator. Diese Angaben sind "
     "redundant.\r\n\r\nFormat: <meta name=\"ORIGINATOR\" ..."},
    {Tipp::LokaleDateien, "=\"file:\\\\", "=file:\\\\", Check::Present,
     "Es wurden lokale Dateien eingebunden."},
}};
// tippText() finds a tip's row by its value.
static_assert([] {
    for (std::size_t i = 0; i < kChecks.size(); ++i) {
        if (static_cast<std::size_t>(kChecks[i].tipp) != i) return false;
    }
    return true;
}());
}  // namespace

int VorkommenZaehlen(std::string_view text, std::string_view pattern) {
    return vorkommenKlein(kleinAsciiText(text), pattern);
}

std::string_view tippText(Tipp tipp) {
    return kChecks[static_cast<std::size_t>(tipp)].message;
}

std::vector<Tipp> tippsFuer(std::string_view text) {
    const Text lowered = kleinAsciiText(text);
    std::vector<Tipp> tips;
    for (const auto& c : kChecks) {
        bool show = false;
        switch (c.kind) {
            case Check::FewerThanImages:
                show = vorkommenKlein(lowered, c.second) < vorkommenKlein(lowered, c.first);
                break;
            case Check::Absent:
                show = vorkommenKlein(lowered, c.first) == 0;
                break;
            case Check::Present:
                // The second spelling is looked at only when the first is absent.
                show =
                    vorkommenKlein(lowered, c.first) > 0 || vorkommenKlein(lowered, c.second) > 0;
                break;
        }
        if (show) tips.push_back(c.tipp);
    }
    return tips;
}

std::vector<std::string_view> optimierungstipps(std::string_view text) {
    std::vector<std::string_view> texte;
    for (const Tipp tipp : tippsFuer(text)) texte.push_back(tippText(tipp));
    return texte;
}

}  // namespace quintaro
