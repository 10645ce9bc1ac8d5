// Files on disk for the batch tests: a scratch folder, raw reads and writes, and a check run in a
// forked child that can drop root so that permissions apply.
#pragma once

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>

namespace quintaro::test {

class Ordner {
  public:
    Ordner() {
        std::string vorlage = (std::filesystem::temp_directory_path() / "quintaro-stapel-XXXXXX");
        if (::mkdtemp(vorlage.data()) == nullptr) throw std::runtime_error("mkdtemp");
        pfad_ = vorlage;
        ::chmod(pfad_.c_str(), 0755);  // reachable for a child that drops to nobody
    }
    ~Ordner() {
        std::error_code ignoriert;
        std::filesystem::remove_all(pfad_, ignoriert);
    }
    Ordner(const Ordner&) = delete;
    Ordner& operator=(const Ordner&) = delete;

    const std::string& pfad() const { return pfad_; }
    std::string operator/(const std::string& name) const { return pfad_ + "/" + name; }

    // Names in the folder, without "." and "..".
    std::set<std::string> namen() const {
        std::set<std::string> n;
        for (const auto& e : std::filesystem::directory_iterator(pfad_)) {
            n.insert(e.path().filename().string());
        }
        return n;
    }

  private:
    std::string pfad_;
};

inline void schreibeRoh(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string leseRoh(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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

// In a child: become an unprivileged user so that permissions apply even when tests run as root.
inline bool alsNiemand() {
    if (::geteuid() != 0) return true;
    return ::setgid(65534) == 0 && ::setuid(65534) == 0;
}

}  // namespace quintaro::test
