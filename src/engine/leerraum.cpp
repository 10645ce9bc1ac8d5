// Whitespace passes, in place: the output is never longer than the input. Blocks of bytes that
// hold nothing for the pass are moved whole.
#include "engine/leerraum.h"

#include <bit>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <utility>

#include "engine/suche.h"

namespace quintaro {

using suche::erster;
using suche::gleich;
using suche::kBlockweise;
using suche::kBreite;
using suche::kopiereBlock;
using suche::Maske;

namespace {

// Moves the `count` bytes in front of a hit (fewer than a block) from r down to w. Once the text
// has shrunk by a block, a whole block can be written: it ends before r and so before every byte
// still to be read, and what it puts behind w + count is overwritten later.
inline void vorziehen(char* d, std::size_t& w, std::size_t& r, std::size_t count) {
    if (r - w >= kBreite) {
        kopiereBlock(d + w, d + r);
    } else {
        for (std::size_t i = 0; i < count; ++i) d[w + i] = d[r + i];
    }
    w += count;
    r += count;
}

// A plain loop: the search texts are a few bytes long, too short for a call to pay.
inline bool gleicheBytes(const char* p, std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (p[i] != s[i]) return false;
    }
    return true;
}

}  // namespace

void alleErsetzenSchrumpfend(Text& text, std::string_view search, std::string_view replacement) {
    assert(replacement.size() <= search.size());
    if (search.empty()) return;
    const std::size_t first = suche::finde(text, 0, search);
    if (first == Text::npos) return;
    const std::size_t m = search.size();
    const std::size_t k = suche::anker(search);
    const bool kurz = m <= suche::kKurz;
    char* d = text.data();
    const std::size_t n = text.size();
    std::size_t w = first;
    std::size_t r = first;
    // Writing never overtakes reading (w <= r), so the text is rewritten in place.
    while (r < n) {
        if constexpr (kBlockweise) {
            if (kurz ? r + m + kBreite - 1 <= n : r + k + kBreite <= n) {
                // Short search texts are found exactly in every place of the block; for longer
                // ones, an occurrence starting in the block has its anchor byte k bytes on.
                const Maske treffer =
                    kurz ? suche::vorkommen(d + r, search) : gleich(d + r + k, search[k]);
                if (treffer == 0) {
                    kopiereBlock(d + w, d + r);
                    w += kBreite;
                    r += kBreite;
                    continue;
                }
                vorziehen(d, w, r, erster(treffer));
            }
        }
        if (r + m <= n && gleicheBytes(d + r, search)) {
            std::memcpy(d + w, replacement.data(), replacement.size());
            w += replacement.size();
            r += m;
        } else {
            d[w++] = d[r++];
        }
    }
    text.resize(w);
}

Text tabulatorenEntfernen(Text text) {
    const std::size_t first = text.find('\t');
    if (first == Text::npos) return text;
    char* d = text.data();
    const std::size_t n = text.size();
    std::size_t w = first;
    std::size_t r = first + 1;
    while (r < n) {
        if constexpr (kBlockweise) {
            if (r + kBreite <= n) {
                const Maske tabs = gleich(d + r, '\t');
                if (tabs == 0) {
                    kopiereBlock(d + w, d + r);
                    w += kBreite;
                    r += kBreite;
                    continue;
                }
                vorziehen(d, w, r, erster(tabs));
                ++r;  // the tab
                continue;
            }
        }
        const char c = d[r++];
        d[w] = c;
        w += c != '\t';
    }
    text.resize(w);
    return text;
}

Text doppelteZeilenumbruecheEntfernen(Text text) {
    // Repeated sweeps halve every run of CR LF pairs until one is left; pairs never overlap and
    // a collapsed run gets no new neighbours, so keeping the first pair of each run is the same.
    const std::size_t first = suche::finde(text, 0, "\r\n\r\n");
    if (first == Text::npos) return text;
    char* d = text.data();
    const std::size_t n = text.size();
    std::size_t w = first + 2;
    std::size_t r = first + 2;
    bool afterPair = true;
    while (r < n) {
        if constexpr (kBlockweise) {
            if (r + kBreite <= n) {
                const Maske crs = gleich(d + r, '\r');
                if (crs == 0) {  // no pair starts in this block
                    kopiereBlock(d + w, d + r);
                    w += kBreite;
                    r += kBreite;
                    afterPair = false;
                    continue;
                }
                const std::size_t vor = erster(crs);
                if (vor > 0) {
                    vorziehen(d, w, r, vor);
                    afterPair = false;
                }
            }
        }
        if (d[r] == '\r' && r + 1 < n && d[r + 1] == '\n') {
            if (!afterPair) {
                d[w++] = '\r';
                d[w++] = '\n';
            }
            afterPair = true;
            r += 2;
        } else {
            afterPair = false;
            d[w++] = d[r++];
        }
    }
    text.resize(w);
    return text;
}

Text zeilenumbruecheEntfernen(Text text) {
    alleErsetzenSchrumpfend(text, "\r\n", " ");
    return text;
}

Text doppelteLeerzeichenEntfernen(Text text) {
    const std::size_t first = suche::finde(text, 0, "  ");
    if (first == Text::npos) return text;
    // A space right behind a space is dropped.
    char* d = text.data();
    const std::size_t n = text.size();
    std::size_t w = first + 1;
    std::size_t r = first + 1;
    bool vorigesLeer = true;
    while (r < n) {
        if constexpr (kBlockweise) {
            if (r + kBreite <= n) {
                const Maske leer = gleich(d + r, ' ');
                // Spaces whose left neighbour, in this block or just before it, is a space.
                const Maske doppelt =
                    leer & (suche::nachRechts(leer) | (vorigesLeer ? suche::kErstes : 0));
                if (doppelt == 0) {
                    kopiereBlock(d + w, d + r);
                    w += kBreite;
                    r += kBreite;
                    vorigesLeer = (leer & suche::kLetztes) != 0;
                    continue;
                }
                vorziehen(d, w, r, erster(doppelt));
                // The second space and every one behind it in the same run.
                do {
                    ++r;
                } while (r < n && d[r] == ' ');
                vorigesLeer = true;
                continue;
            }
        }
        const char c = d[r++];
        const bool leer = c == ' ';
        d[w] = c;
        w += !(leer && vorigesLeer);
        vorigesLeer = leer;
    }
    text.resize(w);
    return text;
}

Text leerzeichenZwischenTagsEntfernen(Text text) {
    alleErsetzenSchrumpfend(text, "> <", "><");
    return text;
}

Text leerzeichenInTagsEntfernen(Text text) {
    alleErsetzenSchrumpfend(text, " >", ">");
    alleErsetzenSchrumpfend(text, "< ", "<");
    return text;
}

namespace {

// Two blocks at once for the joined sweep: bit i for byte i of 32.
using Breit = std::uint64_t;
constexpr std::size_t kZwei = 2 * kBreite;
constexpr Breit kZweiLetztes = Breit{1} << (kZwei - 1);
inline Breit zwei(const char* p, char c) {
    return Breit{gleich(p, c)} | (Breit{gleich(p + kBreite, c)} << kBreite);
}
inline std::size_t erster2(Breit m) {
    return static_cast<std::size_t>(std::countr_zero(m));
}

// One instance per choice of TAB, LZT and LIT, so that the sweep tests none of them per byte.
template <bool tabs, bool zwischenTags, bool inTags>
Text leerraumGang(Text text) {
    // After TAB, ZU and DL every run of spaces, CR LF pairs (found left to right, as ZU does) and
    // tabs is one space between two other bytes, which are never removed; LZT and LIT then drop
    // that space by its two neighbours alone.
    char* d = text.data();
    const std::size_t n = text.size();
    std::size_t w = 0;
    std::size_t r = 0;
    // The end of the CR LF pair starting at a CR at p, or 0 when that CR stands alone.
    const auto paarEnde = [&](std::size_t p) -> std::size_t {
        std::size_t k = p + 1;
        if constexpr (tabs) {
            while (k < n && d[k] == '\t') ++k;
        }
        return k < n && d[k] == '\n' ? k + 1 : 0;
    };
    while (r < n) {
        if constexpr (kBlockweise) {
            if (r + kZwei <= n) {
                const Breit leer = zwei(d + r, ' ');
                const Breit sonst = zwei(d + r, '\r') | (tabs ? zwei(d + r, '\t') : 0);
                // Mostly single spaces between words: two blocks are taken up to the first byte
                // that needs the loop below (a CR, a tab, a space with whitespace or the end to
                // its right). Each space before it decides by its two neighbours alone; the left
                // one of the first byte is the last one written.
                const Breit stopp = sonst | (leer & (((leer | sonst) >> 1) | kZweiLetztes));
                const std::size_t p = stopp == 0 ? kZwei : erster2(stopp);
                if (p > 0) {
                    const Breit vorn = p == kZwei ? ~Breit{0} : (Breit{1} << p) - 1;
                    const Breit auf = zwei(d + r, '<');
                    const Breit zu = zwei(d + r, '>');
                    const char vorher = w > 0 ? d[w - 1] : '\0';
                    const Breit linksZu = (zu << 1) | (vorher == '>' ? 1u : 0u);
                    const Breit linksAuf = (auf << 1) | (vorher == '<' ? 1u : 0u);
                    const Breit weg = leer & vorn &
                                      ((zwischenTags ? linksZu & (auf >> 1) : 0) |
                                       (inTags ? (zu >> 1) | linksAuf : 0));
                    if (r - w >= kZwei) {
                        // The text has shrunk by two blocks: that many bytes may be written
                        // behind w, as they end before every byte still unread.
                        char block[2 * kZwei] = {};
                        std::memcpy(block, d + r, kZwei);
                        std::size_t von = 0;
                        for (Breit m = weg; m != 0; m &= m - 1) {
                            const std::size_t bis = erster2(m);
                            std::memcpy(d + w, block + von, kZwei);
                            w += bis - von;
                            von = bis + 1;
                        }
                        std::memcpy(d + w, block + von, kZwei);
                        w += p - von;
                    } else {
                        for (std::size_t i = 0; i < p; ++i) {
                            d[w] = d[r + i];
                            w += ((weg >> i) & 1) == 0;
                        }
                    }
                    r += p;
                    if (p == kZwei) continue;
                }
            }
        }
        const char c = d[r];
        if (c == '\t' && tabs) {
            ++r;
            continue;
        }
        std::size_t ende = 0;
        if (c == ' ') {
            ende = r + 1;
        } else if (c == '\r') {
            ende = paarEnde(r);
        }
        if (ende == 0) {
            d[w++] = c;
            ++r;
            continue;
        }
        // A run: everything up to the next byte that is not a space, a tab or a pair.
        r = ende;
        while (r < n) {
            if constexpr (kBlockweise) {
                // Indentation: spaces and tabs a block at a time.
                if (r + kBreite <= n) {
                    const Maske leer = gleich(d + r, ' ') | (tabs ? gleich(d + r, '\t') : 0);
                    if (leer == 0xFFFFu) {
                        r += kBreite;
                        continue;
                    }
                    r += erster(~leer);
                }
            }
            if (d[r] == ' ' || (tabs && d[r] == '\t')) {
                ++r;
            } else if (d[r] == '\r' && (ende = paarEnde(r)) != 0) {
                r = ende;
            } else {
                break;
            }
        }
        const int links = w > 0 ? static_cast<unsigned char>(d[w - 1]) : -1;
        const int rechts = r < n ? static_cast<unsigned char>(d[r]) : -1;
        const bool weg = (zwischenTags && links == '>' && rechts == '<') ||
                         (inTags && (rechts == '>' || links == '<'));
        if (!weg) d[w++] = ' ';
    }
    text.resize(w);
    return text;
}

}  // namespace

Text leerraumInEinemGang(Text text, bool tabs, bool zwischenTags, bool inTags) {
    using Gang = Text (*)(Text);
    static constexpr Gang gaenge[8] = {
        &leerraumGang<false, false, false>, &leerraumGang<false, false, true>,
        &leerraumGang<false, true, false>,  &leerraumGang<false, true, true>,
        &leerraumGang<true, false, false>,  &leerraumGang<true, false, true>,
        &leerraumGang<true, true, false>,   &leerraumGang<true, true, true>,
    };
    return gaenge[(tabs ? 4 : 0) | (zwischenTags ? 2 : 0) | (inTags ? 1 : 0)](std::move(text));
}

}  // namespace quintaro
