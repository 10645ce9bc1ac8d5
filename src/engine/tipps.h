// Optimisation tips: ten checks on the optimised page, each with its own message.
#pragma once

#include <string_view>
#include <vector>

#include "engine/text.h"

namespace quintaro {

// Occurrences of `pattern` in `text` after lowercasing both (ASCII letters only); overlapping
// occurrences each count.
int VorkommenZaehlen(std::string_view text, std::string_view pattern);

// The ten checks, in the order they are made and shown.
enum class Tipp {
    Alternativtexte,  // fewer alt attributes than images
    Grafiktitel,      // fewer title attributes than images
    Breitenangaben,   // fewer width attributes than images
    Hoehenangaben,    // fewer height attributes than images
    Dokumententyp,    // no document type
    Seitentitel,      // no page title
    Generator,        // generator metadata
    ProgId,           // ProgID metadata
    Originator,       // originator metadata
    LokaleDateien,    // links to local files
};

// The message (UTF-8) the user is shown for a tip.
std::string_view tippText(Tipp tipp);

// The checks that hold for `text`, in check order.
std::vector<Tipp> tippsFuer(std::string_view text);
// Their messages.
std::vector<std::string_view> optimierungstipps(std::string_view text);

}  // namespace quintaro
