#include "tests/support/SmtpServerFixture.h"

#include <chrono>
#include <cstdlib>
#include <string_view>
#include <thread>

#include "platform/Deadline.h"
#include "platform/FileSystem.h"

namespace quirn::test {

namespace {

constexpr const char* kPython = "/usr/bin/python3";
constexpr int kPollStepMs = 10;

// A value of the parsed file: backslash, CR and LF come escaped.
std::string unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        out += c == 'r' ? '\r' : c == 'n' ? '\n' : c;
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> parsedPairs(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> pairs;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string_view line(text.data() + start, end - start);
        const std::size_t tab = line.find('\t');
        if (tab != std::string_view::npos)
            pairs.emplace_back(std::string(line.substr(0, tab)), unescaped(line.substr(tab + 1)));
        start = end + 1;
    }
    return pairs;
}

// From the build, not from __FILE__: a compiler cache may turn that into a relative path.
std::string scriptPath() {
    return QUIRN_TEST_SUPPORT_DIR "smtp_server.py";
}

}  // namespace

SmtpServerFixture::SmtpServerFixture(Options options) {
    start(options);
}

SmtpServerFixture::~SmtpServerFixture() {
    stop();
}

void SmtpServerFixture::start(const Options& options) {
    std::vector<std::string> args = {scriptPath(), "--mode", options.mode, "--record-dir",
                                     records_.path()};
    for (const auto& r : options.refusedRecipients) {
        args.push_back("--refuse");
        args.push_back(r);
    }
    args.push_back("--code");
    args.push_back(std::to_string(options.code));
    const std::string errPath = records_.file("server.err");
    child_ = std::make_unique<ChildProcess>(kPython, args, errPath);
    if (!child_->started()) {
        child_.reset();
        error_ = "cannot start " + std::string(kPython);
        return;
    }
    if (!readPort(child_->firstLine(kStartTimeoutMs))) {
        error_ += " " + readFile(errPath);
        stop();
    }
}

bool SmtpServerFixture::readPort(const std::string& line) {
    constexpr const char* kPrefix = "PORT ";
    if (line.empty()) {
        error_ = "server did not start in time, or ended before listening";
        return false;
    }
    if (line.rfind(kPrefix, 0) != 0) {
        error_ = "unexpected server output: " + line;
        return false;
    }
    port_ = static_cast<unsigned>(std::atoi(line.c_str() + std::string(kPrefix).size()));
    return port_ != 0;
}

void SmtpServerFixture::stop() {
    child_.reset();  // stops the server, with bounded waits
    port_ = 0;
}

std::size_t SmtpServerFixture::messageCount() const {
    std::size_t n = 0;
    while (fileExists(records_.file("msg-" + std::to_string(n + 1) + ".envelope"))) ++n;
    return n;
}

bool SmtpServerFixture::waitForMessages(std::size_t count, int waitMs) const {
    const auto deadline = deadlineAfter(waitMs);
    while (messageCount() < count) {
        if (millisecondsLeft(deadline) == 0) return false;
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
    r.parsed = parsedPairs(readFile(base + ".parsed"));
    return r;
}

std::vector<std::string> SmtpServerFixture::Received::parsedValues(const std::string& key) const {
    std::vector<std::string> values;
    for (const auto& [k, v] : parsed)
        if (k == key) values.push_back(v);
    return values;
}

std::optional<std::string> SmtpServerFixture::Received::parsedValue(const std::string& key) const {
    for (const auto& [k, v] : parsed)
        if (k == key) return v;
    return std::nullopt;
}

}  // namespace quirn::test
