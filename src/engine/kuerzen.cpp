// One sweep over the page's tokens writes the result; the optional tags are decided before it,
// from the end of the page, so that each tag knows the next one that stays.
#include "engine/kuerzen.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <functional>
#include <initializer_list>
#include <optional>
#include <stdexcept>

#include "engine/attribute.h"
#include "engine/css.h"
#include "engine/html_baum.h"
#include "engine/javascript.h"

namespace quintaro {

namespace {

using html::Art;
using html::Token;
namespace fakt = html::fakt;

// Sets of tag names by the tokenizer's name numbers, which every name asked about has.
using Namen = std::bitset<html::kNamenAnzahl>;

std::uint8_t nr(std::string_view name) {
    const std::uint8_t k = html::nameNummer(name);
    if (k == 0) throw std::logic_error("no name number for " + std::string(name));
    return k;
}

Namen namen(std::initializer_list<std::string_view> liste) {
    Namen m;
    for (const std::string_view n : liste) m.set(nr(n));
    return m;
}

// The single names asked about.
struct Nr {
    std::uint8_t li = nr("li"), dt = nr("dt"), dd = nr("dd"), p = nr("p"), option = nr("option"),
                 optgroup = nr("optgroup"), select = nr("select"), datalist = nr("datalist"),
                 td = nr("td"), th = nr("th"), tr = nr("tr"), thead = nr("thead"),
                 tbody = nr("tbody"), tfoot = nr("tfoot"), table = nr("table"), head = nr("head"),
                 body = nr("body"), html = nr("html");
};
const Nr& nrn() {
    static const Nr n;
    return n;
}

// A start tag with nothing but its name: omitting it loses no attribute.
bool ohneAttribute(std::string_view t, const Token& tok) {
    std::size_t i = tok.anfang + 1;
    while (i < tok.ende && !html::zeichenklasse::ist(t[i], html::zeichenklasse::kLeer |
                                                               html::zeichenklasse::kSchraeg |
                                                               html::zeichenklasse::kZu)) {
        ++i;
    }
    for (; i + 1 < tok.ende; ++i) {
        if (!html::istLeerraum(t[i])) return false;
    }
    return t[tok.ende - 1] == '>';
}

// End tags whose handling closes the elements below them first ("generate implied end tags"),
// so that an li, dd, dt or p left open inside ends as its own end tag would have ended it.
bool schliesstImplizite(std::uint8_t n) {
    static const Namen m = namen(
        {"address", "article", "aside",    "blockquote", "button", "center", "details", "dir",
         "div",     "dl",      "fieldset", "figcaption", "figure", "footer", "header",  "hgroup",
         "listing", "main",    "menu",     "nav",        "ol",     "pre",    "section", "summary",
         "ul",      "li",      "dd",       "dt",         "td",     "th"});
    return m[n];
}

// Start tags that close an open p (the standard's list for omitting "</p>"; table not, as in
// quirks mode it does not close the p, and dialog and search not, as older parsers do not know
// them).
bool schliesstP(std::uint8_t n) {
    static const Namen m = namen(
        {"address",    "article", "aside",  "blockquote", "details", "div",  "dl",   "fieldset",
         "figcaption", "figure",  "footer", "form",       "h1",      "h2",   "h3",   "h4",
         "h5",         "h6",      "header", "hgroup",     "hr",      "main", "menu", "nav",
         "ol",         "p",       "pre",    "section",    "ul"});
    return m[n];
}

// Start tags that the parser puts into the head even behind its end tag (noscript as raw text
// in the head only when the head is still open): the head's end tag and the body's start tag
// must stay in front of them.
bool kopfInhalt(std::uint8_t n) {
    static const Namen m = namen({"base", "basefont", "bgsound", "link", "meta", "noframes",
                                  "noscript", "script", "style", "template", "title"});
    return m[n];
}

// Whether the end tag `ende` (name `x`) may go when `n` (name `nn`, 0 when no tag) is the next
// token that stays, right behind it.
bool endTagWeg(std::uint8_t x, const Token& n, std::uint8_t nn, std::uint16_t fn) {
    static const Namen zellenStart = namen({"td", "th", "tr", "tbody", "thead", "tfoot"});
    static const Namen zellenEnde = namen({"tr", "tbody", "thead", "tfoot", "table"});
    static const Namen zeilenStart = namen({"tr", "tbody", "thead", "tfoot"});
    static const Namen zeilenEnde = namen({"tbody", "thead", "tfoot", "table"});
    const Nr& k = nrn();
    const bool start =
        n.art == Art::StartTag && !n.offen && (fn & fakt::kWirkt) && !(fn & fakt::kFremd);
    // The next end tag closes exactly the parent, once x has ended: no more content there.
    const bool elternEnde = n.art == Art::EndTag && !n.offen && (fn & fakt::kWirkt) &&
                            (fn & fakt::kEinzeln) && !(fn & fakt::kFremd);
    // In a table cell, the start of the next cell, row or row group closes the cell with all
    // it holds: the element ends with its parent, which has no more content.
    const bool zelleZu =
        (start && zellenStart[nn]) || (n.art == Art::EndTag && !n.offen && (fn & fakt::kWirkt) &&
                                       !(fn & fakt::kFremd) && zellenEnde[nn]);
    if (x == k.li) {
        return (start && nn == k.li) || zelleZu || (elternEnde && schliesstImplizite(nn));
    }
    if (x == k.dt) return start && (nn == k.dt || nn == k.dd);
    if (x == k.dd) {
        return (start && (nn == k.dt || nn == k.dd)) || zelleZu ||
               (elternEnde && schliesstImplizite(nn));
    }
    if (x == k.p) {
        return (start && schliesstP(nn)) || zelleZu || (elternEnde && schliesstImplizite(nn));
    }
    if (x == k.option) {
        return (start && (nn == k.option || nn == k.optgroup)) ||
               (elternEnde && (nn == k.select || nn == k.optgroup || nn == k.datalist));
    }
    // The end tags of table parts close back to their own context, whatever is open there.
    const bool tabellenEnde =
        n.art == Art::EndTag && !n.offen && (fn & fakt::kWirkt) && !(fn & fakt::kFremd);
    if (x == k.td || x == k.th) {
        return (start && zellenStart[nn]) || (tabellenEnde && zellenEnde[nn]);
    }
    if (x == k.tr) return (start && zeilenStart[nn]) || (tabellenEnde && zeilenEnde[nn]);
    if (x == k.thead) return start && (nn == k.tbody || nn == k.tfoot);
    if (x == k.tbody) {
        return (start && (nn == k.tbody || nn == k.tfoot)) || (tabellenEnde && nn == k.table);
    }
    if (x == k.tfoot) return tabellenEnde && nn == k.table;
    if (x == k.head) return start && !kopfInhalt(nn) && nn != k.html && nn != k.head;
    return false;
}

// The names of the tags that may go.
bool kannWeg(std::uint8_t nameNr) {
    static const Namen m = namen({"li", "dt", "dd", "p", "option", "td", "th", "tr", "thead",
                                  "tbody", "tfoot", "head", "body", "html"});
    return m[nameNr];
}

}  // namespace

std::vector<bool> optionaleTags(std::string_view text, const html::Tokenfolge& tokens) {
    std::vector<bool> weg(tokens.size(), false);
    // From the end: how the page goes on behind a token, and the next token that stays.
    bool nurLeerraumDanach = true;  // behind it only whitespace and tags that go
    std::size_t naechster = tokens.size();
    for (std::size_t k = tokens.size(); k-- > 0;) {
        const Token tok = tokens[k];
        const std::uint16_t f = tokens.fakt(k);
        const bool wirkt =
            (f & fakt::kWirkt) && !(f & (fakt::kFremd | fakt::kVerdeckt)) && !tok.offen;
        bool gehtWeg = false;
        if (wirkt && (tok.art == Art::StartTag || tok.art == Art::EndTag) && kannWeg(tok.nameNr)) {
            const Nr& nr = nrn();
            const std::uint8_t x = tok.nameNr;
            const bool hatN = naechster < tokens.size();
            const Token n = hatN ? tokens[naechster] : Token{};
            const std::uint16_t fn = hatN ? tokens.fakt(naechster) : 0;
            const std::uint8_t nn =
                hatN && (n.art == Art::StartTag || n.art == Art::EndTag) ? n.nameNr : 0;
            // Directly adjacent: nothing but tags that go stands between them.
            const bool start = tok.art == Art::StartTag;
            if (!start && (x == nr.body || x == nr.html)) {
                // A comment behind them would move from the html element or the document into
                // the body.
                gehtWeg = nurLeerraumDanach;
            } else if (!start && (f & fakt::kEinzeln) && hatN) {
                gehtWeg = endTagWeg(x, n, nn, fn);
            } else if (!start && (f & fakt::kEinzeln)) {
                // Nothing stays behind it: the page's end closes the element.
                static const Namen amEnde =
                    namen({"p", "li", "dd", "td", "th", "tr", "tbody", "tfoot"});
                gehtWeg = amEnde[x];
            } else if (start && (x == nr.html || x == nr.head || x == nr.body) &&
                       ohneAttribute(text, tok) && hatN) {
                const bool nStart = n.art == Art::StartTag && !n.offen;
                if (x == nr.html) {
                    gehtWeg = nStart || (n.art == Art::Text && !html::istLeerraum(text[n.anfang]));
                } else if (x == nr.head) {
                    gehtWeg = (nStart && nn != nr.html && nn != nr.head) ||
                              (n.art == Art::EndTag && nn == nr.head);
                } else {
                    static const Namen nichtInsKoerper =
                        namen({"html", "head", "body", "frameset"});
                    gehtWeg = (nStart && !kopfInhalt(nn) && !nichtInsKoerper[nn]) ||
                              (n.art == Art::Text && !html::istLeerraum(text[n.anfang]));
                }
            }
        }
        if (gehtWeg) {
            weg[k] = true;
            continue;
        }
        naechster = k;
        // Once anything but whitespace follows, it stays so: the text need not be looked at.
        if (nurLeerraumDanach &&
            !(tok.art == Art::Text &&
              std::all_of(text.begin() + tok.anfang, text.begin() + tok.ende, html::istLeerraum))) {
            nurLeerraumDanach = false;
        }
    }
    return weg;
}

namespace {

// The style sheets and scripts of a site repeat from page to page (its templates): the last ones
// made smaller on this thread are remembered by the hash of their bytes and compared whole
// before one is used. Only short ones, so that a thread holds at most about a megabyte.
class Verkleinerte {
  public:
    // `art` tells the minifiers and their settings apart.
    template <class Verkleinern>
    const Text& holen(char art, std::string_view quelle, Verkleinern verkleinern) {
        if (quelle.size() > kLaengste) {
            fremd_ = verkleinern(quelle);
            return fremd_;
        }
        Eintrag& e =
            eintraege_[(std::hash<std::string_view>{}(quelle) + static_cast<unsigned char>(art)) %
                       eintraege_.size()];
        if (e.art != art || e.quelle != quelle) {
            // Emptied first: a failed allocation midway leaves no other text's entry behind.
            e.art = 0;
            e.quelle.clear();
            e.ergebnis = verkleinern(quelle);
            e.quelle.assign(quelle);
            e.art = art;
        }
        return e.ergebnis;
    }

  private:
    static constexpr std::size_t kLaengste = std::size_t{8} * 1024;
    struct Eintrag {
        char art = 0;
        Text quelle;
        Text ergebnis;
    };
    std::array<Eintrag, 64> eintraege_{};
    Text fremd_;
};

// SSI directives and server code: what stands there is not known until the server has run, so
// the bytes around them stay as they are.
bool mitServerInhalt(std::string_view s, std::size_t ab) {
    for (std::size_t i = s.find('<', ab); i != std::string_view::npos; i = s.find('<', i + 1)) {
        if (i + 1 < s.size() && (s[i + 1] == '%' || s[i + 1] == '?')) return true;
        if (s.substr(i, 5) == "<!--#") return true;
    }
    return false;
}

// A void element's start tag without the "/" before its ">", which HTML ignores there.
bool ohneSchraegstrich(std::string_view tag, Text& aus) {
    thread_local StartTag gelesen;
    if (!leseStartTag(tag, gelesen) || tag[gelesen.ende] != '/') return false;
    std::size_t e = gelesen.ende;
    while (e > 0 && html::istLeerraum(tag[e - 1])) --e;
    aus.assign(tag.substr(0, e));
    aus += '>';
    return true;
}

// The tag with its style attribute's declarations made smaller (the first style counts, as in a
// browser); `tag` itself when nothing changes.
bool stilAttributKuerzen(std::string_view tag, Text& aus) {
    // Cheap test first: most tags have no style.
    bool vielleicht = false;
    for (std::size_t i = 0; i + 5 <= tag.size() && !vielleicht; ++i) {
        vielleicht = (tag[i] | 0x20) == 's' && (tag[i + 1] | 0x20) == 't' &&
                     (tag[i + 2] | 0x20) == 'y' && (tag[i + 3] | 0x20) == 'l' &&
                     (tag[i + 4] | 0x20) == 'e';
    }
    if (!vielleicht) return false;
    const Token tok{0, static_cast<std::uint32_t>(tag.size()), Art::StartTag,
                    html::Element::Sonstiges, false};
    const html::Attribut a = html::attribut(tag, tok, "style");
    if (!a.gefunden || a.wert.empty()) return false;
    const std::size_t p = static_cast<std::size_t>(a.wert.data() - tag.data());
    const std::size_t e = p + a.wert.size();
    const bool quotes = p > 0 && (tag[p - 1] == '"' || tag[p - 1] == '\'') && e < tag.size() &&
                        tag[e] == tag[p - 1];
    Text neu = css::deklarationenVerkleinern(a.wert);
    // Without quotes an empty value would take the next attribute, and a "/" would end the tag.
    if (neu.size() >= a.wert.size() || (!quotes && (neu.empty() || neu.back() == '/')))
        return false;
    aus.assign(tag.substr(0, p));
    aus += neu;
    aus.append(tag.substr(e));
    return true;
}

}  // namespace

Gekuerzt seiteKuerzen(const Text& text, Kuerzung was, Kodierung kodierung,
                      const html::Tokenfolge* zerlegt) {
    Gekuerzt r;
    if (text.size() > html::kGroessteSeite || !(was.css || was.js || was.atk)) {
        r.text = text;
        return r;
    }
    html::Tokenfolge eigene;
    if (zerlegt == nullptr) {
        eigene = html::zerlege(text);
        html::baue(text, eigene, true);
    }
    const html::Tokenfolge& tokens = zerlegt != nullptr ? *zerlegt : eigene;
    const auto f = [&tokens](std::size_t k) { return tokens.fakt(k); };
    std::vector<bool> weg;
    if (was.atk) weg = optionaleTags(text, tokens);
    const std::string_view t = text;
    Text& out = r.text;
    reservieren(out, text.size());
    Text tag;
    Text kurz;
    // Bytes that stay are copied in runs, up to the next token that changes.
    std::size_t kopiert = 0;
    const auto ersetze = [&](const Token& tok, std::string_view neu) {
        out.append(t.substr(kopiert, tok.anfang - kopiert));
        out.append(neu);
        kopiert = tok.ende;
    };
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const Token tok = tokens[k];
        const std::string_view s = t.substr(tok.anfang, tok.ende - tok.anfang);
        if (!weg.empty() && weg[k]) {
            r.atk += s.size();
            ersetze(tok, {});
            continue;
        }
        const bool echt = !tok.offen && (f(k) & fakt::kWirkt) && !(f(k) & fakt::kVerdeckt);
        if (tok.art == Art::StartTag && echt && !mitServerInhalt(s, 1)) {
            std::string_view ergebnis = s;
            if (was.css && stilAttributKuerzen(s, tag)) {
                r.css += s.size() - tag.size();
                ergebnis = tag;
            }
            if (was.atk && !(f(k) & fakt::kFremd)) {
                if (html::istLeeresElement(tok.nameNr) && ergebnis.ends_with("/>") &&
                    ohneSchraegstrich(ergebnis, kurz)) {
                    r.atk += ergebnis.size() - kurz.size();
                    tag.swap(kurz);
                    ergebnis = tag;
                }
                // A tag without quotes and "=" has nothing for tagKuerzen to do.
                // (find_first_of would call memchr once for every byte of the tag.)
                const bool mitWert = std::any_of(ergebnis.begin(), ergebnis.end(), [](char c) {
                    return c == '"' || c == '\'' || c == '=';
                });
                if (mitWert && tagKuerzen(ergebnis, kurz)) {
                    if (kurz.size() < ergebnis.size()) {
                        r.atk += ergebnis.size() - kurz.size();
                        ergebnis = kurz;
                    }
                }
            }
            if (ergebnis.data() != s.data()) ersetze(tok, ergebnis);
            continue;
        }
        // The contents of a style or script element the parser opened, up to its end tag.
        if (tok.art == Art::Rohtext && !tok.offen && !(f(k) & fakt::kVerdeckt) && k > 0 &&
            !mitServerInhalt(s, 0) && k + 1 < tokens.size() && tokens[k + 1].art == Art::EndTag &&
            !tokens[k + 1].offen) {
            const Token start = tokens[k - 1];
            const std::size_t v = k - 1;
            const bool offen = start.art == Art::StartTag && !start.offen &&
                               (f(v) & fakt::kWirkt) && !(f(v) & (fakt::kFremd | fakt::kVerdeckt));
            const std::string_view starttag = t.substr(start.anfang, start.ende - start.anfang);
            thread_local Verkleinerte verkleinerte;
            if (offen && was.css && start.element == html::Element::Style && istCssStil(starttag)) {
                const Text& neu = verkleinerte.holen(
                    'c', s, [](std::string_view q) { return css::stilVerkleinern(q); });
                if (neu.size() < s.size()) {
                    r.css += s.size() - neu.size();
                    ersetze(tok, neu);
                    continue;
                }
            } else if (offen && was.js && start.element == html::Element::Script) {
                const SkriptArt art = skriptArt(starttag);
                if (art != SkriptArt::Keins) {
                    const bool modul = art == SkriptArt::Modul;
                    // One entry kind for each encoding and script kind.
                    const char merkmal =
                        static_cast<char>('j' + (modul ? 1 : 0) + 2 * static_cast<int>(kodierung));
                    const Text& neu = verkleinerte.holen(merkmal, s, [&](std::string_view q) {
                        return js::skriptVerkleinern(q, kodierung, modul);
                    });
                    if (neu.size() < s.size()) {
                        r.js += s.size() - neu.size();
                        ersetze(tok, neu);
                        continue;
                    }
                }
            }
        }
    }
    out.append(t.substr(kopiert));
    return r;
}

}  // namespace quintaro
