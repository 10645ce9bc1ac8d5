// The changes between two texts of a page (the page as loaded and as it is now), found over its
// tokens rather than its lines: an optimised page is one line of tens of thousands of characters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quintaro {

// A page as a gapless sequence of tokens: a tag ("<" up to the next ">"), a comment ("<!--" up to
// "-->"), a word (letters, digits, bytes from 0x80 on and the entities among them, "M&uuml;ller"),
// a run of whitespace, or any other single byte. A "<" that closes nothing is a byte of its own,
// and so is every "<" inside a script or style element, whose contents are text to a browser. Each
// token is given by the offset one behind its last byte.
std::vector<std::uint32_t> aenderungsTokens(std::string_view text);

// One change: the tokens [altToken, altTokenEnde) of the original (counted as aenderungsTokens
// counts them) give way to [neuToken, neuTokenEnde) of the result. The bytes [alt, altEnde) and
// [neu, neuEnde) are what changed within them: the bytes both begin and end with alike are left
// out ("<b>M\xFCller</b>" against "<b>M&uuml;ller</b>" is "\xFC" against "&uuml;").
struct Aenderung {
    std::size_t alt = 0;
    std::size_t altEnde = 0;
    std::size_t neu = 0;
    std::size_t neuEnde = 0;
    std::size_t altToken = 0;
    std::size_t altTokenEnde = 0;
    std::size_t neuToken = 0;
    std::size_t neuTokenEnde = 0;
    bool operator==(const Aenderung&) const = default;
};

struct Vergleich {
    // In order, neither empty on both sides nor touching each other: between two changes at least
    // one token stays.
    std::vector<Aenderung> aenderungen;
    // Some stretch was too costly to compare token by token and is marked whole.
    bool grob = false;
    std::size_t entfernt = 0;    // bytes of the original inside changes
    std::size_t eingefuegt = 0;  // bytes of the result inside changes
};

// Work allowed for one comparison, in steps of the diff (about a nanosecond each): enough for a
// 10 MB page against its optimised version with every line break and umlaut changed, and a bound
// for two unrelated 10 MB texts.
inline constexpr std::uint64_t kVergleichsSchritte = 400'000'000;

// Compares over the tokens. Tags, comments, words and other bytes are matched first, as a longest
// common subsequence (Myers' linear-space diff, split at tokens that occur once in either text);
// the whitespace between two matched tokens either stays or is part of the change beside it. A
// stretch whose comparison would exceed its share of `schritte` becomes one change (`grob`).
// Texts of 4 GiB and more are one change as a whole.
Vergleich vergleiche(std::string_view alt, std::string_view neu,
                     std::uint64_t schritte = kVergleichsSchritte);

// A token as one line of the unified diff: "\" is written "\\", CR "\r", LF "\n", the other
// control bytes but tab "\xHH"; everything else stays as it is.
std::string tokenZeile(std::string_view token);

// The comparison in the unified diff format over token lines (each line one token, written by
// tokenZeile), with `kontext` lines of context, as `diff -u` and `patch` read it. Nothing at all
// when nothing changed.
std::string einheitlichesDiff(std::string_view alt, std::string_view neu,
                              const Vergleich& vergleich, std::string_view altName,
                              std::string_view neuName, std::size_t kontext = 3);

}  // namespace quintaro
