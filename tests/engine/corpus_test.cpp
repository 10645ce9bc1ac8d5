// Real pages from the shared corpus through the whole text run, checked against the literal passes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/optimierung.h"
#include "literal.h"

namespace quintaro {
namespace {

namespace fs = std::filesystem;

fs::path korpus() {
    return fs::path(QUINTARO_SOURCE_DIR) / ".." / "shared" / "corpus" / "real";
}

Text lesen(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<OptionSet> optionssaetze() {
    std::vector<OptionSet> saetze;
    saetze.emplace_back();  // the defaults
    OptionSet alles;
    for (int i = 0; i < kOptionCount; ++i) alles.set(i, i != HSB);  // the literal passes lack HSB
    saetze.push_back(alles);
    OptionSet kommentare;
    kommentare.set(KMA, true);
    kommentare.set(FPW, true);
    saetze.push_back(kommentare);
    OptionSet nurLeerraum;
    for (int i = 0; i < kOptionCount; ++i) nurLeerraum.set(i, i <= TAB);
    saetze.push_back(nurLeerraum);
    OptionSet ohneUmbrueche;
    ohneUmbrueche.set(ZU, false);
    ohneUmbrueche.set(KMA, true);
    saetze.push_back(ohneUmbrueche);
    return saetze;
}

TEST(Korpus, EveryPageMatchesTheLiteralPasses) {
    if (!fs::is_directory(korpus())) GTEST_SKIP() << "no corpus at " << korpus();
    Ersetzungstabelle tabelle;
    tabelle.setzeAlle(
        {{"<FONT", "<font"}, {"</FONT>", "</font>"}, {"&nbsp;", "\xA0"}, {"  ", "\t"}});
    int seiten = 0;
    for (const auto& eintrag : fs::directory_iterator(korpus())) {
        if (!eintrag.is_regular_file()) continue;
        const Text seite = normaliseLineBreaks(lesen(eintrag.path()));
        for (const auto& o : optionssaetze()) {
            ASSERT_EQ(optimiereText(seite, o, tabelle), literal::optimiere(seite, o, tabelle))
                << eintrag.path();
        }
        ++seiten;
    }
    EXPECT_GT(seiten, 0);
}

}  // namespace
}  // namespace quintaro
