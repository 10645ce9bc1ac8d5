// Awkward scripts, style sheets and start tags for the minifiers' tests: random programs from a
// small grammar, with random whitespace, comments and line breaks between their pieces, built to
// hit what a minifier gets wrong (regular expressions after ")" and "}", division after names,
// "a\n++b", "return\nx", nested templates, "/* */" and "</" in strings, escapes, url() with
// spaces, custom properties, @media, !important). The same seed gives the same text.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "engine/kodierung.h"

namespace quintaro::test {

// A script; `modul` adds import/export and leaves out HTML-like comments. Non-ASCII letters and
// no-break spaces are written in `kodierung` (code page 1252 or UTF-8).
std::string zufallsSkript(std::mt19937& zufall, Kodierung kodierung, bool modul);

// The contents of a <style> element.
std::string zufallsStil(std::mt19937& zufall);

// A style attribute's value (without quotes or "&").
std::string zufallsDeklarationen(std::mt19937& zufall);

// One start tag with attributes quoted or not, boolean ones, type on script, style and link.
std::string zufallsStartTag(std::mt19937& zufall);

}  // namespace quintaro::test
