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
            if (tok.art == Art::StartTag || tok.art == Art::EndTag) continue;
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
                e_.text(x.start_pos.offset, x.start_pos.offset + x.original_text.length, false);
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
                const std::size_t a = x.start_pos.offset;
                const std::size_t e = a + x.original_text.length;
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
        if (el.original_end_tag.length > 0) markiere(el.end_pos.offset, bits);
        e_.oeffne(k);
        kinder(el.children);
        e_.schliesse();
    }

    void markiere(std::size_t p, std::uint16_t bits) {
        const std::size_t k = tokenBei(tokens_, p);
        if (k < tokens_.size() &&
            (tokens_[k].art == Art::StartTag || tokens_[k].art == Art::EndTag))
            f_[k] |= bits;
    }

    std::string_view t_;
    std::span<const Token> tokens_;
    std::vector<std::uint16_t>& f_;
    Entscheider e_;
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
    ParserLeser(text, tokens, f).lies(g->document);
    gumbo_destroy_output(&o, g);
    abschliessen(tokens, f);
    return f;
}

bool baueSchnell(std::string_view, std::span<const Token>, std::vector<std::uint16_t>&) {
    return false;
}

Baum baue(std::string_view text, std::span<const Token> tokens) {
    Baum b;
    if (baueSchnell(text, tokens, b.fakten)) {
        b.schnell = true;
        return b;
    }
    b.fakten = baueMitParser(text, tokens);
    return b;
}

}  // namespace quintaro::html
