// quintaro-cli with FILE arguments, as a process: files optimised in place with backups, failing
// files reported while the run goes on, exit codes, where the settings come from, the progress
// line, and bytes equal to the batch module's and to the filter mode's.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "batch/stapel.h"
#include "common/dateien.h"
#include "common/korpus.h"
#include "common/tabelle.h"
#include "engine/optimierung.h"
#include "optionen_args.h"
#include "prozess.h"
#include "settings/ablageort.h"
#include "settings/ini.h"

namespace quintaro::cli::test {
namespace {

using quintaro::test::leseRoh;
using quintaro::test::Ordner;
using quintaro::test::schreibeRoh;

const std::string kLeer =
    "Es erscheint wenig sinnvoll, einen leeren Quelltext optimieren zu wollen.\n\n"
    "Bitte laden Sie zuerst eine Datei.";

// A copy of the executable in a folder of its own, so that no settings file lies beside it
// unless a test puts one there.
class EigenesProgramm {
  public:
    EigenesProgramm() {
        std::filesystem::copy_file(QUINTARO_CLI, pfad());
        ::chmod(pfad().c_str(), 0755);
    }
    std::string pfad() const { return ordner_ / "quintaro-cli"; }
    std::string ini() const { return ordner_ / "quintaro_optionen.ini"; }

  private:
    Ordner ordner_;
};

Ergebnis stapel(const EigenesProgramm& p, std::vector<std::string> args) {
    Lauf lauf;
    lauf.args = std::move(args);
    lauf.programm = p.pfad();
    return starte(lauf);
}

int zeilen(const std::string& s) {
    return static_cast<int>(std::count(s.begin(), s.end(), '\n'));
}

class CliStapel : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { programm_ = new EigenesProgramm; }
    static void TearDownTestSuite() {
        delete programm_;
        programm_ = nullptr;
    }
    static const EigenesProgramm& programm() { return *programm_; }

    // The pages' bytes below are those of the passes that treat a page as plain text.
    Ergebnis lauf(std::vector<std::string> args) {
        args.insert(args.begin(), {"--set", "HSB=0"});
        return stapel(programm(), std::move(args));
    }

    Ordner dir;

  private:
    static EigenesProgramm* programm_;
};
EigenesProgramm* CliStapel::programm_ = nullptr;

// --- Files, failures, exit codes ------------------------------------------------------------

TEST_F(CliStapel, OptimisesEveryFileInPlaceWithItsBackup) {
    const std::string a = dir / "a.htm";
    const std::string b = dir / "b.htm";
    schreibeRoh(a, kSeite);
    schreibeRoh(b, "<p>b</p>\n");
    const auto r = lauf({a, b});
    EXPECT_EQ(r.exitcode, 0);
    EXPECT_EQ(r.aus, "");
    EXPECT_EQ(r.fehler, "");
    Optionsmenge klartext;
    klartext.set(HSB, false);
    EXPECT_EQ(leseRoh(a), optimiereText(umbruecheVereinheitlichen(kSeite), klartext, {}));
    EXPECT_EQ(leseRoh(b), "<p>b</p> ");
    EXPECT_EQ(leseRoh(a + ".bak"), kSeite);
    EXPECT_EQ(leseRoh(b + ".bak"), "<p>b</p>\n");
}

TEST_F(CliStapel, FailingFilesAreReportedInOrderAndTheRunGoesOn) {
    const std::string a = dir / "a.htm";
    const std::string ordner = dir / "ordner.htm";
    const std::string fehlt = dir / "fehlt.htm";
    const std::string z = dir / "z.htm";
    schreibeRoh(a, "a\n");
    ::mkdir(ordner.c_str(), 0755);
    schreibeRoh(z, "z\n");

    const auto r = lauf({z, ordner, a, fehlt});
    EXPECT_EQ(r.exitcode, 1);
    EXPECT_EQ(r.aus, "");
    EXPECT_EQ(r.fehler, "quintaro-cli: " + ordner + ": Datei " + ordner +
                            " kann nicht geöffnet werden. Ist ein Verzeichnis\n"
                            "quintaro-cli: " +
                            fehlt + ": Datei " + fehlt +
                            " kann nicht geöffnet werden. Datei oder Verzeichnis nicht gefunden\n");
    EXPECT_EQ(leseRoh(a), "a ");
    EXPECT_EQ(leseRoh(z), "z ");
    EXPECT_EQ(dir.namen(),
              (std::set<std::string>{"a.htm", "a.htm.bak", "ordner.htm", "z.htm", "z.htm.bak"}));
}

TEST_F(CliStapel, FileThatCannotBeWrittenFailsAndStaysAsItWas) {
    // Readable, but nothing can be created beside it, not even by root: not even its backup.
    const std::string vorher = leseRoh("/proc/version");
    const std::string a = dir / "a.htm";
    schreibeRoh(a, "a\n");
    const auto r = lauf({"/proc/version", a});
    EXPECT_EQ(r.exitcode, 1);
    EXPECT_EQ(zeilen(r.fehler), 1) << r.fehler;
    EXPECT_EQ(r.fehler.rfind("quintaro-cli: /proc/version: ", 0), 0u) << r.fehler;
    EXPECT_EQ(leseRoh("/proc/version"), vorher);
    EXPECT_EQ(leseRoh(a), "a ");
}

TEST_F(CliStapel, EmptyFileGetsTheMessageAndIsNoFailure) {
    const std::string leer = dir / "leer.htm";
    const std::string b = dir / "b.htm";
    schreibeRoh(leer, "");
    schreibeRoh(b, "b\n");
    const auto r = lauf({leer, b});
    EXPECT_EQ(r.exitcode, 0);
    EXPECT_EQ(r.fehler, "quintaro-cli: " + leer + ": " + kLeer + "\n");
    EXPECT_EQ(leseRoh(leer), "");
    EXPECT_EQ(leseRoh(b), "b ");
    EXPECT_EQ(dir.namen(), (std::set<std::string>{"leer.htm", "b.htm", "b.htm.bak"}));
}

TEST_F(CliStapel, ArgumentsAfterDoubleDashAreFiles) {
    schreibeRoh(dir / "--tips", "x\n");
    Lauf l;
    l.args = {"--set", "HSB=0", "--", "--tips"};
    l.programm = programm().pfad();
    // A relative path: the child starts in the test's working folder, so go there first.
    const auto alt = std::filesystem::current_path();
    std::filesystem::current_path(dir.pfad());
    const auto r = starte(l);
    std::filesystem::current_path(alt);
    EXPECT_EQ(r.exitcode, 0) << r.fehler;
    EXPECT_EQ(leseRoh(dir / "--tips"), "x ");
}

TEST_F(CliStapel, CommentQuestionsWithoutATerminalAreRefusedBeforeAnyFileIsTouched) {
    const std::string a = dir / "a.htm";
    schreibeRoh(a, "<!-- x --><p>\n");
    const auto r = lauf(plus(nur({"KMM"}), {a}));
    EXPECT_EQ(r.exitcode, 2);
    EXPECT_EQ(zeilen(r.fehler), 1);
    EXPECT_NE(r.fehler.find("KMM=1"), std::string::npos) << r.fehler;
    EXPECT_EQ(dir.namen(), (std::set<std::string>{"a.htm"}));
}

TEST_F(CliStapel, AbbrechenOnTheTerminalLeavesThatFileUnsavedAndGoesOn) {
    const std::string a = dir / "a.htm";
    const std::string b = dir / "b.htm";
    schreibeRoh(a, "<!-- x --><p>a</p>\n");
    schreibeRoh(b, "<!-- y --><p>b</p>\n");
    Lauf l;
    l.args = plus(nur({"KMM"}), {a, b});
    l.programm = programm().pfad();
    l.mitTerminal = true;
    l.getippt = "a\nj\n";
    const auto r = starte(l);
    EXPECT_EQ(r.exitcode, 0);
    EXPECT_EQ(r.fehler, "quintaro-cli: " + a + ": abandoned at a question, not saved\n");
    EXPECT_EQ(leseRoh(a), "<!-- x --><p>a</p>\n");
    EXPECT_EQ(leseRoh(a + ".bak"), "<!-- x --><p>a</p>\n");
    EXPECT_EQ(leseRoh(b), "<p>b</p>\r\n");
    EXPECT_NE(r.terminal.find("<!-- x -->"), std::string::npos) << r.terminal;
    EXPECT_NE(r.terminal.find("<!-- y -->"), std::string::npos) << r.terminal;
}

TEST(CliStapelHilfe, NamesTheBatchForm) {
    const auto r = starte({"--help"}, "");
    EXPECT_EQ(r.exitcode, 0);
    EXPECT_NE(r.aus.find("\n       quintaro-cli [--settings FILE] [--set KEY=0|1]... [--replace "
                         "SEARCH REPLACEMENT]... FILE...\n"),
              std::string::npos)
        << r.aus;
}

// --- Progress on a terminal -------------------------------------------------------------------

TEST_F(CliStapel, ProgressLineOnATerminalIsRewrittenAndClearedAtTheEnd) {
    const std::string a = dir / "a.htm";
    const std::string fehlt = dir / "fehlt.htm";
    schreibeRoh(a, "a\n");
    Lauf l;
    l.args = {a, fehlt};
    l.programm = programm().pfad();
    l.mitTerminal = true;
    l.fehlerAufTerminal = true;
    const auto r = starte(l);
    EXPECT_EQ(r.exitcode, 1);
    EXPECT_EQ(r.fehler, "");
    const std::string loeschen = "\r\x1b[K";
    const std::string erwartet =
        loeschen + "quintaro-cli: 0/2 " + a + loeschen + "quintaro-cli: 1/2 " + fehlt + loeschen +
        "quintaro-cli: " + fehlt + ": Datei " + fehlt +
        " kann nicht geöffnet werden. Datei oder Verzeichnis nicht gefunden\n" + loeschen +
        "quintaro-cli: 1/2 " + fehlt + loeschen;
    EXPECT_EQ(r.terminal, erwartet);
}

TEST_F(CliStapel, ProgressLineFitsTheTerminalByShorteningThePathFromTheFront) {
    // The pseudo-terminal reports no width: 80 columns are assumed.
    const std::string lang = dir / (std::string(100, 'x') + "\xC3\xA4.htm");
    schreibeRoh(lang, "a\n");
    Lauf l;
    l.args = plus(nur({}), {lang});
    l.programm = programm().pfad();
    l.mitTerminal = true;
    l.fehlerAufTerminal = true;
    const auto r = starte(l);
    EXPECT_EQ(r.exitcode, 0);
    const std::string loeschen = "\r\x1b[K";
    ASSERT_EQ(r.terminal.rfind(loeschen, 0), 0u);
    const std::string zeile =
        r.terminal.substr(loeschen.size(), r.terminal.size() - 2 * loeschen.size());
    EXPECT_EQ(zeile, "quintaro-cli: 0/1 ..." + std::string(53, 'x') + "\xC3\xA4.htm");
}

TEST_F(CliStapel, NoProgressWhenStandardErrorIsNoTerminal) {
    const std::string a = dir / "a.htm";
    schreibeRoh(a, "a\n");
    Lauf l;
    l.args = {a};
    l.programm = programm().pfad();
    l.mitTerminal = true;  // a terminal exists, but standard error is a pipe
    const auto r = starte(l);
    EXPECT_EQ(r.exitcode, 0);
    EXPECT_EQ(r.fehler, "");
    EXPECT_EQ(r.terminal, "");
}

// --- Where the options and the table come from ------------------------------------------------

// The per-user settings file of the children: a scratch folder, empty unless a test fills it.
class Nutzerordner : public ::testing::Environment {
  public:
    void SetUp() override {
        ordner_ = std::make_unique<Ordner>();
        ::setenv("XDG_CONFIG_HOME", ordner_->pfad().c_str(), 1);
    }
    void TearDown() override { ordner_.reset(); }
    static std::string ini() {
        return std::string(::getenv("XDG_CONFIG_HOME")) + "/quintaro/quintaro_optionen.ini";
    }

  private:
    std::unique_ptr<Ordner> ordner_;
};
[[maybe_unused]] const auto* const kNutzerordner =
    ::testing::AddGlobalTestEnvironment(new Nutzerordner);

const std::string kBeiProgramm =
    "[Optionen]\r\nZU=0\r\n[Replaces]\r\nAnzahl=1\r\n1=x\r\n1a=neben\r\n";
const std::string kGenannt = "[Replaces]\r\nAnzahl=1\r\n1=x\r\n1a=genannt\r\n";
const std::string kImNutzerordner = "[Replaces]\r\nAnzahl=1\r\n1=x\r\n1a=nutzer\r\n";

struct HerkunftFall {
    const char* name;
    bool iniBeimProgramm;
    bool iniGenannt;
    std::vector<std::string> args;   // before the file
    std::string erwartet;            // for the page "x\n<p>y</p>"
    bool iniImNutzerordner = false;  // $XDG_CONFIG_HOME/quintaro/quintaro_optionen.ini
};

class Herkunft : public ::testing::TestWithParam<HerkunftFall> {};

TEST_P(Herkunft, SettingsFileThenTheCommandLine) {
    const auto& fall = GetParam();
    EigenesProgramm programm;
    Ordner dir;
    if (fall.iniBeimProgramm) schreibeRoh(programm.ini(), kBeiProgramm);
    if (fall.iniImNutzerordner) {
        ASSERT_TRUE(ordnerFuerDateiAnlegen(Nutzerordner::ini()));
        schreibeRoh(Nutzerordner::ini(), kImNutzerordner);
    }
    std::vector<std::string> args = {"--set", "HSB=0"};  // the plain passes' bytes below
    if (fall.iniGenannt) {
        schreibeRoh(dir / "genannt.ini", kGenannt);
        args.insert(args.end(), {"--settings", dir / "genannt.ini"});
    }
    args.insert(args.end(), fall.args.begin(), fall.args.end());
    const std::string datei = dir / "a.htm";
    schreibeRoh(datei, "x\n<p>y</p>");
    args.push_back(datei);

    const auto r = stapel(programm, args);
    EXPECT_EQ(r.exitcode, 0) << r.fehler;
    EXPECT_EQ(leseRoh(datei), fall.erwartet);
    // Reading a settings file never writes it.
    if (fall.iniBeimProgramm) {
        EXPECT_EQ(leseRoh(programm.ini()), kBeiProgramm);
    }
    ::unlink(Nutzerordner::ini().c_str());
}

INSTANTIATE_TEST_SUITE_P(
    CliStapel, Herkunft,
    ::testing::Values(
        HerkunftFall{"DefaultsWithoutAnySettingsFile", false, false, {}, "x <p>y</p>"},
        HerkunftFall{"FileBesideTheProgram", true, false, {}, "neben\r\n<p>y</p>"},
        // The named file replaces the one beside the program whole: ZU is its default again.
        HerkunftFall{"NamedFileOverTheOneBesideTheProgram", true, true, {}, "genannt <p>y</p>"},
        HerkunftFall{"NamedFileAlone", false, true, {}, "genannt <p>y</p>"},
        HerkunftFall{"FileInTheUserFolder", false, false, {}, "nutzer <p>y</p>", true},
        HerkunftFall{
            "BesideTheProgramBeforeTheUserFolder", true, false, {}, "neben\r\n<p>y</p>", true},
        HerkunftFall{"NamedFileOverTheUserFolder", false, true, {}, "genannt <p>y</p>", true},
        HerkunftFall{
            "DevNullForTheDefaults", true, false, {"--settings", "/dev/null"}, "x <p>y</p>"},
        HerkunftFall{"SetOverTheFile", true, false, {"--set", "ZU=1"}, "neben <p>y</p>"},
        HerkunftFall{"SetOverTheNamedFile", true, true, {"--set", "AE=0"}, "x <p>y</p>"},
        // --replace rows come after the file's rows.
        HerkunftFall{"ReplaceAppendsToTheFilesTable",
                     true,
                     false,
                     {"--replace", "neben", "n2", "--replace", "y", "z"},
                     "n2\r\n<p>z</p>"},
        // Without rows of its own, the table's placeholder takes the first --replace.
        HerkunftFall{
            "ReplaceFillsThePlaceholder", false, false, {"--replace", "x", "r"}, "r <p>y</p>"}),
    ::quintaro::test::ZeilenName{});

TEST(CliStapelEinstellungen, NamedSettingsFileThatCannotBeReadIsAUsageError) {
    Ordner dir;
    const std::string datei = dir / "a.htm";
    schreibeRoh(datei, "a\n");
    ::mkdir((dir / "ordner.ini").c_str(), 0755);
    for (const auto& [ini, grund] : {std::pair{dir / "fehlt.ini", "No such file or directory"},
                                     std::pair{dir / "ordner.ini", "Is a directory"}}) {
        const auto r = starte({"--settings", ini, datei}, "");
        EXPECT_EQ(r.exitcode, 2);
        EXPECT_EQ(r.fehler, "quintaro-cli: --settings '" + ini + "': " + grund + "\n");
        EXPECT_EQ(leseRoh(datei), "a\n");
    }
}

// A settings file the run cannot take whole stops it before any file is touched: one above the
// limit (named or the window's), and one whose values hold characters code page 1252 lacks, each
// value named by key on a line of its own.
TEST(CliStapelEinstellungen, ASettingsFileItCannotTakeWholeIsAUsageError) {
    const std::string fremd =
        "\xEF\xBB\xBF[Replaces]\r\nAnzahl=2\r\n1=\xC3\xA4\r\n2=\xE2\x86\x92\r\n2a=\xFF\r\n";
    for (const auto& [inhalt, genannt] :
         {std::pair{std::string(), true}, std::pair{std::string(), false},
          std::pair{fremd, true}}) {
        Ordner dir;
        const std::string ini = genannt ? dir / "q.ini" : Nutzerordner::ini();
        ASSERT_TRUE(ordnerFuerDateiAnlegen(ini));
        schreibeRoh(ini, inhalt);
        if (inhalt.empty()) {
            ASSERT_EQ(::truncate(ini.c_str(), static_cast<off_t>(kIniGrenze + 1)), 0);
        }
        schreibeRoh(dir / "a.htm", "\xE4  a\n");
        std::vector<std::string> args = {dir / "a.htm"};
        if (genannt) args.insert(args.begin(), {"--settings", ini});
        const auto r = stapel(EigenesProgramm(), args);
        ::unlink(Nutzerordner::ini().c_str());
        EXPECT_EQ(r.exitcode, 2);
        EXPECT_EQ(dir.namen().count("a.htm.bak"), 0u);
        EXPECT_EQ(leseRoh(dir / "a.htm"), "\xE4  a\n");
        EXPECT_EQ(zeilen(r.fehler), inhalt.empty() ? 1 : 2) << r.fehler;
        EXPECT_NE(r.fehler.find(ini), std::string::npos) << r.fehler;
        if (!inhalt.empty()) {
            EXPECT_NE(r.fehler.find("[Replaces] 2a:"), std::string::npos) << r.fehler;
        }
    }
}

// --- The same bytes as the batch module and the filter mode ---------------------------------

std::vector<std::string> seiten() {
    std::vector<std::string> s = {
        kSeite,
        "<html>\r\n<head><title>T</title></head>\r\n<body>\r\n<!--webbot bot=x --><p>\xE4\xF6\xFC"
        "&amp;\x80</p>\r\n\r\n\r\n<p >  a  b </p>\r\n<!--#include file=k.htm -->\r\n</body>\r\n"
        "</html>",
        "a\rb\r\rc\n\n\nd\t\te<b>f</b>  <i>g</i>",
    };
    std::string alle;
    for (int b = 0; b < 256; ++b) alle += static_cast<char>(b);
    s.push_back(alle);
    // Real pages too, when the corpus is there.
    std::error_code fehler;
    std::vector<std::filesystem::path> korpus;
    if (std::filesystem::is_directory(quintaro::test::korpusOrdner(), fehler)) {
        for (const auto& e : std::filesystem::directory_iterator(quintaro::test::korpusOrdner())) {
            if (e.is_regular_file()) korpus.push_back(e.path());
        }
    }
    std::sort(korpus.begin(), korpus.end());
    for (const auto& p : korpus) s.push_back(leseRoh(p));
    return s;
}

struct GleichFall {
    const char* name;
    std::vector<std::string> an;  // options on (KMM excluded: it asks)
};

class GleicheBytes : public ::testing::TestWithParam<GleichFall> {};

TEST_P(GleicheBytes, AsTheBatchModuleWritesAndTheFilterModeOutputs) {
    const auto& fall = GetParam();
    EigenesProgramm programm;
    Optionsmenge optionen;
    for (int i = 0; i < kOptionCount; ++i) {
        optionen.set(i, std::find(fall.an.begin(), fall.an.end(),
                                  kAlleSchluessel[static_cast<std::size_t>(i)]) != fall.an.end());
    }
    Ersetzungstabelle tabelle;
    tabelle.setzeZeile(1, {"<b>", "<strong>"});
    tabelle.anhaengen({"</b>", "</strong>"});
    const std::vector<std::string> tabellenArgs = {"--replace", "<b>",  "<strong>",
                                                   "--replace", "</b>", "</strong>"};

    Ordner cliOrdner;
    Ordner modulOrdner;
    std::vector<std::string> args = plus(nur(fall.an), tabellenArgs);
    const auto liste = seiten();
    for (std::size_t i = 0; i < liste.size(); ++i) {
        const std::string name = "seite" + std::to_string(i) + ".htm";
        schreibeRoh(cliOrdner / name, liste[i]);
        schreibeRoh(modulOrdner / name, liste[i]);
        args.push_back(cliOrdner / name);
    }
    const auto r = stapel(programm, args);
    ASSERT_EQ(r.exitcode, 0) << r.fehler;

    for (std::size_t i = 0; i < liste.size(); ++i) {
        const std::string name = "seite" + std::to_string(i) + ".htm";
        dateiOptimieren(modulOrdner / name, optionen, tabelle);
        const std::string cli = leseRoh(cliOrdner / name);
        EXPECT_EQ(cli, leseRoh(modulOrdner / name)) << name;
        const auto filter = starte(plus(nur(fall.an), tabellenArgs), liste[i]);
        EXPECT_EQ(cli, filter.aus) << name;
        EXPECT_EQ(leseRoh(cliOrdner / (name + ".bak")), liste[i]) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(CliStapel, GleicheBytes,
                         ::testing::Values(GleichFall{"Defaults",
                                                      {"ZU", "DZU", "DL", "LZT", "LIT", "TAB", "SZ",
                                                       "AE", "SK", "DKS", "NOA"}},
                                           GleichFall{"Everything",
                                                      {"ZU", "DZU", "DL", "LZT", "LIT", "TAB",
                                                       "KMA", "SZ", "AE", "SK", "FPW", "OT", "DKS",
                                                       "NOA", "OA", "PES", "PEE"}},
                                           GleichFall{"Nothing", {}},
                                           GleichFall{"CommentsAndWebbotsOnly", {"KMA", "FPW"}}),
                         ::quintaro::test::ZeilenName{});

}  // namespace
}  // namespace quintaro::cli::test

namespace quintaro::cli::test {
namespace {

// --- No page lost, names that are no UTF-8 -------------------------------------------------

TEST_F(CliStapel, AFileWhoseBackupFailsIsNotSavedAndAnExistingBackupIsKept) {
    const std::string a = dir / "a.htm";
    const std::string b = dir / "b.htm";
    const std::string c = dir / "c.htm";
    for (const auto& p : {a, b, c}) schreibeRoh(p, "x  y");
    ::mkdir((a + ".bak").c_str(), 0755);
    schreibeRoh(b + ".bak", "alt");
    const auto r = lauf({a, b, c});
    EXPECT_EQ(r.exitcode, 1);
    EXPECT_EQ(r.fehler, "quintaro-cli: " + a + ": Datei \"" + a +
                            ".bak\" kann nicht erstellt werden. Dort steht ein Ordner\n"
                            "quintaro-cli: " +
                            b + ": kept the existing backup " + b + ".bak\n");
    EXPECT_EQ(leseRoh(a), "x  y");
    EXPECT_EQ(leseRoh(b + ".bak"), "alt");
    EXPECT_EQ(leseRoh(c + ".bak"), "x  y");
    EXPECT_NE(leseRoh(c), "x  y");
}

// Listed twice with DKS, the second entry finds the page under its new name and makes that
// name's backup: no backup was kept, so none is reported.
TEST_F(CliStapel, AFileListedTwiceWithDksReportsOnlyBackupsReallyKept) {
    const std::string a = dir / "Twice.HTM";
    schreibeRoh(a, "x  y");
    const auto r = lauf({"--set", "DKS=1", a, a});
    EXPECT_EQ(r.exitcode, 0);
    EXPECT_EQ(r.fehler, "");
    EXPECT_EQ(dir.namen(), (std::set<std::string>{"Twice.HTM.bak", "twice.htm", "twice.htm.bak"}));
}

// Killed by SIGXFSZ midway, the backup's temporary file used to stay behind.
// The page has a second name, so its backup is a copy, which the limit stops before the page is
// written.
TEST_F(CliStapel, TheFileSizeLimitFailsTheBackupCleanly) {
    const std::string a = dir / "a.htm";
    const std::string gross(256 * 1024, 'x');
    schreibeRoh(a, gross);
    ASSERT_EQ(::link(a.c_str(), (dir / "b.htm").c_str()), 0);
    Lauf l;
    l.args = {a};
    l.programm = programm().pfad();
    l.dateigrenze = 64 * 1024;
    const auto r = starte(l);
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.exitcode, 1);
    EXPECT_EQ(r.fehler, "quintaro-cli: " + a + ": Datei \"" + a +
                            ".bak\" kann nicht erstellt werden. Datei zu groß\n");
    EXPECT_EQ(leseRoh(a), gross);
    EXPECT_EQ(dir.namen(), (std::set<std::string>{"a.htm", "b.htm"}));
}

TEST_F(CliStapel, AFileNameThatIsNotUtf8IsRefusedAsSuch) {
    const std::string latin1 = dir / "gr\xFC\xDF.htm";
    schreibeRoh(latin1, "x  y");
    const auto r = lauf({latin1});
    EXPECT_EQ(r.exitcode, 1);
    EXPECT_NE(r.fehler.find(": the file name is not valid UTF-8"), std::string::npos) << r.fehler;
    EXPECT_EQ(leseRoh(latin1), "x  y");
    EXPECT_EQ(dir.namen(), std::set<std::string>{"gr\xFC\xDF.htm"});
    ::unlink(latin1.c_str());  // a name Qt's clean-up cannot spell
}

// --- Bounded memory, failing help ----------------------------------------------------------

// Three rows of a thousandfold growth would make a gigabyte of one byte: refused unbuilt.
TEST(CliGrenzen, AReplacementTableThatOutgrowsTheLimitWritesNothing) {
    const auto r = starte({"--replace", "a", std::string(1000, 'b'), "--replace", "b",
                           std::string(1000, 'c'), "--replace", "c", std::string(1000, 'd')},
                          "a");
    EXPECT_EQ(r.exitcode, 1);
    EXPECT_EQ(r.aus, "");
    EXPECT_EQ(r.fehler, "quintaro-cli: Text überschreitet Memo-Kapazität: nothing written\n");
}

TEST(CliGrenzen, HelpIntoAFullOrClosedOutputSaysWhy) {
    Lauf voll;
    voll.args = {"--help"};
    voll.ausgabePfad = "/dev/full";
    const auto r = starte(voll);
    EXPECT_EQ(r.exitcode, 3);
    EXPECT_EQ(r.fehler,
              "quintaro-cli: cannot write the help to standard output: No space left on device\n");
}

}  // namespace
}  // namespace quintaro::cli::test
