// Reading the settings file: a real one with a large replacement table, and the shapes that cost
// a reader most per byte (blank lines, tiny distinct keys, tiny distinct sections), up to the
// 16 MB a file may have. The bytes are parsed from memory; loading from disk adds one read.
#include <benchmark/benchmark.h>

#include <string>

#include "settings/einstellungen.h"
#include "settings/ini.h"

namespace quintaro::bench {
namespace {

constexpr long kMB = 1 << 20;

enum Form : long { Tabelle, Leerzeilen, Schluessel, Abschnitte };

// A file of about `bytes` of the given form.
std::string datei(Form form, long bytes) {
    const auto n = static_cast<std::size_t>(bytes);
    std::string text = "[Optionen]\r\nZU=1\r\nKMA=1\r\n[Replaces]\r\n";
    std::size_t i = 0;
    while (text.size() < n) {
        const std::string nr = std::to_string(++i);
        switch (form) {
            case Tabelle:
                text += nr + "=<font face=\"Arial\" size=\"2\">" + nr + "\r\n" + nr +
                        "a=<span class=\"klein\">\r\n";
                break;
            case Leerzeilen:
                text += "\r\n";
                break;
            case Schluessel:
                text += "k" + nr + "=\r\n";
                break;
            case Abschnitte:
                text += "[a" + nr + "]\r\n";
                break;
        }
    }
    if (form == Tabelle) text += "Anzahl=" + std::to_string(i) + "\r\n";
    return text;
}

void BM_IniLesen(benchmark::State& state) {
    const std::string text = datei(static_cast<Form>(state.range(0)), state.range(1));
    for (auto _ : state) {
        const IniDatei ini(text);
        benchmark::DoNotOptimize(ini.schluesselAnzahl("Replaces"));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

// The whole load as the window and the command line do it: read, then apply to the state.
void BM_EinstellungenAnwenden(benchmark::State& state) {
    const std::string text = datei(Tabelle, state.range(0));
    for (auto _ : state) {
        const Geladen g = einstellungenAnwenden(IniDatei(text), Einstellungen{});
        benchmark::DoNotOptimize(g.einstellungen.tabelle.anzahl());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

BENCHMARK(BM_IniLesen)
    ->ArgNames({"form", "bytes"})
    ->ArgsProduct({{Tabelle, Leerzeilen, Schluessel, Abschnitte}, {kMB, 16 * kMB - 64}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EinstellungenAnwenden)->Arg(kMB)->Arg(16 * kMB - 64)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quintaro::bench

BENCHMARK_MAIN();
