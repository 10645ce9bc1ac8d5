// Options CSS, JS and ATK over a whole page: the minifiers and the tag shortening applied where
// the page's tree puts a style sheet, a script or a start tag, and the optional tags left out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/html_tokenizer.h"
#include "engine/kodierung.h"
#include "engine/text.h"

namespace quintaro {

struct Kuerzung {
    bool css = false;  // <style> of a CSS type and style attributes
    bool js = false;   // <script> of a JavaScript type
    bool atk = false;  // start tags, and the optional tags
};

struct Gekuerzt {
    Text text;
    // Bytes each option saved; together the difference in size.
    std::size_t css = 0;
    std::size_t js = 0;
    std::size_t atk = 0;
};

// The page with the chosen options applied. Only elements the parser really opens are touched
// (not tags it drops or reads as text, nor, for ATK's attributes, SVG and MathML). With ATK, end
// and start tags the HTML standard lets a page omit go where the tree stays the same: only right
// before the tag whose handling closes or opens the element implicitly (never with whitespace or
// a comment between them, which would then land in another element). A page above 4 GiB comes
// back as it is. `zerlegt`: the page's tokens with their facts, when a pass before has them.
Gekuerzt seiteKuerzen(const Text& text, Kuerzung was, Kodierung kodierung,
                      const html::Tokenfolge* zerlegt = nullptr);

// The tokens ATK's optional tags leave out (a bit per token), from the tokens with their facts
// (html::baue).
std::vector<bool> optionaleTags(std::string_view text, const html::Tokenfolge& tokens);

}  // namespace quintaro
