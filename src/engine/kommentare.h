// Webbot and comment removal: a left-to-right scan collects complete comments, then each
// collected text is removed from the whole document by replace-all, in list order.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "engine/antwort.h"
#include "engine/kodierung.h"
#include "engine/text.h"

namespace quintaro {

struct KommentarArt {
    std::string_view oeffnung;  // opening token
    bool ssiAusschliessen;  // an opening followed by "#" is a server-side include, not a comment
};
inline constexpr KommentarArt kWebbot{"<!--webbot", false};
inline constexpr KommentarArt kKommentar{"<!--", true};

// The match list: views into `text`, in scan order. A closing counts only at the positions the
// scan visits, so it needs N - 3 characters behind it (N = length of the opening token).
std::vector<std::string_view> kommentareSuchen(std::string_view text, KommentarArt art);

// Asked once per collected entry, in list order. `aktuellerText` builds the text as the
// removals so far left it (for showing it while the question is on screen).
using KommentarFrage =
    std::function<Antwort(std::string_view eintrag, const std::function<Text()>& aktuellerText)>;

struct KommentarErgebnis {
    Text text;
    bool abgebrochen = false;
};

// Removes the collected entries exactly as per-entry replace-all in list order would, including
// copies that earlier removals join together, but in time independent of the number of entries.
// Without `frage` every entry is removed.
KommentarErgebnis kommentareEntfernen(Text text, KommentarArt art,
                                      const KommentarFrage& frage = {});

// How a removal into a given buffer went.
enum class KommentarLauf { Unveraendert, Fertig, Abgebrochen };

// The same, writing the result into `aus` (its storage is reused; it must not be `text`). With
// nothing to remove, `aus` is left alone and the result is Unveraendert: the text stays as it is.
KommentarLauf kommentareEntfernen(std::string_view text, KommentarArt art, Text& aus,
                                  const KommentarFrage& frage = {});

// The question of KMM for one entry (UTF-8): at most 30 characters shown, then "...". A page
// in UTF-8 is shown by its characters (a stray byte as U+FFFD), any other by code page 1252.
std::string kommentarFrageText(std::string_view eintrag, Kodierung kodierung = Kodierung::Cp1252);

}  // namespace quintaro
