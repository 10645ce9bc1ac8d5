// The encoding rule (byte-order mark, <meta> declaration, sniffing), and what it means for the
// real pages of the shared corpus.
#include "engine/kodierung.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "engine/optimierung.h"
#include "engine/sonderzeichen.h"
#include "engine/utf8.h"
#include "literal.h"

namespace quintaro {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

const std::string kUe = "\xC3\xBC";  // ü in UTF-8
const std::string kUe1252 = "\xFC";  // ü in code page 1252

struct RegelFall {
    const char* name;
    friend void PrintTo(const RegelFall& f, std::ostream* os) { *os << f.name; }
    std::string text;
    Kodierung erwartet;
};

class Regel : public testing::TestWithParam<RegelFall> {};

TEST_P(Regel, DecidesTheEncoding) {
    EXPECT_EQ(kodierungErmitteln(GetParam().text), GetParam().erwartet);
}

std::string fuellung(std::size_t n) {
    return "<p>" + std::string(n - 7, 'x') + "</p>";
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Regel,
    testing::Values(
        // 1. Byte-order mark.
        RegelFall{"BomAlone", "\xEF\xBB\xBF", Kodierung::Utf8},
        RegelFall{"BomBeatsADeclaration", "\xEF\xBB\xBF<meta charset=windows-1252>" + kUe1252,
                  Kodierung::Utf8},
        RegelFall{"BomWithStrayBytes", "\xEF\xBB\xBF" + kUe1252, Kodierung::Utf8},
        // 2. Declarations, each way of writing them.
        RegelFall{"CharsetQuoted", "<meta charset=\"utf-8\">" + kUe1252, Kodierung::Utf8},
        RegelFall{"CharsetSingleQuoted", "<meta charset='UTF-8'>", Kodierung::Utf8},
        RegelFall{"CharsetUnquotedSelfClosing", "<META CHARSET=utf8 />", Kodierung::Utf8},
        RegelFall{"CharsetWithSpaces", "<meta charset = \" Utf-8 \" >", Kodierung::Utf8},
        RegelFall{"ContentAttribute",
                  "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">",
                  Kodierung::Utf8},
        RegelFall{"ContentUnquoted",
                  "<meta http-equiv=Content-Type content=\"text/html;charset=iso-8859-1\">" + kUe,
                  Kodierung::Cp1252},
        RegelFall{"ContentQuotedLabel", "<meta content='text/html; charset=\"latin1\"'>" + kUe,
                  Kodierung::Cp1252},
        RegelFall{"ContentOverLines",
                  "<meta http-equiv=\"Content-Type\"\r\ncontent=\"text/html; "
                  "charset=windows-1252\">" +
                      kUe,
                  Kodierung::Cp1252},
        RegelFall{"UsAscii", "<meta charset=us-ascii>" + kUe, Kodierung::Cp1252},
        RegelFall{"OtherLabel", "<meta charset=windows-1254>" + kUe, Kodierung::Andere},
        RegelFall{"UnknownLabel", "<meta charset=klingon>", Kodierung::Andere},
        RegelFall{"Utf16LabelIsNoUtf8Label", "<meta charset=utf-16>", Kodierung::Andere},
        RegelFall{"CharsetBeatsContent",
                  "<meta content=\"text/html; charset=utf-8\" charset=\"cp1252\">",
                  Kodierung::Cp1252},
        RegelFall{"FirstDeclaringMetaDecides",
                  "<meta name=x content=y><meta charset=utf-8><meta charset=cp1252>",
                  Kodierung::Utf8},
        // A declaration that contradicts the bytes still decides.
        RegelFall{"DeclaredUtf8ButCp1252Bytes", "<meta charset=utf-8>" + kUe1252, Kodierung::Utf8},
        RegelFall{"DeclaredLatin1ButUtf8Bytes", "<meta charset=latin1>" + kUe, Kodierung::Cp1252},
        // Only the first 1,024 bytes, and only a whole tag within them.
        RegelFall{"DeclarationEndsAtTheLimit", fuellung(1000) + "<meta charset=cp1252>" + kUe,
                  Kodierung::Cp1252},
        RegelFall{"DeclarationPastTheLimit", fuellung(1024) + "<meta charset=cp1252>" + kUe,
                  Kodierung::Utf8},
        RegelFall{"DeclarationAcrossTheLimit", fuellung(1010) + "<meta charset=cp1252>" + kUe,
                  Kodierung::Utf8},
        // Not declarations.
        RegelFall{"InAComment", "<!-- <meta charset=cp1252> -->" + kUe, Kodierung::Utf8},
        RegelFall{"InsideAnotherTagsAttribute", "<p title=\"<meta charset=cp1252>\">" + kUe,
                  Kodierung::Utf8},
        RegelFall{"MetadataIsNoMeta", "<metadata charset=cp1252>" + kUe, Kodierung::Utf8},
        RegelFall{"EmptyCharset", "<meta charset=\"\">" + kUe, Kodierung::Utf8},
        RegelFall{"ContentWithoutCharset", "<meta http-equiv=refresh content=\"5\">" + kUe,
                  Kodierung::Utf8},
        RegelFall{"UnclosedMeta", "<meta charset=cp1252" + kUe, Kodierung::Utf8},
        // 3. Sniffing.
        RegelFall{"Empty", "", Kodierung::Cp1252},
        RegelFall{"AsciiOnly", "<p>a</p>\r\n", Kodierung::Cp1252},
        RegelFall{"WellFormedMultiByte", "<p>M" + kUe + "ller \xE2\x82\xAC</p>", Kodierung::Utf8},
        RegelFall{"Cp1252Bytes", "<p>M" + kUe1252 + "ller \x80</p>", Kodierung::Cp1252},
        RegelFall{"MostlyUtf8OneStrayByte", kUe + kUe + "\xFF", Kodierung::Cp1252},
        RegelFall{"OverlongForm", "a\xC0\xBC", Kodierung::Cp1252},
        RegelFall{"SurrogateSequence", "a\xED\xA0\x80", Kodierung::Cp1252},
        RegelFall{"PastU10FFFF", "a\xF4\x90\x80\x80", Kodierung::Cp1252},
        RegelFall{"TruncatedAtTheEnd", kUe + "\xE2\x82", Kodierung::Cp1252},
        RegelFall{"NulAndUtf8", "\0"s + kUe, Kodierung::Utf8}),
    [](const auto& fall) { return std::string(fall.param.name); });

TEST(Kodierung, LabelsOfTheEncodingStandard) {
    for (const char* l : {"utf-8", "UTF8", "unicode-1-1-utf-8", "unicode11utf8", "unicode20utf8",
                          "x-unicode20utf8", " utf-8\t"}) {
        EXPECT_EQ(kodierungDerBezeichnung(l), Kodierung::Utf8) << l;
    }
    for (const char* l :
         {"windows-1252", "cp1252", "x-cp1252", "iso-8859-1", "ISO8859-1", "iso88591", "iso_8859-1",
          "iso_8859-1:1987", "iso-ir-100", "latin1", "l1", "ascii", "us-ascii", "ansi_x3.4-1968",
          "cp819", "ibm819", "csisolatin1"}) {
        EXPECT_EQ(kodierungDerBezeichnung(l), Kodierung::Cp1252) << l;
    }
    for (const char* l : {"iso-8859-15", "windows-1254", "koi8-r", "shift_jis", "utf-16le", ""}) {
        EXPECT_EQ(kodierungDerBezeichnung(l), Kodierung::Andere) << l;
    }
}

TEST(Kodierung, AChoiceOverridesTheRule) {
    const std::string seite = "<meta charset=utf-8>" + kUe;
    EXPECT_EQ(kodierungFuer(KodierungsWahl::Automatisch, seite), Kodierung::Utf8);
    EXPECT_EQ(kodierungFuer(KodierungsWahl::Cp1252, seite), Kodierung::Cp1252);
    EXPECT_EQ(kodierungFuer(KodierungsWahl::Utf8, kUe1252), Kodierung::Utf8);
}

// --- The shared corpus ---------------------------------------------------------------------

fs::path korpus() {
    return fs::path(QUINTARO_SOURCE_DIR) / ".." / "shared" / "corpus" / "real";
}

Text lesen(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every entity of the special-character table as its character in UTF-8, the HTML way round.
Text entitaetenAufloesen(const Text& text) {
    static const std::map<std::string, std::string> zeichen = [] {
        std::map<std::string, std::string> m;
        for (int b = 0x80; b < 256; ++b) {
            const auto e = entityFuer(static_cast<unsigned char>(b));
            if (!e.empty()) m[std::string(e)] = cp1252ToUtf8(std::string(1, static_cast<char>(b)));
        }
        return m;
    }();
    Text out;
    for (std::size_t i = 0; i < text.size();) {
        const auto ende = text[i] == '&' ? text.find(';', i) : Text::npos;
        if (ende != Text::npos) {
            const auto it = zeichen.find(text.substr(i, ende + 1 - i));
            if (it != zeichen.end()) {
                out += it->second;
                i = ende + 1;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

std::vector<OptionSet> optionssaetze() {
    std::vector<OptionSet> saetze(1);  // the defaults
    OptionSet alles;
    for (int i = 0; i < kOptionCount; ++i) alles.set(i, true);
    saetze.push_back(alles);
    OptionSet nurSonderzeichen;
    for (int i = 0; i < kOptionCount; ++i) nurSonderzeichen.set(i, i == SZ || i == AE);
    saetze.push_back(nurSonderzeichen);
    return saetze;
}

TEST(KodierungKorpus, Utf8PagesKeepTheirCharactersAndCp1252PagesTheirBytes) {
    if (!fs::is_directory(korpus())) GTEST_SKIP() << "no corpus at " << korpus();
    Ersetzungstabelle tabelle;
    tabelle.setzeAlle({{"<FONT", "<font"}, {"\xA9", "&copy;"}, {"\xFC", "\xFC"}});
    int utf8Seiten = 0, cp1252Seiten = 0;
    for (const auto& eintrag : fs::directory_iterator(korpus())) {
        if (!eintrag.is_regular_file()) continue;
        SCOPED_TRACE(eintrag.path().filename().string());
        const Text seite = normaliseLineBreaks(lesen(eintrag.path()));
        const Kodierung k = kodierungErmitteln(seite);
        for (const auto& o : optionssaetze()) {
            const Text ergebnis = optimiereText(seite, o, tabelle, k);
            if (k == Kodierung::Utf8) {
                // The same passes without entities give the characters the result must spell.
                OptionSet ohne = o;
                ohne.set(SZ, false);
                const Text ohneEntitaeten = optimiereText(seite, ohne, tabelle, k);
                ASSERT_TRUE(utf8::wohlgeformt(ergebnis));
                ASSERT_EQ(entitaetenAufloesen(ergebnis), entitaetenAufloesen(ohneEntitaeten));
                // Nothing of code page 1252 got in: no entity of a UTF-8 lead or continuation
                // byte such as "&Atilde;" or "&acirc;" that the page did not have already.
                for (const char* falsch : {"&Atilde;", "&Acirc;", "&acirc;"}) {
                    ASSERT_EQ(ergebnis.find(falsch) != Text::npos, seite.find(falsch) != Text::npos)
                        << falsch;
                }
            } else {
                ASSERT_EQ(k, Kodierung::Cp1252);
                ASSERT_EQ(ergebnis, literal::optimiere(seite, o, tabelle));
            }
        }
        (k == Kodierung::Utf8 ? utf8Seiten : cp1252Seiten)++;
    }
    EXPECT_GT(utf8Seiten, 0);
    EXPECT_GT(cp1252Seiten, 0);
}

}  // namespace
}  // namespace quintaro
