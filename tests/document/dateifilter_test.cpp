// Filter strings of the file dialogs and their QFileDialog form.
#include "document/dateifilter.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace quintaro {
namespace {

TEST(DateinamePruefen, RefusesOnlyTheFiveCharacters) {
    for (const char* gut : {"", ".htm", ".htm*", ".s?tm", ".a b", ".x:y", ".x/y", "\xe4"}) {
        EXPECT_TRUE(DateinamePruefen(gut)) << gut;
    }
    for (const char* schlecht : {".h\"tm", ".<htm", ".htm>", ".h\\", "|", ".a|b"}) {
        EXPECT_FALSE(DateinamePruefen(schlecht)) << schlecht;
    }
}

TEST(DateifilterText, PatternsFromTheList) {
    const struct {
        const char* name;
        std::vector<std::string> eintraege;
        std::string filter;
    } faelle[] = {
        {"leer", {}, "Webdokumente|*.htm*;|Alle Dateien|*.*"},
        {"ein Eintrag gibt das feste Muster", {".php"}, "Webdokumente|*.htm*;|Alle Dateien|*.*"},
        {"Vorgabe", {".htm*", ".shtm*"}, "Webdokumente|*.htm*;*.shtm*|Alle Dateien|*.*"},
        {"drei in Listenfolge",
         {".xml", ".asp", ".htm*"},
         "Webdokumente|*.xml;*.asp;*.htm*|Alle Dateien|*.*"},
        {"doppelt", {".htm", ".htm"}, "Webdokumente|*.htm;*.htm|Alle Dateien|*.*"},
        {"leere Eintraege", {"", ""}, "Webdokumente|*;*|Alle Dateien|*.*"},
        {"Bytes unveraendert", {".h\xe4m", ".x"}, "Webdokumente|*.h\xe4m;*.x|Alle Dateien|*.*"},
    };
    for (const auto& fall : faelle) {
        EXPECT_EQ(dateifilterText(fall.eintraege), fall.filter) << fall.name;
    }
}

TEST(Dateiendung, FromTheLastDotOfTheFileName) {
    const std::pair<const char*, const char*> faelle[] = {
        {"/web/index.html", ".html"},  {"/web/seite.htm", ".htm"},
        {"/web/archiv.tar.gz", ".gz"}, {"/web/datei", ""},
        {"/web.d/datei", ""},          {"/web/.htaccess", ".htaccess"},
        {"/web/datei.", "."},          {"", ""},
        {"seite.shtml", ".shtml"},
    };
    for (const auto& [pfad, endung] : faelle) EXPECT_EQ(dateiendung(pfad), endung) << pfad;
}

TEST(SpeicherfilterText, ByTheExtension) {
    EXPECT_EQ(speicherfilterText(".htm"), ".htm|.htm|Alle Dateien|*.*");
    EXPECT_EQ(speicherfilterText(".html"), ".html|.html|Alle Dateien|*.*");
    EXPECT_EQ(speicherfilterText(""), "||Alle Dateien|*.*");
}

TEST(DialogNamensfilter, ConvertsTheBarList) {
    const struct {
        const char* filter;
        QStringList erwartet;
    } faelle[] = {
        {"Webdokumente|*.htm*;*.shtm*|Alle Dateien|*.*",
         {u"Webdokumente (*.htm* *.shtm*)"_s, u"Alle Dateien (*)"_s}},
        {"Webdokumente|*.htm*;|Alle Dateien|*.*",
         {u"Webdokumente (*.htm*)"_s, u"Alle Dateien (*)"_s}},
        {".html|.html|Alle Dateien|*.*", {u".html (*.html)"_s, u"Alle Dateien (*)"_s}},
        {"||Alle Dateien|*.*", {u"Alle Dateien (*)"_s}},
        {"|*.x|Rest", {u"*.x (*.x)"_s}},
        {"A|;;*.a;;*.b;", {u"A (*.a *.b)"_s}},
        {"", {}},
    };
    for (const auto& fall : faelle) {
        EXPECT_EQ(dialogNamensfilter(QString::fromUtf8(fall.filter)), fall.erwartet) << fall.filter;
    }
}

TEST(DialogNamensfilter, FromListAndDocument) {
    EXPECT_EQ(oeffnenDialogfilter({".h\xe4m", ".shtm*"}),
              (QStringList{QString::fromUtf8("Webdokumente (*.h\xc3\xa4m *.shtm*)"),
                           u"Alle Dateien (*)"_s}));
    EXPECT_EQ(oeffnenDialogfilter({".xml"}),
              (QStringList{u"Webdokumente (*.htm*)"_s, u"Alle Dateien (*)"_s}));
    EXPECT_EQ(speichernDialogfilter("/web/index.html"),
              (QStringList{u".html (*.html)"_s, u"Alle Dateien (*)"_s}));
    EXPECT_EQ(speichernDialogfilter(""), QStringList{u"Alle Dateien (*)"_s});
}

}  // namespace
}  // namespace quintaro
