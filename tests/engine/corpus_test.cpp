// Real pages from the shared corpus through the whole text run, checked against the literal passes;
// pages in UTF-8 keep their characters.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "common/korpus.h"
#include "engine/kodierung.h"
#include "engine/optimierung.h"
#include "engine/sonderzeichen.h"
#include "engine/utf8.h"
#include "literal.h"

namespace quintaro {
namespace {

namespace fs = std::filesystem;

fs::path korpus() {
    return test::korpusOrdner();
}

Text lesen(const fs::path& p) {
    return test::korpusSeite(p);
}

// The literal passes lack HSB: every set here treats the page as plain text.
std::vector<OptionSet> optionssaetze() {
    std::vector<OptionSet> saetze;
    saetze.emplace_back();  // the defaults
    OptionSet alles;
    for (int i = 0; i < kOptionCount; ++i) alles.set(i, true);
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
    for (auto& o : saetze) o.set(HSB, false);
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

// --- Pages in UTF-8 ------------------------------------------------------------------------

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

TEST(Korpus, Utf8PagesKeepTheirCharactersAndCp1252PagesTheirBytes) {
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
