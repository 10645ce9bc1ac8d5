// Replacement table model and pass.
#include "engine/ersetzungstabelle.h"

#include <stdexcept>

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

void zeileAnwenden(Text& text, const Ersetzung& row) {
    // A row that does not lengthen the text is applied in place, sparing a copy.
    if (row.ersatztext.size() <= row.suchtext.size()) {
        replaceAllShrinking(text, row.suchtext, row.ersatztext);
    } else {
        text = replaceAll(text, row.suchtext, row.ersatztext);
    }
}

}  // namespace

Text ersetzungAnwenden(Text text, const Ersetzungstabelle& tabelle, Kodierung kodierung) {
    for (const auto& row : tabelle.zeilen()) {
        if (row.suchtext.empty()) continue;
        if (kodierung == Kodierung::Utf8) {
            zeileAnwenden(text, {cp1252ToUtf8(row.suchtext), cp1252ToUtf8(row.ersatztext)});
            continue;
        }
        zeileAnwenden(text, row);
    }
    return text;
}

}  // namespace quintaro
