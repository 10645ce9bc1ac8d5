// A fuzz target's check: a broken property ends the run, so libFuzzer keeps the input.
#pragma once

#include <cstdlib>

namespace quintaro::fuzz {

inline void pruefe(bool bedingung) {
    if (!bedingung) std::abort();
}

}  // namespace quintaro::fuzz
