// Whole reads and writes on file descriptors, continued over short transfers and EINTR.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

namespace quintaro {

// A write past the file-size limit (RLIMIT_FSIZE) fails with EFBIG instead of killing the
// process with SIGXFSZ, so that a half-written copy is cleaned up and the failure reported.
// Called once at the start of each program.
void dateigrenzeAlsFehler();

// Closes the descriptor it owns.
class Deskriptor {
  public:
    explicit Deskriptor(int fd = -1) : fd_(fd) {}
    ~Deskriptor();
    Deskriptor(Deskriptor&& anderer) noexcept : fd_(std::exchange(anderer.fd_, -1)) {}
    Deskriptor& operator=(Deskriptor&& anderer) noexcept;
    Deskriptor(const Deskriptor&) = delete;
    Deskriptor& operator=(const Deskriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

// Writes every byte. Returns 0 or the errno of the failing call (EIO when nothing moves).
int allesSchreiben(int fd, std::string_view daten);

// Appends everything up to the end of input to `daten`. Returns 0, the errno of the failing
// call, or EFBIG as soon as `daten` would grow past `grenze` bytes (nothing more is read then).
// `st`: what fstat gave for `fd`, where the caller has asked already.
int allesLesen(int fd, std::string& daten,
               std::size_t grenze = std::numeric_limits<std::size_t>::max(),
               const struct stat* st = nullptr);

// Streams the rest of `von` into `nach`, inside the kernel where it can. Returns 0 or an errno.
int allesKopieren(int von, int nach);

}  // namespace quintaro
