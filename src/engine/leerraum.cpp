// Whitespace passes, in place: the output is never longer than the input.
#include "engine/leerraum.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace quintaro {

void replaceAllShrinking(Text& text, std::string_view search, std::string_view replacement) {
    assert(replacement.size() <= search.size());
    if (search.empty()) return;
    std::size_t pos = std::string_view(text).find(search);
    if (pos == Text::npos) return;
    char* d = text.data();
    std::size_t w = pos;
    std::size_t r = pos;
    while (pos != Text::npos) {
        if (pos > r) {
            std::memmove(d + w, d + r, pos - r);
            w += pos - r;
        }
        std::memcpy(d + w, replacement.data(), replacement.size());
        w += replacement.size();
        r = pos + search.size();
        pos = std::string_view(text).find(search, r);
    }
    std::memmove(d + w, d + r, text.size() - r);
    w += text.size() - r;
    text.resize(w);
}

Text tabulatorenEntfernen(Text text) {
    std::erase(text, '\t');
    return text;
}

Text doppelteZeilenumbruecheEntfernen(Text text) {
    // Repeated sweeps halve every run of CR LF pairs until one is left; pairs never overlap and
    // a collapsed run gets no new neighbours, so keeping the first pair of each run is the same.
    std::size_t first = std::string_view(text).find("\r\n\r\n");
    if (first == Text::npos) return text;
    char* d = text.data();
    const std::size_t n = text.size();
    std::size_t w = first + 2;
    std::size_t r = first + 2;
    bool afterPair = true;
    while (r < n) {
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
    replaceAllShrinking(text, "\r\n", " ");
    return text;
}

Text doppelteLeerzeichenEntfernen(Text text) {
    std::size_t first = std::string_view(text).find("  ");
    if (first == Text::npos) return text;
    char* d = text.data();
    const std::size_t n = text.size();
    std::size_t w = first + 1;
    std::size_t r = first + 1;
    bool afterSpace = true;
    while (r < n) {
        const char c = d[r++];
        if (c == ' ') {
            if (afterSpace) continue;
            afterSpace = true;
        } else {
            afterSpace = false;
        }
        d[w++] = c;
    }
    text.resize(w);
    return text;
}

Text leerzeichenZwischenTagsEntfernen(Text text) {
    replaceAllShrinking(text, "> <", "><");
    return text;
}

Text leerzeichenInTagsEntfernen(Text text) {
    replaceAllShrinking(text, " >", ">");
    replaceAllShrinking(text, "< ", "<");
    return text;
}

}  // namespace quintaro
