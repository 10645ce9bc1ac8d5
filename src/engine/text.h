// Byte text of code page 1252 and the text primitives every pass is built on.
#pragma once

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quintaro {

// Document text: bytes of Windows code page 1252, lines joined by CR LF. Any byte, NUL included.
using Text = std::string;

// Asks the kernel to back the untouched room of `bytes` from `frei` on with huge pages, where it
// gives them on request and the room is big: first touching 10 MB then costs a handful of page
// faults instead of some 2,600, which is most of a single run's system time.
void grosseSeitenErbitten(char* frei, std::size_t bytes);
// Room for at least `n` elements in a string or vector, reserved at once, big room in huge pages.
template <class Puffer>
void reservieren(Puffer& puffer, std::size_t n) {
    if (puffer.capacity() >= n) return;
    puffer.reserve(n);
    grosseSeitenErbitten(reinterpret_cast<char*>(puffer.data() + puffer.size()),
                         (puffer.capacity() - puffer.size()) * sizeof(*puffer.data()));
}

// Replaces every occurrence of `search` by `replacement`, scanning left to right over
// non-overlapping occurrences and continuing behind each one without searching the text just put
// in. An empty `search` leaves the text unchanged.
Text alleErsetzen(std::string_view text, std::string_view search, std::string_view replacement);

// The ASCII letters, the only ones markup is made of whatever the page's encoding.
constexpr bool istAsciiBuchstabe(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
constexpr char kleinAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Lowercases only the ASCII letters A to Z; every other byte, umlauts included, stays.
Text kleinAsciiText(std::string_view text);

// Whether `a` is `kleinesWort` (lower case) in any ASCII letter case: how markup names compare.
constexpr bool gleichKlein(std::string_view a, std::string_view kleinesWort) {
    if (a.size() != kleinesWort.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (kleinAscii(a[i]) != kleinesWort[i]) return false;
    }
    return true;
}
// Whether `kleinesWort` stands at `p` of `t`, in any ASCII letter case.
constexpr bool gleichKleinAn(std::string_view t, std::size_t p, std::string_view kleinesWort) {
    return p <= t.size() && t.size() - p >= kleinesWort.size() &&
           gleichKlein(t.substr(p, kleinesWort.size()), kleinesWort);
}
// Whether `kleinesMuster` (lower case, in any ASCII letter case) would begin in the last bytes of
// `links` and run on into `rechts` when the two are joined: as far as `rechts` holds, so that a
// minifier sees the match its joint makes before the next piece arrives.
bool ueberFuge(std::string_view links, std::string_view rechts, std::string_view kleinesMuster);

// Whether `w` is one of `liste`, exactly.
inline bool inListe(std::string_view w, std::initializer_list<std::string_view> liste) {
    return std::find(liste.begin(), liste.end(), w) != liste.end();
}
// Whether `w` is one of `liste` (lower case) in any ASCII letter case.
inline bool inListeKlein(std::string_view w, std::initializer_list<std::string_view> liste) {
    return std::any_of(liste.begin(), liste.end(),
                       [&](std::string_view e) { return gleichKlein(w, e); });
}

// Whether `a` and `b` differ at most in ASCII letter case.
constexpr bool gleichOhneFall(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (kleinAscii(a[i]) != kleinAscii(b[i])) return false;
    }
    return true;
}

// Every CR LF, lone CR and lone LF becomes CR LF (how a document is loaded).
Text umbruecheVereinheitlichen(std::string_view bytes);
// The same in place: the text grows by one byte for each lone CR or LF and is not copied.
void umbruecheVereinheitlichenAnOrt(Text& text);

// Code page 1252 <-> UTF-8. The five bytes that code page leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) map to the C1 controls of the same value, so every byte round-trips.
std::string cp1252NachUtf8(std::string_view bytes);
// Returns nothing when the input is not well-formed UTF-8 (engine/utf8.h) or holds a character
// code page 1252 lacks.
std::optional<Text> utf8NachCp1252Verlustfrei(std::string_view text);

}  // namespace quintaro
