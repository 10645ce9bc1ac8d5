// The whole of quintaro-cli behind its main(): reads the arguments, picks the mode, runs it.
#pragma once

#include <span>
#include <string_view>

namespace quintaro::cli {

enum Exitcode : int {
    kFertig = 0,
    kAbgebrochen = 1,       // "Abbrechen" answered to a question
    kStapelFehler = 1,      // with FILE arguments: one or more files could not be optimised
    kAufruffehler = 2,      // arguments, or a terminal that a question needs is missing
    kEinAusgabeFehler = 3,  // the page could not be read or the result not written
};

// The three standard streams, as file descriptors.
struct Kanaele {
    int ein = 0;
    int aus = 1;
    int fehler = 2;
};

// `args` excludes the program name. Returns the exit code.
int hauptprogramm(std::span<const std::string_view> args, const Kanaele& kanaele = {});

}  // namespace quintaro::cli
