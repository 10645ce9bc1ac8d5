// Runs quintaro-cli as a child process: feeds standard input, collects standard output and error,
// and optionally gives it a pseudo-terminal as its controlling terminal.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quintaro::cli::test {

struct Lauf {
    std::vector<std::string> args;  // without the program name
    std::string eingabe;            // standard input
    // Standard input opened from this path instead (the parent opens it).
    std::optional<std::string> eingabePfad;
    // Standard output to this path instead of a pipe.
    std::optional<std::string> ausgabePfad;
    // With a terminal the child gets a pseudo-terminal as controlling terminal, and these bytes are
    // typed into it before it starts; otherwise it runs in a new session without any terminal.
    bool mitTerminal = false;
    std::string getippt;
    // With a terminal: standard error goes to it too (its bytes then land in `terminal`).
    bool fehlerAufTerminal = false;
    // The child starts with standard input or output closed.
    bool eingabeZu = false;
    bool ausgabeZu = false;
    // A file-size limit (RLIMIT_FSIZE) for the child, SIGXFSZ left at its default.
    std::optional<unsigned long> dateigrenze;
    // Another copy of the executable to start instead of the built one.
    std::optional<std::string> programm;
};

struct Ergebnis {
    int exitcode = -1;  // -1 when the child did not exit normally
    int signal = 0;     // the signal that ended it, if one did
    std::string aus;
    std::string fehler;
    std::string terminal;  // what the child wrote to its terminal
};

Ergebnis starte(const Lauf& lauf);

// Convenience for the common case: no terminal.
// A small page with every kind of whitespace, a comment and an umlaut in code page 1252.
inline const std::string kSeite =
    "<html>\n<body>\n\t<p>  Gr\xFC\xDF"
    "e  <b >x</b></p>\n\n<!-- k -->\n</body>\n</html>\n";

inline Ergebnis starte(std::vector<std::string> args, std::string eingabe) {
    Lauf lauf;
    lauf.args = std::move(args);
    lauf.eingabe = std::move(eingabe);
    return starte(lauf);
}

}  // namespace quintaro::cli::test
