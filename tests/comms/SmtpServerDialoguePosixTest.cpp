// The SMTP client against a real SMTP server on the loopback interface (POSIX: the server is
// started as a child process).
#include <gtest/gtest.h>

#include <chrono>

#include "comms/SmtpClient.h"
#include "ops/LogWriter.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/SmtpServerFixture.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::SmtpServerFixture;

constexpr const char* kLoopback = "127.0.0.1";
constexpr int kTestTimeoutMs = 1000;

class SmtpServerDialogue : public ::testing::Test {
  protected:
    SmtpServerDialogue() : clock(fromLocal(2026, 12, 7, 9, 5, 30)) { makeFolder(folder.logs()); }

    std::unique_ptr<SmtpClient> clientFor(unsigned port) {
        auto client = std::make_unique<SmtpClient>(clock, kLoopback, port);
        client->setTimeoutMs(kTestTimeoutMs);
        return client;
    }
    static MailMessage noticeTo(const char* recipients, const char* body) {
        MailMessage m;
        m.from = "station@example.org";
        m.subject = "Message from Quirn Radio";
        m.body = body;
        m.addRecipients(recipients);
        return m;
    }
    // The header lines of received data, up to the empty line.
    static std::vector<std::string> headerLines(const std::string& data) {
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start < data.size()) {
            std::size_t end = data.find("\r\n", start);
            if (end == std::string::npos || end == start) break;
            lines.push_back(data.substr(start, end - start));
            start = end + 2;
        }
        return lines;
    }
    static std::string bodyOf(const std::string& data) {
        std::size_t p = data.find("\r\n\r\n");
        return p == std::string::npos ? std::string() : data.substr(p + 4);
    }

    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
    ManualClock clock;
};

TEST_F(SmtpServerDialogue, MessageArrivesWithEnvelopeHeadersAndTransparentBody) {
    SmtpServerFixture server;
    ASSERT_TRUE(server.ok()) << server.error();
    auto client = clientFor(server.port());
    ASSERT_TRUE(client->connect()) << client->lastError();
    MailMessage m = noticeTo("Ann Lee <ann@example.org>;bob@example.org",
                             "First line\r\n.\r\n.Dotted line\r\nlast line");
    ASSERT_TRUE(client->sendMessage(m)) << client->lastError();
    EXPECT_TRUE(client->disconnect()) << client->lastError();

    ASSERT_TRUE(server.waitForMessages(1));
    auto got = server.message(0);
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->from, "station@example.org");
    EXPECT_EQ(got->recipients, (std::vector<std::string>{"ann@example.org", "bob@example.org"}));
    std::vector<std::string> header = headerLines(got->data);
    ASSERT_EQ(header.size(), 9u) << got->data;
    EXPECT_EQ(header[0], "Date: Mon, 07 Dec 2026 09:05:30 -0500");
    EXPECT_EQ(header[1], "From: station@example.org");
    EXPECT_EQ(header[2], "To: Ann Lee <ann@example.org>,<bob@example.org>");
    EXPECT_EQ(header[3], "Subject: Message from Quirn Radio");
    EXPECT_EQ(header[4].rfind("Message-ID: <", 0), 0u) << header[4];
    EXPECT_EQ(header[5], "MIME-Version: 1.0");
    EXPECT_EQ(header[6], "Content-Type: text/plain; charset=UTF-8");
    EXPECT_EQ(header[7], "Content-Transfer-Encoding: 7bit");
    EXPECT_EQ(header[8], "X-Mailer: <Tolm Mail>");
    // The server undoes the doubled dots; the body's own line end and the one before the
    // end sequence both arrive.
    EXPECT_EQ(bodyOf(got->data), "First line\r\n.\r\n.Dotted line\r\nlast line\r\n\r\n");
}

TEST_F(SmtpServerDialogue, RefusedFirstRecipientStillSendsToTheSecond) {
    SmtpServerFixture::Options options;
    options.refusedRecipients = {"gone@example.org"};
    SmtpServerFixture server(options);
    ASSERT_TRUE(server.ok()) << server.error();
    auto client = clientFor(server.port());
    ASSERT_TRUE(client->connect()) << client->lastError();
    MailMessage m = noticeTo("Gone <gone@example.org>;Here <here@example.org>", "Hello");
    EXPECT_TRUE(client->sendMessage(m)) << client->lastError();
    EXPECT_TRUE(client->disconnect());
    ASSERT_TRUE(server.waitForMessages(1));
    auto got = server.message(0);
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->recipients, std::vector<std::string>{"here@example.org"});
    // The To header still names both, as the message was written.
    EXPECT_NE(got->data.find("To: Gone <gone@example.org>,Here <here@example.org>\r\n"),
              std::string::npos);
}

TEST_F(SmtpServerDialogue, GreetingOtherThan220FailsTheConnect) {
    SmtpServerFixture::Options options;
    options.mode = "greeting";
    options.code = 554;
    SmtpServerFixture server(options);
    ASSERT_TRUE(server.ok()) << server.error();
    auto client = clientFor(server.port());
    EXPECT_FALSE(client->connect());
    EXPECT_EQ(client->lastError(), "Server didn't respond.");
    EXPECT_FALSE(client->isConnected());
}

TEST_F(SmtpServerDialogue, RepliesCutIntoSegmentsAndMultiLineRepliesAreWhole) {
    SmtpServerFixture::Options options;
    options.mode = "split";
    SmtpServerFixture server(options);
    ASSERT_TRUE(server.ok()) << server.error();
    auto client = clientFor(server.port());
    ASSERT_TRUE(client->connect()) << client->lastError();
    EXPECT_TRUE(client->disconnect()) << client->lastError();
}

TEST_F(SmtpServerDialogue, SilentServerTimesOutWithinTheConfiguredTime) {
    test::LoopbackServer silent(kLoopback);  // listens, never answers
    ASSERT_TRUE(silent.ok());
    auto client = clientFor(silent.port());
    auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(client->connect());
    auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - started)
                      .count();
    EXPECT_EQ(client->lastError(), "Server didn't respond.");
    EXPECT_GE(waited, kTestTimeoutMs - 50);
    EXPECT_LT(waited, kTestTimeoutMs * 3);
}

TEST_F(SmtpServerDialogue, NoListenerMeansNoConnection) {
    unsigned port = 0;
    {
        test::LoopbackServer closed(kLoopback);
        ASSERT_TRUE(closed.ok());
        port = closed.port();
    }
    auto client = clientFor(port);
    EXPECT_FALSE(client->connect());
    EXPECT_EQ(client->lastError(), "Unable to connect to server");
}

}  // namespace
}  // namespace quirn
