// Replacement table model and pass.
#include "engine/ersetzungstabelle.h"

#include <stdexcept>

#include "engine/dateifehler.h"
#include "engine/leerraum.h"

namespace quintaro {

void Ersetzungstabelle::entfernen(int n) {
    if (n < 1 || n > anzahl()) throw std::out_of_range("Ersetzungstabelle: row out of range");
    if (rows_.size() == 1) {
        rows_.front() = Ersetzung{};
        return;
    }
    rows_.erase(rows_.begin() + (n - 1));
}

void Ersetzungstabelle::setzeAlle(std::vector<Ersetzung> rows) {
    rows_ = std::move(rows);
    if (rows_.empty()) rows_.resize(1);
}

namespace {
// Occurrences replace-all would replace: non-overlapping, left to right.
std::size_t vorkommen(std::string_view text, std::string_view suche) {
    std::size_t n = 0;
    for (auto pos = text.find(suche); pos != std::string_view::npos;
         pos = text.find(suche, pos + suche.size())) {
        ++n;
    }
    return n;
}

void zeileAnwenden(Text& text, const Ersetzung& row, std::size_t grenze) {
    // A row that does not lengthen the text is applied in place, sparing a copy.
    if (row.ersatztext.size() <= row.suchtext.size()) {
        alleErsetzenSchrumpfend(text, row.suchtext, row.ersatztext);
        return;
    }
    // Rows can grow a text geometrically ("a" -> "aa" doubles it): the new length is known
    // before anything is built, and a text past the limit is never built.
    const std::size_t zuwachs = row.ersatztext.size() - row.suchtext.size();
    const std::size_t n = vorkommen(text, row.suchtext);
    if (text.size() > grenze || n > (grenze - text.size()) / zuwachs) {
        throw DateiFehler(std::string(kMemoKapazitaetFehler));
    }
    text = alleErsetzen(text, row.suchtext, row.ersatztext);
}

}  // namespace

Text ersetzungAnwenden(Text text, const Ersetzungstabelle& tabelle, Kodierung kodierung,
                       std::size_t grenze) {
    for (const auto& row : tabelle.zeilen()) {
        if (row.suchtext.empty()) continue;
        if (kodierung == Kodierung::Utf8) {
            zeileAnwenden(text, {cp1252NachUtf8(row.suchtext), cp1252NachUtf8(row.ersatztext)},
                          grenze);
            continue;
        }
        zeileAnwenden(text, row, grenze);
    }
    return text;
}

}  // namespace quintaro
