// Command lines for the tests: every option set explicitly.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "engine/optionen.h"

namespace quintaro::cli::test {

inline const std::vector<std::string> kAlleSchluessel = [] {
    std::vector<std::string> keys;
    for (const auto& o : kOptionen) keys.emplace_back(o.key);
    return keys;
}();

// Arguments that switch on exactly the given options.
inline std::vector<std::string> nur(const std::vector<std::string>& an) {
    std::vector<std::string> args;
    for (const auto& key : kAlleSchluessel) {
        const bool ein = std::find(an.begin(), an.end(), key) != an.end();
        args.insert(args.end(), {"--set", key + (ein ? "=1" : "=0")});
    }
    return args;
}

inline std::vector<std::string> plus(std::vector<std::string> a,
                                     const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace quintaro::cli::test
