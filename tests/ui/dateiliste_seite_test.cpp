// The batch page in the real window, offscreen, on real files: the list, the run with its order,
// progress, messages and sound end, and the bytes it writes compared with dateiOptimieren.
#include <gtest/gtest.h>

#include <unistd.h>

#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <deque>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "batch/stapel.h"
#include "common/dateien.h"
#include "document/dokument.h"
#include "engine/optimierung.h"
#include "fakes.h"
#include "ui/dateiliste_seite.h"
#include "ui/ersetzungseditor.h"
#include "ui/listbox.h"
#include "ui/optionen_listbox.h"
#include "ui/optionen_seite.h"
#include "ui/quelltext_memo.h"
#include "ui/quelltext_seite.h"
#include "ui/tform1.h"

using namespace Qt::StringLiterals;

namespace quintaro::ui {
namespace {

namespace platte = ::quintaro::test;
using test::Box;

QString q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
const QString kFertig = q(kDateienOptimiert);
const QString kLeer = q(meldungen::kLeererQuelltext);

// The multi-select dialog answers from a queue; every box can look at the window meanwhile.
class StapelDialoge : public test::ScriptedDialoge {
  public:
    std::deque<QStringList> auswahlen;
    QStringList filter;
    std::function<void()> waehrendBox;

    QStringList dateienOeffnen(QWidget*, const QStringList& f, const QString&) override {
        filter = f;
        if (auswahlen.empty()) return {};
        QStringList a = auswahlen.front();
        auswahlen.pop_front();
        return a;
    }
    Antwort frage(QWidget* w, const QString& text, Knoepfe k) override {
        if (waehrendBox) waehrendBox();
        return ScriptedDialoge::frage(w, text, k);
    }
    void meldung(QWidget* w, const QString& text) override {
        if (waehrendBox) waehrendBox();
        ScriptedDialoge::meldung(w, text);
    }
    void fehler(QWidget* w, const QString& text) override {
        if (waehrendBox) waehrendBox();
        ScriptedDialoge::fehler(w, text);
    }
};

// What the window showed while a box was open.
struct Moment {
    std::string datei;
    int fortschritt;
    bool balkenSichtbar;
};

class Stapel : public ::testing::Test {
  public:
    StapelDialoge dialoge;
    test::AufzeichnendeShell shell;
    LokaleDateien dateien;
    platte::Ordner dir;
    platte::Ordner vergleich;  // the same files for dateiOptimieren
    std::unique_ptr<TForm1> f;
    std::vector<Moment> momente;

    void SetUp() override {
        f = std::make_unique<TForm1>(dialoge, shell, dateien,
                                     QStringLiteral("/nirgends/quintaro_optionen.ini"));
        dialoge.waehrendBox = [this] {
            const QProgressBar& b = *f->dateilisteSeite().Fortschrittsanzeige();
            momente.push_back({f->AktuelleDatei(), b.value(), !b.isHidden()});
        };
    }
    void TearDown() override {
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "busy cursor left behind";
        EXPECT_TRUE(dialoge.antworten.empty()) << "answers left over";
        EXPECT_FALSE(f->stapelLaeuft());
    }

    std::string datei(const std::string& name, const std::string& inhalt) {
        platte::schreibeRoh(dir / name, inhalt);
        platte::schreibeRoh(vergleich / name, inhalt);
        return dir / name;
    }
    void waehlen(std::initializer_list<std::string> pfade) {
        QStringList a;
        for (const auto& p : pfade) a << QString::fromStdString(p);
        dialoge.auswahlen.push_back(a);
        f->dateilisteSeite().BitBtn8()->click();
    }
    void laufen() { f->dateilisteSeite().DateienOptimieren()->click(); }
    QListWidget& liste() const { return *f->dateilisteSeite().DateiListbox(); }
    QProgressBar& balken() const { return *f->dateilisteSeite().Fortschrittsanzeige(); }
    void nurOptionen(std::initializer_list<int> an) {
        for (int i = 0; i < kOptionCount; ++i)
            f->optionenSeite().optionenListbox().setzeOption(i, false);
        for (int i : an) f->optionenSeite().optionenListbox().setzeOption(i, true);
    }
    // dateiOptimieren over the same names in the comparison folder, with the window's options.
    void vergleichslauf(const std::vector<std::string>& namen, Antwort antwort = Antwort::Ja) {
        const Optionsmenge optionen = f->optionenSeite().optionenListbox().zustand();
        const Ersetzungstabelle tabelle = f->optionenSeite().ersetzungseditor().tabelle();
        const StapelFrage frage = [antwort](const std::string&, Knoepfe) { return antwort; };
        for (const auto& n : namen) dateiOptimieren(vergleich / n, optionen, tabelle, frage);
    }
    // Both folders hold the same names with the same bytes.
    void gleicheOrdner() const {
        std::map<std::string, std::string> a, b;
        for (const auto& n : dir.namen()) a[n] = platte::leseRoh(dir / n);
        for (const auto& n : vergleich.namen()) b[n] = platte::leseRoh(vergleich / n);
        EXPECT_EQ(a, b);
    }
    void keinDokument() const {
        EXPECT_TRUE(f->quelltextMemo().text().empty());
        EXPECT_FALSE(f->Bearbeitungsstatus());
        EXPECT_TRUE(f->AktuelleDatei().empty());
        EXPECT_EQ(f->seiten().titel(Seite::Quelltext), QStringLiteral("Keine Datei geladen"));
        EXPECT_EQ(f->quelltextSeite().originalGroesse(), QStringLiteral("/"));
        EXPECT_EQ(f->quelltextSeite().optimiertGroesse(), QStringLiteral("/"));
        EXPECT_TRUE(balken().isHidden());
    }
};

TEST_F(Stapel, ChosenFilesAreSortedIgnoringCaseAndAddedAgainWhenChosenAgain) {
    waehlen({"/w/b.htm", "/w/C.htm", "/w/a.htm"});
    waehlen({"/w/B.htm", "/w/b.htm"});
    waehlen({});  // cancelled
    EXPECT_EQ(
        f->dateilisteSeite().dateien(),
        (QStringList{u"/w/a.htm"_s, u"/w/b.htm"_s, u"/w/B.htm"_s, u"/w/b.htm"_s, u"/w/C.htm"_s}));
    EXPECT_EQ(dialoge.filter, f->openDialog1Filter()) << "the filter list's filter";
    EXPECT_FALSE(dialoge.filter.isEmpty());
    EXPECT_FALSE(f->openDialog1Bestaetigt()) << "the last use was cancelled";
    EXPECT_EQ(liste().sizeHintForRow(0), 13);
}

TEST_F(Stapel, DeleteRemovesTheSelectedEntryAndAuswahlAufhebenEmptiesTheList) {
    waehlen({"/w/a.htm", "/w/b.htm", "/w/c.htm"});
    QTest::keyClick(&liste(), Qt::Key_Delete);  // nothing selected: only the last is selected
    EXPECT_EQ(liste().count(), 3);
    EXPECT_EQ(liste().currentRow(), 2);
    liste().setCurrentRow(0);
    QTest::keyClick(&liste(), Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(f->dateilisteSeite().dateien(), (QStringList{u"/w/b.htm"_s, u"/w/c.htm"_s}));
    EXPECT_EQ(liste().currentRow(), 1);
    QTest::keyClick(&liste(), Qt::Key_Backspace);
    EXPECT_EQ(liste().count(), 2) << "only Delete removes";
    f->dateilisteSeite().BitBtn9()->click();
    EXPECT_EQ(liste().count(), 0);
    QTest::keyClick(&liste(), Qt::Key_Delete);
    EXPECT_EQ(liste().count(), 0);
    EXPECT_TRUE(dialoge.boxen.empty());
}

TEST_F(Stapel, EmptyListOnlyAsksForFiles) {
    f->quelltextMemo().setText("<p>bleibt</p>");
    laufen();
    EXPECT_EQ(dialoge.texte(Box::Meldung),
              std::vector<QString>{
                  QStringLiteral("Bitte wählen Sie zuerst die gewünschten Dateien aus")});
    ASSERT_EQ(momente.size(), 1u);
    EXPECT_FALSE(momente[0].balkenSichtbar);
    EXPECT_EQ(f->quelltextMemo().text(), Text("<p>bleibt</p>"));
    EXPECT_EQ(balken().value(), 0);
}

const std::string kMitKommentar = "<p>\r\n  Seite <!-- weg -->  \xE4  </p>\n\n<b> x </b>";

TEST_F(Stapel, FilesRunInListOrderAndTheRunEndsWithNoDocument) {
    nurOptionen({ZU, DL, LZT, SZ, SK, DKS, KMM});
    const std::string b = datei("B.htm", kMitKommentar + "B");
    const std::string c = datei("c.htm", kMitKommentar + "c");
    const std::string a = datei("a.htm", kMitKommentar + "a");
    waehlen({b, c});
    waehlen({a});
    dialoge.antworten = {Antwort::Ja, Antwort::Ja, Antwort::Ja};
    f->quelltextMemo().setText("ungespeichert");
    laufen();

    // One comment question per file, in list order, two steps into each file.
    ASSERT_EQ(momente.size(), 4u);
    const std::vector<std::string> reihe{momente[0].datei, momente[1].datei, momente[2].datei};
    EXPECT_EQ(reihe, (std::vector<std::string>{a, b, c}));
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(momente[i].fortschritt, static_cast<int>(3 * i + 2));
        EXPECT_TRUE(momente[i].balkenSichtbar);
    }
    EXPECT_EQ(dialoge.boxen.back().text, kFertig);
    EXPECT_EQ(momente[3].fortschritt, 255);
    EXPECT_EQ(balken().value(), 255);
    keinDokument();
    // The list names the files as they are now called.
    EXPECT_EQ(f->dateilisteSeite().dateien(), (QStringList{q(a), q(dir / "b.htm"), q(c)}));

    vergleichslauf({"a.htm", "B.htm", "c.htm"});
    EXPECT_EQ(dir.namen(), (std::set<std::string>{"a.htm", "a.htm.bak", "b.htm", "B.htm.bak",
                                                  "c.htm", "c.htm.bak"}));
    gleicheOrdner();
    EXPECT_EQ(platte::leseRoh(dir / "B.htm.bak"), kMitKommentar + "B");
}

// The window writes what dateiOptimieren (and so quintaro-cli) writes, option set by option set.
TEST_F(Stapel, WritesTheSameBytesAsDateiOptimieren) {
    const std::vector<std::pair<std::string, std::string>> seiten = {
        {"Index.HTML", "<html>\r\n\t<head>  <title>T</title> </head>\n<body>\r\r</body>"},
        {"zwei.htm", "<!--webbot bot=\"x\" --><p>\x80 \xE4\xF6\xFC\xDF &amp; \xA0</p>\t\t\n"},
        {"drei.htm", "<!-- k --> <a  href = \"x\" >  y  </a>\r\n\r\n\r\nz"},
        {"leer.htm", ""},
    };
    struct Fall {
        const char* name;
        std::initializer_list<int> optionen;
    };
    const Fall faelle[] = {
        {"defaults", {ZU, DZU, DL, LZT, LIT, TAB, SZ, AE, SK, DKS, NOA}},
        {"everything", {ZU, DZU, DL, LZT, LIT, TAB, KMA, SZ, AE, FPW, OT, DKS, OA}},
        {"few", {DZU, TAB}},
    };
    Ersetzungstabelle tabelle;
    tabelle.setzeZeile(1, {"<b>", "<strong>"});
    tabelle.anhaengen({"y", "yy"});
    for (const Fall& fall : faelle) {
        SCOPED_TRACE(fall.name);
        for (const auto& n : dir.namen()) std::filesystem::remove(dir / n);
        for (const auto& n : vergleich.namen()) std::filesystem::remove(vergleich / n);
        f->dateilisteSeite().BitBtn9()->click();
        dialoge.boxen.clear();
        nurOptionen(fall.optionen);
        f->optionenSeite().ersetzungseditor().setzeTabelle(tabelle);
        std::vector<std::string> namen;
        for (const auto& [name, inhalt] : seiten) {
            waehlen({datei(name, inhalt)});
            namen.push_back(name);
        }
        laufen();
        vergleichslauf(namen);
        gleicheOrdner();
        EXPECT_EQ(dialoge.texte(Box::Meldung), (std::vector<QString>{kLeer, kFertig}));
        EXPECT_TRUE(dialoge.texte(Box::Frage).empty());
        EXPECT_TRUE(shell.geoeffnet.isEmpty()) << "no preview in a batch run";
    }
}

TEST_F(Stapel, ProgressWrapsPastTheMaximumAndKeepsItsPositionBetweenRuns) {
    nurOptionen({KMM});
    const std::string a = datei("a.htm", "<!--1--><p>");
    const std::string b = datei("b.htm", "<!--2--><p>");
    const std::string c = datei("c.htm", "<!--3--><p>");
    waehlen({a, b, c});
    balken().setValue(250);  // as after 250 steps of earlier runs
    dialoge.antworten = {Antwort::Ja, Antwort::Ja, Antwort::Ja};
    laufen();
    ASSERT_EQ(momente.size(), 4u);
    EXPECT_EQ(momente[0].fortschritt, 252);
    EXPECT_EQ(momente[1].fortschritt, 255);
    EXPECT_EQ(momente[2].fortschritt, 2) << "the step past 255 starts again at 0";
    EXPECT_EQ(balken().value(), 255);

    momente.clear();
    f->dateilisteSeite().BitBtn9()->click();
    platte::schreibeRoh(a, "<!--1--><p>");
    waehlen({a});
    dialoge.antworten = {Antwort::Ja};
    laufen();
    ASSERT_EQ(momente.size(), 2u);
    EXPECT_EQ(momente[0].fortschritt, 1) << "from the full bar: 0, then 1";
}

TEST_F(Stapel, AnEmptyFileAndAbbrechenUnderOption7LeaveTheirFilesAndTheBatchGoesOn) {
    nurOptionen({KMM, ZU, DKS});
    const std::string a = datei("A.htm", "<!--a--><p>\r\n");
    const std::string b = datei("b.htm", "");
    const std::string c = datei("c.htm", "<!--c--><p>\r\n");
    waehlen({a, b, c});
    dialoge.antworten = {Antwort::Abbrechen, Antwort::Ja};
    laufen();
    EXPECT_EQ(dialoge.texte(Box::Meldung), (std::vector<QString>{kLeer, kFertig}));
    EXPECT_EQ(momente[1].datei, b);
    EXPECT_EQ(dir.namen(),
              (std::set<std::string>{"A.htm", "A.htm.bak", "b.htm", "c.htm", "c.htm.bak"}));
    EXPECT_EQ(platte::leseRoh(a), "<!--a--><p>\r\n") << "unsaved, not even renamed";
    EXPECT_EQ(platte::leseRoh(c), "<p> ");
    keinDokument();
}

TEST_F(Stapel, AFileErrorEndsTheBatchThereAndSoundly) {
    // Files under /proc can be read but nothing can be created beside them, not even by root.
    const std::string quelle = "/proc/version";
    if (::access(quelle.c_str(), R_OK) != 0) GTEST_SKIP() << "no " << quelle;
    const std::string vorher = platte::leseRoh(quelle);
    const std::string b = dir / "b.htm";
    struct Fall {
        const char* name;
        std::function<void()> anlegen;
        std::string fehler;
    };
    const Fall faelle[] = {
        {"not written", [&] { std::filesystem::create_symlink(quelle, b); },
         "Datei \"" + b + "\" kann nicht erstellt werden. "},
        {"not read", [] {}, "Datei " + b + " kann nicht geöffnet werden. "},
        {"not backed up",
         [&] {
             platte::schreibeRoh(b, "5\r\n6");
             std::filesystem::create_directory(b + ".bak");
         },
         "Datei \"" + b + ".bak\" kann nicht erstellt werden. "},
    };
    nurOptionen({ZU, SK});
    for (const Fall& fall : faelle) {
        SCOPED_TRACE(fall.name);
        for (const auto& n : dir.namen()) std::filesystem::remove(dir / n);
        f->dateilisteSeite().BitBtn9()->click();
        dialoge.boxen.clear();
        const std::string a = datei("a.htm", "1\r\n2");
        fall.anlegen();
        const std::string c = datei("c.htm", "3\r\n4");
        waehlen({c, b, a});
        bool leerlauf = false;
        dialoge.waehrendBox = [&] {
            leerlauf = balken().isHidden() && QApplication::overrideCursor() == nullptr &&
                       f->AktuelleDatei().empty() && !f->stapelLaeuft();
        };
        laufen();

        const auto fehler = dialoge.texte(Box::Fehler);
        ASSERT_EQ(fehler.size(), 1u);
        EXPECT_TRUE(fehler[0].startsWith(q(fall.fehler))) << fehler[0].toStdString();
        EXPECT_EQ(dialoge.boxen.size(), 1u) << "no summary";
        EXPECT_TRUE(leerlauf) << "the error box comes once the window is idle again";
        EXPECT_EQ(platte::leseRoh(a), "1 2") << "the file before stays optimised";
        EXPECT_EQ(platte::leseRoh(c), "3\r\n4") << "the file after is not touched";
        EXPECT_FALSE(std::filesystem::exists(c + ".bak"));
        keinDokument();
        EXPECT_EQ(f->dateilisteSeite().dateien().size(), 3);
        if (std::string_view(fall.name) == "not backed up") {
            EXPECT_EQ(platte::leseRoh(b), "5\r\n6") << "not saved without its backup";
        }
    }
    EXPECT_EQ(platte::leseRoh(quelle), vorher);
}

TEST_F(Stapel, TheWindowTakesNoInputWhileTheBatchRuns) {
    f->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.get()));
    f->Seitenwechsel(Sender::Stapelverarbeitung1);
    nurOptionen({KMM});
    const std::string a = datei("a.htm", "<!--a--><p>");
    const std::string b = datei("b.htm", "<p>");
    waehlen({a, b});
    QString editorAnzeige = QStringLiteral("?");
    dialoge.waehrendBox = [&] {
        if (editorAnzeige != QStringLiteral("?")) return;
        editorAnzeige = f->quelltextMemo().widget()->text();
        QTest::mouseClick(f->dateilisteSeite().DateienOptimieren(), Qt::LeftButton);
        QTest::mouseClick(f->dateilisteSeite().BitBtn9(), Qt::LeftButton);
        QTest::keyClick(&liste(), Qt::Key_Delete);
        QWidget* fokus = f->focusWidget() != nullptr ? f->focusWidget() : f.get();
        QTest::keyClick(fokus, Qt::Key_F2);  // would show the source page
        QTest::keyClick(fokus, Qt::Key_F7);  // would start another run
        f->DateienOptimierenClick();
        f->BitBtn9Click();
        f->DateiListboxKeyDown(Qt::Key_Delete);
        // Closing asks whether to stop the run: Nein, it goes on.
        EXPECT_FALSE(f->close());
        QApplication::processEvents();
    };
    // The question about closing comes inside the comment's box, before it is answered.
    dialoge.antworten = {Antwort::Nein, Antwort::Ja};
    laufen();
    EXPECT_EQ(editorAnzeige, QString()) << "the hidden editor is not refreshed file by file";
    EXPECT_EQ(dialoge.texte(Box::Frage).size(), 2u);
    EXPECT_EQ(dialoge.texte(Box::Frage).front(), kStapelBeenden);
    EXPECT_EQ(dialoge.texte(Box::Meldung), std::vector<QString>{kFertig});
    EXPECT_EQ(liste().count(), 2);
    EXPECT_EQ(f->seiten().aktiv(), Seite::Dateiliste);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(platte::leseRoh(b), "<p>");
    EXPECT_EQ(platte::leseRoh(a), "<p>");
    // Input works again afterwards.
    liste().setCurrentRow(0);
    QTest::keyClick(&liste(), Qt::Key_Delete);
    EXPECT_EQ(liste().count(), 1);
}

TEST(EditorHalten, AHiddenEditorTakesTheTextWhenShownOrReleased) {
    QWidget seite;
    QuelltextMemo editor(&seite);
    editor.setText("alt");
    QSignalSpy geaendert(&editor, &QuelltextMemo::geaendert);
    editor.zurueckhalten(true);
    editor.setText("neu");
    EXPECT_EQ(geaendert.count(), 1) << "the change is reported at once";
    EXPECT_EQ(editor.text(), Text("neu"));
    EXPECT_FALSE(editor.hatKeinenText());
    EXPECT_EQ(editor.widget()->text(), QStringLiteral("alt"));
    seite.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&seite));
    EXPECT_EQ(editor.widget()->text(), QStringLiteral("neu"));
    editor.setText("\x80");  // shown: straight to the control
    EXPECT_EQ(editor.widget()->text(), QStringLiteral("\u20AC"));
    seite.hide();
    editor.setText("");
    EXPECT_TRUE(editor.hatKeinenText());
    EXPECT_FALSE(editor.widget()->text().isEmpty());
    geaendert.clear();
    editor.zurueckhalten(false);
    EXPECT_TRUE(editor.widget()->text().isEmpty());
    EXPECT_EQ(geaendert.count(), 0) << "reported already";
    EXPECT_EQ(editor.text(), Text());
}

// Closing the window during a run, agreed to: the run stops before its next file (the files read
// ahead are left as they were), and the window closes once it has ended.
TEST_F(Stapel, ClosingTheWindowDuringARunStopsItAfterThePagesInWork) {
    nurOptionen({ZU, SK});
    std::vector<std::string> pfade{datei("a.htm", "1\r\n2"), datei("b.htm", "")};
    for (int i = 0; i < 20; ++i) pfade.push_back(datei("c" + std::to_string(i) + ".htm", "3\r\n4"));
    QStringList auswahl;
    for (const auto& p : pfade) auswahl << QString::fromStdString(p);
    dialoge.auswahlen.push_back(auswahl);
    f->dateilisteSeite().BitBtn8()->click();
    bool geschlossen = false;
    dialoge.waehrendBox = [&] {
        if (!f->stapelLaeuft() || std::exchange(geschlossen, true)) return;
        EXPECT_FALSE(f->close());
        QApplication::processEvents();
    };
    dialoge.antworten = {Antwort::Ja};
    f->show();
    laufen();
    EXPECT_EQ(dialoge.texte(Box::Frage), std::vector<QString>{kStapelBeenden});
    EXPECT_EQ(dialoge.texte(Box::Meldung), std::vector<QString>{kLeer}) << "no summary";
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(platte::leseRoh(pfade[0]), "1 2");
    for (std::size_t i = 2; i < pfade.size(); ++i) {
        EXPECT_EQ(platte::leseRoh(pfade[i]), "3\r\n4") << pfade[i];
        EXPECT_FALSE(std::filesystem::exists(pfade[i] + ".bak")) << pfade[i];
    }
}

// "Ordner hinzufügen..." from the button and from the menu: the pages below the folder that the
// filter list lets through, sorted into the list, none twice; a folder that cannot be read is
// named in a message and the rest is listed.
TEST_F(Stapel, AFolderAddsItsPagesOnceWithTheFilterList) {
    const std::string site = dir / "site";
    for (const char* o : {"", "/Unter", "/gesperrt"}) std::filesystem::create_directory(site + o);
    for (const char* n :
         {"/b.htm", "/A.HTML", "/Unter/c.shtml", "/Unter/d.php", "/x.htm.bak", "/gesperrt/e.htm"}) {
        platte::schreibeRoh(site + n, "<p>");
    }
    waehlen({site + "/b.htm"});
    const int code = platte::imKind([&] {
        ::chmod((site + "/gesperrt").c_str(), 0);
        if (!platte::alsNiemand()) return 10;
        dialoge.naechsteDatei = QString::fromStdString(site);
        f->dateilisteSeite().ordnerHinzufuegen()->click();
        const QStringList erwartet{QString::fromStdString(site + "/A.HTML"),
                                   QString::fromStdString(site + "/b.htm"),
                                   QString::fromStdString(site + "/Unter/c.shtml")};
        if (f->dateilisteSeite().dateien() != erwartet) return 11;
        const auto meldungen = dialoge.texte(Box::Meldung);
        if (meldungen.size() != 1 || !meldungen[0].startsWith(kOrdnerUnlesbar) ||
            !meldungen[0].contains(QString::fromStdString(site + "/gesperrt"))) {
            return 12;
        }
        // Again from the menu, with another filter list: only what is new comes.
        f->optionenSeite().DateifilterListbox()->addItem(QStringLiteral(".php"));
        f->Seitenwechsel(Sender::Quelltext);
        f->ordnerHinzufuegen(Sender::OrdnerHinzufuegenMenue);
        if (f->seiten().aktiv() != Seite::Dateiliste) return 13;
        return f->dateilisteSeite().dateien().size() == 4 &&
                       f->dateilisteSeite().dateien().contains(
                           QString::fromStdString(site + "/Unter/d.php"))
                   ? 0
                   : 14;
    });
    ::chmod((site + "/gesperrt").c_str(), 0755);
    EXPECT_EQ(code, 0);
}

// Many entries at once land where inserting them one by one puts them, in one fill of the list.
TEST(SortiertEinfuegen, ManyAtOnceAsOneByOne) {
    std::mt19937 zufall(9);
    const QString teile[] = {u"a"_s, u"B"_s, u"b"_s, u"c"_s, u"/"_s, u"\u00e4"_s, u"Z"_s};
    const auto text = [&] {
        QString t;
        for (unsigned n = 1 + zufall() % 4; n > 0; --n) t += teile[zufall() % 7];
        return t;
    };
    for (const bool ohneDoppelte : {false, true}) {
        QListWidget einzeln, alle;
        QStringList erste, zweite;
        for (int i = 0; i < 300; ++i) erste << text();
        for (int i = 0; i < 300; ++i) zweite << text();
        sortiertEinfuegen(alle, erste, false);
        sortiertEinfuegen(alle, zweite, ohneDoppelte);
        for (const QString& t : erste) sortiertEinfuegen(einzeln, t);
        QStringList gesehen = erste;
        for (const QString& t : zweite) {
            if (ohneDoppelte && gesehen.contains(t)) continue;
            gesehen << t;
            sortiertEinfuegen(einzeln, t);
        }
        ASSERT_EQ(alle.count(), einzeln.count()) << ohneDoppelte;
        for (int i = 0; i < alle.count(); ++i) {
            ASSERT_EQ(alle.item(i)->text(), einzeln.item(i)->text()) << i << " " << ohneDoppelte;
        }
    }
}

}  // namespace
}  // namespace quintaro::ui
