// Saves that fail must lose nothing: the old file stays byte for byte, with its permission bits,
// and no temporary file is left. Faults come from a dropped user id, a vanished folder, a
// read-only file system and a file-size limit in a forked child.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <atomic>
#include <ctime>
#include <ostream>
#include <thread>

#include "common/dateien.h"
#include "document/dokument.h"
#include "document/ein_ausgabe.h"
#include "document/lokale_dateien.h"
#include "document/sicher_schreiben.h"
#include "engine/dateifehler.h"

namespace quintaro {
namespace {

using test::eintraege;
using test::leseRoh;
using test::modus;
using test::Ordner;
using test::schreibeRoh;

const std::string kAlt = "<html>\r\nalter Inhalt \xe4\xf6\xfc\r\n</html>";

// Child exit codes of a save that is meant to fail.
constexpr int kFehlerWieErwartet = 0;
constexpr int kKeinFehler = 1;
constexpr int kFalscherText = 2;
constexpr int kVorbereitung = 3;

// An empty `grund` accepts any reason the system gives.
int speichernSollScheitern(const std::string& path, const Text& text, const std::string& grund) {
    try {
        dokumentSchreiben(path, text);
    } catch (const DateiFehler& e) {
        const std::string anfang = "Datei \"" + path + "\" kann nicht erstellt werden. ";
        const std::string meldung = e.what();
        const bool passt = grund.empty()
                               ? meldung.size() > anfang.size() && meldung.starts_with(anfang)
                               : meldung == anfang + grund;
        return passt ? kFehlerWieErwartet : kFalscherText;
    }
    return kKeinFehler;
}

// The state of a folder and one file in it, to compare before and after a failed save.
struct Stand {
    std::set<std::string> namen;
    std::string inhalt;
    mode_t rechte;
    bool operator==(const Stand&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const Stand& s) {
        out << s.namen.size() << " entries, mode " << std::oct << s.rechte << std::dec
            << ", content \"" << s.inhalt << '"';
        return out;
    }
};

Stand stand(const Ordner& dir, const std::string& datei) {
    return {eintraege(dir.pfad()), leseRoh(datei), modus(datei)};
}

void schreibbarFuerAlle(const std::string& path) {
    ::chmod(path.c_str(), 0777);
}

TEST(SicheresSpeichern, AReadOnlyFileIsKept) {
    Ordner dir;
    const std::string datei = dir / "seite.htm";
    schreibeRoh(datei, kAlt);
    ::chmod(datei.c_str(), 0444);
    schreibbarFuerAlle(dir.pfad());
    const Stand vorher = stand(dir, datei);

    const int code = test::imKind([&] {
        if (!test::alsNiemand()) return kVorbereitung;
        return speichernSollScheitern(datei, "neu", "");
    });
    EXPECT_EQ(code, kFehlerWieErwartet);
    EXPECT_EQ(stand(dir, datei), vorher);
}

TEST(SicheresSpeichern, AReadOnlyFolderWritesTheFileInPlace) {
    // The file itself is writable, but no temporary file can be made beside it: the document is
    // written in place (not atomically), keeping its mode. The settings file is not: it is
    // refused rather than risked.
    Ordner dir;
    const std::string datei = dir / "seite.htm";
    schreibeRoh(datei, kAlt);
    ::chmod(datei.c_str(), 0666);
    ::chmod(dir.pfad().c_str(), 0555);
    const Stand vorher = stand(dir, datei);

    const int code = test::imKind([&] {
        if (!test::alsNiemand()) return kVorbereitung;
        dokumentSchreiben(datei, "neu");
        if (!sicherSchreiben(datei, "anders")) return 1;
        return leseRoh(datei) == "neu" ? 0 : 1;
    });
    EXPECT_EQ(code, 0);
    Stand nachher = vorher;
    nachher.inhalt = "neu";
    EXPECT_EQ(stand(dir, datei), nachher);
}

TEST(SicheresSpeichern, NewFileInAReadOnlyFolder) {
    Ordner dir;
    ::chmod(dir.pfad().c_str(), 0555);
    const int code = test::imKind([&] {
        if (!test::alsNiemand()) return kVorbereitung;
        return speichernSollScheitern(dir / "neu.htm", "neu", "Keine Berechtigung");
    });
    EXPECT_EQ(code, kFehlerWieErwartet);
    EXPECT_EQ(eintraege(dir.pfad()), (std::set<std::string>{".", ".."}));
}

TEST(SicheresSpeichern, ReadOnlyFileSystem) {
    // /proc accepts no new files, even from root.
    EXPECT_EQ(speichernSollScheitern("/proc/quintaro_seite.htm", "neu", ""), kFehlerWieErwartet);
    EXPECT_FALSE(dateiExistiert("/proc/quintaro_seite.htm"));
}

TEST(SicheresSpeichern, AVanishedFolder) {
    Ordner dir;
    const std::string unter = dir / "unter";
    ::mkdir(unter.c_str(), 0755);
    const std::string datei = unter + "/seite.htm";
    ::rmdir(unter.c_str());
    EXPECT_EQ(speichernSollScheitern(datei, "neu", "Datei oder Verzeichnis nicht gefunden"),
              kFehlerWieErwartet);
    EXPECT_EQ(eintraege(dir.pfad()), (std::set<std::string>{".", ".."}));
}

// The file grows past the limit while being written: the write fails part way through.
int mitGroessenlimit(rlim_t limit, const std::function<int()>& pruefung) {
    return test::imKind([&] {
        const test::Dateigrenze grenze(limit);
        return grenze.gesetzt() ? pruefung() : kVorbereitung;
    });
}

TEST(SicheresSpeichern, AnAbortMidwayLosesNothing) {
    Ordner dir;
    const std::string datei = dir / "seite.htm";
    schreibeRoh(datei, kAlt);
    ::chmod(datei.c_str(), 0640);
    const Stand vorher = stand(dir, datei);
    const Text gross(1 << 20, 'n');

    const int code = mitGroessenlimit(
        64 * 1024, [&] { return speichernSollScheitern(datei, gross, "Datei zu groß"); });
    EXPECT_EQ(code, kFehlerWieErwartet);
    EXPECT_EQ(stand(dir, datei), vorher);

    // The same save without the limit goes through and keeps the permission bits.
    dokumentSchreiben(datei, gross);
    EXPECT_EQ(leseRoh(datei), gross);
    EXPECT_EQ(modus(datei), 0640u);
}

TEST(SicheresSpeichern, AnAbortWhileCopyingLeavesNoHalfCopy) {
    Ordner dir;
    const std::string quelle = dir / "seite.htm";
    const std::string bak = dir / "seite.htm.bak";
    schreibeRoh(quelle, std::string(1 << 20, 'q'));

    // Without overwriting: no target appears at all.
    EXPECT_EQ(mitGroessenlimit(64 * 1024, [&] { return dateiKopieren(quelle, bak, false); }), 0);
    EXPECT_EQ(eintraege(dir.pfad()), (std::set<std::string>{".", "..", "seite.htm"}));

    // Overwriting: the old backup stays whole.
    schreibeRoh(bak, kAlt);
    const Stand vorher = stand(dir, bak);
    EXPECT_EQ(mitGroessenlimit(64 * 1024, [&] { return dateiKopieren(quelle, bak, true); }), 0);
    EXPECT_EQ(stand(dir, bak), vorher);
}

TEST(SicheresSpeichern, CopyingIntoAReadOnlyFolder) {
    Ordner dir;
    const std::string quelle = dir / "seite.htm";
    schreibeRoh(quelle, kAlt);
    ::chmod(dir.pfad().c_str(), 0555);
    const Stand vorher = stand(dir, quelle);
    const int code = test::imKind([&] {
        if (!test::alsNiemand()) return kVorbereitung;
        return static_cast<int>(dateiKopieren(quelle, dir / "seite.htm.bak", false)) +
               static_cast<int>(dateiKopieren(quelle, dir / "seite.htm.bak", true));
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(stand(dir, quelle), vorher);
}

// A killed process's named temporary files go with the next save in their folder; a live
// process's (it holds its lock) and a young one's stay.
TEST(SicheresSpeichern, StaleTemporaryFilesOfAKilledRunAreRemovedByTheNextSave) {
    Ordner dir;
    const auto anlegen = [&](const std::string& name, bool alt) {
        const std::string p = dir / name;
        schreibeRoh(p, "seiteninhalt");
        if (alt) {
            const timespec zeiten[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 3600, 0}};
            ::utimensat(AT_FDCWD, p.c_str(), zeiten, 0);
        }
        return p;
    };
    anlegen(".quintaro-verwaist", true);
    anlegen(".quintaro-kopie-AbCdEf", true);
    anlegen(".quintaro-jung00", false);
    const Deskriptor gehalten(::open(anlegen(".quintaro-lebt00", true).c_str(), O_RDONLY));
    ASSERT_EQ(::flock(gehalten.get(), LOCK_EX), 0);
    anlegen(".quintaroX", true);  // not one of ours

    dokumentSchreiben(dir / "seite.htm", "neu");
    EXPECT_EQ(dir.namen(), (std::set<std::string>{".quintaro-jung00", ".quintaro-lebt00",
                                                  ".quintaroX", "seite.htm"}));
}

// With unnamed temporary files a save killed midway leaves nothing behind.
TEST(SicheresSpeichern, ASaveKilledMidwayLeavesNoTemporaryFile) {
    Ordner dir;
    const std::string datei = dir / "seite.htm";
    schreibeRoh(datei, kAlt);
    int rohr[2];
    ASSERT_EQ(::pipe(rohr), 0);
    const pid_t kind = ::fork();
    ASSERT_GE(kind, 0);
    if (kind == 0) {
        // The bytes come from a pipe that only ever sends a part: the save hangs midway.
        ::close(rohr[1]);
        static_cast<void>(ersetzenOhneVerweis(
            datei, [&](int fd) { return allesKopieren(rohr[0], fd); }, 0644));
        ::_exit(0);
    }
    ::close(rohr[0]);
    ASSERT_EQ(allesSchreiben(rohr[1], std::string(64 * 1024, 'x')), 0);
    ::kill(kind, SIGKILL);
    ::waitpid(kind, nullptr, 0);
    ::close(rohr[1]);
    EXPECT_EQ(dir.namen(), std::set<std::string>{"seite.htm"});
    EXPECT_EQ(leseRoh(datei), kAlt);
}

// A new file's mode is asked for while other threads make files (a batch on several threads):
// learning it must not change the process's umask even for a moment, or their files would be
// made world-writable.
TEST(SicheresSpeichern, ANewFilesModeIsLearntWithoutTouchingTheUmask) {
    Ordner dir;
    const mode_t alt = ::umask(022);
    std::atomic<bool> fertig{false};
    std::thread frager([&] {
        while (!fertig) EXPECT_EQ(neuerModus(), mode_t{0644});
    });
    std::size_t falsch = 0;
    for (int i = 0; i < 5000; ++i) {
        const std::string datei = dir / "f";
        const Deskriptor fd(::open(datei.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        ASSERT_GE(fd.get(), 0);
        falsch += modus(datei) != 0644;
        ::unlink(datei.c_str());
    }
    fertig = true;
    frager.join();
    ::umask(alt);
    EXPECT_EQ(falsch, 0U);
}

}  // namespace
}  // namespace quintaro

namespace quintaro {
namespace {

// A gathered backup is a further name of its original only where the page gets a new file in
// the same group: afterwards no backup shares its file with anything, whether its page was
// saved (a, whose backup keeps the original's times), left unsaved (b), had a second name (c) or
// could not take its new file (d, whose name became a folder meanwhile, its file living on under
// another name).
TEST(Schreibgruppen, NoBackupSharesItsFileWithAPage) {
    Ordner ordner;
    for (const char* n : {"a.htm", "b.htm", "c.htm", "d.htm"}) schreibeRoh(ordner / n, kAlt);
    ASSERT_EQ(::link((ordner / "c.htm").c_str(), (ordner / "c2.htm").c_str()), 0);
    // A saved page's backup is its original: its times and permission bits too.
    const timespec alt[2] = {{978307200, 0}, {978307200, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (ordner / "a.htm").c_str(), alt, 0), 0);
    ASSERT_EQ(::chmod((ordner / "a.htm").c_str(), 0640), 0);
    {
        LokaleDateien dateien;
        dateien.sammeln(true);
        for (const char* n : {"a.htm", "b.htm", "c.htm", "d.htm"}) {
            dateien.kopieren(ordner / n, ordner / (std::string(n) + ".bak"), false);
        }
        for (const char* n : {"a.htm", "c.htm", "d.htm"})
            dateien.stapelSchreiben(ordner / n, "neu");
        ASSERT_EQ(::rename((ordner / "d.htm").c_str(), (ordner / "d2.htm").c_str()), 0);
        ASSERT_EQ(::mkdir((ordner / "d.htm").c_str(), 0755), 0);
        const auto fehler = dateien.abschliessen();
        ASSERT_EQ(fehler.size(), 1U);
        EXPECT_EQ(fehler[0].pfad, ordner / "d.htm");
    }
    EXPECT_EQ(leseRoh(ordner / "a.htm"), "neu");
    EXPECT_EQ(leseRoh(ordner / "b.htm"), kAlt);
    EXPECT_EQ(leseRoh(ordner / "c.htm"), "neu");
    EXPECT_EQ(leseRoh(ordner / "c2.htm"), kAlt);
    EXPECT_EQ(leseRoh(ordner / "d2.htm"), kAlt);
    for (const auto& n : ordner.namen()) {
        if (!n.ends_with(".bak")) continue;
        SCOPED_TRACE(n);
        struct stat st {};
        ASSERT_EQ(::stat((ordner / n).c_str(), &st), 0);
        EXPECT_EQ(st.st_nlink, 1U);
        EXPECT_EQ(leseRoh(ordner / n), kAlt);
    }
    for (const char* n : {"a.htm.bak", "b.htm.bak", "c.htm.bak"}) {
        EXPECT_EQ(::access((ordner / n).c_str(), F_OK), 0) << n;
    }
    struct stat bak {};
    ASSERT_EQ(::stat((ordner / "a.htm.bak").c_str(), &bak), 0);
    EXPECT_EQ(bak.st_mtim.tv_sec, alt[1].tv_sec);
    EXPECT_EQ(bak.st_mode & 07777, 0640U);
}

}  // namespace
}  // namespace quintaro
