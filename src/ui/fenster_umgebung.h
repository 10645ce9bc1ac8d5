// What an optimisation run needs from the window: TForm1's side of the engine's Umgebung.
#pragma once

#include <string>

#include "engine/umgebung.h"

namespace quintaro::ui {

class Dialoge;
class OptionsPage;
class PageControl;
class SourcePage;
class TForm1;

// The window's document: the file shown, whether the editor holds unsaved changes, and the
// preview file of the last run.
struct Dokumentzustand {
    std::string aktuelleDatei;
    bool bearbeitungsstatus = false;
    std::string vorschaudatei;
};

class FensterUmgebung : public Umgebung {
  public:
    // `fenster` carries out the window's commands and is the boxes' parent.
    FensterUmgebung(TForm1& fenster, Dokumentzustand& dokument, Dialoge& dialoge, Dateien& dateien,
                    SourcePage& quelltext, OptionsPage& optionen, PageControl& seiten)
        : fenster_(fenster),
          dokument_(dokument),
          dialoge_(dialoge),
          dateien_(dateien),
          quelltext_(quelltext),
          optionen_(optionen),
          seiten_(seiten) {}
    ~FensterUmgebung() override;

    Text quelltext() override;
    void setzeQuelltext(const Text& text) override;
    bool option(int index) override;
    const Ersetzungstabelle& ersetzungstabelle() override;
    Antwort frage(const std::string& text, Knoepfe knoepfe) override;
    void meldung(const std::string& text) override;
    // Balanced: a second "busy" or "normal" in a row changes nothing.
    void setzeBeschaeftigt(bool busy) override;
    void setzeOptimiertGroesse(const std::string& caption) override;
    void setzeSeitenTitel(const std::string& caption) override;
    void setzeBearbeitungsstatus(bool geaendert) override;
    std::string aktuelleDatei() override;
    void setzeAktuelleDatei(const std::string& path) override;
    void setzeVorschaudatei(const std::string& path) override;
    Dateien& dateien() override { return dateien_; }
    void optimierungAnzeigen() override;
    // The window's batch goes through the batch module; a run in that mode here saves the
    // editor's text as the batch save does.
    void dokumentSpeichernBatch() override;
    void quelltextSeiteZeigen() override;

    bool beschaeftigt() const { return beschaeftigt_; }

  private:
    // While a box is on the screen the pointer is the normal one, so the user can answer.
    class NormalerZeiger;

    TForm1& fenster_;
    Dokumentzustand& dokument_;
    Dialoge& dialoge_;
    Dateien& dateien_;
    SourcePage& quelltext_;
    OptionsPage& optionen_;
    PageControl& seiten_;
    bool beschaeftigt_ = false;
};

}  // namespace quintaro::ui
