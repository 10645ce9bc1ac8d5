// Files for --check: read from disk, but nothing is ever written, copied, renamed or removed.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "document/lokale_dateien.h"

namespace quintaro::cli {

// Reads go to the local files; a save is kept in memory as the page that would be written, a
// backup or rename succeeds without touching anything.
class TrockeneDateien : public LokaleDateien {
  public:
    void schreiben(const std::string& pfad, const Text& inhalt) override;
    void stapelSchreiben(const std::string& pfad, const Text& inhalt) override;
    void vorschauSchreiben(const std::string& pfad, const Text& inhalt) override;
    void kopieren(const std::string& von, const std::string& nach, bool ueberschreiben) override;
    bool umbenennen(const std::string& von, const std::string& nach) override;
    bool loeschen(const std::string& pfad) override;
    void sammeln(bool) override {}
    std::vector<DateiFehlschlag> abschliessen() override { return {}; }
    bool sammlungVoll() const override { return false; }
    // What would be written is taken page by page on the run's own thread.
    std::unique_ptr<Dateien> nebenschreiber(std::size_t) override { return nullptr; }

    // The text the last save would have written, taken away.
    std::optional<Text> nehmen();

  private:
    std::optional<Text> geschrieben_;
};

}  // namespace quintaro::cli
