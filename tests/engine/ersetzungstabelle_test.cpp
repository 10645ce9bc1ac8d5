// The replacement table model and its pass.
#include "engine/ersetzungstabelle.h"
#include "common/tabelle.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace quintaro {
namespace {

Ersetzungstabelle tabelle(std::vector<Ersetzung> rows) {
    Ersetzungstabelle t;
    t.setzeAlle(std::move(rows));
    return t;
}

TEST(Ersetzungstabelle, StartsAsThePlaceholderRow) {
    const Ersetzungstabelle t;
    EXPECT_EQ(t.anzahl(), 1);
    EXPECT_TRUE(t.istPlatzhalter());
    EXPECT_EQ(t.zeile(1), Ersetzung{});
}

TEST(Ersetzungstabelle, LoadingAnEmptyListGivesThePlaceholder) {
    auto t = tabelle({{"a", "b"}, {"c", "d"}});
    t.setzeAlle({});
    EXPECT_TRUE(t.istPlatzhalter());
}

TEST(Ersetzungstabelle, RemovingMovesLaterRowsUp) {
    auto t = tabelle({{"a", "1"}, {"b", "2"}, {"c", "3"}});
    t.entfernen(2);
    ASSERT_EQ(t.anzahl(), 2);
    EXPECT_EQ(t.zeile(1).suchtext, "a");
    EXPECT_EQ(t.zeile(2).suchtext, "c");
}

TEST(Ersetzungstabelle, TheLastRowIsEmptiedNotRemoved) {
    auto t = tabelle({{"a", "1"}});
    t.entfernen(1);
    EXPECT_EQ(t.anzahl(), 1);
    EXPECT_TRUE(t.istPlatzhalter());
}

TEST(Ersetzungstabelle, RowsOutOfRangeAreRefused) {
    auto t = tabelle({{"a", "1"}});
    EXPECT_THROW(t.entfernen(0), std::out_of_range);
    EXPECT_THROW(t.entfernen(2), std::out_of_range);
    EXPECT_THROW(static_cast<void>(t.zeile(2)), std::out_of_range);
}

TEST(Ersetzungstabelle, AnEmptyRowAmongOthersIsNoPlaceholder) {
    const auto t = tabelle({{"", ""}, {"a", "b"}});
    EXPECT_FALSE(t.istPlatzhalter());
    EXPECT_EQ(ersetzungAnwenden("a", t), "b");
}

struct PassFall {
    const char* name;
    friend void PrintTo(const PassFall& f, std::ostream* os) { *os << f.name; }
    std::vector<Ersetzung> rows;
    std::string text, expected;
};

class ErsetzungAnwenden : public testing::TestWithParam<PassFall> {};

TEST_P(ErsetzungAnwenden, AppliesEachRowOnceInOrder) {
    EXPECT_EQ(ersetzungAnwenden(GetParam().text, tabelle(GetParam().rows)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ErsetzungAnwenden,
    testing::Values(PassFall{"PlaceholderChangesNothing", {}, "abc", "abc"},
                    PassFall{"EmptyReplacementDeletes", {{"<b>", ""}}, "<b>x<b>", "x"},
                    PassFall{"AppliedOnceNotRepeated", {{"aa", "a"}}, "aaaa", "aa"},
                    PassFall{"GrowingReplacementTerminates", {{"a", "ab"}}, "aa", "abab"},
                    PassFall{"LaterRowSeesEarlierResult", {{"x", "y"}, {"y", "z"}}, "x", "z"},
                    PassFall{"ReverseOrderDoesNot", {{"y", "z"}, {"x", "y"}}, "x", "y"},
                    PassFall{"CaseSensitive", {{"B", "i"}}, "<b>", "<b>"},
                    PassFall{"InsideTagsToo", {{"FONT", "span"}}, "<FONT a=FONT>", "<span a=span>"},
                    PassFall{"EmptySearchAmongRowsIgnored", {{"", "x"}, {"a", "b"}}, "a", "b"},
                    PassFall{"DuplicateRows", {{"a", "aa"}, {"a", "aa"}}, "a", "aaaa"}),
    ::quintaro::test::ZeilenName{});

TEST(ErsetzungAnwenden, EveryByteTheTableDoesNotNamePasses) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const auto t = tabelle({{"zyx", "q"}, {"\x80\x80", ""}, {"<!--", "-->"}});
    EXPECT_EQ(ersetzungAnwenden(all + all, t), all + all);
}

}  // namespace
}  // namespace quintaro
