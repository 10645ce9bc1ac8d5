// Option ATK on one start tag, and what a start tag says about the language of its element's
// contents (for options CSS and JS). A tag is read as a browser's tokenizer reads it.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "engine/text.h"

namespace quintaro {

struct Attribut {
    std::size_t anfang;  // the name's first byte
    std::size_t ende;    // behind the value (or its closing quote, or the name)
    std::string_view name;
    std::string_view wert;  // raw, character references undecoded
    char quote = 0;         // '"' or '\'', 0 unquoted
    bool mitWert = false;   // "=" was given
};

struct StartTag {
    std::string_view name;
    std::vector<Attribut> attribute;
    std::size_t ende;  // where the closing "/>" or ">" starts
};

// Reads the start tag `tag` ("<" up to and including its ">"); false when it is none or is cut
// off before its ">".
bool leseStartTag(std::string_view tag, StartTag& gelesen);

// The tag made shorter where the element, its attributes and their values stay what a browser
// reads (but that a boolean attribute's value becomes empty): quotes go around a value that needs
// none (not empty, no whitespace, none of " ' = < > `, not ending in "/", and a space or ">" after
// it); a boolean attribute whose value is empty or its own name keeps the name only
// (checked="checked" becomes checked); type goes from <script> of a JavaScript type and from
// <style> and <link rel=stylesheet> with text/css. A tag with an attribute named twice, and any
// byte sequence that is no whole start tag, comes back as it is.
Text tagKuerzen(std::string_view tag);
// The same into `aus` (its buffer is used again); false, and `aus` untouched, when the tag stays.
bool tagKuerzen(std::string_view tag, Text& aus);

enum class SkriptArt { Keins, Klassisch, Modul };

// What a <script> start tag runs: a classic script (no type, an empty one or a JavaScript MIME
// type, or without type a language naming JavaScript), a module, or nothing (a data block). A
// value holding "&" counts as nothing, as it is not decoded here.
SkriptArt skriptArt(std::string_view starttag);

// Whether a <style> start tag holds CSS: no type, an empty one, or text/css.
bool istCssStil(std::string_view starttag);

}  // namespace quintaro
