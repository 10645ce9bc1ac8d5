// The JavaScript minifier on the cases it must get right, the scripts its tokenizer must refuse,
// and two properties over generated scripts; acorn judges the tokens (sprachen_richter_test).
#include "engine/javascript.h"

#include <gtest/gtest.h>

#include <random>

#include "sprachen_generator.h"

namespace quintaro::js {
namespace {

struct Fall {
    const char* name;
    const char* vorher;
    const char* nachher;
};

Text klassisch(std::string_view s) {
    return skriptVerkleinern(s, Kodierung::Cp1252, false);
}

TEST(JsMinifier, DropsCommentsAndWhitespaceButKeepsLineBreaks) {
    const Fall faelle[] = {
        {"spaces between punctuators", "var a = ( b + c ) * d ;", "var a=(b+c)*d;"},
        {"signs that would join", "a + +b - -c + ++d", "a+ +b- -c+ ++d"},
        {"number before a dot", "1 .toString() + 1.5 .x + 0x1 .y", "1 .toString()+1.5.x+0x1.y"},
        {"division before a regex", "a = b / /re/.source", "a=b/ /re/.source"},
        {"line breaks stay as one", "a = b\r\n\r\n\t  c\n++d", "a=b\nc\n++d"},
        {"return and a line break", "return\n  x", "return\nx"},
        {"a comment with a line break is one", "a /*\n*/ b // c\nd", "a\nb\nd"},
        {"regex after if ( )", "if ( a ) /b/g.test( c )", "if(a)/b/g.test(c)"},
        {"regex after a block", "{ } /b/.exec( c )", "{}/b/.exec(c)"},
        {"division after an object literal", "x = { } / 2", "x={}/2"},
        {"division after a keyword as property", "x = a.return / 2", "x=a.return/2"},
        {"regex after typeof", "typeof /x/", "typeof/x/"},
        {"regex flags would join a name", "x = /a/ in b", "x=/a/ in b"},
        {"strings and templates as they stand", "s = '/* k */ </' + `a ${ b  +  `c ${ d }` }`",
         "s='/* k */ </'+`a ${ b  +  `c ${ d }` }`"},
        {"HTML-like comments stay", "<!-- hide\nf ( ) ;\n  --> end\n", "<!-- hide\nf();\n--> end"},
        {"no new end tag", "a = b < /script>/.test(c)", "a=b< /script>/.test(c)"},
        {"no comment opener", "a < !--b", "a< !--b"},
        {"conditional compilation and CDATA markers stay", "/*@cc_on @*/ a ; //<![CDATA[\nb",
         "/*@cc_on @*/a;//<![CDATA[\nb"},
        {"no-break space and line separator",
         "a\xA0=\xA0"
         "b",
         "a=b"},
        {"identifier escapes and private names", "\\u0061 = this.#p ; #p in x",
         "\\u0061=this.#p;#p in x"},
    };
    for (const Fall& f : faelle) EXPECT_EQ(klassisch(f.vorher), f.nachher) << f.name;
    // In a module "<!--" is no comment, but HTML still reads it.
    EXPECT_EQ(skriptVerkleinern("a < !--b", Kodierung::Cp1252, true), "a< !--b");
    EXPECT_EQ(skriptVerkleinern("a\xE2\x80\xA8 b \xC2\xA0"
                                "c",
                                Kodierung::Utf8, false),
              "a\nb c");
}

// "-->" inside a line comment ends HTML's escape; without it the "<script" in the string would
// keep the element open past its end tag.
TEST(JsMinifier, KeepsTheScriptElementEndingWhereItDid) {
    const char* s = "<!--\na = \"<script>\";\n// -->\n";
    EXPECT_EQ(klassisch(s), s);
}

TEST(JsTokenizer, RefusesWhatItCannotReadToTheEnd) {
    struct Zeile {
        const char* text;
        Fehler fehler;
        Kodierung kodierung = Kodierung::Cp1252;
    };
    std::string verschachtelt;
    for (int i = 0; i < 300; ++i) verschachtelt += "`${";
    const Zeile zeilen[] = {
        {"a = 'open", Fehler::OffeneZeichenkette},
        {"a = 'two\nlines'", Fehler::OffeneZeichenkette},
        {"a = `open ${ b }", Fehler::OffeneVorlage},
        {"a = `x ${ b ` }", Fehler::OffeneVorlage},
        {"a = /open", Fehler::OffenerRegex},
        {"a = /two\nlines/", Fehler::OffenerRegex},
        {"a /* open", Fehler::OffenerKommentar},
        {"a )", Fehler::Klammern},
        {"( ]", Fehler::Klammern},
        {"function f() {} /x/g", Fehler::Mehrdeutig},
        {"a++ /x/g", Fehler::Mehrdeutig},
        {"yield /x/g", Fehler::Mehrdeutig},
        {"l: {} /x/", Fehler::Mehrdeutig},
        {"a = 3in b", Fehler::Zeichen},
        {"a = \\x", Fehler::Zeichen},
        {"a @ b", Fehler::Zeichen},
        {"a = \xE9", Fehler::Zeichen, Kodierung::Andere},
        {"a = \xE9", Fehler::Zeichen, Kodierung::Utf8},
        {verschachtelt.c_str(), Fehler::ZuTief},
    };
    for (const Zeile& z : zeilen) {
        EXPECT_EQ(zerlege(z.text, z.kodierung, false).fehler, z.fehler) << z.text;
        EXPECT_EQ(skriptVerkleinern(z.text, z.kodierung, false), z.text) << z.text;
    }
    // Inside strings and comments any byte may stand.
    EXPECT_EQ(zerlege("a = '\xE9' // \xFF", Kodierung::Andere, false).fehler, Fehler::Keiner);
}

// Minifying again changes nothing, and the result is never longer.
TEST(JsMinifier, IsIdempotentAndNeverLonger) {
    std::mt19937 zufall(20);
    for (int i = 0; i < 3000; ++i) {
        const Kodierung k = i % 3 == 0 ? Kodierung::Utf8 : Kodierung::Cp1252;
        const bool modul = i % 5 == 0;
        const std::string s = test::zufallsSkript(zufall, k, modul);
        const Text einmal = skriptVerkleinern(s, k, modul);
        ASSERT_LE(einmal.size(), s.size()) << s;
        ASSERT_EQ(skriptVerkleinern(einmal, k, modul), einmal) << s;
    }
}

}  // namespace
}  // namespace quintaro::js
