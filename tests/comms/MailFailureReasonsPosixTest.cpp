// A failed mail's EMail log line says why, in the words a technician can act on: what the
// server replied and to which command, or what timed out. Real servers on the loopback interface
// (POSIX: the SMTP server is started as a child process).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comms/SmtpMailSender.h"
#include "ops/LogWriter.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "platform/TextLines.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/SmtpServerFixture.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::SmtpServerFixture;

constexpr const char* kLoopback = "127.0.0.1";
// A silent server is given up on after this much real time.
constexpr int kShortTimeoutMs = 200;

class MailFailureReasons : public ::testing::Test {
  protected:
    MailFailureReasons() {
        makeFolder(folder.logs());
        sender.setTimeoutMs(kShortTimeoutMs);
    }
    // Sends one mail to ann@example.org through server:port; the EMail log line it left.
    std::string failedLineFor(const std::string& server, unsigned port,
                              const std::string& address = "ann@example.org",
                              const std::string& name = "Ann") {
        std::remove(logWriter.logFileName(clock, kLogEMail).c_str());
        sender.setPort(port);
        OutgoingMail mail;
        mail.server = server;
        mail.from = "station@example.org";
        mail.toAddress = address;
        mail.toName = name;
        mail.subject = "Message from Quirn Radio";
        mail.body = "Elm School Validate Failed";
        EXPECT_EQ(sender.send(mail), 1);
        const std::string log = test::readFile(logWriter.logFileName(clock, kLogEMail));
        std::vector<std::string> lines;
        for (auto line : splitLines(log))
            if (!line.empty()) lines.emplace_back(line);
        EXPECT_EQ(lines.size(), 1u);
        return lines.empty() ? std::string() : lines.back();
    }

    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
    ManualClock clock{fromLocal(2026, 12, 7, 14, 5, 0)};
    SmtpMailSender sender{clock, logWriter};
};

TEST_F(MailFailureReasons, ARefusedRecipientShowsTheServersReply) {
    SmtpServerFixture::Options options;
    options.refusedRecipients = {"gone@example.org"};
    SmtpServerFixture server(options);
    ASSERT_TRUE(server.ok()) << server.error();
    EXPECT_EQ(failedLineFor(kLoopback, server.port(), "gone@example.org", "Gone"),
              "14:05.00,To: gone@example.org, FAILED Gone: 550 5.1.1 Recipient refused "
              "(reply to RCPT)");
}

TEST_F(MailFailureReasons, AGreetingOtherThanReadyShowsTheGreeting) {
    SmtpServerFixture::Options options;
    options.mode = "greeting";
    options.code = 421;
    SmtpServerFixture server(options);
    ASSERT_TRUE(server.ok()) << server.error();
    EXPECT_EQ(failedLineFor(kLoopback, server.port()),
              "14:05.00,To: ann@example.org, FAILED Ann: 421 Service not available (greeting)");
}

TEST_F(MailFailureReasons, ARefusedCommandShowsTheReplyAndTheCommand) {
    SmtpServerFixture::Options options;
    options.mode = "refuse";
    SmtpServerFixture server(options);
    ASSERT_TRUE(server.ok()) << server.error();
    EXPECT_EQ(failedLineFor(kLoopback, server.port()),
              "14:05.00,To: ann@example.org, FAILED Ann: 500 unknown (reply to HELO)");
}

TEST_F(MailFailureReasons, ASilentServerTimesOut) {
    test::LoopbackServer silent("127.0.0.5");  // the system accepts; nobody answers
    ASSERT_TRUE(silent.ok());
    EXPECT_EQ(failedLineFor("127.0.0.5", silent.port()),
              "14:05.00,To: ann@example.org, FAILED Ann: timed out waiting for the greeting");
}

TEST_F(MailFailureReasons, NoServerListeningSaysWhereItTried) {
    unsigned port = 0;
    {
        test::LoopbackServer gone("127.0.0.5");
        ASSERT_TRUE(gone.ok());
        port = gone.port();
    }
    EXPECT_EQ(failedLineFor("127.0.0.5", port),
              "14:05.00,To: ann@example.org, FAILED Ann: could not connect to 127.0.0.5 port " +
                  std::to_string(port));
}

}  // namespace
}  // namespace quirn
