#include "document/ein_ausgabe.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace quintaro {

namespace {
constexpr std::size_t kBlock = std::size_t{1} << 16;

// One read, repeated after a signal. Returns the count or -1 with errno set.
ssize_t lies(int fd, char* puffer, std::size_t n) {
    for (;;) {
        const ssize_t r = ::read(fd, puffer, n);
        if (r >= 0 || errno != EINTR) return r;
    }
}
}  // namespace

void dateigrenzeAlsFehler() {
    std::signal(SIGXFSZ, SIG_IGN);
}

Deskriptor::~Deskriptor() {
    if (fd_ >= 0) ::close(fd_);
}

int allesSchreiben(int fd, std::string_view daten) {
    while (!daten.empty()) {
        const ssize_t n = ::write(fd, daten.data(), daten.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        daten.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

int allesLesen(int fd, std::string& daten, std::size_t grenze) {
    std::string puffer(kBlock, '\0');
    for (;;) {
        const ssize_t n = lies(fd, puffer.data(), puffer.size());
        if (n < 0) return errno;
        if (n == 0) return 0;
        const auto anzahl = static_cast<std::size_t>(n);
        if (anzahl > grenze || daten.size() > grenze - anzahl) return EFBIG;
        daten.append(puffer.data(), anzahl);
    }
}

int allesKopieren(int von, int nach) {
    std::string puffer(kBlock, '\0');
    for (;;) {
        const ssize_t n = lies(von, puffer.data(), puffer.size());
        if (n < 0) return errno;
        if (n == 0) return 0;
        if (const int err = allesSchreiben(nach, {puffer.data(), static_cast<std::size_t>(n)})) {
            return err;
        }
    }
}

}  // namespace quintaro
