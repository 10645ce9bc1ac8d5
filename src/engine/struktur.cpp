// Each pass tokenizes the page once and writes its result in one sweep over the tokens.
#include "engine/struktur.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <vector>

#include "engine/html_tokenizer.h"
#include "engine/sonderzeichen.h"
#include "engine/suche.h"
#include "engine/text.h"

namespace quintaro {

namespace {

using html::Art;
using html::Element;
using html::istLeerraum;
using html::Token;

bool beginntMit(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// Conditional comments (and their downlevel markers) and SSI directives are never removed.
bool geschuetzterKommentar(std::string_view kommentar) {
    const std::string_view inhalt = kommentar.substr(4);
    return beginntMit(inhalt, "[if") || beginntMit(inhalt, "<![endif]") ||
           beginntMit(inhalt, "[endif]") || beginntMit(inhalt, "#");
}

bool istAlnum(char c) {
    return (c >= '0' && c <= '9') || istAsciiBuchstabe(c);
}

bool nurLeerraum(std::string_view t, const Token& tok) {
    for (std::size_t i = tok.anfang; i < tok.ende; ++i) {
        if (!istLeerraum(t[i])) return false;
    }
    return true;
}

bool istLeer(std::string_view, const Token& tok) {
    return html::istLeeresElement(tok.nameNr);
}

// Where text goes that stands in a table but outside its cells: a parser moves it out in front of
// the table, together with the whitespace next to it up to the next tag or comment.
class Tabellen {
  public:
    void tag(const Token& tok, std::string_view t, std::size_t nr = 0) {
        // Most tags stand outside tables or in a cell, where only the parts of a table count.
        if (offen_.empty()
                ? tok.element != Element::Table
                : offen_.back().zelle && tok.element != Element::Table &&
                      tok.element != Element::Zelle && tok.element != Element::Tabellenteil) {
            return;
        }
        teil(tok, t, nr);
    }
    // Text moved out reopens the formatting elements open before the table; they stay open
    // until the next part of the table.
    void text() {
        if (verschiebt() && offen_.back().fremd == 0) offen_.back().fremd = 1;
    }
    bool verschiebt() const { return !offen_.empty() && !offen_.back().zelle; }
    bool nimmtLeerraumMit() const { return verschiebt() && offen_.back().fremd > 0; }

  private:
    [[gnu::noinline]] void teil(const Token& tok, std::string_view t, std::size_t nr) {
        const bool start = tok.art == Art::StartTag;
        switch (tok.element) {
            case Element::Table:
                if (start) {
                    offen_.push_back({nr, false, 0});
                } else if (!offen_.empty()) {
                    offen_.pop_back();
                }
                return;
            case Element::Zelle:
                if (!offen_.empty()) offen_.back() = {offen_.back().start, start, 0};
                return;
            case Element::Tabellenteil:
                if (!offen_.empty()) offen_.back() = {offen_.back().start, false, 0};
                return;
            case Element::Script:
            case Element::Style:
            case Element::Template:
                return;
            default:
                break;
        }
        if (!verschiebt()) return;
        // An element moved out stays open: text after it follows it, whitespace too.
        if (start && !istLeer(t, tok)) {
            ++offen_.back().fremd;
        } else if (!start && offen_.back().fremd > 0) {
            --offen_.back().fremd;
        }
    }
    struct Tabelle {
        std::size_t start;  // the token of its start tag
        bool zelle;         // a cell is open
        int fremd;          // elements moved out in front of it and still open
    };
    std::vector<Tabelle> offen_;
};

}  // namespace

KommentarErgebnis strukturKommentareEntfernen(Text text, bool nurWebbots,
                                              const KommentarFrage& frage,
                                              html::Zerlegung* zerlegt) {
    if (zerlegt != nullptr) *zerlegt = {};
    if (text.size() > html::kGroessteSeite) return {std::move(text), false};
    std::vector<Token> tokens =
        html::zerlege(text, zerlegt != nullptr ? &zerlegt->laeufe : nullptr);
    std::vector<std::size_t> entfernt;  // the comments taken out, in order
    // The result is written in place: text[0..fertig) is the result so far, text[kopiert..) is
    // not yet looked at, and only bytes behind `kopiert` are read. No second page-sized buffer.
    std::size_t fertig = 0;
    std::size_t kopiert = 0;
    bool nachPreStart = false;
    // The byte `k` places before text[bis] in the text as it now stands (0 when there is none).
    const auto zeichenVor = [&](std::size_t bis, std::size_t k) -> char {
        if (bis - kopiert >= k) return text[bis - k];
        k -= bis - kopiert;
        return fertig >= k ? text[fertig - k] : '\0';
    };
    const std::function<Text()> aktuell = [&] {
        return text.substr(0, fertig) + text.substr(kopiert);
    };
    Tabellen tabellen;
    for (std::size_t nr = 0; nr < tokens.size(); ++nr) {
        const Token& tok = tokens[nr];
        if (tok.art != Art::Kommentar || tok.offen) {
            nachPreStart = tok.art == Art::StartTag && tok.element == Element::Pre;
            if ((tok.art == Art::StartTag || tok.art == Art::EndTag) && !tok.offen)
                tabellen.tag(tok, text);
            continue;
        }
        // In a table, text beside a comment is moved out without the whitespace on its other
        // side; without the comment it would take that along.
        if (tabellen.verschiebt() &&
            ((nr > 0 && tokens[nr - 1].art == Art::Text && !nurLeerraum(text, tokens[nr - 1])) ||
             (nr + 1 < tokens.size() && tokens[nr + 1].art == Art::Text &&
              !nurLeerraum(text, tokens[nr + 1])))) {
            nachPreStart = false;
            continue;
        }
        const std::string_view k = std::string_view(text).substr(tok.anfang, tok.ende - tok.anfang);
        if (geschuetzterKommentar(k) || (nurWebbots && !beginntMit(k, "<!--webbot"))) {
            nachPreStart = false;
            continue;
        }
        // What would stand on either side once it is gone.
        const char nachher = tok.ende < text.size() ? text[tok.ende] : '\0';
        const char vorher = zeichenVor(tok.anfang, 1);
        bool verbindet = (vorher == '<' && (istAlnum(nachher) || nachher == '/' || nachher == '!' ||
                                            nachher == '?' || nachher == '%')) ||
                         (nachPreStart && (nachher == '\n' || nachher == '\r'));
        if (!verbindet && (istAlnum(nachher) || nachher == '#' || nachher == ';')) {
            // "&am<!-- -->p;" must not become a character reference.
            for (std::size_t j = 1; j <= 40; ++j) {
                const char c = zeichenVor(tok.anfang, j);
                if (c == '&') verbindet = true;
                if (!istAlnum(c) && c != '#') break;
            }
        }
        if (verbindet) {
            nachPreStart = false;
            continue;
        }
        if (frage) {
            const Antwort a = frage(k, aktuell);
            if (a == Antwort::Abbrechen) {
                if (zerlegt != nullptr) *zerlegt = {};
                return {aktuell(), true};
            }
            if (a == Antwort::Nein) {
                nachPreStart = false;
                continue;
            }
        }
        if (fertig != kopiert) {
            std::memmove(text.data() + fertig, text.data() + kopiert, tok.anfang - kopiert);
        }
        fertig += tok.anfang - kopiert;
        kopiert = tok.ende;
        entfernt.push_back(nr);
    }
    if (zerlegt != nullptr && !entfernt.empty()) {
        // The runs in tags move up by the comments taken out before them.
        std::uint32_t weg = 0;
        std::size_t e = 0;
        for (html::TagLauf& l : zerlegt->laeufe) {
            for (; e < entfernt.size() && tokens[entfernt[e]].anfang < l.anfang; ++e) {
                weg += tokens[entfernt[e]].ende - tokens[entfernt[e]].anfang;
            }
            l.anfang -= weg;
            l.ende -= weg;
        }
        // The tokens behind the first comment taken out move up, in place, a stretch between
        // two such comments at a time; text on both sides of one becomes one token.
        weg = 0;
        std::size_t w = entfernt.front();  // tokens kept so far
        for (std::size_t j = 0; j < entfernt.size(); ++j) {
            weg += tokens[entfernt[j]].ende - tokens[entfernt[j]].anfang;
            std::size_t von = entfernt[j] + 1;
            const std::size_t bis = j + 1 < entfernt.size() ? entfernt[j + 1] : tokens.size();
            if (von < bis && w > 0 && tokens[von].art == Art::Text &&
                tokens[w - 1].art == Art::Text) {
                tokens[w - 1].ende = tokens[von].ende - weg;
                ++von;
            }
            for (; von < bis; ++von) {
                Token x = tokens[von];
                x.anfang -= weg;
                x.ende -= weg;
                tokens[w++] = x;
            }
        }
        tokens.resize(w);
    }
    if (zerlegt != nullptr) zerlegt->tokens = std::move(tokens);
    if (kopiert == 0) return {std::move(text), false};
    std::memmove(text.data() + fertig, text.data() + kopiert, text.size() - kopiert);
    text.resize(fertig + text.size() - kopiert);
    return {std::move(text), false};
}

namespace {

// InlineStart and InlineEnde: the tags of an inline element that shows nothing of its own; a
// line's start shows through the one, its end through the other.
enum class Rolle : std::uint8_t { Durchsichtig, Wort, Grenze, InlineStart, InlineEnde };

// How a token counts for the whitespace beside it: a boundary where a line ends or starts, a
// word, or nothing at all (comments, whitespace, and the tags of html, head and body, which a
// parser takes for no boundary, or drops where they stand too late).
Rolle rolle(const Token& t, std::string_view text) {
    switch (t.art) {
        case Art::Text: {
            std::size_t i = t.anfang;
            if constexpr (suche::kBlockweise) {
                // Mostly the indentation between two tags: one block decides.
                for (; i + suche::kBreite <= text.size() && i < t.ende; i += suche::kBreite) {
                    const suche::Maske wort = ~suche::leerraum(text.data() + i) & 0xFFFFu;
                    if (wort != 0) {
                        return i + suche::erster(wort) < t.ende ? Rolle::Wort : Rolle::Durchsichtig;
                    }
                }
            }
            for (; i < t.ende; ++i) {
                if (!istLeerraum(text[i])) return Rolle::Wort;
            }
            return Rolle::Durchsichtig;
        }
        case Art::StartTag:
        case Art::EndTag:
            if (t.offen) return Rolle::Wort;
            switch (t.element) {
                case Element::Block:
                case Element::Br:
                case Element::Pre:
                case Element::Plaintext:
                case Element::Table:
                case Element::Tabellenteil:
                case Element::Zelle:
                case Element::Option:
                    return Rolle::Grenze;
                case Element::Sonstiges:
                    return t.art == Art::StartTag ? Rolle::InlineStart : Rolle::InlineEnde;
                case Element::Html:
                case Element::Body:
                case Element::Head:
                    return Rolle::Durchsichtig;
                default:
                    return Rolle::Wort;
            }
        case Art::Kommentar:
        case Art::Bogus:
            return Rolle::Durchsichtig;
        case Art::Doctype:
            return Rolle::Grenze;
        default:
            return Rolle::Wort;
    }
}

bool hatHoheBytes(std::string_view s) {
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    }
    return false;
}

// The sweep's output. Bytes that stay as they are only extend a pending range of the input,
// written out in one piece when something else comes: most of a page stays, so most of it is
// copied in a few long pieces.
class Leerraum {
  public:
    Leerraum(const Text& text, unsigned passes, std::optional<Kodierung> sonderzeichen)
        : t_(text), passes_(passes), sonderzeichen_(sonderzeichen) {
        reservieren(out_, text.size());
    }

    Text ergebnis() && {
        schreibe();
        return std::move(out_);
    }

    // A run of whitespace, t_[a..e), in text or inside a tag.
    void lauf(std::size_t a, std::size_t e, bool entfernbar, bool imTag) {
        if (imTag && (passes_ & kInTags)) {
            if (!entfernbar) leer(a, e);
            return;
        }
        if (entfernbar && !imTag && (passes_ & kZwischenTags)) return;
        if (e - a == 1 && t_[a] == ' ') {
            kopiere(a, e);
            return;
        }
        // Tabs gone, line breaks made spaces, spaces collapsed: one space, unless a form feed
        // is in it.
        constexpr unsigned kZuEinem = kTabulatoren | kUmbrueche | kDoppelteLeerzeichen;
        if ((passes_ & kZuEinem) == kZuEinem &&
            std::memchr(t_.data() + a, '\f', e - a) == nullptr) {
            if (!entfernbar || std::any_of(t_.begin() + static_cast<std::ptrdiff_t>(a),
                                           t_.begin() + static_cast<std::ptrdiff_t>(e),
                                           [](char c) { return c != '\t'; })) {
                leer(a, e);
            }
            return;
        }
        puffer_.assign(t_, a, e - a);
        if (passes_ & kTabulatoren) {
            std::erase(puffer_, '\t');
            if (puffer_.empty() && !entfernbar) puffer_ = " ";
        }
        if (passes_ & kDoppelteUmbrueche) umbrueche(false);
        if (passes_ & kUmbrueche) umbrueche(true);
        if (passes_ & kDoppelteLeerzeichen) {
            std::size_t w = 0;
            for (std::size_t r = 0; r < puffer_.size(); ++r) {
                if (puffer_[r] == ' ' && w > 0 && puffer_[w - 1] == ' ') continue;
                puffer_[w++] = puffer_[r];
            }
            puffer_.resize(w);
        }
        if (std::string_view(puffer_) == std::string_view(t_).substr(a, e - a)) {
            kopiere(a, e);
        } else {
            statt(e);
            out_ += puffer_;
        }
    }

    // t_[a..e) stays as it is. What is left out between two such pieces is gone.
    void kopiere(std::size_t a, std::size_t e) {
        if (a != bis_) {
            schreibe();
            von_ = a;
        }
        bis_ = e;
    }
    // Text where references are decoded: special characters are replaced when asked for.
    void text(std::size_t a, std::size_t e) {
        text(a, e, sonderzeichen_ && hatHoheBytes(std::string_view(t_).substr(a, e - a)));
    }
    // `hoch`: whether a byte from 0x80 up is in it.
    void text(std::size_t a, std::size_t e, bool hoch) {
        if (sonderzeichen_ && hoch) {
            statt(e);
            SonderzeichenAnhaengen(std::string_view(t_).substr(a, e - a), out_, *sonderzeichen_);
        } else {
            kopiere(a, e);
        }
    }

    // The contents of an element a browser keeps as they are (script, style, pre, textarea, xmp,
    // plaintext, ...); `dekodiert`: references are decoded in them. With ZU each CR LF and lone
    // CR becomes LF: a browser's input stream turns them into LF before it parses, so the content
    // it sees is the same, and a page saved with LF line ends gets back the bytes that loading
    // made CR LF. Server code in them is left alone: a server reads it first.
    void geschuetzt(std::size_t a, std::size_t e, bool dekodiert) {
        const auto stueck = [&](std::size_t von, std::size_t bis) {
            if (dekodiert) {
                text(von, bis);
            } else {
                kopiere(von, bis);
            }
        };
        const char* p = t_.data();
        const std::size_t cr = passes_ & kUmbrueche ? suche::naechstes(p, a, e, '\r') : e;
        const std::string_view inhalt = std::string_view(t_).substr(a, e - a);
        if (cr == e || inhalt.find("<%") != std::string_view::npos ||
            inhalt.find("<?") != std::string_view::npos) {
            stueck(a, e);
            return;
        }
        std::size_t von = a;
        for (std::size_t i = cr; i < e; i = suche::naechstes(p, i + 1, e, '\r')) {
            stueck(von, i);
            if (i + 1 == e || p[i + 1] != '\n') {
                statt(i + 1);
                out_.push_back('\n');
            }
            von = i + 1;  // the LF of a CR LF comes with the next piece
        }
        stueck(von, e);
    }

  private:
    void schreibe() {
        out_.append(t_.data() + von_, bis_ - von_);
        von_ = bis_;
    }
    // Writes out what is pending; what the caller writes next stands for the input up to `e`.
    void statt(std::size_t e) {
        schreibe();
        von_ = bis_ = e;
    }
    // The run t_[a..e) as one space.
    void leer(std::size_t a, std::size_t e) {
        if (e - a == 1 && t_[a] == ' ') {
            kopiere(a, e);
        } else {
            statt(e);
            out_.push_back(' ');
        }
    }

    // A line break is CR LF, or a lone CR or LF. `einzeln`: each becomes a space; otherwise a
    // line break right behind another one goes.
    void umbrueche(bool einzeln) {
        std::string neu;
        bool nachUmbruch = false;
        for (std::size_t j = 0; j < puffer_.size();) {
            const char c = puffer_[j];
            if (c != '\r' && c != '\n') {
                neu.push_back(c);
                nachUmbruch = false;
                ++j;
                continue;
            }
            const std::size_t l =
                c == '\r' && j + 1 < puffer_.size() && puffer_[j + 1] == '\n' ? 2 : 1;
            if (einzeln) {
                neu.push_back(' ');
            } else if (!nachUmbruch) {
                neu.append(puffer_, j, l);
            }
            nachUmbruch = true;
            j += l;
        }
        puffer_ = std::move(neu);
    }

    const Text& t_;
    unsigned passes_;
    std::optional<Kodierung> sonderzeichen_;
    Text out_;
    std::string puffer_;
    std::size_t von_ = 0;  // t_[von_..bis_) is pending
    std::size_t bis_ = 0;
};

bool istP(std::string_view t, const Token& tok) {
    const std::size_t p = tok.anfang + 2;  // an end tag
    return p + 1 < t.size() && (t[p] | 0x20) == 'p' &&
           (istLeerraum(t[p + 1]) || t[p + 1] == '/' || t[p + 1] == '>');
}

}  // namespace

Text strukturLeerraum(const Text& text, unsigned passes, std::optional<Kodierung> sonderzeichen,
                      const html::Zerlegung* zerlegt) {
    if (text.size() > html::kGroessteSeite) return text;
    html::Zerlegung eigene;
    if (zerlegt == nullptr) eigene.tokens = html::zerlege(text, &eigene.laeufe);
    const html::Zerlegung& z = zerlegt == nullptr ? eigene : *zerlegt;
    // Spans, not the vectors: their size stays in a register while the output is written.
    const std::span<const Token> tokens(z.tokens);
    const std::span<const html::TagLauf> laeufe(z.laeufe);
    std::size_t lauf = 0;  // the next run in a tag
    const std::string_view t(text);

    // A parser ignores the end tag of an element that is not open (but for p and br): such a
    // tag is no boundary. Elements that a later start closes implicitly still count as open.
    std::vector<Rolle> rollen(tokens.size());
    std::array<int, html::kNamenAnzahl> offen{};
    // Per open table: its start tag, and whether a cell is open. Content that stands in a table
    // outside its cells is moved out in front of it, so such a table's start is no boundary.
    struct Tabelle {
        std::size_t start;
        bool zelle;
    };
    std::vector<Tabelle> offeneTabellen;
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const Token& tok = tokens[k];
        rollen[k] = rolle(tok, t);
        const bool tag = (tok.art == Art::StartTag || tok.art == Art::EndTag) && !tok.offen;
        if (!offeneTabellen.empty() && !offeneTabellen.back().zelle &&
            ((tok.art == Art::Text && rollen[k] == Rolle::Wort) ||
             (tok.art == Art::StartTag && tok.element != Element::Table &&
              tok.element != Element::Zelle && tok.element != Element::Tabellenteil &&
              tok.element != Element::Script && tok.element != Element::Style &&
              tok.element != Element::Template))) {
            rollen[offeneTabellen.back().start] = Rolle::Wort;
        }
        if (tag && (tok.element == Element::Zelle || tok.element == Element::Tabellenteil)) {
            if (offeneTabellen.empty()) {
                rollen[k] = Rolle::Durchsichtig;  // outside a table a parser drops these
                continue;
            }
            offeneTabellen.back().zelle = tok.element == Element::Zelle && tok.art == Art::StartTag;
        }
        if (tag && tok.element == Element::Table) {
            if (tok.art == Art::StartTag) {
                offeneTabellen.push_back({k, false});
            } else if (!offeneTabellen.empty()) {
                offeneTabellen.pop_back();
            }
        }
        if (rollen[k] != Rolle::Grenze || tok.offen || tok.nameNr == 0) continue;
        if (tok.element == Element::Br || tok.element == Element::Kopfinhalt) continue;
        int& zahl = offen[tok.nameNr];
        if (tok.art == Art::StartTag) {
            if (!istLeer(t, tok)) ++zahl;
        } else if (zahl > 0) {
            --zahl;
        } else if (!istP(t, tok)) {
            rollen[k] = Rolle::Durchsichtig;
        }
    }
    // Whether the nearest token behind each one that a line's end does not show through is a
    // boundary.
    std::vector<char> grenzeRechts(tokens.size());
    bool grenze = true;  // the end of the page
    for (std::size_t k = tokens.size(); k-- > 0;) {
        grenzeRechts[k] = grenze;
        if (rollen[k] != Rolle::Durchsichtig && rollen[k] != Rolle::InlineEnde) {
            grenze = rollen[k] == Rolle::Grenze;
        }
    }
    const auto istTag = [&](std::size_t k, Element a, Element b) {
        const Token& x = tokens[k];
        return (x.art == Art::StartTag || x.art == Art::EndTag) && !x.offen &&
               (x.element == a || x.element == b);
    };

    Leerraum w(text, passes, sonderzeichen);
    bool grenzeLinks = true;  // the start of the page
    // Whitespace stays in front, with only inline tags and comments between: a browser collapses
    // the next run into it.
    bool leerDavor = false;
    bool kopf = true;  // nothing of the body yet: whitespace here is never rendered
    int pre = 0;       // open pre and listing elements
    int auswahl = 0;   // open select elements: a parser drops most tags in them
    Tabellen tabellen;
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const Token& tok = tokens[k];
        const Rolle r = rollen[k];
        const bool titel = tok.art == Art::Rcdata && k > 0 && auswahl == 0 && pre == 0 &&
                           tokens[k - 1].element == Element::Title;
        if (tok.art == Art::Text && auswahl > 0 && pre == 0) {
            // Between the options of a list whitespace shows nowhere; the rest stays as it is.
            const bool zwischen = r == Rolle::Durchsichtig && k > 0 && k + 1 < tokens.size() &&
                                  istTag(k - 1, Element::Option, Element::Select) &&
                                  istTag(k + 1, Element::Option, Element::Select);
            if (zwischen) {
                w.lauf(tok.anfang, tok.ende, true, false);
            } else {
                w.text(tok.anfang, tok.ende);
            }
            leerDavor = false;
        } else if ((tok.art == Art::Text && pre == 0) || titel) {
            const std::size_t e = tok.ende;
            if (r == Rolle::Durchsichtig && !titel) {
                // A table that moves content out in front of it may take whitespace along.
                const bool mit = tabellen.nimmtLeerraumMit();
                const bool weg = !mit && (kopf || grenzeLinks || grenzeRechts[k] || leerDavor);
                w.lauf(tok.anfang, e, weg, false);
                if (!weg) leerDavor = true;
            } else {
                // Text that a table moves out in front of it takes its whitespace along. A
                // title's text is shown without the whitespace around it.
                const bool verschoben = !titel && tabellen.verschiebt();
                std::size_t i = tok.anfang;
                while (i < e && istLeerraum(t[i])) ++i;
                if (i > tok.anfang) {
                    w.lauf(tok.anfang, i,
                           titel || (!verschoben && (kopf || grenzeLinks || leerDavor)), false);
                }
                leerDavor = false;
                while (i < e) {
                    // A single space between two words stays as it is with every pass: it is
                    // copied along with the words.
                    std::size_t s = i;
                    bool hoch = false;
                    if constexpr (suche::kBlockweise) {
                        // 16 bytes at a time up to a block with whitespace other than single
                        // spaces (a space in a block's last byte is looked at byte by byte).
                        for (; s + suche::kBreite <= e; s += suche::kBreite) {
                            const char* p = t.data() + s;
                            const suche::Maske leer = suche::gleich(p, ' ');
                            const suche::Maske halt =
                                suche::gleich(p, '\t') | suche::gleich(p, '\n') |
                                suche::gleich(p, '\r') | suche::gleich(p, '\f') |
                                (leer & (leer >> 1)) | (leer & suche::kLetztes);
                            hoch |= suche::hoch(p) != 0;
                            if (halt != 0) break;
                        }
                    }
                    for (; s < e; ++s) {
                        const char c = t[s];
                        hoch |= (static_cast<unsigned char>(c) & 0x80) != 0;
                        if (istLeerraum(c) && (c != ' ' || s + 1 == e || istLeerraum(t[s + 1]))) {
                            break;
                        }
                    }
                    w.text(i, s, hoch);
                    if (s == e) break;
                    std::size_t s2 = s + 1;
                    while (s2 < e && istLeerraum(t[s2])) ++s2;
                    const bool ende = s2 == e;
                    const bool weg = ende && (titel || (grenzeRechts[k] && !verschoben));
                    w.lauf(s, s2, weg, false);
                    leerDavor = ende && !weg && !verschoben && !titel;
                    i = s2;
                }
                if (!titel) {
                    kopf = false;
                    tabellen.text();
                }
            }
        } else if ((tok.art == Art::StartTag || tok.art == Art::EndTag) && !tok.offen) {
            if (!tok.mitLeerraum) {
                w.kopiere(tok.anfang, tok.ende);
            } else {
                std::size_t kopiert = tok.anfang;
                while (lauf < laeufe.size() && laeufe[lauf].anfang < tok.anfang) ++lauf;
                for (; lauf < laeufe.size() && laeufe[lauf].anfang < tok.ende; ++lauf) {
                    const html::TagLauf& l = laeufe[lauf];
                    w.kopiere(kopiert, l.anfang);
                    w.lauf(l.anfang, l.ende, l.entfernbar, true);
                    kopiert = l.ende;
                }
                w.kopiere(kopiert, tok.ende);
            }
            const bool start = tok.art == Art::StartTag;
            tabellen.tag(tok, t, k);
            switch (tok.element) {
                case Element::Html:
                case Element::Head:
                case Element::Kopfinhalt:
                case Element::Title:
                case Element::Style:
                case Element::Script:
                case Element::Noscript:
                    break;
                default:
                    kopf = false;
            }
            if (!start && tok.element == Element::Html) kopf = false;
            switch (tok.element) {
                case Element::Pre:
                    if (start) {
                        ++pre;
                    } else if (pre > 0) {
                        --pre;
                    }
                    break;
                case Element::Select:
                    if (start) {
                        ++auswahl;
                    } else if (auswahl > 0) {
                        --auswahl;
                    }
                    break;
                default:
                    break;
            }
        } else {
            // Text here stands in pre or listing.
            if (tok.art == Art::Text || tok.art == Art::Rcdata) {
                w.geschuetzt(tok.anfang, tok.ende, true);
            } else if (tok.art == Art::Rohtext) {
                w.geschuetzt(tok.anfang, tok.ende, false);
            } else {
                w.kopiere(tok.anfang, tok.ende);
            }
            // A browser reads "<%" as text, and "<?" as a comment up to the first ">" only.
            if (tok.art == Art::Servercode &&
                (t[tok.anfang + 1] == '%' || t.find('>', tok.anfang) + 1 < tok.ende)) {
                kopf = false;
            }
        }
        if (tok.art != Art::Text && r != Rolle::Durchsichtig && r != Rolle::InlineStart &&
            r != Rolle::InlineEnde) {
            leerDavor = false;
        }
        if (tok.art == Art::Text && (pre > 0 || tabellen.verschiebt())) leerDavor = false;
        if (r != Rolle::Durchsichtig && r != Rolle::InlineStart) grenzeLinks = r == Rolle::Grenze;
    }
    return std::move(w).ergebnis();
}

Text strukturSonderzeichen(const Text& text, Kodierung kodierung) {
    const std::vector<Token> tokens = html::zerlege(text);
    Text out;
    std::size_t kopiert = 0;
    for (const Token& tok : tokens) {
        if (tok.art != Art::Text && tok.art != Art::Rcdata) continue;
        const std::string_view stueck =
            std::string_view(text).substr(tok.anfang, tok.ende - tok.anfang);
        if (!hatHoheBytes(stueck)) continue;
        out.append(text, kopiert, tok.anfang - kopiert);
        SonderzeichenAnhaengen(stueck, out, kodierung);
        kopiert = tok.ende;
    }
    if (kopiert == 0) return text;
    out.append(text, kopiert);
    return out;
}

}  // namespace quintaro
