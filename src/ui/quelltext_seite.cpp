// Layout: the editor grows with the window; the right-hand column keeps its width of 147 pixels,
// the size and encoding boxes stay at the top and the two button groups at the bottom.
#include "ui/quelltext_seite.h"

#include <Qsci/qsciscintilla.h>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdint>

#include "ui/bausteine.h"
#include "ui/quelltext_memo.h"
#include "ui/symbole.h"

namespace quintaro::ui {

namespace {
constexpr int kSpalte = 147;
constexpr int kKnopfHoehe = 30;
// Windows' colour of inactive title bars, behind the white heading of the size box.
const QColor kTitelleiste(0x7a, 0x96, 0xbb);

QString kodierungsName(Kodierung k) {
    switch (k) {
        case Kodierung::Utf8:
            return QStringLiteral("UTF-8");
        case Kodierung::Andere:
            return QStringLiteral("andere 8-Bit");
        case Kodierung::Cp1252:
            break;
    }
    return QStringLiteral("Windows-1252");
}

QString q(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString ausgangText(Passausgang a) {
    switch (a) {
        case Passausgang::Uebersprungen:
            return QStringLiteral("übersprungen");
        case Passausgang::Abgebrochen:
            return QStringLiteral("abgebrochen");
        case Passausgang::NichtErreicht:
            return QStringLiteral("nicht erreicht");
        case Passausgang::Gelaufen:
            break;
    }
    return {};
}

// A box of the right-hand column: white heading on the title bar colour, content below.
QVBoxLayout* kasten(QFrame* rahmen, const QString& titel) {
    auto* kopf = ueberschrift(titel, rahmen);
    kopf->setAutoFillBackground(true);
    QPalette farben = kopf->palette();
    farben.setColor(QPalette::Window, kTitelleiste);
    farben.setColor(QPalette::WindowText, Qt::white);
    kopf->setPalette(farben);
    kopf->setFixedHeight(25);
    kopf->setContentsMargins(4, 0, 0, 0);
    auto* box = new QVBoxLayout(rahmen);
    box->setContentsMargins(1, 1, 1, 1);
    box->setSpacing(0);
    box->addWidget(kopf);
    return box;
}
}  // namespace

QuelltextSeite::QuelltextSeite(QWidget* parent)
    : QWidget(parent), editor_(new QuelltextMemo(this)) {
    setObjectName(QStringLiteral("Z_Quelltext"));

    optimieren_ = bildKnopf(QStringLiteral("OptimierenButton"), QStringLiteral("Jetzt optimieren"),
                            symbol(4), this);
    schrittweise_ = bildKnopf(QStringLiteral("SchrittweiseOptimierenButton"),
                              QStringLiteral("Schrittweise optimieren"), symbol(5), this);
    ansichtOriginal_ = bildKnopf(QStringLiteral("AnsichtOriginalButton"),
                                 QStringLiteral("Ansicht Original"), symbol(12), this);
    ansichtOptimiert_ = bildKnopf(QStringLiteral("AnsichtOptimiertButton"),
                                  QStringLiteral("Ansicht Optimiert"), symbol(10), this);
    // The column is 147 pixels wide unless the desktop's font needs more for a caption.
    int spalte = kSpalte;
    for (QPushButton* k : {optimieren_, schrittweise_, ansichtOriginal_, ansichtOptimiert_}) {
        spalte = std::max(spalte, k->sizeHint().width() + 6);
    }

    // Size box.
    auto* groessen = rahmen(this);
    groessen->setFixedSize(spalte, 76);
    QVBoxLayout* box = kasten(groessen, QStringLiteral("Dateigröße (in Byte)"));
    originalGroesse_ = new QLabel(QStringLiteral("/"), groessen);
    originalGroesse_->setObjectName(QStringLiteral("DateigroesseOriginalLabel"));
    optimiertGroesse_ = new QLabel(QStringLiteral("/"), groessen);
    optimiertGroesse_->setObjectName(QStringLiteral("DateigroesseOptimiertLabel"));
    for (QLabel* l : {originalGroesse_, optimiertGroesse_}) {
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    auto* werte = new QGridLayout;
    werte->setContentsMargins(5, 4, 4, 4);
    werte->setHorizontalSpacing(6);
    werte->setVerticalSpacing(2);
    werte->addWidget(new QLabel(QStringLiteral("Original:"), groessen), 0, 0);
    werte->addWidget(originalGroesse_, 0, 1);
    werte->addWidget(new QLabel(QStringLiteral("Optimiert:"), groessen), 1, 0);
    werte->addWidget(optimiertGroesse_, 1, 1);
    werte->setColumnStretch(1, 1);
    box->addLayout(werte);
    box->addStretch(1);

    // Encoding box.
    auto* kodierungRahmen = rahmen(this);
    kodierungRahmen->setFixedWidth(spalte);
    QVBoxLayout* kodierungBox = kasten(kodierungRahmen, QStringLiteral("Kodierung"));
    kodierungAuswahl_ = new QComboBox(kodierungRahmen);
    kodierungAuswahl_->setObjectName(QStringLiteral("KodierungComboBox"));
    kodierungAuswahl_->addItems(
        {QStringLiteral("Automatisch"), QStringLiteral("Windows-1252"), QStringLiteral("UTF-8")});
    kodierungAuswahl_->setToolTip(
        QStringLiteral("Wie die Bytes des geladenen Dokuments gelesen werden. Eine Wahl ändert "
                       "keines der Bytes."));
    kodierung_ = new QLabel(kodierungRahmen);
    kodierung_->setObjectName(QStringLiteral("KodierungLabel"));
    kodierung_->setToolTip(
        QStringLiteral("Bei einer anderen 8-Bit-Codepage bleiben die Bytes ab 0x80 unverändert."));
    auto* kodierungWerte = new QVBoxLayout;
    kodierungWerte->setContentsMargins(4, 4, 4, 4);
    kodierungWerte->setSpacing(3);
    kodierungWerte->addWidget(kodierungAuswahl_);
    kodierungWerte->addWidget(kodierung_);
    kodierungBox->addLayout(kodierungWerte);
    kodierungAnzeigen();
    connect(kodierungAuswahl_, &QComboBox::currentIndexChanged, this, [this] {
        Kodierung k = Kodierung::Cp1252;
        if (wahl() != KodierungsWahl::Automatisch || dokument_) {
            k = kodierungFuer(wahl(), editor_->text());
        }
        editor_->setzeKodierung(k);
        kodierungAnzeigen();
    });

    // What the last run saved, pass by pass.
    einsparungsRahmen_ = rahmen(this);
    QVBoxLayout* einsparungsBox =
        kasten(einsparungsRahmen_, QStringLiteral("Einsparung (in Byte)"));
    einsparungen_ = new QTableWidget(0, 3, einsparungsRahmen_);
    einsparungen_->setObjectName(QStringLiteral("EinsparungenTabelle"));
    einsparungen_->setHorizontalHeaderLabels(
        {QStringLiteral("Durchgang"), QStringLiteral("Byte"), QStringLiteral("Anteil")});
    einsparungen_->verticalHeader()->hide();
    einsparungen_->verticalHeader()->setMinimumSectionSize(1);
    einsparungen_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 3);
    einsparungen_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    einsparungen_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    einsparungen_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    einsparungen_->horizontalHeader()->setHighlightSections(false);
    einsparungen_->setShowGrid(false);
    einsparungen_->setFrameShape(QFrame::NoFrame);
    einsparungen_->setWordWrap(false);
    einsparungen_->setTextElideMode(Qt::ElideRight);
    einsparungen_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    einsparungen_->setSelectionMode(QAbstractItemView::NoSelection);
    einsparungen_->setFocusPolicy(Qt::NoFocus);
    einsparungen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    einsparungsBox->addWidget(einsparungen_);
    einsparungsRahmen_->hide();
    connect(editor_, &QuelltextMemo::geaendert, this, [this] { einsparungenLeeren(); });

    // Run and view buttons, each pair in its own frame.
    auto paar = [this, spalte](QPushButton* a, QPushButton* b) {
        auto* f = rahmen(this);
        f->setFixedSize(spalte, 65);
        auto* l = new QVBoxLayout(f);
        l->setContentsMargins(3, 3, 3, 2);
        l->setSpacing(0);
        for (QPushButton* k : {a, b}) {
            k->setParent(f);
            k->setFixedHeight(kKnopfHoehe);
            l->addWidget(k);
        }
        return f;
    };
    QFrame* laufRahmen = paar(optimieren_, schrittweise_);
    QFrame* ansichtRahmen = paar(ansichtOriginal_, ansichtOptimiert_);

    auto* rechts = new QVBoxLayout;
    rechts->setContentsMargins(0, 0, 0, 0);
    rechts->setSpacing(0);
    rechts->addWidget(groessen);
    rechts->addSpacing(7);
    rechts->addWidget(kodierungRahmen);
    rechts->addStretch(1);
    rechts->addWidget(laufRahmen);
    rechts->addSpacing(7);
    rechts->addWidget(ansichtRahmen);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    // The table of savings below the editor, where the passes' names have room.
    teiler_ = new QSplitter(Qt::Vertical, this);
    teiler_->setObjectName(QStringLiteral("EinsparungsTeiler"));
    teiler_->setChildrenCollapsible(false);
    teiler_->setHandleWidth(3);
    teiler_->addWidget(editor_->widget());
    teiler_->addWidget(einsparungsRahmen_);
    teiler_->setStretchFactor(0, 1);
    teiler_->setStretchFactor(1, 0);
    layout->addWidget(teiler_, 1);
    layout->addLayout(rechts);

    // Top to bottom, as the column is laid out.
    setTabOrder(editor_->widget(), kodierungAuswahl_);
    setTabOrder(kodierungAuswahl_, optimieren_);
    setTabOrder(optimieren_, schrittweise_);
    setTabOrder(schrittweise_, ansichtOriginal_);
    setTabOrder(ansichtOriginal_, ansichtOptimiert_);
    editor_->widget()->installEventFilter(this);
}

// Tab and Shift+Tab move the focus along the page's order, as they do for the buttons; the tab
// character is typed with Ctrl+Tab (Scintilla's own Tab: a tab, or the selected lines indented).
bool QuelltextSeite::eventFilter(QObject* objekt, QEvent* ereignis) {
    if (objekt == editor_->widget() && ereignis->type() == QEvent::KeyPress) {
        const auto* taste = static_cast<QKeyEvent*>(ereignis);
        const Qt::KeyboardModifiers mods = taste->modifiers() & ~Qt::KeypadModifier;
        if (taste->key() == Qt::Key_Tab && mods == Qt::ControlModifier) {
            editor_->widget()->SendScintilla(QsciScintillaBase::SCI_TAB);
            return true;
        }
        if ((mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0) {
            if (taste->key() == Qt::Key_Tab && mods == Qt::NoModifier) {
                return focusNextPrevChild(true);
            }
            if (taste->key() == Qt::Key_Backtab ||
                (taste->key() == Qt::Key_Tab && mods == Qt::ShiftModifier)) {
                return focusNextPrevChild(false);
            }
        }
    }
    return QWidget::eventFilter(objekt, ereignis);
}

KodierungsWahl QuelltextSeite::wahl() const {
    switch (kodierungAuswahl_->currentIndex()) {
        case 1:
            return KodierungsWahl::Cp1252;
        case 2:
            return KodierungsWahl::Utf8;
        default:
            return KodierungsWahl::Automatisch;
    }
}

void QuelltextSeite::kodierungAnzeigen() {
    kodierung_->setText(QStringLiteral("Gelesen als: ") + kodierungsName(editor_->kodierung()));
}

QString QuelltextSeite::kodierungText() const {
    return kodierung_->text();
}

void QuelltextSeite::dokumentZeigen(const Text& text, bool wahlBehalten) {
    if (!wahlBehalten) {
        const QSignalBlocker still(kodierungAuswahl_);
        kodierungAuswahl_->setCurrentIndex(0);
    }
    dokument_ = true;
    geladen_ = text;
    editor_->setText(text, kodierungFuer(wahl(), text));
    kodierungAnzeigen();
}

void QuelltextSeite::dokumentSchliessen() {
    {
        const QSignalBlocker still(kodierungAuswahl_);
        kodierungAuswahl_->setCurrentIndex(0);
    }
    dokument_ = false;
    geladen_ = Text();
    editor_->setText({}, Kodierung::Cp1252);
    kodierungAnzeigen();
}

void QuelltextSeite::nachUtf8(bool angeben) {
    editor_->nachUtf8();
    if (angeben) editor_->ersetzen(utf8Angeben(editor_->text()));
    if (kodierungErmitteln(editor_->text()) != Kodierung::Utf8) {
        const QSignalBlocker still(kodierungAuswahl_);
        kodierungAuswahl_->setCurrentIndex(2);
    }
    kodierungAnzeigen();
}

void QuelltextSeite::setzeOriginalGroesse(const QString& caption) {
    originalGroesse_->setText(caption);
}
void QuelltextSeite::setzeOptimiertGroesse(const QString& caption) {
    optimiertGroesse_->setText(caption);
}
QString QuelltextSeite::originalGroesse() const {
    return originalGroesse_->text();
}
QString QuelltextSeite::optimiertGroesse() const {
    return optimiertGroesse_->text();
}

void QuelltextSeite::setzeEinsparungen(const std::vector<Passbericht>& passes, std::size_t vorher,
                                       std::optional<std::size_t> datei) {
    const auto differenz = [](std::size_t a, std::size_t b) {
        return static_cast<std::int64_t>(a) - static_cast<std::int64_t>(b);
    };
    const std::size_t nachher = passes.empty() ? vorher : passes.back().nachher;
    // The total is measured from the file's size, as the box above shows it, so that both agree:
    // what the text gained before the run (line breaks made CR LF, the user's edits) is a row.
    const bool vonDatei = datei.has_value();
    const std::size_t basis = datei.value_or(vorher);
    const bool vorLauf = basis != vorher;
    const std::int64_t gesamt = differenz(basis, nachher);
    const QLocale deutsch(QLocale::German, QLocale::Germany);
    // The share of the whole; with nothing saved in all there is none.
    const auto anteil = [&](std::int64_t gespart) {
        if (gesamt == 0) return QStringLiteral("–");
        return deutsch.toString(100.0 * static_cast<double>(gespart) / static_cast<double>(gesamt),
                                'f', 1) +
               QStringLiteral(" %");
    };
    const auto zelle = [](const QString& text, bool rechts) {
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment(Qt::AlignVCenter | (rechts ? Qt::AlignRight : Qt::AlignLeft));
        return item;
    };
    einsparungen_->setRowCount(static_cast<int>(passes.size()) + (vorLauf ? 2 : 1));
    int zeile = 0;
    if (vorLauf) {
        const std::int64_t gespart = differenz(basis, vorher);
        auto* name = zelle(QStringLiteral("Vor der Optimierung"), false);
        const QString hinweis = QStringLiteral(
            "Unterschied zwischen der Datei und dem Text im Editor: Zeilenumbrüche als CR LF "
            "und eigene Änderungen");
        auto* byte = zelle(deutsch.toString(gespart), true);
        auto* teil = zelle(anteil(gespart), true);
        for (QTableWidgetItem* item : {name, byte, teil}) item->setToolTip(hinweis);
        einsparungen_->setItem(zeile, 0, name);
        einsparungen_->setItem(zeile, 1, byte);
        einsparungen_->setItem(zeile, 2, teil);
        ++zeile;
    }
    for (const auto& p : passes) {
        const std::int64_t gespart = differenz(p.vorher, p.nachher);
        const bool gelaufen = p.ausgang == Passausgang::Gelaufen;
        auto* name = zelle(q(passName(p.schluessel)), false);
        QStringList optionen;
        for (const auto caption : passOptionen(p.schluessel)) optionen << q(caption);
        QString hinweis = optionen.join(QLatin1Char('\n'));
        if (!gelaufen) hinweis += QStringLiteral("\n(") + ausgangText(p.ausgang) + QLatin1Char(')');
        name->setToolTip(hinweis);
        // A pass that did not run saved nothing, unless it was cancelled halfway.
        const bool ohneWirkung = !gelaufen && gespart == 0;
        auto* byte = zelle(ohneWirkung ? QStringLiteral("–") : deutsch.toString(gespart), true);
        auto* teil = zelle(ohneWirkung ? ausgangText(p.ausgang) : anteil(gespart), true);
        for (QTableWidgetItem* item : {name, byte, teil}) {
            if (!gelaufen) item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
            if (item != name) item->setToolTip(hinweis);
        }
        einsparungen_->setItem(zeile, 0, name);
        einsparungen_->setItem(zeile, 1, byte);
        einsparungen_->setItem(zeile, 2, teil);
        ++zeile;
    }
    auto* summe = zelle(QStringLiteral("Gesamt"), false);
    QFont fett = summe->font();
    fett.setBold(true);
    auto* summeByte = zelle(deutsch.toString(gesamt), true);
    auto* summeTeil = zelle(
        gesamt == 0 ? QStringLiteral("–") : deutsch.toString(100.0, 'f', 1) + QStringLiteral(" %"),
        true);
    summe->setToolTip(vonDatei ? QStringLiteral("Von der Dateigröße bis zum optimierten Text")
                               : QStringLiteral("Gemessen am Text im Editor"));
    for (QTableWidgetItem* item : {summe, summeByte, summeTeil}) item->setFont(fett);
    einsparungen_->setItem(zeile, 0, summe);
    einsparungen_->setItem(zeile, 1, summeByte);
    einsparungen_->setItem(zeile, 2, summeTeil);
    // As tall as its rows.
    const int hoehe =
        einsparungen_->horizontalHeader()->height() +
        einsparungen_->rowCount() * einsparungen_->verticalHeader()->defaultSectionSize() + 2;
    einsparungsRahmen_->setMaximumHeight(hoehe + 27);
    const bool neu = einsparungsRahmen_->isHidden();
    einsparungsRahmen_->show();
    // The pass just done and the whole stay in view while a step-by-step run fills the table.
    einsparungen_->scrollToBottom();
    // At most two fifths of the page at first; the user may drag the divider.
    if (neu || teiler_->sizes().value(1) < hoehe + 27) {
        const int gesamtHoehe = std::max(teiler_->height(), 1);
        const int unten = std::min(hoehe + 27, gesamtHoehe * 2 / 5);
        teiler_->setSizes({gesamtHoehe - unten, unten});
    }
}

void QuelltextSeite::einsparungenLeeren() {
    if (einsparungen_->rowCount() == 0 && einsparungsRahmen_->isHidden()) return;
    einsparungen_->setRowCount(0);
    einsparungsRahmen_->hide();
}

}  // namespace quintaro::ui
