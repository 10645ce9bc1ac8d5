// Text primitives: replace-all, ASCII lowercasing, line-break normalising and the code page.
#include "engine/text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "common/tabelle.h"
#include "literal.h"

namespace quintaro {
namespace {

using namespace std::string_literals;

struct ErsetzungsFall {
    const char* name;
    friend void PrintTo(const ErsetzungsFall& f, std::ostream* os) { *os << f.name; }
    std::string text, search, replacement, expected;
};

class ReplaceAll : public testing::TestWithParam<ErsetzungsFall> {};

TEST_P(ReplaceAll, GivesTheExpectedText) {
    const auto& c = GetParam();
    EXPECT_EQ(alleErsetzen(c.text, c.search, c.replacement), c.expected);
    EXPECT_EQ(literal::alleErsetzen(c.text, c.search, c.replacement), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ReplaceAll,
    testing::Values(
        ErsetzungsFall{"EmptySearchChangesNothing", "abc", "", "x", "abc"},
        ErsetzungsFall{"EmptyText", "", "a", "b", ""},
        ErsetzungsFall{"NotFound", "abc", "d", "x", "abc"},
        // Occurrences never overlap and the scan continues behind each one.
        ErsetzungsFall{"NonOverlapping", "aaaa", "aa", "a", "aa"},
        ErsetzungsFall{"OddRunLeavesTail", "aaa", "aa", "b", "ba"},
        // The text put in is never searched again, so this terminates.
        ErsetzungsFall{"ReplacementHoldsSearch", "aa", "a", "ab", "abab"},
        ErsetzungsFall{"CaseSensitive", "Aa", "a", "x", "Ax"},
        ErsetzungsFall{"Deletion", "a-b-c", "-", "", "abc"},
        ErsetzungsFall{"WholeText", "abc", "abc", "", ""},
        ErsetzungsFall{"SearchLongerThanText", "ab", "abc", "x", "ab"},
        ErsetzungsFall{"NulBytes", "a\0b\0"s, "\0"s, "0", "a0b0"},
        ErsetzungsFall{"HighBytes", "\xE4\xFC\xE4", "\xE4", "&auml;", "&auml;\xFC&auml;"},
        ErsetzungsFall{"LineBreakPairs", "\r\n\r\n\r\n", "\r\n\r\n", "\r\n", "\r\n\r\n"}),
    ::quintaro::test::ZeilenName{});

TEST(LowerAscii, ChangesOnlyAToZ) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const Text lowered = kleinAsciiText(all);
    ASSERT_EQ(lowered.size(), 256u);
    for (int b = 0; b < 256; ++b) {
        const int expected = (b >= 'A' && b <= 'Z') ? b + 32 : b;
        EXPECT_EQ(static_cast<unsigned char>(lowered[static_cast<std::size_t>(b)]), expected)
            << "byte " << b;
    }
}

struct UmbruchFall {
    const char* name;
    friend void PrintTo(const UmbruchFall& f, std::ostream* os) { *os << f.name; }
    std::string input, expected;
};

class NormaliseLineBreaks : public testing::TestWithParam<UmbruchFall> {};

TEST_P(NormaliseLineBreaks, MakesEveryLineEndCrLf) {
    EXPECT_EQ(umbruecheVereinheitlichen(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rules, NormaliseLineBreaks,
                         testing::Values(UmbruchFall{"Empty", "", ""},
                                         UmbruchFall{"NoBreak", "abc", "abc"},
                                         UmbruchFall{"CrLfStays", "a\r\nb", "a\r\nb"},
                                         UmbruchFall{"LoneLf", "a\nb", "a\r\nb"},
                                         UmbruchFall{"LoneCr", "a\rb", "a\r\nb"},
                                         // LF CR is two line ends, not one.
                                         UmbruchFall{"LfCr", "a\n\rb", "a\r\n\r\nb"},
                                         UmbruchFall{"CrCrLf", "\r\r\n", "\r\n\r\n"},
                                         UmbruchFall{"TrailingCr", "a\r", "a\r\n"},
                                         UmbruchFall{"OnlyBreaks", "\n\n\r", "\r\n\r\n\r\n"},
                                         UmbruchFall{"NulKept", "a\0\nb"s, "a\0\r\nb"s}),
                         ::quintaro::test::ZeilenName{});

TEST(NormaliseLineBreaks, IsIdempotent) {
    const std::string once = umbruecheVereinheitlichen("a\rb\nc\r\nd\n\r\r\n");
    EXPECT_EQ(umbruecheVereinheitlichen(once), once);
}

// Both ways (a copy, and in place with and without room to grow), over random mixes of breaks
// and other bytes long enough to span several blocks, and over pages of pairs only with at most
// one lone CR or LF anywhere, block edges included, against a byte-by-byte reading.
TEST(NormaliseLineBreaks, EveryWayGivesTheSameText) {
    const auto byteweise = [](const std::string& t) {
        std::string aus;
        for (std::size_t k = 0; k < t.size(); ++k) {
            if (t[k] != '\r' && t[k] != '\n') {
                aus += t[k];
                continue;
            }
            aus += "\r\n";
            if (t[k] == '\r' && k + 1 < t.size() && t[k + 1] == '\n') ++k;
        }
        return aus;
    };
    std::mt19937 rng(3);
    const std::string bytes = "\r\n\r\na\t";
    for (int i = 0; i < 6000; ++i) {
        std::string text;
        if (i % 2 == 0) {
            text.assign(rng() % 70, ' ');
            for (char& c : text) c = bytes[rng() % bytes.size()];
        } else {
            while (text.size() < 200 + rng() % 100) text += rng() % 3 == 0 ? "\r\n" : "a";
            if (i % 4 == 1) text.insert(rng() % (text.size() + 1), 1, rng() % 2 ? '\r' : '\n');
        }
        const std::string erwartet = byteweise(text);
        ASSERT_EQ(umbruecheVereinheitlichen(text), erwartet) << "text #" << i;
        std::string inPlace = text;
        if (i % 3 == 0) inPlace.reserve(2 * text.size());
        umbruecheVereinheitlichenAnOrt(inPlace);
        ASSERT_EQ(inPlace, erwartet) << "text #" << i;
    }
}

TEST(CodePage, EveryByteRoundTrips) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string utf8 = cp1252NachUtf8(byte);
        const auto back = utf8NachCp1252Verlustfrei(utf8);
        ASSERT_TRUE(back.has_value()) << "byte " << b;
        EXPECT_EQ(*back, byte) << "byte " << b;
    }
}

TEST(CodePage, WholeTextOfAllBytesRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(utf8NachCp1252Verlustfrei(cp1252NachUtf8(all)), all);
}

struct ZeichenFall {
    const char* name;
    friend void PrintTo(const ZeichenFall& f, std::ostream* os) { *os << f.name; }
    std::string cp1252, utf8;
};

class CodePageMapping : public testing::TestWithParam<ZeichenFall> {};

TEST_P(CodePageMapping, BothDirections) {
    EXPECT_EQ(cp1252NachUtf8(GetParam().cp1252), GetParam().utf8);
    EXPECT_EQ(utf8NachCp1252Verlustfrei(GetParam().utf8), GetParam().cp1252);
}

INSTANTIATE_TEST_SUITE_P(Characters, CodePageMapping,
                         testing::Values(ZeichenFall{"Ascii", "<p>", "<p>"},
                                         ZeichenFall{"Euro", "\x80", "\u20AC"},
                                         ZeichenFall{"LowQuote", "\x84", "\u201E"},
                                         ZeichenFall{"TradeMark", "\x99", "\u2122"},
                                         ZeichenFall{"YDiaeresis", "\x9F", "\u0178"},
                                         ZeichenFall{"Umlauts",
                                                     "Gr\xFC\xDF"
                                                     "e",
                                                     "Gr\u00FC\u00DF"
                                                     "e"},
                                         ZeichenFall{"NoBreakSpace", "\xA0", "\u00A0"},
                                         ZeichenFall{"UndefinedSlotAsC1", "\x81\x8D\x8F\x90\x9D",
                                                     "\u0081\u008D\u008F\u0090\u009D"}),
                         ::quintaro::test::ZeilenName{});

struct UngueltigFall {
    const char* name;
    friend void PrintTo(const UngueltigFall& f, std::ostream* os) { *os << f.name; }
    std::string utf8;
};

class Utf8Refused : public testing::TestWithParam<UngueltigFall> {};

TEST_P(Utf8Refused, GivesNothing) {
    EXPECT_FALSE(utf8NachCp1252Verlustfrei(GetParam().utf8).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, Utf8Refused,
    testing::Values(
        // Characters the code page lacks.
        UngueltigFall{"Cyrillic", "\u0416"}, UngueltigFall{"Emoji", "\U0001F600"},
        UngueltigFall{"C1ControlOfAnAssignedSlot", "\u0080"},
        UngueltigFall{"LatinExtended", "\u0101"},
        // Malformed input.
        UngueltigFall{"LoneContinuation", "\x80"}, UngueltigFall{"Truncated", "a\xC3"},
        UngueltigFall{"BadContinuation", "\xC3\x41"}, UngueltigFall{"FiveByteLead", "\xF8\x88"},
        UngueltigFall{"InvalidByteFF", "\xFF"},
        // Overlong forms must not sneak characters such as '<' or NUL past a check.
        UngueltigFall{"OverlongLessThan", "\xC0\xBC"}, UngueltigFall{"OverlongNul", "\xC0\x80"},
        UngueltigFall{"OverlongThreeByte", "\xE0\x81\x81"},
        UngueltigFall{"OverlongFourByteEuro", "\xF0\x82\x82\xAC"}),
    ::quintaro::test::ZeilenName{});

}  // namespace
}  // namespace quintaro
