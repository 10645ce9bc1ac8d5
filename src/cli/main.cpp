// quintaro-cli: optimises the HTML page on standard input and writes the result to standard output,
// or optimises files in place as the window's batch run does.
#include <string_view>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return quintaro::cli::hauptprogramm(args);
}
