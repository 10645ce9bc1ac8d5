#include "richter.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace quintaro::test {

namespace fs = std::filesystem;

namespace {

void schreibe(const fs::path& p, const std::string& s) {
    std::ofstream out(p, std::ios::binary);
    out << s;
}

std::string schluessel(const Optionsmenge& o) {
    std::string s;
    for (int i = 0; i < kOptionCount; ++i) {
        if (o[i]) s += std::string(kOptionen[static_cast<std::size_t>(i)].key) + " ";
    }
    return s;
}

}  // namespace

std::vector<std::string> richte(const std::vector<RichterFall>& faelle) {
    std::string muster = (fs::temp_directory_path() / "quintaro-richter-XXXXXX").string();
    if (mkdtemp(muster.data()) == nullptr) {
        ADD_FAILURE() << "no folder for the judge";
        return {"no folder"};
    }
    const fs::path ordner = muster;
    for (std::size_t i = 0; i < faelle.size(); ++i) {
        const RichterFall& f = faelle[i];
        const std::string n = std::to_string(i);
        schreibe(ordner / (n + ".vorher"), f.vorher);
        schreibe(ordner / (n + ".nachher"), f.nachher);
        schreibe(ordner / (n + ".info"),
                 std::string(f.kodierung == Kodierung::Utf8 ? "utf-8" : "cp1252") + "\n" +
                     schluessel(f.optionen) + "\n");
    }
    const std::string befehl = "/usr/bin/python3 " QUINTARO_SOURCE_DIR
                               "/tests/engine/hsb_richter.py '" +
                               ordner.string() + "' 2>&1";
    std::vector<std::string> befunde;
    std::string alles;
    if (FILE* p = popen(befehl.c_str(), "r")) {
        char puffer[4096];
        std::size_t n;
        while ((n = fread(puffer, 1, sizeof puffer, p)) > 0) alles.append(puffer, n);
        const int status = pclose(p);
        if (status != 0) {
            ADD_FAILURE() << "the judge failed (python3-html5lib installed?):\n" << alles;
            befunde.push_back("judge failed");
        }
    }
    fs::remove_all(ordner);
    // A few pages html5lib cannot read at all; they prove nothing, but must stay few.
    std::size_t uebersprungen = 0;
    for (std::size_t p = alles.find("UEBERSPRUNGEN "); p != std::string::npos;
         p = alles.find("UEBERSPRUNGEN ", p + 1)) {
        ++uebersprungen;
    }
    EXPECT_LE(uebersprungen * 50, faelle.size()) << alles;
    const std::string zusammen =
        std::to_string(faelle.size() - uebersprungen) + " passed, 0 failed";
    if (befunde.empty() && alles.find(zusammen) == std::string::npos) {
        // Each finding starts "FEHLER n:" and runs to the next.
        std::size_t p = alles.find("FEHLER ");
        while (p != std::string::npos) {
            const std::size_t q = alles.find("\nFEHLER ", p + 1);
            const std::size_t e = q == std::string::npos ? alles.rfind('\n', alles.size() - 2) : q;
            befunde.push_back(alles.substr(p, e - p));
            p = q == std::string::npos ? q : q + 1;
        }
        if (befunde.empty()) befunde.push_back(alles);
    }
    return befunde;
}

}  // namespace quintaro::test
