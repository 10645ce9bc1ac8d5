// The engine's block-wise byte search against std::string_view::find, on texts long enough for
// every path: whole blocks, common and rare anchor bytes, the tail, occurrences across blocks.
#include "engine/suche.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace quintaro {
namespace {

const std::vector<std::string> kMuster = {"-->",  "<!--", "<!--webbot", "> <",  " >", "< ",
                                          "  ",   "\r\n", "\r\n\r\n",   "\t",   "a",  "\xE4",
                                          "\0\0", "-",    "<!-- b -->", "ab ab"};

TEST(Suche, FindsWhatStdFindFinds) {
    std::mt19937 rng(5);
    const std::string zeichen = std::string("<>!- \t\r\nab#w\xE4", 13) + std::string(1, '\0');
    for (int runde = 0; runde < 400; ++runde) {
        std::string text;
        const std::size_t laenge = rng() % 300;
        for (std::size_t i = 0; i < laenge; ++i) {
            // Mostly letters, so that hits come now and then; sometimes a whole pattern.
            if (rng() % 20 == 0) {
                text += kMuster[rng() % kMuster.size()];
            } else {
                text.push_back(rng() % 3 ? 'x' : zeichen[rng() % zeichen.size()]);
            }
        }
        for (const auto& muster : kMuster) {
            for (std::size_t from = 0; from <= text.size() + 1; from += 1 + rng() % 7) {
                ASSERT_EQ(suche::finde(text, from, muster),
                          std::string_view(text).find(muster, from))
                    << "pattern \"" << muster << "\" from " << from << " in \"" << text << "\"";
            }
        }
    }
}

TEST(Suche, EveryPlaceOfABlock) {
    for (std::size_t laenge = 0; laenge < 40; ++laenge) {
        for (std::size_t stelle = 0; stelle + 3 <= laenge; ++stelle) {
            std::string text(laenge, 'x');
            text.replace(stelle, 3, "-->");
            EXPECT_EQ(suche::finde(text, 0, "-->"), stelle) << laenge;
            EXPECT_EQ(suche::finde(text, stelle + 1, "-->"), std::string_view::npos) << laenge;
        }
    }
}

TEST(Suche, EmptyPatternAndOutOfRange) {
    EXPECT_EQ(suche::finde("abc", 1, ""), 1u);
    EXPECT_EQ(suche::finde("abc", 4, ""), std::string_view::npos);
    EXPECT_EQ(suche::finde("abc", 5, "a"), std::string_view::npos);
    EXPECT_EQ(suche::finde("", 0, "a"), std::string_view::npos);
}

}  // namespace
}  // namespace quintaro
