// The tokenizer reads bytes as CSS reads code points after its preprocessing: CR LF, CR and FF are
// line breaks, NUL is a name character (it stands for U+FFFD). The minifier walks the tokens with
// the little grammar it needs (rules, at-rules, declarations) and decides each gap between two
// tokens: dropped, one space, or "/**/" where a removed comment kept two tokens apart.
#include "engine/css.h"

#include <algorithm>
#include <array>
#include <limits>

namespace quintaro::css {

namespace {

using U8 = unsigned char;

constexpr std::uint8_t kName = 1;       // continues a name
constexpr std::uint8_t kNameStart = 2;  // starts one
constexpr std::uint8_t kZiffer = 4;
constexpr std::uint8_t kLeer = 8;
constexpr std::uint8_t kUmbruch = 16;
constexpr std::uint8_t kHex = 32;
constexpr auto kKlassen = [] {
    std::array<std::uint8_t, 256> k{};
    for (std::size_t c = 0; c < 256; ++c) {
        const bool buchstabe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (buchstabe || c == '_' || c >= 0x80 || c == 0) k[c] |= kName | kNameStart;
        if (c >= '0' && c <= '9') k[c] |= kName | kZiffer | kHex;
        if ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')) k[c] |= kHex;
        if (c == '-') k[c] |= kName;
    }
    for (const char c : {' ', '\t', '\n', '\r', '\f'}) k[static_cast<U8>(c)] |= kLeer;
    for (const char c : {'\n', '\r', '\f'}) k[static_cast<U8>(c)] |= kUmbruch;
    return k;
}();

// Reads the text as CSS does, with -1 past its end.
class Leser {
  public:
    explicit Leser(std::string_view t) : t_(t) {}
    int an(std::size_t i) const { return i < t_.size() ? static_cast<U8>(t_[i]) : -1; }
    bool ist(std::size_t i, std::uint8_t k) const {
        return i < t_.size() && (kKlassen[static_cast<U8>(t_[i])] & k) != 0;
    }
    std::size_t n() const { return t_.size(); }

    bool gueltigesEscape(std::size_t i) const {
        return an(i) == '\\' && i + 1 < n() && !ist(i + 1, kUmbruch);
    }
    bool beginntName(std::size_t i) const {
        if (an(i) == '-')
            return ist(i + 1, kNameStart) || an(i + 1) == '-' || gueltigesEscape(i + 1);
        return ist(i, kNameStart) || gueltigesEscape(i);
    }
    bool beginntZahl(std::size_t i) const {
        const int c = an(i);
        if (c == '+' || c == '-') {
            return ist(i + 1, kZiffer) || (an(i + 1) == '.' && ist(i + 2, kZiffer));
        }
        if (c == '.') return ist(i + 1, kZiffer);
        return ist(i, kZiffer);
    }
    // A line break; CR LF counts as one.
    std::size_t ueberUmbruch(std::size_t i) const {
        return an(i) == '\r' && an(i + 1) == '\n' ? i + 2 : i + 1;
    }
    // Behind the escape whose backslash stands at `i - 1`.
    std::size_t ueberEscape(std::size_t i) const {
        if (ist(i, kHex)) {
            const std::size_t bis = std::min(n(), i + 6);
            while (i < bis && ist(i, kHex)) ++i;
            if (ist(i, kLeer)) i = ueberUmbruch(i);
            return i;
        }
        return i < n() ? i + 1 : i;
    }
    // Behind a name; `escape` tells whether it held one.
    std::size_t ueberName(std::size_t i, bool& escape) const {
        for (;;) {
            if (ist(i, kName)) {
                ++i;
            } else if (gueltigesEscape(i)) {
                escape = true;
                i = ueberEscape(i + 1);
            } else {
                return i;
            }
        }
    }
    std::size_t ueberZiffern(std::size_t i) const {
        while (ist(i, kZiffer)) ++i;
        return i;
    }
    std::size_t ueberZahl(std::size_t i) const {
        if (an(i) == '+' || an(i) == '-') ++i;
        i = ueberZiffern(i);
        if (an(i) == '.' && ist(i + 1, kZiffer)) i = ueberZiffern(i + 1);
        if (an(i) == 'e' || an(i) == 'E') {
            if (ist(i + 1, kZiffer)) {
                i = ueberZiffern(i + 1);
            } else if ((an(i + 1) == '+' || an(i + 1) == '-') && ist(i + 2, kZiffer)) {
                i = ueberZiffern(i + 2);
            }
        }
        return i;
    }

  private:
    std::string_view t_;
};

Token zeichenkette(const Leser& l, std::size_t anfang) {
    const int zu = l.an(anfang);
    std::size_t i = anfang + 1;
    for (;;) {
        const int c = l.an(i);
        if (c < 0)
            return {static_cast<std::uint32_t>(anfang), static_cast<std::uint32_t>(i),
                    Art::Zeichenkette, true};
        if (c == zu)
            return {static_cast<std::uint32_t>(anfang), static_cast<std::uint32_t>(i + 1),
                    Art::Zeichenkette};
        if (l.ist(i, kUmbruch)) {
            return {static_cast<std::uint32_t>(anfang), static_cast<std::uint32_t>(i),
                    Art::SchlechteZeichenkette, true};
        }
        if (c == '\\') {
            if (i + 1 >= l.n()) {
                ++i;
            } else if (l.ist(i + 1, kUmbruch)) {
                i = l.ueberUmbruch(i + 1);
            } else {
                i = l.ueberEscape(i + 1);
            }
            continue;
        }
        ++i;
    }
}

// The rest of an unquoted url(...) from `i`, behind "url(".
Token url(const Leser& l, std::size_t anfang, std::size_t i) {
    const auto token = [&](std::size_t ende, Art art, bool unlesbar) {
        return Token{static_cast<std::uint32_t>(anfang), static_cast<std::uint32_t>(ende), art,
                     unlesbar};
    };
    while (l.ist(i, kLeer)) ++i;
    for (;;) {
        const int c = l.an(i);
        if (c < 0) return token(i, Art::Url, true);
        if (c == ')') return token(i + 1, Art::Url, false);
        bool schlecht = false;
        if (l.ist(i, kLeer)) {
            while (l.ist(i, kLeer)) ++i;
            if (l.an(i) < 0) return token(i, Art::Url, true);
            if (l.an(i) == ')') return token(i + 1, Art::Url, false);
            schlecht = true;
        } else if (c == '"' || c == '\'' || c == '(' || (c >= 1 && c <= 8) || c == 0x0B ||
                   (c >= 0x0E && c <= 0x1F) || c == 0x7F) {
            schlecht = true;
        } else if (c == '\\') {
            if (!l.gueltigesEscape(i)) {
                schlecht = true;
            } else {
                i = l.ueberEscape(i + 1);
                continue;
            }
        } else {
            ++i;
            continue;
        }
        if (schlecht) {
            // The remnants of a bad url, up to ")" or the end.
            for (;;) {
                if (l.an(i) < 0) return token(i, Art::SchlechteUrl, true);
                if (l.an(i) == ')') return token(i + 1, Art::SchlechteUrl, true);
                i = l.gueltigesEscape(i) ? l.ueberEscape(i + 1) : i + 1;
            }
        }
    }
}

Token nameArtig(const Leser& l, std::string_view t, std::size_t anfang) {
    bool escape = false;
    const std::size_t ende = l.ueberName(anfang, escape);
    const auto token = [&](std::size_t e, Art art, bool unlesbar = false) {
        return Token{static_cast<std::uint32_t>(anfang), static_cast<std::uint32_t>(e), art,
                     unlesbar};
    };
    if (l.an(ende) != '(') return token(ende, Art::Ident);
    if (escape) return token(ende + 1, Art::Funktion, true);
    if (!gleichKlein(t.substr(anfang, ende - anfang), "url")) return token(ende + 1, Art::Funktion);
    std::size_t i = ende + 1;
    while (l.ist(i, kLeer) && l.ist(i + 1, kLeer)) ++i;
    const auto zitat = [&](std::size_t j) { return l.an(j) == '"' || l.an(j) == '\''; };
    if (zitat(i) || (l.ist(i, kLeer) && zitat(i + 1))) return token(ende + 1, Art::Funktion);
    return url(l, anfang, ende + 1);
}

Token numerisch(const Leser& l, std::size_t anfang) {
    std::size_t i = l.ueberZahl(anfang);
    Art art = Art::Zahl;
    if (l.beginntName(i)) {
        bool escape = false;
        i = l.ueberName(i, escape);
        art = Art::Dimension;
    } else if (l.an(i) == '%') {
        ++i;
        art = Art::Prozent;
    }
    return {static_cast<std::uint32_t>(anfang), static_cast<std::uint32_t>(i), art};
}

}  // namespace

Token naechstesToken(std::string_view t, std::size_t i) {
    const Leser l(t);
    const auto einzeln = [&](Art art, std::size_t laenge = 1) {
        return Token{static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i + laenge), art};
    };
    const int c = l.an(i);
    if (l.ist(i, kLeer)) {
        std::size_t e = i + 1;
        while (l.ist(e, kLeer)) ++e;
        return {static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(e), Art::Leerraum};
    }
    if (l.ist(i, kNameStart)) return nameArtig(l, t, i);
    if (l.ist(i, kZiffer)) return numerisch(l, i);
    switch (c) {
        case '"':
        case '\'':
            return zeichenkette(l, i);
        case '#':
            if (l.ist(i + 1, kName) || l.gueltigesEscape(i + 1)) {
                bool escape = false;
                return {static_cast<std::uint32_t>(i),
                        static_cast<std::uint32_t>(l.ueberName(i + 1, escape)), Art::Hash};
            }
            return einzeln(Art::Delim);
        case '(':
            return einzeln(Art::RundAuf);
        case ')':
            return einzeln(Art::RundZu);
        case '[':
            return einzeln(Art::EckigAuf);
        case ']':
            return einzeln(Art::EckigZu);
        case '{':
            return einzeln(Art::GeschweiftAuf);
        case '}':
            return einzeln(Art::GeschweiftZu);
        case ',':
            return einzeln(Art::Komma);
        case ':':
            return einzeln(Art::Doppelpunkt);
        case ';':
            return einzeln(Art::Semikolon);
        case '+':
        case '.':
            return l.beginntZahl(i) ? numerisch(l, i) : einzeln(Art::Delim);
        case '-':
            if (l.beginntZahl(i)) return numerisch(l, i);
            if (l.an(i + 1) == '-' && l.an(i + 2) == '>') return einzeln(Art::Cdc, 3);
            if (l.beginntName(i)) return nameArtig(l, t, i);
            return einzeln(Art::Delim);
        case '<':
            if (l.an(i + 1) == '!' && l.an(i + 2) == '-' && l.an(i + 3) == '-')
                return einzeln(Art::Cdo, 4);
            return einzeln(Art::Delim);
        case '@':
            if (l.beginntName(i + 1)) {
                bool escape = false;
                return {static_cast<std::uint32_t>(i),
                        static_cast<std::uint32_t>(l.ueberName(i + 1, escape)), Art::AtKeyword};
            }
            return einzeln(Art::Delim);
        case '\\':
            if (l.gueltigesEscape(i)) return nameArtig(l, t, i);
            return {static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i + 1), Art::Delim,
                    true};
        case '/':
            if (l.an(i + 1) == '*') {
                const std::size_t zu = t.find("*/", i + 2);
                if (zu == std::string_view::npos) {
                    return {static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(t.size()),
                            Art::Kommentar, true};
                }
                return {static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(zu + 2),
                        Art::Kommentar};
            }
            return einzeln(Art::Delim);
        default:
            return einzeln(Art::Delim);
    }
}

std::vector<Token> zerlege(std::string_view t) {
    std::vector<Token> tokens;
    if (t.size() > std::numeric_limits<std::uint32_t>::max()) return tokens;
    reservieren(tokens, t.size() / 2 + 4);
    for (std::size_t i = 0; i < t.size();) {
        tokens.push_back(naechstesToken(t, i));
        i = tokens.back().ende;
    }
    return tokens;
}

namespace {

constexpr std::uint32_t kKeiner = std::numeric_limits<std::uint32_t>::max();

bool istOeffner(Art a) {
    return a == Art::Funktion || a == Art::RundAuf || a == Art::EckigAuf || a == Art::GeschweiftAuf;
}
Art schliesserVon(Art a) {
    switch (a) {
        case Art::EckigAuf:
            return Art::EckigZu;
        case Art::GeschweiftAuf:
            return Art::GeschweiftZu;
        default:
            return Art::RundZu;
    }
}

// "</style" followed by whitespace, "/" or ">", in any letter case: it would end the element.
bool endetStilElement(std::string_view t, std::size_t von = 0) {
    for (std::size_t i = t.find("</", von); i != std::string_view::npos; i = t.find("</", i + 1)) {
        if (i + 7 < t.size() && gleichKlein(t.substr(i + 2, 5), "style")) {
            const char c = t[i + 7];
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '/' ||
                c == '>') {
                return true;
            }
        }
    }
    return false;
}

// The at-rules whose prelude and block this minifier knows.
enum class AtArt { Unbekannt, Charset, OhneBlock, Regeln, Deklarationen };

AtArt atArt(std::string_view name) {  // without "@", lower case
    constexpr std::string_view kRegeln[] = {
        "media",     "supports",          "document",       "-moz-document",
        "layer",     "container",         "scope",          "starting-style",
        "keyframes", "-webkit-keyframes", "-moz-keyframes", "-o-keyframes"};
    constexpr std::string_view kDeklarationen[] = {
        "font-face", "page",         "counter-style",      "property",
        "viewport",  "-ms-viewport", "font-palette-values"};
    if (name == "charset") return AtArt::Charset;
    if (name == "import" || name == "namespace") return AtArt::OhneBlock;
    for (const std::string_view n : kRegeln) {
        if (name == n) return AtArt::Regeln;
    }
    for (const std::string_view n : kDeklarationen) {
        if (name == n) return AtArt::Deklarationen;
    }
    return AtArt::Unbekannt;
}

std::string klein(std::string_view s) {
    std::string k(s);
    for (char& c : k) c = kleinAscii(c);
    return k;
}

bool istHex(char c) {
    return (kKlassen[static_cast<U8>(c)] & kHex) != 0;
}

// A comment that XHTML pages use to hide a CDATA section from CSS: it stays.
bool behalteKommentar(std::string_view k) {
    return k.find("<![CDATA[") != std::string_view::npos || k.find("]]>") != std::string_view::npos;
}

class Verkleinerer {
  public:
    Verkleinerer(std::string_view q, bool stilElement) : q_(q), stilElement_(stilElement) {}

    Text stil() {
        if (!vorbereiten()) return Text(q_);
        regelListe(0, sig_.size(), false, true);
        return abschliessen();
    }
    Text deklarationen() {
        if (!vorbereiten()) return Text(q_);
        deklarationsListe(0, sig_.size());
        return abschliessen();
    }

  private:
    struct Sig {
        std::uint32_t t;        // index into t_
        std::uint32_t partner;  // an opener's closer or a closer's opener, index into sig_
    };
    struct Ausgabe {  // an emitted token's place in the output, for the check of joined tokens
        std::uint32_t anfang;
        std::uint32_t ende;
        Art art;
    };

    bool vorbereiten() {
        if (q_.size() > std::numeric_limits<std::uint32_t>::max() / 2) return false;
        t_ = zerlege(q_);
        grenze_ = t_.size();
        for (std::size_t i = 0; i < t_.size(); ++i) {
            if (t_[i].unlesbar) {
                grenze_ = i;
                break;
            }
        }
        abgeschnitten_ = grenze_ < t_.size();
        reservieren(sig_, grenze_);
        std::vector<std::uint32_t> offen;
        for (std::size_t i = 0; i < grenze_; ++i) {
            const Art a = t_[i].art;
            if (a == Art::Leerraum || a == Art::Kommentar) continue;
            const auto k = static_cast<std::uint32_t>(sig_.size());
            sig_.push_back({static_cast<std::uint32_t>(i), kKeiner});
            if (istOeffner(a)) {
                offen.push_back(k);
            } else if (!offen.empty() && a == schliesserVon(art(offen.back()))) {
                sig_[k].partner = offen.back();
                sig_[offen.back()].partner = k;
                offen.pop_back();
            }
        }
        reservieren(out_, q_.size());
        return true;
    }

    Text abschliessen() {
        if (abgeschnitten_) {
            out_.append(q_.substr(bisByte_));
        } else {
            for (std::size_t i = naechstesT_; i < t_.size(); ++i) {  // trailing gap and ";"
                const Token& c = t_[i];
                const std::string_view b = q_.substr(c.anfang, c.ende - c.anfang);
                if (c.art == Art::Kommentar && behalteKommentar(b)) out_.append(b);
            }
        }
        if (stilElement_ && endetStilElement(out_) && !endetStilElement(q_)) return Text(q_);
        return std::move(out_);
    }

    Art art(std::size_t k) const { return t_[sig_[k].t].art; }
    const Token& tok(std::size_t k) const { return t_[sig_[k].t]; }
    std::string_view text(std::size_t k) const {
        const Token& t = tok(k);
        return q_.substr(t.anfang, t.ende - t.anfang);
    }
    bool istDelim(std::size_t k, char c) const {
        return art(k) == Art::Delim && q_[tok(k).anfang] == c;
    }
    // Behind the token at k, a whole block when it opens one (up to `ende` when unclosed).
    std::size_t ueber(std::size_t k, std::size_t ende) const {
        if (istOeffner(art(k)))
            return sig_[k].partner == kKeiner ? ende
                                              : std::min<std::size_t>(sig_[k].partner + 1, ende);
        return k + 1;
    }
    bool schliesst(std::size_t k) const {
        return !istOeffner(art(k)) && sig_[k].partner != kKeiner;
    }
    // Where the block opened at k ends: at its closer, or at `ende` when unclosed.
    std::size_t blockEnde(std::size_t k, std::size_t ende) const {
        return sig_[k].partner == kKeiner ? ende : std::min<std::size_t>(sig_[k].partner, ende);
    }

    // --- Emitting --------------------------------------------------------------------------------

    // Whether the output, continued by `weiter` and then the source behind token `naechster`, would
    // read its last tokens differently: they would swallow bytes of what follows.
    bool verschmilzt(std::string_view trenner, std::string_view weiter, std::size_t naechster) {
        const std::size_t j = out_.size();
        const std::size_t hinten = j > 7 ? j - 7 : 0;
        if (trenner.empty()) {
            // The common joints, decided by their two bytes: no token runs on over a bracket,
            // ";", ",", ":" or a quote (but a name over "(" into a function), and two name
            // characters always join.
            const auto trennt = [](char c, bool rechts) {
                return c == ')' || c == '[' || c == ']' || c == '{' || c == '}' || c == ';' ||
                       c == ',' || c == ':' || c == '"' || c == '\'' || (c == '(' && !rechts);
            };
            const auto wort = [](char c) {
                return (kKlassen[static_cast<U8>(c)] & kName) != 0 && c != 0 &&
                       static_cast<U8>(c) < 0x80;
            };
            const char l = out_.back();
            const char r = weiter.front();
            const bool cdo = std::any_of(letzte_.begin(), letzte_.end(), [&](const Ausgabe& a) {
                return a.ende == j && a.art == Art::Cdo;
            });
            if (wort(l) && wort(r) && !cdo) return true;
            const bool html = stilElement_ && out_.find('<', hinten) != std::string::npos;
            if ((trennt(l, false) || trennt(r, true)) && !html) return false;
        } else if (out_.find('\\', hinten) == std::string::npos) {
            return false;  // only an escape takes the whitespace
        }
        std::size_t von = j;
        for (const Ausgabe& a : letzte_) {
            if (a.ende + 3 >= j && a.ende > 0) von = std::min<std::size_t>(von, a.anfang);
        }
        if (von == j) return false;
        probe_.assign(out_, von, j - von);
        probe_.append(trenner);
        probe_.append(weiter);
        const Token& n = t_[naechster];
        probe_.append(q_.substr(n.ende, std::min<std::size_t>(4, q_.size() - n.ende)));
        for (const Ausgabe& a : letzte_) {
            if (a.ende == 0 || a.ende + 3 < j || a.anfang < von) continue;
            const Token neu = naechstesToken(probe_, a.anfang - von);
            if (neu.ende != a.ende - von || neu.art != a.art) return true;
        }
        return trenner.empty() && stilElement_ && stilEndeUeberFuge(weiter);
    }

    // Whether "</style" would begin across the joint of the output and `weiter`: the bytes of the
    // joint spell it, or as much of it as they hold (the rest may follow in later tokens).
    bool stilEndeUeberFuge(std::string_view weiter) const {
        return ueberFuge(out_, weiter, "</style");
    }

    void merke(std::size_t anfang, Art art) {
        letzte_[naechsteStelle_] = {static_cast<std::uint32_t>(anfang),
                                    static_cast<std::uint32_t>(out_.size()), art};
        naechsteStelle_ = (naechsteStelle_ + 1) % letzte_.size();
    }

    // Emits the significant token k, preceded by what its gap needs. `vorFrei`: whitespace before
    // it is insignificant; `nachFrei`: whitespace after it is. `ersatz`: other bytes for it.
    void gib(std::size_t k, bool vorFrei, bool nachFrei, std::string_view ersatz = {}) {
        const std::size_t ti = sig_[k].t;
        bool leer = false;
        bool kommentar = false;
        std::size_t behalten = 0;
        for (std::size_t i = naechstesT_; i < ti; ++i) {
            const Art a = t_[i].art;
            if (a == Art::Leerraum) {
                leer = true;
            } else if (a == Art::Kommentar) {
                const Token& c = t_[i];
                if (behalteKommentar(q_.substr(c.anfang, c.ende - c.anfang))) {
                    ++behalten;
                } else {
                    kommentar = true;
                }
            }
        }
        const std::string_view bytes = ersatz.empty() ? text(k) : ersatz;
        const bool erstes = out_.empty() && bisByte_ == 0;
        const bool frei = erstes || nachFrei_ || vorFrei;
        if (behalten > 0) {
            if (leer && !frei) out_ += ' ';
            for (std::size_t i = naechstesT_; i < ti; ++i) {
                const Token& c = t_[i];
                if (c.art == Art::Kommentar &&
                    behalteKommentar(q_.substr(c.anfang, c.ende - c.anfang))) {
                    out_.append(q_.substr(c.anfang, c.ende - c.anfang));
                }
            }
            letzte_ = {};
        } else {
            std::string_view trenner;
            if (leer && !frei) {
                trenner = " ";
            } else if ((leer || kommentar) && !erstes && verschmilzt("", bytes, ti)) {
                trenner = leer ? " " : "/**/";
            }
            // A hex escape before takes one whitespace as its end: "\31 a" is one name.
            if (trenner == " " && !erstes && verschmilzt(trenner, bytes, ti)) {
                out_.append(" ");
                for (Ausgabe& a : letzte_) {
                    if (a.ende + 1 == out_.size()) ++a.ende;
                }
            }
            out_.append(trenner);
        }
        const std::size_t anfang = out_.size();
        out_.append(bytes);
        merke(anfang, tok(k).art);
        naechstesT_ = ti + 1;
        bisByte_ = tok(k).ende;
        nachFrei_ = nachFrei;
    }

    // The source from behind the last emitted token up to the significant token k (or the end of
    // what can be read), exactly as it stands.
    void gibRohBis(std::size_t k) {
        const std::size_t ti = k < sig_.size() ? sig_[k].t : grenze_;
        const std::size_t ende = ti < t_.size() ? t_[ti].anfang : q_.size();
        out_.append(q_.substr(bisByte_, ende - bisByte_));
        bisByte_ = ende;
        naechstesT_ = ti;
        letzte_ = {};
        nachFrei_ = false;
    }

    // --- The grammar -----------------------------------------------------------------------------

    // `oben`: the style sheet itself, where "<!--" and "-->" stand alone (elsewhere they begin
    // a rule's prelude).
    void regelListe(std::size_t k, std::size_t ende, bool inDeklarationen, bool oben = false) {
        while (k < ende) {
            const Art a = art(k);
            if (oben && (a == Art::Cdo || a == Art::Cdc)) {
                gib(k, true, true);
                ++k;
            } else if (a == Art::AtKeyword) {
                k = atRegel(k, ende, inDeklarationen);
            } else {
                k = qualifizierteRegel(k, ende);
            }
        }
    }

    std::size_t qualifizierteRegel(std::size_t k, std::size_t ende) {
        std::size_t j = k;
        while (j < ende && art(j) != Art::GeschweiftAuf) j = ueber(j, ende);
        selektor(k, j);
        if (j >= ende) return ende;
        return block(
            j, ende, [&](std::size_t a, std::size_t e) { deklarationsListe(a, e); }, true);
    }

    // Emits the block opened at k with `inhalt`, and its closer; returns what follows.
    template <typename Inhalt>
    std::size_t block(std::size_t k, std::size_t ende, Inhalt&& inhalt, bool bekannt) {
        gib(k, bekannt, bekannt);
        const std::size_t b = blockEnde(k, ende);
        inhalt(k + 1, b);
        if (b >= ende) return ende;
        gib(b, bekannt, true);
        return b + 1;
    }

    void selektor(std::size_t k, std::size_t ende) {
        int tiefe = 0;
        for (std::size_t i = k; i < ende; ++i) {
            const Art a = art(i);
            bool vor = false;
            bool nach = false;
            const bool kombinator = istDelim(i, '>') || istDelim(i, '+') || istDelim(i, '~');
            if (a == Art::Komma || (tiefe == 0 && kombinator)) {
                vor = nach = true;
            } else if (istOeffner(a)) {
                nach = true;
                ++tiefe;
            } else if (schliesst(i)) {
                vor = true;
                --tiefe;
            }
            gib(i, vor, nach);
        }
    }

    void unbekannt(std::size_t k, std::size_t ende) {
        for (std::size_t i = k; i < ende; ++i) gib(i, false, false);
    }

    void deklarationsListe(std::size_t k, std::size_t ende) {
        std::size_t semikolon = kKeiner;  // the first ";" behind the last declaration, not yet out
        const auto vorItem = [&] {
            if (semikolon != kKeiner) gib(semikolon, true, true);
            semikolon = kKeiner;
        };
        while (k < ende) {
            const Art a = art(k);
            if (a == Art::Semikolon) {
                ++k;
                continue;
            }
            vorItem();
            if (a == Art::AtKeyword) {
                k = atRegel(k, ende, true);
                continue;
            }
            const bool eigene = a == Art::Ident && text(k).starts_with("--") && k + 1 < ende &&
                                art(k + 1) == Art::Doppelpunkt;
            std::size_t j = k;
            while (j < ende && art(j) != Art::Semikolon &&
                   (eigene || art(j) != Art::GeschweiftAuf)) {
                j = ueber(j, ende);
            }
            const bool abgebrochen = j >= ende && abgeschnitten_ && ende == sig_.size();
            if (j < ende && art(j) == Art::GeschweiftAuf) {
                k = qualifizierteRegel(k, ende);
                continue;
            }
            if (eigene) {
                gib(k, false, false);
                gib(k + 1, true, false);
                gibRohBis(j);
            } else if (!abgebrochen && a == Art::Ident && k + 1 < j &&
                       art(k + 1) == Art::Doppelpunkt) {
                gib(k, false, false);
                gib(k + 1, true, true);
                wert(k + 2, j, klein(text(k)));
            } else {
                unbekannt(k, j);
            }
            if (j < ende) semikolon = j;
            k = j;
        }
        if (abgeschnitten_ && ende == sig_.size()) vorItem();
    }

    void wert(std::size_t k, std::size_t ende, const std::string& name) {
        if (name == "filter" || name == "-ms-filter") {
            unbekannt(k, ende);
            return;
        }
        for (std::size_t i = k; i < ende; ++i) {
            const Art a = art(i);
            if (a == Art::Funktion && gleichKlein(text(i), "expression(")) {
                // Script inside: its whitespace is not CSS's to judge.
                const std::size_t e = ueber(i, ende);
                unbekannt(i, e);
                i = e - 1;
                continue;
            }
            bool vor = false;
            bool nach = false;
            if (a == Art::Komma || istDelim(i, '/') || istDelim(i, '!')) {
                vor = nach = true;
            } else if (istOeffner(a)) {
                nach = true;
            } else if (schliesst(i)) {
                vor = true;
            }
            std::string_view ersatz;
            char kurz[4];
            const std::string_view h = text(i);
            if (a == Art::Hash && h.size() == 7 && std::all_of(h.begin() + 1, h.end(), istHex) &&
                h[1] == h[2] && h[3] == h[4] && h[5] == h[6]) {
                kurz[0] = '#';
                kurz[1] = h[1];
                kurz[2] = h[3];
                kurz[3] = h[5];
                ersatz = std::string_view(kurz, 4);
            }
            gib(i, vor, nach, ersatz);
        }
    }

    std::size_t atRegel(std::size_t k, std::size_t ende, bool inDeklarationen) {
        const AtArt at = atArt(klein(text(k).substr(1)));
        std::size_t j = k + 1;
        while (j < ende && art(j) != Art::Semikolon && art(j) != Art::GeschweiftAuf)
            j = ueber(j, ende);
        if (at == AtArt::Charset) {
            // Only the exact bytes @charset "..."; count.
            gib(k, false, false);
            if (j >= ende) {
                gibRohBis(j);
                return j;
            }
            out_.append(q_.substr(bisByte_, tok(j).ende - bisByte_));
            naechstesT_ = sig_[j].t + 1;
            bisByte_ = tok(j).ende;
            letzte_ = {};
            nachFrei_ = true;
            return j + 1;
        }
        const bool bekannt = at != AtArt::Unbekannt;
        gib(k, false, false);
        if (bekannt) {
            prelude(k + 1, j);
        } else {
            unbekannt(k + 1, j);
        }
        if (j >= ende) return ende;
        if (art(j) == Art::Semikolon) {
            gib(j, bekannt, true);
            return j + 1;
        }
        return block(
            j, ende,
            [&](std::size_t a, std::size_t e) {
                if (at == AtArt::Regeln && !inDeklarationen) {
                    regelListe(a, e, false);
                } else if (at == AtArt::Regeln || at == AtArt::Deklarationen) {
                    deklarationsListe(a, e);
                } else {
                    unbekannt(a, e);
                }
            },
            bekannt);
    }

    void prelude(std::size_t k, std::size_t ende) {
        std::vector<Art> offen;
        for (std::size_t i = k; i < ende; ++i) {
            const Art a = art(i);
            bool vor = false;
            bool nach = false;
            // "," and the ":" of a media feature, (min-width : 10px)
            if (a == Art::Komma ||
                (a == Art::Doppelpunkt && !offen.empty() && offen.back() == Art::RundAuf)) {
                vor = nach = true;
            } else if (istOeffner(a)) {
                nach = true;
                if (sig_[i].partner != kKeiner) offen.push_back(a);
            } else if (schliesst(i)) {
                vor = true;
                if (!offen.empty()) offen.pop_back();
            }
            gib(i, vor, nach);
        }
    }

    std::string_view q_;
    bool stilElement_;
    std::vector<Token> t_;
    std::size_t grenze_ = 0;  // the first token that cannot be read
    bool abgeschnitten_ = false;
    std::vector<Sig> sig_;
    Text out_;
    std::size_t naechstesT_ = 0;  // the first token not yet emitted
    std::size_t bisByte_ = 0;     // the source is emitted up to here
    bool nachFrei_ = false;
    std::array<Ausgabe, 3> letzte_{};
    std::size_t naechsteStelle_ = 0;
    std::string probe_;
};

}  // namespace

Text stilVerkleinern(std::string_view stil) {
    return Verkleinerer(stil, true).stil();
}

Text deklarationenVerkleinern(std::string_view roh) {
    if (roh.find('&') != std::string_view::npos) return Text(roh);
    return Verkleinerer(roh, false).deklarationen();
}

}  // namespace quintaro::css
