// The tab row is only a display: pages change through the window's commands, never by a click.
#include "ui/page_control.h"

#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace quintaro::ui {

namespace {
int nr(Seite s) {
    return static_cast<int>(s);
}
}  // namespace

PageControl::PageControl(QWidget* parent)
    : QWidget(parent), tabs_(new QTabBar(this)), dateiliste_(new QStackedWidget(this)) {
    setObjectName(QStringLiteral("PageControl1"));
    tabs_->setObjectName(QStringLiteral("PageControl1Tabs"));
    tabs_->setDrawBase(true);
    tabs_->setExpanding(false);
    tabs_->setFocusPolicy(Qt::NoFocus);
    tabs_->setElideMode(Qt::ElideMiddle);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tabs_);
    layout->addWidget(dateiliste_, 1);
}

void PageControl::seiteHinzufuegen(QWidget* seite, const QString& titel) {
    dateiliste_->addWidget(seite);
    const int i = tabs_->addTab(titel);
    tabs_->setTabVisible(i, false);
    tabsAnpassen();
}

void PageControl::setzeAktiv(Seite seite) {
    dateiliste_->setCurrentIndex(nr(seite));
    tabsAnpassen();
}

Seite PageControl::aktiv() const {
    return static_cast<Seite>(dateiliste_->currentIndex());
}

void PageControl::setzeTabSichtbar(Seite seite, bool sichtbar) {
    tabs_->setTabVisible(nr(seite), sichtbar);
    tabsAnpassen();
}

bool PageControl::tabSichtbar(Seite seite) const {
    return tabs_->isTabVisible(nr(seite));
}

void PageControl::setzeTitel(Seite seite, const QString& titel) {
    tabs_->setTabText(nr(seite), titel);
    tabs_->setTabToolTip(nr(seite), titel);
}

QString PageControl::titel(Seite seite) const {
    return tabs_->tabText(nr(seite));
}

void PageControl::tabsAnpassen() {
    bool irgendeiner = false;
    for (int i = 0; i < tabs_->count(); ++i) irgendeiner = irgendeiner || tabs_->isTabVisible(i);
    // The shown tab belongs to the active page only when that page is the source page; the row
    // marks the active page's tab as the current one whenever it is shown.
    const int aktuell = dateiliste_->currentIndex();
    if (aktuell >= 0 && aktuell < tabs_->count() && tabs_->isTabVisible(aktuell)) {
        tabs_->setCurrentIndex(aktuell);
    }
    tabs_->setVisible(irgendeiner);
}

}  // namespace quintaro::ui
