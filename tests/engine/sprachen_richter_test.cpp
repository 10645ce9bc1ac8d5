// Options CSS and JS judged by parsers written by others, over the scripts and styles of the
// sample pages and thousands of generated awkward ones: acorn (richter/js_richter.js) compares the
// tokens and syntax trees of each script, tinycss2 (richter/css_richter.py) the component values
// of each style sheet and style attribute, gumbo what HTML makes of the result in its element.
// The two script judges run once per test over all cases; each skips when its tool is absent.
#include <gtest/gtest.h>
#include <gumbo.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "common/korpus.h"
#include "engine/attribute.h"
#include "engine/css.h"
#include "engine/html_tokenizer.h"
#include "engine/javascript.h"
#include "sprachen_generator.h"

namespace quintaro {
namespace {

namespace fs = std::filesystem;

const fs::path kRichter = fs::path(QUINTARO_SOURCE_DIR) / "tests" / "engine" / "richter";

std::string ausfuehren(const std::string& befehl) {
    std::string out;
    if (FILE* p = popen((befehl + " 2>&1").c_str(), "r")) {
        char puffer[4096];
        for (std::size_t n; (n = std::fread(puffer, 1, sizeof puffer, p)) > 0;)
            out.append(puffer, n);
        if (pclose(p) != 0) out += "\n(exit status not 0)";
    }
    return out;
}

// node with Debian's modules (acorn) on its path, whatever NODE_PATH held.
std::string node() {
    static const bool gesetzt = [] {
        const char* alt = std::getenv("NODE_PATH");
        const std::string pfad =
            std::string("/usr/share/nodejs") + (alt != nullptr ? std::string(":") + alt : "");
        return setenv("NODE_PATH", pfad.c_str(), 1) == 0;
    }();
    return gesetzt ? "node" : "false";
}

// The cases of one judge, written as its input file expects them, with a name for each.
class Akte {
  public:
    void skript(std::string name, Kodierung k, bool modul, const std::string& vorher,
                const std::string& nachher) {
        kopf(std::move(name),
             std::string(k == Kodierung::Utf8 ? "utf8" : "cp1252") + (modul ? " 1" : " 0"), vorher,
             nachher);
    }
    void stil(std::string name, bool deklarationen, const std::string& vorher,
              const std::string& nachher) {
        kopf(std::move(name), deklarationen ? "decls" : "sheet", vorher, nachher);
    }

    // Runs the judge; a failed case is reported under its name.
    void richten(const std::string& programm, const std::string& skript) {
        ASSERT_FALSE(namen_.empty());
        const fs::path datei =
            fs::temp_directory_path() / ("quintaro_richter_" + std::to_string(getpid()));
        std::ofstream(datei, std::ios::binary) << daten_;
        const std::string out = ausfuehren(programm + " '" + (kRichter / skript).string() + "' '" +
                                           datei.string() + "'");
        fs::remove(datei);
        const std::string ende = std::to_string(namen_.size()) + " passed, 0 failed\n";
        if (out.ends_with(ende)) {
            std::printf("%s: %s", skript.c_str(), out.c_str());
            return;
        }
        std::string bericht;
        for (std::size_t i = out.find("FAIL case "); i != std::string::npos;
             i = out.find("FAIL case ", i + 1)) {
            const std::size_t nr = std::stoul(out.substr(i + 10));
            bericht += namen_.at(nr) + ":\n" +
                       out.substr(i, out.find("\nFAIL", i) - i).substr(0, 2000) + "\n";
        }
        ADD_FAILURE() << (bericht.empty() ? out : bericht);
    }

  private:
    void kopf(std::string name, const std::string& art, const std::string& vorher,
              const std::string& nachher) {
        daten_ +=
            art + " " + std::to_string(vorher.size()) + " " + std::to_string(nachher.size()) + "\n";
        daten_ += vorher + nachher;
        namen_.push_back(std::move(name));
    }
    std::string daten_;
    std::vector<std::string> namen_;
};

// Whether HTML reads `inhalt` inside <tag> ... </tag> as the element's whole text.
bool bleibtImElement(const std::string& tag, const std::string& inhalt, bool utf8) {
    const std::string text = utf8 ? inhalt : cp1252NachUtf8(inhalt);
    const std::string seite =
        "<!DOCTYPE html><head><" + tag + ">" + text + "</" + tag + "><meta name=ende>";
    GumboOutput* g = gumbo_parse_with_options(&kGumboDefaultOptions, seite.data(), seite.size());
    const GumboNode* kopf = static_cast<const GumboNode*>(g->root->v.element.children.data[0]);
    const GumboVector& kinder = kopf->v.element.children;
    bool gut = kinder.length == 2;
    if (gut) {
        const auto* e = static_cast<const GumboNode*>(kinder.data[0]);
        std::string gelesen;
        for (unsigned i = 0; i < e->v.element.children.length; ++i) {
            gelesen += static_cast<const GumboNode*>(e->v.element.children.data[i])->v.text.text;
        }
        // HTML reads every CR LF and lone CR as LF.
        std::string erwartet;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r') {
                erwartet += '\n';
                if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            } else {
                erwartet += text[i];
            }
        }
        gut = gelesen == erwartet;
    }
    gumbo_destroy_output(&kGumboDefaultOptions, g);
    return gut;
}

struct Faelle {
    Akte skripte;
    Akte stile;
};

void skriptFall(Faelle& f, const std::string& name, Kodierung k, bool modul, const std::string& s) {
    const Text kurz = js::skriptVerkleinern(s, k, modul);
    EXPECT_TRUE(bleibtImElement("script", kurz, k == Kodierung::Utf8)) << name << "\n" << kurz;
    if (kurz != s)
        f.skripte.skript(name, k == Kodierung::Utf8 ? k : Kodierung::Cp1252, modul, s, kurz);
}

void stilFall(Faelle& f, const std::string& name, bool deklarationen, const std::string& s) {
    const Text kurz = deklarationen ? css::deklarationenVerkleinern(s) : css::stilVerkleinern(s);
    if (!deklarationen) {
        EXPECT_TRUE(bleibtImElement("style", kurz, false)) << name << "\n" << kurz;
    }
    if (kurz != s) f.stile.stil(name, deklarationen, s, kurz);
}

bool hatAcorn() {
    return ausfuehren(node() + " -e \"require('acorn')\"").empty();
}
bool hatTinycss2() {
    return ausfuehren("/usr/bin/python3 -c 'import tinycss2'").empty();
}

void richten(Faelle& f) {
    if (hatAcorn()) {
        f.skripte.richten(node(), "js_richter.js");
    } else {
        std::printf("acorn (node-acorn) is not installed: scripts not judged\n");
    }
    if (hatTinycss2()) {
        f.stile.richten("/usr/bin/python3", "css_richter.py");
    } else {
        std::printf("tinycss2 (python3-tinycss2) is not installed: styles not judged\n");
    }
}

TEST(SprachRichter, GeneratedScriptsAndStylesKeepTheirMeaning) {
    Faelle f;
    std::mt19937 zufall(2022);
    for (int i = 0; i < 6000; ++i) {
        const Kodierung k = i % 3 == 0 ? Kodierung::Utf8 : Kodierung::Cp1252;
        const bool modul = i % 7 == 0;
        skriptFall(f, "script " + std::to_string(i), k, modul,
                   test::zufallsSkript(zufall, k, modul));
    }
    for (int i = 0; i < 3000; ++i)
        stilFall(f, "sheet " + std::to_string(i), false, test::zufallsStil(zufall));
    for (int i = 0; i < 1000; ++i) {
        stilFall(f, "declarations " + std::to_string(i), true, test::zufallsDeklarationen(zufall));
    }
    richten(f);
}

TEST(SprachRichter, ScriptsAndStylesOfTheSamplePagesKeepTheirMeaning) {
    const fs::path ordner = test::korpusOrdner();
    if (!fs::is_directory(ordner)) GTEST_SKIP() << "no corpus at " << ordner;
    Faelle f;
    int skripte = 0;
    for (const auto& eintrag : fs::directory_iterator(ordner)) {
        if (eintrag.path().extension() == ".md") continue;
        const std::string seite = test::korpusSeite(eintrag.path());
        const Kodierung k = kodierungErmitteln(seite);
        const std::string datei = eintrag.path().filename().string();
        const auto tokens = html::zerlege(seite);
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            const html::Token t = tokens[i];
            if (t.art != html::Art::StartTag || t.offen) continue;
            const std::string tag = seite.substr(t.anfang, t.ende - t.anfang);
            const std::string name = datei + " at byte " + std::to_string(t.anfang);
            StartTag gelesen;
            if (leseStartTag(tag, gelesen)) {
                for (const Attribut& a : gelesen.attribute) {
                    if (a.mitWert && kleinAsciiText(a.name) == "style")
                        stilFall(f, name, true, std::string(a.wert));
                }
            }
            if (i + 1 >= tokens.size() || tokens[i + 1].art != html::Art::Rohtext) continue;
            const std::string inhalt =
                seite.substr(tokens[i + 1].anfang, tokens[i + 1].ende - tokens[i + 1].anfang);
            if (t.element == html::Element::Script && skriptArt(tag) != SkriptArt::Keins) {
                ++skripte;
                skriptFall(f, name, k, skriptArt(tag) == SkriptArt::Modul, inhalt);
            } else if (t.element == html::Element::Style && istCssStil(tag)) {
                stilFall(f, name, false, inhalt);
            }
        }
    }
    EXPECT_GT(skripte, 50);
    richten(f);
}

}  // namespace
}  // namespace quintaro
