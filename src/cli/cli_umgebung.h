// The surroundings of a run on the command line: the page lives in memory, there is no window and
// no document file, and the run's batch save hands over the text for standard output.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/ohne_fenster.h"
#include "engine/optionen.h"
#include "engine/umgebung.h"

namespace quintaro::cli {

class CliUmgebung : public OhneFensterUmgebung {
  public:
    using Fragesteller = std::function<Antwort(const std::string& text, Knoepfe knoepfe)>;

    // Without `frage` every question is answered as closing its box would: Abbrechen, or Nein.
    CliUmgebung(Text text, const OptionSet& optionen, const Ersetzungstabelle& tabelle,
                Fragesteller frage = {}, KodierungsWahl wahl = KodierungsWahl::Automatisch);

    // The text of the run's batch save; nothing when the run did not get that far.
    const std::optional<Text>& gespeichert() const { return gespeichert_; }
    // Messages of the run (UTF-8), in order.
    const std::vector<std::string>& meldungen() const { return meldungen_; }

    Antwort frage(const std::string& text, Knoepfe knoepfe) override;
    void meldung(const std::string& text) override { meldungen_.push_back(text); }

    Dateien& dateien() override { return keine_; }

    void dokumentSpeichernBatch() override { gespeichert_ = nimmText(); }

  private:
    // No document file: the run must not touch the disk, so nothing exists and nothing is copied.
    class KeineDateien : public Dateien {
      public:
        Text lesen(const std::string& pfad, std::size_t) override;
        void schreiben(const std::string& pfad, const Text&) override;
        void vorschauSchreiben(const std::string& pfad, const Text& text) override {
            schreiben(pfad, text);
        }
        bool existiert(const std::string&) override { return false; }
        Dateiart art(const std::string&) override { return Dateiart::Fehlt; }
        bool dieselbeDatei(const std::string&, const std::string&) override { return false; }
        void kopieren(const std::string&, const std::string& nach, bool) override;
        bool umbenennen(const std::string&, const std::string&) override { return false; }
        std::int32_t groesse(const std::string&) override { return -1; }
        bool loeschen(const std::string&) override { return false; }
    };

    KeineDateien keine_;
    Fragesteller frage_;
    std::optional<Text> gespeichert_;
    std::vector<std::string> meldungen_;
};

}  // namespace quintaro::cli
