// Special characters of code page 1252 as named HTML entities.
#pragma once

#include <string_view>

#include "engine/kapazitaet.h"
#include "engine/kodierung.h"
#include "engine/text.h"

namespace quintaro {

// Entity text for a byte, or empty when the byte passes through (95 bytes have one).
std::string_view entityFuer(unsigned char byte);

// Every byte with an entity becomes that entity; all others stay. "&" is never escaped.
// In UTF-8 every well-formed sequence of U+20AC or of U+00A1 to U+00FF gets the entity of the
// code page byte of the same character, so a page and its code page twin get the same entities;
// everything else, stray bytes included, stays. In another 8-bit code page the bytes from 0x80
// up are other letters, so nothing changes.
// Throws DateiFehler with kMemoKapazitaetFehler, before writing anything, when the entities would
// make the text longer than `grenze` bytes.
Text SonderzeichenErsetzen(std::string_view text, Kodierung kodierung = Kodierung::Cp1252,
                           std::size_t grenze = kMemoKapazitaet);
// The same into `aus` (its storage is reused; it must not be `text`). Returns false when nothing
// has an entity: the text stays as it is, and `aus` holds nothing of use. Past `grenze` it throws
// as above and leaves `aus` as it was.
bool SonderzeichenErsetzen(std::string_view text, Text& aus,
                           Kodierung kodierung = Kodierung::Cp1252,
                           std::size_t grenze = kMemoKapazitaet);
// The same appended to `aus`, which keeps what it held (it must not hold `text`).
void sonderzeichenAnhaengen(std::string_view text, Text& aus,
                            Kodierung kodierung = Kodierung::Cp1252);

}  // namespace quintaro
