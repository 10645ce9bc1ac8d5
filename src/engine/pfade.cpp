#include "engine/pfade.h"

#include "engine/text.h"

namespace quintaro {

std::string ordnerTeil(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string dateinameKlein(const std::string& path) {
    const std::string folder = ordnerTeil(path);
    return folder + kleinAsciiText(std::string_view(path).substr(folder.size()));
}

std::string vorschaudatei(const std::string& aktuelleDatei) {
    return ordnerTeil(aktuelleDatei) + std::string(kVorschauName);
}

}  // namespace quintaro
