// The INI module against hand-written files: reading rules, numbers, edits that keep the rest of
// the file, and saves that fail without harming the old file.
#include "settings/ini.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <optional>

#include "common/dateien.h"
#include "engine/dateifehler.h"

namespace quintaro {
namespace {

using test::fehlertext;
using test::leseRoh;
using test::Ordner;
using test::schreibeRoh;

// --- Reading
// --------------------------------------------------------------------------------------

struct Lesefall {
    const char* name;
    std::string datei;
    std::string abschnitt;
    std::string schluessel;
    std::optional<std::string> wert;
};

TEST(IniLesen, Rules) {
    const std::string lang(3000, 'L');
    const Lesefall faelle[] = {
        {"leere Datei", "", "A", "k", std::nullopt},
        {"Abschnitt fehlt", "[B]\r\nk=v\r\n", "A", "k", std::nullopt},
        {"Schluessel fehlt", "[A]\r\nx=v\r\n", "A", "k", std::nullopt},
        {"einfach", "[A]\r\nk=v\r\n", "A", "k", "v"},
        {"Gross- und Kleinschreibung", "[optionen]\r\nzU=0\r\n", "OPTIONEN", "Zu", "0"},
        {"Umlaute ohne Gross und Klein", "[\xc4rger]\r\n\xdc\x62\x65r=1\r\n", "\xe4rger",
         "\xfc\x62\x65r", "1"},
        {"Leerraum um Namen", "  [ A ]  \r\n\t k \t=v\r\n", "A", "k", "v"},
        {"Leerraum um den Wert", "[A]\r\nk= \t wert mit  innen \t \r\n", "A", "k",
         "wert mit  innen"},
        {"Anfuehrungszeichen", "[A]\r\nk=\" a \"\r\n", "A", "k", " a "},
        {"einfache Anfuehrungszeichen", "[A]\r\nk= 'b' \r\n", "A", "k", "b"},
        {"nur ein Anfuehrungszeichen", "[A]\r\nk=\"a\r\n", "A", "k", "\"a"},
        {"verschiedene Zeichen", "[A]\r\nk=\"a'\r\n", "A", "k", "\"a'"},
        {"ein einzelnes", "[A]\r\nk=\"\r\n", "A", "k", "\""},
        {"leeres Paar", "[A]\r\nk=\"\"\r\n", "A", "k", ""},
        {"nur ein Paar", "[A]\r\nk=\"\"x\"\"\r\n", "A", "k", "\"x\""},
        {"leerer Wert ist ein Wert", "[A]\r\nk=\r\n", "A", "k", ""},
        {"Gleichheitszeichen im Wert", "[A]\r\nk=a=b\r\n", "A", "k", "a=b"},
        {"auf 2047 gekuerzt", "[A]\r\nk=" + lang + "\r\n", "A", "k", lang.substr(0, 2047)},
        {"Schluessel doppelt", "[A]\r\nk=erster\r\nK=zweiter\r\n", "A", "k", "erster"},
        {"Abschnitt doppelt", "[A]\r\nk=erster\r\n[a]\r\nk=zweiter\r\nj=x\r\n", "A", "k", "erster"},
        {"nur der erste Abschnitt zaehlt", "[A]\r\nk=1\r\n[a]\r\nj=x\r\n", "A", "j", std::nullopt},
        {"Zeilen ohne =", "[A]\r\nUnsinn\r\nk\r\nk=v\r\n", "A", "k", "v"},
        {"Kommentarzeile ist kein Schluessel", "[A]\r\n;k=v\r\n", "A", "k", std::nullopt},
        {"ohne letztes Zeilenende", "[A]\r\nk=v", "A", "k", "v"},
        {"nur LF", "[A]\nx=1\nk=v\n", "A", "k", "v"},
        {"nur CR", "[A]\rk=v\r", "A", "k", "v"},
        {"Bytes 0x80 bis 0xFF", "[A]\r\nk=\x80\x9f\xe4\xff\r\n", "A", "k", "\x80\x9f\xe4\xff"},
        {"vor jedem Abschnitt", "k=v\r\n[A]\r\n", "A", "k", std::nullopt},
        {"Kopf mit Rest", "[A] ; Notiz\r\nk=v\r\n", "A", "k", "v"},
        {"Kopf ohne Klammer zu", "[A\r\nk=v\r\n", "A", "k", "v"},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.name);
        EXPECT_EQ(IniDatei(fall.datei).wert(fall.abschnitt, fall.schluessel), fall.wert);
    }
}

TEST(IniZahl, DecimalAndHexadecimal) {
    const std::pair<const char*, std::optional<std::int32_t>> faelle[] = {
        {"0", 0},
        {"12", 12},
        {"00012", 12},
        {"+7", 7},
        {"-5", -5},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"$1F", 31},
        {"$1f", 31},
        {"0x1f", 31},
        {"0X10", 16},
        {"$FFFFFFFF", -1},
        {"0x80000000", INT32_MIN},
        {"$000000000FF", 255},
        {"-$10", -16},
        {"$100000000", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"0x-1", std::nullopt},
        {"abc", std::nullopt},
        {"12abc", std::nullopt},
        {"1.5", std::nullopt},
        {" 12", std::nullopt},
        {"$G", std::nullopt},
        {"1e3", std::nullopt},
    };
    for (const auto& [text, zahl] : faelle) EXPECT_EQ(iniZahl(text), zahl) << text;
}

TEST(IniLesen, NumbersAndBooleansWithDefault) {
    const IniDatei ini(
        "[A]\r\nzahl= 42 \r\nhex=\"$10\"\r\nmuell=vier\r\nleer=\r\nnull=0\r\nzwei=2\r\n"
        "minus=-1\r\n");
    EXPECT_EQ(ini.leseZahl("A", "zahl", 7), 42);
    EXPECT_EQ(ini.leseZahl("A", "hex", 7), 16);
    EXPECT_EQ(ini.leseZahl("A", "muell", 7), 7);
    EXPECT_EQ(ini.leseZahl("A", "leer", 7), 7);
    EXPECT_EQ(ini.leseZahl("A", "fehlt", 7), 7);
    EXPECT_FALSE(ini.leseBool("A", "null", true));
    EXPECT_TRUE(ini.leseBool("A", "zwei", false));
    EXPECT_TRUE(ini.leseBool("A", "minus", false));
    EXPECT_TRUE(ini.leseBool("A", "muell", true));
    EXPECT_FALSE(ini.leseBool("A", "muell", false));
    EXPECT_FALSE(ini.leseBool("A", "leer", false));
    EXPECT_EQ(ini.leseText("A", "fehlt", "vorgabe"), "vorgabe");
    EXPECT_EQ(ini.leseText("A", "leer", "vorgabe"), "");
}

// --- Editing ------------------------------------------------------------------------------------

TEST(IniSchreiben, ChangesInPlaceAndKeepsTheRest) {
    IniDatei ini(
        "; Kommentar oben\r\n[Optionen]\r\nzu=1\r\nFremd=x\r\nohne Gleich\r\n\r\n"
        "[Anderes]\r\ny=2\r\n");
    ini.schreibeBool("OPTIONEN", "ZU", false);  // the line keeps its spelling
    ini.schreibeText("Optionen", "Neu", "n");   // after the last non-blank line
    ini.schreibeText("Anderes", "y", " mit Leerraum ");
    EXPECT_EQ(ini.inhalt(),
              "; Kommentar oben\r\n[Optionen]\r\nzu=0\r\nFremd=x\r\nohne Gleich\r\nNeu=n\r\n\r\n"
              "[Anderes]\r\ny= mit Leerraum \r\n");
    EXPECT_EQ(ini.wert("anderes", "Y"), "mit Leerraum");
}

TEST(IniSchreiben, NewSectionsAtTheEnd) {
    IniDatei leer;
    leer.schreibeText("A", "k", "v");
    leer.schreibeZahl("B", "n", -3);
    EXPECT_EQ(leer.inhalt(), "[A]\r\nk=v\r\n\r\n[B]\r\nn=-3\r\n");

    IniDatei mitLeerzeile("[A]\r\nk=v\r\n\r\n");
    mitLeerzeile.schreibeText("B", "k", "w");
    EXPECT_EQ(mitLeerzeile.inhalt(), "[A]\r\nk=v\r\n\r\n[B]\r\nk=w\r\n");

    IniDatei nurKopf("[A]");
    nurKopf.schreibeText("B", "k", "w");
    nurKopf.schreibeText("A", "k", "v");
    EXPECT_EQ(nurKopf.inhalt(), "[A]\r\nk=v\r\n\r\n[B]\r\nk=w\r\n");

    IniDatei nurKommentar("; nur ein Kommentar");
    nurKommentar.schreibeText("A", "k", "v");
    EXPECT_EQ(nurKommentar.inhalt(), "; nur ein Kommentar\r\n\r\n[A]\r\nk=v\r\n");
}

TEST(IniSchreiben, DeletingASectionRemovesAllOfThatName) {
    IniDatei ini("[X]\r\na=1\r\n[Liste]\r\n0=a\r\n; weg\r\n[Y]\r\nb=2\r\n[LISTE]\r\n1=b\r\n");
    ini.abschnittLoeschen("liste");
    EXPECT_EQ(ini.inhalt(), "[X]\r\na=1\r\n[Y]\r\nb=2\r\n");
    EXPECT_EQ(ini.wert("Liste", "1"), std::nullopt);
    EXPECT_EQ(ini.wert("Y", "b"), "2");
    ini.schreibeText("Liste", "0", "neu");
    EXPECT_EQ(ini.wert("Liste", "0"), "neu");
    ini.abschnittLoeschen("fehlt");
    EXPECT_EQ(ini.wert("Liste", "0"), "neu");
}

TEST(IniSchreiben, EmptyingASectionKeepsItsPlace) {
    IniDatei ini("[Liste]\r\n0=a\r\n; weg\r\n\r\n[Y]\r\nb=2\r\n[LISTE]\r\n1=b\r\n");
    ini.abschnittLeeren("liste");
    EXPECT_EQ(ini.inhalt(), "[Liste]\r\n\r\n[Y]\r\nb=2\r\n");
    ini.schreibeText("Liste", "0", "neu");
    EXPECT_EQ(ini.inhalt(), "[Liste]\r\n0=neu\r\n\r\n[Y]\r\nb=2\r\n");
}

TEST(IniSchreiben, LineBreaksInAValueCannotInjectAnything) {
    IniDatei ini("[Optionen]\r\nZU=1\r\n");
    ini.schreibeText("Liste", "0", "x\r\n[Optionen]\r\nZU=0\nDL=0\r");
    EXPECT_EQ(ini.wert("Liste", "0"), "x  [Optionen]  ZU=0 DL=0");
    const IniDatei wieder(ini.inhalt());
    EXPECT_EQ(wieder.wert("Optionen", "ZU"), "1");
    EXPECT_EQ(wieder.wert("Optionen", "DL"), std::nullopt);
}

TEST(IniInhalt, WritesWithCrLf) {
    const std::pair<std::string, std::string> faelle[] = {
        {"", ""},
        {"[A]\r\nk=v\r\n", "[A]\r\nk=v\r\n"},
        {"[A]\nk=v\n", "[A]\r\nk=v\r\n"},
        {"[A]\rk=v", "[A]\r\nk=v\r\n"},
        {"x\r\n\r\n\r\n", "x\r\n\r\n\r\n"},
        {"\xe4\x80\xff=1\r\n", "\xe4\x80\xff=1\r\n"},
    };
    for (const auto& [datei, inhalt] : faelle) EXPECT_EQ(IniDatei(datei).inhalt(), inhalt);
}

TEST(IniSchreiben, ManyKeys) {
    IniDatei ini;
    for (int i = 0; i < 20000; ++i) ini.schreibeZahl("Liste", std::to_string(i), i);
    EXPECT_EQ(ini.schluesselAnzahl("liste"), 20000u);
    const IniDatei wieder(ini.inhalt());
    for (int i = 0; i < 20000; i += 997)
        EXPECT_EQ(wieder.leseZahl("Liste", std::to_string(i), -1), i);
}

// --- Files --------------------------------------------------------------------------------------

TEST(IniDateiLaden, MissingFolderAndFile) {
    Ordner dir;
    EXPECT_EQ(IniDatei::laden(dir / "fehlt.ini").inhalt(), "");
    EXPECT_EQ(IniDatei::laden(dir / "fehlt/auch.ini").inhalt(), "");
    EXPECT_EQ(IniDatei::laden(dir.pfad()).inhalt(), "");
    schreibeRoh(dir / "q.ini", "[A]\nk=v");
    EXPECT_EQ(IniDatei::laden(dir / "q.ini").wert("A", "k"), "v");
}

TEST(IniDateiSpeichern, RewritesTheWholeFile) {
    Ordner dir;
    const std::string pfad = dir / "q.ini";
    schreibeRoh(pfad, "; Notiz\n[A]\nk=v\nfremd=1\n");
    ::chmod(pfad.c_str(), 0640);
    IniDatei ini = IniDatei::laden(pfad);
    ini.schreibeText("A", "k", "w");
    ini.speichern(pfad);
    EXPECT_EQ(leseRoh(pfad), "; Notiz\r\n[A]\r\nk=w\r\nfremd=1\r\n");
    EXPECT_EQ(test::modus(pfad), 0640u);
    EXPECT_EQ(test::eintraege(dir.pfad()), (std::set<std::string>{".", "..", "q.ini"}));
}

TEST(IniDateiSpeichern, FailuresLeaveTheOldFile) {
    Ordner dir;
    const auto meldung = [](const std::string& p) {
        return "In " + p + " kann nicht geschrieben werden";
    };
    EXPECT_EQ(fehlertext([&] { IniDatei::laden(dir.pfad()).speichern(dir.pfad()); }),
              meldung(dir.pfad()));
    EXPECT_EQ(fehlertext([&] { IniDatei().speichern(dir / "fehlt/q.ini"); }),
              meldung(dir / "fehlt/q.ini"));
    EXPECT_EQ(fehlertext([&] { IniDatei().speichern(""); }), meldung(""));
}

// A settings file edited in a UTF-8 editor is read as UTF-8, and written back in code page 1252.
TEST(IniDateiLaden, AUtf8FileIsReadAsUtf8) {
    const struct {
        const char* name;
        std::string datei;
    } faelle[] = {
        {"mit BOM", "\xEF\xBB\xBF[A]\r\nk=\xC3\xA4\xE2\x82\xAC\r\n"},
        {"ohne BOM", "[A]\r\nk=\xC3\xA4\xE2\x82\xAC\r\n"},
        {"Code page 1252", "[A]\r\nk=\xE4\x80\r\n"},
        {"kein UTF-8", "[A]\r\nk=\xE4\x80\r\n"},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.name);
        Ordner dir;
        const std::string pfad = dir / "q.ini";
        schreibeRoh(pfad, fall.datei);
        const IniDatei ini = IniDatei::laden(pfad);
        EXPECT_EQ(ini.wert("A", "k"), "\xE4\x80");
        ini.speichern(pfad);
        EXPECT_EQ(leseRoh(pfad), "[A]\r\nk=\xE4\x80\r\n");
    }
}

TEST(IniDateiSpeichern, AnAbortMidway) {
    Ordner dir;
    const std::string pfad = dir / "q.ini";
    const std::string alt = "[A]\r\nk=alt\r\n";
    schreibeRoh(pfad, alt);
    const int code = test::imKind([&] {
        const test::Dateigrenze grenze(4096);
        if (!grenze.gesetzt()) return 3;
        IniDatei ini = IniDatei::laden(pfad);
        ini.schreibeText("A", "k", std::string(100000, 'n'));
        return fehlertext([&] { ini.speichern(pfad); }) ==
                       "In " + pfad + " kann nicht geschrieben werden"
                   ? 0
                   : 1;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(leseRoh(pfad), alt);
    EXPECT_EQ(test::eintraege(dir.pfad()), (std::set<std::string>{".", "..", "q.ini"}));
}

TEST(IniDateiSpeichern, AnUnreadableFileIsNotOverwritten) {
    // The folder is writable, so only the refusal keeps the unread file's content.
    Ordner dir;
    ::chmod(dir.pfad().c_str(), 0777);
    const std::string pfad = dir / "q.ini";
    schreibeRoh(pfad, "[A]\r\nk=geheim\r\n");
    ::chmod(pfad.c_str(), 0200);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(pfad.c_str(), 65534, 65534), 0);
    }
    const int code = test::imKind([&] {
        if (!test::alsNiemand()) return 3;
        IniDatei ini = IniDatei::laden(pfad);
        if (ini.wert("A", "k")) return 4;
        ini.schreibeText("A", "k", "neu");
        return fehlertext([&] { ini.speichern(pfad); }) ==
                       "In " + pfad + " kann nicht geschrieben werden"
                   ? 0
                   : 1;
    });
    EXPECT_EQ(code, 0);
    ::chmod(pfad.c_str(), 0600);  // readable again for a test that does not run as root
    EXPECT_EQ(leseRoh(pfad), "[A]\r\nk=geheim\r\n");
}

}  // namespace
}  // namespace quintaro
