// Decoding by the table of well-formed byte sequences: the second byte's range depends on the
// lead byte, which is what excludes overlong forms, surrogates and code points past U+10FFFF.
#include "engine/utf8.h"

namespace quintaro::utf8 {

std::optional<Zeichen> erstesZeichen(std::string_view bytes) {
    if (bytes.empty()) return std::nullopt;
    const auto b = static_cast<unsigned char>(bytes[0]);
    if (b < 0x80) return Zeichen{b, 1};
    std::size_t laenge = 0;
    char32_t wert = 0;
    unsigned char von = 0x80, bis = 0xBF;  // range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        laenge = 2;
        wert = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        laenge = 3;
        wert = b & 0x0F;
        if (b == 0xE0) von = 0xA0;  // below: overlong
        if (b == 0xED) bis = 0x9F;  // above: surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        laenge = 4;
        wert = b & 0x07;
        if (b == 0xF0) von = 0x90;  // below: overlong
        if (b == 0xF4) bis = 0x8F;  // above: past U+10FFFF
    } else {
        return std::nullopt;  // a continuation byte, C0 and C1 (overlong), F5 to FF
    }
    if (bytes.size() < laenge) return std::nullopt;
    for (std::size_t k = 1; k < laenge; ++k) {
        const auto f = static_cast<unsigned char>(bytes[k]);
        if (k == 1 ? (f < von || f > bis) : (f & 0xC0) != 0x80) return std::nullopt;
        wert = (wert << 6) | (f & 0x3F);
    }
    return Zeichen{wert, laenge};
}

std::size_t zeichenlaenge(std::string_view bytes) {
    if (bytes.empty()) return 0;
    const auto z = erstesZeichen(bytes);
    return z ? z->laenge : 1;
}

std::size_t zeichenAnzahl(std::string_view bytes) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < bytes.size(); i += zeichenlaenge(bytes.substr(i))) ++n;
    return n;
}

bool wohlgeformt(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const auto z = erstesZeichen(bytes.substr(i));
        if (!z) return false;
        i += z->laenge;
    }
    return true;
}

void anhaengen(std::string& out, char32_t wert) {
    if (wert < 0x80) {
        out.push_back(static_cast<char>(wert));
    } else if (wert < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (wert >> 6)));
        out.push_back(static_cast<char>(0x80 | (wert & 0x3F)));
    } else if (wert < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (wert >> 12)));
        out.push_back(static_cast<char>(0x80 | ((wert >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (wert & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (wert >> 18)));
        out.push_back(static_cast<char>(0x80 | ((wert >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((wert >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (wert & 0x3F)));
    }
}

std::string anzeigbar(std::string_view bytes, std::size_t hoechstens, bool* gekuerzt) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    for (std::size_t n = 0; i < bytes.size() && n < hoechstens; ++n) {
        if (const auto z = erstesZeichen(bytes.substr(i))) {
            out.append(bytes.substr(i, z->laenge));
            i += z->laenge;
        } else {
            anhaengen(out, 0xFFFD);
            ++i;
        }
    }
    if (gekuerzt) *gekuerzt = i < bytes.size();
    return out;
}

}  // namespace quintaro::utf8
