// Z_Dateiliste: the batch file list, its buttons and the progress bar.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QWidget>
#include <functional>

class QListWidget;
class QProgressBar;
class QPushButton;

namespace quintaro::ui {

class DateilisteSeite : public QWidget {
    Q_OBJECT
  public:
    explicit DateilisteSeite(QWidget* parent = nullptr);

    QListWidget* DateiListbox() const { return liste_; }
    QProgressBar* Fortschrittsanzeige() const { return fortschritt_; }
    QPushButton* BitBtn8() const { return laden_; }
    QPushButton* BitBtn9() const { return aufheben_; }
    // "Ordner hinzufügen...": every page below a folder.
    QPushButton* ordnerHinzufuegen() const { return ordner_; }
    QPushButton* DateienOptimieren() const { return optimieren_; }

    // The entries in list order.
    QStringList dateien() const;

    // One step of the bar, starting again from 0 past its maximum.
    void fortschrittSchritt();
    // During a run: lets the window paint (the bar moves), at most every few hundredths of a
    // second so that short files do not pay for it. Input must be held off meanwhile.
    void zwischendurchZeichnen();

  signals:
    // A key pressed in DateiListbox (the key still reaches the list).
    void dateiListboxTaste(int taste);

  protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

  private:
    QListWidget* liste_;
    QProgressBar* fortschritt_;
    QPushButton* laden_;
    QPushButton* ordner_;
    QPushButton* aufheben_;
    QPushButton* optimieren_;
    QElapsedTimer gezeichnet_;
};

// While it exists the window takes no input: keys, clicks, the wheel and the close button aimed
// at it or its controls are dropped. Boxes of its own are other windows and stay usable. A close
// aimed at the window itself goes to `schliessen` instead, when it is given.
class Eingabesperre : public QObject {
  public:
    explicit Eingabesperre(QWidget& fenster, std::function<void()> schliessen = {});
    ~Eingabesperre() override;
    Eingabesperre(const Eingabesperre&) = delete;
    Eingabesperre& operator=(const Eingabesperre&) = delete;

  protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

  private:
    QWidget& fenster_;
    std::function<void()> schliessen_;
};

}  // namespace quintaro::ui
