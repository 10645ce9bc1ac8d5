// The passes with option HSB: they know the page's structure through the HTML tokenizer and the
// tree an HTML parser builds, and change only what a browser does not show (whitespace it
// collapses, comments). Contents of script, style, pre, textarea, xmp, listing, plaintext and
// noscript (but for their line ends with ZU), attribute values, conditional comments, SSI
// directives and server code stay as they are.
#pragma once

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/html_tokenizer.h"
#include "engine/kapazitaet.h"
#include "engine/kodierung.h"
#include "engine/kommentare.h"
#include "engine/text.h"

namespace quintaro {

// Removes each comment where it stands (with `nurWebbots` only those starting "<!--webbot"),
// asking `frage` about each one when given. Comments inside script or style are none; conditional
// comments and their downlevel markers and "<!--#" directives are kept, and so is a comment whose
// removal would join the bytes around it into a tag, a character reference or a new first line
// of a pre block.
// With `zerlegt`, a run that was not abandoned leaves there the tokens of the result and the
// whitespace runs of its tags, as html::zerlege would give them, for the sweep that follows; and
// with them the tree's facts where taking out comments kept them true (a comment is no element,
// so it changes only the text on both sides that becomes one).
KommentarErgebnis strukturKommentareEntfernen(Text text, bool nurWebbots,
                                              const KommentarFrage& frage = {},
                                              html::Zerlegung* zerlegt = nullptr);

// The whitespace passes, as bits in the run's order; several at once give what one after another
// gives.
enum StrukturPass : unsigned {
    kTabulatoren = 1,          // TAB
    kDoppelteUmbrueche = 2,    // DZU
    kUmbrueche = 4,            // ZU
    kDoppelteLeerzeichen = 8,  // DL
    kZwischenTags = 16,        // LZT
    kInTags = 32,              // LIT
};

// Each run of whitespace in text and inside tags is changed by the given passes, and a run is
// removed altogether (LZT in text, LIT in tags) only where a browser renders nothing, decided on
// the tree an HTML parser builds (html::baue): next to the start or end tag of a shown element
// that is not inline, at the edges of such an element's content, in the head, or where the
// parser drops it; inside a tag before ">" and around "=". Elsewhere at least one space stays,
// and so does whitespace beside SSI directives and server code, or whose removal would change
// the tree. With ZU, each CR LF and lone CR in the contents of the elements kept as they are, in
// attribute values and in conditional comments becomes LF, and whitespace at the ends of style
// and JavaScript contents goes. With `sonderzeichen`, the special characters of that encoding are
// replaced as well (as strukturSonderzeichen after it); an output longer than `grenze` bytes
// throws DateiFehler with kMemoKapazitaetFehler before it is written. `zerlegt`: the tokens of
// `text` when they are known already (their facts are set here). `danach` receives the tokens of
// the result as html::zerlege gives them, with the facts of this reading: the tree is the same.
// They are made over those of `zerlegt`, which are then gone.
Text strukturLeerraum(const Text& text, unsigned passes,
                      std::optional<Kodierung> sonderzeichen = std::nullopt,
                      html::Zerlegung* zerlegt = nullptr, std::size_t grenze = kMemoKapazitaet,
                      html::Tokenfolge* danach = nullptr);

// Replaces the special characters (as SonderzeichenErsetzen) in the text outside tags, comments,
// script, style and the other raw-text elements, where a browser decodes character references.
// The size limit as above.
Text strukturSonderzeichen(const Text& text, Kodierung kodierung = Kodierung::Cp1252,
                           std::size_t grenze = kMemoKapazitaet);

}  // namespace quintaro
