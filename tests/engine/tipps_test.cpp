// The ten tip checks and the occurrence count behind them.
#include "engine/tipps.h"
#include "common/tabelle.h"

#include <gtest/gtest.h>

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
const std::vector<std::string_view> kNone;

std::vector<std::string_view> tips(const std::string& body) {
    return optimierungstipps(kKopf + body);
}

const char* const kAlt =
    "Die Anzahl der Grafikeinbindungen stimmt nicht mit der der Alternativtexte "
    "überein.\r\n\r\nFormat: <img src=\"...\" alt=\"...\"";
const char* const kTitle =
    "Die Anzahl der Grafikeinbindungen stimmt nicht mit der der Grafiktitel "
    "überein.\r\n\r\nFormat: <img src=\"...\" title=\"...\"";
const char* const kWidth =
    "Die Anzahl der Grafikeinbindungen stimmt nicht mit der der Breitenangaben "
    "überein.\r\n\r\nFormat: <img src=\"...\" width=\"...\"";
const char* const kHeight =
    "Die Anzahl der Grafikeinbindungen stimmt nicht mit der der Höhenangaben "
    "überein.\r\n\r\nFormat: <img src=\"...\" height=\"...\"";
const char* const kDoctype = "Der Dokumententyp wurde nicht definiert\r\n\r\nFormat: <!DOCTYPE=...";
const char* const kSeitentitel =
    "Es wurde kein Seitentitel vergeben\r\n\r\nFormat: <title>...</title>";
const char* const kGenerator =
    "Die Metadaten enthalten Informationen zum Generator. Diese Angaben sind "
    "redundant.\r\n\r\nFormat: <meta name=\"GENERATOR\" ...";
const char* const kProgId =
    "Die Metadaten enthalten Informationen zur ProgID. Diese Angaben sind "
    "redundant.\r\n\r\nFormat: <meta name=\"ProgID\" ...";
const char* const kOriginator =
    "Die Metadaten enthalten Informationen zum Originator. Diese Angaben sind "
    "redundant.\r\n\r\nFormat: <meta name=\"ORIGINATOR\" ...";
const char* const kLokal = "Es wurden lokale Dateien eingebunden.";

struct TippFall {
    const char* name;
    friend void PrintTo(const TippFall& f, std::ostream* os) { *os << f.name; }
    std::string body;
    std::vector<std::string> expected;
};

class Optimierungstipps : public testing::TestWithParam<TippFall> {};

TEST_P(Optimierungstipps, ShowsTheTipsInCheckOrder) {
    const auto got = tips(GetParam().body);
    EXPECT_EQ(std::vector<std::string>(got.begin(), got.end()), GetParam().expected);
}

const std::string kVollesBild = "<img src=a alt=a title=a width=1 height=1>";

INSTANTIATE_TEST_SUITE_P(
    Checks, Optimierungstipps,
    testing::Values(
        TippFall{"CleanPage", "", {}}, TippFall{"NoImagesNoImageTips", "<p alt=x>", {}},
        TippFall{"ThreeImagesTwoAlts",
                 "<img src=1 alt=1 title=1 width=1 height=1><img src=2 alt=2 title=2 width=2 "
                 "height=2><img src=3 title=3 width=3 height=3>",
                 {kAlt}},
        TippFall{"AltOnAreaMakesUpForIt", "<img src=1 title=1 width=1 height=1><area alt=x>", {}},
        TippFall{"ImageWithNothing", "<img src=a>", {kAlt, kTitle, kWidth, kHeight}},
        TippFall{"OtherAttributeFirstIsNoImage", "<img border=0 src=a>", {}},
        TippFall{"TabBetweenImgAndSrcIsNoImage", "<img\tsrc=a>", {}},
        TippFall{"TitleOnALinkCounts", "<img src=a alt=a width=1 height=1><a title=x>", {}},
        TippFall{"GeneratorOnceThoughBothSpellings",
                 "<meta name=\"Generator\" content=x><meta name=GENERATOR>",
                 {kGenerator}},
        TippFall{"GeneratorContentFirst", "<meta content=x name=\"Generator\">", {}},
        TippFall{"ProgIdUnquoted", "<META NAME=progid content=x>", {kProgId}},
        TippFall{"OriginatorQuoted", "<meta name=\"Originator\" content=x>", {kOriginator}},
        TippFall{"LocalFileQuoted",
                 "<img src=\"file:\\\\c\\a.gif\" alt=a title=a width=1 height=1>",
                 {kLokal}},
        TippFall{"LocalFileUnquoted", "<a href=file:\\\\c\\x>", {kLokal}},
        TippFall{"ForwardSlashesNoTip", "<a href=\"file:///c/x\">", {}}),
    ::quintaro::test::ZeilenName{});

TEST(Optimierungstipps, DoctypeAndTitleInAnyCase) {
    EXPECT_EQ(optimierungstipps("<!doctype html><TITLE>x</TITLE>"), kNone);
    const auto got = optimierungstipps("<p>");
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], kDoctype);
    EXPECT_EQ(got[1], kSeitentitel);
}

TEST(Optimierungstipps, TitleAsTheLastSixCharacters) {
    EXPECT_EQ(optimierungstipps("<!DOCTYPE x><title"), kNone);
}

TEST(Optimierungstipps, AllTenInOrder) {
    const auto got = optimierungstipps(
        "<img src=a><meta name=generator><meta name=progid><meta name=originator>"
        "<a href=file:\\\\x>");
    const std::vector<std::string> expected = {kAlt,        kTitle,       kWidth,     kHeight,
                                               kDoctype,    kSeitentitel, kGenerator, kProgId,
                                               kOriginator, kLokal};
    EXPECT_EQ(std::vector<std::string>(got.begin(), got.end()), expected);
}

TEST(Optimierungstipps, FullImageNeedsNoTip) {
    EXPECT_EQ(tips(kVollesBild), kNone);
}

}  // namespace
}  // namespace quintaro
