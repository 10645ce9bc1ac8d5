// The view "Änderungen": the page as loaded beside the text now in the editor, what went marked in
// the one and what came in the other, both wrapped, scrolling together, with commands to step from
// change to change.
#pragma once

#include <QDialog>
#include <QFutureWatcher>
#include <cstddef>
#include <memory>
#include <vector>

#include "engine/aenderungen.h"
#include "engine/kodierung.h"
#include "engine/text.h"

class QKeyEvent;
class QLabel;
class QPushButton;
class QsciScintilla;

namespace quintaro::ui {

class QuelltextMemo;

class AenderungsAnsicht : public QDialog {
    Q_OBJECT
  public:
    // Indicators of the panes.
    static constexpr int kEntfernt = 8;    // in the original: bytes that went
    static constexpr int kEingefuegt = 9;  // in the result: bytes that came
    static constexpr int kStelle = 10;     // where a change has nothing on this side
    static constexpr int kAktuell = 11;    // the change the commands stepped to
    // Markers in the panes' margin: lines with a change (a line break that went shows only
    // there), and the line of the change stepped to.
    static constexpr int kZeileGeaendert = 0;
    static constexpr int kZeileAktuell = 1;
    // Only the changes on the screen and a screen above and below it are marked: Scintilla draws
    // a line's indicators by going through every run of them on that line, and an optimised page
    // is one line, which with hundreds of thousands of changes made each paint take a second.

    // Both texts are bytes of `kodierung`, shown as the editor shows them. The comparison runs
    // beside the event loop; the panes show the texts at once.
    AenderungsAnsicht(Text original, Text ergebnis, Kodierung kodierung, QWidget* parent = nullptr);
    ~AenderungsAnsicht() override;

    QsciScintilla* originalFeld() const;
    QsciScintilla* ergebnisFeld() const;
    QPushButton* naechsteKnopf() const { return naechste_; }
    QPushButton* vorherigeKnopf() const { return vorherige_; }
    QLabel* zusammenfassung() const { return zusammenfassung_; }
    QLabel* grobHinweis() const { return grob_; }

    // Done once the comparison is in and the changes on the screen are marked.
    bool fertig() const { return verglichen_; }
    const Vergleich& vergleich() const { return vergleich_; }
    // The change the commands stepped to; -1 before the first step.
    long aktuell() const { return aktuell_; }

    void naechsteAenderung();
    void vorherigeAenderung();

  signals:
    void fertigMarkiert();

  protected:
    // Alt+Down and Alt+Up step through the changes, in the panes too.
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;
    void keyPressEvent(QKeyEvent* ereignis) override;

  private:
    // A change in the panes' positions (UTF-8 bytes of the displayed text).
    struct Stelle {
        long alt;
        long altEnde;
        long neu;
        long neuEnde;
    };

    void verglichen();
    // Marks the changes around what `feld` shows, and takes the marks off those that left it.
    void sichtbarMarkieren(QsciScintilla* feld);
    void springen(long index);
    void zusammenfassen();
    // Keeps the other pane at the place that corresponds to the top of `von`.
    void mitziehen(QsciScintilla* von, QsciScintilla* nach);

    // Shared with the comparison's thread, which a view closed meanwhile leaves reading them.
    std::shared_ptr<const Text> original_;
    std::shared_ptr<const Text> ergebnis_;
    Kodierung kodierung_;
    QuelltextMemo* links_;
    QuelltextMemo* rechts_;
    QLabel* zusammenfassung_;
    QLabel* grob_;
    QPushButton* vorherige_;
    QPushButton* naechste_;
    QFutureWatcher<Vergleich> waechter_;
    Vergleich vergleich_;
    std::vector<Stelle> positionen_;
    // The changes marked in each pane, as a stretch of indices.
    struct Ausschnitt {
        std::size_t von = 0;
        std::size_t bis = 0;
    };
    Ausschnitt markiert_[2];
    bool verglichen_ = false;
    long aktuell_ = -1;
    bool zieht_ = false;  // one pane follows the other
};

}  // namespace quintaro::ui
