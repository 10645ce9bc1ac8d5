// The sample pages beside the project (../shared/corpus/real). A user's clone has none, so tests
// that read them skip when the folder is absent; QUINTARO_KORPUS in the environment names another.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace quintaro::test {

inline std::filesystem::path korpusOrdner() {
    if (const char* k = std::getenv("QUINTARO_KORPUS")) return k;
    return std::filesystem::path(QUINTARO_SOURCE_DIR) / ".." / "shared" / "corpus" / "real";
}

inline std::string korpusSeite(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace quintaro::test
