// The window's documents: open, reload, save, save as, close and the batch marker's load and
// save with files in memory; the byte round trip, the capacity and failed saves on disk; the
// file-type filter list.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <csignal>
#include <memory>

#include "common/dateien.h"
#include "fakes.h"
#include "ui/editor_adapter.h"
#include "ui/option_list.h"
#include "ui/options_page.h"
#include "ui/source_page.h"
#include "ui/tform1.h"

namespace quintaro::ui {
namespace {

using test::Box;
namespace platte = ::quintaro::test;

const QString kGeaendert = QStringLiteral(
    "Der aktuelle Quelltext wurde verändert.\r\n\r\nSoll der Quelltext gespeichert werden?");
const std::string kVorschau = "/w/" + std::string(kVorschauName);
const QString kGespeichert = QStringLiteral("Die Datei wurde gespeichert.");

struct Fenster {
    test::ScriptedDialoge dialoge;
    test::AufzeichnendeShell shell;
    std::unique_ptr<TForm1> f;

    explicit Fenster(Dateioperationen& dateien, const QString& ini = QStringLiteral("/x/q.ini")) {
        f = std::make_unique<TForm1>(dialoge, shell, dateien, ini);
    }
    ~Fenster() { EXPECT_TRUE(dialoge.antworten.empty()) << "answers left over"; }
    void oeffnen(const char* pfad) {
        dialoge.naechsteDatei = QString::fromUtf8(pfad);
        f->Dateiladen(Sender::ButtonOeffnen);
    }
    QString titel() const { return f->seiten().titel(Seite::Quelltext); }
    QString original() const { return f->quelltextSeite().originalGroesse(); }
    QString optimiert() const { return f->quelltextSeite().optimiertGroesse(); }
    Seite seite() const { return f->seiten().aktiv(); }
};

class Dokument : public ::testing::Test {
  protected:
    test::SpeicherDateien dateien;
    Fenster w{dateien};
    void SetUp() override { dateien.dateien = {{"/w/a.htm", "a\nb"}, {"/w/b.html", "bb"}}; }
    void editiert(const Text& t) {
        w.f->editor().setText(t);
        ASSERT_TRUE(w.f->Bearbeitungsstatus());
    }
};

TEST_F(Dokument, OpenSetsTheDocumentStateAndDeletesThePreview) {
    w.oeffnen("/w/b.html");
    w.dialoge.antworten = {Antwort::Nein};  // the run's offer to show the page
    w.f->Optimierung(Sender::OptimierenButton);
    ASSERT_TRUE(dateien.existiert(kVorschau));
    ASSERT_EQ(w.optimiert(), QStringLiteral("2"));
    w.f->Seitenwechsel(Sender::Optionen1);
    w.dialoge.antworten = {Antwort::Nein};  // discard the optimised text
    w.oeffnen("/w/a.htm");
    EXPECT_EQ(w.f->editor().text(), Text("a\r\nb"));
    EXPECT_FALSE(w.f->Bearbeitungsstatus()) << "filling the editor is no change";
    EXPECT_EQ(w.f->AktuelleDatei(), "/w/a.htm");
    EXPECT_EQ(w.titel(), QStringLiteral("/w/a.htm"));
    EXPECT_EQ(w.original(), QStringLiteral("3")) << "the file's size, not the editor's";
    EXPECT_EQ(w.optimiert(), QStringLiteral("/"));
    const QStringList webUndAlle{QStringLiteral("Webdokumente (*.htm* *.shtm*)"),
                                 QStringLiteral("Alle Dateien (*)")};
    EXPECT_EQ(w.dialoge.dialogFilter, webUndAlle);
    EXPECT_EQ(w.seite(), Seite::Quelltext);
    EXPECT_TRUE(w.f->seiten().tabSichtbar(Seite::Quelltext));
    EXPECT_FALSE(dateien.existiert(kVorschau));
}

TEST_F(Dokument, CancelledOpenKeepsTheTextAndTheLastDialogDecidesThePageOfAReload) {
    w.f->Dateiladen(Sender::ToolbarErneutOeffnen);
    EXPECT_EQ(w.dialoge.texte(Box::Meldung),
              std::vector<QString>{QStringLiteral("Bitte laden Sie zuerst eine Datei")});
    w.oeffnen("/w/a.htm");
    w.f->Seitenwechsel(Sender::Optionen1);
    w.f->Dateiladen(Sender::ButtonErneutOeffnen);
    EXPECT_EQ(w.seite(), Seite::Quelltext) << "the last dialog confirmed a file";

    w.f->Seitenwechsel(Sender::Optionen1);
    w.oeffnen("");  // cancelled
    EXPECT_EQ(w.f->editor().text(), Text("a\r\nb"));
    EXPECT_EQ(w.f->AktuelleDatei(), "/w/a.htm");
    EXPECT_EQ(w.seite(), Seite::Optionen);
    dateien.dateien["/w/a.htm"] = "neu";
    w.f->Dateiladen(Sender::ToolbarErneutOeffnen);
    EXPECT_EQ(w.f->editor().text(), Text("neu")) << "reload reads the path from the caption";
    EXPECT_EQ(w.seite(), Seite::Optionen);
}

struct Antwortfall {
    Antwort antwort;
    int dialoge;  // open dialogs shown
    const char* text;
    bool geaendert;
};

TEST_F(Dokument, ChangeQuestionBeforeALoad) {
    const Antwortfall faelle[] = {
        {Antwort::Ja, 0, "edit", true},
        {Antwort::Abbrechen, 0, "edit", true},
        {Antwort::Nein, 1, "edit", false},  // then the dialog is cancelled
    };
    for (const auto& fall : faelle) {
        Fenster v{dateien};
        v.f->editor().setText("edit");
        v.dialoge.antworten = {fall.antwort};
        v.oeffnen("");
        EXPECT_EQ(v.dialoge.texte(Box::Frage), std::vector<QString>{kGeaendert});
        EXPECT_EQ(v.dialoge.boxen[0].knoepfe, Knoepfe::JaNeinAbbrechen);
        EXPECT_EQ(v.dialoge.dateidialoge, fall.dialoge);
        EXPECT_EQ(v.f->editor().text(), Text(fall.text));
        EXPECT_EQ(v.f->Bearbeitungsstatus(), fall.geaendert);
        EXPECT_EQ(v.optimiert(), QStringLiteral("/"));
    }
}

TEST_F(Dokument, SaveAndSaveAs) {
    w.f->editor().setText("");
    w.f->Dateispeichern(Sender::Speichern1);
    EXPECT_EQ(w.dialoge.texte(Box::Meldung),
              std::vector<QString>{QStringLiteral(
                  "Es ist kein Quelltext vorhanden, der gespeichert werden könnte.")});

    editiert("getippt");
    w.dialoge.boxen.clear();
    w.f->Dateispeichern(Sender::ButtonSpeichern);
    ASSERT_EQ(w.dialoge.texte(Box::Fehler).size(), 1u) << "no document file";
    EXPECT_TRUE(w.f->Bearbeitungsstatus());

    w.dialoge.naechsteDatei = QStringLiteral("/w/neu.htm");
    w.f->Dateispeichern(Sender::Speichernunter1);
    EXPECT_EQ(w.dialoge.dialogFilter, QStringList{QStringLiteral("Alle Dateien (*)")});
    EXPECT_EQ(w.dialoge.dialogVorschlag, QString());
    EXPECT_EQ(dateien.dateien["/w/neu.htm"], "getippt");
    EXPECT_EQ(w.titel(), QStringLiteral("/w/neu.htm"));
    EXPECT_EQ(w.dialoge.texte(Box::Meldung).back(), kGespeichert);
    EXPECT_FALSE(w.f->Bearbeitungsstatus());

    w.oeffnen("/w/b.html");
    editiert("x\r\ny");
    w.dialoge.naechsteDatei.clear();
    w.f->Dateispeichern(Sender::ButtonSpeichernunter);
    EXPECT_EQ(w.dialoge.dialogFilter,
              (QStringList{QStringLiteral(".html (*.html)"), QStringLiteral("Alle Dateien (*)")}));
    EXPECT_EQ(w.dialoge.dialogVorschlag, QStringLiteral("/w/b.html"));
    EXPECT_EQ(w.dialoge.dialogEndung, QStringLiteral(".html"));
    EXPECT_EQ(dateien.dateien["/w/b.html"], "bb") << "cancelled";
    EXPECT_TRUE(w.f->Bearbeitungsstatus());
    w.f->Dateispeichern(Sender::Speichern1);
    EXPECT_EQ(dateien.dateien["/w/b.html"], "x\r\ny");
}

TEST_F(Dokument, CloseAsksOnlyAboutChangesAndKeepsTheCaptionForAReload) {
    w.oeffnen("/w/a.htm");
    editiert("geaendert");
    w.dialoge.antworten = {Antwort::Nein};
    w.f->Schlieen1Click(Sender::Schlieen1);
    EXPECT_EQ(w.f->editor().text(), Text("geaendert"));
    w.dialoge.antworten = {Antwort::Ja};
    w.f->Schlieen1Click(Sender::Schlieen1);
    EXPECT_EQ(
        w.dialoge.texte(Box::Frage),
        std::vector<QString>(
            2, QStringLiteral("Möchten Sie die Änderungen am aktuellen Dokument verwerfen?")));
    EXPECT_TRUE(w.f->editor().istLeer());
    EXPECT_FALSE(w.f->Bearbeitungsstatus());
    EXPECT_TRUE(w.f->AktuelleDatei().empty());
    EXPECT_EQ(w.original(), QStringLiteral("/"));
    EXPECT_EQ(w.titel(), QStringLiteral("/w/a.htm"));
    w.f->Dateiladen(Sender::ButtonErneutOeffnen);
    w.f->Schlieen1Click(Sender::Schlieen1);  // unchanged: no question
    EXPECT_EQ(w.dialoge.boxen.size(), 2u);
    EXPECT_TRUE(w.f->editor().istLeer());
}

TEST_F(Dokument, BatchMarkerLoadsWithoutQuestionsAndLetsFileErrorsThrough) {
    w.oeffnen("/w/Neu.HTM");  // missing: the error box, nothing changes
    EXPECT_EQ(w.dialoge.texte(Box::Fehler),
              std::vector<QString>{QStringLiteral(
                  "Datei /w/Neu.HTM kann nicht geöffnet werden. No such file or directory")});
    dateien.dateien["/w/Neu.HTM"] = "<p>x</p>";
    w.oeffnen("/w/Neu.HTM");
    editiert("ungesichert");
    w.f->Seitenwechsel(Sender::Stapelverarbeitung1);
    w.f->Dateiladen(Sender::DateienOptimieren);
    EXPECT_EQ(w.f->editor().text(), Text("<p>x</p>"));
    EXPECT_EQ(w.seite(), Seite::Dateiliste);
    w.f->optionenSeite().optionen().setzeOption(DKS, true);
    w.f->Optimierung(Sender::DateienOptimieren);
    EXPECT_EQ(dateien.dateien.count("/w/Neu.HTM"), 0u) << "option 13 renamed it";
    EXPECT_EQ(dateien.dateien["/w/neu.htm"], "<p>x</p>");
    EXPECT_EQ(dateien.dateien["/w/Neu.HTM.bak"], "<p>x</p>");

    dateien.gesperrt.insert("/w/neu.htm");
    EXPECT_THROW(w.f->Dateispeichern(Sender::DateienOptimieren), DateiFehler);
    dateien.dateien.erase("/w/neu.htm");
    EXPECT_THROW(w.f->Dateiladen(Sender::DateienOptimieren), DateiFehler);
    EXPECT_EQ(w.dialoge.texte(Box::Fehler).size(), 1u) << "only the first open's error";
    EXPECT_TRUE(w.dialoge.texte(Box::Frage).empty());
}

// --- real files -------------------------------------------------------------------------------

TEST(DokumentAufPlatte, AllByteValuesSurviveOpenSaveAndReopen) {
    platte::Ordner dir;
    Text alle;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n') alle.push_back(static_cast<char>(b));
    }
    alle += "\r\nEnde";
    platte::schreibeRoh(dir / "alle.htm", alle);
    LokaleDateien dateien;
    Fenster w{dateien};
    w.oeffnen((dir / "alle.htm").c_str());
    w.f->Dateispeichern(Sender::ButtonSpeichern);
    EXPECT_EQ(platte::leseRoh(dir / "alle.htm"), alle);
    w.f->Dateiladen(Sender::ButtonErneutOeffnen);
    EXPECT_EQ(w.f->editor().text(), alle);
    EXPECT_EQ(w.original(), QString::number(alle.size()));
}

TEST(DokumentAufPlatte, TextBeyondTheCapacityLeavesTheEditorAsItWas) {
    platte::Ordner dir;
    platte::schreibeRoh(dir / "gross.htm", "12345\n7");
    LokaleDateien dateien;
    Fenster w{dateien};
    w.f->setzeMemoKapazitaet(8);  // "12345\r\n7" fits, a text one byte longer does not
    w.oeffnen((dir / "gross.htm").c_str());
    EXPECT_EQ(w.f->editor().text(), Text("12345\r\n7"));
    platte::schreibeRoh(dir / "gross.htm", "12345\n78");
    w.oeffnen((dir / "gross.htm").c_str());
    EXPECT_EQ(w.dialoge.texte(Box::Fehler),
              std::vector<QString>{QStringLiteral("Text überschreitet Memo-Kapazität")});
    EXPECT_EQ(w.f->editor().text(), Text("12345\r\n7"));
}

// A save that fails loses nothing: the folder vanished, or the write stops midway at the
// file-size limit.
TEST(DokumentAufPlatte, FailedSavesKeepTheFileAndLeaveNoTemporaryFile) {
    platte::Ordner dir;
    const std::string alt(4096, 'a');
    platte::schreibeRoh(dir / "s.htm", alt);
    LokaleDateien dateien;
    Fenster w{dateien};
    w.oeffnen((dir / "s.htm").c_str());
    w.f->editor().setText(Text(100000, 'b'));

    rlimit vorher{};
    ::getrlimit(RLIMIT_FSIZE, &vorher);
    rlimit klein = vorher;
    klein.rlim_cur = 1000;
    const auto signal = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &klein), 0);
    w.f->Dateispeichern(Sender::ButtonSpeichern);
    ::setrlimit(RLIMIT_FSIZE, &vorher);
    std::signal(SIGXFSZ, signal);

    ASSERT_EQ(w.dialoge.texte(Box::Fehler).size(), 1u);
    EXPECT_EQ(w.dialoge.texte(Box::Fehler)[0],
              QString::fromStdString("Datei \"" + (dir / "s.htm") +
                                     "\" kann nicht erstellt werden. File too large"));
    EXPECT_TRUE(w.f->Bearbeitungsstatus());
    EXPECT_EQ(platte::leseRoh(dir / "s.htm"), alt);
    EXPECT_EQ(dir.namen(), std::set<std::string>{"s.htm"});

    w.dialoge.naechsteDatei = QString::fromStdString(dir / "weg/s.htm");
    w.f->Dateispeichern(Sender::ButtonSpeichernunter);
    EXPECT_EQ(w.dialoge.texte(Box::Fehler).size(), 2u);
    EXPECT_EQ(dir.namen(), std::set<std::string>{"s.htm"});
}

// --- the file-type filter list ----------------------------------------------------------------

class Filterliste : public Dokument {
  protected:
    QListWidget& liste() const { return *w.f->optionenSeite().dateifilterListbox(); }
    QLineEdit& edit() const { return *w.f->optionenSeite().labeledEdit1(); }
    QStringList eintraege() const {
        QStringList e;
        for (int i = 0; i < liste().count(); ++i) e << liste().item(i)->text();
        return e;
    }
    void hinzufuegen(const QString& text) {
        edit().setText(text);
        w.f->optionenSeite().bitBtn1()->click();
    }
    QString muster() {
        w.f->DateifilterSetzen();
        return w.f->openDialog1Filter().constFirst();
    }
};

TEST_F(Filterliste, AddingSortsIgnoringCaseKeepsDuplicatesAndRejectsForbiddenCharacters) {
    hinzufuegen(QStringLiteral("PHP"));
    EXPECT_EQ(edit().text(), QStringLiteral(".PHP"));
    hinzufuegen(QStringLiteral(".asp"));
    hinzufuegen(QStringLiteral(".htm*"));
    hinzufuegen(QStringLiteral("a|b"));
    EXPECT_EQ(edit().text(), QStringLiteral(".a|b")) << "the dot, but not added";
    hinzufuegen(QString());
    EXPECT_EQ(eintraege(), (QStringList{".asp", ".htm*", ".htm*", ".PHP", ".shtm*"}));
    EXPECT_EQ(muster(), QStringLiteral("Webdokumente (*.asp *.htm* *.htm* *.PHP *.shtm*)"));
    EXPECT_EQ(liste().sizeHintForRow(0), 13);
}

TEST_F(Filterliste, RemovingSelectsTheLastEntryAndOneEntryGivesTheFixedPattern) {
    w.f->Seitenwechsel(Sender::Optionen1);
    w.f->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.f.get()));
    liste().clearSelection();
    edit().setText(QStringLiteral("x"));
    w.f->DateifilterListboxKeyDown(Qt::Key_Delete);
    EXPECT_EQ(eintraege().size(), 2) << "nothing selected, nothing removed";
    EXPECT_EQ(liste().selectedItems(), QList<QListWidgetItem*>{liste().item(1)});
    liste().setCurrentRow(0);
    QTest::mouseDClick(liste().viewport(), Qt::LeftButton, {},
                       liste().visualItemRect(liste().item(0)).center());
    EXPECT_EQ(edit().text(), QStringLiteral(".htm*"));
    w.f->optionenSeite().bitBtn2()->click();
    EXPECT_EQ(eintraege(), QStringList{".shtm*"});
    EXPECT_TRUE(edit().text().isEmpty());
    EXPECT_EQ(muster(), QStringLiteral("Webdokumente (*.htm*)"));
    liste().setFocus();
    QTest::keyClick(&liste(), Qt::Key_Delete, Qt::ShiftModifier);
    QTest::keyClick(&liste(), Qt::Key_Delete);
    EXPECT_EQ(liste().count(), 0);
    w.f->optionenSeite().bitBtn2()->click();
    EXPECT_EQ(muster(), QStringLiteral("Webdokumente (*.htm*)"));
}

}  // namespace
}  // namespace quintaro::ui
