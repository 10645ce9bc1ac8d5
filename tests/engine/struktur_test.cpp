// Option HSB checked independently: a real HTML5 parser (gumbo) reads the page before and after a
// run, and what a browser shows must be the same, for real pages and thousands of random ones.
#include <gtest/gtest.h>
#include <gumbo.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/korpus.h"
#include "engine/optimierung.h"
#include "engine/sonderzeichen.h"
#include "engine/struktur.h"
#include "skript_fragen.h"

namespace quintaro {
namespace {

namespace fs = std::filesystem;

// --- What a browser shows, read by gumbo ---------------------------------------------------------

// Elements whose start and end break the line (their own list, not the engine's).
const std::set<std::string> kNichtInline = {
    "address", "article",  "aside",      "blockquote", "body",   "br",        "caption", "center",
    "col",     "colgroup", "dd",         "details",    "dialog", "dir",       "div",     "dl",
    "dt",      "fieldset", "figcaption", "figure",     "footer", "form",      "frame",   "frameset",
    "h1",      "h2",       "h3",         "h4",         "h5",     "h6",        "head",    "header",
    "hgroup",  "hr",       "html",       "legend",     "li",     "listing",   "main",    "menu",
    "nav",     "ol",       "optgroup",   "option",     "p",      "plaintext", "pre",     "section",
    "summary", "table",    "tbody",      "td",         "tfoot",  "th",        "thead",   "tr",
    "ul",      "xmp",      "title"};
// Inline elements that show something of their own: whitespace beside them is rendered.
const std::set<std::string> kAtome = {
    "img",   "input", "button", "select", "textarea", "iframe",  "object", "embed",
    "video", "audio", "canvas", "svg",    "math",     "picture", "meter",  "progress"};
// Text inside these is compared byte for byte.
const std::set<std::string> kExakt = {"pre", "listing",   "textarea", "script",  "style",
                                      "xmp", "plaintext", "iframe",   "noembed", "noframes"};

struct Ereignis {
    enum Art { Start, Ende, Text, Bedingt } art;
    std::string name;  // element, or the text
    std::string attribute;
    bool exakt = false;
    bool kopf = false;  // text directly in head, html, select or the document: never rendered
    std::string stil;   // the formatting elements around a text
};

// A parser reopens these before any text, whitespace too, wherever that text stands; so they are
// compared as the style of each text, not as elements.
const std::set<std::string> kFormatierend = {"a",    "b", "big",   "code",   "em",     "font", "i",
                                             "nobr", "s", "small", "strike", "strong", "tt",   "u"};

std::string name(const GumboNode* n) {
    if (n->v.element.tag != GUMBO_TAG_UNKNOWN) return gumbo_normalized_tagname(n->v.element.tag);
    GumboStringPiece p = n->v.element.original_tag;
    gumbo_tag_from_original_text(&p);
    std::string s(p.data, p.length);
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

void sammle(const GumboNode* n, int exakt, bool kopf, const std::string& stil,
            std::vector<Ereignis>& out) {
    switch (n->type) {
        case GUMBO_NODE_DOCUMENT:
            for (unsigned i = 0; i < n->v.document.children.length; ++i) {
                sammle(static_cast<const GumboNode*>(n->v.document.children.data[i]), exakt, true,
                       stil, out);
            }
            return;
        case GUMBO_NODE_ELEMENT:
        case GUMBO_NODE_TEMPLATE: {
            const std::string nm = name(n);
            std::string attr;
            for (unsigned i = 0; i < n->v.element.attributes.length; ++i) {
                const auto* a = static_cast<const GumboAttribute*>(n->v.element.attributes.data[i]);
                attr += std::string(" ") + a->name + "=[" + a->value + "]";
            }
            const bool formatierend = kFormatierend.count(nm) > 0;
            if (!formatierend) out.push_back({Ereignis::Start, nm, attr, false, false, ""});
            const int e = exakt + (kExakt.count(nm) ? 1 : 0);
            const bool k = nm == "head" || nm == "html" || nm == "select";
            // Text that is not shown, or shown in a control, takes no style from around it.
            static const std::set<std::string> ohneStil = {
                "title", "script", "style", "textarea", "iframe", "noembed", "noframes"};
            const std::string s = formatierend         ? stil + "<" + nm + attr + ">"
                                  : ohneStil.count(nm) ? ""
                                                       : stil;
            for (unsigned i = 0; i < n->v.element.children.length; ++i) {
                sammle(static_cast<const GumboNode*>(n->v.element.children.data[i]), e, k, s, out);
            }
            if (!formatierend) out.push_back({Ereignis::Ende, nm, "", false, false, ""});
            return;
        }
        case GUMBO_NODE_COMMENT: {
            const std::string c = n->v.text.text;
            if (c.rfind("[if", 0) == 0 || c.rfind("<![endif]", 0) == 0 ||
                c.rfind("[endif]", 0) == 0) {
                out.push_back({Ereignis::Bedingt, c, "", false, false, ""});
            }
            return;
        }
        default:
            if (!out.empty() && out.back().art == Ereignis::Text && out.back().stil == stil) {
                out.back().name += n->v.text.text;
            } else {
                out.push_back({Ereignis::Text, n->v.text.text, "", exakt > 0, kopf, stil});
            }
    }
}

bool istWs(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// Whether only inline tags (no atoms) stand between event `i` and a line boundary, in direction
// `d`.
bool anGrenze(const std::vector<Ereignis>& ev, std::size_t i, int d) {
    const auto n = static_cast<std::ptrdiff_t>(ev.size());
    for (auto k = static_cast<std::ptrdiff_t>(i) + d; k >= 0 && k < n; k += d) {
        const Ereignis& e = ev[static_cast<std::size_t>(k)];
        if (e.art == Ereignis::Text && !e.exakt &&
            e.name.find_first_not_of(" \t\n\r\f") == std::string::npos) {
            continue;  // collapses into the whitespace in hand
        }
        if (e.art == Ereignis::Bedingt) continue;  // a comment to every browser but old IE
        if (e.art == Ereignis::Text) return false;
        if (kNichtInline.count(e.name)) return true;
        if (kAtome.count(e.name)) return false;
    }
    return true;
}

std::vector<std::string> ansicht(const Text& seite) {
    const std::string utf8 = cp1252ToUtf8(seite);
    GumboOutput* g = gumbo_parse_with_options(&kGumboDefaultOptions, utf8.data(), utf8.size());
    std::vector<Ereignis> ev;
    sammle(g->document, 0, true, "", ev);
    gumbo_destroy_output(&kGumboDefaultOptions, g);
    std::vector<std::string> out;
    bool leer = false;  // a space stands in front with only inline tags between: the next goes
    for (std::size_t i = 0; i < ev.size(); ++i) {
        const Ereignis& e = ev[i];
        if (e.art == Ereignis::Start) out.push_back("<" + e.name + e.attribute + ">");
        if (e.art == Ereignis::Ende) out.push_back("</" + e.name + ">");
        if (e.art == Ereignis::Bedingt) out.push_back("<!--" + e.name + "-->");
        if ((e.art == Ereignis::Start || e.art == Ereignis::Ende) &&
            (kNichtInline.count(e.name) || kAtome.count(e.name) || kExakt.count(e.name))) {
            leer = false;
        }
        if (e.art != Ereignis::Text) continue;
        if (e.exakt) {
            out.push_back(e.stil + "=" + e.name);
            leer = false;
            continue;
        }
        std::string s;
        for (char c : e.name) {
            if (!istWs(c)) {
                s.push_back(c);
            } else if (s.empty() || s.back() != ' ') {
                s.push_back(' ');
            }
        }
        if (e.kopf && s.find_first_not_of(' ') == std::string::npos) continue;
        if (!s.empty() && s.front() == ' ' && anGrenze(ev, i, -1)) s.erase(0, 1);
        if (!s.empty() && s.back() == ' ' && anGrenze(ev, i, 1)) s.pop_back();
        if (leer && !s.empty() && s.front() == ' ') s.erase(0, 1);
        if (!s.empty()) leer = s.back() == ' ';
        if (!s.empty()) out.push_back(e.stil + "'" + s + "'");
    }
    return out;
}

// Control characters made visible.
std::string sichtbar(std::string_view s) {
    std::string out;
    for (char c : s) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\f') {
            out += "\\f";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// The first difference, readably.
std::string unterschied(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    std::string s = "at event " + std::to_string(i) + ":\n";
    for (std::size_t k = i >= 3 ? i - 3 : 0; k < i + 3; ++k) {
        s += "  " + (k < a.size() ? a[k] : "-") + "   |   " + (k < b.size() ? b[k] : "-") + "\n";
    }
    return s;
}

Text mitHsb(const Text& seite, OptionSet o) {
    o.set(HSB, true);
    return optimiereText(seite, o, Ersetzungstabelle());
}

// --- Pages -----------------------------------------------------------------------------------

class Zufall {
  public:
    explicit Zufall(std::uint32_t seed) : rng_(seed) {}
    std::size_t bis(std::size_t n) { return rng_() % n; }

    Text seite() {
        static const std::vector<std::string> stuecke = {
            "<p>",
            "</p>",
            "<div>",
            "</div>",
            "<b>",
            "</b>",
            "<i>",
            "</i>",
            "<span class=x>",
            "</span>",
            "<a href=\"u  v\">",
            "</a>",
            "<br>",
            "<br />",
            "<img src=a.png alt='x  y' >",
            "<pre>",
            "</pre>",
            "<pre>\r\n a\r\n\r\n  b </pre>",
            "<textarea>\r\n t  u\t</textarea>",
            "<script>if (a < b) { x = '  y'; } // c\r\nz();</script>",
            "<script><!--\r\ndocument.write('<script>x</script>');\r\n// --></script>",
            "<style>\r\np  { color : red }\r\n</style>",
            "<table>",
            "<tr>",
            "<td>",
            "</td>",
            "</tr>",
            "</table>",
            "<ul>",
            "<li>",
            "</li>",
            "</ul>",
            "<title> T  t </title>",
            "<head>",
            "</head>",
            "<body>",
            "</body>",
            "</html>",
            "<h1 >",
            "</h1\r\n>",
            "<input type=text value=a />",
            "<p\r\nclass = \"a  b\"\t>",
            "<em\tid=q   title='z'/>",
            "<font size=2 >",
            "</font >",
            "<!-- c -->",
            "<!---->",
            "<!-->",
            "<!--->",
            "<!--[if IE]><p>x</p><![endif]-->",
            "<!--[if !IE]><!-->",
            "<!--<![endif]-->",
            "<!--#include virtual=\"x.htm\" -->",
            "<!--webbot bot=x -->",
            "<!-- a <!-- b --> c -->",
            "<!-- x --!>",
            "<?php echo $a->b; ?>",
            "<% x = 1 %>",
            "< p",
            "a < b",
            "&amp;",
            "&am",
            "p;",
            "&",
            "<![CDATA[ x  y ]]>",
            "</>",
            "<!x>",
            "</ x>",
            "<xmp> <b>  </b> </xmp>",
            "<listing>\r\n l  m</listing>",
            "<select>",
            "<option> o </option>",
            "</select>",
            "<button> k </button>",
            "<label>",
            "</label>",
            "<html>",
            "<meta charset=x>",
            "<link rel=y>",
            "<iframe> i  <b> </iframe>",
            "<noscript> n </noscript>",
            "<svg><path d='M 0  0'/></svg>",
            "<hr/>",
            "Hello",
            "world",
            "\xE4\xF6",
            "\x80",
            "x\xDF",
            "\xA0",
            " ",
            "  ",
            "\t",
            "\r\n",
            "\r\n\r\n",
            "\n",
            "\r",
            "\f",
            " \t \r\n  ",
            "<",
            ">",
            "\"",
            "'",
            "=",
            "-->",
            "<!--",
            "<p title=\"a > b\">",
            "<a href=x/>",
            "<a b = c>",
            "<a b= >"};
        Text s;
        const std::size_t n = 1 + bis(40);
        for (std::size_t i = 0; i < n; ++i) s += stuecke[bis(stuecke.size())];
        return s;
    }

    OptionSet optionen() {
        OptionSet o;
        for (int i : {ZU, DZU, DL, LZT, LIT, TAB, KMA, KMM, SZ, FPW}) o.set(i, bis(2) == 1);
        o.set(AE, false);  // the user's own rows change what they change
        return o;
    }

  private:
    std::mt19937 rng_;
};

fs::path korpus() {
    return test::korpusOrdner();
}

Text lesen(const fs::path& p) {
    return test::korpusSeite(p);
}

std::vector<OptionSet> feste() {
    std::vector<OptionSet> saetze;
    OptionSet alles;
    for (int i = 0; i < kOptionCount; ++i) alles.set(i, i != AE);
    saetze.push_back(alles);
    OptionSet vorgaben;
    vorgaben.set(AE, false);
    saetze.push_back(vorgaben);
    for (int i : {ZU, DZU, DL, LZT, LIT, TAB, KMA, SZ, FPW}) {
        OptionSet einzeln;
        for (int k = 0; k < kOptionCount; ++k) einzeln.set(k, k == i);
        saetze.push_back(einzeln);
    }
    return saetze;
}

TEST(Struktur, RandomPagesLookTheSameToAParser) {
    Zufall z(1812);
    const auto saetze = feste();
    for (int i = 0; i < 4000; ++i) {
        const Text seite = z.seite();
        const auto vorher = ansicht(seite);
        const OptionSet o =
            i % 4 == 0 ? saetze[static_cast<std::size_t>(i / 4) % saetze.size()] : z.optionen();
        const Text nachher = mitHsb(seite, o);
        const auto danach = ansicht(nachher);
        ASSERT_TRUE(vorher == danach) << "page #" << i << ":\n"
                                      << sichtbar(seite) << "\n---\n"
                                      << sichtbar(nachher) << "\n"
                                      << unterschied(vorher, danach);
    }
}

TEST(Struktur, CorpusPagesLookTheSameToAParser) {
    if (!fs::is_directory(korpus())) GTEST_SKIP() << "no corpus at " << korpus();
    int seiten = 0;
    for (const auto& eintrag : fs::directory_iterator(korpus())) {
        if (!eintrag.is_regular_file()) continue;
        const Text seite = normaliseLineBreaks(lesen(eintrag.path()));
        const auto vorher = ansicht(seite);
        for (const OptionSet& o : feste()) {
            const Text nachher = mitHsb(seite, o);
            const auto danach = ansicht(nachher);
            ASSERT_TRUE(vorher == danach) << eintrag.path() << "\n" << unterschied(vorher, danach);
        }
        ++seiten;
    }
    EXPECT_GT(seiten, 0);
}

// --- The passes on their own ------------------------------------------------------------------

constexpr unsigned kAlle =
    kTabulatoren | kDoppelteUmbrueche | kUmbrueche | kDoppelteLeerzeichen | kZwischenTags | kInTags;

struct LeerFall {
    const char* name;
    unsigned passes;
    const char* eingabe;
    const char* erwartet;
};

TEST(Struktur, WhitespaceGoesOnlyWhereNothingIsRendered) {
    const LeerFall faelle[] = {
        {"block", kAlle, "<p>\r\n  Hello\r\n\t world\r\n</p>\r\n", "<p>Hello world</p>"},
        {"inline neighbours", kAlle, "Welcome <b>to</b>\r\n<i>x</i> ] [",
         "Welcome <b>to</b> <i>x</i> ] ["},
        {"br", kAlle, "a <br> b", "a<br>b"},
        {"pre kept", kAlle, "<pre> a  \r\n\r\n b </pre> <p>", "<pre> a  \n\n b </pre><p>"},
        {"raw text kept", kAlle, "x <script> y  </script> z <style> a  b </style>",
         "x <script> y  </script> z <style> a  b </style>"},
        {"text a table moves out", kAlle, "<table> x <tr><td> y </td> </tr> </table>",
         "<table> x <tr><td>y</td></tr></table>"},
        {"head", kAlle,
         "<html>\r\n<head>\r\n<title>t</title>\r\n<script></script> <link>\r\n</head>",
         "<html><head><title>t</title><script></script><link></head>"},
        {"text after body", kAlle, "a</body> b</html>\r\n", "a</body> b</html>"},
        {"through comments", kAlle, "a <!-- c --> <div>", "a<!-- c --><div>"},
        {"not a tag", kAlle, "a  <  p", "a < p"},
        {"tags", kAlle, "<p  class = \"a  b\"\t><br /><a href=x /><a =b><input disabled\t/><p\r\n>",
         "<p class=\"a  b\"><br/><a href=x /><a =b><input disabled/><p>"},
        {"unclosed tag", kAlle, "x <a  b", "x <a  b"},
        {"tabs alone", kTabulatoren, "<p>\ta\tb\t</p>", "<p>a b</p>"},
        {"tab in tag alone", kTabulatoren, "<a\thref=x\t>", "<a href=x>"},
        {"double breaks alone", kDoppelteUmbrueche, "a\r\n\r\n\n\r\n b", "a\r\n b"},
        {"breaks alone", kUmbrueche, "a\r\nb\nc\r", "a b c "},
        {"spaces alone", kDoppelteLeerzeichen, "<p>  a   b </p>", "<p> a b </p>"},
        {"between tags alone", kZwischenTags, "<p> \r\n <b> x </b>\t<i>", "<p><b>x </b><i>"},
    };
    for (const LeerFall& f : faelle)
        EXPECT_EQ(strukturLeerraum(f.eingabe, f.passes), f.erwartet) << f.name;
}

// With ZU, each CR LF and lone CR inside the elements whose bytes HSB keeps becomes LF, which is
// what a browser's input stream makes of them anyway; without ZU they stay.
TEST(Struktur, LineEndsInKeptElementsBecomeLf) {
    struct Fall {
        const char* name;
        const char* eingabe;
        const char* erwartet;
    };
    const Fall faelle[] = {
        {"script", "<script>a\r\nb\rc\n</script>", "<script>a\nb\nc\n</script>"},
        {"style", "<style>\r\np{}\r\r\n</style>", "<style>\np{}\n\n</style>"},
        {"pre, with entities", "<pre>\r\n\xE4\r\nb</pre>", "<pre>\n&auml;\nb</pre>"},
        {"textarea", "<textarea>x\r\n\r\ny</textarea>", "<textarea>x\n\ny</textarea>"},
        {"xmp, listing, plaintext", "<xmp>\r\n</xmp><listing>a\r</listing><plaintext>\r\n",
         "<xmp>\n</xmp><listing>a\n</listing><plaintext>\n"},
        {"server code stays", "<script>\r\n<% a %>\r\n</script>",
         "<script>\r\n<% a %>\r\n</script>"},
        {"attribute value stays", "<p title=\"a\r\nb\">x</p>", "<p title=\"a\r\nb\">x</p>"},
    };
    OptionSet o;
    o.set(ZU, true);
    o.set(SZ, true);
    for (const Fall& f : faelle) {
        const Text nachher = mitHsb(f.eingabe, o);
        EXPECT_EQ(nachher, f.erwartet) << f.name;
        EXPECT_TRUE(ansicht(f.eingabe) == ansicht(nachher)) << f.name;
        EXPECT_EQ(strukturLeerraum(f.eingabe, kAlle & ~kUmbrueche), f.eingabe) << f.name;
    }
    // The check above would see a line end that went.
    EXPECT_FALSE(ansicht("<pre>a\r\nb</pre>") == ansicht("<pre>a b</pre>"));
}

// What a run without questions folds into one sweep.
TEST(Struktur, SeveralPassesAtOnceGiveWhatOneAfterAnotherGives) {
    Zufall z(77);
    for (int i = 0; i < 3000; ++i) {
        const Text seite = z.seite();
        const unsigned passes = static_cast<unsigned>(z.bis(64));
        Text einzeln = seite;
        for (unsigned bit = 1; bit < 64; bit <<= 1) {
            if (passes & bit) einzeln = strukturLeerraum(einzeln, bit);
        }
        ASSERT_EQ(strukturLeerraum(seite, passes), einzeln) << passes << ": " << seite;
        ASSERT_EQ(strukturLeerraum(seite, passes, Kodierung::Cp1252),
                  strukturSonderzeichen(einzeln))
            << passes << ": " << seite;
        // The tokens the comment pass hands on are those of its result.
        html::Zerlegung zerlegt;
        const Text ohne = strukturKommentareEntfernen(seite, false, {}, &zerlegt).text;
        html::Zerlegung frisch;
        frisch.tokens = html::zerlege(ohne, &frisch.laeufe);
        ASSERT_TRUE(zerlegt == frisch) << seite;
        // The comment pass alone takes what the webbot pass before it takes.
        ASSERT_EQ(
            strukturKommentareEntfernen(seite, false).text,
            strukturKommentareEntfernen(strukturKommentareEntfernen(seite, true).text, false).text)
            << seite;
    }
}

struct KommentarFall {
    const char* name;
    const char* eingabe;
    const char* erwartet;
};

TEST(Struktur, CommentsGoWhereTheyStand) {
    const KommentarFall faelle[] = {
        {"plain", "a<!-- x -->b<!-->c<!--->d<!---->e", "abcde"},
        {"no nesting", "<!-- a <!-- b --> c -->", " c -->"},
        {"not in script", "<script><!-- x --></script><style><!--y--></style>",
         "<script><!-- x --></script><style><!--y--></style>"},
        {"kept", "<!--[if IE]>x<![endif]--><!--[if !IE]><!-->a<!--<![endif]--><!--#echo -->",
         "<!--[if IE]>x<![endif]--><!--[if !IE]><!-->a<!--<![endif]--><!--#echo -->"},
        {"would make a tag", "<<!-- -->p> <<!-- -->!", "<<!-- -->p> <<!-- -->!"},
        {"would make a reference", "&am<!-- -->p; &<!-- -->#65; &x<!-- --> y",
         "&am<!-- -->p; &<!-- -->#65; &x y"},
        {"would lose a pre line", "<pre><!-- x -->\r\nb</pre><pre><!-- x -->b</pre>",
         "<pre><!-- x -->\r\nb</pre><pre>b</pre>"},
        {"unclosed stays", "a<!-- b", "a<!-- b"},
    };
    for (const KommentarFall& f : faelle) {
        EXPECT_EQ(strukturKommentareEntfernen(f.eingabe, false).text, f.erwartet) << f.name;
    }
    EXPECT_EQ(strukturKommentareEntfernen("<!--webbot a -->x<!-- b -->", true).text, "x<!-- b -->");
}

TEST(Struktur, SpecialCharactersOnlyWhereReferencesAreDecoded) {
    EXPECT_EQ(strukturSonderzeichen("\xE4<a title='\xE4'><!--\xE4--><script>'\xE4'</script>"
                                    "<title>\xE4</title><pre>\xE4</pre>"),
              "&auml;<a title='\xE4'><!--\xE4--><script>'\xE4'</script>"
              "<title>&auml;</title><pre>&auml;</pre>");
}

// Option KMM with HSB asks about every comment where it stands, identical ones too.
TEST(Struktur, RunAsksAboutEachCommentInTurn) {
    OptionSet o;
    for (int i = 0; i < kOptionCount; ++i) o.set(i, false);
    o.set(KMM, true);
    o.set(HSB, true);
    Text text = "a<!-- x -->b<!-- x -->c<script><!-- s --></script><!-- y -->";
    test::SkriptFragen fragen(text);
    fragen.antworten = {Antwort::Nein, Antwort::Ja, Antwort::Abbrechen};
    const auto ergebnis = laufen(text, Laufoptionen{o, Ersetzungstabelle()}, fragen);
    ASSERT_EQ(fragen.gezeigt.size(), 3u);
    EXPECT_EQ(fragen.gezeigt[2], "a<!-- x -->bc<script><!-- s --></script><!-- y -->");
    EXPECT_EQ(text, fragen.gezeigt[2]);
    EXPECT_TRUE(ergebnis.abgebrochen);
    EXPECT_EQ(fragen.gestellt.back(), kommentarFrageText("<!-- y -->"));
}

// A step-by-step run shows each whitespace pass's own result at the next question.
TEST(Struktur, StepByStepRunsEachPassOnItsOwn) {
    OptionSet o;
    for (int i = 0; i < kOptionCount; ++i) o.set(i, false);
    for (int i : {TAB, ZU, LZT, HSB}) o.set(i, true);
    Text text = "<p>\ta\r\n<b>b</b></p>";
    test::SkriptFragen fragen(text);
    fragen.antworten = {Antwort::Ja, Antwort::Ja, Antwort::Ja};
    laufen(text, Laufoptionen{o, Ersetzungstabelle(), Kodierung::Cp1252, Modus::Schritt}, fragen);
    ASSERT_EQ(fragen.gezeigt.size(), 3u);
    EXPECT_EQ(fragen.gezeigt[1], "<p>a\r\n<b>b</b></p>");
    EXPECT_EQ(fragen.gezeigt[2], "<p>a <b>b</b></p>");
    EXPECT_EQ(text, "<p>a <b>b</b></p>");
}

}  // namespace
}  // namespace quintaro
