// The window and its settings file: what a start applies, what "Speichern" and the close write,
// "Wiederherstellen", and a close that cannot write the file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "common/dateien.h"
#include "fakes.h"
#include "settings/ini.h"
#include "ui/option_list.h"
#include "ui/options_page.h"
#include "ui/replacement_editor.h"
#include "ui/tform1.h"

namespace quintaro::ui {
namespace {

using test::Box;
namespace platte = ::quintaro::test;

class Einstellungen : public ::testing::Test {
  protected:
    platte::Ordner dir;
    std::string ini = dir / "quintaro_optionen.ini";
    test::ScriptedDialoge dialoge;
    test::AufzeichnendeShell shell;
    test::SpeicherDateien dateien;
    std::unique_ptr<TForm1> f;

    void starten() {
        f = std::make_unique<TForm1>(dialoge, shell, dateien, QString::fromStdString(ini));
    }
    OptionList& optionen() const { return f->optionenSeite().optionen(); }
    QStringList filter() const {
        QStringList e;
        const QListWidget& l = *f->optionenSeite().dateifilterListbox();
        for (int i = 0; i < l.count(); ++i) e << l.item(i)->text();
        return e;
    }
};

TEST_F(Einstellungen, StartAppliesTheFileAsItStandsAndEndsOnTheSourcePage) {
    platte::schreibeRoh(ini,
                        "[optionen]\r\nkma=1\r\nKMM=1\r\nZU=0\r\n"
                        "[Erweiterungen]\r\nAnzahl=3\r\n0=.xml\r\n1=.asp\r\n2=.htm*\r\n"
                        "[Replaces]\r\nAnzahl=2\r\n1=\xe4\r\n1a=ae\r\n2=x\r\n"
                        "[Programm]\r\nGesetzt=Ja\r\nBreite=1000\r\nHoehe=700\r\nHorizontal=50\r\n"
                        "Vertikal=60\r\n");
    starten();
    EXPECT_TRUE(optionen().option(KMA) && optionen().option(KMM)) << "no interlocks";
    EXPECT_FALSE(optionen().option(ZU));
    EXPECT_EQ(filter(), (QStringList{".xml", ".asp", ".htm*"})) << "file order, not sorted";
    const Ersetzungstabelle& t = f->optionenSeite().ersetzung().tabelle();
    ASSERT_EQ(t.anzahl(), 2);
    EXPECT_EQ(t.zeile(1).suchtext, "\xe4");
    EXPECT_EQ(t.zeile(2).ersatztext, "");
    EXPECT_EQ(f->pos(), QPoint(50, 60));
    EXPECT_EQ(f->size(), QSize(1000, 700));
    EXPECT_EQ(f->seiten().aktiv(), Seite::Quelltext);
    EXPECT_TRUE(f->seiten().tabSichtbar(Seite::Quelltext));

    platte::schreibeRoh(ini,
                        "[Erweiterungen]\r\nAnzahl=1\r\n0=.php\r\n[Programm]\r\nGesetzt=Ja\r\n"
                        "Breite=300\r\nHorizontal=-8\r\nVertikal=-8\r\n");
    starten();
    EXPECT_EQ(filter(), (QStringList{".php", ".shtm*"}));
    EXPECT_EQ(f->pos(), QPoint(0, 0));
    EXPECT_EQ(f->size(), QSize(620, 420));
    EXPECT_TRUE(dialoge.boxen.empty());
}

struct Speicherfall {
    const char* name;
    bool pes, pee;
    bool speichernKnopf;  // "Speichern" instead of the close
    const char* gesetzt;  // nullptr: no file written
    bool optionenGeschrieben;
};

TEST_F(Einstellungen, SpeichernAndTheCloseWriteWhatOptions16And17Select) {
    const Speicherfall faelle[] = {
        {"Speichern", false, false, true, "Ja", true},
        {"close, 16 and 17", true, true, false, "Ja", true},
        {"close, 16", true, false, false, "Nein", true},
        {"close, 17", false, true, false, "Ja", false},
        {"close, neither", false, false, false, nullptr, false},
    };
    for (const auto& fall : faelle) {
        ::unlink(ini.c_str());
        starten();
        optionen().setzeOption(PES, fall.pes);
        optionen().setzeOption(PEE, fall.pee);
        f->move(70, 80);
        if (fall.speichernKnopf) {
            f->optionenSeite().bitBtn6()->click();
        } else {
            f->close();
        }
        const IniDatei datei = IniDatei::laden(ini);
        EXPECT_EQ(datei.wert("Programm", "Gesetzt"),
                  fall.gesetzt ? std::optional<std::string>(fall.gesetzt) : std::nullopt)
            << fall.name;
        EXPECT_EQ(datei.wert("Optionen", "PES").has_value(), fall.optionenGeschrieben) << fall.name;
        EXPECT_EQ(datei.wert("Erweiterungen", "1"),
                  fall.optionenGeschrieben ? std::optional<std::string>(".shtm*") : std::nullopt)
            << fall.name;
        if (fall.gesetzt) {
            EXPECT_EQ(datei.wert("Programm", "Horizontal"), "70") << fall.name;
        }
    }
    EXPECT_TRUE(dialoge.boxen.empty());
}

TEST_F(Einstellungen, WiederherstellenAsksAndOnJaReloadsEndingOnTheSourcePage) {
    starten();
    platte::schreibeRoh(ini, "[Optionen]\r\nZU=0\r\n[Erweiterungen]\r\nAnzahl=1\r\n0=.asp\r\n");
    f->Seitenwechsel(Sender::Optionen1);
    ReplacementEditor& ersetzung = f->optionenSeite().ersetzung();
    ersetzung.ErsetzungStringGridDblClick();
    ASSERT_TRUE(ersetzung.BearbeiteteZeile().has_value());

    dialoge.antworten = {Antwort::Nein};
    f->optionenSeite().bitBtn5()->click();
    EXPECT_TRUE(optionen().option(ZU));
    EXPECT_EQ(f->seiten().aktiv(), Seite::Optionen);
    EXPECT_TRUE(ersetzung.BearbeiteteZeile().has_value());

    dialoge.antworten = {Antwort::Ja};
    f->optionenSeite().bitBtn5()->click();
    EXPECT_EQ(
        dialoge.texte(Box::Frage),
        std::vector<QString>(2, QStringLiteral("Soll die aktuelle Konfiguration ersetzt werden?")));
    EXPECT_FALSE(optionen().option(ZU));
    EXPECT_EQ(filter(), (QStringList{".asp", ".shtm*"}));
    EXPECT_FALSE(ersetzung.BearbeiteteZeile().has_value());
    EXPECT_EQ(f->seiten().aktiv(), Seite::Quelltext);
}

// A folder that cannot be written, for root too: the settings file's folder is a plain file.
TEST_F(Einstellungen, CloseThatCannotWriteKeepsTheWindowOpen) {
    platte::schreibeRoh(dir / "ordner", "");
    ini = dir / "ordner/quintaro_optionen.ini";
    starten();
    f->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.get()));
    optionen().setzeOption(PEE, true);
    f->findChild<QAction*>(QStringLiteral("Beenden"))->trigger();
    EXPECT_EQ(dialoge.texte(Box::Fehler), std::vector<QString>{QString::fromStdString(
                                              "In " + ini + " kann nicht geschrieben werden")});
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(f->seiten().tabSichtbar(Seite::Quelltext));

    optionen().setzeOption(PEE, false);
    EXPECT_TRUE(f->close());
    EXPECT_FALSE(f->isVisible());
}

}  // namespace
}  // namespace quintaro::ui
