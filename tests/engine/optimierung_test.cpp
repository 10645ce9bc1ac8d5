// The run driver through a scripted window: modes, questions, abandon, backups and the end of a
// run.
#include "engine/optimierung.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/tabelle.h"
#include "fake_umgebung.h"
#include "literal.h"

namespace quintaro {
namespace {

using namespace meldungen;
using test::FakeUmgebung;
using Log = std::vector<std::string>;

constexpr Antwort J = Antwort::Ja;
constexpr Antwort N = Antwort::Nein;
constexpr Antwort A = Antwort::Abbrechen;

const std::string kDatei = "/web/Seite.HTM";
const std::string kBak = "/web/Seite.HTM.bak";
const std::string kVorschau = "/web/brelkon_quintaro_temp_datei.html";

std::string q(std::string_view text) {
    return "frage[JNA] " + std::string(text);
}
std::string qJN(std::string_view text) {
    return "frage[JN] " + std::string(text);
}
std::string m(std::string_view text) {
    return "meldung " + std::string(text);
}

// A window with a loaded document and no option ticked.
FakeUmgebung mitDokument(const Text& text) {
    FakeUmgebung u;
    u.editor = text;
    u.datei = kDatei;
    u.platte.dateien[kDatei] = text;
    return u;
}

// Log entries from the first one starting with `prefix` on.
Log ab(const Log& log, const std::string& prefix) {
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (log[i].rfind(prefix, 0) == 0) return Log(log.begin() + static_cast<long>(i), log.end());
    }
    return {};
}

bool enthaelt(const Log& log, const std::string& prefix) {
    return !ab(log, prefix).empty();
}

TEST(Modus, Texts) {
    EXPECT_EQ(modusText(Modus::Normal), "");
    EXPECT_EQ(modusText(Modus::Schritt), "Schritt");
    EXPECT_EQ(modusText(Modus::Automatisch), "Automatisch");
}

TEST(Optimierung, EmptyTextOnlyTellsTheUser) {
    for (Modus modus : {Modus::Normal, Modus::Schritt, Modus::Automatisch}) {
        FakeUmgebung u = mitDokument("");
        u.ein({SK, DKS, NOA});
        Optimierung(u, modus);
        EXPECT_EQ(u.log, (Log{"bearbeitung", "groesse /", m(kLeererQuelltext), "unveraendert"}));
        EXPECT_EQ(u.platte.dateien.count(kBak), 0u);
    }
}

TEST(Optimierung, EmptyTextMessage) {
    EXPECT_EQ(kLeererQuelltext,
              "Es erscheint wenig sinnvoll, einen leeren Quelltext optimieren zu wollen.\r\n\r\n"
              "Bitte laden Sie zuerst eine Datei.");
}

TEST(Optimierung, NormalRunWithWhitespacePassesAsksNothing) {
    const Text text = "<p>\ta  b</p>\r\n\r\n<i >x</i>";
    FakeUmgebung u = mitDokument(text);
    u.ein({ZU, DZU, DL, LZT, LIT, TAB});
    Optimierung(u, Modus::Normal);
    EXPECT_EQ(u.editor, "<p>a b</p><i>x</i>");
    EXPECT_EQ(u.platte.dateien[kVorschau], u.editor);
    EXPECT_EQ(u.log, (Log{"bearbeitung", "groesse /", "busy", "vorschaudatei " + kVorschau,
                          "schreibe " + kVorschau, "groesse 18", "normal", "seite", "normal"}));
    EXPECT_TRUE(u.geaendert);
    EXPECT_FALSE(u.beschaeftigt);
}

TEST(Optimierung, DefaultOptionsFullEndOfRunOrder) {
    FakeUmgebung u = mitDokument("<p>\xE4</p>");
    u.optionen = OptionSet();  // the defaults: backups, lowercase name, offer display
    u.antworten = {J};
    Optimierung(u, Modus::Normal);
    EXPECT_EQ(u.editor, "<p>&auml;</p>");
    EXPECT_EQ(u.log, (Log{"bearbeitung", "groesse /", "kopie " + kDatei + " -> " + kBak, "busy",
                          "vorschaudatei " + kVorschau, "schreibe " + kVorschau, "groesse 13",
                          "normal", qJN(kAnzeigen), "anzeigen", "datei /web/seite.htm",
                          "titel /web/seite.htm", "seite", "normal"}));
    EXPECT_EQ(u.platte.dateien[kBak], "<p>\xE4</p>");
}

TEST(Optimierung, DisplayOfferedAndShownWhenBothOptions) {
    for (Antwort antwort : {J, N}) {
        FakeUmgebung u = mitDokument("x");
        u.ein({NOA, OA});
        u.antworten = {antwort};
        Optimierung(u, Modus::Normal);
        Log expected = {qJN(kAnzeigen)};
        if (antwort == J) expected.push_back("anzeigen");
        expected.insert(expected.end(), {"anzeigen", "seite", "normal"});
        EXPECT_EQ(ab(u.log, "frage"), expected);
    }
}

TEST(Optimierung, DisplayQuestionText) {
    EXPECT_EQ(kAnzeigen,
              "Die Quelltext-Optimierung wurde durchgeführt.\r\n\r\nSoll die optimierte Fassung "
              "angezeigt werden?");
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
    FakeUmgebung u = mitDokument(kSchrittSeite);
    u.tabelle = schrittTabelle();
    u.ein({FPW, KMA, AE, TAB, DZU, ZU, DL, LZT, LIT, SZ, OT});

    // What the questions and the editor must be, from the literal passes.
    Log fragen;
    std::vector<Text> texte;
    Text text = kSchrittSeite;
    bool abgebrochen = false;
    const auto passes = allePasses();
    for (std::size_t i = 0; i <= passes.size(); ++i) {
        const std::string_view frage = i < passes.size() ? passes[i].frage : kFrageTipps;
        if (i < passes.size() && !passes[i].bedingung(text)) continue;
        fragen.push_back(q(frage));
        texte.push_back(text);
        const Antwort a = i == c.stelle ? c.antwort : J;
        u.antworten.push_back(a);
        if (a == A) {
            abgebrochen = true;
            break;
        }
        if (a == J && i < passes.size()) text = passes[i].anwenden(text);
    }

    Optimierung(u, Modus::Schritt);

    EXPECT_TRUE(u.antworten.empty());
    Log gestellt;
    for (const auto& e : u.log) {
        if (e.rfind("frage", 0) == 0) gestellt.push_back(e);
    }
    EXPECT_EQ(gestellt, fragen);
    EXPECT_EQ(u.editorBeiFrage, texte);
    EXPECT_EQ(u.editor, text);
    EXPECT_TRUE(u.geaendert);
    EXPECT_FALSE(u.beschaeftigt);
    if (abgebrochen) {
        EXPECT_EQ(u.log.back(), "normal");
        EXPECT_EQ(u.optimiertGroesse, "/");
        EXPECT_FALSE(enthaelt(u.log, "schreibe"));
        EXPECT_FALSE(enthaelt(u.log, "seite"));
        EXPECT_FALSE(enthaelt(u.log, "meldung"));
    } else {
        const bool tipps = !(c.stelle == passes.size() && c.antwort == N);
        Log ende;
        if (tipps) {
            // No doctype and no title on this page.
            ende = {m("Der Dokumententyp wurde nicht definiert\r\n\r\nFormat: <!DOCTYPE=..."),
                    m("Es wurde kein Seitentitel vergeben\r\n\r\nFormat: <title>...</title>")};
        }
        ende.insert(ende.end(),
                    {"vorschaudatei " + kVorschau, "schreibe " + kVorschau,
                     "groesse " + std::to_string(text.size()), "normal", "seite", "normal"});
        EXPECT_EQ(Log(u.log.end() - static_cast<long>(ende.size()), u.log.end()), ende);
        EXPECT_EQ(u.platte.dateien[kVorschau], text);
        for (const auto& t : u.editorBeiMeldung) EXPECT_EQ(t, text);
    }
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

TEST(Optimierung, StepByStepNeinThroughoutStillEnds) {
    FakeUmgebung u = mitDokument("a\t b");
    u.ein({TAB, DL, NOA, DKS});
    u.antworten = {N, N, N};
    Optimierung(u, Modus::Schritt);
    EXPECT_EQ(u.editor, "a\t b");
    EXPECT_EQ(u.log, (Log{"bearbeitung", "groesse /", "busy", q(kFrageTabs),
                          q(kFrageDoppelteLeerzeichen), "vorschaudatei " + kVorschau,
                          "schreibe " + kVorschau, "groesse 4", "normal", qJN(kAnzeigen),
                          "datei /web/seite.htm", "titel /web/seite.htm", "seite", "normal"}));
}

TEST(Optimierung, StepByStepJaTwiceThenAbbrechen) {
    FakeUmgebung u = mitDokument("a\t\r\n\r\nb  c");
    u.ein({TAB, DZU, ZU, DL, DKS, NOA});
    u.antworten = {J, J, A};
    Optimierung(u, Modus::Schritt);
    EXPECT_EQ(u.editor, "a\r\nb  c");
    EXPECT_EQ(u.log, (Log{"bearbeitung", "groesse /", "busy", q(kFrageTabs),
                          q(kFrageDoppelteUmbrueche), q(kFrageUmbrueche), "normal"}));
    EXPECT_EQ(u.datei, kDatei);
    EXPECT_EQ(u.optimiertGroesse, "/");
    EXPECT_TRUE(u.geaendert);
}

TEST(Optimierung, CommentPassesNeedTheirOpeningsEvenStepByStep) {
    FakeUmgebung u = mitDokument("<p>-->\t</p>");
    u.ein({FPW, KMA, TAB});
    u.antworten = {N};
    Optimierung(u, Modus::Schritt);
    EXPECT_EQ(ab(u.log, "frage"),
              (Log{q(kFrageTabs), "vorschaudatei " + kVorschau, "schreibe " + kVorschau,
                   "groesse 11", "normal", "seite", "normal"}));
}

TEST(Optimierung, SsiOnlyPageStillGetsTheCommentQuestion) {
    FakeUmgebung u = mitDokument("<!--#include file=kopf.htm -->\r\n");
    u.ein({KMM});
    u.antworten = {J};
    Optimierung(u, Modus::Schritt);
    EXPECT_EQ(ab(u.log, "frage"),
              (Log{q(kFrageKommentare), "vorschaudatei " + kVorschau, "schreibe " + kVorschau,
                   "groesse 32", "normal", "seite", "normal"}));
}

TEST(Optimierung, PassQuestionTexts) {
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
}

// Option 7: a question per collected comment, over the text as the removals so far left it.
const Text kZweiKommentare = "1<!--a-->2<!--webbot b -->3<!--a-->4";

TEST(Optimierung, CommentQuestionsShowTheCurrentText) {
    FakeUmgebung u = mitDokument(kZweiKommentare);
    u.ein({KMM, DKS});
    u.antworten = {J, N, J};
    Optimierung(u, Modus::Normal);
    EXPECT_EQ(u.editor, "12<!--webbot b -->34");
    EXPECT_EQ(ab(u.log, "frage"),
              (Log{q(kommentarFrageText("<!--a-->")), q(kommentarFrageText("<!--webbot b -->")),
                   q(kommentarFrageText("<!--a-->")), "vorschaudatei " + kVorschau,
                   "schreibe " + kVorschau, "groesse 20", "normal", "datei /web/seite.htm",
                   "titel /web/seite.htm", "seite", "normal"}));
    EXPECT_EQ(u.editorBeiFrage,
              (std::vector<Text>{kZweiKommentare, "12<!--webbot b -->34", "12<!--webbot b -->34"}));
}

TEST(Optimierung, WebbotPassFirstSoNoQuestionAboutRemovedWebbots) {
    FakeUmgebung u = mitDokument("1<!--webbot b -->1234567<!--c-->x");
    u.ein({FPW, KMM});
    u.antworten = {N};
    Optimierung(u, Modus::Normal);
    EXPECT_EQ(u.editorBeiFrage, (std::vector<Text>{"11234567<!--c-->x"}));
    EXPECT_EQ(u.editor, "11234567<!--c-->x");
}

TEST(Optimierung, StepByStepCommentQuestionsAfterThePassQuestion) {
    FakeUmgebung u = mitDokument("<!--w--> <!--a-->x\t");
    u.ein({KMM, TAB});
    u.antworten = {J, J, J, J};
    Optimierung(u, Modus::Schritt);
    EXPECT_EQ(u.editor, " x");
    EXPECT_EQ(Log(u.log.begin() + 3, u.log.begin() + 7),
              (Log{q(kFrageKommentare), q(kommentarFrageText("<!--w-->")),
                   q(kommentarFrageText("<!--a-->")), q(kFrageTabs)}));
    EXPECT_EQ(u.editorBeiFrage, (std::vector<Text>{"<!--w--> <!--a-->x\t", "<!--w--> <!--a-->x\t",
                                                   " <!--a-->x\t", " x\t"}));
}

TEST(Optimierung, BothCommentOptionsOptionSevenRules) {
    FakeUmgebung u = mitDokument("a<!--x-->b");
    u.ein({KMA, KMM});
    u.antworten = {N};
    Optimierung(u, Modus::Normal);
    EXPECT_EQ(u.editor, "a<!--x-->b");
}

TEST(Optimierung, AbbrechenAtACommentAbandonsTheRun) {
    FakeUmgebung u = mitDokument("1<!--a-->2<!--b-->3\t");
    u.ein({KMM, TAB, DKS, NOA, SK});
    u.antworten = {J, A};
    Optimierung(u, Modus::Normal);
    EXPECT_EQ(u.editor, "12<!--b-->3\t");  // the first removal stays, the tabs pass never ran
    EXPECT_EQ(u.log.back(), "normal");
    EXPECT_EQ(u.optimiertGroesse, "/");
    EXPECT_EQ(u.datei, kDatei);
    EXPECT_FALSE(enthaelt(u.log, "schreibe"));
    EXPECT_FALSE(enthaelt(u.log, "seite"));
    EXPECT_FALSE(u.beschaeftigt);
    EXPECT_TRUE(u.geaendert);
}

TEST(Optimierung, TipsInNormalRunWithoutQuestion) {
    FakeUmgebung u = mitDokument("<img src=a alt=a>\xE4");
    u.ein({OT, SZ});
    Optimierung(u, Modus::Normal);
    EXPECT_EQ(ab(u.log, "meldung"),
              (Log{m("Die Anzahl der Grafikeinbindungen stimmt nicht mit der der Grafiktitel "
                     "überein.\r\n\r\nFormat: <img src=\"...\" title=\"...\""),
                   m("Die Anzahl der Grafikeinbindungen stimmt nicht mit der der Breitenangaben "
                     "überein.\r\n\r\nFormat: <img src=\"...\" width=\"...\""),
                   m("Die Anzahl der Grafikeinbindungen stimmt nicht mit der der Höhenangaben "
                     "überein.\r\n\r\nFormat: <img src=\"...\" height=\"...\""),
                   m("Der Dokumententyp wurde nicht definiert\r\n\r\nFormat: <!DOCTYPE=..."),
                   m("Es wurde kein Seitentitel vergeben\r\n\r\nFormat: <title>...</title>"),
                   "vorschaudatei " + kVorschau, "schreibe " + kVorschau, "groesse 23", "normal",
                   "seite", "normal"}));
    // The tips see the text as the passes left it, and so does the editor meanwhile.
    for (const auto& t : u.editorBeiMeldung) EXPECT_EQ(t, "<img src=a alt=a>&auml;");
}

TEST(Optimierung, NoTipsForACleanPage) {
    FakeUmgebung u = mitDokument("<!DOCTYPE html><title>x</title>");
    u.ein({OT});
    Optimierung(u, Modus::Normal);
    EXPECT_FALSE(enthaelt(u.log, "meldung"));
}

TEST(Optimierung, BatchRunAsksNothingAndSaves) {
    FakeUmgebung u = mitDokument("<p>\t\xE4</p>");
    u.ein({TAB, SZ, OT, NOA, OA, DKS});  // option 10 off: a batch run backs up all the same
    Optimierung(u, Modus::Automatisch);
    EXPECT_EQ(u.log,
              (Log{"bearbeitung", "groesse /", "kopie " + kDatei + " -> " + kBak,
                   "datei /web/seite.htm", "titel /web/seite.htm", "speichern /web/seite.htm"}));
    EXPECT_EQ(u.platte.dateien["/web/seite.htm"], "<p>&auml;</p>");
    EXPECT_EQ(u.platte.dateien[kBak], "<p>\t\xE4</p>");
    EXPECT_EQ(u.platte.dateien.count(kVorschau), 0u);
}

TEST(Optimierung, BatchRunStillAsksAboutEachComment) {
    FakeUmgebung u = mitDokument("1<!--a-->2<!--b-->3");
    u.ein({KMM, TAB});
    u.antworten = {N, J};
    Optimierung(u, Modus::Automatisch);
    EXPECT_EQ(u.editor, "1<!--a-->23");
    EXPECT_EQ(ab(u.log, "frage"), (Log{q(kommentarFrageText("<!--a-->")),
                                       q(kommentarFrageText("<!--b-->")), "speichern " + kDatei}));
}

TEST(Optimierung, BatchAbbrechenLeavesFileUnsavedAndCursorAlone) {
    FakeUmgebung u = mitDokument("1<!--a-->2");
    u.ein({KMM});
    u.antworten = {A};
    Optimierung(u, Modus::Automatisch);
    EXPECT_EQ(u.log, (Log{"bearbeitung", "groesse /", "kopie " + kDatei + " -> " + kBak,
                          q(kommentarFrageText("<!--a-->"))}));
    EXPECT_EQ(u.platte.dateien[kDatei], "1<!--a-->2");
}

struct SicherungsFall {
    const char* name;
    friend void PrintTo(const SicherungsFall& f, std::ostream* os) { *os << f.name; }
    Modus modus;
    bool sk;
    bool vorhanden;  // a backup exists already
    std::vector<Antwort> antworten;
    Log kopie;           // the log between "groesse /" and what follows the backup step
    std::string danach;  // the backup's content afterwards ("" = none)
};

class Sicherungskopie : public testing::TestWithParam<SicherungsFall> {};

TEST_P(Sicherungskopie, FollowsTheRules) {
    const auto& c = GetParam();
    FakeUmgebung u = mitDokument("neu");
    u.platte.dateien[kDatei] = "disk";  // the copy comes from the file, not the editor
    if (c.vorhanden) u.platte.dateien[kBak] = "alt";
    if (c.sk) u.ein({SK});
    u.antworten = {c.antworten.begin(), c.antworten.end()};
    Optimierung(u, c.modus);
    const Log nachher(u.log.begin() + 2, u.log.begin() + 2 + static_cast<long>(c.kopie.size()));
    EXPECT_EQ(nachher, c.kopie);
    EXPECT_EQ(u.log[2 + c.kopie.size()],
              c.modus == Modus::Automatisch ? "speichern " + kDatei : std::string("busy"));
    if (c.danach.empty()) {
        EXPECT_EQ(u.platte.dateien.count(kBak), 0u);
    } else {
        EXPECT_EQ(u.platte.dateien[kBak], c.danach);
    }
}

const std::string kUeberschreiben = qJN(kSicherheitskopieUeberschreiben);
const std::string kKopie = "kopie " + kDatei + " -> " + kBak;

INSTANTIATE_TEST_SUITE_P(
    Rules, Sicherungskopie,
    testing::Values(
        SicherungsFall{"OptionOffNoBackup", Modus::Normal, false, false, {}, {}, ""},
        SicherungsFall{"OptionOffStepNoBackup", Modus::Schritt, false, false, {}, {}, ""},
        SicherungsFall{
            "OptionOffBatchBacksUp", Modus::Automatisch, false, false, {}, {kKopie}, "disk"},
        SicherungsFall{"NewBackup", Modus::Normal, true, false, {}, {kKopie}, "disk"},
        SicherungsFall{"ExistingJaOverwrites",
                       Modus::Normal,
                       true,
                       true,
                       {J},
                       {kUeberschreiben, kKopie + " ueberschreiben"},
                       "disk"},
        SicherungsFall{
            "ExistingNeinKeeps", Modus::Normal, true, true, {N}, {kUeberschreiben}, "alt"},
        SicherungsFall{
            "ExistingBatchNeverAsksNorOverwrites", Modus::Automatisch, true, true, {}, {}, "alt"}),
    ::quintaro::test::ZeilenName{});

// Without its backup a batch file is not saved over; a normal run saves nothing by itself and
// goes on.
TEST(Optimierung, FailedBackupStopsABatchFileButNotANormalRun) {
    for (const Modus modus : {Modus::Automatisch, Modus::Normal}) {
        FakeUmgebung u = mitDokument("neu");
        u.platte.dateien[kDatei] = "disk";
        u.platte.gesperrt.insert(kBak);
        u.ein({SK});
        if (modus == Modus::Automatisch) {
            EXPECT_THROW(Optimierung(u, modus), DateiFehler);
            EXPECT_FALSE(enthaelt(u.log, "speichern " + kDatei));
        } else {
            Optimierung(u, modus);
            EXPECT_TRUE(enthaelt(u.log, "schreibe " + kVorschau));
        }
        EXPECT_EQ(u.platte.dateien[kDatei], "disk");
    }
}

TEST(Optimierung, BackupQuestionText) {
    EXPECT_EQ(kSicherheitskopieUeberschreiben,
              "Es besteht bereits eine Sicherheitskopie der aktuellen Datei.\r\n\r\nSoll die "
              "bestehende Sicherheitskopie überschrieben werden?");
}

TEST(Optimierung, WithoutDocumentFileNoBackupAndBarePreviewName) {
    FakeUmgebung u;
    u.editor = "typed";
    u.ein({SK, DKS});
    Optimierung(u, Modus::Normal);
    EXPECT_EQ(u.log, (Log{"bearbeitung", "groesse /", "busy",
                          "vorschaudatei brelkon_quintaro_temp_datei.html",
                          "schreibe brelkon_quintaro_temp_datei.html", "groesse 5", "normal",
                          "datei ", "titel ", "seite", "normal"}));
}

TEST(Optimierung, PreviewWriteFailureRestoresCursorAndStops) {
    FakeUmgebung u = mitDokument("<p > x</p>");
    u.ein({LIT, DKS, NOA, OA});
    u.platte.gesperrt.insert(kVorschau);
    EXPECT_THROW(Optimierung(u, Modus::Normal), DateiFehler);
    EXPECT_EQ(ab(u.log, "busy"),
              (Log{"busy", "vorschaudatei " + kVorschau, "schreibe " + kVorschau, "normal"}));
    EXPECT_EQ(u.optimiertGroesse, "/");
    EXPECT_EQ(u.datei, kDatei);
    EXPECT_EQ(u.editor, "<p> x</p>");
}

TEST(Optimierung, BatchSaveFailurePassesOn) {
    FakeUmgebung u = mitDokument("x");
    u.speichernSchlaegtFehl = true;
    EXPECT_THROW(Optimierung(u, Modus::Automatisch), DateiFehler);
    EXPECT_FALSE(enthaelt(u.log, "busy"));
}

struct KleinFall {
    const char* name;
    friend void PrintTo(const KleinFall& f, std::ostream* os) { *os << f.name; }
    std::string datei;
    std::vector<std::string> vorhanden;  // other files on disk
    std::string expected;
};

class DateinameKlein : public testing::TestWithParam<KleinFall> {};

TEST_P(DateinameKlein, LowercasesOnlyTheFileName) {
    const auto& c = GetParam();
    FakeUmgebung u = mitDokument("x");
    u.datei = c.datei;
    u.platte.dateien[c.datei] = "x";
    for (const auto& f : c.vorhanden) u.platte.dateien[f] = "other";
    u.ein({DKS});
    Optimierung(u, Modus::Normal);
    EXPECT_EQ(u.datei, c.expected);
    EXPECT_EQ(u.seitenTitel, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, DateinameKlein,
    testing::Values(
        KleinFall{"Simple", "/Web/Index.HTM", {}, "/Web/index.htm"},
        KleinFall{"FolderKeepsItsCase", "/WEB/INDEX.HTM", {}, "/WEB/index.htm"},
        // The name also spelt in the folder: only the last part changes.
        KleinFall{"NameAlsoInFolder", "/Index.HTM/Index.HTM", {}, "/Index.HTM/index.htm"},
        KleinFall{"UmlautStays",
                  "/w/\xC3\x9C"
                  "BER.HTM",
                  {},
                  "/w/\xC3\x9C"
                  "ber.htm"},
        KleinFall{"NoFolder", "Index.HTM", {}, "index.htm"},
        KleinFall{"AlreadyLower", "/w/a.htm", {}, "/w/a.htm"},
        KleinFall{
            "OtherFileWithThatNameKeepsIt", "/w/Index.htm", {"/w/index.htm"}, "/w/Index.htm"}),
    ::quintaro::test::ZeilenName{});

TEST(Pfade, FolderPartLowercaseNameAndPreview) {
    EXPECT_EQ(ordnerTeil("/a/b/c.htm"), "/a/b/");
    EXPECT_EQ(ordnerTeil("c.htm"), "");
    EXPECT_EQ(ordnerTeil("/"), "/");
    EXPECT_EQ(dateinameKlein("/A/B.HTM"), "/A/b.htm");
    EXPECT_EQ(dateinameKlein(""), "");
    EXPECT_EQ(vorschaudatei("/web/seite.htm"), "/web/brelkon_quintaro_temp_datei.html");
    EXPECT_EQ(vorschaudatei("/web/unter/"), "/web/unter/brelkon_quintaro_temp_datei.html");
    EXPECT_EQ(vorschaudatei("seite.htm"), "brelkon_quintaro_temp_datei.html");
}

TEST(OptimiereText, IsTheNormalRunWithoutQuestions) {
    const Text text = "<!--a-->\t<p>  \xE4 </p>\r\n\r\n<!--a-->x";
    FakeUmgebung u = mitDokument(text);
    u.optionen = OptionSet();
    u.optionen.set(KMM, true);
    u.optionen.set(NOA, false);
    u.antworten = {J, J};
    Optimierung(u, Modus::Normal);
    OptionSet o;
    o.set(KMA, true);
    EXPECT_EQ(optimiereText(text, o, Ersetzungstabelle()), u.editor);
    EXPECT_EQ(u.editor, "<p> &auml; </p> x");
}

// --- The document's encoding ----------------------------------------------------------------

// A window whose document is in UTF-8 (or in another 8-bit code page).
class KodierteUmgebung : public FakeUmgebung {
  public:
    explicit KodierteUmgebung(Kodierung k) : k_(k) {}
    Kodierung kodierung() override { return k_; }

  private:
    Kodierung k_;
};

TEST(OptimierungKodierung, Utf8PageGetsConvertedRowsEntitiesAndQuestions) {
    // "Müller €" with a comment of 31 characters, 35 bytes.
    const Text seite =
        "M\xC3\xBCller \xE2\x82\xAC<!--\xC3\xA4\xC3\xB6\xC3\xBC"
        "456789012345678901234-->x";
    KodierteUmgebung u(Kodierung::Utf8);
    u.editor = seite;
    u.ein({KMM, AE, SZ});
    u.tabelle.setzeAlle({{"M\xFCller", "Schulze \xE4"}});  // code page 1252 rows
    u.antworten = {J};
    Optimierung(u, Modus::Normal);
    EXPECT_EQ(u.editor, "Schulze &auml; &euro;x");
    // 30 characters shown: the umlauts count once each.
    EXPECT_TRUE(enthaelt(u.log, q("Sollen folgender Kommentar entfernt werden?\r\n\r\n<!--"
                                  "\xC3\xA4\xC3\xB6\xC3\xBC"
                                  "456789012345678901234--...")))
        << testing::PrintToString(u.log);
    EXPECT_EQ(optimiereText(seite, u.optionen, u.tabelle, Kodierung::Utf8),
              "Schulze &auml; &euro;x");
}

TEST(OptimierungKodierung, TheSameRunOverTheCodePageTwinGivesTheSameBytes) {
    const Text cp1252 =
        "<p>Gr\xFC\xDF"
        "e \x80 \x84"
        "a\x93</p>\r\n\t<!-- \xE4 -->x";
    Ersetzungstabelle tabelle;
    tabelle.setzeAlle({{"\x84", "&bdquo;"}, {"\xDF", "ss"}});
    OptionSet alles;
    for (int i = 0; i < kOptionCount; ++i) alles.set(i, true);
    for (const bool hsb : {false, true}) {
        alles.set(HSB, hsb);
        const Text einmal = optimiereText(cp1252, alles, tabelle);
        EXPECT_EQ(optimiereText(cp1252ToUtf8(cp1252), alles, tabelle, Kodierung::Utf8),
                  cp1252ToUtf8(einmal));
        // HSB drops the space after the block's end.
        EXPECT_EQ(einmal, hsb ? "<p>Gr&uuml;sse &euro; &bdquo;a\x93</p>x"
                              : "<p>Gr&uuml;sse &euro; &bdquo;a\x93</p> x");
    }
}

TEST(OptimierungKodierung, AnotherCodePageKeepsItsLettersAndRows) {
    // windows-1254: 0xFD is a dotless i, which an entity of code page 1252 would make a y.
    const Text seite = "<meta charset=windows-1254>Kad\xFDn \xE4";
    KodierteUmgebung u(Kodierung::Andere);
    u.editor = seite;
    u.ein({SZ, AE});
    u.tabelle.setzeAlle({{"\xE4", "a"}});
    Optimierung(u, Modus::Normal);
    EXPECT_EQ(u.editor, "<meta charset=windows-1254>Kad\xFDn a");
}

}  // namespace
}  // namespace quintaro
