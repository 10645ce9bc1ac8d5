// quintaro-cli's --check, --diff and --report as a process: nothing written, the exit codes, the
// diff that patch applies, and JSON that a real parser reads back.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/dateien.h"
#include "engine/aenderungen.h"
#include "engine/text.h"
#include "optionen_args.h"
#include "prozess.h"

namespace quintaro::cli::test {
namespace {

using quintaro::test::leseRoh;
using quintaro::test::Ordner;
using quintaro::test::schreibeRoh;

// Settings of their own, so that no settings file of the user's gets in.
std::vector<std::string> mit(std::vector<std::string> args) {
    args.insert(args.begin(), {"--settings", "/dev/null"});
    return args;
}

// Everything a run could touch: each name in the folder with its bytes and times.
struct Stand {
    std::map<std::string, std::string> bytes;
    std::map<std::string, std::pair<long, long>> zeiten;
    std::pair<long, long> ordnerZeit;
    bool operator==(const Stand&) const = default;
};
std::pair<long, long> mtime(const std::string& pfad) {
    struct stat st {};
    EXPECT_EQ(::lstat(pfad.c_str(), &st), 0) << pfad;
    return {st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}
Stand stand(const Ordner& dir) {
    Stand s;
    for (const auto& name : dir.namen()) {
        s.bytes[name] = leseRoh(dir / name);
        s.zeiten[name] = mtime(dir / name);
    }
    s.ordnerZeit = mtime(dir.pfad());
    return s;
}

std::string optimiert(const std::string& seite, const std::vector<std::string>& args) {
    const auto r = starte(args, seite);
    EXPECT_EQ(r.exitcode, 0) << r.fehler;
    return r.aus;
}

TEST(CliPruefen, CheckWritesNothingAndItsExitCodeSaysWhetherAPageWouldChange) {
    Ordner dir;
    // Line breaks stay, so that a page can differ from its result in them alone.
    const std::vector<std::string> ohneZu = nur({"SZ", "DKS"});
    const std::string fertig = optimiert(kSeite, ohneZu);
    schreibeRoh(dir / "roh.htm", kSeite);
    schreibeRoh(dir / "fertig.htm", fertig);
    // Only the line breaks differ: the file on disk would still change.
    std::string lf = fertig;
    for (std::size_t i; (i = lf.find("\r\n")) != std::string::npos;) lf.erase(i, 1);
    ASSERT_NE(lf, fertig);
    schreibeRoh(dir / "lf.htm", lf);
    // Only the name would change (DKS).
    schreibeRoh(dir / "GROSS.htm", fertig);
    schreibeRoh(dir / "leer.htm", "");
    schreibeRoh(dir / "fertig.htm.bak", "alt");  // an existing backup is no reason to speak
    const Stand vorher = stand(dir);

    struct Fall {
        const char* name;
        std::vector<std::string> args;
        int exitcode;
        std::vector<std::string> geaendert;  // the files named on standard output
    };
    const Fall faelle[] = {
        {"unchanged pages", {"fertig.htm", "leer.htm"}, 0, {}},
        {"all",
         {"roh.htm", "fertig.htm", "lf.htm", "GROSS.htm", "leer.htm"},
         1,
         {"roh.htm", "lf.htm", "GROSS.htm"}},
        {"a missing file wins", {"roh.htm", "fehlt.htm"}, 3, {"roh.htm"}},
        {"unchanged without DKS", {"--set", "DKS=0", "GROSS.htm"}, 0, {}},
        {"diff and report",
         {"--diff", "--report", "--report=json", "roh.htm", "fertig.htm"},
         1,
         {"roh.htm"}},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.name);
        std::vector<std::string> args = mit(plus(ohneZu, fall.args));
        args.insert(args.begin(), "--check");
        for (auto& a : args) {
            if (a.ends_with(".htm")) a = dir / a;
        }
        const auto r = starte(args, "");
        EXPECT_EQ(r.exitcode, fall.exitcode) << r.fehler;
        std::vector<std::string> genannt;
        std::istringstream zeilen(r.aus);
        for (std::string z; std::getline(zeilen, z);) {
            if (z.starts_with(dir.pfad() + "/")) {
                genannt.push_back(
                    z.substr(dir.pfad().size() + 1, z.find(':') - dir.pfad().size() - 1));
            }
        }
        EXPECT_EQ(genannt, fall.geaendert) << r.aus;
        EXPECT_EQ(stand(dir), vorher) << "a file or the folder changed";
    }
    // Usage errors stay usage errors.
    EXPECT_EQ(starte(mit({"--check", "--report=xml", dir / "roh.htm"}), "").exitcode, 2);

    // Filter mode: standard output stays empty, the verdict goes to standard error.
    const auto roh = starte(plus({"--check"}, ohneZu), kSeite);
    EXPECT_EQ(roh.exitcode, 1);
    EXPECT_EQ(roh.aus, "");
    EXPECT_NE(roh.fehler, "");
    const auto gleich = starte(plus({"--check", "--diff"}, ohneZu), fertig);
    EXPECT_EQ(gleich.exitcode, 0);
    EXPECT_EQ(gleich.aus, "");
    EXPECT_EQ(gleich.fehler, "");
}

// The page as token lines, one token per line as the diff writes them.
std::string tokenZeilen(const std::string& text) {
    std::string zeilen;
    std::size_t anfang = 0;
    for (const auto ende : aenderungsTokens(text)) {
        zeilen += tokenZeile(std::string_view(text).substr(anfang, ende - anfang)) + "\n";
        anfang = ende;
    }
    return zeilen;
}

// patch, which knows nothing of pages, turns the original's token lines into the result's.
TEST(CliPruefen, DiffTurnsTheOriginalsTokenLinesIntoTheResultsUnderPatch) {
    Ordner dir;
    const std::string seite = kSeite + "<p>a\\b\x01 &amp; <i>  c  </i></p>\n" + kSeite;
    for (const auto& args :
         {std::vector<std::string>{}, nur({"KMA", "ZU", "SZ", "LIT"}), nur({"TAB", "DL", "HSB"})}) {
        schreibeRoh(dir / "seite.htm", seite);
        const auto r =
            starte(mit(plus(plus({"--check", "--diff"}, args), {dir / "seite.htm"})), "");
        ASSERT_EQ(r.exitcode, 1) << r.fehler;
        const auto erste = r.aus.find('\n');
        ASSERT_NE(erste, std::string::npos);
        schreibeRoh(dir / "diff", r.aus.substr(erste + 1));
        schreibeRoh(dir / "zeilen", tokenZeilen(umbruecheVereinheitlichen(seite)));
        const std::string befehl =
            "patch -s -f '" + (dir / "zeilen") + "' < '" + (dir / "diff") + "' 2>&1";
        ASSERT_EQ(std::system(befehl.c_str()), 0) << r.aus;
        EXPECT_EQ(leseRoh(dir / "zeilen"), tokenZeilen(optimiert(seite, args)));
        EXPECT_EQ(leseRoh(dir / "seite.htm"), seite);
    }
}

// Python's json module reads each line back; the passes account for every byte of the page as
// read (line breaks made CR LF) and of the result.
TEST(CliBericht, JsonLinesParseAndAccountForEveryByteWhateverTheFileName) {
    Ordner dir;
    const std::vector<std::string> namen = {"a\"b.htm",
                                            "c\\d.htm",
                                            "zeile\nneu.htm",
                                            "tab\tund\x01.htm",
                                            "M\xC3\xBCller \xE2\x82\xAC.htm",
                                            "plain.htm"};
    std::vector<std::string> args = mit({"--report=json"});
    for (const auto& n : namen) {
        schreibeRoh(dir / n, kSeite);
        args.push_back(dir / n);
    }
    const auto r = starte(args, "");
    ASSERT_EQ(r.exitcode, 0) << r.fehler;
    const auto filter = starte({"--report=json"}, kSeite);
    ASSERT_EQ(filter.exitcode, 0);
    schreibeRoh(dir / "zeilen.json", r.fehler + filter.fehler);
    // Per line: the file name's bytes in hex (or "null"), before, after, and whether the passes
    // chain from before to after.
    const char* skript =
        "import json,sys\n"
        "for line in open(sys.argv[1], encoding='utf-8'):\n"
        "    o = json.loads(line)\n"
        "    assert set(o) == {'file','encoding','before','after','passes'}, o\n"
        "    stand = o['before']\n"
        "    for p in o['passes']:\n"
        "        assert p['before'] == stand, o\n"
        "        stand = p['after']\n"
        "    f = 'null' if o['file'] is None else o['file'].encode('utf-8').hex()\n"
        "    print(f, o['encoding'], o['before'], o['after'], stand == o['after'])\n";
    schreibeRoh(dir / "pruefen.py", skript);
    FILE* p = ::popen(
        ("/usr/bin/python3 '" + (dir / "pruefen.py") + "' '" + (dir / "zeilen.json") + "'").c_str(),
        "r");
    ASSERT_NE(p, nullptr);
    std::string aus;
    char puffer[4096];
    for (std::size_t n; (n = std::fread(puffer, 1, sizeof puffer, p)) > 0;) aus.append(puffer, n);
    ASSERT_EQ(::pclose(p), 0) << aus;

    const auto hex = [](const std::string& s) {
        std::string h;
        char b[3];
        for (const char c : s) {
            std::snprintf(b, sizeof b, "%02x", static_cast<unsigned char>(c));
            h += b;
        }
        return h;
    };
    const std::string groessen = " cp1252 " +
                                 std::to_string(umbruecheVereinheitlichen(kSeite).size()) + " " +
                                 std::to_string(optimiert(kSeite, {}).size()) + " True\n";
    std::string erwartet;
    for (const auto& n : namen) erwartet += hex(dir / n) + groessen;
    erwartet += "null" + groessen;
    EXPECT_EQ(aus, erwartet);
}

// The table: per page and, for several, for all; each one's rows add up to its total.
TEST(CliBericht, TableRowsAddUpToTheirTotalPerPageAndForAll) {
    Ordner dir;
    schreibeRoh(dir / "a.htm", kSeite);
    schreibeRoh(dir / "b.htm", kSeite + kSeite + "<!-- noch -->");
    const auto r = starte(mit(plus(nur({"KMA", "AE", "TAB", "ZU", "DL", "SZ"}),
                                   {"--report", dir / "a.htm", dir / "b.htm"})),
                          "");
    ASSERT_EQ(r.exitcode, 0) << r.fehler;
    std::istringstream zeilen(r.fehler);
    int tabellen = 0;
    long long summe = 0;
    std::vector<long long> gesamt;
    for (std::string z; std::getline(zeilen, z);) {
        if (!z.starts_with("  ") || z.starts_with("  pass ")) continue;
        std::istringstream felder(z);
        std::string name, gespart;
        felder >> name >> gespart;
        if (name == "total") {
            EXPECT_EQ(std::stoll(gespart), summe) << r.fehler;
            gesamt.push_back(summe);
            summe = 0;
            ++tabellen;
        } else {
            summe += std::stoll(gespart);
        }
    }
    ASSERT_EQ(tabellen, 3) << r.fehler;
    EXPECT_EQ(gesamt[2], gesamt[0] + gesamt[1]);
    EXPECT_GT(gesamt[0], 0);
}

}  // namespace
}  // namespace quintaro::cli::test
