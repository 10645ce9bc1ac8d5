// The changes view in the real window, offscreen: opened by F4 and the menu, its next and previous
// commands landing on the right bytes of a code page 1252 page in both panes, and the panes
// scrolling together.
#include "ui/aenderungs_ansicht.h"

#include <gtest/gtest.h>

#include <Qsci/qsciscintilla.h>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>
#include <functional>
#include <memory>
#include <string>

#include "fakes.h"
#include "ui/kodierung.h"
#include "ui/quelltext_memo.h"
#include "ui/tform1.h"

namespace quintaro::ui {
namespace {

using Sci = QsciScintillaBase;

class Aenderungsansicht : public ::testing::Test {
  public:
    test::ScriptedDialoge dialoge;
    test::AufzeichnendeShell shell;
    test::SpeicherDateien dateien;
    std::unique_ptr<TForm1> f;

    void SetUp() override {
        f = std::make_unique<TForm1>(dialoge, shell, dateien,
                                     QStringLiteral("/nirgends/quintaro_optionen.ini"));
        f->show();
        QApplication::setActiveWindow(f.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(f.get()));
    }
    void TearDown() override {
        if (AenderungsAnsicht* a = ansicht()) delete a;
    }
    AenderungsAnsicht* ansicht() const { return f->findChild<AenderungsAnsicht*>(); }

    // Loads `original` as a document, puts `jetzt` into the editor and opens the view by F4.
    AenderungsAnsicht* oeffnen(const Text& original, const Text& jetzt) {
        dateien.dateien["/w/seite.htm"] = original;
        f->dateiOeffnen(QStringLiteral("/w/seite.htm"));
        f->quelltextMemo().setText(jetzt);
        QTest::keyClick(f->quelltextMemo().widget(), Qt::Key_F4);
        AenderungsAnsicht* a = ansicht();
        if (a == nullptr) return nullptr;
        if (!a->fertig()) {
            QSignalSpy markiert(a, &AenderungsAnsicht::fertigMarkiert);
            markiert.wait(5000);
        }
        return a;
    }

    // The bytes of the page under the indicator's first run in a pane, in the page's code page.
    static Text markiert(QsciScintilla* feld, int indikator) {
        const auto n = static_cast<unsigned long>(indikator);
        const long von = feld->SendScintilla(Sci::SCI_INDICATORVALUEAT, n, 0L) != 0
                             ? 0
                             : feld->SendScintilla(Sci::SCI_INDICATOREND, n, 0L);
        const long bis = feld->SendScintilla(Sci::SCI_INDICATOREND, n, von);
        if (bis <= von || feld->SendScintilla(Sci::SCI_INDICATORVALUEAT, n, von) == 0) return {};
        return nachCp1252(QString::fromUtf8(feld->text().toUtf8().mid(von, bis - von)));
    }
};

TEST_F(Aenderungsansicht, NextAndPreviousLandOnEachChangeInBothPanes) {
    // Umlauts before every change: the page's bytes and the panes' positions part ways.
    const Text original =
        "<p>Gr\xFC\xDF"
        "e aus K\xF6ln</p>\r\n<!-- weg -->\r\n<b>M\xFC"
        "nchen</b> alt";
    const Text jetzt =
        "<p>Gr\xFC\xDF"
        "e aus K\xF6ln</p>\r\n\r\n<b>M&uuml;nchen</b> neu";
    AenderungsAnsicht* a = oeffnen(original, jetzt);
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(a->fertig());
    ASSERT_EQ(a->vergleich().aenderungen.size(), 3u);
    EXPECT_TRUE(a->isVisible());
    EXPECT_EQ(a->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(a->grobHinweis()->isHidden());
    EXPECT_FALSE(a->vorherigeKnopf()->isEnabled());

    struct Schritt {
        const char* name;
        std::function<void()> befehl;
        long aktuell;
        Text entfernt;
        Text eingefuegt;
    };
    const auto alt = [a] { QTest::keyClick(a->originalFeld(), Qt::Key_Down, Qt::AltModifier); };
    const auto altHoch = [a] { QTest::keyClick(a->ergebnisFeld(), Qt::Key_Up, Qt::AltModifier); };
    const Schritt schritte[] = {
        {"button to the first", [a] { a->naechsteKnopf()->click(); }, 0, "<!-- weg -->", ""},
        {"Alt+Down to the second", alt, 1, "\xFC", "&uuml;"},
        {"button to the last", [a] { a->naechsteKnopf()->click(); }, 2, "alt", "neu"},
        {"no step past the last", alt, 2, "alt", "neu"},
        {"Alt+Up back", altHoch, 1, "\xFC", "&uuml;"},
        {"button back to the first", [a] { a->vorherigeKnopf()->click(); }, 0, "<!-- weg -->", ""},
    };
    for (const Schritt& s : schritte) {
        SCOPED_TRACE(s.name);
        s.befehl();
        EXPECT_EQ(a->aktuell(), s.aktuell);
        EXPECT_EQ(markiert(a->originalFeld(), AenderungsAnsicht::kAktuell), s.entfernt);
        EXPECT_EQ(markiert(a->ergebnisFeld(), AenderungsAnsicht::kAktuell), s.eingefuegt);
        EXPECT_EQ(a->vorherigeKnopf()->isEnabled(), s.aktuell > 0);
        EXPECT_EQ(a->naechsteKnopf()->isEnabled(), s.aktuell < 2);
        EXPECT_TRUE(a->zusammenfassung()->text().contains(QString::number(s.aktuell + 1)));
    }
    // What went and what came is marked, each in its pane.
    EXPECT_EQ(markiert(a->originalFeld(), AenderungsAnsicht::kEntfernt), "<!-- weg -->");
    EXPECT_EQ(markiert(a->ergebnisFeld(), AenderungsAnsicht::kEingefuegt), "&uuml;");
}

TEST_F(Aenderungsansicht, ThePanesScrollTogetherAcrossAPageMadeOneLine) {
    Text original;
    for (int i = 0; i < 300; ++i) original += "<p>Zeile " + std::to_string(i) + "</p>\r\n";
    Text jetzt = original;
    std::erase(jetzt, '\r');
    std::erase(jetzt, '\n');
    AenderungsAnsicht* a = oeffnen(original, jetzt);
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(a->fertig());
    QsciScintilla* links = a->originalFeld();
    QsciScintilla* rechts = a->ergebnisFeld();
    const QByteArray text = rechts->text().toUtf8();
    // Low in the page: the shorter right pane can follow there whatever the font's width.
    for (const int wert : {60, 20}) {
        SCOPED_TRACE(wert);
        links->verticalScrollBar()->setValue(wert);
        // Short lines: each display line of the left pane is one paragraph.
        const long zeile = links->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
        EXPECT_GT(zeile, 0);
        // The right pane's first display line holds the same paragraph.
        const long oben = rechts->SendScintilla(Sci::SCI_POSITIONFROMPOINT, 0UL, 0L);
        const long hoehe = rechts->SendScintilla(Sci::SCI_TEXTHEIGHT, 0UL);
        const long naechste = rechts->SendScintilla(Sci::SCI_POSITIONFROMPOINT, 0UL, hoehe);
        const long absatz =
            text.indexOf(QByteArray("<p>Zeile ") + QByteArray::number(zeile) + QByteArray("<"));
        EXPECT_LE(oben, absatz);
        EXPECT_GT(naechste, absatz);
        // The line break that went at the end of the top line is marked, wherever that is.
        const long umbruch =
            links->SendScintilla(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(zeile));
        EXPECT_EQ(
            links->SendScintilla(Sci::SCI_INDICATORVALUEAT,
                                 static_cast<unsigned long>(AenderungsAnsicht::kEntfernt), umbruch),
            1);
    }
    // The shorter right pane ends where the left one does.
    links->verticalScrollBar()->setValue(links->verticalScrollBar()->maximum());
    EXPECT_EQ(rechts->verticalScrollBar()->value(), rechts->verticalScrollBar()->maximum());
}

TEST_F(Aenderungsansicht, AViewClosedWhileComparingLeavesTheComparisonItsTexts) {
    Text seite;
    for (int i = 0; seite.size() < (std::size_t{1} << 20); ++i) {
        seite += "<td>Zelle " + std::to_string(i) + "</td>\r\n";
    }
    dateien.dateien["/w/gross.htm"] = seite;
    f->dateiOeffnen(QStringLiteral("/w/gross.htm"));
    f->quelltextMemo().setText(seite.substr(seite.size() / 2) + seite.substr(0, seite.size() / 2));
    f->AenderungenAnzeigen();
    ASSERT_NE(ansicht(), nullptr);
    delete ansicht();  // the comparison is still running: it must not read freed texts (ASan)
    EXPECT_TRUE(QThreadPool::globalInstance()->waitForDone(60000));
}

TEST_F(Aenderungsansicht, OpensFromTheMenuAndNeedsALoadedDocument) {
    f->quelltextMemo().setText("getippt");
    QAction* menue = f->findChild<QAction*>(QStringLiteral("Aenderungenanzeigen1"));
    ASSERT_NE(menue, nullptr);
    menue->trigger();
    EXPECT_EQ(ansicht(), nullptr);
    ASSERT_EQ(dialoge.boxen.size(), 1u);
    EXPECT_EQ(dialoge.boxen.front().art, test::Box::Meldung);

    dateien.dateien["/w/a.htm"] = "<p>a</p>";
    dialoge.antworten.push_back(Antwort::Nein);  // the typed text may go
    f->dateiOeffnen(QStringLiteral("/w/a.htm"));
    menue->trigger();
    ASSERT_NE(ansicht(), nullptr);
    EXPECT_EQ(dialoge.boxen.size(), 2u);
}

}  // namespace
}  // namespace quintaro::ui
