// What the command line's modes share: the standard streams, the exit codes and the one-line
// complaint on standard error.
#pragma once

#include <string>
#include <string_view>

namespace quintaro::cli {

enum Exitcode : int {
    kFertig = 0,
    kAbgebrochen = 1,       // "Abbrechen" answered to a question
    kStapelFehler = 1,      // with FILE arguments: one or more files could not be optimised
    kGeaendert = 1,         // --check: at least one page would change
    kAufruffehler = 2,      // arguments, or a terminal that a question needs is missing
    kEinAusgabeFehler = 3,  // the page could not be read or the result not written
    kUnterbrochen = 130,    // a batch stopped by Ctrl+C (128 + SIGINT, as the shell reports it)
};

// The three standard streams, as file descriptors.
struct Kanaele {
    int ein = 0;
    int aus = 1;
    int fehler = 2;
};

inline constexpr std::string_view kProgrammName = "quintaro-cli";

// What every line on standard error starts with: the program's name and ": ".
std::string zeilenAnfang();

// zeilenAnfang(), the text and a line end on standard error; a failing standard error is ignored,
// there is no one left to tell.
void fehlerZeile(const Kanaele& k, const std::string& text);

}  // namespace quintaro::cli
