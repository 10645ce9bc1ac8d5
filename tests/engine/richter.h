// The independent judge of option HSB: html5lib, in one Python process for many page pairs.
#pragma once

#include <string>
#include <vector>

#include "engine/kodierung.h"
#include "engine/optionen.h"
#include "engine/text.h"

namespace quintaro::test {

struct RichterFall {
    Text vorher;
    Text nachher;
    Optionsmenge optionen;
    Kodierung kodierung = Kodierung::Cp1252;
};

// What the judge says of each pair that it does not find the same ("#index: ..."); empty when
// it finds all the same. Fails the test (and returns one line) when the judge cannot run.
std::vector<std::string> richte(const std::vector<RichterFall>& faelle);

}  // namespace quintaro::test
