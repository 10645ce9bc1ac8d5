// Z_Optionen: the file-type filter group (top left), the replacement table editor (bottom left)
// and the option list with "Wiederherstellen" and "Speichern" (right).
#pragma once

#include <QWidget>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace quintaro::ui {

class Dialoge;
class OptionenListbox;
class Ersetzungseditor;

class OptionenSeite : public QWidget {
    Q_OBJECT
  public:
    OptionenSeite(Dialoge& dialoge, QWidget* parent = nullptr);

    OptionenListbox& optionenListbox() const { return *optionen_; }
    Ersetzungseditor& ersetzungseditor() const { return *ersetzung_; }
    QListWidget* DateifilterListbox() const { return dateifilter_; }
    QLineEdit* LabeledEdit1() const { return filterEdit_; }
    QPushButton* BitBtn1() const { return bitBtn1_; }
    QPushButton* BitBtn2() const { return bitBtn2_; }
    QPushButton* BitBtn5() const { return bitBtn5_; }
    QPushButton* BitBtn6() const { return bitBtn6_; }

  private:
    QWidget* filtergruppe();
    QWidget* optionsgruppe(Dialoge& dialoge);

    QListWidget* dateifilter_ = nullptr;
    QLineEdit* filterEdit_ = nullptr;
    QPushButton* bitBtn1_ = nullptr;
    QPushButton* bitBtn2_ = nullptr;
    Ersetzungseditor* ersetzung_ = nullptr;
    OptionenListbox* optionen_ = nullptr;
    QPushButton* bitBtn5_ = nullptr;
    QPushButton* bitBtn6_ = nullptr;
};

}  // namespace quintaro::ui
