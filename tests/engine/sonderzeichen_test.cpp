// Special characters as named entities.
#include "engine/sonderzeichen.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "literal.h"

namespace quintaro {
namespace {

using namespace std::string_literals;

TEST(Sonderzeichen, TableHoldsExactlyTheNamedEntities) {
    int count = 0;
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        EXPECT_EQ(entityFuer(byte), literal::entitaet(byte)) << "byte " << b;
        if (!entityFuer(byte).empty()) ++count;
    }
    EXPECT_EQ(count, 95);
}

TEST(Sonderzeichen, EveryByteAloneGivesItsEntityOrItself) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const auto e = literal::entitaet(static_cast<unsigned char>(b));
        EXPECT_EQ(SonderzeichenErsetzen(byte), e.empty() ? byte : std::string(e)) << "byte " << b;
    }
}

struct EntityFall {
    const char* name;
    friend void PrintTo(const EntityFall& f, std::ostream* os) { *os << f.name; }
    std::string input, expected;
};

class SonderzeichenErsetzenTest : public testing::TestWithParam<EntityFall> {};

TEST_P(SonderzeichenErsetzenTest, GivesTheExpectedText) {
    EXPECT_EQ(SonderzeichenErsetzen(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SonderzeichenErsetzenTest,
    testing::Values(EntityFall{"Gruesse",
                               "Gr\xFC\xDF"
                               "e",
                               "Gr&uuml;&szlig;e"},
                    EntityFall{"Euro", "\x80", "&euro;"},
                    EntityFall{"LowQuotePasses", "\x84", "\x84"},
                    EntityFall{"NoBreakSpaceAndSoftHyphenPass", "\xA0\xAD", "\xA0\xAD"},
                    EntityFall{"InsideATag",
                               "<a title=\"\xDC"
                               "bersicht\">",
                               "<a title=\"&Uuml;bersicht\">"},
                    EntityFall{"ExistingEntityAndAmpersandKept", "&Uuml; & &#228;",
                               "&Uuml; & &#228;"},
                    EntityFall{"Empty", "", ""},
                    EntityFall{"ControlBytesPass", "\r\n\t\0\x1F"s, "\r\n\t\0\x1F"s},
                    EntityFall{"CaseOfNames", "\xC4\xE4", "&Auml;&auml;"},
                    EntityFall{"LongestAndShortest", "\xB1\xA5", "&plusmn;&yen;"},
                    EntityFall{"LastByte", "\xFF", "&yuml;"}),
    [](const auto& fall) { return std::string(fall.param.name); });

TEST(Sonderzeichen, SecondApplicationChangesNothing) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const Text once = SonderzeichenErsetzen(all);
    EXPECT_EQ(SonderzeichenErsetzen(once), once);
    EXPECT_EQ(once, literal::sonderzeichen(all));
}

TEST(Sonderzeichen, OutputAtMostEightTimesTheInput) {
    const std::string worst(100, '\xB1');
    EXPECT_EQ(SonderzeichenErsetzen(worst).size(), 800u);
}

TEST(Sonderzeichen, LongTextsMatchThePlainReplacement) {
    std::mt19937 rng(3);
    for (int runde = 0; runde < 200; ++runde) {
        std::string text;
        const std::size_t laenge = rng() % 2000;
        const unsigned dichte = rng() % 100;  // percent of bytes of 0x80 and above
        for (std::size_t i = 0; i < laenge; ++i) {
            text.push_back(
                static_cast<char>(rng() % 100 < dichte ? 0x80 + rng() % 0x80 : rng() % 0x80));
        }
        ASSERT_EQ(SonderzeichenErsetzen(text), literal::sonderzeichen(text)) << text;
    }
}

}  // namespace
}  // namespace quintaro
