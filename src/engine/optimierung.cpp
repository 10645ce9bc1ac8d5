// The run driver.
#include "engine/optimierung.h"

#include <functional>

#include "engine/ersetzungstabelle.h"
#include "engine/leerraum.h"
#include "engine/sonderzeichen.h"
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

std::string ordnerTeil(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string dateinameKlein(const std::string& path) {
    const std::string folder = ordnerTeil(path);
    return folder + lowerAscii(std::string_view(path).substr(folder.size()));
}

namespace {

// Asked before a pass: Ja carries it out, Nein skips it, Abbrechen ends the run.
using PassFrage = std::function<Antwort(std::string_view frage)>;

// The text passes in their fixed order. Returns false when the run was abandoned; `text` then
// holds what the passes before left. Without `fragen` every pass is carried out unasked and
// nobody sees the text between them.
bool textPasses(Text& text, const std::function<bool(int)>& option,
                const Ersetzungstabelle& tabelle, const PassFrage& passFrage, bool fragen,
                const KommentarFrage& kommentarFrage, const std::function<void()>& applied) {
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
        if (zweiter.capacity() < text.size()) zweiter.reserve(text.size() + text.size() / 16 + 64);
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

    if (!pass(option(FPW) && suche::finde(text, 0, "<!--webbot") != Text::npos, kFrageWebbots, [&] {
            inZweiten([&](Text& aus) {
                return kommentareEntfernen(text, kWebbot, aus) != KommentarLauf::Unveraendert;
            });
            return true;
        }))
        return false;
    if (!pass((option(KMA) || option(KMM)) && suche::finde(text, 0, "<!--") != Text::npos,
              kFrageKommentare, [&] {
                  auto lauf = KommentarLauf::Unveraendert;
                  inZweiten([&](Text& aus) {
                      lauf = kommentareEntfernen(text, kKommentar, aus,
                                                 option(KMM) ? kommentarFrage : KommentarFrage{});
                      return lauf != KommentarLauf::Unveraendert;
                  });
                  return lauf != KommentarLauf::Abgebrochen;
              }))
        return false;
    if (!pass(option(AE), kFrageErsetzung, [&] {
            text = ersetzungAnwenden(std::move(text), tabelle);
            return true;
        }))
        return false;
    if (!fragen && option(ZU) && option(DL)) {
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
        inZweiten([&](Text& aus) { return SonderzeichenErsetzen(text, aus); });
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
        if (!batch && u.dateiExistiert(bak)) {
            if (u.frage(std::string(kSicherheitskopieUeberschreiben), Knoepfe::JaNein) ==
                Antwort::Ja) {
                u.kopiereDatei(datei, bak, true);
            }
        } else {
            u.kopiereDatei(datei, bak, false);
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
        const Antwort a = u.frage(kommentarFrageText(eintrag), Knoepfe::JaNeinAbbrechen);
        if (a == Antwort::Ja) editorBehind = true;
        return a;
    };

    const auto option = [&u](int i) { return u.option(i); };
    if (!textPasses(arbeit.text(), option, u.ersetzungstabelle(), passFrage,
                    modus == Modus::Schritt, kommentarFrage, [&arbeit] { arbeit.markDirty(); })) {
        abandon();
        return;
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
        const std::string vorschau = ordnerTeil(u.aktuelleDatei()) + std::string(kVorschauName);
        u.setzeVorschaudatei(vorschau);
        try {
            u.schreibeDatei(vorschau, arbeit.text());
        } catch (...) {
            u.setzeBeschaeftigt(false);
            throw;
        }
        u.setzeOptimiertGroesse(std::to_string(u.dateigroesse(vorschau)));
        u.setzeBeschaeftigt(false);
        if (u.option(NOA) && u.frage(std::string(kAnzeigen), Knoepfe::JaNein) == Antwort::Ja) {
            u.optimierungAnzeigen();
        }
        if (u.option(OA)) u.optimierungAnzeigen();
    }
    if (u.option(DKS)) {
        const std::string alt = u.aktuelleDatei();
        std::string neu = dateinameKlein(alt);
        // On a case-sensitive file system the lowercase name may belong to another file.
        if (neu != alt && u.dateiExistiert(neu)) neu = alt;
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

Text optimiereText(Text text, const OptionSet& options, const Ersetzungstabelle& tabelle) {
    textPasses(
        text, [&options](int i) { return options[i]; }, tabelle,
        [](std::string_view) { return Antwort::Ja; }, false, KommentarFrage{}, [] {});
    return text;
}

}  // namespace quintaro
