// The replacement table editor: adding, changing, cancelling and deleting rows, the placeholder
// row, the selection and scroll position, and Enter moving to the next control.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include "fakes.h"
#include "ui/ersetzungseditor.h"

namespace quintaro::ui {
namespace {

using test::Box;
using test::ScriptedDialoge;

const QString kParameterFehlen = QStringLiteral(
    "Die angegebenen Parameter sind nicht ausreichend.\r\n\r\nZumindest im Feld \"Text im "
    "Original\" muss ein Text vorgegeben werden.");

class ErsetzungseditorTest : public ::testing::Test {
  protected:
    ScriptedDialoge dialoge;
    Ersetzungseditor editor{dialoge};

    void SetUp() override { editor.setzeKopfzeile(); }

    void hinzufuegen(const QString& such, const QString& ersatz) {
        editor.Edit1()->setText(such);
        editor.Edit2()->setText(ersatz);
        editor.BitBtn3()->click();
    }
    void fuellen(int n) {
        for (int i = 1; i <= n; ++i)
            hinzufuegen(QStringLiteral("s%1").arg(i), QStringLiteral("e%1").arg(i));
    }
    std::vector<std::string> suchtexte() const {
        std::vector<std::string> s;
        for (const auto& z : editor.tabelle().zeilen()) s.push_back(z.suchtext);
        return s;
    }
    void waehle(int von, int bis) {
        editor.ErsetzungStringGrid()->clearSelection();
        editor.ErsetzungStringGrid()->setRangeSelected(
            QTableWidgetSelectionRange(von - 1, 0, bis - 1, 1), true);
    }
    void doppelklick(int zeile) {
        waehle(zeile, zeile);
        editor.ErsetzungStringGridDblClick();
    }
    QString knopf4() const { return editor.BitBtn4()->text(); }
};

TEST_F(ErsetzungseditorTest, StartsWithHeaderAndThePlaceholderRow) {
    EXPECT_EQ(editor.ErsetzungStringGrid()->objectName(), QStringLiteral("ErsetzungStringGrid"));
    EXPECT_EQ(editor.ErsetzungStringGrid()->horizontalHeaderItem(0)->text(),
              QStringLiteral("Original"));
    EXPECT_EQ(editor.ErsetzungStringGrid()->horizontalHeaderItem(1)->text(),
              QStringLiteral("Ersetzen durch"));
    EXPECT_EQ(editor.ErsetzungStringGrid()->rowCount(), 1);
    EXPECT_TRUE(editor.tabelle().istPlatzhalter());
    EXPECT_EQ(knopf4(), QStringLiteral("Löschen"));
    EXPECT_FALSE(editor.BearbeiteteZeile().has_value());
    EXPECT_EQ(editor.ErsetzungStringGrid()->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(editor.ErsetzungStringGrid()->selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST_F(ErsetzungseditorTest, FirstOkFillsThePlaceholderSecondAppends) {
    hinzufuegen(QStringLiteral("<b>"), QStringLiteral("<strong>"));
    EXPECT_EQ(suchtexte(), (std::vector<std::string>{"<b>"}));
    EXPECT_EQ(editor.ErsetzungStringGrid()->rowCount(), 1);
    hinzufuegen(QStringLiteral("ä"), QString());
    ASSERT_EQ(editor.tabelle().anzahl(), 2);
    EXPECT_EQ(editor.tabelle().zeile(2), (Ersetzung{"\xE4", ""})) << "code page 1252, empty Ersatz";
    EXPECT_EQ(editor.ErsetzungStringGrid()->item(1, 0)->text(), QStringLiteral("ä"));
    EXPECT_EQ(editor.obersteAuswahl(), 2);
    EXPECT_TRUE(editor.Edit1()->text().isEmpty());
    EXPECT_TRUE(editor.Edit2()->text().isEmpty());
}

TEST_F(ErsetzungseditorTest, OkWithEmptySearchTextChangesNothing) {
    editor.Edit2()->setText(QStringLiteral("x"));
    editor.BitBtn3()->click();
    EXPECT_EQ(dialoge.texte(Box::Meldung), std::vector<QString>{kParameterFehlen});
    EXPECT_TRUE(editor.tabelle().istPlatzhalter());
    EXPECT_EQ(editor.Edit2()->text(), QStringLiteral("x"));

    hinzufuegen(QStringLiteral(" "), QStringLiteral(""));
    EXPECT_EQ(suchtexte(), (std::vector<std::string>{" "})) << "spaces count as text";
}

TEST_F(ErsetzungseditorTest, DeleteOnlyRowLeavesThePlaceholder) {
    hinzufuegen(QStringLiteral("a"), QStringLiteral("b"));
    editor.BitBtn4()->click();
    EXPECT_TRUE(editor.tabelle().istPlatzhalter());
    EXPECT_EQ(editor.ErsetzungStringGrid()->rowCount(), 1);
    EXPECT_TRUE(editor.ErsetzungStringGrid()->item(0, 0)->text().isEmpty());
}

TEST_F(ErsetzungseditorTest, DeleteUsesOnlyTheTopmostSelectedRow) {
    fuellen(5);
    waehle(2, 4);
    editor.Edit1()->setText(QStringLiteral("getippt"));
    editor.BitBtn4()->click();
    EXPECT_EQ(suchtexte(), (std::vector<std::string>{"s1", "s3", "s4", "s5"}));
    EXPECT_EQ(editor.obersteAuswahl(), 2) << "the selection rests on the next entry";
    EXPECT_TRUE(editor.Edit1()->text().isEmpty()) << "typed text is dropped too";
}

TEST_F(ErsetzungseditorTest, DeleteLastRowSelectsTheNewLastRow) {
    fuellen(3);
    waehle(3, 3);
    editor.BitBtn4()->click();
    EXPECT_EQ(suchtexte(), (std::vector<std::string>{"s1", "s2"}));
    EXPECT_EQ(editor.obersteAuswahl(), 2);
}

TEST_F(ErsetzungseditorTest, DoubleClickThenCancel) {
    fuellen(3);
    doppelklick(2);
    EXPECT_EQ(editor.Edit1()->text(), QStringLiteral("s2"));
    EXPECT_EQ(editor.Edit2()->text(), QStringLiteral("e2"));
    EXPECT_EQ(editor.BearbeiteteZeile(), 2);
    EXPECT_EQ(knopf4(), QStringLiteral("Abbruch"));

    editor.BitBtn4()->click();  // Abbruch
    EXPECT_EQ(suchtexte(), (std::vector<std::string>{"s1", "s2", "s3"}));
    EXPECT_TRUE(editor.Edit1()->text().isEmpty());
    EXPECT_TRUE(editor.Edit2()->text().isEmpty());
    EXPECT_EQ(knopf4(), QStringLiteral("Löschen"));
    EXPECT_FALSE(editor.BearbeiteteZeile().has_value());

    editor.BitBtn4()->click();  // now Löschen: deletes the selected row
    EXPECT_EQ(suchtexte(), (std::vector<std::string>{"s1", "s3"}));
}

TEST_F(ErsetzungseditorTest, DoubleClickThenOkOverwritesInPlace) {
    fuellen(4);
    doppelklick(3);
    waehle(1, 1);  // the selection may move meanwhile; the pending row is what counts
    editor.Edit1()->setText(QStringLiteral("neu"));
    editor.Edit2()->setText(QStringLiteral("NEU"));
    editor.BitBtn3()->click();
    EXPECT_EQ(suchtexte(), (std::vector<std::string>{"s1", "s2", "neu", "s4"}));
    EXPECT_EQ(editor.ErsetzungStringGrid()->item(2, 1)->text(), QStringLiteral("NEU"));
    EXPECT_EQ(knopf4(), QStringLiteral("Löschen"));
    EXPECT_EQ(editor.obersteAuswahl(), 1) << "selection stays as it was";
}

TEST_F(ErsetzungseditorTest, DoubleClickThenOkWithEmptySearchTextKeepsTheChangePending) {
    fuellen(2);
    doppelklick(2);
    editor.Edit1()->clear();
    editor.BitBtn3()->click();
    EXPECT_EQ(dialoge.texte(Box::Meldung), std::vector<QString>{kParameterFehlen});
    EXPECT_EQ(suchtexte(), (std::vector<std::string>{"s1", "s2"}));
    EXPECT_EQ(editor.BearbeiteteZeile(), 2);
    EXPECT_EQ(knopf4(), QStringLiteral("Abbruch"));
}

TEST_F(ErsetzungseditorTest, SecondDoubleClickSwitchesToTheNewRow) {
    fuellen(3);
    doppelklick(1);
    editor.Edit1()->setText(QStringLiteral("verworfen"));
    doppelklick(3);
    EXPECT_EQ(editor.Edit1()->text(), QStringLiteral("s3"));
    EXPECT_EQ(editor.BearbeiteteZeile(), 3);
}

TEST_F(ErsetzungseditorTest, LoadedTableWithEmptyFirstRowIsNoPlaceholder) {
    Ersetzungstabelle t;
    t.setzeAlle({{"", ""}, {"x", "y"}});
    editor.setzeTabelle(t);
    hinzufuegen(QStringLiteral("neu"), QStringLiteral("n"));
    EXPECT_EQ(suchtexte(), (std::vector<std::string>{"", "x", "neu"}));
}

TEST_F(ErsetzungseditorTest, ReloadEndsAPendingChangeSoNothingIsWrittenOutsideTheTable) {
    fuellen(4);
    doppelklick(4);
    Ersetzungstabelle kurz;
    kurz.setzeAlle({{"a", "b"}});
    editor.setzeTabelle(kurz);
    EXPECT_FALSE(editor.BearbeiteteZeile().has_value());
    EXPECT_EQ(knopf4(), QStringLiteral("Löschen"));
    hinzufuegen(QStringLiteral("c"), QStringLiteral("d"));
    EXPECT_EQ(suchtexte(), (std::vector<std::string>{"a", "c"}));
}

class ErsetzungseditorShown : public ErsetzungseditorTest {
  protected:
    void SetUp() override {
        ErsetzungseditorTest::SetUp();
        editor.resize(290, editor.minimumSizeHint().height());  // three rows in view
        editor.show();
        QApplication::setActiveWindow(&editor);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
    }
    QPoint zeilenPunkt(int zeile) const {
        return editor.ErsetzungStringGrid()
            ->visualRect(editor.ErsetzungStringGrid()->model()->index(zeile - 1, 0))
            .center();
    }
};

TEST_F(ErsetzungseditorShown, AddingScrollsToTheLastThreeRows) {
    fuellen(2);
    EXPECT_EQ(editor.ErsetzungStringGrid()->verticalScrollBar()->value(), 0);
    fuellen(4);
    EXPECT_EQ(editor.tabelle().anzahl(), 6);
    EXPECT_EQ(editor.ErsetzungStringGrid()->rowAt(0), 3) << "first visible table row is 4";
    EXPECT_EQ(editor.obersteAuswahl(), 6);
}

TEST_F(ErsetzungseditorShown, EnterMovesOnAndTheLastEnterPressesOk) {
    editor.Edit1()->setFocus();
    QSignalSpy zeilen(editor.Edit1(), &QLineEdit::returnPressed);
    QTest::keyClicks(editor.Edit1(), QStringLiteral("such"));
    QTest::keyClick(editor.Edit1(), Qt::Key_Return);
    EXPECT_TRUE(editor.Edit2()->hasFocus());
    EXPECT_EQ(zeilen.count(), 0) << "the edit never sees the Enter";
    QTest::keyClicks(editor.Edit2(), QStringLiteral("ersatz"));
    QTest::keyClick(editor.Edit2(), Qt::Key_Enter);
    EXPECT_TRUE(editor.BitBtn3()->hasFocus());
    QTest::keyClick(editor.BitBtn3(), Qt::Key_Return);
    EXPECT_EQ(editor.tabelle().zeile(1), (Ersetzung{"such", "ersatz"}));
    EXPECT_TRUE(editor.Edit1()->hasFocus()) << "OK moves the focus back to Edit1";
}

TEST_F(ErsetzungseditorShown, MouseDoubleClickLoadsTheRowAndTheHeaderKeepsTheSelection) {
    fuellen(2);
    editor.ErsetzungStringGrid()->scrollToTop();
    // As the mouse makes it: press, release, double-click, release.
    QTest::mouseClick(editor.ErsetzungStringGrid()->viewport(), Qt::LeftButton, {}, zeilenPunkt(1));
    QTest::mouseDClick(editor.ErsetzungStringGrid()->viewport(), Qt::LeftButton, {},
                       zeilenPunkt(1));
    EXPECT_EQ(editor.BearbeiteteZeile().value_or(-1), 1);
    EXPECT_EQ(editor.Edit1()->text(), QStringLiteral("s1"));

    editor.BitBtn4()->click();  // Abbruch
    waehle(2, 2);
    QHeaderView* kopf = editor.ErsetzungStringGrid()->horizontalHeader();
    QTest::mouseClick(kopf->viewport(), Qt::LeftButton, {}, QPoint(20, kopf->height() / 2));
    QTest::mouseDClick(kopf->viewport(), Qt::LeftButton, {}, QPoint(20, kopf->height() / 2));
    EXPECT_EQ(editor.BearbeiteteZeile().value_or(-1), 2);
    EXPECT_EQ(editor.obersteAuswahl(), 2);
}

}  // namespace
}  // namespace quintaro::ui
