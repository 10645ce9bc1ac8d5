// The documents' size limit, one for every front end (the window passes in a lower one).
#pragma once

#include <cstddef>
#include <string_view>

namespace quintaro {

// The most bytes a document takes after line breaks are normalised. Far above any web page, yet
// low enough that a stray multi-gigabyte file is refused before it is read.
inline constexpr std::size_t kMemoKapazitaet = std::size_t{512} * 1024 * 1024;

inline constexpr std::string_view kMemoKapazitaetFehler = "Text überschreitet Memo-Kapazität";

}  // namespace quintaro
