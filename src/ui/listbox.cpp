// The list routines over QListWidget in single-selection mode.
#include "ui/listbox.h"

#include <QListWidget>
#include <QStyledItemDelegate>

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

}  // namespace

void ListboxItemLoeschen(QListWidget& liste) {
    if (liste.count() == 0) return;
    const QList<QListWidgetItem*> gewaehlt = liste.selectedItems();
    if (!gewaehlt.isEmpty()) delete liste.takeItem(liste.row(gewaehlt.first()));
    if (liste.count() > 0) liste.setCurrentRow(liste.count() - 1);
}

void sortiertEinfuegen(QListWidget& liste, const QString& text) {
    int zeile = 0;
    while (zeile < liste.count() &&
           QString::compare(liste.item(zeile)->text(), text, Qt::CaseInsensitive) <= 0) {
        ++zeile;
    }
    liste.insertItem(zeile, text);
}

void zeilenhoeheSetzen(QListWidget& liste, int hoehe) {
    liste.setUniformItemSizes(true);
    liste.setItemDelegate(new ZeilenDelegate(hoehe, &liste));
}

}  // namespace quintaro::ui
