// Special characters as named entities.
#include "engine/sonderzeichen.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "common/tabelle.h"
#include "engine/dateifehler.h"
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

class SonderzeichenErsetzenUtf8Test : public testing::TestWithParam<EntityFall> {};

TEST_P(SonderzeichenErsetzenUtf8Test, GivesTheExpectedText) {
    EXPECT_EQ(SonderzeichenErsetzen(GetParam().input, Kodierung::Utf8), GetParam().expected);
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
    ::quintaro::test::ZeilenName{});

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
        const auto dichte =
            static_cast<unsigned>(rng() % 100);  // percent of bytes of 0x80 and above
        for (std::size_t i = 0; i < laenge; ++i) {
            text.push_back(
                static_cast<char>(rng() % 100 < dichte ? 0x80 + rng() % 0x80 : rng() % 0x80));
        }
        ASSERT_EQ(SonderzeichenErsetzen(text), literal::sonderzeichen(text)) << text;
    }
}

// Against the literal pass: every limit either lets the whole result through or stops the pass
// before it writes a byte, and only a result that grew past the limit is stopped.
TEST(Sonderzeichen, TheLimitStopsExactlyTheTextsThatWouldOutgrowIt) {
    std::mt19937 rng(11);
    for (int runde = 0; runde < 400; ++runde) {
        std::string text;
        const std::size_t laenge = 1 + rng() % 400;
        const auto dichte = static_cast<unsigned>(rng() % 101);
        for (std::size_t i = 0; i < laenge; ++i) {
            text.push_back(
                static_cast<char>(rng() % 100 < dichte ? 0x80 + rng() % 0x80 : rng() % 0x80));
        }
        const bool utf8 = runde % 2 == 1;
        const Kodierung kodierung = utf8 ? Kodierung::Utf8 : Kodierung::Cp1252;
        if (utf8) text = cp1252NachUtf8(text);
        const Text voll =
            utf8 ? cp1252NachUtf8(literal::sonderzeichen(utf8NachCp1252Verlustfrei(text).value()))
                 : literal::sonderzeichen(text);
        for (const std::size_t grenze :
             {voll.size() - 1, voll.size(), voll.size() + 1, text.size(), text.size() / 2}) {
            SCOPED_TRACE(testing::Message() << "round " << runde << ", limit " << grenze);
            const bool zuLang = voll.size() > grenze && voll.size() > text.size();
            Text aus = "kept";
            try {
                const bool ersetzt = SonderzeichenErsetzen(text, aus, kodierung, grenze);
                EXPECT_FALSE(zuLang);
                EXPECT_EQ(ersetzt ? aus : text, voll);
                EXPECT_EQ(SonderzeichenErsetzen(text, kodierung, grenze), voll);
            } catch (const DateiFehler& e) {
                EXPECT_TRUE(zuLang);
                EXPECT_EQ(e.what(), kMemoKapazitaetFehler);
                EXPECT_EQ(aus, "kept");
                EXPECT_THROW(SonderzeichenErsetzen(text, kodierung, grenze), DateiFehler);
            }
        }
    }
}

// --- Pages in UTF-8 and in another 8-bit code page ----------------------------------------

TEST(SonderzeichenUtf8, EachCharacterGetsTheEntityOfItsCodePageTwin) {
    int mitEntity = 0;
    for (int b = 0x80; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string zeichen = cp1252NachUtf8(byte);
        const Text erwartet = entityFuer(static_cast<unsigned char>(b)).empty()
                                  ? zeichen
                                  : std::string(entityFuer(static_cast<unsigned char>(b)));
        EXPECT_EQ(SonderzeichenErsetzen(zeichen, Kodierung::Utf8), erwartet) << "byte " << b;
        mitEntity += erwartet != zeichen;
    }
    EXPECT_EQ(mitEntity, 95);
}

// Any code page text and its UTF-8 twin get the same entities; what has none stays as it was.
TEST(SonderzeichenUtf8, APageAndItsCodePageTwinGetTheSameEntities) {
    std::mt19937 rng(5);
    for (int runde = 0; runde < 300; ++runde) {
        std::string text;
        const std::size_t laenge = rng() % 300;
        for (std::size_t i = 0; i < laenge; ++i) text.push_back(static_cast<char>(rng() % 256));
        ASSERT_EQ(SonderzeichenErsetzen(cp1252NachUtf8(text), Kodierung::Utf8),
                  cp1252NachUtf8(SonderzeichenErsetzen(text)))
            << testing::PrintToString(text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Utf8, SonderzeichenErsetzenUtf8Test,
    testing::Values(
        EntityFall{"Gruesse",
                   "Gr\xC3\xBC\xC3\x9F"
                   "e",
                   "Gr&uuml;&szlig;e"},
        EntityFall{"EuroAndLowQuote", "\xE2\x82\xAC \xE2\x80\x9E", "&euro; \xE2\x80\x9E"},
        EntityFall{"NoBreakSpaceAndSoftHyphenPass", "\xC2\xA0\xC2\xAD", "\xC2\xA0\xC2\xAD"},
        EntityFall{"C1ControlU0080IsNoEuro", "\xC2\x80", "\xC2\x80"},
        EntityFall{"WithoutEntity", "\xCE\xA9 \xF0\x9F\x98\x80 \xEF\xBB\xBF",
                   "\xCE\xA9 \xF0\x9F\x98\x80 \xEF\xBB\xBF"},
        EntityFall{"NulAndControls", "\0\xC3\xA4\r\n\t"s, "\0&auml;\r\n\t"s},
        // Bytes that are not well-formed UTF-8 stay, also where a code page byte would have one.
        EntityFall{"StrayCodePageBytes", "\xE4\xFC\x80", "\xE4\xFC\x80"},
        EntityFall{"OverlongUmlaut", "\xE0\x83\xA4", "\xE0\x83\xA4"},
        EntityFall{"OverlongEuro", "\xF0\x82\x82\xAC", "\xF0\x82\x82\xAC"},
        EntityFall{"TruncatedBeforeAWellFormedOne", "\xE2\x82\xC3\xA4", "\xE2\x82&auml;"},
        EntityFall{"LoneLeadAtTheEnd", "a\xC3", "a\xC3"}),
    ::quintaro::test::ZeilenName{});

TEST(SonderzeichenAndere, LeavesEveryByte) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(SonderzeichenErsetzen(all, Kodierung::Andere), all);
}

}  // namespace
}  // namespace quintaro
