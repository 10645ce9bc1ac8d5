// The window and its settings file: what a start applies, what "Speichern" and the close write,
// "Wiederherstellen", and a close that cannot write the file.
#include <gtest/gtest.h>

#include <QAction>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <memory>

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "common/dateien.h"
#include "fakes.h"
#include "settings/ini.h"
#include "ui/ersetzungseditor.h"
#include "ui/optionen_listbox.h"
#include "ui/optionen_seite.h"
#include "ui/tform1.h"

using namespace Qt::StringLiterals;

namespace quintaro::ui {
namespace {

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
    OptionenListbox& optionen() const { return f->optionenSeite().optionenListbox(); }
    QStringList filter() const {
        QStringList e;
        const QListWidget& l = *f->optionenSeite().DateifilterListbox();
        for (int i = 0; i < l.count(); ++i) e << l.item(i)->text();
        return e;
    }
};

TEST_F(Einstellungen, StartAppliesTheFileAsItStands) {
    platte::schreibeRoh(ini,
                        "[optionen]\r\nkma=1\r\nKMM=1\r\nZU=0\r\n"
                        "[Erweiterungen]\r\nAnzahl=2\r\n0=.xml\r\n1=.asp\r\n"
                        "[Replaces]\r\nAnzahl=2\r\n1=\xe4\r\n1a=ae\r\n"
                        "[Programm]\r\nGesetzt=Ja\r\nBreite=300\r\nHoehe=700\r\nHorizontal=-8\r\n");
    starten();
    EXPECT_TRUE(optionen().option(KMA) && optionen().option(KMM)) << "no interlocks";
    EXPECT_FALSE(optionen().option(ZU));
    EXPECT_EQ(filter(), (QStringList{u".xml"_s, u".asp"_s})) << "by position, not sorted";
    const Ersetzungstabelle& t = f->optionenSeite().ersetzungseditor().tabelle();
    EXPECT_EQ(t.zeilen(), (std::vector<Ersetzung>{{"\xe4", "ae"}, {"", ""}}));
    EXPECT_EQ(f->pos(), QPoint(0, 0));
    const int hoehe = QGuiApplication::primaryScreen()->availableGeometry().height();
    EXPECT_EQ(f->size(), QSize(620, std::min(700, hoehe)));
    EXPECT_EQ(f->seiten().aktiv(), Seite::Quelltext);
}

struct Speicherfall {
    bool pes, pee, knopf;  // knopf: "Speichern" instead of the close
    const char* gesetzt;   // nullptr: no file
};

// A stored geometry beyond the screens is brought onto them; the minimum size still applies.
TEST_F(Einstellungen, HugeGeometryIsClampedToTheScreens) {
    const QRect platz = QGuiApplication::primaryScreen()->availableGeometry();
    platte::schreibeRoh(ini,
                        "[Programm]\r\nGesetzt=Ja\r\nBreite=2147483647\r\nHoehe=2147483647\r\n"
                        "Horizontal=2147483647\r\nVertikal=2147483647\r\n");
    starten();
    EXPECT_EQ(f->frameGeometry().size(),
              QSize(std::max(620, platz.width()), std::max(420, platz.height())));
    EXPECT_TRUE(platz.contains(f->frameGeometry()) || platz.width() < 620 || platz.height() < 420);
}

TEST_F(Einstellungen, SpeichernAndTheCloseWriteWhatOptions16And17Select) {
    const Speicherfall faelle[] = {{false, false, true, "Ja"},
                                   {true, true, false, "Ja"},
                                   {true, false, false, "Nein"},
                                   {false, true, false, "Ja"},
                                   {false, false, false, nullptr}};
    for (const auto& fall : faelle) {
        ::unlink(ini.c_str());
        starten();
        optionen().setzeOption(PES, fall.pes);
        optionen().setzeOption(PEE, fall.pee);
        f->move(70, 80);
        if (fall.knopf) {
            f->optionenSeite().BitBtn6()->click();
        } else {
            f->close();
        }
        const IniDatei datei = IniDatei::laden(ini);
        const bool alles = fall.knopf || fall.pes;
        EXPECT_EQ(datei.wert("Programm", "Gesetzt").value_or("-"),
                  fall.gesetzt ? fall.gesetzt : "-");
        EXPECT_EQ(datei.wert("Erweiterungen", "1").value_or("-"), alles ? ".shtm*" : "-");
        EXPECT_EQ(datei.wert("Programm", "Vertikal").value_or("-"), fall.gesetzt ? "80" : "-");
    }
    EXPECT_TRUE(dialoge.boxen.empty());
}

TEST_F(Einstellungen, WiederherstellenReloadsOnlyOnJaAndEndsAPendingRow) {
    starten();
    platte::schreibeRoh(ini, "[Optionen]\r\nZU=0\r\n");
    f->Seitenwechsel(Sender::Optionen1);
    Ersetzungseditor& ersetzung = f->optionenSeite().ersetzungseditor();
    ersetzung.ErsetzungStringGridDblClick();
    dialoge.antworten = {Antwort::Nein};
    f->optionenSeite().BitBtn5()->click();
    EXPECT_TRUE(optionen().option(ZU));
    EXPECT_TRUE(ersetzung.BearbeiteteZeile().has_value());
    EXPECT_EQ(f->seiten().aktiv(), Seite::Optionen);
    dialoge.antworten = {Antwort::Ja};
    f->optionenSeite().BitBtn5()->click();
    EXPECT_EQ(dialoge.boxen.back().text, u"Soll die aktuelle Konfiguration ersetzt werden?"_s);
    EXPECT_FALSE(optionen().option(ZU));
    EXPECT_FALSE(ersetzung.BearbeiteteZeile().has_value());
    EXPECT_EQ(f->seiten().aktiv(), Seite::Quelltext);
}

// A settings file that cannot be read whole is named in a message at the start: one above the
// limit gives the defaults and is not saved over at the close; of a UTF-8 file with characters
// code page 1252 lacks, each such value is named by key and the rest is read.
TEST_F(Einstellungen, AFileNotReadWholeIsNamedAndATooLargeOneKept) {
    platte::schreibeRoh(ini, "[Optionen]\r\nZU=0\r\n");
    ASSERT_EQ(::truncate(ini.c_str(), static_cast<off_t>(kIniGrenze + 1)), 0);
    starten();
    ASSERT_EQ(dialoge.texte(test::Box::Meldung).size(), 1u);
    EXPECT_TRUE(dialoge.texte(test::Box::Meldung)[0].contains(QString::fromStdString(ini)));
    EXPECT_TRUE(optionen().option(ZU));
    optionen().setzeOption(PES, true);
    optionen().setzeOption(PEE, true);
    EXPECT_TRUE(f->close());
    EXPECT_TRUE(dialoge.texte(test::Box::Fehler).empty());
    EXPECT_EQ(QFileInfo(QString::fromStdString(ini)).size(), static_cast<qint64>(kIniGrenze + 1));

    dialoge.boxen.clear();
    platte::schreibeRoh(ini,
                        "\xEF\xBB\xBF[Optionen]\r\nZU=0\r\n[Replaces]\r\nAnzahl=2\r\n1=\xC3\xA4\r\n"
                        "2=\xE2\x86\x92\r\n");
    starten();
    ASSERT_EQ(dialoge.texte(test::Box::Meldung).size(), 1u);
    EXPECT_TRUE(dialoge.texte(test::Box::Meldung)[0].contains(u"[Replaces] 2: \u2192"_s));
    EXPECT_FALSE(optionen().option(ZU));
    EXPECT_EQ(f->optionenSeite().ersetzungseditor().tabelle().zeilen(),
              (std::vector<Ersetzung>{{"\xE4", ""}, {"", ""}}));
}

// A folder that cannot be written, by root too: the settings file's folder is a plain file.
TEST_F(Einstellungen, CloseThatCannotWriteKeepsTheWindowOpen) {
    platte::schreibeRoh(dir / "ordner", "");
    ini = dir / "ordner/quintaro_optionen.ini";
    starten();
    f->show();
    optionen().setzeOption(PEE, true);
    f->findChild<QAction*>(QStringLiteral("Beenden"))->trigger();
    EXPECT_EQ(dialoge.texte(test::Box::Fehler),
              std::vector<QString>{
                  QString::fromStdString("In " + ini + " kann nicht geschrieben werden")});
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(f->seiten().tabSichtbar(Seite::Quelltext)) << "\"Beenden\" had hidden it";
    optionen().setzeOption(PEE, false);
    EXPECT_TRUE(f->close());
}

}  // namespace
}  // namespace quintaro::ui
