// Sizes of the pages (*.htm*) in a folder before and after a run with HSB=1 KMA=1 FPW=1 (the other
// options at their defaults, no replacement rows), one line per page and the total; the results are
// written to RESULT_FOLDER when given (not empty), and KEY=0|1 arguments change options. Last, what
// each pass saved over all pages.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/optimierung.h"

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    using namespace quintaro;
    if (argc < 2) {
        std::cerr << "usage: quintaro_korpus_groesse FOLDER [RESULT_FOLDER [KEY=0|1]...]\n";
        return 2;
    }
    std::vector<fs::path> seiten;
    for (const auto& e : fs::directory_iterator(argv[1])) {
        if (e.is_regular_file() && e.path().extension().string().rfind(".htm", 0) == 0) {
            seiten.push_back(e.path());
        }
    }
    std::sort(seiten.begin(), seiten.end());
    Optionsmenge o;
    o.set(HSB, true);
    o.set(KMA, true);
    o.set(FPW, true);
    for (int i = 3; i < argc; ++i) {
        const std::string a = argv[i];
        const auto key = optionZumSchluessel(a.substr(0, a.find('=')));
        if (key && a.size() > 2) o.set(*key, a.back() == '1');
    }
    std::size_t vorher = 0;
    std::size_t nachher = 0;
    std::map<std::string, std::size_t> gespart;
    for (const auto& p : seiten) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        const Text original = s.str();
        Text ergebnis = umbruecheVereinheitlichen(original);
        const Ersetzungstabelle tabelle;
        KeineFragen keine;
        for (const Passbericht& b :
             laufen(ergebnis, {o, tabelle, kodierungErmitteln(ergebnis)}, keine).passes)
            gespart[b.schluessel] += b.vorher - b.nachher;
        if (argc > 2 && argv[2][0] != '\0')
            std::ofstream(fs::path(argv[2]) / p.filename(), std::ios::binary) << ergebnis;
        std::cout << p.filename().string() << '\t' << original.size() << '\t' << ergebnis.size()
                  << '\n';
        vorher += original.size();
        nachher += ergebnis.size();
    }
    std::cout << "total\t" << vorher << '\t' << nachher << '\n';
    for (const auto& [schluessel, bytes] : gespart)
        std::cout << "saved by " << schluessel << '\t' << bytes << '\n';
}
