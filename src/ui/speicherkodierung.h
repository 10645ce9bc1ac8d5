// Before a save: characters that the page's code page cannot hold would be written as '?'.
#pragma once

class QWidget;

namespace quintaro::ui {

class Dialoge;
class QuelltextSeite;

// Names the characters the page's encoding cannot hold, if any, and offers to save the page as
// UTF-8 (declared so in the page only if the user agrees) or not at all. True when the editor's
// text may now be saved as it stands; the text is never saved with those characters lost.
bool kodierungVorDemSpeichern(QuelltextSeite& seite, Dialoge& dialoge, QWidget* parent);

}  // namespace quintaro::ui
