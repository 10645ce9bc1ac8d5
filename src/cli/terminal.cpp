// Questions on /dev/tty, and the escaping that keeps page content from steering the terminal.
#include "cli/terminal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "document/ein_ausgabe.h"
#include "engine/utf8.h"

namespace quintaro::cli {

namespace {

void hexAnhaengen(std::string& out, unsigned value) {
    static constexpr char kZiffern[] = "0123456789ABCDEF";
    out += "\\x";
    out += kZiffern[(value >> 4) & 0xF];
    out += kZiffern[value & 0xF];
}

}  // namespace

std::string sichtbar(std::string_view utf8, bool zeilenumbrueche) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (zeilenumbrueche && b == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') {
            out += '\n';
            ++i;
        } else if (zeilenumbrueche && b == '\n') {
            out += '\n';
        } else if (b == '\t') {
            out += '\t';
        } else if (b < 0x20 || b == 0x7F) {
            hexAnhaengen(out, b);
        } else if (b < 0x80) {
            out += static_cast<char>(b);
        } else {
            const auto z = utf8::erstesZeichen(utf8.substr(i));
            if (!z) {
                hexAnhaengen(out, b);  // not UTF-8: a terminal might read it as a control
                continue;
            }
            if (z->wert <= 0x9F) {
                // U+0080 to U+009F: shown by its code, which is also the page's byte.
                hexAnhaengen(out, static_cast<unsigned>(z->wert));
            } else {
                out.append(utf8.substr(i, z->laenge));
            }
            i += z->laenge - 1;
        }
    }
    return out;
}

std::unique_ptr<Terminal> Terminal::oeffnen(std::string& grund) {
    const int fd = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        grund = std::strerror(errno);
        return nullptr;
    }
    return std::make_unique<Terminal>(fd);
}

Terminal::~Terminal() {
    ::close(fd_);
}

void Terminal::schreibe(std::string_view text) {
    // A terminal that takes no output will not give answers either; reading then ends the run.
    static_cast<void>(allesSchreiben(fd_, text));
}

bool Terminal::zeileLesen(std::string& zeile) {
    zeile.clear();
    // Byte by byte, so that answers typed ahead stay for the next question.
    for (;;) {
        char c = 0;
        const ssize_t n = ::read(fd_, &c, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return !zeile.empty();
        if (c == '\n') return true;
        zeile += c;
    }
}

Antwort Terminal::frage(const std::string& text, Knoepfe knoepfe) {
    const bool mitAbbrechen = knoepfe == Knoepfe::JaNeinAbbrechen;
    const std::string_view auswahl =
        mitAbbrechen ? "[j] Ja, [n] Nein, [a] Abbrechen: " : "[j] Ja, [n] Nein: ";
    schreibe("\n" + sichtbar(text, true) + "\n\n");
    std::string zeile;
    for (;;) {
        schreibe(auswahl);
        if (!zeileLesen(zeile)) {
            schreibe("\n");
            return mitAbbrechen ? Antwort::Abbrechen : Antwort::Nein;
        }
        const auto anfang = zeile.find_first_not_of(" \t\r");
        const auto ende = zeile.find_last_not_of(" \t\r");
        if (anfang == std::string::npos || anfang != ende) continue;
        switch (zeile[anfang]) {
            case 'j':
            case 'J':
                return Antwort::Ja;
            case 'n':
            case 'N':
                return Antwort::Nein;
            case 'a':
            case 'A':
                if (mitAbbrechen) return Antwort::Abbrechen;
                break;
            default:
                break;
        }
    }
}

int kmmTerminal(const Optionsmenge& optionen, const Kanaele& k,
                std::unique_ptr<Terminal>& terminal) {
    if (!optionen[KMM]) return kFertig;
    for (const auto& [fd, name] : {std::pair{k.ein, "input"}, std::pair{k.aus, "output"}}) {
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
            fehlerZeile(k, std::string("standard ") + name +
                               " is closed: KMM=1 would open the terminal in its place");
            return kEinAusgabeFehler;
        }
    }
    std::string grund;
    terminal = Terminal::oeffnen(grund);
    if (terminal) return kFertig;
    fehlerZeile(k, "KMM=1 asks about every comment on the terminal, but there is none (/dev/tty: " +
                       grund + ")");
    return kAufruffehler;
}

}  // namespace quintaro::cli
