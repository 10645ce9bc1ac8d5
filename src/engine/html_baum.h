// What an HTML parser's tree construction makes of a page's tokens: which tags really open or
// close an element, which text lands where, and so which whitespace a browser renders. The
// passes of option HSB decide on these facts, not on tag names; later passes (optional tags,
// inline styles and scripts) can use them too.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/html_tokenizer.h"

namespace quintaro::html {

// Facts of one token, as bits.
namespace fakt {
// A tag the parser used: a start tag that opened an element, an end tag that closed one of its
// name (or made one, as "</p>" and "</br>" may). Stray and dropped tags have it not.
inline constexpr std::uint16_t kWirkt = 1;
// A tag with kWirkt whose element is shown and not inline (a block, a list item, a table part,
// br): whitespace beside it renders nothing.
inline constexpr std::uint16_t kGrenze = 2;
// Inside SVG or MathML: tags there may close themselves, and text is not HTML text.
inline constexpr std::uint16_t kFremd = 4;
// Text: its leading whitespace may go, because nothing but whitespace stands before it in its
// parent up to a shown non-inline element or the start of a non-inline parent.
inline constexpr std::uint16_t kVorn = 8;
// Text: the same for its trailing whitespace, towards what follows.
inline constexpr std::uint16_t kHinten = 16;
// Text whose whitespace is rendered as it stands (pre, listing, foreign content): kept.
inline constexpr std::uint16_t kFest = 32;
// Whitespace-only text that makes the parser reopen formatting elements: removing it would
// change the tree, so a character stays.
inline constexpr std::uint16_t kBleibt = 64;
// A comment in a table outside its cells, where text beside it is moved out of the table.
inline constexpr std::uint16_t kInTabelle = 128;
// A token the parser reads as part of something else (the tokenizer cannot know foreign
// content's rules for raw text): its bytes stay as they are.
inline constexpr std::uint16_t kVerdeckt = 256;
// Text the parser drops (before the html element, the first line break of a pre block, ...): it
// may go whole, but changed it could start to show.
inline constexpr std::uint16_t kFallen = 512;
// An end tag that closed the element it names and nothing else, which was the current node.
inline constexpr std::uint16_t kEinzeln = 1024;
// Text the tree holds not as one piece from its first byte to its last (split, or with bytes the
// parser drops): its ends were decided piece by piece.
inline constexpr std::uint16_t kTeil = 2048;
}  // namespace fakt

// Sets the facts of `tokens` (as zerlege gives them for `text`). The engine's own reading of the
// tree construction decides most pages in one sweep (true); the others a full HTML5 parser
// (gumbo). `nurKommentare`: only the facts of tags and comments are needed, not those of text.
bool baue(std::string_view text, Tokenfolge& tokens, bool nurKommentare = false);

// The two ways on their own, for the test that compares them: the quick one gives false for a
// page it cannot decide.
bool baueSchnell(std::string_view text, Tokenfolge& tokens, bool nurKommentare = false);
void baueMitParser(std::string_view text, Tokenfolge& tokens);

// Facts that hold whatever the tree: every text kept as it is, every comment treated as one in a
// table. For pages the parser is known to read otherwise than a browser (gumbo 0.10.1 does not
// know dialog and search, and lets an end tag of a name it does not know close any element of
// such a name) and pages too big for it.
void vorsichtig(Tokenfolge& tokens);

// The value of attribute `name` (lower case) in the tag t[anfang..ende), as a parser reads it
// (the first of that name counts); `gefunden` false when there is none.
struct Attribut {
    bool gefunden = false;
    std::string_view wert;
};
Attribut attribut(std::string_view t, const Token& tag, std::string_view name);

}  // namespace quintaro::html
