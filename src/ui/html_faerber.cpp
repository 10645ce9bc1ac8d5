#include "ui/html_faerber.h"

#include <Qsci/qscilexerhtml.h>
#include <Qsci/qsciscintilla.h>
#include <QColor>

#include <algorithm>
#include <iterator>
#include <string>
#include <unordered_set>

#include "engine/html_tokenizer.h"
#include "engine/text.h"
#include "engine/utf8.h"

namespace quintaro::ui {

namespace {

using Farbe = HtmlFaerber::Farbe;

// Runs shorter than this come from QScintilla's position cache.
constexpr std::size_t kKurzerLauf = 29;

using html::istLeerraum;
bool istZiffer(char c) {
    return c >= '0' && c <= '9';
}
bool istFolgebyte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}
bool istNamenszeichen(char c) {
    return istAsciiBuchstabe(c) || istZiffer(c) || c == '-' || c == '_' || c == ':' || c == '.';
}
bool istSkriptwortzeichen(char c) {
    return istAsciiBuchstabe(c) || istZiffer(c) || c == '_' || c == '$' ||
           static_cast<unsigned char>(c) >= 0x80;
}

std::unordered_set<std::string> woerter(const char* liste) {
    std::unordered_set<std::string> menge;
    const std::string_view alle(liste != nullptr ? liste : "");
    std::size_t p = 0;
    while (p < alle.size()) {
        const std::size_t e = std::min(alle.find(' ', p), alle.size());
        if (e > p) menge.emplace(alle.substr(p, e - p));
        p = e + 1;
    }
    return menge;
}

// The tag and attribute names and the script keywords QScintilla's HTML lexer knows.
const std::unordered_set<std::string>& htmlNamen() {
    static const std::unordered_set<std::string> namen = woerter(QsciLexerHTML().keywords(1));
    return namen;
}
const std::unordered_set<std::string>& skriptSchluesselwoerter() {
    static const std::unordered_set<std::string> namen = woerter(QsciLexerHTML().keywords(2));
    return namen;
}

bool bekannterName(std::string_view name) {
    return htmlNamen().contains(kleinAsciiText(name));
}

// Position of `muster` (which starts with '<') in `text` from `ab` on, letters of either case;
// the text's size if absent.
std::size_t findeOhneFall(std::string_view text, std::string_view muster, std::size_t ab) {
    while (ab < text.size()) {
        const std::size_t p = text.find('<', ab);
        if (p == std::string_view::npos || text.size() - p < muster.size()) break;
        if (gleichKlein(text.substr(p, muster.size()), muster)) return p;
        ab = p + 1;
    }
    return text.size();
}

std::size_t findeOderEnde(std::string_view text, std::string_view muster, std::size_t ab,
                          std::size_t zusatz) {
    const std::size_t p = text.find(muster, ab);
    return p == std::string_view::npos ? text.size() : p + zusatz;
}

class Faerbung {
  public:
    Faerbung(std::string_view text, std::size_t von, std::string& stile)
        : t_(text), pos_(von), stile_(stile) {}

    std::size_t pos() const { return pos_; }
    // A tag starts: its runs begin with the plain style, so that colouring can resume there.
    void neu() { zwilling_ = false; }

    // One run of `laenge` bytes, with the whitespace behind it while the run stays short (unless
    // a script with its own background follows).
    void lauf(std::size_t laenge, Farbe farbe, bool mitLeerraum = true) {
        std::size_t ende = pos_ + laenge;
        while (mitLeerraum && ende < t_.size() && ende - pos_ < kKurzerLauf &&
               istLeerraum(t_[ende]))
            ++ende;
        const auto stil = static_cast<char>(farbe + (zwilling_ ? HtmlFaerber::kZwilling : 0));
        stile_.append(ende - pos_, stil);
        zwilling_ = !zwilling_;
        pos_ = ende;
    }

    // The bytes up to `ende` as runs of one word, or of kStueck bytes of a longer word.
    void woerter(std::size_t ende, Farbe farbe, bool mitLeerraum = true) {
        ende = std::min(ende, t_.size());
        while (pos_ < ende) {
            std::size_t e = pos_;
            while (e < ende && !istLeerraum(t_[e]) && e - pos_ < HtmlFaerber::kStueck) ++e;
            lauf(zeichengrenze(e, ende) - pos_, farbe, mitLeerraum || e == pos_);
        }
    }

    // `e`, or the start of the character it would cut.
    std::size_t zeichengrenze(std::size_t e, std::size_t ende) const {
        if (e >= ende) return e;
        std::size_t g = e;
        while (g > pos_ + 1 && istFolgebyte(t_[g])) --g;
        return istFolgebyte(t_[g]) ? e : g;
    }

  private:
    std::string_view t_;
    std::size_t pos_;
    std::string& stile_;
    bool zwilling_ = false;
};

void sgml(Faerbung& f, std::string_view t, std::size_t ende) {
    std::size_t e = f.pos() + 2;
    while (e < ende && istNamenszeichen(t[e])) ++e;
    f.lauf(e - f.pos(), Farbe::SgmlBefehl);
    while (f.pos() < ende) {
        const std::size_t p = f.pos();
        if (istLeerraum(t[p])) {
            f.lauf(0, Farbe::SgmlText);
        } else if (t[p] == '"' || t[p] == '\'') {
            f.woerter(std::min(findeOderEnde(t, t.substr(p, 1), p + 1, 1), ende),
                      Farbe::SgmlZeichenkette);
        } else if (istNamenszeichen(t[p])) {
            e = p;
            while (e < ende && istNamenszeichen(t[e])) ++e;
            const std::string_view wort = t.substr(p, e - p);
            const bool befehl = gleichKlein(wort, "public") || gleichKlein(wort, "system");
            f.woerter(e, befehl ? Farbe::SgmlBefehl : Farbe::SgmlParameter);
        } else {
            f.lauf(utf8::zeichenlaenge(t.substr(p)), Farbe::SgmlText);
        }
    }
}

void skript(Faerbung& f, std::string_view t, std::size_t ende) {
    const std::string_view region = t.substr(0, ende);
    while (f.pos() < ende) {
        const std::size_t p = f.pos();
        const char c = t[p];
        const char n = p + 1 < ende ? t[p + 1] : '\0';
        std::size_t e = p + 1;
        if (istLeerraum(c)) {
            f.lauf(0, Farbe::SkriptText);
        } else if (c == '/' && n == '/') {
            f.woerter(std::min(region.find_first_of("\r\n", p), ende), Farbe::SkriptKommentar);
        } else if (c == '<' && region.substr(p, 4) == "<!--") {
            // Old pages hide their scripts in a comment; the HTML lexer shows it as one.
            f.woerter(findeOderEnde(region, "-->", p + 4, 3), Farbe::SkriptKommentar);
        } else if (c == '/' && n == '*') {
            f.woerter(findeOderEnde(region, "*/", p + 2, 2), Farbe::SkriptKommentar);
        } else if (c == '"' || c == '\'' || c == '`') {
            while (e < ende && t[e] != c && (c == '`' || (t[e] != '\n' && t[e] != '\r'))) {
                e += t[e] == '\\' ? 2U : 1U;
            }
            f.woerter(std::min(e + 1, ende), Farbe::SkriptZeichenkette);
        } else if (istZiffer(c)) {
            while (e < ende && (istSkriptwortzeichen(t[e]) || t[e] == '.')) ++e;
            f.woerter(e, Farbe::SkriptZahl);
        } else if (istSkriptwortzeichen(c)) {
            while (e < ende && istSkriptwortzeichen(t[e])) ++e;
            const bool schluessel =
                skriptSchluesselwoerter().contains(std::string(t.substr(p, e - p)));
            f.woerter(e, schluessel ? Farbe::SkriptSchluesselwort : Farbe::SkriptWort);
        } else {
            while (e < ende && e - p < HtmlFaerber::kStueck && !istLeerraum(t[e]) &&
                   !istSkriptwortzeichen(t[e]) && t[e] != '"' && t[e] != '\'' && t[e] != '`' &&
                   t[e] != '/') {
                ++e;
            }
            f.lauf(e - p, Farbe::SkriptText);
        }
    }
}

}  // namespace

std::size_t HtmlFaerber::faerben(std::string_view t, std::size_t von, std::size_t bis,
                                 std::size_t frei,
                                 const std::function<int(std::size_t)>& stilVorher,
                                 std::string& stile) {
    enum class Zustand { Text, Tag, Skript };
    Zustand zustand = Zustand::Text;
    bool nachGleich = false;
    bool skriptFolgt = false;
    const std::size_t n = t.size();
    bis = std::min(bis, n);
    Faerbung f(t, von, stile);
    while (f.pos() < bis) {
        const std::size_t p = f.pos();
        const char c = t[p];
        const char naechstes = p + 1 < n ? t[p + 1] : '\0';
        std::size_t e = p + 1;
        switch (zustand) {
            case Zustand::Text:
                if (c == '<' && t.substr(p, 4) == "<!--") {
                    f.woerter(findeOderEnde(t, "-->", p + 4, 3), Kommentar);
                    continue;
                }
                if (c == '<' && naechstes == '!') {
                    sgml(f, t, findeOderEnde(t, ">", p, 1));
                    continue;
                }
                if (c == '<' && naechstes == '?') {
                    f.woerter(findeOderEnde(t, "?>", p, 2), XmlStart);
                    continue;
                }
                if (c == '<') {
                    const std::size_t name = naechstes == '/' ? p + 2 : p + 1;
                    if (name < n && istAsciiBuchstabe(t[name])) {
                        e = name;
                        while (e < n && istNamenszeichen(t[e])) ++e;
                        const std::string_view tag = t.substr(name, e - name);
                        const Farbe farbe = bekannterName(tag) ? Tag : UnbekannterTag;
                        if (p > von && p >= frei && stilVorher(p) == farbe) return p;
                        f.neu();
                        f.woerter(e, farbe);
                        if (farbe == UnbekannterTag) {
                            f.woerter(findeOderEnde(t, ">", e, 1), UnbekannterTagRest);
                            continue;
                        }
                        skriptFolgt = naechstes != '/' && gleichKlein(tag, "script");
                        nachGleich = false;
                        zustand = Zustand::Tag;
                        continue;
                    }
                }
                if (istLeerraum(c)) {
                    f.lauf(0, Text);
                    continue;
                }
                if (c == '&') {
                    while (e < n && e - p < kStueck &&
                           (istAsciiBuchstabe(t[e]) || istZiffer(t[e]) ||
                            (e == p + 1 && t[e] == '#'))) {
                        ++e;
                    }
                    if (e > p + 1 && e < n && t[e] == ';') {
                        f.lauf(e + 1 - p, Entitaet);
                        continue;
                    }
                    e = p + 1;
                }
                while (e < n && e - p < kStueck && !istLeerraum(t[e]) && t[e] != '<' &&
                       t[e] != '&') {
                    ++e;
                }
                f.lauf(f.zeichengrenze(e, n) - p, Text);
                continue;
            case Zustand::Tag:
                if (c == '>' || (c == '/' && naechstes == '>')) {
                    const bool skript = c == '>' && skriptFolgt;
                    f.lauf(c == '>' ? 1 : 2, Tag, !skript);
                    zustand = skript ? Zustand::Skript : Zustand::Text;
                } else if (c == '"' || c == '\'') {
                    f.woerter(findeOderEnde(t, t.substr(p, 1), p + 1, 1),
                              c == '"' ? DoppeltZitiert : EinfachZitiert);
                    nachGleich = false;
                } else if (c == '=') {
                    f.lauf(1, Zeichen);
                    nachGleich = true;
                } else if (istLeerraum(c)) {
                    f.lauf(0, Zeichen);
                } else if (nachGleich) {
                    while (e < n && !istLeerraum(t[e]) && t[e] != '>') ++e;
                    // An unquoted value has a background of its own, which ends with it.
                    f.woerter(e, istZiffer(c) ? Zahl : Wert, false);
                    nachGleich = false;
                } else if (istNamenszeichen(c)) {
                    while (e < n && istNamenszeichen(t[e])) ++e;
                    f.woerter(e,
                              bekannterName(t.substr(p, e - p)) ? Attribut : UnbekanntesAttribut);
                } else {
                    f.lauf(utf8::zeichenlaenge(t.substr(p, n - p)), Zeichen);
                }
                continue;
            case Zustand::Skript:
                skript(f, t, findeOhneFall(t, "</script", p));
                zustand = Zustand::Text;
                continue;
        }
    }
    return f.pos();
}

HtmlFaerber::HtmlFaerber(QObject* parent) : QsciLexerCustom(parent) {}

QString HtmlFaerber::description(int style) const {
    static constexpr const char* namen[] = {"Text",
                                            "Tag",
                                            "Unknown tag",
                                            "Attribute",
                                            "Unknown attribute",
                                            "Number",
                                            "Double-quoted",
                                            "Single-quoted",
                                            "Other in tag",
                                            "Comment",
                                            "Entity",
                                            "Value",
                                            "SGML",
                                            "SGML command",
                                            "SGML string",
                                            "XML start",
                                            "Script",
                                            "Script word",
                                            "Script keyword",
                                            "Script number",
                                            "Script string",
                                            "Script comment",
                                            "SGML parameter",
                                            "Unknown tag's rest"};
    static_assert(std::size(namen) == kFarben);
    const int farbe = style >= kZwilling ? style - kZwilling : style;
    if (farbe < 0 || farbe >= kFarben) return {};
    return QString::fromLatin1(namen[farbe]) +
           (style >= kZwilling ? QStringLiteral(" (twin)") : QString());
}

QColor HtmlFaerber::defaultColor(int style) const {
    switch (style % kZwilling) {
        case Tag:
        case SgmlText:
        case SgmlBefehl:
            return {0x00, 0x00, 0x80};
        case UnbekannterTag:
        case UnbekannterTagRest:
        case UnbekanntesAttribut:
            return {0xff, 0x00, 0x00};
        case Attribut:
            return {0x00, 0x80, 0x80};
        case Zahl:
        case SkriptZahl:
            return {0x00, 0x7f, 0x7f};
        case DoppeltZitiert:
        case EinfachZitiert:
        case SkriptZeichenkette:
            return {0x7f, 0x00, 0x7f};
        case Zeichen:
        case Entitaet:
            return {0x80, 0x00, 0x80};
        case Kommentar:
            return {0x80, 0x80, 0x00};
        case Wert:
            return {0xff, 0x00, 0xff};
        case SgmlZeichenkette:
            return {0x80, 0x00, 0x00};
        case XmlStart:
            return {0x00, 0x00, 0xff};
        case SkriptSchluesselwort:
            return {0x00, 0x00, 0x7f};
        case SkriptKommentar:
            return {0x00, 0x7f, 0x00};
        case SgmlParameter:
            return {0x00, 0x66, 0x00};
        default:
            return {0x00, 0x00, 0x00};
    }
}

QColor HtmlFaerber::defaultPaper(int style) const {
    switch (style % kZwilling) {
        case Wert:
            return {0xff, 0xef, 0xff};
        case SgmlText:
        case SgmlBefehl:
        case SgmlZeichenkette:
        case SgmlParameter:
            return {0xef, 0xef, 0xff};
        case SkriptText:
        case SkriptWort:
        case SkriptSchluesselwort:
        case SkriptZahl:
        case SkriptZeichenkette:
        case SkriptKommentar:
            return {0xf0, 0xf0, 0xff};
        default:
            return QsciLexerCustom::defaultPaper(style);
    }
}

void HtmlFaerber::setEditor(QsciScintilla* neu) {
    if (editor() != nullptr) disconnect(editor(), &QsciScintillaBase::SCN_MODIFIED, this, nullptr);
    QsciLexerCustom::setEditor(neu);
    if (neu == nullptr) return;
    // Styles left by another colouring are no base to resume on.
    schmutzigBis_ = static_cast<std::size_t>(neu->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    connect(neu, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int art, const char*, int laenge, int, int, int, int, int, int) {
                textGeaendert(position, art, laenge);
            });
}

void HtmlFaerber::textGeaendert(int position, int art, int laenge) {
    const auto p = static_cast<std::size_t>(position);
    const auto l = static_cast<std::size_t>(laenge);
    const bool einfuegen = (art & QsciScintillaBase::SC_MOD_INSERTTEXT) != 0;
    if (einfuegen) {
        if (schmutzigBis_ > p) schmutzigBis_ += l;
        schmutzigBis_ = std::max(schmutzigBis_, p + l);
    } else if ((art & QsciScintillaBase::SC_MOD_DELETETEXT) != 0) {
        if (schmutzigBis_ > p)
            schmutzigBis_ = std::max(p, schmutzigBis_ - std::min(l, schmutzigBis_));
        schmutzigBis_ = std::max(schmutzigBis_, p);
    } else {
        return;
    }
    // A small change to a coloured text is coloured at once: QScintilla lays out the changed line
    // to place the caret before it asks for styles, and styles changed after that would have it
    // lay out the whole line a second time.
    if (l <= kSofort && schmutzigBis_ == (einfuegen ? p + l : p) &&
        static_cast<std::size_t>(editor()->SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED)) ==
            p) {
        faerbenBis(schmutzigBis_ + kSofort, true);
    }
}

void HtmlFaerber::styleText(int, int) {
    faerbenBis(std::string_view::npos, false);
}

void HtmlFaerber::faerbenBis(std::size_t bis, bool nurEingeholt) {
    QsciScintilla* e = editor();
    if (e == nullptr) return;
    const auto laenge =
        static_cast<std::size_t>(e->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    const auto* daten = static_cast<const char*>(
        e->SendScintillaPtrResult(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    if (daten == nullptr || laenge == 0) return;
    const std::string_view text(daten, laenge);
    const auto stilBei = [e](std::size_t p) {
        return static_cast<int>(
            e->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(p)));
    };

    // Resume at the last tag start before the first byte without a valid style, far enough
    // before it that what decided its style (whether "</script" ends a script there) is unchanged.
    constexpr std::size_t kVorschau = 8;
    const auto gueltig = std::min(
        laenge, static_cast<std::size_t>(e->SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED)));
    std::size_t von = gueltig;
    while (von > 0) {
        const std::size_t p = text.rfind('<', von - 1);
        if (p == std::string_view::npos) {
            von = 0;
            break;
        }
        von = p;
        if (p + kVorschau > gueltig) continue;
        const int stil = stilBei(p);
        if (stil == Tag || stil == UnbekannterTag) break;
    }
    bis = std::min(bis, laenge);
    std::string stile;
    stile.reserve(std::min(bis - std::min(von, bis), std::size_t{64} * 1024));
    const std::size_t halt = faerben(text, von, bis, schmutzigBis_, stilBei, stile);
    const bool eingeholt = halt < bis;
    if (nurEingeholt && !eingeholt) return;
    e->SendScintilla(QsciScintillaBase::SCI_STARTSTYLING, static_cast<unsigned long>(von));
    e->SendScintilla(QsciScintillaBase::SCI_SETSTYLINGEX, static_cast<unsigned long>(stile.size()),
                     stile.data());
    // Either the colouring reached styles that still hold, or it went to the end: all styles hold.
    // Marking them so keeps QScintilla from asking again, which would have it check the whole
    // line's layout against the styles.
    schmutzigBis_ = 0;
    e->SendScintilla(QsciScintillaBase::SCI_STARTSTYLING, static_cast<unsigned long>(laenge));
}

}  // namespace quintaro::ui
