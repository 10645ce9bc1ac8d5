// The user's replacement table: ordered rows of search and replacement text, never empty.
#pragma once

#include <string>
#include <vector>

#include "engine/kapazitaet.h"
#include "engine/kodierung.h"
#include "engine/text.h"

namespace quintaro {

struct Ersetzung {
    Text suchtext;
    Text ersatztext;
    bool operator==(const Ersetzung&) const = default;
};

// Rows are numbered from 1. An empty table is the single placeholder row with both fields empty.
class Ersetzungstabelle {
  public:
    Ersetzungstabelle() : rows_(1) {}

    int anzahl() const { return static_cast<int>(rows_.size()); }
    const Ersetzung& zeile(int n) const { return rows_.at(static_cast<std::size_t>(n - 1)); }
    void setzeZeile(int n, Ersetzung row) {
        rows_.at(static_cast<std::size_t>(n - 1)) = std::move(row);
    }
    void anhaengen(Ersetzung row) { rows_.push_back(std::move(row)); }
    // Removes row n; the last remaining row is emptied instead, keeping the table non-empty.
    void entfernen(int n);
    // Loading: an empty list gives the placeholder row.
    void setzeAlle(std::vector<Ersetzung> rows);
    const std::vector<Ersetzung>& zeilen() const { return rows_; }
    // Exactly one row whose search text is empty.
    bool istPlatzhalter() const { return rows_.size() == 1 && rows_.front().suchtext.empty(); }
    bool operator==(const Ersetzungstabelle&) const = default;

  private:
    std::vector<Ersetzung> rows_;
};

// The replacement pass: each row in order, replace-all over the result of the rows before it.
// The rows are code page 1252 text; for a page in UTF-8 they are converted first, so that "ä" in
// the table finds "ä" in the page. Throws DateiFehler with kMemoKapazitaetFehler, before building
// it, when a row would make the text longer than `grenze` bytes.
Text ersetzungAnwenden(Text text, const Ersetzungstabelle& tabelle,
                       Kodierung kodierung = Kodierung::Cp1252,
                       std::size_t grenze = kMemoKapazitaet);

}  // namespace quintaro
