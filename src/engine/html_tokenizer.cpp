// The tokenizer follows the states a browser's tokenizer goes through, reduced to what decides
// where a token ends: tag and attribute states, comment end states, and the script data escape
// states (which decide whether a "</script>" inside "<!-- ... -->" ends the script).
#include "engine/html_tokenizer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <utility>

#include "engine/suche.h"
#include "engine/text.h"

namespace quintaro::html {

namespace {

// "</name" at `p`, followed by whitespace, "/" or ">": the end tag that closes raw text.
bool schliesstRohtext(std::string_view t, std::size_t p, std::string_view name) {
    if (p + 2 + name.size() >= t.size() || t[p + 1] != '/' || !gleichKleinAn(t, p + 2, name)) {
        return false;
    }
    const char c = t[p + 2 + name.size()];
    return istLeerraum(c) || c == '/' || c == '>';
}

std::size_t suche(std::string_view t, std::size_t von, char c) {
    return von >= t.size() ? t.size() : suche::naechstes(t.data(), von, t.size(), c);
}

// Where the raw text of an element called `name` that starts at `p` ends: at its end tag or at the
// end of the page.
std::size_t rohtextEnde(std::string_view t, std::size_t p, std::string_view name) {
    for (std::size_t i = suche(t, p, '<'); i < t.size(); i = suche(t, i + 1, '<')) {
        if (schliesstRohtext(t, i, name)) return i;
    }
    return t.size();
}

// The script data states: "<!--" escapes, "<script" inside an escape double-escapes, and "-->"
// leaves both; only a "</script" outside a double escape ends the script.
std::size_t scriptEnde(std::string_view t, std::size_t i) {
    const std::size_t n = t.size();
    enum { Daten, Maskiert, Doppelt } zustand = Daten;
    int striche = 0;  // "-" just before, up to 2
    while (i < n) {
        if (zustand == Daten) {
            i = suche(t, i, '<');
            if (i >= n) return n;
            if (schliesstRohtext(t, i, "script")) return i;
            if (i + 3 < n && t[i + 1] == '!' && t[i + 2] == '-' && t[i + 3] == '-') {
                zustand = Maskiert;
                striche = 2;
                i += 4;
            } else {
                ++i;
            }
            continue;
        }
        const char c = t[i];
        if (c == '-') {
            if (striche < 2) ++striche;
            ++i;
            continue;
        }
        if (c == '>' && striche == 2) {
            zustand = Daten;
        } else if (c == '<' && zustand == Maskiert) {
            if (schliesstRohtext(t, i, "script")) return i;
            if (i + 7 < n && gleichKleinAn(t, i + 1, "script") &&
                (istLeerraum(t[i + 7]) || t[i + 7] == '/' || t[i + 7] == '>')) {
                zustand = Doppelt;
                i += 7;
                striche = 0;
                continue;
            }
        } else if (c == '<' && zustand == Doppelt && schliesstRohtext(t, i, "script")) {
            zustand = Maskiert;
            i += 8;
            striche = 0;
            continue;
        }
        striche = 0;
        ++i;
    }
    return n;
}

constexpr std::size_t kOffen = std::string_view::npos;

// One behind the end of the comment that starts at `p` ("<!--"); kOffen when the page ends first.
std::size_t kommentarEnde(std::string_view t, std::size_t p) {
    const std::size_t n = t.size();
    if (p + 4 < n && t[p + 4] == '>') return p + 5;
    if (p + 5 < n && t[p + 4] == '-' && t[p + 5] == '>') return p + 6;
    std::size_t von = p + 4;
    for (;;) {
        const std::size_t q = t.find("--", von);
        if (q == std::string_view::npos) return kOffen;
        std::size_t r = q + 2;
        while (r < n && t[r] == '-') ++r;
        if (r < n && t[r] == '>') return r + 1;
        if (r + 1 < n && t[r] == '!' && t[r + 1] == '>') return r + 2;
        von = r < n && t[r] == '!' ? r + 1 : r;
    }
}

// One behind `schluss` from `von` on, or kOffen.
std::size_t bisHinter(std::string_view t, std::size_t von, std::string_view schluss) {
    const std::size_t q = t.find(schluss, von);
    return q == std::string_view::npos ? kOffen : q + schluss.size();
}

struct Name {
    std::string_view name;
    Element element;
};

constexpr std::array kNamen = {
    // Formatting elements and the few others whose parsing rules the tree reading needs.
    Name{"a", Element::Sonstiges},
    Name{"b", Element::Sonstiges},
    Name{"big", Element::Sonstiges},
    Name{"code", Element::Sonstiges},
    Name{"em", Element::Sonstiges},
    Name{"font", Element::Sonstiges},
    Name{"i", Element::Sonstiges},
    Name{"nobr", Element::Sonstiges},
    Name{"s", Element::Sonstiges},
    Name{"small", Element::Sonstiges},
    Name{"strike", Element::Sonstiges},
    Name{"strong", Element::Sonstiges},
    Name{"tt", Element::Sonstiges},
    Name{"u", Element::Sonstiges},
    Name{"search", Element::Block},
    Name{"rb", Element::Sonstiges},
    Name{"rp", Element::Sonstiges},
    Name{"rt", Element::Sonstiges},
    Name{"rtc", Element::Sonstiges},
    Name{"menuitem", Element::Sonstiges},
    Name{"isindex", Element::Sonstiges},
    Name{"datalist", Element::Sonstiges},
    Name{"address", Element::Block},
    Name{"applet", Element::Atom},
    Name{"area", Element::Sonstiges},
    Name{"article", Element::Block},
    Name{"aside", Element::Block},
    Name{"audio", Element::Atom},
    Name{"base", Element::Kopfinhalt},
    Name{"basefont", Element::Kopfinhalt},
    Name{"bgsound", Element::Kopfinhalt},
    Name{"blockquote", Element::Block},
    Name{"body", Element::Body},
    Name{"br", Element::Br},
    Name{"button", Element::Atom},
    Name{"canvas", Element::Atom},
    Name{"caption", Element::Zelle},
    Name{"center", Element::Block},
    Name{"col", Element::Tabellenteil},
    Name{"colgroup", Element::Tabellenteil},
    Name{"dd", Element::Block},
    Name{"details", Element::Block},
    Name{"dialog", Element::Block},
    Name{"dir", Element::Block},
    Name{"div", Element::Block},
    Name{"dl", Element::Block},
    Name{"dt", Element::Block},
    Name{"embed", Element::Atom},
    Name{"fieldset", Element::Block},
    Name{"figcaption", Element::Block},
    Name{"figure", Element::Block},
    Name{"footer", Element::Block},
    Name{"form", Element::Block},
    Name{"frame", Element::Block},
    Name{"frameset", Element::Block},
    Name{"h1", Element::Block},
    Name{"h2", Element::Block},
    Name{"h3", Element::Block},
    Name{"h4", Element::Block},
    Name{"h5", Element::Block},
    Name{"h6", Element::Block},
    Name{"head", Element::Head},
    Name{"header", Element::Block},
    Name{"hgroup", Element::Block},
    Name{"hr", Element::Block},
    Name{"html", Element::Html},
    Name{"iframe", Element::Rohtext},
    Name{"image", Element::Atom},
    Name{"img", Element::Atom},
    Name{"input", Element::Atom},
    Name{"keygen", Element::Atom},
    Name{"legend", Element::Block},
    Name{"li", Element::Block},
    Name{"link", Element::Kopfinhalt},
    Name{"listing", Element::Pre},
    Name{"main", Element::Block},
    Name{"marquee", Element::Atom},
    Name{"math", Element::Atom},
    Name{"menu", Element::Block},
    Name{"meta", Element::Kopfinhalt},
    Name{"meter", Element::Atom},
    Name{"nav", Element::Block},
    Name{"noembed", Element::Rohtext},
    Name{"noframes", Element::Rohtext},
    Name{"noscript", Element::Noscript},
    Name{"object", Element::Atom},
    Name{"ol", Element::Block},
    Name{"optgroup", Element::Option},
    Name{"option", Element::Option},
    Name{"p", Element::Block},
    Name{"param", Element::Sonstiges},
    Name{"picture", Element::Atom},
    Name{"plaintext", Element::Plaintext},
    Name{"pre", Element::Pre},
    Name{"progress", Element::Atom},
    Name{"script", Element::Script},
    Name{"section", Element::Block},
    Name{"select", Element::Select},
    Name{"source", Element::Sonstiges},
    Name{"style", Element::Style},
    Name{"summary", Element::Block},
    Name{"svg", Element::Atom},
    Name{"table", Element::Table},
    Name{"tbody", Element::Tabellenteil},
    Name{"td", Element::Zelle},
    Name{"template", Element::Template},
    Name{"textarea", Element::Textarea},
    Name{"tfoot", Element::Tabellenteil},
    Name{"th", Element::Zelle},
    Name{"thead", Element::Tabellenteil},
    Name{"title", Element::Title},
    Name{"tr", Element::Tabellenteil},
    Name{"track", Element::Sonstiges},
    Name{"ul", Element::Block},
    Name{"video", Element::Atom},
    Name{"wbr", Element::Atom},
    Name{"xmp", Element::Rohtext},
};

// A name of up to 16 bytes, lowercased, as two words (the bytes past its end are 0), and its
// length: the key of a small open-addressed table, so that a lookup is a hash and a compare.
struct Schluessel {
    std::uint64_t vorn = 0;
    std::uint64_t hinten = 0;
    std::size_t laenge = 0;
};

constexpr Schluessel schluessel(std::string_view name) {
    Schluessel s;
    s.laenge = name.size();
    for (std::size_t i = 0; i < name.size() && i < 8; ++i) {
        s.vorn |= std::uint64_t{static_cast<unsigned char>(kleinAscii(name[i]))} << (8 * i);
    }
    for (std::size_t i = 8; i < name.size(); ++i) {
        s.hinten |= std::uint64_t{static_cast<unsigned char>(kleinAscii(name[i]))} << (8 * (i - 8));
    }
    return s;
}

constexpr std::size_t kPlaetze = 256;

constexpr std::size_t platz(const Schluessel& s) {
    return static_cast<std::size_t>(
        ((s.vorn ^ (s.hinten * 0x9E3779B97F4A7C15u) ^ s.laenge) * 0xFF51AFD7ED558CCDu) >> 56);
}

struct Verzeichnis {
    std::array<Schluessel, kPlaetze> schluessel{};
    std::array<std::uint8_t, kPlaetze> nummer{};  // 1 + the place in kNamen, 0 for a free one
};

constexpr Verzeichnis kVerzeichnis = [] {
    static_assert(kNamen.size() < kNamenAnzahl && kNamen.size() < kPlaetze / 2);
    Verzeichnis v;
    for (std::size_t k = 0; k < kNamen.size(); ++k) {
        const Schluessel s = schluessel(kNamen[k].name);
        std::size_t p = platz(s);
        while (v.nummer[p] != 0) p = (p + 1) % kPlaetze;
        v.schluessel[p] = s;
        v.nummer[p] = static_cast<std::uint8_t>(k + 1);
    }
    return v;
}();

// The ASCII capitals of eight bytes made small, all at once: bit 7 of each byte of `gross` is
// set where the byte lies in "A".."Z".
std::uint64_t kleinAscii8(std::uint64_t x) {
    constexpr std::uint64_t kJedes = 0x0101010101010101u;
    const std::uint64_t sieben = x & (0x7F * kJedes);
    const std::uint64_t gross = (sieben + (0x80 - 'A') * kJedes) &
                                ~(sieben + (0x80 - 'Z' - 1) * kJedes) & ~x & (0x80 * kJedes);
    return x | (gross >> 2);
}

// The key of the name t[a..a+laenge); 16 bytes from `a` must be there to read.
Schluessel schluesselBreit(const char* p, std::size_t laenge) {
    std::uint64_t vorn;
    std::uint64_t hinten;
    std::memcpy(&vorn, p, 8);
    std::memcpy(&hinten, p + 8, 8);
    Schluessel s;
    s.laenge = laenge;
    if (laenge < 8) {
        s.vorn = kleinAscii8(vorn) & ((std::uint64_t{1} << (8 * laenge)) - 1);
    } else {
        s.vorn = kleinAscii8(vorn);
        s.hinten = kleinAscii8(hinten) & ((std::uint64_t{1} << (8 * (laenge - 8))) - 1);
    }
    return s;
}

// The element and its number (1 + its place in kNamen; 0 when unknown) of the name
// t[a..a+laenge).
std::pair<Element, std::uint8_t> suche(std::string_view t, std::size_t a, std::size_t laenge) {
    if (laenge == 0 || laenge > 10 || !istAsciiBuchstabe(t[a])) return {Element::Sonstiges, 0};
    static_assert(std::endian::native == std::endian::little);
    const Schluessel s = a + 16 <= t.size() ? schluesselBreit(t.data() + a, laenge)
                                            : schluessel(t.substr(a, laenge));
    for (std::size_t p = platz(s);; p = (p + 1) % kPlaetze) {
        const std::uint8_t nr = kVerzeichnis.nummer[p];
        if (nr == 0) return {Element::Sonstiges, 0};
        const Schluessel& k = kVerzeichnis.schluessel[p];
        if (k.vorn == s.vorn && k.hinten == s.hinten && k.laenge == s.laenge) {
            return {kNamen[nr - 1].element, nr};
        }
    }
}

std::pair<Element, std::uint8_t> suche(std::string_view name) {
    return suche(name, 0, name.size());
}

}  // namespace

const std::array<Element, kNamenAnzahl> kElementVonNummer = [] {
    std::array<Element, kNamenAnzahl> e{};
    for (std::size_t k = 0; k < kNamen.size(); ++k) e[k + 1] = kNamen[k].element;
    return e;
}();

std::vector<std::uint16_t> Tokenfolge::fakten() const {
    std::vector<std::uint16_t> f;
    f.reserve(e_.size());
    for (const Eintrag& x : e_) f.push_back(x.fakten);
    return f;
}

void Tokenfolge::reservieren(std::size_t n) {
    quintaro::reservieren(e_, n);
}

Element elementFuer(std::string_view name) {
    return suche(name).first;
}

std::uint8_t nameNummer(std::string_view name) {
    return suche(name).second;
}

bool istLeeresElement(std::uint8_t nameNr) {
    static const std::array<bool, kNamenAnzahl> leer = [] {
        std::array<bool, kNamenAnzahl> l{};
        for (std::string_view w :
             {"area", "base", "basefont", "bgsound", "br", "col", "embed", "frame", "hr", "img",
              "image", "input", "keygen", "link", "meta", "param", "source", "track", "wbr"}) {
            l[suche(w).second] = true;
        }
        return l;
    }();
    return leer[nameNr];
}

namespace {

// The number of "<" in the page.
std::size_t spitzeKlammern(std::string_view t) {
    std::size_t zahl = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    // Per byte lane, a count of up to 255 blocks, then summed (popcount is not in the base
    // instruction set).
    const __m128i klammer = _mm_set1_epi8('<');
    while (i + suche::kBreite <= t.size()) {
        __m128i lanes = _mm_setzero_si128();
        for (int runde = 0; runde < 255 && i + suche::kBreite <= t.size();
             ++runde, i += suche::kBreite) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t.data() + i));
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(block, klammer));
        }
        const __m128i summen = _mm_sad_epu8(lanes, _mm_setzero_si128());
        zahl += static_cast<std::size_t>(_mm_cvtsi128_si32(summen)) +
                static_cast<std::size_t>(_mm_extract_epi16(summen, 4));
    }
#endif
    for (; i < t.size(); ++i) zahl += t[i] == '<' ? 1U : 0U;
    return zahl;
}

}  // namespace

Tokenfolge zerlege(std::string_view t, std::vector<TagLauf>* laeufe) {
    Tokenfolge tokens;
    if (laeufe != nullptr) laeufe->clear();
    if (t.size() > kGroessteSeite) return tokens;
    // Each "<" begins at most one construct and ends at most one text before it, and every
    // other token holds "<" and one more byte at least: no reallocation. The "<" are counted to
    // keep the room small: a reservation above the allocator's largest mapping threshold
    // (32 MiB) is mapped afresh and faulted in again by every run of a process (batch, window),
    // while a smaller one is reused.
    const std::size_t klammern = spitzeKlammern(t);
    tokens.reservieren(std::min(2 * klammern, t.size() / 2) + 2);
    if (laeufe != nullptr) reservieren(*laeufe, std::min(klammern, t.size() / 4) + 2);
    const std::size_t n = t.size();
    std::size_t text = 0;  // where the pending text began
    // `e` is kOffen for a construct that the page's end cuts off.
    const auto emit = [&](std::size_t a, std::size_t e, Art art, std::uint8_t nameNr = 0,
                          bool mitLeerraum = false) {
        if (text < a) {
            tokens.anhaengen({static_cast<std::uint32_t>(text), static_cast<std::uint32_t>(a),
                              Art::Text, Element::Sonstiges, false});
        }
        const std::size_t ende = e == kOffen ? n : e;
        tokens.anhaengen({static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(ende), art,
                          Element::Sonstiges, e == kOffen, mitLeerraum && e != kOffen, nameNr});
        text = ende;
    };
    std::size_t i = suche(t, 0, '<');
    while (i + 1 < n) {
        const char c = t[i + 1];
        const bool ende = c == '/';
        if (istAsciiBuchstabe(c) || (ende && i + 2 < n && istAsciiBuchstabe(t[i + 2]))) {
            const std::size_t name = i + (ende ? 2 : 1);
            bool mitLeerraum = false;
            const std::size_t laeufeVorher = laeufe != nullptr ? laeufe->size() : 0;
            const TagGrenzen g = leseTag(t, name, [&](std::size_t a, std::size_t e, bool weg) {
                mitLeerraum = true;
                if (laeufe != nullptr) {
                    laeufe->push_back(
                        {static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(e), weg});
                }
            });
            if (g.offen && laeufe != nullptr) laeufe->resize(laeufeVorher);
            const auto [el, nr] = suche(t, name, g.nameEnde - name);
            emit(i, g.offen ? kOffen : g.ende, ende ? Art::EndTag : Art::StartTag, nr, mitLeerraum);
            i = g.ende;
            if (!ende && !g.offen) {
                std::size_t roh = i;
                Art art = Art::Rohtext;
                switch (el) {
                    case Element::Script:
                        roh = scriptEnde(t, i);
                        break;
                    case Element::Style:
                        roh = rohtextEnde(t, i, "style");
                        break;
                    case Element::Rohtext:
                        roh = rohtextEnde(t, i,
                                          gleichKleinAn(t, name, "xmp")       ? "xmp"
                                          : gleichKleinAn(t, name, "iframe")  ? "iframe"
                                          : gleichKleinAn(t, name, "noembed") ? "noembed"
                                                                              : "noframes");
                        break;
                    case Element::Noscript:
                        // A browser runs scripts, and then reads noscript as raw text.
                        roh = rohtextEnde(t, i, "noscript");
                        break;
                    case Element::Textarea:
                        roh = rohtextEnde(t, i, "textarea");
                        art = Art::Rcdata;
                        break;
                    case Element::Title:
                        roh = rohtextEnde(t, i, "title");
                        art = Art::Rcdata;
                        break;
                    case Element::Plaintext:
                        roh = n;
                        break;
                    default:
                        break;
                }
                if (roh > i) {
                    emit(i, roh, art);
                    i = roh;
                }
            }
        } else if (ende) {
            // "</>" is dropped, "</" and anything else a comment to the next ">".
            emit(i, bisHinter(t, i + 2, ">"), Art::Bogus);
            i = text;
        } else if (c == '!') {
            if (i + 3 < n && t[i + 2] == '-' && t[i + 3] == '-') {
                emit(i, kommentarEnde(t, i), Art::Kommentar);
            } else if (gleichKleinAn(t, i + 2, "doctype")) {
                emit(i, bisHinter(t, i + 2, ">"), Art::Doctype);
            } else if (t.substr(i, 9) == std::string_view("<![CDATA[")) {
                emit(i, bisHinter(t, i + 9, "]]>"), Art::Cdata);
            } else {
                emit(i, bisHinter(t, i + 2, ">"), Art::Bogus);
            }
            i = text;
        } else if (c == '?' || c == '%') {
            emit(i, bisHinter(t, i + 2, c == '?' ? "?>" : "%>"), Art::Servercode);
            i = text;
        } else {
            ++i;  // a "<" that starts nothing is text
        }
        i = suche(t, i, '<');
    }
    if (text < n) {
        tokens.anhaengen({static_cast<std::uint32_t>(text), static_cast<std::uint32_t>(n),
                          Art::Text, Element::Sonstiges, false});
    }
    return tokens;
}

}  // namespace quintaro::html
