// Literal passes for the differential tests: slow on purpose, each rule done the plain way.
#include "literal.h"

#include <array>
#include <unordered_set>

namespace quintaro::literal {

Text alleErsetzen(std::string_view text, std::string_view search, std::string_view replacement) {
    if (search.empty()) return Text(text);
    Text out;
    std::size_t i = 0;
    for (;;) {
        const std::size_t pos = text.find(search, i);
        if (pos == std::string_view::npos) break;
        out.append(text.substr(i, pos - i));
        out.append(replacement);
        i = pos + search.size();
    }
    out.append(text.substr(i));
    return out;
}

std::vector<Treffer> scan(std::string_view text, KommentarArt art) {
    enum class Zustand { Leer, TrefferStart, Treffer };
    std::vector<Treffer> liste;
    const std::size_t l = text.size();
    const std::size_t n = art.oeffnung.size();
    if (l < n) return liste;
    Zustand zustand = Zustand::Leer;
    std::size_t start = 0;
    std::size_t ende = 0;
    for (std::size_t p = 0; p <= l - n; ++p) {
        const bool ssi = art.ssiAusschliessen && text.substr(p, 5) == "<!--#";
        if (text.substr(p, n) == art.oeffnung && !ssi) {
            zustand = Zustand::TrefferStart;
            start = p;
        }
        if (text.substr(p, 3) == "-->" && zustand == Zustand::TrefferStart) {
            zustand = Zustand::Treffer;
            ende = p + 3;
        }
        if (zustand == Zustand::Treffer) {
            liste.push_back({start, Text(text.substr(start, ende - start))});
            zustand = Zustand::Leer;
        }
    }
    return liste;
}

namespace {

// Replace-all by nothing that also keeps, for every character, its position in the original text,
// so that copies which were not there at the start can be counted.
void entfernenMitHerkunft(Text& text, std::vector<std::size_t>& herkunft, const Text& eintrag,
                          const std::unordered_set<std::size_t>& gesammelt, Statistik* statistik) {
    Text neu;
    std::vector<std::size_t> neueHerkunft;
    std::size_t i = 0;
    for (;;) {
        const std::size_t pos = text.find(eintrag, i);
        if (pos == Text::npos) break;
        neu.append(text, i, pos - i);
        neueHerkunft.insert(neueHerkunft.end(), herkunft.begin() + static_cast<long>(i),
                            herkunft.begin() + static_cast<long>(pos));
        if (statistik) {
            bool zusammenhaengend = true;
            for (std::size_t k = 1; k < eintrag.size(); ++k) {
                if (herkunft[pos + k] != herkunft[pos] + k) zusammenhaengend = false;
            }
            if (!zusammenhaengend) {
                ++statistik->joinKopien;
            } else if (!gesammelt.count(herkunft[pos])) {
                ++statistik->endKopien;
            }
        }
        i = pos + eintrag.size();
    }
    neu.append(text, i);
    neueHerkunft.insert(neueHerkunft.end(), herkunft.begin() + static_cast<long>(i),
                        herkunft.end());
    text = std::move(neu);
    herkunft = std::move(neueHerkunft);
}

}  // namespace

KommentarLauf kommentareEntfernen(Text text, KommentarArt art, const Antwortgeber& frage,
                                  Statistik* statistik) {
    const auto liste = scan(text, art);
    std::unordered_set<std::size_t> gesammelt;
    for (const auto& t : liste) gesammelt.insert(t.start);
    std::vector<std::size_t> herkunft(text.size());
    for (std::size_t i = 0; i < herkunft.size(); ++i) herkunft[i] = i;

    KommentarLauf lauf;
    for (const auto& t : liste) {
        bool entfernen = true;
        if (frage) {
            lauf.gefragt.push_back(t.text);
            lauf.textBeiFrage.push_back(text);
            const Antwort a = frage(t.text);
            if (a == Antwort::Abbrechen) {
                lauf.abgebrochen = true;
                break;
            }
            entfernen = a == Antwort::Ja;
        }
        if (entfernen) entfernenMitHerkunft(text, herkunft, t.text, gesammelt, statistik);
    }
    lauf.text = std::move(text);
    return lauf;
}

namespace {
// Sweeps until the search text is gone; the first sweep is always made.
Text wiederholt(Text text, std::string_view search, std::string_view replacement) {
    do {
        text = alleErsetzen(text, search, replacement);
    } while (text.find(search) != Text::npos);
    return text;
}
}  // namespace

Text tabulatoren(Text text) {
    return alleErsetzen(text, "\t", "");
}
Text doppelteZeilenumbrueche(Text text) {
    return wiederholt(std::move(text), "\r\n\r\n", "\r\n");
}
Text zeilenumbrueche(Text text) {
    return alleErsetzen(text, "\r\n", " ");
}
Text doppelteLeerzeichen(Text text) {
    return wiederholt(std::move(text), "  ", " ");
}
Text zwischenTags(Text text) {
    return alleErsetzen(text, "> <", "><");
}
Text inTags(Text text) {
    return alleErsetzen(alleErsetzen(text, " >", ">"), "< ", "<");
}

Text ersetzung(Text text, const Ersetzungstabelle& tabelle) {
    for (int n = 1; n <= tabelle.anzahl(); ++n) {
        const auto& zeile = tabelle.zeile(n);
        text = alleErsetzen(text, zeile.suchtext, zeile.ersatztext);
    }
    return text;
}

namespace {
// The grid of the named entities, 0xA0 to 0xFF; "" where the byte has none.
constexpr std::array<std::string_view, 96> kGitter = {
    "",       "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "",       "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

std::array<std::string, 256> entitaetenTabelle() {
    std::array<std::string, 256> t;
    t[0x80] = "&euro;";
    for (std::size_t b = 0xA0; b <= 0xFF; ++b) {
        if (!kGitter[b - 0xA0].empty()) t[b] = "&" + std::string(kGitter[b - 0xA0]) + ";";
    }
    return t;
}
}  // namespace

std::string_view entitaet(unsigned char byte) {
    static const auto tabelle = entitaetenTabelle();
    return tabelle[byte];
}

Text sonderzeichen(Text text) {
    for (int b = 0; b < 256; ++b) {
        const auto e = entitaet(static_cast<unsigned char>(b));
        if (!e.empty()) text = alleErsetzen(text, std::string(1, static_cast<char>(b)), e);
    }
    return text;
}

Text optimiere(Text text, const Optionsmenge& options, const Ersetzungstabelle& tabelle,
               Statistik* statistik) {
    if (options[FPW] && text.find("<!--webbot") != Text::npos) {
        text = kommentareEntfernen(std::move(text), kWebbot, {}, statistik).text;
    }
    if ((options[KMA] || options[KMM]) && text.find("<!--") != Text::npos) {
        text = kommentareEntfernen(std::move(text), kKommentar, {}, statistik).text;
    }
    if (options[AE]) text = ersetzung(std::move(text), tabelle);
    if (options[TAB]) text = tabulatoren(std::move(text));
    if (options[DZU]) text = doppelteZeilenumbrueche(std::move(text));
    if (options[ZU]) text = zeilenumbrueche(std::move(text));
    if (options[DL]) text = doppelteLeerzeichen(std::move(text));
    if (options[LZT]) text = zwischenTags(std::move(text));
    if (options[LIT]) text = inTags(std::move(text));
    if (options[SZ]) text = sonderzeichen(std::move(text));
    return text;
}

}  // namespace quintaro::literal
