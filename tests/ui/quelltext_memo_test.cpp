// The source editor shows code page 1252 and UTF-8 bytes as their characters and gives back the
// same bytes; every change is reported; the colouring switches off for large texts and changes
// to runs QScintilla can cache for very long lines.
#include <gtest/gtest.h>

#include <Qsci/qscilexerhtml.h>
#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <random>

#include "ui/html_faerber.h"
#include "ui/quelltext_memo.h"

namespace quintaro::ui {
namespace {

Text alleBytes() {
    Text t;
    for (int b = 0; b < 256; ++b) t.push_back(static_cast<char>(b));
    return t;
}

TEST(QuelltextMemo, EveryByteValueRoundTrips) {
    QWidget seite;
    QuelltextMemo editor(&seite);
    const Text alle = alleBytes();
    editor.setText(alle);
    EXPECT_EQ(editor.text(), alle);

    // Each value alone, between CR LF line breaks, so none depends on its neighbours.
    for (int b = 0; b < 256; ++b) {
        const Text zeile = "a\r\n" + Text(1, static_cast<char>(b)) + "\r\nz";
        editor.setText(zeile);
        ASSERT_EQ(editor.text(), zeile) << "byte " << b;
    }
}

TEST(QuelltextMemo, ShowsTheCharactersOfCodePage1252) {
    QWidget seite;
    QuelltextMemo editor(&seite);
    editor.setText("\x80 \x84\x93\x94 \x96\x97 \xE4\xF6\xFC\xDF");
    EXPECT_EQ(editor.widget()->text(),
              QString::fromUtf8("\u20AC \u201E\u201C\u201D \u2013\u2014 \u00E4\u00F6\u00FC\u00DF"));
}

TEST(QuelltextMemo, CharactersTheCodePageLacksBecomeQuestionMarks) {
    QWidget seite;
    QuelltextMemo editor(&seite);
    editor.widget()->setText(QString::fromUtf8("a\u03A9b\U0001F600c\u20AC"));
    EXPECT_EQ(editor.text(), Text("a?b?c\x80"));
}

TEST(QuelltextMemo, EnterInsertsCrLf) {
    QWidget seite;
    QuelltextMemo editor(&seite);
    editor.setText("ab");
    editor.widget()->setCursorPosition(0, 1);
    QTest::keyClick(editor.widget(), Qt::Key_Return);
    EXPECT_EQ(editor.text(), Text("a\r\nb"));
}

// Keys as a German keyboard sends them: the character arrives as the event's text.
void tippe(QWidget* ziel, const QString& zeichen) {
    for (const QChar c : zeichen) {
        QKeyEvent druck(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(ziel, &druck);
    }
}

TEST(QuelltextMemo, TypedUmlautsAndEuroBecomeTheirBytes) {
    QWidget seite;
    QuelltextMemo editor(&seite);
    tippe(editor.widget(), QString::fromUtf8("Gr\u00FC\u00DFe \u20AC"));
    EXPECT_EQ(editor.text(), Text("Gr\xFC\xDF"
                                  "e \x80"));
}

TEST(QuelltextMemo, EveryChangeIsReported) {
    QWidget seite;
    QuelltextMemo editor(&seite);
    QSignalSpy geaendert(&editor, &QuelltextMemo::geaendert);
    editor.setText("<p>");
    EXPECT_GE(geaendert.count(), 1) << "a change by the program";
    geaendert.clear();
    QTest::keyClick(editor.widget(), Qt::Key_X);
    EXPECT_GE(geaendert.count(), 1) << "typing";
    geaendert.clear();
    editor.setText("");
    EXPECT_GE(geaendert.count(), 1) << "emptying";
    EXPECT_TRUE(editor.hatKeinenText());
}

TEST(QuelltextMemo, ColouringByTextSizeAndLineLength) {
    QWidget seite;
    QuelltextMemo editor(&seite);
    const auto faerber = [&] { return qobject_cast<HtmlFaerber*>(editor.widget()->lexer()); };
    editor.setText(Text(QuelltextMemo::kFarbGrenze, 'x'));
    EXPECT_TRUE(editor.faerbt());
    EXPECT_NE(faerber(), nullptr) << "one long line";
    editor.setText(Text(QuelltextMemo::kFarbGrenze + 1, 'x'));
    EXPECT_FALSE(editor.faerbt());
    EXPECT_EQ(editor.text().size(), QuelltextMemo::kFarbGrenze + 1);
    editor.setText("<p>klein</p>");
    EXPECT_TRUE(editor.faerbt());
    EXPECT_NE(qobject_cast<QsciLexerHTML*>(editor.widget()->lexer()), nullptr);

    // The line length counts, not the size: code page 1252 bytes above 127 grow in the control.
    Text zeilen;
    while (zeilen.size() < 4 * QuelltextMemo::kLangeZeile)
        zeilen +=
            "<p>Gr\xFC\xDF"
            "e</p>\r\n";
    editor.setText(zeilen);
    EXPECT_EQ(faerber(), nullptr);
    Text lang = "<p>" + Text(QuelltextMemo::kLangeZeile / 2, '\xFC') + "</p>";
    editor.setText(lang);
    EXPECT_NE(faerber(), nullptr);
    EXPECT_EQ(editor.text(), lang);
}

TEST(QuelltextMemo, ControlKeepsNoWrapAndUndoStartsAfresh) {
    QWidget seite;
    QuelltextMemo editor(&seite);
    EXPECT_EQ(editor.widget()->objectName(), QStringLiteral("QuelltextMemo"));
    EXPECT_EQ(editor.widget()->wrapMode(), QsciScintilla::WrapNone);
    EXPECT_EQ(editor.widget()->eolMode(), QsciScintilla::EolWindows);
    editor.setText("eins");
    editor.setText("zwei");
    EXPECT_FALSE(editor.widget()->isUndoAvailable());
}

// --- Pages in UTF-8 ----------------------------------------------------------------------------

TEST(QuelltextMemoUtf8, ShowsTheCharacters) {
    QWidget seite;
    QuelltextMemo editor(&seite);
    editor.setText("M\xC3\xBCller \xE2\x82\xAC", Kodierung::Utf8);
    EXPECT_EQ(editor.widget()->text(), QString::fromUtf8("M\u00FCller \u20AC"));
    EXPECT_EQ(editor.kodierung(), Kodierung::Utf8);
}

// Any bytes at all, well-formed or not, come back as they went in, also across a change of the
// encoding they are shown in.
TEST(QuelltextMemoUtf8, EveryByteSequenceRoundTrips) {
    QWidget seite;
    QuelltextMemo editor(&seite);
    std::mt19937 rng(7);
    for (int runde = 0; runde < 300; ++runde) {
        Text bytes;
        const std::size_t laenge = rng() % 200;
        for (std::size_t i = 0; i < laenge; ++i) {
            // Mostly lead and continuation bytes, so that sequences of every kind come up.
            bytes.push_back(static_cast<char>(rng() % 3 != 0 ? 0x80 + rng() % 0x80 : rng() % 256));
        }
        editor.setText(bytes, Kodierung::Utf8);
        ASSERT_EQ(editor.text(), bytes) << testing::PrintToString(bytes);
        editor.setzeKodierung(Kodierung::Cp1252);
        ASSERT_EQ(editor.text(), bytes) << testing::PrintToString(bytes);
        editor.setzeKodierung(Kodierung::Utf8);
        ASSERT_EQ(editor.text(), bytes) << testing::PrintToString(bytes);
    }
}

TEST(QuelltextMemoUtf8, TypingAmidMalformedBytesStoresUtf8AndKeepsThem) {
    QWidget seite;
    QuelltextMemo editor(&seite);
    const Text rest = "\xE0\x80\x9B|\xED\xA0\x80|\xFF|\xC3";  // overlong, surrogate, stray, lone
    editor.setText("a" + rest, Kodierung::Utf8);
    editor.widget()->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 1UL);
    tippe(editor.widget(), QString::fromUtf8("\u20AC\u00E4"));
    editor.widget()->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    tippe(editor.widget(), QString::fromUtf8("\u00E4"));
    EXPECT_EQ(editor.text(), "a\xE2\x82\xAC\xC3\xA4" + rest + "\xC3\xA4");
}

TEST(QuelltextMemoUtf8, ChangingTheEncodingReportsNoChange) {
    QWidget seite;
    QuelltextMemo editor(&seite);
    editor.setText("\xC3\xA4");
    QSignalSpy geaendert(&editor, &QuelltextMemo::geaendert);
    editor.setzeKodierung(Kodierung::Utf8);
    EXPECT_EQ(geaendert.count(), 0);
    EXPECT_EQ(editor.widget()->text(), QString::fromUtf8("\u00E4"));
    editor.setzeKodierung(Kodierung::Andere);  // shown by code page 1252
    EXPECT_EQ(editor.widget()->text(), QString::fromUtf8("\u00C3\u00A4"));
    EXPECT_EQ(editor.text(), Text("\xC3\xA4"));
    EXPECT_EQ(geaendert.count(), 0);
}

TEST(QuelltextMemoUtf8, AHeldTextKeepsItsEncoding) {
    QWidget seite;
    QuelltextMemo editor(&seite);
    editor.zurueckhalten(true);  // hidden: the text is only kept
    editor.setText("\xC3\xA4\xFF", Kodierung::Utf8);
    EXPECT_TRUE(editor.zurueckgehalten());
    EXPECT_EQ(editor.kodierung(), Kodierung::Utf8);
    editor.zurueckhalten(false);
    EXPECT_FALSE(editor.zurueckgehalten());
    EXPECT_EQ(editor.text(), Text("\xC3\xA4\xFF"));
}

}  // namespace
}  // namespace quintaro::ui
