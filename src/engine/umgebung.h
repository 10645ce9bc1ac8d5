// Everything an optimisation run needs from its surroundings. The window implements it; tests and
// the command line fake it. All calls are synchronous.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "engine/ersetzungstabelle.h"
#include "engine/kommentare.h"
#include "engine/text.h"

namespace quintaro {

enum class Knoepfe { JaNein, JaNeinAbbrechen };

// A file that cannot be read or written; the text is the complete message for the user.
class DateiFehler : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

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
    virtual const Ersetzungstabelle& ersetzungstabelle() = 0;

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

    // Files; paths use '/'.
    virtual bool dateiExistiert(const std::string& path) = 0;
    virtual bool kopiereDatei(const std::string& from, const std::string& to, bool overwrite) = 0;
    virtual std::int32_t dateigroesse(const std::string& path) = 0;
    // Throws DateiFehler.
    virtual void schreibeDatei(const std::string& path, const Text& text) = 0;

    // Commands of the window: show the preview, save after a batch run (throws DateiFehler),
    // bring the source page to the front.
    virtual void optimierungAnzeigen() = 0;
    virtual void dokumentSpeichernBatch() = 0;
    virtual void quelltextSeiteZeigen() = 0;
};

}  // namespace quintaro
