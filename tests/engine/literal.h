// A deliberately literal implementation of the text passes, step by step as the rules state them
// (scan, per-entry replace-all in list order, repeated sweeps), to check the fast engine against.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ersetzungstabelle.h"
#include "engine/kommentare.h"
#include "engine/optionen.h"
#include "engine/text.h"

namespace quintaro::literal {

// Find, put in, continue behind the occurrence in the old text.
Text alleErsetzen(std::string_view text, std::string_view search, std::string_view replacement);

struct Treffer {
    std::size_t start;
    Text text;
};

// The three-state scan over positions 0 to L - N.
std::vector<Treffer> scan(std::string_view text, KommentarArt art);

// How often a removal took out a copy that the scan itself had not collected.
struct Statistik {
    long joinKopien = 0;  // copies that earlier removals joined together
    long endKopien = 0;   // untouched copies whose "-->" lies too near the end for the scan
};

struct KommentarLauf {
    Text text;
    bool abgebrochen = false;
    std::vector<Text> gefragt;       // the entries asked about, in order
    std::vector<Text> textBeiFrage;  // the text as it stood at each question
};

using Antwortgeber = std::function<Antwort(const Text& eintrag)>;

// Without `frage` every entry is removed.
KommentarLauf kommentareEntfernen(Text text, KommentarArt art, const Antwortgeber& frage = {},
                                  Statistik* statistik = nullptr);

Text tabulatoren(Text text);
Text doppelteZeilenumbrueche(Text text);
Text zeilenumbrueche(Text text);
Text doppelteLeerzeichen(Text text);
Text zwischenTags(Text text);
Text inTags(Text text);
Text ersetzung(Text text, const Ersetzungstabelle& tabelle);

// The entity of a byte as the table of named entities lists it; empty when there is none.
std::string_view entitaet(unsigned char byte);
Text sonderzeichen(Text text);

// A run with no questions: options 6 and 7 both remove every comment.
Text optimiere(Text text, const Optionsmenge& options, const Ersetzungstabelle& tabelle,
               Statistik* statistik = nullptr);

}  // namespace quintaro::literal
