#include "cli/kanaele.h"

#include "document/ein_ausgabe.h"

namespace quintaro::cli {

void fehlerZeile(const Kanaele& k, const std::string& text) {
    static_cast<void>(allesSchreiben(k.fehler, std::string(kProgramm) + text + "\n"));
}

}  // namespace quintaro::cli
