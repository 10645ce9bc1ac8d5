// A whole site through quintaro-cli -r, as a web author runs it: generated pages in folders on
// disk, the whole process with --jobs 1 and with every core in the same run, wall time, pages per
// second and the process's largest resident set.
//
//   quintaro_site_bench [PAGES] [FOLDERS] [KB] [DIR]
//
// Defaults: 100,000 pages of 20 KB in 1,000 folders, below /tmp. The site is generated afresh for
// each run, so that both start from the same bytes, and removed after it.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "generator.h"

extern char** environ;

namespace {

using namespace quintaro;

// A few distinct pages, varied by seed, written round-robin: generating every page would take
// longer than optimising it.
void seiteAnlegen(const std::string& wurzel, long seiten, long ordner, std::size_t bytes) {
    std::vector<Text> vorlagen;
    for (std::uint32_t s = 1; s <= 16; ++s) vorlagen.push_back(bench::erzeugeSeite({bytes, -1, s}));
    std::filesystem::create_directories(wurzel);
    for (long o = 0; o < ordner; ++o) {
        std::filesystem::create_directory(wurzel + "/ordner" + std::to_string(o));
    }
    for (long i = 0; i < seiten; ++i) {
        const std::string pfad =
            wurzel + "/ordner" + std::to_string(i % ordner) + "/seite" + std::to_string(i) + ".htm";
        const Text& t = vorlagen[static_cast<std::size_t>(i) % vorlagen.size()];
        const int fd = ::open(pfad.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 || ::write(fd, t.data(), t.size()) != static_cast<ssize_t>(t.size())) {
            std::perror(pfad.c_str());
            std::exit(1);
        }
        ::close(fd);
    }
    ::sync();
}

struct Messung {
    double sekunden = 0;
    double cpu = 0;  // user and system time of the process, all threads
    double spitzeMib = 0;
    int status = -1;
};

Messung lauf(const std::string& wurzel, const std::string& jobs) {
    const char* anderes = std::getenv("QUINTARO_CLI");
    std::string programm = anderes != nullptr && *anderes != '\0' ? anderes : QUINTARO_CLI;
    std::vector<std::string> args{programm, "-r", "--jobs", jobs, wurzel};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t aktionen;
    posix_spawn_file_actions_init(&aktionen);
    posix_spawn_file_actions_addopen(&aktionen, 1, "/dev/null", O_WRONLY, 0);
    Messung m;
    const auto start = std::chrono::steady_clock::now();
    pid_t kind = 0;
    if (posix_spawn(&kind, programm.c_str(), &aktionen, nullptr, argv.data(), environ) != 0) {
        return m;
    }
    posix_spawn_file_actions_destroy(&aktionen);
    int status = 0;
    rusage verbrauch{};
    if (wait4(kind, &status, 0, &verbrauch) != kind) return m;
    m.sekunden = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.spitzeMib = static_cast<double>(verbrauch.ru_maxrss) / 1024.0;
    const auto sek = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    m.cpu = sek(verbrauch.ru_utime) + sek(verbrauch.ru_stime);
    m.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return m;
}

}  // namespace

int main(int argc, char** argv) {
    const long seiten = argc > 1 ? std::atol(argv[1]) : 100000;
    const long ordnerZahl = argc > 2 ? std::atol(argv[2]) : 1000;
    const auto kb = static_cast<std::size_t>(argc > 3 ? std::atol(argv[3]) : 20);
    const std::string basis = (argc > 4 ? std::string(argv[4]) : std::string("/tmp")) +
                              "/quintaro_site_bench_" + std::to_string(::getpid());
    if (seiten <= 0 || ordnerZahl <= 0 || kb == 0) {
        std::fprintf(stderr, "usage: %s [PAGES] [FOLDERS] [KB] [DIR]\n", argv[0]);
        return 2;
    }
    const unsigned kerne = std::max(1U, std::thread::hardware_concurrency());
    const std::string alle = std::to_string(kerne);
    std::printf("site: %ld pages of %zu KB in %ld folders below %s, %u cores\n", seiten, kb,
                ordnerZahl, basis.c_str(), kerne);
    // Each run gets a site of its own, generated just before it and removed after it, so that
    // both start from the same state of the disk and the page cache: the second run does not
    // meet the first one's files.
    double anlegen = 0;
    const auto einLauf = [&](const std::string& ordner, const std::string& jobs) {
        const auto anlegenStart = std::chrono::steady_clock::now();
        seiteAnlegen(ordner, seiten, ordnerZahl, kb * 1024);
        anlegen +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - anlegenStart).count();
        const Messung m = lauf(ordner, jobs);
        std::filesystem::remove_all(ordner);
        ::sync();
        return m;
    };
    const Messung eins = einLauf(basis + "/eins", "1");
    const Messung mehr = einLauf(basis + "/alle", alle);
    std::printf("generated in %.1f s\n", anlegen);
    const auto zeile = [&](const char* name, const Messung& m) {
        std::printf("%-10s exit %d  %8.2f s  %8.0f pages/s  %7.1f MiB peak  %6.1f s CPU\n", name,
                    m.status, m.sekunden, static_cast<double>(seiten) / m.sekunden, m.spitzeMib,
                    m.cpu);
    };
    zeile("--jobs 1", eins);
    zeile(("--jobs " + alle).c_str(), mehr);
    std::printf("speed-up %.2f\n", eins.sekunden / mehr.sekunden);
    std::filesystem::remove_all(basis);
    return eins.status == 0 && mehr.status == 0 ? 0 : 1;
}
