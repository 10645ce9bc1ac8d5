// Option JS: a JavaScript tokenizer (ECMAScript 2022, with the HTML-like comments of classic
// scripts) over the page's bytes, and a minifier for the contents of a <script> element that
// removes comments and whitespace but never renames or rewrites code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/kodierung.h"
#include "engine/text.h"

namespace quintaro::js {

enum class Art : std::uint8_t {
    Name,  // identifiers, keywords and "#private" names
    Zahl,
    Zeichenkette,
    Vorlage,  // a whole template literal, its substitutions included
    Regex,
    Satzzeichen,
    Leerraum,
    Umbruch,          // one line terminator; CR LF is one
    Kommentar,        // "/* */"
    Zeilenkommentar,  // "//" up to the line's end
    HtmlKommentar,    // "<!--", or "-->" at the start of a line, up to the line's end
};

// How a token was read: a "/" there starts a regular expression; nothing but whitespace and
// comments stand between the last line terminator (or the start) and the token.
inline constexpr std::uint8_t kRegexErlaubt = 1;
inline constexpr std::uint8_t kZeilenanfang = 2;

struct Token {
    std::uint32_t anfang;
    std::uint32_t ende;  // one behind the last byte
    Art art;
    std::uint8_t kontext = 0;
    bool operator==(const Token&) const = default;
};

// Why a script could not be read to its end.
enum class Fehler : std::uint8_t {
    Keiner,
    OffeneZeichenkette,  // no closing quote on its line
    OffeneVorlage,       // a template literal or one of its "${" without its end
    OffenerRegex,
    OffenerKommentar,
    Klammern,    // a closing bracket of the wrong kind or with none open
    Zeichen,     // a byte that cannot stand there (or a non-ASCII one of another code page)
    Mehrdeutig,  // a "/" that could be division or a regular expression
    ZuTief,      // template literals nested too deeply
    ZuGross,     // 4 GiB and more
};

struct Zerlegung {
    std::vector<Token> tokens;  // gapless up to the fault
    Fehler fehler = Fehler::Keiner;
    std::size_t stelle = 0;  // where the fault was found
};

// `kodierung` says which bytes from 0x80 up are whitespace or line terminators (in code page 1252
// 0xA0; in UTF-8 no-break space, U+2028 and the others); `modul` scripts know no HTML-like
// comments.
Zerlegung zerlege(std::string_view quelle, Kodierung kodierung, bool modul);

// The script made smaller: comments go (but HTML-like ones and those holding a CDATA marker or
// starting "@", JScript's conditional compilation); whitespace between two tokens goes where
// they stay apart without it, else one space stays; whitespace holding a line terminator becomes
// one line feed, so that automatic semicolon insertion sees what it saw. Tokens stay byte for
// byte. A script that cannot be read to its end comes back unchanged, and so does one whose
// result would end the <script> element elsewhere than the original.
Text skriptVerkleinern(std::string_view quelle, Kodierung kodierung, bool modul);

}  // namespace quintaro::js
