// The INI module against hand-written files: reading rules, numbers, edits that keep the rest of
// the file, and saves that fail without harming the old file.
#include "settings/ini.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <random>
#include <set>

#include "common/dateien.h"
#include "engine/dateifehler.h"
#include "engine/text.h"
#include "engine/utf8.h"

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

// --- Against a plain model --------------------------------------------------------------------

// The file as a list of lines in its own encoding, searched from the top on every call: slow, and
// plain enough to judge the reader's pieces and indexes.
struct Schlicht {
    static constexpr std::size_t npos = std::string::npos;
    bool bom;
    bool utf8 = false;
    std::vector<std::string> z;

    explicit Schlicht(std::string_view b) : bom(b.substr(0, 3) == "\xEF\xBB\xBF") {
        if (bom) b.remove_prefix(3);
        utf8 = bom || (std::any_of(b.begin(), b.end(), [](char c) { return c & 0x80; }) &&
                       utf8::wohlgeformt(b));
        for (std::size_t a = 0; a < b.size();) {
            const auto e = std::min(b.find_first_of("\r\n", a), b.size());
            z.emplace_back(b.substr(a, e - a));
            a = e + (b.substr(e, 2) == "\r\n" ? 2 : 1);
        }
    }
    static std::string rand(std::string_view s) {
        const auto a = s.find_first_not_of(" \t");
        return a == npos ? "" : std::string(s.substr(a, s.find_last_not_of(" \t") - a + 1));
    }
    static std::string falten(std::string s) {
        for (char& c : s) {
            const auto b = static_cast<unsigned char>(c);
            if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) c = char(b + 32);
            if (b == 0x8A || b == 0x8C || b == 0x8E) c = char(b + 16);
            if (b == 0x9F) c = char(0xFF);
        }
        return s;
    }
    std::optional<std::string> lesbar(std::size_t i) const {
        return utf8 ? utf8NachCp1252Verlustfrei(z[i]) : z[i];
    }
    // "[name" for a section line, "=key" for a key line (folded), "" for any other.
    std::string art(std::size_t i) const {
        const std::string l = rand(lesbar(i).value_or(z[i]));
        if (!l.empty() && l[0] == '[') return "[" + falten(rand(l.substr(1, l.find(']') - 1)));
        return l.find('=') == npos ? "" : "=" + falten(rand(l.substr(0, l.find('='))));
    }
    std::size_t kopf(std::string_view a) const {
        for (std::size_t i = 0; i < z.size(); ++i) {
            if (art(i) == "[" + falten(rand(a))) return i;
        }
        return npos;
    }
    std::size_t ende(std::size_t k) const {
        while (++k < z.size() && art(k).rfind('[', 0) != 0) {
        }
        return k;
    }
    // The key lines of the first section of that name ("*": of any key), the first one first.
    std::vector<std::size_t> treffer(std::string_view a, std::string_view k) const {
        std::vector<std::size_t> t;
        const auto kp = kopf(a);
        for (std::size_t i = kp + 1, e = kp == npos ? 0 : ende(kp); i < e; ++i) {
            if (art(i).rfind('=', 0) == 0 && (k == "*" || art(i) == "=" + falten(rand(k)))) {
                t.push_back(i);
            }
        }
        return t;
    }
    std::optional<std::string> wert(std::string_view a, std::string_view k) const {
        const auto t = treffer(a, k);
        if (t.empty() || !lesbar(t[0])) return std::nullopt;
        const std::string l = *lesbar(t[0]);
        std::string v = rand(l.substr(l.find('=') + 1));
        if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) {
            v = v.substr(1, v.size() - 2);
        }
        return v.substr(0, kIniWertLaenge);
    }
    std::size_t anzahl(std::string_view a) const {
        std::set<std::string> keys;
        for (const auto i : treffer(a, "*")) keys.insert(art(i));
        return keys.size();
    }
    void schreibe(std::string_view a, std::string_view k, std::string w) {
        std::replace_if(
            w.begin(), w.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
        const auto kodiert = [&](const std::string& cp) { return utf8 ? cp1252NachUtf8(cp) : cp; };
        if (kopf(a) == npos) {
            if (!z.empty() && !rand(z.back()).empty()) z.emplace_back();
            z.push_back(kodiert("[" + rand(a) + "]"));
        }
        if (const auto t = treffer(a, k); !t.empty()) {
            const std::string alt = lesbar(t[0]).value_or("");
            z[t[0]] =
                kodiert((alt.empty() ? rand(k) : rand(alt.substr(0, alt.find('=')))) + "=" + w);
            return;
        }
        std::size_t pos = ende(kopf(a));
        while (pos > kopf(a) + 1 && rand(z[pos - 1]).empty()) --pos;
        z.insert(z.begin() + static_cast<std::ptrdiff_t>(pos), kodiert(rand(k) + "=" + w));
    }
    // Every section of that name goes; with `ersterBleibt` the first keeps its header and its
    // trailing blank lines.
    void entfernen(std::string_view a, bool ersterBleibt) {
        const auto erster = kopf(a);
        for (std::size_t k = z.size(); k-- > 0;) {
            if (art(k) != "[" + falten(rand(a))) continue;
            std::size_t von = k;
            std::size_t bis = ende(k);
            if (k == erster && ersterBleibt) {
                while (bis > k + 1 && rand(z[bis - 1]).empty()) --bis;
                von = k + 1;
            }
            z.erase(z.begin() + static_cast<std::ptrdiff_t>(von),
                    z.begin() + static_cast<std::ptrdiff_t>(bis));
        }
    }
    std::string inhalt() const {
        std::string text = utf8 && bom ? "\xEF\xBB\xBF" : "";
        for (const auto& zeile : z) text += zeile + "\r\n";
        return text;
    }
};

// Random files in code page 1252 and UTF-8, with or without a byte-order mark, characters that
// code page lacks, stray bytes and every kind of line end, edited at random: the reader and the
// model agree on every value, every count and every byte written back.
TEST(IniDatei, AgreesWithAPlainModel) {
    const std::vector<std::string> zeilen = {"[A]",
                                             "[a]",
                                             " [ B ] ;x",
                                             "[\xC4]",
                                             "[\xC3\x84]",
                                             "[C",
                                             "[Neu]",
                                             "k=v",
                                             " K = 'w' ",
                                             "1=x",
                                             "1a=\"q\"",
                                             "k==",
                                             "=e",
                                             "\xFC=u",
                                             "\xC3\xBC=\xC3\xA4",
                                             "",
                                             "  ",
                                             ";c",
                                             "ohne",
                                             "\t",
                                             "2=\xE2\x86\x92",
                                             "; \xE2\x86\x92",
                                             "k=\xFF",
                                             "e=\xE4\x80",
                                             "2=\xC2\x80"};
    const std::vector<std::string> abschnitte = {"A", "a", "B", "\xC4", "\xE4", "C", "Neu", "X"};
    const std::vector<std::string> keys = {"k", "K", "1", "1a", "", "\xFC", "e", "2", "neu"};
    const std::vector<std::string> werte = {"", "x", "\xE4\x80", " y ", "a\r\nb", "\"q\""};
    const std::vector<std::string> enden = {"\r\n", "\n", "\r"};
    std::mt19937 rng(17);
    auto eins = [&](const auto& liste) { return liste[rng() % liste.size()]; };
    for (int runde = 0; runde < 600; ++runde) {
        std::string datei = rng() % 3 == 0 ? "\xEF\xBB\xBF" : "";
        for (int n = static_cast<int>(rng() % 24); n > 0; --n) {
            datei += eins(zeilen) + (n > 1 || rng() % 2 ? eins(enden) : "");
        }
        SCOPED_TRACE(testing::PrintToString(datei));
        IniDatei ini(datei);
        Schlicht modell(datei);
        ASSERT_EQ(ini.utf8(), modell.utf8);
        for (int schritt = 0; schritt < 8; ++schritt) {
            ASSERT_EQ(ini.inhalt(), modell.inhalt()) << "step " << schritt;
            for (const auto& a : abschnitte) {
                ASSERT_EQ(ini.schluesselAnzahl(a), modell.anzahl(a)) << a;
                for (const auto& k : keys) {
                    const auto t = modell.treffer(a, k);
                    ASSERT_EQ(ini.wert(a, k), modell.wert(a, k)) << a << "/" << k;
                    ASSERT_EQ(ini.fremdesZeichen(a, k).has_value(),
                              !t.empty() && !modell.lesbar(t[0]));
                }
            }
            const std::string a = eins(abschnitte);
            const auto wahl = rng() % 5;
            if (wahl == 0) ini.abschnittLeeren(a);
            if (wahl == 1) ini.abschnittLoeschen(a);
            if (wahl < 2) modell.entfernen(a, wahl == 0);
            if (wahl >= 2) {
                const std::string k = eins(keys);
                const std::string w = eins(werte);
                ini.schreibeText(a, k, w);
                modell.schreibe(a, k, w);
            }
        }
    }
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

// A settings file edited in a UTF-8 editor is read as UTF-8 and written back as it came.
TEST(IniDateiLaden, AUtf8FileIsReadAsUtf8) {
    const struct {
        const char* name;
        std::string datei;
        bool utf8;
    } faelle[] = {
        {"mit BOM", "\xEF\xBB\xBF[A]\r\nk=\xC3\xA4\xE2\x82\xAC\r\n", true},
        {"ohne BOM", "[A]\r\nk=\xC3\xA4\xE2\x82\xAC\r\n", true},
        {"Code page 1252", "[A]\r\nk=\xE4\x80\r\n", false},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.name);
        Ordner dir;
        const std::string pfad = dir / "q.ini";
        schreibeRoh(pfad, fall.datei);
        IniDatei ini = IniDatei::laden(pfad);
        EXPECT_EQ(ini.utf8(), fall.utf8);
        EXPECT_EQ(ini.wert("A", "k"), "\xE4\x80");
        ini.speichern(pfad);
        EXPECT_EQ(leseRoh(pfad), fall.datei);
    }
}

// The kernel holds the reader to a few times the file: a settings file at the limit made of
// blank lines took some 34 bytes a line (550 MB) before.
TEST(IniDateiLaden, MemoryStaysWithinAFewTimesTheFile) {
#if defined(__SANITIZE_ADDRESS__) || defined(__has_feature)
#if defined(__SANITIZE_ADDRESS__) || __has_feature(address_sanitizer)
    GTEST_SKIP() << "the sanitizer's shadow memory counts as data";
#endif
#endif
    Ordner dir;
    const std::string pfad = dir / "q.ini";
    schreibeRoh(pfad, "[A]\r\n" + std::string(kIniGrenze - 16, '\n') + "k=v\r\n");
    const int code = test::imKind([&] {
        rlimit grenze{};
        ::getrlimit(RLIMIT_DATA, &grenze);
        // What the process uses now, from its data segment size in /proc.
        std::ifstream status("/proc/self/status");
        std::string zeile;
        rlim_t jetzt = 0;
        while (std::getline(status, zeile)) {
            if (zeile.rfind("VmData:", 0) == 0) jetzt = std::stoull(zeile.substr(7)) * 1024;
        }
        if (jetzt == 0) return 3;
        grenze.rlim_cur = jetzt + 4 * kIniGrenze;
        if (::setrlimit(RLIMIT_DATA, &grenze) != 0) return 4;
        const IniDatei ini = IniDatei::laden(pfad);
        return ini.wert("a", "K") == "v" ? 0 : 1;
    });
    EXPECT_EQ(code, 0);
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
