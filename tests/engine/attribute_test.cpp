// Option ATK on single start tags, checked by gumbo: the element and its attributes a browser
// builds stay the same but for the changes the option makes (type gone, boolean values emptied).
#include "engine/attribute.h"

#include <gtest/gtest.h>
#include <gumbo.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/korpus.h"
#include "engine/html_tokenizer.h"
#include "engine/kodierung.h"
#include "sprachen_generator.h"

namespace quintaro {
namespace {

TEST(TagKuerzen, DropsQuotesBooleanValuesAndRedundantTypes) {
    const struct {
        const char* name;
        const char* vorher;
        const char* nachher;
    } faelle[] = {
        {"quotes and boolean", "<input type=\"checkbox\" checked=\"checked\" name='a'>",
         "<input type=checkbox checked name=a>"},
        {"values that need quotes", "<a href=\"x/\" title=\"a b\" c=\"a=b\" d=\"\" e='\"' f=\"`\">",
         "<a href=\"x/\" title=\"a b\" c=\"a=b\" d=\"\" e='\"' f=\"`\">"},
        {"no quote dropped before / or a name", "<img src=\"a.gif\"/><p a=\"b\"c=\"d\">",
         "<img src=\"a.gif\"/><p a=\"b\"c=d>"},
        {"javascript type", "<script type=\"text/javascript\" src=\"a.js\">", "<script src=a.js>"},
        {"type before /", "<script src=\"a.js\" type=\"text/javascript\"/>", "<script src=a.js />"},
        {"type glued to the next", "<script type=\"text/javascript\"src=\"a.js\">",
         "<script src=a.js>"},
        {"language decides without type", "<script language=\"vbscript\" type=\"text/javascript\">",
         "<script language=vbscript type=text/javascript>"},
        {"module and parameters stay",
         "<script type=\"module\"><script type=\"text/javascript;x=y\">",
         "<script type=module><script type=\"text/javascript;x=y\">"},
        {"css", "<STYLE TYPE=\" TEXT/CSS \">", "<STYLE>"},
        {"css link", "<link rel=\"alternate stylesheet\" type=\"text/css\" href=\"a.css\">",
         "<link rel=\"alternate stylesheet\" href=a.css>"},
        {"css type on another link", "<link rel=icon type=\"text/css\">",
         "<link rel=icon type=text/css>"},
        {"boolean glued to the next", "<option selected=\"selected\"disabled=\"\">",
         "<option selected disabled>"},
        {"not boolean here", "<x-el open=\"open\"><p hidden=\"until-found\">",
         "<x-el open=open><p hidden=until-found>"},
        {"attribute twice", "<p class=\"a\" class=\"b\">", "<p class=\"a\" class=\"b\">"},
        {"cut off", "<a href=\"x", "<a href=\"x"},
    };
    for (const auto& f : faelle) {
        // Several tags in a row are shortened one by one.
        const std::string_view s = f.vorher;
        std::string ergebnis;
        for (std::size_t a = 0; a < s.size();) {
            const std::size_t e = std::min(s.find("><", a), s.size() - 1) + 1;
            ergebnis += tagKuerzen(s.substr(a, e - a));
            a = e;
        }
        EXPECT_EQ(ergebnis, f.nachher) << f.name;
    }
}

TEST(TagKuerzen, TellsScriptAndStyleTypes) {
    EXPECT_EQ(skriptArt("<script>"), SkriptArt::Klassisch);
    EXPECT_EQ(skriptArt("<script type=\"\" async>"), SkriptArt::Klassisch);
    EXPECT_EQ(skriptArt("<script type=' Text/JavaScript '>"), SkriptArt::Klassisch);
    EXPECT_EQ(skriptArt("<script language=javascript1.2>"), SkriptArt::Klassisch);
    EXPECT_EQ(skriptArt("<script type=MODULE>"), SkriptArt::Modul);
    EXPECT_EQ(skriptArt("<script type=\"application/ld+json\">"), SkriptArt::Keins);
    EXPECT_EQ(skriptArt("<script language=vbscript>"), SkriptArt::Keins);
    EXPECT_EQ(skriptArt("<script type=\"text/&#106;avascript\">"), SkriptArt::Keins);
    EXPECT_TRUE(istCssStil("<style media=print>"));
    EXPECT_TRUE(istCssStil("<style type=TEXT/CSS>"));
    EXPECT_FALSE(istCssStil("<style type=\"text/less\">"));
}

// --- The judge
// ------------------------------------------------------------------------------------

struct Element {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attribute;
};

void sammle(const GumboNode* n, std::vector<Element>& out) {
    if (n->type == GUMBO_NODE_ELEMENT || n->type == GUMBO_NODE_TEMPLATE) {
        Element e{gumbo_normalized_tagname(n->v.element.tag), {}};
        if (n->v.element.tag == GUMBO_TAG_UNKNOWN) {
            GumboStringPiece p = n->v.element.original_tag;
            gumbo_tag_from_original_text(&p);
            e.name.assign(p.data, p.length);
        }
        for (unsigned i = 0; i < n->v.element.attributes.length; ++i) {
            const auto* a = static_cast<const GumboAttribute*>(n->v.element.attributes.data[i]);
            e.attribute.emplace_back(a->name, a->value);
        }
        out.push_back(e);
    }
    const GumboVector* kinder = n->type == GUMBO_NODE_DOCUMENT ? &n->v.document.children
                                : (n->type == GUMBO_NODE_ELEMENT || n->type == GUMBO_NODE_TEMPLATE)
                                    ? &n->v.element.children
                                    : nullptr;
    for (unsigned i = 0; kinder != nullptr && i < kinder->length; ++i) {
        sammle(static_cast<const GumboNode*>(kinder->data[i]), out);
    }
}

// The elements gumbo builds from the tag (UTF-8), inside a template where it may stand alone.
std::vector<Element> elemente(const std::string& tag) {
    std::string name = tag.substr(1, 5);
    std::transform(name.begin(), name.end(), name.begin(), [](char c) { return kleinAscii(c); });
    const bool wurzel =
        name.starts_with("html") || name.starts_with("head") || name.starts_with("body");
    const std::string seite =
        "<!DOCTYPE html>" + (wurzel ? tag : "<template>" + tag + "</template>");
    GumboOutput* g = gumbo_parse_with_options(&kGumboDefaultOptions, seite.data(), seite.size());
    std::vector<Element> out;
    sammle(g->document, out);
    gumbo_destroy_output(&kGumboDefaultOptions, g);
    return out;
}

std::string klein(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](char c) { return kleinAscii(c); });
    while (!s.empty() && s.back() == ' ') s.pop_back();
    while (!s.empty() && s.front() == ' ') s.erase(0, 1);
    return s;
}

// Why `nachher` is not `vorher` shortened, or empty.
std::string richte(const std::string& vorher, const std::string& nachher) {
    const std::vector<Element> a = elemente(vorher);
    const std::vector<Element> b = elemente(nachher);
    if (a.size() != b.size()) return "other elements";
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name) return "element " + a[i].name + " became " + b[i].name;
        std::size_t k = 0;
        for (const auto& [name, wert] : a[i].attribute) {
            if (k < b[i].attribute.size() && b[i].attribute[k].first == name) {
                const std::string& neu = b[i].attribute[k++].second;
                if (neu != wert && !(neu.empty() && klein(wert) == name)) {
                    return name + "=" + wert + " became " + neu;
                }
                continue;
            }
            const std::string typ = klein(wert);
            const bool js =
                typ.empty() || typ == "text/javascript" || typ == "application/x-javascript";
            if (name != "type" || !((a[i].name == "script" && js) || typ == "text/css")) {
                return name + " went";
            }
        }
        if (k != b[i].attribute.size()) return "attributes came";
    }
    return "";
}

TEST(TagKuerzen, KeepsWhatABrowserBuildsForGeneratedTags) {
    std::mt19937 zufall(7);
    for (int i = 0; i < 3000; ++i) {
        const std::string tag = test::zufallsStartTag(zufall);
        const std::string kurz = tagKuerzen(tag);
        ASSERT_EQ(richte(tag, kurz), "") << tag << "\n" << kurz;
        ASSERT_EQ(tagKuerzen(kurz), kurz) << tag;
    }
}

// Tags are remembered per thread: asked for in another order, each twice and among many more
// tags than are remembered (so that they meet in the memo), every tag gets what a thread that
// never saw the others gives it; one that stays leaves the buffer untouched, remembered or not.
TEST(TagKuerzen, RemembersTagsWithoutMixingThemUp) {
    std::mt19937 zufall(11);
    std::vector<std::string> tags;
    for (int i = 0; i < 5000; ++i) tags.push_back(test::zufallsStartTag(zufall));
    const auto alle = [&](std::vector<std::size_t> reihe) {
        std::vector<std::string> aus(tags.size());
        std::thread([&] {
            for (const std::size_t i : reihe) {
                for (int mal = 0; mal < 2; ++mal) {
                    std::string puffer = "vorher";
                    const bool gekuerzt = tagKuerzen(tags[i], puffer);
                    if (!gekuerzt && puffer != "vorher") puffer = "touched";
                    const std::string ergebnis = gekuerzt ? puffer : tags[i];
                    // The second time it is remembered.
                    aus[i] = mal == 0 || ergebnis == aus[i] ? ergebnis : "changed";
                }
            }
        }).join();
        return aus;
    };
    std::vector<std::size_t> vorwaerts(tags.size());
    std::iota(vorwaerts.begin(), vorwaerts.end(), 0);
    std::vector<std::size_t> gemischt = vorwaerts;
    std::shuffle(gemischt.begin(), gemischt.end(), zufall);
    const auto erwartet = alle(vorwaerts);
    const auto bekommen = alle(gemischt);
    for (std::size_t i = 0; i < tags.size(); ++i) {
        ASSERT_EQ(bekommen[i], erwartet[i]) << tags[i];
        ASSERT_NE(erwartet[i], "touched") << tags[i];
        ASSERT_NE(erwartet[i], "changed") << tags[i];
    }
}

TEST(Korpus, AttributeShorteningKeepsEveryTagOfThePages) {
    const auto ordner = test::korpusOrdner();
    if (!std::filesystem::is_directory(ordner)) GTEST_SKIP() << "no corpus at " << ordner;
    int geaendert = 0;
    for (const auto& eintrag : std::filesystem::directory_iterator(ordner)) {
        if (eintrag.path().extension() == ".md") continue;
        const std::string seite = test::korpusSeite(eintrag.path());
        const bool utf8 = kodierungErmitteln(seite) == Kodierung::Utf8;
        for (const html::Token& t : html::zerlege(seite)) {
            if (t.art != html::Art::StartTag || t.offen) continue;
            const std::string tag = seite.substr(t.anfang, t.ende - t.anfang);
            const std::string kurz = tagKuerzen(tag);
            if (kurz == tag) continue;
            ++geaendert;
            const std::string a = utf8 ? tag : cp1252NachUtf8(tag);
            const std::string b = utf8 ? kurz : cp1252NachUtf8(kurz);
            EXPECT_EQ(richte(a, b), "") << eintrag.path().filename() << ": " << tag << "\n" << kurz;
        }
    }
    EXPECT_GT(geaendert, 1000);
}

}  // namespace
}  // namespace quintaro
