// Z_Dateiliste: the batch file list, its buttons and the progress bar.
#pragma once

#include <QStringList>
#include <QWidget>

class QListWidget;
class QProgressBar;
class QPushButton;

namespace quintaro::ui {

class BatchPage : public QWidget {
    Q_OBJECT
  public:
    explicit BatchPage(QWidget* parent = nullptr);

    QListWidget* dateiListbox() const { return liste_; }
    QProgressBar* fortschrittsanzeige() const { return fortschritt_; }
    QPushButton* dateienLaden() const { return laden_; }
    QPushButton* auswahlAufheben() const { return aufheben_; }
    QPushButton* dateienOptimieren() const { return optimieren_; }

    // Sorts the path into place, ignoring letter case; a path already listed is added again
    // (behind its equals).
    void dateiHinzufuegen(const QString& pfad);
    // The entries in list order.
    QStringList dateien() const;

    // One step of the bar, starting again from 0 past its maximum.
    void fortschrittSchritt();

  signals:
    // A key pressed in DateiListbox (the key still reaches the list).
    void dateiListboxTaste(int taste);

  protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

  private:
    QListWidget* liste_;
    QProgressBar* fortschritt_;
    QPushButton* laden_;
    QPushButton* aufheben_;
    QPushButton* optimieren_;
};

}  // namespace quintaro::ui
