// The ten tip checks.
#include "engine/tipps.h"

#include <array>

namespace quintaro {

namespace {
// Counts in an already lowercased text.
int countLowered(std::string_view lowered, std::string_view pattern) {
    const Text p = lowerAscii(pattern);
    if (p.empty() || p.size() > lowered.size()) return 0;
    int count = 0;
    for (std::size_t pos = lowered.find(p); pos != std::string_view::npos;
         pos = lowered.find(p, pos + 1)) {
        ++count;
    }
    return count;
}

struct Check {
    std::string_view first;
    std::string_view second;  // empty for single-pattern checks
    enum Kind { FewerThanImages, Absent, Present } kind;
    std::string_view message;
};

constexpr std::array<Check, 10> kChecks = {{
    {"img src=", " alt=", Check::FewerThanImages,
     "Die Anzahl der Grafikeinbindungen stimmt nicht mit der der Alternativtexte "
     "überein.\r\n\r\nFormat: <img src=\"...\" alt=\"...\""},
    {"img src=", " title=", Check::FewerThanImages,
     "Die Anzahl der Grafikeinbindungen stimmt nicht mit der der Grafiktitel "
     "überein.\r\n\r\nFormat: <img src=\"...\" title=\"...\""},
    {"img src=", " width=", Check::FewerThanImages,
     "Die Anzahl der Grafikeinbindungen stimmt nicht mit der der Breitenangaben "
     "überein.\r\n\r\nFormat: <img src=\"...\" width=\"...\""},
    {"img src=", " height=", Check::FewerThanImages,
     "Die Anzahl der Grafikeinbindungen stimmt nicht mit der der Höhenangaben "
     "überein.\r\n\r\nFormat: <img src=\"...\" height=\"...\""},
    {"<!DOCTYPE", "", Check::Absent,
     "Der Dokumententyp wurde nicht definiert\r\n\r\nFormat: <!DOCTYPE=..."},
    {"<title", "", Check::Absent,
     "Es wurde kein Seitentitel vergeben\r\n\r\nFormat: <title>...</title>"},
    {"<meta name=\"GENERATOR", "<meta name=GENERATOR", Check::Present,
     "Die Metadaten enthalten Informationen zum Generator. Diese Angaben sind "
     "redundant.\r\n\r\nFormat: <meta name=\"GENERATOR\" ..."},
    {"<meta name=\"ProgID", "<meta name=ProgID", Check::Present,
     "Die Metadaten enthalten Informationen zur ProgID. Diese Angaben sind "
     "redundant.\r\n\r\nFormat: <meta name=\"ProgID\" ..."},
    {"<meta name=\"Originator", "<meta name=Originator", Check::Present,
     "Die Metadaten enthalten Informationen zum Originator. Diese Angaben sind "
     "redundant.\r\n\r\nFormat: <meta name=\"ORIGINATOR\" ..."},
    {"=\"file:\\\\", "=file:\\\\", Check::Present, "Es wurden lokale Dateien eingebunden."},
}};
}  // namespace

int VorkommenZaehlen(std::string_view text, std::string_view pattern) {
    return countLowered(lowerAscii(text), pattern);
}

std::vector<std::string_view> optimierungstipps(std::string_view text) {
    const Text lowered = lowerAscii(text);
    std::vector<std::string_view> tips;
    for (const auto& c : kChecks) {
        bool show = false;
        switch (c.kind) {
            case Check::FewerThanImages:
                show = countLowered(lowered, c.second) < countLowered(lowered, c.first);
                break;
            case Check::Absent:
                show = countLowered(lowered, c.first) == 0;
                break;
            case Check::Present:
                // The second spelling is looked at only when the first is absent.
                show = countLowered(lowered, c.first) > 0 || countLowered(lowered, c.second) > 0;
                break;
        }
        if (show) tips.push_back(c.message);
    }
    return tips;
}

}  // namespace quintaro
