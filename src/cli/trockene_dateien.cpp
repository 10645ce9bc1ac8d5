// Files that are read but never written, for --check.
#include "cli/trockene_dateien.h"

#include <utility>

namespace quintaro::cli {

void TrockeneDateien::schreiben(const std::string&, const Text& inhalt) {
    geschrieben_ = inhalt;
}

void TrockeneDateien::stapelSchreiben(const std::string&, const Text& inhalt) {
    geschrieben_ = inhalt;
}

// A batch run writes no preview.
void TrockeneDateien::vorschauSchreiben(const std::string&, const Text&) {}

void TrockeneDateien::kopieren(const std::string&, const std::string&, bool) {}

// As the real rename would: never over something that is there.
bool TrockeneDateien::umbenennen(const std::string&, const std::string& nach) {
    return art(nach) == Dateiart::Fehlt;
}

bool TrockeneDateien::loeschen(const std::string&) {
    return false;
}

std::optional<Text> TrockeneDateien::nehmen() {
    return std::exchange(geschrieben_, std::nullopt);
}

}  // namespace quintaro::cli
