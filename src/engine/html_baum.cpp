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
        if (typ.gefunden && gleichKlein(typ.wert, "hidden")) k.versteckt = true;
    }
    if (name != "embed") {
        const Attribut h = attr("hidden");
        if (h.gefunden && !gleichKlein(h.wert, "until-found")) k.versteckt = true;
    }
    k.vorformatiert = inListe(name, {"pre", "listing", "plaintext", "xmp", "textarea"});
    k.unsichtbar = name == "html" || name == "head";
    return k;
}

// The first token k for which `vorbei(k)` is false, where it is true for all before it.
template <typename F>
std::size_t erstesNicht(std::size_t n, F&& vorbei) {
    std::size_t lo = 0;
    while (n > 0) {
        const std::size_t halb = n / 2;
        if (vorbei(lo + halb)) {
            lo += halb + 1;
            n -= halb + 1;
        } else {
            n = halb;
        }
    }
    return lo;
}

// The token at byte `p` (where one starts), or tokens.size().
std::size_t tokenBei(const Tokenfolge& tokens, std::size_t p) {
    const std::size_t k =
        erstesNicht(tokens.size(), [&](std::size_t i) { return tokens[i].anfang < p; });
    if (k == tokens.size() || tokens[k].anfang != p) return tokens.size();
    return k;
}

// The first token that ends behind byte `p`.
std::size_t tokenUeber(const Tokenfolge& tokens, std::size_t p) {
    return erstesNicht(tokens.size(), [&](std::size_t i) { return tokens[i].ende <= p; });
}

// The facts of the tokens, written into them as the tree is read.
class Fakten {
  public:
    explicit Fakten(Tokenfolge& t) : t_(&t) {}
    std::uint16_t& operator[](std::size_t k) const { return t_->fakt(k); }

  private:
    Tokenfolge* t_;
};

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
    // `aus`: only the tags' and comments' facts are wanted; text is not decided.
    Entscheider(std::string_view t, const Tokenfolge& tokens, Fakten f, bool aus = false)
        : t_(t), tokens_(tokens), f_(f), aus_(aus) {}

    void oeffne(const Klasse& k) {
        if (aus_) return;
        const bool fest = k.vorformatiert || k.fremd || (!stapel_.empty() && stapel_.back().fest);
        Ebene neu{k.randOk(), k.geschwisterOk(), fest, k.unsichtbar};
        abschluss(k.geschwisterOk(), &neu);
        stapel_.push_back(neu);
        linksOk_ = k.randOk();
        linksVon_ = stapel_.size() - 1;
    }
    void schliesse() {
        if (aus_) return;
        const Ebene e = stapel_.back();
        abschluss(e.randOk, nullptr);
        stapel_.pop_back();
        linksOk_ = e.geschwisterOk;
        linksVon_ = kKeine;
    }
    // The adoption agency moves the block at depth d + 1 out of the formatting element at d and
    // wraps the block's content in a copy of it: the text before the block now ends the
    // formatting element, and the block's content starts inside the copy, both inline. False
    // when the facts this takes back were not all kept.
    bool umhaengen(std::size_t d) {
        if (aus_) return true;
        Ebene& block = stapel_[d + 1];
        if (block.voll) return false;
        const auto zurueck = [this](const Spur& s) {
            f_[s.token] = static_cast<std::uint16_t>(f_[s.token] & ~s.bit);
        };
        for (std::size_t i = 0; i < block.nHinten; ++i) zurueck(block.hinten[i]);
        for (std::size_t i = 0; i < block.nVorn; ++i) zurueck(block.vorn[i]);
        block.nHinten = block.nVorn = 0;
        const Ebene kopie{false, false, block.fest, false};
        stapel_.erase(stapel_.begin() + static_cast<std::ptrdiff_t>(d));
        stapel_.insert(stapel_.begin() + static_cast<std::ptrdiff_t>(d + 1), kopie);
        if (linksVon_ == d + 1) linksOk_ = false;  // the block's first text is the copy's now
        return true;
    }
    // A text node made of the source bytes [a, e) (with tags the parser dropped in between).
    void text(std::size_t a, std::size_t e, bool fest) {
        fest = fest || (!stapel_.empty() && stapel_.back().fest);
        // The parser reads CR LF as LF and may place the text at the LF.
        if (a > 0 && a < t_.size() && t_[a - 1] == '\r' && t_[a] == '\n') --a;
        if (e < t_.size() && t_[e - 1] == '\r' && t_[e] == '\n') ++e;
        for (std::size_t k = tokenUeber(tokens_, a); k < tokens_.size() && tokens_[k].anfang < e;
             ++k) {
            const Token tok = tokens_[k];
            // Tags inside a text node are those the parser dropped; anything else there is text
            // to it (server code, raw text of an element it did not open, ...).
            if (tok.art == Art::StartTag || tok.art == Art::EndTag || tok.art == Art::Doctype ||
                tok.art == Art::Bogus) {
                continue;
            }
            if (tok.art != Art::Text) {
                if (fest) f_[k] |= fakt::kFest;
                stueck(k, false, false, hatWort(t_, tok.anfang, tok.ende));
                continue;
            }
            const std::size_t von = std::max<std::size_t>(a, tok.anfang);
            const std::size_t bis = std::min<std::size_t>(e, tok.ende);
            if ((f_[k] & kGesehen) == 0) f_[k] = static_cast<std::uint16_t>(kGesehen);
            if (fest) f_[k] |= fakt::kFest;
            if (von != tok.anfang || bis != tok.ende) f_[k] |= fakt::kTeil;
            stueck(k, von == tok.anfang, bis == tok.ende, hatWort(t_, von, bis));
        }
    }
    // The bytes [a, e) of token `k`, which the quick reading knows already.
    void textToken(std::size_t k, std::size_t a, std::size_t e) {
        if (aus_) return;
        const bool fest = !stapel_.empty() && stapel_.back().fest;
        const Token tok = tokens_[k];
        if (tok.art != Art::Text) {
            if (fest) f_[k] |= fakt::kFest;
            stueck(k, false, false, hatWort(t_, tok.anfang, tok.ende));
            return;
        }
        if ((f_[k] & kGesehen) == 0) f_[k] = static_cast<std::uint16_t>(kGesehen);
        if (fest) f_[k] |= fakt::kFest;
        if (a != tok.anfang || e != tok.ende) f_[k] |= fakt::kTeil;
        stueck(k, a == tok.anfang, e == tok.ende, hatWort(t_, a, e));
    }
    // Text with more than whitespace in a table outside its cells: the parser puts it in front of
    // the table at depth d, after what stands there. False when facts it takes back were not
    // all kept.
    bool vorDieTabelle(std::size_t k, std::size_t d) {
        if (aus_) return true;
        Ebene& tabelle = stapel_[d];
        if (tabelle.voll) return false;
        for (std::size_t i = 0; i < tabelle.nHinten; ++i) {
            const Spur& sp = tabelle.hinten[i];
            f_[sp.token] = static_cast<std::uint16_t>(f_[sp.token] & ~sp.bit);
        }
        tabelle.nHinten = 0;
        if ((f_[k] & kGesehen) == 0) f_[k] = static_cast<std::uint16_t>(kGesehen);
        if (tabelle.fest) f_[k] |= fakt::kFest;
        if (tabelle.davorLeer && tabelle.davorLinksOk) f_[k] |= fakt::kVorn;
        if (tabelle.geschwisterOk) {
            f_[k] |= fakt::kHinten;
            merke(&tabelle, tabelle.nHinten, tabelle.hinten, k, fakt::kHinten);
        }
        tabelle.davorLeer = false;
        return true;
    }
    // Something that counts as a word: server content, CDATA.
    void wort() {
        if (!aus_) stueck(tokens_.size(), false, false, true);
    }
    // Marks the whitespace text at the start of the node just opened: it made the parser reopen
    // formatting elements.
    void bleibt(std::size_t a) {
        const std::size_t k = tokenUeber(tokens_, a);
        if (k < tokens_.size() && tokens_[k].art == Art::Text) f_[k] |= fakt::kBleibt;
    }
    void ende() {
        while (!stapel_.empty()) schliesse();
        abschluss(true, nullptr);
    }

  private:
    // A fact set for one reason only, which a later change of the tree may take back.
    struct Spur {
        std::uint32_t token;
        std::uint16_t bit;
    };
    struct Ebene {
        bool randOk;
        bool geschwisterOk;
        bool fest;
        bool unsichtbar;
        std::uint8_t nVorn = 0;    // text at the start of its content, whose start allowed it
        std::uint8_t nHinten = 0;  // text before it, whose start allowed it
        bool voll = false;         // more than fit
        // The text before it: only whitespace, and whether its start allowed that to go.
        bool davorLeer = true;
        bool davorLinksOk = false;
        std::array<Spur, 2> vorn{};
        std::array<Spur, 2> hinten{};
    };
    static constexpr std::size_t kKeine = std::string_view::npos;

    static void merke(Ebene* e, std::uint8_t& n, std::array<Spur, 2>& spuren, std::size_t token,
                      std::uint16_t bit) {
        if (e == nullptr) return;
        if (n == spuren.size()) {
            e->voll = true;
            return;
        }
        spuren[n++] = {static_cast<std::uint32_t>(token), bit};
    }
    struct Stueck {
        std::uint32_t token;
        bool anfang;  // holds the token's first byte
        bool ende;    // holds its last
        bool wort;
    };
    void stueck(std::size_t token, bool anfang, bool ende, bool wort) {
        if (stuecke_ == gruppe_.size()) gruppe_.resize(gruppe_.size() * 2 + 16);
        gruppe_[stuecke_++] = {static_cast<std::uint32_t>(token), anfang, ende, wort};
    }

    // `rechtsVon`: the element whose start follows the group, not yet on the stack.
    void abschluss(bool rechtsOk, Ebene* rechtsVon) {
        if (rechtsVon != nullptr) {
            rechtsVon->davorLinksOk = linksOk_;
            rechtsVon->davorLeer = true;
            for (std::size_t i = 0; i < stuecke_; ++i) {
                rechtsVon->davorLeer = rechtsVon->davorLeer && !gruppe_[i].wort;
            }
        }
        if (stuecke_ == 0) return;
        Ebene* linksVon = linksVon_ < stapel_.size() ? &stapel_[linksVon_] : nullptr;
        // Nothing directly in html or head is rendered.
        if (!stapel_.empty() && stapel_.back().unsichtbar) {
            linksOk_ = rechtsOk = true;
            linksVon = rechtsVon = nullptr;
        }
        // Only whitespace follows piece i when no word stands after it: from the last word on.
        std::size_t letztesWort = 0;
        for (std::size_t i = stuecke_; i > 0; --i) {
            if (gruppe_[i - 1].wort) {
                letztesWort = i - 1;
                break;
            }
        }
        bool vorLeer = true;
        for (std::size_t i = 0; i < stuecke_; ++i) {
            const Stueck& s = gruppe_[i];
            if (s.token < tokens_.size() && tokens_[s.token].art == Art::Text) {
                const bool links = vorLeer && linksOk_;
                const bool rechts = i >= letztesWort && rechtsOk;
                // Which side allows the leading and the trailing whitespace.
                bool vornL = false;
                bool vornR = false;
                bool hintenL = false;
                bool hintenR = false;
                if (s.anfang && s.ende) {
                    vornL = links;
                    hintenR = rechts;
                } else if (s.anfang) {
                    vornL = links;
                    vornR = !s.wort && rechts;
                } else if (s.ende) {
                    hintenR = rechts;
                    hintenL = !s.wort && links;
                }
                std::uint16_t& f = f_[s.token];
                if ((vornL || vornR) && !(f & fakt::kVorn)) {
                    f |= fakt::kVorn;
                    if (vornL != vornR) {
                        Ebene* e = vornL ? linksVon : rechtsVon;
                        if (e != nullptr) {
                            merke(e, vornL ? e->nVorn : e->nHinten, vornL ? e->vorn : e->hinten,
                                  s.token, fakt::kVorn);
                        }
                    }
                }
                if ((hintenL || hintenR) && !(f & fakt::kHinten)) {
                    f |= fakt::kHinten;
                    if (hintenL != hintenR) {
                        Ebene* e = hintenL ? linksVon : rechtsVon;
                        if (e != nullptr) {
                            merke(e, hintenL ? e->nVorn : e->nHinten, hintenL ? e->vorn : e->hinten,
                                  s.token, fakt::kHinten);
                        }
                    }
                }
            }
            vorLeer = vorLeer && !s.wort;
        }
        stuecke_ = 0;
    }

    std::string_view t_;
    const Tokenfolge& tokens_;
    Fakten f_;
    std::vector<Ebene> stapel_;
    // The pieces of the current group: the first stuecke_ of gruppe_, which only grows.
    std::vector<Stueck> gruppe_;
    std::size_t stuecke_ = 0;
    bool linksOk_ = true;  // the document's start
    // The depth of the element whose start began the current group (kKeine after an end).
    std::size_t linksVon_ = kKeine;
    bool aus_;
};

// Text tokens the tree does not hold were dropped by the parser.
void abschliessen(const Tokenfolge& tokens, Fakten f) {
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

// The formatting elements, whose end tags run the adoption agency.
bool istFormat(GumboTag t) {
    switch (t) {
        case GUMBO_TAG_A:
        case GUMBO_TAG_B:
        case GUMBO_TAG_BIG:
        case GUMBO_TAG_CODE:
        case GUMBO_TAG_EM:
        case GUMBO_TAG_FONT:
        case GUMBO_TAG_I:
        case GUMBO_TAG_NOBR:
        case GUMBO_TAG_S:
        case GUMBO_TAG_SMALL:
        case GUMBO_TAG_STRIKE:
        case GUMBO_TAG_STRONG:
        case GUMBO_TAG_TT:
        case GUMBO_TAG_U:
            return true;
        default:
            return false;
    }
}

// The element's name in lower case; an unknown one is written into `puffer`.
std::string_view gumboName(const GumboElement& e, std::string& puffer) {
    if (e.tag != GUMBO_TAG_UNKNOWN) return gumbo_normalized_tagname(e.tag);
    GumboStringPiece p = e.original_tag;
    gumbo_tag_from_original_text(&p);
    puffer.assign(p.data, p.length);
    for (char& c : puffer) c = kleinAscii(c);
    return puffer;
}

class ParserLeser {
  public:
    ParserLeser(std::string_view t, const Tokenfolge& tokens, Fakten f)
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
        const std::string_view name = gumboName(el, puffer_);
        const auto attr = [&el](std::string_view a) {
            // Only asked for by literal names, which end with a NUL.
            const GumboAttribute* g = gumbo_get_attribute(&el.attributes, a.data());
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
            geschlossen(el.end_pos.offset, el.start_pos.offset != el.end_pos.offset &&
                                               !istFormat(el.tag) && el.tag != GUMBO_TAG_BODY &&
                                               el.tag != GUMBO_TAG_HTML);
            // gumbo 0.10.1 lets any end tag of a name it does not know close any element of a
            // name it does not know: such a tree is not a browser's.
            if (el.tag == GUMBO_TAG_UNKNOWN) {
                GumboStringPiece e = el.original_end_tag;
                gumbo_tag_from_original_text(&e);
                if (!gleichKlein(std::string_view(e.data, e.length), name)) falsch_ = true;
            }
        }
        // Nor does it know these, which a browser's parser treats as blocks.
        if (el.tag == GUMBO_TAG_UNKNOWN && (name == "dialog" || name == "search")) falsch_ = true;
        e_.oeffne(k);
        kinder(el.children);
        e_.schliesse();
    }

    // gumbo gives every element an end tag closes that tag as its end: an end tag that closed
    // one element, opened before it (not one it made, as "</p>" may), closed just the current
    // node.
    void geschlossen(std::size_t p, bool vorher) {
        const std::size_t k = tokenBei(tokens_, echt(p));
        if (k >= tokens_.size() || tokens_[k].art != Art::EndTag) return;
        if (geschlossen_.empty()) geschlossen_.assign(tokens_.size(), 0);
        geschlossen_[k] =
            static_cast<std::uint8_t>(std::min(2, geschlossen_[k] + (vorher ? 1 : 2)));
    }

  public:
    void einzelneEnden() {
        for (std::size_t k = 0; k < geschlossen_.size(); ++k) {
            if (geschlossen_[k] == 1 && (f_[k] & fakt::kWirkt)) f_[k] |= fakt::kEinzeln;
        }
    }

  private:
    void markiere(std::size_t p, std::uint16_t bits) {
        const std::size_t k = tokenBei(tokens_, echt(p));
        if (k < tokens_.size() &&
            (tokens_[k].art == Art::StartTag || tokens_[k].art == Art::EndTag))
            f_[k] |= bits;
    }

    std::string_view t_;
    const Tokenfolge& tokens_;
    Fakten f_;
    Entscheider e_;
    std::string puffer_;
    std::vector<std::uint8_t> geschlossen_;  // per token: 0, 1 or more elements it closed

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
        const bool treffer = gleichKlein(t.substr(a, i - a), name);
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

void baueMitParser(std::string_view text, Tokenfolge& tokens) {
    tokens.faktenLoeschen();
    GumboOptions o = kGumboDefaultOptions;
    o.max_errors = 0;
    GumboOutput* g = gumbo_parse_with_options(&o, text.data(), text.size());
    const Fakten f(tokens);
    ParserLeser leser(text, tokens, f);
    leser.lies(g->document);
    gumbo_destroy_output(&o, g);
    if (leser.falsch_) {
        vorsichtig(tokens);
        return;
    }
    leser.einzelneEnden();
    abschliessen(tokens, f);
}

void vorsichtig(Tokenfolge& tokens) {
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const Art art = tokens[k].art;
        tokens.fakt(k) = art == Art::Text        ? fakt::kFest
                         : art == Art::Kommentar ? fakt::kInTabelle
                                                 : 0;
    }
}

namespace {

// --- The quick reading -----------------------------------------------------------------------
// The tree construction's rules, kept to a stack of open elements and the list of formatting
// elements, feeding the Entscheider as it goes. Where the parser changes the tree behind that
// order (a block moved out of a formatting element, text put in front of a table), the facts
// already given are taken back. It gives up where that would go further (other foster
// parenting, an adoption agency with elements between, foreign content, templates, frames) and
// the full parser decides.

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
constexpr std::uint32_t kTabelle = 4096;       // table, tbody, thead, tfoot, tr: text there moves
constexpr std::uint32_t kRoh = 8192;           // raw text or RCDATA follows
constexpr std::uint32_t kListe = 16384;        // ol, ul: bound the list item scope
constexpr std::uint32_t kKnopf = 32768;        // button: bounds the button scope
constexpr std::uint32_t kAttribute = 65536;    // its class depends on more than "hidden"
constexpr std::uint32_t kRekonstruiert = 131072;  // a start tag that reopens formatting first
constexpr std::uint32_t kAuswahl = 262144;        // option, optgroup
}  // namespace art

struct NameArt {
    std::string_view name;
    std::uint32_t bits;
};

constexpr std::uint32_t S = art::kSpeziell;
constexpr std::uint32_t P = art::kSchliesstP;

// Every name the tokenizer knows is here: ordinary elements with no bits.
constexpr std::array kArten = {
    NameArt{"audio", 0},
    NameArt{"canvas", 0},
    NameArt{"legend", 0},
    NameArt{"meter", 0},
    NameArt{"picture", 0},
    NameArt{"progress", 0},
    NameArt{"video", 0},
    NameArt{"a", art::kFormat},
    NameArt{"address", S | P},
    NameArt{"applet", S | art::kBereich | art::kMarker | art::kRekonstruiert},
    NameArt{"area", S | art::kRekonstruiert | art::kLeer},
    NameArt{"article", S | P},
    NameArt{"aside", S | P},
    NameArt{"b", art::kFormat},
    NameArt{"base", S | art::kLeer | art::kKopf},
    NameArt{"basefont", S | art::kLeer | art::kKopf},
    NameArt{"bgsound", S | art::kLeer | art::kKopf},
    NameArt{"big", art::kFormat},
    NameArt{"blockquote", S | P},
    NameArt{"body", S},
    NameArt{"br", S | art::kRekonstruiert | art::kLeer},
    NameArt{"button", S | art::kKnopf | art::kRekonstruiert},
    NameArt{"caption", S | art::kAufgeben},
    NameArt{"center", S | P},
    NameArt{"code", art::kFormat},
    NameArt{"col", S | art::kAufgeben},
    NameArt{"colgroup", S | art::kAufgeben},
    NameArt{"datalist", 0},
    NameArt{"dd", S | art::kImpliziert},
    NameArt{"details", S | P},
    NameArt{"dialog", P | art::kAttribute},
    NameArt{"dir", S | P},
    NameArt{"div", S | P},
    NameArt{"dl", S | P},
    NameArt{"dt", S | art::kImpliziert},
    NameArt{"em", art::kFormat},
    NameArt{"embed", S | art::kRekonstruiert | art::kLeer | art::kAttribute},
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
    NameArt{"iframe", S | art::kRoh},
    NameArt{"image", art::kAufgeben},
    NameArt{"img", S | art::kRekonstruiert | art::kLeer},
    NameArt{"input", S | art::kRekonstruiert | art::kLeer | art::kAttribute},
    NameArt{"isindex", art::kAufgeben},
    NameArt{"keygen", S | art::kRekonstruiert | art::kLeer},
    NameArt{"li", S | art::kImpliziert},
    NameArt{"link", S | art::kLeer | art::kKopf},
    NameArt{"listing", S | P},
    NameArt{"main", S | P},
    NameArt{"marquee", S | art::kBereich | art::kMarker | art::kRekonstruiert},
    NameArt{"math", art::kAufgeben},
    NameArt{"menu", S | P},
    NameArt{"menuitem", art::kAufgeben},
    NameArt{"meta", S | art::kLeer | art::kKopf},
    NameArt{"nav", S | P},
    NameArt{"nobr", art::kFormat},
    NameArt{"noembed", S | art::kRoh},
    NameArt{"noframes", S | art::kKopf | art::kRoh},
    NameArt{"noscript", S | art::kKopf | art::kRoh},
    NameArt{"object", S | art::kBereich | art::kMarker | art::kRekonstruiert},
    NameArt{"ol", S | P | art::kListe},
    NameArt{"optgroup", art::kImpliziert | art::kAuswahl},
    NameArt{"option", art::kImpliziert | art::kAuswahl},
    NameArt{"p", S | P | art::kImpliziert},
    NameArt{"param", S | art::kLeer},
    NameArt{"plaintext", S | art::kAufgeben},
    NameArt{"pre", S | P},
    NameArt{"rb", art::kImpliziert | art::kAufgeben},
    NameArt{"rp", art::kImpliziert | art::kAufgeben},
    NameArt{"rt", art::kImpliziert | art::kAufgeben},
    NameArt{"rtc", art::kImpliziert | art::kAufgeben},
    NameArt{"s", art::kFormat},
    NameArt{"script", S | art::kKopf | art::kRoh},
    NameArt{"search", S | P},
    NameArt{"section", S | P},
    NameArt{"select", S | art::kRekonstruiert},
    NameArt{"small", art::kFormat},
    NameArt{"source", S | art::kLeer},
    NameArt{"strike", art::kFormat},
    NameArt{"strong", art::kFormat},
    NameArt{"style", S | art::kKopf | art::kRoh},
    NameArt{"summary", S | P},
    NameArt{"svg", art::kAufgeben},
    NameArt{"table", S | art::kBereich | art::kTabelle},
    NameArt{"tbody", S | art::kTabellenteil | art::kTabelle},
    NameArt{"td", S | art::kBereich | art::kMarker | art::kZelle},
    NameArt{"template", S | art::kAufgeben},
    NameArt{"textarea", S | art::kRoh},
    NameArt{"tfoot", S | art::kTabellenteil | art::kTabelle},
    NameArt{"th", S | art::kBereich | art::kMarker | art::kZelle},
    NameArt{"thead", S | art::kTabellenteil | art::kTabelle},
    NameArt{"title", S | art::kKopf | art::kRoh},
    NameArt{"tr", S | art::kTabelle},
    NameArt{"track", S | art::kLeer},
    NameArt{"tt", art::kFormat},
    NameArt{"u", art::kFormat},
    NameArt{"ul", S | P | art::kListe},
    NameArt{"wbr", S | art::kRekonstruiert | art::kLeer},
    NameArt{"xmp", S | P | art::kRoh | art::kRekonstruiert},
};

// What the quick reading knows of a name, by the tokenizer's name number.
struct NamensArt {
    std::uint32_t bits = 0;
    Klasse klasse;  // without attributes
    std::string_view name;
};

const std::array<NamensArt, kNamenAnzahl>& namensArten() {
    static const std::array<NamensArt, kNamenAnzahl> arten = [] {
        std::array<NamensArt, kNamenAnzahl> a{};
        a[0].klasse = klasseFuer("", [](std::string_view) { return Attribut{}; });
        for (const NameArt& n : kArten) {
            const std::uint8_t nr = nameNummer(n.name);
            a[nr] = {n.bits, klasseFuer(n.name, [](std::string_view) { return Attribut{}; }),
                     n.name};
        }
        return a;
    }();
    return arten;
}

// Whether "hidden" (any letter case) is in the tag: then its attributes are read. Searched by
// the last byte of each place it could end at (Horspool): most bytes of a tag let it skip six.
bool vielleichtVersteckt(std::string_view t, const Token& tok) {
    const auto sprung = [](char c) -> std::size_t {
        switch (c) {
            case 'e':
                return 1;
            case 'd':
                return 2;
            case 'i':
                return 4;
            case 'h':
                return 5;
            default:
                return 6;
        }
    };
    for (std::size_t i = tok.anfang + 2; i + 6 <= tok.ende;) {
        const char letztes = static_cast<char>(t[i + 5] | 0x20);
        if (letztes == 'n' && gleichKlein(t.substr(i, 6), "hidden")) return true;
        i += sprung(letztes);
    }
    return false;
}

class Schnell {
  public:
    Schnell(std::string_view t, const Tokenfolge& tokens, Fakten f, bool nurKommentare)
        : t_(t), tokens_(tokens), f_(f), e_(t, tokens, f, nurKommentare), arten_(namensArten()) {
        stapel_.reserve(64);
    }

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
    static constexpr std::uint32_t kImplizit = 0xFFFFFFFFu;  // an element without a tag
    struct Offen {
        std::uint32_t token;  // of its start tag, kImplizit for one the parser implies
        std::uint32_t bits;
        std::uint8_t nr;
        std::uint16_t fakten;  // what its end tag is
        std::uint32_t id = 0;  // for the list of formatting elements
    };
    // An entry of the list of active formatting elements; id 0 is a marker.
    struct Format {
        std::uint32_t id;
        std::uint32_t token;
        std::uint8_t nr;
        Klasse klasse;
    };
    enum class Phase : std::uint8_t { Anfang, Kopf, NachKopf, Body, NachBody };
    // The document's mode as far as the quick reading knows it: a page without a doctype is in
    // quirks mode, one with "<!DOCTYPE html>" in standards mode; other doctypes it leaves open.
    enum class Modus : std::uint8_t { Offen, Quirks, Standard, Unbekannt };

    // The name numbers of the names the rules ask for, looked up once.
    struct Nummern {
        std::uint8_t a, address, body, br, button, dd, div, dt, form, head, html, li, listing, nobr,
            optgroup, option, p, pre, script, select, style, table, tbody, textarea, tr;
    };
    static const Nummern& nummern() {
        static const Nummern n{nameNummer("a"),       nameNummer("address"), nameNummer("body"),
                               nameNummer("br"),      nameNummer("button"),  nameNummer("dd"),
                               nameNummer("div"),     nameNummer("dt"),      nameNummer("form"),
                               nameNummer("head"),    nameNummer("html"),    nameNummer("li"),
                               nameNummer("listing"), nameNummer("nobr"),    nameNummer("optgroup"),
                               nameNummer("option"),  nameNummer("p"),       nameNummer("pre"),
                               nameNummer("script"),  nameNummer("select"),  nameNummer("style"),
                               nameNummer("table"),   nameNummer("tbody"),   nameNummer("textarea"),
                               nameNummer("tr")};
        return n;
    }

    bool token() {
        const Token tok = tokens_[k_];
        // Only a line break right behind the pre's start tag is dropped, not one behind a
        // comment there.
        if (tok.art != Art::Text) nachPre_ = false;
        if (modus_ == Modus::Offen) {
            // Anything but whitespace, comments and a doctype first: no doctype, quirks mode.
            const bool etwas =
                ((tok.art == Art::StartTag || tok.art == Art::EndTag) && !tok.offen) ||
                (tok.art == Art::Text && hatWort(t_, tok.anfang, tok.ende)) ||
                (tok.art == Art::Servercode && t_[tok.anfang + 1] == '%');
            if (etwas) modus_ = Modus::Quirks;
        }
        switch (tok.art) {
            case Art::Text:
                return text(tok);
            case Art::Rohtext:
            case Art::Rcdata:
                return rohtext(tok);
            case Art::StartTag:
            case Art::EndTag:
                if (tok.offen) return true;  // the page's end cut it off: dropped
                nachPre_ = false;
                if (rohNr_ != 0) {
                    // Only the end of the raw-text element can follow its content.
                    if (tok.art != Art::EndTag || tok.nameNr != rohNr_) return false;
                    rohNr_ = 0;
                    markiere(stapel_.size() - 1);
                    f_[k_] |= fakt::kEinzeln;
                    pop();
                    return true;
                }
                if (tok.art == Art::StartTag) return start(tok);
                {
                    const std::size_t tiefe = stapel_.size();
                    if (!ende(tok)) return false;
                    // The adoption agency of formatting elements moves elements around.
                    if (stapel_.size() + 1 == tiefe && (f_[k_] & fakt::kWirkt) &&
                        !(arten_[tok.nameNr].bits & art::kFormat))
                        f_[k_] |= fakt::kEinzeln;
                    return true;
                }
            case Art::Kommentar:
                if (phase_ == Phase::Body && tabellenKontext()) f_[k_] |= fakt::kInTabelle;
                if (t_.substr(tok.anfang, 5) == "<!--#") {
                    if (phase_ == Phase::NachBody) return false;
                    e_.wort();
                }
                return true;
            case Art::Doctype:
                if (phase_ == Phase::Anfang && stapel_.empty() && modus_ == Modus::Offen)
                    modus_ = html5Doctype(tok) ? Modus::Standard : Modus::Unbekannt;
                return true;
            case Art::Bogus:
                // A comment to the parser, but for "</>", which it drops.
                if (phase_ == Phase::Body && tabellenKontext() && tok.ende - tok.anfang > 3)
                    f_[k_] |= fakt::kInTabelle;
                return true;
            case Art::Servercode:
                if (t_[tok.anfang + 1] == '%') {
                    // Text to the parser.
                    if (!koerper() || tabellenKontext()) return false;
                    rekonstruiere();
                    e_.textToken(k_, tok.anfang, tok.ende);
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
        std::size_t a = tok.anfang;
        if (nachPre_) {
            // The first line break of pre and listing is dropped.
            nachPre_ = false;
            if (t_[a] == '\r') {
                ++a;
                if (a < tok.ende && t_[a] == '\n') ++a;
            } else if (t_[a] == '\n') {
                ++a;
            }
            if (a == tok.ende) return true;
        }
        if (phase_ == Phase::Body && !tabellenKontext()) {
            const bool neu = rekonstruiere();
            e_.textToken(k_, a, tok.ende);
            if (neu) f_[k_] |= fakt::kBleibt;
            return true;
        }
        const bool wort = hatWort(t_, a, tok.ende);
        if (!wort) {
            const bool neu = phase_ == Phase::NachBody && rekonstruiere();
            if (phase_ != Phase::Anfang) e_.textToken(k_, a, tok.ende);  // else dropped
            if (neu) f_[k_] |= fakt::kBleibt;
            return true;
        }
        if (phase_ == Phase::NachBody) return false;
        if (phase_ != Phase::Body) {
            // Leading whitespace stays where it is (dropped before the head, in the head, in
            // html after it); the body starts with the first other character.
            std::size_t w = a;
            while (istLeerraum(t_[w])) ++w;
            if (w > a && phase_ != Phase::Anfang) e_.textToken(k_, a, w);
            a = w;
        }
        if (!koerper()) return false;
        if (tabellenKontext()) return vorDieTabelle();
        const bool neu = rekonstruiere();
        e_.textToken(k_, a, tok.ende);
        if (neu) f_[k_] |= fakt::kBleibt;
        return true;
    }

    bool rohtext(const Token& tok) {
        nachPre_ = false;
        if (rohNr_ == 0) return false;
        // The first line break of a textarea is dropped.
        const std::string_view inhalt = t_.substr(tok.anfang, tok.ende - tok.anfang);
        if (rohNr_ == n_.textarea && (inhalt == "\n" || inhalt == "\r\n" || inhalt == "\r"))
            return true;
        e_.textToken(k_, tok.anfang, tok.ende);
        return true;
    }

    // Leaves the phases before the body where a token of the body comes.
    bool koerper() {
        if (phase_ == Phase::Body) return true;
        if (phase_ == Phase::NachBody) return false;
        if (phase_ == Phase::Anfang) {
            if (stapel_.empty()) implizit(n_.html);
            implizit(n_.head);
            pop();
        } else if (phase_ == Phase::Kopf) {
            pop();  // head
        }
        implizit(n_.body);
        phase_ = Phase::Body;
        return true;
    }

    // Text in a table outside its cells goes in front of the table (when nothing has to be
    // reopened for it: that would go there too).
    bool vorDieTabelle() {
        if (!formate_.empty() && formate_.back().id != 0 && !aufStapel(formate_.back().id))
            return false;
        std::size_t t = stapel_.size();
        while (t-- > 0 && stapel_[t].nr != n_.table) {
        }
        if (t == kNein || t == 0) return false;
        return e_.vorDieTabelle(k_, t);
    }

    // "<!DOCTYPE html>" and nothing more: the page is read in standards mode.
    bool html5Doctype(const Token& tok) const {
        std::size_t i = tok.anfang + 9;  // behind "<!DOCTYPE"
        while (i < tok.ende && istLeerraum(t_[i])) ++i;
        if (i + 4 > tok.ende || !gleichKlein(t_.substr(i, 4), "html")) return false;
        i += 4;
        while (i < tok.ende && istLeerraum(t_[i])) ++i;
        return i + 1 == tok.ende && t_[i] == '>';
    }

    bool tabellenKontext() const {
        return !stapel_.empty() && (stapel_.back().bits & art::kTabelle);
    }

    void implizit(std::uint8_t n) {
        const NamensArt& a = arten_[n];
        e_.oeffne(a.klasse);
        lege({kImplizit, a.bits, n,
              static_cast<std::uint16_t>(fakt::kWirkt |
                                         (a.klasse.geschwisterOk() ? fakt::kGrenze : 0))});
    }

    Klasse klasseVon(const Token& tok) const {
        const NamensArt& a = arten_[tok.nameNr];
        if (tok.mitLeerraum && ((a.bits & art::kAttribute) || vielleichtVersteckt(t_, tok))) {
            return klasseFuer(a.name, [&](std::string_view x) { return attribut(t_, tok, x); });
        }
        return a.klasse;
    }

    static std::uint16_t faktenVon(const Klasse& k) {
        return static_cast<std::uint16_t>(fakt::kWirkt | (k.geschwisterOk() ? fakt::kGrenze : 0));
    }

    void push(const Token& tok) {
        const NamensArt& a = arten_[tok.nameNr];
        const Klasse k = klasseVon(tok);
        const std::uint16_t fakten = faktenVon(k);
        f_[k_] |= fakten;
        e_.oeffne(k);
        if (a.bits & art::kLeer) {
            e_.schliesse();
            return;
        }
        lege({static_cast<std::uint32_t>(k_), a.bits, tok.nameNr, fakten, ++naechsteId_});
        if (a.bits & art::kRoh) rohNr_ = tok.nameNr;
        if (a.bits & art::kMarker) formate_.push_back({0, 0, 0, {}});
        if (a.bits & art::kFormat) {
            formate_.push_back({naechsteId_, static_cast<std::uint32_t>(k_), tok.nameNr, k});
        }
    }

    void pop() {
        e_.schliesse();
        // gumbo records an end tag as the end of every element it closes.
        if (k_ < tokens_.size() && tokens_[k_].art == Art::EndTag) f_[k_] |= stapel_.back().fakten;
        if (stapel_.back().bits & art::kMarker) {
            // Its content's formatting ends with it.
            while (!formate_.empty()) {
                const bool marker = formate_.back().id == 0;
                formate_.pop_back();
                if (marker) break;
            }
        }
        nimm();
    }

    // The stack's own changes keep count of the open elements of each name and which are open,
    // so that a scope or the list of formatting elements needs no walk through a deep stack.
    void lege(const Offen& o) {
        stapel_.push_back(o);
        ++anzahl_[o.nr];
        if (o.bits & art::kUeberschrift) ++ueberschriften_;
        if (o.id != 0) {
            if (offen_.size() <= o.id) offen_.resize(o.id + 1024);
            offen_[o.id] = true;
        }
    }
    void nimm() {
        const Offen& o = stapel_.back();
        --anzahl_[o.nr];
        if (o.bits & art::kUeberschrift) --ueberschriften_;
        if (o.id != 0) offen_[o.id] = false;
        stapel_.pop_back();
    }

    bool aufStapel(std::uint32_t id) const { return id < offen_.size() && offen_[id]; }

    // The parser reopens the formatting elements that were closed early, before text and most
    // start tags. Returns whether it reopened any.
    bool rekonstruiere() {
        if (formate_.empty() || formate_.back().id == 0 || aufStapel(formate_.back().id))
            return false;
        std::size_t i = formate_.size() - 1;
        while (i > 0 && formate_[i - 1].id != 0 && !aufStapel(formate_[i - 1].id)) --i;
        for (; i < formate_.size(); ++i) {
            Format& f = formate_[i];
            e_.oeffne(f.klasse);
            lege({f.token, arten_[f.nr].bits, f.nr, faktenVon(f.klasse), ++naechsteId_});
            f.id = naechsteId_;
        }
        return true;
    }

    // Pops up to and with the element at `i`.
    bool popBis(std::size_t i) {
        while (stapel_.size() > i) pop();
        return true;
    }

    void impliziteEnden(std::uint8_t ausser) {
        while (!stapel_.empty() && (stapel_.back().bits & art::kImpliziert) &&
               stapel_.back().nr != ausser) {
            pop();
        }
    }

    static constexpr std::size_t kNein = std::string_view::npos;

    // The nearest open element with number `n` (or any heading) in the scope whose extra
    // bounds are `grenzen`, or kNein.
    std::size_t imBereich(std::uint8_t n, std::uint32_t grenzen = 0,
                          bool ueberschrift = false) const {
        if (ueberschrift ? ueberschriften_ == 0 : anzahl_[n] == 0) return kNein;
        for (std::size_t i = stapel_.size(); i-- > 0;) {
            const Offen& o = stapel_[i];
            if (ueberschrift ? (o.bits & art::kUeberschrift) != 0 : o.nr == n) return i;
            if (o.bits & (art::kBereich | grenzen)) return kNein;
        }
        return kNein;
    }

    bool schliesseP() {
        const std::uint8_t p = n_.p;
        const std::size_t i = imBereich(p, art::kKnopf);
        if (i == kNein) return true;
        impliziteEnden(p);
        return popBis(imBereich(p, art::kKnopf));
    }

    // The open cell in table scope, or kNein.
    std::size_t zelle() const {
        for (std::size_t i = stapel_.size(); i-- > 0;) {
            if (stapel_[i].bits & art::kZelle) return i;
            if (stapel_[i].nr == n_.table || stapel_[i].nr == n_.html) break;
        }
        return kNein;
    }

    bool start(const Token& tok) {
        const std::uint8_t n = tok.nameNr;
        const std::uint32_t bits = arten_[n].bits;
        if (bits & art::kAufgeben) return false;
        if (phase_ == Phase::NachBody) return false;
        if (phase_ != Phase::Body) {
            if (n == n_.html) {
                if (phase_ != Phase::Anfang || !stapel_.empty()) return false;
                push(tok);
                return true;
            }
            if (n == n_.head) {
                if (phase_ != Phase::Anfang) return false;
                if (stapel_.empty()) implizit(n_.html);
                push(tok);
                phase_ = Phase::Kopf;
                return true;
            }
            if (bits & art::kKopf) {
                if (phase_ == Phase::NachKopf) return false;  // into the head after all
                if (phase_ == Phase::Anfang) {
                    if (stapel_.empty()) implizit(n_.html);
                    implizit(n_.head);
                    phase_ = Phase::Kopf;
                }
                push(tok);
                return true;
            }
            if (n == n_.body) {
                if (phase_ == Phase::Anfang) {
                    if (stapel_.empty()) implizit(n_.html);
                    implizit(n_.head);
                    pop();
                } else if (phase_ == Phase::Kopf) {
                    pop();
                }
                push(tok);
                phase_ = Phase::Body;
                return true;
            }
            koerper();
        }
        if (n == n_.html) return false;                 // its attributes merge
        if (n == n_.head || n == n_.body) return true;  // dropped (the body's attributes merge)
        if (auswahl_) return auswahlStart(tok, bits);
        if ((bits & (art::kZelle | art::kTabellenteil)) || n == n_.tr) {
            // In a cell these close it first.
            const std::size_t z = zelle();
            if (z != kNein) {
                impliziteEnden(0);
                if (!popBis(z)) return false;
            }
        }
        if (tabellenKontext()) return tabellenStart(tok, bits);
        if (bits & art::kKopf) {
            push(tok);
            return true;
        }
        if ((bits & (art::kZelle | art::kTabellenteil)) || n == n_.tr) return true;  // dropped
        if (n == n_.table) {
            // Only in quirks mode does a table go into an open p.
            if (modus_ != Modus::Quirks && imBereich(n_.p, art::kKnopf) != kNein) {
                if (modus_ != Modus::Standard || !schliesseP()) return false;
            }
            push(tok);
            return true;
        }
        if (n == n_.form) {
            if (formular_) return true;  // a form in a form is dropped
            if (!schliesseP()) return false;
            push(tok);
            formular_ = true;
            return true;
        }
        if (bits & art::kSchliesstP) {
            if (!schliesseP()) return false;
            if (bits & art::kRekonstruiert) rekonstruiere();  // xmp
            if ((bits & art::kUeberschrift) && !stapel_.empty() &&
                (stapel_.back().bits & art::kUeberschrift)) {
                pop();
            }
            push(tok);
            if (n == n_.pre || n == n_.listing) nachPre_ = true;
            return true;
        }
        if (n == n_.li || n == n_.dd || n == n_.dt) {
            for (std::size_t i = stapel_.size(); i-- > 0;) {
                const Offen& o = stapel_[i];
                const bool treffer = n == n_.li ? o.nr == n : (o.nr == n_.dd || o.nr == n_.dt);
                if (treffer) {
                    impliziteEnden(o.nr);
                    if (!popBis(i)) return false;
                    break;
                }
                if ((o.bits & art::kSpeziell) && o.nr != n_.address && o.nr != n_.div &&
                    o.nr != n_.p) {
                    break;
                }
            }
            if (!schliesseP()) return false;
            push(tok);
            return true;
        }
        if (bits & art::kFormat) {
            int gleiche = 0;
            bool wortgleich = true;
            std::size_t erste = kNein;
            for (std::size_t i = formate_.size(); i-- > 0 && formate_[i].id != 0;) {
                if (formate_[i].nr != n) continue;
                ++gleiche;
                erste = i;
                wortgleich = wortgleich && attributeWie(tokens_[formate_[i].token], tok);
            }
            // "<a>" after an open "a" runs the adoption agency.
            if (n == n_.a && gleiche > 0) return false;
            if (gleiche >= 3) {
                // A fourth alike (name and attributes) drops the first from the list; tags
                // written alike are alike, others may be or not.
                if (!wortgleich) return false;
                formate_.erase(formate_.begin() + static_cast<std::ptrdiff_t>(erste));
            }
            if (n == n_.nobr && imBereich(n) != kNein) return false;
        }
        if (n == n_.button && imBereich(n) != kNein) return false;
        if ((bits & art::kRekonstruiert) ||
            !(bits & (art::kSpeziell | art::kSchliesstP | art::kAufgeben))) {
            if ((bits & art::kAuswahl) && !stapel_.empty() && stapel_.back().nr == n_.option) pop();
            rekonstruiere();
        }
        push(tok);
        if (n == n_.select) auswahl_ = true;
        return true;
    }

    // In a select only options, groups of them and scripts count; the rest gives up.
    bool auswahlStart(const Token& tok, std::uint32_t bits) {
        const std::uint8_t n = tok.nameNr;
        if (n == n_.script || n == n_.style) {
            push(tok);
            return true;
        }
        if (!(bits & art::kAuswahl)) return false;
        if (!stapel_.empty() && stapel_.back().nr == n_.option) pop();
        if (n == n_.optgroup && !stapel_.empty() && stapel_.back().nr == n_.optgroup) pop();
        push(tok);
        return true;
    }

    bool auswahlEnde(const Token& tok) {
        const std::uint8_t n = tok.nameNr;
        if (n == n_.option) {
            if (stapel_.back().nr != n) return true;  // ignored
            markiere(stapel_.size() - 1);
            pop();
            return true;
        }
        if (n == n_.optgroup) {
            if (stapel_.back().nr == n_.option && stapel_.size() > 1 &&
                stapel_[stapel_.size() - 2].nr == n) {
                pop();
            }
            if (stapel_.back().nr != n) return true;
            markiere(stapel_.size() - 1);
            pop();
            return true;
        }
        if (n == n_.select) {
            std::size_t i = stapel_.size();
            while (i-- > 0 && stapel_[i].nr != n) {
            }
            if (i == kNein) return false;
            markiere(i);
            popBis(i);
            auswahl_ = false;
            return true;
        }
        return false;
    }

    // The adoption agency for the end tag of formatting element `n`: where it moves a block out
    // of the formatting element, only the plain case of the block right inside it (false
    // otherwise).
    bool adoption(std::uint8_t n) {
        for (int runde = 0; runde < 8; ++runde) {
            std::size_t f = formate_.size();
            while (f-- > 0 && formate_[f].id != 0 && formate_[f].nr != n) {
            }
            if (f == kNein || formate_[f].id == 0) return runde > 0 || jedesAndereEnde();
            std::size_t i = stapel_.size();
            while (i-- > 0 && stapel_[i].id != formate_[f].id) {
            }
            if (i == kNein) {
                formate_.erase(formate_.begin() + static_cast<std::ptrdiff_t>(f));
                return true;  // ignored
            }
            if (imBereich(n) != i) return true;  // not in scope: ignored
            std::size_t block = i + 1;
            while (block < stapel_.size() && !(stapel_[block].bits & art::kSpeziell)) ++block;
            if (block == stapel_.size()) {
                markiere(i);
                popBis(i);
                formate_.erase(formate_.begin() + static_cast<std::ptrdiff_t>(f));
                return true;
            }
            // Elements between would be copied, and a block moved into a table part would be
            // placed before the table.
            if (block != i + 1 || i == 0 || (stapel_[i - 1].bits & art::kTabelle)) return false;
            if (!e_.umhaengen(i)) return false;
            Offen kopie = stapel_[i];
            kopie.id = ++naechsteId_;
            offen_[stapel_[i].id] = false;
            stapel_.erase(stapel_.begin() + static_cast<std::ptrdiff_t>(i));
            stapel_.insert(stapel_.begin() + static_cast<std::ptrdiff_t>(i + 1), kopie);
            if (offen_.size() <= kopie.id) offen_.resize(kopie.id + 1024);
            offen_[kopie.id] = true;
            formate_[f].id = kopie.id;
        }
        return true;
    }

    bool tabellenStart(const Token& tok, std::uint32_t bits) {
        const std::uint8_t n = tok.nameNr;
        if (n == n_.script || n == n_.style) {
            push(tok);
            return true;
        }
        if (bits & art::kTabellenteil) {
            if (stapel_.back().nr == n_.tr) pop();
            if (stapel_.back().nr != n_.table) pop();
            push(tok);
            return true;
        }
        if (n == n_.tr) {
            if (stapel_.back().nr == n_.tr) pop();
            if (stapel_.back().nr == n_.table) implizit(n_.tbody);
            push(tok);
            return true;
        }
        if (bits & art::kZelle) {
            if (stapel_.back().nr == n_.table) implizit(n_.tbody);
            if (stapel_.back().nr != n_.tr) implizit(n_.tr);
            push(tok);
            return true;
        }
        return false;
    }

    // Whether two start tags of one name are written alike behind their names.
    bool attributeWie(const Token& a, const Token& b) const {
        using namespace zeichenklasse;
        std::size_t i = a.anfang + 1;
        std::size_t j = b.anfang + 1;
        while (i < a.ende && !ist(t_[i], kLeer | kSchraeg | kZu)) ++i;
        while (j < b.ende && !ist(t_[j], kLeer | kSchraeg | kZu)) ++j;
        return t_.substr(i, a.ende - i) == t_.substr(j, b.ende - j);
    }

    // Whether the end tag's name is that of the open element `o` (names the tokenizer does not
    // know are compared as written).
    bool gleicherName(const Token& ende, const Offen& o) const {
        if (ende.nameNr != 0 || o.nr != 0) return ende.nameNr == o.nr;
        if (o.token == kImplizit) return false;
        const Token start = tokens_[o.token];
        std::size_t i = ende.anfang + 2;
        std::size_t j = start.anfang + 1;
        using namespace zeichenklasse;
        for (;; ++i, ++j) {
            const bool endeA = i >= ende.ende || ist(t_[i], kLeer | kSchraeg | kZu);
            const bool endeB = j >= start.ende || ist(t_[j], kLeer | kSchraeg | kZu);
            if (endeA || endeB) return endeA && endeB;
            if (kleinAscii(t_[i]) != kleinAscii(t_[j])) return false;
        }
    }

    bool ende(const Token& tok) {
        const std::uint8_t n = tok.nameNr;
        const std::uint32_t bits = arten_[n].bits;
        if (phase_ == Phase::Kopf) {
            if (n == n_.head) {
                markiere(stapel_.size() - 1);
                pop();
                phase_ = Phase::NachKopf;
                return true;
            }
            return false;
        }
        if (phase_ == Phase::NachBody && n == n_.html) {
            markiere(0);
            return true;
        }
        if (phase_ != Phase::Body) return false;
        if (auswahl_) return auswahlEnde(tok);
        if (n == n_.body || n == n_.html) {
            const std::size_t b = imBereich(n_.body);
            if (b == kNein) return false;
            markiere(n == n_.body ? b : 0);
            phase_ = Phase::NachBody;
            return true;
        }
        if (n == n_.br) return false;
        if (tabellenKontext() || (bits & (art::kZelle | art::kTabellenteil)) || n == n_.tr ||
            n == n_.table) {
            return tabellenEnde(tok, bits);
        }
        if (n == n_.p) {
            if (imBereich(n, art::kKnopf) == kNein) {
                // An end tag without its element makes an empty one.
                implizit(n_.p);
                pop();
                return true;
            }
            impliziteEnden(n);
            const std::size_t i = imBereich(n, art::kKnopf);
            if (i == kNein) return false;
            markiere(i);
            return popBis(i);
        }
        if (n == n_.li || n == n_.dd || n == n_.dt) {
            const std::size_t i = imBereich(n, n == n_.li ? art::kListe : 0);
            if (i == kNein) return true;  // ignored
            impliziteEnden(n);
            markiere(i);
            return popBis(i);
        }
        if (bits & art::kUeberschrift) {
            const std::size_t i = imBereich(0, 0, true);
            if (i == kNein) return true;
            impliziteEnden(0);
            markiere(i);
            return popBis(i);
        }
        if (bits & art::kFormat) return adoption(n);
        if (n == n_.form) {
            formular_ = false;
            const std::size_t i = imBereich(n);
            if (i == kNein) return true;
            impliziteEnden(0);
            if (i + 1 != stapel_.size()) return false;  // taken out of the middle
            // Not marked: gumbo records no end tag for a form.
            e_.schliesse();
            nimm();
            return true;
        }
        if (bits & art::kSpeziell) {
            // Blocks and the like: closed when in scope, ignored otherwise.
            const std::size_t i = imBereich(n);
            if (i == kNein) return true;
            impliziteEnden(0);
            markiere(i);
            return popBis(i);
        }
        return jedesAndereEnde();
    }

    bool jedesAndereEnde() {
        const Token tok = tokens_[k_];
        for (std::size_t i = stapel_.size(); i-- > 0;) {
            const Offen& o = stapel_[i];
            if (gleicherName(tok, o)) {
                while (!stapel_.empty() && (stapel_.back().bits & art::kImpliziert) &&
                       stapel_.size() > i + 1) {
                    pop();
                }
                markiere(i);
                return popBis(i);
            }
            if (o.bits & art::kSpeziell) return true;  // ignored
        }
        return true;
    }

    bool tabellenEnde(const Token& tok, std::uint32_t bits) {
        const std::uint8_t n = tok.nameNr;
        if (!(bits & art::kZelle)) {
            // The end of a row, a body or the table closes the cell it is in first.
            const std::size_t z = zelle();
            if (z != kNein) {
                bool offen = false;
                for (std::size_t i = 0; i < z; ++i) offen |= stapel_[i].nr == n;
                if (!offen) return false;
                impliziteEnden(0);
                if (!popBis(z)) return false;
            }
        }
        if (!((bits & (art::kZelle | art::kTabellenteil)) || n == n_.tr || n == n_.table))
            return false;
        std::size_t i = stapel_.size();
        while (i-- > 0 && stapel_[i].nr != n) {
            if (stapel_[i].nr == n_.table ||
                (!(bits & art::kZelle) && (stapel_[i].bits & art::kZelle))) {
                return false;
            }
        }
        if (i == kNein) return false;
        impliziteEnden(0);
        markiere(i);
        return popBis(i);
    }

    void markiere(std::size_t i) { f_[k_] |= stapel_[i].fakten; }

    std::string_view t_;
    const Tokenfolge& tokens_;
    Fakten f_;
    Entscheider e_;
    const std::array<NamensArt, kNamenAnzahl>& arten_;
    const Nummern& n_ = nummern();
    std::vector<Offen> stapel_;
    Phase phase_ = Phase::Anfang;
    Modus modus_ = Modus::Offen;
    std::size_t k_ = 0;
    bool nachPre_ = false;
    bool formular_ = false;  // the parser's form element pointer is set
    bool auswahl_ = false;   // in a select
    std::vector<Format> formate_;
    std::array<std::uint32_t, kNamenAnzahl> anzahl_{};
    std::uint32_t ueberschriften_ = 0;
    std::vector<bool> offen_;  // by id
    std::uint32_t naechsteId_ = 0;
    std::uint8_t rohNr_ = 0;  // the raw-text element whose content comes
};
}  // namespace

bool baueSchnell(std::string_view text, Tokenfolge& tokens, bool nurKommentare) {
    tokens.faktenLoeschen();
    return Schnell(text, tokens, Fakten(tokens), nurKommentare).lies();
}

// Above this size a page the quick reading cannot decide is not given to the parser: its tree
// takes some 30 times the page.
constexpr std::size_t kParserGrenze = std::size_t{8} << 20;

bool baue(std::string_view text, Tokenfolge& tokens, bool nurKommentare) {
    if (baueSchnell(text, tokens, nurKommentare)) return true;
    if (text.size() > kParserGrenze) {
        vorsichtig(tokens);
    } else {
        baueMitParser(text, tokens);
    }
    return false;
}

}  // namespace quintaro::html
