// Everything an optimisation run needs from its surroundings. The window implements it; tests and
// the command line fake it. All calls are synchronous.
#pragma once

#include <cstddef>
#include <string>

#include "engine/antwort.h"
#include "engine/dateien.h"
#include "engine/dateifehler.h"
#include "engine/ersetzungstabelle.h"
#include "engine/kapazitaet.h"
#include "engine/kodierung.h"
#include "engine/kommentare.h"
#include "engine/text.h"

namespace quintaro {

class Umgebung {
  public:
    virtual ~Umgebung() = default;

    // The source editor: the run's working buffer.
    virtual Text quelltext() = 0;
    virtual void setzeQuelltext(const Text& text) = 0;
    // The text itself where nobody can look at it during a run (no window): the run then works
    // on it in place instead of on a copy. Null where the text is shown.
    virtual Text* quelltextPuffer() { return nullptr; }

    virtual bool option(int index) = 0;
    // The most bytes the run's text may take; a pass that would grow it past this stops the run
    // with the capacity message.
    virtual std::size_t kapazitaet() { return kMemoKapazitaet; }
    virtual const Ersetzungstabelle& ersetzungstabelle() = 0;
    // The document's encoding, decided when it was loaded (or chosen by the user). Surroundings
    // without that knowledge have a page in code page 1252.
    virtual Kodierung kodierung() { return Kodierung::Cp1252; }

    // Message texts are UTF-8. JaNein answers Nein for Escape or the close button.
    virtual Antwort frage(const std::string& text, Knoepfe knoepfe) = 0;
    virtual void meldung(const std::string& text) = 0;

    virtual void setzeBeschaeftigt(bool busy) = 0;
    virtual void setzeOptimiertGroesse(const std::string& caption) = 0;
    virtual void setzeSeitenTitel(const std::string& caption) = 0;

    // Document state.
    virtual void setzeBearbeitungsstatus(bool geaendert) = 0;
    virtual std::string aktuelleDatei() = 0;
    virtual void setzeAktuelleDatei(const std::string& path) = 0;
    virtual void setzeVorschaudatei(const std::string& path) = 0;

    // The files the run copies (backup), writes (preview) and measures.
    virtual Dateien& dateien() = 0;

    // Commands of the window: show the preview, save after a batch run (throws DateiFehler),
    // bring the source page to the front.
    virtual void optimierungAnzeigen() = 0;
    virtual void dokumentSpeichernBatch() = 0;
    virtual void quelltextSeiteZeigen() = 0;
};

}  // namespace quintaro
