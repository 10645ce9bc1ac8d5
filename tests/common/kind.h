// Running a check in a forked child, where resource limits and a dropped user id stay with it.
// Free of Qt, for the engine's tests too.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <fstream>
#include <functional>
#include <string>

namespace quintaro::test {

// Runs `pruefung` in a forked child and returns its exit code (128 + signal when killed).
inline int imKind(const std::function<int()>& pruefung) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        int code = 99;
        try {
            code = pruefung();
        } catch (...) {
            code = 98;
        }
        ::_exit(code);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// A value in kB from /proc/self/status ("VmSize", "VmRSS", "VmHWM"), 0 when there is none.
inline unsigned long statusKb(const std::string& schluessel) {
    std::ifstream status("/proc/self/status");
    std::string zeile;
    while (std::getline(status, zeile)) {
        if (zeile.rfind(schluessel + ":", 0) == 0)
            return std::stoul(zeile.substr(schluessel.size() + 1));
    }
    return 0;
}

// Bounds this process's address space to what it has mapped now and `raum` bytes more, so that
// an allocation beyond fails with bad_alloc. What is mapped already counts because earlier
// tests' threads leave malloc arenas behind that fork hands on. For a forked child.
inline bool adressraumBegrenzen(std::size_t raum) {
    const unsigned long kb = statusKb("VmSize");
    if (kb == 0) return false;
    rlimit r{};
    r.rlim_cur = r.rlim_max = (kb << 10) + raum;
    return ::setrlimit(RLIMIT_AS, &r) == 0;
}

// Resets the high-water mark of this process's resident memory (VmHWM) to what it holds now.
inline bool hoechststandZuruecksetzen() {
    std::ofstream("/proc/self/clear_refs") << "5";
    return statusKb("VmHWM") <= statusKb("VmRSS") + 64;
}

// Whether the tests run under AddressSanitizer: its shadow memory fits no bounded address space
// and counts in every figure of memory.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kMitAsan = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kMitAsan = true;
#else
inline constexpr bool kMitAsan = false;
#endif
#else
inline constexpr bool kMitAsan = false;
#endif

}  // namespace quintaro::test
