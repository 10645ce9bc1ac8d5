// Each text grows from templates whose pieces are separated by spaces: a piece naming a rule
// (an upper-case letter or "#", "@") is replaced by a random choice of that rule, every other
// piece is written as it is, and a random gap (nothing, whitespace, a comment, a line break)
// goes before each piece. "\n" forces a line break without a gap.
#include "sprachen_generator.h"

#include <map>
#include <string_view>
#include <vector>

namespace quintaro::test {

namespace {

using Regeln = std::map<std::string, std::vector<std::string_view>>;

class Bau {
  public:
    Bau(std::mt19937& z, const Regeln& r, std::vector<std::string_view> luecken)
        : z_(z), regeln_(r), luecken_(std::move(luecken)) {}

    std::string_view wahl(const std::vector<std::string_view>& v) {
        return v[std::uniform_int_distribution<std::size_t>(0, v.size() - 1)(z_)];
    }
    // Writes `vorlage`; deep down every rule takes its first choice, which ends the recursion.
    void schreibe(std::string_view vorlage, int tiefe = 0) {
        while (!vorlage.empty()) {
            const std::size_t leer = vorlage.find(' ');
            const std::string stueck(vorlage.substr(0, leer));
            vorlage = leer == std::string_view::npos ? "" : vorlage.substr(leer + 1);
            if (stueck == "\\n") {
                out += '\n';
                continue;
            }
            const auto r = regeln_.find(stueck);
            if (r == regeln_.end()) {
                out += wahl(luecken_);
                out += stueck;
            } else if (tiefe > 6) {
                schreibe(r->second.front(), tiefe + 1);
            } else {
                schreibe(wahl(r->second), tiefe + 1);
            }
        }
    }

    std::string out;

  private:
    std::mt19937& z_;
    const Regeln& regeln_;
    std::vector<std::string_view> luecken_;
};

const Regeln kSkript = {
    {"@",
     {"x = # ;", "var N = # ;", "if ( # ) @", "if ( # ) @ else @", "W ( # ) R . test ( N ) ;",
      "for ( var i = 0 ; # ; i ++ ) @", "{ @ } R . exec ( s )", "{ @ }", "i ++ ;",
      "function N ( a , b ) { @ return # }", "N : @", "switch ( # ) { case # : @ default : @ }",
      "try { @ } catch ( e ) { } finally { }", "do @ while ( # ) ;", "N \\n ++ N ;",
      "function f ( ) { return \\n N }", "throw # ;", "for ( const x of # ) @",
      "class Ka extends Lb { static x = R ; #p = # ; get y ( ) { return this.#p } }"}},
    {"#",
     {"P", "P", "# B #", "U #", "N ++", "P . M", "P ?. x / N", "N ( # , # )", "N A #", "# ? # : #",
      "( { } ) / Z", "( ( a ) => # )", "( ( a ) => { @ } )", "N / N / Z", "T", "++ N", "-- N"}},
    {"P",
     {"N", "Z", "S", "R", "this", "[ # , # ]", "{ a : # , 'b' : # }", "function ( ) { @ }", "( # )",
      "new N ( )", "T"}},
    {"N",
     {"a", "b", "c", "$", "_x", "foo", "i", "s", "re", "\\u0061b", "\\u{62}c", "a\\u0062", "of",
      "async", "get", "X"}},
    {"Z",
     {"0", "1", "1.5", ".5", "5.", "1e3", "1E-3", "0x1F", "0o17", "0b101", "1_000", "10n", "0xFFn",
      "017", "09", "08.5"}},
    {"S",
     {"'a'", "\"b\"", "'/* x */'", "\"</\"", "'<\\/script>'", "\"\\\"\"", "'it\\'s'",
      "'line\\\ncont'", "\"\\u00e9\"", "'x//y'", "\"a\tb\"", "'<!--'", "\"-->\"", "''"}},
    {"R",
     {"/a/", "/[/]/", "/\\//g", "/a*b+/gi", "/(?:x|y)/", "/=/", "/[\\]/]+/", "/</", "/\\s+$/m",
      "/script/", "/-->/", "/a/ in b"}},
    {"T", {"`a`", "`a${ # }b`", "`${ `x${ # }y` }\\``", "`\n${ { a : # } }`"}},
    {"B", {"+",  "-",  "*",   "/", "%", "**", "<",  ">",   "<=", "===",       "!=",
           "&&", "||", "?\?", "&", "|", "^",  "<<", ">>>", "in", "instanceof"}},
    {"U", {"!", "-", "+", "~", "typeof", "void", "- -", "+ +", "delete"}},
    {"M", {"x", "return", "typeof", "if", "in"}},
    {"A", {"=", "+=", "/=", "?\?=", "**=", ">>>="}},
    {"W", {"if", "while", "for"}},
};

const Regeln kStil = {
    {"BLATT", {"ITEM", "ITEM ITEM", "ITEM ITEM ITEM ITEM", "@charset \"utf-8\"; ITEM"}},
    {"ITEM", {"REGEL", "AT", "REGEL", "<!--", "-->", "/*<![CDATA[*/", "/*]]>*/", "DEKL ;"}},
    {"REGEL", {"SEL { DL }"}},
    {"SEL", {"V", "V K V", "V K V K V", "V , V"}},
    {"V",
     {"a",
      "div",
      "*",
      ".x",
      "#id",
      "#aabbcc",
      "[href]",
      "[ href = 'x' ]",
      ":hover",
      "::before",
      "& .x",
      "li",
      "-x",
      "\\31 a",
      "a\\:b",
      "x-1",
      "a:nth-child( 2n + 1 )",
      "a:nth-child( 2n - 1 )",
      ":not( .a , .b )",
      "a.b"}},
    {"K", {" ", ">", "+", "~", ",", "||"}},
    {"DL",
     {"", "DEKL", "DEKL ; DEKL", "DEKL ; DEKL ;", "DEKL ;; REGEL DEKL",
      "DEKL ; @media (x) { DEKL ; DEKL }", "DEKL ; DEKL ; DEKL ;"}},
    {"DEKL",
     {"NAME : W", "NAME : W !important", "NAME : W ! important", "--x : EIGEN", "--y-z : EIGEN",
      "filter : progid:DXImageTransform.Microsoft.gradient( startColorstr=#aabbcc , x=1 )",
      "*zoom : 1", "NAME : W W W"}},
    {"NAME", {"color", "margin", "background", "font", "width", "grid-area", "content", "_height"}},
    {"W",
     {"1px",
      "-2em",
      "+.5e3%",
      "0",
      ".5",
      "1",
      "e3",
      "#aabbcc",
      "#AABBCC",
      "#abc",
      "#aabbcd",
      "#aabbccdd",
      "red",
      "solid",
      "url(a.png)",
      "url( \"a b.png\" )",
      "url( a b )",
      "url(a\\ b.png)",
      "calc(1px + 2px)",
      "calc( (1px - -2px) * 3 )",
      "rgb(1, 2, 3)",
      "var(--x)",
      "expression(a + b)",
      "\"a /* b */ c\"",
      "'</'",
      "\\31 0px",
      "-",
      "+",
      "/",
      "a-b",
      "-webkit-x",
      "\"bad\n",
      "U+0-7F",
      "1 .5",
      "\"a\\\nb\"",
      "x(",
      ")",
      "[",
      "]",
      "@x",
      "rgb(0 0 0 / 50%)",
      "12px/1.5 serif"}},
    {"EIGEN", {"{ a }", "  x  /* c */  y ", "1 2", "", "[ ; ]"}},
    {"AT",
     {"@media screen and ( min-width : 100px ) { REGEL }", "@media print,screen { REGEL }",
      "@supports (display : grid) and (not (x:y)) { REGEL }", "@import url(x.css) screen ;",
      "@import url( \"y z.css\" ) ;",
      "@font-face { font-family : x ; src : url(a.woff) format( \"woff\" ) ; }",
      "@keyframes k { from { DL } 50% , to { } }", "@page :first { margin : 1cm }",
      "@unknown foo ( bar ) { baz : 1 ; }", "@layer a , b ;", "@media (max-width:1px) { AT }",
      "@namespace svg url(http://www.w3.org/2000/svg) ;"}},
};

std::string_view wahlAus(std::mt19937& z, const std::vector<std::string_view>& v) {
    return v[std::uniform_int_distribution<std::size_t>(0, v.size() - 1)(z)];
}

const std::vector<std::string_view> kStilLuecken = {
    "",   "",     "",     " ",       " ",           " ",      "  ",  "\n",
    "\t", "\r\n", " \n ", "/* c */", " /* a b */ ", "/*\n*/", "/**/"};

}  // namespace

std::string zufallsSkript(std::mt19937& zufall, Kodierung kodierung, bool modul) {
    // Never nothing: joined pieces would make another program, not a harder one. Line breaks
    // are rare enough that most programs stay valid.
    std::vector<std::string_view> luecken(20, " ");
    luecken.insert(luecken.end(), {"  ", "\t", " /* c */", "/**/ ", " /* </ */", " /*@cc_on*/",
                                   "\n", "\r\n", " /*\n*/", " // c\n", " //<![CDATA[\n"});
    if (kodierung == Kodierung::Utf8) {
        luecken.insert(luecken.end(), {"\xC2\xA0", "\xE2\x80\xA8", "\xEF\xBB\xBF"});
    } else {
        luecken.push_back("\xA0");
    }
    if (!modul && std::uniform_int_distribution<int>(0, 3)(zufall) == 0) {
        luecken.insert(luecken.end(), {"\n<!-- x\n", "\n--> y\n", "\n /**/ --> z\n"});
    }
    Bau b(zufall, kSkript, luecken);
    if (modul) b.schreibe("import x from 'y' ;");
    b.schreibe(wahlAus(zufall, {"@", "@ @", "@ @ @ @", "@ @ @ @ @ @"}));
    if (modul) b.schreibe("export default R");
    std::string s = std::move(b.out);
    // Non-ASCII names in the page's encoding.
    const std::string e = kodierung == Kodierung::Utf8 ? "\xC3\xA9" : "\xE9";
    for (std::size_t i = s.find("X"); i != std::string::npos; i = s.find("X", i))
        s.replace(i, 1, e + "t" + e);
    return s;
}

std::string zufallsStil(std::mt19937& zufall) {
    Bau b(zufall, kStil, kStilLuecken);
    b.schreibe("BLATT");
    return std::move(b.out);
}

std::string zufallsDeklarationen(std::mt19937& zufall) {
    Bau b(zufall, kStil, kStilLuecken);
    b.schreibe(wahlAus(zufall, {"DEKL", "DEKL ; DEKL", "DEKL ; DEKL ;", "DEKL ; ; DEKL ;"}));
    return std::move(b.out);
}

std::string zufallsStartTag(std::mt19937& zufall) {
    const auto w = [&](std::vector<std::string_view> v) { return std::string(wahlAus(zufall, v)); };
    std::string t =
        "<" + w({"input", "option", "script", "style", "link", "td", "a", "img", "details", "video",
                 "x-el", "svg", "p", "select", "ol", "SCRIPT", "hr", "iframe", "track"});
    for (int i = std::uniform_int_distribution<int>(0, 5)(zufall); i > 0; --i) {
        t += w({" ", " ", "\n", "  ", "", "/"});
        const std::string name =
            w({"checked", "selected", "disabled",  "type",  "rel",     "href",     "class",
               "nowrap",  "open",     "async",     "defer", "hidden",  "language", "title",
               "Checked", "loop",     "autofocus", "src",   "onclick", "TYPE",     "data-x"});
        t += name;
        if (w({"", "=", "=", "="}).empty()) continue;
        t += w({"=", "=", " = "});
        std::string wert =
            name == "type" || name == "TYPE"
                ? w({"text/javascript", "TEXT/CSS", "", "module", "text/css", " text/css ",
                     "application/x-javascript", "text/javascript; charset=utf-8",
                     "text/&#106;avascript", "text/plain"})
            : name == "rel" ? w({"stylesheet", "icon", "alternate stylesheet", "STYLESHEET"})
            : name == "language"
                ? w({"JavaScript", "vbscript", "javascript1.2", ""})
                : w({"", "x", "a b", "x/", "a=b", "`", "it's", "\"q\"", "&amp;", "\xC3\xA9", "f()",
                     "checked", "CHECKED", "selected", "false", "nowrap", "1"});
        std::string quote = w({"\"", "'", ""});
        if (quote.empty() &&
            (wert.empty() || wert.find_first_of(" \n\"'=<>`") != std::string::npos)) {
            quote = "\"";
        }
        if (!quote.empty() && wert.find(quote[0]) != std::string::npos)
            quote = quote == "'" ? "\"" : "'";
        t += quote + wert + quote;
    }
    return t + w({">", "/>", " >", " />", "\n>"});
}

}  // namespace quintaro::test
