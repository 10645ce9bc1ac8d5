// Z_Quelltext: the source editor on the left, the size box, the encoding box and the run and view
// buttons on the right.
#pragma once

#include <QWidget>
#include <cstddef>
#include <optional>
#include <vector>

#include "engine/kodierung.h"
#include "engine/optimierung.h"
#include "engine/text.h"

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QSplitter;
class QTableWidget;

namespace quintaro::ui {

class QuelltextMemo;

class QuelltextSeite : public QWidget {
    Q_OBJECT
  public:
    explicit QuelltextSeite(QWidget* parent = nullptr);

    QuelltextMemo& quelltextMemo() const { return *editor_; }
    QPushButton* OptimierenButton() const { return optimieren_; }
    QPushButton* SchrittweiseOptimierenButton() const { return schrittweise_; }
    QPushButton* AnsichtOriginalButton() const { return ansichtOriginal_; }
    QPushButton* AnsichtOptimiertButton() const { return ansichtOptimiert_; }

    void setzeOriginalGroesse(const QString& caption);
    void setzeOptimiertGroesse(const QString& caption);
    QString originalGroesse() const;
    QString optimiertGroesse() const;

    // What the last run saved, below the editor, pass by pass: its name, the bytes saved and
    // their share of what the whole run saved, and a last row for the whole run. A pass that did
    // not run shows as such. `vorher` is the text's size when the run started. The table stays
    // until the text changes; it is hidden while empty.
    // `datei`: the size of the loaded file, from which the total is counted when there is one.
    void setzeEinsparungen(const std::vector<Passbericht>& passes, std::size_t vorher,
                           std::optional<std::size_t> datei);
    void einsparungenLeeren();
    QTableWidget* einsparungen() const { return einsparungen_; }

    // The document's encoding: the rule over the loaded bytes, or what the user picks in the
    // encoding box (Automatisch, Windows-1252, UTF-8) for the loaded document. A pick re-reads
    // the editor's bytes and never changes them. With no document, Automatisch means code page
    // 1252, so text typed into an empty editor is code page 1252 unless the user picks UTF-8.
    QComboBox* kodierungAuswahl() const { return kodierungAuswahl_; }
    QString kodierungText() const;
    // Shows a loaded document in the editor. A pick of the user holds on when `wahlBehalten`
    // (the same document read again), else the rule decides again.
    void dokumentZeigen(const Text& text, bool wahlBehalten);
    // Empties the editor: no document, code page 1252 unless the user picks UTF-8.
    void dokumentSchliessen();
    // The editor's characters become UTF-8 bytes (declared so in the page when `angeben`); the
    // box reads them as UTF-8 from now on, by the rule where it says so, else by the choice.
    void nachUtf8(bool angeben);
    // Whether a document is shown, and its text as it was loaded (what the changes view
    // compares the editor's text with).
    bool hatDokument() const { return dokument_; }
    const Text& geladenerText() const { return geladen_; }

  protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

  private:
    KodierungsWahl wahl() const;
    void kodierungAnzeigen();

    QuelltextMemo* editor_;
    QComboBox* kodierungAuswahl_;
    QLabel* kodierung_;
    bool dokument_ = false;
    Text geladen_;
    QLabel* originalGroesse_;
    QLabel* optimiertGroesse_;
    QSplitter* teiler_;
    QFrame* einsparungsRahmen_;
    QTableWidget* einsparungen_;
    QPushButton* optimieren_;
    QPushButton* schrittweise_;
    QPushButton* ansichtOriginal_;
    QPushButton* ansichtOptimiert_;
};

}  // namespace quintaro::ui
