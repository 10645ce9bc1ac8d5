// Measures the peak memory of one whole text run in its own process: the high-water mark of the
// resident set while the run works, less what the process held before the page existed.
#include <fstream>
#include <iostream>
#include <string>

#include "engine/optimierung.h"
#include "generator.h"

namespace {

long statusKb(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key + ":", 0) == 0) return std::stol(line.substr(key.size() + 1));
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quintaro;
    const long mb = argc > 1 ? std::stol(argv[1]) : 10;
    const long kommentare = argc > 2 ? std::stol(argv[2]) : -1;

    const long vorher = statusKb("VmRSS");
    Text seite = bench::erzeugeSeite({static_cast<std::size_t>(mb) << 20, kommentare, 1});
    const std::size_t eingabe = seite.size();
    // Start the high-water mark afresh so that the generator's own peak does not count.
    { std::ofstream("/proc/self/clear_refs") << "5"; }
    const long mitSeite = statusKb("VmRSS");

    Optionsmenge o;
    o.set(KMA, true);
    o.set(FPW, true);
    // The caller keeps its page, as the editor does during a run.
    const Text ergebnis = optimiereText(seite, o, Ersetzungstabelle());
    const long spitze = statusKb("VmHWM");

    const double nutz = static_cast<double>(eingabe + ergebnis.size()) / 1024.0;
    std::cout << "input_bytes " << eingabe << "\noutput_bytes " << ergebnis.size()
              << "\nrss_before_page_kb " << vorher << "\nrss_with_page_kb " << mitSeite
              << "\npeak_kb " << spitze << "\npeak_over_baseline_kb " << spitze - vorher
              << "\nratio_to_input_plus_output " << static_cast<double>(spitze - vorher) / nutz
              << "\n";
    return 0;
}
