// Generated HTML pages for the benchmarks: the same bytes for the same size and settings.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/text.h"

namespace quintaro::bench {

struct Seitenbau {
    std::size_t bytes = 1 << 20;
    // Distinct comments spread evenly over the page, each followed by a recurring one;
    // -1 places one about every 4 KB. With 0 the page holds no comment at all: scripts lose their
    // comment wrapper and webbots their comments.
    long kommentare = -1;
    std::uint32_t seed = 1;
};

// Tables, lists and paragraphs indented with tabs and spaces, CR LF line ends with blank lines,
// comments, SSI directives, webbot pairs, umlauts and euro signs, and scripts that use '<'.
Text erzeugeSeite(const Seitenbau& bau);

}  // namespace quintaro::bench
