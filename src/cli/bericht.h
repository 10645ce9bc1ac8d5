// What a run saved, pass by pass, as quintaro-cli reports it with --report: a table for people
// and one JSON object per page for scripts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/kodierung.h"
#include "engine/optimierung.h"

namespace quintaro::cli {

enum class Berichtsart { Kein, Tabelle, Json };

// One row of a table: a pass (or the same pass over several pages) and the bytes it saved.
struct Berichtszeile {
    std::string schluessel;
    std::int64_t gespart = 0;
    bool gelaufen = true;
};

// What a run or several runs saved: the rows in the run's order, the sizes before and after.
struct Einsparung {
    std::vector<Berichtszeile> zeilen;
    std::size_t vorher = 0;
    std::size_t nachher = 0;
    std::size_t seiten = 0;

    // Adds a run; a pass already listed takes its bytes, a new one goes to the end.
    void hinzu(const Laufergebnis& lauf);
};

// The table: a heading row, a row per pass (key, bytes saved, share of the whole, the name) and
// a row for the whole; each line indented by two spaces and ended by '\n'.
std::string berichtTabelle(const Einsparung& einsparung);

// "cp1252", "utf-8" or "other" (the words of --encoding).
std::string_view kodierungsWort(Kodierung kodierung);

// `text` as a JSON string, quotes included. Bytes that are not well-formed UTF-8 become U+FFFD.
std::string jsonText(std::string_view text);

// One line: {"file": ..., "encoding": ..., "before": N, "after": N, "passes": [...]}, with
// `datei` null when there is none.
std::string berichtJson(const std::optional<std::string>& datei, Kodierung kodierung,
                        const Laufergebnis& lauf);

// What --check says of a page that would change from `vorher` to `nachher` bytes: "would save N
// bytes (A -> B)", "would grow by N bytes (A -> B)" or "would change (A -> B bytes)".
std::string pruefText(std::size_t vorher, std::size_t nachher);

// The report of one page on standard error: a heading naming the page and its encoding and the
// table (Tabelle), or the JSON line (Json).
std::string seitenBericht(Berichtsart art, const std::optional<std::string>& datei,
                          std::string_view anzeigeName, Kodierung kodierung,
                          const Laufergebnis& lauf);

}  // namespace quintaro::cli
