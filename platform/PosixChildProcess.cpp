#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/ChildProcess.h"
#include "platform/Deadline.h"

extern char** environ;

namespace quirn {

namespace {

constexpr int kReapStepMs = 5;

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
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, stderrPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    int rc = posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv.data(), environ);
    pid_ = pid;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (rc != 0) {
        pid_ = -1;
        ::close(out[0]);
        return;
    }
    out_ = out[0];
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
