// PageControl1: the three pages with a tab row whose tabs can be hidden one by one. Only the
// source page ever shows its tab; with no tab shown the row disappears and the page fills it.
#pragma once

#include <QString>
#include <QWidget>

class QStackedWidget;
class QTabBar;

namespace quintaro::ui {

enum class Seite { Quelltext = 0, Optionen = 1, Dateiliste = 2 };

class PageControl : public QWidget {
    Q_OBJECT
  public:
    explicit PageControl(QWidget* parent = nullptr);

    // Pages are added in the order of Seite.
    void seiteHinzufuegen(QWidget* seite, const QString& titel);

    void setzeAktiv(Seite seite);
    Seite aktiv() const;
    void setzeTabSichtbar(Seite seite, bool sichtbar);
    bool tabSichtbar(Seite seite) const;
    void setzeTitel(Seite seite, const QString& titel);
    QString titel(Seite seite) const;

  private:
    void tabsAnpassen();

    QTabBar* tabs_;
    QStackedWidget* dateiliste_;
};

}  // namespace quintaro::ui
