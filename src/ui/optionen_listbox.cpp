// A check state changed by the program is told apart from a user's toggle by a guard flag.
#include "ui/optionen_listbox.h"

#include "ui/dialoge.h"

namespace quintaro::ui {

namespace {
constexpr int kZeilenhoehe = 13;  // twenty-two rows in view at the least window size
// What HSB keeps, and what unticking it risks: the row's tool tip.
constexpr const char* kHsbHinweis =
    "Die Seite wird gelesen, wie ein Browser sie aufbaut, und nur geändert, wo er nichts "
    "anzeigt.\nInhalte von pre und textarea, Attributwerte, bedingte Kommentare, SSI und "
    "Servercode bleiben, wie sie sind,\nscript und style auch, wenn CSS und JavaScript nicht "
    "verkleinert werden.\nOhne Haken behandeln die Durchgänge die Seite als "
    "reinen Text: Wörter können zusammenrücken,\npre-Blöcke zusammenfallen und Skripte "
    "abgeschnitten werden.";
}  // namespace

OptionenListbox::OptionenListbox(Dialoge& dialoge, QWidget* parent)
    : QListWidget(parent), dialoge_(dialoge) {
    setObjectName(QStringLiteral("OptionenListbox"));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    programmAendert_ = true;
    for (const auto& info : kOptionen) {
        auto* zeile = new QListWidgetItem(
            QString::fromUtf8(info.caption.data(), static_cast<qsizetype>(info.caption.size())),
            this);
        zeile->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        zeile->setCheckState(info.defaultOn ? Qt::Checked : Qt::Unchecked);
        zeile->setSizeHint(QSize(0, kZeilenhoehe));
        if (info.index == HSB) zeile->setToolTip(QString::fromUtf8(kHsbHinweis));
    }
    programmAendert_ = false;

    connect(this, &QListWidget::itemChanged, this, [this](QListWidgetItem* zeile) {
        if (programmAendert_) return;
        mitFehlerbox(dialoge_, window(), [this, zeile] { OptionenListboxClickCheck(row(zeile)); });
    });
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this] { mitFehlerbox(dialoge_, window(), [this] { OptionenListboxDblClick(); }); });
}

bool OptionenListbox::option(int index) const {
    return item(index)->checkState() == Qt::Checked;
}

void OptionenListbox::setzeOption(int index, bool an) {
    const bool vorher = programmAendert_;
    programmAendert_ = true;
    item(index)->setCheckState(an ? Qt::Checked : Qt::Unchecked);
    programmAendert_ = vorher;
}

Optionsmenge OptionenListbox::zustand() const {
    Optionsmenge zustand;
    for (int i = 0; i < kOptionCount; ++i) zustand.set(i, option(i));
    return zustand;
}

void OptionenListbox::alleSetzen(const Optionsmenge& zustand) {
    for (int i = 0; i < kOptionCount; ++i) {
        if (option(i) != zustand[i]) setzeOption(i, zustand[i]);
    }
}

void OptionenListbox::OptionenListboxClickCheck(int zeile) {
    if (zeile < 0 || zeile >= kOptionCount) return;
    // The toggled row is the selected one, whether the mouse or the space bar toggled it.
    setCurrentRow(zeile);
    Optionsmenge neu = zustand();
    const bool warnen = verriegelungenAnwenden(neu, zeile);
    alleSetzen(neu);
    if (warnen)
        dialoge_.meldung(window(),
                         QString::fromUtf8(kSkriptWarnung.data(),
                                           static_cast<qsizetype>(kSkriptWarnung.size())));
}

void OptionenListbox::OptionenListboxDblClick() {
    const int zeile = currentRow();
    if (zeile < 0) return;
    setzeOption(zeile, !option(zeile));
}

}  // namespace quintaro::ui
