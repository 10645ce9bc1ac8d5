// quintaro-cli's modes: the help text, the filter from standard input to standard output, and
// the batch mode over files.
#include "cli/cli.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <utility>

#include "cli/argumente.h"
#include "cli/cli_umgebung.h"
#include "cli/stapellauf.h"
#include "cli/terminal.h"
#include "engine/optimierung.h"
#include "engine/text.h"
#include "engine/tipps.h"

namespace quintaro::cli {

namespace {

constexpr std::string_view kProgramm = "quintaro-cli: ";

// Returns 0 or the errno of the failure.
int allesSchreiben(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// The bytes still to come from a regular file (plus one, to see its end without growing), or a
// first guess for a pipe.
std::size_t erwarteteGroesse(int fd) {
    constexpr std::size_t kVorgabe = 65536;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return kVorgabe;
    const off_t pos = ::lseek(fd, 0, SEEK_CUR);
    if (pos < 0 || st.st_size <= pos) return kVorgabe;
    return static_cast<std::size_t>(st.st_size - pos) + 1;
}

// Reads straight into `bytes`, which is sized once for a regular file. Returns 0 or the errno of
// the failure.
int allesLesen(int fd, std::string& bytes) {
    std::size_t gelesen = 0;
    bytes.resize(erwarteteGroesse(fd));
    for (;;) {
        if (gelesen == bytes.size()) bytes.resize(bytes.size() * 2);
        const ssize_t n = ::read(fd, bytes.data() + gelesen, bytes.size() - gelesen);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            bytes.resize(gelesen);
            return errno;
        }
        if (n == 0) {
            bytes.resize(gelesen);
            return 0;
        }
        gelesen += static_cast<std::size_t>(n);
    }
}

// A one-line complaint on standard error.
void fehlerZeile(const Kanaele& k, const std::string& text) {
    allesSchreiben(k.fehler, std::string(kProgramm) + text + "\n");
}

int filterLaufen(const Aufruf& aufruf, const Kanaele& k) {
    // Asked for before any input is taken, so a refusal leaves standard input unread.
    std::unique_ptr<Terminal> terminal;
    if (aufruf.optionen[KMM]) {
        std::string grund;
        terminal = Terminal::oeffnen(grund);
        if (!terminal) {
            fehlerZeile(k,
                        "KMM=1 asks about every comment on the terminal, but there is none "
                        "(/dev/tty: " +
                            grund + ")");
            return kAufruffehler;
        }
    }

    std::string eingabe;
    if (const int fehler = allesLesen(k.ein, eingabe)) {
        fehlerZeile(k, std::string("cannot read standard input: ") + std::strerror(fehler));
        return kEinAusgabeFehler;
    }

    CliUmgebung::Fragesteller frage;
    if (terminal) {
        frage = [&terminal](const std::string& text, Knoepfe knoepfe) {
            return terminal->frage(text, knoepfe);
        };
    }
    // The page goes through the run in the buffer it was read into.
    const bool leer = eingabe.empty();
    normaliseLineBreaksInPlace(eingabe);
    CliUmgebung umgebung(std::move(eingabe), aufruf.optionen, aufruf.tabelle, frage);
    Optimierung(umgebung, Modus::Automatisch);

    for (const auto& meldung : umgebung.meldungen()) {
        allesSchreiben(k.fehler, sichtbar(meldung, true) + "\n");
    }
    const auto& ergebnis = umgebung.gespeichert();
    if (!ergebnis) {
        // The run only stops short of its save for an empty page or an "Abbrechen".
        if (leer) return kFertig;
        fehlerZeile(k, "abandoned, nothing written");
        return kAbgebrochen;
    }
    if (const int fehler = allesSchreiben(k.aus, *ergebnis)) {
        fehlerZeile(k, std::string("cannot write standard output: ") + std::strerror(fehler));
        return kEinAusgabeFehler;
    }
    if (aufruf.tipps) {
        for (const auto tipp : optimierungstipps(*ergebnis)) {
            allesSchreiben(k.fehler, sichtbar(tipp, true) + "\n\n");
        }
    }
    return kFertig;
}

}  // namespace

int hauptprogramm(std::span<const std::string_view> args, const Kanaele& kanaele) {
    try {
        auto gelesen = argumenteLesen(args);
        if (const auto* fehler = std::get_if<ArgumentFehler>(&gelesen)) {
            fehlerZeile(kanaele, fehler->meldung);
            return kAufruffehler;
        }
        const auto& aufruf = std::get<Aufruf>(gelesen);
        switch (aufruf.art()) {
            case Art::Hilfe:
                return allesSchreiben(kanaele.aus, aufrufText()) == 0 ? kFertig : kEinAusgabeFehler;
            case Art::Stapel:
                return stapelLaufen(aufruf, kanaele);
            case Art::Filter:
                break;
        }
        return filterLaufen(aufruf, kanaele);
    } catch (const std::exception& e) {
        fehlerZeile(kanaele, e.what());
        return kEinAusgabeFehler;
    }
}

}  // namespace quintaro::cli
