// The settings file as the command line takes it: whole, or not at all.
#pragma once

#include <string>
#include <string_view>

#include "cli/kanaele.h"
#include "settings/einstellungen.h"

namespace quintaro::cli {

// Applies the settings file at `pfad` to `einstellungen`. A file that cannot be taken whole, one
// larger than kIniGrenze or one with values that hold characters code page 1252 lacks, is a usage
// error: it is named (after `wie`, "--settings" or "settings file"), with each such value by
// section and key, on standard error, `einstellungen` stays as it was, and false is returned.
bool einstellungsdateiLesen(const std::string& pfad, std::string_view wie,
                            Einstellungen& einstellungen, const Kanaele& k);

}  // namespace quintaro::cli
