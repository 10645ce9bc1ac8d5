// A small HTML tokenizer for the passes of option HSB: byte-based, one linear sweep, and reading
// malformed input the way a browser does (a "<" that starts nothing is text; an unclosed tag,
// comment or raw text runs to the end of the page).
#pragma once

#include <array>
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

// A token as the passes read it; Tokenfolge keeps it smaller.
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

// The element of each name number (Sonstiges for 0).
extern const std::array<Element, kNamenAnzahl> kElementVonNummer;

// The page's tokens, gapless from its first byte to its last, with the facts the tree reading
// (html_baum.h) finds for each. Eight bytes a token: a token's end is where the next one starts,
// and its element follows from its name, so a page of dense markup (a tag and a word every few
// bytes) takes no more than its own size a few times over.
class Tokenfolge {
  public:
    std::size_t size() const { return e_.size(); }
    bool empty() const { return e_.empty(); }
    Token operator[](std::size_t k) const {
        const Eintrag& x = e_[k];
        return {x.anfang,
                k + 1 < e_.size() ? e_[k + 1].anfang : ende_,
                static_cast<Art>(x.kopf & kArt),
                kElementVonNummer[x.nameNr],
                (x.kopf & kOffen) != 0,
                (x.kopf & kMitLeerraum) != 0,
                x.nameNr};
    }

    // The facts of token k (0 until the tree is read).
    std::uint16_t fakt(std::size_t k) const { return e_[k].fakten; }
    std::uint16_t& fakt(std::size_t k) { return e_[k].fakten; }
    void faktenLoeschen() {
        for (Eintrag& x : e_) x.fakten = 0;
    }
    std::vector<std::uint16_t> fakten() const;

    // Appends a token that starts where the one before ends, with its facts.
    void anhaengen(const Token& t, std::uint16_t fakten = 0) {
        e_.push_back({t.anfang, kopf(t), t.nameNr, fakten});
        ende_ = t.ende;
    }
    // Token k becomes `t` with those facts (its end is where token k + 1 starts).
    void setze(std::size_t k, const Token& t, std::uint16_t fakten) {
        e_[k] = {t.anfang, kopf(t), t.nameNr, fakten};
    }
    void reservieren(std::size_t n);
    // Token k takes the place of token `nach` (k >= nach) and starts at `anfang`, for a pass that
    // took out the tokens between them and bytes before it.
    void ruecke(std::size_t k, std::size_t nach, std::uint32_t anfang) {
        e_[nach] = e_[k];
        e_[nach].anfang = anfang;
    }
    // Keeps the first n tokens; the last of them now ends at `ende`.
    void kuerze(std::size_t n, std::uint32_t ende) {
        e_.resize(n);
        ende_ = ende;
    }

    class Zeiger {
      public:
        Zeiger(const Tokenfolge& f, std::size_t k) : f_(&f), k_(k) {}
        Token operator*() const { return (*f_)[k_]; }
        Zeiger& operator++() {
            ++k_;
            return *this;
        }
        bool operator==(const Zeiger& z) const { return k_ == z.k_; }

      private:
        const Tokenfolge* f_;
        std::size_t k_;
    };
    Zeiger begin() const { return {*this, 0}; }
    Zeiger end() const { return {*this, e_.size()}; }

    bool operator==(const Tokenfolge&) const = default;

  private:
    static constexpr unsigned kArt = 15;
    static constexpr unsigned kOffen = 16;
    static constexpr unsigned kMitLeerraum = 32;
    struct Eintrag {
        std::uint32_t anfang;
        std::uint8_t kopf;  // art, offen, mitLeerraum
        std::uint8_t nameNr;
        std::uint16_t fakten;
        bool operator==(const Eintrag&) const = default;
    };
    static_assert(sizeof(Eintrag) == 8);
    static std::uint8_t kopf(const Token& t) {
        return static_cast<std::uint8_t>(static_cast<unsigned>(t.art) | (t.offen ? kOffen : 0U) |
                                         (t.mitLeerraum ? kMitLeerraum : 0U));
    }
    std::vector<Eintrag> e_;
    std::uint32_t ende_ = 0;
};

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
Tokenfolge zerlege(std::string_view text, std::vector<TagLauf>* laeufe = nullptr);

// Both at once, as one pass hands them on to the next.
struct Zerlegung {
    Tokenfolge tokens;
    std::vector<TagLauf> laeufe;
    // The tokens hold the facts of the tree read on this very text (html_baum.h).
    bool mitFakten = false;
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
