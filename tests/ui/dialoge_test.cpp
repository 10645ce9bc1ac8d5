// The real message boxes: caption, icon, German buttons, default and what Escape and the close
// button answer; and the general error box's full stop.
#include <gtest/gtest.h>

#include <Qsci/qsciscintilla.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontMetrics>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "ui/deutsch.h"
#include "ui/qt_dialoge.h"

namespace quintaro::ui {
namespace {

// fehlerText: a full stop only after a character that sorts after "." (0x2E).
struct FehlerFall {
    const char* name;
    QString text;
    QString erwartet;
};

TEST(FehlerText, FullStopOnlyAfterCharactersSortingAfterFullStop) {
    const FehlerFall faelle[] = {
        {"letter", QStringLiteral("Zugriff verweigert"), QStringLiteral("Zugriff verweigert.")},
        {"digit", QStringLiteral("Fehler 5"), QStringLiteral("Fehler 5.")},
        {"umlaut", QStringLiteral("Datei gesperrt für"), QStringLiteral("Datei gesperrt für.")},
        {"slash sorts after the stop", QStringLiteral("/tmp/"), QStringLiteral("/tmp/.")},
        {"full stop already", QStringLiteral("Fertig."), QStringLiteral("Fertig.")},
        {"exclamation mark", QStringLiteral("Halt!"), QStringLiteral("Halt!")},
        {"closing parenthesis", QStringLiteral("(Code 5)"), QStringLiteral("(Code 5)")},
        {"comma", QStringLiteral("a,"), QStringLiteral("a,")},
        {"empty", QString(), QString()},
    };
    for (const auto& f : faelle) EXPECT_EQ(fehlerText(f.text), f.erwartet) << f.name;
}

// Runs `box` (which shows a modal box) and hands the box to `pruefen` while it is open.
void mitOffenerBox(const std::function<void()>& box,
                   const std::function<void(QMessageBox&)>& pruefen) {
    bool gesehen = false;
    QTimer suche;
    suche.setInterval(5);
    QObject::connect(&suche, &QTimer::timeout, [&] {
        auto* offen = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (offen == nullptr || gesehen) return;
        gesehen = true;
        suche.stop();
        pruefen(*offen);
    });
    suche.start();
    box();
    EXPECT_TRUE(gesehen);
}

QStringList knopfTexte(const QMessageBox& box) {
    QStringList texte;
    for (QAbstractButton* k : box.buttons()) texte << k->text();
    texte.sort();
    return texte;
}

TEST(QtDialoge, QuestionWithCancelLooksRightAndEscapeCancels) {
    QtDialoge dialoge;
    Antwort antwort = Antwort::Ja;
    mitOffenerBox(
        [&] {
            antwort =
                dialoge.frage(nullptr, QStringLiteral("Erste Zeile\r\n\r\n<!-- kein HTML -->"),
                              Knoepfe::JaNeinAbbrechen);
        },
        [](QMessageBox& box) {
            EXPECT_EQ(box.windowTitle(), QStringLiteral("Brelkon Quintaro"));
            EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
            EXPECT_EQ(box.textFormat(), Qt::PlainText);
            EXPECT_EQ(box.text(), QStringLiteral("Erste Zeile\n\n<!-- kein HTML -->"));
            EXPECT_EQ(knopfTexte(box), (QStringList{QStringLiteral("&Ja"), QStringLiteral("&Nein"),
                                                    QStringLiteral("Abbrechen")}));
            ASSERT_NE(box.defaultButton(), nullptr);
            EXPECT_EQ(box.defaultButton()->text(), QStringLiteral("&Ja"));
            ASSERT_NE(box.escapeButton(), nullptr);
            EXPECT_EQ(box.escapeButton()->text(), QStringLiteral("Abbrechen"));
            QTest::keyClick(&box, Qt::Key_Escape);
        });
    EXPECT_EQ(antwort, Antwort::Abbrechen);
}

struct Schliessen {
    const char* name;
    Knoepfe knoepfe;
    std::function<void(QMessageBox&)> wie;
    Antwort erwartet;
};

TEST(QtDialoge, AnswersForEnterEscapeAndTheCloseButton) {
    const auto enter = [](QMessageBox& b) { QTest::keyClick(&b, Qt::Key_Return); };
    const auto escape = [](QMessageBox& b) { QTest::keyClick(&b, Qt::Key_Escape); };
    const auto zu = [](QMessageBox& b) { b.close(); };
    const auto nein = [](QMessageBox& b) {
        for (QAbstractButton* k : b.buttons()) {
            if (k->text() == QStringLiteral("&Nein")) k->click();
        }
    };
    const Schliessen faelle[] = {
        {"enter presses Ja", Knoepfe::JaNeinAbbrechen, enter, Antwort::Ja},
        {"Nein button", Knoepfe::JaNeinAbbrechen, nein, Antwort::Nein},
        {"close button cancels", Knoepfe::JaNeinAbbrechen, zu, Antwort::Abbrechen},
        {"enter presses Ja without cancel", Knoepfe::JaNein, enter, Antwort::Ja},
        {"escape without cancel is Nein", Knoepfe::JaNein, escape, Antwort::Nein},
        {"close without cancel is Nein", Knoepfe::JaNein, zu, Antwort::Nein},
    };
    QtDialoge dialoge;
    for (const auto& f : faelle) {
        Antwort antwort = Antwort::Abbrechen;
        mitOffenerBox(
            [&] { antwort = dialoge.frage(nullptr, QStringLiteral("Frage?"), f.knoepfe); }, f.wie);
        EXPECT_EQ(antwort, f.erwartet) << f.name;
    }
}

TEST(QtDialoge, QuestionWithoutCancelHasTwoButtons) {
    QtDialoge dialoge;
    mitOffenerBox([&] { dialoge.frage(nullptr, QStringLiteral("Frage?"), Knoepfe::JaNein); },
                  [](QMessageBox& box) {
                      EXPECT_EQ(knopfTexte(box),
                                (QStringList{QStringLiteral("&Ja"), QStringLiteral("&Nein")}));
                      EXPECT_EQ(box.escapeButton()->text(), QStringLiteral("&Nein"));
                      box.close();
                  });
}

TEST(QtDialoge, MessageHasOnlyOkAndNoIcon) {
    QtDialoge dialoge;
    mitOffenerBox([&] { dialoge.meldung(nullptr, QStringLiteral("Datei wurde nicht gefunden")); },
                  [](QMessageBox& box) {
                      EXPECT_EQ(box.windowTitle(), QStringLiteral("Brelkon Quintaro"));
                      EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
                      EXPECT_EQ(knopfTexte(box), QStringList{QStringLiteral("OK")});
                      EXPECT_EQ(box.text(), QStringLiteral("Datei wurde nicht gefunden"));
                      QTest::keyClick(&box, Qt::Key_Escape);
                  });
}

TEST(QtDialoge, ErrorBoxHasErrorIconAndFullStop) {
    QtDialoge dialoge;
    mitOffenerBox([&] { dialoge.fehler(nullptr, QStringLiteral("Zugriff verweigert")); },
                  [](QMessageBox& box) {
                      EXPECT_EQ(box.windowTitle(), QStringLiteral("Brelkon Quintaro"));
                      EXPECT_EQ(box.icon(), QMessageBox::Critical);
                      EXPECT_EQ(box.text(), QStringLiteral("Zugriff verweigert."));
                      EXPECT_EQ(knopfTexte(box), QStringList{QStringLiteral("OK")});
                      QTest::keyClick(&box, Qt::Key_Return);
                  });
}

// Every kind of box, even with a one-word text, leaves the title bar room for the whole caption.
TEST(QtDialoge, BoxesAreWideEnoughForTheirCaption) {
    QtDialoge dialoge;
    const std::function<void()> boxen[] = {
        [&] { dialoge.meldung(nullptr, QStringLiteral("Fertig")); },
        [&] { dialoge.fehler(nullptr, QStringLiteral("x")); },
        [&] { dialoge.frage(nullptr, QStringLiteral("?"), Knoepfe::JaNein); },
    };
    for (const auto& box : boxen) {
        mitOffenerBox(box, [](QMessageBox& offen) {
            QFont fett = offen.font();
            fett.setBold(true);
            EXPECT_GE(offen.width(),
                      QFontMetrics(fett).horizontalAdvance(QStringLiteral("Brelkon Quintaro")) +
                          kTitelleistenKnoepfe);
            offen.close();
        });
    }
}

// Qt's own dialogs and the editor's context menu speak German whatever the locale, and stop when
// the translations' owner goes.
TEST(Deutsch, QtDialogsAndTheEditorMenu) {
    const QLocale vorher;
    auto menueTexte = [] {
        QsciScintilla editor;
        std::unique_ptr<QMenu> menue(editor.createStandardContextMenu());
        QStringList texte;
        for (const QAction* a : menue->actions()) {
            if (!a->isSeparator()) texte << a->text();
        }
        return texte;
    };
    const QStringList englisch = menueTexte();
    {
        QObject besitzer;
        ASSERT_TRUE(deutschLaden(besitzer)) << "package qt6-translations-l10n missing";
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"),
                  QStringLiteral("Abbrechen"));
        QFileDialog dialog;
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        auto* knoepfe = dialog.findChild<QDialogButtonBox*>();
        ASSERT_NE(knoepfe, nullptr);
        EXPECT_EQ(knoepfe->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
        EXPECT_EQ(knoepfe->button(QDialogButtonBox::Open)->text(), QStringLiteral("&Öffnen"));
        const QStringList deutsch = menueTexte();
        ASSERT_EQ(deutsch.size(), englisch.size());
        EXPECT_EQ(deutsch.first(), QStringLiteral("&Rückgängig")) << englisch.first().toStdString();
        EXPECT_TRUE(deutsch.contains(QStringLiteral("&Kopieren")));
    }
    QLocale::setDefault(vorher);
    EXPECT_EQ(menueTexte(), englisch);
}

}  // namespace
}  // namespace quintaro::ui
