// Z_Dateiliste: the batch file list, its buttons and the progress bar.
#pragma once

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

  private:
    QListWidget* liste_;
    QProgressBar* fortschritt_;
    QPushButton* laden_;
    QPushButton* aufheben_;
    QPushButton* optimieren_;
};

}  // namespace quintaro::ui
