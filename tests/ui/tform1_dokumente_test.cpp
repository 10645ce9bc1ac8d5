// The window's documents with files in memory (questions, page switch, batch marker) and on disk
// (byte round trip, capacity, a failed save), and the file-type filter list.
#include <gtest/gtest.h>

#include <QApplication>

#include <sys/resource.h>

#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <csignal>
#include <deque>
#include <memory>

#include "common/dateien.h"
#include "document/dokument.h"
#include "engine/ersetzungstabelle.h"
#include "fakes.h"
#include "ui/ersetzungseditor.h"
#include "ui/optionen_listbox.h"
#include "ui/optionen_seite.h"
#include "ui/quelltext_memo.h"
#include "ui/quelltext_seite.h"
#include "ui/tform1.h"

using namespace Qt::StringLiterals;

namespace quintaro::ui {
namespace {

using test::Box;
namespace platte = ::quintaro::test;

struct Fenster {
    test::ScriptedDialoge dialoge;
    test::AufzeichnendeShell shell;
    std::unique_ptr<TForm1> f;

    explicit Fenster(Dateien& d) {
        f = std::make_unique<TForm1>(dialoge, shell, d, QStringLiteral("/x/q.ini"));
    }
    ~Fenster() { EXPECT_TRUE(dialoge.antworten.empty()) << "answers left over"; }
    void oeffnen(const std::string& pfad, Sender s = Sender::ButtonOeffnen) {
        dialoge.naechsteDatei = QString::fromStdString(pfad);
        f->Dateiladen(s);
    }
    QString titel() const { return f->seiten().titel(Seite::Quelltext); }
    Seite seite() const { return f->seiten().aktiv(); }
    Text text() const { return f->quelltextMemo().text(); }
};

class Dokument : public ::testing::Test {
  protected:
    test::SpeicherDateien dateien;
    Fenster w{dateien};
    void SetUp() override { dateien.dateien = {{"/w/a.htm", "a\nb"}, {"/w/B.HTML", "bb"}}; }
};

TEST_F(Dokument, OpenCancelReloadAndThePageSwitchOfTheLastDialog) {
    w.f->Dateiladen(Sender::ToolbarErneutOeffnen);
    EXPECT_EQ(w.dialoge.texte(Box::Meldung),
              std::vector<QString>{u"Bitte laden Sie zuerst eine Datei"_s});
    w.f->Seitenwechsel(Sender::Optionen1);
    w.oeffnen("/w/a.htm");
    EXPECT_EQ(w.text(), Text("a\r\nb"));
    EXPECT_FALSE(w.f->Bearbeitungsstatus());
    EXPECT_EQ(w.f->AktuelleDatei(), "/w/a.htm");
    EXPECT_EQ(w.titel(), QStringLiteral("/w/a.htm"));
    EXPECT_EQ(w.f->quelltextSeite().originalGroesse(), QStringLiteral("3")) << "the file's size";
    EXPECT_EQ(w.seite(), Seite::Quelltext);

    w.f->Seitenwechsel(Sender::Optionen1);
    dateien.dateien["/w/a.htm"] = "neu";
    w.oeffnen("");  // cancelled: nothing changes, and no later reload switches the page
    EXPECT_EQ(w.text(), Text("a\r\nb"));
    w.f->Dateiladen(Sender::ButtonErneutOeffnen);
    EXPECT_EQ(w.text(), Text("neu")) << "the path comes from the caption";
    EXPECT_EQ(w.seite(), Seite::Optionen);
}

TEST_F(Dokument, ChangeQuestionStopsOnJaAndAbbrechenAndLoadsAfreshOnNein) {
    w.oeffnen("/w/B.HTML");
    w.dialoge.antworten = {Antwort::Nein};  // the run's offer to show the page
    w.f->Optimierung(Sender::OptimierenButton);
    const std::string vorschau = "/w/" + std::string(kVorschauName);
    ASSERT_TRUE(dateien.existiert(vorschau));
    for (Antwort a : {Antwort::Ja, Antwort::Abbrechen, Antwort::Nein}) {
        w.dialoge.antworten = {a};
        w.oeffnen("/w/a.htm");
        EXPECT_EQ(w.dialoge.boxen.back().text,
                  u"Der aktuelle Quelltext wurde verändert.\r\n\r\nSoll der Quelltext gespeichert "
                  "werden?"_s);
        EXPECT_EQ(w.dialoge.boxen.back().knoepfe, Knoepfe::JaNeinAbbrechen);
        EXPECT_EQ(w.text(), Text(a == Antwort::Nein ? "a\r\nb" : "bb"));
        EXPECT_EQ(dateien.existiert(vorschau), a != Antwort::Nein);
    }
    EXPECT_EQ(w.f->quelltextSeite().optimiertGroesse(), QStringLiteral("/"));
}

TEST_F(Dokument, SaveAsProposesTheDocumentAndCloseKeepsTheCaption) {
    w.f->Dateispeichern(Sender::Speichern1);
    EXPECT_EQ(w.dialoge.texte(Box::Meldung).back(),
              u"Es ist kein Quelltext vorhanden, der gespeichert werden könnte."_s);
    w.oeffnen("/w/B.HTML");
    w.f->quelltextMemo().setText("x\r\ny");
    w.dialoge.naechsteDatei = QStringLiteral("/w/c.htm");
    w.f->Dateispeichern(Sender::ButtonSpeichernunter);
    EXPECT_EQ(w.dialoge.dialogFilter, (QStringList{u".HTML (*.HTML)"_s, u"Alle Dateien (*)"_s}));
    EXPECT_EQ(w.dialoge.dialogVorschlag, QStringLiteral("/w/B.HTML"));
    EXPECT_EQ(w.dialoge.dialogEndung, QStringLiteral(".HTML"));
    EXPECT_EQ(dateien.dateien["/w/c.htm"], "x\r\ny");
    EXPECT_EQ(w.titel(), QStringLiteral("/w/c.htm"));
    EXPECT_EQ(w.dialoge.texte(Box::Meldung).back(), u"Die Datei wurde gespeichert."_s);

    w.f->quelltextMemo().setText("z");
    w.dialoge.antworten = {Antwort::Nein, Antwort::Ja};
    w.f->Schlieen1Click(Sender::Schlieen1);
    EXPECT_EQ(w.text(), Text("z"));
    w.f->Schlieen1Click(Sender::Schlieen1);
    EXPECT_TRUE(w.f->quelltextMemo().hatKeinenText() && !w.f->Bearbeitungsstatus());
    EXPECT_TRUE(w.f->AktuelleDatei().empty());
    EXPECT_EQ(w.titel(), QStringLiteral("/w/c.htm"));
    w.f->Dateispeichern(Sender::ButtonSpeichern);  // no text: the message, no write
    w.f->quelltextMemo().setText("getippt");
    w.f->Dateispeichern(Sender::ButtonSpeichern);
    EXPECT_EQ(w.dialoge.texte(Box::Fehler).size(), 1u) << "no document file";
    EXPECT_TRUE(w.f->Bearbeitungsstatus());
}

// DKS where letter case counts: until a save gives the file its lowercase name, the document is
// the loaded file (shown, reloaded), and the save renames it instead of writing a second file.
// "Speichern unter" onto an existing file asks first: Nein goes back to the dialog, Ja replaces.
TEST_F(Dokument, SaveAsOntoAnExistingFileAsksAndNeinChoosesAgain) {
    w.oeffnen("/w/a.htm");
    w.dialoge.naechsteDateien = {u"/w/B.HTML"_s, u"/w/B.HTML"_s, u"/w/neu.htm"_s};
    w.dialoge.antworten = {Antwort::Nein, Antwort::Ja};
    w.f->Dateispeichern(Sender::Speichernunter1);
    EXPECT_EQ(dateien.dateien["/w/B.HTML"], Text("a\r\nb"));
    EXPECT_EQ(w.f->AktuelleDatei(), "/w/B.HTML");
    ASSERT_EQ(w.dialoge.texte(Box::Frage).size(), 2U);
    EXPECT_TRUE(w.dialoge.texte(Box::Frage)[0].contains(u"\"/w/B.HTML\""_s));
    EXPECT_EQ(w.dialoge.dialogVorschlag, u"/w/B.HTML"_s) << "the dialog again, on the name";
    EXPECT_EQ(w.dialoge.dateidialoge, 3) << "open, save as, save as again";

    // A new name asks nothing; cancelling the dialog after Nein saves nothing.
    w.dialoge.naechsteDateien = {u"/w/neu.htm"_s};
    w.f->Dateispeichern(Sender::ButtonSpeichernunter);
    EXPECT_EQ(dateien.dateien["/w/neu.htm"], Text("a\r\nb"));
    dateien.dateien["/w/a.htm"] = "alt";
    w.dialoge.naechsteDateien = {u"/w/a.htm"_s, QString()};
    w.dialoge.antworten = {Antwort::Nein};
    w.f->Dateispeichern(Sender::ButtonSpeichernunter);
    EXPECT_EQ(dateien.dateien["/w/a.htm"], Text("alt"));
    EXPECT_EQ(w.f->AktuelleDatei(), "/w/neu.htm");
}

// The open dialog starts in the loaded page's folder, else where it was last confirmed.
TEST_F(Dokument, OpenDialogStartsInThePagesFolder) {
    dateien.dateien["/w/unter/c.htm"] = "c";
    w.oeffnen("/w/unter/c.htm");
    EXPECT_EQ(w.dialoge.dialogOrdner, QString());
    w.oeffnen("");
    EXPECT_EQ(w.dialoge.dialogOrdner, u"/w/unter"_s);
    w.f->Schlieen1Click(Sender::Schlieen1);
    w.oeffnen("/w/a.htm");
    EXPECT_EQ(w.dialoge.dialogOrdner, u"/w/unter"_s) << "no page: the last choice's folder";
    w.oeffnen("");
    EXPECT_EQ(w.dialoge.dialogOrdner, u"/w"_s);
}

TEST_F(Dokument, AfterDksTheLoadedFileStaysTheDocumentUntilTheSaveRenamesIt) {
    for (int i = 0; i < kOptionCount; ++i)
        w.f->optionenSeite().optionenListbox().setzeOption(i, i == DKS);
    w.oeffnen("/w/B.HTML");
    w.f->Optimierung(Sender::OptimierenButton);
    EXPECT_EQ(w.f->AktuelleDatei(), "/w/b.html");
    w.f->OriginalAnzeigen(Sender::AnsichtOriginalButton);
    EXPECT_EQ(w.shell.geoeffnet, QStringList{QStringLiteral("/w/B.HTML")});
    w.dialoge.antworten = {Antwort::Nein};  // the run's changes are dropped
    w.f->Dateiladen(Sender::ButtonErneutOeffnen);
    EXPECT_EQ(w.text(), Text("bb"));
    w.f->quelltextMemo().setText("neu");
    w.f->Dateispeichern(Sender::ButtonSpeichern);
    EXPECT_EQ(dateien.dateien.count("/w/B.HTML"), 0u);
    EXPECT_EQ(dateien.dateien["/w/b.html"], "neu");
    EXPECT_EQ(w.dialoge.texte(Box::Fehler), std::vector<QString>{});
    EXPECT_EQ(w.dialoge.texte(Box::Meldung),
              std::vector<QString>{QStringLiteral("Die Datei wurde gespeichert.")});
}

// A table that would grow the text past the editor's capacity: the error, the editor unchanged.
TEST_F(Dokument, ARunOutgrowingTheCapacityKeepsTheEditor) {
    for (int i = 0; i < kOptionCount; ++i)
        w.f->optionenSeite().optionenListbox().setzeOption(i, i == AE);
    Ersetzungstabelle t;
    t.setzeZeile(1, {"a", std::string(100, 'x')});
    w.f->optionenSeite().ersetzungseditor().setzeTabelle(t);
    w.f->setzeMemoKapazitaet(50);
    w.oeffnen("/w/a.htm");
    w.f->Optimierung(Sender::OptimierenButton);
    EXPECT_EQ(w.dialoge.texte(Box::Fehler),
              std::vector<QString>{QStringLiteral("Text überschreitet Memo-Kapazität")});
    EXPECT_EQ(w.text(), Text("a\r\nb"));
    EXPECT_EQ(dateien.dateien.count("/w/" + std::string(kVorschauName)), 0u);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// --- The document's encoding ----------------------------------------------------------------

void tippe(QWidget* ziel, const QString& zeichen) {
    for (const QChar c : zeichen) {
        QKeyEvent druck(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(ziel, &druck);
    }
}

TEST_F(Dokument, Utf8PageShownRunAndSavedAsUtf8AndTheChoiceOnlyReReads) {
    // Declared, since the stray byte would make the rule read it as code page 1252.
    const Text seite = "<meta charset=utf-8><p>M\xC3\xBCller \xE2\x82\xAC\xFF</p>";
    dateien.dateien["/w/u.htm"] = seite;
    QuelltextSeite& s = w.f->quelltextSeite();
    auto gezeigt = [&] { return w.f->quelltextMemo().widget()->text(); };
    w.oeffnen("/w/u.htm");
    EXPECT_TRUE(
        gezeigt().startsWith(QString::fromUtf8("<meta charset=utf-8><p>M\u00FCller \u20AC")))
        << gezeigt().toStdString();
    EXPECT_EQ(s.kodierungText(), QStringLiteral("Gelesen als: UTF-8"));

    // Windows-1252 for this document: the same bytes shown otherwise, nothing changed.
    s.kodierungAuswahl()->setCurrentIndex(1);
    EXPECT_TRUE(
        gezeigt().endsWith(QString::fromUtf8("<p>M\u00C3\u00BCller \u00E2\u201A\u00AC\u00FF</p>")))
        << gezeigt().toStdString();
    EXPECT_EQ(s.kodierungText(), QStringLiteral("Gelesen als: Windows-1252"));
    EXPECT_EQ(w.text(), seite);
    EXPECT_FALSE(w.f->Bearbeitungsstatus());
    w.f->Dateiladen(Sender::ButtonErneutOeffnen);  // the same document keeps the choice
    EXPECT_EQ(s.kodierungAuswahl()->currentIndex(), 1);

    s.kodierungAuswahl()->setCurrentIndex(0);
    w.dialoge.antworten = {Antwort::Nein};  // the offer to show the page
    w.f->Optimierung(Sender::OptimierenButton);
    // ATK leaves out the page's last </p>.
    EXPECT_EQ(w.text(), "<meta charset=utf-8><p>M&uuml;ller &euro;\xFF");
    w.f->Dateispeichern(Sender::ButtonSpeichern);
    EXPECT_EQ(dateien.dateien[w.f->AktuelleDatei()],
              "<meta charset=utf-8><p>M&uuml;ller &euro;\xFF");

    // Another document: the rule decides again.
    s.kodierungAuswahl()->setCurrentIndex(2);
    w.oeffnen("/w/B.HTML");
    EXPECT_EQ(s.kodierungAuswahl()->currentIndex(), 0);
    EXPECT_EQ(s.kodierungText(), QStringLiteral("Gelesen als: Windows-1252"));
}

TEST_F(Dokument, Utf8PageWithEveryByteValueIsSavedAsLoaded) {
    Text seite = "<meta charset=utf-8>\r\n\xC3\xA4\xE2\x82\xAC\xED\xA0\x80\xC0\xBC";
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n') seite.push_back(static_cast<char>(b));
    }
    dateien.dateien["/w/u.htm"] = seite;
    w.oeffnen("/w/u.htm");
    EXPECT_EQ(w.f->quelltextMemo().kodierung(), Kodierung::Utf8);
    w.f->Dateispeichern(Sender::ButtonSpeichern);
    EXPECT_TRUE(dateien.dateien["/w/u.htm"] == seite);
}

TEST_F(Dokument, TypedTextWithoutDocumentIsCodePage1252UnlessUtf8IsPicked) {
    dateien.dateien["/w/u.htm"] = "\xC3\xA4";
    w.oeffnen("/w/u.htm");
    w.f->Schlieen1Click(Sender::Schlieen1);
    QuelltextSeite& s = w.f->quelltextSeite();
    EXPECT_EQ(s.kodierungText(), QStringLiteral("Gelesen als: Windows-1252"));
    tippe(w.f->quelltextMemo().widget(), QString::fromUtf8("\u00C3\u00A4"));
    EXPECT_EQ(w.text(), Text("\xC3\xA4"));
    s.kodierungAuswahl()->setCurrentIndex(0);  // Automatisch without a document: still 1252
    EXPECT_EQ(s.kodierungText(), QStringLiteral("Gelesen als: Windows-1252"));

    s.kodierungAuswahl()->setCurrentIndex(2);
    EXPECT_EQ(w.text(), Text("\xC3\xA4")) << "the same bytes, now read as UTF-8";
    w.f->quelltextMemo().widget()->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    tippe(w.f->quelltextMemo().widget(), QString::fromUtf8("\u20AC"));
    EXPECT_EQ(w.text(), Text("\xC3\xA4\xE2\x82\xAC"));
}

// Characters the page's code page lacks are named before a save, and the page is saved as UTF-8
// (declared so only if the user agrees) or not at all: never with a '?' for them.
TEST_F(Dokument, CharactersTheCodePageLacksAreSavedAsUtf8OrNotAtAll) {
    struct Fall {
        const char* name;
        Text seite;
        std::deque<Antwort> antworten;
        Text gespeichert;  // empty: the file stays as it was
    };
    const Text getippt = "\xE2\x86\x92\xCE\xB1\xE2\x82\xAC";  // typed: "→α€"
    const Text angabe = "<head><meta charset=\"windows-1252\"><title>K\xF6ln</title></head>";
    const Fall faelle[] = {
        {"Nein saves nothing", angabe, {Antwort::Nein}, ""},
        {"Ja, then Abbrechen saves nothing", angabe, {Antwort::Ja, Antwort::Abbrechen}, ""},
        {"Ja, Ja changes the declaration",
         angabe,
         {Antwort::Ja, Antwort::Ja},
         "<head><meta charset=\"utf-8\"><title>K\xC3\xB6ln</title></head>" + getippt},
        {"Ja, Nein adds no declaration",
         "<p>K\xF6ln</p>",
         {Antwort::Ja, Antwort::Nein},
         "<p>K\xC3\xB6ln</p>" + getippt},
        {"Ja, Ja adds one",
         "<p>x</p>",
         {Antwort::Ja, Antwort::Ja},
         "<meta charset=\"utf-8\"><p>x</p>" + getippt},
        {"another code page's letters cannot become UTF-8",
         "<meta charset=cp1254><p>\xFD</p>",
         {},
         ""},
    };
    for (const Fall& fall : faelle) {
        SCOPED_TRACE(fall.name);
        dateien.dateien["/w/k.htm"] = fall.seite;
        // Unsaved edits of the row before go at this load.
        if (w.f->Bearbeitungsstatus()) w.dialoge.antworten = {Antwort::Nein};
        w.oeffnen("/w/k.htm");
        w.dialoge.boxen.clear();
        w.f->quelltextMemo().widget()->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
        tippe(w.f->quelltextMemo().widget(), QString::fromUtf8(getippt));
        w.dialoge.antworten = fall.antworten;
        w.f->Dateispeichern(Sender::ButtonSpeichern);

        ASSERT_FALSE(w.dialoge.boxen.empty());
        const QString& erste = w.dialoge.boxen.front().text;
        EXPECT_TRUE(erste.contains(u"\u201E\u2192\u201C \u201E\u03B1\u201C"_s))
            << erste.toStdString();
        EXPECT_FALSE(erste.contains(u"\u20AC"_s)) << "the euro sign is in the code page";
        const bool gespeichert = !fall.gespeichert.empty();
        EXPECT_EQ(dateien.dateien["/w/k.htm"], gespeichert ? fall.gespeichert : fall.seite);
        EXPECT_EQ(w.f->Bearbeitungsstatus(), !gespeichert);
        const auto meldungen = w.dialoge.texte(Box::Meldung);
        EXPECT_EQ(!meldungen.empty() && meldungen.back() == u"Die Datei wurde gespeichert."_s,
                  gespeichert);
        if (gespeichert) {
            EXPECT_EQ(w.text(), fall.gespeichert) << "the editor holds what was saved";
            w.f->Dateiladen(Sender::ButtonErneutOeffnen);
            EXPECT_EQ(w.text(), fall.gespeichert) << "and reads it back as UTF-8";
            EXPECT_EQ(w.f->quelltextSeite().kodierungText(), u"Gelesen als: UTF-8"_s);
        }
    }
}

TEST(DokumentAufPlatte, AllByteValuesRoundTripAndTheCapacityKeepsTheEditor) {
    platte::Ordner dir;
    Text alle = "\r\n";
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n') alle.push_back(static_cast<char>(b));
    }
    platte::schreibeRoh(dir / "s.htm", alle);
    LokaleDateien dateien;
    Fenster w{dateien};
    w.oeffnen(dir / "s.htm");
    w.f->Dateispeichern(Sender::ButtonSpeichern);
    EXPECT_EQ(platte::leseRoh(dir / "s.htm"), alle);
    w.f->setzeMemoKapazitaet(alle.size() - 1);
    w.f->Dateiladen(Sender::ButtonErneutOeffnen);
    EXPECT_EQ(w.dialoge.texte(Box::Fehler),
              std::vector<QString>{u"Text überschreitet Memo-Kapazität"_s});
    EXPECT_EQ(w.text(), alle);
}

// The write stops midway at the file-size limit: the old file stays, no temporary file is left.
TEST(DokumentAufPlatte, FailedSaveKeepsTheFile) {
    platte::Ordner dir;
    const std::string alt(4096, 'a');
    platte::schreibeRoh(dir / "s.htm", alt);
    LokaleDateien dateien;
    Fenster w{dateien};
    w.oeffnen(dir / "s.htm");
    w.f->quelltextMemo().setText(Text(100000, 'b'));
    {
        const platte::Dateigrenze grenze(1000);
        ASSERT_TRUE(grenze.gesetzt());
        w.f->Dateispeichern(Sender::ButtonSpeichern);
    }
    EXPECT_EQ(w.dialoge.texte(Box::Fehler),
              std::vector<QString>{QString::fromStdString(
                  "Datei \"" + (dir / "s.htm") + "\" kann nicht erstellt werden. Datei zu groß")});
    EXPECT_TRUE(w.f->Bearbeitungsstatus());
    EXPECT_EQ(platte::leseRoh(dir / "s.htm"), alt);
    EXPECT_EQ(dir.namen(), std::set<std::string>{"s.htm"});
}

// A page named on the command line ends as the same page chosen in the open dialog: loaded, or
// the load's error box over the empty window. A relative name counts from the working folder.
TEST(StartDatei, EndsAsTheOpenDialogsChoice) {
    platte::Ordner dir;
    platte::schreibeRoh(dir / "a.htm", "a\nb");
    ::mkdir((dir / "ordner.htm").c_str(), 0755);
    const QString vorher = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(dir.pfad())));
    for (const std::string name : {"a.htm", "fehlt.htm", "ordner.htm"}) {
        LokaleDateien dateien;
        Fenster start{dateien};
        Fenster dialog{dateien};
        start.f->Seitenwechsel(Sender::Optionen1);
        dialog.f->Seitenwechsel(Sender::Optionen1);
        start.f->dateiOeffnen(QString::fromStdString(name));
        dialog.oeffnen(dir / name);
        EXPECT_EQ(start.dialoge.boxen.size(), dialog.dialoge.boxen.size()) << name;
        EXPECT_EQ(start.dialoge.texte(Box::Fehler), dialog.dialoge.texte(Box::Fehler)) << name;
        EXPECT_EQ(start.text(), dialog.text()) << name;
        EXPECT_EQ(start.titel(), dialog.titel()) << name;
        EXPECT_EQ(start.seite(), dialog.seite()) << name;
        EXPECT_EQ(start.f->AktuelleDatei(), dialog.f->AktuelleDatei()) << name;
        const bool geladen = name == "a.htm";
        EXPECT_EQ(start.dialoge.texte(Box::Fehler).size(), geladen ? 0u : 1u) << name;
        EXPECT_EQ(start.text(), geladen ? Text("a\r\nb") : Text()) << name;
        EXPECT_EQ(start.titel(), geladen ? QString::fromStdString(dir / name) : kKeineDatei);
    }
    QDir::setCurrent(vorher);
}

TEST_F(Dokument, FilterListSortsIgnoringCaseAndFeedsTheOpenDialog) {
    QListWidget& liste = *w.f->optionenSeite().DateifilterListbox();
    QLineEdit& edit = *w.f->optionenSeite().LabeledEdit1();
    auto muster = [&] {
        w.f->DateifilterSetzen();
        return w.f->openDialog1Filter().constFirst();
    };
    for (const char* t : {"PHP", ".asp", ".htm*", "a|b", ""}) {
        edit.setText(QString::fromUtf8(t));
        w.f->optionenSeite().BitBtn1()->click();
    }
    EXPECT_EQ(edit.text(), QStringLiteral("")) << "an empty edit adds nothing";
    EXPECT_EQ(muster(), u"Webdokumente (*.asp *.htm* *.htm* *.PHP *.shtm*)"_s) << "no .a|b";
    EXPECT_EQ(liste.sizeHintForRow(0), 13);

    liste.clearSelection();
    w.f->DateifilterListboxKeyDown(Qt::Key_Delete);  // nothing selected: the last gets selected
    EXPECT_EQ(liste.count(), 5);
    w.f->DateifilterListboxDblClick();
    EXPECT_EQ(edit.text(), QStringLiteral(".shtm*"));
    for (int i = 0; i < 4; ++i) w.f->optionenSeite().BitBtn2()->click();
    EXPECT_TRUE(edit.text().isEmpty());
    EXPECT_EQ(muster(), u"Webdokumente (*.htm*)"_s) << "one entry gives the fixed pattern";
}

}  // namespace
}  // namespace quintaro::ui
