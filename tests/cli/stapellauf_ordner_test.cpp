// quintaro-cli over a whole site: folders among the FILE arguments with -r, --filter, and Ctrl+C
// in the middle of a run on several threads.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "common/dateien.h"
#include "prozess.h"

extern char** environ;

namespace quintaro::cli::test {
namespace {

using quintaro::test::leseRoh;
using quintaro::test::Ordner;
using quintaro::test::schreibeRoh;

const std::string kTextseite =
    "<html>\n<body>\n\t<p>  Seite   mit  Text </p>\n\n</body>\n</html>\n";

TEST(CliOrdner, FoldersWithRecursiveFiltersAndFailuresOfSingleArguments) {
    Ordner dir;
    const std::string site = dir / "site";
    for (const char* o : {"", "/a", "/a/b", "/.git", "/gesperrt"})
        ::mkdir((site + o).c_str(), 0755);
    for (const char* f : {"/index.htm", "/a/x.HTML", "/a/b/y.shtml", "/a/b/z.php", "/.git/h.htm",
                          "/gesperrt/g.htm", "/a/alt.htm.bak"}) {
        schreibeRoh(site + f, kTextseite);
    }
    // The run below is an unprivileged user's, who must be able to write the site.
    for (const char* p :
         {"", "/a", "/a/b", "/.git", "/gesperrt", "/index.htm", "/a/x.HTML", "/a/b/y.shtml",
          "/a/b/z.php", "/.git/h.htm", "/gesperrt/g.htm", "/a/alt.htm.bak"}) {
        ASSERT_EQ(::chown((site + p).c_str(), 65534, 65534), 0) << p;
    }
    const std::string einzeln = dir / "einzeln.htm";
    schreibeRoh(einzeln, kTextseite);
    const auto optimiert = [&](const std::string& p) { return leseRoh(p) != kTextseite; };

    // Without -r a folder fails alone; the file after it is done.
    Lauf ohne;
    ohne.args = {"--set", "DKS=0", site, einzeln};
    auto r = starte(ohne);
    EXPECT_EQ(r.exitcode, 1);
    EXPECT_NE(r.fehler.find(site), std::string::npos);
    EXPECT_TRUE(optimiert(einzeln));
    EXPECT_FALSE(optimiert(site + "/index.htm"));

    // --filter replaces the filters; an unreadable folder fails and the rest goes on.
    Lauf mit;
    mit.args = {"--set",    "DKS=0", "-r",     "--filter", ".php",
                "--filter", ".htm*", "--jobs", "3",        site};
    const int code = quintaro::test::imKind([&] {
        ::chmod((site + "/gesperrt").c_str(), 0);
        if (!quintaro::test::alsNiemand()) return 10;
        r = starte(mit);
        return r.exitcode == 1 && r.fehler.find(site + "/gesperrt/") != std::string::npos ? 0 : 11;
    });
    ::chmod((site + "/gesperrt").c_str(), 0755);
    EXPECT_EQ(code, 0);
    for (const char* f : {"/index.htm", "/a/x.HTML", "/a/b/z.php"}) {
        EXPECT_TRUE(optimiert(site + f)) << f;
        EXPECT_EQ(leseRoh(site + f + ".bak"), kTextseite) << f;
    }
    for (const char* f : {"/a/b/y.shtml", "/.git/h.htm", "/gesperrt/g.htm", "/a/alt.htm.bak"}) {
        EXPECT_FALSE(optimiert(site + f)) << f;
    }
}

std::size_t zaehle(const std::string& ordner, const std::string& endung) {
    std::size_t n = 0;
    DIR* d = ::opendir(ordner.c_str());
    if (d == nullptr) return 0;
    while (const dirent* e = ::readdir(d)) n += std::string(e->d_name).ends_with(endung);
    ::closedir(d);
    return n;
}

// Ctrl+C once the first group is in place: the run ends with 130 after putting what it has in
// place; every page is as it was or optimised with its backup, and nothing is half-written.
TEST(CliOrdner, CtrlCStopsTheRunAndLeavesEveryPageWholeOrOptimised) {
    Ordner dir;
    constexpr int kOrdner = 10;
    constexpr int kSeiten = 400;
    const std::string referenz = dir / "referenz.htm";
    schreibeRoh(referenz, kTextseite);
    ASSERT_EQ(starte({"--set", "DKS=0", referenz}, "").exitcode, 0);
    const std::string erwartet = leseRoh(referenz);
    ASSERT_NE(erwartet, kTextseite);
    const std::string site = dir / "site";
    ::mkdir(site.c_str(), 0755);
    for (int o = 0; o < kOrdner; ++o) {
        const std::string ordner = site + "/o" + std::to_string(o);
        ::mkdir(ordner.c_str(), 0755);
        for (int s = 0; s < kSeiten; ++s) {
            schreibeRoh(ordner + "/s" + std::to_string(s) + ".htm", kTextseite);
        }
    }

    const std::string fehler = dir / "fehler.txt";
    posix_spawn_file_actions_t aktionen;
    posix_spawn_file_actions_init(&aktionen);
    posix_spawn_file_actions_addopen(&aktionen, 2, fehler.c_str(), O_WRONLY | O_CREAT, 0644);
    std::vector<std::string> args{QUINTARO_CLI, "--set", "DKS=0", "-r", "--jobs", "4", site};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t kind = 0;
    ASSERT_EQ(::posix_spawn(&kind, QUINTARO_CLI, &aktionen, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&aktionen);
    // The first folder's backups appear when the first group is put in place.
    int status = 0;
    bool zuEnde = false;
    for (int runde = 0; runde < 2000000 && !zuEnde; ++runde) {
        if (zaehle(site + "/o0", ".bak") > 0) break;
        zuEnde = ::waitpid(kind, &status, WNOHANG) == kind;
    }
    if (!zuEnde) {
        ::kill(kind, SIGINT);
        ASSERT_EQ(::waitpid(kind, &status, 0), kind);
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130) << leseRoh(fehler);
    EXPECT_NE(leseRoh(fehler).find("interrupted"), std::string::npos);

    std::size_t fertig = 0, unberuehrt = 0;
    for (int o = 0; o < kOrdner; ++o) {
        const std::string ordner = site + "/o" + std::to_string(o);
        for (int s = 0; s < kSeiten; ++s) {
            const std::string seite = ordner + "/s" + std::to_string(s) + ".htm";
            const std::string inhalt = leseRoh(seite);
            const bool hatSicherung = ::access((seite + ".bak").c_str(), F_OK) == 0;
            if (inhalt == erwartet) {
                ++fertig;
                EXPECT_TRUE(hatSicherung) << seite;
            } else {
                ++unberuehrt;
                EXPECT_EQ(inhalt, kTextseite) << seite;
            }
            if (hatSicherung) {
                EXPECT_EQ(leseRoh(seite + ".bak"), kTextseite) << seite;
            }
        }
        // No temporary file left behind: pages and backups only.
        for (const auto& name : quintaro::test::eintraege(ordner)) {
            if (name == "." || name == "..") continue;
            EXPECT_TRUE(name.ends_with(".htm") || name.ends_with(".htm.bak")) << name;
        }
    }
    EXPECT_GT(fertig, 0U);
    EXPECT_GT(unberuehrt, 0U);
}

}  // namespace
}  // namespace quintaro::cli::test
