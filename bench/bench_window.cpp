// The window's speed: a normal run from the button until the editor shows the result, on
// generated pages of 1 MB and 5 MB, and what the HTML colouring costs the editor by page size.
#include <benchmark/benchmark.h>

#include <Qsci/qscilexerhtml.h>
#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "document/dokument.h"
#include "fenster_hilfen.h"
#include "generator.h"
#include "ui/dialoge.h"
#include "ui/kodierung.h"
#include "ui/quelltext_memo.h"
#include "ui/quelltext_seite.h"
#include "ui/shell.h"
#include "ui/tform1.h"

namespace quintaro::bench {
namespace {

constexpr long kMB = 1 << 20;

// The window at a size where the editor shows a good part of the page.
void fensterZeigen(benchmark::State& state, QWidget& fenster) {
    fenster.resize(1000, 700);
    fenster.show();
    if (!QTest::qWaitForWindowExposed(&fenster)) state.SkipWithError("window not shown");
}

// A shown window without a document, working in a scratch folder where a run's preview file
// lands; the working folder comes back at the end.
struct FensterImOrdner {
    explicit FensterImOrdner(benchmark::State& state) {
        QDir::setCurrent(ordner.path());
        fensterZeigen(state, fenster);
    }
    ~FensterImOrdner() { QDir::setCurrent(vorher); }
    FensterImOrdner(const FensterImOrdner&) = delete;
    FensterImOrdner& operator=(const FensterImOrdner&) = delete;

    QTemporaryDir ordner;
    const QString vorher = QDir::currentPath();
    StilleDialoge dialoge;
    KeineShell shell;
    LokaleDateien dateien;
    ui::TForm1 fenster{dialoge, shell, dateien, QString()};
};

void NormalerLaufImFenster(benchmark::State& state) {
    const Text seite = erzeugeSeite({static_cast<std::size_t>(state.range(0)), -1, 1});
    FensterImOrdner f(state);
    ui::TForm1& fenster = f.fenster;
    QWidget* ansicht = fenster.quelltextMemo().widget()->viewport();

    std::size_t ergebnis = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fenster.quelltextMemo().setText(seite);
        ansicht->repaint();
        QApplication::processEvents();
        state.ResumeTiming();
        fenster.quelltextSeite().OptimierenButton()->click();
        ansicht->repaint();  // the editor shows the result
        state.PauseTiming();
        ergebnis = fenster.quelltextMemo().text().size();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(seite.size()));
    state.counters["out/in"] = static_cast<double>(ergebnis) / static_cast<double>(seite.size());
}
BENCHMARK(NormalerLaufImFenster)
    ->Arg(kMB)
    ->Arg(5 * kMB)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The page of an editor benchmark: range(0) bytes, as loaded or (range(2)) made one line.
Text editorSeite(const benchmark::State& state) {
    Text seite = erzeugeSeite({static_cast<std::size_t>(state.range(0)), -1, 1});
    if (state.range(2) != 0) {
        for (char& c : seite) {
            if (c == '\r' || c == '\n') c = ' ';
        }
    }
    return seite;
}

// Shows the editor as the window has it, coloured when range(1) says so.
void editorZeigen(benchmark::State& state, QsciScintilla& editor, QsciLexerHTML& lexer) {
    editor.setUtf8(true);
    editor.setWrapMode(QsciScintilla::WrapNone);
    editor.resize(800, 600);
    editor.show();
    if (!QTest::qWaitForWindowExposed(&editor)) state.SkipWithError("editor not shown");
    editor.setLexer(state.range(1) != 0 ? &lexer : nullptr);
}

// Showing a page in QScintilla with and without the HTML lexer, at its top and at its end
// (the end needs the whole text styled); the page as loaded (many lines) or optimised (one line).
void EditorZeigen(benchmark::State& state) {
    const Text seite = editorSeite(state);
    const std::string utf8 = cp1252NachUtf8(seite);
    QsciScintilla editor;
    QsciLexerHTML lexer;
    editorZeigen(state, editor, lexer);
    for (auto _ : state) {
        editor.SendScintilla(QsciScintillaBase::SCI_CLEARALL);
        editor.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT,
                             static_cast<unsigned long>(utf8.size()), utf8.data());
        editor.viewport()->repaint();
        editor.SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
        editor.viewport()->repaint();
        editor.SendScintilla(QsciScintillaBase::SCI_DOCUMENTSTART);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(seite.size()));
}
BENCHMARK(EditorZeigen)
    ->ArgNames({"bytes", "farbe", "einzeilig"})
    ->ArgsProduct({{256 << 10, 512 << 10, kMB, 5 * kMB}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// One keystroke in the middle of the page, with the view there: how the editor feels to type in.
void EditorTippen(benchmark::State& state) {
    const Text seite = editorSeite(state);
    const std::string utf8 = cp1252NachUtf8(seite);
    QsciScintilla editor;
    QsciLexerHTML lexer;
    editorZeigen(state, editor, lexer);
    editor.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, static_cast<unsigned long>(utf8.size()),
                         utf8.data());
    editor.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<long>(utf8.size() / 2));
    editor.viewport()->repaint();
    for (auto _ : state) {
        editor.SendScintilla(QsciScintillaBase::SCI_ADDTEXT, 1UL, "x");
        editor.viewport()->repaint();
    }
}
BENCHMARK(EditorTippen)
    ->ArgNames({"bytes", "farbe", "einzeilig"})
    ->ArgsProduct({{kMB, 5 * kMB}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// One keystroke in the window's editor, from the key event until the editor has repainted: the
// page as loaded (range(1) == 0) or as a normal run with the defaults leaves it, one long line.
// The caret stands in the middle of the page, the view with it.
void TippenImFenster(benchmark::State& state) {
    const Text seite = erzeugeSeite({static_cast<std::size_t>(state.range(0)), -1, 1});
    FensterImOrdner f(state);
    ui::TForm1& fenster = f.fenster;
    fenster.quelltextMemo().setText(seite);
    if (state.range(1) != 0) fenster.quelltextSeite().OptimierenButton()->click();
    QsciScintilla* editor = fenster.quelltextMemo().widget();
    const long laenge = editor->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    editor->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, laenge / 2);
    editor->setFocus();
    editor->viewport()->repaint();
    QApplication::processEvents();
    for (auto _ : state) {
        QTest::keyClick(editor, Qt::Key_X);
        editor->viewport()->repaint();
    }
    QApplication::processEvents();
    state.counters["lines"] =
        static_cast<double>(editor->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT));
}
BENCHMARK(TippenImFenster)
    ->ArgNames({"bytes", "optimiert"})
    ->ArgsProduct({{kMB, 5 * kMB}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace quintaro::bench

// --- Batch runs in the window: 1,000 pages of 20 KB and 10 of 5 MB on disk, from the button
// "Dateien optimieren" on the batch page until the summary message; the defaults apply. Compare
// with quintaro_batch_bench's BM_Stapel, the same work without the window.

#include <unistd.h>
#include <QListWidget>
#include <QStringList>
#include <cstdio>
#include <fstream>

#include "ui/dateiliste_seite.h"
#include "ui/listbox.h"
#include "ui/sender.h"

#include <algorithm>
#include <chrono>
#include <random>

namespace quintaro::bench {
namespace {

struct Stapelsatz {
    std::size_t anzahl;
    std::size_t bytes;
};

class StapelDialoge : public StilleDialoge {
  public:
    QStringList dateien;
    QStringList dateienOeffnen(QWidget*, const QStringList&, const QString&) override {
        return dateien;
    }
};

void StapelImFenster(benchmark::State& state, Stapelsatz satz) {
    QTemporaryDir ordner;
    std::vector<Text> seiten;
    QStringList pfade;
    for (std::size_t i = 0; i < satz.anzahl; ++i) {
        seiten.push_back(erzeugeSeite({satz.bytes, -1, static_cast<std::uint32_t>(i + 1)}));
        char name[32];
        std::snprintf(name, sizeof name, "/seite%04zu.htm", i);
        pfade << ordner.path() + QString::fromLatin1(name);
    }
    StapelDialoge dialoge;
    dialoge.dateien = pfade;
    KeineShell shell;
    LokaleDateien dateien;
    ui::TForm1 fenster(dialoge, shell, dateien, QString());
    fensterZeigen(state, fenster);
    fenster.Seitenwechsel(ui::Sender::Stapelverarbeitung1);
    fenster.dateilisteSeite().BitBtn8()->click();

    for (auto _ : state) {
        state.PauseTiming();
        // Every file back to its original and no backups: each iteration is a first batch run.
        for (std::size_t i = 0; i < satz.anzahl; ++i) {
            const std::string pfad = pfade[static_cast<qsizetype>(i)].toStdString();
            std::ofstream(pfad, std::ios::binary | std::ios::trunc) << seiten[i];
            ::unlink((pfad + ".bak").c_str());
        }
        ::sync();  // the timed saves should not pay for flushing these writes
        QApplication::processEvents();
        state.ResumeTiming();
        fenster.dateilisteSeite().DateienOptimieren()->click();
    }
    state.counters["files/s"] = benchmark::Counter(static_cast<double>(satz.anzahl),
                                                   benchmark::Counter::kIsIterationInvariantRate);
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(satz.anzahl * satz.bytes));
}
BENCHMARK_CAPTURE(StapelImFenster, 1000x20KB, Stapelsatz{1000, 20 * 1024})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(StapelImFenster, 10x5MB, Stapelsatz{10, 5 * 1024 * 1024})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// --- The batch list with a site's 100,000 entries, in the shown window: adding them at once (as
// "Ordner hinzufügen..." does, in random order), painting after a scroll to the end, and removing
// the selected entry with Delete.

QStringList sitePfade(int n, unsigned seed) {
    QStringList pfade;
    pfade.reserve(n);
    for (int i = 0; i < n; ++i) {
        pfade << QStringLiteral("/srv/site/ordner%1/Seite%2.htm").arg(i % 1000).arg(i);
    }
    std::mt19937 zufall(seed);
    std::shuffle(pfade.begin(), pfade.end(), zufall);
    return pfade;
}

void DateilisteSchritte(benchmark::State& state) {
    StilleDialoge dialoge;
    KeineShell shell;
    LokaleDateien dateien;
    ui::TForm1 fenster(dialoge, shell, dateien, QStringLiteral("/nirgends/quintaro_optionen.ini"));
    fensterZeigen(state, fenster);
    fenster.Seitenwechsel(ui::Sender::Stapelverarbeitung1);
    QListWidget& liste = *fenster.dateilisteSeite().DateiListbox();
    const QStringList pfade = sitePfade(static_cast<int>(state.range(0)), 1);
    using Uhr = std::chrono::steady_clock;
    double summe[3] = {0, 0, 0};
    for (auto _ : state) {
        liste.clear();
        QApplication::processEvents();
        Uhr::time_point t[4];
        t[0] = Uhr::now();
        ui::sortiertEinfuegen(liste, pfade, true);
        liste.repaint();
        t[1] = Uhr::now();
        liste.scrollToBottom();
        liste.repaint();
        t[2] = Uhr::now();
        liste.setCurrentRow(liste.count() / 2);
        fenster.DateiListboxKeyDown(Qt::Key_Delete);
        liste.repaint();
        t[3] = Uhr::now();
        for (int i = 0; i < 3; ++i) {
            summe[i] += std::chrono::duration<double>(t[i + 1] - t[i]).count();
        }
        state.SetIterationTime(std::chrono::duration<double>(t[3] - t[0]).count());
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["add_ms"] = summe[0] / n * 1e3;
    state.counters["scroll_ms"] = summe[1] / n * 1e3;
    state.counters["delete_ms"] = summe[2] / n * 1e3;
}
BENCHMARK(DateilisteSchritte)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quintaro::bench
