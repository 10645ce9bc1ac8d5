// The one strict UTF-8 decoder: every place that reads UTF-8 bytes decides with it what is a
// character and what is a stray byte.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quintaro::utf8 {

struct Zeichen {
    char32_t wert;
    std::size_t laenge;  // bytes of its sequence, 1 to 4
};

// The character whose sequence starts `bytes`; nothing when `bytes` is empty or does not start
// with a well-formed sequence: an overlong form, a surrogate (U+D800 to U+DFFF), a code point
// above U+10FFFF, a stray continuation byte, a lead byte without its continuation bytes.
std::optional<Zeichen> erstesZeichen(std::string_view bytes);

// The whole text is well-formed.
bool wohlgeformt(std::string_view bytes);

// The bytes of the character that starts `bytes`: 1 for a byte that starts no well-formed one,
// 0 for no bytes.
std::size_t zeichenlaenge(std::string_view bytes);

// The characters in `bytes`, each byte that is not part of a well-formed one counted alone.
std::size_t zeichenAnzahl(std::string_view bytes);

// Appends the sequence of `wert` (at most U+10FFFF, no surrogate).
void anhaengen(std::string& out, char32_t wert);

// The text as well-formed UTF-8 for showing it: each byte that is not part of a well-formed
// sequence becomes U+FFFD. At most `hoechstens` characters (a stray byte counts as one); true in
// `gekuerzt` when more followed.
std::string anzeigbar(std::string_view bytes, std::size_t hoechstens = std::string_view::npos,
                      bool* gekuerzt = nullptr);

}  // namespace quintaro::utf8
