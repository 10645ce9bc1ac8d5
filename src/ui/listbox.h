// Routines the window's two sorted lists share (the file-type filters and the batch files).
#pragma once

#include <QStringList>

class QListWidget;

namespace quintaro::ui {

// Removes the selected entry (nothing when none is selected) and then selects the last entry.
void ListboxItemLoeschen(QListWidget& liste);

// Puts the text where the list's sorting (alphabetical, letter case ignored) places it: before
// the first entry that sorts after it, so equal texts stay in the order they came.
void sortiertEinfuegen(QListWidget& liste, const QString& text);
// The same for many texts at once, as if inserted one by one in their order, but with one sort and
// one fill of the list (a site's hundred thousand pages). `ohneDoppelte`: a text the list already
// holds (or that came before) is left out. Returns how many were added.
qsizetype sortiertEinfuegen(QListWidget& liste, const QStringList& texte, bool ohneDoppelte);

// Rows of a fixed height in pixels, whatever the font asks for.
void zeilenhoeheSetzen(QListWidget& liste, int hoehe);

}  // namespace quintaro::ui
