// The six whitespace passes. Each is one linear sweep that gives exactly the result of the plain
// replace-all (repeated until nothing is left, for the two repeating passes).
#pragma once

#include "engine/text.h"

namespace quintaro {

Text tabulatorenEntfernen(Text text);              // every tab deleted
Text doppelteZeilenumbruecheEntfernen(Text text);  // every run of CR LF pairs becomes one pair
Text zeilenumbruecheEntfernen(Text text);          // CR LF becomes one space
Text doppelteLeerzeichenEntfernen(Text text);      // every run of spaces becomes one space
Text leerzeichenZwischenTagsEntfernen(Text text);  // "> <" becomes "><"
Text leerzeichenInTagsEntfernen(Text text);        // " >" becomes ">", then "< " becomes "<"

// With ZU and DL both on, where nobody sees the text between the passes: TAB (when `tabs`), DZU,
// ZU, DL, LZT (when `zwischenTags`) and LIT (when `inTags`) in one sweep, with their result. DZU
// makes no difference then: the pairs it drops would become spaces of a run that DL collapses.
Text leerraumInEinemGang(Text text, bool tabs, bool zwischenTags, bool inTags);

// Replace-all for a replacement no longer than the search text, done in place.
void alleErsetzenSchrumpfend(Text& text, std::string_view search, std::string_view replacement);

}  // namespace quintaro
