// Throughput of each pass alone and of the whole text run, on generated pages of 1 MB and 10 MB.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <utility>

#include "engine/attribute.h"
#include "engine/css.h"
#include "engine/ersetzungstabelle.h"
#include "engine/html_tokenizer.h"
#include "engine/javascript.h"
#include "engine/kommentare.h"
#include "engine/kuerzen.h"
#include "engine/leerraum.h"
#include "engine/optimierung.h"
#include "engine/sonderzeichen.h"
#include "engine/struktur.h"
#include "generator.h"

namespace quintaro::bench {
namespace {

constexpr long kMB = 1 << 20;

// Pages are generated once per size and kind and kept for all benchmarks.
const Text& seite(long bytes, long kommentare = -1) {
    static std::map<std::pair<long, long>, Text> cache;
    auto [it, neu] = cache.try_emplace({bytes, kommentare});
    if (neu) it->second = erzeugeSeite({static_cast<std::size_t>(bytes), kommentare, 1});
    return it->second;
}

const Ersetzungstabelle& tabelle() {
    static const Ersetzungstabelle t = [] {
        Ersetzungstabelle tab;
        tab.setzeAlle({{"<font face=\"Arial\" size=\"2\">", ""},
                       {"</font>", ""},
                       {"&nbsp;", " "},
                       {"<b>", "<strong>"},
                       {"</b>", "</strong>"}});
        return tab;
    }();
    return t;
}

// Runs `pass` over a fresh copy of the page each time; the copy is not timed.
template <typename Pass>
void messen(benchmark::State& state, const Text& eingabe, Pass pass) {
    std::size_t ausgabe = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Text text = eingabe;
        state.ResumeTiming();
        Text ergebnis = pass(std::move(text));
        ausgabe = ergebnis.size();
        benchmark::DoNotOptimize(ergebnis.data());
        state.PauseTiming();
        ergebnis = Text();  // freeing is not the pass's work either
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(eingabe.size()));
    state.counters["out/in"] = static_cast<double>(ausgabe) / static_cast<double>(eingabe.size());
}

Optionsmenge ganzerLauf() {
    Optionsmenge o;  // the defaults plus comments and webbots, the passes for plain text
    o.set(HSB, false);
    o.set(KMA, true);
    o.set(FPW, true);
    return o;
}

void BM_Webbots(benchmark::State& s) {
    messen(s, seite(s.range(0)),
           [](Text t) { return kommentareEntfernen(std::move(t), kWebbot).text; });
}
void BM_Kommentare(benchmark::State& s) {
    messen(s, seite(s.range(0)),
           [](Text t) { return kommentareEntfernen(std::move(t), kKommentar).text; });
}
void BM_Ersetzung(benchmark::State& s) {
    messen(s, seite(s.range(0)), [](Text t) { return ersetzungAnwenden(std::move(t), tabelle()); });
}
void BM_Tabulatoren(benchmark::State& s) {
    messen(s, seite(s.range(0)), tabulatorenEntfernen);
}
void BM_DoppelteZeilenumbrueche(benchmark::State& s) {
    messen(s, seite(s.range(0)), doppelteZeilenumbruecheEntfernen);
}
void BM_Zeilenumbrueche(benchmark::State& s) {
    messen(s, seite(s.range(0)), zeilenumbruecheEntfernen);
}
void BM_DoppelteLeerzeichen(benchmark::State& s) {
    messen(s, seite(s.range(0)), doppelteLeerzeichenEntfernen);
}
void BM_LeerzeichenZwischenTags(benchmark::State& s) {
    messen(s, seite(s.range(0)), leerzeichenZwischenTagsEntfernen);
}
void BM_LeerzeichenInTags(benchmark::State& s) {
    messen(s, seite(s.range(0)), leerzeichenInTagsEntfernen);
}
void BM_Sonderzeichen(benchmark::State& s) {
    messen(s, seite(s.range(0)), [](Text t) { return SonderzeichenErsetzen(t); });
}
// The same page in UTF-8: the same entities from two- and three-byte sequences.
void BM_SonderzeichenUtf8(benchmark::State& s) {
    static std::map<long, Text> utf8;
    auto [it, neu] = utf8.try_emplace(s.range(0));
    if (neu) it->second = cp1252NachUtf8(seite(s.range(0)));
    messen(s, it->second, [](Text t) { return SonderzeichenErsetzen(t, Kodierung::Utf8); });
}
void BM_GanzerLauf(benchmark::State& s) {
    const Optionsmenge o = ganzerLauf();
    messen(s, seite(s.range(0)),
           [&o](Text t) { return optimiereText(std::move(t), o, Ersetzungstabelle()); });
}

// The same whole run with HSB: every pass reads the page's structure.
// With HSB on, CSS, JS and ATK are on too, as by default; the second without them.
void BM_GanzerLauf_HSB(benchmark::State& s) {
    Optionsmenge o = ganzerLauf();
    o.set(HSB, true);
    messen(s, seite(s.range(0)),
           [&o](Text t) { return optimiereText(std::move(t), o, Ersetzungstabelle()); });
}
void BM_GanzerLauf_HSB_OhneKuerzung(benchmark::State& s) {
    Optionsmenge o = ganzerLauf();
    o.set(HSB, true);
    for (int i : {CSS, JS, ATK}) o.set(i, false);
    messen(s, seite(s.range(0)),
           [&o](Text t) { return optimiereText(std::move(t), o, Ersetzungstabelle()); });
}

// A page of awkward markup (misnested formatting across blocks and tables, stray end tags,
// text in tables): the quick reading gives up on it and the full parser decides.
const Text& verwinkelt(long bytes) {
    static std::map<long, Text> cache;
    auto [it, neu] = cache.try_emplace(bytes);
    if (neu) {
        static constexpr std::string_view kStuecke[] = {
            "<div><b>fett</div>\r\n<table><tr><td>a<td>b  c</table>",
            "<p>eins <font color=red>rot</p> zwei</font>\r\n",
            "<ul><li>a<li>b</ul> Hallo </li> Welt\r\n",
            "<table> x <tr><td> y </td></tr></table>\r\n",
            "<h1>Titel</h2> text <a href=x>  link </a>\r\n",
            "<pre>  a   b </pre> <span hidden>h </span> w\r\n",
            "<!-- c --> <i>kursiv <p>absatz</i> ende\r\n",
        };
        std::mt19937 rng(7);
        Text& t = it->second;
        while (t.size() < static_cast<std::size_t>(bytes)) t += kStuecke[rng() % 7];
    }
    return it->second;
}
void BM_GanzerLauf_HSB_Verwinkelt(benchmark::State& s) {
    Optionsmenge o = ganzerLauf();
    o.set(HSB, true);
    messen(s, verwinkelt(s.range(0)),
           [&o](Text t) { return optimiereText(std::move(t), o, Ersetzungstabelle()); });
}

// Its parts: the tokenizer alone, the comment pass, and the folded whitespace and entity sweep.
void BM_HSB_Zerlegen(benchmark::State& s) {
    messen(s, seite(s.range(0)), [](Text t) {
        benchmark::DoNotOptimize(html::zerlege(t).size());
        return t;
    });
}
void BM_HSB_Kommentare(benchmark::State& s) {
    messen(s, seite(s.range(0)),
           [](Text t) { return strukturKommentareEntfernen(std::move(t), false).text; });
}
void BM_HSB_LeerraumUndSonderzeichen(benchmark::State& s) {
    messen(s, seite(s.range(0)), [](Text t) { return strukturLeerraum(t, 63, Kodierung::Cp1252); });
}

// 10 MB with 20,000 distinct comments against the same page without any.
void BM_GanzerLauf_20000Kommentare(benchmark::State& s) {
    const Optionsmenge o = ganzerLauf();
    messen(s, seite(10 * kMB, 20000),
           [&o](Text t) { return optimiereText(std::move(t), o, Ersetzungstabelle()); });
}
void BM_GanzerLauf_OhneKommentare(benchmark::State& s) {
    const Optionsmenge o = ganzerLauf();
    messen(s, seite(10 * kMB, 0),
           [&o](Text t) { return optimiereText(std::move(t), o, Ersetzungstabelle()); });
}
void BM_Kommentare_20000(benchmark::State& s) {
    messen(s, seite(10 * kMB, 20000),
           [](Text t) { return kommentareEntfernen(std::move(t), kKommentar).text; });
}

// --- Options CSS, JS and ATK ------------------------------------------------------------------

// Script and style text as pages carry it: indented, commented, with strings, regular expressions
// and the usual punctuation; the same bytes for the same size.
Text realistisch(long bytes, bool skript) {
    static constexpr const char* kSkript[] = {
        "  // Checks the form before it is sent.\r\n  function pruefe%d(form) {\r\n"
        "    var name = form.elements['name%d'].value;\r\n"
        "    if (name.length < 3 || !/^[A-Za-z ]+$/.test(name)) {\r\n"
        "      alert(\"Bitte einen Namen angeben (%d).\");\r\n      return false;\r\n    }\r\n"
        "    return true;\r\n  }\r\n",
        "  /* Rollover images */\r\n  var bilder%d = [];\r\n"
        "  for (var i = 0; i < %d; i++) {\r\n    bilder%d[i] = new Image();\r\n"
        "    bilder%d[i].src = 'bilder/knopf_' + i + '.gif';\r\n  }\r\n",
        "  document.getElementById('x%d').addEventListener('click', function (e) {\r\n"
        "    var breite = window.innerWidth / 2 - %d, text = `Seite ${breite}`;\r\n"
        "    e.preventDefault(); zeige(text, { oben: 0, links: breite });\r\n  });\r\n"};
    static constexpr const char* kStil[] = {
        "/* Navigation %d */\r\n#navi%d ul li a:hover,\r\n#navi%d ul li a:focus {\r\n"
        "  color: #ffcc00;\r\n  background: url(\"bilder/navi.gif\") no-repeat 0 -%dpx;\r\n}\r\n",
        ".kasten%d {\r\n  margin: 0 auto %dpx;\r\n  padding: 4px 8px;\r\n"
        "  border: 1px solid #aabbcc;\r\n  font: 12px/1.5 Verdana, Arial, sans-serif;\r\n}\r\n",
        "@media screen and (max-width: %dpx) {\r\n  .spalte%d { width: calc(100%% - 20px); float: "
        "none; }\r\n}\r\n"};
    Text t;
    char puffer[600];
    for (int i = 0; static_cast<long>(t.size()) < bytes; ++i) {
        const char* muster = skript ? kSkript[i % 3] : kStil[i % 3];
        const int n = std::snprintf(puffer, sizeof puffer, muster, i, i % 97, i, i);
        t.append(puffer, static_cast<std::size_t>(n));
    }
    return t;
}

void BM_CssVerkleinern(benchmark::State& s) {
    static const Text stil = realistisch(s.range(0), false);
    messen(s, stil, [](Text t) { return css::stilVerkleinern(t); });
}
void BM_JsVerkleinern(benchmark::State& s) {
    static const Text skript = realistisch(s.range(0), true);
    messen(s, skript, [](Text t) { return js::skriptVerkleinern(t, Kodierung::Cp1252, false); });
}

// The three options' pass alone over the benchmark page: its tokens and tree, every start tag
// shortened, every classic script, CSS style element and style attribute minified, the optional
// tags left out.
void BM_SprachenAufDerSeite(benchmark::State& s) {
    messen(s, seite(s.range(0)), [](Text t) {
        return seiteKuerzen(t, {.css = true, .js = true, .atk = true}, Kodierung::Cp1252).text;
    });
}

// With repetitions, "min" is the least disturbed run on a machine that other jobs share.
double kleinster(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

#define EINHEIT ->Unit(benchmark::kMillisecond)->ComputeStatistics("min", kleinster)
#define GROESSEN ->Arg(kMB)->Arg(10 * kMB) EINHEIT

BENCHMARK(BM_Webbots) GROESSEN;
BENCHMARK(BM_Kommentare) GROESSEN;
BENCHMARK(BM_Ersetzung) GROESSEN;
BENCHMARK(BM_Tabulatoren) GROESSEN;
BENCHMARK(BM_DoppelteZeilenumbrueche) GROESSEN;
BENCHMARK(BM_Zeilenumbrueche) GROESSEN;
BENCHMARK(BM_DoppelteLeerzeichen) GROESSEN;
BENCHMARK(BM_LeerzeichenZwischenTags) GROESSEN;
BENCHMARK(BM_LeerzeichenInTags) GROESSEN;
BENCHMARK(BM_Sonderzeichen) GROESSEN;
BENCHMARK(BM_SonderzeichenUtf8) GROESSEN;
BENCHMARK(BM_GanzerLauf) GROESSEN;
BENCHMARK(BM_GanzerLauf_HSB) GROESSEN;
BENCHMARK(BM_GanzerLauf_HSB_OhneKuerzung) GROESSEN;
BENCHMARK(BM_GanzerLauf_HSB_Verwinkelt)->Arg(kMB) EINHEIT;
BENCHMARK(BM_HSB_Zerlegen) GROESSEN;
BENCHMARK(BM_HSB_Kommentare) GROESSEN;
BENCHMARK(BM_HSB_LeerraumUndSonderzeichen) GROESSEN;
BENCHMARK(BM_GanzerLauf_20000Kommentare) EINHEIT;
BENCHMARK(BM_GanzerLauf_OhneKommentare) EINHEIT;
BENCHMARK(BM_Kommentare_20000) EINHEIT;
BENCHMARK(BM_CssVerkleinern)->Arg(kMB) EINHEIT;
BENCHMARK(BM_JsVerkleinern)->Arg(kMB) EINHEIT;
BENCHMARK(BM_SprachenAufDerSeite) GROESSEN;

}  // namespace
}  // namespace quintaro::bench

BENCHMARK_MAIN();
