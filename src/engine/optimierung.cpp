// The run: the passes over one text, what each did, the questions through one seam.
#include "engine/optimierung.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <tuple>
#include <utility>

#include "engine/ersetzungstabelle.h"
#include "engine/kuerzen.h"
#include "engine/leerraum.h"
#include "engine/sonderzeichen.h"
#include "engine/struktur.h"
#include "engine/suche.h"
#include "engine/tipps.h"

namespace quintaro {

std::string_view modusText(Modus modus) {
    switch (modus) {
        case Modus::Schritt:
            return "Schritt";
        case Modus::Automatisch:
            return "Automatisch";
        case Modus::Normal:
            break;
    }
    return "";
}

namespace {

// The report of a run as it goes. Passes that wait for one sweep are held back and reported as
// one entry when the sweep has run.
class Protokoll {
  public:
    Protokoll(std::vector<Passbericht>& passes, const Text& text) : passes_(passes), text_(text) {}

    // A pass that has just ended (with the passes held back for it, when there are any).
    void eintragen(std::string_view schluessel, std::size_t vorher, Passausgang ausgang) {
        std::string name(schluessel);
        if (!offen_.empty()) {
            name = std::move(offen_) + '+' + name;
            vorher = offenVorher_;
            offen_.clear();
        }
        passes_.push_back({std::move(name), vorher, text_.size(), ausgang});
    }
    // A pass carried out later by a sweep or by the next pass.
    void aufschieben(std::string_view schluessel) {
        if (offen_.empty()) {
            offenVorher_ = text_.size();
        } else {
            offen_ += '+';
        }
        offen_ += schluessel;
    }
    bool aufgeschoben() const { return !offen_.empty(); }
    // A pass whose sizes were counted inside a sweep it shared with others.
    void gezaehlt(std::string_view schluessel, std::size_t vorher, std::size_t nachher) {
        passes_.push_back({std::string(schluessel), vorher, nachher, Passausgang::Gelaufen});
    }
    // The held-back passes as one entry, once their sweep has run.
    void sweepEintragen() {
        passes_.push_back({std::move(offen_), offenVorher_, text_.size(), Passausgang::Gelaufen});
        offen_.clear();
    }

  private:
    std::vector<Passbericht>& passes_;
    const Text& text_;
    std::string offen_;
    std::size_t offenVorher_ = 0;
};

// The passes in the run's order, by the key they report under and whether their option is on,
// for the ones an abandoned run never reached.
struct PassPlatz {
    std::string_view schluessel;
    bool an;
};

std::vector<PassPlatz> reihenfolge(const Laufoptionen& o) {
    const Optionsmenge& op = o.optionen;
    const auto key = [](int option) { return kOptionen[static_cast<std::size_t>(option)].key; };
    return {
        {key(FPW), op[FPW]},
        {key(op[KMM] ? KMM : KMA), op[KMA] || op[KMM]},
        {key(AE), op[AE]},
        {key(TAB), op[TAB]},
        {key(DZU), op[DZU]},
        {key(ZU), op[ZU]},
        {key(DL), op[DL]},
        {key(LZT), op[LZT]},
        {key(LIT), op[LIT]},
        {key(SZ), op[SZ]},
        {key(CSS), op[HSB] && op[CSS]},
        {key(JS), op[HSB] && op[JS]},
        {key(ATK), op[HSB] && op[ATK]},
        {key(OT), op[OT] && o.modus != Modus::Automatisch},
    };
}

// The questions' side of a run: asks through `fragen` and keeps track of whether the text
// changed since the last question saw it.
class Fragesteller final : public Zwischenstand {
  public:
    Fragesteller(Fragen* fragen, const Text& text, const std::vector<Passbericht>& passes)
        : fragen_(fragen), text_(text), passes_(passes) {}

    bool geaendert() const override { return ungezeigt_; }
    Text text() const override { return aktuell_ ? (*aktuell_)() : text_; }
    const std::vector<Passbericht>& bisher() const override { return passes_; }

    Antwort frage(std::string_view text) {
        const Antwort a = fragen_->frage(std::string(text), *this);
        ungezeigt_ = false;
        return a;
    }
    // A question about one comment while the comment pass holds the text.
    Antwort kommentarFrage(std::string_view text, const std::function<Text()>& aktuell) {
        aktuell_ = &aktuell;
        const Antwort a = frage(text);
        aktuell_ = nullptr;
        if (a == Antwort::Ja) ungezeigt_ = true;
        return a;
    }
    void angewandt() { ungezeigt_ = true; }
    bool ungezeigt() const { return ungezeigt_; }
    bool kannFragen() const { return fragen_ != nullptr; }

  private:
    Fragen* fragen_;
    const Text& text_;
    const std::vector<Passbericht>& passes_;
    const std::function<Text()>* aktuell_ = nullptr;
    bool ungezeigt_ = false;
};

// Every call into the HSB passes, in one place: the webbot and comment removal, the whitespace
// passes one by one (questions) or as one sweep with the special characters.
class HsbSchritte {
  public:
    HsbSchritte(Kodierung kodierung, bool schritt, std::size_t grenze)
        : kodierung_(kodierung), schritt_(schritt), grenze_(grenze) {}

    void webbots(Text& text) {
        text = strukturKommentareEntfernen(std::move(text), true, {}, &zerlegt_).text;
        zerlegtGilt_ = !schritt_;
    }
    // The comments, and with KMA (no questions) the webbots along with them. False when
    // abandoned at a question.
    bool kommentare(Text& text, const KommentarFrage& frage) {
        auto r = strukturKommentareEntfernen(std::move(text), false, frage, &zerlegt_);
        zerlegtGilt_ = !schritt_ && !r.abgebrochen;
        text = std::move(r.text);
        return !r.abgebrochen;
    }
    // Rows with an empty search text change nothing; any other makes the tokens stale.
    void ersetzt(const Ersetzungstabelle& tabelle) {
        for (const auto& zeile : tabelle.zeilen()) {
            if (!zeile.suchtext.empty()) zerlegtGilt_ = false;
        }
    }
    void einzeln(Text& text, unsigned bit) { text = strukturLeerraum(text, bit); }
    void sonderzeichen(Text& text) { text = strukturSonderzeichen(text, kodierung_, grenze_); }
    // `weiter`: a pass follows that can take the result's tokens.
    void sweep(Text& text, unsigned bits, bool sonderzeichen, bool weiter) {
        text = strukturLeerraum(
            text, bits, sonderzeichen ? std::optional(kodierung_) : std::nullopt,
            zerlegtGilt_ ? &zerlegt_ : nullptr, grenze_, weiter ? &danach_ : nullptr);
        zerlegt_ = {};
        zerlegtGilt_ = false;
        danachGilt_ = weiter;
    }
    // The tokens of the text the sweep left, with their facts, until they are taken.
    const html::Tokenfolge* danach() const { return danachGilt_ ? &danach_ : nullptr; }

  private:
    Kodierung kodierung_;
    bool schritt_;
    std::size_t grenze_;  // the entities stop the run before the text outgrows it
    // The tokens a comment pass leaves, for the sweep when nothing has changed the text since.
    html::Zerlegung zerlegt_;
    bool zerlegtGilt_ = false;
    html::Tokenfolge danach_;
    bool danachGilt_ = false;
};

// The text passes in their fixed order. Returns false when the run was abandoned; `text` then
// holds what the passes before left. Without `fragen` (optimiereText) nothing is asked and KMM
// removes every comment.
// `schritt`: each pass is asked about, so none may be folded into another; otherwise nobody
// sees the text between the whitespace passes.
bool textPasses(Text& text, const Laufoptionen& lauf, Fragesteller& fragen, Protokoll& protokoll) {
    using namespace meldungen;
    const bool schritt = lauf.modus == Modus::Schritt;
    const auto option = [&lauf](int i) { return lauf.optionen[i]; };
    const auto key = [](int i) { return kOptionen[static_cast<std::size_t>(i)].key; };
    const Kodierung kodierung = lauf.kodierung;
    // Each entry: whether it is considered, its key and question, the transformation (false
    // when the run was abandoned inside it) and whether a sweep does it later.
    auto pass = [&](bool considered, std::string_view schluessel, std::string_view frage,
                    auto&& apply, bool aufschieben = false) -> bool {
        if (!considered) return true;
        const std::size_t vorher = text.size();
        const Antwort a = schritt ? fragen.frage(frage) : Antwort::Ja;
        if (a != Antwort::Ja) {
            protokoll.eintragen(
                schluessel, vorher,
                a == Antwort::Nein ? Passausgang::Uebersprungen : Passausgang::Abgebrochen);
            return a == Antwort::Nein;
        }
        if (aufschieben) {
            protokoll.aufschieben(schluessel);
            return true;
        }
        const bool completed = apply();
        fragen.angewandt();
        protokoll.eintragen(schluessel, vorher,
                            completed ? Passausgang::Gelaufen : Passausgang::Abgebrochen);
        return completed;
    };
    // The passes that build a new text write it into this second buffer, which then trades
    // places with the working text: two buffers for the whole run, the second reserved once.
    Text zweiter;
    const auto inZweiten = [&](auto&& schreiben) {
        // Room for the entity pass's usual growth too.
        if (zweiter.capacity() < text.size())
            reservieren(zweiter, text.size() + text.size() / 16 + 64);
        const bool geschrieben = schreiben(zweiter);
        if (geschrieben) text.swap(zweiter);
        return geschrieben;
    };

    const bool hsb = option(HSB);
    HsbSchritte struktur(kodierung, schritt, lauf.kapazitaet);
    // Without questions, the comment pass of KMA takes the webbot comments along.
    const bool webbotsMitKommentaren = hsb && !schritt && option(KMA) && !option(KMM);
    if (!pass(
            option(FPW) && suche::finde(text, 0, "<!--webbot") != Text::npos, key(FPW),
            kFrageWebbots,
            [&] {
                if (hsb) {
                    struktur.webbots(text);
                } else {
                    inZweiten([&](Text& aus) {
                        return kommentareEntfernen(text, kWebbot, aus) !=
                               KommentarLauf::Unveraendert;
                    });
                }
                return true;
            },
            webbotsMitKommentaren))
        return false;
    const KommentarFrage kommentarFrage =
        fragen.kannFragen()
            ? KommentarFrage([&](std::string_view eintrag, const std::function<Text()>& aktuell) {
                  return fragen.kommentarFrage(kommentarFrageText(eintrag, kodierung), aktuell);
              })
            : KommentarFrage{};
    if (!pass((option(KMA) || option(KMM)) && suche::finde(text, 0, "<!--") != Text::npos,
              key(option(KMM) ? KMM : KMA), kFrageKommentare, [&] {
                  const KommentarFrage frage = option(KMM) ? kommentarFrage : KommentarFrage{};
                  if (hsb) return struktur.kommentare(text, frage);
                  auto ergebnis = KommentarLauf::Unveraendert;
                  inZweiten([&](Text& aus) {
                      ergebnis = kommentareEntfernen(text, kKommentar, aus, frage);
                      return ergebnis != KommentarLauf::Unveraendert;
                  });
                  return ergebnis != KommentarLauf::Abgebrochen;
              }))
        return false;
    if (!pass(option(AE), key(AE), kFrageErsetzung, [&] {
            text = ersetzungAnwenden(std::move(text), lauf.tabelle, kodierung, lauf.kapazitaet);
            struktur.ersetzt(lauf.tabelle);
            return true;
        }))
        return false;

    // The whitespace passes; without questions several of them run as one sweep, with the same
    // result.
    struct Leerraumpass {
        int option;
        std::string_view frage;
        unsigned hsbBit;
        Text (*einzeln)(Text);
    };
    static constexpr std::array<Leerraumpass, 6> kLeerraum{{
        {TAB, kFrageTabs, kTabulatoren, &tabulatorenEntfernen},
        {DZU, kFrageDoppelteUmbrueche, kDoppelteUmbrueche, &doppelteZeilenumbruecheEntfernen},
        {ZU, kFrageUmbrueche, kUmbrueche, &zeilenumbruecheEntfernen},
        {DL, kFrageDoppelteLeerzeichen, kDoppelteLeerzeichen, &doppelteLeerzeichenEntfernen},
        {LZT, kFrageZwischenTags, kZwischenTags, &leerzeichenZwischenTagsEntfernen},
        {LIT, kFrageInTags, kInTags, &leerzeichenInTagsEntfernen},
    }};
    // HSB folds them all and the special characters too; the plain passes fold only when line
    // breaks and double spaces both go.
    const bool falten = !schritt && (hsb || (option(ZU) && option(DL)));
    unsigned bits = 0;
    for (const auto& p : kLeerraum) {
        const bool weiter = pass(
            option(p.option), key(p.option), p.frage,
            [&] {
                if (hsb) {
                    struktur.einzeln(text, p.hsbBit);
                } else {
                    text = p.einzeln(std::move(text));
                }
                return true;
            },
            falten);
        if (!weiter) return false;
        if (falten && option(p.option)) bits |= p.hsbBit;
    }
    if (falten && !hsb && protokoll.aufgeschoben()) {
        text = leerraumInEinemGang(std::move(text), option(TAB), option(LZT), option(LIT));
        fragen.angewandt();
        protokoll.sweepEintragen();
    }
    // Markup is ASCII, so a text segment never splits a UTF-8 sequence.
    if (!pass(
            option(SZ), key(SZ), kFrageSonderzeichen,
            [&] {
                if (hsb) {
                    struktur.sonderzeichen(text);
                } else {
                    inZweiten([&](Text& aus) {
                        return SonderzeichenErsetzen(text, aus, kodierung, lauf.kapazitaet);
                    });
                }
                return true;
            },
            falten && hsb))
        return false;
    // CSS, JS and ATK touch different bytes and decide on the same tree: without questions one
    // sweep does all three and counts what each saved.
    const Kuerzung alle{option(CSS), option(JS), option(ATK)};
    if (falten && hsb && protokoll.aufgeschoben()) {
        struktur.sweep(text, bits, option(SZ), alle.css || alle.js || alle.atk);
        fragen.angewandt();
        protokoll.sweepEintragen();
    }
    if (!hsb) return true;
    if (!schritt && (alle.css || alle.js || alle.atk)) {
        Gekuerzt g = seiteKuerzen(text, alle, kodierung, struktur.danach());
        std::size_t stand = text.size();
        text = std::move(g.text);
        fragen.angewandt();
        for (const auto& [an, nr, gespart] :
             {std::tuple{alle.css, CSS, g.css}, std::tuple{alle.js, JS, g.js},
              std::tuple{alle.atk, ATK, g.atk}}) {
            if (!an) continue;
            protokoll.gezaehlt(key(nr), stand, stand - gespart);
            stand -= gespart;
        }
        return true;
    }
    const auto kuerzen = [&](Kuerzung was) {
        return [&text, was, kodierung] {
            text = seiteKuerzen(text, was, kodierung).text;
            return true;
        };
    };
    return pass(alle.css, key(CSS), kFrageCss, kuerzen({.css = true})) &&
           pass(alle.js, key(JS), kFrageJs, kuerzen({.js = true})) &&
           pass(alle.atk, key(ATK), kFrageAtk, kuerzen({.atk = true}));
}

}  // namespace

Laufergebnis laufen(Text& text, const Laufoptionen& optionen, Fragen& fragen) {
    using namespace meldungen;
    Laufergebnis ergebnis;
    ergebnis.vorher = text.size();
    if (text.empty()) {
        ergebnis.leer = true;
        return ergebnis;
    }
    Protokoll protokoll(ergebnis.passes, text);
    Fragesteller fragesteller(&fragen, text, ergebnis.passes);
    bool weiter = textPasses(text, optionen, fragesteller, protokoll);

    // Tips, never in the mode Automatisch.
    if (weiter && optionen.optionen[OT] && optionen.modus != Modus::Automatisch) {
        const Antwort a =
            optionen.modus == Modus::Schritt ? fragesteller.frage(kFrageTipps) : Antwort::Ja;
        protokoll.eintragen(kOptionen[static_cast<std::size_t>(OT)].key, text.size(),
                            a == Antwort::Ja     ? Passausgang::Gelaufen
                            : a == Antwort::Nein ? Passausgang::Uebersprungen
                                                 : Passausgang::Abgebrochen);
        if (a == Antwort::Ja) ergebnis.tipps = optimierungstipps(text);
        weiter = a != Antwort::Abbrechen;
    }
    if (!weiter) {
        ergebnis.abgebrochen = true;
        // The passes after the one in hand, which the run never reached.
        const auto plaetze = reihenfolge(optionen);
        const std::string_view letzter = ergebnis.passes.back().schluessel;
        std::size_t i = 0;
        while (i < plaetze.size() && plaetze[i].schluessel != letzter) ++i;
        for (++i; i < plaetze.size(); ++i) {
            if (plaetze[i].an)
                protokoll.eintragen(plaetze[i].schluessel, text.size(), Passausgang::NichtErreicht);
        }
    }
    ergebnis.nachher = text.size();
    ergebnis.neuerStand = fragesteller.ungezeigt();
    return ergebnis;
}

Text optimiereText(Text text, const Optionsmenge& options, const Ersetzungstabelle& tabelle,
                   Kodierung kodierung) {
    if (text.empty()) return text;
    const Laufoptionen lauf{options, tabelle, kodierung, Modus::Normal, kMemoKapazitaet};
    std::vector<Passbericht> passes;
    Protokoll protokoll(passes, text);
    Fragesteller ohneFragen(nullptr, text, passes);
    textPasses(text, lauf, ohneFragen, protokoll);
    return text;
}

std::vector<std::string_view> passOptionen(std::string_view schluessel) {
    std::vector<std::string_view> captions;
    for (std::size_t anfang = 0; anfang <= schluessel.size();) {
        const std::size_t plus = std::min(schluessel.find('+', anfang), schluessel.size());
        const auto key = schluessel.substr(anfang, plus - anfang);
        const auto option = optionZumSchluessel(key);
        captions.push_back(option ? kOptionen[static_cast<std::size_t>(*option)].caption : key);
        anfang = plus + 1;
    }
    return captions;
}

std::string passName(std::string_view schluessel) {
    if (schluessel.find('+') == std::string_view::npos)
        return std::string(passOptionen(schluessel).front());
    // What a sweep's parts do, each named once in the run's order.
    std::vector<std::string_view> teile;
    for (std::size_t anfang = 0; anfang <= schluessel.size();) {
        const std::size_t plus = std::min(schluessel.find('+', anfang), schluessel.size());
        const auto option = optionZumSchluessel(schluessel.substr(anfang, plus - anfang));
        std::string_view teil = "Sonstiges";
        if (option) {
            switch (*option) {
                case FPW:
                    teil = "Webbots";
                    break;
                case KMA:
                case KMM:
                    teil = "Kommentare";
                    break;
                case AE:
                    teil = "Ersetzung";
                    break;
                case SZ:
                    teil = "Sonderzeichen";
                    break;
                default:
                    teil = "Leerraum";
                    break;
            }
        }
        if (std::find(teile.begin(), teile.end(), teil) == teile.end()) teile.push_back(teil);
        anfang = plus + 1;
    }
    std::string name;
    for (std::size_t i = 0; i < teile.size(); ++i) {
        if (i > 0) name += i + 1 == teile.size() ? " und " : ", ";
        name += teile[i];
    }
    return name;
}

}  // namespace quintaro
