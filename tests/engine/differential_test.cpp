// Thousands of random HTML-ish documents: the engine must give byte for byte what the literal
// passes give, for the comment removal with and without answers, the whole text run and the driver.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/kommentare.h"
#include "engine/optimierung.h"
#include "literal.h"
#include "skript_fragen.h"

namespace quintaro {
namespace {

using namespace std::string_literals;

class Zufall {
  public:
    explicit Zufall(std::uint32_t seed) : rng_(seed) {}
    std::size_t bis(std::size_t n) { return rng_() % n; }  // 0 to n - 1, the same on every library
    bool prozent(unsigned p) { return rng_() % 100 < p; }

    template <typename T>
    const T& eines(const std::vector<T>& v) {
        return v[bis(v.size())];
    }

    Text dokument() {
        static const std::vector<std::string> fragmente = {
            "<!--", "-->", "<!--#", "<!--webbot", "<!-", "--", "-", ">", "<", "> <", " >", "< ",
            "!", "\t", "\t\t", "\r\n", "\r\n\r\n", "\r\n\r\n\r\n", "\r", "\n", "\n\r", " ", "  ",
            "    ", "a", "b", "ab", "web", "bot", "<!--web", "#", "\0"s, "\x80", "\xE4", "\xA0",
            "\xFF", "\xAD", "x", "<p>", "</p>",
            // Pieces that make removals join text into new comments.
            "<!<!-- a -->-- b -->", "<!<!-- b -->-- a -->", "<!-- a -->", "<!-- b -->", "<!--a-->",
            "<!---->", "<!-->", "<!--webbot a -->", "<!--webbot b -->",
            "<!--web<!--webbot a -->bot b -->", "<!-- a -<!-- b -->->"};
        static const std::vector<std::string> koerper = {"", "a", "b", " a ", " b ", "-", "#"};
        Text text;
        const std::size_t teile = bis(45);
        for (std::size_t i = 0; i < teile; ++i) {
            const std::size_t art = bis(10);
            if (art == 0) {
                text += "<!--" + eines(koerper) + "-->";
            } else if (art == 1) {
                text.push_back(static_cast<char>(0x80 + bis(0x80)));
            } else {
                text += eines(fragmente);
            }
        }
        return text;
    }

    Optionsmenge optionen() {
        Optionsmenge o;
        // The literal passes know nothing of the page's structure: HSB stays off.
        for (int i = 0; i < kOptionCount; ++i) o.set(i, i != HSB && prozent(50));
        return o;
    }

    Ersetzungstabelle tabelle() {
        static const std::vector<std::string> such = {"",     "a", "b",  " ",   "  ",   "<",  "\t",
                                                      "\r\n", "x", "ab", "-->", "\xE4", "> <"};
        static const std::vector<std::string> ersatz = {"",     "a",   " ",   "  ", "\t", "\xE4",
                                                        "\r\n", "<b>", "> <", "bb", "< "};
        Ersetzungstabelle t;
        std::vector<Ersetzung> rows;
        const std::size_t n = bis(5);
        for (std::size_t i = 0; i < n; ++i) rows.push_back({eines(such), eines(ersatz)});
        t.setzeAlle(std::move(rows));
        return t;
    }

    Antwort antwort() {
        const std::size_t r = bis(100);
        return r < 60 ? Antwort::Ja : r < 96 ? Antwort::Nein : Antwort::Abbrechen;
    }

  private:
    std::mt19937 rng_;
};

TEST(Differenz, CommentRemovalMatchesLiteral) {
    Zufall z(20240611);
    literal::Statistik statistik;
    for (int i = 0; i < 6000; ++i) {
        const Text doc = z.dokument();
        for (const KommentarArt art : {kKommentar, kWebbot}) {
            const auto lit = literal::kommentareEntfernen(doc, art, {}, &statistik);
            const auto eng = kommentareEntfernen(doc, art);
            ASSERT_EQ(eng.text, lit.text) << "document #" << i << ": " << doc;
            ASSERT_FALSE(eng.abgebrochen);

            // The same document with option 7 and a random answer script.
            std::vector<Antwort> skript;
            for (std::size_t k = 0; k < 60; ++k) skript.push_back(z.antwort());
            std::size_t li = 0;
            const auto litF = literal::kommentareEntfernen(
                doc, art, [&](const Text&) { return skript[li++]; }, &statistik);
            std::size_t ei = 0;
            std::vector<Text> gefragt;
            std::vector<Text> texte;
            const auto engF = kommentareEntfernen(
                doc, art, [&](std::string_view e, const std::function<Text()>& aktuell) {
                    gefragt.emplace_back(e);
                    texte.push_back(aktuell());
                    return skript[ei++];
                });
            ASSERT_EQ(engF.text, litF.text) << "document #" << i << " with answers: " << doc;
            ASSERT_EQ(engF.abgebrochen, litF.abgebrochen) << doc;
            ASSERT_EQ(gefragt, litF.gefragt) << doc;
            ASSERT_EQ(texte, litF.textBeiFrage) << doc;
        }
    }
    // The generator must really reach the rare cases it is there for.
    EXPECT_GE(statistik.joinKopien, 500);
    EXPECT_GE(statistik.endKopien, 100);
    RecordProperty("joinKopien", static_cast<int>(statistik.joinKopien));
    RecordProperty("endKopien", static_cast<int>(statistik.endKopien));
}

TEST(Differenz, OptimiereTextMatchesLiteral) {
    Zufall z(7);
    for (int i = 0; i < 4000; ++i) {
        const Text doc = z.dokument();
        const Optionsmenge o = z.optionen();
        const Ersetzungstabelle t = z.tabelle();
        ASSERT_EQ(optimiereText(doc, o, t), literal::optimiere(doc, o, t))
            << "document #" << i << ": " << doc;
    }
}

// A normal run with option 7: the questions, the text on the screen at each, the final text.
TEST(Differenz, RunWithCommentQuestionsMatchesLiteral) {
    Zufall z(99);
    for (int i = 0; i < 500; ++i) {
        const Text doc = z.dokument();
        if (doc.empty()) continue;
        Optionsmenge optionen = z.optionen();
        for (int o : {KMA, SK, OT, DKS, NOA, OA}) optionen.set(o, false);
        optionen.set(KMM, true);
        const Ersetzungstabelle tabelle = z.tabelle();
        test::SkriptFragen u(doc);
        for (std::size_t k = 0; k < 60; ++k) u.antworten.push_back(z.antwort());
        const std::deque<Antwort> skript = u.antworten;

        Text text = doc;
        if (optionen[FPW] && text.find("<!--webbot") != Text::npos) {
            text = literal::kommentareEntfernen(text, kWebbot).text;
        }
        std::vector<Text> fragen;
        bool abgebrochen = false;
        if (text.find("<!--") != Text::npos) {
            std::size_t k = 0;
            const auto r = literal::kommentareEntfernen(text, kKommentar,
                                                        [&](const Text&) { return skript[k++]; });
            text = r.text;
            fragen = r.textBeiFrage;
            abgebrochen = r.abgebrochen;
        }
        if (!abgebrochen) {
            Optionsmenge rest = optionen;
            for (int o : {FPW, KMA, KMM}) rest.set(o, false);
            text = literal::optimiere(text, rest, tabelle);
        }

        Text lauf = doc;
        const auto ergebnis = laufen(lauf, Laufoptionen{optionen, tabelle}, u);
        ASSERT_EQ(u.gezeigt, fragen) << "document #" << i << ": " << doc;
        ASSERT_EQ(lauf, text) << "document #" << i << ": " << doc;
        ASSERT_EQ(ergebnis.abgebrochen, abgebrochen);
    }
}

}  // namespace
}  // namespace quintaro
