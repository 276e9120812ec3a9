#include "tests/support/Unprivileged.h"

#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace quirn::test {

namespace {
constexpr uid_t kNobody = 65534;
constexpr int kPollMs = 5;
constexpr int kCannotDropPrivileges = 120;
}  // namespace

int runUnprivileged(const std::function<int()>& body, int timeoutMs) {
    pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (::geteuid() == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                ::_exit(kCannotDropPrivileges);
        }
        ::_exit(body() & 0xFF);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        int status = 0;
        pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child) {
            if (!WIFEXITED(status)) return -1;
            int code = WEXITSTATUS(status);
            return code == kCannotDropPrivileges ? -1 : code;
        }
        if (done < 0 || std::chrono::steady_clock::now() >= deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
}

void openUpForUnprivileged(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::permissions(folder, fs::perms::all, ec);
    for (auto it = fs::recursive_directory_iterator(folder, ec); it != fs::end(it); ++it)
        fs::permissions(it->path(), fs::perms::all, ec);
}

bool makeUnreadable(const std::string& path) {
    return ::chmod(path.c_str(), 0) == 0;
}

}  // namespace quirn::test
