// The per-comment question of KMM=1: refused without a terminal, answered on a pseudo-terminal.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/tabelle.h"
#include "optionen_args.h"
#include "prozess.h"

namespace quintaro::cli::test {
namespace {

int anzahl(const std::string& text, const std::string& muster) {
    int n = 0;
    for (auto p = text.find(muster); p != std::string::npos; p = text.find(muster, p + 1)) ++n;
    return n;
}

const std::string kFrage = "Sollen folgender Kommentar entfernt werden?\n\n";
const std::string kAuswahl = "[j] Ja, [n] Nein, [a] Abbrechen: ";

// --- No terminal --------------------------------------------------------------------------

struct OhneTerminalFall {
    const char* name;
    std::vector<std::string> args;
    std::string eingabe;
};

class OhneTerminal : public ::testing::TestWithParam<OhneTerminalFall> {};

TEST_P(OhneTerminal, RefusesBeforeWritingAnything) {
    const auto& fall = GetParam();
    const auto r = starte(fall.args, fall.eingabe);  // new session: no controlling terminal
    EXPECT_EQ(r.exitcode, 2);
    EXPECT_EQ(r.aus, "");
    EXPECT_EQ(std::count(r.fehler.begin(), r.fehler.end(), '\n'), 1) << r.fehler;
    EXPECT_NE(r.fehler.find("KMM=1"), std::string::npos) << r.fehler;
    EXPECT_NE(r.fehler.find("terminal"), std::string::npos) << r.fehler;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, OhneTerminal,
    ::testing::Values(OhneTerminalFall{"PageWithComments", {"--set", "KMM=1"}, "a<!-- x -->b\n"},
                      OhneTerminalFall{"PageWithoutComments", {"--set", "KMM=1"}, "<p>a</p>\n"},
                      OhneTerminalFall{"EmptyPage", {"--set", "KMM=1"}, ""},
                      OhneTerminalFall{"BothCommentOptions",
                                       {"--set", "KMA=1", "--set", "KMM=1"},
                                       "a<!-- x -->b\n"},
                      OhneTerminalFall{"WithTips", {"--tips", "--set", "KMM=1"}, "a<!-- x -->b\n"}),
    ::quintaro::test::ZeilenName{});

// --- Standard input or output closed -------------------------------------------------------

// The terminal would take the closed descriptor, and the page would be written to it or read
// from it: refused before anything is read or written.
TEST(CliTerminal, AClosedStandardStreamIsRefusedBeforeTheTerminalTakesItsPlace) {
    for (const bool eingabeZu : {true, false}) {
        Lauf lauf;
        lauf.args = {"--set", "KMM=1"};
        lauf.eingabe = "a<!-- k -->b\n";
        lauf.mitTerminal = true;
        lauf.getippt = "j\nj\n<p>vom Terminal</p>\n\x04";
        lauf.eingabeZu = eingabeZu;
        lauf.ausgabeZu = !eingabeZu;
        const auto r = starte(lauf);
        EXPECT_EQ(r.exitcode, 3) << r.fehler;
        EXPECT_EQ(r.terminal, "");
        EXPECT_EQ(std::count(r.fehler.begin(), r.fehler.end(), '\n'), 1) << r.fehler;
    }
}

// --- Answers on a terminal ----------------------------------------------------------------

const std::string kDreiKommentare =
    "<p>1</p><!-- eins --><p>2</p><!-- zwei --><p>3</p><!-- drei -->\n";

struct AntwortFall {
    const char* name;
    std::string getippt;
    int exitcode;
    std::string aus;
    int fragen;     // questions shown
    int auswahlen;  // times the choice was offered
};

class Antworten : public ::testing::TestWithParam<AntwortFall> {};

TEST_P(Antworten, DecideEveryComment) {
    const auto& fall = GetParam();
    Lauf lauf;
    lauf.args = nur({"KMM"});
    lauf.eingabe = kDreiKommentare;
    lauf.mitTerminal = true;
    lauf.getippt = fall.getippt;
    const auto r = starte(lauf);
    EXPECT_EQ(r.exitcode, fall.exitcode);
    EXPECT_EQ(r.aus, fall.aus);
    EXPECT_EQ(anzahl(r.terminal, kFrage), fall.fragen) << r.terminal;
    EXPECT_EQ(anzahl(r.terminal, kAuswahl), fall.auswahlen) << r.terminal;
    // The questions name the comments in page order.
    const char* kommentare[] = {"<!-- eins -->", "<!-- zwei -->", "<!-- drei -->"};
    for (int i = 0; i < fall.fragen; ++i) {
        EXPECT_NE(r.terminal.find(kFrage + kommentare[i] + "\n\n"), std::string::npos)
            << r.terminal;
    }
    EXPECT_EQ(r.terminal.find('\r'), std::string::npos) << "CR LF is shown as a line end";
    if (fall.exitcode == 1) {
        EXPECT_NE(r.fehler.find("abandoned"), std::string::npos) << r.fehler;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cli, Antworten,
    ::testing::Values(
        AntwortFall{"AllYes", "j\nj\nj\n", 0, "<p>1</p><p>2</p><p>3</p>\r\n", 3, 3},
        AntwortFall{"YesNoYes", "j\nn\nj\n", 0, "<p>1</p><p>2</p><!-- zwei --><p>3</p>\r\n", 3, 3},
        AntwortFall{"AllNoKeepsThePage", "n\nn\nn\n", 0,
                    "<p>1</p><!-- eins --><p>2</p><!-- zwei --><p>3</p><!-- drei -->\r\n", 3, 3},
        AntwortFall{"CapitalsAndSpacesCount", " J \nN\n\tn\n", 0,
                    "<p>1</p><p>2</p><!-- zwei --><p>3</p><!-- drei -->\r\n", 3, 3},
        AntwortFall{"AnythingElseAsksAgain", "x\n\nja\nj\nn\nn\n", 0,
                    "<p>1</p><p>2</p><!-- zwei --><p>3</p><!-- drei -->\r\n", 3, 6},
        AntwortFall{"AbbrechenWritesNothing", "j\na\n", 1, "", 2, 2},
        AntwortFall{"EndOfInputIsAbbrechen", "j\n\x04", 1, "", 2, 2},
        AntwortFall{"EndOfInputAtOnce", "\x04", 1, "", 1, 1}),
    ::quintaro::test::ZeilenName{});

TEST(CliTerminal, PageContentCannotSteerTheTerminal) {
    // An escape sequence and a C1 control inside a comment; the umlaut arrives in UTF-8.
    Lauf lauf;
    lauf.args = nur({"KMM"});
    lauf.eingabe =
        "<!-- \x1B[2J\x81 Gr\xFC\xDF"
        "e -->x";
    lauf.mitTerminal = true;
    lauf.getippt = "j\n";
    const auto r = starte(lauf);
    EXPECT_EQ(r.exitcode, 0);
    EXPECT_EQ(r.aus, "x");
    EXPECT_NE(r.terminal.find(kFrage + "<!-- \\x1B[2J\\x81 Grüße -->\n\n"), std::string::npos)
        << r.terminal;
    EXPECT_EQ(r.terminal.find('\x1B'), std::string::npos);
    EXPECT_EQ(r.terminal.find("\xC2\x81"), std::string::npos);
}

TEST(CliTerminal, NoCommentMeansNoQuestion) {
    Lauf lauf;
    lauf.args = {"--set", "KMM=1", "--set", "HSB=0"};
    lauf.eingabe = "<p>a</p>\n<!--#include file=k.htm -->\n";
    lauf.mitTerminal = true;
    const auto r = starte(lauf);
    EXPECT_EQ(r.exitcode, 0);
    EXPECT_EQ(r.aus, "<p>a</p><!--#include file=k.htm --> ");
    EXPECT_EQ(r.terminal, "");
}

}  // namespace
}  // namespace quintaro::cli::test
