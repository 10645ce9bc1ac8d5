// quintaro-cli: optimises the HTML page on standard input and writes the result to standard output,
// or optimises files in place as the window's batch run does.
#include <csignal>
#include <string_view>
#include <vector>

#include "cli/cli.h"
#include "document/ein_ausgabe.h"

int main(int argc, char** argv) {
    quintaro::dateigrenzeAlsFehler();
    // A closed standard output is a write error to report, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return quintaro::cli::hauptprogramm(args);
}
