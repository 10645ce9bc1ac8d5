// The twenty-two on/off options that decide a run's passes and the program's behaviour around it.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace quintaro {

// The index is an option's identity: its row in the list and its settings key.
enum Option : int {
    ZU = 0,  // line breaks
    DZU,     // double line breaks
    DL,      // double spaces
    LZT,     // spaces between tags
    LIT,     // spaces in tags
    TAB,     // tabs
    KMA,     // comments, automatic
    KMM,     // comments, after confirmation
    SZ,      // special characters
    AE,      // automatic replacement
    SK,      // backup copies
    FPW,     // FrontPage webbots
    OT,      // optimisation tips
    DKS,     // lowercase file name
    NOA,     // offer display after run
    OA,      // display automatically after run
    PES,     // save options at program end
    PEE,     // save window settings at program end
    HSB,     // keep to the page's HTML structure
    CSS,     // minify style sheets and style attributes (with HSB only)
    JS,      // minify JavaScript (with HSB only)
    ATK,     // shorten attributes and omit optional tags (with HSB only)
};

inline constexpr int kOptionCount = 22;

struct OptionInfo {
    int index;
    std::string_view caption;  // UTF-8
    std::string_view key;      // settings key
    bool defaultOn;
};

extern const std::array<OptionInfo, kOptionCount> kOptionen;

// Looks an option up by its settings key (exact letter case).
std::optional<int> optionZumSchluessel(std::string_view key);

// A plain set of states; nothing here applies the interlocks.
class Optionsmenge {
  public:
    Optionsmenge();  // the defaults
    bool operator[](int index) const { return states_.at(static_cast<std::size_t>(index)); }
    void set(int index, bool on) { states_.at(static_cast<std::size_t>(index)) = on; }
    bool operator==(const Optionsmenge&) const = default;

  private:
    std::array<bool, kOptionCount> states_{};
};

inline constexpr std::string_view kSkriptWarnung =
    "Bitte beachten Sie, dass diese Option die Funktion von\r\nScripten beeinträchtigen "
    "kann.\r\n\r\nWählen Sie bei Scriptseiten besser die Entfernung nach Bestätigung.";

// Applies the interlocks after the user toggled the box of `selectedRow` (it is already
// toggled in `states`). Returns true when the script warning must be shown.
bool verriegelungenAnwenden(Optionsmenge& states, int selectedRow);

}  // namespace quintaro
