// The six whitespace passes: their rules, their edge cases, and an exhaustive check of short
// texts against the plain replace-all sweeps.
#include "engine/leerraum.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "common/tabelle.h"
#include "literal.h"

namespace quintaro {
namespace {

using namespace std::string_literals;
using Pass = Text (*)(Text);

std::string mal(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

struct LeerraumFall {
    const char* name;
    friend void PrintTo(const LeerraumFall& f, std::ostream* os) { *os << f.name; }
    Pass pass;
    std::string input, expected;
};

class Leerraum : public testing::TestWithParam<LeerraumFall> {};

TEST_P(Leerraum, GivesTheExpectedText) {
    EXPECT_EQ(GetParam().pass(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Leerraum,
    testing::Values(
        LeerraumFall{"TabsTwoTabsGone", &tabulatorenEntfernen, "a\t\tb", "ab"},
        LeerraumFall{"TabsNothingInTheirPlace", &tabulatorenEntfernen, "\ta\t", "a"},
        LeerraumFall{"DoubleBreaksThreeBecomeOne", &doppelteZeilenumbruecheEntfernen,
                     "a\r\n\r\n\r\nb", "a\r\nb"},
        LeerraumFall{"DoubleBreaksLongRun", &doppelteZeilenumbruecheEntfernen,
                     "a" + mal("\r\n", 37) + "b", "a\r\nb"},
        LeerraumFall{"DoubleBreaksSpaceLineSeparates", &doppelteZeilenumbruecheEntfernen,
                     "x\r\n \r\ny", "x\r\n \r\ny"},
        LeerraumFall{"DoubleBreaksLeadingSingleKept", &doppelteZeilenumbruecheEntfernen, "\r\nx",
                     "\r\nx"},
        LeerraumFall{"DoubleBreaksLoneLfNotABreak", &doppelteZeilenumbruecheEntfernen, "a\n\n\nb",
                     "a\n\n\nb"},
        // CR CR LF LF holds no CR LF pair twice in a row.
        LeerraumFall{"DoubleBreaksMixedLoneBytes", &doppelteZeilenumbruecheEntfernen,
                     "\r\r\n\r\n\n", "\r\r\n\n"},
        LeerraumFall{"BreaksBecomeOneSpace", &zeilenumbruecheEntfernen, "a\r\nb", "a b"},
        LeerraumFall{"BreaksLoneLfStays", &zeilenumbruecheEntfernen, "a\nb\rc", "a\nb\rc"},
        LeerraumFall{"BreaksLfCrIsNoPair", &zeilenumbruecheEntfernen, "a\n\rb", "a\n\rb"},
        LeerraumFall{"FiveSpacesBecomeOne", &doppelteLeerzeichenEntfernen, "a     b", "a b"},
        LeerraumFall{"SpacesRunsAtBothEnds", &doppelteLeerzeichenEntfernen, "  a  ", " a "},
        LeerraumFall{"NoBreakSpaceIsNoSpace", &doppelteLeerzeichenEntfernen, "a\xA0\xA0 b",
                     "a\xA0\xA0 b"},
        LeerraumFall{"BetweenTags", &leerzeichenZwischenTagsEntfernen, "<a> <b>", "<a><b>"},
        LeerraumFall{"BetweenTagsTwoSpacesStay", &leerzeichenZwischenTagsEntfernen, "<a>  <b>",
                     "<a>  <b>"},
        LeerraumFall{"BetweenTagsTwice", &leerzeichenZwischenTagsEntfernen, "> < > <", ">< ><"},
        LeerraumFall{"BetweenTagsBreakStays", &leerzeichenZwischenTagsEntfernen, "<a>\r\n<b>",
                     "<a>\r\n<b>"},
        LeerraumFall{"InTagsBeforeClose", &leerzeichenInTagsEntfernen, "<br >", "<br>"},
        LeerraumFall{"InTagsAfterOpen", &leerzeichenInTagsEntfernen, "< p>", "<p>"},
        LeerraumFall{"InTagsOnlyNextToBracket", &leerzeichenInTagsEntfernen, "a  >", "a >"},
        LeerraumFall{"InTagsScriptLess", &leerzeichenInTagsEntfernen, "if (a < b)", "if (a <b)"},
        LeerraumFall{"InTagsGreaterInText", &leerzeichenInTagsEntfernen, "a > b", "a> b"},
        // " >" goes first, so "< >" loses the space before ">" and keeps the "<".
        LeerraumFall{"InTagsOrderOfTheTwo", &leerzeichenInTagsEntfernen, "< >", "<>"},
        LeerraumFall{"InTagsLessSpaceSpaceGreater", &leerzeichenInTagsEntfernen, "<  >", "<>"}),
    ::quintaro::test::ZeilenName{});

TEST(Leerraum, OptionsZeroAndTwoCollapseIndentation) {
    EXPECT_EQ(doppelteLeerzeichenEntfernen(zeilenumbruecheEntfernen("a\r\n    b")), "a b");
}

TEST(Leerraum, OptionThreeAfterTwoRemovesTwoSpacesBetweenTags) {
    EXPECT_EQ(leerzeichenZwischenTagsEntfernen(doppelteLeerzeichenEntfernen("<a>  <b>")), "<a><b>");
}

struct NamedPass {
    const char* name;
    Pass pass;
    std::string named;  // the bytes the pass looks at
};

const NamedPass kPasses[] = {
    {"tabs", &tabulatorenEntfernen, "\t"},
    {"doubleBreaks", &doppelteZeilenumbruecheEntfernen, "\r\n"},
    {"breaks", &zeilenumbruecheEntfernen, "\r\n"},
    {"doubleSpaces", &doppelteLeerzeichenEntfernen, " "},
    {"betweenTags", &leerzeichenZwischenTagsEntfernen, "> <"},
    {"inTags", &leerzeichenInTagsEntfernen, "<> "},
};

TEST(Leerraum, EveryOtherBytePassesThroughEveryPass) {
    for (const auto& p : kPasses) {
        std::string rest;
        for (int b = 0; b < 256; ++b) {
            const char c = static_cast<char>(b);
            if (p.named.find(c) == std::string::npos) rest.push_back(c);
        }
        // Twice in a row too, so that a doubled byte is not taken for a run.
        std::string doubled;
        for (char c : rest) doubled += std::string(2, c);
        EXPECT_EQ(p.pass(rest), rest) << p.name;
        EXPECT_EQ(p.pass(doubled), doubled) << p.name;
    }
}

TEST(Leerraum, EmptyTextStaysEmpty) {
    for (const auto& p : kPasses) EXPECT_EQ(p.pass(""), "") << p.name;
}

TEST(Leerraum, PassesThatSettleAreIdempotent) {
    const std::string text = "\t<a>  \r\n\r\n\r\n <b >\t< c>   </a>\r\n";
    for (const auto& p : {kPasses[0], kPasses[1], kPasses[3]}) {
        const Text once = p.pass(text);
        EXPECT_EQ(p.pass(once), once) << p.name;
    }
}

// Every text up to `maxLength` over `alphabet`, compared with the literal sweeps.
void exhaustive(const std::string& alphabet, std::size_t maxLength, Pass pass,
                const std::function<Text(Text)>& literal, const char* name) {
    std::string text;
    std::function<void()> grow = [&] {
        ASSERT_EQ(pass(text), literal(text)) << name << " on \"" << text << "\"";
        if (text.size() == maxLength) return;
        for (char c : alphabet) {
            text.push_back(c);
            grow();
            text.pop_back();
            if (testing::Test::HasFatalFailure()) return;
        }
    };
    grow();
}

TEST(Leerraum, ShortTextsMatchThePlainSweeps) {
    exhaustive("\r\n a", 8, &doppelteZeilenumbruecheEntfernen, literal::doppelteZeilenumbrueche,
               "doubleBreaks");
    exhaustive("\r\n a", 8, &zeilenumbruecheEntfernen, literal::zeilenumbrueche, "breaks");
    exhaustive(" a\t", 9, &doppelteLeerzeichenEntfernen, literal::doppelteLeerzeichen,
               "doubleSpaces");
    exhaustive("\ta", 10, &tabulatorenEntfernen, literal::tabulatoren, "tabs");
    exhaustive("<> a", 8, &leerzeichenZwischenTagsEntfernen, literal::zwischenTags, "betweenTags");
    exhaustive("<> a", 8, &leerzeichenInTagsEntfernen, literal::inTags, "inTags");
}

// Long texts, dense in what the passes remove, so that the block-wise paths and the moves behind
// a shrunken text are all taken.
TEST(Leerraum, LongTextsMatchThePlainSweeps) {
    std::mt19937 rng(11);
    const std::string zeichen = "      \t\t\r\n<>ab\xE4";
    for (int runde = 0; runde < 300; ++runde) {
        std::string text;
        const std::size_t laenge = rng() % 3000;
        const std::size_t dichte = 1 + rng() % 8;  // how often a special byte comes
        for (std::size_t i = 0; i < laenge; ++i) {
            if (rng() % 10 < dichte) {
                text.push_back(zeichen[rng() % zeichen.size()]);
            } else if (rng() % 30 == 0) {
                text += "\r\n\r\n\r\n";
            } else {
                text.push_back('x');
            }
        }
        ASSERT_EQ(tabulatorenEntfernen(text), literal::tabulatoren(text)) << text;
        ASSERT_EQ(doppelteZeilenumbruecheEntfernen(text), literal::doppelteZeilenumbrueche(text))
            << text;
        ASSERT_EQ(zeilenumbruecheEntfernen(text), literal::zeilenumbrueche(text)) << text;
        ASSERT_EQ(doppelteLeerzeichenEntfernen(text), literal::doppelteLeerzeichen(text)) << text;
        ASSERT_EQ(leerzeichenZwischenTagsEntfernen(text), literal::zwischenTags(text)) << text;
        ASSERT_EQ(leerzeichenInTagsEntfernen(text), literal::inTags(text)) << text;
        for (const char* search : {"x<", "xxxxx", "x x", "<a>x", "\r\nx\r\n"}) {
            Text t = text;
            alleErsetzenSchrumpfend(t, search, "");
            ASSERT_EQ(t, literal::alleErsetzen(text, search, "")) << search << " in " << text;
        }
    }
}

// The joined sweep against the literal passes one after the other, with and without DZU (which it
// leaves out), over long texts dense in runs, pairs across tabs and spaces beside tags.
TEST(Leerraum, OneSweepMatchesThePassesInTurn) {
    std::mt19937 rng(5);
    const std::vector<std::string> teile = {
        " ",   "  ", "\t", "\r\n", "\r",   "\n", "\r\t\n",          "<",          ">",
        "> <", " >", "< ", "ab",   "\xE4", "xx", "xxxxxxxxxxxxxxx", "\r\n\r\n \t"};
    for (int runde = 0; runde < 400; ++runde) {
        std::string text;
        const std::size_t anzahl = rng() % 400;
        for (std::size_t i = 0; i < anzahl; ++i) text += teile[rng() % teile.size()];
        for (int wahl = 0; wahl < 16; ++wahl) {
            const bool tabs = (wahl & 1) != 0;
            const bool zwischenTags = (wahl & 2) != 0;
            const bool inTags = (wahl & 4) != 0;
            const bool doppelteUmbrueche = (wahl & 8) != 0;
            Text erwartet = text;
            if (tabs) erwartet = literal::tabulatoren(erwartet);
            if (doppelteUmbrueche) erwartet = literal::doppelteZeilenumbrueche(erwartet);
            erwartet = literal::doppelteLeerzeichen(literal::zeilenumbrueche(erwartet));
            if (zwischenTags) erwartet = literal::zwischenTags(erwartet);
            if (inTags) erwartet = literal::inTags(erwartet);
            ASSERT_EQ(leerraumInEinemGang(text, tabs, zwischenTags, inTags), erwartet)
                << "choice " << wahl << " in " << text;
        }
    }
}

TEST(ReplaceAllShrinking, MatchesReplaceAll) {
    const struct {
        std::string text, search, replacement;
    } cases[] = {{"aaaaa", "aa", "a"}, {"xaax", "aa", ""},     {"", "a", ""},
                 {"abc", "", ""},      {"abab", "ab", "ba"},   {"a\0a\0"s, "\0"s, ""},
                 {"a", "a", "b"},      {"> <> <", "> <", "><"}};
    for (const auto& c : cases) {
        Text t = c.text;
        alleErsetzenSchrumpfend(t, c.search, c.replacement);
        EXPECT_EQ(t, literal::alleErsetzen(c.text, c.search, c.replacement)) << c.text;
    }
}

}  // namespace
}  // namespace quintaro
