// Batch runs with dateiOptimieren over 1,000 pages of 20 KB and 10 pages of 5 MB on disk, next to
// their parts (load, backup copy, engine, safe save) to show that a file costs no more than those.
// On a disk the saves' fsync dominates; TMPDIR=/dev/shm measures the work without it.
// With "--anlegen DIR" it only writes the two sets of pages (DIR/20k, DIR/5m) for timing the CLI.
#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "batch/stapel.h"
#include "document/dokument.h"
#include "engine/optimierung.h"
#include "generator.h"

namespace quintaro::bench {
namespace {

namespace fs = std::filesystem;

struct Satz {
    std::size_t anzahl;
    std::size_t bytes;
};
constexpr Satz kKlein{1000, 20 * 1024};
constexpr Satz kGross{10, 5 * 1024 * 1024};

std::string name(std::size_t i) {
    char puffer[32];
    std::snprintf(puffer, sizeof puffer, "seite%04zu.htm", i);
    return puffer;
}

// Different pages (each its own seed), generated once per set.
const std::vector<Text>& seiten(const Satz& satz) {
    static std::map<std::size_t, std::vector<Text>> cache;
    auto& s = cache[satz.bytes];
    if (s.empty()) {
        for (std::size_t i = 0; i < satz.anzahl; ++i) {
            s.push_back(erzeugeSeite({satz.bytes, -1, static_cast<std::uint32_t>(i + 1)}));
        }
    }
    return s;
}

void schreibeRoh(const std::string& pfad, const Text& bytes) {
    std::ofstream(pfad, std::ios::binary | std::ios::trunc) << bytes;
}

void anlegen(const fs::path& ordner, const Satz& satz) {
    fs::create_directories(ordner);
    const auto& s = seiten(satz);
    for (std::size_t i = 0; i < s.size(); ++i) schreibeRoh(ordner / name(i), s[i]);
}

// A scratch folder for one benchmark, removed afterwards.
class Arbeitsordner {
  public:
    Arbeitsordner() {
        std::string vorlage = fs::temp_directory_path() / "quintaro-bench-XXXXXX";
        if (::mkdtemp(vorlage.data()) == nullptr) std::abort();
        pfad_ = vorlage;
    }
    ~Arbeitsordner() {
        std::error_code e;
        fs::remove_all(pfad_, e);
    }
    Arbeitsordner(const Arbeitsordner&) = delete;
    Arbeitsordner& operator=(const Arbeitsordner&) = delete;
    std::string operator/(const std::string& n) const { return pfad_ + "/" + n; }

  private:
    std::string pfad_;
};

// Every file back to its original and no backups: each iteration is a first batch run.
void zuruecksetzen(const Arbeitsordner& ordner, const Satz& satz) {
    const auto& s = seiten(satz);
    for (std::size_t i = 0; i < s.size(); ++i) {
        schreibeRoh(ordner / name(i), s[i]);
        ::unlink((ordner / (name(i) + ".bak")).c_str());
    }
    // Otherwise the timed saves' fsync would also pay for flushing these writes.
    ::sync();
}

void kennzahlen(benchmark::State& state, const Satz& satz) {
    const auto dateien = static_cast<double>(satz.anzahl);
    state.counters["files/s"] =
        benchmark::Counter(dateien, benchmark::Counter::kIsIterationInvariantRate);
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(satz.anzahl * satz.bytes));
}

// The whole batch, each file flushed on its own: for every file load, backup, Optimierung
// "Automatisch", safe save.
void BM_Stapel(benchmark::State& state, Satz satz) {
    Arbeitsordner ordner;
    const Optionsmenge optionen;  // the defaults
    const Ersetzungstabelle tabelle;
    for (auto _ : state) {
        state.PauseTiming();
        zuruecksetzen(ordner, satz);
        state.ResumeTiming();
        for (std::size_t i = 0; i < satz.anzahl; ++i) {
            benchmark::DoNotOptimize(dateiOptimieren(ordner / name(i), optionen, tabelle));
        }
    }
    kennzahlen(state, satz);
}

// The batch as the window and the CLI run it: the saves gathered, one flush per group.
void BM_StapelGesammelt(benchmark::State& state, Satz satz) {
    Arbeitsordner ordner;
    const Optionsmenge optionen;
    const Ersetzungstabelle tabelle;
    for (auto _ : state) {
        state.PauseTiming();
        zuruecksetzen(ordner, satz);
        state.ResumeTiming();
        LokaleDateien dateien;
        dateien.sammeln(true);
        for (std::size_t i = 0; i < satz.anzahl; ++i) {
            benchmark::DoNotOptimize(dateiOptimieren(dateien, ordner / name(i), optionen, tabelle));
            if (dateien.sammlungVoll() && !dateien.abschliessen().empty()) std::abort();
        }
        if (!dateien.abschliessen().empty()) std::abort();
    }
    kennzahlen(state, satz);
}

// The parts of one file's work, each alone over the same files.
enum class Teil { Laden, Sicherung, Engine, Speichern };

void BM_Teil(benchmark::State& state, Satz satz, Teil teil) {
    Arbeitsordner ordner;
    const Optionsmenge optionen;
    const Ersetzungstabelle tabelle;
    const auto& s = seiten(satz);
    std::vector<Text> geladen;
    for (const auto& seite : s) geladen.push_back(umbruecheVereinheitlichen(seite));
    for (auto _ : state) {
        state.PauseTiming();
        zuruecksetzen(ordner, satz);
        state.ResumeTiming();
        for (std::size_t i = 0; i < satz.anzahl; ++i) {
            const std::string pfad = ordner / name(i);
            switch (teil) {
                case Teil::Laden:
                    benchmark::DoNotOptimize(dokumentLesen(pfad).size());
                    break;
                case Teil::Sicherung:
                    benchmark::DoNotOptimize(dateiKopieren(pfad, pfad + ".bak", false));
                    break;
                case Teil::Engine:
                    benchmark::DoNotOptimize(optimiereText(geladen[i], optionen, tabelle).size());
                    break;
                case Teil::Speichern:
                    dokumentSchreiben(pfad, geladen[i]);
                    break;
            }
        }
    }
    kennzahlen(state, satz);
}

BENCHMARK_CAPTURE(BM_Stapel, 1000x20KB, kKlein)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_StapelGesammelt, 1000x20KB, kKlein)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Teil, 1000x20KB_laden, kKlein, Teil::Laden)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Teil, 1000x20KB_sicherung, kKlein, Teil::Sicherung)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Teil, 1000x20KB_engine, kKlein, Teil::Engine)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Teil, 1000x20KB_speichern, kKlein, Teil::Speichern)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_CAPTURE(BM_Stapel, 10x5MB, kGross)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_StapelGesammelt, 10x5MB, kGross)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Teil, 10x5MB_laden, kGross, Teil::Laden)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Teil, 10x5MB_sicherung, kGross, Teil::Sicherung)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Teil, 10x5MB_engine, kGross, Teil::Engine)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Teil, 10x5MB_speichern, kGross, Teil::Speichern)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace quintaro::bench

int main(int argc, char** argv) {
    using namespace quintaro::bench;
    if (argc == 3 && std::string(argv[1]) == "--anlegen") {
        anlegen(fs::path(argv[2]) / "20k", kKlein);
        anlegen(fs::path(argv[2]) / "5m", kGross);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
