// Real pages from the shared corpus through the whole text run, checked against the literal passes;
// pages in UTF-8 keep their characters.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
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
std::vector<Optionsmenge> optionssaetze() {
    std::vector<Optionsmenge> saetze;
    saetze.emplace_back();  // the defaults
    Optionsmenge alles;
    for (int i = 0; i < kOptionCount; ++i) alles.set(i, true);
    saetze.push_back(alles);
    Optionsmenge kommentare;
    kommentare.set(KMA, true);
    kommentare.set(FPW, true);
    saetze.push_back(kommentare);
    Optionsmenge nurLeerraum;
    for (int i = 0; i < kOptionCount; ++i) nurLeerraum.set(i, i <= TAB);
    saetze.push_back(nurLeerraum);
    Optionsmenge ohneUmbrueche;
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
        const Text seite = umbruecheVereinheitlichen(lesen(eintrag.path()));
        for (const auto& o : optionssaetze()) {
            ASSERT_EQ(optimiereText(seite, o, tabelle), literal::optimiere(seite, o, tabelle))
                << eintrag.path();
        }
        ++seiten;
    }
    EXPECT_GT(seiten, 0);
}

// Every page under many option sets, with and without HSB, in each mode: the report accounts
// for every byte (each pass starts where the one before ended, from the page's size to the
// result's), names only options that are on, and reporting changes nothing of the result.
TEST(Korpus, PerPassSizesAddUpToTheTotalForEveryOptionSet) {
    if (!fs::is_directory(korpus())) GTEST_SKIP() << "no corpus at " << korpus();
    Ersetzungstabelle tabelle;
    tabelle.setzeAlle({{"<FONT", "<font"}, {"&nbsp;", "\xA0"}, {"e", "ee"}});
    std::vector<Optionsmenge> saetze = optionssaetze();
    std::mt19937 zufall(23);
    for (int n = 0; n < 12; ++n) {
        Optionsmenge o;
        for (int i = 0; i < kOptionCount; ++i) o.set(i, zufall() % 2 == 0);
        saetze.push_back(o);
    }
    for (std::size_t i = 0, n = saetze.size(); i < n; ++i) {
        saetze.push_back(saetze[i]);
        saetze.back().set(HSB, !saetze[i][HSB]);
    }
    // Answers Ja to everything: a step-by-step run then does what the others do.
    struct Ja : Fragen {
        Antwort frage(const std::string&, const Zwischenstand&) override { return Antwort::Ja; }
    } ja;
    int seiten = 0;
    for (const auto& eintrag : fs::directory_iterator(korpus())) {
        if (!eintrag.is_regular_file()) continue;
        SCOPED_TRACE(eintrag.path().filename().string());
        const Text seite = umbruecheVereinheitlichen(lesen(eintrag.path()));
        const Kodierung k = kodierungErmitteln(seite);
        for (Optionsmenge o : saetze) {
            o.set(KMM, false);  // Ja to every comment is KMA
            const Text erwartet = optimiereText(seite, o, tabelle, k);
            for (const Modus modus : {Modus::Normal, Modus::Schritt, Modus::Automatisch}) {
                Text text = seite;
                const auto e = laufen(text, Laufoptionen{o, tabelle, k, modus}, ja);
                ASSERT_EQ(text, erwartet);
                ASSERT_FALSE(e.abgebrochen);
                ASSERT_EQ(e.vorher, seite.size());
                ASSERT_EQ(e.nachher, text.size());
                std::size_t stand = seite.size();
                long long gespart = 0;
                for (const auto& p : e.passes) {
                    ASSERT_EQ(p.vorher, stand) << p.schluessel;
                    ASSERT_EQ(p.ausgang, Passausgang::Gelaufen) << p.schluessel;
                    gespart += static_cast<long long>(p.vorher) - static_cast<long long>(p.nachher);
                    stand = p.nachher;
                    for (std::size_t a = 0; a <= p.schluessel.size();) {
                        const auto b = std::min(p.schluessel.find('+', a), p.schluessel.size());
                        const auto option = optionZumSchluessel(p.schluessel.substr(a, b - a));
                        ASSERT_TRUE(option && o[*option]) << p.schluessel;
                        a = b + 1;
                    }
                    ASSERT_FALSE(passName(p.schluessel).empty());
                }
                ASSERT_EQ(stand, text.size());
                ASSERT_EQ(gespart, static_cast<long long>(seite.size()) -
                                       static_cast<long long>(text.size()));
            }
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
            if (!e.empty())
                m[std::string(e)] = cp1252NachUtf8(std::string(1, static_cast<char>(b)));
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
        const Text seite = umbruecheVereinheitlichen(lesen(eintrag.path()));
        const Kodierung k = kodierungErmitteln(seite);
        for (const auto& o : optionssaetze()) {
            const Text ergebnis = optimiereText(seite, o, tabelle, k);
            if (k == Kodierung::Utf8) {
                // The same passes without entities give the characters the result must spell.
                Optionsmenge ohne = o;
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
