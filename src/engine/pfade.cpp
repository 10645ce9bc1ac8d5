#include "engine/pfade.h"

#include "engine/text.h"
#include "engine/utf8.h"

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

bool musterPasst(std::string_view muster, std::string_view name, bool ohneFall) {
    const auto gleich = [ohneFall](char a, char b) {
        return a == b || (ohneFall && kleinAscii(a) == kleinAscii(b));
    };
    std::size_t m = 0, n = 0;
    std::size_t sternM = std::string_view::npos, sternN = 0;
    while (n < name.size()) {
        if (m < muster.size() && muster[m] == '*') {
            sternM = m++;
            sternN = n;
        } else if (m < muster.size() && muster[m] == '?') {
            ++m;
            n += utf8::zeichenlaenge(name.substr(n));
        } else if (m < muster.size() && gleich(muster[m], name[n])) {
            ++m;
            ++n;
        } else if (sternM != std::string_view::npos) {
            m = sternM + 1;
            sternN += utf8::zeichenlaenge(name.substr(sternN));
            n = sternN;
        } else {
            return false;
        }
    }
    while (m < muster.size() && muster[m] == '*') ++m;
    return m == muster.size();
}

}  // namespace quintaro
