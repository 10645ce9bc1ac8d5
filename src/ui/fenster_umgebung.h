// What an optimisation run needs from the window: TForm1's side of the engine's Umgebung.
#pragma once

#include "engine/umgebung.h"

namespace quintaro::ui {

class TForm1;

class FensterUmgebung : public Umgebung {
  public:
    explicit FensterUmgebung(TForm1& fenster) : f_(fenster) {}
    ~FensterUmgebung() override;

    Text quelltext() override;
    void setzeQuelltext(const Text& text) override;
    bool option(int index) override;
    const Ersetzungstabelle& ersetzungstabelle() override;
    Kodierung kodierung() override;
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
    bool dateiExistiert(const std::string& path) override;
    bool kopiereDatei(const std::string& from, const std::string& to, bool overwrite) override;
    std::int32_t dateigroesse(const std::string& path) override;
    void schreibeDatei(const std::string& path, const Text& text) override;
    void optimierungAnzeigen() override;
    void dokumentSpeichernBatch() override;
    void quelltextSeiteZeigen() override;

    bool beschaeftigt() const { return beschaeftigt_; }

  private:
    // While a box is on the screen the pointer is the normal one, so the user can answer.
    class NormalerZeiger;

    TForm1& f_;
    bool beschaeftigt_ = false;
};

}  // namespace quintaro::ui
