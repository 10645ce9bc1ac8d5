// Internal to the engine: byte search 16 bytes at a time with SSE2 (every x86-64 processor has
// it), for the passes' short search texts.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quintaro::suche {

// A block is 16 bytes; a mask has one flag per byte, bit i for byte i.
inline constexpr std::size_t kBreite = 16;
using Maske = std::uint32_t;

#if defined(__SSE2__)
inline constexpr bool kBlockweise = true;

inline Maske gleich(const char* p, char c) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return static_cast<Maske>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(c))));
}
inline Maske hoch(const char* p) {  // bytes of 0x80 and above
    return static_cast<Maske>(
        _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))));
}
inline Maske leerraum(const char* p) {  // space, tab, LF, FF, CR
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i m = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(b, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(b, _mm_set1_epi8('\t'))),
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(b, _mm_set1_epi8('\n')),
                                  _mm_cmpeq_epi8(b, _mm_set1_epi8('\r'))),
                     _mm_cmpeq_epi8(b, _mm_set1_epi8('\f'))));
    return static_cast<Maske>(_mm_movemask_epi8(m));
}
#else
// Elsewhere the byte-by-byte paths are taken; these exist only to compile.
inline constexpr bool kBlockweise = false;
inline Maske gleich(const char*, char) {
    return 0;
}
inline Maske hoch(const char*) {
    return 0;
}
inline Maske leerraum(const char*) {
    return 0;
}
#endif

inline constexpr Maske kErstes = 1;
inline constexpr Maske kLetztes = Maske{1} << (kBreite - 1);

// The offset of the first flagged byte.
inline std::size_t erster(Maske m) {
    return static_cast<std::size_t>(std::countr_zero(m));
}
// The flag of byte i moved to byte i + 1 (the last one drops out).
inline Maske nachRechts(Maske m) {
    return (m << 1) & 0xFFFFu;
}

// The first `c` in p[von..n), or n. Inline and a block at a time: for the short distances
// between the marks of a page a call to memchr costs more than the search.
inline std::size_t naechstes(const char* p, std::size_t von, std::size_t n, char c) {
    if constexpr (kBlockweise) {
        for (; von + kBreite <= n; von += kBreite) {
            const Maske m = gleich(p + von, c);
            if (m != 0) return von + erster(m);
        }
    }
    for (; von < n; ++von) {
        if (p[von] == c) return von;
    }
    return n;
}

// Copies one block through a register, so that source and target may overlap.
inline void kopiereBlock(char* ziel, const char* quelle) {
    char block[kBreite];
    std::memcpy(block, quelle, kBreite);
    std::memcpy(ziel, block, kBreite);
}

// How common a byte is in a page, roughly: the search looks for the rarest byte of the search text
// first, so that it stops at as few places as possible.
inline int haeufigkeit(char c) {
    switch (c) {
        case ' ':
            return 5;
        case '<':
        case '>':
        case '"':
        case '=':
            return 3;
        case '-':
        case '\t':
        case '\r':
        case '\n':
            return 2;
        default:
            return c >= 'a' && c <= 'z' ? 2 : 1;
    }
}

inline std::size_t anker(std::string_view muster) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < muster.size(); ++i) {
        if (haeufigkeit(muster[i]) <= haeufigkeit(muster[best])) best = i;
    }
    return best;
}

// Search texts up to this length are matched in every place of a block at once.
inline constexpr std::size_t kKurz = 4;

// Flags the places i where `muster` (at most kKurz bytes) starts at p + i; reads up to
// p[kBreite - 2 + m].
inline Maske vorkommen(const char* p, std::string_view muster) {
    Maske t = ~Maske{0};
    for (std::size_t i = 0; i < muster.size(); ++i) t &= gleich(p + i, muster[i]);
    return t;
}

// The leftmost occurrence of `muster` starting at or behind `from`, or npos.
inline std::size_t finde(std::string_view text, std::size_t from, std::string_view muster) {
    const std::size_t m = muster.size();
    const std::size_t n = text.size();
    if (m == 0) return from <= n ? from : std::string_view::npos;
    if (m > n || from > n - m) return std::string_view::npos;
    const std::size_t k = anker(muster);
    const char* d = text.data();
    const auto passt = [&](std::size_t start) {
        for (std::size_t i = 0; i < m; ++i) {
            if (d[start + i] != muster[i]) return false;
        }
        return true;
    };
    std::size_t q = from;  // the next start to look at
    if constexpr (kBlockweise) {
        // A rare anchor byte stops the search seldom; around a common one, every place is compared.
        if (m <= kKurz && (m <= 2 || haeufigkeit(muster[k]) >= 3)) {
            for (; q + m + kBreite - 1 <= n; q += kBreite) {
                const Maske t = vorkommen(d + q, muster);
                if (t != 0) return q + erster(t);
            }
        } else {
            for (; q + k + kBreite <= n; q += kBreite) {
                Maske t = gleich(d + q + k, muster[k]);
                while (t != 0) {
                    const std::size_t start = q + erster(t);
                    if (start + m > n) break;
                    if (passt(start)) return start;
                    t &= t - 1;
                }
            }
        }
    }
    for (; q + m <= n; ++q) {
        if (passt(q)) return q;
    }
    return std::string_view::npos;
}

}  // namespace quintaro::suche
