// Child processes for the end-to-end tests, with POSIX calls only.
#include "prozess.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#ifndef QUINTARO_CLI
#error "QUINTARO_CLI must name the quintaro-cli executable"
#endif

namespace quintaro::cli::test {

namespace {

[[noreturn]] void scheitern(const char* was) {
    throw std::runtime_error(std::string(was) + ": " + std::strerror(errno));
}

void pipeAnlegen(int fds[2]) {
    if (::pipe2(fds, O_CLOEXEC) != 0) scheitern("pipe2");
}

int oeffne(const std::string& pfad, int flags) {
    const int fd = ::open(pfad.c_str(), flags | O_CLOEXEC);
    if (fd < 0) scheitern(pfad.c_str());
    return fd;
}

// Canonical input without echo and output without post-processing, so the transcript holds
// exactly the bytes the child wrote and ^D at the start of a line is end of input.
termios terminalEinstellungen() {
    termios t{};
    t.c_iflag = ICRNL;
    t.c_oflag = 0;
    t.c_cflag = CS8 | CREAD | CLOCAL;
    t.c_lflag = ICANON;
    t.c_cc[VEOF] = 4;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, B38400);
    cfsetospeed(&t, B38400);
    return t;
}

// Pipe ends must not land on 0 to 2, where the child's dup2 would keep them close-on-exec.
void standardKanaeleBelegen() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) < 0) ::open("/dev/null", O_RDWR);
    }
}

}  // namespace

Ergebnis starte(const Lauf& lauf) {
    standardKanaeleBelegen();
    // A child that stops reading early must not take the test down with SIGPIPE.
    struct sigaction ignorieren {};
    ignorieren.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignorieren, nullptr);

    int ein[2] = {-1, -1};
    int aus[2] = {-1, -1};
    int fehler[2] = {-1, -1};
    int kindEin = -1;
    int kindAus = -1;
    if (lauf.eingabePfad) {
        kindEin = oeffne(*lauf.eingabePfad, O_RDONLY);
    } else {
        pipeAnlegen(ein);
        kindEin = ein[0];
    }
    if (lauf.ausgabePfad) {
        kindAus = oeffne(*lauf.ausgabePfad, O_WRONLY);
    } else {
        pipeAnlegen(aus);
        kindAus = aus[1];
    }
    pipeAnlegen(fehler);

    int master = -1;
    int slave = -1;
    if (lauf.mitTerminal) {
        termios t = terminalEinstellungen();
        if (::openpty(&master, &slave, nullptr, &t, nullptr) != 0) scheitern("openpty");
        ::fcntl(master, F_SETFD, FD_CLOEXEC);
        // Typed ahead: the line discipline keeps it until the child reads.
        if (!lauf.getippt.empty() && ::write(master, lauf.getippt.data(), lauf.getippt.size()) !=
                                         static_cast<ssize_t>(lauf.getippt.size())) {
            scheitern("write to terminal");
        }
    }

    std::vector<std::string> argStrings{lauf.programm.value_or(QUINTARO_CLI)};
    argStrings.insert(argStrings.end(), lauf.args.begin(), lauf.args.end());
    std::vector<char*> argv;
    for (auto& a : argStrings) argv.push_back(a.data());
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid < 0) scheitern("fork");
    if (pid == 0) {
        // Only async-signal-safe calls from here on.
        struct sigaction standard {};
        standard.sa_handler = SIG_DFL;
        ::sigaction(SIGPIPE, &standard, nullptr);
        ::sigaction(SIGXFSZ, &standard, nullptr);
        if (lauf.dateigrenze) {
            const rlimit grenze{*lauf.dateigrenze, *lauf.dateigrenze};
            ::setrlimit(RLIMIT_FSIZE, &grenze);
        }
        ::setsid();
        if (slave >= 0) ::ioctl(slave, TIOCSCTTY, 0);
        ::dup2(kindEin, 0);
        ::dup2(kindAus, 1);
        ::dup2(lauf.fehlerAufTerminal && slave >= 0 ? slave : fehler[1], 2);
        // The terminal stays open under fd 3 so that it is never without a user.
        if (slave >= 0) ::dup2(slave, 3);
        if (lauf.eingabeZu) ::close(0);
        if (lauf.ausgabeZu) ::close(1);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }

    if (slave >= 0) ::close(slave);
    ::close(kindEin);
    ::close(kindAus);
    ::close(fehler[1]);

    Ergebnis ergebnis;
    std::size_t geschrieben = 0;
    int schreibFd = ein[1];
    if (schreibFd >= 0) {
        ::fcntl(schreibFd, F_SETFL, O_NONBLOCK);
        if (lauf.eingabe.empty()) {
            ::close(schreibFd);
            schreibFd = -1;
        }
    }
    int lesen[3] = {aus[0], fehler[0], master};
    std::string* ziel[3] = {&ergebnis.aus, &ergebnis.fehler, &ergebnis.terminal};

    // A child stuck on a question nobody answers must not stall the suite.
    constexpr int kGeduldMs = 60'000;
    for (;;) {
        pollfd fds[4];
        int n = 0;
        int index[4];
        for (int i = 0; i < 3; ++i) {
            if (lesen[i] >= 0) {
                fds[n] = {lesen[i], POLLIN, 0};
                index[n++] = i;
            }
        }
        if (schreibFd >= 0) {
            fds[n] = {schreibFd, POLLOUT, 0};
            index[n++] = 3;
        }
        if (n == 0) break;
        const int bereit = ::poll(fds, static_cast<nfds_t>(n), kGeduldMs);
        if (bereit < 0 && errno == EINTR) continue;
        if (bereit <= 0) {
            ::kill(pid, SIGKILL);
            break;
        }
        for (int k = 0; k < n; ++k) {
            if (fds[k].revents == 0) continue;
            if (index[k] == 3) {
                const ssize_t w = ::write(schreibFd, lauf.eingabe.data() + geschrieben,
                                          lauf.eingabe.size() - geschrieben);
                if (w > 0) geschrieben += static_cast<std::size_t>(w);
                if ((w < 0 && errno != EAGAIN && errno != EINTR) ||
                    geschrieben == lauf.eingabe.size()) {
                    ::close(schreibFd);  // also when the child stopped reading early
                    schreibFd = -1;
                }
                continue;
            }
            const int i = index[k];
            char puffer[65536];
            const ssize_t r = ::read(lesen[i], puffer, sizeof puffer);
            if (r > 0) {
                ziel[i]->append(puffer, static_cast<std::size_t>(r));
            } else if (r == 0 || (errno != EINTR && errno != EAGAIN)) {
                // A terminal's master reports EIO once the child's side is closed.
                ::close(lesen[i]);
                lesen[i] = -1;
            }
        }
    }
    for (int fd : lesen) {
        if (fd >= 0) ::close(fd);
    }
    if (schreibFd >= 0) ::close(schreibFd);

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) ergebnis.exitcode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) ergebnis.signal = WTERMSIG(status);
    return ergebnis;
}

}  // namespace quintaro::cli::test
