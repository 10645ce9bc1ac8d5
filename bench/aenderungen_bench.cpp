// The changes view's speed: the token diff alone, and from the command until the view is shown,
// on generated pages of 1 MB and 10 MB against their optimised versions (a whole-page change) and
// against an unrelated page (the worst case, marked coarsely).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>

#include "engine/aenderungen.h"
#include "engine/optimierung.h"
#include "generator.h"

namespace quintaro::bench {
namespace {

constexpr long kMB = 1 << 20;

Text seite(const benchmark::State& state, std::uint32_t seed = 1) {
    return erzeugeSeite({static_cast<std::size_t>(state.range(0)), -1, seed});
}

// The page as a normal run with the defaults plus comment and webbot removal leaves it.
Text optimiert(const Text& text) {
    OptionSet optionen;
    optionen.set(KMA, true);
    optionen.set(FPW, true);
    return optimiereText(text, optionen, Ersetzungstabelle{});
}

void zaehlen(benchmark::State& state, const Vergleich& v, std::size_t bytes) {
    state.counters["changes"] = static_cast<double>(v.aenderungen.size());
    state.counters["coarse"] = v.grob ? 1 : 0;
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

// range(1): 0 against the optimised page, 1 against an unrelated one.
void Vergleichen(benchmark::State& state) {
    const Text alt = seite(state);
    const Text neu = state.range(1) == 0 ? optimiert(alt) : seite(state, 2);
    Vergleich v;
    for (auto _ : state) {
        v = vergleiche(alt, neu);
        benchmark::DoNotOptimize(v.aenderungen.data());
    }
    zaehlen(state, v, alt.size());
}
BENCHMARK(Vergleichen)
    ->ArgNames({"bytes", "fremd"})
    ->ArgsProduct({{kMB, 10 * kMB}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void Tokens(benchmark::State& state) {
    const Text alt = seite(state);
    for (auto _ : state) benchmark::DoNotOptimize(aenderungsTokens(alt).data());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(alt.size()));
}
BENCHMARK(Tokens)->Arg(10 * kMB)->Unit(benchmark::kMillisecond)->UseRealTime();

void DiffText(benchmark::State& state) {
    const Text alt = seite(state);
    const Text neu = optimiert(alt);
    const Vergleich v = vergleiche(alt, neu);
    std::size_t laenge = 0;
    for (auto _ : state) laenge = einheitlichesDiff(alt, neu, v, "a", "b").size();
    state.counters["diff_bytes"] = static_cast<double>(laenge);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(alt.size()));
}
BENCHMARK(DiffText)->Arg(kMB)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace quintaro::bench

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
