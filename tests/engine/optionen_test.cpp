// The option table, the defaults and the interlocks of the pairs 6/7 and 14/15.
#include "engine/optionen.h"
#include "common/tabelle.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace quintaro {
namespace {

TEST(Optionen, TableRowsAreInIndexOrderWithUniqueKeys) {
    std::set<std::string_view> keys;
    for (int i = 0; i < kOptionCount; ++i) {
        EXPECT_EQ(kOptionen[static_cast<std::size_t>(i)].index, i);
        EXPECT_TRUE(keys.insert(kOptionen[static_cast<std::size_t>(i)].key).second);
        EXPECT_EQ(optionByKey(kOptionen[static_cast<std::size_t>(i)].key), i);
    }
}

TEST(Optionen, CaptionsAndKeysOfThePasses) {
    EXPECT_EQ(kOptionen[KMA].caption, "Kommentare automatisch entfernen");
    EXPECT_EQ(kOptionen[KMM].caption, "Kommentare nach Bestätigung entfernen");
    EXPECT_EQ(kOptionen[ZU].caption, "Zeilenumbrüche entfernen");
    EXPECT_EQ(kOptionen[FPW].caption, "Microsoft-Frontpage Webbots entfernen");
    EXPECT_EQ(kOptionen[PEE].caption, "Bei Programmende Einstellungen speichern");
    EXPECT_EQ(kOptionen[HSB].caption, "HTML-Struktur beachten");
    EXPECT_EQ(kOptionen[18].key, "HSB");
    EXPECT_EQ(kOptionen[OA].key, "OA");
    EXPECT_EQ(kOptionen[DKS].key, "DKS");
}

TEST(Optionen, KeyLookupIsExact) {
    EXPECT_EQ(optionByKey("NOA"), NOA);
    EXPECT_FALSE(optionByKey("noa").has_value());
    EXPECT_FALSE(optionByKey("").has_value());
    EXPECT_FALSE(optionByKey("ZU ").has_value());
}

TEST(Optionen, FirstStartTicksExactlyTheDefaultRows) {
    const std::set<int> on = {0, 1, 2, 3, 4, 5, 8, 9, 10, 13, 14};
    const OptionSet defaults;
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
    OptionSet s;
    for (int i = 0; i < kOptionCount; ++i) s.set(i, c.before.count(i) == 1);
    s.set(c.row, !s[c.row]);  // the user's toggle happens first
    EXPECT_EQ(applyToggleInterlocks(s, c.row), c.warning);
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

TEST(Optionen, ScriptWarningText) {
    EXPECT_EQ(kSkriptWarnung,
              "Bitte beachten Sie, dass diese Option die Funktion von\r\nScripten beeinträchtigen "
              "kann.\r\n\r\nWählen Sie bei Scriptseiten besser die Entfernung nach Bestätigung.");
}

}  // namespace
}  // namespace quintaro
