// A small HTML tokenizer for the passes of option HSB: byte-based, one linear sweep, and reading
// malformed input the way a browser does (a "<" that starts nothing is text; an unclosed tag,
// comment or raw text runs to the end of the page).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/suche.h"

namespace quintaro::html {

enum class Art : std::uint8_t {
    Text,  // character data; entities are decoded here
    StartTag,
    EndTag,
    Kommentar,   // "<!--" up to "-->" or "--!>" ("<!-->" and "<!--->" included)
    Doctype,     // "<!DOCTYPE ...>"
    Bogus,       // "<!x...>", "</1...>", "</>": a comment to the browser, never a real one here
    Cdata,       // "<![CDATA[ ... ]]>"
    Servercode,  // "<% ... %>", "<? ... ?>"
    Rohtext,     // contents of script, style, xmp, iframe, noembed, noframes, noscript, plaintext
    Rcdata,      // contents of title and textarea: no tags, but entities are decoded
};

// The elements the passes tell apart; every other name is `Sonstiges` (rendered inline) or
// `Block` (its start and end break the line, so whitespace beside them is not rendered).
enum class Element : std::uint8_t {
    Sonstiges,
    Block,
    Br,
    Pre,  // pre and listing: whitespace inside is kept
    Plaintext,
    Script,
    Style,
    Rohtext,  // xmp, iframe, noembed, noframes
    Textarea,
    Title,
    Table,
    Tabellenteil,  // tbody, thead, tfoot, tr, colgroup, col
    Zelle,         // td, th, caption
    Html,
    Head,
    Body,
    Kopfinhalt,  // base, basefont, bgsound, link, meta
    Noscript,
    Template,
    Select,
    Option,  // option, optgroup
    Atom,    // inline, but shows something of its own: img, input, button, svg, ...
};

// Offsets are 32 bits to keep tokens small: pages of 4 GiB and more are not tokenized (the
// passes leave them as they are).
inline constexpr std::size_t kGroessteSeite = 0xFFFFFFFFu;

struct Token {
    std::uint32_t anfang;
    std::uint32_t ende;  // one behind the last byte
    Art art;
    Element element;  // for start and end tags
    bool offen : 1;   // a tag, comment or other construct that the page's end cut off
    // A whole tag in which leseTag finds whitespace to report: only such a tag is read again.
    bool mitLeerraum : 1 = false;
    std::uint8_t nameNr = 0;  // the same number for the same known name, 0 for all others
    bool operator==(const Token&) const = default;
};

inline constexpr std::size_t kNamenAnzahl = 128;  // bound of nameNr

Element elementFuer(std::string_view name);      // any letter case
std::uint8_t nameNummer(std::string_view name);  // a token's nameNr for that name

// Whether the element of this name number has neither content nor end tag (br, img, meta, ...).
bool istLeeresElement(std::uint8_t nameNr);

// Whitespace as HTML knows it: space, tab, LF, FF, CR.
inline bool istLeerraum(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The bytes that end a name or value inside a tag, as bits of a table: one lookup a byte instead
// of a comparison for each.
namespace zeichenklasse {
inline constexpr std::uint8_t kLeer = 1;
inline constexpr std::uint8_t kSchraeg = 2;  // "/"
inline constexpr std::uint8_t kZu = 4;       // ">"
inline constexpr std::uint8_t kGleich = 8;   // "="
inline constexpr auto kTabelle = [] {
    struct {
        std::uint8_t bits[256] = {};
    } t;
    for (const char c : {' ', '\t', '\n', '\r', '\f'})
        t.bits[static_cast<unsigned char>(c)] = kLeer;
    t.bits[static_cast<unsigned char>('/')] = kSchraeg;
    t.bits[static_cast<unsigned char>('>')] = kZu;
    t.bits[static_cast<unsigned char>('=')] = kGleich;
    return t;
}();
inline bool ist(char c, std::uint8_t klassen) {
    return (kTabelle.bits[static_cast<unsigned char>(c)] & klassen) != 0;
}
}  // namespace zeichenklasse

// A run of whitespace inside a whole tag, as leseTag reports it.
struct TagLauf {
    std::uint32_t anfang;
    std::uint32_t ende;
    bool entfernbar;
    bool operator==(const TagLauf&) const = default;
};

// The page as a gapless sequence of tokens (nothing for a page above kGroessteSeite). With
// `laeufe`, the whitespace runs of the tags marked `mitLeerraum` are left there in order, so that
// a pass after it need not read those tags again.
std::vector<Token> zerlege(std::string_view text, std::vector<TagLauf>* laeufe = nullptr);

// Both at once, as one pass hands them on to the next.
struct Zerlegung {
    std::vector<Token> tokens;
    std::vector<TagLauf> laeufe;
    bool operator==(const Zerlegung&) const = default;
};

struct TagGrenzen {
    std::size_t nameEnde;
    std::size_t ende;    // one behind the ">", or the page's size when the page ends first
    bool offen = false;  // the page ends first
};

// Reads the tag whose name starts at `name` (just behind "<" or "</"). Calls
// `leerraum(anfang, ende, entfernbar)` for each run of whitespace between the name and the ">",
// outside attribute values: `entfernbar` when the run can go without changing how the tag is read
// (before ">" or "/>", around "="); otherwise it must stay as at least one character. A tag that
// the page's end cuts off reports runs too; its caller drops them.
template <typename F>
TagGrenzen leseTag(std::string_view t, std::size_t name, F&& leerraum) {
    using namespace zeichenklasse;
    const std::size_t n = t.size();
    std::size_t i = name;
    while (i < n && !ist(t[i], kLeer | kSchraeg | kZu)) ++i;
    const std::size_t nameEnde = i;
    bool nachAttrName = false;       // "=" now starts a value
    bool nachWertOhneQuote = false;  // a "/" now would join the value
    bool nachSchraeg = false;        // a "/" just before: the run keeps "/ >" from closing the tag
    const auto ueberspringe = [&](std::size_t j) {
        while (j < n && ist(t[j], kLeer)) ++j;
        return j;
    };
    for (;;) {
        if (i >= n) return {nameEnde, n, true};
        const char c = t[i];
        if (ist(c, kLeer)) {
            const std::size_t e = ueberspringe(i);
            if (e >= n) return {nameEnde, n, true};
            const char d = t[e];
            const bool entfernbar =
                (d == '>' && !nachSchraeg) ||
                (d == '/' && e + 1 < n && t[e + 1] == '>' && !nachWertOhneQuote) ||
                (d == '=' && nachAttrName);
            leerraum(i, e, entfernbar);
            i = e;
            nachWertOhneQuote = false;
            nachSchraeg = false;
            continue;
        }
        if (c == '>') return {nameEnde, i + 1};
        nachWertOhneQuote = false;
        nachSchraeg = false;
        if (c == '/') {
            if (i + 1 < n && t[i + 1] == '>') return {nameEnde, i + 2};
            ++i;
            nachAttrName = false;
            nachSchraeg = true;
            continue;
        }
        if (c == '=' && nachAttrName) {
            nachAttrName = false;
            const std::size_t e = ueberspringe(i + 1);
            if (e > i + 1) leerraum(i + 1, e, true);
            if (e >= n) return {nameEnde, n, true};
            const char q = t[e];
            if (q == '"' || q == '\'') {
                const std::size_t zu = suche::naechstes(t.data(), e + 1, n, q);
                if (zu == n) return {nameEnde, n, true};
                i = zu + 1;
            } else if (q == '>') {
                return {nameEnde, e + 1};
            } else {
                i = e;
                while (i < n && !ist(t[i], kLeer | kZu)) ++i;
                nachWertOhneQuote = true;
            }
            continue;
        }
        // An attribute name; its first character may be anything, "=" included.
        ++i;
        while (i < n && !ist(t[i], kLeer | kSchraeg | kZu | kGleich)) ++i;
        nachAttrName = true;
    }
}

}  // namespace quintaro::html
