// The option table, the defaults and the interlocks of the pairs 6/7 and 14/15.
#include "engine/optionen.h"
#include "common/tabelle.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace quintaro {
namespace {

TEST(Optionen, TableRowsAreInIndexOrderWithUniqueKeysAndCaptions) {
    std::set<std::string_view> keys;
    std::set<std::string_view> captions;
    for (int i = 0; i < kOptionCount; ++i) {
        const OptionInfo& o = kOptionen[static_cast<std::size_t>(i)];
        EXPECT_EQ(o.index, i);
        EXPECT_TRUE(keys.insert(o.key).second);
        EXPECT_TRUE(captions.insert(o.caption).second);
        EXPECT_FALSE(o.caption.empty());
        EXPECT_EQ(optionZumSchluessel(o.key), i);
    }
}

// Settings files and command lines name the options by these keys: they must not change.
TEST(Optionen, KeysThatStoredFilesUse) {
    std::string alle;
    for (const auto& o : kOptionen) alle += std::string(o.key) + " ";
    EXPECT_EQ(alle,
              "ZU DZU DL LZT LIT TAB KMA KMM SZ AE SK FPW OT DKS NOA OA PES PEE HSB CSS JS ATK ");
}

TEST(Optionen, KeyLookupIsExact) {
    EXPECT_EQ(optionZumSchluessel("NOA"), NOA);
    EXPECT_FALSE(optionZumSchluessel("noa").has_value());
    EXPECT_FALSE(optionZumSchluessel("").has_value());
    EXPECT_FALSE(optionZumSchluessel("ZU ").has_value());
}

TEST(Optionen, FirstStartTicksExactlyTheDefaultRows) {
    const std::set<int> on = {0, 1, 2, 3, 4, 5, 8, 9, 10, 13, 14, HSB, CSS, JS, ATK};
    const Optionsmenge defaults;
    for (int i = 0; i < kOptionCount; ++i) EXPECT_EQ(defaults[i], on.count(i) == 1) << i;
}

struct Umschaltfall {
    const char* name;
    friend void PrintTo(const Umschaltfall& f, std::ostream* os) { *os << f.name; }
    std::set<int> before;  // ticked before the user's toggle
    int row;               // the toggled and selected row
    std::set<int> after;
    bool warning;
};

class Interlocks : public testing::TestWithParam<Umschaltfall> {};

TEST_P(Interlocks, LeaveAtMostOneOfEachPair) {
    const auto& c = GetParam();
    Optionsmenge s;
    for (int i = 0; i < kOptionCount; ++i) s.set(i, c.before.count(i) == 1);
    s.set(c.row, !s[c.row]);  // the user's toggle happens first
    EXPECT_EQ(verriegelungenAnwenden(s, c.row), c.warning);
    for (int i = 0; i < kOptionCount; ++i) EXPECT_EQ(s[i], c.after.count(i) == 1) << "option " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Toggles, Interlocks,
    testing::Values(Umschaltfall{"Tick15Unticks14", {14}, 15, {15}, false},
                    Umschaltfall{"Untick15Leaves14Off", {15}, 15, {}, false},
                    Umschaltfall{"Tick14Unticks15", {15}, 14, {14}, false},
                    Umschaltfall{"Untick6NoWarning", {6}, 6, {}, false},
                    Umschaltfall{"Tick6Unticks7AndWarns", {7}, 6, {6}, true},
                    Umschaltfall{"Tick7Unticks6NoWarning", {6}, 7, {7}, false},
                    // With both ticked (from a settings file), unticking one clears both.
                    Umschaltfall{"UntickOneOfBoth", {6, 7}, 7, {}, false},
                    Umschaltfall{
                        "OtherRowHasNoSideEffect", {6, 7, 14, 15}, 3, {3, 6, 7, 14, 15}, false}),
    ::quintaro::test::ZeilenName{});

}  // namespace
}  // namespace quintaro
