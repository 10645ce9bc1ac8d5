// The surroundings of a run on the command line: the page lives in memory, there is no window and
// no document file, and the run's batch save hands over the text for standard output.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/optionen.h"
#include "engine/umgebung.h"

namespace quintaro::cli {

class CliUmgebung : public Umgebung {
  public:
    using Fragesteller = std::function<Antwort(const std::string& text, Knoepfe knoepfe)>;

    // Without `frage` every question is answered as closing its box would: Abbrechen, or Nein.
    CliUmgebung(Text text, const OptionSet& optionen, const Ersetzungstabelle& tabelle,
                Fragesteller frage = {});

    // The text of the run's batch save; nothing when the run did not get that far.
    const std::optional<Text>& gespeichert() const { return gespeichert_; }
    // Messages of the run (UTF-8), in order.
    const std::vector<std::string>& meldungen() const { return meldungen_; }

    Text quelltext() override { return text_; }
    void setzeQuelltext(const Text& text) override { text_ = text; }
    bool option(int index) override { return optionen_[index]; }
    const Ersetzungstabelle& ersetzungstabelle() override { return tabelle_; }
    Antwort frage(const std::string& text, Knoepfe knoepfe) override;
    void meldung(const std::string& text) override { meldungen_.push_back(text); }

    void setzeBeschaeftigt(bool) override {}
    void setzeOptimiertGroesse(const std::string&) override {}
    void setzeSeitenTitel(const std::string&) override {}
    void setzeBearbeitungsstatus(bool) override {}
    std::string aktuelleDatei() override { return aktuelleDatei_; }
    void setzeAktuelleDatei(const std::string& path) override { aktuelleDatei_ = path; }
    void setzeVorschaudatei(const std::string&) override {}

    // No document file: the run must not touch the disk, so nothing exists and nothing is copied.
    bool dateiExistiert(const std::string&) override { return false; }
    bool kopiereDatei(const std::string&, const std::string&, bool) override { return false; }
    std::int32_t dateigroesse(const std::string&) override { return -1; }
    void schreibeDatei(const std::string& path, const Text&) override;

    void optimierungAnzeigen() override {}
    void dokumentSpeichernBatch() override { gespeichert_ = text_; }
    void quelltextSeiteZeigen() override {}

  private:
    Text text_;
    OptionSet optionen_;
    const Ersetzungstabelle& tabelle_;
    Fragesteller frage_;
    std::string aktuelleDatei_;
    std::optional<Text> gespeichert_;
    std::vector<std::string> meldungen_;
};

}  // namespace quintaro::cli
