// Special characters of code page 1252 as named HTML entities.
#pragma once

#include <string_view>

#include "engine/text.h"

namespace quintaro {

// Entity text for a byte, or empty when the byte passes through (95 bytes have one).
std::string_view entityFuer(unsigned char byte);

// Every byte with an entity becomes that entity; all others stay. "&" is never escaped.
Text SonderzeichenErsetzen(std::string_view text);
// The same into `aus` (its storage is reused; it must not be `text`). Returns false when no byte
// has an entity: the text stays as it is, and `aus` holds nothing of use.
bool SonderzeichenErsetzen(std::string_view text, Text& aus);

}  // namespace quintaro
