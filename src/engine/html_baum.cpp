// Whitespace is decided on the tree: a run may go only at the edge of the text between two
// siblings (or a parent's edge), where that sibling or parent is a shown non-inline element.
// Both ways of building the facts feed the same Entscheider with the tree in document order.
#include "engine/html_baum.h"

#include <gumbo.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/text.h"

namespace quintaro::html {

namespace {

// How an element shows, after the HTML standard's rendering rules (the user agent's style
// sheet): not inline, not shown at all, or keeping its whitespace.
struct Klasse {
    bool nichtInline = false;
    bool versteckt = false;
    bool vorformatiert = false;
    bool fremd = false;
    bool unsichtbar = false;  // html and head: text directly in them never shows
    // Whitespace at the edge of its content renders nothing.
    bool randOk() const { return nichtInline && !fremd; }
    // Whitespace beside it renders nothing.
    bool geschwisterOk() const { return nichtInline && !versteckt && !fremd; }
};

bool inListe(std::string_view name, std::initializer_list<std::string_view> liste) {
    return std::find(liste.begin(), liste.end(), name) != liste.end();
}

bool gleichOhneFall(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (kleinAscii(a[i]) != b[i]) return false;
    }
    return true;
}

// `name` in lower case; the attributes through `attr(name)`.
template <typename A>
Klasse klasseFuer(std::string_view name, A&& attr) {
    Klasse k;
    k.nichtInline = inListe(
        name, {"html",     "body",    "head",       "address",  "blockquote", "center",   "dialog",
               "div",      "figure",  "figcaption", "footer",   "form",       "header",   "hr",
               "legend",   "listing", "main",       "p",        "plaintext",  "pre",      "search",
               "xmp",      "details", "summary",    "article",  "aside",      "h1",       "h2",
               "h3",       "h4",      "h5",         "h6",       "hgroup",     "nav",      "section",
               "dir",      "dd",      "dl",         "dt",       "menu",       "ol",       "ul",
               "li",       "table",   "caption",    "colgroup", "col",        "thead",    "tbody",
               "tfoot",    "tr",      "td",         "th",       "fieldset",   "frameset", "frame",
               "optgroup", "option",  "br"});
    k.versteckt = inListe(
        name, {"area", "base", "basefont", "datalist", "head", "link", "meta", "noembed",
               "noframes", "param", "rp", "script", "style", "template", "title", "noscript"});
    if (name == "dialog" && !attr("open").gefunden) k.versteckt = true;
    if (name == "input") {
        const Attribut typ = attr("type");
        if (typ.gefunden && gleichOhneFall(typ.wert, "hidden")) k.versteckt = true;
    }
    if (name != "embed") {
        const Attribut h = attr("hidden");
        if (h.gefunden && !gleichOhneFall(h.wert, "until-found")) k.versteckt = true;
    }
    k.vorformatiert = inListe(name, {"pre", "listing", "plaintext", "xmp", "textarea"});
    k.unsichtbar = name == "html" || name == "head";
    return k;
}

// The token at byte `p` (where one starts), or tokens.size().
std::size_t tokenBei(std::span<const Token> tokens, std::size_t p) {
    const auto it = std::partition_point(tokens.begin(), tokens.end(),
                                         [p](const Token& t) { return t.anfang < p; });
    if (it == tokens.end() || it->anfang != p) return tokens.size();
    return static_cast<std::size_t>(it - tokens.begin());
}

// The first token that ends behind byte `p`.
std::size_t tokenUeber(std::span<const Token> tokens, std::size_t p) {
    const auto it = std::partition_point(tokens.begin(), tokens.end(),
                                         [p](const Token& t) { return t.ende <= p; });
    return static_cast<std::size_t>(it - tokens.begin());
}

bool hatWort(std::string_view t, std::size_t a, std::size_t e) {
    for (std::size_t i = a; i < e; ++i) {
        if (!istLeerraum(t[i])) return true;
    }
    return false;
}

// Content that a server puts in or that stands for content: SSI directives and server code.
bool stehtFuerInhalt(std::string_view t, std::size_t a) {
    return t.substr(a, 5) == "<!--#" || t.substr(a, 2) == "<?" || t.substr(a, 2) == "<%";
}

constexpr std::uint16_t kGesehen = 0x8000;  // a text token the tree holds (while building)

// Takes the tree in document order and sets the whitespace facts of the text tokens.
class Entscheider {
  public:
    Entscheider(std::string_view t, std::span<const Token> tokens, std::vector<std::uint16_t>& f)
        : t_(t), tokens_(tokens), f_(f) {}

    void oeffne(const Klasse& k) {
        abschluss(k.geschwisterOk());
        const bool fest = k.vorformatiert || k.fremd || (!stapel_.empty() && stapel_.back().fest);
        stapel_.push_back({k.randOk(), k.geschwisterOk(), fest, k.unsichtbar});
        linksOk_ = k.randOk();
    }
    void schliesse() {
        const Ebene e = stapel_.back();
        abschluss(e.randOk);
        stapel_.pop_back();
        linksOk_ = e.geschwisterOk;
    }
    // A text node made of the source bytes [a, e) (with tags the parser dropped in between).
    void text(std::size_t a, std::size_t e, bool fest) {
        fest = fest || (!stapel_.empty() && stapel_.back().fest);
        // The parser reads CR LF as LF and may place the text at the LF.
        if (a > 0 && a < t_.size() && t_[a - 1] == '\r' && t_[a] == '\n') --a;
        if (e < t_.size() && t_[e - 1] == '\r' && t_[e] == '\n') ++e;
        for (std::size_t k = tokenUeber(tokens_, a); k < tokens_.size() && tokens_[k].anfang < e;
             ++k) {
            const Token& tok = tokens_[k];
            // Tags inside a text node are those the parser dropped; anything else there is text
            // to it (server code, raw text of an element it did not open, ...).
            if (tok.art == Art::StartTag || tok.art == Art::EndTag || tok.art == Art::Doctype)
                continue;
            if (tok.art != Art::Text) {
                if (fest) f_[k] |= fakt::kFest;
                gruppe_.push_back({k, false, false, hatWort(t_, tok.anfang, tok.ende)});
                continue;
            }
            const std::size_t von = std::max<std::size_t>(a, tok.anfang);
            const std::size_t bis = std::min<std::size_t>(e, tok.ende);
            if ((f_[k] & kGesehen) == 0) f_[k] = static_cast<std::uint16_t>(kGesehen);
            if (fest) f_[k] |= fakt::kFest;
            gruppe_.push_back({k, von == tok.anfang, bis == tok.ende, hatWort(t_, von, bis)});
        }
    }
    // Something that counts as a word: server content, CDATA.
    void wort() { gruppe_.push_back({tokens_.size(), false, false, true}); }
    // Marks the whitespace text at the start of the node just opened: it made the parser reopen
    // formatting elements.
    void bleibt(std::size_t a) {
        const std::size_t k = tokenUeber(tokens_, a);
        if (k < tokens_.size() && tokens_[k].art == Art::Text) f_[k] |= fakt::kBleibt;
    }
    void ende() {
        while (!stapel_.empty()) schliesse();
        abschluss(true);
    }

  private:
    struct Ebene {
        bool randOk;
        bool geschwisterOk;
        bool fest;
        bool unsichtbar;
    };
    struct Stueck {
        std::size_t token;
        bool anfang;  // holds the token's first byte
        bool ende;    // holds its last
        bool wort;
    };

    void abschluss(bool rechtsOk) {
        if (gruppe_.empty()) return;
        // Nothing directly in html or head is rendered.
        if (!stapel_.empty() && stapel_.back().unsichtbar) linksOk_ = rechtsOk = true;
        nachLeer_.assign(gruppe_.size(), true);
        for (std::size_t i = gruppe_.size() - 1; i > 0; --i) {
            nachLeer_[i - 1] = nachLeer_[i] && !gruppe_[i].wort;
        }
        bool vorLeer = true;
        for (std::size_t i = 0; i < gruppe_.size(); ++i) {
            const Stueck& s = gruppe_[i];
            if (s.token < tokens_.size() && tokens_[s.token].art == Art::Text) {
                const bool links = vorLeer && linksOk_;
                const bool rechts = nachLeer_[i] && rechtsOk;
                std::uint16_t& f = f_[s.token];
                if (s.anfang && s.ende) {
                    if (links) f |= fakt::kVorn;
                    if (rechts) f |= fakt::kHinten;
                } else if (s.anfang) {
                    if (links || (!s.wort && rechts)) f |= fakt::kVorn;
                } else if (s.ende) {
                    if (rechts || (!s.wort && links)) f |= fakt::kHinten;
                }
            }
            vorLeer = vorLeer && !s.wort;
        }
        gruppe_.clear();
    }

    std::string_view t_;
    std::span<const Token> tokens_;
    std::vector<std::uint16_t>& f_;
    std::vector<Ebene> stapel_;
    std::vector<Stueck> gruppe_;
    std::vector<bool> nachLeer_;
    bool linksOk_ = true;  // the document's start
};

// Text tokens the tree does not hold were dropped by the parser.
void abschliessen(std::span<const Token> tokens, std::vector<std::uint16_t>& f) {
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        if (tokens[k].art != Art::Text) continue;
        if (f[k] & kGesehen) {
            f[k] &= static_cast<std::uint16_t>(~kGesehen);
        } else {
            f[k] |= fakt::kFallen;
        }
    }
}

// --- The full parser ------------------------------------------------------------------------

std::string gumboName(const GumboElement& e) {
    if (e.tag != GUMBO_TAG_UNKNOWN) return gumbo_normalized_tagname(e.tag);
    GumboStringPiece p = e.original_tag;
    gumbo_tag_from_original_text(&p);
    std::string s(p.data, p.length);
    for (char& c : s) c = kleinAscii(c);
    return s;
}

class ParserLeser {
  public:
    ParserLeser(std::string_view t, std::span<const Token> tokens, std::vector<std::uint16_t>& f)
        : t_(t), tokens_(tokens), f_(f), e_(t, tokens, f) {}

    void lies(const GumboNode* n) {
        switch (n->type) {
            case GUMBO_NODE_DOCUMENT:
                kinder(n->v.document.children);
                e_.ende();
                return;
            case GUMBO_NODE_ELEMENT:
            case GUMBO_NODE_TEMPLATE:
                element(n);
                return;
            case GUMBO_NODE_TEXT:
            case GUMBO_NODE_WHITESPACE: {
                const GumboText& x = n->v.text;
                e_.text(echt(x.start_pos.offset), x.start_pos.offset + x.original_text.length,
                        false);
                const GumboNode* p = n->parent;
                if (p != nullptr && n->index_within_parent == 0 &&
                    (p->parse_flags & GUMBO_INSERTION_RECONSTRUCTED_FORMATTING_ELEMENT)) {
                    e_.bleibt(x.start_pos.offset);
                }
                return;
            }
            case GUMBO_NODE_CDATA:
                e_.wort();
                return;
            case GUMBO_NODE_COMMENT: {
                const GumboText& x = n->v.text;
                const std::size_t a = echt(x.start_pos.offset);
                const std::size_t e = x.start_pos.offset + x.original_text.length;
                if (stehtFuerInhalt(t_, a)) e_.wort();
                // Tokens that start inside it are part of it to the parser.
                for (std::size_t k = tokenUeber(tokens_, a + 1);
                     k < tokens_.size() && tokens_[k].anfang < e; ++k) {
                    if (tokens_[k].anfang > a) f_[k] |= fakt::kVerdeckt;
                }
                const std::size_t k = tokenBei(tokens_, a);
                const GumboNode* p = n->parent;
                if (k < tokens_.size() && p != nullptr && p->type == GUMBO_NODE_ELEMENT) {
                    const GumboTag tag = p->v.element.tag;
                    if (tag == GUMBO_TAG_TABLE || tag == GUMBO_TAG_TBODY ||
                        tag == GUMBO_TAG_THEAD || tag == GUMBO_TAG_TFOOT || tag == GUMBO_TAG_TR) {
                        f_[k] |= fakt::kInTabelle;
                    }
                }
                return;
            }
        }
    }

  private:
    // gumbo counts a dropped "</>" to the token behind it.
    std::size_t echt(std::size_t a) const {
        while (t_.substr(a, 3) == "</>") a += 3;
        return a;
    }

    void kinder(const GumboVector& v) {
        for (unsigned i = 0; i < v.length; ++i) lies(static_cast<const GumboNode*>(v.data[i]));
    }

    void element(const GumboNode* n) {
        const GumboElement& el = n->v.element;
        const std::string name = gumboName(el);
        const auto attr = [&el](std::string_view a) {
            const GumboAttribute* g = gumbo_get_attribute(&el.attributes, std::string(a).c_str());
            return g == nullptr ? Attribut{} : Attribut{true, g->value};
        };
        Klasse k = klasseFuer(name, attr);
        k.fremd = el.tag_namespace != GUMBO_NAMESPACE_HTML;
        std::uint16_t bits = fakt::kWirkt;
        if (k.geschwisterOk()) bits |= fakt::kGrenze;
        if (k.fremd) bits |= fakt::kFremd;
        const bool vomParser = (n->parse_flags & GUMBO_INSERTION_BY_PARSER) != 0;
        if (el.original_tag.length > 0 && !vomParser) markiere(el.start_pos.offset, bits);
        if (el.original_end_tag.length > 0) {
            markiere(el.end_pos.offset, bits);
            // gumbo 0.10.1 lets any end tag of a name it does not know close any element of a
            // name it does not know: such a tree is not a browser's.
            if (el.tag == GUMBO_TAG_UNKNOWN) {
                GumboStringPiece e = el.original_end_tag;
                gumbo_tag_from_original_text(&e);
                if (!gleichOhneFall(std::string_view(e.data, e.length), name)) falsch_ = true;
            }
        }
        // Nor does it know these, which a browser's parser treats as blocks.
        if (el.tag == GUMBO_TAG_UNKNOWN && (name == "dialog" || name == "search")) falsch_ = true;
        e_.oeffne(k);
        kinder(el.children);
        e_.schliesse();
    }

    void markiere(std::size_t p, std::uint16_t bits) {
        const std::size_t k = tokenBei(tokens_, echt(p));
        if (k < tokens_.size() &&
            (tokens_[k].art == Art::StartTag || tokens_[k].art == Art::EndTag))
            f_[k] |= bits;
    }

    std::string_view t_;
    std::span<const Token> tokens_;
    std::vector<std::uint16_t>& f_;
    Entscheider e_;

  public:
    bool falsch_ = false;  // the tree is known to differ from a browser's
};

}  // namespace

Attribut attribut(std::string_view t, const Token& tag, std::string_view name) {
    using namespace zeichenklasse;
    const std::size_t e = tag.ende;
    std::size_t i = tag.anfang + 1;
    while (i < e && !ist(t[i], kLeer | kSchraeg | kZu)) ++i;
    while (i < e) {
        while (i < e && (ist(t[i], kLeer) || t[i] == '/')) ++i;
        if (i >= e || t[i] == '>') break;
        const std::size_t a = i;
        ++i;  // a name's first character may be anything, "=" included
        while (i < e && !ist(t[i], kLeer | kSchraeg | kZu | kGleich)) ++i;
        const bool treffer = gleichOhneFall(t.substr(a, i - a), name);
        while (i < e && ist(t[i], kLeer)) ++i;
        if (i >= e || t[i] != '=') {
            if (treffer) return {true, {}};
            continue;
        }
        ++i;
        while (i < e && ist(t[i], kLeer)) ++i;
        std::string_view wert;
        if (i < e && (t[i] == '"' || t[i] == '\'')) {
            const char q = t[i];
            const std::size_t zu = std::min(t.find(q, i + 1), e);
            wert = t.substr(i + 1, zu - i - 1);
            i = zu + 1;
        } else {
            const std::size_t w = i;
            while (i < e && !ist(t[i], kLeer | kZu)) ++i;
            wert = t.substr(w, i - w);
        }
        if (treffer) return {true, wert};
    }
    return {};
}

std::vector<std::uint16_t> baueMitParser(std::string_view text, std::span<const Token> tokens) {
    std::vector<std::uint16_t> f(tokens.size(), 0);
    GumboOptions o = kGumboDefaultOptions;
    o.max_errors = 0;
    GumboOutput* g = gumbo_parse_with_options(&o, text.data(), text.size());
    ParserLeser leser(text, tokens, f);
    leser.lies(g->document);
    gumbo_destroy_output(&o, g);
    if (leser.falsch_) return vorsichtig(tokens);
    abschliessen(tokens, f);
    return f;
}

std::vector<std::uint16_t> vorsichtig(std::span<const Token> tokens) {
    std::vector<std::uint16_t> f(tokens.size(), 0);
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        if (tokens[k].art == Art::Text) f[k] = fakt::kFest;
        if (tokens[k].art == Art::Kommentar) f[k] = fakt::kInTabelle;
    }
    return f;
}

namespace {

// --- The quick reading -----------------------------------------------------------------------
// The tree construction's rules for pages whose tree follows their tokens in order: no foster
// parenting, no formatting element closed by anything but its own end tag (or a cell's end), no
// foreign content, templates or frames. Everything else gives up, and the full parser decides.

namespace art {
constexpr std::uint32_t kSpeziell = 1;
constexpr std::uint32_t kSchliesstP = 2;   // a start tag that closes a p in button scope
constexpr std::uint32_t kFormat = 4;       // a formatting element
constexpr std::uint32_t kLeer = 8;         // no content, no end tag
constexpr std::uint32_t kImpliziert = 16;  // its end is implied by what follows
constexpr std::uint32_t kBereich = 32;     // bounds the default scope
constexpr std::uint32_t kMarker = 64;      // its content's formatting ends with it
constexpr std::uint32_t kAufgeben = 128;   // the quick reading gives up
constexpr std::uint32_t kKopf = 256;       // belongs in the head
constexpr std::uint32_t kUeberschrift = 512;
constexpr std::uint32_t kTabellenteil = 1024;  // tbody, thead, tfoot
constexpr std::uint32_t kZelle = 2048;         // td, th
}  // namespace art

struct NameArt {
    std::string_view name;
    std::uint32_t bits;
};

constexpr std::uint32_t S = art::kSpeziell;
constexpr std::uint32_t P = art::kSchliesstP;

// Sorted by name.
constexpr std::array kArten = {
    NameArt{"a", art::kFormat},
    NameArt{"address", S | P},
    NameArt{"applet", S | art::kBereich | art::kMarker},
    NameArt{"area", S | art::kLeer},
    NameArt{"article", S | P},
    NameArt{"aside", S | P},
    NameArt{"b", art::kFormat},
    NameArt{"base", S | art::kLeer | art::kKopf},
    NameArt{"basefont", S | art::kLeer | art::kKopf},
    NameArt{"bgsound", S | art::kLeer | art::kKopf},
    NameArt{"big", art::kFormat},
    NameArt{"blockquote", S | P},
    NameArt{"body", S},
    NameArt{"br", S | art::kLeer},
    NameArt{"button", S | art::kAufgeben},
    NameArt{"caption", S | art::kAufgeben},
    NameArt{"center", S | P},
    NameArt{"code", art::kFormat},
    NameArt{"col", S | art::kAufgeben},
    NameArt{"colgroup", S | art::kAufgeben},
    NameArt{"dd", S | art::kImpliziert},
    NameArt{"details", S | P},
    NameArt{"dialog", P},
    NameArt{"dir", S | P},
    NameArt{"div", S | P},
    NameArt{"dl", S | P},
    NameArt{"dt", S | art::kImpliziert},
    NameArt{"em", art::kFormat},
    NameArt{"embed", S | art::kLeer},
    NameArt{"fieldset", S | P},
    NameArt{"figcaption", S | P},
    NameArt{"figure", S | P},
    NameArt{"font", art::kFormat},
    NameArt{"footer", S | P},
    NameArt{"form", S},
    NameArt{"frame", S | art::kAufgeben},
    NameArt{"frameset", S | art::kAufgeben},
    NameArt{"h1", S | P | art::kUeberschrift},
    NameArt{"h2", S | P | art::kUeberschrift},
    NameArt{"h3", S | P | art::kUeberschrift},
    NameArt{"h4", S | P | art::kUeberschrift},
    NameArt{"h5", S | P | art::kUeberschrift},
    NameArt{"h6", S | P | art::kUeberschrift},
    NameArt{"head", S},
    NameArt{"header", S | P},
    NameArt{"hgroup", S | P},
    NameArt{"hr", S | P | art::kLeer},
    NameArt{"html", S | art::kBereich},
    NameArt{"i", art::kFormat},
    NameArt{"iframe", S},
    NameArt{"image", art::kAufgeben},
    NameArt{"img", S | art::kLeer},
    NameArt{"input", S | art::kLeer},
    NameArt{"isindex", art::kAufgeben},
    NameArt{"keygen", S | art::kLeer},
    NameArt{"li", S | art::kImpliziert},
    NameArt{"link", S | art::kLeer | art::kKopf},
    NameArt{"listing", S | P},
    NameArt{"main", S | P},
    NameArt{"marquee", S | art::kBereich | art::kMarker},
    NameArt{"math", art::kAufgeben},
    NameArt{"menu", S | P},
    NameArt{"menuitem", art::kAufgeben},
    NameArt{"meta", S | art::kLeer | art::kKopf},
    NameArt{"nav", S | P},
    NameArt{"nobr", art::kFormat},
    NameArt{"noembed", S},
    NameArt{"noframes", S | art::kKopf},
    NameArt{"noscript", S | art::kKopf},
    NameArt{"object", S | art::kBereich | art::kMarker},
    NameArt{"ol", S | P},
    NameArt{"optgroup", art::kImpliziert | art::kAufgeben},
    NameArt{"option", art::kImpliziert | art::kAufgeben},
    NameArt{"p", S | P | art::kImpliziert},
    NameArt{"param", S | art::kLeer},
    NameArt{"plaintext", S | art::kAufgeben},
    NameArt{"pre", S | P},
    NameArt{"rb", art::kImpliziert | art::kAufgeben},
    NameArt{"rp", art::kImpliziert | art::kAufgeben},
    NameArt{"rt", art::kImpliziert | art::kAufgeben},
    NameArt{"rtc", art::kImpliziert | art::kAufgeben},
    NameArt{"s", art::kFormat},
    NameArt{"script", S | art::kKopf},
    NameArt{"search", S | P},
    NameArt{"section", S | P},
    NameArt{"select", S | art::kAufgeben},
    NameArt{"small", art::kFormat},
    NameArt{"source", S | art::kLeer},
    NameArt{"strike", art::kFormat},
    NameArt{"strong", art::kFormat},
    NameArt{"style", S | art::kKopf},
    NameArt{"summary", S | P},
    NameArt{"svg", art::kAufgeben},
    NameArt{"table", S | art::kBereich},
    NameArt{"tbody", S | art::kTabellenteil},
    NameArt{"td", S | art::kBereich | art::kMarker | art::kZelle},
    NameArt{"template", S | art::kAufgeben},
    NameArt{"textarea", S},
    NameArt{"tfoot", S | art::kTabellenteil},
    NameArt{"th", S | art::kBereich | art::kMarker | art::kZelle},
    NameArt{"thead", S | art::kTabellenteil},
    NameArt{"title", S | art::kKopf},
    NameArt{"tr", S},
    NameArt{"track", S | art::kLeer},
    NameArt{"tt", art::kFormat},
    NameArt{"u", art::kFormat},
    NameArt{"ul", S | P},
    NameArt{"wbr", S | art::kLeer},
    NameArt{"xmp", S | P},
};

// The tag's name, lower case, in `puffer`.
std::string_view tagName(std::string_view t, const Token& tok, std::array<char, 16>& puffer,
                         bool& lang) {
    std::size_t i = tok.anfang + (tok.art == Art::EndTag ? 2 : 1);
    std::size_t n = 0;
    lang = false;
    while (i < tok.ende &&
           !zeichenklasse::ist(
               t[i], zeichenklasse::kLeer | zeichenklasse::kSchraeg | zeichenklasse::kZu)) {
        if (n == puffer.size()) {
            lang = true;  // longer than any name above
            break;
        }
        puffer[n++] = kleinAscii(t[i++]);
    }
    return {puffer.data(), n};
}

std::uint32_t artVon(std::string_view name, bool lang) {
    if (lang) return 0;
    const auto it =
        std::lower_bound(kArten.begin(), kArten.end(), name,
                         [](const NameArt& a, std::string_view n) { return a.name < n; });
    return it != kArten.end() && it->name == name ? it->bits : 0;
}

class Schnell {
  public:
    Schnell(std::string_view t, std::span<const Token> tokens, std::vector<std::uint16_t>& f)
        : t_(t), tokens_(tokens), f_(f), e_(t, tokens, f) {}

    bool lies() {
        for (k_ = 0; k_ < tokens_.size(); ++k_) {
            if (!token()) return false;
        }
        while (!stapel_.empty()) pop();
        e_.ende();
        abschliessen(tokens_, f_);
        return true;
    }

  private:
    struct Offen {
        std::string name;  // lower case
        std::uint32_t bits;
        std::uint16_t fakten = fakt::kWirkt;  // what its end tag is
    };
    enum class Phase { Anfang, Kopf, NachKopf, Body, NachBody };

    bool token() {
        const Token& tok = tokens_[k_];
        switch (tok.art) {
            case Art::Text:
                return text(tok);
            case Art::Rohtext:
            case Art::Rcdata:
                return rohtext(tok);
            case Art::StartTag:
            case Art::EndTag:
                if (tok.offen) return true;  // the page's end cut it off: dropped
                return tok.art == Art::StartTag ? start(tok) : ende(tok);
            case Art::Kommentar:
                if (phase_ == Phase::Body && tabellenKontext()) f_[k_] |= fakt::kInTabelle;
                if (t_.substr(tok.anfang, 5) == "<!--#") {
                    if (phase_ == Phase::NachBody) return false;
                    e_.wort();
                }
                return true;
            case Art::Doctype:
            case Art::Bogus:
                return true;
            case Art::Servercode:
                if (t_[tok.anfang + 1] == '%') {
                    // Text to the parser.
                    if (!koerper() || tabellenKontext()) return false;
                    e_.text(tok.anfang, tok.ende, false);
                    return true;
                }
                // A comment to the parser, up to the first ">".
                if (t_.substr(tok.anfang, tok.ende - tok.anfang - 1).find('>') !=
                        std::string_view::npos ||
                    phase_ == Phase::NachBody) {
                    return false;
                }
                e_.wort();
                return true;
            case Art::Cdata:
                return false;
        }
        return false;
    }

    bool text(const Token& tok) {
        const bool wort = hatWort(t_, tok.anfang, tok.ende);
        std::size_t a = tok.anfang;
        if (nachPre_) {
            // The first line break of pre and listing is dropped.
            if (t_[a] == '\r') ++a;
            if (a < tok.ende && t_[a] == '\n' && (a == tok.anfang || t_[a - 1] == '\r'))
                ++a;
            else if (a == tok.anfang && t_[a] == '\n')
                ++a;
            nachPre_ = false;
            if (a == tok.ende) return true;
        }
        if (!wort) {
            switch (phase_) {
                case Phase::Anfang:
                    return true;  // dropped
                case Phase::Kopf:
                case Phase::NachKopf:
                case Phase::Body:
                case Phase::NachBody:
                    e_.text(a, tok.ende, false);
                    return true;
            }
        }
        if (phase_ == Phase::NachBody) return false;
        if (phase_ != Phase::Body) {
            // Leading whitespace stays where it is (dropped before the head, in the head, in
            // html after it); the body starts with the first other character.
            std::size_t w = a;
            while (istLeerraum(t_[w])) ++w;
            if (w > a && phase_ != Phase::Anfang) e_.text(a, w, false);
            a = w;
        }
        if (!koerper() || tabellenKontext()) return false;
        e_.text(a, tok.ende, false);
        return true;
    }

    bool rohtext(const Token& tok) {
        nachPre_ = false;
        if (roh_.empty()) return false;
        // The first line break of a textarea is dropped.
        if (roh_ == "textarea" && (t_.substr(tok.anfang, tok.ende - tok.anfang) == "\n" ||
                                   t_.substr(tok.anfang, tok.ende - tok.anfang) == "\r\n" ||
                                   t_.substr(tok.anfang, tok.ende - tok.anfang) == "\r")) {
            return true;
        }
        e_.text(tok.anfang, tok.ende, false);
        return true;
    }

    // Leaves the phases before the body where a token of the body comes.
    bool koerper() {
        if (phase_ == Phase::Body) return true;
        if (phase_ == Phase::NachBody) return false;
        if (phase_ == Phase::Anfang) {
            implizit("html", art::kSpeziell | art::kBereich);
            implizit("head", art::kSpeziell);
            pop();
        } else if (phase_ == Phase::Kopf) {
            pop();  // head
        }
        implizit("body", art::kSpeziell);
        phase_ = Phase::Body;
        return true;
    }

    bool tabellenKontext() const {
        if (stapel_.empty()) return false;
        const std::string& n = stapel_.back().name;
        return n == "table" || n == "tbody" || n == "thead" || n == "tfoot" || n == "tr";
    }

    void implizit(std::string_view name, std::uint32_t bits) {
        const Klasse k = klasseFuer(name, [](std::string_view) { return Attribut{}; });
        e_.oeffne(k);
        stapel_.push_back(
            {std::string(name), bits,
             static_cast<std::uint16_t>(fakt::kWirkt | (k.geschwisterOk() ? fakt::kGrenze : 0))});
    }

    void push(const Token& tok, std::string_view name, std::uint32_t bits) {
        Klasse k = klasseFuer(name, [&](std::string_view a) { return attribut(t_, tok, a); });
        const auto fakten =
            static_cast<std::uint16_t>(fakt::kWirkt | (k.geschwisterOk() ? fakt::kGrenze : 0));
        f_[k_] |= fakten;
        e_.oeffne(k);
        if (bits & art::kLeer) {
            e_.schliesse();
        } else {
            stapel_.push_back({std::string(name), bits, fakten});
        }
    }

    void pop() {
        e_.schliesse();
        stapel_.pop_back();
    }

    // Pops up to and with the element at `i`; false when a formatting element goes with it and
    // no marker clears it.
    bool popBis(std::size_t i) {
        bool marker = false;
        for (std::size_t j = i; j < stapel_.size(); ++j)
            marker |= (stapel_[j].bits & art::kMarker) != 0;
        for (std::size_t j = i + 1; j < stapel_.size(); ++j) {
            if ((stapel_[j].bits & art::kFormat) && !marker) return false;
        }
        while (stapel_.size() > i) pop();
        return true;
    }

    void impliziteEnden(std::string_view ausser) {
        while (!stapel_.empty() && (stapel_.back().bits & art::kImpliziert) &&
               stapel_.back().name != ausser) {
            pop();
        }
    }

    // The element of that name (or any heading) in the scope, or npos.
    std::size_t imBereich(std::string_view name, std::initializer_list<std::string_view> extra,
                          bool ueberschrift = false) const {
        for (std::size_t i = stapel_.size(); i-- > 0;) {
            const Offen& o = stapel_[i];
            if (ueberschrift ? (o.bits & art::kUeberschrift) != 0 : o.name == name) return i;
            if (o.bits & art::kBereich) return std::string_view::npos;
            for (std::string_view x : extra) {
                if (o.name == x) return std::string_view::npos;
            }
        }
        return std::string_view::npos;
    }

    bool schliesseP() {
        const std::size_t i = imBereich("p", {"button"});
        if (i == std::string_view::npos) return true;
        impliziteEnden("p");
        return popBis(imBereich("p", {"button"}));
    }

    bool start(const Token& tok) {
        nachPre_ = false;
        std::array<char, 16> puffer;
        bool lang = false;
        const std::string_view name = tagName(t_, tok, puffer, lang);
        const std::uint32_t bits = artVon(name, lang);
        if (bits & art::kAufgeben) return false;
        if (phase_ == Phase::NachBody) return false;
        if (phase_ != Phase::Body) {
            if (name == "html") {
                if (phase_ != Phase::Anfang || !stapel_.empty()) return false;
                push(tok, name, art::kSpeziell | art::kBereich);
                return true;
            }
            if (name == "head") {
                if (phase_ != Phase::Anfang) return false;
                if (stapel_.empty()) implizit("html", art::kSpeziell | art::kBereich);
                push(tok, name, bits);
                phase_ = Phase::Kopf;
                return true;
            }
            if (bits & art::kKopf) {
                if (phase_ == Phase::NachKopf) return false;  // into the head after all
                if (phase_ == Phase::Anfang) {
                    if (stapel_.empty()) implizit("html", art::kSpeziell | art::kBereich);
                    implizit("head", art::kSpeziell);
                    phase_ = Phase::Kopf;
                }
                return kopfInhalt(tok, name, bits);
            }
            if (name == "body") {
                if (phase_ == Phase::Anfang) {
                    if (stapel_.empty()) implizit("html", art::kSpeziell | art::kBereich);
                    implizit("head", art::kSpeziell);
                    pop();
                } else if (phase_ == Phase::Kopf) {
                    pop();
                }
                push(tok, name, art::kSpeziell);
                phase_ = Phase::Body;
                return true;
            }
            koerper();
        }
        if (name == "html" || name == "body" || name == "head") return name == "head";
        const bool tabellenTag = (bits & (art::kZelle | art::kTabellenteil)) || name == "tr" ||
                                 name == "caption" || name == "col" || name == "colgroup";
        if (tabellenTag) {
            // In a cell these close it first.
            const std::size_t z = zelle();
            if (z != std::string_view::npos) {
                impliziteEnden("");
                if (!popBis(z)) return false;
            }
        }
        if (tabellenKontext()) return tabellenStart(tok, name, bits);
        if (name == "form") {
            if (formular_) return true;  // a form in a form is dropped
            if (!schliesseP()) return false;
            push(tok, name, bits);
            formular_ = true;
            return true;
        }
        if (bits & art::kKopf) return kopfInhalt(tok, name, bits);
        if (bits & art::kZelle || bits & art::kTabellenteil || name == "tr")
            return true;  // dropped
        if (name == "table") {
            if (imBereich("p", {"button"}) != std::string_view::npos) return false;  // quirks
            push(tok, name, bits);
            return true;
        }
        if (bits & art::kSchliesstP) {
            if (!schliesseP()) return false;
            if ((bits & art::kUeberschrift) && !stapel_.empty() &&
                (stapel_.back().bits & art::kUeberschrift)) {
                pop();
            }
            push(tok, name, bits);
            if (name == "pre" || name == "listing") nachPre_ = true;
            return true;
        }
        if (name == "li" || name == "dd" || name == "dt") {
            for (std::size_t i = stapel_.size(); i-- > 0;) {
                const Offen& o = stapel_[i];
                const bool treffer =
                    name == "li" ? o.name == "li" : (o.name == "dd" || o.name == "dt");
                if (treffer) {
                    const std::string gleich = o.name;
                    impliziteEnden(gleich);
                    if (!popBis(i)) return false;
                    break;
                }
                if ((o.bits & art::kSpeziell) && o.name != "address" && o.name != "div" &&
                    o.name != "p") {
                    break;
                }
            }
            if (!schliesseP()) return false;
            push(tok, name, bits);
            return true;
        }
        if (bits & art::kFormat) {
            int gleiche = 0;
            for (std::size_t i = stapel_.size(); i-- > 0 && !(stapel_[i].bits & art::kMarker);) {
                if (stapel_[i].name == name) ++gleiche;
            }
            // "<a>" in an open "a" runs the adoption agency; three alike drop one from the list.
            if ((name == "a" || name == "nobr") ? gleiche > 0 : gleiche >= 2) return false;
            push(tok, name, bits);
            return true;
        }
        if (name == "textarea" || name == "title" || name == "iframe" || name == "noembed" ||
            name == "noscript" || name == "xmp" || name == "style" || name == "script") {
            if (name == "xmp" && !schliesseP()) return false;
            push(tok, name, bits);
            erwarteRoh(name);
            return true;
        }
        push(tok, name, bits);
        return true;
    }

    // A raw-text element's content follows, then its end tag.
    void erwarteRoh(std::string_view name) {
        roh_ = name;
        rohStapel_ = stapel_.size();
    }

    bool kopfInhalt(const Token& tok, std::string_view name, std::uint32_t bits) {
        push(tok, name, bits);
        if (!(bits & art::kLeer)) erwarteRoh(name);
        return true;
    }

    bool tabellenStart(const Token& tok, std::string_view name, std::uint32_t bits) {
        const std::string& oben = stapel_.back().name;
        if (name == "script" || name == "style") return kopfInhalt(tok, name, bits);
        if (bits & art::kTabellenteil) {
            if (oben == "tr") pop();
            if (stapel_.back().name != "table") pop();
            push(tok, name, bits);
            return true;
        }
        if (name == "tr") {
            if (oben == "tr") pop();
            if (stapel_.back().name == "table")
                implizit("tbody", art::kSpeziell | art::kTabellenteil);
            push(tok, name, bits);
            return true;
        }
        if (bits & art::kZelle) {
            if (oben == "table") implizit("tbody", art::kSpeziell | art::kTabellenteil);
            if (stapel_.back().name != "tr") implizit("tr", art::kSpeziell);
            push(tok, name, bits);
            return true;
        }
        return false;
    }

    bool ende(const Token& tok) {
        nachPre_ = false;
        std::array<char, 16> puffer;
        bool lang = false;
        const std::string_view name = tagName(t_, tok, puffer, lang);
        const std::uint32_t bits = artVon(name, lang);
        if (!roh_.empty()) {
            // The end of a raw-text element (the tokenizer found it).
            if (name != roh_ || stapel_.size() != rohStapel_) return false;
            roh_.clear();
            f_[k_] |= fakt::kWirkt;
            pop();
            return true;
        }
        if (phase_ == Phase::Kopf) {
            if (name == "head") {
                f_[k_] |= fakt::kWirkt;
                pop();
                phase_ = Phase::NachKopf;
                return true;
            }
            return false;
        }
        if (phase_ == Phase::NachBody && name == "html") {
            markiere(0);
            return true;
        }
        if (phase_ != Phase::Body) return false;
        if (name == "body" || name == "html") {
            const std::size_t b = imBereich("body", {});
            if (b == std::string_view::npos) return false;
            markiere(name == "body" ? b : 0);
            phase_ = Phase::NachBody;
            return true;
        }
        if (name == "br") return false;
        if (tabellenKontext() || (bits & art::kZelle) || (bits & art::kTabellenteil) ||
            name == "tr" || name == "table") {
            return tabellenEnde(name, bits);
        }
        if (name == "p") {
            if (imBereich("p", {"button"}) == std::string_view::npos) return false;
            impliziteEnden("p");
            const std::size_t i = imBereich("p", {"button"});
            if (i == std::string_view::npos) return false;
            markiere(i);
            return popBis(i);
        }
        if (name == "li" || name == "dd" || name == "dt") {
            const std::size_t i =
                name == "li" ? imBereich("li", {"ol", "ul"}) : imBereich(name, {});
            if (i == std::string_view::npos) return true;  // ignored
            impliziteEnden(name);
            markiere(i);
            return popBis(i);
        }
        if (bits & art::kUeberschrift) {
            const std::size_t i = imBereich("", {}, true);
            if (i == std::string_view::npos) return true;
            impliziteEnden("");
            markiere(i);
            return popBis(i);
        }
        if (bits & art::kFormat) {
            if (stapel_.empty() || stapel_.back().name != name) {
                for (const Offen& o : stapel_) {
                    if (o.name == name) return false;  // the adoption agency
                }
                return true;  // ignored
            }
            markiere(stapel_.size() - 1);
            pop();
            return true;
        }
        if (name == "form") {
            formular_ = false;
            const std::size_t i = imBereich(name, {});
            if (i == std::string_view::npos) return true;
            impliziteEnden("");
            if (i + 1 != stapel_.size()) return false;  // taken out of the middle
            pop();  // not marked: gumbo records no end tag for a form
            return true;
        }
        if (bits & art::kSpeziell) {
            // Blocks and the like: closed when in scope, ignored otherwise.
            const std::size_t i = imBereich(name, {});
            if (i == std::string_view::npos) return true;
            impliziteEnden("");
            markiere(i);
            return popBis(i);
        }
        // Any other end tag.
        for (std::size_t i = stapel_.size(); i-- > 0;) {
            const Offen& o = stapel_[i];
            if (o.name == name) {
                impliziteEnden(name);
                if (stapel_.size() <= i) return false;
                markiere(i);
                return popBis(i);
            }
            if (o.bits & art::kSpeziell) return true;  // ignored
        }
        return true;
    }

    // The open cell in table scope, or npos.
    std::size_t zelle() const {
        for (std::size_t i = stapel_.size(); i-- > 0;) {
            if (stapel_[i].bits & art::kZelle) return i;
            if (stapel_[i].name == "table" || stapel_[i].name == "html") break;
        }
        return std::string_view::npos;
    }

    bool tabellenEnde(std::string_view name, std::uint32_t bits) {
        if (!(bits & art::kZelle)) {
            // The end of a row, a body or the table closes the cell it is in first.
            const std::size_t z = zelle();
            if (z != std::string_view::npos) {
                bool offen = false;
                for (std::size_t i = 0; i < z; ++i) offen |= stapel_[i].name == name;
                if (!offen) return false;
                impliziteEnden("");
                if (!popBis(z)) return false;
            }
        }
        // Only the plain cases: the end tag closes the element on top, or a cell with what
        // is open in it.
        if ((bits & art::kZelle) ||
            ((bits & art::kTabellenteil) || name == "tr" || name == "table")) {
            std::size_t i = stapel_.size();
            while (i-- > 0 && stapel_[i].name != name) {
                const std::string& n = stapel_[i].name;
                if (n == "table" || ((bits & art::kZelle) == 0 && (stapel_[i].bits & art::kZelle)))
                    return false;
            }
            if (i == std::string_view::npos) return false;
            impliziteEnden("");
            markiere(i);
            return popBis(i);
        }
        return false;
    }

    void markiere(std::size_t i) { f_[k_] |= stapel_[i].fakten; }

    std::string_view t_;
    std::span<const Token> tokens_;
    std::vector<std::uint16_t>& f_;
    Entscheider e_;
    std::vector<Offen> stapel_;
    Phase phase_ = Phase::Anfang;
    std::size_t k_ = 0;
    bool nachPre_ = false;
    bool formular_ = false;  // the parser's form element pointer is set
    std::string roh_;        // the raw-text element whose content comes
    std::size_t rohStapel_ = 0;
};

}  // namespace

bool baueSchnell(std::string_view text, std::span<const Token> tokens,
                 std::vector<std::uint16_t>& fakten) {
    fakten.assign(tokens.size(), 0);
    return Schnell(text, tokens, fakten).lies();
}

// Above this size a page the quick reading cannot decide is not given to the parser: its tree
// takes some 30 times the page.
constexpr std::size_t kParserGrenze = std::size_t{32} << 20;

Baum baue(std::string_view text, std::span<const Token> tokens) {
    Baum b;
    if (baueSchnell(text, tokens, b.fakten)) {
        b.schnell = true;
        return b;
    }
    b.fakten = text.size() > kParserGrenze ? vorsichtig(tokens) : baueMitParser(text, tokens);
    return b;
}

}  // namespace quintaro::html
