// quintaro-cli over every page of the shared corpus with several option sets: it must finish, stay
// within the size bound, and write what the engine's own passes make of the page.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/korpus.h"
#include "engine/ersetzungstabelle.h"
#include "engine/kodierung.h"
#include "engine/optimierung.h"
#include "engine/optionen.h"
#include "engine/text.h"
#include "optionen_args.h"
#include "prozess.h"

namespace quintaro::cli::test {
namespace {

namespace fs = std::filesystem;

struct OptionenFall {
    const char* name;
    std::vector<std::string> an;         // nothing else is on
    std::vector<Ersetzung> ersetzungen;  // code page 1252; given in UTF-8 on the command line
    std::vector<std::string> ersetzungArgs;
};

const std::vector<OptionenFall> kFaelle = {
    {"Defaults", {"ZU", "DZU", "DL", "LZT", "LIT", "TAB", "SZ", "AE", "SK", "DKS", "NOA"}, {}, {}},
    {"EverythingOff", {}, {}, {}},
    {"AllTextPasses",
     {"ZU", "DZU", "DL", "LZT", "LIT", "TAB", "KMA", "SZ", "AE", "FPW"},
     {{"<br>", "<br />"}, {"\xDC", "&Uuml;"}, {"\t", "  "}},
     {"--replace", "<br>", "<br />", "--replace", "Ü", "&Uuml;", "--replace", "\t", "  "}},
    {"EntitiesOnly", {"SZ"}, {}, {}},
    {"CommentsAndWebbots", {"KMA", "FPW"}, {}, {}},
};

std::vector<fs::path> korpusDateien() {
    std::vector<fs::path> dateien;
    const fs::path ordner = quintaro::test::korpusOrdner();
    std::error_code fehler;
    if (!fs::is_directory(ordner, fehler)) return dateien;
    for (const auto& eintrag : fs::directory_iterator(ordner)) {
        if (eintrag.is_regular_file()) dateien.push_back(eintrag.path());
    }
    std::sort(dateien.begin(), dateien.end());
    return dateien;
}

std::string lies(const fs::path& pfad) {
    std::ifstream in(pfad, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(CliKorpus, EveryPageWithSeveralOptionSets) {
    const auto dateien = korpusDateien();
    if (dateien.empty()) GTEST_SKIP() << "no corpus at " << quintaro::test::korpusOrdner();
    for (const auto& fall : kFaelle) {
        Optionsmenge optionen;
        for (int i = 0; i < kOptionCount; ++i) optionen.set(i, false);
        for (const auto& key : fall.an) optionen.set(*optionZumSchluessel(key), true);
        Ersetzungstabelle tabelle;
        if (!fall.ersetzungen.empty()) tabelle.setzeAlle(fall.ersetzungen);
        const auto args = plus(nur(fall.an), fall.ersetzungArgs);

        for (const auto& datei : dateien) {
            SCOPED_TRACE(std::string(fall.name) + " " + datei.filename().string());
            const std::string seite = lies(datei);
            const auto r = starte(args, seite);
            ASSERT_EQ(r.signal, 0);
            EXPECT_EQ(r.exitcode, 0);
            EXPECT_EQ(r.fehler, "");
            EXPECT_LE(r.aus.size(), 8 * seite.size());
            // Same bytes as the engine's question-free passes over the loaded page, in the
            // encoding the rule gives it.
            const Text geladen = umbruecheVereinheitlichen(seite);
            EXPECT_TRUE(r.aus ==
                        optimiereText(geladen, optionen, tabelle, kodierungErmitteln(geladen)))
                << "output differs from the engine's";
        }
    }
}

}  // namespace
}  // namespace quintaro::cli::test
