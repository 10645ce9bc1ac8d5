// The list grows with the window; the right-hand column keeps its width and distance.
#include "ui/dateiliste_seite.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "batch/stapel.h"
#include "ui/bausteine.h"
#include "ui/listbox.h"
#include "ui/symbole.h"

namespace quintaro::ui {

namespace {
constexpr int kSpalte = 147;
constexpr int kZeile = 13;
}  // namespace

DateilisteSeite::DateilisteSeite(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Z_Dateiliste"));
    liste_ = new QListWidget(this);
    liste_->setObjectName(QStringLiteral("DateiListbox"));
    liste_->setSelectionMode(QAbstractItemView::SingleSelection);
    zeilenhoeheSetzen(*liste_, kZeile);
    liste_->installEventFilter(this);

    laden_ = bildKnopf(QStringLiteral("BitBtn8"), QStringLiteral("Dateien laden"), symbol(0), this);
    ordner_ = bildKnopf(QStringLiteral("ordnerHinzufuegen"), QStringLiteral("Ordner hinzufügen..."),
                        symbol(0), this);
    aufheben_ = bildKnopf(QStringLiteral("BitBtn9"), QStringLiteral("Auswahl aufheben"),
                          loeschenSymbol(), this);
    optimieren_ = bildKnopf(QStringLiteral("DateienOptimieren"),
                            QStringLiteral("Dateien optimieren"), symbol(6), this);
    // The column is 147 pixels wide unless the desktop's font needs more for a caption.
    int spalte = kSpalte;
    for (QPushButton* k : {laden_, ordner_, aufheben_, optimieren_}) {
        spalte = std::max(spalte, k->sizeHint().width() + 6);
    }

    auto* obenRahmen = rahmen(this);
    obenRahmen->setFixedSize(spalte, 95);
    auto* oben = new QVBoxLayout(obenRahmen);
    oben->setContentsMargins(3, 3, 3, 2);
    oben->setSpacing(0);
    for (QPushButton* k : {laden_, ordner_, aufheben_}) {
        k->setParent(obenRahmen);
        k->setFixedHeight(30);
        oben->addWidget(k);
    }

    fortschritt_ = new QProgressBar(this);
    fortschritt_->setObjectName(QStringLiteral("Fortschrittsanzeige"));
    fortschritt_->setRange(0, kFortschrittMaximum);
    fortschritt_->setValue(0);
    fortschritt_->setTextVisible(false);
    fortschritt_->setFixedSize(spalte, 22);
    // Hidden except during a run, but its place stays reserved so nothing moves.
    QSizePolicy platz = fortschritt_->sizePolicy();
    platz.setRetainSizeWhenHidden(true);
    fortschritt_->setSizePolicy(platz);
    fortschritt_->hide();

    auto* untenRahmen = rahmen(this);
    untenRahmen->setFixedSize(spalte, 36);
    optimieren_->setParent(untenRahmen);
    optimieren_->setFixedHeight(30);
    auto* unten = new QVBoxLayout(untenRahmen);
    unten->setContentsMargins(3, 3, 3, 3);
    unten->addWidget(optimieren_);

    auto* rechts = new QVBoxLayout;
    rechts->setContentsMargins(0, 0, 0, 0);
    rechts->setSpacing(4);
    rechts->addWidget(obenRahmen);
    rechts->addWidget(fortschritt_);
    rechts->addWidget(untenRahmen);
    rechts->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 1, 0);
    layout->setSpacing(4);
    layout->addWidget(liste_, 1);
    layout->addLayout(rechts);

    // Top to bottom, as the column is laid out; the progress bar never takes the focus.
    setTabOrder(liste_, laden_);
    setTabOrder(laden_, ordner_);
    setTabOrder(ordner_, aufheben_);
    setTabOrder(aufheben_, optimieren_);
}

QStringList DateilisteSeite::dateien() const {
    QStringList d;
    d.reserve(liste_->count());
    for (int i = 0; i < liste_->count(); ++i) d << liste_->item(i)->text();
    return d;
}

void DateilisteSeite::fortschrittSchritt() {
    // QProgressBar paints at once when its value moves far enough; here the paint waits for the
    // next pass of the event loop, so a run of short files does not pay for one on every step.
    fortschritt_->setUpdatesEnabled(false);
    fortschritt_->setValue(::quintaro::fortschrittSchritt(fortschritt_->value()));
    fortschritt_->setUpdatesEnabled(true);
}

void DateilisteSeite::zwischendurchZeichnen() {
    constexpr qint64 kTaktMs = 40;
    if (gezeichnet_.isValid() && !gezeichnet_.hasExpired(kTaktMs)) return;
    QApplication::processEvents();
    gezeichnet_.start();
}

bool DateilisteSeite::eventFilter(QObject* objekt, QEvent* ereignis) {
    if (objekt == liste_ && ereignis->type() == QEvent::KeyPress) {
        emit dateiListboxTaste(static_cast<QKeyEvent*>(ereignis)->key());
    }
    return QWidget::eventFilter(objekt, ereignis);
}

Eingabesperre::Eingabesperre(QWidget& fenster, std::function<void()> schliessen)
    : fenster_(fenster), schliessen_(std::move(schliessen)) {
    qApp->installEventFilter(this);
}

Eingabesperre::~Eingabesperre() {
    qApp->removeEventFilter(this);
}

bool Eingabesperre::eventFilter(QObject* objekt, QEvent* ereignis) {
    if (!objekt->isWidgetType() || static_cast<QWidget*>(objekt)->window() != &fenster_) {
        return false;
    }
    switch (ereignis->type()) {
        case QEvent::Close:
            if (objekt == &fenster_ && schliessen_) {
                ereignis->ignore();
                // Asked later, outside the event's delivery: the run goes on meanwhile.
                QMetaObject::invokeMethod(this, schliessen_, Qt::QueuedConnection);
                return true;
            }
            [[fallthrough]];
        case QEvent::ShortcutOverride:
            // Accepted overrides keep shortcuts from firing; an ignored close keeps the window.
            ereignis->setAccepted(ereignis->type() == QEvent::ShortcutOverride);
            return true;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::Drop:
            return true;
        default:
            return false;
    }
}

}  // namespace quintaro::ui
