// The comment and webbot scan, their removal with and without questions, and the question text.
#include "engine/kommentare.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "common/tabelle.h"
#include "literal.h"

namespace quintaro {
namespace {

using namespace std::string_literals;

struct ScanFall {
    const char* name;
    friend void PrintTo(const ScanFall& f, std::ostream* os) { *os << f.name; }
    KommentarArt art;
    std::string text;
    std::vector<std::string> expected;
};

class KommentareSuchen : public testing::TestWithParam<ScanFall> {};

TEST_P(KommentareSuchen, CollectsTheCompleteComments) {
    const auto& c = GetParam();
    const auto found = kommentareSuchen(c.text, c.art);
    EXPECT_EQ(std::vector<std::string>(found.begin(), found.end()), c.expected);
    std::vector<std::string> literal;
    for (const auto& t : literal::scan(c.text, c.art)) literal.push_back(t.text);
    EXPECT_EQ(literal, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, KommentareSuchen,
    testing::Values(
        ScanFall{"Simple", kKommentar, "a<!-- x -->b", {"<!-- x -->"}},
        ScanFall{
            "NestedLaterOpeningWins", kKommentar, "<!-- a <!-- b --> c -->\r\n", {"<!-- b -->"}},
        ScanFall{"ClosingOverlapsOpening", kKommentar, "<!-->x", {"<!-->"}},
        ScanFall{"ClosingOverlapsOpeningLonger", kKommentar, "<!--->x", {"<!--->"}},
        ScanFall{"SsiIsNoOpening", kKommentar, "<!--#include file=kopf.htm -->x", {}},
        ScanFall{"SsiClosesAnOpenComment",
                 kKommentar,
                 "<!-- x <!--#echo var=DATE_LOCAL --> y -->z",
                 {"<!-- x <!--#echo var=DATE_LOCAL -->"}},
        ScanFall{"EndsExactlyWithClosing", kKommentar, "a<!-- x -->", {}},
        ScanFall{"OneCharacterBehindClosing", kKommentar, "a<!-- x -->.", {"<!-- x -->"}},
        ScanFall{"ShorterThanOpening", kKommentar, "<!-", {}},
        ScanFall{"ClosingWithoutOpeningIgnored", kKommentar, "--> <!-- a -->x", {"<!-- a -->"}},
        ScanFall{"UnclosedStays", kKommentar, "<!-- a", {}},
        ScanFall{
            "IdenticalCollectedTwice", kKommentar, "<!--a-->x<!--a-->y", {"<!--a-->", "<!--a-->"}},
        ScanFall{"OpeningAtTheVeryEnd", kKommentar, "ab<!--", {}},
        ScanFall{"NulAndHighBytesInside", kKommentar, "<!--\0\xFF-->x"s, {"<!--\0\xFF-->"s}},
        ScanFall{"WebbotNeedsSevenBehind", kWebbot, "<!--webbot x -->123456", {}},
        ScanFall{"WebbotSevenBehind", kWebbot, "<!--webbot x -->1234567", {"<!--webbot x -->"}},
        ScanFall{"WebbotCaseSensitive", kWebbot, "<!--WEBBOT x -->1234567", {}},
        ScanFall{"WebbotTextShorterThanTen", kWebbot, "<!--webbo", {}},
        ScanFall{"WebbotHashIsNoSsi", kWebbot, "<!--webbot# -->1234567", {"<!--webbot# -->"}},
        ScanFall{"WebbotContentStays",
                 kWebbot,
                 "<!--webbot bot=\"Timestamp\" startspan -->12.3.<!--webbot bot=\"Timestamp\" "
                 "endspan -->1234567",
                 {"<!--webbot bot=\"Timestamp\" startspan -->",
                  "<!--webbot bot=\"Timestamp\" endspan -->"}},
        ScanFall{
            "CommentScanTakesWebbotsToo", kKommentar, "<!--webbot x -->y", {"<!--webbot x -->"}}),
    ::quintaro::test::ZeilenName{});

struct EntfernenFall {
    const char* name;
    friend void PrintTo(const EntfernenFall& f, std::ostream* os) { *os << f.name; }
    KommentarArt art;
    std::string text, expected;
};

class KommentareEntfernenAlle : public testing::TestWithParam<EntfernenFall> {};

TEST_P(KommentareEntfernenAlle, MatchesPerEntryReplaceAll) {
    const auto& c = GetParam();
    const auto r = kommentareEntfernen(c.text, c.art);
    EXPECT_FALSE(r.abgebrochen);
    EXPECT_EQ(r.text, c.expected);
    EXPECT_EQ(literal::kommentareEntfernen(c.text, c.art).text, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, KommentareEntfernenAlle,
    testing::Values(
        EntfernenFall{"Simple", kKommentar, "a<!-- x -->b", "ab"},
        EntfernenFall{"NestedKeepsTheOuterParts", kKommentar, "<!-- a <!-- b --> c -->\r\n",
                      "<!-- a  c -->\r\n"},
        EntfernenFall{"SsiAloneUntouched", kKommentar, "<!--#include file=kopf.htm -->\r\n",
                      "<!--#include file=kopf.htm -->\r\n"},
        EntfernenFall{"SsiTakenWithTheComment", kKommentar,
                      "<!-- x <!--#echo var=DATE_LOCAL --> y -->z", " y -->z"},
        EntfernenFall{"LastCommentAtTheEndKept", kKommentar, "a<!-- x -->", "a<!-- x -->"},
        EntfernenFall{"IdenticalBothGone", kKommentar, "1<!--a-->2<!--a-->3", "123"},
        // The second copy is never collected (too near the end) but goes with the first.
        EntfernenFall{"CopyAtTheEndGoesWithTheFirst", kKommentar, "<!--a-->x<!--a-->", "x"},
        EntfernenFall{"WebbotCommentsGoContentStays", kWebbot,
                      "<!--webbot bot=T startspan -->12.3.<!--webbot bot=T endspan -->1234567",
                      "12.3.1234567"},
        // A removal joins "<!" and "-- b -->" into a copy of the later entry, which then goes.
        EntfernenFall{"JoinIntoLaterEntry", kKommentar, "<!<!-- a -->-- b -->x<!-- b -->y", "xy"},
        EntfernenFall{"JoinIntoNoEntryStays", kKommentar, "<!<!-- a -->-- c -->x<!-- b -->y",
                      "<!-- c -->xy"},
        EntfernenFall{"JoinIntoEarlierEntryStays", kKommentar, "<!-- b -->1<!<!-- a -->-- b -->2",
                      "1<!-- b -->2"},
        // One replace-all does not look at what its own removals joined.
        EntfernenFall{"JoinIntoItselfStays", kKommentar, "<!<!-- a -->-- a -->x", "<!-- a -->x"},
        EntfernenFall{"JoinIntoItselfLaterCopyGoes", kKommentar, "<!<!-- a -->-- a -->x<!-- a -->y",
                      "xy"},
        EntfernenFall{"JoinsInAChain", kKommentar,
                      "<!<!<!-- a -->-- b -->-- c -->x<!-- b -->y<!-- c -->z", "xyz"},
        EntfernenFall{"JoinOfAWebbot", kWebbot,
                      "<!--web<!--webbot a -->bot b -->1234567<!--webbot b -->1234567",
                      "12345671234567"},
        EntfernenFall{"JoinAcrossTwoRemovals", kKommentar,
                      "<!<!-- a -->-<!-- a -->- b -->1<!-- b -->2", "12"},
        EntfernenFall{"JoinBuildsTheClosing", kKommentar, "<!-- b -<!-- a -->->1<!-- b -->2",
                      "12"}),
    ::quintaro::test::ZeilenName{});

// Answers from a script; records each entry and the text shown with it.
struct Skript {
    std::deque<Antwort> antworten;
    std::vector<std::string> gefragt;
    std::vector<std::string> texte;

    KommentarFrage frage() {
        return [this](std::string_view eintrag, const std::function<Text()>& aktuell) {
            gefragt.emplace_back(eintrag);
            texte.push_back(aktuell());
            if (antworten.empty()) {
                ADD_FAILURE() << "unexpected question about " << eintrag;
                return Antwort::Abbrechen;
            }
            const Antwort a = antworten.front();
            antworten.pop_front();
            return a;
        };
    }
};

struct AntwortFall {
    const char* name;
    friend void PrintTo(const AntwortFall& f, std::ostream* os) { *os << f.name; }
    std::string text;
    std::vector<Antwort> antworten;
    std::string expected;
    bool abgebrochen;
};

class KommentareMitFragen : public testing::TestWithParam<AntwortFall> {};

TEST_P(KommentareMitFragen, FollowTheAnswers) {
    const auto& c = GetParam();
    Skript skript{{c.antworten.begin(), c.antworten.end()}, {}, {}};
    const auto r = kommentareEntfernen(c.text, kKommentar, skript.frage());
    EXPECT_EQ(r.text, c.expected);
    EXPECT_EQ(r.abgebrochen, c.abgebrochen);
    EXPECT_TRUE(skript.antworten.empty()) << "questions left unasked";

    std::size_t i = 0;
    const auto lit = literal::kommentareEntfernen(c.text, kKommentar,
                                                  [&](const Text&) { return c.antworten[i++]; });
    EXPECT_EQ(lit.text, c.expected);
    EXPECT_EQ(skript.gefragt, std::vector<std::string>(lit.gefragt.begin(), lit.gefragt.end()));
    EXPECT_EQ(skript.texte,
              std::vector<std::string>(lit.textBeiFrage.begin(), lit.textBeiFrage.end()));
}

constexpr Antwort J = Antwort::Ja;
constexpr Antwort N = Antwort::Nein;
constexpr Antwort A = Antwort::Abbrechen;

INSTANTIATE_TEST_SUITE_P(
    Answers, KommentareMitFragen,
    testing::Values(
        AntwortFall{"JaRemovesIt", "a<!--x-->b<!--y-->c", {J, N}, "ab<!--y-->c", false},
        AntwortFall{"NeinKeepsIt", "a<!--x-->b<!--y-->c", {N, J}, "a<!--x-->bc", false},
        // Both identical entries are asked about; the first "Ja" takes both copies.
        AntwortFall{"IdenticalJaTakesBoth", "1<!--a-->2<!--a-->3", {J, N}, "123", false},
        AntwortFall{"NeinThenLaterIdenticalJa", "1<!--a-->2<!--a-->3", {N, J}, "123", false},
        AntwortFall{"AbbrechenKeepsEarlierRemovals",
                    "1<!--a-->2<!--b-->3<!--c-->4",
                    {J, A},
                    "12<!--b-->3<!--c-->4",
                    true},
        AntwortFall{"AbbrechenAtOnce", "1<!--a-->2", {A}, "1<!--a-->2", true},
        AntwortFall{"JoinWithAnswers",
                    "<!<!-- a -->-- b -->x<!-- b -->y<!-- b -->z",
                    {J, N, J},
                    "xyz",
                    false},
        AntwortFall{"JoinSkippedByNein",
                    "<!<!-- a -->-- b -->x<!-- b -->y",
                    {J, N},
                    "<!-- b -->x<!-- b -->y",
                    false}),
    ::quintaro::test::ZeilenName{});

TEST(KommentareEntfernen, NothingCollectedMeansNoQuestion) {
    Skript skript;
    const auto r =
        kommentareEntfernen("<!--#include x -->\r\n<!-- offen", kKommentar, skript.frage());
    EXPECT_EQ(r.text, "<!--#include x -->\r\n<!-- offen");
    EXPECT_TRUE(skript.gefragt.empty());
}

TEST(KommentareEntfernen, EveryByteOutsideCommentsPasses) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::string text = all + "<!-- x -->" + all;
    EXPECT_EQ(kommentareEntfernen(text, kKommentar).text, all + all);
    EXPECT_EQ(kommentareEntfernen(all + all, kWebbot).text, all + all);
}

struct FrageTextFall {
    const char* name;
    friend void PrintTo(const FrageTextFall& f, std::ostream* os) { *os << f.name; }
    std::string eintrag, shown;
};

class KommentarFrageText : public testing::TestWithParam<FrageTextFall> {};

TEST_P(KommentarFrageText, ShowsAtMostThirtyCharacters) {
    EXPECT_EQ(kommentarFrageText(GetParam().eintrag),
              "Sollen folgender Kommentar entfernt werden?\r\n\r\n" + GetParam().shown);
}

std::string mal(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

const std::string k30 = "<!-- 456789012345678901234 -->";  // 30 characters

INSTANTIATE_TEST_SUITE_P(
    Lengths, KommentarFrageText,
    testing::Values(FrageTextFall{"Short", "<!--a-->", "<!--a-->"},
                    FrageTextFall{"ExactlyThirtyWhole", k30, k30},
                    FrageTextFall{"ThirtyOneCut", "<!-- 4567890123456789012345 -->",
                                  "<!-- 4567890123456789012345 --..."},
                    // Thirty characters of the code page, not thirty UTF-8 bytes.
                    FrageTextFall{"UmlautsCountOnce", "<!-- " + std::string(21, '\xE4') + " -->",
                                  "<!-- " + mal("\u00E4", 21) + " -->"},
                    FrageTextFall{"EuroAsUtf8", "<!--\x80-->", "<!--\u20AC-->"},
                    FrageTextFall{"LineBreakInside", "<!--a\r\nb-->", "<!--a\r\nb-->"}),
    ::quintaro::test::ZeilenName{});

}  // namespace
}  // namespace quintaro
