// The whole of quintaro-cli behind its main(): reads the arguments, picks the mode, runs it.
#pragma once

#include <span>
#include <string_view>

#include "cli/kanaele.h"

namespace quintaro::cli {

// `args` excludes the program name. Returns the exit code.
int hauptprogramm(std::span<const std::string_view> args, const Kanaele& kanaele = {});

}  // namespace quintaro::cli
