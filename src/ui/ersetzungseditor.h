// The group "Automatische Ersetzung": ErsetzungStringGrid shows the replacement table, Edit1 and
// Edit2 take a row's texts, "OK" adds or stores a row, "Löschen" deletes one or, while a row is
// being changed, reads "Abbruch" and cancels the change.
#pragma once

#include <QFrame>
#include <optional>

#include "engine/ersetzungstabelle.h"

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace quintaro::ui {

class Dialoge;

class Ersetzungseditor : public QFrame {
    Q_OBJECT
  public:
    Ersetzungseditor(Dialoge& dialoge, QWidget* parent = nullptr);

    const Ersetzungstabelle& tabelle() const { return tabelle_; }
    // Replaces the whole table (the settings load); a pending change ends with it.
    void setzeTabelle(Ersetzungstabelle tabelle);
    // The grid's header row: "Original" and "Ersetzen durch".
    void setzeKopfzeile();

    std::optional<int> BearbeiteteZeile() const { return bearbeiteteZeile_; }
    QTableWidget* ErsetzungStringGrid() const { return grid_; }
    QLineEdit* Edit1() const { return edit1_; }
    QLineEdit* Edit2() const { return edit2_; }
    QPushButton* BitBtn3() const { return ok_; }
    QPushButton* BitBtn4() const { return loeschen_; }
    // Topmost selected table row (from 1).
    int obersteAuswahl() const;

    void ErsetzungStringGridDblClick();
    void BitBtn3Click();
    void BitBtn4Click();

  protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

  private:
    void gridFuellen();
    void zeileAnzeigen(int n);
    void waehleZeile(int n);
    void bearbeitungBeenden();

    Dialoge& dialoge_;
    Ersetzungstabelle tabelle_;
    std::optional<int> bearbeiteteZeile_;
    QTableWidget* grid_;
    QLineEdit* edit1_;
    QLineEdit* edit2_;
    QPushButton* ok_;
    QPushButton* loeschen_;
};

}  // namespace quintaro::ui
