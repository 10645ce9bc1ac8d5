// Option CSS: a CSS tokenizer (CSS Syntax Level 3) over the page's bytes, and a minifier for the
// contents of a <style> element and for a style attribute's declarations that works on its tokens.
// Bytes from 0x80 up are name characters whatever the page's encoding, as CSS reads every
// non-ASCII character, so code page 1252, UTF-8 and other 8-bit pages need no decoding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/text.h"

namespace quintaro::css {

enum class Art : std::uint8_t {
    Ident,
    Funktion,  // "name(" (the bytes include the parenthesis)
    AtKeyword,
    Hash,
    Zeichenkette,
    Url,  // url(...) without quotes, as one token
    Delim,
    Zahl,
    Prozent,
    Dimension,
    Leerraum,
    Cdo,  // "<!--"
    Cdc,  // "-->"
    Doppelpunkt,
    Semikolon,
    Komma,
    EckigAuf,
    EckigZu,
    RundAuf,
    RundZu,
    GeschweiftAuf,
    GeschweiftZu,
    Kommentar,
    SchlechteZeichenkette,  // a line break ended it
    SchlechteUrl,
};

struct Token {
    std::uint32_t anfang;
    std::uint32_t ende;  // one behind the last byte
    Art art;
    // Cannot be read: a bad string or url, a "\" that escapes nothing, a string, url or comment
    // that the end cuts off, or a name with an escape right before "(" (it might spell "url").
    bool unlesbar = false;
    bool operator==(const Token&) const = default;
};

// The token that starts at `i` (< t.size()).
Token naechstesToken(std::string_view t, std::size_t i);

// All tokens of `t`, gapless; nothing for a text above 4 GiB.
std::vector<Token> zerlege(std::string_view t);

// A style sheet made smaller: comments go; whitespace goes where neither the tokens nor the
// meaning change (next to braces, ";", ",", around ":" of a declaration, selector combinators at
// the top of a selector, inside brackets, around "/" and "!" in values) and becomes one space
// elsewhere; the last ";" of a declaration block goes; "#aabbcc" in a declaration's value becomes
// "#abc". Strings, url(...), custom properties' values, @charset, the insides of unknown at-rules
// (only their whitespace is collapsed) and of expression(...), and everything from a token that
// cannot be read on stay as they stand. Comments holding a CDATA marker stay for XHTML. The
// result never holds a "</style" end tag the text did not have; if it would, the text comes back.
Text stilVerkleinern(std::string_view stil);

// The declarations of a style attribute made smaller in the same way. `roh` is the value's raw
// bytes as they stand between the quotes: a value holding "&" is returned as it is, since a
// character reference there is decoded before CSS reads it. The result gains no quote, no "&" and
// no whitespace where there was none, so it fits between the same quotes or none.
Text deklarationenVerkleinern(std::string_view roh);

}  // namespace quintaro::css
