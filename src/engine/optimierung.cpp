// The run driver.
#include "engine/optimierung.h"

#include <functional>

#include "engine/ersetzungstabelle.h"
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

// Asked before a pass: Ja carries it out, Nein skips it, Abbrechen ends the run.
using PassFrage = std::function<Antwort(std::string_view frage)>;

// The text passes in their fixed order. Returns false when the run was abandoned; `text` then
// holds what the passes before left.
// `schritt`: each pass is asked about, so none may be folded into another; otherwise nobody
// sees the text between the whitespace passes.
bool textPasses(Text& text, const std::function<bool(int)>& option,
                const Ersetzungstabelle& tabelle, Kodierung kodierung, std::size_t grenze,
                const PassFrage& passFrage, const KommentarFrage& kommentarFrage,
                const std::function<void()>& applied, bool schritt) {
    using namespace meldungen;
    // Each entry: option, question, transformation.
    auto pass = [&](bool considered, std::string_view frage, auto&& apply) -> bool {
        if (!considered) return true;
        const Antwort a = passFrage(frage);
        if (a == Antwort::Abbrechen) return false;
        if (a == Antwort::Nein) return true;
        const bool completed = apply();
        applied();
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
    auto plain = [&](Text (*f)(Text)) {
        return [&text, f] {
            text = f(std::move(text));
            return true;
        };
    };

    const bool hsb = option(HSB);
    // The tokens a comment pass leaves, for the sweep when nothing has changed the text since.
    html::Zerlegung zerlegt;
    bool zerlegtGilt = false;
    // Without questions, the comment pass of KMA takes the webbot comments along.
    const bool webbotsMitKommentaren = hsb && !schritt && option(KMA) && !option(KMM);
    if (!pass(option(FPW) && suche::finde(text, 0, "<!--webbot") != Text::npos, kFrageWebbots, [&] {
            if (!hsb) {
                inZweiten([&](Text& aus) {
                    return kommentareEntfernen(text, kWebbot, aus) != KommentarLauf::Unveraendert;
                });
            } else if (!webbotsMitKommentaren) {
                text = strukturKommentareEntfernen(std::move(text), true, {}, &zerlegt).text;
                zerlegtGilt = !schritt;
            }
            return true;
        }))
        return false;
    if (!pass((option(KMA) || option(KMM)) && suche::finde(text, 0, "<!--") != Text::npos,
              kFrageKommentare, [&] {
                  const KommentarFrage frage = option(KMM) ? kommentarFrage : KommentarFrage{};
                  if (hsb) {
                      auto r = strukturKommentareEntfernen(std::move(text), false, frage, &zerlegt);
                      zerlegtGilt = !schritt && !r.abgebrochen;
                      text = std::move(r.text);
                      return !r.abgebrochen;
                  }
                  auto lauf = KommentarLauf::Unveraendert;
                  inZweiten([&](Text& aus) {
                      lauf = kommentareEntfernen(text, kKommentar, aus, frage);
                      return lauf != KommentarLauf::Unveraendert;
                  });
                  return lauf != KommentarLauf::Abgebrochen;
              }))
        return false;
    if (!pass(option(AE), kFrageErsetzung, [&] {
            text = ersetzungAnwenden(std::move(text), tabelle, kodierung, grenze);
            // Rows with an empty search text change nothing.
            for (const auto& zeile : tabelle.zeilen()) {
                if (!zeile.suchtext.empty()) zerlegtGilt = false;
            }
            return true;
        }))
        return false;
    if (hsb) {
        // Without questions the whitespace passes and the special characters run as one sweep;
        // the result is the same.
        unsigned gesammelt = 0;
        auto leerraum = [&](unsigned bit) {
            return [&text, &gesammelt, bit, schritt] {
                if (schritt) {
                    text = strukturLeerraum(text, bit);
                } else {
                    gesammelt |= bit;
                }
                return true;
            };
        };
        if (!(pass(option(TAB), kFrageTabs, leerraum(kTabulatoren)) &&
              pass(option(DZU), kFrageDoppelteUmbrueche, leerraum(kDoppelteUmbrueche)) &&
              pass(option(ZU), kFrageUmbrueche, leerraum(kUmbrueche)) &&
              pass(option(DL), kFrageDoppelteLeerzeichen, leerraum(kDoppelteLeerzeichen)) &&
              pass(option(LZT), kFrageZwischenTags, leerraum(kZwischenTags)) &&
              pass(option(LIT), kFrageInTags, leerraum(kInTags)))) {
            return false;
        }
        // Markup is ASCII, so a text segment never splits a UTF-8 sequence.
        bool sonderzeichen = false;
        if (!pass(option(SZ), kFrageSonderzeichen, [&] {
                if (schritt) {
                    text = strukturSonderzeichen(text, kodierung);
                } else {
                    sonderzeichen = true;
                }
                return true;
            })) {
            return false;
        }
        if (gesammelt != 0 || sonderzeichen) {
            text = strukturLeerraum(text, gesammelt,
                                    sonderzeichen ? std::optional(kodierung) : std::nullopt,
                                    zerlegtGilt ? &zerlegt : nullptr);
        }
        return true;
    }
    if (!schritt && option(ZU) && option(DL)) {
        // Nobody sees the text between the whitespace passes: one sweep does them all.
        text = leerraumInEinemGang(std::move(text), option(TAB), option(LZT), option(LIT));
        applied();
    } else if (!(pass(option(TAB), kFrageTabs, plain(&tabulatorenEntfernen)) &&
                 pass(option(DZU), kFrageDoppelteUmbrueche,
                      plain(&doppelteZeilenumbruecheEntfernen)) &&
                 pass(option(ZU), kFrageUmbrueche, plain(&zeilenumbruecheEntfernen)) &&
                 pass(option(DL), kFrageDoppelteLeerzeichen,
                      plain(&doppelteLeerzeichenEntfernen)) &&
                 pass(option(LZT), kFrageZwischenTags, plain(&leerzeichenZwischenTagsEntfernen)) &&
                 pass(option(LIT), kFrageInTags, plain(&leerzeichenInTagsEntfernen)))) {
        return false;
    }
    return pass(option(SZ), kFrageSonderzeichen, [&] {
        inZweiten([&](Text& aus) { return SonderzeichenErsetzen(text, aus, kodierung, grenze); });
        return true;
    });
}

// Keeps the editor in step with the working text only when the user can look at it. Where
// nobody can, the run works on the surroundings' own text and there is nothing to keep in step.
class Arbeitstext {
  public:
    explicit Arbeitstext(Umgebung& u) : u_(u), direkt_(u.quelltextPuffer()) {
        if (direkt_ == nullptr) text_ = u.quelltext();
    }
    Text& text() { return direkt_ != nullptr ? *direkt_ : text_; }
    bool sichtbar() const { return direkt_ == nullptr; }
    void markDirty() { dirty_ = sichtbar(); }
    void markClean() { dirty_ = false; }
    bool isDirty() const { return dirty_; }
    void flush() {
        if (!dirty_) return;
        u_.setzeQuelltext(text_);
        dirty_ = false;
    }

  private:
    Umgebung& u_;
    Text* direkt_;
    Text text_;
    bool dirty_ = false;
};

}  // namespace

void Optimierung(Umgebung& u, Modus modus) {
    using namespace meldungen;
    const bool batch = modus == Modus::Automatisch;

    u.setzeBearbeitungsstatus(true);
    u.setzeOptimiertGroesse("/");
    Arbeitstext arbeit(u);
    if (arbeit.text().empty()) {
        u.meldung(std::string(kLeererQuelltext));
        u.setzeBearbeitungsstatus(false);
        return;
    }

    // Backup copy, taken from the file on disk. With no document file there is nothing to copy.
    const std::string datei = u.aktuelleDatei();
    if ((u.option(SK) || batch) && !datei.empty()) {
        const std::string bak = datei + ".bak";
        Dateien& dateien = u.dateien();
        if (batch) {
            // An existing backup is never replaced. Any other failure ends the file's run with
            // its error: the page is not saved over without a copy of it.
            if (dateien.art(bak) != Dateiart::Datei) dateien.kopieren(datei, bak, false);
        } else {
            // A normal run saves nothing by itself, so a failed copy costs nothing yet.
            try {
                if (!dateien.existiert(bak)) {
                    dateien.kopieren(datei, bak, false);
                } else if (u.frage(std::string(kSicherheitskopieUeberschreiben), Knoepfe::JaNein) ==
                           Antwort::Ja) {
                    dateien.kopieren(datei, bak, true);
                }
            } catch (const DateiFehler&) {
            }
        }
    }

    if (!batch) u.setzeBeschaeftigt(true);
    // A batch run leaves the cursor to the batch, which set it and is still going.
    auto abandon = [&] {
        arbeit.flush();
        if (!batch) u.setzeBeschaeftigt(false);
    };

    const PassFrage passFrage = [&](std::string_view frage) {
        if (modus != Modus::Schritt) return Antwort::Ja;
        arbeit.flush();
        return u.frage(std::string(frage), Knoepfe::JaNeinAbbrechen);
    };
    const Kodierung kodierung = u.kodierung();
    // While the comment pass runs, the working text is inside it: the editor is brought up to
    // date from the pass itself, and only when something changed since it was last shown.
    bool editorBehind = false;
    const KommentarFrage kommentarFrage = [&](std::string_view eintrag,
                                              const std::function<Text()>& current) {
        if (arbeit.sichtbar() && (editorBehind || arbeit.isDirty())) {
            u.setzeQuelltext(current());
            editorBehind = false;
            arbeit.markClean();
        }
        const Antwort a = u.frage(kommentarFrageText(eintrag, kodierung), Knoepfe::JaNeinAbbrechen);
        if (a == Antwort::Ja) editorBehind = true;
        return a;
    };

    const auto option = [&u](int i) { return u.option(i); };
    try {
        if (!textPasses(
                arbeit.text(), option, u.ersetzungstabelle(), kodierung, u.kapazitaet(), passFrage,
                kommentarFrage, [&arbeit] { arbeit.markDirty(); }, modus == Modus::Schritt)) {
            abandon();
            return;
        }
    } catch (...) {
        // A text past the capacity: nothing of this run reaches the editor, nothing is written.
        if (!batch) u.setzeBeschaeftigt(false);
        throw;
    }

    // Tips, never in a batch run.
    if (u.option(OT) && !batch) {
        Antwort a = Antwort::Ja;
        if (modus == Modus::Schritt) {
            arbeit.flush();
            a = u.frage(std::string(kFrageTipps), Knoepfe::JaNeinAbbrechen);
        }
        if (a == Antwort::Abbrechen) {
            abandon();
            return;
        }
        if (a == Antwort::Ja) {
            const auto tips = optimierungstipps(arbeit.text());
            if (!tips.empty()) arbeit.flush();
            for (auto tip : tips) u.meldung(std::string(tip));
        }
    }
    arbeit.flush();

    // End of the run.
    if (!batch) {
        const std::string vorschau = vorschaudatei(u.aktuelleDatei());
        u.setzeVorschaudatei(vorschau);
        try {
            u.dateien().vorschauSchreiben(vorschau, arbeit.text());
        } catch (...) {
            u.setzeBeschaeftigt(false);
            throw;
        }
        u.setzeOptimiertGroesse(std::to_string(u.dateien().groesse(vorschau)));
        u.setzeBeschaeftigt(false);
        if (u.option(NOA) && u.frage(std::string(kAnzeigen), Knoepfe::JaNein) == Antwort::Ja) {
            u.optimierungAnzeigen();
        }
        if (u.option(OA)) u.optimierungAnzeigen();
    }
    if (u.option(DKS)) {
        const std::string alt = u.aktuelleDatei();
        std::string neu = dateinameKlein(alt);
        // On a case-sensitive file system the lowercase name may belong to another file; on one
        // that ignores case it is the document itself, which is no other file.
        if (neu != alt && u.dateien().existiert(neu) && !u.dateien().dieselbeDatei(neu, alt)) {
            neu = alt;
        }
        u.setzeAktuelleDatei(neu);
        u.setzeSeitenTitel(neu);
    }
    if (batch) {
        u.dokumentSpeichernBatch();
    } else {
        u.quelltextSeiteZeigen();
        u.setzeBeschaeftigt(false);
    }
}

Text optimiereText(Text text, const OptionSet& options, const Ersetzungstabelle& tabelle,
                   Kodierung kodierung) {
    textPasses(
        text, [&options](int i) { return options[i]; }, tabelle, kodierung, kMemoKapazitaet,
        [](std::string_view) { return Antwort::Ja; }, KommentarFrage{}, [] {}, false);
    return text;
}

}  // namespace quintaro
