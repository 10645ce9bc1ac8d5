// The token diff: its changes turn the original into the result (random pairs, corpus pages
// against their optimised versions), it is as small as a longest common subsequence found by
// plain dynamic programming, and its unified diff is one that GNU patch applies.
#include "engine/aenderungen.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "common/korpus.h"
#include "engine/optimierung.h"
#include "engine/text.h"

namespace quintaro {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> tokens(std::string_view text) {
    std::vector<std::string> liste;
    std::size_t von = 0;
    for (const std::uint32_t ende : aenderungsTokens(text)) {
        liste.emplace_back(text.substr(von, ende - von));
        von = ende;
    }
    return liste;
}

bool istLeerraumToken(const std::string& t) {
    return t.find_first_of(" \t\r\n\f") == 0;
}

// Applies the changes to the original after checking their form; the text it gives back must be
// the result.
std::string anwenden(std::string_view alt, std::string_view neu, const Vergleich& v) {
    const std::vector<std::uint32_t> ta = aenderungsTokens(alt);
    const std::vector<std::uint32_t> tb = aenderungsTokens(neu);
    const auto byte = [](const std::vector<std::uint32_t>& t, std::size_t i) -> std::size_t {
        return i == 0 ? 0 : t[i - 1];
    };
    std::string aus;
    std::size_t a = 0;
    std::size_t b = 0;
    std::size_t entfernt = 0;
    std::size_t eingefuegt = 0;
    for (const Aenderung& x : v.aenderungen) {
        EXPECT_FALSE(x.alt == x.altEnde && x.neu == x.neuEnde) << "an empty change";
        EXPECT_TRUE(x.altToken > a || (a == 0 && x.altToken == 0 && b == 0)) << "touching changes";
        // The bytes lie within the tokens, and what they leave of the tokens is alike.
        EXPECT_LE(byte(ta, x.altToken), x.alt);
        EXPECT_LE(x.altEnde, byte(ta, x.altTokenEnde));
        EXPECT_LE(byte(tb, x.neuToken), x.neu);
        EXPECT_LE(x.neuEnde, byte(tb, x.neuTokenEnde));
        EXPECT_EQ(x.alt - byte(ta, x.altToken), x.neu - byte(tb, x.neuToken));
        EXPECT_EQ(byte(ta, x.altTokenEnde) - x.altEnde, byte(tb, x.neuTokenEnde) - x.neuEnde);
        // What stays between two changes is the same number of tokens on both sides.
        EXPECT_EQ(x.altToken - a, x.neuToken - b);
        aus.append(alt.substr(byte(ta, a), x.alt - byte(ta, a)));
        aus.append(neu.substr(x.neu, x.neuEnde - x.neu));
        aus.append(alt.substr(x.altEnde, byte(ta, x.altTokenEnde) - x.altEnde));
        entfernt += x.altEnde - x.alt;
        eingefuegt += x.neuEnde - x.neu;
        a = x.altTokenEnde;
        b = x.neuTokenEnde;
    }
    EXPECT_EQ(ta.size() - a, tb.size() - b);
    aus.append(alt.substr(byte(ta, a)));
    EXPECT_EQ(entfernt, v.entfernt);
    EXPECT_EQ(eingefuegt, v.eingefuegt);
    return aus;
}

// The length of a longest common subsequence, by the textbook table.
std::size_t lcs(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::vector<std::size_t> zeile(b.size() + 1, 0);
    for (const std::string& x : a) {
        std::size_t diagonal = 0;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t oben = zeile[j];
            zeile[j] = x == b[j - 1] ? diagonal + 1 : std::max(zeile[j], zeile[j - 1]);
            diagonal = oben;
        }
    }
    return zeile[b.size()];
}

// Random pages of the stuff pages are made of, and edits of them.
class Zufall {
  public:
    explicit Zufall(unsigned seed) : rng_(seed) {}

    std::string stueck() {
        static constexpr std::array<std::string_view, 28> kStuecke = {"<p>",
                                                                      "</p>",
                                                                      "<td class=\"x\">",
                                                                      "<!-- c -->",
                                                                      "<!--\r\nlang\r\n-->",
                                                                      " ",
                                                                      "  ",
                                                                      "\r\n",
                                                                      "\r\n\t\t",
                                                                      "\t",
                                                                      "Wort",
                                                                      "M\xFCller",
                                                                      "&auml;",
                                                                      "und",
                                                                      "die",
                                                                      "<",
                                                                      ">",
                                                                      "&",
                                                                      "a<b",
                                                                      "<!--",
                                                                      "-->",
                                                                      "\\",
                                                                      std::string_view("\0", 1),
                                                                      "x",
                                                                      "<br/>",
                                                                      "=",
                                                                      "\"",
                                                                      "\xE2\x82\xAC"};
        return std::string(kStuecke[zahl(kStuecke.size())]);
    }
    std::string seite(std::size_t stuecke) {
        std::string s;
        for (std::size_t i = 0; i < stuecke; ++i) s += stueck();
        return s;
    }
    // A few insertions, deletions and replacements of pieces, and some single bytes.
    std::string bearbeitet(std::string s) {
        const std::size_t n = 1 + zahl(6);
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t p = s.empty() ? 0 : zahl(s.size() + 1);
            const std::size_t laenge =
                std::min<std::size_t>(zahl(12), s.size() - std::min(p, s.size()));
            switch (zahl(4)) {
                case 0:
                    s.insert(p, stueck());
                    break;
                case 1:
                    s.erase(p, laenge);
                    break;
                case 2:
                    s.replace(p, laenge, stueck());
                    break;
                default:
                    if (p < s.size()) s[p] = static_cast<char>(zahl(256));
                    break;
            }
        }
        return s;
    }
    std::size_t zahl(std::size_t bis) {
        return std::uniform_int_distribution<std::size_t>(0, bis - 1)(rng_);
    }

  private:
    std::mt19937 rng_;
};

TEST(Aenderungen, TokensCoverThePageInTagsCommentsWordsWhitespaceAndSingleBytes) {
    struct Zeile {
        const char* name;
        std::string text;
        std::vector<std::string> erwartet;
    };
    const Zeile zeilen[] = {
        {"markup and text",
         "<p class=\"a\">Gr\xFC\xDF"
         "e  an\r\n<!-- x -->&nbsp;M&uuml;ller.",
         {"<p class=\"a\">",
          "Gr\xFC\xDF"
          "e",
          "  ", "an", "\r\n", "<!-- x -->", "&nbsp;M&uuml;ller", "."}},
        {"a comparison in a script is no tag", "a < b<c", {"a", " ", "<", " ", "b", "<", "c"}},
        {"unclosed comment and tag are single bytes",
         "<!-- a <b",
         {"<", "!", "-", "-", " ", "a", " ", "<", "b"}},
        {"an ampersand without entity", "R&D &#;", {"R", "&", "D", " ", "&", "#", ";"}},
        {"a comment holds tags", "<!--<b>-->x", {"<!--<b>-->", "x"}},
        {"a script's contents are text",
         "<SCRIPT a>x<!--y</b>--></Script>",
         {"<SCRIPT a>", "x", "<", "!", "-", "-", "y", "<", "/", "b", ">", "-", "-", ">",
          "</Script>"}},
        {"no end tag: text to the end", "<style>a<b>", {"<style>", "a", "<", "b", ">"}},
        {"a tag named like script is not one", "<scripts>a<b>", {"<scripts>", "a", "<b>"}},
    };
    for (const Zeile& z : zeilen) {
        SCOPED_TRACE(z.name);
        EXPECT_EQ(tokens(z.text), z.erwartet);
    }
    EXPECT_TRUE(aenderungsTokens("").empty());
}

TEST(Aenderungen, RandomPairsApplyAndChangeNoMoreThanALongestCommonSubsequence) {
    Zufall z(23);
    for (int runde = 0; runde < 400; ++runde) {
        SCOPED_TRACE("round " + std::to_string(runde));
        const std::string alt = z.seite(z.zahl(60));
        const std::string neu = runde % 4 == 0 ? z.seite(z.zahl(60)) : z.bearbeitet(alt);
        const Vergleich v = vergleiche(alt, neu);
        ASSERT_EQ(anwenden(alt, neu, v), neu);
        ASSERT_FALSE(v.grob);
        // Tags, comments, words and other bytes outside the changes form a longest common
        // subsequence of the two texts' such tokens.
        const std::vector<std::string> ta = tokens(alt);
        const std::vector<std::string> tb = tokens(neu);
        std::vector<std::string> ka;
        std::vector<std::string> kb;
        std::copy_if(ta.begin(), ta.end(), std::back_inserter(ka),
                     [](const std::string& t) { return !istLeerraumToken(t); });
        std::copy_if(tb.begin(), tb.end(), std::back_inserter(kb),
                     [](const std::string& t) { return !istLeerraumToken(t); });
        std::size_t geaendert = 0;
        for (const Aenderung& x : v.aenderungen) {
            for (std::size_t i = x.altToken; i < x.altTokenEnde; ++i)
                geaendert += istLeerraumToken(ta[i]) ? 0u : 1u;
            for (std::size_t j = x.neuToken; j < x.neuTokenEnde; ++j)
                geaendert += istLeerraumToken(tb[j]) ? 0u : 1u;
        }
        ASSERT_EQ(geaendert, ka.size() + kb.size() - 2 * lcs(ka, kb));
    }
}

TEST(Aenderungen, BeyondItsAllowanceItMarksCoarselyButKeepsWhatCanBeComparedFine) {
    // Two halves: one rewritten, one with a single word changed. The whole is too costly for the
    // allowance, the half with one word is not: it is split off at the tokens that occur once.
    Zufall z(9);
    const std::string gleich = z.seite(4000);
    const std::string alt = z.seite(4000) + "<h1>Mitte</h1>" + gleich + " alt";
    const std::string neu = z.seite(4000) + "<h1>Mitte</h1>" + gleich + " neu";
    const Vergleich v = vergleiche(alt, neu, 2'000'000);
    EXPECT_TRUE(v.grob);
    EXPECT_EQ(anwenden(alt, neu, v), neu);
    ASSERT_GE(v.aenderungen.size(), 2u);
    const Aenderung& letzte = v.aenderungen.back();
    EXPECT_EQ(alt.substr(letzte.alt, letzte.altEnde - letzte.alt), "alt");
    EXPECT_EQ(neu.substr(letzte.neu, letzte.neuEnde - letzte.neu), "neu");
    EXPECT_EQ(letzte.altTokenEnde - letzte.altToken, 1u);
}

TEST(Aenderungen, ALongPageOfLikeRowsChangedAllOverStaysAlignedRowByRow) {
    // Far beyond what is compared exactly: the search settles for points on the way, and must not
    // drift off by a row and more.
    static constexpr std::array<std::string_view, 4> kWoerter = {"Preis", "K\xF6ln", "und", "die"};
    std::mt19937 rng(3);
    Text alt;
    Text neu;
    for (int i = 0; i < 6000; ++i) {
        const std::string_view wort = kWoerter[rng() % kWoerter.size()];
        alt += "\t<tr><td class=\"a\" >" + std::string(wort) + "</td></tr>\r\n";
        if (rng() % 4 != 0) neu += "<tr><td class=\"a\">" + std::string(wort) + "</td></tr> ";
    }
    const Vergleich v = vergleiche(alt, neu);
    ASSERT_EQ(anwenden(alt, neu, v), neu);
    std::size_t groesste = 0;
    for (const Aenderung& a : v.aenderungen) groesste = std::max(groesste, a.altEnde - a.alt);
    EXPECT_LT(groesste, 2000u) << "rows out of line";  // 54,787 bytes when it drifted
}

TEST(Aenderungen, IdenticalTextsHaveNoChangeAndNoDiff) {
    const Vergleich v = vergleiche("<p>x</p>", "<p>x</p>");
    EXPECT_TRUE(v.aenderungen.empty());
    EXPECT_EQ(einheitlichesDiff("<p>x</p>", "<p>x</p>", v, "a", "b"), "");
    const Vergleich leer = vergleiche("", "<p>");
    ASSERT_EQ(leer.aenderungen.size(), 1u);
    EXPECT_EQ(einheitlichesDiff("", "<p>", leer, "a", "b"), "--- a\n+++ b\n@@ -0,0 +1 @@\n+<p>\n");
}

// --- GNU patch as the judge of the unified diff --------------------------------------------------

std::string tokenzeilen(std::string_view text) {
    std::string s;
    for (const std::string& t : tokens(text)) s += tokenZeile(t) + "\n";
    return s;
}

std::string zurueck(std::string_view zeilen) {
    std::string s;
    for (std::size_t i = 0; i < zeilen.size(); ++i) {
        if (zeilen[i] == '\n') continue;
        if (zeilen[i] != '\\') {
            s += zeilen[i];
            continue;
        }
        const char c = zeilen[++i];
        if (c == 'r') {
            s += '\r';
        } else if (c == 'n') {
            s += '\n';
        } else if (c == 'x') {
            s += static_cast<char>(std::stoi(std::string(zeilen.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            s += c;
        }
    }
    return s;
}

void schreiben(const fs::path& p, std::string_view inhalt) {
    std::ofstream(p, std::ios::binary)
        .write(inhalt.data(), static_cast<std::streamsize>(inhalt.size()));
}

// Patches the original's token lines with the diff and gives back the text the lines stand for.
std::string gepatcht(const fs::path& ordner, std::string_view alt, std::string_view diff) {
    schreiben(ordner / "alt.txt", tokenzeilen(alt));
    schreiben(ordner / "aenderung.diff", diff);
    const std::string befehl = "patch -s -o '" + (ordner / "neu.txt").string() + "' '" +
                               (ordner / "alt.txt").string() + "' < '" +
                               (ordner / "aenderung.diff").string() + "'";
    if (std::system(befehl.c_str()) != 0) return "(patch failed)";
    return zurueck(test::korpusSeite(ordner / "neu.txt"));
}

class EinheitlichesDiff : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::system("patch --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no GNU patch";
        ordner_ = fs::temp_directory_path() / ("aenderungen_test_" + std::to_string(::getpid()));
        fs::create_directories(ordner_);
    }
    void TearDown() override { fs::remove_all(ordner_); }
    fs::path ordner_;
};

TEST_F(EinheitlichesDiff, GnuPatchTurnsTheOriginalsTokenLinesIntoTheResults) {
    Zufall z(77);
    for (int runde = 0; runde < 40; ++runde) {
        SCOPED_TRACE("round " + std::to_string(runde));
        const std::string alt = z.seite(z.zahl(300));
        const std::string neu = runde % 5 == 0 ? z.seite(z.zahl(300)) : z.bearbeitet(alt);
        const std::string diff =
            einheitlichesDiff(alt, neu, vergleiche(alt, neu), "seite.htm", "seite.htm",
                              static_cast<std::size_t>(1 + runde % 4));
        if (alt == neu) continue;
        ASSERT_EQ(gepatcht(ordner_, alt, diff), neu) << diff;
    }
}

// --- The corpus ----------------------------------------------------------------------------------

std::vector<fs::path> korpusSeiten() {
    std::vector<fs::path> seiten;
    if (!fs::is_directory(test::korpusOrdner())) return seiten;
    for (const auto& e : fs::directory_iterator(test::korpusOrdner())) {
        const std::string endung = e.path().extension().string();
        if (e.is_regular_file() && endung.find("htm") != std::string::npos)
            seiten.push_back(e.path());
    }
    std::sort(seiten.begin(), seiten.end());
    return seiten;
}

class AenderungenKorpus : public EinheitlichesDiff {};

TEST_F(AenderungenKorpus, EveryPageAgainstItsOptimisedVersionAppliesAndPatches) {
    const std::vector<fs::path> seiten = korpusSeiten();
    if (seiten.empty()) GTEST_SKIP() << "no corpus at " << test::korpusOrdner();
    Optionsmenge optionen;
    optionen.set(KMA, true);
    optionen.set(FPW, true);
    for (const fs::path& p : seiten) {
        SCOPED_TRACE(p.filename().string());
        const Text alt = umbruecheVereinheitlichen(test::korpusSeite(p));
        const Text neu = optimiereText(alt, optionen, Ersetzungstabelle{});
        const Vergleich v = vergleiche(alt, neu);
        EXPECT_FALSE(v.grob);
        ASSERT_EQ(anwenden(alt, neu, v), neu);
        ASSERT_EQ(gepatcht(ordner_, alt, einheitlichesDiff(alt, neu, v, "a", "b")), neu);
    }
}

TEST_F(AenderungenKorpus, APageWithOneCommentRemovedShowsExactlyThatOneChange) {
    const std::vector<fs::path> seiten = korpusSeiten();
    if (seiten.empty()) GTEST_SKIP() << "no corpus at " << test::korpusOrdner();
    int geprueft = 0;
    for (const fs::path& p : seiten) {
        const Text seite = umbruecheVereinheitlichen(test::korpusSeite(p));
        std::vector<std::pair<std::size_t, std::size_t>> kommentare;
        for (std::size_t von = seite.find("<!--"); von != Text::npos;
             von = seite.find("<!--", von + 4)) {
            const std::size_t bis = seite.find("-->", von + 4);
            if (bis == Text::npos) break;
            kommentare.emplace_back(von, bis + 3);
            von = bis;
        }
        // Up to a dozen comments of each page, spread over it.
        const std::size_t schritt = std::max<std::size_t>(1, kommentare.size() / 12);
        for (std::size_t k = 0; k < kommentare.size(); k += schritt) {
            const auto [von, bis] = kommentare[k];
            SCOPED_TRACE(p.filename().string() + " at " + std::to_string(von));
            const Text ohne = seite.substr(0, von) + seite.substr(bis);
            const Vergleich v = vergleiche(seite, ohne);
            ASSERT_EQ(v.aenderungen.size(), 1u);
            // Exactly the comment's bytes, or as many of the same bytes shifted.
            EXPECT_EQ(v.entfernt, bis - von);
            EXPECT_EQ(v.eingefuegt, 0u);
            ++geprueft;
        }
    }
    EXPECT_GT(geprueft, 100);
}

}  // namespace
}  // namespace quintaro
