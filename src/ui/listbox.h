// Routines the window's two sorted lists share (the file-type filters and the batch files).
#pragma once

class QListWidget;
class QString;

namespace quintaro::ui {

// Removes the selected entry (nothing when none is selected) and then selects the last entry.
void ListboxItemLoeschen(QListWidget& liste);

// Puts the text where the list's sorting (alphabetical, letter case ignored) places it: before
// the first entry that sorts after it, so equal texts stay in the order they came.
void sortiertEinfuegen(QListWidget& liste, const QString& text);

// Rows of a fixed height in pixels, whatever the font asks for.
void zeilenhoeheSetzen(QListWidget& liste, int hoehe);

}  // namespace quintaro::ui
