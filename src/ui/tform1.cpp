// Builds the window, connects every control to its command and carries out the commands that
// belong to the window itself (page switching, keys, runs, preview, close).
#include "ui/tform1.h"

#include <Qsci/qsciscintilla.h>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOptionMenuItem>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>
#include <optional>
#include <utility>

#include "batch/stapel.h"
#include "document/dateien.h"
#include "document/ordnersuche.h"
#include "settings/einstellungen.h"
#include "ui/dateiliste_seite.h"
#include "ui/dialoge.h"
#include "ui/ersetzungseditor.h"
#include "ui/listbox.h"
#include "ui/optionen_listbox.h"
#include "ui/optionen_seite.h"
#include "ui/page_control.h"
#include "ui/quelltext_memo.h"
#include "ui/quelltext_seite.h"
#include "ui/shell.h"
#include "ui/symbole.h"

namespace quintaro::ui {

namespace {

// Without xdg-open (package xdg-utils) the desktop can start no browser.
const QString kKeinBrowser = QStringLiteral(
    "Die Seite kann nicht im Browser angezeigt werden: Es ist kein Programm zum Öffnen von "
    "Webseiten eingerichtet (xdg-open aus dem Paket xdg-utils).");

constexpr Fenster kStandard;
constexpr QSize kGroesse(kStandard.breite, kStandard.hoehe);
constexpr QSize kMindestgroesse(kMindestBreite, kMindestHoehe);
constexpr QPoint kPosition(kStandard.links, kStandard.oben);

// Qt's menu bar shows an item's icon instead of its caption; "Datei" shows both.
class MenueleistenStil : public QProxyStyle {
  public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* maler,
                     const QWidget* widget) const override {
        const auto* eintrag = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element != CE_MenuBarItem || eintrag == nullptr || eintrag->icon.isNull()) {
            QProxyStyle::drawControl(element, option, maler, widget);
            return;
        }
        QStyleOptionMenuItem hintergrund = *eintrag;
        hintergrund.icon = QIcon();
        hintergrund.text.clear();
        QProxyStyle::drawControl(element, &hintergrund, maler, widget);

        const bool aktiv = (eintrag->state & State_Selected) && (eintrag->state & State_Sunken);
        const bool an = (eintrag->state & State_Enabled) != 0;
        const QRect r = eintrag->rect;
        const QRect bild(r.left() + kRand, r.center().y() - kBild / 2 + 1, kBild, kBild);
        eintrag->icon.paint(maler, bild, Qt::AlignCenter, an ? QIcon::Normal : QIcon::Disabled);
        int ausrichtung =
            Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextDontClip | Qt::TextSingleLine;
        if (!proxy()->styleHint(SH_UnderlineShortcut, eintrag, widget)) {
            ausrichtung |= Qt::TextHideMnemonic;
        }
        proxy()->drawItemText(maler, r.adjusted(kBild + kRand, 0, 0, 0), ausrichtung,
                              eintrag->palette, an, eintrag->text,
                              aktiv ? QPalette::HighlightedText : QPalette::ButtonText);
    }

    QSize sizeFromContents(ContentsType typ, const QStyleOption* option, const QSize& groesse,
                           const QWidget* widget) const override {
        QSize s = QProxyStyle::sizeFromContents(typ, option, groesse, widget);
        const auto* eintrag = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (typ == CT_MenuBarItem && eintrag != nullptr && !eintrag->icon.isNull()) {
            s.rwidth() +=
                eintrag->fontMetrics.size(Qt::TextShowMnemonic, eintrag->text).width() + kRand;
        }
        return s;
    }

    // Alt alone moves into the menu bar, as on every desktop.
    int styleHint(StyleHint hinweis, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* rueckgabe) const override {
        if (hinweis == SH_MenuBar_AltKeyNavigation) return 1;
        return QProxyStyle::styleHint(hinweis, option, widget, rueckgabe);
    }

  private:
    static constexpr int kBild = 16;
    static constexpr int kRand = 4;
};

}  // namespace

TForm1::TForm1(Dialoge& dialoge, Shell& shell, Dateien& dateien, QString einstellungsDatei,
               QWidget* parent)
    : QMainWindow(parent),
      dialoge_(dialoge),
      shell_(shell),
      dateien_(dateien),
      einstellungsDatei_(std::move(einstellungsDatei)),
      dokument_(dateien, kFensterKapazitaet) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kTitel);
    // The controls are laid out for an 8-point dialog font.
    QFont schrift = font();
    schrift.setPointSize(8);
    setFont(schrift);

    seiten_ = new PageControl(this);
    quelltextSeite_ = new QuelltextSeite(seiten_);
    optionenSeite_ = new OptionenSeite(dialoge_, seiten_);
    dateilisteSeite_ = new DateilisteSeite(seiten_);
    seiten_->seiteHinzufuegen(quelltextSeite_, kKeineDatei);
    seiten_->seiteHinzufuegen(optionenSeite_, QStringLiteral("Optionen"));
    seiten_->seiteHinzufuegen(dateilisteSeite_, QStringLiteral("Dateiliste"));
    auto* mitte = new QWidget(this);
    auto* layout = new QVBoxLayout(mitte);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->addWidget(seiten_);
    setCentralWidget(mitte);

    menueAnlegen();
    werkzeugleisteAnlegen();

    connect(quelltextSeite_->OptimierenButton(), &QPushButton::clicked, this,
            [this] { Optimierung(Sender::OptimierenButton); });
    connect(quelltextSeite_->SchrittweiseOptimierenButton(), &QPushButton::clicked, this,
            [this] { Optimierung(Sender::SchrittweiseOptimierenButton); });
    connect(quelltextSeite_->AnsichtOriginalButton(), &QPushButton::clicked, this,
            [this] { OriginalAnzeigen(Sender::AnsichtOriginalButton); });
    connect(quelltextSeite_->AnsichtOptimiertButton(), &QPushButton::clicked, this,
            [this] { OptimierungAnzeigen(Sender::AnsichtOptimiertButton); });
    connect(&quelltextSeite_->quelltextMemo(), &QuelltextMemo::geaendert, this,
            [this] { QuelltextMemoChange(); });
    connect(optionenSeite_->BitBtn1(), &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(optionenSeite_->BitBtn2(), &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    connect(optionenSeite_->BitBtn5(), &QPushButton::clicked, this, [this] { BitBtn5Click(); });
    connect(optionenSeite_->BitBtn6(), &QPushButton::clicked, this, [this] { BitBtn6Click(); });
    connect(dateilisteSeite_->BitBtn8(), &QPushButton::clicked, this, [this] { BitBtn8Click(); });
    connect(dateilisteSeite_->BitBtn9(), &QPushButton::clicked, this, [this] { BitBtn9Click(); });
    connect(dateilisteSeite_->ordnerHinzufuegen(), &QPushButton::clicked, this,
            [this] { ordnerHinzufuegen(Sender::OrdnerHinzufuegenKnopf); });
    connect(dateilisteSeite_->DateienOptimieren(), &QPushButton::clicked, this,
            [this] { DateienOptimierenClick(); });
    connect(dateilisteSeite_, &DateilisteSeite::dateiListboxTaste, this,
            [this](int taste) { DateiListboxKeyDown(taste); });

    setMinimumSize(kMindestgroesse);
    resize(kGroesse);
    move(kPosition);
    // The window sees every key before the focused control does.
    qApp->installEventFilter(this);
    // The editor is first in the tab order: typing goes there from the start.
    quelltextMemo().widget()->setFocus();

    FormCreate();
}

TForm1::~TForm1() {
    qApp->removeEventFilter(this);
}

QuelltextMemo& TForm1::quelltextMemo() const {
    return quelltextSeite_->quelltextMemo();
}

QAction* TForm1::aktion(const QString& name, const QString& text, int symbolIndex) {
    auto* a = new QAction(symbol(symbolIndex), text, this);
    a->setObjectName(name);
    return a;
}

void TForm1::menueAnlegen() {
    QMenuBar* leiste = menuBar();
    leiste->setObjectName(QStringLiteral("MainMenu1"));
    auto* stil = new MenueleistenStil;
    stil->setParent(leiste);
    leiste->setStyle(stil);

    // Access keys in the captions; the usual shortcuts where no function key of the window has
    // the command already.
    auto befehl = [this](QMenu* menue, const QString& name, const QString& text, int bild,
                         void (TForm1::*handler)(Sender), Sender sender,
                         const QKeySequence& kuerzel = {}) {
        QAction* a = aktion(name, text, bild);
        a->setShortcut(kuerzel);
        connect(a, &QAction::triggered, this,
                [this, handler, sender] { (this->*handler)(sender); });
        menue->addAction(a);
    };

    QMenu* datei = leiste->addMenu(symbol(8), QStringLiteral("&Datei"));
    datei->setObjectName(QStringLiteral("Datei1"));
    befehl(datei, QStringLiteral("ToolbarOeffnen"), QStringLiteral("&Öffnen"), 0,
           &TForm1::Dateiladen, Sender::ToolbarOeffnen, QKeySequence::Open);
    befehl(datei, QStringLiteral("ToolbarErneutOeffnen"), QStringLiteral("&Erneut Öffnen"), 1,
           &TForm1::Dateiladen, Sender::ToolbarErneutOeffnen);
    befehl(datei, QStringLiteral("Speichern1"), QStringLiteral("&Speichern"), 2,
           &TForm1::Dateispeichern, Sender::Speichern1, QKeySequence(Qt::CTRL | Qt::Key_S));
    befehl(datei, QStringLiteral("Speichernunter1"), QStringLiteral("Speichern &unter..."), 3,
           &TForm1::Dateispeichern, Sender::Speichernunter1,
           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    datei->addSeparator();
    befehl(datei, QStringLiteral("Schlieen1"), QStringLiteral("S&chließen"), 8,
           &TForm1::Schlieen1Click, Sender::Schlieen1, QKeySequence(Qt::CTRL | Qt::Key_W));
    datei->addSeparator();
    befehl(datei, QStringLiteral("Beenden"), QStringLiteral("&Beenden"), 7, &TForm1::Seitenwechsel,
           Sender::Beenden, QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* bearbeiten = leiste->addMenu(QStringLiteral("&Bearbeiten"));
    bearbeiten->setObjectName(QStringLiteral("Bearbeiten1"));
    befehl(bearbeiten, QStringLiteral("Quelltext"), QStringLiteral("&Quelltext (F2)"), 11,
           &TForm1::Seitenwechsel, Sender::Quelltext);
    befehl(bearbeiten, QStringLiteral("Optionen1"), QStringLiteral("O&ptionen (F3)"), 9,
           &TForm1::Seitenwechsel, Sender::Optionen1);
    bearbeiten->addSeparator();
    befehl(bearbeiten, QStringLiteral("Optimieren1"), QStringLiteral("Optimierung &starten (F7)"),
           4, &TForm1::Optimierung, Sender::Optimieren1);
    befehl(bearbeiten, QStringLiteral("ToolbarSchrittweiseOptimieren"),
           QStringLiteral("Sch&rittweise optimieren (F8)"), 5, &TForm1::Optimierung,
           Sender::ToolbarSchrittweiseOptimieren);
    bearbeiten->addSeparator();
    befehl(bearbeiten, QStringLiteral("Stapelverarbeitung1"),
           QStringLiteral("S&tapelverarbeitung (F9)"), 6, &TForm1::Seitenwechsel,
           Sender::Stapelverarbeitung1);
    befehl(bearbeiten, QStringLiteral("ordnerHinzufuegenMenue"),
           QStringLiteral("Ordner &hinzufügen..."), 0, &TForm1::ordnerHinzufuegen,
           Sender::OrdnerHinzufuegenMenue);

    QMenu* anzeige = leiste->addMenu(QStringLiteral("&Anzeige"));
    anzeige->setObjectName(QStringLiteral("Anzeige1"));
    befehl(anzeige, QStringLiteral("Optimierunganzeigen1"),
           QStringLiteral("Optimierung an&zeigen (F5)"), 10, &TForm1::OptimierungAnzeigen,
           Sender::Optimierunganzeigen1);
    befehl(anzeige, QStringLiteral("Originalanzeigen1"), QStringLiteral("&Original anzeigen (F6)"),
           12, &TForm1::OriginalAnzeigen, Sender::Originalanzeigen1);
    aenderungenMenue(*anzeige);
}

void TForm1::werkzeugleisteAnlegen() {
    QToolBar* leiste = addToolBar(QStringLiteral("ToolBar1"));
    leiste->setObjectName(QStringLiteral("ToolBar1"));
    leiste->setMovable(false);
    leiste->setFloatable(false);
    leiste->setIconSize(QSize(16, 16));
    leiste->setToolButtonStyle(Qt::ToolButtonIconOnly);
    leiste->toggleViewAction()->setEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);

    auto knopf = [this, leiste](const QString& name, const QString& tipp, int bild,
                                void (TForm1::*handler)(Sender), Sender sender) {
        QAction* a = aktion(name, tipp, bild);
        a->setToolTip(tipp);
        connect(a, &QAction::triggered, this,
                [this, handler, sender] { (this->*handler)(sender); });
        leiste->addAction(a);
        QWidget* w = leiste->widgetForAction(a);
        w->setObjectName(name);
        w->setFixedSize(23, 23);
    };
    knopf(QStringLiteral("ButtonOeffnen"), QStringLiteral("Datei laden"), 0, &TForm1::Dateiladen,
          Sender::ButtonOeffnen);
    knopf(QStringLiteral("ButtonErneutOeffnen"), QStringLiteral("Erneut laden"), 1,
          &TForm1::Dateiladen, Sender::ButtonErneutOeffnen);
    knopf(QStringLiteral("ButtonSpeichern"), QStringLiteral("Speichern"), 2,
          &TForm1::Dateispeichern, Sender::ButtonSpeichern);
    knopf(QStringLiteral("ButtonSpeichernunter"), QStringLiteral("Speichern unter..."), 3,
          &TForm1::Dateispeichern, Sender::ButtonSpeichernunter);
    leiste->addSeparator();
    knopf(QStringLiteral("ToolButton6"), QStringLiteral("Optimierung starten"), 4,
          &TForm1::Optimierung, Sender::ToolButton6);
    leiste->addSeparator();
}

template <class Arbeit>
void TForm1::sicher(Arbeit&& arbeit) {
    mitFehlerbox(dialoge_, this, [this, &arbeit] {
        try {
            arbeit();
        } catch (...) {
            setzeBeschaeftigt(false);  // the pointer is back to normal for the box
            throw;
        }
    });
}

void TForm1::befehl(const std::function<void()>& arbeit) {
    sicher(arbeit);
}

void TForm1::FormCreate() {
    sicher([this] {
        optionenSeite_->ersetzungseditor().setzeKopfzeile();
        IniLaden();
    });
}

void TForm1::Seitenwechsel(Sender sender) {
    sicher([this, sender] {
        seiten_->setzeTabSichtbar(Seite::Quelltext, false);
        if (sender == Sender::Optionen1) seiten_->setzeAktiv(Seite::Optionen);
        if (sender == Sender::Beenden) close();
        if (sender == Sender::Stapelverarbeitung1) seiten_->setzeAktiv(Seite::Dateiliste);
        if (sender == Sender::ToolButton6 || sender == Sender::ButtonOeffnen ||
            sender == Sender::Quelltext) {
            seiten_->setzeAktiv(Seite::Quelltext);
            seiten_->setzeTabSichtbar(Seite::Quelltext, true);
        }
    });
}

namespace {

// A run's questions in the window's boxes, the editor brought up to date first.
class FensterFragen : public Fragen {
  public:
    FensterFragen(QuelltextMemo& memo, std::function<Antwort(const QString&)> frage,
                  std::function<void(const std::vector<Passbericht>&)> bisher)
        : memo_(memo), frage_(std::move(frage)), bisher_(std::move(bisher)) {}
    Antwort frage(const std::string& text, const Zwischenstand& stand) override {
        if (stand.geaendert()) memo_.setText(stand.text());
        // The savings so far, after the text: a new text empties the table.
        bisher_(stand.bisher());
        return frage_(QString::fromStdString(text));
    }

  private:
    QuelltextMemo& memo_;
    std::function<Antwort(const QString&)> frage_;
    std::function<void(const std::vector<Passbericht>&)> bisher_;
};

QString q(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

void TForm1::Optimierung(Sender sender) {
    befehl([this, sender] {
        using namespace meldungen;
        Modus modus = Modus::Normal;
        if (sender == Sender::SchrittweiseOptimierenButton ||
            sender == Sender::ToolbarSchrittweiseOptimieren) {
            modus = Modus::Schritt;
        }
        dokument_.setzeBearbeitungsstatus(true);
        quelltextSeite_->setzeOptimiertGroesse(QStringLiteral("/"));
        if (quelltextMemo().hatKeinenText()) {
            meldung(q(kLeererQuelltext));
            dokument_.setzeBearbeitungsstatus(false);
            return;
        }
        // The options as they stand when the run starts.
        const Optionsmenge optionen = optionenSeite_->optionenListbox().zustand();
        dokument_.sichern(modus, optionen[SK], [this] {
            return frage(q(kSicherheitskopieUeberschreiben), Knoepfe::JaNein) == Antwort::Ja;
        });
        optimierungsmodus_ = modus;
        setzeBeschaeftigt(true);

        Text text = quelltextMemo().text();
        const std::size_t vorher = text.size();
        const std::optional<std::size_t> datei =
            dokument_.originalGroesse() >= 0
                ? std::optional<std::size_t>(static_cast<std::size_t>(dokument_.originalGroesse()))
                : std::nullopt;
        FensterFragen fragen(
            quelltextMemo(),
            [this](const QString& frageText) { return frage(frageText, Knoepfe::JaNeinAbbrechen); },
            [this, vorher, datei](const std::vector<Passbericht>& bisher) {
                quelltextSeite_->setzeEinsparungen(bisher, vorher, datei);
            });
        const Laufoptionen lauf{optionen, optionenSeite_->ersetzungseditor().tabelle(),
                                quelltextMemo().kodierung(), modus, dokument_.kapazitaet()};
        // A text past the capacity throws: nothing of this run reaches the editor.
        const Laufergebnis ergebnis = laufen(text, lauf, fragen);
        if (ergebnis.neuerStand) quelltextMemo().setText(text);
        quelltextSeite_->setzeEinsparungen(ergebnis.passes, ergebnis.vorher, datei);
        if (ergebnis.abgebrochen) {
            setzeBeschaeftigt(false);
            return;
        }
        for (const auto tipp : ergebnis.tipps) meldung(q(tipp));

        const std::int32_t groesse = dokument_.vorschauSchreiben(text);
        quelltextSeite_->setzeOptimiertGroesse(QString::number(groesse));
        setzeBeschaeftigt(false);
        if (optionen[NOA] && frage(q(kAnzeigen), Knoepfe::JaNein) == Antwort::Ja) {
            OptimierungAnzeigen(Sender::AnsichtOptimiertButton);
        }
        if (optionen[OA]) OptimierungAnzeigen(Sender::AnsichtOptimiertButton);
        if (optionen[DKS]) {
            dokument_.dateinameKlein();
            seiten_->setzeTitel(Seite::Quelltext,
                                QString::fromStdString(dokument_.aktuelleDatei()));
        }
        quelltextSeiteZeigen();
    });
}

void TForm1::anzeigen(const std::string& datei) {
    if (!shell_.oeffnen(QString::fromStdString(datei))) dialoge_.meldung(this, kKeinBrowser);
}

void TForm1::quelltextSeiteZeigen() {
    seiten_->setzeAktiv(Seite::Quelltext);
    seiten_->setzeTabSichtbar(Seite::Quelltext, true);
}

void TForm1::setzeBeschaeftigt(bool busy) {
    if (busy == beschaeftigt_) return;
    beschaeftigt_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

Antwort TForm1::frage(const QString& text, Knoepfe knoepfe) {
    const bool war = beschaeftigt_;
    setzeBeschaeftigt(false);
    const Antwort a = dialoge_.frage(this, text, knoepfe);
    setzeBeschaeftigt(war);
    return a;
}

void TForm1::meldung(const QString& text) {
    const bool war = beschaeftigt_;
    setzeBeschaeftigt(false);
    dialoge_.meldung(this, text);
    setzeBeschaeftigt(war);
}

void TForm1::OriginalAnzeigen(Sender) {
    sicher([this] {
        const std::string original = dokument_.quelle();
        if (dateien_.existiert(original)) {
            anzeigen(original);
        } else {
            dialoge_.meldung(this, kNichtGefunden);
        }
    });
}

void TForm1::OptimierungAnzeigen(Sender) {
    sicher([this] {
        if (dateien_.existiert(dokument_.vorschaudatei())) {
            anzeigen(dokument_.vorschaudatei());
        } else {
            dialoge_.meldung(this, kNichtGefunden);
        }
    });
}

// --- The batch page ---------------------------------------------------------------------------

void TForm1::BitBtn8Click() {
    if (stapelLaeuft_) return;
    sicher([this] {
        DateifilterSetzen();
        sortiertEinfuegen(*dateilisteSeite_->DateiListbox(), openDialog1Zeigen(true), false);
    });
}

void TForm1::ordnerHinzufuegen(Sender sender) {
    if (stapelLaeuft_) return;
    if (sender == Sender::OrdnerHinzufuegenMenue) Seitenwechsel(Sender::Stapelverarbeitung1);
    sicher([this] {
        const QString ordner = dialoge_.ordnerOeffnen(this, openDialog1Ordner_);
        if (ordner.isEmpty()) return;
        openDialog1Ordner_ = ordner;
        const QListWidget& filterliste = *optionenSeite_->DateifilterListbox();
        std::vector<std::string> filter;
        filter.reserve(static_cast<std::size_t>(filterliste.count()));
        for (int i = 0; i < filterliste.count(); ++i) {
            filter.push_back(filterliste.item(i)->text().toStdString());
        }
        setzeBeschaeftigt(true);
        const Ordnerinhalt inhalt = ordnerDurchsuchen(ordner.toStdString(), suchmuster(filter));
        QStringList neue;
        neue.reserve(static_cast<qsizetype>(inhalt.dateien.size()));
        for (const std::string& d : inhalt.dateien) neue << QString::fromStdString(d);
        sortiertEinfuegen(*dateilisteSeite_->DateiListbox(), neue, true);
        setzeBeschaeftigt(false);
        if (!inhalt.fehler.empty()) {
            QString text = kOrdnerUnlesbar;
            for (const auto& f : inhalt.fehler) {
                text += QStringLiteral("\r\n") + QString::fromStdString(f.pfad) +
                        QStringLiteral(": ") + QString::fromStdString(f.meldung);
            }
            meldung(text);
        }
    });
}

void TForm1::BitBtn9Click() {
    if (!stapelLaeuft_) dateilisteSeite_->DateiListbox()->clear();
}

void TForm1::DateiListboxKeyDown(int taste) {
    if (taste == Qt::Key_Delete && !stapelLaeuft_)
        ListboxItemLoeschen(*dateilisteSeite_->DateiListbox());
}

void TForm1::DateienOptimierenClick() {
    if (stapelLaeuft_) return;
    stapelBeenden_ = false;
    sicher([this] {
        const QStringList liste = dateilisteSeite_->dateien();
        if (liste.isEmpty()) {
            meldung(q(kKeineDateienGewaehlt));
            return;
        }
        QProgressBar& balken = *dateilisteSeite_->Fortschrittsanzeige();
        // Whichever way the run ends, the window is idle again afterwards.
        struct Lauf {
            TForm1& f;
            QProgressBar& balken;
            // No second run, no edit of the list meanwhile; closing asks whether to stop.
            Eingabesperre sperre{f, [this] { f.stapelSchliessen(); }};
            Lauf(TForm1& fenster, QProgressBar& b) : f(fenster), balken(b) {
                f.stapelLaeuft_ = true;
                // The hidden editor takes the texts only when it is shown again.
                f.quelltextMemo().zurueckhalten(true);
                balken.show();
                f.setzeBeschaeftigt(true);
            }
            ~Lauf() {
                balken.hide();
                f.setzeBeschaeftigt(false);
                f.quelltextMemo().zurueckhalten(false);
                f.stapelLaeuft_ = false;
            }
            Lauf(const Lauf&) = delete;
            Lauf& operator=(const Lauf&) = delete;
        } lauf(*this, balken);

        const auto schritt = [this] {
            dateilisteSeite_->fortschrittSchritt();
            dateilisteSeite_->zwischendurchZeichnen();
        };
        // Afterwards no document is loaded; the list shows the names DKS gave.
        std::map<std::string, std::string> umbenannt;
        const auto ende = [&] {
            quelltextSeite_->dokumentSchliessen();
            dokument_.schliessen();
            seiten_->setzeTitel(Seite::Quelltext, kKeineDatei);
            quelltextSeite_->setzeOriginalGroesse(QStringLiteral("/"));
            quelltextSeite_->setzeOptimiertGroesse(QStringLiteral("/"));
            dateilisteUmbenennen(umbenannt);
        };
        // The window shows each file as its load would and asks the run's questions in its
        // boxes.
        StapelHaken haken;
        haken.frage = [this](const std::string& text, Knoepfe knoepfe) {
            return frage(QString::fromStdString(text), knoepfe);
        };
        haken.meldung = [this](const std::string& text) { meldung(QString::fromStdString(text)); };
        haken.quelltext = [this](const Text& text) { quelltextMemo().setText(text); };
        haken.geladen = [&](const std::string& pfad, std::int32_t groesse, const Text& text) {
            quelltextMemo().setText(text);
            seiten_->setzeTitel(Seite::Quelltext, QString::fromStdString(pfad));
            quelltextSeite_->setzeOriginalGroesse(QString::number(groesse));
            quelltextSeite_->setzeOptimiertGroesse(QStringLiteral("/"));
            dokument_.vorschauLoeschen();
            if (!text.empty()) optimierungsmodus_ = Modus::Automatisch;
            schritt();
        };
        StapelMelder melder;
        melder.abbrechen = [this] { return stapelBeenden_; };
        melder.beginnt = [&](std::size_t, std::size_t, const std::string& pfad) {
            dokument_.benennen(pfad);
            schritt();
        };
        melder.fertig = [&](std::size_t, const std::string& pfad, const StapelErgebnis& e) {
            if (e.pfad != pfad) umbenannt[pfad] = e.pfad;
            schritt();
        };
        std::vector<std::string> pfade;
        pfade.reserve(static_cast<std::size_t>(liste.size()));
        for (const QString& pfad : liste) pfade.push_back(pfad.toStdString());
        StapelBilanz bilanz;
        try {
            // A file error ends the batch at its file; the error box follows once it is idle.
            bilanz = stapelLauf(dateien_, pfade, optionenSeite_->optionenListbox().zustand(),
                                optionenSeite_->ersetzungseditor().tabelle(), haken, melder,
                                Fehlerpolitik::Anhalten, dokument_.kapazitaet(), standardFaeden());
        } catch (...) {
            ende();
            throw;
        }
        balken.setValue(kFortschrittMaximum);
        ende();
        if (!bilanz.abgebrochen) meldung(q(kDateienOptimiert));
    });
    if (std::exchange(stapelBeenden_, false)) close();
}

void TForm1::stapelSchliessen() {
    if (!stapelLaeuft_) {
        close();
        return;
    }
    if (stapelBeenden_) return;
    stapelBeenden_ = frage(kStapelBeenden, Knoepfe::JaNein) == Antwort::Ja;
}

void TForm1::dateilisteUmbenennen(const std::map<std::string, std::string>& umbenannt) {
    if (umbenannt.empty()) return;
    QListWidget& liste = *dateilisteSeite_->DateiListbox();
    QStringList eintraege = dateilisteSeite_->dateien();
    for (QString& eintrag : eintraege) {
        const auto it = umbenannt.find(eintrag.toStdString());
        if (it != umbenannt.end()) eintrag = QString::fromStdString(it->second);
    }
    liste.clear();
    sortiertEinfuegen(liste, eintraege, false);
}

void TForm1::FormKeyDown(int taste) {
    switch (taste) {
        case Qt::Key_F2:
            Seitenwechsel(Sender::ButtonOeffnen);
            break;
        case Qt::Key_F3:
            Seitenwechsel(Sender::Optionen1);
            break;
        case Qt::Key_F5:
            OptimierungAnzeigen(Sender::AnsichtOptimiertButton);
            break;
        case Qt::Key_F6:
            OriginalAnzeigen(Sender::AnsichtOriginalButton);
            break;
        case Qt::Key_F4:
            AenderungenAnzeigen();
            break;
        case Qt::Key_F7:
            Optimierung(Sender::OptimierenButton);
            break;
        case Qt::Key_F8:
            Optimierung(Sender::SchrittweiseOptimierenButton);
            break;
        case Qt::Key_F9:
            Seitenwechsel(Sender::Stapelverarbeitung1);
            break;
        case Qt::Key_F10:
            // Into the menu: its first menu opens, the arrow keys go on from there.
            menuBar()->setActiveAction(menuBar()->actions().constFirst());
            break;
        case Qt::Key_F11:
            if (isMaximized()) {
                showNormal();
            } else {
                showMaximized();
            }
            break;
        default:
            break;
    }
}

bool TForm1::eventFilter(QObject* objekt, QEvent* ereignis) {
    if (aussenGeometrie_ && (objekt == this || objekt == static_cast<QObject*>(windowHandle()))) {
        switch (ereignis->type()) {
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::Expose:
            case QEvent::ActivationChange:
                aussenGeometrieNachholen();
                break;
            default:
                break;
        }
    }
    if (ereignis->type() == QEvent::KeyPress && objekt->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(objekt);
        // A key the focused control ignores travels on to its parents; the window acts only on
        // its first delivery, to the control that has the focus (or to the window itself).
        QWidget* fokus = QApplication::focusWidget();
        if (fokus == nullptr || fokus->window() != this) fokus = focusWidget();
        const bool erste = fokus != nullptr ? widget == fokus : widget == this;
        if (erste && widget->window() == this) {
            const int taste = static_cast<QKeyEvent*>(ereignis)->key();
            FormKeyDown(taste);
            if (widget == optionenSeite_->DateifilterListbox()) DateifilterListboxKeyDown(taste);
        }
    }
    if (ereignis->type() == QEvent::MouseButtonDblClick &&
        objekt == optionenSeite_->DateifilterListbox()->viewport()) {
        DateifilterListboxDblClick();
    }
    return QMainWindow::eventFilter(objekt, ereignis);
}

void TForm1::closeEvent(QCloseEvent* ereignis) {
    bool fertig = false;
    sicher([this, &fertig] {
        if (!aenderungenKlaeren()) return;
        FormClose();
        fertig = true;
    });
    if (fertig) {
        ereignis->accept();
        return;
    }
    // Kept open by the user, or the settings could not be written: the window stays. "Beenden"
    // hid the source page's tab on its way here.
    ereignis->ignore();
    if (seiten_->aktiv() == Seite::Quelltext) seiten_->setzeTabSichtbar(Seite::Quelltext, true);
}

}  // namespace quintaro::ui
