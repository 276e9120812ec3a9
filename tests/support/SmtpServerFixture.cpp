#include "tests/support/SmtpServerFixture.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/FileSystem.h"

extern char** environ;

namespace quirn::test {

namespace {

constexpr const char* kPython = "/usr/bin/python3";
constexpr int kPollStepMs = 10;

// From the build, not from __FILE__: a compiler cache may turn that into a relative path.
std::string scriptPath() {
    return QUIRN_TEST_SUPPORT_DIR "smtp_server.py";
}

long long nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

SmtpServerFixture::SmtpServerFixture(Options options) {
    start(options);
}

SmtpServerFixture::~SmtpServerFixture() {
    stop();
}

void SmtpServerFixture::start(const Options& options) {
    std::vector<std::string> args = {kPython,      scriptPath(),   "--mode",
                                     options.mode, "--record-dir", records_.path()};
    for (const auto& r : options.refusedRecipients) {
        args.push_back("--refuse");
        args.push_back(r);
    }
    args.push_back("--code");
    args.push_back(std::to_string(options.code));
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        error_ = "pipe failed";
        return;
    }
    std::string errPath = records_.file("server.err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int rc = posix_spawn(&pid_, kPython, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (rc != 0) {
        pid_ = -1;
        ::close(out[0]);
        error_ = "cannot start " + std::string(kPython);
        return;
    }
    bool listening = readPort(out[0]);
    ::close(out[0]);
    if (!listening) {
        error_ += " " + readFile(errPath);
        stop();
    }
}

bool SmtpServerFixture::readPort(int fd) {
    std::string text;
    const long long deadline = nowMs() + kStartTimeoutMs;
    while (text.find('\n') == std::string::npos) {
        long long left = deadline - nowMs();
        if (left <= 0) {
            error_ = "server did not start in time";
            return false;
        }
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
        char buffer[128];
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            error_ = "server ended before listening";
            return false;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    constexpr const char* kPrefix = "PORT ";
    if (text.rfind(kPrefix, 0) != 0) {
        error_ = "unexpected server output: " + text;
        return false;
    }
    port_ = static_cast<unsigned>(std::atoi(text.c_str() + std::string(kPrefix).size()));
    return port_ != 0;
}

void SmtpServerFixture::stop() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    pid_ = -1;
    port_ = 0;
}

std::size_t SmtpServerFixture::messageCount() const {
    std::size_t n = 0;
    while (fileExists(records_.file("msg-" + std::to_string(n + 1) + ".envelope"))) ++n;
    return n;
}

bool SmtpServerFixture::waitForMessages(std::size_t count, int waitMs) const {
    const long long deadline = nowMs() + waitMs;
    while (messageCount() < count) {
        if (nowMs() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollStepMs));
    }
    return true;
}

std::optional<SmtpServerFixture::Received> SmtpServerFixture::message(std::size_t index) const {
    std::string base = records_.file("msg-" + std::to_string(index + 1));
    if (!fileExists(base + ".envelope")) return std::nullopt;
    Received r;
    std::string envelope = readFile(base + ".envelope");
    std::size_t start = 0;
    bool first = true;
    while (start < envelope.size()) {
        std::size_t end = envelope.find('\n', start);
        if (end == std::string::npos) end = envelope.size();
        std::string line = envelope.substr(start, end - start);
        if (first)
            r.from = line;
        else
            r.recipients.push_back(line);
        first = false;
        start = end + 1;
    }
    r.data = readFile(base + ".data");
    return r;
}

}  // namespace quirn::test
