// The run over one text: modes, questions and the text each is asked over, abandoning, tips,
// encodings and what the run reports of each pass.
#include "engine/optimierung.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/kind.h"
#include "common/tabelle.h"
#include "engine/pfade.h"
#include "engine/tipps.h"
#include "literal.h"
#include "skript_fragen.h"

namespace quintaro {
namespace {

using namespace meldungen;
using Log = std::vector<std::string>;

constexpr Antwort J = Antwort::Ja;
constexpr Antwort N = Antwort::Nein;
constexpr Antwort A = Antwort::Abbrechen;

using test::SkriptFragen;

Optionsmenge nur(std::initializer_list<int> an) {
    Optionsmenge o;
    for (int i = 0; i < kOptionCount; ++i) o.set(i, false);
    for (int i : an) o.set(i, true);
    return o;
}

// One run as a front end makes it; `text` is the page before and after.
struct Lauf {
    Text text;
    SkriptFragen fragen;
    Laufergebnis ergebnis;
    Lauf(Text seite, const Optionsmenge& o, Modus modus, std::deque<Antwort> antworten = {},
         const Ersetzungstabelle& tabelle = Ersetzungstabelle(),
         Kodierung kodierung = Kodierung::Cp1252)
        : text(std::move(seite)), fragen(text) {
        fragen.antworten = std::move(antworten);
        ergebnis = laufen(text, Laufoptionen{o, tabelle, kodierung, modus}, fragen);
        EXPECT_TRUE(fragen.antworten.empty()) << "answers left over";
        // What the user sees once the run has ended.
        if (ergebnis.neuerStand) fragen.anzeige = text;
        EXPECT_EQ(fragen.anzeige, text);
    }
};

// The report chains: each pass starts where the one before ended, from the text's size before
// to its size after, so the savings add up to the whole.
void pruefeBericht(const Laufergebnis& e, const std::string& fall) {
    std::size_t stand = e.vorher;
    for (const auto& p : e.passes) {
        EXPECT_EQ(p.vorher, stand) << fall << ": " << p.schluessel;
        if (p.ausgang == Passausgang::Uebersprungen || p.ausgang == Passausgang::NichtErreicht) {
            EXPECT_EQ(p.nachher, p.vorher) << fall << ": " << p.schluessel;
        }
        stand = p.nachher;
    }
    EXPECT_EQ(stand, e.nachher) << fall;
}

TEST(Modus, Texts) {
    EXPECT_EQ(modusText(Modus::Normal), "");
    EXPECT_EQ(modusText(Modus::Schritt), "Schritt");
    EXPECT_EQ(modusText(Modus::Automatisch), "Automatisch");
}

TEST(Laufen, AnEmptyTextRunsNothingInAnyMode) {
    for (Modus modus : {Modus::Normal, Modus::Schritt, Modus::Automatisch}) {
        const Lauf l("", Optionsmenge(), modus);
        EXPECT_TRUE(l.ergebnis.leer);
        EXPECT_TRUE(l.ergebnis.passes.empty());
        EXPECT_TRUE(l.fragen.gestellt.empty());
    }
}

TEST(Laufen, NormalRunWithWhitespacePassesAsksNothingAndReportsOneSweep) {
    const Lauf l("<p>\ta  b</p>\r\n\r\n<i >x</i>", nur({ZU, DZU, DL, LZT, LIT, TAB}),
                 Modus::Normal);
    EXPECT_EQ(l.text, "<p>a b</p><i>x</i>");
    EXPECT_TRUE(l.fragen.gestellt.empty());
    EXPECT_EQ(l.ergebnis.passes,
              (std::vector<Passbericht>{{"TAB+DZU+ZU+DL+LZT+LIT", 25, 18, Passausgang::Gelaufen}}));
}

// The step-by-step run: the passes in order, with the text each question is asked over.
struct Pass {
    int option;
    std::string_view frage;
    std::function<bool(const Text&)> bedingung;
    std::function<Text(Text)> anwenden;
};

const Ersetzungstabelle& schrittTabelle() {
    static const Ersetzungstabelle t = [] {
        Ersetzungstabelle tab;
        tab.setzeAlle({{"a", "\xFC  "}, {"<u>", "<i>"}});
        return tab;
    }();
    return t;
}

std::vector<Pass> allePasses() {
    const auto immer = [](const Text&) { return true; };
    return {
        {FPW, kFrageWebbots, [](const Text& t) { return t.find("<!--webbot") != Text::npos; },
         [](Text t) { return literal::kommentareEntfernen(std::move(t), kWebbot).text; }},
        {KMA, kFrageKommentare, [](const Text& t) { return t.find("<!--") != Text::npos; },
         [](Text t) { return literal::kommentareEntfernen(std::move(t), kKommentar).text; }},
        {AE, kFrageErsetzung, immer,
         [](Text t) { return literal::ersetzung(std::move(t), schrittTabelle()); }},
        {TAB, kFrageTabs, immer, literal::tabulatoren},
        {DZU, kFrageDoppelteUmbrueche, immer, literal::doppelteZeilenumbrueche},
        {ZU, kFrageUmbrueche, immer, literal::zeilenumbrueche},
        {DL, kFrageDoppelteLeerzeichen, immer, literal::doppelteLeerzeichen},
        {LZT, kFrageZwischenTags, immer, literal::zwischenTags},
        {LIT, kFrageInTags, immer, literal::inTags},
        {SZ, kFrageSonderzeichen, immer, literal::sonderzeichen},
    };
}

const Text kSchrittSeite =
    "<!--webbot bot=x -->\t<p>  a  </p>\r\n\r\n\r\n<!-- k -->\r\n< b >\xE4 <u> </u>"
    "<!--#include x -->";

struct SchrittFall {
    std::string name;
    friend void PrintTo(const SchrittFall& f, std::ostream* os) { *os << f.name; }
    std::size_t stelle;  // the question (0 to 10, 10 = tips) that gets `antwort`; the rest Ja
    Antwort antwort;
};

class SchrittweiseOptimierung : public testing::TestWithParam<SchrittFall> {};

TEST_P(SchrittweiseOptimierung, AsksBeforeEachPassOverTheTextSoFar) {
    const auto& c = GetParam();
    const Optionsmenge o = nur({FPW, KMA, AE, TAB, DZU, ZU, DL, LZT, LIT, SZ, OT});

    // What the questions and the text must be, from the literal passes.
    Log fragen;
    std::vector<Text> texte;
    std::deque<Antwort> antworten;
    Text text = kSchrittSeite;
    bool abgebrochen = false;
    const auto passes = allePasses();
    for (std::size_t i = 0; i <= passes.size(); ++i) {
        const std::string_view frage = i < passes.size() ? passes[i].frage : kFrageTipps;
        if (i < passes.size() && !passes[i].bedingung(text)) continue;
        fragen.emplace_back(frage);
        texte.push_back(text);
        const Antwort a = i == c.stelle ? c.antwort : J;
        antworten.push_back(a);
        if (a == A) {
            abgebrochen = true;
            break;
        }
        if (a == J && i < passes.size()) text = passes[i].anwenden(text);
    }

    const Lauf l(kSchrittSeite, o, Modus::Schritt, antworten, schrittTabelle());
    EXPECT_EQ(l.fragen.gestellt, fragen);
    EXPECT_EQ(l.fragen.gezeigt, texte);
    EXPECT_EQ(l.text, text);
    EXPECT_EQ(l.ergebnis.abgebrochen, abgebrochen);
    pruefeBericht(l.ergebnis, c.name);
    // Every pass whose option is on is reported, each with what the answer made of it.
    ASSERT_EQ(l.ergebnis.passes.size(), 11U);
    const auto& p = l.ergebnis.passes;
    if (c.stelle < p.size()) {
        const auto erwartet =
            c.antwort == N ? Passausgang::Uebersprungen : Passausgang::Abgebrochen;
        EXPECT_EQ(p[c.stelle].ausgang, erwartet);
        for (std::size_t i = c.stelle + 1; abgebrochen && i < p.size(); ++i) {
            EXPECT_EQ(p[i].ausgang, Passausgang::NichtErreicht) << p[i].schluessel;
        }
    }
    const bool tipps = !abgebrochen && !(c.stelle == passes.size() && c.antwort == N);
    // No doctype and no title on this page.
    EXPECT_EQ(l.ergebnis.tipps.size(), tipps ? 2U : 0U);
}

std::vector<SchrittFall> schrittFaelle() {
    const char* namen[] = {
        "Webbots",   "Kommentare",          "Ersetzung",    "Tabs",   "DoppelteUmbrueche",
        "Umbrueche", "DoppelteLeerzeichen", "ZwischenTags", "InTags", "Sonderzeichen",
        "Tipps"};
    std::vector<SchrittFall> faelle = {{"AllJa", 99, J}};
    for (std::size_t i = 0; i < 11; ++i) {
        faelle.push_back({std::string("Nein") + namen[i], i, N});
        faelle.push_back({std::string("Abbrechen") + namen[i], i, A});
    }
    return faelle;
}

INSTANTIATE_TEST_SUITE_P(Answers, SchrittweiseOptimierung, testing::ValuesIn(schrittFaelle()),
                         ::quintaro::test::ZeilenName{});

TEST(Laufen, StepByStepNeinThroughoutLeavesTheTextAndReportsEverySkip) {
    const Lauf l("a\t b", nur({TAB, DL, NOA, DKS}), Modus::Schritt, {N, N});
    EXPECT_EQ(l.text, "a\t b");
    EXPECT_EQ(l.fragen.gestellt,
              (Log{std::string(kFrageTabs), std::string(kFrageDoppelteLeerzeichen)}));
    EXPECT_FALSE(l.ergebnis.abgebrochen);
    EXPECT_EQ(l.ergebnis.passes,
              (std::vector<Passbericht>{{"TAB", 4, 4, Passausgang::Uebersprungen},
                                        {"DL", 4, 4, Passausgang::Uebersprungen}}));
}

TEST(Laufen, CommentPassesNeedTheirOpeningsEvenStepByStep) {
    const Lauf l("<p>-->\t</p>", nur({FPW, KMA, TAB}), Modus::Schritt, {N});
    EXPECT_EQ(l.fragen.gestellt, (Log{std::string(kFrageTabs)}));
    EXPECT_EQ(l.ergebnis.passes.size(), 1U);
}

TEST(Laufen, SsiOnlyPageStillGetsTheCommentQuestion) {
    const Lauf l("<!--#include file=kopf.htm -->\r\n", nur({KMM}), Modus::Schritt, {J});
    EXPECT_EQ(l.fragen.gestellt, (Log{std::string(kFrageKommentare)}));
    EXPECT_EQ(l.ergebnis.passes.at(0).schluessel, "KMM");
}

TEST(Laufen, PassQuestionTexts) {
    EXPECT_EQ(kFrageWebbots,
              "Sollen alle MS Frontpage-Webbots entfernt werden?\r\n\r\nDies empfiehlt sich nur "
              "bei reinen HTML-Dateien ohne SSI bzw. Scripte!");
    EXPECT_EQ(kFrageKommentare,
              "Sollen alle Kommentare entfernt werden?\r\n\r\nDies empfiehlt sich nur bei reinen "
              "HTML-Dateien ohne SSI bzw. Scripte!");
    EXPECT_EQ(kFrageErsetzung, "Soll die automatische Ersetzung durchgeführt werden?");
    EXPECT_EQ(kFrageTabs, "Sollen alle Tabulatoren entfernt werden?");
    EXPECT_EQ(kFrageDoppelteUmbrueche, "Sollen alle doppelten Zeilenumbrüche entfernt werden?");
    EXPECT_EQ(kFrageUmbrueche, "Sollen alle Zeilenumbrüche entfernt werden?");
    EXPECT_EQ(kFrageDoppelteLeerzeichen, "Sollen alle doppelten Leerzeichen entfernt werden?");
    EXPECT_EQ(kFrageZwischenTags, "Sollen Leerzeichen zwischen Tags entfernt werden?");
    EXPECT_EQ(kFrageInTags, "Sollen unnötige Leerzeichen in Tags entfernt werden?");
    EXPECT_EQ(kFrageSonderzeichen, "Sollen Sonderzeichen ersetzt werden?");
    EXPECT_EQ(kFrageTipps, "Sollen zusätzliche Optimierungstipps angezeigt werden?");
    EXPECT_EQ(kLeererQuelltext,
              "Es erscheint wenig sinnvoll, einen leeren Quelltext optimieren zu wollen.\r\n\r\n"
              "Bitte laden Sie zuerst eine Datei.");
    EXPECT_EQ(kAnzeigen,
              "Die Quelltext-Optimierung wurde durchgeführt.\r\n\r\nSoll die optimierte Fassung "
              "angezeigt werden?");
}

// Option 7: a question per collected comment, over the text as the removals so far left it.
const Text kZweiKommentare = "1<!--a-->2<!--webbot b -->3<!--a-->4";

TEST(Laufen, CommentQuestionsShowTheCurrentTextInEveryMode) {
    for (Modus modus : {Modus::Normal, Modus::Automatisch}) {
        const Lauf l(kZweiKommentare, nur({KMM, DKS}), modus, {J, N, J});
        EXPECT_EQ(l.text, "12<!--webbot b -->34");
        EXPECT_EQ(l.fragen.gestellt,
                  (Log{kommentarFrageText("<!--a-->"), kommentarFrageText("<!--webbot b -->"),
                       kommentarFrageText("<!--a-->")}));
        EXPECT_EQ(l.fragen.gezeigt, (std::vector<Text>{kZweiKommentare, "12<!--webbot b -->34",
                                                       "12<!--webbot b -->34"}));
        EXPECT_EQ(l.ergebnis.passes,
                  (std::vector<Passbericht>{{"KMM", 36, 20, Passausgang::Gelaufen}}));
    }
}

TEST(Laufen, WebbotPassFirstSoNoQuestionAboutRemovedWebbots) {
    const Lauf l("1<!--webbot b -->1234567<!--c-->x", nur({FPW, KMM}), Modus::Normal, {N});
    EXPECT_EQ(l.fragen.gezeigt, (std::vector<Text>{"11234567<!--c-->x"}));
    EXPECT_EQ(l.text, "11234567<!--c-->x");
}

TEST(Laufen, StepByStepCommentQuestionsAfterThePassQuestion) {
    const Lauf l("<!--w--> <!--a-->x\t", nur({KMM, TAB}), Modus::Schritt, {J, J, J, J});
    EXPECT_EQ(l.text, " x");
    EXPECT_EQ(l.fragen.gestellt, (Log{std::string(kFrageKommentare), kommentarFrageText("<!--w-->"),
                                      kommentarFrageText("<!--a-->"), std::string(kFrageTabs)}));
    EXPECT_EQ(l.fragen.gezeigt, (std::vector<Text>{"<!--w--> <!--a-->x\t", "<!--w--> <!--a-->x\t",
                                                   " <!--a-->x\t", " x\t"}));
}

TEST(Laufen, BothCommentOptionsOptionSevenRules) {
    const Lauf l("a<!--x-->b", nur({KMA, KMM}), Modus::Normal, {N});
    EXPECT_EQ(l.text, "a<!--x-->b");
}

TEST(Laufen, AbbrechenAtACommentAbandonsTheRunWithTheRemovalsSoFar) {
    const Lauf l("1<!--a-->2<!--b-->3\t", nur({KMM, TAB, DKS, NOA, SK, SZ}), Modus::Normal, {J, A});
    EXPECT_EQ(l.text, "12<!--b-->3\t");  // the first removal stays, the tabs pass never ran
    EXPECT_TRUE(l.ergebnis.abgebrochen);
    EXPECT_EQ(l.ergebnis.passes,
              (std::vector<Passbericht>{{"KMM", 20, 12, Passausgang::Abgebrochen},
                                        {"TAB", 12, 12, Passausgang::NichtErreicht},
                                        {"SZ", 12, 12, Passausgang::NichtErreicht}}));
}

TEST(Laufen, TipsComeBackForTheFrontEndInEveryModeButTheBatch) {
    const Text seite = "<img src=a alt=a>\xE4";
    const Lauf normal(seite, nur({OT, SZ}), Modus::Normal);
    EXPECT_EQ(normal.ergebnis.tipps, optimierungstipps("<img src=a alt=a>&auml;"));
    EXPECT_EQ(normal.ergebnis.tipps.size(), 5U);
    EXPECT_EQ(normal.ergebnis.passes.back(), (Passbericht{"OT", 23, 23, Passausgang::Gelaufen}));
    const Lauf stapel(seite, nur({OT, SZ}), Modus::Automatisch);
    EXPECT_TRUE(stapel.ergebnis.tipps.empty());
    EXPECT_EQ(stapel.ergebnis.passes.size(), 1U);
    EXPECT_TRUE(
        Lauf("<!DOCTYPE html><title>x</title>", nur({OT}), Modus::Normal).ergebnis.tipps.empty());
}

TEST(Laufen, BatchRunAsksNoPassQuestion) {
    const Lauf l("<p>\t\xE4</p>", nur({TAB, SZ, OT, NOA, OA, DKS}), Modus::Automatisch);
    EXPECT_EQ(l.text, "<p>&auml;</p>");
    EXPECT_TRUE(l.fragen.gestellt.empty());
}

TEST(Laufen, KeineFragenAbandonsAtTheFirstComment) {
    Text text = "1<!--a-->2";
    KeineFragen keine;
    const auto e = laufen(text, Laufoptionen{nur({KMM}), Ersetzungstabelle()}, keine);
    EXPECT_TRUE(e.abgebrochen);
    EXPECT_EQ(text, "1<!--a-->2");
}

TEST(Laufen, ATextGrowingPastTheLimitThrows) {
    Ersetzungstabelle tabelle;
    tabelle.setzeAlle({{"a", "aaaa"}});
    Text text = "\taaaa";
    KeineFragen keine;
    const Laufoptionen klein{nur({TAB, AE}), tabelle, Kodierung::Cp1252, Modus::Normal, 8};
    EXPECT_THROW(laufen(text, klein, keine), DateiFehler);
}

// Dense markup, a tag and a word every four bytes, gives the most tokens a page can have. A run
// with the defaults (HSB, CSS, JS, ATK) on 16 MB of it holds about three times input plus output
// in memory at its peak, the page included (measured in a child, where nothing else runs).
TEST(Laufen, DenseMarkupTakesAboutThreeTimesInputPlusOutput) {
    if (test::kMitAsan) GTEST_SKIP() << "AddressSanitizer's shadow and quarantine count as well";
    constexpr std::size_t kGroesse = 16u << 20;
    const int ende = test::imKind([] {
        const unsigned long vorher = test::statusKb("VmRSS");
        Text seite;
        seite.reserve(kGroesse);
        while (seite.size() < kGroesse) seite += "<p>x";
        if (!test::hoechststandZuruecksetzen()) return 3;
        const Text aus = optimiereText(std::move(seite), Optionsmenge(), Ersetzungstabelle());
        const double anteil = static_cast<double>(test::statusKb("VmHWM") - vorher) * 1024 /
                              static_cast<double>(kGroesse + aus.size());
        std::printf("peak: %.2f times input plus output\n", anteil);
        std::fflush(stdout);
        return aus.size() == kGroesse && anteil < 3.25 ? 0 : 1;
    });
    EXPECT_EQ(ende, 0);
}

TEST(Pfade, FolderPartLowercaseNameAndPreview) {
    EXPECT_EQ(ordnerTeil("/a/b/c.htm"), "/a/b/");
    EXPECT_EQ(ordnerTeil("c.htm"), "");
    EXPECT_EQ(ordnerTeil("/"), "/");
    EXPECT_EQ(dateinameKlein("/A/B.HTM"), "/A/b.htm");
    EXPECT_EQ(dateinameKlein("/Index.HTM/Index.HTM"), "/Index.HTM/index.htm");
    EXPECT_EQ(dateinameKlein("/w/\xC3\x9C"
                             "BER.HTM"),
              "/w/\xC3\x9C"
              "ber.htm");
    EXPECT_EQ(dateinameKlein(""), "");
    EXPECT_EQ(vorschaudatei("/web/seite.htm"), "/web/brelkon_quintaro_temp_datei.html");
    EXPECT_EQ(vorschaudatei("/web/unter/"), "/web/unter/brelkon_quintaro_temp_datei.html");
    EXPECT_EQ(vorschaudatei("seite.htm"), "brelkon_quintaro_temp_datei.html");
}

TEST(OptimiereText, IsTheNormalRunWithoutQuestions) {
    const Text text = "<!--a-->\t<p>  \xE4 </p>\r\n\r\n<!--a-->x";
    Optionsmenge o;
    o.set(HSB, false);  // the plain passes
    o.set(KMM, true);
    o.set(NOA, false);
    const Lauf l(text, o, Modus::Normal, {J, J});
    Optionsmenge ohneFragen;
    ohneFragen.set(HSB, false);
    ohneFragen.set(KMA, true);
    EXPECT_EQ(optimiereText(text, ohneFragen, Ersetzungstabelle()), l.text);
    EXPECT_EQ(l.text, "<p> &auml; </p> x");
}

// Random pages and option sets: the report chains, the folded sweeps give what the passes one by
// one give (a step-by-step run answered Ja throughout), and the same runs in four threads at once
// give the same bytes as one after the other.
// CSS, JS and ATK: passes of their own after the others, each with its question, and nothing
// at all without HSB.
TEST(Laufen, CssJsAndAtkAskTheirOwnQuestionsAndNeedHsb) {
    const Text seite = "<style> a { x : y ; } </style><script>a = 1 ;</script><p class=\"k\">x</p>";
    const Lauf schritt(seite, nur({HSB, CSS, JS, ATK}), Modus::Schritt, {J, N, J});
    EXPECT_EQ(schritt.fragen.gestellt,
              (std::vector<std::string>{std::string(kFrageCss), std::string(kFrageJs),
                                        std::string(kFrageAtk)}));
    EXPECT_EQ(schritt.text, "<style>a{x:y}</style><script>a = 1 ;</script><p class=k>x");
    ASSERT_EQ(schritt.ergebnis.passes.size(), 3u);
    EXPECT_EQ(schritt.ergebnis.passes[1].schluessel, "JS");
    EXPECT_EQ(schritt.ergebnis.passes[1].ausgang, Passausgang::Uebersprungen);
    pruefeBericht(schritt.ergebnis, seite);

    const Lauf ohneHsb(seite, nur({CSS, JS, ATK}), Modus::Normal);
    EXPECT_EQ(ohneHsb.text, seite);
    EXPECT_TRUE(ohneHsb.ergebnis.passes.empty());
}

TEST(Laufen, ReportChainsAndFoldedSweepsMatchTheStepByStepRunAlsoInThreads) {
    std::mt19937 zufall(20);
    const char* stuecke[] = {"<p>",
                             "</p>",
                             " ",
                             "  ",
                             "\t",
                             "\r\n",
                             "<!-- k -->",
                             "<!--webbot x -->",
                             "\xE4",
                             "<br >",
                             "a",
                             "<td> x </td>",
                             "<!--#echo -->",
                             "&",
                             "<style>a { x : y ; }</style>",
                             "<script>a = 1 ;\r\nb()</script>",
                             "<ul>",
                             "<li class=\"k\">",
                             "</li>",
                             "</ul>"};
    struct Fall {
        Text seite;
        Optionsmenge o;
    };
    std::vector<Fall> faelle;
    for (int n = 0; n < 200; ++n) {
        Fall f;
        for (int i = 0; i < 40; ++i) f.seite += stuecke[zufall() % std::size(stuecke)];
        for (int i = 0; i < kOptionCount; ++i) f.o.set(i, zufall() % 2 == 0);
        f.o.set(KMM, false);
        f.o.set(OT, false);
        faelle.push_back(f);
    }
    Ersetzungstabelle tabelle;
    tabelle.setzeAlle({{"a", "b  "}});
    std::vector<Text> seriell;
    for (const auto& f : faelle) {
        const Lauf normal(f.seite, f.o, Modus::Normal, {}, tabelle);
        pruefeBericht(normal.ergebnis, f.seite);
        std::deque<Antwort> ja(20, J);
        SkriptFragen schrittFragen;
        schrittFragen.antworten = ja;
        Text schritt = f.seite;
        const auto e = laufen(
            schritt, Laufoptionen{f.o, tabelle, Kodierung::Cp1252, Modus::Schritt}, schrittFragen);
        pruefeBericht(e, f.seite);
        // What each question saw of the report is the report so far.
        for (const auto& stand : schrittFragen.bisher) {
            ASSERT_LE(stand.size(), e.passes.size());
            EXPECT_TRUE(std::equal(stand.begin(), stand.end(), e.passes.begin())) << f.seite;
        }
        EXPECT_EQ(normal.text, schritt) << f.seite;
        seriell.push_back(normal.text);
    }
    std::vector<Text> parallel(faelle.size());
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            KeineFragen keine;
            for (std::size_t i = t; i < faelle.size(); i += 4) {
                parallel[i] = faelle[i].seite;
                laufen(parallel[i], Laufoptionen{faelle[i].o, tabelle}, keine);
            }
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(parallel, seriell);
}

// --- The document's encoding ----------------------------------------------------------------

TEST(LaufenKodierung, Utf8PageGetsConvertedRowsEntitiesAndQuestions) {
    // "Müller €" with a comment of 31 characters, 35 bytes.
    const Text seite =
        "M\xC3\xBCller \xE2\x82\xAC<!--\xC3\xA4\xC3\xB6\xC3\xBC"
        "456789012345678901234-->x";
    Ersetzungstabelle tabelle;
    tabelle.setzeAlle({{"M\xFCller", "Schulze \xE4"}});  // code page 1252 rows
    const Optionsmenge o = nur({KMM, AE, SZ});
    const Lauf l(seite, o, Modus::Normal, {J}, tabelle, Kodierung::Utf8);
    EXPECT_EQ(l.text, "Schulze &auml; &euro;x");
    // 30 characters shown: the umlauts count once each.
    EXPECT_EQ(l.fragen.gestellt, (Log{"Sollen folgender Kommentar entfernt werden?\r\n\r\n<!--"
                                      "\xC3\xA4\xC3\xB6\xC3\xBC"
                                      "456789012345678901234--..."}));
    EXPECT_EQ(optimiereText(seite, o, tabelle, Kodierung::Utf8), "Schulze &auml; &euro;x");
}

TEST(LaufenKodierung, TheSameRunOverTheCodePageTwinGivesTheSameBytes) {
    const Text cp1252 =
        "<p>Gr\xFC\xDF"
        "e \x80 \x84"
        "a\x93</p>\r\n\t<!-- \xE4 -->x";
    Ersetzungstabelle tabelle;
    tabelle.setzeAlle({{"\x84", "&bdquo;"}, {"\xDF", "ss"}});
    Optionsmenge alles;
    for (int i = 0; i < kOptionCount; ++i) alles.set(i, true);
    for (const bool hsb : {false, true}) {
        alles.set(HSB, hsb);
        const Text einmal = optimiereText(cp1252, alles, tabelle);
        EXPECT_EQ(optimiereText(cp1252NachUtf8(cp1252), alles, tabelle, Kodierung::Utf8),
                  cp1252NachUtf8(einmal));
        // HSB drops the space after the block's end.
        EXPECT_EQ(einmal, hsb ? "<p>Gr&uuml;sse &euro; &bdquo;a\x93</p>x"
                              : "<p>Gr&uuml;sse &euro; &bdquo;a\x93</p> x");
    }
}

TEST(LaufenKodierung, AnotherCodePageKeepsItsLettersAndRows) {
    // windows-1254: 0xFD is a dotless i, which an entity of code page 1252 would make a y.
    Ersetzungstabelle tabelle;
    tabelle.setzeAlle({{"\xE4", "a"}});
    const Lauf l("<meta charset=windows-1254>Kad\xFDn \xE4", nur({SZ, AE}), Modus::Normal, {},
                 tabelle, Kodierung::Andere);
    EXPECT_EQ(l.text, "<meta charset=windows-1254>Kad\xFDn a");
}

}  // namespace
}  // namespace quintaro
