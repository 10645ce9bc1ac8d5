// Loading, writing, sizes and the small file operations of the document module.
#include "document/dokument.h"
#include "document/ein_ausgabe.h"
#include "engine/pfade.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include "common/dateien.h"
#include "common/speicher_dateien.h"
#include "engine/dateifehler.h"

namespace quintaro {
namespace {

using test::fehlertext;
using test::leseRoh;
using test::modus;
using test::Ordner;
using test::schreibeRoh;

// --- Loading: line breaks ---------------------------------------------------------------------

struct Umbruch {
    const char* name;
    std::string datei;
    std::string text;
};

TEST(DokumentLesen, MakesEveryLineBreakCrLf) {
    const Umbruch faelle[] = {
        {"leer", "", ""},
        {"ohne Umbruch", "<p>a</p>", "<p>a</p>"},
        {"CR LF bleibt", "a\r\nb\r\n", "a\r\nb\r\n"},
        {"LF allein", "a\nb\n", "a\r\nb\r\n"},
        {"CR allein", "a\rb\r", "a\r\nb\r\n"},
        {"LF CR sind zwei Umbrueche", "a\n\rb", "a\r\n\r\nb"},
        {"CR CR LF", "a\r\r\nb", "a\r\n\r\nb"},
        {"CR am Ende", "a\r", "a\r\n"},
        {"nur Umbrueche", "\n\n\r", "\r\n\r\n\r\n"},
        {"NUL und hohe Bytes bleiben", std::string("\0\x80\xff\n", 4),
         std::string("\0\x80\xff\r\n", 5)},
    };
    Ordner dir;
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.name);
        schreibeRoh(dir / "seite.htm", fall.datei);
        EXPECT_EQ(dokumentLesen(dir / "seite.htm"), fall.text);
    }
}

TEST(DokumentLesen, ErrorsNamePathAndReason) {
    Ordner dir;
    const std::string fehlt = dir / "fehlt.htm";
    EXPECT_EQ(
        fehlertext([&] { dokumentLesen(fehlt); }),
        "Datei " + fehlt + " kann nicht geöffnet werden. Datei oder Verzeichnis nicht gefunden");
    EXPECT_EQ(fehlertext([&] { dokumentLesen(dir.pfad()); }),
              "Datei " + dir.pfad() + " kann nicht geöffnet werden. Ist ein Verzeichnis");
    EXPECT_EQ(fehlertext([&] { dokumentLesen(""); }),
              "Datei  kann nicht geöffnet werden. Datei oder Verzeichnis nicht gefunden");
}

TEST(DokumentLesen, WithoutReadPermissionGivesTheSystemsReason) {
    Ordner dir;
    const std::string datei = dir / "geheim.htm";
    schreibeRoh(datei, "x");
    ::chmod(datei.c_str(), 0);  // closed to its owner too, when the tests do not run as root
    const int code = test::imKind([&] {
        if (!test::alsNiemand()) return 10;
        return fehlertext([&] { dokumentLesen(datei); }) ==
                       "Datei " + datei + " kann nicht geöffnet werden. Keine Berechtigung"
                   ? 0
                   : 1;
    });
    EXPECT_EQ(code, 0);
}

TEST(DokumentLesen, APipeWithoutWriterDoesNotHang) {
    Ordner dir;
    const std::string pipe = dir / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(dokumentLesen(pipe), "");
}

// --- Loading: capacity ------------------------------------------------------------------------

TEST(DokumentLesen, CapacityHoldsForTheNormalisedText) {
    Ordner dir;
    const std::string datei = dir / "seite.htm";
    const std::string zuGross = std::string(kMemoKapazitaetFehler);

    schreibeRoh(datei, "0123456789");
    EXPECT_EQ(dokumentLesen(datei, 10), "0123456789");
    EXPECT_EQ(fehlertext([&] { dokumentLesen(datei, 9); }), zuGross);

    // Five bytes on disk, ten once every LF is a CR LF.
    schreibeRoh(datei, "\n\n\n\n\n");
    EXPECT_EQ(dokumentLesen(datei, 10).size(), 10u);
    EXPECT_EQ(fehlertext([&] { dokumentLesen(datei, 9); }), zuGross);
    EXPECT_EQ(zuGross, "Text überschreitet Memo-Kapazität");
}

TEST(DokumentLesen, CapacityHoldsWithoutAKnownSizeToo) {
    // A character device reports no size; the limit still ends the read.
    EXPECT_EQ(fehlertext([] { dokumentLesen("/dev/zero", 1 << 20); }),
              std::string(kMemoKapazitaetFehler));
}

// --- Writing ------------------------------------------------------------------------------------

TEST(DokumentSchreiben, EveryByteValueComesBackUnchanged) {
    std::string alle;
    for (int b = 0; b < 256; ++b) alle += static_cast<char>(b);
    // The editor holds normalised text, so CR and LF stand as CR LF pairs.
    const Text text = umbruecheVereinheitlichen(alle + alle);
    Ordner dir;
    dokumentSchreiben(dir / "bytes.htm", text);
    EXPECT_EQ(leseRoh(dir / "bytes.htm"), text);  // byte for byte, nothing added
    EXPECT_EQ(dokumentLesen(dir / "bytes.htm"), text);
}

TEST(DokumentSchreiben, OverwritesShorterAndEmpty) {
    Ordner dir;
    const std::string datei = dir / "seite.htm";
    schreibeRoh(datei, std::string(5000, 'a'));
    dokumentSchreiben(datei, "kurz");
    EXPECT_EQ(leseRoh(datei), "kurz");
    dokumentSchreiben(datei, "");
    EXPECT_EQ(leseRoh(datei), "");
    EXPECT_EQ(test::eintraege(dir.pfad()), (std::set<std::string>{".", "..", "seite.htm"}));
}

TEST(DokumentSchreiben, KeepsPermissionsAndGivesNewFilesTheUsualOnes) {
    Ordner dir;
    // Root may edit a read-only file; anyone else is refused (see the failure tests).
    std::vector<mode_t> rechte = {0640, 0600, 0604, 0755};
    if (::geteuid() == 0) rechte.push_back(0444);
    for (const mode_t m : rechte) {
        SCOPED_TRACE(m);
        const std::string datei = dir / ("r" + std::to_string(m));
        schreibeRoh(datei, "alt");
        ::chmod(datei.c_str(), m);
        dokumentSchreiben(datei, "neu");
        EXPECT_EQ(leseRoh(datei), "neu");
        EXPECT_EQ(modus(datei), m);
    }
    for (const mode_t maske : {mode_t{022}, mode_t{077}, mode_t{0}}) {
        SCOPED_TRACE(maske);
        const mode_t alt = ::umask(maske);
        const std::string datei = dir / ("neu" + std::to_string(maske));
        dokumentSchreiben(datei, "x");
        ::umask(alt);
        EXPECT_EQ(modus(datei), 0666 & ~maske);
    }
}

TEST(DokumentSchreiben, FollowsSymbolicLinks) {
    Ordner dir;
    schreibeRoh(dir / "ziel.htm", "alt");
    ASSERT_EQ(::symlink("ziel.htm", (dir / "verweis.htm").c_str()), 0);
    dokumentSchreiben(dir / "verweis.htm", "neu");
    struct stat st {};
    ASSERT_EQ(::lstat((dir / "verweis.htm").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(leseRoh(dir / "ziel.htm"), "neu");
}

TEST(DokumentSchreiben, ErrorsNamePathAndReason) {
    Ordner dir;
    EXPECT_EQ(fehlertext([] { dokumentSchreiben("", "x"); }),
              "Datei \"\" kann nicht erstellt werden. Datei oder Verzeichnis nicht gefunden");
    EXPECT_EQ(fehlertext([&] { dokumentSchreiben(dir.pfad(), "x"); }),
              "Datei \"" + dir.pfad() + "\" kann nicht erstellt werden. Ist ein Verzeichnis");
    const std::string pipe = dir / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(fehlertext([&] { dokumentSchreiben(pipe, "x"); }),
              "Datei \"" + pipe + "\" kann nicht erstellt werden. Das ist keine gewöhnliche Datei");
    EXPECT_EQ(fehlertext([] { dokumentSchreiben("/dev/null", "x"); }),
              "Datei \"/dev/null\" kann nicht erstellt werden. Das ist keine gewöhnliche Datei");
}

// Qt would turn the bytes 0xFF 0xFE into U+FFFD and write "a\uFFFD\uFFFD.htm" beside the file
// the user named.
TEST(DokumentSchreiben, APathThatIsNotUtf8IsRefusedAndNothingElseIsWritten) {
    Ordner dir;
    const std::string datei = dir / "a\xff\xfe.htm";
    schreibeRoh(datei, "alt");
    ASSERT_EQ(leseRoh(datei), "alt");
    const auto vorher = test::eintraege(dir.pfad());

    EXPECT_EQ(fehlertext([&] { dokumentSchreiben(datei, "neu"); }),
              "Datei \"" + datei +
                  "\" kann nicht erstellt werden. Der Dateiname ist kein gültiges UTF-8");
    EXPECT_FALSE(dateiKopieren(dir / "fehlt", datei, true));
    EXPECT_EQ(leseRoh(datei), "alt");
    EXPECT_EQ(test::eintraege(dir.pfad()), vorher);

    // The byte-path functions reach the very file.
    EXPECT_EQ(dokumentLesen(datei), "alt");
    EXPECT_EQ(Dateigroesse(datei), 3);
    EXPECT_TRUE(dateiExistiert(datei));
    EXPECT_TRUE(dateiKopieren(datei, dir / "kopie.htm", false));
    EXPECT_EQ(leseRoh(dir / "kopie.htm"), "alt");
    schreibeRoh(dir / "quelle.htm", "q");
    EXPECT_TRUE(dateiKopieren(dir / "quelle.htm", datei, true));
    EXPECT_EQ(leseRoh(datei), "q");
    EXPECT_TRUE(dateiLoeschen(datei));
}

// --- Dateigroesse -----------------------------------------------------------------------------

TEST(Dateigroesse, FilesFoldersAndMissing) {
    Ordner dir;
    schreibeRoh(dir / "leer.htm", "");
    schreibeRoh(dir / "fuenf.htm", "12345");
    ::mkdir((dir / "unter").c_str(), 0755);
    ASSERT_EQ(::symlink("fehlt", (dir / "kaputt").c_str()), 0);

    EXPECT_EQ(Dateigroesse(dir / "fehlt.htm"), -1);
    EXPECT_EQ(Dateigroesse(dir / "fehlt/x.htm"), -1);
    EXPECT_EQ(Dateigroesse(""), -1);
    EXPECT_EQ(Dateigroesse(dir / "leer.htm"), 0);
    EXPECT_EQ(Dateigroesse(dir / "fuenf.htm"), 5);
    EXPECT_EQ(Dateigroesse(dir / "unter"), 0);
    EXPECT_EQ(Dateigroesse(dir.pfad()), 0);
    EXPECT_EQ(Dateigroesse(dir / "kaputt"), 5);  // a dangling link is found: its own size
}

TEST(Dateigroesse, Wildcards) {
    Ordner dir;
    schreibeRoh(dir / "seite.htm", "123");
    schreibeRoh(dir / ".versteckt.txt", "1234567");
    ::mkdir((dir / "bilder.d").c_str(), 0755);
    schreibeRoh(dir / "gr\xc3\xbc\xc3\x9f.txt", "12");  // "grüß.txt" in UTF-8

    const struct {
        const char* muster;
        std::int32_t groesse;
    } faelle[] = {
        {"se?te.htm", 3}, {"*.htm", 3},    {"s*", 3},          {"*e.h*", 3},       {"*.xml", -1},
        {".vers*", 7},    {"*.d", 0},      {"seite.htm?", -1}, {"?seite.htm", -1}, {"*.HTM", -1},
        {"gr??.txt", 2},  {"gr?.txt", -1}, {"x/*.htm", -1},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.muster);
        EXPECT_EQ(Dateigroesse(dir / fall.muster), fall.groesse);
    }
}

TEST(Dateigroesse, AWildcardTakesTheFirstEntryOfTheListing) {
    Ordner dir;
    for (int i = 0; i < 20; ++i)
        schreibeRoh(dir / ("d" + std::to_string(i)), std::string(static_cast<std::size_t>(i), 'x'));
    std::int32_t erster = -1;
    DIR* d = ::opendir(dir.pfad().c_str());
    while (const dirent* e = ::readdir(d)) {
        if (e->d_name[0] == 'd') {
            erster = std::stoi(e->d_name + 1);  // the size is the number in the name
            break;
        }
    }
    ::closedir(d);
    EXPECT_EQ(Dateigroesse(dir / "d*"), erster);
}

TEST(Dateigroesse, ANameWithAStarBeatsThePattern) {
    Ordner dir;
    schreibeRoh(dir / "a*b", "1");
    schreibeRoh(dir / "aab", "22");
    schreibeRoh(dir / "acb", "333");
    EXPECT_EQ(Dateigroesse(dir / "a*b"), 1);
}

TEST(Dateigroesse, OnlyTheLower32Bits) {
    Ordner dir;
    const struct {
        off_t groesse;
        std::int32_t erwartet;
    } faelle[] = {
        {off_t{0x7fffffff}, 0x7fffffff},
        {off_t{0x80000000}, INT32_MIN},
        {off_t{0x100000005}, 5},
    };
    for (const auto& fall : faelle) {
        const std::string datei = dir / "gross";
        const int fd = ::open(datei.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        const bool ok = ::ftruncate(fd, fall.groesse) == 0;  // sparse: no disk space used
        ::close(fd);
        if (!ok) GTEST_SKIP() << "file system without large sparse files";
        EXPECT_EQ(Dateigroesse(datei), fall.erwartet);
    }
}

// --- Small file operations ----------------------------------------------------------------------

TEST(Dateien, Exists) {
    Ordner dir;
    schreibeRoh(dir / "a.htm", "a");
    ASSERT_EQ(::symlink("a.htm", (dir / "verweis").c_str()), 0);
    ASSERT_EQ(::symlink("fehlt", (dir / "kaputt").c_str()), 0);
    EXPECT_TRUE(dateiExistiert(dir / "a.htm"));
    EXPECT_TRUE(dateiExistiert(dir / "verweis"));
    EXPECT_FALSE(dateiExistiert(dir / "kaputt"));
    EXPECT_FALSE(dateiExistiert(dir / "fehlt"));
    EXPECT_FALSE(dateiExistiert(dir.pfad()));
    EXPECT_FALSE(dateiExistiert(""));
}

TEST(Dateien, CopyingWithAndWithoutOverwriting) {
    Ordner dir;
    const std::string quelle = dir / "seite.htm";
    const std::string bak = dir / "seite.htm.bak";
    schreibeRoh(quelle, "eins");
    ::chmod(quelle.c_str(), 0640);

    EXPECT_TRUE(dateiKopieren(quelle, bak, false));
    EXPECT_EQ(leseRoh(bak), "eins");
    EXPECT_EQ(modus(bak), 0640u);

    schreibeRoh(quelle, "zwei");
    EXPECT_FALSE(dateiKopieren(quelle, bak, false));
    EXPECT_EQ(leseRoh(bak), "eins");
    EXPECT_TRUE(dateiKopieren(quelle, bak, true));
    EXPECT_EQ(leseRoh(bak), "zwei");

    ASSERT_EQ(::symlink("fehlt", (dir / "kaputt").c_str()), 0);
    EXPECT_FALSE(dateiKopieren(quelle, dir / "kaputt", false));  // a dangling link is something
    EXPECT_FALSE(dateiKopieren(dir / "fehlt", dir / "neu", true));
    EXPECT_FALSE(dateiKopieren(dir.pfad(), dir / "neu", true));
    EXPECT_FALSE(dateiKopieren(quelle, dir.pfad(), true));
    EXPECT_FALSE(dateiKopieren(quelle, dir / "fehlt/neu", false));
    EXPECT_FALSE(dateiKopieren(quelle, dir / "fehlt/neu", true));
    EXPECT_EQ(test::eintraege(dir.pfad()),
              (std::set<std::string>{".", "..", "seite.htm", "seite.htm.bak", "kaputt"}));
}

TEST(Dateien, CopyingLargeFiles) {
    Ordner dir;
    std::string inhalt;
    for (int i = 0; i < 300000; ++i) inhalt += static_cast<char>(i * 7);
    schreibeRoh(dir / "gross", inhalt);
    EXPECT_TRUE(dateiKopieren(dir / "gross", dir / "kopie", false));
    EXPECT_EQ(leseRoh(dir / "kopie"), inhalt);
}

TEST(Dateien, Deletes) {
    Ordner dir;
    schreibeRoh(dir / "a.htm", "a");
    ::mkdir((dir / "unter").c_str(), 0755);
    EXPECT_TRUE(dateiLoeschen(dir / "a.htm"));
    EXPECT_FALSE(dateiExistiert(dir / "a.htm"));
    EXPECT_FALSE(dateiLoeschen(dir / "a.htm"));
    EXPECT_FALSE(dateiLoeschen(dir / "unter"));
    EXPECT_EQ(Dateigroesse(dir / "unter"), 0);
    EXPECT_FALSE(dateiLoeschen(""));
}

}  // namespace
}  // namespace quintaro

namespace quintaro {
namespace {

// --- Files of the program's own: never through a planted link ---------------------------------

TEST(EigeneDateien, APlantedLinkIsReplacedNotWritten) {
    Ordner dir;
    const std::string fremd = dir / "fremd.txt";
    schreibeRoh(fremd, "geheim");
    schreibeRoh(dir / "seite.htm", "seite");
    const std::string vorschau = dir / std::string(kVorschauName);
    const std::string bak = dir / "seite.htm.bak";
    ASSERT_EQ(::symlink("fremd.txt", vorschau.c_str()), 0);
    ASSERT_EQ(::symlink("fremd.txt", bak.c_str()), 0);

    LokaleDateien dateien;
    dateien.vorschauSchreiben(vorschau, "vorschau");
    dateien.kopieren(dir / "seite.htm", bak, true);
    EXPECT_EQ(leseRoh(fremd), "geheim");
    EXPECT_EQ(dateien.art(vorschau), Dateiart::Datei);
    EXPECT_EQ(dateien.art(bak), Dateiart::Datei);
    EXPECT_EQ(leseRoh(vorschau), "vorschau");
    EXPECT_EQ(leseRoh(bak), "seite");
    EXPECT_EQ(dir.namen(), (std::set<std::string>{"fremd.txt", "seite.htm", "seite.htm.bak",
                                                  std::string(kVorschauName)}));
    // The document itself is still saved through its link.
    ASSERT_EQ(::symlink("fremd.txt", (dir / "verweis.htm").c_str()), 0);
    dateien.schreiben(dir / "verweis.htm", "neu");
    EXPECT_EQ(leseRoh(fremd), "neu");
    EXPECT_EQ(dateien.art(dir / "verweis.htm"), Dateiart::Verweis);
}

TEST(AllesLesen, StopsAtTheLimit) {
    int rohr[2];
    ASSERT_EQ(::pipe(rohr), 0);
    const Deskriptor lesen(rohr[0]);
    {
        const Deskriptor schreiben(rohr[1]);
        ASSERT_EQ(allesSchreiben(schreiben.get(), std::string(100, 'x')), 0);
    }
    std::string daten;
    EXPECT_EQ(allesLesen(lesen.get(), daten, 99), EFBIG);
    EXPECT_LE(daten.size(), 99u);
}

// --- The document around a run ---------------------------------------------------------------

const std::string kDatei = "/web/Seite.HTM";
const std::string kBak = "/web/Seite.HTM.bak";

struct SicherungsFall {
    const char* name;
    Modus modus;
    bool sk;
    bool vorhanden;                // a backup exists already
    bool ja;                       // the answer to the overwrite question
    std::vector<std::string> log;  // questions and copies, in order
    std::string danach;            // the backup's content afterwards ("" = none)
};

TEST(DokumentSichern, FollowsTheRulesOfEachMode) {
    const std::string kopie = "kopie " + kDatei + " -> " + kBak;
    const std::vector<SicherungsFall> faelle = {
        {"OptionOffNoBackup", Modus::Normal, false, false, false, {}, ""},
        {"OptionOffStepNoBackup", Modus::Schritt, false, false, false, {}, ""},
        {"OptionOffBatchBacksUp", Modus::Automatisch, false, false, false, {kopie}, "disk"},
        {"NewBackup", Modus::Normal, true, false, false, {kopie}, "disk"},
        {"ExistingJaOverwrites",
         Modus::Normal,
         true,
         true,
         true,
         {"frage", kopie + " ueberschreiben"},
         "disk"},
        {"ExistingNeinKeeps", Modus::Normal, true, true, false, {"frage"}, "alt"},
        {"ExistingBatchNeverAsksNorOverwrites", Modus::Automatisch, true, true, true, {}, "alt"},
    };
    for (const auto& c : faelle) {
        SCOPED_TRACE(c.name);
        test::SpeicherDateien platte;
        std::vector<std::string> log;
        platte.log = &log;
        platte.dateien[kDatei] = "disk";  // the copy comes from the file, not the editor
        if (c.vorhanden) platte.dateien[kBak] = "alt";
        Dokument dokument(platte);
        dokument.benennen(kDatei);
        const Sicherung s = dokument.sichern(c.modus, c.sk, [&] {
            log.emplace_back("frage");
            return c.ja;
        });
        EXPECT_EQ(log, c.log);
        EXPECT_EQ(s.gemacht, !c.danach.empty() && c.danach != "alt");
        EXPECT_EQ(s.behalten, c.danach == "alt");
        if (c.danach.empty()) {
            EXPECT_EQ(platte.dateien.count(kBak), 0u);
        } else {
            EXPECT_EQ(platte.dateien[kBak], c.danach);
        }
    }
}

// Without its backup a batch file is not to be saved over; a normal run saves nothing by itself
// and goes on; without a document file there is nothing to copy.
TEST(DokumentSichern, AFailedBackupStopsOnlyABatch) {
    test::SpeicherDateien platte;
    platte.dateien[kDatei] = "disk";
    platte.gesperrt.insert(kBak);
    Dokument dokument(platte);
    dokument.benennen(kDatei);
    EXPECT_THROW(dokument.sichern(Modus::Automatisch, false), DateiFehler);
    EXPECT_FALSE(dokument.sichern(Modus::Normal, true).gemacht);
    Dokument ohneDatei(platte);
    EXPECT_TRUE(ohneDatei.sichern(Modus::Automatisch, true).pfad.empty());
}

// DKS lowercases the file name only (A to Z), unless another file has that name; the preview
// lies beside the document, or bare without one.
TEST(DokumentDateinameKlein, LowercasesOnlyTheFileNameAndThePreviewGoesBesideIt) {
    struct Fall {
        std::string datei;
        std::vector<std::string> vorhanden;
        std::string erwartet;
        std::string vorschau;
    };
    const std::string v(kVorschauName);
    for (const auto& c : std::vector<Fall>{
             {"/Web/Index.HTM", {}, "/Web/index.htm", "/Web/" + v},
             {"/Index.HTM/Index.HTM", {}, "/Index.HTM/index.htm", "/Index.HTM/" + v},
             {"/w/\xC3\x9C"
              "BER.HTM",
              {},
              "/w/\xC3\x9C"
              "ber.htm",
              "/w/" + v},
             {"Index.HTM", {}, "index.htm", v},
             {"/w/Index.htm", {"/w/index.htm"}, "/w/Index.htm", "/w/" + v},
             {"", {}, "", v},
         }) {
        SCOPED_TRACE(c.datei);
        test::SpeicherDateien platte;
        platte.dateien[c.datei] = "x";
        for (const auto& f : c.vorhanden) platte.dateien[f] = "other";
        Dokument dokument(platte);
        dokument.benennen(c.datei);
        EXPECT_EQ(dokument.vorschauSchreiben("12345"), 5);
        EXPECT_EQ(dokument.vorschaudatei(), c.vorschau);
        EXPECT_EQ(platte.dateien[c.vorschau], "12345");
        dokument.dateinameKlein();
        EXPECT_EQ(dokument.aktuelleDatei(), c.erwartet);
        // Until it is saved, the document is read under its old name.
        EXPECT_EQ(dokument.quelle(), c.datei);
        if (c.datei.empty()) continue;
        dokument.setzeBearbeitungsstatus(true);
        EXPECT_EQ(dokument.speichern("neu"), c.erwartet);
        EXPECT_FALSE(dokument.bearbeitungsstatus());
        EXPECT_EQ(platte.dateien[c.erwartet], "neu");
        EXPECT_EQ(dokument.quelle(), c.erwartet);
    }
}

}  // namespace
}  // namespace quintaro
