// Walking a site's folders, judged by find(1) over a random tree with hidden entries, backups,
// preview files, links to files and folders (a cycle among them) and a folder that cannot be
// read.
#include "document/ordnersuche.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <sstream>

#include "common/dateien.h"
#include "engine/pfade.h"

namespace quintaro {
namespace {

using test::Ordner;
using test::schreibeRoh;

// find's answer: files (or links to files) whose name matches any pattern ignoring case, not
// hidden nor below a hidden folder, not a backup nor the preview, in byte order.
std::vector<std::string> mitFind(const std::string& wurzel,
                                 const std::vector<std::string>& muster) {
    std::string befehl = "find '" + wurzel + "' -mindepth 1 -name '.*' -prune -o \\( -type f -o " +
                         "-xtype f \\) ! -name '*.bak' ! -name '" + std::string(kVorschauName) +
                         "' \\(";
    for (std::size_t i = 0; i < muster.size(); ++i) {
        befehl += (i > 0 ? " -o" : "") + std::string(" -iname '*") + muster[i] + "'";
    }
    befehl += " \\) -print 2>/dev/null | LC_ALL=C sort";
    std::vector<std::string> zeilen;
    FILE* aus = ::popen(befehl.c_str(), "r");
    if (aus == nullptr) return zeilen;
    char puffer[4096];
    while (std::fgets(puffer, sizeof puffer, aus) != nullptr) {
        std::string z = puffer;
        if (!z.empty() && z.back() == '\n') z.pop_back();
        zeilen.push_back(z);
    }
    ::pclose(aus);
    return zeilen;
}

TEST(EndungPasst, WildcardsAndLetterCase) {
    const struct {
        const char* name;
        const char* muster;
        const char* datei;
        bool passt;
    } faelle[] = {
        {"star at the end", ".htm*", "a.html", true},
        {"star matches nothing", ".htm*", "a.htm", true},
        {"letter case ignored", ".htm*", "INDEX.HTM", true},
        {"only the ending", ".htm*", "a.htm.txt", true},
        {"other ending", ".htm*", "a.php", false},
        {"question mark is one character", ".s?tml", "a.s\xc3\xa4tml", true},
        {"question mark needs one", ".s?tml", "a.stml", false},
        {"backtracking", ".a*b", "x.aab.ab", true},
    };
    for (const auto& f : faelle) EXPECT_EQ(endungPasst(f.muster, f.datei), f.passt) << f.name;
}

TEST(OrdnerDurchsuchen, FindsWhatFindFindsAndReportsAnUnreadableFolder) {
    Ordner ordner;
    const std::string wurzel = ordner / "site";
    std::mt19937 zufall(22);
    const char* namen[] = {"index.htm", "Seite.HTML", "a.shtml", "b.txt",  ".versteckt.htm",
                           "c.htm.bak", "d.php",      "e.htm",   "f.SHTM", "g.htmx"};
    std::vector<std::string> ordnerListe{wurzel};
    ::mkdir(wurzel.c_str(), 0755);
    for (int i = 0; i < 40; ++i) {
        const std::string& oben = ordnerListe[zufall() % ordnerListe.size()];
        const std::string unter =
            oben + "/" + (zufall() % 5 == 0 ? ".git" : "o") + std::to_string(i);
        ::mkdir(unter.c_str(), 0755);
        ordnerListe.push_back(unter);
    }
    for (const auto& o : ordnerListe) {
        for (const char* n : namen) {
            if (zufall() % 2 == 0) schreibeRoh(o + "/" + n, "<p>x</p>");
        }
        if (zufall() % 4 == 0) schreibeRoh(o + "/" + std::string(kVorschauName), "v");
        // Links to the folder above (a cycle), to a folder outside, to a file, and a dangling one.
        ASSERT_EQ(::symlink("..", (o + "/zurueck.htm").c_str()), 0);
        ASSERT_EQ(::symlink(ordner.pfad().c_str(), (o + "/draussen").c_str()), 0);
        ASSERT_EQ(::symlink("../index.htm", (o + "/verweis.htm").c_str()), 0);
        ASSERT_EQ(::symlink("fehlt.htm", (o + "/tot.htm").c_str()), 0);
    }
    const std::string gesperrt = ordnerListe[7];
    schreibeRoh(gesperrt + "/drin.htm", "x");
    ::chmod(gesperrt.c_str(), 0);

    const std::vector<std::string> muster{".htm*", ".shtm*"};
    // As an unprivileged user, so that the locked folder is locked even for root.
    const int code = test::imKind([&] {
        if (!test::alsNiemand()) return 10;
        const auto inhalt = ordnerDurchsuchen(wurzel, muster);
        const auto erwartet = mitFind(wurzel, muster);
        if (erwartet.size() < 20) return 11;  // the judge must have found something
        if (inhalt.dateien != erwartet) {
            for (const auto& d : inhalt.dateien) std::fprintf(stderr, "walk: %s\n", d.c_str());
            for (const auto& d : erwartet) std::fprintf(stderr, "find: %s\n", d.c_str());
            return 12;
        }
        if (inhalt.fehler.size() != 1 || inhalt.fehler[0].pfad != gesperrt + "/") return 13;
        return 0;
    });
    ::chmod(gesperrt.c_str(), 0755);
    EXPECT_EQ(code, 0);

    // A folder that does not exist is one failure and nothing found.
    const auto fehlt = ordnerDurchsuchen(ordner / "fehlt", muster);
    EXPECT_TRUE(fehlt.dateien.empty());
    EXPECT_EQ(fehlt.fehler.size(), 1U);
}

TEST(Suchmuster, FewerThanTwoEntriesGiveTheFixedPattern) {
    EXPECT_EQ(suchmuster({}), std::vector<std::string>{".htm*"});
    EXPECT_EQ(suchmuster({".php"}), std::vector<std::string>{".htm*"});
    EXPECT_EQ(suchmuster({".php", ".asp"}), (std::vector<std::string>{".php", ".asp"}));
}

}  // namespace
}  // namespace quintaro
