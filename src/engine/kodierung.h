// Which encoding a page is in: the one rule that the window, the batch run and the command line
// apply to a loaded text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quintaro {

enum class Kodierung {
    Cp1252,  // Windows code page 1252 (also what ISO-8859-1 and US-ASCII pages are read as)
    Utf8,
    Andere,  // another 8-bit code page: bytes from 0x80 up are letters this program does not know
};

// What the user asked for: the rule, or one encoding regardless of the text.
enum class KodierungsWahl { Automatisch, Cp1252, Utf8 };

// The encoding of a loaded text (line breaks already CR LF):
// 1. it starts with the byte-order mark EF BB BF: UTF-8;
// 2. else the first <meta> tag lying wholly within the first 1,024 bytes that declares a
//    character set (charset="...", or charset=... inside its content attribute) decides by its
//    label;
// 3. else UTF-8 when the whole text is well-formed UTF-8 and holds a multi-byte sequence,
//    otherwise code page 1252.
Kodierung kodierungErmitteln(std::string_view text);

// The encoding that a character-set label names, following the labels of the WHATWG Encoding
// Standard (letter case and surrounding white space do not matter): its labels of UTF-8 give
// UTF-8, those of windows-1252 give code page 1252, any other label another 8-bit code page.
Kodierung kodierungDerBezeichnung(std::string_view label);

// The rule for Automatisch, else the chosen encoding.
Kodierung kodierungFuer(KodierungsWahl wahl, std::string_view text);

// The label that step 2 of the rule reads ("windows-1252"), without surrounding white space;
// nothing when no <meta> tag within the first 1,024 bytes declares one.
std::optional<std::string> angegebeneKodierung(std::string_view text);

// The page declaring UTF-8, for a text about to be saved as UTF-8: the label that step 2 reads
// becomes "utf-8" (the rest of its tag stays); without one, <meta charset="utf-8"> goes right
// behind the <head> start tag, else behind a doctype that comes before any tag, else at the very
// start. A page that starts with the byte-order mark declares UTF-8 already and stays as it is.
std::string utf8Angeben(std::string_view text);

}  // namespace quintaro
