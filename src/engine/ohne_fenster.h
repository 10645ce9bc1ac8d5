// The part of a run's surroundings that is the same wherever there is no window: the text in
// memory, fixed options and table, the document path and its encoding, and nothing to show or
// switch.
#pragma once

#include <string>
#include <utility>

#include "engine/kodierung.h"
#include "engine/optionen.h"
#include "engine/umgebung.h"

namespace quintaro {

class OhneFensterUmgebung : public Umgebung {
  public:
    // The encoding follows from the text as loaded, unless `wahl` names one.
    OhneFensterUmgebung(Text text, const OptionSet& optionen, const Ersetzungstabelle& tabelle,
                        std::string aktuelleDatei = {},
                        KodierungsWahl wahl = KodierungsWahl::Automatisch)
        : text_(std::move(text)),
          optionen_(optionen),
          tabelle_(tabelle),
          aktuelleDatei_(std::move(aktuelleDatei)),
          kodierung_(kodierungFuer(wahl, text_)) {}

    Text quelltext() override { return text_; }
    void setzeQuelltext(const Text& text) override { text_ = text; }
    Text* quelltextPuffer() override { return &text_; }
    bool option(int index) override { return optionen_[index]; }
    const Ersetzungstabelle& ersetzungstabelle() override { return tabelle_; }
    Kodierung kodierung() override { return kodierung_; }

    void setzeBeschaeftigt(bool) override {}
    void setzeOptimiertGroesse(const std::string&) override {}
    void setzeSeitenTitel(const std::string&) override {}
    void setzeBearbeitungsstatus(bool) override {}
    std::string aktuelleDatei() override { return aktuelleDatei_; }
    void setzeAktuelleDatei(const std::string& path) override { aktuelleDatei_ = path; }
    void setzeVorschaudatei(const std::string&) override {}

    void optimierungAnzeigen() override {}
    void quelltextSeiteZeigen() override {}

  protected:
    const Text& text() const { return text_; }
    // Hands the text over without a copy; the surroundings are left with an empty one.
    Text nimmText() { return std::move(text_); }
    const std::string& datei() const { return aktuelleDatei_; }

  private:
    Text text_;
    OptionSet optionen_;
    const Ersetzungstabelle& tabelle_;
    std::string aktuelleDatei_;
    Kodierung kodierung_;
};

}  // namespace quintaro
