// Test helpers for files on disk, shared by the module tests: a scratch folder, raw file access,
// folder listings and running a check in a forked child (for resource limits and a dropped user
// id).
#pragma once

#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>

#include "common/kind.h"
#include "engine/dateifehler.h"

#include <dirent.h>

namespace quintaro::test {

class Ordner {
  public:
    Ordner() { ::chmod(pfad().c_str(), 0755); }   // reachable for a child that drops to nobody
    ~Ordner() { ::chmod(pfad().c_str(), 0755); }  // a test may have made it read-only
    Ordner(const Ordner&) = delete;
    Ordner& operator=(const Ordner&) = delete;
    std::string pfad() const { return dir_.path().toStdString(); }
    std::string operator/(const std::string& name) const { return pfad() + "/" + name; }
    // Names in the folder, without "." and "..".
    std::set<std::string> namen() const;

  private:
    QTemporaryDir dir_;
};

inline void schreibeRoh(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string leseRoh(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::set<std::string> eintraege(const std::string& ordner) {
    std::set<std::string> namen;
    if (DIR* d = ::opendir(ordner.c_str())) {
        while (const dirent* e = ::readdir(d)) namen.insert(e->d_name);
        ::closedir(d);
    }
    return namen;
}

inline std::set<std::string> Ordner::namen() const {
    auto n = eintraege(pfad());
    n.erase(".");
    n.erase("..");
    return n;
}

inline mode_t modus(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

// While it exists, no file of this process grows past `bytes`: a write beyond fails with EFBIG
// (SIGXFSZ is ignored meanwhile, as a full disk would fail it). Restores both on destruction.
class Dateigrenze {
  public:
    explicit Dateigrenze(rlim_t bytes) : signal_(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &vorher_);
        rlimit neu = vorher_;
        neu.rlim_cur = bytes;
        gesetzt_ = ::setrlimit(RLIMIT_FSIZE, &neu) == 0;
    }
    ~Dateigrenze() {
        ::setrlimit(RLIMIT_FSIZE, &vorher_);
        std::signal(SIGXFSZ, signal_);
    }
    Dateigrenze(const Dateigrenze&) = delete;
    Dateigrenze& operator=(const Dateigrenze&) = delete;
    bool gesetzt() const { return gesetzt_; }

  private:
    rlimit vorher_{};
    void (*signal_)(int);
    bool gesetzt_ = false;
};

// In a child: become an unprivileged user so that permissions apply even when tests run as root.
inline bool alsNiemand() {
    if (::geteuid() != 0) return true;
    return ::setgid(65534) == 0 && ::setuid(65534) == 0;
}

// The message of the DateiFehler that `f` throws, or "(kein Fehler)".
inline std::string fehlertext(const std::function<void()>& f) {
    try {
        f();
    } catch (const DateiFehler& e) {
        return e.what();
    }
    return "(kein Fehler)";
}

}  // namespace quintaro::test
