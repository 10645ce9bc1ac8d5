// The list routines over QListWidget in single-selection mode.
#include "ui/listbox.h"

#include <QListWidget>
#include <QSet>
#include <QStyledItemDelegate>
#include <algorithm>
#include <iterator>

namespace quintaro::ui {

namespace {

class ZeilenDelegate : public QStyledItemDelegate {
  public:
    ZeilenDelegate(int hoehe, QObject* parent) : QStyledItemDelegate(parent), hoehe_(hoehe) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(hoehe_);
        return s;
    }

  private:
    int hoehe_;
};

// The lists' own order: alphabetical, letter case ignored.
bool vorher(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

}  // namespace

void ListboxItemLoeschen(QListWidget& liste) {
    if (liste.count() == 0) return;
    const QList<QListWidgetItem*> gewaehlt = liste.selectedItems();
    if (!gewaehlt.isEmpty()) delete liste.takeItem(liste.row(gewaehlt.first()));
    if (liste.count() > 0) liste.setCurrentRow(liste.count() - 1);
}

void sortiertEinfuegen(QListWidget& liste, const QString& text) {
    // The list is sorted: the place is found by halving, not by walking a long list.
    int unten = 0;
    int oben = liste.count();
    while (unten < oben) {
        const int mitte = unten + (oben - unten) / 2;
        if (vorher(text, liste.item(mitte)->text())) {
            oben = mitte;
        } else {
            unten = mitte + 1;
        }
    }
    liste.insertItem(unten, text);
}

qsizetype sortiertEinfuegen(QListWidget& liste, const QStringList& texte, bool ohneDoppelte) {
    QStringList alte;
    alte.reserve(liste.count());
    for (int i = 0; i < liste.count(); ++i) alte << liste.item(i)->text();
    QStringList neue;
    if (ohneDoppelte) {
        QSet<QString> bekannt(alte.begin(), alte.end());
        for (const QString& t : texte) {
            if (!bekannt.contains(t)) {
                bekannt.insert(t);
                neue << t;
            }
        }
    } else {
        neue = texte;
    }
    if (neue.isEmpty()) return 0;
    // Stable, and the old entries first among equals: what inserting one by one gives.
    std::stable_sort(neue.begin(), neue.end(), vorher);
    QStringList alle;
    alle.reserve(alte.size() + neue.size());
    std::merge(alte.begin(), alte.end(), neue.begin(), neue.end(), std::back_inserter(alle),
               vorher);
    liste.setUpdatesEnabled(false);
    liste.clear();
    liste.addItems(alle);
    liste.setUpdatesEnabled(true);
    return neue.size();
}

void zeilenhoeheSetzen(QListWidget& liste, int hoehe) {
    liste.setUniformItemSizes(true);
    liste.setItemDelegate(new ZeilenDelegate(hoehe, &liste));
}

}  // namespace quintaro::ui
