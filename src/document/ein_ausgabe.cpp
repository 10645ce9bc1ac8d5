#include "document/ein_ausgabe.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <new>

#include "engine/text.h"

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

// Steps of a buffer reserved whole, and the largest limit reserved so (the documents' limit).
constexpr std::size_t kSchritt = std::size_t{1} << 20;
constexpr std::size_t kReservierbar = std::size_t{1} << 30;

// The bytes still to come from a regular file (plus one, to see its end without growing), or a
// first guess for a pipe.
std::size_t erwarteteGroesse(int fd, const struct stat& st) {
    if (!S_ISREG(st.st_mode)) return kBlock;
    const off_t pos = ::lseek(fd, 0, SEEK_CUR);
    if (pos < 0 || st.st_size <= pos) return kBlock;
    return static_cast<std::size_t>(st.st_size - pos) + 1;
}
}  // namespace

void dateigrenzeAlsFehler() {
    std::signal(SIGXFSZ, SIG_IGN);
}

Deskriptor::~Deskriptor() {
    if (fd_ >= 0) ::close(fd_);
}

Deskriptor& Deskriptor::operator=(Deskriptor&& anderer) noexcept {
    if (this != &anderer) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(anderer.fd_, -1);
    }
    return *this;
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

int allesLesen(int fd, std::string& daten, std::size_t grenze, const struct stat* st) {
    // Read straight into `daten`, sized once for a regular file: no second copy, no regrowth.
    std::size_t gelesen = daten.size();
    if (gelesen > grenze) return EFBIG;
    struct stat eigener {};
    if (st == nullptr) {
        // Unknown (fstat failed): read as from a pipe.
        if (::fstat(fd, &eigener) != 0) eigener.st_mode = S_IFIFO;
        st = &eigener;
    }
    std::size_t wunsch = erwarteteGroesse(fd, *st);
    // A pipe cannot be sized: the whole limit is reserved as address space instead, which the
    // kernel backs only where bytes arrive, so the buffer never moves. It grows in small steps
    // then, since each step is zeroed and would otherwise take memory that no byte fills.
    bool reserviert = false;
    if (!S_ISREG(st->st_mode) && grenze <= kReservierbar && daten.capacity() <= grenze) {
        try {
            reservieren(daten, grenze + 1);
            reserviert = true;
        } catch (const std::bad_alloc&) {
            // Address space refused (a strict overcommit policy): the buffer grows as it must.
        }
    }
    for (;;) {
        if (gelesen == daten.size()) {
            // At most one byte past the limit, which is enough to notice the input is too long.
            const std::size_t rest = grenze - gelesen;
            const std::size_t neu = gelesen + std::min(wunsch, rest == SIZE_MAX ? rest : rest + 1);
            reservieren(daten, neu);
            daten.resize(neu);
            wunsch = reserviert ? kSchritt : std::max(gelesen, kBlock);
        }
        const ssize_t n = lies(fd, daten.data() + gelesen, daten.size() - gelesen);
        if (n <= 0) {
            const int fehler = n < 0 ? errno : 0;
            daten.resize(gelesen);
            return fehler;
        }
        gelesen += static_cast<std::size_t>(n);
        if (gelesen > grenze) {
            daten.resize(grenze);
            return EFBIG;
        }
    }
}

int allesKopieren(int von, int nach) {
    for (;;) {
        const ssize_t n = ::copy_file_range(von, nullptr, nach, nullptr, kBlock * 16, 0);
        if (n == 0) return 0;
        if (n > 0) continue;
        if (errno == EINTR) continue;
        // Not between these two (file systems, kinds of file, an older kernel): by hand. Nothing
        // was copied by the failing call.
        if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
            errno == EBADF) {
            break;
        }
        return errno;
    }
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
