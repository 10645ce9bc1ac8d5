// Loading the settings file onto the window's state and saving that state, row by row of the
// save table, with the edge cases of lists, counts and geometry.
#include "settings/einstellungen.h"

#include <gtest/gtest.h>

#include "common/dateien.h"
#include "engine/dateifehler.h"

namespace quintaro {
namespace {

using test::leseRoh;
using test::Ordner;
using test::schreibeRoh;

Geladen laden(const std::string& datei, const Einstellungen& aktuell = {}) {
    return einstellungenAnwenden(IniDatei(datei), aktuell);
}

Ersetzungstabelle tabelle(std::vector<Ersetzung> zeilen) {
    Ersetzungstabelle t;
    t.setzeAlle(std::move(zeilen));
    return t;
}

// --- Loading
// --------------------------------------------------------------------------------------

TEST(IniLaden, WithoutAFileTheDefaultsHold) {
    Ordner dir;
    const Geladen g = einstellungenLesen(dir / "quintaro_optionen.ini", Einstellungen{});
    EXPECT_EQ(g.einstellungen, Einstellungen{});
    EXPECT_FALSE(g.fensterSetzen);
    for (int i = 0; i < kOptionCount; ++i) {
        const bool an = i <= 5 || i == 8 || i == 9 || i == 10 || i == 13 || i == 14 || i >= HSB;
        EXPECT_EQ(g.einstellungen.optionen[i], an) << i;
    }
    EXPECT_EQ(g.einstellungen.filter, (std::vector<Text>{".htm*", ".shtm*"}));
    EXPECT_TRUE(g.einstellungen.tabelle.istPlatzhalter());
    EXPECT_EQ(g.einstellungen.fenster, (Fenster{241, 93, 620, 420}));
}

TEST(IniLaden, AFolderInPlaceOfTheFileGivesTheDefaults) {
    Ordner dir;
    EXPECT_EQ(einstellungenLesen(dir.pfad(), Einstellungen{}).einstellungen, Einstellungen{});
}

TEST(IniLaden, OptionsWithTheirKeysAndDefaults) {
    // Every option the other way round, keys in any letter case.
    std::string datei = "[oPTIONEN]\r\n";
    for (const auto& info : kOptionen) {
        std::string key(info.key);
        key[0] = static_cast<char>(key[0] | 0x20);
        datei += key + "=" + (info.defaultOn ? "0" : "$1") + "\r\n";
    }
    const Geladen g = laden(datei);
    for (const auto& info : kOptionen)
        EXPECT_EQ(g.einstellungen.optionen[info.index], !info.defaultOn);

    // A value that is no number, or a missing key, gives the option's default, not its state.
    Einstellungen alleAus;
    for (int i = 0; i < kOptionCount; ++i) alleAus.optionen.set(i, false);
    const Geladen h = laden("[Optionen]\r\nZU=ja\r\nKMA=\r\n", alleAus);
    EXPECT_EQ(h.einstellungen.optionen, Optionsmenge{});
}

TEST(IniLaden, FilterList) {
    Einstellungen fuenf;
    fuenf.filter = {".a", ".b", ".c", ".d", ".e"};
    const struct {
        const char* name;
        std::string datei;
        Einstellungen aktuell;
        std::vector<Text> filter;
    } faelle[] = {
        {"nur Stelle 0 ersetzt",
         "[Erweiterungen]\r\nAnzahl=1\r\n0=.php\r\n",
         {},
         {".php", ".shtm*"}},
        {"Reihenfolge der Datei",
         "[Erweiterungen]\r\nAnzahl=3\r\n0=.xml\r\n1=.asp\r\n2=.htm*\r\n",
         {},
         {".xml", ".asp", ".htm*"}},
        {"fehlender Eintrag wird leer",
         "[Erweiterungen]\r\nAnzahl=3\r\n0=.xml\r\n2=.htm*\r\n",
         {},
         {".xml", "", ".htm*"}},
        {"fehlende Eintraege am Ende",
         "[Erweiterungen]\r\nAnzahl=5\r\n0=.x\r\n1=.y\r\n2=.z\r\n",
         {},
         {".x", ".y", ".z", "", ""}},
        {"Eintraege dahinter bleiben",
         "[Erweiterungen]\r\nAnzahl=2\r\n0=.x\r\n1=.y\r\n",
         fuenf,
         {".x", ".y", ".c", ".d", ".e"}},
        {"Anzahl 0", "[Erweiterungen]\r\nAnzahl=0\r\n0=.x\r\n", {}, {".htm*", ".shtm*"}},
        {"Anzahl negativ", "[Erweiterungen]\r\nAnzahl=-3\r\n0=.x\r\n", {}, {".htm*", ".shtm*"}},
        {"Anzahl keine Zahl",
         "[Erweiterungen]\r\nAnzahl=drei\r\n0=.x\r\n",
         {},
         {".htm*", ".shtm*"}},
        {"Anzahl hexadezimal", "[Erweiterungen]\r\nAnzahl=$1\r\n0=.x\r\n", {}, {".x", ".shtm*"}},
        {"Werte wie gelesen",
         "[erweiterungen]\r\nanzahl= 2 \r\n0=  .a b  \r\n1=\".\xe4\"\r\n",
         {},
         {".a b", ".\xe4"}},
        {"ohne Abschnitt", "[Optionen]\r\nZU=1\r\n", {}, {".htm*", ".shtm*"}},
        {"Eintrag jenseits der Stellen",
         "[Erweiterungen]\r\nAnzahl=2000000000\r\n0=.x\r\n1999999999=.y\r\n",
         {},
         {".x", "", "", "", ""}},
        {"Eintrag hinter einer Luecke",
         "[Erweiterungen]\r\nAnzahl=6\r\n0=.x\r\n5=.y\r\n",
         {},
         {".x", "", "", "", "", ".y"}},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.name);
        EXPECT_EQ(laden(fall.datei, fall.aktuell).einstellungen.filter, fall.filter);
    }
}

TEST(IniLaden, Ersetzungstabelle) {
    Einstellungen fuenf;
    fuenf.tabelle = tabelle({{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}});
    const struct {
        const char* name;
        std::string datei;
        Einstellungen aktuell;
        Ersetzungstabelle erwartet;
    } faelle[] = {
        {"Zeilen der Datei",
         "[Replaces]\r\nAnzahl=2\r\n1=<b>\r\n1a=<strong>\r\n2=x\r\n2a=y\r\n",
         {},
         tabelle({{"<b>", "<strong>"}, {"x", "y"}})},
        {"fehlende Zellen leer",
         "[Replaces]\r\nAnzahl=3\r\n1=a\r\n3=c\r\n",
         {},
         tabelle({{"a", ""}, {"", ""}, {"c", ""}})},
        {"kuerzer als zuvor", "[Replaces]\r\nAnzahl=2\r\n1=x\r\n1a=y\r\n", fuenf,
         tabelle({{"x", "y"}, {"", ""}})},
        {"Anzahl 0 laesst die Tabelle", "[Replaces]\r\nAnzahl=0\r\n1=x\r\n", fuenf, fuenf.tabelle},
        {"ohne Abschnitt", "", fuenf, fuenf.tabelle},
        {"Anzahl negativ", "[Replaces]\r\nAnzahl=-1\r\n", fuenf, fuenf.tabelle},
        {"Zeile hinter einer Luecke",
         "[Replaces]\r\nAnzahl=9\r\n1=a\r\n7a=g\r\n",
         {},
         tabelle({{"a", ""}, {"", ""}, {"", ""}, {"", ""}, {"", ""}, {"", ""}, {"", "g"}})},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.name);
        EXPECT_EQ(laden(fall.datei, fall.aktuell).einstellungen.tabelle, fall.erwartet);
    }
}

TEST(IniLaden, AHugeAnzahlStaysWithinWhatTheFileHolds) {
    for (const char* anzahl : {"1000000000", "2147483647", "$7FFFFFFF"}) {
        SCOPED_TRACE(anzahl);
        const std::string datei = std::string("[Erweiterungen]\r\nAnzahl=") + anzahl +
                                  "\r\n0=.x\r\n3=.y\r\n[Replaces]\r\nAnzahl=" + anzahl +
                                  "\r\n1=a\r\n1a=b\r\n2=c\r\n";
        const Einstellungen e = laden(datei).einstellungen;
        // At most the current entries plus the section's keys.
        EXPECT_EQ(e.filter, (std::vector<Text>{".x", "", "", ".y", ""}));
        EXPECT_EQ(e.tabelle.anzahl(), 1 + 4);
        EXPECT_EQ(e.tabelle.zeile(1), (Ersetzung{"a", "b"}));
        EXPECT_EQ(e.tabelle.zeile(2), (Ersetzung{"c", ""}));
    }
}

TEST(IniLaden, WindowOnlyWhenGesetztIsJa) {
    const Fenster vorgabe;
    const struct {
        const char* name;
        std::string programm;
        bool setzen;
        Fenster fenster;
    } faelle[] = {
        {"Ja",
         "Gesetzt=Ja\r\nBreite=1000\r\nHoehe=700\r\nHorizontal=50\r\nVertikal=60",
         true,
         {50, 60, 1000, 700}},
        {"ja klein", "Gesetzt=ja\r\nBreite=1000\r\nHoehe=700", false, vorgabe},
        {"Nein", "Gesetzt=Nein\r\nBreite=1000\r\nHoehe=700", false, vorgabe},
        {"fehlt", "Breite=1000\r\nHoehe=700", false, vorgabe},
        {"in Anfuehrungszeichen",
         "Gesetzt=\"Ja\"\r\nBreite=800\r\nHoehe=600",
         true,
         {0, 0, 800, 600}},
        {"maximiert",
         "gesetzt=Ja\r\nBreite=1936\r\nHoehe=1056\r\nHorizontal=-8\r\nVertikal=-8",
         true,
         {0, 0, 1936, 1056}},
        {"Kanten unter 1",
         "Gesetzt=Ja\r\nHorizontal=0\r\nVertikal=-2147483648",
         true,
         {0, 0, 0, 0}},
        {"ohne Werte", "Gesetzt=Ja", true, {0, 0, 0, 0}},
        {"keine Zahlen", "Gesetzt=Ja\r\nBreite=breit\r\nHorizontal=$20", true, {32, 0, 0, 0}},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.name);
        const Geladen g = laden("[Programm]\r\n" + fall.programm + "\r\n");
        EXPECT_EQ(g.fensterSetzen, fall.setzen);
        EXPECT_EQ(g.einstellungen.fenster, fall.fenster);
    }
}

// --- Saving
// ---------------------------------------------------------------------------------------

// A UTF-8 file names each value that holds a character code page 1252 lacks; that value reads
// as missing, the others are read as UTF-8.
TEST(IniLaden, ValuesCodePage1252CannotHoldAreNamedByKey) {
    const Geladen g = laden(
        "\xEF\xBB\xBF; \xE2\x86\x92\r\n[Optionen]\r\nZU=\xE2\x88\x9E\r\n[Replaces]\r\nAnzahl=2\r\n"
        "1=\xC3\xA4\r\n1a=ae\r\n2=\xE2\x86\x92\r\n2a=\xF0\x9F\x98\x80\r\n[Fremd]\r\nx="
        "\xE2\x86\x92\r\n");
    EXPECT_EQ(g.fremd, (std::vector<FremderWert>{{"Optionen", "ZU", "\xE2\x88\x9E"},
                                                 {"Replaces", "2", "\xE2\x86\x92"},
                                                 {"Replaces", "2a", "\xF0\x9F\x98\x80"}}));
    EXPECT_TRUE(g.einstellungen.optionen[ZU]);
    EXPECT_EQ(g.einstellungen.tabelle.zeilen(), (std::vector<Ersetzung>{{"\xE4", "ae"}, {"", ""}}));
}

// A file too large to read counts as missing, the close leaves it as it is and "Speichern" says
// it cannot write it.
TEST(IniSpeichern, AFileTooLargeToReadIsNeverReplaced) {
    Ordner dir;
    const std::string pfad = dir / "q.ini";
    schreibeRoh(pfad, "[Optionen]\r\nZU=0\r\n");
    ASSERT_EQ(::truncate(pfad.c_str(), static_cast<off_t>(kIniGrenze)), 0);
    EXPECT_FALSE(einstellungenLesen(pfad, {}).einstellungen.optionen[ZU])
        << "at the limit it is read";
    ASSERT_EQ(::truncate(pfad.c_str(), static_cast<off_t>(kIniGrenze + 1)), 0);
    Einstellungen aktuell;
    aktuell.optionen.set(DL, false);
    const Geladen g = einstellungenLesen(pfad, aktuell);
    EXPECT_TRUE(g.zuGross);
    EXPECT_EQ(g.einstellungen, laden("", aktuell).einstellungen);
    Einstellungen beide = aktuell;
    beide.optionen.set(PES, true);
    beide.optionen.set(PEE, true);
    IniSpeichern(pfad, beide, "Teil");
    EXPECT_NE(test::fehlertext([&] { IniSpeichern(pfad, beide, "Alles"); }), "(kein Fehler)");
    struct stat st {};
    ASSERT_EQ(::stat(pfad.c_str(), &st), 0);
    EXPECT_EQ(static_cast<std::size_t>(st.st_size), kIniGrenze + 1);
    EXPECT_EQ(leseRoh(pfad).substr(0, 8), "[Optione");
}

TEST(IniSpeichern, NewFileWithEverything) {
    Ordner dir;
    const std::string pfad = dir / std::string(kIniName);
    IniSpeichern(pfad, Einstellungen{}, "Alles");
    EXPECT_EQ(leseRoh(pfad),
              "[Optionen]\r\nZU=1\r\nDZU=1\r\nDL=1\r\nLZT=1\r\nLIT=1\r\nTAB=1\r\nKMA=0\r\n"
              "KMM=0\r\nSZ=1\r\nSK=1\r\nDKS=1\r\nAE=1\r\nNOA=1\r\nOA=0\r\nPES=0\r\nPEE=0\r\n"
              "FPW=0\r\nOT=0\r\nHSB=1\r\nCSS=1\r\nJS=1\r\nATK=1\r\n\r\n"
              "[Erweiterungen]\r\nAnzahl=2\r\n0=.htm*\r\n1=.shtm*\r\n\r\n"
              "[Replaces]\r\nAnzahl=1\r\n1=\r\n1a=\r\n\r\n"
              "[Programm]\r\nGesetzt=Ja\r\nBreite=620\r\nHoehe=420\r\nHorizontal=241\r\n"
              "Vertikal=93\r\n");
}

TEST(IniSpeichern, RowsOfTheStoredTable) {
    // The file before: markers that show whether a part was rewritten.
    const std::string vorher =
        "[Optionen]\r\nZU=7\r\nOT=7\r\n[Erweiterungen]\r\nAnzahl=1\r\n0=.alt\r\n"
        "[Replaces]\r\nAnzahl=1\r\n1=alt\r\n1a=alt\r\n[Programm]\r\nGesetzt=?\r\nBreite=1\r\n";
    const struct {
        const char* argument;
        bool option16, option17;
        bool teileGeschrieben;
        const char* gesetzt;
    } faelle[] = {
        {"Alles", false, false, true, "Ja"}, {"Alles", true, true, true, "Ja"},
        {"Teil", true, true, true, "Ja"},    {"Teil", true, false, true, "Nein"},
        {"Teil", false, true, false, "Ja"},  {"Teil", false, false, false, "Nein"},
        {"alles", false, true, false, "Ja"},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(std::string(fall.argument) + " 16=" + std::to_string(fall.option16) +
                     " 17=" + std::to_string(fall.option17));
        Einstellungen e;
        e.optionen.set(PES, fall.option16);
        e.optionen.set(PEE, fall.option17);
        e.filter = {".neu"};
        e.tabelle = tabelle({{"neu", "neu"}});
        e.fenster = {11, 22, 800, 600};
        IniDatei ini(vorher);
        einstellungenEintragen(ini, e, fall.argument);
        EXPECT_EQ(ini.wert("Optionen", "ZU"), fall.teileGeschrieben ? "1" : "7");
        EXPECT_EQ(ini.wert("Optionen", "OT"), fall.teileGeschrieben ? "0" : "7");
        EXPECT_EQ(ini.wert("Optionen", "PES"),
                  fall.teileGeschrieben ? std::optional<std::string>(fall.option16 ? "1" : "0")
                                        : std::nullopt);
        EXPECT_EQ(ini.wert("Erweiterungen", "0"), fall.teileGeschrieben ? ".neu" : ".alt");
        EXPECT_EQ(ini.wert("Replaces", "1a"), fall.teileGeschrieben ? "neu" : "alt");
        EXPECT_EQ(ini.wert("Programm", "Gesetzt"), fall.gesetzt);
        EXPECT_EQ(ini.wert("Programm", "Breite"), "800");
        EXPECT_EQ(ini.wert("Programm", "Hoehe"), "600");
        EXPECT_EQ(ini.wert("Programm", "Horizontal"), "11");
        EXPECT_EQ(ini.wert("Programm", "Vertikal"), "22");
    }
}

TEST(IniSpeichern, ListSectionsAreEmptiedFirst) {
    IniDatei ini(
        "[Erweiterungen]\r\nAnzahl=4\r\n0=.a\r\n1=.b\r\n2=.c\r\n3=.d\r\n"
        "[Replaces]\r\nAnzahl=3\r\n1=a\r\n1a=b\r\n2=c\r\n2a=d\r\n3=e\r\n3a=f\r\n");
    einstellungenEintragen(ini, Einstellungen{}, "Alles");
    EXPECT_EQ(ini.wert("Erweiterungen", "2"), std::nullopt);
    EXPECT_EQ(ini.wert("Erweiterungen", "3"), std::nullopt);
    // The empty table is its placeholder row, stored like any other.
    EXPECT_EQ(ini.wert("Replaces", "Anzahl"), "1");
    EXPECT_EQ(ini.wert("Replaces", "1"), "");
    EXPECT_EQ(ini.wert("Replaces", "1a"), "");
    EXPECT_EQ(ini.wert("Replaces", "2"), std::nullopt);
}

TEST(IniSpeichern, ForeignContentStaysAndTwiceGivesTheSame) {
    Ordner dir;
    const std::string pfad = dir / std::string(kIniName);
    schreibeRoh(pfad,
                "; von Hand\n[Optionen]\nZU=0\nEigene=1\n; Notiz\n\n[Fremd]\nx=y\n"
                "[Replaces]\n; geht mit dem Abschnitt\nAnzahl=0\n");
    Einstellungen e;
    e.tabelle = tabelle({{"a", "b"}, {"c", "d"}});
    IniSpeichern(pfad, e, "Alles");
    const std::string einmal = leseRoh(pfad);
    IniSpeichern(pfad, e, "Alles");
    EXPECT_EQ(leseRoh(pfad), einmal);

    const IniDatei ini(einmal);
    EXPECT_EQ(ini.wert("Optionen", "Eigene"), "1");
    EXPECT_EQ(ini.wert("Fremd", "x"), "y");
    EXPECT_NE(einmal.find("; von Hand\r\n"), std::string::npos);
    EXPECT_NE(einmal.find("; Notiz\r\n"), std::string::npos);
    EXPECT_EQ(einmal.find("geht mit"), std::string::npos);
    EXPECT_EQ(umbruecheVereinheitlichen(einmal), einmal);  // CR LF throughout
}

TEST(IniSpeichern, RoundTrip) {
    Ordner dir;
    const std::string pfad = dir / std::string(kIniName);
    Einstellungen e;
    for (int i = 0; i < kOptionCount; ++i) e.optionen.set(i, i % 3 == 0);
    e.filter = {".xml", ".h\xe4m", ".htm*", ".xml"};
    e.tabelle = tabelle({{"<B>", "<b>"}, {"\x80", "&euro;"}, {"", ""}, {"a=b", "c;d"}});
    e.fenster = {0, 0, 1000, 700};
    IniSpeichern(pfad, e, "Alles");
    const Geladen g = einstellungenLesen(pfad, Einstellungen{});
    EXPECT_TRUE(g.fensterSetzen);
    EXPECT_EQ(g.einstellungen, e);
}

TEST(IniSpeichern, WhitespaceAndQuotesAreLost) {
    Ordner dir;
    const std::string pfad = dir / std::string(kIniName);
    Einstellungen e;
    e.tabelle = tabelle({{"  a  ", "\"b\""}, {"\tc", "'d'"}, {"x\r\ny", "z"}});
    IniSpeichern(pfad, e, "Alles");
    const Ersetzungstabelle t = einstellungenLesen(pfad, Einstellungen{}).einstellungen.tabelle;
    EXPECT_EQ(t, tabelle({{"a", "b"}, {"c", "d"}, {"x  y", "z"}}));
}

TEST(IniSpeichern, ProgramEndWithOnlyOneOfTheOptions) {
    Ordner dir;
    const std::string pfad = dir / std::string(kIniName);
    Einstellungen gespeichert;
    gespeichert.optionen.set(ZU, false);
    gespeichert.fenster = {50, 60, 1000, 700};
    IniSpeichern(pfad, gespeichert, "Alles");

    // Only option 16: options written, "Nein" keeps the built-in geometry at the next start.
    Einstellungen nur16 = gespeichert;
    nur16.optionen.set(PES, true);
    nur16.optionen.set(TAB, false);
    IniSpeichern(pfad, nur16, "Teil");
    Geladen g = einstellungenLesen(pfad, Einstellungen{});
    EXPECT_FALSE(g.einstellungen.optionen[TAB]);
    EXPECT_FALSE(g.fensterSetzen);
    EXPECT_EQ(g.einstellungen.fenster, Fenster{});

    // Only option 17: the stored options stay, the geometry is restored.
    Einstellungen nur17;
    nur17.optionen.set(PEE, true);
    nur17.fenster = {5, 6, 900, 500};
    IniSpeichern(pfad, nur17, "Teil");
    g = einstellungenLesen(pfad, Einstellungen{});
    EXPECT_FALSE(g.einstellungen.optionen[TAB]);
    EXPECT_FALSE(g.einstellungen.optionen[PEE]);
    EXPECT_TRUE(g.einstellungen.optionen[PES]);
    EXPECT_TRUE(g.fensterSetzen);
    EXPECT_EQ(g.einstellungen.fenster, (Fenster{5, 6, 900, 500}));
}

TEST(IniSpeichern, AnErrorNamesThePathAndLeavesTheFile) {
    Ordner dir;
    const std::string inOrdner = dir / "quintaro_optionen.ini";
    ::mkdir(inOrdner.c_str(), 0755);
    try {
        IniSpeichern(inOrdner, Einstellungen{}, "Alles");
        ADD_FAILURE() << "no error";
    } catch (const DateiFehler& e) {
        EXPECT_STREQ(e.what(), ("In " + inOrdner + " kann nicht geschrieben werden").c_str());
    }
    EXPECT_EQ(test::eintraege(dir.pfad()),
              (std::set<std::string>{".", "..", "quintaro_optionen.ini"}));
    EXPECT_EQ(test::eintraege(inOrdner), (std::set<std::string>{".", ".."}));
}

TEST(IniPfad, InTheProgramFolder) {
    EXPECT_EQ(iniPfad("/opt/quintaro"), "/opt/quintaro/quintaro_optionen.ini");
    EXPECT_EQ(iniPfad("/opt/quintaro/"), "/opt/quintaro/quintaro_optionen.ini");
    EXPECT_EQ(iniPfad(""), "quintaro_optionen.ini");
}

}  // namespace
}  // namespace quintaro
