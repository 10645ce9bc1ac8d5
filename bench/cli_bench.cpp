// The whole process of quintaro-cli in filter mode: start-up, reading standard input from a file,
// the run, writing standard output to /dev/null and ending, as a user's shell pipeline has it.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "generator.h"

extern char** environ;

namespace quintaro::bench {
namespace {

constexpr long kMB = 1 << 20;

// The benchmark page (defaults of the generator) as a file; returns its size.
std::int64_t seitenDatei(const std::string& pfad, long bytes) {
    const Text seite = erzeugeSeite({static_cast<std::size_t>(bytes), -1, 1});
    std::ofstream(pfad, std::ios::binary).write(seite.data(), static_cast<long>(seite.size()));
    return static_cast<std::int64_t>(seite.size());
}

// Runs quintaro-cli with the defaults plus KMA and FPW, standard input from `pfad` (or, with
// `rohr`, from a pipe this process fills with the file's bytes, as `cat page | quintaro-cli`),
// standard output to /dev/null; returns false when it did not end with 0.
bool einLauf(const std::string& pfad, rusage& verbrauch, const std::string* rohr = nullptr) {
    posix_spawn_file_actions_t aktionen;
    posix_spawn_file_actions_init(&aktionen);
    int enden[2] = {-1, -1};
    if (rohr != nullptr) {
        if (::pipe2(enden, O_CLOEXEC) != 0) return false;
        posix_spawn_file_actions_adddup2(&aktionen, enden[0], 0);
    } else {
        posix_spawn_file_actions_addopen(&aktionen, 0, pfad.c_str(), O_RDONLY, 0);
    }
    posix_spawn_file_actions_addopen(&aktionen, 1, "/dev/null", O_WRONLY, 0);
    // QUINTARO_CLI in the environment names another build to compare with.
    const char* anderes = std::getenv("QUINTARO_CLI");
    std::string programm = anderes != nullptr && *anderes != '\0' ? anderes : QUINTARO_CLI;
    std::string set = "--set";
    std::string kma = "KMA=1";
    std::string fpw = "FPW=1";
    char* argv[] = {programm.data(), set.data(), kma.data(), set.data(), fpw.data(), nullptr};
    pid_t kind = 0;
    const int fehler = posix_spawn(&kind, programm.c_str(), &aktionen, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&aktionen);
    if (rohr != nullptr) {
        ::close(enden[0]);
        std::size_t geschrieben = 0;
        while (fehler == 0 && geschrieben < rohr->size()) {
            const ssize_t n =
                ::write(enden[1], rohr->data() + geschrieben, rohr->size() - geschrieben);
            if (n <= 0) break;
            geschrieben += static_cast<std::size_t>(n);
        }
        ::close(enden[1]);
    }
    if (fehler != 0) return false;
    int status = 0;
    if (wait4(kind, &status, 0, &verbrauch) != kind) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double sekunden(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

// Wall time per process; the counters give its CPU time and page faults per run and the
// largest resident set.
void CliProzess(benchmark::State& state) {
    const std::string pfad = "/tmp/quintaro_cli_bench_" + std::to_string(getpid()) + ".htm";
    const std::int64_t groesse = seitenDatei(pfad, state.range(0));
    double nutzer = 0;
    double system = 0;
    double fehlseiten = 0;
    double spitze = 0;
    for (auto _ : state) {
        rusage verbrauch{};
        const auto start = std::chrono::steady_clock::now();
        if (!einLauf(pfad, verbrauch)) {
            state.SkipWithError("quintaro-cli failed");
            break;
        }
        const auto ende = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(ende - start).count());
        nutzer += sekunden(verbrauch.ru_utime);
        system += sekunden(verbrauch.ru_stime);
        fehlseiten += static_cast<double>(verbrauch.ru_minflt);
        spitze = std::max(spitze, static_cast<double>(verbrauch.ru_maxrss) / 1024.0);
    }
    std::remove(pfad.c_str());
    const auto n = static_cast<double>(state.iterations());
    state.counters["user_ms"] = nutzer / n * 1e3;
    state.counters["sys_ms"] = system / n * 1e3;
    state.counters["faults"] = fehlseiten / n;
    state.counters["max_rss_mib"] = spitze;
    state.SetBytesProcessed(state.iterations() * groesse);
}

double kleinster(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

// The same page from a pipe: the buffer cannot be sized beforehand.
void CliProzessRohr(benchmark::State& state) {
    const Text seite = erzeugeSeite({static_cast<std::size_t>(state.range(0)), -1, 1});
    const std::string inhalt(seite.begin(), seite.end());
    double spitze = 0;
    double fehlseiten = 0;
    for (auto _ : state) {
        rusage verbrauch{};
        const auto start = std::chrono::steady_clock::now();
        if (!einLauf({}, verbrauch, &inhalt)) {
            state.SkipWithError("quintaro-cli failed");
            break;
        }
        const auto ende = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(ende - start).count());
        fehlseiten += static_cast<double>(verbrauch.ru_minflt);
        spitze = std::max(spitze, static_cast<double>(verbrauch.ru_maxrss) / 1024.0);
    }
    state.counters["faults"] = fehlseiten / static_cast<double>(state.iterations());
    state.counters["max_rss_mib"] = spitze;
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(inhalt.size()));
}

BENCHMARK(CliProzessRohr)
    ->Arg(10 * kMB)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", kleinster);

BENCHMARK(CliProzess)
    ->Arg(0)
    ->Arg(kMB)
    ->Arg(10 * kMB)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", kleinster);

}  // namespace
}  // namespace quintaro::bench

BENCHMARK_MAIN();
