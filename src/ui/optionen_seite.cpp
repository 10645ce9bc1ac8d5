// The left column keeps its size; the option list grows with the page and its buttons stay at
// the bottom.
#include "ui/optionen_seite.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/bausteine.h"
#include "ui/ersetzungseditor.h"
#include "ui/listbox.h"
#include "ui/optionen_listbox.h"
#include "ui/symbole.h"

namespace quintaro::ui {

namespace {
constexpr int kLinks = 290;
constexpr int kKnopfBreite = 137;
}  // namespace

OptionenSeite::OptionenSeite(Dialoge& dialoge, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Z_Optionen"));
    QWidget* filter = filtergruppe();
    ersetzung_ = new Ersetzungseditor(dialoge, this);
    ersetzung_->setFixedWidth(kLinks);
    QWidget* optionen = optionsgruppe(dialoge);

    auto* links = new QVBoxLayout;
    links->setContentsMargins(0, 0, 0, 0);
    links->setSpacing(15);
    links->addWidget(filter);
    links->addWidget(ersetzung_, 1);

    auto* layout = new QHBoxLayout(this);
    // Tight at the top: at the window's least size every option is in view.
    layout->setContentsMargins(5, 6, 4, 0);
    layout->setSpacing(15);
    layout->addLayout(links);
    layout->addWidget(optionen, 1);

    setTabOrder(dateifilter_, filterEdit_);
    setTabOrder(filterEdit_, bitBtn1_);
    setTabOrder(bitBtn1_, bitBtn2_);
    setTabOrder(bitBtn2_, ersetzung_->ErsetzungStringGrid());
    setTabOrder(ersetzung_->ErsetzungStringGrid(), ersetzung_->Edit1());
    setTabOrder(ersetzung_->Edit1(), ersetzung_->Edit2());
    setTabOrder(ersetzung_->Edit2(), ersetzung_->BitBtn3());
    setTabOrder(ersetzung_->BitBtn3(), ersetzung_->BitBtn4());
    setTabOrder(ersetzung_->BitBtn4(), optionen_);
    setTabOrder(optionen_, bitBtn5_);
    setTabOrder(bitBtn5_, bitBtn6_);
}

QWidget* OptionenSeite::filtergruppe() {
    auto* gruppe = rahmen(this);
    gruppe->setFixedSize(kLinks, 89);
    auto* kopf = ueberschrift(QStringLiteral("Berücksichtigte Dateierweiterungen"), gruppe);

    dateifilter_ = new QListWidget(gruppe);
    dateifilter_->setObjectName(QStringLiteral("DateifilterListbox"));
    dateifilter_->setFixedSize(85, 53);
    dateifilter_->setSelectionMode(QAbstractItemView::SingleSelection);
    zeilenhoeheSetzen(*dateifilter_, 13);
    dateifilter_->addItems({QStringLiteral(".htm*"), QStringLiteral(".shtm*")});
    filterEdit_ = new QLineEdit(gruppe);
    filterEdit_->setObjectName(QStringLiteral("LabeledEdit1"));
    // 59 pixels wide where the font leaves room for its label, narrower otherwise.
    filterEdit_->setFixedHeight(21);
    filterEdit_->setMinimumWidth(36);
    filterEdit_->setMaximumWidth(59);
    auto* filterLabel = new QLabel(QStringLiteral("Dateiendung hinzufügen "), gruppe);
    filterLabel->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
    filterLabel->setBuddy(filterEdit_);
    bitBtn1_ = bildKnopf(QStringLiteral("BitBtn1"), QStringLiteral("OK"), okSymbol(), gruppe);
    bitBtn2_ =
        bildKnopf(QStringLiteral("BitBtn2"), QStringLiteral("Löschen"), loeschenSymbol(), gruppe);
    for (QPushButton* k : {bitBtn1_, bitBtn2_}) k->setFixedSize(90, 25);

    auto* rechts = new QGridLayout;
    rechts->setContentsMargins(0, 0, 0, 0);
    rechts->setHorizontalSpacing(2);
    rechts->setVerticalSpacing(0);
    rechts->addWidget(filterLabel, 0, 0);
    rechts->addWidget(filterEdit_, 0, 1);
    rechts->setColumnStretch(1, 1);
    rechts->setRowStretch(1, 1);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->setSpacing(2);
    knoepfe->addStretch(1);
    knoepfe->addWidget(bitBtn1_);
    knoepfe->addWidget(bitBtn2_);
    rechts->addLayout(knoepfe, 2, 0, 1, 2);

    auto* zeile = new QHBoxLayout;
    zeile->setSpacing(6);
    zeile->addWidget(dateifilter_, 0, Qt::AlignTop);
    zeile->addLayout(rechts, 1);

    auto* layout = new QVBoxLayout(gruppe);
    layout->setContentsMargins(5, 5, 5, 4);
    layout->setSpacing(5);
    layout->addWidget(kopf);
    layout->addLayout(zeile, 1);
    return gruppe;
}

QWidget* OptionenSeite::optionsgruppe(Dialoge& dialoge) {
    auto* spalte = new QWidget(this);
    auto* listenRahmen = rahmen(spalte);
    auto* kopf = ueberschrift(QStringLiteral("Optionen"), listenRahmen);
    optionen_ = new OptionenListbox(dialoge, listenRahmen);
    auto* l = new QVBoxLayout(listenRahmen);
    l->setContentsMargins(5, 4, 5, 3);
    l->setSpacing(2);
    l->addWidget(kopf);
    l->addWidget(optionen_, 1);

    auto* knopfRahmen = rahmen(spalte);
    knopfRahmen->setFixedHeight(35);
    bitBtn5_ = bildKnopf(QStringLiteral("BitBtn5"), QStringLiteral("Wiederherstellen"), symbol(9),
                         knopfRahmen);
    bitBtn6_ =
        bildKnopf(QStringLiteral("BitBtn6"), QStringLiteral("Speichern"), symbol(2), knopfRahmen);
    auto* k = new QHBoxLayout(knopfRahmen);
    k->setContentsMargins(5, 5, 5, 5);
    k->setSpacing(5);
    // Two buttons of equal width, 137 pixels or as wide as the longer caption needs, at the left
    // whatever the width of the page.
    const int breite =
        std::max({kKnopfBreite, bitBtn5_->sizeHint().width(), bitBtn6_->sizeHint().width()});
    for (QPushButton* b : {bitBtn5_, bitBtn6_}) {
        b->setFixedSize(breite, 25);
        k->addWidget(b);
    }
    k->addStretch(1);

    auto* layout = new QVBoxLayout(spalte);
    layout->setContentsMargins(0, 1, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(listenRahmen, 1);
    layout->addWidget(knopfRahmen);
    return spalte;
}

}  // namespace quintaro::ui
