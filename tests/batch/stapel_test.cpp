// The batch run's per-file work on real files: backups, option 13's renaming, empty files,
// "Abbrechen", failed loads and saves that lose nothing, and the progress steps.
#include "batch/stapel.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "common/dateien.h"
#include "engine/kommentare.h"
#include "engine/optimierung.h"

namespace quintaro {
namespace {

using test::leseRoh;
using test::Ordner;
using test::schreibeRoh;

const std::string kSeite =
    "<html>\n<body>\n\t<p>  Gr\xFC\xDF"
    "e  </p>\n\n</body>\n</html>\n";

Optionsmenge nurDiese(std::initializer_list<int> an) {
    Optionsmenge o;
    for (int i = 0; i < kOptionCount; ++i) o.set(i, false);
    for (int i : an) o.set(i, true);
    return o;
}

// What the run must write for a page: the passes over the page as loaded.
Text erwartet(const std::string& roh, const Optionsmenge& o, const Ersetzungstabelle& t = {}) {
    return optimiereText(umbruecheVereinheitlichen(roh), o, t);
}

// --- Progress -----------------------------------------------------------------------------

TEST(Fortschritt, StepsByOneAndStartsAgainPastTheMaximum) {
    struct Fall {
        int von;
        int nach;
    };
    for (const auto [von, nach] : {Fall{0, 1}, Fall{1, 2}, Fall{254, 255}, Fall{255, 0}}) {
        EXPECT_EQ(fortschrittSchritt(von), nach) << von;
    }
}

TEST(Fortschritt, EightySixFilesRunThroughTheBarOnceMore) {
    int position = 0;
    std::vector<int> nachDatei;
    for (int datei = 0; datei < 86; ++datei) {
        for (int s = 0; s < kSchritteProDatei; ++s) position = fortschrittSchritt(position);
        nachDatei.push_back(position);
    }
    EXPECT_EQ(nachDatei[0], 3);
    EXPECT_EQ(nachDatei[84], 255);  // 85 files fill the bar exactly
    EXPECT_EQ(nachDatei[85], 2);    // 256 -> 0, then 1, 2
    // A second run starts from the full bar: its first step starts again from the beginning.
    EXPECT_EQ(fortschrittSchritt(kFortschrittMaximum), 0);
}

// --- Saved bytes, backups -----------------------------------------------------------------

TEST(DateiOptimieren, WritesTheOptimisedTextAndBacksUpTheFileAsItWas) {
    Ordner dir;
    const std::string datei = dir / "seite.htm";
    schreibeRoh(datei, kSeite);
    const Optionsmenge optionen;  // the defaults; option 10's state does not matter in a batch

    const auto e = dateiOptimieren(datei, optionen, {});
    EXPECT_EQ(e.status, StapelStatus::Gespeichert);
    EXPECT_EQ(e.pfad, datei);
    EXPECT_EQ(e.originalGroesse, static_cast<std::int32_t>(kSeite.size()));
    EXPECT_EQ(leseRoh(datei), erwartet(kSeite, optionen));
    EXPECT_EQ(e.optimiertGroesse, leseRoh(datei).size());
    EXPECT_EQ(leseRoh(datei + ".bak"), kSeite);  // bytes from disk, not normalised
    EXPECT_EQ(dir.namen(), (std::set<std::string>{"seite.htm", "seite.htm.bak"}));
}

TEST(DateiOptimieren, MakesTheBackupEvenWithOptionTenOff) {
    Ordner dir;
    const std::string datei = dir / "a.htm";
    schreibeRoh(datei, "a\nb");
    dateiOptimieren(datei, nurDiese({ZU}), {});
    EXPECT_EQ(leseRoh(datei), "a b");
    EXPECT_EQ(leseRoh(datei + ".bak"), "a\nb");
}

TEST(DateiOptimieren, OnlyNormalisesLineBreaksWithEverythingOff) {
    Ordner dir;
    const std::string datei = dir / "a.htm";
    schreibeRoh(datei, "a\nb\rc\r\n");
    dateiOptimieren(datei, nurDiese({}), {});
    EXPECT_EQ(leseRoh(datei), "a\r\nb\r\nc\r\n");
}

TEST(DateiOptimieren, AppliesTheReplacementTable) {
    Ordner dir;
    const std::string datei = dir / "a.htm";
    schreibeRoh(datei, "<b>x</b>");
    Ersetzungstabelle t;
    t.setzeZeile(1, {"<b>", "<strong>"});
    t.anhaengen({"</b>", "</strong>"});
    dateiOptimieren(datei, nurDiese({AE}), t);
    EXPECT_EQ(leseRoh(datei), "<strong>x</strong>");
}

TEST(DateiOptimieren, CallerDecidesTheOrderAndASecondPassKeepsTheFirstBackup) {
    // The list as the window would sort it holds b.htm twice; the caller's order is kept.
    Ordner dir;
    const std::string a = dir / "a.htm";
    const std::string b = dir / "b.htm";
    schreibeRoh(a, "<!--a--><p>a</p>\n");
    schreibeRoh(b, "<!--b--><p>b</p>\n<!--b2-->\n");
    Ersetzungstabelle t;
    t.setzeZeile(1, {"</p>", "!</p>"});  // each pass over a file adds one more "!"
    const Optionsmenge optionen = nurDiese({KMM, AE});

    std::vector<std::string> gefragt;
    const StapelFrage frage = [&](const std::string& text, Knoepfe) {
        gefragt.push_back(text);
        return Antwort::Nein;
    };
    for (const auto& pfad : {b, a, b}) dateiOptimieren(pfad, optionen, t, frage);

    EXPECT_EQ(gefragt, (std::vector<std::string>{
                           kommentarFrageText("<!--b-->"), kommentarFrageText("<!--b2-->"),
                           kommentarFrageText("<!--a-->"), kommentarFrageText("<!--b-->"),
                           kommentarFrageText("<!--b2-->")}));
    EXPECT_EQ(leseRoh(b), "<!--b--><p>b!!</p>\r\n<!--b2-->\r\n");
    EXPECT_EQ(leseRoh(a), "<!--a--><p>a!</p>\r\n");
    EXPECT_EQ(leseRoh(b + ".bak"), "<!--b--><p>b</p>\n<!--b2-->\n");
    EXPECT_EQ(leseRoh(a + ".bak"), "<!--a--><p>a</p>\n");
}

TEST(DateiOptimieren, LeavesAnExistingBackupUntouched) {
    Ordner dir;
    const std::string datei = dir / "a.htm";
    schreibeRoh(datei, "neu\n");
    schreibeRoh(datei + ".bak", "alte Sicherung");
    ::chmod((datei + ".bak").c_str(), 0600);
    dateiOptimieren(datei, Optionsmenge{}, {});
    EXPECT_EQ(leseRoh(datei + ".bak"), "alte Sicherung");
    struct stat st {};
    ::stat((datei + ".bak").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

// --- Option 13 ------------------------------------------------------------------------------

TEST(DateinameKlein, MixedCaseNameIsSavedLowercaseAndTheOldNameIsGone) {
    Ordner dir;
    ::mkdir((dir / "Ordner").c_str(), 0755);
    const std::string alt = dir / "Ordner/Index.HTML";
    schreibeRoh(alt, kSeite);
    const Optionsmenge optionen;  // option 13 is on by default

    const auto e = dateiOptimieren(alt, optionen, {});
    EXPECT_EQ(e.status, StapelStatus::Gespeichert);
    EXPECT_EQ(e.pfad, dir / "Ordner/index.html");  // the folder keeps its letter case
    EXPECT_EQ(leseRoh(e.pfad), erwartet(kSeite, optionen));
    EXPECT_EQ(leseRoh(alt + ".bak"), kSeite);
    std::set<std::string> namen;
    for (const auto& x : std::filesystem::directory_iterator(dir / "Ordner")) {
        namen.insert(x.path().filename().string());
    }
    EXPECT_EQ(namen, (std::set<std::string>{"index.html", "Index.HTML.bak"}));
}

TEST(DateinameKlein, UmlautsInTheNameStay) {
    Ordner dir;
    const std::string alt = dir /
                            "\xC3\x9C"
                            "BER.htm";  // "ÜBER.htm" in UTF-8
    schreibeRoh(alt, "x");
    EXPECT_EQ(dateiOptimieren(alt, Optionsmenge{}, {}).pfad, dir /
                                                                 "\xC3\x9C"
                                                                 "ber.htm");
    EXPECT_EQ(dir.namen(), (std::set<std::string>{"\xC3\x9C"
                                                  "ber.htm",
                                                  "\xC3\x9C"
                                                  "BER.htm.bak"}));
}

TEST(DateinameKlein, LowercaseNameOfAnotherFileKeepsTheName) {
    Ordner dir;
    const std::string gross = dir / "Index.HTML";
    const std::string klein = dir / "index.html";
    schreibeRoh(gross, kSeite);
    schreibeRoh(klein, "die andere Datei\n");

    const auto e = dateiOptimieren(gross, Optionsmenge{}, {});
    EXPECT_EQ(e.pfad, gross);
    EXPECT_EQ(leseRoh(gross), erwartet(kSeite, Optionsmenge{}));
    EXPECT_EQ(leseRoh(klein), "die andere Datei\n");
    EXPECT_EQ(dir.namen(), (std::set<std::string>{"Index.HTML", "index.html", "Index.HTML.bak"}));
}

TEST(DateinameKlein, APageThatIsALinkStaysALink) {
    // Index.HTML leads to index.html: the link is not renamed, its target is saved through it.
    Ordner dir;
    const std::string klein = dir / "index.html";
    const std::string gross = dir / "Index.HTML";
    schreibeRoh(klein, kSeite);
    ASSERT_EQ(::symlink("index.html", gross.c_str()), 0);

    const auto e = dateiOptimieren(gross, Optionsmenge{}, {});
    EXPECT_EQ(e.pfad, gross);
    EXPECT_EQ(leseRoh(klein), erwartet(kSeite, Optionsmenge{}));
    EXPECT_EQ(leseRoh(gross), leseRoh(klein));
    EXPECT_EQ(dir.namen(), (std::set<std::string>{"Index.HTML", "index.html", "Index.HTML.bak"}));
}

TEST(DateinameKlein, OffKeepsTheName) {
    Ordner dir;
    const std::string gross = dir / "Index.HTML";
    schreibeRoh(gross, "x");
    EXPECT_EQ(dateiOptimieren(gross, nurDiese({}), {}).pfad, gross);
    EXPECT_EQ(dir.namen(), (std::set<std::string>{"Index.HTML", "Index.HTML.bak"}));
}

// --- The batch save itself ------------------------------------------------------------------

TEST(StapelSpeichern, NameTakenMeanwhileGoesToTheLoadedPath) {
    Ordner dir;
    const std::string gross = dir / "Index.HTML";
    const std::string klein = dir / "index.html";
    schreibeRoh(gross, "alt");
    schreibeRoh(klein, "fremd");
    EXPECT_EQ(stapelSpeichern(klein, "neu", gross), gross);
    EXPECT_EQ(leseRoh(gross), "neu");
    EXPECT_EQ(leseRoh(klein), "fremd");
}

TEST(StapelSpeichern, HardLinkedNamesAreOneFileAndBothStay) {
    Ordner dir;
    const std::string gross = dir / "Index.HTML";
    const std::string klein = dir / "index.html";
    schreibeRoh(gross, "alt");
    ASSERT_EQ(::link(gross.c_str(), klein.c_str()), 0);
    EXPECT_EQ(stapelSpeichern(klein, "neu", gross), klein);
    EXPECT_EQ(leseRoh(klein), "neu");
    EXPECT_TRUE(std::filesystem::exists(gross));
}

TEST(StapelSpeichern, FailedWriteUnderTheNewNameKeepsTheOldFile) {
    Ordner dir;
    const std::string gross = dir / "Index.HTML";
    schreibeRoh(gross, "alt");
    ::mkdir((dir / "index.html").c_str(), 0755);  // taken, but by a folder: the name is kept
    EXPECT_EQ(stapelSpeichern(dir / "index.html", "neu", gross), gross);
    EXPECT_EQ(leseRoh(gross), "neu");

    // A rename that fails (here: a folder that is gone): the text is safe under the old name.
    EXPECT_EQ(stapelSpeichern(dir / "weg/index.html", "neuer", gross), gross);
    EXPECT_EQ(leseRoh(gross), "neuer");
}

// --- Empty files, "Abbrechen", errors -------------------------------------------------------

TEST(DateiOptimieren, EmptyFileInTheMiddleGivesTheMessageAndIsNotSaved) {
    Ordner dir;
    const std::string a = dir / "a.htm";
    const std::string leer = dir / "Leer.htm";
    const std::string c = dir / "c.htm";
    schreibeRoh(a, "a\n");
    schreibeRoh(leer, "");
    schreibeRoh(c, "c\n");

    std::vector<std::string> meldungen;
    const StapelMeldung meldung = [&](const std::string& t) { meldungen.push_back(t); };
    std::vector<StapelStatus> status;
    Optionsmenge klartext;  // the plain passes: a line end becomes a space
    klartext.set(HSB, false);
    for (const auto& p : {a, leer, c}) {
        status.push_back(dateiOptimieren(p, klartext, {}, {}, meldung).status);
    }
    EXPECT_EQ(status, (std::vector<StapelStatus>{StapelStatus::Gespeichert, StapelStatus::Leer,
                                                 StapelStatus::Gespeichert}));
    EXPECT_EQ(meldungen, (std::vector<std::string>{std::string(meldungen::kLeererQuelltext)}));
    EXPECT_EQ(leseRoh(a), "a ");
    EXPECT_EQ(leseRoh(c), "c ");
    // Not saved, so not renamed either; the run stops before its backup.
    EXPECT_EQ(dir.namen(),
              (std::set<std::string>{"a.htm", "a.htm.bak", "Leer.htm", "c.htm", "c.htm.bak"}));
}

TEST(DateiOptimieren, AbbrechenAtACommentLeavesTheFileUnsavedWithItsBackup) {
    Ordner dir;
    const std::string datei = dir / "Seite.htm";
    const std::string seite = "<!--eins--><p>1</p><!--zwei-->\n";
    schreibeRoh(datei, seite);

    int fragen = 0;
    const StapelFrage frage = [&](const std::string&, Knoepfe k) {
        EXPECT_EQ(k, Knoepfe::JaNeinAbbrechen);
        return ++fragen == 1 ? Antwort::Ja : Antwort::Abbrechen;
    };
    const auto e = dateiOptimieren(datei, nurDiese({KMM, DKS}), {}, frage);
    EXPECT_EQ(e.status, StapelStatus::Abgebrochen);
    EXPECT_EQ(e.pfad, datei);  // not lowercased
    EXPECT_EQ(e.optimiertGroesse, 0u);
    EXPECT_EQ(fragen, 2);
    EXPECT_EQ(leseRoh(datei), seite);
    EXPECT_EQ(leseRoh(datei + ".bak"), seite);
}

TEST(DateiOptimieren, WithoutAQuestionCallbackACommentQuestionIsAbbrechen) {
    Ordner dir;
    const std::string datei = dir / "a.htm";
    schreibeRoh(datei, "<!--x--><p>");
    EXPECT_EQ(dateiOptimieren(datei, nurDiese({KMM}), {}).status, StapelStatus::Abgebrochen);
    EXPECT_EQ(leseRoh(datei), "<!--x--><p>");
}

std::string fehlerText(const std::function<void()>& f) {
    try {
        f();
    } catch (const DateiFehler& e) {
        return e.what();
    }
    return "(kein Fehler)";
}

TEST(DateiOptimieren, UnreadableFilesGiveTheLoadErrorAndLeaveNoTrace) {
    Ordner dir;
    const std::string fehlt = dir / "fehlt.htm";
    const std::string ordner = dir / "ordner.htm";
    ::mkdir(ordner.c_str(), 0755);
    EXPECT_EQ(
        fehlerText([&] { dateiOptimieren(fehlt, Optionsmenge{}, {}); }),
        "Datei " + fehlt + " kann nicht geöffnet werden. Datei oder Verzeichnis nicht gefunden");
    EXPECT_EQ(fehlerText([&] { dateiOptimieren(ordner, Optionsmenge{}, {}); }),
              "Datei " + ordner + " kann nicht geöffnet werden. Ist ein Verzeichnis");
    EXPECT_EQ(dir.namen(), (std::set<std::string>{"ordner.htm"}));
}

TEST(DateiOptimieren, FileInAFolderThatTakesNoNewFilesStaysAsItWas) {
    // Readable, but its folder is not writable for the user: no backup can be made, so the file
    // is not saved over.
    Ordner dir;
    const std::string datei = dir / "Seite.htm";
    schreibeRoh(datei, kSeite);
    ::chmod(datei.c_str(), 0666);

    const int code = test::imKind([&] {
        if (!test::alsNiemand()) return 2;
        const std::string text = fehlerText([&] { dateiOptimieren(datei, Optionsmenge{}, {}); });
        return text == "Datei \"" + dir / "Seite.htm.bak" + "\" kann nicht erstellt werden. " +
                           "Keine Berechtigung"
                   ? 0
                   : 1;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(leseRoh(datei), kSeite);
    EXPECT_EQ(dir.namen(), (std::set<std::string>{"Seite.htm"}));
}

TEST(DateiOptimieren, FileOnAFileSystemWithoutNewFilesStaysAsItWas) {
    // /proc files are readable, but nothing can be created beside them, not even by root.
    const std::string datei = "/proc/version";
    const std::string vorher = leseRoh(datei);
    ASSERT_FALSE(vorher.empty());
    const std::string text = fehlerText([&] { dateiOptimieren(datei, nurDiese({ZU}), {}); });
    EXPECT_EQ(text.rfind("Datei \"/proc/version.bak\" kann nicht erstellt werden. ", 0), 0u)
        << text;
    EXPECT_EQ(leseRoh(datei), vorher);
}

TEST(DateiOptimieren, NameThatIsNotUtf8IsRefusedBeforeAnythingIsTouched) {
    // Saved through Qt, such a name would turn into another file's name.
    Ordner dir;
    const std::string latin1 = dir / "gr\xFC\xDF.htm";
    schreibeRoh(latin1, "a\n");
    const std::string grund =
        "Datei \"" + latin1 +
        "\" kann nicht erstellt werden. Der Dateiname ist kein gültiges UTF-8";
    EXPECT_EQ(fehlerText([&] { dateiOptimieren(latin1, Optionsmenge{}, {}); }), grund);
    EXPECT_EQ(fehlerText([&] { stapelSpeichern(latin1, "neu", latin1); }), grund);
    EXPECT_EQ(leseRoh(latin1), "a\n");
    EXPECT_EQ(dir.namen(), (std::set<std::string>{"gr\xFC\xDF.htm"}));
    // Overlong forms and surrogates are no UTF-8 either.
    for (const std::string name : {"\xC0\xAF.htm", "\xED\xA0\x80.htm", "\xF4\x90\x80\x80"}) {
        EXPECT_NE(fehlerText([&] { stapelSpeichern(dir / name, "x", ""); }), "(kein Fehler)");
    }
    EXPECT_EQ(
        fehlerText([&] { stapelSpeichern(dir / "\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80", "x", ""); }),
        "(kein Fehler)");
}

TEST(DateiOptimieren, ReportsTheLoadedFileBeforeTheRun) {
    Ordner dir;
    const std::string datei = dir / "a.htm";
    std::vector<std::string> ablauf;
    const StapelGeladen geladen = [&](const std::string& p, std::int32_t groesse,
                                      const Text& text) {
        ablauf.push_back(p + " " + std::to_string(groesse) + " " + leseRoh(p + ".bak") + text);
    };
    const StapelFrage frage = [&](const std::string&, Knoepfe) {
        ablauf.push_back("frage");
        return Antwort::Ja;
    };
    schreibeRoh(datei, "<!--x-->12345\n");
    dateiOptimieren(datei, nurDiese({KMM}), {}, frage, {}, geladen);
    // Loaded first (no backup yet), then the run with its question.
    EXPECT_EQ(ablauf, (std::vector<std::string>{datei + " 14 <!--x-->12345\r\n", "frage"}));
}

}  // namespace
}  // namespace quintaro

namespace quintaro {
namespace {

// --- No page lost ----------------------------------------------------------------------------

// Without its backup a file is not saved over: the original would exist nowhere.
TEST(DateiOptimieren, ABackupThatCannotBeMadeStopsTheFile) {
    const struct {
        const char* name;
        std::function<void(const std::string& bak)> vorbereiten;
    } faelle[] = {
        {"bak is a folder", [](const std::string& bak) { ::mkdir(bak.c_str(), 0755); }},
        {"bak is a dangling link",
         [](const std::string& bak) { ASSERT_EQ(::symlink("nirgends", bak.c_str()), 0); }},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.name);
        Ordner dir;
        const std::string datei = dir / "a.htm";
        schreibeRoh(datei, kSeite);
        fall.vorbereiten(datei + ".bak");
        const std::string text =
            test::fehlertext([&] { dateiOptimieren(datei, nurDiese({ZU}), {}); });
        EXPECT_EQ(text.rfind("Datei \"" + datei + ".bak\" kann nicht erstellt werden. ", 0), 0u)
            << text;
        EXPECT_EQ(leseRoh(datei), kSeite);
    }
}

// The copy stops at the file-size limit: an error, no hidden temporary file, the page as it was.
TEST(DateiOptimieren, ABackupCutShortByTheFileSizeLimitLeavesNothingBehind) {
    Ordner dir;
    const std::string datei = dir / "a.htm";
    const std::string gross(256 * 1024, 'x');
    schreibeRoh(datei, gross);
    const int code = test::imKind([&] {
        const test::Dateigrenze grenze(64 * 1024);
        if (!grenze.gesetzt()) return 2;
        const std::string text =
            test::fehlertext([&] { dateiOptimieren(datei, Optionsmenge{}, {}); });
        return text.rfind("Datei \"" + datei + ".bak\" kann nicht erstellt werden. Datei zu groß",
                          0) == 0
                   ? 0
                   : 1;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(leseRoh(datei), gross);
    EXPECT_EQ(dir.namen(), std::set<std::string>{"a.htm"});
}

TEST(DateinameKlein, TheRenamedFileKeepsItsPermissionBits) {
    for (const mode_t rechte : {mode_t{0600}, mode_t{0750}, mode_t{0644}}) {
        SCOPED_TRACE(rechte);
        Ordner dir;
        const std::string gross = dir / "Seite.HTM";
        schreibeRoh(gross, kSeite);
        ::chmod(gross.c_str(), rechte);
        const auto e = dateiOptimieren(gross, nurDiese({DKS}), {});
        EXPECT_EQ(e.pfad, dir / "seite.htm");
        EXPECT_EQ(test::modus(dir / "seite.htm"), rechte);
        EXPECT_EQ(dir.namen(), (std::set<std::string>{"seite.htm", "Seite.HTM.bak"}));
    }
}

TEST(DateinameKlein, AMixedCaseFileListedTwiceIsFoundUnderItsNewName) {
    Ordner dir;
    const std::string gross = dir / "Seite.HTM";
    schreibeRoh(gross, "a  b");
    Ersetzungstabelle t;
    t.setzeZeile(1, {"a", "aa"});
    EXPECT_EQ(dateiOptimieren(gross, nurDiese({DKS, AE}), t).pfad, dir / "seite.htm");
    EXPECT_EQ(dateiOptimieren(gross, nurDiese({DKS, AE}), t).pfad, dir / "seite.htm");
    EXPECT_EQ(leseRoh(dir / "seite.htm"), "aaaa  b");
}

// A table that would grow the text past the limit stops the file before anything is built.
TEST(DateiOptimieren, ATextGrowingPastTheLimitFailsAndKeepsThePage) {
    Ordner dir;
    const std::string datei = dir / "a.htm";
    schreibeRoh(datei, "aaaa");
    Ersetzungstabelle t;
    t.setzeZeile(1, {"a", std::string(1000, 'b')});
    LokaleDateien dateien;
    EXPECT_EQ(
        test::fehlertext([&] { dateiOptimieren(dateien, datei, nurDiese({AE}), t, {}, 3999); }),
        std::string(kMemoKapazitaetFehler));
    EXPECT_EQ(leseRoh(datei), "aaaa");
    EXPECT_EQ(dateiOptimieren(dateien, datei, nurDiese({AE}), t, {}, 4000).optimiertGroesse, 4000u);
}

// --- The loop over the files: what a batch never does to a page ------------------------------

// The batch as the command line runs it over `pfade`: the messages of the files that failed.
std::vector<std::string> stapelFehler(const std::vector<std::string>& pfade,
                                      const Optionsmenge& optionen = Optionsmenge{}) {
    LokaleDateien dateien;
    std::vector<std::string> fehler;
    StapelMelder melder;
    melder.fehler = [&](const std::string&, const std::string& m) { fehler.push_back(m); };
    stapelLauf(dateien, pfade, optionen, {}, {}, melder, Fehlerpolitik::Weitermachen);
    return fehler;
}

// The faults need a page that belongs to another user than the one who runs the batch.
#define NUR_ALS_ROOT() \
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give the page to another user"

// A page of nobody's in a folder nobody may write, with an old backup beside it: no temporary
// file can be made there, so the page fails with the reason and stays whole, the backup as it
// was, even under a file-size limit that would cut a page written in place.
TEST(StapelLauf, APageWhoseFolderTakesNoNewFileFailsAndStaysWhole) {
    NUR_ALS_ROOT();
    Ordner dir;
    const std::string datei = dir / "a.htm";
    std::string seite;
    while (seite.size() < 300 * 1024) seite += "<p>  Absatz   mit  Text </p>\n";
    schreibeRoh(datei, seite);
    schreibeRoh(datei + ".bak", "OLD\n");
    ASSERT_EQ(::chown(datei.c_str(), 65534, 65534), 0);
    const int code = test::imKind([&] {
        if (!test::alsNiemand()) return 2;
        const test::Dateigrenze grenze(100000);
        if (!grenze.gesetzt()) return 3;
        const auto fehler = stapelFehler({datei});
        return fehler ==
                       std::vector<std::string>{"Datei \"" + datei +
                                                "\" kann nicht erstellt werden. Keine Berechtigung"}
                   ? 0
                   : 1;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(leseRoh(datei), seite);
    EXPECT_EQ(leseRoh(datei + ".bak"), "OLD\n");
    EXPECT_EQ(dir.namen(), (std::set<std::string>{"a.htm", "a.htm.bak"}));
}

// Mode 0444 on one's own page: the batch refuses it as the single save does, with its reason.
TEST(StapelLauf, AWriteProtectedPageIsRefusedAsTheSingleSaveRefusesIt) {
    NUR_ALS_ROOT();
    Ordner dir;
    ::chmod(dir.pfad().c_str(), 0777);
    const std::string datei = dir / "a.htm";
    schreibeRoh(datei, kSeite);
    ASSERT_EQ(::chown(datei.c_str(), 65534, 65534), 0);
    ::chmod(datei.c_str(), 0444);
    const int code = test::imKind([&] {
        if (!test::alsNiemand()) return 2;
        const std::string einzeln = test::fehlertext([&] { dokumentSchreiben(datei, "neu"); });
        const auto fehler = stapelFehler({datei});
        const std::string erwartet =
            "Datei \"" + datei + "\" kann nicht erstellt werden. Die Datei ist schreibgeschützt";
        return einzeln == erwartet && fehler == std::vector<std::string>{erwartet} ? 0 : 1;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(leseRoh(datei), kSeite);
}

// Something other than a file where the backup goes: the page is not saved, and the message
// says what is in the way, whether the backups are gathered or made one by one.
TEST(StapelLauf, ABackupBlockedByALinkFolderOrPipeSaysWhatIsInTheWay) {
    struct Fall {
        const char* name;
        std::function<void(const std::string&)> anlegen;
        std::string grund;
    };
    const std::vector<Fall> faelle = {
        {"link", [](const std::string& p) { ASSERT_EQ(::symlink("anderswo", p.c_str()), 0); },
         "Dort steht ein symbolischer Verweis"},
        {"folder", [](const std::string& p) { ASSERT_EQ(::mkdir(p.c_str(), 0755), 0); },
         "Dort steht ein Ordner"},
        {"pipe", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); },
         "Dort steht eine benannte Pipe"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        Ordner dir;
        const std::string datei = dir / "a.htm";
        schreibeRoh(datei, kSeite);
        f.anlegen(datei + ".bak");
        const std::string erwartet =
            "Datei \"" + datei + ".bak\" kann nicht erstellt werden. " + f.grund;
        EXPECT_EQ(stapelFehler({datei}), std::vector<std::string>{erwartet});
        EXPECT_EQ(test::fehlertext([&] { dateiOptimieren(datei, Optionsmenge{}, {}); }), erwartet);
        EXPECT_EQ(leseRoh(datei), kSeite);
    }
}

// Listed twice with DKS: the second entry finds the page under its new name and makes that
// name's backup; the result says which backup it is and that it was made, not kept.
TEST(StapelLauf, AFileListedTwiceWithDksReportsTheBackupItMade) {
    Ordner dir;
    const std::string datei = dir / "Twice.HTM";
    schreibeRoh(datei, kSeite);
    LokaleDateien dateien;
    std::vector<StapelErgebnis> ergebnisse;
    StapelMelder melder;
    melder.fertig = [&](std::size_t, const std::string&, const StapelErgebnis& e) {
        ergebnisse.push_back(e);
    };
    const auto bilanz = stapelLauf(dateien, {datei, datei}, nurDiese({DKS}), {}, {}, melder,
                                   Fehlerpolitik::Anhalten);
    EXPECT_EQ(bilanz.bearbeitet, 2u);
    ASSERT_EQ(ergebnisse.size(), 2u);
    EXPECT_EQ(ergebnisse[0].sicherung.pfad, datei + ".bak");
    EXPECT_EQ(ergebnisse[1].sicherung.pfad, dir / "twice.htm.bak");
    for (const auto& e : ergebnisse) {
        EXPECT_TRUE(e.sicherung.gemacht);
        EXPECT_FALSE(e.sicherung.behalten);
        EXPECT_EQ(e.pfad, dir / "twice.htm");
    }
}

// Anhalten ends the run at the failing file, the files before it saved; Weitermachen reports
// it and goes on; abbrechen ends it before the next file.
// On one thread and on four (the threads stop also when the run ends by an exception, and what
// they gathered beyond the failure is dropped). Stopped, four threads put the pages they had in
// hand in place: each is counted, every other page is untouched.
TEST(StapelLauf, ErrorPolicyAndCancellingDecideWhereTheRunEnds) {
    Ordner dir;
    const std::string a = dir / "a.htm";
    const std::string b = dir / "fehlt.htm";
    std::vector<std::string> danach;
    for (int i = 0; i < 40; ++i) danach.push_back(dir / ("c" + std::to_string(i) + ".htm"));
    const auto anlegen = [&] {
        for (const auto& p : danach) {
            schreibeRoh(p, "c  d");
            ::unlink((p + ".bak").c_str());
        }
        schreibeRoh(a, "a  b");
        ::unlink((a + ".bak").c_str());
    };
    const auto unberuehrt = [&] {
        for (const auto& p : danach) {
            if (leseRoh(p) != "c  d" || ::access((p + ".bak").c_str(), F_OK) == 0) return false;
        }
        return true;
    };
    std::vector<std::string> pfade{a, b};
    pfade.insert(pfade.end(), danach.begin(), danach.end());
    for (const unsigned faeden : {1U, 4U}) {
        SCOPED_TRACE(std::to_string(faeden) + " threads");
        for (Fehlerpolitik politik : {Fehlerpolitik::Anhalten, Fehlerpolitik::Weitermachen}) {
            anlegen();
            LokaleDateien dateien;
            std::vector<std::string> gemeldet;
            StapelMelder melder;
            melder.fehler = [&](const std::string& p, const std::string&) {
                gemeldet.push_back(p);
            };
            if (politik == Fehlerpolitik::Anhalten) {
                EXPECT_THROW(stapelLauf(dateien, pfade, Optionsmenge{}, {}, {}, melder, politik,
                                        kMemoKapazitaet, faeden),
                             DateiFehler);
                EXPECT_TRUE(unberuehrt());
            } else {
                const auto bilanz = stapelLauf(dateien, pfade, Optionsmenge{}, {}, {}, melder,
                                               politik, kMemoKapazitaet, faeden);
                EXPECT_EQ(bilanz.fehlgeschlagen, 1u);
                EXPECT_EQ(gemeldet, std::vector<std::string>{b});
                EXPECT_EQ(leseRoh(danach.back()), "c d");
            }
            EXPECT_EQ(leseRoh(a), "a b");
        }
        anlegen();
        LokaleDateien dateien;
        int gefragt = 0;
        StapelMelder melder;
        melder.abbrechen = [&] { return ++gefragt == 2; };
        std::vector<std::string> liste{a};
        liste.insert(liste.end(), danach.begin(), danach.end());
        const auto bilanz = stapelLauf(dateien, liste, Optionsmenge{}, {}, {}, melder,
                                       Fehlerpolitik::Weitermachen, kMemoKapazitaet, faeden);
        EXPECT_TRUE(bilanz.abgebrochen);
        EXPECT_EQ(leseRoh(a), "a b");
        std::size_t optimiert = 1;
        for (const auto& p : danach) {
            const bool gesichert = ::access((p + ".bak").c_str(), F_OK) == 0;
            EXPECT_EQ(leseRoh(p), gesichert ? "c d" : "c  d") << p;
            optimiert += gesichert;
        }
        EXPECT_EQ(bilanz.bearbeitet, optimiert);
        if (faeden == 1) {
            EXPECT_EQ(bilanz.bearbeitet, 1u);
        }
        EXPECT_LT(bilanz.bearbeitet, liste.size());
    }
}

}  // namespace
}  // namespace quintaro
