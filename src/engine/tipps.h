// Optimisation tips: ten checks on the optimised page, each with its own message.
#pragma once

#include <string_view>
#include <vector>

#include "engine/text.h"

namespace quintaro {

// Occurrences of `pattern` in `text` after lowercasing both (ASCII letters only); overlapping
// occurrences each count.
int VorkommenZaehlen(std::string_view text, std::string_view pattern);

// The messages (UTF-8) of every check that holds for `text`, in check order.
std::vector<std::string_view> optimierungstipps(std::string_view text);

}  // namespace quintaro
