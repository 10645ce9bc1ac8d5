// Z_Quelltext: the source editor on the left, the size box and the run and view buttons on the
// right.
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace quintaro::ui {

class EditorAdapter;

class SourcePage : public QWidget {
    Q_OBJECT
  public:
    explicit SourcePage(QWidget* parent = nullptr);

    EditorAdapter& editor() const { return *editor_; }
    QPushButton* optimierenButton() const { return optimieren_; }
    QPushButton* schrittweiseButton() const { return schrittweise_; }
    QPushButton* ansichtOriginalButton() const { return ansichtOriginal_; }
    QPushButton* ansichtOptimiertButton() const { return ansichtOptimiert_; }

    void setzeOriginalGroesse(const QString& caption);
    void setzeOptimiertGroesse(const QString& caption);
    QString originalGroesse() const;
    QString optimiertGroesse() const;

  protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

  private:
    EditorAdapter* editor_;
    QLabel* originalGroesse_;
    QLabel* optimiertGroesse_;
    QPushButton* optimieren_;
    QPushButton* schrittweise_;
    QPushButton* ansichtOriginal_;
    QPushButton* ansichtOptimiert_;
};

}  // namespace quintaro::ui
