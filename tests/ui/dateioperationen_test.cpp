// Local file operations: exact bytes, sizes, copies with and without overwriting, and writes
// that fail with the user's message and leave the old file intact.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "engine/umgebung.h"
#include "ui/dateioperationen.h"

namespace quintaro::ui {
namespace {

class LokaleDateienTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    LokaleDateien dateien;
    std::string pfad(const char* name) const {
        return dir.filePath(QString::fromUtf8(name)).toStdString();
    }
    Text lesen(const std::string& p) const {
        QFile f(QString::fromStdString(p));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll().toStdString();
    }
};

TEST_F(LokaleDateienTest, WritesEveryByteExactly) {
    Text alle;
    for (int b = 0; b < 256; ++b) alle.push_back(static_cast<char>(b));
    alle += "\r\n\n\r";
    dateien.schreiben(pfad("a.htm"), alle);
    EXPECT_EQ(lesen(pfad("a.htm")), alle);
    EXPECT_EQ(dateien.groesse(pfad("a.htm")), static_cast<std::int32_t>(alle.size()));
    dateien.schreiben(pfad("a.htm"), "kurz");
    EXPECT_EQ(lesen(pfad("a.htm")), "kurz");
}

TEST_F(LokaleDateienTest, SizesAndExistence) {
    EXPECT_EQ(dateien.groesse(pfad("fehlt.htm")), -1);
    EXPECT_EQ(dateien.groesse(""), -1);
    EXPECT_FALSE(dateien.existiert(pfad("fehlt.htm")));
    EXPECT_FALSE(dateien.existiert(""));
    dateien.schreiben(pfad("leer.htm"), "");
    EXPECT_EQ(dateien.groesse(pfad("leer.htm")), 0);
    EXPECT_TRUE(dateien.existiert(pfad("leer.htm")));
    EXPECT_EQ(dateien.groesse(dir.path().toStdString()), 0) << "a folder has size 0";
    EXPECT_FALSE(dateien.existiert(dir.path().toStdString())) << "a folder is no file";
}

TEST_F(LokaleDateienTest, CopyKeepsOrOverwritesTheTarget) {
    dateien.schreiben(pfad("s.htm"), "neu");
    dateien.schreiben(pfad("s.htm.bak"), "alt");
    EXPECT_FALSE(dateien.kopieren(pfad("s.htm"), pfad("s.htm.bak"), false));
    EXPECT_EQ(lesen(pfad("s.htm.bak")), "alt");
    EXPECT_TRUE(dateien.kopieren(pfad("s.htm"), pfad("s.htm.bak"), true));
    EXPECT_EQ(lesen(pfad("s.htm.bak")), "neu");
    EXPECT_TRUE(dateien.kopieren(pfad("s.htm"), pfad("t.htm"), false));
    EXPECT_EQ(lesen(pfad("t.htm")), "neu");
    EXPECT_FALSE(dateien.kopieren(pfad("fehlt.htm"), pfad("u.htm"), true));
    EXPECT_FALSE(dateien.existiert(pfad("u.htm")));
}

TEST_F(LokaleDateienTest, FailedWriteNamesTheFileAndKeepsTheOldOne) {
    const std::string ordner = pfad("brelkon_quintaro_temp_datei.html");
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(ordner)));
    try {
        dateien.schreiben(ordner, "x");
        FAIL() << "writing over a folder must fail";
    } catch (const DateiFehler& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("Datei \"" + ordner + "\" kann nicht erstellt werden. ", 0), 0u)
            << text;
    }
    EXPECT_THROW(dateien.schreiben(pfad("fehlt/a.htm"), "x"), DateiFehler);
    EXPECT_THROW(dateien.schreiben("", "x"), DateiFehler);
}

TEST_F(LokaleDateienTest, Delete) {
    dateien.schreiben(pfad("d.htm"), "x");
    EXPECT_TRUE(dateien.loeschen(pfad("d.htm")));
    EXPECT_FALSE(dateien.existiert(pfad("d.htm")));
    EXPECT_FALSE(dateien.loeschen(pfad("d.htm")));
}

}  // namespace
}  // namespace quintaro::ui
