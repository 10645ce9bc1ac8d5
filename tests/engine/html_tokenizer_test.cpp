// The tokenizer on the malformed input a browser tolerates: where each token ends and what it is.
#include "engine/html_tokenizer.h"

#include <gtest/gtest.h>

#include <string>

namespace quintaro::html {
namespace {

// Each token as a letter, its bytes in brackets, and "!" when the page's end cut it off.
std::string zeige(std::string_view text) {
    std::string s;
    for (const Token& t : zerlege(text)) {
        s += "TSEKDBCVRQ"[static_cast<int>(t.art)];
        s += "[" + std::string(text.substr(t.anfang, t.ende - t.anfang)) + "]";
        if (t.offen) s += "!";
    }
    return s;
}

struct Fall {
    const char* name;
    const char* eingabe;
    const char* erwartet;
};

TEST(HtmlTokenizer, ReadsAsABrowserDoes) {
    const Fall faelle[] = {
        {"lone <", "a < b<1x", "T[a < b<1x]"},
        {"< at end", "a<", "T[a<]"},
        {"quoted >", "<p class=\"a>b\">x", "S[<p class=\"a>b\">]T[x]"},
        {"case and space in end tag", "<P>x</P >", "S[<P>]T[x]E[</P >]"},
        {"unclosed tag", "a<a href='x>", "T[a]S[<a href='x>]!"},
        {"quote in tag name", "<a\"b>c", "S[<a\"b>]T[c]"},
        {"unquoted value takes /", "<a b=c/>d", "S[<a b=c/>]T[d]"},
        {"abrupt comments", "<!-->x<!--->y", "K[<!-->]T[x]K[<!--->]T[y]"},
        {"no nesting", "<!-- a <!-- b --> c -->", "K[<!-- a <!-- b -->]T[ c -->]"},
        {"--!> closes", "<!-- a --!> b", "K[<!-- a --!>]T[ b]"},
        {"---> closes", "<!-- a --->b", "K[<!-- a --->]T[b]"},
        {"--!x does not", "<!--a--!x-->b", "K[<!--a--!x-->]T[b]"},
        {"<!--!> does not", "<!--!>a-->b", "K[<!--!>a-->]T[b]"},
        {"unclosed comment", "<!-- open", "K[<!-- open]!"},
        {"script", "<script>a</b>c</script>d", "S[<script>]R[a</b>c]E[</script>]T[d]"},
        {"escaped script", "<script><!-- <script> </script> --></script>x",
         "S[<script>]R[<!-- <script> </script> -->]E[</script>]T[x]"},
        {"escape without inner script", "<script><!-- a </script>x",
         "S[<script>]R[<!-- a ]E[</script>]T[x]"},
        {"escape left by -->", "<script><!-- a --> <script> </script>x",
         "S[<script>]R[<!-- a --> <script> ]E[</script>]T[x]"},
        {"<!--> in script", "<script><!--><script></script>x",
         "S[<script>]R[<!--><script>]E[</script>]T[x]"},
        {"longer end name", "<script>a</scripts>b</script>",
         "S[<script>]R[a</scripts>b]E[</script>]"},
        {"end tag case", "<SCRIPT>a</Script\n>", "S[<SCRIPT>]R[a]E[</Script\n>]"},
        {"unclosed script", "<script>a<!--", "S[<script>]R[a<!--]"},
        {"style", "<style>a<!--</style>-->", "S[<style>]R[a<!--]E[</style>]T[-->]"},
        {"rcdata", "<title>a<b>c</title><textarea><!--x--></textarea>",
         "S[<title>]Q[a<b>c]E[</title>]S[<textarea>]Q[<!--x-->]E[</textarea>]"},
        {"xmp", "<xmp><b></xmp>", "S[<xmp>]R[<b>]E[</xmp>]"},
        {"plaintext", "<plaintext><b></plaintext>", "S[<plaintext>]R[<b></plaintext>]"},
        {"doctype", "<!doctype html><p>", "D[<!doctype html>]S[<p>]"},
        {"cdata", "<![CDATA[ a > b ]]>x", "C[<![CDATA[ a > b ]]>]T[x]"},
        {"bogus", "<!x>y</>a</ x>b", "B[<!x>]T[y]B[</>]T[a]B[</ x>]T[b]"},
        {"server code", "<?php $a->b ?>x<% a %>", "V[<?php $a->b ?>]T[x]V[<% a %>]"},
        {"self-closing script still raw", "<script/><b></script>",
         "S[<script/>]R[<b>]E[</script>]"},
    };
    for (const Fall& f : faelle) EXPECT_EQ(zeige(f.eingabe), f.erwartet) << f.name;
}

TEST(HtmlTokenizer, KnowsElementsInAnyCase) {
    EXPECT_EQ(elementFuer("DIV"), Element::Block);
    EXPECT_EQ(elementFuer("Pre"), Element::Pre);
    EXPECT_EQ(elementFuer("td"), Element::Zelle);
    EXPECT_EQ(elementFuer("span"), Element::Sonstiges);
    EXPECT_EQ(elementFuer("divx"), Element::Sonstiges);
    EXPECT_EQ(elementFuer("blockquotes"), Element::Sonstiges);
    EXPECT_EQ(elementFuer("body"), Element::Body);  // "base" has the same letter and length
    EXPECT_EQ(elementFuer("bode"), Element::Sonstiges);
    EXPECT_EQ(elementFuer("Wbr"), Element::Atom);
    EXPECT_EQ(elementFuer(""), Element::Sonstiges);
}

}  // namespace
}  // namespace quintaro::html
