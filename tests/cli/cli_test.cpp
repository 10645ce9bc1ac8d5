// End-to-end tests of quintaro-cli as a process: output bytes, messages and exit codes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/tabelle.h"
#include "engine/tipps.h"
#include "optionen_args.h"
#include "prozess.h"

namespace quintaro::cli::test {
namespace {

std::string alleBytes() {
    std::string s;
    for (int b = 0; b < 256; ++b) s += static_cast<char>(b);
    return s;
}

// --- Pages through the run, byte for byte ---------------------------------------------------

struct SeitenFall {
    const char* name;
    std::vector<std::string> args;
    std::string eingabe;
    std::string erwartet;
};

class Seiten : public ::testing::TestWithParam<SeitenFall> {};

TEST_P(Seiten, GivesExactlyTheOptimisedBytes) {
    const auto& fall = GetParam();
    const auto r = starte(fall.args, fall.eingabe);
    EXPECT_EQ(r.exitcode, 0);
    EXPECT_EQ(r.aus, fall.erwartet);
    EXPECT_EQ(r.fehler, "");
}

// Windows line ends, a tab, an empty line run, loose spaces in and between tags, umlauts (cp1252).
const std::string kSeiteCrLf =
    "<html>\r\n<head>\r\n\t<title>Gr\xFC\xDF"
    "e</title>\r\n</head>\r\n\r\n\r\n<body>\r\n  <p>  Text  </p>\r\n <br >\r\n< p>x</p>\r\n"
    "</body>\r\n</html>\r\n";
const std::string kSeiteOptimiert =
    "<html><head><title>Gr&uuml;&szlig;e</title></head><body><p> Text </p><br><p>x</p></body>"
    "</html> ";

std::string zeilenendenErsetzen(std::string s, const std::string& neu) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s.compare(i, 2, "\r\n") == 0) {
            out += neu;
            ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string alleBytesOhneUmbruch() {
    std::string s = alleBytes();
    s[0x0A] = ' ';  // the lone LF, made CR LF on loading and then one space
    s[0x0D] = ' ';  // the lone CR, likewise
    return s;
}

std::string alleBytesGeladen() {
    std::string s = alleBytes();
    s.replace(0x0D, 1, "\r\n");
    s.replace(0x0A, 1, "\r\n");
    return s;
}

// The rows pin the passes that treat the page as plain text: HSB is off in each of them.
INSTANTIATE_TEST_SUITE_P(
    Cli, Seiten,
    ::testing::Values(
        SeitenFall{"DefaultsOnWindowsLineEnds", {"--set", "HSB=0"}, kSeiteCrLf, kSeiteOptimiert},
        SeitenFall{"DefaultsOnUnixLineEnds",
                   {"--set", "HSB=0"},
                   zeilenendenErsetzen(kSeiteCrLf, "\n"),
                   kSeiteOptimiert},
        SeitenFall{"DefaultsOnOldMacLineEnds",
                   {"--set", "HSB=0"},
                   zeilenendenErsetzen(kSeiteCrLf, "\r"),
                   kSeiteOptimiert},
        SeitenFall{"EverythingOffOnlyNormalisesLineBreaks", nur({}), "a\nb\r\nc\rd\r\r\ne\n\n",
                   "a\r\nb\r\nc\r\nd\r\n\r\ne\r\n\r\n"},
        SeitenFall{"EveryByteValueWithOnlyLineBreakRemoval", nur({"ZU"}), alleBytes(),
                   alleBytesOhneUmbruch()},
        SeitenFall{"EveryByteValueWithEverythingOff", nur({}), alleBytes(), alleBytesGeladen()},
        SeitenFall{"NulBytesPassThrough", nur({"ZU", "SZ"}), std::string("a\0b\n\0\xE4", 6),
                   std::string("a\0b \0&auml;", 11)},
        SeitenFall{"CommentsAutomaticallyKeepServerSideIncludes", nur({"KMA"}),
                   "a<!-- x -->b<!--#include file=k.htm -->c\n",
                   "ab<!--#include file=k.htm -->c\r\n"},
        SeitenFall{"CommentsStayWithoutTheOption", nur({}), "a<!-- x -->b\n", "a<!-- x -->b\r\n"},
        SeitenFall{"FrontPageWebbots", nur({"FPW"}), "<!--webbot bot=Timestamp --><p>1234567",
                   "<p>1234567"},
        SeitenFall{"CapitalUmlautBecomesEntity", nur({"KMA", "SZ"}), "<p>\xC4</p>",
                   "<p>&Auml;</p>"}),
    ::quintaro::test::ZeilenName{});

// --- Replacement table from the command line --------------------------------------------------

TEST(CliReplace, Utf8ArgumentsBecomeCodePage1252) {
    // "Bär" in code page 1252; the arguments are UTF-8.
    const std::string seite = "B\xE4r";
    EXPECT_EQ(starte(plus(nur({"AE"}), {"--replace", "ä", "ö"}), seite).aus, "B\xF6r");
    EXPECT_EQ(starte(plus(nur({"AE", "SZ"}), {"--replace", "ä", "ö"}), seite).aus, "B&ouml;r");
    // The euro sign lives at 0x80 in code page 1252, outside Latin-1.
    EXPECT_EQ(starte(plus(nur({"AE"}), {"--replace", "€", "EUR"}), "1\x80").aus, "1EUR");
    EXPECT_EQ(starte(plus(nur({"AE"}), {"--replace", "x", "€"}), "x").aus, "\x80");
}

TEST(CliReplace, RowsApplyInArgumentOrder) {
    const auto erst = plus(nur({"AE"}), {"--replace", "Straße", "Strasse", "--replace", "ss", "s"});
    EXPECT_EQ(starte(erst,
                     "Stra\xDF"
                     "e")
                  .aus,
              "Strase");
    const auto umgekehrt =
        plus(nur({"AE"}), {"--replace", "ss", "s", "--replace", "Straße", "Strasse"});
    EXPECT_EQ(starte(umgekehrt,
                     "Stra\xDF"
                     "e")
                  .aus,
              "Strasse");
}

TEST(CliReplace, EmptyReplacementDeletesAndOptionOffLeavesAlone) {
    EXPECT_EQ(starte(plus(nur({"AE"}), {"--replace", "<b>", ""}), "<b>x<b>").aus, "x");
    EXPECT_EQ(starte(plus(nur({}), {"--replace", "<b>", ""}), "<b>x<b>").aus, "<b>x<b>");
}

TEST(CliReplace, ReplacementFeedsTheWhitespacePasses) {
    // Default options: the doubled space that the row puts in is collapsed afterwards.
    EXPECT_EQ(starte({"--replace", "-", "  "}, "a-b").aus, "a b");
}

// --- Usage errors ---------------------------------------------------------------------------

struct AufrufFehlerFall {
    const char* name;
    std::vector<std::string> args;
    std::string genannt;  // what the message must name
};

class AufrufFehler : public ::testing::TestWithParam<AufrufFehlerFall> {};

TEST_P(AufrufFehler, OneLineOnStandardErrorNothingOnStandardOutput) {
    const auto& fall = GetParam();
    const auto r = starte(fall.args, "<p>seite</p>\n");
    EXPECT_EQ(r.exitcode, 2);
    EXPECT_EQ(r.aus, "");
    ASSERT_FALSE(r.fehler.empty());
    EXPECT_EQ(r.fehler.back(), '\n');
    EXPECT_EQ(std::count(r.fehler.begin(), r.fehler.end(), '\n'), 1) << r.fehler;
    EXPECT_NE(r.fehler.find(fall.genannt), std::string::npos) << r.fehler;
    EXPECT_EQ(r.fehler.rfind("quintaro-cli: ", 0), 0u) << r.fehler;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, AufrufFehler,
    ::testing::Values(
        AufrufFehlerFall{"UnknownFlag", {"--bogus"}, "'--bogus'"},
        AufrufFehlerFall{"UnknownShortFlag", {"-x"}, "'-x'"},
        AufrufFehlerFall{"ErrorBeforeHelp", {"--bogus", "--help"}, "'--bogus'"},
        AufrufFehlerFall{"SetWithoutArgument", {"--set"}, "--set"},
        AufrufFehlerFall{"SetUnknownKey", {"--set", "XY=1"}, "'XY'"},
        AufrufFehlerFall{"SetKeyIsCaseSensitive", {"--set", "zu=1"}, "'zu'"},
        AufrufFehlerFall{"SetEmptyKey", {"--set", "=1"}, "''"},
        AufrufFehlerFall{"SetBadValue", {"--set", "ZU=2"}, "'2'"},
        AufrufFehlerFall{"SetWordValue", {"--set", "ZU=yes"}, "'yes'"},
        AufrufFehlerFall{"SetEmptyValue", {"--set", "ZU="}, "ZU"},
        AufrufFehlerFall{"SetWithoutEquals", {"--set", "ZU"}, "'ZU'"},
        AufrufFehlerFall{"SetLineBreakStaysOnOneLine", {"--set", "Z\nU=1"}, "'Z\\x0AU'"},
        AufrufFehlerFall{
            "EchoedControlsAreEscaped", {"--set", "\x1B[2J\xC2\x9B\xC1=1"}, "'\\x1B[2J\\x9B\\xC1'"},
        AufrufFehlerFall{"ReplaceWithoutArguments", {"--replace"}, "--replace"},
        AufrufFehlerFall{"ReplaceWithOneArgument", {"--replace", "a"}, "--replace"},
        AufrufFehlerFall{"ReplaceEmptySearch", {"--replace", "", "x"}, "SEARCH"},
        AufrufFehlerFall{"ReplaceSearchOutsideCodePage", {"--replace", "a中", "x"}, "U+4E2D"},
        AufrufFehlerFall{"ReplacementOutsideCodePage", {"--replace", "a", "→"}, "U+2192"},
        AufrufFehlerFall{"ReplaceNotUtf8", {"--replace", "a", "\xFF"}, "UTF-8"},
        AufrufFehlerFall{"SettingsWithoutArgument", {"--settings"}, "--settings"},
        AufrufFehlerFall{"SettingsWithoutFiles", {"--settings", "x.ini"}, "--settings"},
        AufrufFehlerFall{"TipsWithFiles", {"--tips", "seite.htm"}, "--tips"}),
    ::quintaro::test::ZeilenName{});

// --- Help, empty input, tips, failing streams -----------------------------------------------

// The project's version, whatever follows the flag.
TEST(Cli, VersionGoesToStandardOutput) {
    const auto r = starte({"--set", "ZU=0", "--version", "--bogus"}, "<p>x</p>");
    EXPECT_EQ(r.exitcode, 0);
    EXPECT_EQ(r.fehler, "");
    EXPECT_EQ(r.aus, "quintaro-cli " QUINTARO_VERSION "\n");
}

TEST(Cli, HelpGoesToStandardOutputAndListsEveryKey) {
    for (const auto& flag : {"--help", "-h"}) {
        const auto r = starte({"--set", "ZU=0", flag, "--bogus"}, "<p>x</p>");
        EXPECT_EQ(r.exitcode, 0);
        EXPECT_EQ(r.fehler, "");
        EXPECT_EQ(r.aus.rfind("Usage: quintaro-cli [--set KEY=0|1]... [--replace SEARCH "
                              "REPLACEMENT]... [--tips] < page.htm > optimised.htm\n",
                              0),
                  0u)
            << r.aus;
        for (const auto& key : kAlleSchluessel) {
            EXPECT_NE(r.aus.find("\n  " + key + " "), std::string::npos) << key;
        }
    }
}

// Nothing on standard input is a usage error of the command line, told in its own words, not
// the window's request to load a file.
TEST(Cli, EmptyInputIsAUsageErrorWithoutTheWindowsText) {
    for (const auto& args : {std::vector<std::string>{}, nur({}), nur({"KMA", "FPW"})}) {
        const auto r = starte(args, "");
        EXPECT_EQ(r.exitcode, 2);
        EXPECT_EQ(r.aus, "");
        EXPECT_EQ(r.fehler.rfind("quintaro-cli: ", 0), 0u) << r.fehler;
        EXPECT_EQ(std::count(r.fehler.begin(), r.fehler.end(), '\n'), 1) << r.fehler;
    }
}

// How the command line shows tips: each message with its CR LF as line ends, then a blank line.
std::string gezeigt(std::initializer_list<Tipp> tipps) {
    std::string text;
    for (const Tipp t : tipps) {
        std::string meldung(tippText(t));
        for (auto p = meldung.find("\r\n"); p != std::string::npos; p = meldung.find("\r\n", p)) {
            meldung.erase(p, 1);
        }
        text += meldung + "\n\n";
    }
    return text;
}

TEST(CliTips, MessagesForTheOptimisedPageInOrder) {
    // The comment hides the only title; removing it makes the title tip appear.
    const std::string seite = "<!-- <title>t</title> -->\n<p>a</p>";
    const auto mitKommentar = starte({"--tips", "--set", "HSB=0"}, seite);
    EXPECT_EQ(mitKommentar.exitcode, 0);
    EXPECT_EQ(mitKommentar.aus, "<!-- <title>t</title> --><p>a</p>");
    EXPECT_EQ(mitKommentar.fehler, gezeigt({Tipp::Dokumententyp}));

    const auto ohneKommentar = starte({"--tips", "--set", "KMA=1", "--set", "HSB=0"}, seite);
    EXPECT_EQ(ohneKommentar.aus, " <p>a</p>");
    EXPECT_EQ(ohneKommentar.fehler, gezeigt({Tipp::Dokumententyp, Tipp::Seitentitel}));
}

TEST(CliTips, Utf8MessagesAndNothingWithoutTheFlag) {
    const std::string seite = "<!DOCTYPE html><title>t</title><img src=a alt=b title=c width=1>";
    EXPECT_EQ(starte({"--tips"}, seite).fehler, gezeigt({Tipp::Hoehenangaben}));
    EXPECT_EQ(starte({}, seite).fehler, "");
    EXPECT_EQ(starte({"--set", "OT=1"}, seite).fehler, "");
    EXPECT_EQ(starte({"--tips"}, seite + " height=2").fehler, "");
}

TEST(Cli, UnwritableStandardOutputIsAFailureNotSuccess) {
    Lauf lauf;
    lauf.eingabe = "<p>x</p>";
    lauf.ausgabePfad = "/dev/full";
    const auto r = starte(lauf);
    EXPECT_EQ(r.exitcode, 3);
    EXPECT_EQ(std::count(r.fehler.begin(), r.fehler.end(), '\n'), 1) << r.fehler;
    EXPECT_NE(r.fehler.find("standard output"), std::string::npos) << r.fehler;
}

TEST(Cli, UnreadableStandardInputIsAFailure) {
    Lauf lauf;
    lauf.eingabePfad = "/";  // a directory: read() fails
    const auto r = starte(lauf);
    EXPECT_EQ(r.exitcode, 3);
    EXPECT_EQ(r.aus, "");
    EXPECT_NE(r.fehler.find("standard input"), std::string::npos) << r.fehler;
}

TEST(Cli, LargePageThroughPipes) {
    // Larger than any pipe buffer in both directions.
    std::string seite;
    std::string erwartet;
    for (int i = 0; i < 40000; ++i) {
        seite += "<p>\xE4</p>\n";
        erwartet += "<p>&auml;</p>";
    }
    const auto r = starte({"--set", "HSB=0"}, seite);
    EXPECT_EQ(r.exitcode, 0);
    EXPECT_TRUE(r.aus == erwartet + " ") << r.aus.size();  // the last line break became a space
}

}  // namespace
}  // namespace quintaro::cli::test

namespace quintaro::cli::test {
namespace {

// 600 MB of standard input (a sparse file, nothing on disk): refused once 512 MB are in, instead
// of being read whole. Slow: half a gigabyte is read.
TEST(CliGrosseEingabe, StandardInputAboveTheLimitIsRefusedBeforeItIsReadWhole) {
    char vorlage[] = "/tmp/quintaro-gross-XXXXXX";
    const int fd = ::mkstemp(vorlage);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, off_t{600} * 1024 * 1024), 0);
    ::close(fd);
    Lauf lauf;
    lauf.eingabePfad = vorlage;
    const auto r = starte(lauf);
    ::unlink(vorlage);
    EXPECT_EQ(r.exitcode, 3);
    EXPECT_EQ(r.aus, "");
    EXPECT_EQ(r.fehler,
              "quintaro-cli: standard input is larger than 536870912 bytes, the limit for a page: "
              "nothing written\n");
}

}  // namespace
}  // namespace quintaro::cli::test
