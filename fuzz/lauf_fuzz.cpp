// Fuzzes a whole run (options, replacement rows, answers, mode) and checks its text against the
// literal passes of tests/engine/literal.*, replaying the answers the run was given.
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/literal.h"
#include "engine/optimierung.h"
#include "pruefe.h"

using quintaro::fuzz::pruefe;

namespace {

using namespace quintaro;

// Takes bytes from the front of the input.
class Leser {
  public:
    explicit Leser(std::string_view bytes) : rest_(bytes) {}
    unsigned char byte() {
        if (rest_.empty()) return 0;
        const auto b = static_cast<unsigned char>(rest_.front());
        rest_.remove_prefix(1);
        return b;
    }
    std::string text(std::size_t n) {
        n = std::min(n, rest_.size());
        std::string t(rest_.substr(0, n));
        rest_.remove_prefix(n);
        return t;
    }
    std::string_view rest() const { return rest_; }

  private:
    std::string_view rest_;
};

struct Frage {
    std::string text;
    Antwort antwort;
};

// Answers from the input and records every question.
class FuzzFragen : public Fragen {
  public:
    explicit FuzzFragen(std::string antworten) : antworten_(std::move(antworten)) {}

    std::vector<Frage> fragen;

    Antwort frage(const std::string& text, const Zwischenstand&) override {
        const unsigned char b =
            naechste_ < antworten_.size() ? static_cast<unsigned char>(antworten_[naechste_++]) : 0;
        const Antwort a = (b % 3 == 0)   ? Antwort::Ja
                          : (b % 3 == 1) ? Antwort::Nein
                                         : Antwort::Abbrechen;
        fragen.push_back({text, a});
        return a;
    }

  private:
    std::string antworten_;
    std::size_t naechste_ = 0;
};

// The literal passes in their order, asking as the run asked. Returns the text the run must
// leave, or nothing when it was abandoned (the text then is what the passes before left).
Text erwartet(Text t, const Optionsmenge& o, const Ersetzungstabelle& tabelle, Modus modus,
              const std::vector<Frage>& fragen, std::size_t& i) {
    using namespace meldungen;
    const auto naechste = [&](const std::string& text) {
        pruefe(i < fragen.size() && fragen[i].text == text);
        return fragen[i++].antwort;
    };
    bool abgebrochen = false;
    const auto pass = [&](bool bedingung, std::string_view frage, auto&& anwenden) {
        if (abgebrochen || !bedingung) return;
        const Antwort a = modus == Modus::Schritt ? naechste(std::string(frage)) : Antwort::Ja;
        if (a == Antwort::Abbrechen) abgebrochen = true;
        if (a == Antwort::Ja) anwenden();
    };
    pass(o[FPW] && t.find("<!--webbot") != Text::npos, kFrageWebbots,
         [&] { t = literal::kommentareEntfernen(t, kWebbot).text; });
    pass((o[KMA] || o[KMM]) && t.find("<!--") != Text::npos, kFrageKommentare, [&] {
        literal::Antwortgeber frage;
        if (o[KMM]) {
            frage = [&](const Text& eintrag) { return naechste(kommentarFrageText(eintrag)); };
        }
        auto lauf = literal::kommentareEntfernen(t, kKommentar, frage);
        t = std::move(lauf.text);
        abgebrochen = lauf.abgebrochen;
    });
    pass(o[AE], kFrageErsetzung, [&] { t = literal::ersetzung(t, tabelle); });
    pass(o[TAB], kFrageTabs, [&] { t = literal::tabulatoren(t); });
    pass(o[DZU], kFrageDoppelteUmbrueche, [&] { t = literal::doppelteZeilenumbrueche(t); });
    pass(o[ZU], kFrageUmbrueche, [&] { t = literal::zeilenumbrueche(t); });
    pass(o[DL], kFrageDoppelteLeerzeichen, [&] { t = literal::doppelteLeerzeichen(t); });
    pass(o[LZT], kFrageZwischenTags, [&] { t = literal::zwischenTags(t); });
    pass(o[LIT], kFrageInTags, [&] { t = literal::inTags(t); });
    pass(o[SZ], kFrageSonderzeichen, [&] { t = literal::sonderzeichen(t); });
    return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Leser leser(std::string_view(reinterpret_cast<const char*>(data), size));
    // Three bytes of option bits, the mode, the rows, the answers, then the page.
    Optionsmenge optionen;
    unsigned maske = 0;
    for (unsigned k = 0; k < 3; ++k) maske |= static_cast<unsigned>(leser.byte()) << (8U * k);
    for (int i = 0; i < kOptionCount; ++i) {
        optionen.set(i, ((maske >> static_cast<unsigned>(i)) & 1U) != 0);
    }
    // The literal passes know nothing of HSB; the HTML parser in the engine tests judges it.
    optionen.set(HSB, false);
    const Modus modus = static_cast<Modus>(leser.byte() % 3);
    Ersetzungstabelle tabelle;
    const int zeilen = leser.byte() % 4;
    std::vector<Ersetzung> reihen;
    for (int z = 0; z < zeilen; ++z) {
        Ersetzung e;
        e.suchtext = leser.text(leser.byte() % 6);
        e.ersatztext = leser.text(leser.byte() % 6);
        reihen.push_back(std::move(e));
    }
    tabelle.setzeAlle(std::move(reihen));
    const std::string antworten = leser.text(leser.byte() % 32);
    const Text text = umbruecheVereinheitlichen(leser.rest().substr(0, 4096));

    FuzzFragen u(antworten);
    Text lauf = text;
    const Laufergebnis ergebnis =
        laufen(lauf, Laufoptionen{optionen, tabelle, Kodierung::Cp1252, modus}, u);
    if (text.empty()) {
        pruefe(lauf.empty() && u.fragen.empty() && ergebnis.leer);
        return 0;
    }
    std::size_t i = 0;
    const Text soll = erwartet(text, optionen, tabelle, modus, u.fragen, i);
    pruefe(lauf == soll);
    // The report chains from the size before to the size after.
    std::size_t stand = ergebnis.vorher;
    for (const auto& p : ergebnis.passes) {
        pruefe(p.vorher == stand);
        stand = p.nachher;
    }
    pruefe(stand == ergebnis.nachher && stand == lauf.size());
    return 0;
}
