// The encoding rule: byte-order mark, <meta> declaration, sniffing.
#include "engine/kodierung.h"
#include "common/tabelle.h"

#include <gtest/gtest.h>

#include <string>

namespace quintaro {
namespace {

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
        RegelFall{"AfterAnEmptyComment", "<p><!--><meta charset=iso-8859-1>" + kUe,
                  Kodierung::Cp1252},
        RegelFall{"AfterAThreeDashComment", "<!---><meta charset=latin1>" + kUe, Kodierung::Cp1252},
        RegelFall{"CommentEndsAtTheFirstArrow", "<!-- a --><meta charset=cp1252> -->" + kUe,
                  Kodierung::Cp1252},
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
    ::quintaro::test::ZeilenName{});

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

// Declaring UTF-8 for a page about to be saved as UTF-8: the declaration the rule reads changes,
// else one is added where a browser's prescan and the rule find it.
struct AngabeFall {
    const char* name;
    friend void PrintTo(const AngabeFall& f, std::ostream* os) { *os << f.name; }
    std::string vorher;
    std::string nachher;
};

class Utf8Angabe : public testing::TestWithParam<AngabeFall> {};

TEST_P(Utf8Angabe, DeclaresUtf8OnceAndTheRuleReadsIt) {
    const std::string neu = utf8Angeben(GetParam().vorher);
    EXPECT_EQ(neu, GetParam().nachher);
    if (neu.size() <= 1024) {
        EXPECT_EQ(kodierungErmitteln(neu), Kodierung::Utf8);
    }
    EXPECT_EQ(utf8Angeben(neu), neu) << "a second time changes nothing";
}

const std::string kMeta = "<meta charset=\"utf-8\">";

INSTANTIATE_TEST_SUITE_P(
    Pages, Utf8Angabe,
    testing::Values(
        AngabeFall{"CharsetAttribute", "<head><meta charset=\"windows-1252\"><title>",
                   "<head><meta charset=\"utf-8\"><title>"},
        AngabeFall{"UnquotedAnyCaseSpacesKept", "<HEAD><META CHARSET= ISO-8859-1 >",
                   "<HEAD><META CHARSET= utf-8 >"},
        AngabeFall{"ContentAttribute",
                   "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">",
                   "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"},
        AngabeFall{"OtherCodePage", "<meta charset='windows-1254'>" + kUe1252,
                   "<meta charset='utf-8'>" + kUe1252},
        AngabeFall{"BehindTheHeadStartTag",
                   "<!DOCTYPE html>\r\n<html lang=de>\r\n<head profile=\"x\">\r\n<title>a</title>",
                   "<!DOCTYPE html>\r\n<html lang=de>\r\n<head profile=\"x\">" + kMeta +
                       "\r\n<title>a</title>"},
        AngabeFall{"NoHeadBehindDoctypeAndHtml", "<!DOCTYPE html><html><title>a</title>",
                   "<!DOCTYPE html><html>" + kMeta + "<title>a</title>"},
        AngabeFall{"NoHeadContentFirst", "<p>x</p><head>", kMeta + "<p>x</p><head>"},
        AngabeFall{"ACommentedHeadIsNone", "<!-- <head> --><p>x", kMeta + "<!-- <head> --><p>x"},
        AngabeFall{"DeclarationBeyond1024BytesDoesNotCount",
                   "<head>" + fuellung(1100) + "<meta charset=windows-1252>",
                   "<head>" + kMeta + fuellung(1100) + "<meta charset=windows-1252>"},
        AngabeFall{"EmptyPage", "", kMeta},
        AngabeFall{"ByteOrderMarkDeclaresItAlready", "\xEF\xBB\xBF<p>" + kUe,
                   "\xEF\xBB\xBF<p>" + kUe}),
    ::quintaro::test::ZeilenName{});

TEST(Kodierung, TheDeclaredLabel) {
    EXPECT_EQ(angegebeneKodierung("<meta content='text/html;charset= x-cp1252 '>"), "x-cp1252");
    EXPECT_EQ(angegebeneKodierung("<p><meta name=a>"), std::nullopt);
}

}  // namespace
}  // namespace quintaro
