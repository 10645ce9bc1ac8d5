// Each pass tokenizes the page once and writes its result in one sweep over the tokens.
#include "engine/struktur.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <vector>

#include "engine/dateifehler.h"
#include "engine/html_baum.h"
#include "engine/html_tokenizer.h"
#include "engine/kapazitaet.h"
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

}  // namespace

KommentarErgebnis strukturKommentareEntfernen(Text text, bool nurWebbots,
                                              const KommentarFrage& frage,
                                              html::Zerlegung* zerlegt) {
    if (zerlegt != nullptr) *zerlegt = {};
    if (text.size() > html::kGroessteSeite) return {std::move(text), false};
    html::Tokenfolge tokens = html::zerlege(text, zerlegt != nullptr ? &zerlegt->laeufe : nullptr);
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
    // The whole tree when the sweep is to take the facts along; the comments' facts otherwise.
    // Only the quick reading's facts are handed on: where it gives up, the facts are the parser's
    // or those that hold whatever the tree, and the sweep reads the result afresh.
    const bool schnell = html::baue(text, tokens, zerlegt == nullptr);
    bool mitFakten = zerlegt != nullptr && schnell;
    for (std::size_t nr = 0; nr < tokens.size(); ++nr) {
        const Token tok = tokens[nr];
        if (tok.art != Art::Kommentar || tok.offen || (tokens.fakt(nr) & html::fakt::kVerdeckt)) {
            // End tags and comments between a pre's start and its first line break keep it the
            // first to some parsers.
            if (tok.art != Art::EndTag && tok.art != Art::Kommentar)
                nachPreStart = tok.art == Art::StartTag && tok.element == Element::Pre;
            continue;
        }
        // In a table, text beside a comment is moved out without the whitespace on its other
        // side; without the comment it would take that along.
        if ((tokens.fakt(nr) & html::fakt::kInTabelle) &&
            ((nr > 0 && tokens[nr - 1].art == Art::Text && !nurLeerraum(text, tokens[nr - 1])) ||
             (nr + 1 < tokens.size() && tokens[nr + 1].art == Art::Text &&
              !nurLeerraum(text, tokens[nr + 1])))) {
            continue;
        }
        const std::string_view k = std::string_view(text).substr(tok.anfang, tok.ende - tok.anfang);
        if (geschuetzterKommentar(k) || (nurWebbots && !beginntMit(k, "<!--webbot"))) {
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
            continue;
        }
        if (frage) {
            const Antwort a = frage(k, aktuell);
            if (a == Antwort::Abbrechen) {
                if (zerlegt != nullptr) *zerlegt = {};
                return {aktuell(), true};
            }
            if (a == Antwort::Nein) {
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
                // The text before it now runs on to where this one ended. Where the tree held
                // each as one piece of a text node, its start is decided as the first's was and
                // its end as the second's (by what stands before and after the whole); they
                // must agree on all else.
                namespace fakt = html::fakt;
                const std::uint16_t rand = fakt::kVorn | fakt::kHinten;
                const std::uint16_t a = tokens.fakt(w - 1);
                const std::uint16_t b = tokens.fakt(von);
                mitFakten = mitFakten && (a & ~rand) == (b & ~rand) && !(a & fakt::kTeil);
                tokens.fakt(w - 1) =
                    static_cast<std::uint16_t>((a & ~fakt::kHinten) | (b & fakt::kHinten));
                ++von;
            }
            for (; von < bis; ++von) {
                tokens.ruecke(von, w++, tokens[von].anfang - weg);
            }
        }
        tokens.kuerze(w, static_cast<std::uint32_t>(fertig + text.size() - kopiert));
    }
    if (zerlegt != nullptr) {
        zerlegt->tokens = std::move(tokens);
        zerlegt->mitFakten = mitFakten;
    }
    if (kopiert == 0) return {std::move(text), false};
    std::memmove(text.data() + fertig, text.data() + kopiert, text.size() - kopiert);
    text.resize(fertig + text.size() - kopiert);
    return {std::move(text), false};
}

namespace {

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
    Leerraum(const Text& text, unsigned passes, std::optional<Kodierung> sonderzeichen,
             std::size_t grenze)
        : t_(text), passes_(passes), sonderzeichen_(sonderzeichen), grenze_(grenze) {
        reservieren(out_, text.size());
    }

    Text ergebnis() && {
        schreibe();
        return std::move(out_);
    }
    // Where the next byte written lands in the result.
    std::size_t stelle() const { return out_.size() + (bis_ - von_); }

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
    // The entities may grow the page past the size limit: it stops the run before, a piece at a
    // time.
    void text(std::size_t a, std::size_t e, bool hoch) {
        if (!sonderzeichen_ || !hoch) {
            kopiere(a, e);
            return;
        }
        statt(e);
        constexpr std::size_t kStueck = std::size_t{1} << 16;
        while (a < e) {
            std::size_t b = e - a > kStueck ? a + kStueck : e;
            // Not inside a UTF-8 sequence.
            while (b < e && (static_cast<unsigned char>(t_[b]) & 0xC0) == 0x80) ++b;
            if (out_.size() + (b - a) > grenze_)
                throw DateiFehler(std::string(kMemoKapazitaetFehler));
            sonderzeichenAnhaengen(std::string_view(t_).substr(a, b - a), out_, *sonderzeichen_);
            if (out_.size() > grenze_) throw DateiFehler(std::string(kMemoKapazitaetFehler));
            a = b;
        }
    }
    // The input up to `e` is left out.
    void ueberspringe(std::size_t e) { statt(e); }

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
    std::size_t grenze_;
    Text out_;
    std::string puffer_;
    std::size_t von_ = 0;  // t_[von_..bis_) is pending
    std::size_t bis_ = 0;
};

bool hatWort(std::string_view t, const Token& tok) {
    for (std::size_t i = tok.anfang; i < tok.ende; ++i) {
        if (!istLeerraum(t[i])) return true;
    }
    return false;
}

bool istInhalt(std::string_view t, const Token& tok) {
    return tok.art == Art::Servercode ||
           (tok.art == Art::Kommentar && t.substr(tok.anfang, 5) == "<!--#");
}

// A script of this type runs as JavaScript, so whitespace at its ends means nothing; any other
// type is a data block whose bytes a page's script may read.
bool istJavaScript(std::string_view t, const Token& start) {
    html::Attribut typ = html::attribut(t, start, "type");
    std::string art;
    if (typ.gefunden) {
        art = std::string(typ.wert);
    } else {
        const html::Attribut sprache = html::attribut(t, start, "language");
        if (!sprache.gefunden || sprache.wert.empty()) return true;
        art = "text/" + std::string(sprache.wert);
    }
    std::size_t a = 0;
    std::size_t e = art.size();
    while (a < e && istLeerraum(art[a])) ++a;
    while (e > a && istLeerraum(art[e - 1])) --e;
    art = kleinAsciiText(std::string_view(art).substr(a, e - a));
    static const std::array<std::string_view, 18> kArten = {"",
                                                            "module",
                                                            "application/ecmascript",
                                                            "application/javascript",
                                                            "application/x-ecmascript",
                                                            "application/x-javascript",
                                                            "text/ecmascript",
                                                            "text/javascript",
                                                            "text/javascript1.0",
                                                            "text/javascript1.1",
                                                            "text/javascript1.2",
                                                            "text/javascript1.3",
                                                            "text/javascript1.4",
                                                            "text/javascript1.5",
                                                            "text/jscript",
                                                            "text/livescript",
                                                            "text/x-ecmascript",
                                                            "text/x-javascript"};
    return std::find(kArten.begin(), kArten.end(), art) != kArten.end();
}

bool beginntBedingt(std::string_view k) {
    return beginntMit(k.substr(4), "[if") || beginntMit(k.substr(4), "<![endif]") ||
           beginntMit(k.substr(4), "[endif]");
}

}  // namespace

Text strukturLeerraum(const Text& text, unsigned passes, std::optional<Kodierung> sonderzeichen,
                      html::Zerlegung* zerlegt, std::size_t grenze, html::Tokenfolge* danach) {
    if (danach != nullptr) *danach = {};
    if (text.size() > html::kGroessteSeite) return text;
    html::Zerlegung eigene;
    if (zerlegt == nullptr) eigene.tokens = html::zerlege(text, &eigene.laeufe);
    html::Zerlegung& z = zerlegt == nullptr ? eigene : *zerlegt;
    if (!z.mitFakten) html::baue(text, z.tokens);
    const html::Tokenfolge& tokens = z.tokens;
    // A span, not the vector: its size stays in a register while the output is written.
    const std::span<const html::TagLauf> laeufe(z.laeufe);
    const auto fakten = [&tokens](std::size_t k) { return tokens.fakt(k); };
    namespace fakt = html::fakt;
    std::size_t lauf = 0;  // the next run in a tag
    const std::string_view t(text);
    const bool zu = (passes & kUmbrueche) != 0;

    Leerraum w(text, passes, sonderzeichen, grenze);
    // Text whose whitespace runs may go at its ends (`vorn`, `hinten`); the runs between words
    // become one space with the passes, and special characters are replaced in the words.
    const auto textMitLaeufen = [&](std::size_t a, std::size_t e, bool vorn, bool hinten) {
        std::size_t i = a;
        while (i < e && istLeerraum(t[i])) ++i;
        if (i == e) {
            w.lauf(a, e, vorn || hinten, false);
            return;
        }
        if (i > a) w.lauf(a, i, vorn, false);
        while (i < e) {
            // A single space between two words stays as it is with every pass: it is copied
            // along with the words.
            std::size_t s = i;
            bool hoch = false;
            if constexpr (suche::kBlockweise) {
                // 16 bytes at a time up to a block with whitespace other than single spaces (a
                // space in a block's last byte is looked at byte by byte).
                for (; s + suche::kBreite <= e; s += suche::kBreite) {
                    const char* p = t.data() + s;
                    const suche::Maske leer = suche::gleich(p, ' ');
                    const suche::Maske halt = suche::gleich(p, '\t') | suche::gleich(p, '\n') |
                                              suche::gleich(p, '\r') | suche::gleich(p, '\f') |
                                              (leer & (leer >> 1)) | (leer & suche::kLetztes);
                    hoch |= suche::hoch(p) != 0;
                    if (halt != 0) break;
                }
            }
            for (; s < e; ++s) {
                const char c = t[s];
                hoch |= (static_cast<unsigned char>(c) & 0x80) != 0;
                if (istLeerraum(c) && (c != ' ' || s + 1 == e || istLeerraum(t[s + 1]))) break;
            }
            w.text(i, s, hoch);
            if (s == e) break;
            std::size_t s2 = s + 1;
            while (s2 < e && istLeerraum(t[s2])) ++s2;
            w.lauf(s, s2, s2 == e && hinten, false);
            i = s2;
        }
    };
    // Whitespace at the ends of a raw text's content: gone with ZU where it means nothing.
    const auto rohtext = [&](std::size_t a, std::size_t e, bool dekodiert, bool enden) {
        // Server code reads the bytes first.
        const std::string_view inhalt = t.substr(a, e - a);
        if (inhalt.find("<%") != std::string_view::npos ||
            inhalt.find("<?") != std::string_view::npos) {
            enden = false;
        }
        if (zu && enden) {
            while (a < e && istLeerraum(t[a])) ++a;
            while (e > a && istLeerraum(t[e - 1])) --e;
            w.ueberspringe(a);
            w.geschuetzt(a, e, dekodiert);
            w.ueberspringe(e);
        } else {
            w.geschuetzt(a, e, dekodiert);
        }
    };

    // Whether the current tag still has whitespace in the result.
    bool laufBleibt = false;
    // `vorher` and `fVorher`: the token before and its facts, as read (its place may hold a token
    // of the result by now).
    Token vorher{};
    std::uint16_t fVorher = 0;
    const auto tokenSchreiben = [&](std::size_t k, const Token& tok, std::uint16_t f) {
        if (f & fakt::kVerdeckt) {
            w.kopiere(tok.anfang, tok.ende);
            return;
        }
        switch (tok.art) {
            case Art::Text: {
                if (f & fakt::kFallen) {
                    if ((passes & kZwischenTags) && !hatWort(t, tok)) {
                        w.ueberspringe(tok.ende);
                    } else {
                        w.geschuetzt(tok.anfang, tok.ende, false);
                    }
                    break;
                }
                if (f & fakt::kFest) {
                    w.geschuetzt(tok.anfang, tok.ende, true);
                    break;
                }
                // Whitespace beside server content is text, as beside a word.
                const bool inhaltLinks = k > 0 && istInhalt(t, vorher);
                const bool inhaltRechts = k + 1 < tokens.size() && istInhalt(t, tokens[k + 1]);
                bool vorn = (f & fakt::kVorn) && !inhaltLinks;
                bool hinten = (f & fakt::kHinten) && !inhaltRechts;
                if (f & fakt::kBleibt) vorn = hinten = false;
                textMitLaeufen(tok.anfang, tok.ende, vorn, hinten);
                break;
            }
            case Art::Rcdata: {
                // Raw text is what the tokenizer takes it for only where the parser opened its
                // element as HTML; elsewhere its bytes stay.
                const std::uint16_t s = fVorher;
                const Token& start = vorher;
                if ((s & fakt::kFremd) || !(s & fakt::kWirkt)) {
                    w.kopiere(tok.anfang, tok.ende);
                } else if (start.element == Element::Title && !(f & fakt::kFest)) {
                    // A title is shown without the whitespace around it.
                    textMitLaeufen(tok.anfang, tok.ende, true, true);
                } else {
                    w.geschuetzt(tok.anfang, tok.ende, true);
                }
                break;
            }
            case Art::Rohtext: {
                const Token& start = vorher;
                const std::uint16_t s = fVorher;
                const bool fremd = (s & fakt::kFremd) || !(s & fakt::kWirkt);
                const bool enden = !fremd && !(f & fakt::kFest) &&
                                   (start.element == Element::Style ||
                                    (start.element == Element::Script && istJavaScript(t, start)));
                if (fremd) {
                    w.kopiere(tok.anfang, tok.ende);
                } else {
                    rohtext(tok.anfang, tok.ende, false, enden);
                }
                break;
            }
            case Art::StartTag:
            case Art::EndTag: {
                // Line ends in attribute values become LF with ZU, as the parser reads them.
                const bool cr = zu && !tok.offen &&
                                std::memchr(t.data() + tok.anfang, '\r', tok.ende - tok.anfang);
                const auto stueck = [&](std::size_t a, std::size_t e) {
                    if (cr) {
                        w.geschuetzt(a, e, false);
                    } else {
                        w.kopiere(a, e);
                    }
                };
                if (tok.offen || !tok.mitLeerraum) {
                    stueck(tok.anfang, tok.ende);
                    break;
                }
                std::size_t kopiert = tok.anfang;
                laufBleibt = false;
                while (lauf < laeufe.size() && laeufe[lauf].anfang < tok.anfang) ++lauf;
                for (; lauf < laeufe.size() && laeufe[lauf].anfang < tok.ende; ++lauf) {
                    const html::TagLauf& l = laeufe[lauf];
                    stueck(kopiert, l.anfang);
                    const std::size_t vor = w.stelle();
                    w.lauf(l.anfang, l.ende, l.entfernbar, true);
                    laufBleibt = laufBleibt || w.stelle() > vor;
                    kopiert = l.ende;
                }
                stueck(kopiert, tok.ende);
                break;
            }
            case Art::Kommentar: {
                const std::string_view k4 = t.substr(tok.anfang, tok.ende - tok.anfang);
                if (zu && !tok.offen && beginntBedingt(k4)) {
                    w.geschuetzt(tok.anfang, tok.ende, false);
                } else {
                    w.kopiere(tok.anfang, tok.ende);
                }
                break;
            }
            default:
                w.kopiere(tok.anfang, tok.ende);
                break;
        }
    };

    // With `danach`, the tokens of the result take the places of those read, which are not
    // looked at again: one token sequence for both.
    std::size_t behalten = 0;
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const Token tok = tokens[k];
        const std::uint16_t f = fakten(k);
        // What is written for a token is that token of the result, unless nothing is: whitespace
        // goes only where the tree stays the same, so a tokenizer reads the result the same way.
        const std::size_t stelle = danach != nullptr ? w.stelle() : 0;
        laufBleibt = tok.mitLeerraum;  // a tag copied whole keeps its whitespace
        tokenSchreiben(k, tok, f);
        if (danach != nullptr && w.stelle() > stelle) {
            Token neu = tok;
            neu.anfang = static_cast<std::uint32_t>(stelle);
            neu.mitLeerraum = laufBleibt;
            z.tokens.setze(behalten++, neu, f);
        }
        vorher = tok;
        fVorher = f;
    }
    const std::size_t stelle = w.stelle();
    Text ergebnis = std::move(w).ergebnis();
    if (danach != nullptr) {
        z.tokens.kuerze(behalten, static_cast<std::uint32_t>(stelle));
        *danach = std::move(z.tokens);
    }
    return ergebnis;
}

Text strukturSonderzeichen(const Text& text, Kodierung kodierung, std::size_t grenze) {
    return strukturLeerraum(text, 0, kodierung, nullptr, grenze);
}

}  // namespace quintaro
