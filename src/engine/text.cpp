// Byte text primitives.
#include "engine/text.h"

#include <algorithm>
#include <array>
#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "engine/suche.h"
#include "engine/utf8.h"

namespace quintaro {

void grosseSeitenErbitten([[maybe_unused]] char* frei, [[maybe_unused]] std::size_t bytes) {
#if defined(MADV_HUGEPAGE)
    // Worth a system call only for room of a few huge pages.
    constexpr std::size_t kAb = std::size_t{4} << 20;
    if (bytes < kAb) return;
    const auto seite = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t vorlauf = (seite - reinterpret_cast<std::uintptr_t>(frei) % seite) % seite;
    // Only advice: without huge pages everything works as before.
    static_cast<void>(::madvise(frei + vorlauf, (bytes - vorlauf) / seite * seite, MADV_HUGEPAGE));
#endif
}

Text alleErsetzen(std::string_view text, std::string_view search, std::string_view replacement) {
    if (search.empty()) return Text(text);
    Text out;
    std::size_t pos = suche::finde(text, 0, search);
    if (pos == std::string_view::npos) return Text(text);
    out.reserve(text.size());
    std::size_t from = 0;
    while (pos != std::string_view::npos) {
        out.append(text.data() + from, pos - from);
        out.append(replacement);
        from = pos + search.size();
        pos = suche::finde(text, from, search);
    }
    out.append(text.data() + from, text.size() - from);
    return out;
}

bool ueberFuge(std::string_view links, std::string_view rechts, std::string_view kleinesMuster) {
    if (kleinesMuster.empty()) return false;
    const std::size_t n = links.size();
    const std::size_t vorn = std::min(n, kleinesMuster.size() - 1);
    const std::size_t hinten = std::min(rechts.size(), kleinesMuster.size() - 1);
    for (std::size_t p = n - vorn; p < n; ++p) {
        std::size_t k = 0;
        for (; k < kleinesMuster.size(); ++k) {
            const std::size_t i = p + k;
            char c;
            if (i < n) {
                c = links[i];
            } else if (i - n < hinten) {
                c = rechts[i - n];
            } else {
                break;
            }
            if (kleinAscii(c) != kleinesMuster[k]) break;
        }
        if (p + k > n && (k == kleinesMuster.size() || p + k == n + hinten)) return true;
    }
    return false;
}

Text kleinAsciiText(std::string_view text) {
    Text out(text);
    for (char& c : out) c = kleinAscii(c);
    return out;
}

namespace {

// The lone CRs and LFs of d[0, n), 16 bytes at a time.
std::size_t einzelneZeilenenden(const char* d, std::size_t n) {
    std::size_t zahl = 0;
    std::size_t i = 0;
    if constexpr (suche::kBlockweise) {
        bool crDavor = false;
        for (; i + suche::kBreite <= n; i += suche::kBreite) {
            const suche::Maske cr = suche::gleich(d + i, '\r');
            const suche::Maske lf = suche::gleich(d + i, '\n');
            if ((cr | lf) != 0) {
                const bool lfDahinter = i + suche::kBreite < n && d[i + suche::kBreite] == '\n';
                const suche::Maske lfEinzeln = lf & ~(suche::nachRechts(cr) | (crDavor ? 1u : 0u));
                const suche::Maske crEinzeln =
                    cr & ~((lf >> 1) | (lfDahinter ? suche::kLetztes : 0u));
                for (suche::Maske m = lfEinzeln | crEinzeln; m != 0; m &= m - 1) ++zahl;
            }
            crDavor = (cr & suche::kLetztes) != 0;
        }
    }
    for (; i < n; ++i) {
        if (d[i] == '\r') {
            zahl += !(i + 1 < n && d[i + 1] == '\n');
        } else if (d[i] == '\n') {
            zahl += !(i > 0 && d[i - 1] == '\r');
        }
    }
    return zahl;
}

// True when d[0, n) has no lone CR or LF, as most pages: 64 bytes at a time without a branch on
// the line ends, which come too often (every 70 bytes or so) to be predicted.
bool nurPaare(const char* d, std::size_t n) {
    std::size_t i = 0;
    if constexpr (suche::kBlockweise) {
        std::uint64_t einzeln = 0;
        std::uint64_t crDavor = 0;
        for (; i + 64 < n; i += 64) {
            std::uint64_t cr = 0;
            std::uint64_t lf = 0;
            for (std::size_t b = 0; b < 64; b += suche::kBreite) {
                cr |= std::uint64_t{suche::gleich(d + i + b, '\r')} << b;
                lf |= std::uint64_t{suche::gleich(d + i + b, '\n')} << b;
            }
            const std::uint64_t lfDahinter = d[i + 64] == '\n' ? std::uint64_t{1} << 63 : 0;
            einzeln |= (lf & ~((cr << 1) | crDavor)) | (cr & ~((lf >> 1) | lfDahinter));
            crDavor = cr >> 63;
        }
        if (einzeln != 0) return false;
        // The rest starts after a CR LF pair's CR at most, which the tail must not count.
        if (crDavor != 0) {
            if (i < n && d[i] == '\n') ++i;
        }
    }
    return einzelneZeilenenden(d + i, n - i) == 0;
}

// The first CR or LF in p[von, n), or n.
std::size_t naechstesZeilenende(const char* p, std::size_t von, std::size_t n) {
    if constexpr (suche::kBlockweise) {
        for (; von + suche::kBreite <= n; von += suche::kBreite) {
            const suche::Maske m = suche::gleich(p + von, '\r') | suche::gleich(p + von, '\n');
            if (m != 0) return von + suche::erster(m);
        }
    }
    for (; von < n; ++von) {
        if (p[von] == '\r' || p[von] == '\n') return von;
    }
    return n;
}

// `bytes` with every line end as CR LF, `zuwachs` bytes longer (its lone CRs and LFs).
Text vereinheitlicht(std::string_view bytes, std::size_t zuwachs) {
    Text out;
    out.resize(bytes.size() + zuwachs);
    char* aus = out.data();
    const char* p = bytes.data();
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const std::size_t j = naechstesZeilenende(p, i, n);
        std::memcpy(aus, p + i, j - i);
        aus += j - i;
        if (j == n) break;
        *aus++ = '\r';
        *aus++ = '\n';
        i = (p[j] == '\r' && j + 1 < n && p[j + 1] == '\n') ? j + 2 : j + 1;
    }
    return out;
}

}  // namespace

Text umbruecheVereinheitlichen(std::string_view bytes) {
    return vereinheitlicht(bytes, einzelneZeilenenden(bytes.data(), bytes.size()));
}

void umbruecheVereinheitlichenAnOrt(Text& text) {
    char* d = text.data();
    const std::size_t n = text.size();
    if (nurPaare(d, n)) return;
    const std::size_t zuwachs = einzelneZeilenenden(d, n);
    if (zuwachs == 0) return;
    if (text.capacity() < n + zuwachs) {
        // It moves anyway: copying forward a line at a time beats moving it back byte by byte.
        text = vereinheitlicht(text, zuwachs);
        return;
    }

    // Then move everything back to front: writing stays behind reading by the growth still due.
    text.resize(n + zuwachs);
    d = text.data();
    std::size_t r = n;
    std::size_t w = n + zuwachs;
    while (w > r) {
        const char c = d[--r];
        if (c == '\n' || c == '\r') {
            if (c == '\n' && r > 0 && d[r - 1] == '\r') --r;
            d[--w] = '\n';
            d[--w] = '\r';
        } else {
            d[--w] = c;
        }
    }
}

namespace {
// Unicode code points of 0x80..0x9F in code page 1252; undefined slots keep their C1 value.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

std::string cp1252NachUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out.push_back(c);
        } else if (b < 0xA0) {
            utf8::anhaengen(out, kHigh[b - 0x80]);
        } else {
            utf8::anhaengen(out, b);
        }
    }
    return out;
}

std::optional<Text> utf8NachCp1252Verlustfrei(std::string_view text) {
    Text out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto z = utf8::erstesZeichen(text.substr(i));
        if (!z) return std::nullopt;
        const char32_t cp = z->wert;
        i += z->laenge;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out.push_back(static_cast<char>(cp));
            continue;
        }
        bool found = false;
        for (std::size_t k = 0; k < kHigh.size(); ++k) {
            if (kHigh[k] == cp) {
                out.push_back(static_cast<char>(0x80 + k));
                found = true;
                break;
            }
        }
        if (!found) return std::nullopt;
    }
    return out;
}

}  // namespace quintaro
