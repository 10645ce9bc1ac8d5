// The strict UTF-8 decoder, against a decoder written the textbook way (bits first, limits after).
#include "engine/utf8.h"
#include "common/tabelle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace quintaro::utf8 {
namespace {

using namespace std::string_literals;

// Decodes by the bit patterns alone and only then rejects what the limits exclude.
std::optional<Zeichen> lehrbuch(std::string_view s) {
    if (s.empty()) return std::nullopt;
    const auto b = static_cast<unsigned char>(s[0]);
    std::size_t n = b < 0x80           ? 1
                    : (b >> 5) == 0x6  ? 2
                    : (b >> 4) == 0xE  ? 3
                    : (b >> 3) == 0x1E ? 4
                                       : 0;
    if (n == 0 || s.size() < n) return std::nullopt;
    char32_t wert = n == 1 ? b : b & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        const auto f = static_cast<unsigned char>(s[k]);
        if ((f >> 6) != 0x2) return std::nullopt;
        wert = (wert << 6) | (f & 0x3F);
    }
    constexpr char32_t kMindestens[] = {0, 0, 0x80, 0x800, 0x10000};
    if (wert < kMindestens[n] || (wert >= 0xD800 && wert <= 0xDFFF) || wert > 0x10FFFF) {
        return std::nullopt;
    }
    return Zeichen{wert, n};
}

void vergleiche(const std::string& s) {
    const auto a = erstesZeichen(s);
    const auto b = lehrbuch(s);
    ASSERT_EQ(a.has_value(), b.has_value()) << testing::PrintToString(s);
    if (a) {
        ASSERT_EQ(a->wert, b->wert) << testing::PrintToString(s);
        ASSERT_EQ(a->laenge, b->laenge) << testing::PrintToString(s);
    }
}

TEST(Utf8, EveryOneTwoAndThreeByteInputAgreesWithTheTextbook) {
    for (int a = 0; a < 256; ++a) {
        const std::string eins(1, static_cast<char>(a));
        vergleiche(eins);
        for (int b = 0; b < 256; ++b) {
            const std::string zwei = eins + static_cast<char>(b);
            vergleiche(zwei);
            if (a < 0xE0 || a > 0xEF) continue;  // only three-byte leads need a third byte
            for (int c = 0; c < 256; ++c) vergleiche(zwei + static_cast<char>(c));
        }
    }
}

TEST(Utf8, FourByteInputsAgreeWithTheTextbook) {
    std::mt19937 rng(11);
    for (int runde = 0; runde < 200000; ++runde) {
        std::string s(1, static_cast<char>(0xF0 + rng() % 16));
        for (int k = 0; k < 3; ++k) {
            // Mostly continuation bytes, so the limits are what decides.
            s += static_cast<char>(rng() % 8 != 0 ? 0x80 + rng() % 0x40 : rng() % 256);
        }
        vergleiche(s);
    }
}

struct TextFall {
    const char* name;
    friend void PrintTo(const TextFall& f, std::ostream* os) { *os << f.name; }
    std::string bytes;
    bool wohlgeformt;
    std::string anzeige;  // anzeigbar() without a limit
};

class Utf8Text : public testing::TestWithParam<TextFall> {};

TEST_P(Utf8Text, WellFormedAndShown) {
    EXPECT_EQ(wohlgeformt(GetParam().bytes), GetParam().wohlgeformt);
    EXPECT_EQ(anzeigbar(GetParam().bytes), GetParam().anzeige);
    // Each stray byte counts as the one character it is shown as.
    const std::string& a = GetParam().anzeige;
    EXPECT_EQ(zeichenAnzahl(GetParam().bytes),
              static_cast<std::size_t>(std::count_if(a.begin(), a.end(), [](char c) {
                  return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
              })));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Utf8Text,
    testing::Values(
        TextFall{"Empty", "", true, ""}, TextFall{"AsciiAndNul", "a\0b"s, true, "a\0b"s},
        TextFall{"Umlaut", "\xC3\xA4", true, "\xC3\xA4"},
        TextFall{"Euro", "\xE2\x82\xAC", true, "\xE2\x82\xAC"},
        TextFall{"Emoji", "\xF0\x9F\x98\x80", true, "\xF0\x9F\x98\x80"},
        TextFall{"LargestCodePoint", "\xF4\x8F\xBF\xBF", true, "\xF4\x8F\xBF\xBF"},
        // Each stray byte becomes one U+FFFD, so no byte can hide a character.
        TextFall{"OverlongEscape", "\xE0\x80\x9B", false, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        TextFall{"Surrogate", "\xED\xA0\x80", false, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        TextFall{"OverlongLessThan", "\xC0\xBC", false, "\xEF\xBF\xBD\xEF\xBF\xBD"},
        TextFall{"PastU10FFFF", "\xF4\x90\x80\x80", false,
                 "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        TextFall{"TruncatedThenAscii", "\xE2\x82x", false, "\xEF\xBF\xBD\xEF\xBF\xBDx"},
        TextFall{"Cp1252Umlaut",
                 "Gr\xFC\xDF"
                 "e",
                 false,
                 "Gr\xEF\xBF\xBD\xEF\xBF\xBD"
                 "e"}),
    ::quintaro::test::ZeilenName{});

}  // namespace
}  // namespace quintaro::utf8
