#include "tests/support/ChildRun.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace quirn::test {

namespace {
constexpr int kPollMs = 5;
}  // namespace

int runInChild(const std::function<int()>& body, int timeoutMs) {
    pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) ::_exit(body() & 0xFF);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        int status = 0;
        pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (done < 0 || std::chrono::steady_clock::now() >= deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
}

}  // namespace quirn::test
