#include "cli/kanaele.h"

#include "document/ein_ausgabe.h"

namespace quintaro::cli {

std::string zeilenAnfang() {
    return std::string(kProgrammName) + ": ";
}

void fehlerZeile(const Kanaele& k, const std::string& text) {
    static_cast<void>(allesSchreiben(k.fehler, zeilenAnfang() + text + "\n"));
}

}  // namespace quintaro::cli
