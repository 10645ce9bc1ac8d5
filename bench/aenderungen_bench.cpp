// The changes view's speed: the token diff alone, and from the command until the view is shown,
// on generated pages of 1 MB and 10 MB against their optimised versions (a whole-page change) and
// against an unrelated page (the worst case, marked coarsely).
#include <benchmark/benchmark.h>

#include <Qsci/qsciscintilla.h>
#include <sys/resource.h>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "document/dokument.h"
#include "engine/aenderungen.h"
#include "engine/optimierung.h"
#include "fenster_hilfen.h"
#include "generator.h"
#include "ui/aenderungs_ansicht.h"
#include "ui/dialoge.h"
#include "ui/quelltext_memo.h"
#include "ui/shell.h"
#include "ui/tform1.h"

namespace quintaro::bench {
namespace {

constexpr long kMB = 1 << 20;

Text seite(const benchmark::State& state, std::uint32_t seed = 1) {
    return erzeugeSeite({static_cast<std::size_t>(state.range(0)), -1, seed});
}

// The page as a normal run with the defaults plus comment and webbot removal leaves it.
Text optimiert(const Text& text) {
    Optionsmenge optionen;
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

// CPU time of the whole process (both the window's thread and the comparison's), in ms.
double prozessZeit() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    const auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    return ms(r.ru_utime) + ms(r.ru_stime);
}

// From F4 until the view is painted (`shown_ms`), and until the comparison is in and the changes
// on the screen are marked and painted (`marked_ms`; `cpu_ms` the process's CPU time for it), with
// the page loaded and a normal run (the defaults) done in the window; `stall_ms` is the longest
// the event loop was held up from F4 to the end of five steps to the next change. range(1): the
// editor keeps the optimised page (0) or holds an unrelated one (1).
void AnsichtZeigen(benchmark::State& state) {
    QTemporaryDir ordner;
    const QString vorher = QDir::currentPath();
    QDir::setCurrent(ordner.path());
    const QString pfad = ordner.filePath(QStringLiteral("seite.htm"));
    {
        QFile datei(pfad);
        const Text text = seite(state);
        if (!datei.open(QIODevice::WriteOnly) ||
            datei.write(text.data(), static_cast<qint64>(text.size())) !=
                static_cast<qint64>(text.size())) {
            state.SkipWithError("page not written");
            return;
        }
    }
    StilleDialoge dialoge;
    KeineShell shell;
    LokaleDateien dateien;
    ui::TForm1 fenster(dialoge, shell, dateien, QString());
    fenster.resize(1200, 800);
    fenster.show();
    if (!QTest::qWaitForWindowExposed(&fenster)) state.SkipWithError("window not shown");
    fenster.dateiOeffnen(pfad);
    if (state.range(1) == 0) {
        fenster.Optimierung(ui::Sender::OptimierenButton);
    } else {
        fenster.quelltextMemo().setText(seite(state, 2));
    }
    QApplication::processEvents();

    double gezeigt = 0;
    double markiert = 0;
    double cpu = 0;
    double halt = 0;
    std::size_t aenderungen = 0;
    for (auto _ : state) {
        QElapsedTimer uhr;
        uhr.start();
        // The longest the event loop is held up meanwhile, the window's feel on a keystroke.
        QElapsedTimer seitLetztem;
        seitLetztem.start();
        qint64 laengsterHalt = 0;
        QTimer takt;
        takt.setInterval(5);
        QObject::connect(&takt, &QTimer::timeout,
                         [&] { laengsterHalt = std::max(laengsterHalt, seitLetztem.restart()); });
        takt.start();
        const double cpuVorher = prozessZeit();
        QTest::keyClick(fenster.quelltextMemo().widget(), Qt::Key_F4);
        auto* ansicht = fenster.findChild<ui::AenderungsAnsicht*>();
        if (ansicht == nullptr) {
            state.SkipWithError("no view");
            break;
        }
        if (!QTest::qWaitForWindowExposed(ansicht)) state.SkipWithError("view not shown");
        ansicht->originalFeld()->viewport()->repaint();
        ansicht->ergebnisFeld()->viewport()->repaint();
        gezeigt += static_cast<double>(uhr.nsecsElapsed()) / 1e6;
        while (!ansicht->fertig()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        ansicht->originalFeld()->viewport()->repaint();
        ansicht->ergebnisFeld()->viewport()->repaint();
        markiert += static_cast<double>(uhr.nsecsElapsed()) / 1e6;
        cpu += prozessZeit() - cpuVorher;
        // Then a few steps through the changes, each painted.
        for (int i = 0; i < 5; ++i) {
            ansicht->naechsteAenderung();
            QApplication::processEvents();
            ansicht->originalFeld()->viewport()->repaint();
            ansicht->ergebnisFeld()->viewport()->repaint();
        }
        QApplication::processEvents();
        halt = std::max(halt, static_cast<double>(laengsterHalt));
        takt.stop();
        state.PauseTiming();
        aenderungen = ansicht->vergleich().aenderungen.size();
        delete ansicht;
        QApplication::processEvents();
        state.ResumeTiming();
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["shown_ms"] = gezeigt / n;
    state.counters["marked_ms"] = markiert / n;
    state.counters["cpu_ms"] = cpu / n;
    state.counters["stall_ms"] = halt;
    state.counters["changes"] = static_cast<double>(aenderungen);
    QDir::setCurrent(vorher);
}
BENCHMARK(AnsichtZeigen)
    ->ArgNames({"bytes", "fremd"})
    ->ArgsProduct({{kMB, 10 * kMB}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace quintaro::bench
