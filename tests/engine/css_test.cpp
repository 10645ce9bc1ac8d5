// The CSS minifier on the cases it must get right, the tokens it must refuse to read, and two
// properties over generated style sheets; tinycss2 judges the meaning (sprachen_richter_test).
#include "engine/css.h"

#include <gtest/gtest.h>

#include <random>

#include "sprachen_generator.h"

namespace quintaro::css {
namespace {

struct Fall {
    const char* name;
    const char* vorher;
    const char* nachher;
};

TEST(CssMinifier, ShortensWhatCssDoesNotRead) {
    const Fall faelle[] = {
        {"selector combinators at the top", "a  >  b , c  d ~ e + f { }", "a>b,c d~e+f{}"},
        {"pseudo class keeps its descendant space", "a :hover , a:focus{}", "a :hover,a:focus{}"},
        {"nth-child keeps its tokens", "li:nth-child( 2n + 1 ){}", "li:nth-child(2n + 1){}"},
        {"declarations", "a { color : red ; margin : 0  auto ! important ; }",
         "a{color:red;margin:0 auto!important}"},
        {"colours in values only", "#aabbcc { color : #AABBCC ; b : #aabbcd #aabbccdd }",
         "#aabbcc{color:#ABC;b:#aabbcd #aabbccdd}"},
        {"calc keeps the spaces around + and -", "a{w:calc( 1px + 2px ) calc(1px - -2px)}",
         "a{w:calc(1px + 2px) calc(1px - -2px)}"},
        {"comments between tokens that would join", "a/**/b{c:1/**/px}", "a/**/b{c:1/**/px}"},
        {"comment with whitespace becomes a space", "a/**/ b{x:y/* */z}", "a b{x:y/**/z}"},
        {"a hex escape takes one space", "\\31/**/ a {} b\\31  c{}", "\\31  a{}b\\31  c{}"},
        {"url and strings as they stand", "a{b:url( x.png ) \"/* k */\" '  '}",
         "a{b:url( x.png ) \"/* k */\" '  '}"},
        {"custom property value exactly", "a{ --x :  {  a }  /* c */ ; b : 1 }",
         "a{--x:  {  a }  /* c */ ;b:1}"},
        {"media query", "@media screen and ( min-width : 100px ) { a { b : c } }",
         "@media screen and (min-width:100px){a{b:c}}"},
        {"supports selector() keeps its colon space", "@supports selector( a :hover ) {}",
         "@supports selector(a :hover){}"},
        {"charset exactly", " @charset \"utf-8\";  a { }", "@charset \"utf-8\";a{}"},
        {"unknown at-rule only collapsed", "@foo  bar ( x )  {  a : b ;  } a{}",
         "@foo bar ( x ) { a : b ; }a{}"},
        {"empty declarations go", "a{;b:c;;;d:e;;}", "a{b:c;d:e}"},
        {"nested rules and at-rules",
         "a { color : red ; & :hover { x : y } @media (x) { z : 1 ; } }",
         "a{color:red;& :hover{x:y}@media (x){z:1}}"},
        {"IE filter and expression untouched",
         "a{filter : alpha( opacity=50 ) ; w:expression( a - -b )}",
         "a{filter:alpha( opacity=50 );w:expression( a - -b )}"},
        {"CDO and CDC at the top", "<!-- a { b : c } -->", "<!--a{b:c}-->"},
        {"CDATA comments stay", "/*<![CDATA[*/ a { } /*]]>*/", "/*<![CDATA[*/a{}/*]]>*/"},
        {"no new end tag", "a{b:x} < /**/ /style c{}", "a{b:x}< /style c{}"},
        {"no new end tag across a comment", "x{y:<//**/style}", "x{y:<//**/style}"},
        // What cannot be read stays as it stands from there on.
        {"bad string", "a { b : c ; d : \"x\ny\" ; e : f }", "a{b:c;d : \"x\ny\" ; e : f }"},
        {"bad url", "a{b:c} d { e : url( a b ) ; f : g }", "a{b:c}d{e : url( a b ) ; f : g }"},
        {"backslash escaping a line break", "a { b : c\\\n d }", "a{b : c\\\n d }"},
        {"comment cut off", "a { } /* open", "a{} /* open"},
        {"string cut off", "a { b : 'open", "a{b : 'open"},
        {"escaped name before (", "a { b : u\\72l( x ) ; c : d }", "a{b : u\\72l( x ) ; c : d }"},
    };
    for (const Fall& f : faelle) EXPECT_EQ(stilVerkleinern(f.vorher), f.nachher) << f.name;
}

TEST(CssMinifier, ShortensAStyleAttributeWhenItsBytesAreItsValue) {
    EXPECT_EQ(deklarationenVerkleinern(" color : red ;  margin : 0 ; "), "color:red;margin:0");
    EXPECT_EQ(deklarationenVerkleinern("color: #aabbcc;;"), "color:#abc");
    // A character reference is decoded before CSS reads the value.
    EXPECT_EQ(deklarationenVerkleinern("font-family : &quot;a b&quot; ; x : y"),
              "font-family : &quot;a b&quot; ; x : y");
    EXPECT_EQ(deklarationenVerkleinern("a:b; c:'x\n"), "a:b;c:'x\n");
}

TEST(CssTokenizer, MarksWhatCannotBeRead) {
    struct Zeile {
        const char* text;
        Art art;  // of the first unreadable token
    };
    const Zeile zeilen[] = {{"\"a\nb\"", Art::SchlechteZeichenkette},
                            {"url(a b)", Art::SchlechteUrl},
                            {"url(a\"b)", Art::SchlechteUrl},
                            {"url(a(b)", Art::SchlechteUrl},
                            {"url(a", Art::Url},
                            {"'a", Art::Zeichenkette},
                            {"/* a", Art::Kommentar},
                            {"\\\n", Art::Delim},
                            {"u\\72l(x)", Art::Funktion}};
    for (const Zeile& z : zeilen) {
        const auto t = zerlege(z.text);
        const auto u = std::find_if(t.begin(), t.end(), [](const Token& k) { return k.unlesbar; });
        ASSERT_NE(u, t.end()) << z.text;
        EXPECT_EQ(u->art, z.art) << z.text;
    }
    // And what it reads, for the awkward neighbours.
    const auto t = zerlege("-->-x+.5e-3%#1a url( \"a\" )\\31 x");
    std::vector<Art> arten;
    for (const Token& k : t) arten.push_back(k.art);
    EXPECT_EQ(arten, (std::vector<Art>{Art::Cdc, Art::Ident, Art::Prozent, Art::Hash, Art::Leerraum,
                                       Art::Funktion, Art::Leerraum, Art::Zeichenkette,
                                       Art::Leerraum, Art::RundZu, Art::Ident}));
}

// Minifying again changes nothing, and the result is never longer.
TEST(CssMinifier, IsIdempotentAndNeverLonger) {
    std::mt19937 zufall(21);
    for (int i = 0; i < 3000; ++i) {
        const std::string stil = test::zufallsStil(zufall);
        const Text einmal = stilVerkleinern(stil);
        ASSERT_LE(einmal.size(), stil.size()) << stil;
        ASSERT_EQ(stilVerkleinern(einmal), einmal) << stil;
        const std::string dekl = test::zufallsDeklarationen(zufall);
        const Text d = deklarationenVerkleinern(dekl);
        ASSERT_LE(d.size(), dekl.size()) << dekl;
        ASSERT_EQ(deklarationenVerkleinern(d), d) << dekl;
    }
}

}  // namespace
}  // namespace quintaro::css
