// Tokens are compared by number: each distinct token content gets one, so that the diff compares
// integers. Whitespace runs are left out of the diff itself (an optimised page changes nearly every
// one of them, which would make the edit distance, and so Myers' cost, as large as the page) and
// are settled afterwards between the matched tokens.
#include "engine/aenderungen.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <stdexcept>
#include <utility>

#include "engine/html_tokenizer.h"
#include "engine/text.h"

namespace quintaro {

namespace {

constexpr std::size_t kGroessterText = std::numeric_limits<std::uint32_t>::max();

using html::istLeerraum;
constexpr bool istAsciiAlnum(char c) {
    return istAsciiBuchstabe(c) || (c >= '0' && c <= '9');
}
constexpr bool istWortzeichen(char c) {
    return istAsciiAlnum(c) || static_cast<unsigned char>(c) >= 0x80;
}

// Length of the entity ("&auml;", "&#228;", "&#xE4;") at `i`, or 0.
std::size_t entitaet(std::string_view t, std::size_t i) {
    constexpr std::size_t kLaengsterName = 32;
    std::size_t j = i + 1;
    if (j < t.size() && t[j] == '#') ++j;
    const std::size_t name = j;
    while (j < t.size() && j - name < kLaengsterName && istAsciiAlnum(t[j])) ++j;
    return j > name && j < t.size() && t[j] == ';' ? j + 1 - i : 0;
}

// Whether `t` holds `name` at `i`, in any letter case, not followed by another letter.
bool istName(std::string_view t, std::size_t i, std::string_view name) {
    if (!gleichKleinAn(t, i, name)) return false;
    return i + name.size() == t.size() || !istAsciiBuchstabe(t[i + name.size()]);
}

// The contents of script and style are text to a browser, "<!--" included: for the start tag
// [anfang, ende) of such an element, where its end tag starts (the page's end without one);
// for any other tag `ende`.
std::size_t rohtextEnde(std::string_view t, std::size_t anfang, std::size_t ende) {
    for (const std::string_view name : {std::string_view("script"), std::string_view("style")}) {
        if (!istName(t, anfang + 1, name)) continue;
        for (std::size_t p = t.find("</", ende); p != std::string_view::npos;
             p = t.find("</", p + 2)) {
            if (istName(t, p + 2, name)) return p;
        }
        return t.size();
    }
    return ende;
}

std::size_t tokenAnfang(const std::vector<std::uint32_t>& enden, std::size_t i) {
    return i == 0 ? 0 : enden[i - 1];
}

// One number per distinct token content, over both texts.
class Verzeichnis {
  public:
    std::uint32_t nummer(std::string_view inhalt) {
        if ((inhalte_.size() + 1) * 2 > plaetze_.size()) wachsen();
        const std::size_t h = std::hash<std::string_view>{}(inhalt);
        const std::size_t maske = plaetze_.size() - 1;
        for (std::size_t i = h & maske;; i = (i + 1) & maske) {
            const std::uint32_t platz = plaetze_[i];
            if (platz == 0) {
                inhalte_.push_back(inhalt);
                hashes_.push_back(h);
                plaetze_[i] = static_cast<std::uint32_t>(inhalte_.size());
                return plaetze_[i] - 1;
            }
            if (hashes_[platz - 1] == h && inhalte_[platz - 1] == inhalt) return platz - 1;
        }
    }
    std::size_t anzahl() const { return inhalte_.size(); }

  private:
    void wachsen() {
        plaetze_.assign(std::max<std::size_t>(1024, plaetze_.size() * 2), 0);
        const std::size_t maske = plaetze_.size() - 1;
        for (std::size_t n = 0; n < hashes_.size(); ++n) {
            std::size_t i = hashes_[n] & maske;
            while (plaetze_[i] != 0) i = (i + 1) & maske;
            plaetze_[i] = static_cast<std::uint32_t>(n + 1);
        }
    }

    std::vector<std::uint32_t> plaetze_;  // number + 1, 0 for free
    std::vector<std::string_view> inhalte_;
    std::vector<std::size_t> hashes_;
};

struct Paar {
    std::uint32_t a;
    std::uint32_t b;
};

// Myers' diff in linear space: the forward and the backward search meet in the middle, the two
// halves are compared on their own. Emits the matched positions in order. A stretch whose search
// runs out of its allowance of steps gives no matches and counts as coarse.
class Myers {
  public:
    Myers(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b,
          std::vector<Paar>& treffer)
        : a_(a), b_(b), treffer_(treffer) {}

    void vergleiche(std::size_t x0, std::size_t x1, std::size_t y0, std::size_t y1,
                    std::uint64_t erlaubt) {
        erlaubt_ = erlaubt;
        verbraucht_ = 0;
        teile(x0, x1, y0, y1);
    }
    bool grob() const { return grob_; }

  private:
    static constexpr std::ptrdiff_t kGenau = 4096;
    static constexpr std::ptrdiff_t kRunden = 64;
    static constexpr double kAbweichung = 2.0;

    void treffer(std::size_t x, std::size_t y) {
        treffer_.push_back({static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y)});
    }

    void teile(std::size_t x0, std::size_t x1, std::size_t y0, std::size_t y1) {
        while (x0 < x1 && y0 < y1 && a_[x0] == b_[y0]) treffer(x0++, y0++);
        std::size_t gleichAmEnde = 0;
        while (x1 - gleichAmEnde > x0 && y1 - gleichAmEnde > y0 &&
               a_[x1 - 1 - gleichAmEnde] == b_[y1 - 1 - gleichAmEnde]) {
            ++gleichAmEnde;
        }
        x1 -= gleichAmEnde;
        y1 -= gleichAmEnde;
        if (x0 < x1 && y0 < y1) {
            std::size_t x = 0;
            std::size_t y = 0;
            switch (mitte(x0, x1, y0, y1, x, y)) {
                case Mitte::Punkt:
                    teile(x0, x0 + x, y0, y0 + y);
                    teile(x0 + x, x1, y0 + y, y1);
                    break;
                case Mitte::NichtsGemeinsam:
                    break;
                case Mitte::ZuTeuer:
                    grob_ = true;
                    break;
            }
        }
        for (std::size_t i = 0; i < gleichAmEnde; ++i) treffer(x1 + i, y1 + i);
    }

    enum class Mitte { Punkt, NichtsGemeinsam, ZuTeuer };

    // Finds a point (x, y) on an optimal path through the stretch, relative to (x0, y0), neither
    // of its corners. The stretch starts and ends with different tokens on both sides.
    Mitte mitte(std::size_t x0, std::size_t xEnde, std::size_t y0, std::size_t yEnde,
                std::size_t& px, std::size_t& py) {
        const auto n = static_cast<std::ptrdiff_t>(xEnde - x0);
        const auto m = static_cast<std::ptrdiff_t>(yEnde - y0);
        const std::uint32_t* a = a_.data() + x0;
        const std::uint32_t* b = b_.data() + y0;
        // A short stretch is compared exactly. In a longer one, past kRunden rounds the search
        // settles for the point that got furthest and goes on from there: the many small changes
        // an optimisation spreads over a page would otherwise cost rounds in the order of their
        // number, each as long as the page.
        const std::ptrdiff_t alleRunden = (n + m + 1) / 2;
        const std::ptrdiff_t maxD = n + m <= kGenau ? alleRunden : std::min(alleRunden, kRunden);
        const std::ptrdiff_t versatz = maxD;
        const std::ptrdiff_t laenge = 2 * maxD + 2;
        vor_.assign(static_cast<std::size_t>(laenge), -1);
        rueck_.assign(static_cast<std::size_t>(laenge), -1);
        vor_[static_cast<std::size_t>(versatz + 1)] = 0;
        rueck_[static_cast<std::size_t>(versatz + 1)] = 0;
        const std::ptrdiff_t delta = n - m;
        const bool vorn = (delta % 2) != 0;  // the forward search meets the backward one
        std::ptrdiff_t k1start = 0;
        std::ptrdiff_t k1ende = 0;
        std::ptrdiff_t k2start = 0;
        std::ptrdiff_t k2ende = 0;
        const auto v = [](std::vector<std::ptrdiff_t>& feld, std::ptrdiff_t i) -> std::ptrdiff_t& {
            return feld[static_cast<std::size_t>(i)];
        };
        for (std::ptrdiff_t d = 0; d < maxD; ++d) {
            if (verbraucht_ > erlaubt_) return Mitte::ZuTeuer;
            for (std::ptrdiff_t k1 = -d + k1start; k1 <= d - k1ende; k1 += 2) {
                const std::ptrdiff_t i1 = versatz + k1;
                std::ptrdiff_t x1 = (k1 == -d || (k1 != d && v(vor_, i1 - 1) < v(vor_, i1 + 1)))
                                        ? v(vor_, i1 + 1)
                                        : v(vor_, i1 - 1) + 1;
                std::ptrdiff_t y1 = x1 - k1;
                const std::ptrdiff_t xStart = x1;
                while (x1 < n && y1 < m && a[x1] == b[y1]) {
                    ++x1;
                    ++y1;
                }
                verbraucht_ += static_cast<std::uint64_t>(x1 - xStart) + 1;
                v(vor_, i1) = x1;
                if (x1 > n) {
                    k1ende += 2;
                } else if (y1 > m) {
                    k1start += 2;
                } else if (vorn) {
                    const std::ptrdiff_t i2 = versatz + delta - k1;
                    if (i2 >= 0 && i2 < laenge && v(rueck_, i2) != -1 && x1 >= n - v(rueck_, i2)) {
                        return punkt(x1, y1, n, m, px, py);
                    }
                }
            }
            for (std::ptrdiff_t k2 = -d + k2start; k2 <= d - k2ende; k2 += 2) {
                const std::ptrdiff_t i2 = versatz + k2;
                std::ptrdiff_t x2 = (k2 == -d || (k2 != d && v(rueck_, i2 - 1) < v(rueck_, i2 + 1)))
                                        ? v(rueck_, i2 + 1)
                                        : v(rueck_, i2 - 1) + 1;
                std::ptrdiff_t y2 = x2 - k2;
                const std::ptrdiff_t xStart = x2;
                while (x2 < n && y2 < m && a[n - x2 - 1] == b[m - y2 - 1]) {
                    ++x2;
                    ++y2;
                }
                verbraucht_ += static_cast<std::uint64_t>(x2 - xStart) + 1;
                v(rueck_, i2) = x2;
                if (x2 > n) {
                    k2ende += 2;
                } else if (y2 > m) {
                    k2start += 2;
                } else if (!vorn) {
                    const std::ptrdiff_t i1 = versatz + delta - k2;
                    if (i1 >= 0 && i1 < laenge && v(vor_, i1) != -1) {
                        const std::ptrdiff_t x1 = v(vor_, i1);
                        const std::ptrdiff_t y1 = versatz + x1 - i1;
                        if (x1 >= n - x2) return punkt(x1, y1, n, m, px, py);
                    }
                }
            }
        }
        // Every round done without the searches meeting: not one token in common.
        if (maxD == alleRunden) return Mitte::NichtsGemeinsam;
        // The best point: far from the search's own corner, near the diagonal that leads from
        // corner to corner. Far alone would follow repeated stretches (table rows) shifted by one
        // or more of them, and the shifts add up over a page to one huge change at its end.
        std::ptrdiff_t bestX = 0;
        std::ptrdiff_t bestY = 0;
        double besteWertung = 0;
        const auto wertung = [&](std::ptrdiff_t x, std::ptrdiff_t y) {
            if (x < 0 || x > n || y < 0 || y > m) return -1.0;
            const auto weg = static_cast<double>(x + y);
            const double erwartet = weg * static_cast<double>(n - m) / static_cast<double>(n + m);
            return weg - kAbweichung * std::abs(static_cast<double>(x - y) - erwartet);
        };
        for (std::ptrdiff_t i = 0; i < laenge; ++i) {
            const std::ptrdiff_t k = i - versatz;
            if (const std::ptrdiff_t x = v(vor_, i); wertung(x, x - k) > besteWertung) {
                besteWertung = wertung(x, x - k);
                bestX = x;
                bestY = x - k;
            }
            if (const std::ptrdiff_t x = v(rueck_, i); wertung(x, x - k) > besteWertung) {
                besteWertung = wertung(x, x - k);
                bestX = n - x;
                bestY = m - (x - k);
            }
        }
        return punkt(bestX, bestY, n, m, px, py);
    }

    static Mitte punkt(std::ptrdiff_t x, std::ptrdiff_t y, std::ptrdiff_t n, std::ptrdiff_t m,
                       std::size_t& px, std::size_t& py) {
        if ((x == 0 && y == 0) || (x == n && y == m)) return Mitte::ZuTeuer;  // would not split
        px = static_cast<std::size_t>(x);
        py = static_cast<std::size_t>(y);
        return Mitte::Punkt;
    }

    const std::vector<std::uint32_t>& a_;
    const std::vector<std::uint32_t>& b_;
    std::vector<Paar>& treffer_;
    std::vector<std::ptrdiff_t> vor_;
    std::vector<std::ptrdiff_t> rueck_;
    std::uint64_t erlaubt_ = 0;
    std::uint64_t verbraucht_ = 0;
    bool grob_ = false;
};

// Tokens that occur exactly once in each sequence, kept where their order agrees (the longest
// increasing run of their places in `b`): safe points to split the comparison at.
std::vector<Paar> einmalige(const std::vector<std::uint32_t>& a,
                            const std::vector<std::uint32_t>& b, std::size_t nummern) {
    std::vector<std::uint8_t> inA(nummern, 0);
    std::vector<std::uint8_t> inB(nummern, 0);
    std::vector<std::uint32_t> stelleB(nummern, 0);
    for (std::size_t j = 0; j < b.size(); ++j) {
        if (inB[b[j]] < 2) ++inB[b[j]];
        stelleB[b[j]] = static_cast<std::uint32_t>(j);
    }
    for (const std::uint32_t t : a) {
        if (inA[t] < 2) ++inA[t];
    }
    std::vector<Paar> kandidaten;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (inA[a[i]] == 1 && inB[a[i]] == 1) {
            kandidaten.push_back({static_cast<std::uint32_t>(i), stelleB[a[i]]});
        }
    }
    // Patience sorting: enden[l] is the candidate that ends the best run of length l + 1.
    std::vector<std::uint32_t> enden;
    std::vector<std::uint32_t> vorher(kandidaten.size(), 0);
    for (std::size_t i = 0; i < kandidaten.size(); ++i) {
        const auto stelle = std::lower_bound(
            enden.begin(), enden.end(), kandidaten[i].b,
            [&](std::uint32_t k, std::uint32_t wert) { return kandidaten[k].b < wert; });
        if (stelle != enden.begin()) vorher[i] = *(stelle - 1);
        if (stelle == enden.end()) {
            enden.push_back(static_cast<std::uint32_t>(i));
        } else {
            *stelle = static_cast<std::uint32_t>(i);
        }
    }
    std::vector<Paar> lauf(enden.size());
    if (!enden.empty()) {
        std::uint32_t k = enden.back();
        for (std::size_t l = enden.size(); l-- > 0;) {
            lauf[l] = kandidaten[k];
            k = vorher[k];
        }
    }
    return lauf;
}

}  // namespace

std::vector<std::uint32_t> aenderungsTokens(std::string_view t) {
    std::vector<std::uint32_t> enden;
    if (t.size() > kGroessterText) return enden;
    reservieren(enden, t.size() / 3 + 16);
    const std::size_t n = t.size();
    // Once a search for an end has failed, every later one from further on fails too.
    bool ohneKommentarEnde = false;
    bool ohneTagEnde = false;
    std::size_t rohtextBis = 0;  // the contents of a script or style element end here
    std::size_t i = 0;
    while (i < n) {
        const char c = t[i];
        std::size_t e = i + 1;
        if (c == '<' && i >= rohtextBis) {
            if (!ohneKommentarEnde && t.compare(i, 4, "<!--") == 0) {
                const std::size_t zu = t.find("-->", i + 4);
                if (zu == std::string_view::npos) {
                    ohneKommentarEnde = true;
                } else {
                    e = zu + 3;
                }
            } else if (!ohneTagEnde && i + 1 < n &&
                       (istAsciiBuchstabe(t[i + 1]) || t[i + 1] == '/' || t[i + 1] == '!' ||
                        t[i + 1] == '?' || t[i + 1] == '%')) {
                const std::size_t zu = t.find('>', i + 1);
                if (zu == std::string_view::npos) {
                    ohneTagEnde = true;
                } else {
                    e = zu + 1;
                    rohtextBis = rohtextEnde(t, i, e);
                }
            }
        } else if (istLeerraum(c)) {
            while (e < n && istLeerraum(t[e])) ++e;
        } else if (istWortzeichen(c) || (c == '&' && entitaet(t, i) > 0)) {
            e = i;
            for (;;) {
                if (e < n && istWortzeichen(t[e])) {
                    ++e;
                } else if (const std::size_t l = e < n && t[e] == '&' ? entitaet(t, e) : 0; l > 0) {
                    e += l;
                } else {
                    break;
                }
            }
        }
        enden.push_back(static_cast<std::uint32_t>(e));
        i = e;
    }
    return enden;
}

Vergleich vergleiche(std::string_view alt, std::string_view neu, std::uint64_t schritte) {
    Vergleich v;
    if (alt == neu) return v;
    if (alt.size() > kGroessterText || neu.size() > kGroessterText) {
        v.aenderungen.push_back({0, alt.size(), 0, neu.size(), 0, 0, 0, 0});
        v.grob = true;
        v.entfernt = alt.size();
        v.eingefuegt = neu.size();
        return v;
    }
    const std::vector<std::uint32_t> endenA = aenderungsTokens(alt);
    const std::vector<std::uint32_t> endenB = aenderungsTokens(neu);
    const std::size_t na = endenA.size();
    const std::size_t nb = endenB.size();

    Verzeichnis verzeichnis;
    std::vector<std::uint32_t> a;
    std::vector<std::uint32_t> b;
    reservieren(a, na);
    reservieren(b, nb);
    a.resize(na);
    b.resize(nb);
    const auto nummern = [&](std::string_view text, const std::vector<std::uint32_t>& enden,
                             std::vector<std::uint32_t>& ziel) {
        for (std::size_t i = 0; i < enden.size(); ++i) {
            const std::size_t von = tokenAnfang(enden, i);
            ziel[i] = verzeichnis.nummer(text.substr(von, enden[i] - von));
        }
    };
    nummern(alt, endenA, a);
    nummern(neu, endenB, b);
    const auto leer = [](std::string_view text, const std::vector<std::uint32_t>& enden,
                         std::size_t i) { return istLeerraum(text[tokenAnfang(enden, i)]); };

    std::size_t vorn = 0;
    while (vorn < na && vorn < nb && a[vorn] == b[vorn]) ++vorn;
    std::size_t hinten = 0;
    while (hinten < na - vorn && hinten < nb - vorn && a[na - 1 - hinten] == b[nb - 1 - hinten]) {
        ++hinten;
    }

    // The tokens between that take part in the diff, and their places among all tokens.
    std::vector<std::uint32_t> stelleA;
    std::vector<std::uint32_t> stelleB;
    std::vector<std::uint32_t> kernA;
    std::vector<std::uint32_t> kernB;
    reservieren(stelleA, na - hinten - vorn);
    reservieren(kernA, na - hinten - vorn);
    reservieren(stelleB, nb - hinten - vorn);
    reservieren(kernB, nb - hinten - vorn);
    for (std::size_t i = vorn; i < na - hinten; ++i) {
        if (!leer(alt, endenA, i)) {
            stelleA.push_back(static_cast<std::uint32_t>(i));
            kernA.push_back(a[i]);
        }
    }
    for (std::size_t j = vorn; j < nb - hinten; ++j) {
        if (!leer(neu, endenB, j)) {
            stelleB.push_back(static_cast<std::uint32_t>(j));
            kernB.push_back(b[j]);
        }
    }

    // Exact where affordable; otherwise split at the tokens that occur once and compare the
    // stretches between on their own, each with its share.
    std::vector<Paar> treffer;
    reservieren(treffer, std::min(kernA.size(), kernB.size()));
    Myers ganz(kernA, kernB, treffer);
    ganz.vergleiche(0, kernA.size(), 0, kernB.size(), schritte / 2);
    if (ganz.grob()) {
        treffer.clear();
        const std::vector<Paar> anker = einmalige(kernA, kernB, verzeichnis.anzahl());
        Myers myers(kernA, kernB, treffer);
        const std::size_t gesamt = kernA.size() + kernB.size();
        constexpr std::uint64_t kMindestens = 100'000;
        std::size_t x = 0;
        std::size_t y = 0;
        const auto abschnitt = [&](std::size_t x1, std::size_t y1) {
            const std::size_t groesse = (x1 - x) + (y1 - y);
            const auto anteil = static_cast<std::uint64_t>(static_cast<double>(schritte) * 0.5 *
                                                           static_cast<double>(groesse) /
                                                           static_cast<double>(gesamt));
            myers.vergleiche(x, x1, y, y1, std::max(anteil, kMindestens));
        };
        for (const Paar& p : anker) {
            abschnitt(p.a, p.b);
            treffer.push_back(p);
            x = p.a + std::size_t{1};
            y = p.b + std::size_t{1};
        }
        abschnitt(kernA.size(), kernB.size());
        v.grob = myers.grob();
    }

    // Every stretch between two matched tokens is one change, less what it begins and ends with
    // on both sides alike.
    const auto luecke = [&](std::size_t x0, std::size_t x1, std::size_t y0, std::size_t y1) {
        while (x0 < x1 && y0 < y1 && a[x0] == b[y0]) {
            ++x0;
            ++y0;
        }
        while (x1 > x0 && y1 > y0 && a[x1 - 1] == b[y1 - 1]) {
            --x1;
            --y1;
        }
        if (x0 == x1 && y0 == y1) return;
        Aenderung aenderung{tokenAnfang(endenA, x0),
                            tokenAnfang(endenA, x1),
                            tokenAnfang(endenB, y0),
                            tokenAnfang(endenB, y1),
                            x0,
                            x1,
                            y0,
                            y1};
        // The bytes both sides begin and end with alike stay too ("\r\n<!-- x -->\r\n" against
        // "\r\n\r\n" is the comment and one line break), unless nothing would be left.
        Aenderung knapp = aenderung;
        while (knapp.alt < knapp.altEnde && knapp.neu < knapp.neuEnde &&
               alt[knapp.alt] == neu[knapp.neu]) {
            ++knapp.alt;
            ++knapp.neu;
        }
        while (knapp.altEnde > knapp.alt && knapp.neuEnde > knapp.neu &&
               alt[knapp.altEnde - 1] == neu[knapp.neuEnde - 1]) {
            --knapp.altEnde;
            --knapp.neuEnde;
        }
        if (knapp.alt < knapp.altEnde || knapp.neu < knapp.neuEnde) aenderung = knapp;
        v.entfernt += aenderung.altEnde - aenderung.alt;
        v.eingefuegt += aenderung.neuEnde - aenderung.neu;
        v.aenderungen.push_back(aenderung);
    };
    reservieren(v.aenderungen, (kernA.size() + kernB.size() - 2 * treffer.size()) / 2 + 2);
    std::size_t x = vorn;
    std::size_t y = vorn;
    for (const Paar& p : treffer) {
        const std::size_t ia = stelleA[p.a];
        const std::size_t ib = stelleB[p.b];
        luecke(x, ia, y, ib);
        x = ia + 1;
        y = ib + 1;
    }
    luecke(x, na - hinten, y, nb - hinten);
    return v;
}

std::string tokenZeile(std::string_view token) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string zeile;
    zeile.reserve(token.size() + 2);
    for (const char c : token) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\') {
            zeile += "\\\\";
        } else if (c == '\r') {
            zeile += "\\r";
        } else if (c == '\n') {
            zeile += "\\n";
        } else if ((u < 0x20 && c != '\t') || u == 0x7F) {
            zeile += "\\x";
            zeile += kHex[u >> 4];
            zeile += kHex[u & 0xF];
        } else {
            zeile += c;
        }
    }
    return zeile;
}

namespace {

// "start,count" of a hunk header: the first line counted from 1 (for no lines the one before
// them), the count left out when it is 1.
std::string bereich(std::size_t anfang, std::size_t anzahl) {
    if (anzahl == 0) return std::to_string(anfang) + ",0";
    std::string s = std::to_string(anfang + 1);
    if (anzahl != 1) s += "," + std::to_string(anzahl);
    return s;
}

}  // namespace

std::string einheitlichesDiff(std::string_view alt, std::string_view neu,
                              const Vergleich& vergleich, std::string_view altName,
                              std::string_view neuName, std::size_t kontext) {
    if (vergleich.aenderungen.empty()) return {};
    if (alt.size() > kGroessterText || neu.size() > kGroessterText) {
        throw std::length_error("text too large for a token diff");
    }
    const std::vector<std::uint32_t> endenA = aenderungsTokens(alt);
    const std::vector<std::uint32_t> endenB = aenderungsTokens(neu);
    const auto zeile = [](std::string& aus, char zeichen, std::string_view text,
                          const std::vector<std::uint32_t>& enden, std::size_t i) {
        const std::size_t von = tokenAnfang(enden, i);
        aus += zeichen;
        aus += tokenZeile(text.substr(von, enden[i] - von));
        aus += '\n';
    };

    std::string aus;
    aus += "--- ";
    aus += altName;
    aus += "\n+++ ";
    aus += neuName;
    aus += '\n';
    const std::vector<Aenderung>& liste = vergleich.aenderungen;
    for (std::size_t erste = 0; erste < liste.size();) {
        std::size_t letzte = erste;
        while (letzte + 1 < liste.size() &&
               liste[letzte + 1].altToken - liste[letzte].altTokenEnde <= 2 * kontext) {
            ++letzte;
        }
        const Aenderung& anfang = liste[erste];
        const Aenderung& ende = liste[letzte];
        const std::size_t vorA = std::min(kontext, anfang.altToken);
        const std::size_t vonA = anfang.altToken - vorA;
        const std::size_t vonB = anfang.neuToken - vorA;
        const std::size_t nachA = std::min(kontext, endenA.size() - ende.altTokenEnde);
        const std::size_t bisA = ende.altTokenEnde + nachA;
        const std::size_t bisB = ende.neuTokenEnde + nachA;
        aus += "@@ -" + bereich(vonA, bisA - vonA) + " +" + bereich(vonB, bisB - vonB) + " @@\n";
        std::size_t i = vonA;
        for (std::size_t k = erste; k <= letzte; ++k) {
            const Aenderung& a = liste[k];
            for (; i < a.altToken; ++i) zeile(aus, ' ', alt, endenA, i);
            for (; i < a.altTokenEnde; ++i) zeile(aus, '-', alt, endenA, i);
            for (std::size_t j = a.neuToken; j < a.neuTokenEnde; ++j)
                zeile(aus, '+', neu, endenB, j);
        }
        for (; i < bisA; ++i) zeile(aus, ' ', alt, endenA, i);
        erste = letzte + 1;
    }
    return aus;
}

}  // namespace quintaro
