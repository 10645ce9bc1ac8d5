// Entity table: 0x80 (euro) and 0xA1..0xFF without 0xAD.
#include "engine/sonderzeichen.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/dateifehler.h"
#include "engine/suche.h"
#include "engine/utf8.h"

namespace quintaro {

namespace {
constexpr std::array<std::string_view, 96> kLatin1 = {
    "",         "&iexcl;",  "&cent;",   "&pound;",  "&curren;", "&yen;",    "&brvbar;", "&sect;",
    "&uml;",    "&copy;",   "&ordf;",   "&laquo;",  "&not;",    "",         "&reg;",    "&macr;",
    "&deg;",    "&plusmn;", "&sup2;",   "&sup3;",   "&acute;",  "&micro;",  "&para;",   "&middot;",
    "&cedil;",  "&sup1;",   "&ordm;",   "&raquo;",  "&frac14;", "&frac12;", "&frac34;", "&iquest;",
    "&Agrave;", "&Aacute;", "&Acirc;",  "&Atilde;", "&Auml;",   "&Aring;",  "&AElig;",  "&Ccedil;",
    "&Egrave;", "&Eacute;", "&Ecirc;",  "&Euml;",   "&Igrave;", "&Iacute;", "&Icirc;",  "&Iuml;",
    "&ETH;",    "&Ntilde;", "&Ograve;", "&Oacute;", "&Ocirc;",  "&Otilde;", "&Ouml;",   "&times;",
    "&Oslash;", "&Ugrave;", "&Uacute;", "&Ucirc;",  "&Uuml;",   "&Yacute;", "&THORN;",  "&szlig;",
    "&agrave;", "&aacute;", "&acirc;",  "&atilde;", "&auml;",   "&aring;",  "&aelig;",  "&ccedil;",
    "&egrave;", "&eacute;", "&ecirc;",  "&euml;",   "&igrave;", "&iacute;", "&icirc;",  "&iuml;",
    "&eth;",    "&ntilde;", "&ograve;", "&oacute;", "&ocirc;",  "&otilde;", "&ouml;",   "&divide;",
    "&oslash;", "&ugrave;", "&uacute;", "&ucirc;",  "&uuml;",   "&yacute;", "&thorn;",  "&yuml;",
};

constexpr std::string_view entityVon(unsigned char byte) {
    if (byte == 0x80) return "&euro;";
    if (byte >= 0xA0) return kLatin1[byte - 0xA0];
    return {};
}
}  // namespace

std::string_view entityFuer(unsigned char byte) {
    return entityVon(byte);
}

namespace {
// Output length of every byte: 1 where it passes through.
constexpr std::array<unsigned char, 256> kLaenge = [] {
    std::array<unsigned char, 256> t{};
    for (std::size_t b = 0; b < 256; ++b) {
        const auto e = entityVon(static_cast<unsigned char>(b));
        t[b] = static_cast<unsigned char>(e.empty() ? 1 : e.size());
    }
    return t;
}();

// Every entity padded to eight bytes, so that writing one is a single fixed-size copy; the bytes
// behind it are overwritten by what follows.
constexpr std::size_t kFeld = 8;
constexpr std::array<std::array<char, kFeld>, 256> kEntityFeld = [] {
    std::array<std::array<char, kFeld>, 256> t{};
    for (std::size_t b = 0; b < 256; ++b) {
        const auto e = entityVon(static_cast<unsigned char>(b));
        for (std::size_t i = 0; i < e.size(); ++i) t[b][i] = e[i];
    }
    return t;
}();
}  // namespace

namespace {

std::string_view entityFuerZeichen(char32_t zeichen) {
    if (zeichen == 0x20AC) return "&euro;";
    if (zeichen >= 0xA1 && zeichen <= 0xFF) return entityVon(static_cast<unsigned char>(zeichen));
    return {};
}

// Appends `text` with its entities to `out`; false when nothing had one.
bool utf8Anhaengen(std::string_view text, Text& out) {
    std::size_t kopiert = 0;  // text before this is in `out`
    std::size_t i = 0;
    bool ersetzt = false;
    while (i < text.size()) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        const auto z = utf8::erstesZeichen(text.substr(i));
        if (!z) {
            ++i;
            continue;
        }
        if (const auto e = entityFuerZeichen(z->wert); !e.empty()) {
            out.append(text.substr(kopiert, i - kopiert));
            out.append(e);
            kopiert = i + z->laenge;
            ersetzt = true;
        }
        i += z->laenge;
    }
    out.append(text.substr(kopiert));
    return ersetzt;
}

Text utf8Ersetzen(std::string_view text) {
    Text out;
    out.reserve(text.size() + text.size() / 4);
    utf8Anhaengen(text, out);
    return out;
}

// The length of the text with its entities, without building it.
std::size_t laengeMitEntities(std::string_view text, Kodierung kodierung) {
    std::size_t laenge = 0;
    if (kodierung == Kodierung::Utf8) {
        for (std::size_t i = 0; i < text.size();) {
            const auto z = static_cast<unsigned char>(text[i]) < 0x80
                               ? std::nullopt
                               : utf8::erstesZeichen(text.substr(i));
            if (!z) {
                ++laenge;
                ++i;
                continue;
            }
            const auto e = entityFuerZeichen(z->wert);
            laenge += e.empty() ? z->laenge : e.size();
            i += z->laenge;
        }
        return laenge;
    }
    for (const char c : text) laenge += kLaenge[static_cast<unsigned char>(c)];
    return laenge;
}

// An entity is at most eight bytes for a character of at least one: only a text longer than an
// eighth of the limit can outgrow it, and only such a text is measured first.
void grenzePruefen(std::string_view text, Kodierung kodierung, std::size_t grenze) {
    if (kodierung == Kodierung::Andere || text.size() <= grenze / kFeld) return;
    const std::size_t laenge = laengeMitEntities(text, kodierung);
    if (laenge > grenze && laenge > text.size()) {
        throw DateiFehler(std::string(kMemoKapazitaetFehler));
    }
}

}  // namespace

Text SonderzeichenErsetzen(std::string_view text, Kodierung kodierung, std::size_t grenze) {
    if (kodierung == Kodierung::Utf8) {
        grenzePruefen(text, kodierung, grenze);
        return utf8Ersetzen(text);
    }
    Text out;
    if (!SonderzeichenErsetzen(text, out, kodierung, grenze)) return Text(text);
    return out;
}

bool SonderzeichenErsetzen(std::string_view text, Text& aus, Kodierung kodierung,
                           std::size_t grenze) {
    grenzePruefen(text, kodierung, grenze);
    if (kodierung == Kodierung::Utf8) {
        // Every entity is longer than its character: the size tells whether one was written.
        aus.clear();
        return utf8Anhaengen(text, aus);
    }
    if (kodierung == Kodierung::Andere) return false;
    // One sweep, writing into `aus` as it goes; it grows when the entities need more room than
    // it had. Bytes below 0x80 have no entity: they are passed a block at a time.
    const char* s = text.data();
    const std::size_t n = text.size();
    constexpr std::size_t kLaengste = 8;  // "&middot;"
    std::size_t i = 0;
    std::size_t o = 0;
    bool ersetzt = false;
    if (aus.size() < n + n / 16 + kLaengste) aus.resize(n + n / 16 + kLaengste);
    char* a = aus.data();
    while (i < n) {
        if constexpr (suche::kBlockweise) {
            if (i + suche::kBreite <= n && o + suche::kBreite <= aus.size()) {
                const auto hoch = suche::hoch(s + i);
                // The whole block is written; only the part in front of a high byte counts.
                std::memcpy(a + o, s + i, suche::kBreite);
                if (hoch == 0) {
                    o += suche::kBreite;
                    i += suche::kBreite;
                    continue;
                }
                const std::size_t vor = suche::erster(hoch);
                o += vor;
                i += vor;
            }
        }
        if (o + kLaengste > aus.size()) {
            // Room for the rest at the rate of entities so far, at least half again.
            aus.resize(
                std::max(aus.size() + aus.size() / 2 + kLaengste, o + (n - i) * (o / (i + 1) + 1)));
            a = aus.data();
        }
        const auto b = static_cast<unsigned char>(s[i++]);
        if (kLaenge[b] == 1) {
            a[o++] = static_cast<char>(b);
        } else {
            static_assert(kLaengste == kFeld);
            std::memcpy(a + o, kEntityFeld[b].data(), kFeld);
            o += kLaenge[b];
            ersetzt = true;
        }
    }
    if (!ersetzt) return false;
    aus.resize(o);
    return true;
}

void sonderzeichenAnhaengen(std::string_view text, Text& aus, Kodierung kodierung) {
    if (kodierung == Kodierung::Utf8) {
        utf8Anhaengen(text, aus);
        return;
    }
    if (kodierung == Kodierung::Andere) {
        aus.append(text);
        return;
    }
    // Room for a padded entity per byte, written byte by byte, then cut to what was written: the
    // pieces are short, so this beats an append for each.
    const std::size_t alt = aus.size();
    aus.resize(alt + text.size() * kFeld);
    char* const anfang = aus.data() + alt;
    char* a = anfang;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (kLaenge[b] == 1) {
            *a++ = c;
        } else {
            std::memcpy(a, kEntityFeld[b].data(), kFeld);
            a += kLaenge[b];
        }
    }
    aus.resize(alt + static_cast<std::size_t>(a - anfang));
}

}  // namespace quintaro
