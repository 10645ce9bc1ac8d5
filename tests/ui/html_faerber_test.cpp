// The colouring for very long lines: HTML's colours in runs QScintilla can cache, and after any
// change the same styles as a colouring from scratch.
#include <gtest/gtest.h>

#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "ui/html_faerber.h"

namespace quintaro::ui {
namespace {

std::string faerbeAlles(std::string_view text) {
    std::string stile;
    HtmlFaerber::faerben(
        text, 0, text.size(), text.size(), [](std::size_t) { return -1; }, stile);
    return stile;
}

int farbe(char stil) {
    return static_cast<unsigned char>(stil) % HtmlFaerber::kZwilling;
}

TEST(HtmlFaerber, ColoursLikeTheHtmlLexer) {
    using F = HtmlFaerber::Farbe;
    struct Fall {
        const char* text;
        const char* stelle;
        F farbe;
    };
    const Fall faelle[] = {
        {R"(<p class="x">Text</p>)", "<p", F::Tag},
        {R"(<p class="x">Text</p>)", "class", F::Attribut},
        {R"(<p class="x">Text</p>)", "=", F::Zeichen},
        {R"(<p class="x">Text</p>)", R"("x")", F::DoppeltZitiert},
        {R"(<p class="x">Text</p>)", "Text", F::Text},
        {R"(<p class="x">Text</p>)", "</p>", F::Tag},
        {"<P Bar=12 x='y'>", "Bar", F::UnbekanntesAttribut},
        {"<P Bar=12 x='y'>", "12", F::Zahl},
        {"<P Bar=12 x='y'>", "'y'", F::EinfachZitiert},
        {"<FOO class='y'>", "<FOO", F::UnbekannterTag},
        {"<FOO class='y'>", "class='y'>", F::UnbekannterTagRest},
        {"<A HREF=x.htm>", "x.htm", F::Wert},
        {"a &amp; b & c", "&amp;", F::Entitaet},
        {"a &amp; b & c", "& c", F::Text},
        {"a < b", "< b", F::Text},
        {"<!-- c <b> -->d", "<b> -->", F::Kommentar},
        {"<!-- c <b> -->d", "d", F::Text},
        {R"(<!DOCTYPE html "x">)", "<!DOCTYPE", F::SgmlBefehl},
        {R"(<!DOCTYPE html "x">)", R"("x")", F::SgmlZeichenkette},
        {R"(<!DOCTYPE html "x">)", "html", F::SgmlParameter},
        {"<?xml v?><p>", "<?xml v?>", F::XmlStart},
        {R"(<script>var s="</p>";// x)"
         "\n/* y */</SCRIPT>",
         "var", F::SkriptSchluesselwort},
        {R"(<script>var s="</p>";)", "s", F::SkriptWort},
        {R"(<script>var s="</p>";)", R"("</p>")", F::SkriptZeichenkette},
        {"<script>// x\n/* y */</SCRIPT>", "// x", F::SkriptKommentar},
        {"<script>// x\n/* y */</SCRIPT>", "/* y */", F::SkriptKommentar},
        {"<script>// x\n/* y */</SCRIPT>", "</SCRIPT>", F::Tag},
        {"<script>f(1.5)</script>", "1.5", F::SkriptZahl},
        {"<script><!-- f() --></script>", "<!-- f() -->", F::SkriptKommentar},
    };
    for (const Fall& fall : faelle) {
        const std::string_view text = fall.text;
        const std::size_t stelle = text.rfind(fall.stelle);
        ASSERT_NE(stelle, std::string_view::npos) << fall.text;
        const std::string stile = faerbeAlles(text);
        ASSERT_EQ(stile.size(), text.size());
        for (std::size_t i = stelle; i < stelle + std::string_view(fall.stelle).size(); ++i) {
            EXPECT_EQ(farbe(stile[i]), fall.farbe) << fall.text << " at " << i;
        }
    }
}

// Pieces of a page, stuck together at random: an optimised page is one line of them.
const std::vector<std::string> kStuecke = {
    "<p>",
    "</p>",
    R"(<a href="https://www.example.com/ein/sehr/langer/pfad/zur/seite.htm">)",
    "Gr\xC3\xBC\xC3\x9F"
    "e aus M\xC3\xBC"
    "nchen ",
    "&nbsp;",
    "Donaudampfschifffahrtsgesellschaftskapit\xC3\xA4nsm\xC3\xBCtze ",
    "<!-- Kommentar <b> -->",
    "<script>var x = 'a</b>'; // c\n</script>",
    "<table border=0 width=100%>",
    "<nav class='a<b'>",
    "<",
    ">",
    "\"",
    "<!--",
    "-->",
    "<!DOCTYPE html>",
    "<! x  'y' >",
    "<?xml ?>",
    "/* */",
    "\t\t   ",
    "<script>",
    "</script>",
    "x",
    " ",
    "\xE2\x82\xAC"};

std::string zufallsSeite(std::mt19937& zufall, std::size_t stuecke) {
    std::string seite;
    for (std::size_t i = 0; i < stuecke; ++i) seite += kStuecke[zufall() % kStuecke.size()];
    return seite;
}

TEST(HtmlFaerber, RunsAreShortAndNeverCutACharacter) {
    std::mt19937 zufall(7);
    const std::string seite = zufallsSeite(zufall, 3000);
    const std::string stile = faerbeAlles(seite);
    ASSERT_EQ(stile.size(), seite.size());
    std::size_t anfang = 0;
    for (std::size_t i = 1; i <= seite.size(); ++i) {
        if (i < seite.size() && stile[i] == stile[i - 1]) continue;
        EXPECT_LT(i - anfang, 30U) << "run at " << anfang;
        if (i < seite.size()) {
            EXPECT_NE(static_cast<unsigned char>(seite[i]) & 0xC0, 0x80) << "cut at " << i;
        }
        anfang = i;
    }
}

std::string stileIm(QsciScintilla& editor) {
    const auto laenge = editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    std::string stile;
    for (long i = 0; i < laenge; ++i) {
        stile.push_back(static_cast<char>(editor.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT,
                                                               static_cast<unsigned long>(i))));
    }
    return stile;
}

std::string textIm(QsciScintilla& editor) {
    const auto laenge =
        static_cast<std::size_t>(editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    const auto* daten = static_cast<const char*>(
        editor.SendScintillaPtrResult(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    return {daten, laenge};
}

// Inserts, deletes and undoes at random; whenever the editor asks for styles, they must be those
// of a colouring from scratch, whether they came at once with a small change or later.
TEST(HtmlFaerber, AfterAnyChangeTheStylesAreThoseOfAFreshColouring) {
    QsciScintilla editor;
    editor.setUtf8(true);
    HtmlFaerber faerber(&editor);
    editor.setLexer(&faerber);
    std::mt19937 zufall(11);
    const std::string anfang = zufallsSeite(zufall, 400);
    editor.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT,
                         static_cast<unsigned long>(anfang.size()), anfang.data());
    const auto zeichenanfang = [&](std::size_t p) {
        const std::string text = textIm(editor);
        while (p > 0 && p < text.size() && (static_cast<unsigned char>(text[p]) & 0xC0) == 0x80) {
            --p;
        }
        return p;
    };
    for (int schritt = 0; schritt < 300; ++schritt) {
        const auto laenge =
            static_cast<std::size_t>(editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
        const std::size_t p = zeichenanfang(zufall() % (laenge + 1));
        switch (zufall() % 5) {
            case 0: {
                const std::size_t bis = zeichenanfang(std::min(laenge, p + zufall() % 40));
                editor.SendScintilla(QsciScintillaBase::SCI_DELETERANGE,
                                     static_cast<unsigned long>(p), static_cast<long>(bis - p));
                break;
            }
            case 1:
                editor.SendScintilla(QsciScintillaBase::SCI_UNDO);
                break;
            default: {
                const std::string& stueck = kStuecke[zufall() % kStuecke.size()];
                editor.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT,
                                     static_cast<unsigned long>(p), stueck.c_str());
            }
        }
        if (zufall() % 3 == 0) continue;  // changes pile up before the next request
        const auto ende = editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
        if (editor.SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED) < ende) {
            faerber.styleText(0, static_cast<int>(ende));
        }
        ASSERT_EQ(editor.SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED), ende);
        const std::string text = textIm(editor);
        const std::string ist = stileIm(editor);
        const std::string soll = faerbeAlles(text);
        const auto abweichung = std::mismatch(ist.begin(), ist.end(), soll.begin(), soll.end());
        ASSERT_EQ(abweichung.first, ist.end()) << "after step " << schritt << ", from byte "
                                               << abweichung.first - ist.begin() << " of: " << text;
    }
}

}  // namespace
}  // namespace quintaro::ui
