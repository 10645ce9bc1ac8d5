// Page generator for the benchmarks; a fixed-seed generator keeps pages reproducible.
#include "generator.h"

#include <array>
#include <random>
#include <string>
#include <string_view>

namespace quintaro::bench {

namespace {

constexpr std::array<std::string_view, 16> kWoerter = {
    "Gr\xFC\xDF"
    "e",
    "Stra\xDF"
    "e",
    "Preis",
    "\x80",
    "M\xFC"
    "nchen",
    "K\xF6ln",
    "Tabelle",
    "und",
    "f\xFC"
    "r",
    "die",
    "\xC4"
    "rger",
    "Seite",
    "12,50",
    "&nbsp;",
    "Men\xFC",
    "\xDC"
    "bersicht"};

class Bauer {
  public:
    explicit Bauer(const Seitenbau& bau) : bau_(bau), rng_(bau.seed) {}

    Text bauen() {
        text_.reserve(bau_.bytes + 4096);
        zeile(0, "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">");
        zeile(0, "<html>");
        zeile(0, "<head>");
        zeile(1, "<meta name=\"GENERATOR\" content=\"Microsoft FrontPage 4.0\">");
        zeile(1,
              "<title>Preisliste f\xFC"
              "r M\xFC"
              "nchen</title>");
        zeile(0, "</head>");
        zeile(0, "<body bgcolor=\"#FFFFFF\" >");
        const std::size_t ende = bau_.bytes > 64 ? bau_.bytes - 32 : 0;
        const long anzahl =
            bau_.kommentare < 0 ? static_cast<long>(bau_.bytes / 4096) : bau_.kommentare;
        const std::size_t abstand = anzahl > 0 ? ende / static_cast<std::size_t>(anzahl) + 1 : 0;
        std::size_t naechster = abstand;
        long gesetzt = 0;
        while (text_.size() < ende) {
            switch (zahl(10)) {
                case 0:
                case 1:
                case 2:
                    tabelle();
                    break;
                case 3:
                    liste();
                    break;
                case 4:
                    skript();
                    break;
                case 5:
                    webbot();
                    break;
                case 6:
                    zeile(2, "<!--#include virtual=\"/kopf.shtml\" -->");
                    break;
                default:
                    absatz();
                    break;
            }
            if (anzahl > 0 && gesetzt < anzahl && text_.size() >= naechster) {
                zeile(1, "<!-- Abschnitt " + std::to_string(gesetzt) + " von " +
                             std::to_string(anzahl) + " -->");
                zeile(1, "<!-- Ende des Abschnitts -->");
                ++gesetzt;
                naechster += abstand;
            }
        }
        zeile(0, "</body>");
        zeile(0, "</html>");
        return std::move(text_);
    }

  private:
    std::size_t zahl(std::size_t n) { return rng_() % n; }
    bool mitKommentaren() const { return bau_.kommentare != 0; }

    void einruecken(int tiefe) {
        for (int i = 0; i < tiefe; ++i) {
            if (zahl(3) == 0) {
                text_.append("    ");
            } else {
                text_.push_back('\t');
            }
        }
    }

    void zeile(int tiefe, std::string_view inhalt) {
        einruecken(tiefe);
        text_.append(inhalt);
        text_.append("\r\n");
        if (zahl(8) == 0) text_.append(zahl(2) ? "\r\n" : "\r\n  \r\n\r\n");
    }

    std::string satz(std::size_t woerter) {
        std::string s;
        for (std::size_t i = 0; i < woerter; ++i) {
            if (i) s.append(zahl(6) == 0 ? "  " : " ");
            s.append(kWoerter[zahl(kWoerter.size())]);
        }
        return s;
    }

    void tabelle() {
        zeile(2, "<table border=\"0\" cellpadding=\"2\" width=\"100%\" >");
        const std::size_t zeilen = 2 + zahl(6);
        for (std::size_t r = 0; r < zeilen; ++r) {
            zeile(3, "<tr>");
            for (std::size_t c = 0; c < 3; ++c) {
                zeile(4, "<td valign=\"top\" > <font face=\"Arial\" size=\"2\">" +
                             satz(1 + zahl(4)) + "</font> </td>");
            }
            zeile(3, "</tr>");
        }
        zeile(2, "</table>");
    }

    void liste() {
        zeile(2, "<ul>");
        for (std::size_t i = 0, n = 2 + zahl(5); i < n; ++i) {
            zeile(3, "<li> <a href=\"seite" + std::to_string(zahl(100)) + ".htm\" >" + satz(3) +
                         "</a> </li>");
        }
        zeile(2, "</ul>");
    }

    void skript() {
        zeile(2, "<script language=\"JavaScript\">");
        if (mitKommentaren()) zeile(2, "<!--");
        zeile(3, "for (var i = 0; i < bilder.length; i++) {");
        zeile(4, "if (bilder[i].width < 100 && i > 0) { bilder[i].src = \"leer.gif\"; }");
        zeile(3, "}");
        if (mitKommentaren()) zeile(2, "// -->");
        zeile(2, "</script>");
    }

    void webbot() {
        if (!mitKommentaren()) {
            zeile(2, "<p>Zuletzt ge\xE4ndert: 12.03.2004</p>");
            return;
        }
        zeile(2,
              "<p>Zuletzt ge\xE4ndert: <!--webbot bot=\"Timestamp\" s-type=\"EDITED\" "
              "s-format=\"%d.%m.%Y\" startspan -->12.03.2004<!--webbot bot=\"Timestamp\" "
              "endspan i-checksum=\"12345\" --></p>");
    }

    void absatz() { zeile(2, "<p>" + satz(8 + zahl(20)) + " <b> " + satz(2) + " </b></p>"); }

    const Seitenbau& bau_;
    std::mt19937 rng_;
    Text text_;
};

}  // namespace

Text erzeugeSeite(const Seitenbau& bau) {
    return Bauer(bau).bauen();
}

}  // namespace quintaro::bench
