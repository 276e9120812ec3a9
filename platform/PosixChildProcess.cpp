#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/ChildProcess.h"
#include "platform/Deadline.h"

extern char** environ;

namespace quirn {

namespace {

constexpr int kReapStepMs = 5;
// The helper is told of this program's end with the signal it is stopped with.
constexpr int kParentEndSignal = SIGTERM;
constexpr int kExecFailed = 127;

// In the forked child: the helper ends with this program, however this program ends (a
// SIGKILL included), so no helper is left behind holding a port or a device; then the
// standard output to the pipe, the standard error to its file, and the exec. An error is
// written to `status` before the child ends.
[[noreturn]] void startChild(char* const* argv, int out, const char* stderrPath, int status,
                             pid_t parent, const sigset_t& mask) {
    struct sigaction standard = {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    for (int signal = 1; signal < NSIG; ++signal) {
        struct sigaction current;
        // Ignored signals stay ignored, as across any exec; handlers of this program go.
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN)
            ::sigaction(signal, &standard, nullptr);
    }
#ifdef __linux__
    ::prctl(PR_SET_PDEATHSIG, kParentEndSignal);
#endif
    int error = 0;
    // This program may have ended before the request above was made.
    if (::getppid() != parent) ::_exit(kExecFailed);
    const int errors = ::open(stderrPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (errors < 0 || ::dup2(out, STDOUT_FILENO) < 0 || ::dup2(errors, STDERR_FILENO) < 0) {
        error = errno;
    } else {
        ::pthread_sigmask(SIG_SETMASK, &mask, nullptr);
        ::execve(argv[0], argv, environ);
        error = errno;
    }
    [[maybe_unused]] ssize_t n = ::write(status, &error, sizeof error);
    ::_exit(kExecFailed);
}

}  // namespace

ChildProcess::ChildProcess(const std::string& binary, const std::vector<std::string>& args,
                           const std::string& stderrPath) {
    std::vector<std::string> all = {binary};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return;
    // The child tells through this pipe why it could not start; a successful exec closes it.
    int status[2];
    if (::pipe2(status, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return;
    }
    // No signal may reach a handler of this program in the child before its exec.
    sigset_t all_signals;
    sigset_t previous;
    sigfillset(&all_signals);
    ::pthread_sigmask(SIG_BLOCK, &all_signals, &previous);
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only async-signal-safe calls from here to the exec.
        startChild(argv.data(), out[1], stderrPath.c_str(), status[1], parent, previous);
    }
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    ::close(out[1]);
    ::close(status[1]);
    int childError = 0;
    bool failed = pid < 0;
    if (!failed) {
        ssize_t n;
        do {
            n = ::read(status[0], &childError, sizeof childError);
        } while (n < 0 && errno == EINTR);
        failed = n == static_cast<ssize_t>(sizeof childError);
    }
    ::close(status[0]);
    if (failed) {
        if (pid > 0) ::waitpid(pid, nullptr, 0);
        ::close(out[0]);
        return;
    }
    pid_ = pid;
    out_ = out[0];
}

long long ChildProcess::processId() const {
    return pid_ > 0 ? pid_ : -1;
}

ChildProcess::~ChildProcess() {
    stop();
    if (out_ >= 0) ::close(out_);
}

std::string ChildProcess::firstLine(int waitMs) {
    const auto deadline = deadlineAfter(waitMs);
    while (out_ >= 0 && buffered_.find('\n') == std::string::npos) {
        const int left = millisecondsLeft(deadline);
        if (left == 0) return {};
        pollfd p{static_cast<int>(out_), POLLIN, 0};
        if (::poll(&p, 1, left) <= 0) continue;
        char buffer[256];
        ssize_t n = ::read(out_, buffer, sizeof buffer);
        if (n <= 0) return {};
        buffered_.append(buffer, static_cast<size_t>(n));
    }
    size_t end = buffered_.find('\n');
    return end == std::string::npos ? std::string() : buffered_.substr(0, end);
}

std::optional<int> ChildProcess::reap(int waitMs) {
    if (pid_ <= 0) return std::nullopt;
    const auto deadline = deadlineAfter(waitMs);
    for (;;) {
        int status = 0;
        pid_t r = ::waitpid(static_cast<pid_t>(pid_), &status, WNOHANG);
        if (r == pid_) {
            pid_ = -1;
            if (WIFEXITED(status)) return WEXITSTATUS(status);
            return std::nullopt;
        }
        if (r < 0 || millisecondsLeft(deadline) == 0) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(kReapStepMs));
    }
}

std::optional<int> ChildProcess::waitExit(int waitMs) {
    return reap(waitMs);
}

std::optional<int> ChildProcess::stop(int waitMs) {
    if (pid_ <= 0) return std::nullopt;
    ::kill(static_cast<pid_t>(pid_), SIGTERM);
    std::optional<int> code = reap(waitMs);
    if (pid_ > 0) {
        ::kill(static_cast<pid_t>(pid_), SIGKILL);
        int status = 0;
        ::waitpid(static_cast<pid_t>(pid_), &status, 0);
        pid_ = -1;
        return std::nullopt;
    }
    return code;
}

}  // namespace quirn
