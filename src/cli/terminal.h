// The user's terminal (/dev/tty): where a run's questions are asked while standard input and output
// carry the page.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "cli/kanaele.h"
#include "engine/antwort.h"
#include "engine/optionen.h"

namespace quintaro::cli {

// Makes UTF-8 text safe to print: control characters and C1 controls, which a page can carry into a
// question and which a terminal would obey, and every byte that is not part of well-formed UTF-8
// (engine/utf8.h) are shown as \xHH. CR LF becomes a line end when
// `zeilenumbrueche` is set; otherwise every line end is escaped too, so the text stays on one line.
std::string sichtbar(std::string_view utf8, bool zeilenumbrueche);

class Terminal {
  public:
    // Opens the controlling terminal; returns nothing and the system's reason when there is none.
    static std::unique_ptr<Terminal> oeffnen(std::string& grund);

    explicit Terminal(int fd) : fd_(fd) {}  // takes ownership of `fd`
    ~Terminal();
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    // Shows the question and reads answers until one is j, n or (with Abbrechen offered) a, in
    // either case. End of input answers as closing the box would: Abbrechen, or Nein without it.
    Antwort frage(const std::string& text, Knoepfe knoepfe);

  private:
    void schreibe(std::string_view text);
    // One line without its line end; false at end of input with nothing read.
    bool zeileLesen(std::string& zeile);

    int fd_;
};

// `KMM` asks about every comment on the terminal, which is opened before any input is taken.
// Returns kFertig, or after a complaint on standard error kAufruffehler when the option is on and
// there is no terminal, and kEinAusgabeFehler when standard input or output is closed: the
// terminal would take its descriptor, and the page would be read from it or written to it.
// `terminal` stays empty when the option is off.
int kmmTerminal(const Optionsmenge& optionen, const Kanaele& k,
                std::unique_ptr<Terminal>& terminal);

}  // namespace quintaro::cli
