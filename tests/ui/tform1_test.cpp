// The real window, offscreen, driven through its named controls, menu actions and keys, with
// scripted dialogs, a recording shell and files in memory.
#include <gtest/gtest.h>

#include <Qsci/qsciscintilla.h>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>

#include "document/dokument.h"
#include "engine/leerraum.h"
#include "fakes.h"
#include "ui/dateiliste_seite.h"
#include "ui/ersetzungseditor.h"
#include "ui/kodierung.h"
#include "ui/optionen_listbox.h"
#include "ui/optionen_seite.h"
#include "ui/quelltext_memo.h"
#include "ui/quelltext_seite.h"
#include "ui/tform1.h"

using namespace Qt::StringLiterals;

namespace quintaro::ui {
namespace {

using test::AufzeichnendeShell;
using test::Box;
using test::ScriptedDialoge;
using test::SpeicherDateien;

QString q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
const std::string kVorschau(kVorschauName);

class Fenster : public ::testing::Test {
  public:
    ScriptedDialoge dialoge;
    AufzeichnendeShell shell;
    SpeicherDateien dateien;
    std::unique_ptr<TForm1> f;

    void SetUp() override { erzeugen(dateien); }
    void TearDown() override {
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "busy cursor left behind";
        EXPECT_TRUE(dialoge.antworten.empty()) << "answers left over";
    }
    void erzeugen(Dateien& d) {
        f = std::make_unique<TForm1>(dialoge, shell, d,
                                     QStringLiteral("/nirgends/quintaro_optionen.ini"));
        dialoge.schnappschuss = [this] { return vonCp1252(f->quelltextMemo().text()); };
    }
    void zeigen() {
        f->show();
        QApplication::setActiveWindow(f.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(f.get()));
    }
    // A key as the user presses it: delivered to the control that has the focus.
    void taste(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWidget* ziel = QApplication::focusWidget();
        if (ziel == nullptr) ziel = f->focusWidget();
        QTest::keyClick(ziel != nullptr ? ziel : f.get(), key, mods);
    }
    QAction* aktion(const char* name) const {
        QAction* a = f->findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    }
    QPushButton* knopf(const char* name) const {
        auto* k = f->findChild<QPushButton*>(QString::fromLatin1(name));
        EXPECT_NE(k, nullptr) << name;
        return k;
    }
    OptionenListbox& optionen() const { return f->optionenSeite().optionenListbox(); }
    void nurOptionen(std::initializer_list<int> an) {
        for (int i = 0; i < kOptionCount; ++i) optionen().setzeOption(i, false);
        for (int i : an) optionen().setzeOption(i, true);
    }
    void text(const Text& t) { f->quelltextMemo().setText(t); }
    Seite seite() const { return f->seiten().aktiv(); }
    bool tab() const { return f->seiten().tabSichtbar(Seite::Quelltext); }
    QString optimiertLabel() const { return f->quelltextSeite().optimiertGroesse(); }
    std::vector<QString> fragen() const { return dialoge.texte(Box::Frage); }
};

// --- start-up ---------------------------------------------------------------------------------

TEST_F(Fenster, StartsOnTheSourcePageWithBuiltInContents) {
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Brelkon Quintaro"));
    EXPECT_EQ(f->pos(), QPoint(241, 93));
    EXPECT_EQ(f->size(), QSize(620, 420));
    EXPECT_EQ(f->minimumSize(), QSize(620, 420));
    EXPECT_EQ(seite(), Seite::Quelltext);
    EXPECT_TRUE(tab());
    EXPECT_FALSE(f->seiten().tabSichtbar(Seite::Optionen));
    EXPECT_FALSE(f->seiten().tabSichtbar(Seite::Dateiliste));
    EXPECT_EQ(f->seiten().titel(Seite::Quelltext), QStringLiteral("Keine Datei geladen"));
    EXPECT_EQ(f->quelltextSeite().originalGroesse(), QStringLiteral("/"));
    EXPECT_EQ(optimiertLabel(), QStringLiteral("/"));
    EXPECT_TRUE(f->quelltextMemo().hatKeinenText());
    EXPECT_FALSE(f->Bearbeitungsstatus());
    EXPECT_TRUE(f->AktuelleDatei().empty());
    EXPECT_TRUE(f->Vorschaudatei().empty());
    EXPECT_EQ(f->Optimierungsmodus(), Modus::Normal);
    EXPECT_EQ(f->einstellungsDatei(), QStringLiteral("/nirgends/quintaro_optionen.ini"));
    EXPECT_EQ(optionen().zustand(), Optionsmenge());
    const auto* grid = f->findChild<QTableWidget*>(QStringLiteral("ErsetzungStringGrid"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), QStringLiteral("Original"));
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), QStringLiteral("Ersetzen durch"));
    EXPECT_EQ(grid->rowCount(), 1);
    const auto* filter = f->findChild<QListWidget*>(QStringLiteral("DateifilterListbox"));
    ASSERT_NE(filter, nullptr);
    ASSERT_EQ(filter->count(), 2);
    EXPECT_EQ(filter->item(0)->text(), QStringLiteral(".htm*"));
    EXPECT_EQ(filter->item(1)->text(), QStringLiteral(".shtm*"));
    EXPECT_TRUE(f->dateilisteSeite().Fortschrittsanzeige()->isHidden());
    EXPECT_EQ(f->dateilisteSeite().Fortschrittsanzeige()->maximum(), 255);
    EXPECT_TRUE(dialoge.boxen.empty());
}

struct Eintrag {
    const char* name;
    const char* text;
    const char* kuerzel = "";  // the menu item's shortcut
};

// A caption as shown: the access key's "&" is not part of it.
QString ohneZugriffstaste(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

TEST_F(Fenster, MenuItemsAndToolbarButtonsCarryTheirCaptionsAndIcons) {
    const Eintrag menue[] = {
        {"ToolbarOeffnen", "Öffnen", "Ctrl+O"},
        {"ToolbarErneutOeffnen", "Erneut Öffnen"},
        {"Speichern1", "Speichern", "Ctrl+S"},
        {"Speichernunter1", "Speichern unter...", "Ctrl+Shift+S"},
        {"Schlieen1", "Schließen", "Ctrl+W"},
        {"Beenden", "Beenden", "Ctrl+Q"},
        {"Quelltext", "Quelltext (F2)"},
        {"Optionen1", "Optionen (F3)"},
        {"Optimieren1", "Optimierung starten (F7)"},
        {"ToolbarSchrittweiseOptimieren", "Schrittweise optimieren (F8)"},
        {"Stapelverarbeitung1", "Stapelverarbeitung (F9)"},
        {"Optimierunganzeigen1", "Optimierung anzeigen (F5)"},
        {"Originalanzeigen1", "Original anzeigen (F6)"},
    };
    for (const auto& e : menue) {
        QAction* a = aktion(e.name);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(ohneZugriffstaste(a->text()), QString::fromUtf8(e.text)) << e.name;
        EXPECT_FALSE(a->icon().isNull()) << e.name;
        // The function keys belong to FormKeyDown.
        EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromLatin1(e.kuerzel))) << e.name;
    }
    QStringList titel;
    for (QAction* m : f->menuBar()->actions()) titel << ohneZugriffstaste(m->text());
    EXPECT_EQ(titel, (QStringList{QStringLiteral("Datei"), QStringLiteral("Bearbeiten"),
                                  QStringLiteral("Anzeige")}));
    EXPECT_FALSE(f->menuBar()->actions().at(0)->icon().isNull()) << "\"Datei\" has icon 8";
    QStringList datei;
    for (QAction* a : f->menuBar()->actions().at(0)->menu()->actions()) {
        datei << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    }
    EXPECT_EQ(datei,
              (QStringList{u"ToolbarOeffnen"_s, u"ToolbarErneutOeffnen"_s, u"Speichern1"_s,
                           u"Speichernunter1"_s, u"-"_s, u"Schlieen1"_s, u"-"_s, u"Beenden"_s}));
    QStringList bearbeiten;
    for (QAction* a : f->menuBar()->actions().at(1)->menu()->actions()) {
        bearbeiten << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    }
    EXPECT_EQ(bearbeiten, (QStringList{u"Quelltext"_s, u"Optionen1"_s, u"-"_s, u"Optimieren1"_s,
                                       u"ToolbarSchrittweiseOptimieren"_s, u"-"_s,
                                       u"Stapelverarbeitung1"_s, u"ordnerHinzufuegenMenue"_s}));

    const Eintrag leiste[] = {
        {"ButtonOeffnen", "Datei laden"},       {"ButtonErneutOeffnen", "Erneut laden"},
        {"ButtonSpeichern", "Speichern"},       {"ButtonSpeichernunter", "Speichern unter..."},
        {"ToolButton6", "Optimierung starten"},
    };
    auto* toolbar = f->findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    ASSERT_NE(toolbar, nullptr);
    QStringList folge;
    for (QAction* a : toolbar->actions())
        folge << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    EXPECT_EQ(folge,
              (QStringList{u"ButtonOeffnen"_s, u"ButtonErneutOeffnen"_s, u"ButtonSpeichern"_s,
                           u"ButtonSpeichernunter"_s, u"-"_s, u"ToolButton6"_s, u"-"_s}));
    for (const auto& e : leiste) {
        auto* b = toolbar->findChild<QToolButton*>(QString::fromLatin1(e.name));
        ASSERT_NE(b, nullptr) << e.name;
        EXPECT_EQ(b->toolTip(), QString::fromUtf8(e.text)) << e.name;
        EXPECT_FALSE(b->icon().isNull()) << e.name;
        EXPECT_EQ(b->height(), 23) << e.name;
    }
    // Items with the same icon index share the picture.
    EXPECT_EQ(
        aktion("ButtonOeffnen")->icon().cacheKey() == aktion("ToolbarOeffnen")->icon().cacheKey() ||
            aktion("ButtonOeffnen")->icon().pixmap(16).toImage() ==
                aktion("ToolbarOeffnen")->icon().pixmap(16).toImage(),
        true);
}

TEST_F(Fenster, PageButtonsHaveTheirCaptions) {
    const Eintrag knoepfe[] = {
        {"OptimierenButton", "Jetzt optimieren"},
        {"SchrittweiseOptimierenButton", "Schrittweise optimieren"},
        {"AnsichtOriginalButton", "Ansicht Original"},
        {"AnsichtOptimiertButton", "Ansicht Optimiert"},
        {"BitBtn1", "OK"},
        {"BitBtn2", "Löschen"},
        {"BitBtn3", "OK"},
        {"BitBtn4", "Löschen"},
        {"BitBtn5", "Wiederherstellen"},
        {"BitBtn6", "Speichern"},
        {"BitBtn8", "Dateien laden"},
        {"BitBtn9", "Auswahl aufheben"},
        {"ordnerHinzufuegen", "Ordner hinzufügen..."},
        {"DateienOptimieren", "Dateien optimieren"},
    };
    for (const auto& e : knoepfe) {
        QPushButton* k = knopf(e.name);
        ASSERT_NE(k, nullptr);
        EXPECT_EQ(k->text(), QString::fromUtf8(e.text)) << e.name;
        EXPECT_FALSE(k->icon().isNull()) << e.name;
    }
}

// Widgets that take the focus with Tab, in the order Tab visits them, starting at `erster`.
QStringList tabFolge(QWidget* erster, const QStringList& namen) {
    QStringList folge;
    QWidget* w = erster;
    for (int i = 0; i < 500 && folge.size() < namen.size(); ++i) {
        if (namen.contains(w->objectName()) && !folge.contains(w->objectName()))
            folge << w->objectName();
        w = w->nextInFocusChain();
    }
    return folge;
}

TEST_F(Fenster, TabOrderOfEveryPage) {
    const QStringList quelle{u"QuelltextMemo"_s,         u"KodierungComboBox"_s,
                             u"OptimierenButton"_s,      u"SchrittweiseOptimierenButton"_s,
                             u"AnsichtOriginalButton"_s, u"AnsichtOptimiertButton"_s};
    EXPECT_EQ(tabFolge(f->quelltextMemo().widget(), quelle), quelle);
    const QStringList optionenSeite{u"DateifilterListbox"_s,
                                    u"LabeledEdit1"_s,
                                    u"BitBtn1"_s,
                                    u"BitBtn2"_s,
                                    u"ErsetzungStringGrid"_s,
                                    u"Edit1"_s,
                                    u"Edit2"_s,
                                    u"BitBtn3"_s,
                                    u"BitBtn4"_s,
                                    u"OptionenListbox"_s,
                                    u"BitBtn5"_s,
                                    u"BitBtn6"_s};
    EXPECT_EQ(tabFolge(f->findChild<QWidget*>(QStringLiteral("DateifilterListbox")), optionenSeite),
              optionenSeite);
    const QStringList stapel{u"DateiListbox"_s, u"BitBtn8"_s, u"BitBtn9"_s, u"DateienOptimieren"_s};
    EXPECT_EQ(tabFolge(f->findChild<QWidget*>(QStringLiteral("DateiListbox")), stapel), stapel);
}

TEST_F(Fenster, SourcePageGrowsWithTheWindow) {
    zeigen();
    QWidget* memo = f->quelltextMemo().widget();
    QWidget* optimieren = knopf("OptimierenButton");
    QWidget* seite = &f->quelltextSeite();
    const int spalteVorher = seite->width() - memo->geometry().right();
    const int untenVorher = seite->height() - optimieren->mapTo(seite, QPoint(0, 0)).y();
    const int memoBreite = memo->width();
    f->resize(1000, 700);
    QApplication::processEvents();
    EXPECT_GT(memo->width(), memoBreite + 300);
    EXPECT_EQ(seite->width() - memo->geometry().right(), spalteVorher);
    EXPECT_EQ(memo->height(), seite->height()) << "the editor fills the height";
    EXPECT_EQ(seite->height() - optimieren->mapTo(seite, QPoint(0, 0)).y(), untenVorher);
}

// --- pages and keys ---------------------------------------------------------------------------

struct Wechsel {
    const char* name;
    std::function<void(Fenster&)> ausloesen;
    std::optional<Seite> ziel;  // none: the page stays as it was
};

TEST_F(Fenster, PageSwitchingAndTabVisibilityForEverySenderAndKey) {
    zeigen();
    auto menue = [](const char* name) { return [name](Fenster& t) { t.aktion(name)->trigger(); }; };
    auto key = [](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        return [k, m](Fenster& t) { t.taste(k, m); };
    };
    auto direkt = [](Sender s) { return [s](Fenster& t) { t.f->Seitenwechsel(s); }; };
    const Wechsel faelle[] = {
        {"menu Quelltext", menue("Quelltext"), Seite::Quelltext},
        {"menu Optionen1", menue("Optionen1"), Seite::Optionen},
        {"menu Stapelverarbeitung1", menue("Stapelverarbeitung1"), Seite::Dateiliste},
        {"F2", key(Qt::Key_F2), Seite::Quelltext},
        {"F3", key(Qt::Key_F3), Seite::Optionen},
        {"F9", key(Qt::Key_F9), Seite::Dateiliste},
        {"Shift+F3", key(Qt::Key_F3, Qt::ShiftModifier), Seite::Optionen},
        {"Ctrl+F9", key(Qt::Key_F9, Qt::ControlModifier), Seite::Dateiliste},
        {"Alt+F2", key(Qt::Key_F2, Qt::AltModifier), Seite::Quelltext},
        {"Ctrl+Shift+F3", key(Qt::Key_F3, Qt::ControlModifier | Qt::ShiftModifier),
         Seite::Optionen},
        {"sender ToolButton6", direkt(Sender::ToolButton6), Seite::Quelltext},
        {"sender ButtonOeffnen", direkt(Sender::ButtonOeffnen), Seite::Quelltext},
        {"sender Quelltext", direkt(Sender::Quelltext), Seite::Quelltext},
        {"sender Optionen1", direkt(Sender::Optionen1), Seite::Optionen},
        {"sender Stapelverarbeitung1", direkt(Sender::Stapelverarbeitung1), Seite::Dateiliste},
        {"other sender", direkt(Sender::OptimierenButton), std::nullopt},
    };
    const Seite starts[] = {Seite::Quelltext, Seite::Optionen, Seite::Dateiliste};
    const Sender hin[] = {Sender::Quelltext, Sender::Optionen1, Sender::Stapelverarbeitung1};
    for (const auto& fall : faelle) {
        for (int s = 0; s < 3; ++s) {
            f->Seitenwechsel(hin[s]);
            ASSERT_EQ(seite(), starts[s]);
            fall.ausloesen(*this);
            const Seite erwartet = fall.ziel.value_or(starts[s]);
            EXPECT_EQ(seite(), erwartet) << fall.name << " from page " << s;
            // The only tab ever shown is the source page's, and only while it is active and
            // was brought there by a source-page sender.
            EXPECT_EQ(tab(), fall.ziel == Seite::Quelltext) << fall.name << " from page " << s;
            EXPECT_FALSE(f->seiten().tabSichtbar(Seite::Optionen));
            EXPECT_FALSE(f->seiten().tabSichtbar(Seite::Dateiliste));
        }
    }
    EXPECT_TRUE(dialoge.boxen.empty()) << "F2 opens no file dialog";
}

TEST_F(Fenster, OtherKeysDoNothingAndKeysReachTheFocusedControl) {
    zeigen();
    EXPECT_EQ(QApplication::focusWidget(), f->quelltextMemo().widget())
        << "the editor has the focus";
    for (Qt::Key k : {Qt::Key_F1, Qt::Key_F12, Qt::Key_Escape}) {
        taste(k);
        EXPECT_EQ(seite(), Seite::Quelltext);
        EXPECT_TRUE(tab());
    }
    EXPECT_TRUE(dialoge.boxen.empty());
    taste(Qt::Key_X);
    EXPECT_EQ(f->quelltextMemo().text(), Text("x")) << "keys are passed on";
    EXPECT_TRUE(f->Bearbeitungsstatus()) << "typing marks the text as changed";
}

TEST_F(Fenster, F11TogglesMaximisedOnceEvenWhenTheFocusedControlIgnoresIt) {
    zeigen();
    knopf("OptimierenButton")->setFocus();  // a button ignores F11, which then reaches its parents
    taste(Qt::Key_F11);
    EXPECT_TRUE(f->windowState() & Qt::WindowMaximized);
    taste(Qt::Key_F11, Qt::ControlModifier);
    EXPECT_FALSE(f->windowState() & Qt::WindowMaximized);
}

// --- keyboard --------------------------------------------------------------------------------

// The focused control's object name (its parent's for a control without one, such as the option
// list's inner view).
QString fokusName(const TForm1& f) {
    const QWidget* w =
        QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : f.focusWidget();
    while (w != nullptr && w->objectName().isEmpty()) w = w->parentWidget();
    return w != nullptr ? w->objectName() : QStringLiteral("(none)");
}

// Tab walks each page's order round and back, never stuck in a control: the replacement grid
// lets it go, and in the editor it moves on while Ctrl+Tab types the tab character.
TEST_F(Fenster, TabFollowsThePagesOrder) {
    struct Reihe {
        Sender seite;
        QStringList namen;
    };
    const Reihe reihen[] = {
        {Sender::Optionen1,
         {u"DateifilterListbox"_s, u"LabeledEdit1"_s, u"BitBtn1"_s, u"BitBtn2"_s,
          u"ErsetzungStringGrid"_s, u"Edit1"_s, u"Edit2"_s, u"BitBtn3"_s, u"BitBtn4"_s,
          u"OptionenListbox"_s, u"BitBtn5"_s, u"BitBtn6"_s}},
        {Sender::Quelltext,
         {u"QuelltextMemo"_s, u"KodierungComboBox"_s, u"OptimierenButton"_s,
          u"SchrittweiseOptimierenButton"_s, u"AnsichtOriginalButton"_s,
          u"AnsichtOptimiertButton"_s}},
        {Sender::Stapelverarbeitung1,
         {u"DateiListbox"_s, u"BitBtn8"_s, u"ordnerHinzufuegen"_s, u"BitBtn9"_s,
          u"DateienOptimieren"_s}},
    };
    zeigen();
    for (const auto& r : reihen) {
        f->Seitenwechsel(r.seite);
        f->findChild<QWidget*>(r.namen.first())->setFocus();
        for (qsizetype i = 1; i <= r.namen.size(); ++i) {
            taste(Qt::Key_Tab);
            EXPECT_EQ(fokusName(*f).toStdString(), r.namen.at(i % r.namen.size()).toStdString())
                << "Tab " << i;
        }
        for (qsizetype i = r.namen.size() - 1; i >= 0; --i) {
            taste(Qt::Key_Tab, Qt::ShiftModifier);
            EXPECT_EQ(fokusName(*f).toStdString(), r.namen.at(i).toStdString()) << "Shift+Tab";
        }
    }
    text("ab");
    f->quelltextMemo().widget()->setCursorPosition(0, 1);
    f->quelltextMemo().widget()->setFocus();
    taste(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(f->quelltextMemo().text(), Text("a\tb"));
    EXPECT_EQ(fokusName(*f), QStringLiteral("QuelltextMemo"));
    EXPECT_TRUE(f->Bearbeitungsstatus());
}

// Keyboard users reach the file commands: the usual shortcuts from the editor, the menus through
// Alt alone or F10 and then their access keys.
TEST_F(Fenster, ShortcutsAltAndF10ReachTheFileCommands) {
    zeigen();
    dateien.dateien["/w/a.htm"] = "a";
    dialoge.naechsteDatei = u"/w/a.htm"_s;
    taste(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(f->AktuelleDatei(), "/w/a.htm");
    f->quelltextMemo().widget()->setFocus();
    taste(Qt::Key_B);
    taste(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dateien.dateien["/w/a.htm"], Text("ba"));
    dialoge.naechsteDatei = u"/w/c.htm"_s;
    taste(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(dateien.dateien["/w/c.htm"], Text("ba"));
    taste(Qt::Key_W, Qt::ControlModifier);
    EXPECT_TRUE(f->AktuelleDatei().empty()) << "Ctrl+W closes the document";
    EXPECT_EQ(dialoge.texte(Box::Meldung).size(), 2U) << "two saves";

    // F10 opens "Datei"; its access key E reloads the closed document.
    taste(Qt::Key_F10);
    QWidget* menue = QApplication::activePopupWidget();
    ASSERT_NE(menue, nullptr) << "F10 opens the first menu";
    EXPECT_EQ(menue->objectName(), u"Datei1"_s);
    QTest::keyClick(menue, Qt::Key_E);
    EXPECT_EQ(f->AktuelleDatei(), "/w/c.htm");
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    // Alt alone moves into the menu bar, whose access key A opens "Anzeige"; O shows the original.
    f->quelltextMemo().widget()->setFocus();
    QTest::keyPress(f->quelltextMemo().widget(), Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Alt, Qt::NoModifier);
    ASSERT_EQ(QApplication::focusWidget(), f->menuBar()) << "Alt goes to the menu bar";
    QTest::keyClick(f->menuBar(), Qt::Key_A);
    menue = QApplication::activePopupWidget();
    ASSERT_NE(menue, nullptr);
    EXPECT_EQ(menue->objectName(), u"Anzeige1"_s);
    QTest::keyClick(menue, Qt::Key_O);
    EXPECT_EQ(shell.geoeffnet, QStringList{u"/w/c.htm"_s});
}

// At the window's least size every option is in view; maximised, the replacement grid takes the
// height. The grid's selected row shows whether the grid has the focus.
TEST_F(Fenster, OptionsPageFitsItsOptionsAndTheGridShowsTheFocus) {
    zeigen();
    f->Seitenwechsel(Sender::Optionen1);
    QApplication::processEvents();
    const OptionenListbox& liste = optionen();
    for (int i = 0; i < liste.count(); ++i) {
        EXPECT_TRUE(liste.viewport()->rect().contains(liste.visualItemRect(liste.item(i))))
            << "option " << i << " at 620 x 420";
    }
    auto* grid = f->findChild<QTableWidget*>(QStringLiteral("ErsetzungStringGrid"));
    ASSERT_NE(grid, nullptr);
    const auto zeilenfarbe = [grid] {
        const QRect zeile = grid->visualRect(grid->model()->index(0, 0));
        return grid->viewport()->grab().toImage().pixelColor(zeile.center() + QPoint(20, 0));
    };
    grid->setFocus();
    const QColor mitFokus = zeilenfarbe();
    knopf("BitBtn5")->setFocus();
    EXPECT_NE(zeilenfarbe(), mitFokus);

    const int hoehe = grid->height();
    f->resize(1600, 1000);
    QApplication::processEvents();
    EXPECT_GE(grid->height(), hoehe + 1000 - 420 - 20) << "the grid grows with the page";
}

// Maximised, the options page's two buttons keep their width at the left of their frame.
TEST_F(Fenster, OptionButtonsKeepTheirWidthWhenMaximised) {
    zeigen();
    f->Seitenwechsel(Sender::Optionen1);
    const int breite = knopf("BitBtn5")->width();
    EXPECT_GE(breite, 137);
    f->resize(1600, 1000);
    QApplication::processEvents();
    for (const char* name : {"BitBtn5", "BitBtn6"}) EXPECT_EQ(knopf(name)->width(), breite) << name;
    EXPECT_LT(knopf("BitBtn6")->geometry().right(),
              f->findChild<QWidget*>(QStringLiteral("OptionenListbox"))->width() / 2);
}

// Closing with unsaved edits asks as a load does: Nein closes without them, Abbrechen keeps the
// window, Ja saves first (under a name the user picks when there is no file) and keeps the window
// when that save does not happen.
TEST_F(Fenster, ClosingWithUnsavedEditsAsksAndOnlyNeinOrASaveLetsItGo) {
    struct Fall {
        const char* name;
        const char* wie;  // "Beenden", "Ctrl+Q" or "close" (title bar, Alt+F4)
        bool mitDatei;
        std::deque<Antwort> antworten;
        QString speichernAls;  // the save dialog's answer
        bool gesperrt;         // the document cannot be written
        bool offen;
        Text datei;  // /w/s.htm afterwards ("" when none)
    };
    const Fall faelle[] = {
        {"Nein drops the edits", "Beenden", true, {Antwort::Nein}, {}, false, false, "alt"},
        {"Abbrechen keeps the window",
         "Ctrl+Q",
         true,
         {Antwort::Abbrechen},
         {},
         false,
         true,
         "alt"},
        {"Ja saves, then closes", "close", true, {Antwort::Ja}, {}, false, false, "altneu"},
        {"Ja with a failing save stays", "close", true, {Antwort::Ja}, {}, true, true, "alt"},
        {"Ja without a file asks for a name",
         "Beenden",
         false,
         {Antwort::Ja},
         u"/w/s.htm"_s,
         false,
         false,
         "neu"},
        {"Ja without a file, dialog cancelled", "close", false, {Antwort::Ja}, {}, false, true, ""},
    };
    for (const Fall& fall : faelle) {
        SCOPED_TRACE(fall.name);
        dateien.dateien.clear();
        dateien.gesperrt.clear();
        dialoge.boxen.clear();
        erzeugen(dateien);
        zeigen();
        if (fall.mitDatei) {
            dateien.dateien["/w/s.htm"] = "alt";
            dialoge.naechsteDatei = u"/w/s.htm"_s;
            f->Dateiladen(Sender::ButtonOeffnen);
            f->quelltextMemo().widget()->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
        }
        f->quelltextMemo().widget()->insert(QStringLiteral("neu"));
        f->quelltextMemo().widget()->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
        if (fall.gesperrt) dateien.gesperrt.insert("/w/s.htm");
        dialoge.naechsteDatei = fall.speichernAls;
        dialoge.antworten = fall.antworten;
        if (std::string_view(fall.wie) == "Beenden") {
            aktion("Beenden")->trigger();
        } else if (std::string_view(fall.wie) == "Ctrl+Q") {
            taste(Qt::Key_Q, Qt::ControlModifier);
        } else {
            f->close();
        }
        ASSERT_FALSE(fragen().empty()) << "no question";
        EXPECT_EQ(fragen().front(),
                  u"Der aktuelle Quelltext wurde verändert.\r\n\r\nSoll der Quelltext gespeichert "
                  u"werden?"_s);
        EXPECT_EQ(dialoge.boxen.front().knoepfe, Knoepfe::JaNeinAbbrechen);
        EXPECT_EQ(f->isVisible(), fall.offen);
        if (fall.offen) {
            EXPECT_TRUE(tab()) << "the source page keeps its tab";
        }
        const auto it = dateien.dateien.find("/w/s.htm");
        EXPECT_EQ(it != dateien.dateien.end() ? it->second : Text(), fall.datei);
        EXPECT_EQ(dialoge.texte(Box::Fehler).size(), fall.gesperrt ? 1U : 0U);
    }
}

// --- runs -------------------------------------------------------------------------------------

struct Start {
    const char* name;
    std::function<void(Fenster&)> ausloesen;
    Modus modus;
};

TEST_F(Fenster, TheSenderDecidesTheMode) {
    zeigen();
    auto klick = [](const char* name) { return [name](Fenster& t) { t.knopf(name)->click(); }; };
    auto menue = [](const char* name) { return [name](Fenster& t) { t.aktion(name)->trigger(); }; };
    auto key = [](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        return [k, m](Fenster& t) {
            t.f->quelltextMemo().widget()->setFocus();
            t.taste(k, m);
        };
    };
    const Start faelle[] = {
        {"OptimierenButton", klick("OptimierenButton"), Modus::Normal},
        {"ToolButton6", menue("ToolButton6"), Modus::Normal},
        {"Optimieren1", menue("Optimieren1"), Modus::Normal},
        {"F7", key(Qt::Key_F7), Modus::Normal},
        {"Ctrl+F7", key(Qt::Key_F7, Qt::ControlModifier), Modus::Normal},
        {"SchrittweiseOptimierenButton", klick("SchrittweiseOptimierenButton"), Modus::Schritt},
        {"ToolbarSchrittweiseOptimieren", menue("ToolbarSchrittweiseOptimieren"), Modus::Schritt},
        {"F8", key(Qt::Key_F8), Modus::Schritt},
        {"Alt+F8", key(Qt::Key_F8, Qt::AltModifier), Modus::Schritt},
    };
    nurOptionen({TAB});
    for (const auto& fall : faelle) {
        text("<p>\tx</p>");
        dialoge.boxen.clear();
        if (fall.modus == Modus::Schritt) dialoge.antworten = {Antwort::Ja};
        fall.ausloesen(*this);
        EXPECT_EQ(f->Optimierungsmodus(), fall.modus) << fall.name;
        EXPECT_EQ(fragen(), fall.modus == Modus::Schritt
                                ? std::vector<QString>{q(meldungen::kFrageTabs)}
                                : std::vector<QString>{})
            << fall.name;
        EXPECT_EQ(f->quelltextMemo().text(), Text("<p>x</p>")) << fall.name;
    }
}

TEST_F(Fenster, NormalRunAsksNothingAndEndsWithPreviewSizeAndSourcePage) {
    nurOptionen({ZU, DZU, DL, LZT, LIT, TAB});
    const Text vorher = "<html>\r\n\r\n\t<p>  Hallo  </p> \r\n <b> x </b>\r\n</html>";
    text(vorher);
    f->Seitenwechsel(Sender::Optionen1);
    f->Optimierung(Sender::OptimierenButton);
    const Text erwartet = optimiereText(vorher, optionen().zustand(), Ersetzungstabelle());
    EXPECT_EQ(f->quelltextMemo().text(), erwartet);
    EXPECT_TRUE(dialoge.boxen.empty());
    ASSERT_TRUE(dateien.existiert(kVorschau));
    EXPECT_EQ(dateien.dateien[kVorschau], erwartet);
    EXPECT_EQ(f->Vorschaudatei(), kVorschau);
    EXPECT_EQ(optimiertLabel(), QString::number(erwartet.size()));
    EXPECT_TRUE(f->Bearbeitungsstatus());
    EXPECT_EQ(seite(), Seite::Quelltext);
    EXPECT_TRUE(tab());
}

TEST_F(Fenster, RunWorksWithTheBusyCursorAndRestoresIt) {
    nurOptionen({ZU});
    std::vector<Qt::CursorShape> beimSchreiben;
    dateien.beimSchreiben = [&] {
        const QCursor* c = QApplication::overrideCursor();
        beimSchreiben.push_back(c != nullptr ? c->shape() : Qt::ArrowCursor);
    };
    text("a\r\nb");
    f->Optimierung(Sender::OptimierenButton);
    EXPECT_EQ(beimSchreiben, std::vector<Qt::CursorShape>{Qt::WaitCursor});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Fenster, StepRunShowsTheTextAsThePassesLeftItAtEachQuestion) {
    nurOptionen({TAB, DZU, ZU, DL});
    const Text t0 = "<p>\tA</p>\r\n\r\n<p>B  C</p>";
    text(t0);
    dialoge.antworten = {Antwort::Ja, Antwort::Nein, Antwort::Ja, Antwort::Ja};
    f->Optimierung(Sender::SchrittweiseOptimierenButton);

    const Text t1 = tabulatorenEntfernen(t0);
    const Text t3 = zeilenumbruecheEntfernen(t1);
    const Text t4 = doppelteLeerzeichenEntfernen(t3);
    ASSERT_EQ(dialoge.boxen.size(), 4u);
    const std::pair<std::string_view, Text> erwartet[] = {
        {meldungen::kFrageTabs, t0},
        {meldungen::kFrageDoppelteUmbrueche, t1},
        {meldungen::kFrageUmbrueche, t1},
        {meldungen::kFrageDoppelteLeerzeichen, t3},
    };
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(dialoge.boxen[i].text, q(erwartet[i].first)) << i;
        EXPECT_EQ(dialoge.boxen[i].knoepfe, Knoepfe::JaNeinAbbrechen) << i;
        EXPECT_EQ(dialoge.boxen[i].editorText, vonCp1252(erwartet[i].second)) << i;
    }
    EXPECT_EQ(f->quelltextMemo().text(), t4);
    EXPECT_EQ(dateien.dateien[kVorschau], t4);
    EXPECT_EQ(f->Optimierungsmodus(), Modus::Schritt);
}

TEST_F(Fenster, StepRunAnsweredNeinThroughoutStillEndsTheRun) {
    nurOptionen({TAB, ZU, NOA});
    text("a\tb\r\nc");
    dialoge.antworten = {Antwort::Nein, Antwort::Nein, Antwort::Nein};
    f->Optimierung(Sender::SchrittweiseOptimierenButton);
    EXPECT_EQ(f->quelltextMemo().text(), Text("a\tb\r\nc"));
    EXPECT_EQ(dateien.dateien[kVorschau], Text("a\tb\r\nc"));
    EXPECT_EQ(optimiertLabel(), QStringLiteral("6"));
    EXPECT_EQ(fragen().back(), q(meldungen::kAnzeigen));
    EXPECT_TRUE(shell.geoeffnet.isEmpty());
}

TEST_F(Fenster, AbandonedRunKeepsThePassesDoneAndEndsNothing) {
    nurOptionen({TAB, DZU, ZU, DL, NOA, DKS});
    const Text t0 = "<p>\tA</p>\r\n\r\n<p>B  C</p>";
    text(t0);
    f->Seitenwechsel(Sender::Optionen1);
    dialoge.antworten = {Antwort::Ja, Antwort::Ja, Antwort::Abbrechen};
    f->Optimierung(Sender::SchrittweiseOptimierenButton);
    EXPECT_EQ(f->quelltextMemo().text(),
              doppelteZeilenumbruecheEntfernen(tabulatorenEntfernen(t0)));
    EXPECT_EQ(dialoge.boxen.size(), 3u);
    EXPECT_EQ(optimiertLabel(), QStringLiteral("/"));
    EXPECT_FALSE(dateien.existiert(kVorschau));
    EXPECT_EQ(seite(), Seite::Optionen) << "the page is not switched";
    EXPECT_EQ(f->seiten().titel(Seite::Quelltext), QStringLiteral("Keine Datei geladen"))
        << "no lowercasing";
    EXPECT_TRUE(f->Bearbeitungsstatus());
}

TEST_F(Fenster, CommentQuestionsShowTheTextWithTheCommentsRemovedSoFar) {
    nurOptionen({KMM});
    text("a<!--1-->b<!--2-->c<!--3-->d");
    dialoge.antworten = {Antwort::Ja, Antwort::Nein, Antwort::Ja};
    f->Optimierung(Sender::OptimierenButton);
    ASSERT_EQ(dialoge.boxen.size(), 3u);
    EXPECT_EQ(dialoge.boxen[0].editorText, QStringLiteral("a<!--1-->b<!--2-->c<!--3-->d"));
    EXPECT_EQ(dialoge.boxen[1].editorText, QStringLiteral("ab<!--2-->c<!--3-->d"));
    EXPECT_EQ(dialoge.boxen[2].editorText, QStringLiteral("ab<!--2-->c<!--3-->d"));
    EXPECT_EQ(f->quelltextMemo().text(), Text("ab<!--2-->cd"));
}

TEST_F(Fenster, EmptyEditorOnlyShowsTheMessage) {
    nurOptionen({ZU, SK});
    text("x\r\ny");
    dialoge.antworten = {Antwort::Ja};
    f->Optimierung(Sender::SchrittweiseOptimierenButton);
    ASSERT_EQ(optimiertLabel(), QStringLiteral("3"));
    text("");
    dialoge.boxen.clear();
    f->Optimierung(Sender::OptimierenButton);
    EXPECT_EQ(dialoge.texte(Box::Meldung), std::vector<QString>{q(meldungen::kLeererQuelltext)});
    EXPECT_EQ(dialoge.boxen.size(), 1u);
    EXPECT_EQ(optimiertLabel(), QStringLiteral("/"));
    EXPECT_FALSE(f->Bearbeitungsstatus());
    EXPECT_EQ(f->Optimierungsmodus(), Modus::Schritt) << "the mode of the last run stays";
}

TEST_F(Fenster, ReplacementTableEditedOnTheOptionsPageIsAppliedByTheNextRun) {
    nurOptionen({AE});
    Ersetzungseditor& ersetzung = f->optionenSeite().ersetzungseditor();
    ersetzung.Edit1()->setText(QStringLiteral("Grüße"));
    ersetzung.Edit2()->setText(QStringLiteral("Hallo"));
    ersetzung.BitBtn3()->click();
    text(
        "<p>Gr\xFC\xDF"
        "e</p>");
    f->Optimierung(Sender::OptimierenButton);
    EXPECT_EQ(f->quelltextMemo().text(), Text("<p>Hallo</p>"));
}

TEST_F(Fenster, LowercasingWithoutDocumentEmptiesTheTabCaption) {
    nurOptionen({DKS});
    text("x");
    f->Optimierung(Sender::OptimierenButton);
    EXPECT_TRUE(f->AktuelleDatei().empty());
    EXPECT_EQ(f->seiten().titel(Seite::Quelltext), QString());
    EXPECT_TRUE(tab());
}

// --- preview ----------------------------------------------------------------------------------

TEST_F(Fenster, BothViewsReportAMissingFileRightAfterStart) {
    zeigen();
    f->quelltextMemo().widget()->setFocus();
    knopf("AnsichtOriginalButton")->click();
    knopf("AnsichtOptimiertButton")->click();
    aktion("Optimierunganzeigen1")->trigger();
    aktion("Originalanzeigen1")->trigger();
    taste(Qt::Key_F5);
    taste(Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(dialoge.texte(Box::Meldung),
              std::vector<QString>(6, QStringLiteral("Datei wurde nicht gefunden")));
    EXPECT_TRUE(shell.geoeffnet.isEmpty());
}

// Without a program to open web pages (no xdg-open) the views say so instead of nothing: the
// shell reports it (on X11, where Qt starts xdg-open; run by mit_fenstermanager.sh), the window
// shows it.
TEST(QtShellTest, ReportsWhetherAViewerCouldStart) {
    if (QGuiApplication::platformName() != u"xcb"_s) GTEST_SKIP() << "needs an X server";
    QTemporaryDir ordner;
    const QString seite = ordner.filePath(u"s.htm"_s);
    const QString protokoll = ordner.filePath(u"geoeffnet"_s);
    QFile(seite).open(QIODevice::WriteOnly);
    const QByteArray pfad = qgetenv("PATH");
    qunsetenv("BROWSER");
    qunsetenv("DEFAULT_BROWSER");
    qputenv("PATH", QFile::encodeName(ordner.path()));
    QtShell echt;
    EXPECT_FALSE(echt.oeffnen(seite)) << "no xdg-open on the PATH";
    const QString xdgOpen = ordner.filePath(u"xdg-open"_s);
    {
        QFile skript(xdgOpen);
        ASSERT_TRUE(skript.open(QIODevice::WriteOnly));
        skript.write("#!/bin/sh\necho \"$1\" > \"${0%/*}/geoeffnet\"\n");
    }
    QFile::setPermissions(xdgOpen, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(echt.oeffnen(seite));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(protokoll); }, 5000));
    qputenv("PATH", pfad);
}

TEST_F(Fenster, ViewsSayWhenNoBrowserCanStart) {
    shell.browser = false;
    dateien.dateien["/w/a.htm"] = "a";
    dialoge.naechsteDatei = u"/w/a.htm"_s;
    f->Dateiladen(Sender::ButtonOeffnen);
    knopf("AnsichtOriginalButton")->click();
    EXPECT_EQ(shell.geoeffnet, QStringList{u"/w/a.htm"_s});
    ASSERT_EQ(dialoge.texte(Box::Meldung).size(), 1U);
    EXPECT_TRUE(dialoge.texte(Box::Meldung).front().contains(u"xdg-utils"_s));
}

TEST_F(Fenster, OptimisedViewOpensThePreviewAfterARun) {
    nurOptionen({ZU});
    text("a\r\nb");
    f->Optimierung(Sender::OptimierenButton);
    knopf("AnsichtOptimiertButton")->click();
    EXPECT_EQ(shell.geoeffnet, QStringList{QString::fromStdString(kVorschau)});
    knopf("AnsichtOriginalButton")->click();
    EXPECT_EQ(dialoge.texte(Box::Meldung),
              std::vector<QString>{QStringLiteral("Datei wurde nicht gefunden")})
        << "no document file";
}

struct Anzeige {
    const char* name;
    std::initializer_list<int> optionen;
    std::deque<Antwort> antworten;
    int fragen;
    int geoeffnet;
};

TEST_F(Fenster, Options14And15OfferOrShowTheOptimisedPage) {
    const Anzeige faelle[] = {
        {"14, Ja", {NOA}, {Antwort::Ja}, 1, 1},
        {"14, Nein", {NOA}, {Antwort::Nein}, 1, 0},
        {"15 shows without asking", {OA}, {}, 0, 1},
        {"14 and 15, Ja", {NOA, OA}, {Antwort::Ja}, 1, 2},
        {"14 and 15, Nein", {NOA, OA}, {Antwort::Nein}, 1, 1},
        {"neither", {}, {}, 0, 0},
    };
    for (const auto& fall : faelle) {
        nurOptionen(fall.optionen);
        dialoge.boxen.clear();
        shell.geoeffnet.clear();
        dialoge.antworten = fall.antworten;
        text("x");
        f->Optimierung(Sender::OptimierenButton);
        EXPECT_EQ(static_cast<int>(fragen().size()), fall.fragen) << fall.name;
        if (fall.fragen == 1) {
            EXPECT_EQ(fragen()[0], q(meldungen::kAnzeigen)) << fall.name;
            EXPECT_EQ(dialoge.boxen[0].knoepfe, Knoepfe::JaNein) << fall.name;
        }
        EXPECT_EQ(shell.geoeffnet.size(), fall.geoeffnet) << fall.name;
        for (const QString& p : shell.geoeffnet) EXPECT_EQ(p, QString::fromStdString(kVorschau));
    }
}

TEST_F(Fenster, PreviewThatCannotBeWrittenGoesToTheErrorBox) {
    nurOptionen({ZU, NOA, DKS});
    dateien.gesperrt.insert(kVorschau);
    text("a\r\nb");
    f->Seitenwechsel(Sender::Optionen1);
    f->Optimierung(Sender::OptimierenButton);
    EXPECT_EQ(dialoge.texte(Box::Fehler),
              std::vector<QString>{QStringLiteral("Datei \"brelkon_quintaro_temp_datei.html\" kann "
                                                  "nicht erstellt werden. Zugriff verweigert")});
    EXPECT_TRUE(fragen().empty()) << "no display offered";
    EXPECT_EQ(optimiertLabel(), QStringLiteral("/"));
    EXPECT_EQ(seite(), Seite::Optionen);
    EXPECT_EQ(f->seiten().titel(Seite::Quelltext), QStringLiteral("Keine Datei geladen"));
    EXPECT_EQ(f->quelltextMemo().text(), Text("a b")) << "the editor shows the optimised text";
}

TEST_F(Fenster, AnyExceptionOfACommandEndsInTheErrorBoxWithTheCursorRestored) {
    nurOptionen({ZU});
    dateien.beimSchreiben = [] { throw std::runtime_error("Speicher erschöpft"); };
    text("a\r\nb");
    taste(Qt::Key_F7);  // through the key filter as well: nothing escapes into the event loop
    EXPECT_EQ(dialoge.texte(Box::Fehler),
              std::vector<QString>{QStringLiteral("Speicher erschöpft")});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(FensterMitDateien, PreviewThatCannotBeWrittenOnDisk) {
    QTemporaryDir dir;
    const QString vorher = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(kVorschau)));
    ScriptedDialoge dialoge;
    AufzeichnendeShell shell;
    LokaleDateien dateien;
    {
        TForm1 f(dialoge, shell, dateien, QString());
        f.optionenSeite().optionenListbox().setzeOption(NOA, false);
        f.quelltextMemo().setText("x");
        f.Optimierung(Sender::OptimierenButton);
    }
    QDir::setCurrent(vorher);
    const auto fehler = dialoge.texte(Box::Fehler);
    ASSERT_EQ(fehler.size(), 1u);
    EXPECT_TRUE(fehler[0].startsWith(
        QStringLiteral("Datei \"brelkon_quintaro_temp_datei.html\" kann nicht erstellt werden. ")))
        << fehler[0].toStdString();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Fenster, ClosingDeletesThePreviewFile) {
    nurOptionen({ZU});
    text("a\r\nb");
    f->Optimierung(Sender::OptimierenButton);
    dateien.dateien["andere.htm"] = "bleibt";
    ASSERT_TRUE(dateien.existiert(kVorschau));
    dialoge.antworten = {Antwort::Nein};  // the run's result is not saved
    f->close();
    EXPECT_FALSE(dateien.existiert(kVorschau));
    EXPECT_TRUE(dateien.existiert("andere.htm"));
    EXPECT_EQ(fragen().size(), 1U);
}

// --- what each pass saved ------------------------------------------------------------------

// The savings table as the user reads it: name, bytes, share per row.
struct Reihe {
    QString name, byte, anteil;
    bool grau;
    bool operator==(const Reihe&) const = default;
};
std::vector<Reihe> einsparungen(const QuelltextSeite& seite) {
    std::vector<Reihe> reihen;
    const QTableWidget* t = seite.einsparungen();
    if (t->isHidden()) return reihen;
    const QColor grau = t->palette().color(QPalette::Disabled, QPalette::Text);
    for (int r = 0; r < t->rowCount(); ++r) {
        reihen.push_back({t->item(r, 0)->text(), t->item(r, 1)->text(), t->item(r, 2)->text(),
                          t->item(r, 0)->foreground().color() == grau});
    }
    return reihen;
}

// The sizes come from the texts themselves; the names from the options' captions.
TEST_F(Fenster, SavingsTableAfterANormalRunAccountsForEveryByteAndGoesWhenTheTextChanges) {
    nurOptionen({KMA, TAB, ZU, DL, SZ});
    optionen().setzeOption(HSB, false);
    const Text t0 = "<p>\tA\xE4</p>\r\n<!-- weg -->\r\n<p>B  C</p>";
    text(t0);
    zeigen();
    f->Optimierung(Sender::OptimierenButton);
    Optionsmenge o = optionen().zustand();
    const auto groesse = [](const Text& t) { return static_cast<long long>(t.size()); };
    const Text nachKommentar = "<p>\tA\xE4</p>\r\n\r\n<p>B  C</p>";
    Optionsmenge nurLeerraum;
    for (int i = 0; i < kOptionCount; ++i) nurLeerraum.set(i, i == TAB || i == ZU || i == DL);
    nurLeerraum.set(HSB, false);
    const Text nachLeerraum = optimiereText(nachKommentar, nurLeerraum, Ersetzungstabelle());
    const Text ende = f->quelltextMemo().text();
    ASSERT_EQ(ende, optimiereText(t0, o, Ersetzungstabelle()));
    const QLocale de(QLocale::German, QLocale::Germany);
    const auto zahl = [&](long long n) { return de.toString(n); };
    const long long gesamt = groesse(t0) - groesse(ende);
    const auto anteil = [&](long long n) {
        return de.toString(100.0 * static_cast<double>(n) / static_cast<double>(gesamt), 'f', 1) +
               u" %"_s;
    };
    const long long kommentar = groesse(t0) - groesse(nachKommentar);
    const long long leerraum = groesse(nachKommentar) - groesse(nachLeerraum);
    const long long sonderzeichen = groesse(nachLeerraum) - groesse(ende);
    ASSERT_LT(sonderzeichen, 0) << "an entity is longer than its character";
    const std::vector<Reihe> erwartet = {
        {q(kOptionen[KMA].caption), zahl(kommentar), anteil(kommentar), false},
        {q(passName("TAB+ZU+DL")), zahl(leerraum), anteil(leerraum), false},
        {q(kOptionen[SZ].caption), zahl(sonderzeichen), anteil(sonderzeichen), false},
        {u"Gesamt"_s, zahl(gesamt), de.toString(100.0, 'f', 1) + u" %"_s, false},
    };
    EXPECT_EQ(einsparungen(f->quelltextSeite()), erwartet);
    EXPECT_TRUE(f->quelltextSeite().einsparungen()->isVisible());
    // Showing the page or another page leaves it; the next edit empties it.
    f->Seitenwechsel(Sender::Optionen1);
    f->Seitenwechsel(Sender::Quelltext);
    EXPECT_EQ(einsparungen(f->quelltextSeite()).size(), 4U);
    f->quelltextMemo().widget()->setFocus();
    QTest::keyClick(f->quelltextMemo().widget(), Qt::Key_X);
    EXPECT_TRUE(einsparungen(f->quelltextSeite()).empty());
}

// For a loaded file the table starts from the size the box shows: what loading added (line
// breaks made CR LF) is a row of its own, and the total is the box's difference.
TEST_F(Fenster, SavingsTableOfALoadedFileAgreesWithTheSizeBox) {
    dateien.dateien["/w/lf.htm"] = "<p>a</p>\n<!-- x -->\n<p>b  c</p>\n";
    f->dateiOeffnen(u"/w/lf.htm"_s);
    dialoge.antworten = {Antwort::Nein};  // no view of the result
    f->Optimierung(Sender::OptimierenButton);
    const auto reihen = einsparungen(f->quelltextSeite());
    ASSERT_GE(reihen.size(), 3U);
    EXPECT_EQ(reihen.front().byte, QLocale(QLocale::German, QLocale::Germany).toString(-3));
    const QuelltextSeite& seite = f->quelltextSeite();
    EXPECT_EQ(reihen.back().byte.toLongLong(),
              seite.originalGroesse().toLongLong() - seite.optimiertGroesse().toLongLong());
}

// A step-by-step run fills the table question by question; what did not run is marked so.
TEST_F(Fenster, SavingsTableFillsDuringAStepByStepRunAndMarksWhatDidNotRun) {
    nurOptionen({TAB, DZU, ZU, DL, SZ});
    const Text t0 = "<p>\tA</p>\r\n\r\n<p>B  C</p>";
    text(t0);
    std::vector<std::size_t> zeilen;
    dialoge.schnappschuss = [&] {
        zeilen.push_back(einsparungen(f->quelltextSeite()).size());
        return vonCp1252(f->quelltextMemo().text());
    };
    dialoge.antworten = {Antwort::Ja, Antwort::Nein, Antwort::Ja, Antwort::Abbrechen};
    f->Optimierung(Sender::SchrittweiseOptimierenButton);
    // Before each question the passes so far and the total row.
    EXPECT_EQ(zeilen, (std::vector<std::size_t>{1, 2, 3, 4}));
    const Text t1 = tabulatorenEntfernen(t0);
    const Text t3 = zeilenumbruecheEntfernen(t1);
    const auto n = [](const Text& a, const Text& b) {
        return QString::number(static_cast<long long>(a.size()) - static_cast<long long>(b.size()));
    };
    const auto reihen = einsparungen(f->quelltextSeite());
    ASSERT_EQ(reihen.size(), 6U);
    const std::pair<const char*, bool> byteUndGrau[] = {{"", false}, {"–", true}, {"", false},
                                                        {"–", true}, {"–", true}, {"", false}};
    EXPECT_EQ(reihen[0].byte, n(t0, t1));
    EXPECT_EQ(reihen[2].byte, n(t1, t3));
    EXPECT_EQ(reihen[5].byte, n(t0, t3));
    EXPECT_EQ(reihen[4].name, q(kOptionen[SZ].caption));
    for (std::size_t i = 0; i < reihen.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(reihen[i].grau, byteUndGrau[i].second);
        if (byteUndGrau[i].second) {
            EXPECT_EQ(reihen[i].byte, QString::fromUtf8(byteUndGrau[i].first));
        }
    }
    // Three different words for skipped, cancelled and not reached.
    EXPECT_NE(reihen[1].anteil, reihen[3].anteil);
    EXPECT_NE(reihen[3].anteil, reihen[4].anteil);
    EXPECT_NE(reihen[1].anteil, reihen[4].anteil);
}

}  // namespace
}  // namespace quintaro::ui
