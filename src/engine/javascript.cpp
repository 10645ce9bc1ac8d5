// The tokenizer tells a regular expression from a division by the token before it, as a
// JavaScript tokenizer without a parser must: after ")" it knows whether the parenthesis belonged
// to if/while/for/with, after "}" whether the brace closed a block or an expression, and where
// it cannot know (a function body, a label, yield, "++"), it gives up rather than guess.
#include "engine/javascript.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string>

#include "engine/utf8.h"

namespace quintaro::js {

namespace {

using U8 = unsigned char;
constexpr std::size_t kFehler = std::numeric_limits<std::size_t>::max();
constexpr int kHoechsteTiefe = 200;  // template literals inside substitutions

constexpr std::uint8_t kNameStart = 1;  // ASCII: letters, "$", "_"
constexpr std::uint8_t kName = 2;       // and digits
constexpr std::uint8_t kZiffer = 4;
constexpr std::uint8_t kLeer = 8;  // space, tab, VT, FF
constexpr std::uint8_t kUmbruch = 16;
constexpr std::uint8_t kHex = 32;
constexpr auto kKlassen = [] {
    std::array<std::uint8_t, 256> k{};
    for (std::size_t c = 0; c < 128; ++c) {
        const bool buchstabe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (buchstabe || c == '$' || c == '_') k[c] |= kNameStart | kName;
        if (c >= '0' && c <= '9') k[c] |= kName | kZiffer | kHex;
        if ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')) k[c] |= kHex;
    }
    for (const char c : {' ', '\t', '\v', '\f'}) k[static_cast<U8>(c)] |= kLeer;
    for (const char c : {'\n', '\r'}) k[static_cast<U8>(c)] |= kUmbruch;
    return k;
}();

// What a byte from 0x80 up begins, in the page's encoding.
enum class Hoch : std::uint8_t { Name, Leer, Umbruch, Ungueltig };

// Where the parts of the lexer meet: the text, its encoding, and one token at a time. The state
// that decides "/" lives in Zerleger.
class Leser {
  public:
    Leser(std::string_view q, Kodierung k, bool modul) : q_(q), kodierung_(k), modul_(modul) {}

    std::size_t n() const { return q_.size(); }
    int an(std::size_t i) const { return i < q_.size() ? static_cast<U8>(q_[i]) : -1; }
    bool ist(std::size_t i, std::uint8_t k) const {
        return i < q_.size() && (kKlassen[static_cast<U8>(q_[i])] & k) != 0;
    }
    bool modul() const { return modul_; }
    Leser mitText(std::string_view t) const { return Leser(t, kodierung_, modul_); }

    Hoch hoch(std::size_t i, std::size_t& laenge) const {
        laenge = 1;
        switch (kodierung_) {
            case Kodierung::Cp1252:
                return static_cast<U8>(q_[i]) == 0xA0 ? Hoch::Leer : Hoch::Name;
            case Kodierung::Andere:
                return Hoch::Ungueltig;
            case Kodierung::Utf8:
                break;
        }
        const auto z = utf8::erstesZeichen(q_.substr(i, 4));
        if (!z) return Hoch::Ungueltig;
        laenge = z->laenge;
        const char32_t c = z->wert;
        if (c == 0x2028 || c == 0x2029) return Hoch::Umbruch;
        if (c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F ||
            c == 0x205F || c == 0x3000 || c == 0xFEFF) {
            return Hoch::Leer;
        }
        return Hoch::Name;
    }
    // The length of the line terminator at i, or 0.
    std::size_t umbruch(std::size_t i) const {
        const int c = an(i);
        if (c == '\n') return 1;
        if (c == '\r') return an(i + 1) == '\n' ? 2 : 1;
        if (c == 0xE2 && kodierung_ == Kodierung::Utf8 && an(i + 1) == 0x80 &&
            (an(i + 2) == 0xA8 || an(i + 2) == 0xA9)) {
            return 3;
        }
        return 0;
    }
    // The first line terminator from i, or the end.
    std::size_t zeilenEnde(std::size_t i) const {
        for (; i < n(); ++i) {
            const int c = an(i);
            if (c == '\n' || c == '\r' || (c == 0xE2 && umbruch(i) != 0)) return i;
        }
        return i;
    }

    // Behind the "\u" escape at i, or kFehler.
    std::size_t ueberUnicodeEscape(std::size_t i) const {
        if (an(i + 1) != 'u') return kFehler;
        i += 2;
        if (an(i) == '{') {
            const std::size_t a = ++i;
            while (ist(i, kHex)) ++i;
            return (i > a && an(i) == '}') ? i + 1 : kFehler;
        }
        for (int k = 0; k < 4; ++k, ++i) {
            if (!ist(i, kHex)) return kFehler;
        }
        return i;
    }
    // Whether a name starts at i.
    bool beginntName(std::size_t i) const {
        if (ist(i, kNameStart) || an(i) == '\\') return true;
        std::size_t l = 0;
        return an(i) >= 0x80 && hoch(i, l) == Hoch::Name;
    }
    // Behind the name parts from i; kFehler for a bad escape. `escape`: it held one.
    std::size_t ueberName(std::size_t i, bool& escape) const {
        for (;;) {
            if (ist(i, kName)) {
                ++i;
            } else if (an(i) == '\\') {
                escape = true;
                i = ueberUnicodeEscape(i);
                if (i == kFehler) return kFehler;
            } else if (an(i) >= 0x80) {
                std::size_t l = 0;
                const Hoch h = hoch(i, l);
                if (h == Hoch::Ungueltig) return kFehler;
                if (h != Hoch::Name) return i;
                i += l;
            } else {
                return i;
            }
        }
    }

    std::size_t zahl(std::size_t i) const {
        const auto ziffern = [&](std::size_t j, std::uint8_t klasse) {
            // Digits with single "_" between them.
            if (!ist(j, klasse)) return kFehler;
            while (ist(j, klasse) || (an(j) == '_' && ist(j + 1, klasse)))
                j += an(j) == '_' ? 2u : 1u;
            return j;
        };
        // The fraction and exponent behind the integer part; `ganz` stays true without them.
        const auto rest = [&](std::size_t j, bool& ganz) {
            if (an(j) == '.') {
                ganz = false;
                ++j;
                if (ist(j, kZiffer)) j = ziffern(j, kZiffer);
                if (j == kFehler) return kFehler;
            }
            if (an(j) == 'e' || an(j) == 'E') {
                ganz = false;
                std::size_t e = j + 1;
                if (an(e) == '+' || an(e) == '-') ++e;
                j = ziffern(e, kZiffer);
            }
            return j;
        };
        std::size_t j = i;
        bool ganz = true;  // may take the BigInt "n"
        const int c1 = an(i + 1);
        if (an(i) == '0' &&
            (c1 == 'x' || c1 == 'X' || c1 == 'o' || c1 == 'O' || c1 == 'b' || c1 == 'B')) {
            // Octal and binary digits are checked no further: a wrong one fails both versions.
            j = ziffern(i + 2, kHex);
        } else if (an(i) == '0' && ist(i + 1, kZiffer)) {
            // Legacy octal (no fraction), or decimal with a leading zero; never BigInt.
            bool oktal = true;
            for (j = i + 1; ist(j, kZiffer); ++j) oktal = oktal && an(j) < '8';
            bool egal = true;
            if (!oktal) j = rest(j, egal);
            ganz = false;
        } else {
            if (an(i) != '.') j = ziffern(i, kZiffer);
            if (j != kFehler) j = rest(j, ganz);
        }
        if (j == kFehler) return kFehler;
        if (ganz && an(j) == 'n') ++j;
        // Nothing that continues a name or number may follow a number.
        if (ist(j, kName) || an(j) == '\\' || beginntName(j)) return kFehler;
        return j;
    }

    std::size_t zeichenkette(std::size_t i) const {
        const int zu = an(i);
        for (++i;;) {
            const int c = an(i);
            if (c < 0 || c == '\n' || c == '\r') return kFehler;
            if (c == zu) return i + 1;
            if (c == '\\') {
                if (i + 1 >= n()) return kFehler;
                i += (an(i + 1) == '\r' && an(i + 2) == '\n') ? 3u : 2u;
                continue;
            }
            ++i;
        }
    }

    std::size_t regex(std::size_t i) const {
        bool klasse = false;
        for (++i;;) {
            const int c = an(i);
            if (c < 0 || umbruch(i) != 0) return kFehler;
            if (c == '\\') {
                if (i + 1 >= n() || umbruch(i + 1) != 0) return kFehler;
                i += 2;
                continue;
            }
            if (c == '[') klasse = true;
            if (c == ']') klasse = false;
            ++i;
            if (c == '/' && !klasse) break;
        }
        bool escape = false;
        const std::size_t e = ueberName(i, escape);
        return escape ? kFehler : e;
    }

    // The length of the punctuator at i (the longest one), or 0. "/" only as division.
    std::size_t satzzeichen(std::size_t i) const {
        const int c1 = an(i + 1);
        const int c2 = an(i + 2);
        // "x", "xx", "x=", "xx=" for the operators that double.
        const auto doppelt = [&](int c) -> std::size_t {
            if (c1 == c) return c2 == '=' ? 3 : 2;
            return c1 == '=' ? 2 : 1;
        };
        switch (an(i)) {
            case '{':
            case '}':
            case '(':
            case ')':
            case '[':
            case ']':
            case ';':
            case ',':
            case '~':
            case ':':
                return 1;
            case '.':
                return c1 == '.' && c2 == '.' ? 3 : 1;
            case '?':
                if (c1 == '?') return c2 == '=' ? 3 : 2;
                return c1 == '.' && !ist(i + 2, kZiffer) ? 2 : 1;
            case '=':
                if (c1 == '>') return 2;
                [[fallthrough]];
            case '!':
                if (c1 == '=') return c2 == '=' ? 3 : 2;
                return 1;
            case '<':
            case '*':
            case '&':
            case '|':
                return doppelt(an(i));
            case '>':
                if (c1 == '>' && c2 == '>') return an(i + 3) == '=' ? 4 : 3;
                return doppelt('>');
            case '+':
            case '-':
                return c1 == an(i) || c1 == '=' ? 2 : 1;
            case '/':
            case '%':
            case '^':
                return c1 == '=' ? 2 : 1;
            default:
                return 0;
        }
    }

    // The token at i that does not depend on the tokens before it beyond `kontext`: names,
    // numbers, strings, punctuators, comments and (when allowed) regular expressions. Templates
    // are Zerleger's. art == Leerraum with ende == kFehler: it cannot be read.
    struct Roh {
        std::size_t ende;
        Art art;
    };
    Roh lies(std::size_t i, std::uint8_t kontext) const {
        const int c = an(i);
        const auto fehler = Roh{kFehler, Art::Leerraum};
        if (ist(i, kNameStart) || c == '\\' || (c == '#' && beginntName(i + 1))) {
            bool escape = false;
            const std::size_t e = ueberName(c == '#' ? i + 1 : i, escape);
            return e == kFehler ? fehler : Roh{e, Art::Name};
        }
        if (c >= 0x80) {
            std::size_t l = 0;
            switch (hoch(i, l)) {
                case Hoch::Name: {
                    bool escape = false;
                    const std::size_t e = ueberName(i, escape);
                    return e == kFehler ? fehler : Roh{e, Art::Name};
                }
                case Hoch::Leer: {
                    std::size_t e = i + l;
                    while (e < n()) {
                        if (ist(e, kLeer)) {
                            ++e;
                        } else if (an(e) >= 0x80 && hoch(e, l) == Hoch::Leer) {
                            e += l;
                        } else {
                            break;
                        }
                    }
                    return {e, Art::Leerraum};
                }
                case Hoch::Umbruch:
                    return {i + l, Art::Umbruch};
                case Hoch::Ungueltig:
                    return fehler;
            }
        }
        if (ist(i, kLeer)) {
            std::size_t e = i + 1;
            while (ist(e, kLeer)) ++e;
            return {e, Art::Leerraum};
        }
        if (const std::size_t u = umbruch(i)) return {i + u, Art::Umbruch};
        if (ist(i, kZiffer) || (c == '.' && ist(i + 1, kZiffer))) {
            const std::size_t e = zahl(i);
            return e == kFehler ? fehler : Roh{e, Art::Zahl};
        }
        if (c == '"' || c == '\'') {
            const std::size_t e = zeichenkette(i);
            return e == kFehler ? fehler : Roh{e, Art::Zeichenkette};
        }
        if (c == '/') {
            if (an(i + 1) == '/') return {zeilenEnde(i + 2), Art::Zeilenkommentar};
            if (an(i + 1) == '*') {
                const std::size_t zu = q_.find("*/", i + 2);
                return zu == std::string_view::npos ? fehler : Roh{zu + 2, Art::Kommentar};
            }
            if ((kontext & kRegexErlaubt) != 0) {
                const std::size_t e = regex(i);
                return e == kFehler ? fehler : Roh{e, Art::Regex};
            }
        }
        if (!modul_) {
            if (c == '<' && q_.substr(i, 4) == "<!--")
                return {zeilenEnde(i + 4), Art::HtmlKommentar};
            if (c == '-' && (kontext & kZeilenanfang) != 0 && q_.substr(i, 3) == "-->") {
                return {zeilenEnde(i + 3), Art::HtmlKommentar};
            }
        }
        if (const std::size_t s = satzzeichen(i)) return {i + s, Art::Satzzeichen};
        return fehler;
    }

  private:
    std::string_view q_;
    Kodierung kodierung_;
    bool modul_;
};

// What the token before says about a "/" (and a "{") after it.
enum class Vorher : std::uint8_t {
    Anfang,       // the script's start: a statement
    Ausdruck,     // the start of a template substitution: an expression
    Ende,         // a name, literal, "]" or ")" of a call: division, "{" unknown
    Operator,     // a punctuator that asks for an expression
    Auf,          // "{"
    Anweisung,    // ";" outside parentheses, or a keyword before a block (else, do, try, finally)
    RundZu,       // ")" of if/while/for/with/switch/catch
    PlusPlus,     // "++" or "--": postfix or prefix, cannot tell
    Doppelpunkt,  // label, case, property or conditional: cannot tell for "{"
    Pfeil,        // "=>"
    Unklar,       // yield, await, of, break, continue, a name with an escape: cannot tell
    ZuBlock,      // "}" of a block statement: a statement follows
    ZuAusdruck,   // "}" of an object literal
    ZuUnklar,     // "}" of a function or class body, or of an unknown brace
    SchluesselRegex,  // typeof, in, return ...: an expression follows
};

enum class Inhalt : std::uint8_t { Anweisungen, Objekt, Unbekannt };

struct Klammer {
    char art;                           // '(', '[' or '{'
    bool bedingung = false;             // "(" of if/while/for/with/switch/catch
    Inhalt inhalt = Inhalt::Unbekannt;  // of a "{"
    Vorher danach = Vorher::ZuUnklar;   // what its "}" leaves
};

bool istWort(std::string_view w, std::initializer_list<std::string_view> liste) {
    return std::find(liste.begin(), liste.end(), w) != liste.end();
}

class Zerleger {
  public:
    Zerleger(std::string_view q, Kodierung k, bool modul) : q_(q), l_(q, k, modul) {}

    Zerlegung alles() {
        Zerlegung z;
        if (q_.size() > std::numeric_limits<std::uint32_t>::max()) {
            z.fehler = Fehler::ZuGross;
            return z;
        }
        reservieren(z.tokens, q_.size() / 2 + 4);
        const std::size_t e = folge(0, Vorher::Anfang, false, 0, &z.tokens);
        if (fehler_ != Fehler::Keiner || e == kFehler) {
            z.fehler = fehler_ == Fehler::Keiner ? Fehler::Zeichen : fehler_;
            z.stelle = stelle_;
        }
        return z;
    }

  private:
    std::size_t scheitern(Fehler f, std::size_t i) {
        if (fehler_ == Fehler::Keiner) {
            fehler_ = f;
            stelle_ = i;
        }
        return kFehler;
    }

    // Tokens from i: the whole script, or (`substitution`) up to the "}" that closes a template's
    // "${", whose end it returns. `tokens` collects them when given.
    std::size_t folge(std::size_t i, Vorher start, bool substitution, int tiefe,
                      std::vector<Token>* tokens) {
        std::vector<Klammer> offen;
        Vorher vorher = start;
        std::string_view wort;       // the token before, if it was a name that may be a keyword
        std::string_view wortDavor;  // the one before that ("for await (")
        bool nachPunkt = false;      // a name now is a property
        bool umbruchSeither = false;
        bool zeilenanfang = !substitution;
        const std::size_t n = q_.size();
        while (i < n) {
            std::uint8_t kontext = zeilenanfang ? kZeilenanfang : 0;
            if (q_[i] == '/' && l_.an(i + 1) != '/' && l_.an(i + 1) != '*') {
                switch (vorher) {
                    case Vorher::Ende:
                    case Vorher::ZuAusdruck:
                        break;
                    case Vorher::PlusPlus:
                    case Vorher::Unklar:
                    case Vorher::ZuUnklar:
                        return scheitern(Fehler::Mehrdeutig, i);
                    default:
                        kontext |= kRegexErlaubt;
                }
            }
            Art art;
            std::size_t ende;
            if (q_[i] == '`') {
                ende = vorlage(i, tiefe);
                if (ende == kFehler) return kFehler;
                art = Art::Vorlage;
            } else {
                const Leser::Roh r = l_.lies(i, kontext);
                if (r.ende == kFehler) {
                    const char c = q_[i];
                    const Fehler f = c == '"' || c == '\'' ? Fehler::OffeneZeichenkette
                                     : c == '/' && q_.substr(i, 2) == "/*"
                                         ? Fehler::OffenerKommentar
                                     : c == '/' ? Fehler::OffenerRegex
                                                : Fehler::Zeichen;
                    return scheitern(f, i);
                }
                art = r.art;
                ende = r.ende;
            }
            if (tokens != nullptr) {
                tokens->push_back({static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(ende),
                                   art, kontext});
            }
            const std::string_view text = q_.substr(i, ende - i);
            const std::size_t anfang = i;
            i = ende;
            switch (art) {
                case Art::Leerraum:
                case Art::Zeilenkommentar:
                case Art::HtmlKommentar:
                    continue;
                case Art::Umbruch:
                    zeilenanfang = umbruchSeither = true;
                    continue;
                case Art::Kommentar:
                    for (std::size_t k = anfang; k < ende; ++k) {
                        if (l_.umbruch(k) != 0) zeilenanfang = umbruchSeither = true;
                    }
                    continue;
                default:
                    break;
            }
            const std::string_view letztesWort = wort;
            const std::string_view vorletztesWort = wortDavor;
            wortDavor = wort;
            wort = {};
            const bool eigenschaft = nachPunkt;
            nachPunkt = false;
            const bool umbruch = umbruchSeither;
            zeilenanfang = umbruchSeither = false;
            if (art == Art::Name) {
                if (eigenschaft || text[0] == '#') {
                    vorher = Vorher::Ende;
                } else if (text.find('\\') != std::string_view::npos) {
                    vorher = Vorher::Unklar;
                } else {
                    wort = text;
                    vorher = nachWort(text);
                }
                continue;
            }
            if (art != Art::Satzzeichen) {
                vorher = Vorher::Ende;
                continue;
            }
            const char c = text[0];
            if (text.size() == 1 && (c == '(' || c == '[' || c == '{')) {
                Klammer k{c};
                if (c == '(') {
                    k.bedingung =
                        istWort(letztesWort, {"if", "while", "for", "with", "switch", "catch"}) ||
                        (letztesWort == "await" && vorletztesWort == "for");
                } else if (c == '{') {
                    oeffneGeschweift(k, vorher, letztesWort, umbruch, offen);
                }
                offen.push_back(k);
                vorher = c == '{' ? Vorher::Auf : Vorher::Operator;
                continue;
            }
            if (text.size() == 1 && (c == ')' || c == ']' || c == '}')) {
                if (offen.empty()) {
                    if (c == '}' && substitution) return i;
                    return scheitern(Fehler::Klammern, anfang);
                }
                const Klammer k = offen.back();
                if ((c == ')' && k.art != '(') || (c == ']' && k.art != '[') ||
                    (c == '}' && k.art != '{')) {
                    return scheitern(Fehler::Klammern, anfang);
                }
                offen.pop_back();
                vorher = c == ']'   ? Vorher::Ende
                         : c == ')' ? (k.bedingung ? Vorher::RundZu : Vorher::Ende)
                                    : k.danach;
                continue;
            }
            if (text == "." || text == "?.") {
                nachPunkt = true;
                vorher = Vorher::Operator;
            } else if (text == "++" || text == "--") {
                vorher = Vorher::PlusPlus;
            } else if (text == ";") {
                vorher = !offen.empty() && offen.back().art == '(' ? Vorher::Operator
                                                                   : Vorher::Anweisung;
            } else if (text == ":") {
                vorher = Vorher::Doppelpunkt;
            } else if (text == "=>") {
                vorher = Vorher::Pfeil;
            } else {
                vorher = Vorher::Operator;
            }
        }
        if (substitution) return scheitern(Fehler::OffeneVorlage, i);
        return i;
    }

    // What a name says about what follows; compared only with the keywords of its length.
    static Vorher nachWort(std::string_view w) {
        using L = std::initializer_list<std::string_view>;
        const auto ist = [&](L liste) {
            return std::find(liste.begin(), liste.end(), w) != liste.end();
        };
        constexpr Vorher R = Vorher::SchluesselRegex;
        constexpr Vorher A = Vorher::Anweisung;
        constexpr Vorher U = Vorher::Unklar;
        switch (w.size()) {
            case 2:
                return w == "in" ? R : w == "do" ? A : ist({"of", "if"}) ? U : Vorher::Ende;
            case 3:
                return w == "new" ? R : w == "try" ? A : ist({"for", "var"}) ? U : Vorher::Ende;
            case 4:
                return ist({"void", "case"}) ? R : w == "else" ? A : w == "with" ? U : Vorher::Ende;
            case 5:
                return w == "throw" ? R
                       : ist({"yield", "await", "break", "while", "catch", "class", "const"})
                           ? U
                           : Vorher::Ende;
            case 6:
                return ist({"return", "typeof", "delete"})   ? R
                       : ist({"switch", "import", "export"}) ? U
                                                             : Vorher::Ende;
            case 7:
                return ist({"extends", "default"}) ? R : w == "finally" ? A : Vorher::Ende;
            case 8:
                return ist({"continue", "debugger", "function"}) ? U : Vorher::Ende;
            case 10:
                return w == "instanceof" ? R : Vorher::Ende;
            default:
                return Vorher::Ende;
        }
    }

    // What a "{" after `vorher` holds and what its "}" leaves.
    static void oeffneGeschweift(Klammer& k, Vorher vorher, std::string_view wort, bool umbruch,
                                 const std::vector<Klammer>& offen) {
        const auto block = [&] {
            k.inhalt = Inhalt::Anweisungen;
            k.danach = Vorher::ZuBlock;
        };
        const auto objekt = [&] {
            k.inhalt = Inhalt::Objekt;
            k.danach = Vorher::ZuAusdruck;
        };
        switch (vorher) {
            case Vorher::Anfang:
            case Vorher::Anweisung:
            case Vorher::ZuBlock:
            case Vorher::RundZu:
                block();
                return;
            case Vorher::Ausdruck:
                objekt();
                return;
            case Vorher::Auf:
                // "{" after "{": a block where the outer one holds statements.
                if (!offen.empty() && offen.back().inhalt == Inhalt::Anweisungen) block();
                return;
            case Vorher::Operator:
                objekt();
                return;
            case Vorher::SchluesselRegex:
                if (wort == "return" && umbruch) {
                    block();
                } else {
                    objekt();
                }
                return;
            case Vorher::Pfeil:
            case Vorher::Ende:
                // A function body (after ")" of parameters or "=>"): statements inside, but
                // whether the function was an expression cannot be told.
                k.inhalt = Inhalt::Anweisungen;
                k.danach = Vorher::ZuUnklar;
                return;
            default:
                return;  // unknown inside and after
        }
    }

    // Behind the template literal at i, its substitutions read as code.
    std::size_t vorlage(std::size_t i, int tiefe) {
        if (tiefe >= kHoechsteTiefe) return scheitern(Fehler::ZuTief, i);
        const std::size_t anfang = i;
        for (++i;;) {
            const int c = l_.an(i);
            if (c < 0) return scheitern(Fehler::OffeneVorlage, anfang);
            if (c == '`') return i + 1;
            if (c == '\\') {
                i += 2;
                continue;
            }
            if (c == '$' && l_.an(i + 1) == '{') {
                i = folge(i + 2, Vorher::Ausdruck, true, tiefe + 1, nullptr);
                if (i == kFehler) return kFehler;
                continue;
            }
            ++i;
        }
    }

    std::string_view q_;
    Leser l_;
    Fehler fehler_ = Fehler::Keiner;
    std::size_t stelle_ = 0;
};

// --- The minifier
// ----------------------------------------------------------------------------------

// The script data states of HTML: whether `t` inside <script> ... </script> would end the element
// before its end, or leave the final "</script>" without effect (a double escape still open).
bool passtInsSkriptElement(std::string_view t) {
    enum { Daten, Maskiert, Doppelt } zustand = Daten;
    const auto wortAn = [&](std::size_t i, std::string_view w) {  // w lower case, then a delimiter
        if (i + w.size() >= t.size() || !gleichKleinAn(t, i, w)) return false;
        const char d = t[i + w.size()];
        return d == ' ' || d == '\t' || d == '\n' || d == '\r' || d == '\f' || d == '/' || d == '>';
    };
    int striche = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        if (zustand == Daten) {
            i = t.find('<', i);
            if (i == std::string_view::npos) break;
            if (wortAn(i + 1, "/script")) return false;
            if (t.substr(i + 1, 3) == "!--") {
                zustand = Maskiert;
                striche = 2;
                i += 3;
            }
            continue;
        }
        if (c == '-') {
            if (striche < 2) ++striche;
            continue;
        }
        if (c == '>' && striche == 2) {
            zustand = Daten;
        } else if (c == '<') {
            if (zustand == Maskiert && wortAn(i + 1, "/script")) return false;
            if (zustand == Maskiert && wortAn(i + 1, "script")) zustand = Doppelt;
            if (zustand == Doppelt && wortAn(i + 1, "/script")) zustand = Maskiert;
        }
        striche = 0;
    }
    return zustand != Doppelt;
}

bool behalteKommentar(std::string_view k) {
    if (k.find("<![CDATA[") != std::string_view::npos || k.find("]]>") != std::string_view::npos) {
        return true;
    }
    return k.size() > 2 && k[2] == '@';  // /*@cc_on ... @*/, //@cc_on
}

class Verkleinerer {
  public:
    Verkleinerer(std::string_view q, Kodierung k, bool modul) : q_(q), l_(q, k, modul) {}

    Text los(const std::vector<Token>& tokens) {
        reservieren(out_, q_.size());
        bool umbruch = false;
        bool luecke = false;
        for (const Token& t : tokens) {
            const std::string_view text = q_.substr(t.anfang, t.ende - t.anfang);
            switch (t.art) {
                case Art::Leerraum:
                    luecke = true;
                    continue;
                case Art::Umbruch:
                    umbruch = true;
                    continue;
                case Art::Kommentar:
                case Art::Zeilenkommentar:
                    if (!behalteKommentar(text)) {
                        luecke = true;
                        for (std::size_t k = t.anfang; k < t.ende && !umbruch; ++k)
                            umbruch = l_.umbruch(k) != 0;
                        continue;
                    }
                    break;
                default:
                    break;
            }
            if (!out_.empty()) {
                if (umbruch) {
                    out_ += '\n';
                    letzte_ = {};
                } else if (luecke && verschmilzt(text, t.ende)) {
                    out_ += ' ';
                }
            }
            umbruch = luecke = false;
            const std::size_t anfang = out_.size();
            out_.append(text);
            letzte_[stelle_] = {static_cast<std::uint32_t>(anfang),
                                static_cast<std::uint32_t>(out_.size()), t.art, t.kontext};
            stelle_ = (stelle_ + 1) % letzte_.size();
        }
        return std::move(out_);
    }

  private:
    // Whether the output continued by `weiter` (and the source behind it) reads its last tokens
    // differently, or spells across the joint what HTML reads inside a script element.
    bool verschmilzt(std::string_view weiter, std::size_t quelleDanach) {
        const std::size_t j = out_.size();
        // The common joints, decided by their two bytes: no token runs on over a bracket, ";",
        // ",", ":" or a quote, and two name characters always join.
        const auto trennt = [](char c) {
            return c == '(' || c == ')' || c == '[' || c == ']' || c == '{' || c == '}' ||
                   c == ';' || c == ',' || c == ':' || c == '"' || c == '\'' || c == '`';
        };
        const auto wort = [](char c) { return (kKlassen[static_cast<U8>(c)] & kName) != 0; };
        const char links = out_.back();
        const char rechts = weiter.front();
        if (wort(links) && wort(rechts)) return true;
        if ((trennt(links) || trennt(rechts)) && !htmlMoeglich()) return false;
        std::size_t von = j;
        const auto zuPruefen = [&](const Token& a) {
            return a.ende > 0 && a.ende + 3 >= j &&
                   (a.art == Art::Name || a.art == Art::Zahl || a.art == Art::Regex ||
                    a.art == Art::Satzzeichen);
        };
        for (const Token& a : letzte_) {
            if (zuPruefen(a)) von = std::min<std::size_t>(von, a.anfang);
        }
        if (von < j) {
            probe_.assign(out_, von, j - von);
            probe_.append(weiter);
            probe_.append(
                q_.substr(quelleDanach, std::min<std::size_t>(4, q_.size() - quelleDanach)));
            const Leser l = l_.mitText(probe_);
            for (const Token& a : letzte_) {
                if (!zuPruefen(a)) continue;
                const Leser::Roh r = l.lies(a.anfang - von, a.kontext);
                if (r.ende != a.ende - von || r.art != a.art) return true;
            }
        }
        return htmlUeberFuge(weiter);
    }

    // Whether the output's last bytes hold a "<" or "-" that could begin what HTML reads.
    bool htmlMoeglich() const {
        for (std::size_t i = out_.size() > 7 ? out_.size() - 7 : 0; i < out_.size(); ++i) {
            if (out_[i] == '<' || out_[i] == '-') return true;
        }
        return false;
    }

    // Whether "</script", "<script", "<!--" or "-->" would begin across the joint: the joint's
    // bytes spell it, or as much of it as they hold.
    bool htmlUeberFuge(std::string_view weiter) const {
        if (!htmlMoeglich()) return false;
        constexpr std::string_view kMuster[] = {"</script", "<script", "<!--", "-->"};
        return std::any_of(std::begin(kMuster), std::end(kMuster),
                           [&](std::string_view m) { return ueberFuge(out_, weiter, m); });
    }

    std::string_view q_;
    Leser l_;
    Text out_;
    std::array<Token, 3> letzte_{};
    std::size_t stelle_ = 0;
    std::string probe_;
};

}  // namespace

Zerlegung zerlege(std::string_view quelle, Kodierung kodierung, bool modul) {
    return Zerleger(quelle, kodierung, modul).alles();
}

Text skriptVerkleinern(std::string_view quelle, Kodierung kodierung, bool modul) {
    const Zerlegung z = zerlege(quelle, kodierung, modul);
    if (z.fehler != Fehler::Keiner) return Text(quelle);
    Text out = Verkleinerer(quelle, kodierung, modul).los(z.tokens);
    if (!passtInsSkriptElement(out)) return Text(quelle);
    return out;
}

}  // namespace quintaro::js
