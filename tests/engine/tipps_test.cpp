// The ten tip checks and the occurrence count behind them.
#include "engine/tipps.h"
#include "common/tabelle.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace quintaro {
namespace {

struct ZaehlFall {
    const char* name;
    friend void PrintTo(const ZaehlFall& f, std::ostream* os) { *os << f.name; }
    std::string text, pattern;
    int expected;
};

class VorkommenZaehlenTest : public testing::TestWithParam<ZaehlFall> {};

TEST_P(VorkommenZaehlenTest, Counts) {
    EXPECT_EQ(VorkommenZaehlen(GetParam().text, GetParam().pattern), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rules, VorkommenZaehlenTest,
                         testing::Values(ZaehlFall{"OverlappingEachCount", "aaa", "aa", 2},
                                         ZaehlFall{"LongerThanText", "ab", "abc", 0},
                                         ZaehlFall{"AtTheVeryEnd", "xx<title", "<title", 1},
                                         ZaehlFall{"WholeText", "<title", "<title", 1},
                                         ZaehlFall{"CaseOfAsciiIgnored", "<META NAME=Generator",
                                                   "<meta name=GENERATOR", 1},
                                         ZaehlFall{"UmlautCaseNotFolded", "\xC4", "\xE4", 0},
                                         ZaehlFall{"EmptyText", "", "a", 0}),
                         ::quintaro::test::ZeilenName{});

const std::string kKopf = "<!DOCTYPE html><title>t</title>";
using Tipps = std::vector<Tipp>;

Tipps tips(const std::string& body) {
    return tippsFuer(kKopf + body);
}

struct TippFall {
    const char* name;
    friend void PrintTo(const TippFall& f, std::ostream* os) { *os << f.name; }
    std::string body;
    Tipps expected;
};

class Optimierungstipps : public testing::TestWithParam<TippFall> {};

TEST_P(Optimierungstipps, ShowsTheTipsInCheckOrder) {
    EXPECT_EQ(tips(GetParam().body), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, Optimierungstipps,
    testing::Values(
        TippFall{"CleanPage", "", {}}, TippFall{"NoImagesNoImageTips", "<p alt=x>", {}},
        TippFall{"ThreeImagesTwoAlts",
                 "<img src=1 alt=1 title=1 width=1 height=1><img src=2 alt=2 title=2 width=2 "
                 "height=2><img src=3 title=3 width=3 height=3>",
                 {Tipp::Alternativtexte}},
        TippFall{"AltOnAreaMakesUpForIt", "<img src=1 title=1 width=1 height=1><area alt=x>", {}},
        TippFall{
            "ImageWithNothing",
            "<img src=a>",
            {Tipp::Alternativtexte, Tipp::Grafiktitel, Tipp::Breitenangaben, Tipp::Hoehenangaben}},
        TippFall{"OtherAttributeFirstIsNoImage", "<img border=0 src=a>", {}},
        TippFall{"TabBetweenImgAndSrcIsNoImage", "<img\tsrc=a>", {}},
        TippFall{"TitleOnALinkCounts", "<img src=a alt=a width=1 height=1><a title=x>", {}},
        TippFall{"GeneratorOnceThoughBothSpellings",
                 "<meta name=\"Generator\" content=x><meta name=GENERATOR>",
                 {Tipp::Generator}},
        TippFall{"GeneratorContentFirst", "<meta content=x name=\"Generator\">", {}},
        TippFall{"ProgIdUnquoted", "<META NAME=progid content=x>", {Tipp::ProgId}},
        TippFall{"OriginatorQuoted", "<meta name=\"Originator\" content=x>", {Tipp::Originator}},
        TippFall{"LocalFileQuoted",
                 "<img src=\"file:\\\\c\\a.gif\" alt=a title=a width=1 height=1>",
                 {Tipp::LokaleDateien}},
        TippFall{"LocalFileUnquoted", "<a href=file:\\\\c\\x>", {Tipp::LokaleDateien}},
        TippFall{"ForwardSlashesNoTip", "<a href=\"file:///c/x\">", {}}),
    ::quintaro::test::ZeilenName{});

TEST(Optimierungstipps, DoctypeAndTitleInAnyCase) {
    EXPECT_EQ(tippsFuer("<!doctype html><TITLE>x</TITLE>"), Tipps{});
    EXPECT_EQ(tippsFuer("<p>"), (Tipps{Tipp::Dokumententyp, Tipp::Seitentitel}));
}

TEST(Optimierungstipps, TitleAsTheLastSixCharacters) {
    EXPECT_EQ(tippsFuer("<!DOCTYPE x><title"), Tipps{});
}

// All ten, in check order, each shown with its own message.
TEST(Optimierungstipps, AllTenInOrderEachWithItsMessage) {
    const std::string seite =
        "<img src=a><meta name=generator><meta name=progid><meta name=originator>"
        "<a href=file:\\\\x>";
    Tipps alle;
    for (int t = 0; t <= static_cast<int>(Tipp::LokaleDateien); ++t) {
        alle.push_back(static_cast<Tipp>(t));
    }
    EXPECT_EQ(tippsFuer(seite), alle);
    std::set<std::string_view> texte;
    for (const Tipp t : alle) texte.insert(tippText(t));
    EXPECT_EQ(texte.size(), alle.size());
    const auto gezeigt = optimierungstipps(seite);
    ASSERT_EQ(gezeigt.size(), alle.size());
    for (std::size_t i = 0; i < alle.size(); ++i) EXPECT_EQ(gezeigt[i], tippText(alle[i]));
}

TEST(Optimierungstipps, FullImageNeedsNoTip) {
    EXPECT_EQ(tips("<img src=a alt=a title=a width=1 height=1>"), Tipps{});
}

}  // namespace
}  // namespace quintaro
