// Table row n is grid row n - 1 here: the header row is the view's own header, not a grid row.
#include "ui/ersetzungseditor.h"

#include <QApplication>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/bausteine.h"
#include "ui/dialoge.h"
#include "ui/kodierung.h"
#include "ui/symbole.h"

namespace quintaro::ui {

namespace {

const QString kParameterFehlen = QStringLiteral(
    "Die angegebenen Parameter sind nicht ausreichend.\r\n\r\nZumindest im Feld \"Text im "
    "Original\" muss ein Text vorgegeben werden.");

constexpr int kZeilenhoehe = 16;

// Whole rows only, and a click on the empty area below the rows keeps the selection, as the
// grid always has a selected row.
class ErsetzungsGrid : public QTableWidget {
  public:
    using QTableWidget::QTableWidget;

  protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override {
        if (!index.isValid()) return QItemSelectionModel::NoUpdate;
        return QTableWidget::selectionCommand(index, event);
    }

    // The grid always has a selected row, so the highlight colour marks it only while the grid
    // has the focus; without it the row is grey and Tab shows where the focus went.
    void focusInEvent(QFocusEvent* ereignis) override {
        faerben(true);
        QTableWidget::focusInEvent(ereignis);
    }
    void focusOutEvent(QFocusEvent* ereignis) override {
        faerben(false);
        QTableWidget::focusOutEvent(ereignis);
    }

  public:
    void faerben(bool fokus) {
        const QPalette basis = QApplication::palette(this);
        QPalette farben = palette();
        for (const auto gruppe : {QPalette::Active, QPalette::Inactive}) {
            farben.setColor(gruppe, QPalette::Highlight,
                            basis.color(gruppe, fokus ? QPalette::Highlight : QPalette::Midlight));
            farben.setColor(
                gruppe, QPalette::HighlightedText,
                basis.color(gruppe, fokus ? QPalette::HighlightedText : QPalette::Text));
        }
        setPalette(farben);
    }
};

}  // namespace

Ersetzungseditor::Ersetzungseditor(Dialoge& dialoge, QWidget* parent)
    : QFrame(parent), dialoge_(dialoge) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

    auto* label8 = ueberschrift(QStringLiteral("Automatische Ersetzung"), this);
    label8->setObjectName(QStringLiteral("Label8"));

    auto* grid = new ErsetzungsGrid(0, 2, this);
    grid->faerben(false);
    grid_ = grid;
    grid_->setObjectName(QStringLiteral("ErsetzungStringGrid"));
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the grid for the next control; the arrow keys move between its rows.
    grid_->setTabKeyNavigation(false);
    grid_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setWordWrap(false);
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->verticalHeader()->setDefaultSectionSize(kZeilenhoehe);
    grid_->verticalHeader()->setMinimumSectionSize(kZeilenhoehe);
    grid_->horizontalHeader()->setSectionsClickable(false);
    grid_->horizontalHeader()->setHighlightSections(false);
    grid_->horizontalHeader()->setFixedHeight(kZeilenhoehe + 4);
    grid_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid_->setColumnWidth(0, 128);
    grid_->horizontalHeader()->setStretchLastSection(true);
    // Three rows at the least; the grid takes whatever height the page has to spare.
    grid_->setMinimumHeight(72);
    grid_->viewport()->installEventFilter(this);
    grid_->horizontalHeader()->viewport()->installEventFilter(this);

    edit1_ = new QLineEdit(this);
    edit1_->setObjectName(QStringLiteral("Edit1"));
    edit2_ = new QLineEdit(this);
    edit2_->setObjectName(QStringLiteral("Edit2"));
    for (QLineEdit* e : {edit1_, edit2_}) {
        e->setFixedHeight(21);
        e->installEventFilter(this);
    }
    auto* label2 = new QLabel(QStringLiteral("Text im Original"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setBuddy(edit1_);
    auto* label5 = new QLabel(QStringLiteral("Ersetzen durch"), this);
    label5->setObjectName(QStringLiteral("Label5"));
    label5->setBuddy(edit2_);

    ok_ = bildKnopf(QStringLiteral("BitBtn3"), QStringLiteral("OK"), okSymbol(), this);
    loeschen_ =
        bildKnopf(QStringLiteral("BitBtn4"), QStringLiteral("Löschen"), loeschenSymbol(), this);
    for (QPushButton* k : {ok_, loeschen_}) k->setFixedSize(90, 25);
    connect(ok_, &QPushButton::clicked, this,
            [this] { mitFehlerbox(dialoge_, window(), [this] { BitBtn3Click(); }); });
    connect(loeschen_, &QPushButton::clicked, this,
            [this] { mitFehlerbox(dialoge_, window(), [this] { BitBtn4Click(); }); });

    auto* felder = new QGridLayout;
    felder->setContentsMargins(0, 0, 0, 0);
    felder->setHorizontalSpacing(6);
    felder->setVerticalSpacing(3);
    felder->setColumnMinimumWidth(0, 91);
    felder->addWidget(label2, 0, 0);
    felder->addWidget(edit1_, 0, 1, 1, 2);
    felder->addWidget(label5, 1, 0);
    felder->addWidget(edit2_, 1, 1, 1, 2);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->setSpacing(2);
    knoepfe->addStretch(1);
    knoepfe->addWidget(ok_);
    knoepfe->addWidget(loeschen_);
    felder->addLayout(knoepfe, 2, 0, 1, 3);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSpacing(5);
    layout->addWidget(label8);
    layout->addWidget(grid_, 1);
    layout->addLayout(felder);

    setTabOrder(grid_, edit1_);
    setTabOrder(edit1_, edit2_);
    setTabOrder(edit2_, ok_);
    setTabOrder(ok_, loeschen_);

    gridFuellen();
}

void Ersetzungseditor::setzeKopfzeile() {
    grid_->setHorizontalHeaderLabels(
        {QStringLiteral("Original"), QStringLiteral("Ersetzen durch")});
}

void Ersetzungseditor::setzeTabelle(Ersetzungstabelle tabelle) {
    tabelle_ = std::move(tabelle);
    bearbeitungBeenden();
    gridFuellen();
}

void Ersetzungseditor::gridFuellen() {
    grid_->setRowCount(tabelle_.anzahl());
    for (int n = 1; n <= tabelle_.anzahl(); ++n) zeileAnzeigen(n);
    waehleZeile(1);
}

void Ersetzungseditor::zeileAnzeigen(int n) {
    const Ersetzung& e = tabelle_.zeile(n);
    const QString texte[2] = {vonCp1252(e.suchtext), vonCp1252(e.ersatztext)};
    for (int spalte = 0; spalte < 2; ++spalte) {
        QTableWidgetItem* zelle = grid_->item(n - 1, spalte);
        if (zelle == nullptr) {
            zelle = new QTableWidgetItem;
            grid_->setItem(n - 1, spalte, zelle);
        }
        zelle->setText(texte[spalte]);
    }
}

void Ersetzungseditor::waehleZeile(int n) {
    grid_->clearSelection();
    grid_->setCurrentCell(n - 1, 0,
                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int Ersetzungseditor::obersteAuswahl() const {
    int oberste = -1;
    for (const QModelIndex& i : grid_->selectionModel()->selectedRows()) {
        if (oberste < 0 || i.row() < oberste) oberste = i.row();
    }
    if (oberste < 0) oberste = std::max(grid_->currentRow(), 0);
    return std::min(oberste + 1, tabelle_.anzahl());
}

void Ersetzungseditor::bearbeitungBeenden() {
    bearbeiteteZeile_.reset();
    loeschen_->setText(QStringLiteral("Löschen"));
}

void Ersetzungseditor::ErsetzungStringGridDblClick() {
    const int r = obersteAuswahl();
    const Ersetzung& e = tabelle_.zeile(r);
    edit1_->setText(vonCp1252(e.suchtext));
    edit2_->setText(vonCp1252(e.ersatztext));
    bearbeiteteZeile_ = r;
    loeschen_->setText(QStringLiteral("Abbruch"));
}

void Ersetzungseditor::BitBtn3Click() {
    if (edit1_->text().isEmpty()) {
        dialoge_.meldung(window(), kParameterFehlen);
        return;
    }
    Ersetzung eintrag{nachCp1252(edit1_->text()), nachCp1252(edit2_->text())};
    if (bearbeiteteZeile_) {
        // The table may have been replaced meanwhile; never write outside it.
        const int r = std::min(*bearbeiteteZeile_, tabelle_.anzahl());
        tabelle_.setzeZeile(r, std::move(eintrag));
        zeileAnzeigen(r);
        bearbeitungBeenden();
    } else {
        if (tabelle_.istPlatzhalter()) {
            tabelle_.setzeZeile(1, std::move(eintrag));
        } else {
            tabelle_.anhaengen(std::move(eintrag));
            grid_->setRowCount(tabelle_.anzahl());
        }
        const int n = tabelle_.anzahl();
        zeileAnzeigen(n);
        waehleZeile(n);
        if (n >= 3) grid_->verticalScrollBar()->setValue(n - 3);
        edit1_->setFocus(Qt::OtherFocusReason);
    }
    edit1_->clear();
    edit2_->clear();
}

void Ersetzungseditor::BitBtn4Click() {
    if (bearbeiteteZeile_) {
        bearbeitungBeenden();
        edit1_->clear();
        edit2_->clear();
        return;
    }
    const int r = obersteAuswahl();
    tabelle_.entfernen(r);
    grid_->setRowCount(tabelle_.anzahl());
    for (int n = r; n <= tabelle_.anzahl(); ++n) zeileAnzeigen(n);
    waehleZeile(std::min(r, tabelle_.anzahl()));
    edit1_->clear();
    edit2_->clear();
}

bool Ersetzungseditor::eventFilter(QObject* objekt, QEvent* ereignis) {
    if (ereignis->type() == QEvent::MouseButtonDblClick &&
        (objekt == grid_->viewport() || objekt == grid_->horizontalHeader()->viewport())) {
        // The first click of the double-click has already selected the row (a click on the
        // header or below the rows leaves the selection as it was).
        mitFehlerbox(dialoge_, window(), [this] { ErsetzungStringGridDblClick(); });
        return true;
    }
    if (ereignis->type() == QEvent::KeyPress && (objekt == edit1_ || objekt == edit2_)) {
        const auto* taste = static_cast<QKeyEvent*>(ereignis);
        if (taste->key() == Qt::Key_Return || taste->key() == Qt::Key_Enter) {
            // MitEnterWeiter: Enter moves on like Tab and is not passed to the edit.
            focusNextChild();
            return true;
        }
    }
    return QFrame::eventFilter(objekt, ereignis);
}

}  // namespace quintaro::ui
