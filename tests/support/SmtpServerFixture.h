#pragma once
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ChildProcess.h"
#include "tests/support/TempFolder.h"

namespace quirn::test {

// A real SMTP server (Debian's python3-aiosmtpd, run by /usr/bin/python3) on 127.0.0.1 and a
// free port, started for one test and always killed with it. POSIX only (posix_spawn).
class SmtpServerFixture {
  public:
    struct Options {
        // "smtp" (records messages), "greeting" (greets with `code`), "split" (replies cut
        // into several segments, multi-line HELO reply), and the hostile ones: "refuse" (500 to
        // every command), "trickle" (an endless greeting, one byte every 100 ms), "endless"
        // (an endless multi-line greeting at full speed).
        std::string mode = "smtp";
        std::vector<std::string> refusedRecipients;
        int code = 554;
    };

    // A message as the server accepted it: envelope and data (dot transparency undone), and
    // what Python's email package read in the data ("smtp" mode): pairs of key and value in
    // the order of smtp_server.py's parsed_lines (date, date-offset, to-name, to-address,
    // subject, message-id, mime-version, content-type, charset, body, defects).
    struct Received {
        std::string from;
        std::vector<std::string> recipients;
        std::string data;
        std::vector<std::pair<std::string, std::string>> parsed;

        // Every parsed value of key, in order.
        std::vector<std::string> parsedValues(const std::string& key) const;
        // The first parsed value of key, or nothing.
        std::optional<std::string> parsedValue(const std::string& key) const;
    };

    static constexpr int kStartTimeoutMs = 10000;

    explicit SmtpServerFixture(Options options);
    SmtpServerFixture() : SmtpServerFixture(Options{}) {}
    ~SmtpServerFixture();
    SmtpServerFixture(const SmtpServerFixture&) = delete;
    SmtpServerFixture& operator=(const SmtpServerFixture&) = delete;

    // True once the server listens; error() says why not otherwise.
    bool ok() const { return port_ != 0; }
    unsigned port() const { return port_; }
    const std::string& error() const { return error_; }

    // Messages recorded so far (complete ones only).
    std::size_t messageCount() const;
    // Waits at most waitMs for at least count messages.
    bool waitForMessages(std::size_t count, int waitMs = 2000) const;
    // The message at index (0 = first accepted), or nothing.
    std::optional<Received> message(std::size_t index) const;

  private:
    void start(const Options& options);
    bool readPort(const std::string& line);
    void stop();

    TempFolder records_;
    std::unique_ptr<ChildProcess> child_;
    unsigned port_ = 0;
    std::string error_;
};

}  // namespace quirn::test
