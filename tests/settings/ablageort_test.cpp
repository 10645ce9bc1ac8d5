// Where the settings file is read and written: the portable copy beside the program against the
// per-user file, run as an unprivileged user so that a read-only program folder counts for root.
#include "settings/ablageort.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "common/dateien.h"
#include "common/tabelle.h"
#include "settings/einstellungen.h"

namespace quintaro {
namespace {

using test::alsNiemand;
using test::imKind;
using test::Ordner;
using test::schreibeRoh;

enum class Xdg { Gesetzt, Fehlt, Leer, Relativ };
enum class Ort { Neben, ImXdg, ImHome };

struct Fall {
    const char* name;
    bool nebenDatei;          // quintaro_optionen.ini beside the program
    bool ordnerBeschreibbar;  // the program's folder
    bool nutzerDatei;         // the per-user file exists already
    Xdg xdg;
    Ort erwartet;
};

const Fall kFaelle[] = {
    {"PortableCopyInWritableFolder", true, true, false, Xdg::Gesetzt, Ort::Neben},
    {"PortableCopyWinsOverUserFile", true, true, true, Xdg::Gesetzt, Ort::Neben},
    {"ReadOnlyFolderMeansUserFile", true, false, false, Xdg::Gesetzt, Ort::ImXdg},
    {"ReadOnlyFolderBothFiles", true, false, true, Xdg::Gesetzt, Ort::ImXdg},
    {"NoFileInWritableFolder", false, true, false, Xdg::Gesetzt, Ort::ImXdg},
    {"NoFileReadOnlyFolder", false, false, true, Xdg::Gesetzt, Ort::ImXdg},
    {"XdgUnset", false, false, false, Xdg::Fehlt, Ort::ImHome},
    {"XdgEmpty", false, true, false, Xdg::Leer, Ort::ImHome},
    {"XdgRelativeIsIgnored", true, false, false, Xdg::Relativ, Ort::ImHome},
};

class Ablageort : public ::testing::TestWithParam<Fall> {};

TEST_P(Ablageort, Rule) {
    const Fall& f = GetParam();
    Ordner dir;
    const std::string programm = dir / "bin";
    const std::string xdg = dir / "xdg";
    const std::string home = dir / "home";
    ::mkdir(programm.c_str(), 0777);
    if (f.nebenDatei) schreibeRoh(iniPfad(programm), "[Optionen]\n");
    ::chmod(programm.c_str(), f.ordnerBeschreibbar ? 0777 : 0555);

    const std::string imXdg = xdg + "/quintaro/" + std::string(kIniName);
    const std::string imHome = home + "/.config/quintaro/" + std::string(kIniName);
    if (f.nutzerDatei) {
        const std::string datei = f.xdg == Xdg::Gesetzt ? imXdg : imHome;
        ASSERT_TRUE(ordnerFuerDateiAnlegen(datei));
        schreibeRoh(datei, "[Optionen]\n");
    }
    const std::string xdgWert = f.xdg == Xdg::Gesetzt ? xdg : f.xdg == Xdg::Relativ ? "xdg" : "";
    const char* xdgArg = f.xdg == Xdg::Fehlt ? nullptr : xdgWert.c_str();
    const std::string erwartet = f.erwartet == Ort::Neben   ? iniPfad(programm)
                                 : f.erwartet == Ort::ImXdg ? imXdg
                                                            : imHome;

    EXPECT_EQ(imKind([&] {
                  if (!alsNiemand()) return 2;
                  const std::string ist = einstellungsDatei(programm, xdgArg, home.c_str());
                  if (ist == erwartet) return 0;
                  std::fprintf(stderr, "got %s\n", ist.c_str());
                  return 1;
              }),
              0)
        << "expected " << erwartet;
}

INSTANTIATE_TEST_SUITE_P(Faelle, Ablageort, ::testing::ValuesIn(kFaelle),
                         ::quintaro::test::ZeilenName{});

// The whole way of an installed program: the copy beside it in a read-only folder stays as it is,
// and the save creates the per-user folders (private) and the file there.
TEST(AblageortSpeichern, NeverWritesIntoTheProgramFolder) {
    Ordner dir;
    const std::string programm = dir / "bin";
    ::mkdir(programm.c_str(), 0755);
    schreibeRoh(iniPfad(programm), "[Optionen]\nZU=0\n");
    ::chmod(dir.pfad().c_str(), 0777);
    const std::string xdg = dir / "neu/config";

    EXPECT_EQ(imKind([&] {
                  if (!alsNiemand()) return 2;
                  const std::string datei = einstellungsDatei(programm, xdg.c_str(), "/");
                  if (datei != xdg + "/quintaro/quintaro_optionen.ini") return 3;
                  Einstellungen e;
                  e.optionen.set(ZU, false);
                  IniSpeichern(datei, e, "Alles");
                  if (einstellungenLesen(datei, Einstellungen{}).einstellungen.optionen[ZU])
                      return 4;
                  return einstellungsDatei(programm, xdg.c_str(), "/") == datei ? 0 : 5;
              }),
              0);
    EXPECT_EQ(test::leseRoh(iniPfad(programm)), "[Optionen]\nZU=0\n");
    EXPECT_EQ(test::modus(dir / "neu"), 0700u);
    EXPECT_EQ(test::modus(xdg + "/quintaro"), 0700u);
}

}  // namespace
}  // namespace quintaro
