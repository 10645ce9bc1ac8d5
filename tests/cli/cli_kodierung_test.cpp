// --encoding in both modes, and the messages about bytes that are not well-formed UTF-8.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/tabelle.h"
#include "optionen_args.h"
#include "prozess.h"

namespace quintaro::cli::test {
namespace {

namespace fs = std::filesystem;

const std::string kUtf8Seite = "<p>M\xC3\xBCller \xE2\x82\xAC</p>\n";  // "Müller €"
const std::string kCp1252Seite = "<p>M\xFCller \x80</p>\n";

struct KodierungFall {
    const char* name;
    std::vector<std::string> args;
    std::string eingabe;
    std::string erwartet;
};

class Filter : public ::testing::TestWithParam<KodierungFall> {};

TEST_P(Filter, ReadsThePageInTheChosenEncoding) {
    const auto r = starte(GetParam().args, GetParam().eingabe);
    EXPECT_EQ(r.exitcode, 0) << r.fehler;
    EXPECT_EQ(r.fehler, "");
    EXPECT_EQ(r.aus, GetParam().erwartet);
}

INSTANTIATE_TEST_SUITE_P(
    Cli, Filter,
    ::testing::Values(
        KodierungFall{"AutoUtf8", nur({"SZ"}), kUtf8Seite, "<p>M&uuml;ller &euro;</p>\r\n"},
        KodierungFall{"AutoCp1252", nur({"SZ"}), kCp1252Seite, "<p>M&uuml;ller &euro;</p>\r\n"},
        // Forced: the bytes are read as asked, even where that is wrong.
        KodierungFall{"ForcedCp1252OnUtf8", plus(nur({"SZ"}), {"--encoding", "cp1252"}), kUtf8Seite,
                      "<p>M&Atilde;&frac14;ller &acirc;\x82&not;</p>\r\n"},
        KodierungFall{"ForcedUtf8OnCp1252", plus(nur({"SZ"}), {"--encoding", "utf-8"}),
                      kCp1252Seite, "<p>M\xFCller \x80</p>\r\n"},
        KodierungFall{"DeclaredOtherCodePage", nur({"SZ"}),
                      "<meta charset=windows-1254><p>Kad\xFDn</p>",
                      "<meta charset=windows-1254><p>Kad\xFDn</p>"},
        // Rows are code page 1252 text and match the page's characters in either encoding.
        KodierungFall{"ReplaceOnUtf8", plus(nur({"AE"}), {"--replace", "ü", "ue"}), kUtf8Seite,
                      "<p>Mueller \xE2\x82\xAC</p>\r\n"},
        KodierungFall{"ReplaceOnCp1252", plus(nur({"AE"}), {"--replace", "ü", "ue"}), kCp1252Seite,
                      "<p>Mueller \x80</p>\r\n"}),
    ::quintaro::test::ZeilenName{});

TEST(CliKodierung, BadValueIsAUsageError) {
    for (const auto& args : {std::vector<std::string>{"--encoding", "latin1"},
                             std::vector<std::string>{"--encoding"}}) {
        const auto r = starte(args, kUtf8Seite);
        EXPECT_EQ(r.exitcode, 2);
        EXPECT_EQ(r.aus, "");
        EXPECT_NE(r.fehler.find("auto"), std::string::npos) << r.fehler;
        EXPECT_NE(r.fehler.find("utf-8"), std::string::npos) << r.fehler;
    }
}

TEST(CliKodierung, HelpSaysSo) {
    const auto r = starte({"--help"}, "");
    EXPECT_NE(r.aus.find("--encoding auto|cp1252|utf-8"), std::string::npos);
    EXPECT_NE(r.aus.find("1,024 bytes"), std::string::npos);
}

// --- Batch mode: each file decided on its own ------------------------------------------------

class TempOrdner {
  public:
    TempOrdner() {
        std::string muster = (fs::temp_directory_path() / "quintaro-kodierung-XXXXXX").string();
        pfad_ = ::mkdtemp(muster.data());
    }
    ~TempOrdner() { fs::remove_all(pfad_); }
    TempOrdner(const TempOrdner&) = delete;
    TempOrdner& operator=(const TempOrdner&) = delete;
    std::string operator/(const std::string& name) const { return pfad_ + "/" + name; }

  private:
    std::string pfad_;
};

void schreibe(const std::string& pfad, const std::string& bytes) {
    std::ofstream(pfad, std::ios::binary) << bytes;
}

std::string lies(const std::string& pfad) {
    std::ifstream in(pfad, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(CliKodierung, BatchDecidesPerFileUnlessForced) {
    TempOrdner dir;
    const std::string u = dir / "u.htm";
    const std::string c = dir / "c.htm";
    schreibe(u, kUtf8Seite);
    schreibe(c, kCp1252Seite);
    auto r = starte(plus(nur({"SZ"}), {u, c}), "");
    EXPECT_EQ(r.exitcode, 0) << r.fehler;
    EXPECT_EQ(lies(u), "<p>M&uuml;ller &euro;</p>\r\n");
    EXPECT_EQ(lies(c), "<p>M&uuml;ller &euro;</p>\r\n");

    schreibe(u, kUtf8Seite);
    schreibe(c, kCp1252Seite);
    r = starte(plus(nur({"SZ"}), {"--encoding", "utf-8", u, c}), "");
    EXPECT_EQ(r.exitcode, 0) << r.fehler;
    EXPECT_EQ(lies(u), "<p>M&uuml;ller &euro;</p>\r\n");
    EXPECT_EQ(lies(c), "<p>M\xFCller \x80</p>\r\n");
}

TEST(CliKodierung, BatchRefusesAFileNameThatIsNotUtf8AndGoesOn) {
    TempOrdner dir;
    const std::string schlecht = dir / "s\xE4ite.htm";
    const std::string gut = dir / "gut.htm";
    schreibe(schlecht, "<p>a</p>\n");
    schreibe(gut, "<p>a</p>\n");
    const auto r = starte(plus(nur({"ZU"}), {schlecht, gut}), "");
    EXPECT_EQ(r.exitcode, 1);
    EXPECT_NE(r.fehler.find("s\\xE4ite.htm: the file name is not valid UTF-8"), std::string::npos)
        << r.fehler;
    EXPECT_EQ(std::count(r.fehler.begin(), r.fehler.end(), '\n'), 1) << r.fehler;
    EXPECT_EQ(lies(schlecht), "<p>a</p>\n");
    EXPECT_FALSE(fs::exists(schlecht + ".bak"));
    EXPECT_EQ(lies(gut), "<p>a</p> ");
}

// --- Bytes that are not well-formed UTF-8 in messages ----------------------------------------

TEST(CliKodierung, MessagesEscapeEveryMalformedByte) {
    // An overlong ESC and a surrogate: a terminal must see neither raw.
    const auto r = starte({"--set", "\xE0\x80\x9B[2J\xED\xA0\x80=1"}, "x");
    EXPECT_EQ(r.exitcode, 2);
    EXPECT_NE(r.fehler.find("'\\xE0\\x80\\x9B[2J\\xED\\xA0\\x80'"), std::string::npos) << r.fehler;
}

TEST(CliKodierung, MalformedReplaceArgumentIsNamedAsSuch) {
    // An overlong '<' is no character at all, so no code point is named for it.
    for (const std::string arg :
         {"\xC0\xBC", "\xE0\x80\xBC", "a\xED\xA0\x80", "\xF4\x90\x80\x80"}) {
        const auto r = starte({"--replace", arg, "x"}, "x");
        EXPECT_EQ(r.exitcode, 2);
        EXPECT_NE(r.fehler.find("invalid UTF-8 at byte \\x"), std::string::npos) << r.fehler;
        EXPECT_EQ(r.fehler.find("U+"), std::string::npos) << r.fehler;
    }
    // Malformed bytes are named before a character the code page lacks.
    const auto r = starte({"--replace", "\xE2\x86\x92\xFF", "x"}, "x");
    EXPECT_NE(r.fehler.find("invalid UTF-8 at byte \\xFF"), std::string::npos) << r.fehler;
}

}  // namespace
}  // namespace quintaro::cli::test
