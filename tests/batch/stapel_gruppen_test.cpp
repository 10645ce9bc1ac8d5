// Grouped flushing under faults: a batch whose saves are gathered, killed at many moments or
// stopped by a file-size limit midway, leaves every page as it was or completely optimised, every
// backup complete and no temporary file. The expected result of each page comes from the same
// batch saved file by file in another folder. The order of the writes, flushes and names is
// checked as the write layer reports it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <ctime>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "batch/stapel.h"
#include "common/dateien.h"
#include "document/sicher_schreiben.h"

namespace quintaro {
namespace {

using test::leseRoh;
using test::Ordner;
using test::schreibeRoh;

constexpr std::size_t kSeiten = 60;
constexpr std::size_t kGruppe = 7;  // several groups per run

std::string name(std::size_t i) {
    return "seite" + std::to_string(i) + ".htm";
}

// Pages of 1 to 40 KB with spaces, tabs and line breaks to remove.
std::vector<std::string> seiten() {
    std::vector<std::string> s;
    std::mt19937 zufall(7);
    for (std::size_t i = 0; i < kSeiten; ++i) {
        std::string seite = "<html>\n<body>\n";
        const std::size_t ziel = 1024 + zufall() % (40 * 1024);
        while (seite.size() < ziel) {
            seite += "\t<p>  Absatz " + std::to_string(zufall() % 1000) + "   mit  Text </p>\n\n";
        }
        s.push_back(seite + "</body>\n</html>\n");
    }
    return s;
}

void anlegen(const Ordner& ordner, const std::vector<std::string>& s) {
    for (std::size_t i = 0; i < s.size(); ++i) schreibeRoh(ordner / name(i), s[i]);
}

// The batch as the front ends run it, groups of kGruppe pages. Returns the number of failures.
int gesammelt(const Ordner& ordner, unsigned faeden = 1) {
    LokaleDateien dateien;
    dateien.setzeGruppengroesse(kGruppe);
    std::vector<std::string> pfade;
    for (std::size_t i = 0; i < kSeiten; ++i) pfade.push_back(ordner / name(i));
    const auto bilanz = stapelLauf(dateien, pfade, Optionsmenge{}, Ersetzungstabelle{}, {}, {},
                                   Fehlerpolitik::Weitermachen, kMemoKapazitaet, faeden);
    return static_cast<int>(bilanz.fehlgeschlagen);
}

std::size_t sicherungen(const Ordner& ordner) {
    std::size_t n = 0;
    for (const auto& e : ordner.namen()) n += e.ends_with(".bak");
    return n;
}

bool temporaere(const Ordner& ordner) {
    for (const auto& e : ordner.namen()) {
        if (e.starts_with(".quintaro-")) return true;
    }
    return false;
}

class GruppeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        original_ = seiten();
        anlegen(referenz_, original_);
        for (std::size_t i = 0; i < kSeiten; ++i) {
            dateiOptimieren(referenz_ / name(i), Optionsmenge{}, Ersetzungstabelle{});
            optimiert_.push_back(leseRoh(referenz_ / name(i)));
            ASSERT_NE(optimiert_.back(), original_[i]) << i;
        }
    }

    // Every page original or optimised; a backup, where there is one, is the original whole; an
    // optimised page has its backup. Returns how many pages are optimised.
    std::size_t pruefen(const Ordner& ordner, const std::string& fall) const {
        std::size_t fertig = 0;
        for (std::size_t i = 0; i < kSeiten; ++i) {
            const std::string seite = leseRoh(ordner / name(i));
            const bool istOptimiert = seite == optimiert_[i];
            EXPECT_TRUE(istOptimiert || seite == original_[i]) << fall << ": " << name(i);
            const std::string bak = ordner / (name(i) + ".bak");
            if (::access(bak.c_str(), F_OK) == 0) {
                EXPECT_EQ(leseRoh(bak), original_[i]) << fall << ": " << name(i) << ".bak";
            } else {
                EXPECT_FALSE(istOptimiert) << fall << ": " << name(i) << " saved without backup";
            }
            fertig += istOptimiert;
        }
        return fertig;
    }

    void vierWieEiner(bool mitHaken);
    static void schrittePruefen(
        const Ordner& ordner, const std::vector<std::pair<Schreibschritt, std::string>>& schritte);

    Ordner referenz_;
    std::vector<std::string> original_;
    std::vector<std::string> optimiert_;
};

TEST_F(GruppeTest, WithoutFaultsEveryPageIsSavedAsFileByFileAndNoTemporaryFileRemains) {
    Ordner ordner;
    anlegen(ordner, original_);
    EXPECT_EQ(gesammelt(ordner), 0);
    EXPECT_EQ(pruefen(ordner, "no fault"), kSeiten);
    EXPECT_EQ(ordner.namen().size(), 2 * kSeiten);
}

TEST_F(GruppeTest, AKillMidwayLeavesEveryPageWholeEveryBackupCompleteAndNoTemporaryFile) {
    // Each child is killed once it has put a given number of backups in place, a number that
    // moves through the run: the pages of the groups before are saved, later ones not yet. Runs
    // on one thread and on four alternate.
    std::size_t teilweise = 0;
    for (std::size_t schwelle = 3; schwelle < kSeiten - kGruppe; schwelle += 4) {
        Ordner ordner;
        anlegen(ordner, original_);
        const unsigned faeden = schwelle % 8 == 3 ? 4 : 1;
        const pid_t kind = ::fork();
        ASSERT_GE(kind, 0);
        if (kind == 0) {
            gesammelt(ordner, faeden);
            ::_exit(0);
        }
        // Bounded: an undisturbed run takes a fraction of a second.
        for (int runde = 0; runde < 200000 && sicherungen(ordner) < schwelle; ++runde) {
            if (::waitpid(kind, nullptr, WNOHANG) == kind) break;
        }
        ::kill(kind, SIGKILL);
        ::waitpid(kind, nullptr, 0);
        const std::string fall = "after " + std::to_string(schwelle) + " backups, " +
                                 std::to_string(faeden) + " threads";
        const std::size_t fertig = pruefen(ordner, fall);
        teilweise += fertig > 0 && fertig < kSeiten;
        // Unnamed while written, a page's new file has a hidden name for a moment before it
        // replaces the page. One left by the kill is gone with the next save in the folder, once
        // it is old enough not to be a live run's.
        for (const auto& e : ordner.namen()) {
            if (!e.starts_with(".quintaro-")) continue;
            const timespec zeiten[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 3600, 0}};
            ::utimensat(AT_FDCWD, (ordner / e).c_str(), zeiten, AT_SYMLINK_NOFOLLOW);
        }
        dokumentSchreiben(ordner / "danach.htm", "x");
        EXPECT_FALSE(temporaere(ordner)) << fall;
    }
    // The check above had teeth only where a kill landed midway.
    EXPECT_GT(teilweise, 0U);
}

// Every page takes its name only after its bytes and its backup's name are on disk, and the
// folder's names are flushed after the pages took theirs. Fails when a flush goes missing or
// comes after the name it guards.
TEST_F(GruppeTest, FlushesComeBeforeTheNamesTheyGuard) {
    Ordner ordner;
    anlegen(ordner, original_);
    std::vector<std::pair<Schreibschritt, std::string>> schritte;
    beobachteSchreiben(
        [&](Schreibschritt s, const std::string& p) { schritte.emplace_back(s, p); });
    EXPECT_EQ(gesammelt(ordner), 0);
    beobachteSchreiben(nullptr);
    schrittePruefen(ordner, schritte);
}

void GruppeTest::schrittePruefen(
    const Ordner& ordner, const std::vector<std::pair<Schreibschritt, std::string>>& schritte) {
    std::size_t geprueft = 0;
    for (std::size_t i = 0; i < kSeiten; ++i) {
        SCOPED_TRACE(name(i));
        const std::string seite = ordner / name(i);
        const auto stelle = [&](Schreibschritt art, const std::string& pfad, std::size_t ab = 0) {
            for (std::size_t k = ab; k < schritte.size(); ++k) {
                if (schritte[k].first == art && schritte[k].second == pfad) return k;
            }
            return schritte.size();
        };
        const auto erste = [&](Schreibschritt art, std::size_t ab) {
            for (std::size_t k = ab; k < schritte.size(); ++k) {
                if (schritte[k].first == art) return k;
            }
            return schritte.size();
        };
        const std::size_t geschrieben = stelle(Schreibschritt::Geschrieben, seite);
        const std::size_t sicherung = stelle(Schreibschritt::Benannt, seite + ".bak");
        const std::size_t benannt = stelle(Schreibschritt::Benannt, seite, geschrieben);
        ASSERT_LT(benannt, schritte.size());
        ASSERT_LT(sicherung, benannt);
        // The bytes (page and backup) on disk before either takes a name.
        EXPECT_LT(erste(Schreibschritt::Platte, geschrieben), sicherung);
        // The backup's name on disk before the page is replaced.
        EXPECT_LT(erste(Schreibschritt::OrdnerAufPlatte, sicherung), benannt);
        // The page's name on disk before the run ends.
        EXPECT_LT(erste(Schreibschritt::OrdnerAufPlatte, benannt), schritte.size());
        ++geprueft;
    }
    EXPECT_EQ(geprueft, kSeiten);
}

// Every third page has a second name, so its backup is a copy, which the limit stops too; the
// other backups are further names of their originals and write nothing.
TEST_F(GruppeTest, AFileSizeLimitMidwayFailsTheLargerPagesAndLosesNothing) {
    Ordner ordner;
    anlegen(ordner, original_);
    const auto kopiert = [](std::size_t i) { return i % 3 == 0; };
    for (std::size_t i = 0; i < kSeiten; ++i) {
        if (kopiert(i)) {
            ASSERT_EQ(::link((ordner / name(i)).c_str(), (ordner / (name(i) + ".zweit")).c_str()),
                      0);
        }
    }
    constexpr rlim_t kGrenze = 20 * 1024;
    const pid_t kind = ::fork();
    ASSERT_GE(kind, 0);
    if (kind == 0) {
        const rlimit grenze{kGrenze, kGrenze};
        ::signal(SIGXFSZ, SIG_IGN);
        if (::setrlimit(RLIMIT_FSIZE, &grenze) != 0) ::_exit(100);
        ::_exit(gesammelt(ordner) > 0 ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(kind, &status, 0), kind);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    pruefen(ordner, "file-size limit");
    std::size_t gross[2] = {0, 0};
    for (std::size_t i = 0; i < kSeiten; ++i) {
        const bool passt =
            optimiert_[i].size() <= kGrenze && (!kopiert(i) || original_[i].size() <= kGrenze);
        gross[kopiert(i) ? 1 : 0] += !passt;
        EXPECT_EQ(leseRoh(ordner / name(i)), passt ? optimiert_[i] : original_[i]) << name(i);
        // A second name still leads to the original.
        if (kopiert(i)) {
            EXPECT_EQ(leseRoh(ordner / (name(i) + ".zweit")), original_[i]);
        }
    }
    EXPECT_GT(gross[0], 0U);
    EXPECT_GT(gross[1], 0U);
    // No temporary file left: pages, second names and the backups that were made (a page that
    // failed had one too large to copy).
    EXPECT_EQ(ordner.namen().size(), 2 * kSeiten + kSeiten / 3 - gross[0] - gross[1]);
    EXPECT_FALSE(temporaere(ordner));
}

// Four threads write the same bytes as one and the same messages in the same order, also around
// failures: one that is missing, a folder, an empty page, a page too large, and, where the front
// end hooks into each page, a file listed twice (read ahead before its first save). With hooks the
// writes, flushes and names come in the same order too; without, the threads write runs of pages
// of their own.
TEST_F(GruppeTest, FourThreadsDoWhatOneDoesInTheSameOrder) {
    for (const bool mitHaken : {true, false}) {
        SCOPED_TRACE(mitHaken ? "hooks" : "no hooks");
        vierWieEiner(mitHaken);
    }
}

void GruppeTest::vierWieEiner(bool mitHaken) {
    struct Lauf {
        Ordner ordner;
        std::vector<std::string> ereignisse;
    };
    const auto laufen = [&](Lauf& lauf, unsigned faeden) {
        const std::string wurzel = lauf.ordner.pfad();
        anlegen(lauf.ordner, original_);
        schreibeRoh(lauf.ordner / "leer.htm", "");
        schreibeRoh(lauf.ordner / "gross.htm", std::string(70 * 1024, ' '));
        ::mkdir((lauf.ordner / "ordner.htm").c_str(), 0755);
        std::vector<std::string> pfade;
        for (std::size_t i = 0; i < kSeiten; ++i) {
            pfade.push_back(lauf.ordner / name(i));
            if (i == 10 && mitHaken) pfade.push_back(lauf.ordner / name(8));
            if (i == 20) pfade.push_back(lauf.ordner / "fehlt.htm");
            if (i == 30) pfade.push_back(lauf.ordner / "ordner.htm");
            if (i == 40) pfade.push_back(lauf.ordner / "leer.htm");
            if (i == 50) pfade.push_back(lauf.ordner / "gross.htm");
        }
        const auto relativ = [&](std::string p) {
            for (auto stelle = p.find(wurzel); stelle != std::string::npos;
                 stelle = p.find(wurzel)) {
                p.replace(stelle, wurzel.size(), "ORDNER");
            }
            return p;
        };
        auto& e = lauf.ereignisse;
        StapelHaken haken;
        if (mitHaken) {
            beobachteSchreiben([&](Schreibschritt s, const std::string& p) {
                e.push_back("schritt " + std::to_string(static_cast<int>(s)) + " " + relativ(p));
            });
            haken.meldung = [&](const std::string& text) { e.push_back("meldung " + text); };
            haken.geladen = [&](const std::string& p, std::int32_t groesse, const Text&) {
                e.push_back("geladen " + relativ(p) + " " + std::to_string(groesse));
            };
        }
        StapelMelder melder;
        melder.beginnt = [&](std::size_t i, std::size_t n, const std::string& p) {
            e.push_back("beginnt " + std::to_string(i) + "/" + std::to_string(n) + relativ(p));
        };
        melder.fertig = [&](std::size_t i, const std::string& p, const StapelErgebnis& r) {
            e.push_back("fertig " + std::to_string(i) + relativ(p) + " " +
                        std::to_string(static_cast<int>(r.status)) + " " +
                        std::to_string(r.optimiertGroesse) + " " + relativ(r.sicherung.pfad) +
                        (r.sicherung.behalten ? " behalten" : ""));
        };
        melder.fehler = [&](const std::string& p, const std::string& meldung) {
            e.push_back("fehler " + relativ(p) + " " + relativ(meldung));
        };
        LokaleDateien dateien;
        dateien.setzeGruppengroesse(kGruppe);
        const auto bilanz = stapelLauf(dateien, pfade, Optionsmenge{}, Ersetzungstabelle{}, haken,
                                       melder, Fehlerpolitik::Weitermachen, 64 * 1024, faeden);
        beobachteSchreiben(nullptr);
        EXPECT_EQ(bilanz.fehlgeschlagen, 3U) << faeden << " threads";
    };
    Lauf eins, vier;
    laufen(eins, 1);
    laufen(vier, 4);
    EXPECT_EQ(vier.ereignisse, eins.ereignisse);
    EXPECT_EQ(vier.ordner.namen(), eins.ordner.namen());
    for (const auto& n : eins.ordner.namen()) {
        if (n == "ordner.htm") continue;
        EXPECT_EQ(leseRoh(vier.ordner / n), leseRoh(eins.ordner / n)) << n;
    }
    // The page listed twice was run twice: its backup is the original.
    EXPECT_EQ(leseRoh(vier.ordner / (name(8) + ".bak")), original_[8]);
    EXPECT_EQ(pruefen(vier.ordner, "four threads"), kSeiten);
}

// A user whose process limit allows no further thread (shared hosting often sets one): a run
// asked to take four threads takes the one it has, and every page is saved.
TEST_F(GruppeTest, WithoutThreadsToStartTheRunTakesItsOwn) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to become another user";
    Ordner ordner;
    anlegen(ordner, original_);
    ::chmod(ordner.pfad().c_str(), 0777);
    for (std::size_t i = 0; i < kSeiten; ++i) ::chmod((ordner / name(i)).c_str(), 0666);
    const pid_t kind = ::fork();
    ASSERT_GE(kind, 0);
    if (kind == 0) {
        // nobody, with no process or thread beyond this one.
        const rlimit grenze{1, 1};
        if (::setgid(65534) != 0 || ::setuid(65534) != 0 ||
            ::setrlimit(RLIMIT_NPROC, &grenze) != 0) {
            ::_exit(100);
        }
        try {
            ::_exit(gesammelt(ordner, 4) == 0 ? 0 : 1);
        } catch (...) {
            ::_exit(2);
        }
    }
    int status = 0;
    ASSERT_EQ(::waitpid(kind, &status, 0), kind);
    ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(pruefen(ordner, "no thread to start"), kSeiten);
}

// With four threads too, every page takes its name only after its bytes and its backup's name
// are on disk, and the folder's names are flushed after the pages took theirs.
TEST_F(GruppeTest, FlushesComeBeforeTheNamesTheyGuardOnFourThreadsToo) {
    Ordner ordner;
    anlegen(ordner, original_);
    std::mutex sperre;
    std::vector<std::pair<Schreibschritt, std::string>> schritte;
    beobachteSchreiben([&](Schreibschritt s, const std::string& p) {
        const std::lock_guard lock(sperre);
        schritte.emplace_back(s, p);
    });
    EXPECT_EQ(gesammelt(ordner, 4), 0);
    beobachteSchreiben(nullptr);
    EXPECT_EQ(pruefen(ordner, "four threads"), kSeiten);
    schrittePruefen(ordner, schritte);
}

}  // namespace
}  // namespace quintaro
